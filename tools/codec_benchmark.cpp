// Per-block speed of the block encoders and the decoder.
#include <benchmark/benchmark.h>

#include <vector>

#include "codec/delta_codec.h"
#include "codec/optimal_encoder.h"
#include "tools/signals.h"

namespace {

// The made signals cut into signed blocks, cycled through by the benchmarks.
std::vector<codec::SampleBlock> SignalBlocks(std::size_t signalIndex) {
  const std::vector<std::uint8_t> samples = tools::MadeSignals()[signalIndex].samples;
  std::vector<codec::SampleBlock> blocks(samples.size() / codec::kSamplesPerBlock);
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    for (std::size_t i = 0; i < codec::kSamplesPerBlock; ++i) {
      blocks[b][i] = codec::ToSigned(samples[b * codec::kSamplesPerBlock + i]);
    }
  }
  return blocks;
}

void SetLabel(benchmark::State& state) {
  state.SetLabel(tools::MadeSignals()[static_cast<std::size_t>(state.range(0))].name);
}

void BM_EncodeBlock(benchmark::State& state) {
  const auto blocks = SignalBlocks(static_cast<std::size_t>(state.range(0)));
  std::size_t next = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
    benchmark::DoNotOptimize(codec::EncodeBlock(blocks[next]));
    next = (next + 1) % blocks.size();
  }
  SetLabel(state);
}

void BM_DecodeBlock(benchmark::State& state) {
  const auto blocks = SignalBlocks(static_cast<std::size_t>(state.range(0)));
  std::vector<codec::CompressedBlock> encoded;
  encoded.reserve(blocks.size());
  for (const auto& block : blocks) {
    encoded.push_back(codec::EncodeBlock(block));
  }
  std::size_t next = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
    benchmark::DoNotOptimize(codec::DecodeBlock(encoded[next]));
    next = (next + 1) % encoded.size();
  }
  SetLabel(state);
}

void BM_EncodeBlockOptimal(benchmark::State& state) {
  const auto blocks = SignalBlocks(static_cast<std::size_t>(state.range(0)));
  std::size_t next = 0;
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the library's loop idiom
    benchmark::DoNotOptimize(codec::EncodeBlockOptimal(blocks[next]));
    next = (next + 1) % blocks.size();
  }
  SetLabel(state);
}

// Each runs over every made signal: 0 sweep, 1 square, 2 noise, 3 bursts, 4 quiet tone.
BENCHMARK(BM_EncodeBlock)->DenseRange(0, 4);
BENCHMARK(BM_DecodeBlock)->DenseRange(0, 4);
BENCHMARK(BM_EncodeBlockOptimal)->DenseRange(0, 4);

}  // namespace

BENCHMARK_MAIN();
