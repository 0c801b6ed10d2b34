#include "tests/test_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "codec/wave_file.h"

namespace testing_support {

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "romsound-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a scratch folder");
  }
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error("cannot read " + path.string());
  }
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

Bytes RandomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  Bytes bytes(count);
  std::generate(bytes.begin(), bytes.end(),
                [&] { return static_cast<std::uint8_t>(byte(generator)); });
  return bytes;
}

namespace {

std::string ReadText(const std::filesystem::path& path) {
  const Bytes bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

}  // namespace

RunOptions WithFileSizeLimit(std::uint64_t bytes) {
  RunOptions options;
  options.fileSizeLimit = bytes;
  return options;
}

RunResult RunBinary(const std::string& binary, const std::vector<std::string>& arguments,
                    const std::filesystem::path& folder, const RunOptions& options) {
  // Output goes to a folder of its own, so that the program's folder holds
  // only what the program made.
  const ScratchFolder capture;
  const std::string outPath = capture / "stdout";
  const std::string errPath = capture / "stderr";

  std::vector<std::string> argvStrings = {binary};
  argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  argv.reserve(argvStrings.size() + 1);
  for (std::string& argument : argvStrings) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) {
    throw std::runtime_error("fork failed");
  }
  if (child == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(126);
    }
    if (options.standardInput) {
      const int in = open(options.standardInput->c_str(), O_RDONLY);
      if (in < 0 || dup2(in, STDIN_FILENO) < 0) {
        _exit(126);
      }
    }
    if (options.fileSizeLimit) {
      const rlimit limit{static_cast<rlim_t>(*options.fileSizeLimit),
                         static_cast<rlim_t>(*options.fileSizeLimit)};
      if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        _exit(126);
      }
    }
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  RunResult result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadText(outPath);
  result.err = ReadText(errPath);
  return result;
}

}  // namespace testing_support
