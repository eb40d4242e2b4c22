#include "seismogram/RecordReadouts.h"

#include <cmath>

namespace orvane {

bool HasPick(const KSAC& record) { return record.GetPick(0) != 0.0f; }

std::optional<float> DeltaT(const KSAC& record) {
  const float t0 = record.GetPick(0);
  const float t1 = record.GetPick(1);
  if (t0 == 0.0f || t1 == 0.0f) return std::nullopt;
  return t1 - t0;
}

std::optional<float> TrialDistance(const KSAC& record) {
  const float gcarc = record.GetFloatHeader(KSAC::GCARC);
  if (gcarc == 0.0f || gcarc == KSAC::UNDEFINED_FLOAT) return std::nullopt;
  return gcarc;
}

float FirstSampleSeconds(const KSAC& record) {
  const float b = record.GetFloatHeader(KSAC::B);
  if (b == KSAC::UNDEFINED_FLOAT || !std::isfinite(b)) return 0.0f;
  return b;
}

std::string StationLabel(const KSAC& record) {
  const std::string station = record.GetCharHeaderText(KSAC::KSTNM);
  const std::string component = record.GetCharHeaderText(KSAC::KCMPNM);
  if (!station.empty() && station[0] == '-') return "Component: " + component;
  return station + "  " + component;
}

std::string TrimmedHeaderText(const KSAC& record, int index) {
  std::string text = record.GetCharHeaderText(index);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace orvane
