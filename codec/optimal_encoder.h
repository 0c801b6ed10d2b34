// The optimal block encoder: the indices whose decoded samples lie nearest
// the input in total squared error, found exactly.
//
// The decoder's only state is the running value, and every block starts from
// a raw sample, so a block's best indices follow from a shortest-path search
// over the 256 running values, sample by sample (a Viterbi search). Its
// blocks are ordinary blocks: any decoder reads them.
#pragma once

#include <cstdint>
#include <span>

#include "codec/delta_codec.h"

namespace codec {

struct OptimalBlock {
  CompressedBlock block;
  // Sum over the samples given of (decoded - input)^2, both taken as signed.
  std::uint32_t squaredError = 0;
};

// Encodes 1 to 64 signed samples (fewer than 64 only for the last block of a
// sound). Byte 0 is the first sample, as always; the indices after the last
// sample given are 0. Of several best choices it takes the one that ends on
// the lowest value, then, going back, the lowest index at every sample.
OptimalBlock EncodeBlockOptimal(std::span<const std::uint8_t> samples);

}  // namespace codec
