// Delta codec: 64 signed 8-bit samples packed into one 33-byte block.
//
// The first sample of a block is stored raw; every later sample is a 4-bit
// index into DeltaTable, whose step is added (modulo 256, no clamping) to the
// sample reconstructed before it. Blocks decode on their own: the running
// value restarts from the raw sample of each block.
//
// Samples inside the codec are signed two's-complement values held in
// std::uint8_t, so that every sum wraps modulo 256 without undefined or
// implementation-defined behaviour. ToSigned converts to and from the
// unsigned samples of wave files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace codec {

inline constexpr std::size_t kSamplesPerBlock = 64;
// Byte 0 holds sample 0 raw, byte 1 the index of sample 1 (low nibble only),
// and every further byte the indices of two samples.
inline constexpr std::size_t kCompressedBlockBytes = 2 + (kSamplesPerBlock - 2) / 2;
inline constexpr std::size_t kDeltaTableSize = 16;

using SampleBlock = std::array<std::uint8_t, kSamplesPerBlock>;
using CompressedBlock = std::array<std::uint8_t, kCompressedBlockBytes>;

// The 16 steps as stored bytes: +0, +1, +4, ... +49 (squares of 0 to 7), -64,
// then -49, -36, ... -1. Read as unsigned bytes the table ascends strictly,
// which the quantizer's search relies on.
inline constexpr std::array<std::uint8_t, kDeltaTableSize> DeltaTable = {
    0x00, 0x01, 0x04, 0x09, 0x10, 0x19, 0x24, 0x31, 0xC0, 0xCF, 0xDC, 0xE7, 0xF0, 0xF7, 0xFC, 0xFF,
};

// Where a block keeps the index of sample j (1 to 63): in byte j / 2 + 1,
// the high nibble for even j, so the earlier sample of a pair comes first.
// Sample 1 has the low nibble of byte 1 to itself; the high one stays 0.
constexpr std::size_t IndexByte(std::size_t sample) { return sample / 2 + 1; }
constexpr unsigned IndexShift(std::size_t sample) { return sample % 2 == 0 ? 4U : 0U; }

constexpr std::uint8_t GetIndex(std::span<const std::uint8_t, kCompressedBlockBytes> block,
                                std::size_t sample) {
  return (block[IndexByte(sample)] >> IndexShift(sample)) & 0x0FU;
}

// Expects the nibble to be clear, as in a freshly zeroed block.
constexpr void SetIndex(CompressedBlock& block, std::size_t sample, std::uint8_t index) {
  block[IndexByte(sample)] |= static_cast<std::uint8_t>(index << IndexShift(sample));
}

// Flips bit 7: unsigned wave sample (0x80 = silence) to signed codec sample,
// and back again.
constexpr std::uint8_t ToSigned(std::uint8_t sample) { return sample ^ 0x80U; }

// Converts a whole buffer in place, in either direction.
void ToSigned(std::span<std::uint8_t> samples);

// Chooses the step whose result lies nearest the target on the 256-value
// circle, moves `running` by it and returns its index.
std::uint8_t QuantizeDelta(std::uint8_t& running, std::uint8_t target);

// Greedy closed-loop encoding: every index is chosen against the value the
// decoder will hold at that point.
CompressedBlock EncodeBlock(std::span<const std::uint8_t, kSamplesPerBlock> samples);

// Any 33 bytes decode; the high nibble of byte 1 is ignored.
SampleBlock DecodeBlock(std::span<const std::uint8_t, kCompressedBlockBytes> block);

}  // namespace codec
