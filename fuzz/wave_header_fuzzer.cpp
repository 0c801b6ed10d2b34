// Tovrel's look at the first bytes of its input, over arbitrary bytes.
#include <cstdint>
#include <span>

#include "codec/wave_file.h"
#include "fuzz/fuzz_check.h"
#include "tovrel/input_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const std::optional<codec::WaveFormat> format = codec::ReadWaveFormat(bytes);
  if (format && format->samplesStart) {
    FUZZ_REQUIRE(*format->samplesStart <= size);
  }
  // Quiet exactly for plain 8-bit mono PCM at about 11,050 Hz, samples from byte 44.
  const bool plain = format && format->hasFormatChunk && format->formatTag == 1 &&
                     format->channels == 1 && format->bitsPerSample == 8 &&
                     format->sampleRate >= 11000 && format->sampleRate <= 11100 &&
                     format->samplesStart == 44U;
  const std::optional<std::string> description = tovrel::DescribeUnexpectedInput(bytes);
  FUZZ_REQUIRE(description.has_value() != plain);
  FUZZ_REQUIRE(!description ||
               (!description->empty() && description->find('\n') == std::string::npos));
  return 0;
}
