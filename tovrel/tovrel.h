// Tovrel: encodes an 8-bit mono wave file into a compressed sound record
// written beside it as INPUTFILE.dmp.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

#include "codec/sound_record.h"
#include "codec/wave_file.h"

namespace tovrel {

// A record plays 740 samples fewer than its input holds after the 44-byte
// header. Records already placed in ROM images were made that way, so the
// trim stays.
inline constexpr std::uint64_t kTrimmedSamples = 740;
inline constexpr std::uint64_t kUncountedBytes = codec::kWaveHeaderBytes + kTrimmedSamples;
// The longest input whose count still fits the record's 16-bit field.
inline constexpr std::uint64_t kMaxInputBytes = kUncountedBytes + codec::kMaxSampleCount;

// The SampleCount for an input of `length` bytes: length - 784, or 0 for
// inputs too short to play anything. Longer inputs than kMaxInputBytes are
// refused before this is asked.
std::uint16_t SampleCountForInputLength(std::uint64_t length);

// The whole program. `arguments` excludes the program's name; console text
// goes to `out` and `err`; returns the exit status.
int RunTovrel(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err);

}  // namespace tovrel
