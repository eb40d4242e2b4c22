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

}  // namespace orvane
