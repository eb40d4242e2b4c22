#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvane {
namespace {

TEST(ViewGeometry, NorthAndSouthStopAtThePoles) {
  GlobeView v;
  for (int i = 0; i < 8; ++i) StepNorth(v);
  EXPECT_FLOAT_EQ(v.tilt, -80.0f);  // 10 degrees a step at radius 200
  StepNorth(v);
  EXPECT_EQ(v.tilt, -90.0f);
  StepNorth(v);
  EXPECT_EQ(v.tilt, -90.0f);
  for (int i = 0; i < 20; ++i) StepSouth(v);
  EXPECT_EQ(v.tilt, 90.0f);
}

TEST(ViewGeometry, EastAndWestWrapAtTheDateLine) {
  struct Row {
    const char* name;
    float spin, radius;
    bool east;
    float expected;
  } rows[] = {
      {"170 east", 170.0f, 200.0f, true, -165.0f},
      {"-170 west", -170.0f, 200.0f, false, 165.0f},
      {"0 east", 0.0f, 200.0f, true, 25.0f},
      {"zoomed in, small step", 10.0f, 5000.0f, true, 11.0f},
      {"zoomed far out, many turns", 0.0f, 1.0f, true, 5000.0f - 14 * 360.0f},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    GlobeView v{r.spin, 0.0f, r.radius};
    r.east ? StepEast(v) : StepWest(v);
    EXPECT_NEAR(v.spin, r.expected, 1e-3);
    EXPECT_LE(std::fabs(v.spin), 180.0f);
  }
}

TEST(ViewGeometry, ZoomInThenOutComesBack) {
  GlobeView v;
  ZoomIn(v);
  EXPECT_EQ(v.radius, 250.0f);
  ZoomOut(v);
  EXPECT_NEAR(v.radius, 200.0f, 1e-4);
}

TEST(ViewGeometry, ScaleTextCutToThreeDigitsWithCommas) {
  struct Row {
    int height;
    float radius;
    const char* text;
  } rows[] = {
      {500, 200.0f, "Scale: 15,700,000 : 1"},
      {400, 312.5f, "Scale: 8,060,000 : 1"},
      {600, 200.0f, "Scale: 18,900,000 : 1"},
      {1, 63000.0f, "Scale: 100 : 1"},
      {1, 126000.0f, "Scale: 50 : 1"},  // below 100: shown whole
      {0, 200.0f, "Scale: - : 1"},
      {500, 0.0f, "Scale: - : 1"},
      {500, -3.0f, "Scale: - : 1"},
  };
  for (const Row& r : rows) EXPECT_EQ(ScaleText(r.height, r.radius), r.text) << r.height << " " << r.radius;
}

TEST(ViewGeometry, StationWindowsStayInsideTheView) {
  struct Row {
    const char* name;
    int x, y;
    Placement expected;
  } rows[] = {
      {"bottom right corner", 790, 595, {600, 450, 200, 150}},
      {"above and left", -30, -5, {12, 0, 200, 150}},
      {"in the middle", 100, 200, {112, 200, 200, 150}},
  };
  for (const Row& r : rows) EXPECT_EQ(StationWindowPlacement(r.x, r.y, 800, 600), r.expected) << r.name;
  EXPECT_EQ(SeismogramsWindowPlacement(800, 600), (Placement{600, 0, 200, 600}));
}

}  // namespace
}  // namespace orvane
