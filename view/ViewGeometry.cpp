#include "view/ViewGeometry.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace orvane {
namespace {

// The map scale read-out takes the Earth's radius as 6,300,000 m, a rounder
// figure than kEarthRadiusKm (location/GreatCircle.h); its texts have always
// been worked out with it.
constexpr double kScaleEarthRadiusMetres = 6300000.0;

// Longitude back into −180…180 after a step; a step of any size (the globe
// zoomed out to almost nothing) takes one division, not a loop.
float WrapLongitude(float spin) {
  if (spin > 180.0f || spin < -180.0f) {
    if (!std::isfinite(spin)) return 0.0f;
    spin = static_cast<float>(std::remainder(static_cast<double>(spin), 360.0));
  }
  return spin;
}

}  // namespace

void StepNorth(GlobeView& v) {
  v.tilt = v.tilt - 2000.0f / v.radius;
  if (v.tilt < -90.0f || std::isnan(v.tilt)) v.tilt = -90.0f;
}

void StepSouth(GlobeView& v) {
  v.tilt = v.tilt + 2000.0f / v.radius;
  if (v.tilt > 90.0f || std::isnan(v.tilt)) v.tilt = 90.0f;
}

void StepEast(GlobeView& v) {
  v.spin = v.spin + 5000.0f / v.radius;
  if (v.spin > 180.0f) v.spin = v.spin - 360.0f;
  v.spin = WrapLongitude(v.spin);
}

void StepWest(GlobeView& v) {
  v.spin = v.spin - 5000.0f / v.radius;
  if (v.spin < -180.0f) v.spin = v.spin + 360.0f;
  v.spin = WrapLongitude(v.spin);
}

void ZoomIn(GlobeView& v) { v.radius = v.radius * 1.25f; }
void ZoomOut(GlobeView& v) { v.radius = v.radius * 0.8f; }

std::string ScaleText(int clientHeight, float radius) {
  const double scale = static_cast<double>(clientHeight) * kScaleEarthRadiusMetres / static_cast<double>(radius);
  if (!(scale >= 1.0) || scale >= 1.8e19) return "Scale: - : 1";
  const auto x = static_cast<std::uint64_t>(scale);
  std::uint64_t v = x;
  const int e = static_cast<int>(std::log10(static_cast<double>(x))) - 2;
  if (e >= 0) {
    const auto c = static_cast<std::uint64_t>(std::pow(10.0, e) + 0.5);
    v = x / c * c;
  }
  const std::string digits = std::to_string(v);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return "Scale: " + grouped + " : 1";
}

Placement StationWindowPlacement(int x, int y, int right, int bottom) {
  const int qw = right / 4;
  const int qh = bottom / 4;
  if (x < 0) x = 0;
  if (x + qw > right) x = right - qw - 12;
  if (y < 0) y = 0;
  if (y + qh > bottom) y = bottom - qh;
  return {x + 12, y, qw, qh};
}

Placement SeismogramsWindowPlacement(int right, int bottom) { return {(3 * right) / 4, 0, right / 4, bottom}; }

}  // namespace orvane
