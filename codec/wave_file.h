// The plain 8-bit mono wave file: a 44-byte header ("RIFF", "WAVE", a 16-byte
// "fmt " chunk, then "data"), followed by one unsigned byte per sample with
// 0x80 as silence.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace codec {

inline constexpr std::size_t kWaveHeaderBytes = 44;
inline constexpr std::uint32_t kWaveSampleRate = 11050;
inline constexpr std::uint16_t kWaveFormatPcm = 1;

using WaveHeader = std::array<std::uint8_t, kWaveHeaderBytes>;

// The header of an 8-bit mono PCM file at 11,050 Hz holding `sampleCount`
// samples. Its sizes are exact and no pad byte follows an odd count, so the
// file is always 44 + sampleCount bytes.
WaveHeader MakeWaveHeader(std::uint32_t sampleCount);

// A whole wave file: MakeWaveHeader, then the samples.
std::vector<std::uint8_t> MakeWaveFile(std::span<const std::uint8_t> samples);

// What the first bytes of a RIFF/WAVE file declare.
struct WaveFormat {
  bool hasFormatChunk = false;  // the fields below are read from it
  std::uint16_t formatTag = 0;  // for WAVE_FORMAT_EXTENSIBLE, the subformat's tag
  std::uint16_t channels = 0;
  std::uint32_t sampleRate = 0;
  std::uint16_t bitsPerSample = 0;
  // Byte offset of the first sample of the "data" chunk, if there is one.
  std::optional<std::uint64_t> samplesStart;
};

// Walks the chunks of `file`; returns nothing when it does not start as a
// RIFF/WAVE file.
std::optional<WaveFormat> ReadWaveFormat(std::span<const std::uint8_t> file);

}  // namespace codec
