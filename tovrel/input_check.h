// The encoder takes every byte after offset 44 as an 8-bit sample, whatever
// the file holds. This tells the user when that is unlikely to be what they
// meant.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tovrel {

// Says what the file is ("16-bit stereo PCM at 44,100 Hz", "not a wave file",
// ...) unless it is 8-bit mono PCM at 11,000 to 11,100 Hz with its samples
// from byte 44.
std::optional<std::string> DescribeUnexpectedInput(std::span<const std::uint8_t> file);

}  // namespace tovrel
