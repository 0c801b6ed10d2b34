#include "codec/delta_codec.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using codec::CompressedBlock;
using codec::DecodeBlock;
using codec::EncodeBlock;
using codec::QuantizeDelta;
using codec::SampleBlock;

TEST(DeltaTable, HoldsTheSquaresAndTheirNegatives) {
  const std::array<int, 16> steps = {0,   1,   4,   9,   16,  25, 36, 49,
                                     -64, -49, -36, -25, -16, -9, -4, -1};
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(static_cast<std::int8_t>(codec::DeltaTable[i]), steps[i]) << "index " << i;
  }
}

TEST(ToSigned, FlipsBitSevenBothWays) {
  EXPECT_EQ(codec::ToSigned(0x80), 0x00);
  EXPECT_EQ(codec::ToSigned(0x00), 0x80);
  EXPECT_EQ(codec::ToSigned(0xFF), 0x7F);
  std::array<std::uint8_t, 3> buffer = {0x80, 0x7F, 0x12};
  codec::ToSigned(buffer);
  EXPECT_EQ(buffer, (std::array<std::uint8_t, 3>{0x00, 0xFF, 0x92}));
}

// The index for every difference d = target - running, as ranges of d.
struct IndexRange {
  int first;
  int last;
  std::uint8_t index;
};
constexpr std::array<IndexRange, 16> kIndexRanges = {{
    {0x00, 0x00, 0},
    {0x01, 0x02, 1},
    {0x03, 0x06, 2},
    {0x07, 0x0C, 3},
    {0x0D, 0x14, 4},
    {0x15, 0x1E, 5},
    {0x1F, 0x2A, 6},
    {0x2B, 0x78, 7},
    {0x79, 0xC7, 8},
    {0xC8, 0xD5, 9},
    {0xD6, 0xE1, 10},
    {0xE2, 0xEB, 11},
    {0xEC, 0xF3, 12},
    {0xF4, 0xF9, 13},
    {0xFA, 0xFD, 14},
    {0xFE, 0xFF, 15},
}};

TEST(QuantizeDelta, PicksTheIndexOfTheRangeOfEveryDifference) {
  for (const int start : {0x00, 0x01, 0x33, 0x7F, 0x80, 0xC0, 0xFF}) {
    for (const IndexRange& range : kIndexRanges) {
      for (int d = range.first; d <= range.last; ++d) {
        auto running = static_cast<std::uint8_t>(start);
        const auto target = static_cast<std::uint8_t>(start + d);
        ASSERT_EQ(QuantizeDelta(running, target), range.index) << "running " << start << " d " << d;
        ASSERT_EQ(running, static_cast<std::uint8_t>(start + codec::DeltaTable[range.index]));
      }
    }
  }
}

TEST(QuantizeDelta, WorkedExamples) {
  struct Case {
    std::uint8_t running;
    std::uint8_t target;
    std::uint8_t index;
    std::uint8_t runningAfter;
  };
  const Case cases[] = {
      {0x00, 10, 3, 9},       // 6 above the 16 step, 1 below the 9 step
      {0x00, 0x79, 8, 0xC0},  // -64 lands 71 away, wrapping; +49 would land 72 away
      {0x7F, 0x80, 1, 0x80},  // +127 to -128 is one step across the signed boundary
      {0xFF, 0x00, 1, 0x00},  // -1 to 0
      {0x42, 0x42, 0, 0x42},  // no difference, no move
  };
  for (const Case& c : cases) {
    std::uint8_t running = c.running;
    EXPECT_EQ(QuantizeDelta(running, c.target), c.index)
        << int{c.running} << " -> " << int{c.target};
    EXPECT_EQ(running, c.runningAfter);
  }
}

TEST(EncodeBlock, EqualSamplesGiveTheSampleThenZeros) {
  for (const std::uint8_t value : {0x00, 0x7F, 0x80, 0xAB}) {
    SampleBlock samples;
    samples.fill(value);
    CompressedBlock expected{};
    expected[0] = value;
    EXPECT_EQ(EncodeBlock(samples), expected) << int{value};
  }
}

TEST(EncodeBlock, PacksTheEarlierSampleOfAPairInTheHighNibble) {
  // 0, +1, +5, +14 moves by +1, +4, +9: indices 1, 2 and 3.
  SampleBlock samples{};
  samples.fill(14);
  samples[0] = 0;
  samples[1] = 1;
  samples[2] = 5;
  const CompressedBlock block = EncodeBlock(samples);
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(block[1], 0x01);
  EXPECT_EQ(block[2], 0x23);
  EXPECT_EQ(block[3], 0x00);
}

TEST(DecodeBlock, IgnoresTheHighNibbleOfByteOne) {
  CompressedBlock block = EncodeBlock(SampleBlock{0x10, 0x11, 0x15});
  const SampleBlock expected = DecodeBlock(block);
  for (int high = 1; high < 16; ++high) {
    block[1] = static_cast<std::uint8_t>((high << 4) | (block[1] & 0x0F));
    EXPECT_EQ(DecodeBlock(block), expected) << "high nibble " << high;
  }
}

TEST(DecodeBlock, AllOnesStepDownByOneAndWrap) {
  CompressedBlock block;
  block.fill(0xFF);
  block[0] = 0x05;
  const SampleBlock samples = DecodeBlock(block);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(samples[i], static_cast<std::uint8_t>(5 - static_cast<int>(i))) << "sample " << i;
  }
}

// Decoding gives exactly the values the encoder's running value took.
TEST(DeltaCodec, DecodingReproducesTheEncodersRunningValues) {
  std::mt19937 generator(20261211);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> smallStep(-20, 20);
  for (int trial = 0; trial < 2000; ++trial) {
    SampleBlock samples;
    // Half the blocks are noise over the whole range, half a random walk.
    int walk = byte(generator);
    for (std::uint8_t& sample : samples) {
      walk += smallStep(generator);
      sample = static_cast<std::uint8_t>(trial % 2 == 0 ? byte(generator) : walk);
    }
    SampleBlock running{samples[0]};
    std::uint8_t value = samples[0];
    for (std::size_t j = 1; j < samples.size(); ++j) {
      QuantizeDelta(value, samples[j]);
      running[j] = value;
    }
    ASSERT_EQ(DecodeBlock(EncodeBlock(samples)), running) << "trial " << trial;
  }
}

}  // namespace
