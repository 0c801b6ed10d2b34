// The one place that touches the file system, so that the rest of both
// programs stays portable. Every function throws common::Failure naming the
// path and the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/failure.h"

namespace common {

struct FileBytes {
  std::vector<std::uint8_t> bytes;
  std::uint64_t fileLength = 0;  // of the whole file, also where `bytes` stops short of it
};

// Reads a file (or a pipe) to its end, keeping at most `limit` bytes.
FileBytes ReadFileUpTo(const std::string& path, std::size_t limit);

// Reads up to `count` bytes from `offset` of a file that can be positioned;
// fewer where the file ends first.
FileBytes ReadFileAt(const std::string& path, std::uint64_t offset, std::size_t count);

// Replaces `path` with `contents` so that it is never seen half-written: the
// bytes go to a new file in the same folder, which is renamed over `path`
// once complete. On failure that file is removed and `path` is untouched.
void WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> contents);

// Standard output and error carry bytes exactly as written ("\r\n" stays
// "\r\n"), also on systems whose consoles translate line ends.
void UseBinaryConsole();

}  // namespace common
