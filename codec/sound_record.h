// Compressed sound record: a 16-byte header, then 33-byte blocks with no gap.
//
//   offset  0  u32  1            (written by the encoder, never read)
//   offset  4  u32  0x00A44000   (written by the encoder, never read)
//   offset  8  u32  0            (written by the encoder, never read)
//   offset 12  u16  SampleCount  samples the record plays
//   offset 14  u16  0            (written by the encoder, never read)
//   offset 16 + 33 * j           block j
//
// All fields are little-endian. There is no block count: a player decodes
// the blocks that SampleCount needs, and a record may carry more.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/delta_codec.h"

namespace codec {

inline constexpr std::size_t kSoundRecordHeaderBytes = 16;
inline constexpr std::size_t kSampleCountOffset = 12;
inline constexpr std::size_t kSampleCountBytes = 2;
inline constexpr std::size_t kMaxSampleCount = 0xFFFF;
inline constexpr std::size_t kMaxBlocksPlayed =
    (kMaxSampleCount + kSamplesPerBlock - 1) / kSamplesPerBlock;

using SoundRecordHeader = std::array<std::uint8_t, kSoundRecordHeaderBytes>;

constexpr std::size_t BlockOffset(std::size_t block) {
  return kSoundRecordHeaderBytes + block * kCompressedBlockBytes;
}

// The header as the encoder writes it.
SoundRecordHeader MakeSoundRecordHeader(std::uint16_t sampleCount);

// Reads the count from the start of a record; bytes missing at the end of
// `record` read as 0.
std::uint16_t SampleCount(std::span<const std::uint8_t> record);

// ceil(SampleCount / 64), but at least one: a player always reads the first
// block, even of a record that plays nothing.
std::size_t BlocksToDecode(std::uint16_t sampleCount);

// The bytes a player reads from the start of a record: header and blocks.
std::size_t RecordBytesToDecode(std::uint16_t sampleCount);

// How the encoder chooses a block's indices.
enum class EncoderMode {
  Nearest,  // sample by sample, the step nearest the target (QuantizeDelta)
  Optimal,  // the least total squared error over the block (EncodeBlockOptimal)
};

// Encodes unsigned wave samples into a whole record: one block for every 64
// samples or part thereof. In the nearest mode the last block is padded with
// silence; in the optimal mode it is optimised over the samples that exist.
std::vector<std::uint8_t> EncodeSoundRecord(std::span<const std::uint8_t> waveSamples,
                                            std::uint16_t sampleCount,
                                            EncoderMode mode = EncoderMode::Nearest);

// Decodes the SampleCount samples of a record, unsigned as in a wave file.
// Bytes missing at the end of `record` read as 0, so any input decodes.
std::vector<std::uint8_t> DecodeSoundRecord(std::span<const std::uint8_t> record);

// How many decoded samples have their own byte (the raw byte or the nibble
// that moves them) outside the first `availableBytes` bytes of the record.
std::size_t SamplesPastEnd(std::uint16_t sampleCount, std::size_t availableBytes);

}  // namespace codec
