// Measures what the two encoder modes make of a set of signals: the
// signal-to-noise ratio of the decoded sound and the number of samples that
// come out more than 64 away from the input (heard as clicks).
// Usage: quality_report [WAVE_FILE...]   (8-bit mono files, read after byte 44)
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "codec/sound_record.h"
#include "codec/wave_file.h"
#include "tools/signals.h"

namespace {

constexpr int kClickDistance = 64;

struct Quality {
  double signalToNoise = 0.0;  // dB
  std::size_t clicks = 0;
};

Quality Measure(const std::vector<std::uint8_t>& samples, codec::EncoderMode mode) {
  const auto count = static_cast<std::uint16_t>(samples.size());
  const std::vector<std::uint8_t> decoded =
      codec::DecodeSoundRecord(codec::EncodeSoundRecord(samples, count, mode));
  double signal = 0.0;
  double noise = 0.0;
  Quality quality;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const int input = samples[i] - 128;
    const int error = decoded[i] - samples[i];
    signal += input * input;
    noise += error * error;
    quality.clicks += std::abs(error) > kClickDistance ? 1 : 0;
  }
  quality.signalToNoise = noise == 0.0 ? INFINITY : 10.0 * std::log10(signal / noise);
  return quality;
}

bool ReadWaveSamples(const char* path, tools::Signal& signal) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                        std::istreambuf_iterator<char>());
  if (!file.is_open() || bytes.size() <= codec::kWaveHeaderBytes ||
      bytes.size() - codec::kWaveHeaderBytes > codec::kMaxSampleCount) {
    std::cerr << "quality_report: " << path << ": not an 8-bit wave file of 1 to 65,535 samples\n";
    return false;
  }
  signal.name = "wave file " + std::filesystem::path(path).filename().string();
  signal.samples.assign(bytes.begin() + codec::kWaveHeaderBytes, bytes.end());
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::vector<tools::Signal> signals = tools::MadeSignals();
  for (int i = 1; i < argc; ++i) {
    tools::Signal signal;
    if (!ReadWaveSamples(argv[i], signal)) {
      return 1;
    }
    signals.push_back(std::move(signal));
  }
  std::printf(
      "| signal | samples | SNR, default | SNR, --optimal | off by > %d, default | off by > %d, "
      "--optimal |\n",
      kClickDistance, kClickDistance);
  std::printf("|---|---:|---:|---:|---:|---:|\n");
  for (const tools::Signal& signal : signals) {
    const Quality nearest = Measure(signal.samples, codec::EncoderMode::Nearest);
    const Quality optimal = Measure(signal.samples, codec::EncoderMode::Optimal);
    std::printf("| %s | %zu | %.1f dB | %.1f dB | %zu | %zu |\n", signal.name.c_str(),
                signal.samples.size(), nearest.signalToNoise, optimal.signalToNoise, nearest.clicks,
                optimal.clicks);
  }
  return 0;
}
