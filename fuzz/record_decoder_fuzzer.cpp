// The block decoder and the record reader over arbitrary bytes.
#include <algorithm>
#include <cstdint>
#include <span>

#include "codec/sound_record.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);

  // Any bytes are a record: exactly SampleCount samples come out, and the
  // samples counted as past the end are those the bytes do not reach.
  const std::uint16_t sampleCount = codec::SampleCount(bytes);
  const std::vector<std::uint8_t> samples = codec::DecodeSoundRecord(bytes);
  FUZZ_REQUIRE(samples.size() == sampleCount);
  const std::size_t past = codec::SamplesPastEnd(sampleCount, size);
  FUZZ_REQUIRE(past <= sampleCount);
  const std::size_t needed = codec::RecordBytesToDecode(sampleCount);
  if (size >= needed) {
    FUZZ_REQUIRE(past == 0);
  } else {
    // Missing bytes read as 0.
    std::vector<std::uint8_t> padded(bytes.begin(), bytes.end());
    padded.resize(needed, 0);
    FUZZ_REQUIRE(codec::DecodeSoundRecord(padded) == samples);
  }

  // Any 33 bytes are a block: each sample is the one before plus its step,
  // and the high nibble of byte 1 plays no part.
  codec::CompressedBlock block{};
  std::copy_n(bytes.begin(), std::min(size, block.size()), block.begin());
  const codec::SampleBlock decoded = codec::DecodeBlock(block);
  FUZZ_REQUIRE(decoded[0] == block[0]);
  for (std::size_t j = 1; j < decoded.size(); ++j) {
    const auto expected =
        static_cast<std::uint8_t>(decoded[j - 1] + codec::DeltaTable[codec::GetIndex(block, j)]);
    FUZZ_REQUIRE(decoded[j] == expected);
  }
  block[1] ^= 0xF0U;
  FUZZ_REQUIRE(codec::DecodeBlock(block) == decoded);
  return 0;
}
