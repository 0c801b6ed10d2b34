#include "codec/optimal_encoder.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <optional>

namespace codec {
namespace {

// The search runs over the running values taken as unsigned (the signed
// value plus 128), where a step is the same addition modulo 256 and the
// error between two values is the plain square of their difference.
constexpr std::size_t kValues = 256;

// Costs are kept relative to the cheapest value of the row before (the
// difference is carried separately, so the absolute costs are exact), and
// are clamped at a ceiling. With 16-bit costs the compiler packs 8 values a
// vector; the search then proves its own answer, and the rare block whose
// best path strays further than the ceiling above the cheapest value is
// searched again with 32-bit costs, where nothing is ever clamped.
template <typename Cost>
constexpr int kCeiling = 0;
template <>
constexpr int kCeiling<std::int16_t> = 32767;
template <>
constexpr int kCeiling<std::int32_t> = 1 << 30;

// A row holds the cost of every running value twice over, so that the
// predecessors of values 0 to 255 under one step are one contiguous slice.
template <typename Cost>
using Row = std::array<Cost, 2 * kValues>;

// Value v is reached by step i from value v - step(i), which sits at
// v + kPredecessorOffset[i] of a doubled row.
constexpr auto kPredecessorOffset = [] {
  std::array<std::size_t, kDeltaTableSize> offsets{};
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    offsets[i] = (kValues - DeltaTable[i]) % kValues;
  }
  return offsets;
}();

constexpr int SquaredDistance(int from, int to) { return (from - to) * (from - to); }

// Squared distances from -255 to 255, clamped at the ceiling; entry
// 255 - target + v is the error of value v against `target`. `kHeadroom` is
// how far each lies below the ceiling.
template <typename Cost, bool kAsHeadroom>
constexpr auto kDistances = [] {
  std::array<Cost, 2 * kValues - 1> distances{};
  for (int d = 0; d < static_cast<int>(distances.size()); ++d) {
    const int square = std::min(SquaredDistance(d, kValues - 1), kCeiling<Cost>);
    distances[static_cast<std::size_t>(d)] =
        static_cast<Cost>(kAsHeadroom ? kCeiling<Cost> - square : square);
  }
  return distances;
}();

template <typename Cost>
struct Trellis {
  std::array<Row<Cost>, kSamplesPerBlock> rows;
  // What was taken off every cost of a row to keep the cheapest at its floor.
  std::array<int, kSamplesPerBlock> shifts{};
};

// One sample further: every value takes its cheapest predecessor, plus its
// own error against `target`.
template <typename Cost>
int Advance(const Row<Cost>& previous, std::uint8_t target, Row<Cost>& next) {
  std::array<Cost, kValues> reached;
  for (std::size_t v = 0; v < kValues; ++v) {
    Cost cheapest = previous[kPredecessorOffset[0] + v];
    for (std::size_t i = 1; i < kDeltaTableSize; ++i) {
      cheapest = std::min(cheapest, previous[kPredecessorOffset[i] + v]);
    }
    reached[v] = cheapest;
  }
  Cost lowest = reached[0];
  for (const Cost cost : reached) {  // not std::min_element: this one vectorises
    lowest = std::min(lowest, cost);
  }
  const Cost* error = kDistances<Cost, false>.data() + (kValues - 1 - target);
  const Cost* headroom = kDistances<Cost, true>.data() + (kValues - 1 - target);
  for (std::size_t v = 0; v < kValues; ++v) {
    // min(a, ceiling - e) + e is min(a + e, ceiling) without overflow.
    const auto cost =
        static_cast<Cost>(std::min(static_cast<Cost>(reached[v] - lowest), headroom[v]) + error[v]);
    next[v] = cost;
    next[v + kValues] = cost;
  }
  return lowest;
}

// Runs the search with one width of cost. Returns nothing when clamping may
// have hidden the best path: then some step back finds no predecessor whose
// cost accounts exactly for its successor's, or the path does not lead back
// to the block's first sample.
template <typename Cost>
std::optional<OptimalBlock> Search(std::span<const std::uint8_t> values) {
  Trellis<Cost> trellis;
  const std::size_t count = values.size();
  trellis.rows[0].fill(static_cast<Cost>(kCeiling<Cost>));
  trellis.rows[0][values[0]] = 0;
  trellis.rows[0][values[0] + kValues] = 0;
  for (std::size_t t = 1; t < count; ++t) {
    trellis.shifts[t] = Advance(trellis.rows[t - 1], values[t], trellis.rows[t]);
  }

  const Row<Cost>& last = trellis.rows[count - 1];
  const auto* const end = std::min_element(last.begin(), last.begin() + kValues);
  auto value = static_cast<std::size_t>(end - last.begin());
  long long total = *end;
  for (std::size_t t = 1; t < count; ++t) {
    total += trellis.shifts[t];
  }

  OptimalBlock result{};
  result.block[0] = ToSigned(values[0]);
  for (std::size_t t = count - 1; t >= 1; --t) {
    const int cost = trellis.rows[t][value];
    const int ownError = SquaredDistance(static_cast<int>(value), values[t]);
    std::size_t index = 0;
    while (index < kDeltaTableSize &&
           trellis.rows[t - 1][value + kPredecessorOffset[index]] - trellis.shifts[t] + ownError !=
               cost) {
      ++index;
    }
    if (index == kDeltaTableSize) {
      return std::nullopt;
    }
    SetIndex(result.block, t, static_cast<std::uint8_t>(index));
    value = (value + kPredecessorOffset[index]) % kValues;
  }
  if (value != values[0]) {
    return std::nullopt;
  }
  // The costs along the path account exactly for its errors, and no cost of
  // the search exceeds the true one, so the path is the best there is.
  result.squaredError = static_cast<std::uint32_t>(total);
  return result;
}

}  // namespace

OptimalBlock EncodeBlockOptimal(std::span<const std::uint8_t> samples) {
  assert(!samples.empty() && samples.size() <= kSamplesPerBlock);
  std::array<std::uint8_t, kSamplesPerBlock> values{};
  std::transform(samples.begin(), samples.end(), values.begin(),
                 [](std::uint8_t sample) { return ToSigned(sample); });
  const auto block = std::span(values).first(samples.size());
  if (std::optional<OptimalBlock> narrow = Search<std::int16_t>(block)) {
    return *narrow;
  }
  return *Search<std::int32_t>(block);
}

}  // namespace codec
