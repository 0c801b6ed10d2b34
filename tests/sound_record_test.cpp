#include "codec/sound_record.h"

#include <gtest/gtest.h>

#include "codec/wave_file.h"
#include "tests/test_support.h"

namespace {

using testing_support::Bytes;

TEST(SoundRecordHeader, AsTheEncoderWritesIt) {
  const codec::SoundRecordHeader header = codec::MakeSoundRecordHeader(0x1702);
  const codec::SoundRecordHeader expected = {0x01, 0x00, 0x00, 0x00, 0x00, 0x40, 0xA4, 0x00,
                                             0x00, 0x00, 0x00, 0x00, 0x02, 0x17, 0x00, 0x00};
  EXPECT_EQ(header, expected);
  EXPECT_EQ(codec::SampleCount(header), 0x1702);
}

TEST(WaveHeader, DeclaresTheTrueSizes) {
  const Bytes fixedStart = {'R', 'I', 'F', 'F'};
  const Bytes fixedMiddle = {'W', 'A', 'V', 'E', 'f', 'm',  't',  ' ', 16,  0,    0,
                             0,   1,   0,   1,   0,   0x2A, 0x2B, 0,   0,   0x2A, 0x2B,
                             0,   0,   1,   0,   8,   0,    'd',  'a', 't', 'a'};
  for (const std::uint32_t count : {0U, 1U, 100U, 65535U}) {
    const auto appendLittleEndian32 = [](Bytes& bytes, std::uint32_t value) {
      for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
      }
    };
    Bytes expected = fixedStart;
    appendLittleEndian32(expected, 36 + count);
    expected.insert(expected.end(), fixedMiddle.begin(), fixedMiddle.end());
    appendLittleEndian32(expected, count);
    const codec::WaveHeader header = codec::MakeWaveHeader(count);
    EXPECT_EQ(Bytes(header.begin(), header.end()), expected) << count << " samples";
    EXPECT_EQ(codec::MakeWaveFile(Bytes(count, 0x80)).size(), 44 + count);
  }
}

// A record whose blocks are random bytes, with junk in the header words
// that nothing reads.
Bytes RandomRecord(std::uint16_t sampleCount, std::size_t blocks, std::uint32_t seed) {
  Bytes record = testing_support::RandomBytes(codec::BlockOffset(blocks), seed);
  record[codec::kSampleCountOffset] = static_cast<std::uint8_t>(sampleCount);
  record[codec::kSampleCountOffset + 1] = static_cast<std::uint8_t>(sampleCount >> 8);
  return record;
}

// What block j of a record decodes to, unsigned.
codec::SampleBlock UnsignedBlock(const Bytes& record, std::size_t block) {
  std::array<std::uint8_t, codec::kCompressedBlockBytes> bytes{};
  std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(codec::BlockOffset(block)), bytes.size(),
              bytes.begin());
  codec::SampleBlock samples = codec::DecodeBlock(bytes);
  codec::ToSigned(samples);
  return samples;
}

TEST(DecodeSoundRecord, EmitsSampleCountSamplesFromTheBlocksItNeeds) {
  struct Case {
    std::uint16_t sampleCount;
    std::size_t blocksRead;
  };
  for (const Case c :
       {Case{0, 1}, Case{1, 1}, Case{64, 1}, Case{65, 2}, Case{100, 2}, Case{65535, 1024}}) {
    EXPECT_EQ(codec::BlocksToDecode(c.sampleCount), c.blocksRead) << c.sampleCount;
    EXPECT_EQ(codec::RecordBytesToDecode(c.sampleCount), 16 + 33 * c.blocksRead);

    // Cut right after the blocks it needs: nothing is missing, nothing else is read.
    const Bytes record = RandomRecord(c.sampleCount, c.blocksRead, c.sampleCount);
    const Bytes samples = codec::DecodeSoundRecord(record);
    ASSERT_EQ(samples.size(), c.sampleCount);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      ASSERT_EQ(samples[i], UnsignedBlock(record, i / 64)[i % 64]) << "sample " << i;
    }
    EXPECT_EQ(codec::SamplesPastEnd(c.sampleCount, record.size()), 0U);
    Bytes longer = record;
    longer.resize(record.size() + 100, 0x77);
    EXPECT_EQ(codec::DecodeSoundRecord(longer), samples);
  }
}

TEST(DecodeSoundRecord, ReadsMissingBytesAsZero) {
  // Count 100; the file ends 5 bytes into the second block.
  const Bytes full = RandomRecord(100, 2, 9);
  const Bytes cut(full.begin(),
                  full.begin() + static_cast<std::ptrdiff_t>(codec::BlockOffset(1) + 5));
  const Bytes samples = codec::DecodeSoundRecord(cut);
  ASSERT_EQ(samples.size(), 100U);
  Bytes padded = cut;
  padded.resize(full.size(), 0);
  EXPECT_EQ(samples, codec::DecodeSoundRecord(padded));
  // Bytes 0 to 4 of block 1 hold its samples 0 to 7; samples 8 to 35 are past the end.
  EXPECT_EQ(codec::SamplesPastEnd(100, cut.size()), 28U);
  EXPECT_EQ(codec::SamplesPastEnd(100, codec::BlockOffset(1)), 36U);
  EXPECT_EQ(codec::SamplesPastEnd(100, 0), 100U);
  // Nothing past the header: every sample decodes to silence.
  EXPECT_EQ(codec::DecodeSoundRecord(Bytes(full.begin(), full.begin() + 16)), Bytes(100, 0x80));
}

TEST(EncodeSoundRecord, DecodesToTheEncodersRunningValues) {
  const Bytes wave = testing_support::RandomBytes(1000, 4);
  const Bytes record = codec::EncodeSoundRecord(wave, 1000);
  ASSERT_EQ(record.size(), codec::BlockOffset(16));
  const Bytes decoded = codec::DecodeSoundRecord(record);
  for (std::size_t block = 0; block < 16; ++block) {
    std::uint8_t running = codec::ToSigned(wave[block * 64]);
    EXPECT_EQ(decoded[block * 64], wave[block * 64]) << "block " << block;
    for (std::size_t i = block * 64 + 1; i < std::min<std::size_t>(wave.size(), block * 64 + 64);
         ++i) {
      codec::QuantizeDelta(running, codec::ToSigned(wave[i]));
      ASSERT_EQ(decoded[i], codec::ToSigned(running)) << "sample " << i;
    }
  }
}

}  // namespace
