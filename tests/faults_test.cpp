// Faults provoked for real against the built programs, in ways that hold
// also for root: whatever goes wrong, the run says so in one line, exits
// non-zero, prints no success, leaves no temporary file and keeps every file
// that was there before exactly as it was.
#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#include <functional>
#include <map>
#include <thread>

#include "codec/wave_file.h"
#include "tests/test_support.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing_support::Bytes;
using testing_support::ReadBytes;
using testing_support::RunBinary;
using testing_support::RunOptions;
using testing_support::RunResult;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

using testing_support::kTableText;

// Everything in a folder: the names, with each file's bytes (folders read as
// their own listing).
std::map<std::string, Bytes> Snapshot(const std::filesystem::path& folder) {
  std::map<std::string, Bytes> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = std::filesystem::relative(entry.path(), folder).string();
    entries[name] = entry.is_regular_file() ? ReadBytes(entry.path()) : Bytes{};
  }
  return entries;
}

struct Fault {
  std::string name;
  std::string binary;
  std::function<void(const ScratchFolder&)> setUp;  // makes the inputs and the earlier outputs
  std::vector<std::string> arguments;
  std::string errStart;  // how the one line on standard error begins
  std::optional<std::uint64_t> fileSizeLimit = std::nullopt;
  std::string standardInput = {};  // a file of the folder, given as standard input
};

Bytes SomeWave() { return codec::MakeWaveFile(testing_support::RandomBytes(20000, 8)); }

Bytes SomeRom() {
  Bytes rom = testing_support::RandomBytes(40000, 9);
  rom[12] = 0xFF;  // a count of 65,535 samples: a wave file of 65,579 bytes
  rom[13] = 0xFF;
  return rom;
}

void WriteEarlier(const ScratchFolder& folder, const std::string& name) {
  WriteBytes(folder / name, Bytes(123, 0x42));
}

std::vector<Fault> Faults() {
  const std::string tovrel = TOVREL_BINARY;
  const std::string quenlow = QUENLOW_BINARY;
  const auto wave = [](const ScratchFolder& f) { WriteBytes(f / "in.wav", SomeWave()); };
  const auto rom = [](const ScratchFolder& f) { WriteBytes(f / "rom.bin", SomeRom()); };
  return {
      // The input comes in as standard input, named through /proc, where nothing can be created.
      {"Tovrel: output refused by /proc",
       tovrel,
       wave,
       {"/proc/self/fd/0"},
       "Tovrel: /proc/self/fd/0.dmp: ",
       std::nullopt,
       "in.wav"},
      {"Tovrel: a folder where the output goes",
       tovrel,
       [&](const ScratchFolder& f) {
         wave(f);
         std::filesystem::create_directory(f / "in.wav.dmp");
         WriteEarlier(f, "in.wav.dmp/keep");
       },
       {"in.wav"},
       "Tovrel: in.wav.dmp: Is a directory"},
      {"Tovrel: writing fails partway",
       tovrel,
       [&](const ScratchFolder& f) {
         wave(f);
         WriteEarlier(f, "in.wav.dmp");
       },
       {"in.wav"},
       "Tovrel: in.wav.dmp: File too large",
       5000},
      {"Tovrel: the input is a folder",
       tovrel,
       [&](const ScratchFolder& f) {
         std::filesystem::create_directory(f / "in.wav");
         WriteEarlier(f, "in.wav.dmp");
       },
       {"in.wav"},
       "Tovrel: in.wav: Is a directory"},
      {"Tovrel: the input is gone",
       tovrel,
       [&](const ScratchFolder& f) { WriteEarlier(f, "in.wav.dmp"); },
       {"in.wav"},
       "Tovrel: in.wav: No such file or directory"},
      {"Quenlow: output refused by /proc",
       quenlow,
       rom,
       {"0", "/proc/self/fd/0"},
       "Quenlow: /proc/self/fd/00.wav: ",
       std::nullopt,
       "rom.bin"},
      {"Quenlow: a folder where the output goes",
       quenlow,
       [&](const ScratchFolder& f) {
         rom(f);
         std::filesystem::create_directory(f / "rom.bin0.wav");
       },
       {"0", "rom.bin"},
       "Quenlow: rom.bin0.wav: Is a directory"},
      {"Quenlow: writing fails partway",
       quenlow,
       [&](const ScratchFolder& f) {
         rom(f);
         WriteEarlier(f, "rom.bin0.wav");
       },
       {"0", "rom.bin"},
       "Quenlow: rom.bin0.wav: File too large",
       50000},
      {"Quenlow: the input is a folder",
       quenlow,
       [&](const ScratchFolder& f) {
         std::filesystem::create_directory(f / "rom.bin");
         WriteEarlier(f, "rom.bin0.wav");
       },
       {"0", "rom.bin"},
       "Quenlow: rom.bin: Is a directory"},
      {"Quenlow: the input is gone",
       quenlow,
       [&](const ScratchFolder& f) { WriteEarlier(f, "rom.bin0.wav"); },
       {"0", "rom.bin"},
       "Quenlow: rom.bin: No such file or directory"},
  };
}

TEST(Faults, EndCleanlyAndKeepWhatWasThere) {
  for (const Fault& fault : Faults()) {
    const ScratchFolder folder;
    fault.setUp(folder);
    RunOptions options;
    options.fileSizeLimit = fault.fileSizeLimit;
    if (!fault.standardInput.empty()) {
      options.standardInput = folder / fault.standardInput;
    }
    const auto before = Snapshot(folder.path());

    const RunResult run = RunBinary(fault.binary, fault.arguments, folder.path(), options);

    EXPECT_NE(run.exitStatus, 0) << fault.name;
    EXPECT_THAT(run.err, StartsWith(fault.errStart)) << fault.name;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << fault.name << ": " << run.err;
    EXPECT_THAT(run.out, ::testing::AnyOf("", std::string(kTableText))) << fault.name;
    EXPECT_EQ(Snapshot(folder.path()), before) << fault.name;
  }
}

// Writes `bytes` into a named pipe from another thread, as a program upstream
// would; a reader that leaves early just ends the writing.
class PipeWriter {
 public:
  PipeWriter(const std::string& path, Bytes bytes)
      : previousBrokenPipeHandler_(std::signal(SIGPIPE, SIG_IGN)),
        thread_([path, bytes = std::move(bytes)] {
          const int fd = open(path.c_str(), O_WRONLY);
          std::size_t written = 0;
          while (fd >= 0 && written < bytes.size()) {
            const ssize_t now = write(fd, bytes.data() + written, bytes.size() - written);
            if (now <= 0) {
              break;  // the reader has gone
            }
            written += static_cast<std::size_t>(now);
          }
          close(fd);
        }) {}
  PipeWriter(const PipeWriter&) = delete;
  PipeWriter& operator=(const PipeWriter&) = delete;
  ~PipeWriter() {
    thread_.join();
    (void)std::signal(SIGPIPE, previousBrokenPipeHandler_);  // nothing to do if it fails
  }

 private:
  void (*previousBrokenPipeHandler_)(int);
  std::thread thread_;
};

TEST(Pipes, TovrelReadsAPipeToItsEnd) {
  const ScratchFolder folder;
  const Bytes wave = SomeWave();
  WriteBytes(folder / "file.wav", wave);
  ASSERT_EQ(RunBinary(TOVREL_BINARY, {"file.wav"}, folder.path()).exitStatus, 0);
  ASSERT_EQ(mkfifo((folder / "pipe.wav").c_str(), 0600), 0);

  RunResult run;
  {
    const PipeWriter writer(folder / "pipe.wav", wave);
    run = RunBinary(TOVREL_BINARY, {"pipe.wav"}, folder.path());
  }
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(ReadBytes(folder / "pipe.wav.dmp"), ReadBytes(folder / "file.wav.dmp"));
}

TEST(Pipes, TovrelCountsAPipeThatIsTooLong) {
  const ScratchFolder folder;
  ASSERT_EQ(mkfifo((folder / "pipe.wav").c_str(), 0600), 0);
  RunResult run;
  {
    const PipeWriter writer(folder / "pipe.wav", codec::MakeWaveFile(Bytes(200000, 0x80)));
    run = RunBinary(TOVREL_BINARY, {"pipe.wav"}, folder.path());
  }
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_THAT(run.err, HasSubstr("200,000 samples"));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"pipe.wav"});
}

TEST(Pipes, QuenlowRefusesAPipeItCannotPosition) {
  const ScratchFolder folder;
  ASSERT_EQ(mkfifo((folder / "rom.bin").c_str(), 0600), 0);
  RunResult run;
  {
    const PipeWriter writer(folder / "rom.bin", SomeRom());
    run = RunBinary(QUENLOW_BINARY, {"0", "rom.bin"}, folder.path());
  }
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_THAT(run.err, StartsWith("Quenlow: rom.bin: cannot be positioned"));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"rom.bin"});
}

}  // namespace
