#include "location/GreatCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvane {

float GreatCircle(float lat1, float lon1, float lat2, float lon2) {
  // Intermediate products in extended precision, each named quantity rounded
  // to a float where the program has always rounded it.
  constexpr long double kDegToRad = 0.017453292;
  const float c1 = static_cast<float>((90.0L - lat1) * kDegToRad);
  const float c2 = static_cast<float>((90.0L - lat2) * kDegToRad);
  const float dl = static_cast<float>((static_cast<long double>(lon1) - lon2) * kDegToRad);
  const float s1 = static_cast<float>(std::sin(static_cast<double>(c1)));
  const float s2 = static_cast<float>(std::sin(static_cast<double>(c2)));
  const float cd = static_cast<float>(std::cos(static_cast<double>(dl)));
  const float k1 = static_cast<float>(std::cos(static_cast<double>(c1)));
  const float k2 = static_cast<float>(std::cos(static_cast<double>(c2)));
  float x = static_cast<float>(static_cast<long double>(s1) * s2 * cd + static_cast<long double>(k1) * k2);
  // Rounding can push the cosine just beyond +-1 for (nearly) equal or
  // antipodal points; acos would then give NaN.
  if (!std::isnan(x)) x = std::clamp(x, -1.0f, 1.0f);
  return static_cast<float>(std::acos(static_cast<double>(x)) * 57.29578121995553L);
}

double HaversineDegrees(double lat1, double lon1, double lat2, double lon2) {
  constexpr double kRadians = std::numbers::pi / 180.0;
  const double sinLat = std::sin((lat2 - lat1) * kRadians / 2.0);
  const double sinLon = std::sin((lon2 - lon1) * kRadians / 2.0);
  const double h = sinLat * sinLat + std::cos(lat1 * kRadians) * std::cos(lat2 * kRadians) * sinLon * sinLon;
  // Rounding can take h just beyond 1 for antipodal points.
  return 2.0 * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0))) / kRadians;
}

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;
// WGS84: flattening 1/298.257223563; (1 - e^2) with e^2 = f (2 - f).
constexpr double kFlattening = 1.0 / 298.257223563;
constexpr double kOneMinusE2 = (1.0 - kFlattening) * (1.0 - kFlattening);

}  // namespace

double GeocentricLatitude(double geographic) {
  const double phi = geographic * kRadians;
  return std::atan2(kOneMinusE2 * std::sin(phi), std::cos(phi)) / kRadians;
}

double GeographicLatitude(double geocentric) {
  const double theta = geocentric * kRadians;
  return std::atan2(std::sin(theta), kOneMinusE2 * std::cos(theta)) / kRadians;
}

double GeocentricDistance(double lat1, double lon1, double lat2, double lon2) {
  const double t1 = GeocentricLatitude(lat1) * kRadians, t2 = GeocentricLatitude(lat2) * kRadians;
  const double l1 = lon1 * kRadians, l2 = lon2 * kRadians;
  const double a[3] = {std::cos(t1) * std::cos(l1), std::cos(t1) * std::sin(l1), std::sin(t1)};
  const double b[3] = {std::cos(t2) * std::cos(l2), std::cos(t2) * std::sin(l2), std::sin(t2)};
  const double cross[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  const double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  return std::atan2(std::hypot(cross[0], cross[1], cross[2]), dot) / kRadians;
}

}  // namespace orvane
