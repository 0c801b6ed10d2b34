#include "codec/wave_file.h"

#include <algorithm>
#include <string_view>

#include "codec/little_endian.h"

namespace codec {
namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kPcmFormatChunkBytes = 16;
constexpr std::size_t kExtensibleFormatChunkBytes = 40;
constexpr std::size_t kSubformatTagOffset = 24;
constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;
constexpr std::size_t kFirstChunkOffset = 12;

void StoreTag(std::span<std::uint8_t> bytes, std::size_t offset, std::string_view tag) {
  std::copy(tag.begin(), tag.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

bool HasTag(std::span<const std::uint8_t> bytes, std::uint64_t offset, std::string_view tag) {
  return offset + tag.size() <= bytes.size() &&
         std::equal(tag.begin(), tag.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

WaveFormat ParseFormatChunk(std::span<const std::uint8_t> chunk) {
  WaveFormat format;
  format.hasFormatChunk = true;
  format.formatTag = LoadLittleEndian16(chunk, 0);
  format.channels = LoadLittleEndian16(chunk, 2);
  format.sampleRate = LoadLittleEndian32(chunk, 4);
  format.bitsPerSample = LoadLittleEndian16(chunk, 14);
  if (format.formatTag == kWaveFormatExtensible && chunk.size() >= kExtensibleFormatChunkBytes) {
    format.formatTag = LoadLittleEndian16(chunk, kSubformatTagOffset);
  }
  return format;
}

}  // namespace

WaveHeader MakeWaveHeader(std::uint32_t sampleCount) {
  constexpr std::uint16_t kChannels = 1;
  constexpr std::uint16_t kBitsPerSample = 8;
  constexpr std::uint16_t kBytesPerFrame = kChannels * kBitsPerSample / 8;
  constexpr std::uint32_t kRiffSizeBeforeSamples = kWaveHeaderBytes - kChunkHeaderBytes;

  WaveHeader header{};
  StoreTag(header, 0, "RIFF");
  StoreLittleEndian32(header, 4, kRiffSizeBeforeSamples + sampleCount);
  StoreTag(header, 8, "WAVE");
  StoreTag(header, 12, "fmt ");
  StoreLittleEndian32(header, 16, kPcmFormatChunkBytes);
  StoreLittleEndian16(header, 20, kWaveFormatPcm);
  StoreLittleEndian16(header, 22, kChannels);
  StoreLittleEndian32(header, 24, kWaveSampleRate);
  StoreLittleEndian32(header, 28, kWaveSampleRate * kBytesPerFrame);
  StoreLittleEndian16(header, 32, kBytesPerFrame);
  StoreLittleEndian16(header, 34, kBitsPerSample);
  StoreTag(header, 36, "data");
  StoreLittleEndian32(header, 40, sampleCount);
  return header;
}

std::vector<std::uint8_t> MakeWaveFile(std::span<const std::uint8_t> samples) {
  const WaveHeader header = MakeWaveHeader(static_cast<std::uint32_t>(samples.size()));
  std::vector<std::uint8_t> file(header.size() + samples.size());
  std::copy(samples.begin(), samples.end(), std::copy(header.begin(), header.end(), file.begin()));
  return file;
}

std::optional<WaveFormat> ReadWaveFormat(std::span<const std::uint8_t> file) {
  if (!HasTag(file, 0, "RIFF") || !HasTag(file, 8, "WAVE")) {
    return std::nullopt;
  }
  WaveFormat format;
  std::optional<std::uint64_t> samplesStart;
  // 64-bit offsets: a chunk size near 4 GiB must not wrap the walk around.
  std::uint64_t offset = kFirstChunkOffset;
  while (offset + kChunkHeaderBytes <= file.size() && !(format.hasFormatChunk && samplesStart)) {
    const std::uint64_t size = LoadLittleEndian32(file, static_cast<std::size_t>(offset) + 4);
    const std::uint64_t body = offset + kChunkHeaderBytes;
    if (!format.hasFormatChunk && HasTag(file, offset, "fmt ") && size >= kPcmFormatChunkBytes &&
        body + size <= file.size()) {
      format = ParseFormatChunk(
          file.subspan(static_cast<std::size_t>(body), static_cast<std::size_t>(size)));
    } else if (!samplesStart && HasTag(file, offset, "data")) {
      samplesStart = body;
    }
    offset = body + size + (size % 2);  // chunks are padded to an even size
  }
  format.samplesStart = samplesStart;
  return format;
}

}  // namespace codec
