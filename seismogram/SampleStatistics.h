#pragma once
// The smallest, largest and mean sample value of a record, with the record's
// exact rounding: a single-precision running sum rounded at every step, the
// minimum replaced whenever "x >= min" fails (so a NaN takes it), and the mean
// as sum / count (the sum itself for no samples).
//
// The rules live here once, for KSAC::ComputeMinMaxMean and for the SAC reader,
// which fuses this pass with turning the samples' byte order: the running sum
// is a chain of dependent additions that the byte swapping can hide behind.

#include <cstdint>

namespace orvane {

struct SampleStatistics {
  float min = 1.0e20f;
  float max = -1.0e20f;
  float mean = 0.0f;
};

/// @brief Statistics of the samples sample(0) ... sample(count - 1), taken in
/// order. @p sample may have side effects (storing a decoded sample).
template <typename Sample>
SampleStatistics ComputeSampleStatistics(std::int32_t count, Sample&& sample) {
  SampleStatistics s;
  float sum = 0.0f;
  for (std::int32_t i = 0; i < count; ++i) {
    const float x = sample(i);
    sum = sum + x;
    if (!(x >= s.min)) s.min = x;
    if (x > s.max) s.max = x;
  }
  s.mean = count != 0 ? sum / static_cast<float>(count) : sum;
  return s;
}

}  // namespace orvane
