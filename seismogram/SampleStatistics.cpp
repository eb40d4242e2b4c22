#include "seismogram/SampleStatistics.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace orvane {
namespace {

constexpr int kLanes = 4;

// The running values while a loop runs: locals, so that they stay in registers.
struct Lanes {
  float sum;
  float low[kLanes];
  float high[kLanes];
};

// Samples x[0] ... x[n - 1] (n at most kLanes), in order, one per lane.
inline void Take(const float* x, int n, Lanes& l) {
  for (int j = 0; j < n; ++j) {
    const float v = x[j];
    l.sum = l.sum + v;
    l.low[j] = v < l.low[j] ? v : l.low[j];
    l.high[j] = v > l.high[j] ? v : l.high[j];
  }
}

// Four samples, one per lane: a fixed count the compiler turns into one
// vector minimum and maximum.
inline void TakeFour(const float* x, Lanes& l) {
  for (int j = 0; j < kLanes; ++j) {
    const float v = x[j];
    l.sum = l.sum + v;
    l.low[j] = v < l.low[j] ? v : l.low[j];
    l.high[j] = v > l.high[j] ? v : l.high[j];
  }
}

inline void Turn(const unsigned char* bytes, float* samples, std::int32_t first, std::int32_t count) {
  for (std::int32_t k = first; k < first + count; ++k) {
    std::uint32_t w;
    std::memcpy(&w, bytes + 4 * static_cast<std::size_t>(k), 4);
    w = (w >> 24) | ((w >> 8) & 0x0000FF00u) | ((w << 8) & 0x00FF0000u) | (w << 24);
    samples[k] = std::bit_cast<float>(w);
  }
}

}  // namespace

void RunningStatistics::Add(const float* samples, std::int32_t count) {
  Lanes l{sum_, {}, {}};
  std::memcpy(l.low, low_, sizeof low_);
  std::memcpy(l.high, high_, sizeof high_);
  std::int32_t i = 0;
  for (; count - i >= kLanes; i += kLanes) TakeFour(samples + i, l);
  Take(samples + i, count - i, l);
  sum_ = l.sum;
  std::memcpy(low_, l.low, sizeof low_);
  std::memcpy(high_, l.high, sizeof high_);
}

void RunningStatistics::AddSwapped(const unsigned char* bytes, float* samples, std::int32_t count) {
  // Far enough ahead that a turned sample has left the store queue when it is
  // read, near enough to be in the nearest cache.
  constexpr std::int32_t kLead = 64;
  Lanes l{sum_, {}, {}};
  std::memcpy(l.low, low_, sizeof low_);
  std::memcpy(l.high, high_, sizeof high_);
  std::int32_t turned = count < kLead ? count : kLead;
  Turn(bytes, samples, 0, turned);
  std::int32_t i = 0;
  for (; count - turned >= kLanes; i += kLanes, turned += kLanes) {
    Turn(bytes, samples, turned, kLanes);
    TakeFour(samples + i, l);
  }
  Turn(bytes, samples, turned, count - turned);
  sum_ = l.sum;
  std::memcpy(low_, l.low, sizeof low_);
  std::memcpy(high_, l.high, sizeof high_);
  Add(samples + i, count - i);
}

SampleStatistics RunningStatistics::Finish(const float* all, std::int32_t count) const {
  // The first sample equal to zero, with its sign (there is one whenever the
  // minimum or the maximum is zero).
  const auto firstZero = [all, count] {
    for (std::int32_t i = 0; i < count; ++i)
      if (all[i] == 0.0f) return all[i];
    return 0.0f;
  };
  SampleStatistics s;
  if (!std::isfinite(sum_)) {
    // The sequential rule itself, leaving out the samples that are not finite.
    float sum = 0.0f;
    std::int32_t finite = 0;
    for (std::int32_t i = 0; i < count; ++i) {
      const float v = all[i];
      if (!std::isfinite(v)) continue;
      ++finite;
      sum = sum + v;
      if (!(v >= s.min)) s.min = v;
      if (v > s.max) s.max = v;
    }
    s.mean = finite != 0 ? sum / static_cast<float>(finite) : sum;
    return s;
  }
  for (int j = 0; j < kLanes; ++j) {
    if (low_[j] < s.min) s.min = low_[j];
    if (high_[j] > s.max) s.max = high_[j];
  }
  if (s.min == 0.0f) s.min = firstZero();
  if (s.max == 0.0f) s.max = firstZero();
  s.mean = count != 0 ? sum_ / static_cast<float>(count) : sum_;
  return s;
}

SampleStatistics ComputeSampleStatistics(const float* samples, std::int32_t count) {
  RunningStatistics running;
  running.Add(samples, count);
  return running.Finish(samples, count);
}

}  // namespace orvane
