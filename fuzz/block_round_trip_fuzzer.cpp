// Round trips of one block: decoding EncodeBlock's output gives its running
// values, and the optimal encoder is exact about its error and never worse.
// Input: one byte choosing how many samples the optimal encoder takes, then
// up to 64 samples (the rest silence).
#include <algorithm>
#include <cstdint>
#include <span>

#include "codec/delta_codec.h"
#include "codec/optimal_encoder.h"
#include "fuzz/fuzz_check.h"

namespace {

std::uint64_t SquaredError(const codec::SampleBlock& decoded,
                           std::span<const std::uint8_t> samples) {
  std::uint64_t error = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const int difference =
        static_cast<std::int8_t>(decoded[i]) - static_cast<std::int8_t>(samples[i]);
    error += static_cast<std::uint64_t>(difference * difference);
  }
  return error;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  codec::SampleBlock samples{};
  std::copy_n(data + 1, std::min(size - 1, samples.size()), samples.begin());

  codec::SampleBlock running{samples[0]};
  std::uint8_t value = samples[0];
  for (std::size_t j = 1; j < samples.size(); ++j) {
    codec::QuantizeDelta(value, samples[j]);
    running[j] = value;
  }
  const codec::SampleBlock nearest = codec::DecodeBlock(codec::EncodeBlock(samples));
  FUZZ_REQUIRE(nearest == running);

  const std::size_t count = 1 + data[0] % codec::kSamplesPerBlock;
  const auto given = std::span<const std::uint8_t>(samples).first(count);
  const codec::OptimalBlock optimal = codec::EncodeBlockOptimal(given);
  FUZZ_REQUIRE(optimal.block[0] == samples[0]);
  FUZZ_REQUIRE(SquaredError(codec::DecodeBlock(optimal.block), given) == optimal.squaredError);
  FUZZ_REQUIRE(optimal.squaredError <= SquaredError(nearest, given));
  return 0;
}
