#include "view/ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "map/Earth.h"

namespace orvane {
namespace {

// The map scale read-out takes the Earth's radius as 6,300,000 m, a rounder
// figure than kEarthRadiusKm (location/GreatCircle.h); its texts have always
// been worked out with it.
constexpr double kScaleEarthRadiusMetres = 6300000.0;

// Room for a station's marker (its triangle reaches 8 pixels up and 7 to
// each side): a station counts as in view when its marker is whole.
constexpr int kMarkerRoom = 8;
// Margins of the fit, in pixels: on the right the station's name follows.
constexpr float kFitMargin = 24.0f;
constexpr float kFitMarginRight = 72.0f;
// The closest the turn zooms in: the view's half-extent spans 5 degrees.
constexpr double kSinSmallestHalfArc = 0.08715574274765817;  // sin(5 degrees)
// A turned view is never smaller than this, whatever the window.
constexpr float kSmallestFitRadius = 20.0f;

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

GlobeView ViewShowingStations(const GlobeView& current, std::span<const StationPosition> stations, int width,
                              int height, const Placement& visible) {
  if (stations.empty() || width <= 0 || height <= 0 || visible.width <= 0 || visible.height <= 0) return current;
  Earth earth;
  earth.SetView(current.spin, current.tilt, current.radius, width, height);
  const auto inView = [&](const StationPosition& s) {
    const Vector3 v = earth.Rotate(earth.ModelPoint(s.lat, s.lon));
    if (!Earth::IsNearSide(v)) return false;
    const ScreenPoint p = earth.ToScreen(v);
    return p.x >= visible.x + kMarkerRoom && p.x < visible.x + visible.width - kMarkerRoom &&
           p.y >= visible.y + kMarkerRoom && p.y < visible.y + visible.height - kMarkerRoom;
  };
  // A station without a usable position cannot be shown anywhere.
  const auto usable = [](const StationPosition& s) {
    return std::isfinite(s.lat) && std::isfinite(s.lon) && std::fabs(s.lat) <= 90.0f && std::fabs(s.lon) <= 360.0f;
  };
  bool allInView = true;
  double sx = 0.0, sy = 0.0, sz = 0.0;
  int count = 0;
  for (const StationPosition& s : stations) {
    if (!usable(s)) continue;
    ++count;
    allInView = allInView && inView(s);
    const double lat = s.lat * Earth::kDegToRad;
    const double lon = s.lon * Earth::kDegToRad;
    sx += std::cos(lat) * std::cos(lon);
    sy += std::cos(lat) * std::sin(lon);
    sz += std::sin(lat);
  }
  if (count == 0 || allInView) return current;

  // The mean direction faces the viewer; stations spread evenly all round
  // have none, and the globe keeps its centre.
  GlobeView turned = current;
  const double length = std::sqrt(sx * sx + sy * sy + sz * sz);
  if (length > 1e-6 * count) {
    turned.spin = static_cast<float>(std::atan2(sy, sx) / Earth::kDegToRad);
    turned.tilt = static_cast<float>(-std::asin(std::clamp(sz / length, -1.0, 1.0)) / Earth::kDegToRad);
  }

  // The largest radius at which every near-side station lies inside the
  // visible part with the margins, from where each one lands on a unit globe.
  earth.SetView(turned.spin, turned.tilt, 1.0f, width, height);
  const auto cx = static_cast<float>(earth.centre.x);
  const auto cy = static_cast<float>(earth.centre.y);
  const float left = cx - (static_cast<float>(visible.x) + kFitMargin);
  const float right = static_cast<float>(visible.x + visible.width) - kFitMarginRight - cx;
  const float up = cy - (static_cast<float>(visible.y) + kFitMargin);
  const float down = static_cast<float>(visible.y + visible.height) - kFitMargin - cy;
  const float room = std::max(1.0f, std::min({left, right, up, down}));
  float radius = static_cast<float>(room / kSinSmallestHalfArc);
  for (const StationPosition& s : stations) {
    if (!usable(s)) continue;
    const Vector3 v = earth.Rotate(earth.ModelPoint(s.lat, s.lon));
    if (!Earth::IsNearSide(v)) continue;
    if (v.y > 0.0f) radius = std::min(radius, right / v.y);
    if (v.y < 0.0f) radius = std::min(radius, left / -v.y);
    if (v.z > 0.0f) radius = std::min(radius, up / v.z);
    if (v.z < 0.0f) radius = std::min(radius, down / -v.z);
  }
  turned.radius = std::max(kSmallestFitRadius, radius);
  return turned;
}

}  // namespace orvane
