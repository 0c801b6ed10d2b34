// Test signals for measuring the codec, made here rather than taken from
// anywhere: unsigned 8-bit samples at 11,050 Hz.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct Signal {
  std::string name;
  std::vector<std::uint8_t> samples;
};

// Two seconds each: a sine sweep, a square wave, white noise, decaying noise
// bursts and a quiet tone.
std::vector<Signal> MadeSignals();

}  // namespace tools
