#include "codec/delta_codec.h"

namespace codec {
namespace {

// The nearest-step rule for one difference d = target - running (mod 256):
// find the first step not below d, then keep it unless the step before it
// lies closer. Adjacent steps differ by odd amounts, so there are no ties.
constexpr std::uint8_t NearestStepIndex(std::uint8_t d) {
  if (d == 0) {
    return 0;
  }
  std::size_t i = 1;
  while (DeltaTable[i] < d) {  // stops at 15 at the latest: its step is 0xFF
    ++i;
  }
  const int above = DeltaTable[i] - d;
  const int below = d - DeltaTable[i - 1];
  return static_cast<std::uint8_t>(above > below ? i - 1 : i);
}

// The rule depends on nothing but d, so it is worked out once for all 256.
constexpr auto kIndexForDifference = [] {
  std::array<std::uint8_t, 256> indices{};
  for (std::size_t d = 0; d < indices.size(); ++d) {
    indices[d] = NearestStepIndex(static_cast<std::uint8_t>(d));
  }
  return indices;
}();

}  // namespace

void ToSigned(std::span<std::uint8_t> samples) {
  for (std::uint8_t& sample : samples) {
    sample = ToSigned(sample);
  }
}

std::uint8_t QuantizeDelta(std::uint8_t& running, std::uint8_t target) {
  const std::uint8_t index = kIndexForDifference[static_cast<std::uint8_t>(target - running)];
  running = static_cast<std::uint8_t>(running + DeltaTable[index]);
  return index;
}

CompressedBlock EncodeBlock(std::span<const std::uint8_t, kSamplesPerBlock> samples) {
  CompressedBlock block{};
  block[0] = samples[0];
  std::uint8_t running = samples[0];
  for (std::size_t j = 1; j < kSamplesPerBlock; ++j) {
    SetIndex(block, j, QuantizeDelta(running, samples[j]));
  }
  return block;
}

SampleBlock DecodeBlock(std::span<const std::uint8_t, kCompressedBlockBytes> block) {
  SampleBlock samples{};
  samples[0] = block[0];
  for (std::size_t j = 1; j < kSamplesPerBlock; ++j) {
    samples[j] = static_cast<std::uint8_t>(samples[j - 1] + DeltaTable[GetIndex(block, j)]);
  }
  return samples;
}

}  // namespace codec
