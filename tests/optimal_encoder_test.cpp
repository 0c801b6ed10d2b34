#include "codec/optimal_encoder.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "tests/test_support.h"

namespace {

using codec::CompressedBlock;
using codec::EncodeBlockOptimal;
using codec::OptimalBlock;
using testing_support::Bytes;

int Signed(std::uint8_t value) { return static_cast<std::int8_t>(value); }

// The error of a block against the first samples.size() samples it stands for.
std::uint64_t SquaredError(const CompressedBlock& block, const Bytes& samples) {
  const codec::SampleBlock decoded = codec::DecodeBlock(block);
  std::uint64_t error = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const int difference = Signed(decoded[i]) - Signed(samples[i]);
    error += static_cast<std::uint64_t>(difference * difference);
  }
  return error;
}

// A straightforward search over the 256 running values, with 64-bit costs
// and nothing clamped, written independently of the encoder's.
std::uint64_t LeastPossibleError(const Bytes& samples) {
  constexpr std::uint64_t kUnreachable = std::numeric_limits<std::uint64_t>::max() / 2;
  std::vector<std::uint64_t> cost(256, kUnreachable);
  cost[samples[0]] = 0;
  for (std::size_t t = 1; t < samples.size(); ++t) {
    std::vector<std::uint64_t> next(256, kUnreachable);
    for (int from = 0; from < 256; ++from) {
      for (const std::uint8_t step : codec::DeltaTable) {
        const auto to = static_cast<std::uint8_t>(from + step);
        const int difference = Signed(to) - Signed(samples[t]);
        next[to] = std::min(next[to], cost[static_cast<std::size_t>(from)] +
                                          static_cast<std::uint64_t>(difference * difference));
      }
    }
    cost = next;
  }
  return *std::min_element(cost.begin(), cost.end());
}

Bytes RandomBlock(std::mt19937& generator, std::size_t count, int spread) {
  std::uniform_int_distribution<int> start(-128, 127);
  std::uniform_int_distribution<int> move(-spread, spread);
  Bytes samples(count);
  int value = start(generator);
  for (std::uint8_t& sample : samples) {
    value = std::clamp(value + move(generator), -128, 127);
    sample = static_cast<std::uint8_t>(value);
  }
  return samples;
}

// Every index sequence of a short block, tried one by one. Of the best it
// keeps the one the encoder promises: the lowest final value (as unsigned),
// then the lowest index for the last sample, then for the one before, ...
TEST(EncodeBlockOptimal, MatchesExhaustiveSearchOnShortBlocks) {
  std::mt19937 generator(42);
  for (std::size_t count = 1; count <= 5; ++count) {
    const int trials = count <= 3 ? 200 : (count == 4 ? 40 : 6);
    for (int trial = 0; trial < trials; ++trial) {
      const Bytes samples = RandomBlock(generator, count, trial % 2 == 0 ? 255 : 40);
      std::uint64_t bestError = std::numeric_limits<std::uint64_t>::max();
      std::pair<int, std::vector<int>> bestKey;  // (final value, indices from the last back)
      CompressedBlock best{};
      const std::size_t sequences = std::size_t{1} << (4 * (count - 1));
      for (std::size_t sequence = 0; sequence < sequences; ++sequence) {
        CompressedBlock block{};
        block[0] = samples[0];
        std::vector<int> reversedIndices;
        for (std::size_t j = count - 1; j >= 1; --j) {
          const auto index = static_cast<std::uint8_t>((sequence >> (4 * (j - 1))) & 0x0F);
          codec::SetIndex(block, j, index);
          reversedIndices.push_back(index);
        }
        const std::uint64_t error = SquaredError(block, samples);
        const int finalValue = codec::ToSigned(codec::DecodeBlock(block)[count - 1]);
        const std::pair<int, std::vector<int>> key{finalValue, reversedIndices};
        if (error < bestError || (error == bestError && key < bestKey)) {
          bestError = error;
          bestKey = key;
          best = block;
        }
      }
      const OptimalBlock optimal = EncodeBlockOptimal(samples);
      ASSERT_EQ(optimal.squaredError, bestError) << count << " samples, trial " << trial;
      ASSERT_EQ(optimal.block, best) << count << " samples, trial " << trial;
    }
  }
}

struct BlockFamily {
  const char* name;
  Bytes (*make)(std::mt19937&);
};

const BlockFamily kFamilies[] = {
    {"noise",
     [](std::mt19937& g) {
       return testing_support::RandomBytes(64, static_cast<std::uint32_t>(g()));
     }},
    {"random walk", [](std::mt19937& g) { return RandomBlock(g, 64, 12); }},
    {"near full scale",
     [](std::mt19937& g) {
       // A loud square wave with a random phase and edges, clipping at both ends.
       Bytes samples(64);
       const auto phase = static_cast<std::size_t>(g() % 20);
       for (std::size_t i = 0; i < samples.size(); ++i) {
         const bool high = (i + phase) / 10 % 2 == 0;
         samples[i] = static_cast<std::uint8_t>(high ? 127 - static_cast<int>(g() % 4)
                                                     : -128 + static_cast<int>(g() % 4));
       }
       return samples;
     }},
    {"short last block", [](std::mt19937& g) { return RandomBlock(g, 1 + g() % 63, 60); }},
};

TEST(EncodeBlockOptimal, IsExactAndNeverWorseThanTheNearestStep) {
  std::mt19937 generator(7);
  for (const BlockFamily& family : kFamilies) {
    for (int trial = 0; trial < 60; ++trial) {
      const Bytes samples = family.make(generator);
      const OptimalBlock optimal = EncodeBlockOptimal(samples);
      ASSERT_EQ(optimal.block[0], samples[0]) << family.name;
      // The decoder reproduces exactly what the encoder counted on.
      ASSERT_EQ(SquaredError(optimal.block, samples), optimal.squaredError) << family.name;
      ASSERT_EQ(optimal.squaredError, LeastPossibleError(samples))
          << family.name << " trial " << trial;
      codec::SampleBlock padded;
      padded.fill(0);
      std::copy(samples.begin(), samples.end(), padded.begin());
      ASSERT_LE(optimal.squaredError, SquaredError(codec::EncodeBlock(padded), samples))
          << family.name;
      // Nothing after the last sample given moves.
      for (std::size_t j = samples.size(); j < codec::kSamplesPerBlock; ++j) {
        ASSERT_EQ(codec::GetIndex(optimal.block, j), 0) << family.name;
      }
    }
  }
}

// Full-scale swings whose best path wanders far above the cheapest running
// value: the block a search with narrow costs cannot vouch for.
TEST(EncodeBlockOptimal, StaysExactWhereTheBestPathStraysFarFromTheCheapest) {
  const Bytes unsignedSamples = {65,  255, 255, 255, 61,  0,   0,   0,   31,  164, 255, 255, 0,
                                 0,   0,   0,   255, 255, 255, 255, 0,   0,   204, 33,  255, 255,
                                 255, 195, 0,   0,   241, 94,  198, 255, 255, 255, 0,   147, 0,
                                 101, 255, 255, 163, 255, 0,   0,   130, 110, 255, 176, 202, 255,
                                 0,   0,   0,   0,   255, 136, 255, 255, 0,   132, 0,   0};
  Bytes samples = unsignedSamples;
  codec::ToSigned(samples);
  const OptimalBlock optimal = EncodeBlockOptimal(samples);
  EXPECT_EQ(optimal.squaredError, LeastPossibleError(samples));
  EXPECT_EQ(SquaredError(optimal.block, samples), optimal.squaredError);
}

}  // namespace
