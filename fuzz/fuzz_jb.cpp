// Travel-time tables: any bytes as a table file, read at every depth column,
// looked up forwards and backwards, and used for a trial location.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "location/JB.h"
#include "location/TrialLocation.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  static const float kDepths[] = {0, 33, 96.38f, 159.76f, 223.15f, 286.53f, 349.91f,
                                  413.29f, 476.68f, 540.06f, 603.44f, 666.84f, 730.2f, 793.59f};
  for (float depth : kDepths) {
    const orvane::JB table = orvane::JB::FromText(text, depth);
    Check(table.count >= 0 && table.count <= orvane::JB::kMaxRows);
    if (table.count == 0) continue;
    for (int i = 0; i < table.count; ++i) Check(std::isfinite(table.times[i]) && std::fabs(table.times[i]) < 1e6f);
    for (float d : {-2.0f, 0.0f, 0.5f, 17.25f, 90.0f, 179.9f, 180.0f, 1e30f}) {
      const float t = table.TravelTime(d);
      Check(std::isfinite(t));
      const float back = table.DistanceAt(t);
      Check(back >= 0.0f && back <= static_cast<float>(table.count - 1));
    }
    for (int i = 0; i < table.count; ++i) {
      const float back = table.DistanceAt(table.times[i] + 0.05f);
      Check(std::isnan(back) || (back >= 0.0f && back <= static_cast<float>(table.count - 1)));
    }
  }
  // The same text as both tables of a trial with a few stations.
  const orvane::JB p = orvane::JB::FromText(text, 0.0f, "P.JB");
  const orvane::JB s = orvane::JB::FromText(text, 600.0f, "S.JB");
  const orvane::FileTime ref = 639'000'000'000'000'000 / 5;  // some time in 2026
  std::vector<orvane::TrialStation> stations = {
      {10.0f, 20.0f, 300.4f, ref + 3'004'000'000, ref},
      {-40.0f, 170.0f, 0.0f, 0, ref + 10'000'000},
      {80.0f, -60.0f, 2.0f, ref + 20'000'000 + 50'000'000, ref + 50'000'000},
  };
  std::vector<orvane::StationPrediction> predictions(stations.size());
  const orvane::TrialResult r = orvane::EvaluateTrial(stations, 5.0f, 5.0f, p, s, predictions);
  if (r.ok()) Check(r.rms >= 0.0f && std::isfinite(r.rms));
  return 0;
}
