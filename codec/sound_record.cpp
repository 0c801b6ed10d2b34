#include "codec/sound_record.h"

#include <algorithm>

#include "codec/little_endian.h"
#include "codec/optimal_encoder.h"

namespace codec {
namespace {

constexpr std::uint32_t kEncoderWord0 = 1;
constexpr std::uint32_t kEncoderWord4 = 0x00A44000;

// Copies one block out of a record that may end early; the rest reads as 0.
CompressedBlock BlockAt(std::span<const std::uint8_t> record, std::size_t block) {
  CompressedBlock bytes{};
  const std::size_t start = BlockOffset(block);
  if (start < record.size()) {
    const std::size_t available = std::min(bytes.size(), record.size() - start);
    std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(start), available, bytes.begin());
  }
  return bytes;
}

// The byte of a block that sample `position` is read from.
constexpr std::size_t ByteOfSample(std::size_t position) {
  return position == 0 ? 0 : IndexByte(position);
}

}  // namespace

SoundRecordHeader MakeSoundRecordHeader(std::uint16_t sampleCount) {
  SoundRecordHeader header{};
  StoreLittleEndian32(header, 0, kEncoderWord0);
  StoreLittleEndian32(header, 4, kEncoderWord4);
  StoreLittleEndian16(header, kSampleCountOffset, sampleCount);
  return header;
}

std::uint16_t SampleCount(std::span<const std::uint8_t> record) {
  std::array<std::uint8_t, kSampleCountBytes> count{};
  if (record.size() > kSampleCountOffset) {
    const std::size_t available = std::min(count.size(), record.size() - kSampleCountOffset);
    std::copy_n(record.begin() + kSampleCountOffset, available, count.begin());
  }
  return LoadLittleEndian16(count, 0);
}

std::size_t BlocksToDecode(std::uint16_t sampleCount) {
  return std::max<std::size_t>(1, (sampleCount + kSamplesPerBlock - 1) / kSamplesPerBlock);
}

std::size_t RecordBytesToDecode(std::uint16_t sampleCount) {
  return BlockOffset(BlocksToDecode(sampleCount));
}

std::vector<std::uint8_t> EncodeSoundRecord(std::span<const std::uint8_t> waveSamples,
                                            std::uint16_t sampleCount, EncoderMode mode) {
  const std::size_t blocks = (waveSamples.size() + kSamplesPerBlock - 1) / kSamplesPerBlock;
  const SoundRecordHeader header = MakeSoundRecordHeader(sampleCount);
  std::vector<std::uint8_t> record(header.begin(), header.end());
  record.reserve(BlockOffset(blocks));
  for (std::size_t block = 0; block < blocks; ++block) {
    const std::size_t start = block * kSamplesPerBlock;
    const auto samples =
        waveSamples.subspan(start, std::min(kSamplesPerBlock, waveSamples.size() - start));
    SampleBlock signedSamples;
    signedSamples.fill(ToSigned(0x80));  // silence after the last sample
    std::copy(samples.begin(), samples.end(), signedSamples.begin());
    ToSigned(std::span<std::uint8_t>(signedSamples.data(), samples.size()));
    const CompressedBlock bytes =
        mode == EncoderMode::Optimal
            ? EncodeBlockOptimal(std::span(signedSamples).first(samples.size())).block
            : EncodeBlock(signedSamples);
    record.insert(record.end(), bytes.begin(), bytes.end());
  }
  return record;
}

std::vector<std::uint8_t> DecodeSoundRecord(std::span<const std::uint8_t> record) {
  const std::uint16_t sampleCount = SampleCount(record);
  std::vector<std::uint8_t> samples;
  samples.reserve(sampleCount);
  for (std::size_t block = 0; samples.size() < sampleCount; ++block) {
    SampleBlock decoded = DecodeBlock(BlockAt(record, block));
    ToSigned(decoded);
    const std::size_t wanted = std::min(decoded.size(), sampleCount - samples.size());
    samples.insert(samples.end(), decoded.begin(),
                   decoded.begin() + static_cast<std::ptrdiff_t>(wanted));
  }
  return samples;
}

std::size_t SamplesPastEnd(std::uint16_t sampleCount, std::size_t availableBytes) {
  std::size_t past = 0;
  for (std::size_t sample = 0; sample < sampleCount; ++sample) {
    const std::size_t byte =
        BlockOffset(sample / kSamplesPerBlock) + ByteOfSample(sample % kSamplesPerBlock);
    past += byte >= availableBytes ? 1 : 0;
  }
  return past;
}

}  // namespace codec
