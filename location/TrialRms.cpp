#include "location/TrialRms.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace orvane {
namespace {

constexpr float kNoTrial = std::numeric_limits<float>::quiet_NaN();

// Most events have a few hundred stations; more take the heap.
constexpr std::size_t kStackStations = 1024;

}  // namespace

TrialRms::TrialRms(std::span<const TrialStation> stations, const JB& p, const JB& s) : p_(p) {
  for (const TrialStation& st : stations) {
    // Only picked stations that take part enter the origin time and the RMS;
    // the others change neither.
    if (!st.takesPart || st.pick == 0.0f) continue;
    stations_.push_back(Station{GreatCircleEndAt(st.stla), st.stlo, st.pick, st.pickTicks, st.referenceTicks});
  }
  canLocate_ = p.IsUsable() && s.IsUsable() && !stations_.empty();
}

// EvaluateTrial without predictions, step by step in the same order and the
// same precision (see location/TrialLocation.cpp).
float TrialRms::At(float lat, float lon) const {
  if (!canLocate_ || !std::isfinite(lat) || !std::isfinite(lon)) return kNoTrial;
  const std::size_t n = stations_.size();
  float onStack[kStackStations];
  std::vector<float> onHeap;
  float* travel = onStack;
  if (n > kStackStations) {
    onHeap.resize(n);
    travel = onHeap.data();
  }

  const GreatCircleEnd trialEnd = GreatCircleEndAt(lat);
  __int128 sum = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const Station& st = stations_[i];
    const float tp = p_.TravelTime(GreatCircleBetween(st.end, st.stlo, trialEnd, lon));
    sum += st.pickTicks - static_cast<std::int64_t>(tp) * kTicksPerSecond;
    travel[i] = tp == -12345.0f ? 0.0f : tp;  // as GetPick reads it back
  }
  const auto origin = static_cast<FileTime>(sum / static_cast<std::int64_t>(n));
  SYSTEMTIME calendar;
  if (origin < 0 || !FileTimeToSystemTime(origin, calendar)) return kNoTrial;

  float sumOfSquares = 0.0f;
  for (std::size_t i = 0; i < n; ++i) {
    const Station& st = stations_[i];
    const bool before = origin < st.referenceTicks;
    const std::int64_t k = (before ? st.referenceTicks - origin : origin - st.referenceTicks) / kTicksPerTenth;
    const float dt = static_cast<float>(static_cast<long double>(k) * 0.1);
    const float pv = before ? travel[i] - dt : travel[i] + dt;
    const double residual = static_cast<double>(pv) - static_cast<double>(st.pick);
    sumOfSquares = static_cast<float>(sumOfSquares + residual * residual);
  }
  return static_cast<float>(std::sqrt(static_cast<long double>(sumOfSquares) / static_cast<int>(n)));
}

}  // namespace orvane
