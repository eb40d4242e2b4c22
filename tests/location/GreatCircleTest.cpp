// Great-circle distances.

#include "location/GreatCircle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

TEST(GreatCircle, KnownDistances) {
  struct Case {
    float lat1, lon1, lat2, lon2, degrees, tolerance;
  };
  const Case cases[] = {
      {0, 0, 0, 90, 90, 1e-4f},       {0, 0, 0, 180, 180, 1e-4f},   {90, 0, -90, 0, 180, 1e-4f},
      {0, 0, 90, 0, 90, 1e-4f},       {0, -170, 0, 170, 20, 1e-4f}, {45, 30, 45, 30, 0, 0.05f},
      {10, 20, -10, -160, 180, 0.05f}, {0, 0, 1, 0, 1, 1e-3f},      {60, 0, 60, 180, 60, 1e-3f},
      // Paris - New York, 52.5 degrees on a sphere.
      {48.8566f, 2.3522f, 40.7128f, -74.006f, 52.54f, 0.05f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2);
    EXPECT_NEAR(GreatCircle(c.lat1, c.lon1, c.lat2, c.lon2), c.degrees, c.tolerance);
    EXPECT_NEAR(GreatCircle(c.lat2, c.lon2, c.lat1, c.lon1), c.degrees, c.tolerance);
  }
}

// Equal and antipodal points can round the cosine of the arc beyond +-1; the
// clamp keeps the result a number.
TEST(GreatCircle, NeverNaNForEqualOrAntipodalPoints) {
  for (float lat = -90.0f; lat <= 90.0f; lat += 0.7f) {
    for (float lon = -180.0f; lon <= 180.0f; lon += 3.1f) {
      const float same = GreatCircle(lat, lon, lat, lon);
      ASSERT_FALSE(std::isnan(same)) << lat << "," << lon;
      ASSERT_LT(same, 0.1f) << lat << "," << lon;
      const float opposite = GreatCircle(lat, lon, -lat, lon + 180.0f);
      ASSERT_FALSE(std::isnan(opposite)) << lat << "," << lon;
      ASSERT_GT(opposite, 179.9f) << lat << "," << lon;
    }
  }
}

TEST(GreatCircle, AgreesWithTheHaversineFormula) {
  for (float lat1 = -80.0f; lat1 <= 80.0f; lat1 += 13.3f) {
    for (float lon2 = -175.0f; lon2 <= 175.0f; lon2 += 17.9f) {
      const float lat2 = 0.5f * lat1 + 20.0f, lon1 = 11.0f;
      const double r = M_PI / 180.0;
      const double h = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
                       std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lon2 - lon1) * r / 2), 2);
      const double expected = 2 * std::asin(std::sqrt(h)) / r;
      EXPECT_NEAR(GreatCircle(lat1, lon1, lat2, lon2), expected, 2e-3) << lat1 << " " << lon2;
    }
  }
}

TEST(GreatCircle, NaNInNaNOut) { EXPECT_TRUE(std::isnan(GreatCircle(std::nanf(""), 0, 0, 0))); }

}  // namespace
}  // namespace orvane
