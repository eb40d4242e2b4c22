#include "map/Earth.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace orvane {

Earth::Earth() {
  // Whole degrees 0..90 from the library, the angle first rounded to float as
  // the program has always done, then the rest of the circle by symmetry.
  for (int i = 0; i <= 90; ++i) {
    const float angle = static_cast<float>(i * kDegToRad);
    sinTable[i] = static_cast<float>(std::sin(static_cast<double>(angle)));
    cosTable[i] = static_cast<float>(std::cos(static_cast<double>(angle)));
  }
  for (int i = 91; i <= 180; ++i) {
    sinTable[i] = sinTable[180 - i];
    cosTable[i] = -cosTable[180 - i];
  }
  for (int i = 181; i <= 270; ++i) {
    sinTable[i] = -sinTable[i - 180];
    cosTable[i] = -cosTable[i - 180];
  }
  // 270 is written again here on purpose: the later step wins.
  for (int i = 270; i <= 360; ++i) {
    sinTable[i] = -sinTable[360 - i];
    cosTable[i] = cosTable[360 - i];
  }
  for (auto& row : rotation) std::fill(std::begin(row), std::end(row), 0.0f);
  rotation[0][0] = rotation[1][1] = rotation[2][2] = 1.0f;
}

namespace {

// Reduces an angle to |deg| < 360 so that the table index i+1 stays inside
// the 361 entries. Angles already inside keep their exact value.
float ReduceDegrees(float deg) {
  if (deg >= 360.0f || deg <= -360.0f) return std::fmod(deg, 360.0f);
  return deg;
}

// table[i] + f * (table[i+1] - table[i]) formed in extended precision and
// rounded to a float once, as the globe has always interpolated: rounding the
// product to a float first moves about one value in seven hundred by a unit
// in the last place, and with it the odd projected pixel.
float Interpolate(const float* table, float d) {
  const int i = static_cast<int>(d);  // 0 <= d < 360
  const float f = d - static_cast<float>(i);  // exact
  const long double value = static_cast<long double>(table[i]) +
                            static_cast<long double>(f) *
                                (static_cast<long double>(table[i + 1]) - table[i]);
  return static_cast<float>(value);
}

}  // namespace

float Earth::SinDeg(float deg) const {
  if (!std::isfinite(deg)) return std::nanf("");
  float d = ReduceDegrees(deg);
  float s = 1.0f;
  if (!(d >= 0.0f)) {
    s = -1.0f;
    d = -d;
  }
  const float value = Interpolate(sinTable, d);
  return s * value;
}

float Earth::CosDeg(float deg) const {
  if (!std::isfinite(deg)) return std::nanf("");
  return Interpolate(cosTable, std::fabs(ReduceDegrees(deg)));
}

void Earth::SetRotation(float spin, float tilt) {
  const double a = spin * kDegToRad;
  const double b = tilt * kDegToRad;
  const double ca = std::cos(a), sa = std::sin(a);
  const double cb = std::cos(b), sb = std::sin(b);
  rotation[0][0] = static_cast<float>(cb * ca);
  rotation[0][1] = static_cast<float>(cb * sa);
  rotation[0][2] = static_cast<float>(-sb);
  rotation[1][0] = static_cast<float>(-sa);
  rotation[1][1] = static_cast<float>(ca);
  rotation[1][2] = 0.0f;
  rotation[2][0] = static_cast<float>(sb * ca);
  rotation[2][1] = static_cast<float>(sb * sa);
  rotation[2][2] = static_cast<float>(cb);
}

void Earth::SetView(float spinDeg, float tiltDeg, float radiusPixels, int clientWidth,
                    int clientHeight) {
  radius = radiusPixels;
  centre.x = clientWidth / 2;
  centre.y = clientHeight / 2;
  SetRotation(spinDeg, tiltDeg);
}

Vector3 Earth::Rotate(const Vector3& m) const {
  Vector3 v;
  v.x = rotation[0][0] * m.x + rotation[0][1] * m.y + rotation[0][2] * m.z;
  v.y = rotation[1][0] * m.x + rotation[1][1] * m.y + rotation[1][2] * m.z;
  v.z = rotation[2][0] * m.x + rotation[2][1] * m.y + rotation[2][2] * m.z;
  return v;
}

Vector3 Earth::RotateBack(const Vector3& v) const {
  Vector3 m;
  m.x = rotation[0][0] * v.x + rotation[1][0] * v.y + rotation[2][0] * v.z;
  m.y = rotation[0][1] * v.x + rotation[1][1] * v.y + rotation[2][1] * v.z;
  m.z = rotation[0][2] * v.x + rotation[1][2] * v.y + rotation[2][2] * v.z;
  return m;
}

Vector3 Earth::ModelPoint(float lat, float lon) const {
  const float cl = CosDeg(lat);
  const float sl = SinDeg(lat);
  const float co = CosDeg(lon);
  const float so = SinDeg(lon);
  Vector3 m;
  m.x = co * cl;
  m.y = so * cl;
  m.z = sl;
  m.x *= radius;
  m.y *= radius;
  m.z *= radius;
  return m;
}

std::int32_t TruncatePixel(float v) {
  constexpr float kLimit = 1.0e9f;
  if (std::isnan(v)) return 0;
  if (v > kLimit) return static_cast<std::int32_t>(kLimit);
  if (v < -kLimit) return -static_cast<std::int32_t>(kLimit);
  return static_cast<std::int32_t>(v);
}

ScreenPoint Earth::ToScreen(const Vector3& v) const {
  return ScreenPoint{centre.x + TruncatePixel(v.y), centre.y + TruncatePixel(-v.z)};
}

ScreenPoint Earth::Project(float lat, float lon) const { return ToScreen(Rotate(ModelPoint(lat, lon))); }

bool Earth::IsNearSide(const Vector3& view) { return view.x >= 0.0f; }

bool Earth::ScreenToLatLon(int x, int y, float& lat, float& lon) const {
  // 64-bit differences and double squares: no overflow for any int pair.
  const double dx = static_cast<double>(static_cast<std::int64_t>(x) - centre.x);
  const double dy = static_cast<double>(static_cast<std::int64_t>(y) - centre.y);
  const double r = radius;
  const double c = r * r - dx * dx - dy * dy;
  if (!(c > 0.0)) return false;  // on or outside the rim (or no radius yet)
  const Vector3 u{static_cast<float>(std::sqrt(c)), static_cast<float>(dx), static_cast<float>(-dy)};
  Vector3 w = RotateBack(u);
  const float inverse = 1.0f / radius;
  w.x *= inverse;
  w.y *= inverse;
  w.z *= inverse;
  const double z = std::clamp(static_cast<double>(w.z), -1.0, 1.0);
  const auto foundLat = static_cast<float>(std::asin(z) * kRadToDeg);
  const auto foundLon = static_cast<float>(std::atan2(static_cast<double>(w.y), static_cast<double>(w.x)) * kRadToDeg);
  // A radius that is infinite (or so large that the turned vector overflows)
  // gives no position: report nothing found rather than NaN degrees, which a
  // trial would take for an epicentre.
  if (!std::isfinite(foundLat) || !std::isfinite(foundLon)) return false;
  lat = foundLat;
  lon = foundLon;
  return true;
}

}  // namespace orvane
