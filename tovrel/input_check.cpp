#include "tovrel/input_check.h"

#include "codec/wave_file.h"
#include "common/console.h"

namespace tovrel {
namespace {

constexpr std::uint32_t kLowestExpectedRate = 11000;
constexpr std::uint32_t kHighestExpectedRate = 11100;

std::string EncodingName(std::uint16_t formatTag) {
  switch (formatTag) {
    case codec::kWaveFormatPcm: return "PCM";
    case 0x0002: return "Microsoft ADPCM";
    case 0x0003: return "IEEE float";
    case 0x0006: return "A-law";
    case 0x0007: return "mu-law";
    case 0x0011: return "IMA ADPCM";
    case 0x0055: return "MP3";
    default:
      return "format 0x" + common::HexByte(formatTag >> 8U) + common::HexByte(formatTag & 0xFFU);
  }
}

std::string ChannelsName(std::uint16_t channels) {
  switch (channels) {
    case 1: return "mono";
    case 2: return "stereo";
    default: return std::to_string(channels) + "-channel";
  }
}

bool IsExpectedFormat(const codec::WaveFormat& format) {
  return format.formatTag == codec::kWaveFormatPcm && format.channels == 1 &&
         format.bitsPerSample == 8 && format.sampleRate >= kLowestExpectedRate &&
         format.sampleRate <= kHighestExpectedRate;
}

std::string DescribeFormat(const codec::WaveFormat& format) {
  return std::to_string(format.bitsPerSample) + "-bit " + ChannelsName(format.channels) + " " +
         EncodingName(format.formatTag) + " at " + common::WithThousands(format.sampleRate) + " Hz";
}

std::string DescribeSamplesStart(const codec::WaveFormat& format) {
  if (!format.samplesStart) {
    return "no data chunk";
  }
  return "its samples at byte " + common::WithThousands(*format.samplesStart) + ", not " +
         std::to_string(codec::kWaveHeaderBytes);
}

}  // namespace

std::optional<std::string> DescribeUnexpectedInput(std::span<const std::uint8_t> file) {
  const std::optional<codec::WaveFormat> format = codec::ReadWaveFormat(file);
  if (!format) {
    return "not a wave file";
  }
  if (!format->hasFormatChunk) {
    return "a wave file without a complete format chunk";
  }
  const bool expectedFormat = IsExpectedFormat(*format);
  const bool expectedStart = format->samplesStart == codec::kWaveHeaderBytes;
  if (expectedFormat && expectedStart) {
    return std::nullopt;
  }
  std::string description = DescribeFormat(*format);
  if (!expectedStart) {
    description += ", with " + DescribeSamplesStart(*format);
  }
  return description;
}

}  // namespace tovrel
