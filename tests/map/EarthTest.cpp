// The globe's tables, rotation, projection and its inverse.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "map/Earth.h"

namespace orvane {
namespace {

TEST(EarthTables, MatchTheLibraryAtWholeDegrees) {
  Earth earth;
  for (int i = 0; i <= 360; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(earth.sinTable[i], std::sin(i * M_PI / 180.0), 2e-7);
    EXPECT_NEAR(earth.cosTable[i], std::cos(i * M_PI / 180.0), 2e-7);
  }
}

TEST(EarthTables, SymmetryEntries) {
  Earth earth;
  EXPECT_EQ(earth.sinTable[0], 0.0f);
  EXPECT_EQ(earth.sinTable[180], earth.sinTable[0]);
  EXPECT_EQ(earth.cosTable[180], -earth.cosTable[0]);
  EXPECT_EQ(earth.cosTable[180], -1.0f);
  // 270 is written by the last two symmetry steps; the later one stays.
  EXPECT_EQ(earth.sinTable[270], -earth.sinTable[90]);
  EXPECT_EQ(earth.cosTable[270], earth.cosTable[90]);
  for (int i = 1; i < 90; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(earth.sinTable[180 - i], earth.sinTable[i]);
    EXPECT_EQ(earth.cosTable[360 - i], earth.cosTable[i]);
    EXPECT_EQ(earth.sinTable[180 + i], -earth.sinTable[i]);
  }
}

TEST(EarthTables, InterpolatedSineAndCosine) {
  Earth earth;
  EXPECT_EQ(earth.SinDeg(-30.0f), -earth.SinDeg(30.0f));
  EXPECT_EQ(earth.CosDeg(-30.0f), earth.CosDeg(30.0f));
  EXPECT_EQ(earth.SinDeg(90.0f), earth.sinTable[90]);
  EXPECT_EQ(earth.SinDeg(10.5f), earth.sinTable[10] + 0.5f * (earth.sinTable[11] - earth.sinTable[10]));
  EXPECT_EQ(earth.CosDeg(-200.25f),
            earth.cosTable[200] + 0.25f * (earth.cosTable[201] - earth.cosTable[200]));
  for (float d = -359.9f; d < 360.0f; d += 0.37f) {
    SCOPED_TRACE(d);
    EXPECT_NEAR(earth.SinDeg(d), std::sin(d * M_PI / 180.0), 5e-5);
    EXPECT_NEAR(earth.CosDeg(d), std::cos(d * M_PI / 180.0), 5e-5);
  }
}

// The interpolated value is rounded to a float once, not the product first
// and then the sum: the two differ for a fraction of the angles, and the test
// must meet such angles to tell them apart.
TEST(EarthTables, InterpolationIsRoundedOnce) {
  Earth earth;
  int differing = 0;
  for (float d = 0.0f; d < 360.0f; d += 0.0137f) {
    const int i = static_cast<int>(d);
    const float f = d - static_cast<float>(i);
    for (const bool sine : {true, false}) {
      const float* t = sine ? earth.sinTable : earth.cosTable;
      const auto once = static_cast<float>(static_cast<long double>(t[i]) +
                                           static_cast<long double>(f) * (static_cast<long double>(t[i + 1]) - t[i]));
      const float stepwise = t[i] + f * (t[i + 1] - t[i]);
      if (once != stepwise) ++differing;
      ASSERT_EQ(sine ? earth.SinDeg(d) : earth.CosDeg(d), once) << d << (sine ? " sin" : " cos");
      ASSERT_EQ(sine ? earth.SinDeg(-d) : earth.CosDeg(-d), sine ? -once : once) << d;
    }
  }
  EXPECT_GT(differing, 10);
}

TEST(EarthTables, AnglesOutsideTheTablesAreReducedNotReadPastTheEnd) {
  Earth earth;
  EXPECT_EQ(earth.SinDeg(360.0f), earth.SinDeg(0.0f));
  EXPECT_EQ(earth.CosDeg(-360.0f), earth.CosDeg(0.0f));
  EXPECT_EQ(earth.SinDeg(750.0f), earth.SinDeg(30.0f));
  EXPECT_EQ(earth.CosDeg(-1e30f), earth.CosDeg(std::fmod(-1e30f, 360.0f)));
  EXPECT_TRUE(std::isnan(earth.SinDeg(std::numeric_limits<float>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(earth.CosDeg(std::numeric_limits<float>::infinity())));
}

TEST(EarthRotation, MatrixFromSpinAndTilt) {
  Earth earth;
  earth.SetRotation(30.0f, -45.0f);
  const double a = 30.0 * 0.017453292, b = -45.0 * 0.017453292;
  const double expected[3][3] = {{std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), -std::sin(b)},
                                 {-std::sin(a), std::cos(a), 0.0},
                                 {std::sin(b) * std::cos(a), std::sin(b) * std::sin(a), std::cos(b)}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(earth.rotation[r][c], static_cast<float>(expected[r][c]));
  const Vector3 m{0.3f, -0.5f, 0.8f};
  const Vector3 back = earth.RotateBack(earth.Rotate(m));
  EXPECT_NEAR(back.x, m.x, 1e-6);
  EXPECT_NEAR(back.y, m.y, 1e-6);
  EXPECT_NEAR(back.z, m.z, 1e-6);
}

TEST(EarthView, SetViewPlacesTheCentreByIntegerHalving) {
  Earth earth;
  earth.SetView(10.0f, 20.0f, 150.0f, 801, 601);
  EXPECT_EQ(earth.centre, (ScreenPoint{400, 300}));
  EXPECT_EQ(earth.radius, 150.0f);
  Earth fresh;
  fresh.SetRotation(10.0f, 20.0f);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(earth.rotation[r][c], fresh.rotation[r][c]);
}

TEST(EarthProjection, SpinAndTiltZero) {
  Earth earth;
  earth.SetView(0.0f, 0.0f, 200.7f, 800, 600);
  EXPECT_EQ(earth.Project(0.0f, 0.0f), (ScreenPoint{400, 300}));
  EXPECT_EQ(earth.Project(0.0f, 90.0f), (ScreenPoint{600, 300}));
  EXPECT_EQ(earth.Project(90.0f, 0.0f), (ScreenPoint{400, 100}));
  EXPECT_EQ(earth.Project(0.0f, -90.0f), (ScreenPoint{200, 300}));
}

TEST(EarthProjection, TurnedGlobeFacesItsCentre) {
  Earth earth;
  earth.SetView(30.0f, -45.0f, 200.0f, 640, 480);
  EXPECT_EQ(earth.Project(45.0f, 30.0f), (ScreenPoint{320, 240}));
  // North is up: a point north of the centre lies above it.
  const ScreenPoint north = earth.Project(55.0f, 30.0f);
  EXPECT_EQ(north.x, 320);
  EXPECT_LT(north.y, 240);
  // East is to the right.
  EXPECT_GT(earth.Project(45.0f, 40.0f).x, 320);
}

TEST(EarthProjection, FarSideLandsOnItsMirrorImage) {
  Earth earth;
  earth.SetView(20.0f, 0.0f, 200.0f, 400, 400);
  const Vector3 v = earth.Rotate(earth.ModelPoint(0.0f, 200.0f));
  EXPECT_NEAR(v.x, -200.0f, 1e-3);
  EXPECT_FALSE(Earth::IsNearSide(v));
  EXPECT_TRUE(Earth::IsNearSide(earth.Rotate(earth.ModelPoint(0.0f, 20.0f))));
  EXPECT_EQ(earth.Project(0.0f, 200.0f), earth.centre);
}

TEST(EarthProjection, HugeValuesDoNotOverflow) {
  Earth earth;
  earth.SetView(0.0f, 0.0f, 1e20f, 800, 600);
  const ScreenPoint p = earth.Project(0.0f, 90.0f);
  EXPECT_GT(p.x, 400);
  EXPECT_EQ(p.y, 300);
}

TEST(EarthInverse, CentreGivesTheFacingPoint) {
  struct Case {
    float spin, tilt;
  };
  const Case cases[] = {{0, 0}, {30, -45}, {-170, 60}, {179.5f, -89}, {-45, 12.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.spin << " " << c.tilt);
    Earth earth;
    earth.SetView(c.spin, c.tilt, 200.0f, 500, 400);
    float lat = 99, lon = 99;
    ASSERT_TRUE(earth.ScreenToLatLon(250, 200, lat, lon));
    EXPECT_NEAR(lat, -c.tilt, 1e-4);
    EXPECT_NEAR(lon, c.spin, 1e-4);
  }
}

TEST(EarthInverse, RimAndOutsideAreNotFound) {
  Earth earth;
  earth.SetView(0.0f, 0.0f, 200.0f, 400, 400);
  float lat = 7.0f, lon = 8.0f;
  EXPECT_FALSE(earth.ScreenToLatLon(400, 200, lat, lon));   // dx = radius
  EXPECT_FALSE(earth.ScreenToLatLon(320, 360, lat, lon));   // 120^2 + 160^2 = 200^2
  EXPECT_FALSE(earth.ScreenToLatLon(-2147483647 - 1, 2147483647, lat, lon));
  EXPECT_EQ(lat, 7.0f);
  EXPECT_EQ(lon, 8.0f);
  EXPECT_TRUE(earth.ScreenToLatLon(399, 200, lat, lon));
  EXPECT_NEAR(lat, 0.0f, 1e-3);
  EXPECT_GT(lon, 80.0f);
  Earth unset;  // radius 0 before any view was set: nothing is on the globe
  EXPECT_FALSE(unset.ScreenToLatLon(0, 0, lat, lon));
}

// An unusable radius (a corrupt view setting) must not hand NaN degrees to a
// trial: either a finite position or nothing found, with lat and lon untouched.
TEST(EarthInverse, UnusableRadiusGivesNoPosition) {
  const float radii[] = {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::max(), -std::numeric_limits<float>::infinity()};
  for (float radius : radii) {
    SCOPED_TRACE(radius);
    Earth earth;
    earth.SetView(10.0f, 20.0f, radius, 800, 600);
    for (const ScreenPoint p : {ScreenPoint{400, 300}, ScreenPoint{500, 200}, ScreenPoint{0, 0}}) {
      float lat = 7.0f, lon = 8.0f;
      if (earth.ScreenToLatLon(p.x, p.y, lat, lon)) {
        EXPECT_TRUE(std::isfinite(lat) && std::isfinite(lon)) << p.x << "," << p.y;
      } else {
        EXPECT_EQ(lat, 7.0f);
        EXPECT_EQ(lon, 8.0f);
      }
    }
  }
  Earth earth;
  earth.SetView(10.0f, 20.0f, std::numeric_limits<float>::infinity(), 800, 600);
  float lat = 7.0f, lon = 8.0f;
  EXPECT_FALSE(earth.ScreenToLatLon(400, 300, lat, lon));
}

TEST(EarthInverse, RimNearThePolesStaysFinite) {
  for (float tilt : {-90.0f, 90.0f, -89.9f}) {
    Earth earth;
    earth.SetView(0.0f, tilt, 200.0f, 400, 400);
    for (int dx = -199; dx <= 199; ++dx) {
      for (int dy : {-1, 0, 1}) {
        float lat = 0, lon = 0;
        if (!earth.ScreenToLatLon(200 + dx, 200 + dy, lat, lon)) continue;
        ASSERT_TRUE(std::isfinite(lat) && std::isfinite(lon)) << tilt << " " << dx;
        ASSERT_LE(std::fabs(lat), 90.0f);
      }
    }
  }
}

// Screen -> (lat, lon) -> screen lands within a pixel over many views and
// points, rim included.
TEST(EarthInverse, RoundTripsLandWithinAPixel) {
  const float spins[] = {-180.0f, -123.4f, -30.0f, 0.0f, 17.0f, 89.9f, 150.5f, 180.0f};
  const float tilts[] = {-90.0f, -60.0f, -12.3f, 0.0f, 33.0f, 75.0f, 90.0f};
  const float radii[] = {20.0f, 200.0f, 731.3f, 4000.0f};
  int checked = 0;
  for (float spin : spins) {
    for (float tilt : tilts) {
      for (float radius : radii) {
        Earth earth;
        earth.SetView(spin, tilt, radius, 1001, 700);
        const int r = static_cast<int>(radius);
        const int step = std::max(1, r / 23);
        for (int dx = -r; dx <= r; dx += step) {
          for (int dy = -r; dy <= r; dy += step) {
            const int x = earth.centre.x + dx, y = earth.centre.y + dy;
            float lat = 0, lon = 0;
            if (!earth.ScreenToLatLon(x, y, lat, lon)) continue;
            const ScreenPoint p = earth.Project(lat, lon);
            ++checked;
            ASSERT_LE(std::abs(p.x - x), 1) << spin << " " << tilt << " " << radius << " " << dx << "," << dy;
            ASSERT_LE(std::abs(p.y - y), 1) << spin << " " << tilt << " " << radius << " " << dx << "," << dy;
          }
        }
      }
    }
  }
  EXPECT_GT(checked, 50000);
}

}  // namespace
}  // namespace orvane
