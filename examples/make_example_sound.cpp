// Writes the example sound: a short two-note chime, 8-bit unsigned mono at
// 11,050 Hz with a 44-byte header. Usage: make_example_sound OUTPUT.wav
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <vector>

#include "codec/wave_file.h"

namespace {

constexpr double kSeconds = 0.6;
constexpr double kPeak = 96.0;  // of 127: loud, with room for the partials

// A bell-like note: a fundamental with two inharmonic partials, struck at
// `start` seconds and dying away.
double Note(double time, double start, double frequency) {
  if (time < start) {
    return 0.0;
  }
  const double t = time - start;
  const double decay = std::exp(-6.0 * t);
  const double phase = 2.0 * std::numbers::pi * frequency * t;
  return decay *
         (0.6 * std::sin(phase) + 0.25 * std::sin(2.76 * phase) + 0.15 * std::sin(5.40 * phase));
}

std::vector<std::uint8_t> Chime() {
  const auto count = static_cast<std::size_t>(kSeconds * codec::kWaveSampleRate);
  std::vector<std::uint8_t> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double time = static_cast<double>(i) / codec::kWaveSampleRate;
    const double value = kPeak * (Note(time, 0.0, 660.0) + 0.8 * Note(time, 0.2, 880.0));
    samples[i] = static_cast<std::uint8_t>(128 + static_cast<int>(std::lround(value)));
  }
  return samples;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: make_example_sound OUTPUT.wav\n";
    return 2;
  }
  const std::vector<std::uint8_t> wave = codec::MakeWaveFile(Chime());
  std::ofstream file(argv[1], std::ios::binary);
  file.write(reinterpret_cast<const char*>(wave.data()), static_cast<std::streamsize>(wave.size()));
  file.close();
  if (!file) {
    std::cerr << "make_example_sound: " << argv[1] << ": cannot write\n";
    return 1;
  }
  return 0;
}
