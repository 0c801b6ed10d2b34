#include "tools/signals.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>

#include "codec/wave_file.h"

namespace tools {
namespace {

constexpr double kRate = codec::kWaveSampleRate;
constexpr std::size_t kLength = std::size_t{2} * codec::kWaveSampleRate;
constexpr double kFullScale = 127.0;

// Samples `shape` (a function of time in seconds giving -1 to 1) at `level`
// of full scale.
std::vector<std::uint8_t> Sampled(double level, const std::function<double(double)>& shape) {
  std::vector<std::uint8_t> samples(kLength);
  for (std::size_t i = 0; i < kLength; ++i) {
    const double value =
        std::clamp(level * kFullScale * shape(static_cast<double>(i) / kRate), -128.0, 127.0);
    samples[i] = static_cast<std::uint8_t>(128 + static_cast<int>(std::lround(value)));
  }
  return samples;
}

}  // namespace

std::vector<Signal> MadeSignals() {
  constexpr double kTwoPi = 2.0 * std::numbers::pi;
  const double seconds = static_cast<double>(kLength) / kRate;
  std::mt19937 generator(11050);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);

  std::vector<Signal> signals;
  // Exponential sweep: the phase is the integral of the rising frequency.
  signals.push_back({"sine sweep 100 Hz to 4 kHz, 90%", Sampled(0.9, [&](double t) {
                       const double growth = std::log(4000.0 / 100.0) / seconds;
                       return std::sin(kTwoPi * 100.0 * (std::exp(growth * t) - 1.0) / growth);
                     })});
  signals.push_back({"square wave 220 Hz, 80%", Sampled(0.8, [&](double t) {
                       return std::fmod(t * 220.0, 1.0) < 0.5 ? 1.0 : -1.0;
                     })});
  signals.push_back({"white noise, 50%", Sampled(0.5, [&](double) { return uniform(generator); })});
  signals.push_back({"decaying noise bursts, 4 a second", Sampled(0.95, [&](double t) {
                       return uniform(generator) * std::exp(-18.0 * std::fmod(t, 0.25));
                     })});
  signals.push_back({"quiet tone 440 Hz, 5%",
                     Sampled(0.05, [&](double t) { return std::sin(kTwoPi * 440.0 * t); })});
  return signals;
}

}  // namespace tools
