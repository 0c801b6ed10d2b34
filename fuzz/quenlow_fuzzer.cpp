// The whole of Quenlow, in-process, over an arbitrary file and ADDRESS.
// Input: one byte giving the length of ADDRESS (modulo 24), ADDRESS, then
// the file's bytes.
#include <stdlib.h>  // mkdtemp

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "codec/sound_record.h"
#include "codec/wave_file.h"
#include "fuzz/fuzz_check.h"
#include "quenlow/address.h"
#include "quenlow/quenlow.h"

namespace {

constexpr std::size_t kLongestAddress = 24;

// One folder for the whole run, in memory where the system has one, so that
// writing every output safely costs no disk.
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "quenlow-fuzz-XXXXXX").string();
    FUZZ_REQUIRE(mkdtemp(pattern.data()) != nullptr);
    std::atexit([] { std::filesystem::remove_all(Folder()); });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

std::set<std::string> Names() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The wave file a successful run must have written.
std::vector<std::uint8_t> ExpectedWave(std::span<const std::uint8_t> rom,
                                       std::string_view address) {
  const std::uint32_t offset = *quenlow::ConvertHexAddress(address);
  FUZZ_REQUIRE(offset + std::size_t{14} <= rom.size());
  return codec::MakeWaveFile(codec::DecodeSoundRecord(rom.subspan(offset)));
}

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::size_t addressLength = std::min<std::size_t>(data[0] % kLongestAddress, size - 1);
  const std::string address(reinterpret_cast<const char*>(data + 1), addressLength);
  const std::span<const std::uint8_t> rom(data + 1 + addressLength, size - 1 - addressLength);
  const std::string romName = "rom";
  const std::string romPath = (Folder() / romName).string();
  {
    std::ofstream file(romPath, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(rom.data()), static_cast<std::streamsize>(rom.size()));
    FUZZ_REQUIRE(file.good());
  }

  std::ostringstream out;
  std::ostringstream err;
  // "--" first, so that an ADDRESS starting with "--" is taken as one.
  const std::vector<std::string_view> arguments = {"--", address, romPath};
  const int status = quenlow::RunQuenlow(arguments, out, err);

  const std::set<std::string> names = Names();
  if (status == 0) {
    const std::string outputName = romName + address + ".wav";
    FUZZ_REQUIRE(out.str().ends_with("------ SUCCESS!"));
    FUZZ_REQUIRE(Lines(err.str()) == (err.str().empty() ? 0U : 1U));
    FUZZ_REQUIRE(names == (std::set<std::string>{romName, outputName}));
    FUZZ_REQUIRE(ReadAll(Folder() / outputName) == ExpectedWave(rom, address));
  } else {
    // A failure: one line, no success, and nothing made.
    FUZZ_REQUIRE(status == 1 || status == 2);
    FUZZ_REQUIRE(out.str().empty());
    FUZZ_REQUIRE(err.str().starts_with("Quenlow: ") && Lines(err.str()) == 1);
    FUZZ_REQUIRE(names == std::set<std::string>{romName});
  }
  for (const std::string& name : names) {
    if (name != romName) {
      std::filesystem::remove(Folder() / name);
    }
  }
  return 0;
}
