// Fixtures shared by the tests: scratch folders, file helpers, and runs of
// the real programs in child processes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// What Tovrel prints first on every run with an input: its step table.
inline constexpr std::string_view kTableText = "00 01 04 09 10 19 24 31 C0 CF DC E7 F0 F7 FC FF ";

// A fresh folder for one test, removed with everything in it afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  std::string operator/(std::string_view name) const { return (path_ / name).string(); }
  // The names of the entries in the folder, sorted.
  [[nodiscard]] std::vector<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

Bytes ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);

// Deterministic pseudo-random bytes.
Bytes RandomBytes(std::size_t count, std::uint32_t seed);

struct RunResult {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

// Calls an entry function as main would, with output captured.
template <typename Entry>
RunResult RunInProcess(Entry entry, std::vector<std::string_view> arguments);

struct RunOptions {
  // A file size limit, with SIGXFSZ ignored so that writing past it fails
  // instead of killing the program.
  std::optional<std::uint64_t> fileSizeLimit;
  // A file to give the program as its standard input.
  std::optional<std::filesystem::path> standardInput;
};

RunOptions WithFileSizeLimit(std::uint64_t bytes);

// Runs a program's binary in `folder`.
RunResult RunBinary(const std::string& binary, const std::vector<std::string>& arguments,
                    const std::filesystem::path& folder, const RunOptions& options = {});

}  // namespace testing_support

#include <sstream>

template <typename Entry>
testing_support::RunResult testing_support::RunInProcess(Entry entry,
                                                         std::vector<std::string_view> arguments) {
  std::ostringstream out;
  std::ostringstream err;
  RunResult result;
  result.exitStatus = entry(arguments, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}
