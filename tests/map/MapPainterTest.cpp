// The map painter on a QImage: colours at projected points, the level rule,
// the background cache, legend and scale bar, map lines and the trial's marks.
#include "map/MapPainter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>

#include <cstring>
#include <limits>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "location/RMS.h"
#include "map/DrawingPrimitives.h"
#include "map/Earth.h"
#include "map/GlobePainter.h"
#include "map/MapBytes.h"
#include "map/MisfitMap.h"
#include "support/CurrentDirectory.h"
#include "support/TrialStateGuard.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"

namespace fs = std::filesystem;

namespace orvane {
namespace {

using test::MapBytes;

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kBlue = 0xff0000ff;

struct Trial {
  float lat = 0.0f;
  float lon = 0.0f;
  float depth = 0.0f;
  float rms = 0.0f;
  SYSTEMTIME time{2024, 3, 0, 1, 12, 34, 56, 789};
};

// What the view holds: its globe, and the painter that keeps the globe's background.
struct ViewGlobe : Earth {
  GlobePainter painter;
};

std::unique_ptr<KSAC> Station(const char* name, float lat, float lon) {
  auto samples = std::make_unique<float[]>(10);
  const SYSTEMTIME start{2024, 3, 0, 1, 12, 0, 0, 0};
  return std::make_unique<KSAC>(10, std::move(samples), lat, lon, 0.0f, 0.1f, name, "BHZ", start);
}

QImage Paint(ViewGlobe& earth, int w, int h, float spin, float tilt, float radius,
             const std::vector<KSAC*>& records = {}, const Trial& trial = {}) {
  QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  image.fill(qRgb(1, 2, 3));
  Surface surface(image);
  MapPicture picture;
  picture.spin = spin;
  picture.tilt = tilt;
  picture.radius = radius;
  picture.client = Rect{0, 0, w, h};
  picture.records = records;
  picture.trials = trialList;
  picture.hasTrial = trial.lat != 0.0f;
  picture.trial = TrialState{trial.lat, trial.lon, trial.time, trial.rms};
  picture.depth = trial.depth;
  picture.maximumRms = maximumRms;
  PaintMapPicture(surface, picture, earth, earth.painter);
  return image;
}

MapPicture PictureOf(float spin, float tilt, float radius, int w, int h) {
  MapPicture picture;
  picture.spin = spin;
  picture.tilt = tilt;
  picture.radius = radius;
  picture.client = Rect{0, 0, w, h};
  return picture;
}

QPoint At(const Earth& earth, float lat, float lon) {
  const ScreenPoint p = earth.Project(lat, lon);
  return QPoint(p.x, p.y);
}

int Count(const QImage& image, QRgb colour, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.valid(x, y) && image.pixel(x, y) == colour;
  return n;
}

// Each test runs in a scratch directory holding all 24 map files, empty unless
// the test writes one; the painter finds them there before any other place.
class MapPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* feature : kMapFeatureNames)
      for (const char* ext : kMapLevelExtensions) WriteMap(std::string(feature) + ext, MapBytes());
    ClearMapFileLog();
  }
  void WriteMap(const std::string& name, const MapBytes& map) {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(map.bytes.data()), static_cast<std::streamsize>(map.bytes.size()));
  }

  test::ScratchDirectory scratch_;
  const fs::path dir_ = scratch_.path();
  test::TrialStateGuard trials_;
};

std::vector<std::string> LevelFiles(const char* ext) {
  std::vector<std::string> names;
  for (const char* feature : kMapFeatureNames) names.push_back(std::string(feature) + ext);
  return names;
}

// ---------------------------------------------------------------------------
// Rules and texts

TEST(MapRules, LevelOfDetail) {
  struct Case {
    int height;
    float radius;
    int level;
  } cases[] = {{400, 200, 3}, {400, 900, 1}, {400, 1700, 0}, {400, 1600, 1}, {400, 800, 2},
               {0, 200, 0},   {600, 599, 3}, {400, 0, 3},    {400, -5, 3},   {100000, 1, 3}};
  for (const Case& c : cases)
    EXPECT_EQ(MapLevel(c.height, c.radius), c.level) << "height " << c.height << " radius " << c.radius;
}

TEST(MapRules, RmsStepAndClass) {
  EXPECT_EQ(RmsStep(10), 1.0f);
  EXPECT_EQ(RmsStep(25), 2.0f);
  EXPECT_EQ(RmsStep(5), 0.5f);
  EXPECT_EQ(RmsStep(0), 0.5f);
  EXPECT_EQ(RmsStep(-30), 0.5f);
  struct Case {
    float rms, step;
    int cls;
  } cases[] = {{0.0f, 1, 0}, {0.99f, 1, 0}, {1.0f, 1, 1}, {10.99f, 1, 10}, {11.0f, 1, 11},
               {3.2f, 2, 1}, {0.7f, 0.5f, 1}, {5.4f, 0.5f, 10}};
  for (const Case& c : cases) EXPECT_EQ(RmsClass(c.rms, c.step), c.cls) << c.rms << " / " << c.step;
  EXPECT_GE(RmsClass(-1.0f, 1), rmsColourCount);
  EXPECT_GE(RmsClass(std::nanf(""), 1), rmsColourCount);
  EXPECT_GE(RmsClass(1e30f, 0.5f), rmsColourCount);
}

TEST(MapRules, LegendTextsForThreeScales) {
  struct Case {
    int maximum;
    std::vector<std::string> texts;
  } cases[] = {
      {10, {" 0", " 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", " 10"}},
      {25, {" 0", " 2", " 4", " 6", " 8", " 10", " 12", " 14", " 16", " 18", " 20"}},
      {5, {" 0", " 0.5", " 1", " 1.5", " 2", " 2.5", " 3", " 3.5", " 4", " 4.5", " 5"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maximum);
    ASSERT_EQ(c.texts.size(), static_cast<std::size_t>(rmsColourCount));
    for (int k = 0; k < rmsColourCount; ++k) EXPECT_EQ(RmsLegendText(k, RmsStep(c.maximum)), c.texts[k]);
  }
}

TEST(MapRules, ScaleBarRoundsATenthOfTheWidthUp) {
  struct Case {
    double tenthKm;
    int barKm;
  } cases[] = {{150, 200}, {300, 500}, {700, 1000}, {1.5, 2}, {2548, 5000}, {99, 100}, {0.3, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tenthKm);
    // A client 1000 pixels wide and the radius that makes a tenth of it c.tenthKm.
    const float radius = static_cast<float>(100.0 / c.tenthKm / 0.0001569612305760477);
    const ScaleBar bar = ComputeScaleBar(1000, radius);
    ASSERT_TRUE(bar.shown);
    EXPECT_EQ(bar.barKm, c.barKm);
    EXPECT_NEAR(bar.barPixels, c.barKm * 100.0 / c.tenthKm, 1.0);
  }
  EXPECT_FALSE(ComputeScaleBar(0, 200).shown);
  EXPECT_FALSE(ComputeScaleBar(-10, 200).shown);
  EXPECT_FALSE(ComputeScaleBar(800, 0).shown);
}

TEST(MapRules, TrialDescriptionText) {
  const SYSTEMTIME t{2024, 3, 0, 1, 12, 34, 56, 789};
  EXPECT_EQ(TrialDescription(t, 45.2f, -122.456f, 33.4f, 0.567f),
            " 2024/03/01 12:34:56  45.20N  122.46W  Depth: 33 km  RMS: 0.57 s ");
  EXPECT_EQ(TrialDescription(SYSTEMTIME{1999, 12, 0, 31, 23, 5, 9, 0}, -7.5f, 0.0f, 600.0f, 12.0f),
            " 1999/12/31 23:05:09   7.50S    0.00E  Depth: 600 km  RMS: 12.00 s ");
  EXPECT_EQ(LatitudeText(0.0f), "  0.00N");
  EXPECT_EQ(LongitudeText(-180.0f), "180.00W");
}

// ---------------------------------------------------------------------------
// The picture

TEST_F(MapPainterTest, WhiteGlobeWithGridOnBlack) {
  ViewGlobe earth;
  const QImage image = Paint(earth, 800, 600, 0, 0, 200);
  EXPECT_EQ(earth.centre, (ScreenPoint{400, 300}));
  EXPECT_EQ(image.pixel(407, 307), kWhite);
  EXPECT_EQ(image.pixel(700, 300), kBlack);  // outside the disc
  EXPECT_EQ(image.pixel(790, 10), kBlack);
  EXPECT_EQ(image.pixel(600, 300), kBlack);  // the rim at 0 degrees
  EXPECT_EQ(image.pixel(450, 300), kBlack);  // the equator
  EXPECT_EQ(image.pixel(At(earth, 10, 15)), kBlack);   // meridian 15 E
  EXPECT_EQ(image.pixel(At(earth, -37, 15)), kBlack);
  EXPECT_EQ(image.pixel(At(earth, 45, -40)), kBlack);  // parallel 45 N
  EXPECT_EQ(image.pixel(At(earth, 38, 38)), kWhite);   // between grid lines
}

TEST_F(MapPainterTest, GlobeWiderThanTheClientFillsItWhite) {
  ViewGlobe earth;
  const QImage image = Paint(earth, 400, 300, 0, 0, 500);
  EXPECT_GT(Count(image, kWhite), 400 * 300 / 2);
  EXPECT_EQ(image.pixel(0, 0), kBlack);  // the rectangle's outline
  EXPECT_EQ(image.pixel(399, 299), kBlack);
}

TEST_F(MapPainterTest, TallNarrowClientKeepsTheSkyAboveAndBelowTheGlobeBlack) {
  // Narrower than the globe but taller than its radius: the disc ends inside
  // the client area, and above and below it lies the black background.
  ViewGlobe earth;
  const QImage image = Paint(earth, 400, 1400, 0, 0, 500);
  EXPECT_EQ(earth.centre, (ScreenPoint{200, 700}));
  EXPECT_EQ(image.pixel(200, 150), kBlack);   // above the north pole
  EXPECT_EQ(image.pixel(200, 1250), kBlack);  // below the south pole
  EXPECT_EQ(image.pixel(5, 210), kBlack);     // beside the top of the disc
  EXPECT_EQ(image.pixel(207, 707), kWhite);
  EXPECT_EQ(image.pixel(210, 260), kWhite);   // just inside the disc near its top
}

TEST_F(MapPainterTest, LevelRuleOpensTheSixFilesOfOneLevel) {
  struct Case {
    int height;
    float radius;
    const char* ext;
  } cases[] = {{400, 200, ".S4"}, {400, 900, ".S2"}, {400, 1700, ".S1"}, {400, 1600, ".S2"}, {400, 800, ".S3"}, {0, 200, ".S1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.height << " " << c.radius);
    ClearMapFileLog();
    ViewGlobe earth;
    Paint(earth, 600, c.height, 0, 0, c.radius);
    EXPECT_EQ(MapFilesOpened(), LevelFiles(c.ext));
  }
}

TEST_F(MapPainterTest, SecondPaintWithTheSameViewOpensNoFile) {
  ViewGlobe earth;
  const QImage first = Paint(earth, 640, 480, 20, -30, 220);
  EXPECT_EQ(MapFilesOpened().size(), 6u);
  ClearMapFileLog();
  const QImage second = Paint(earth, 640, 480, 20, -30, 220);
  EXPECT_TRUE(MapFilesOpened().empty());
  EXPECT_EQ(first, second);
}

TEST_F(MapPainterTest, FileLogKeepsOnlyTheLatestNames) {
  // Every redraw opens six files; a long session of pans must not grow the log
  // without end, and what it keeps are the latest names.
  ViewGlobe earth;
  for (int spin = 0; spin < 15; ++spin) Paint(earth, 40, 30, static_cast<float>(spin), 0, 200);
  ClearMapFileLog();
  for (int spin = 0; spin < 15; ++spin) Paint(earth, 40, 30, static_cast<float>(spin) + 0.5f, 0, 200);
  const std::vector<std::string>& log = MapFilesOpened();
  EXPECT_LE(log.size(), 60u);
  ASSERT_GE(log.size(), 6u);
  const std::vector<std::string> last(log.end() - 6, log.end());
  EXPECT_EQ(last, LevelFiles(".S1"));  // 4 x 30 / 200 = 0.6: level 0
}

TEST_F(MapPainterTest, AnyChangeOfViewScaleOrSizeRedraws) {
  struct Change {
    const char* name;
    int w, h;
    float spin, tilt, radius;
    int maximum;
  } changes[] = {{"spin", 640, 480, 21, -30, 220, 10},   {"tilt", 640, 480, 20, -31, 220, 10},
                 {"radius", 640, 480, 20, -30, 275, 10}, {"maximum RMS", 640, 480, 20, -30, 220, 25},
                 {"width", 800, 480, 20, -30, 220, 10},  {"height", 640, 400, 20, -30, 220, 10}};
  for (const Change& c : changes) {
    SCOPED_TRACE(c.name);
    ViewGlobe earth;
    maximumRms = 10;
    Paint(earth, 640, 480, 20, -30, 220);
    ClearMapFileLog();
    maximumRms = c.maximum;
    const QImage image = Paint(earth, c.w, c.h, c.spin, c.tilt, c.radius);
    EXPECT_EQ(MapFilesOpened().size(), 6u);
    // The fresh picture is centred in the client area it was painted for.
    EXPECT_EQ(image.pixel(c.w / 2 + 7, c.h / 2 + 7), kWhite);
  }
}

TEST_F(MapPainterTest, ResizedViewNeverShowsTheOldPicture) {
  ViewGlobe earth;
  Paint(earth, 800, 600, 0, 0, 200);
  const QImage smaller = Paint(earth, 500, 400, 0, 0, 200);
  ViewGlobe fresh;
  EXPECT_EQ(smaller, Paint(fresh, 500, 400, 0, 0, 200));
}

TEST_F(MapPainterTest, EachGlobeKeepsItsOwnMaximumRms) {
  ViewGlobe a, b;
  Paint(a, 400, 400, 0, 0, 150);  // scale of 10 s
  maximumRms = 25;
  Paint(b, 400, 400, 0, 0, 150);
  maximumRms = 10;
  ClearMapFileLog();
  Paint(a, 400, 400, 0, 0, 150);
  EXPECT_TRUE(MapFilesOpened().empty()) << "a's picture was drawn with 10 s";
  maximumRms = 25;
  Paint(a, 400, 400, 0, 0, 150);
  EXPECT_EQ(MapFilesOpened().size(), 6u);
}

TEST_F(MapPainterTest, LegendBoxesInTheRmsColours) {
  ViewGlobe earth;
  const int h = 600;
  const QImage image = Paint(earth, 800, h, 0, 0, 200);
  const int y0 = (h - 45) - 20 * rmsColourCount - 5;
  for (int k = 0; k < rmsColourCount; ++k) EXPECT_EQ(image.pixel(15, y0 + 20 * k + 10), rmsColours[k]) << k;
  EXPECT_EQ(image.pixel(5, y0 - 10), kBlack);   // frame
  EXPECT_EQ(image.pixel(45, y0 + 5), kWhite);   // frame inside, beside the boxes
  EXPECT_EQ(image.pixel(2, y0 + 10), kBlack);   // outside the frame
  EXPECT_GT(Count(image, kBlack, QRect(6, y0 - 19, 58, 18)), 10);  // "RMS"
  EXPECT_GT(Count(image, kBlack, QRect(26, y0 + 200, 38, 20)), 10);  // " 10"
}

TEST_F(MapPainterTest, ScaleBarWithItsEnds) {
  ViewGlobe earth;
  const int b = 600;
  const QImage image = Paint(earth, 800, b, 0, 0, 200);
  const ScaleBar bar = ComputeScaleBar(800, 200);
  ASSERT_EQ(bar.barKm, 5000);
  EXPECT_EQ(image.pixel(35, b - 30), kBlack);
  EXPECT_EQ(image.pixel(35 + bar.barPixels, b - 30), kBlack);
  EXPECT_EQ(image.pixel(35 + bar.barPixels, b - 25), kBlack);  // the corner
  EXPECT_EQ(image.pixel(35 + bar.barPixels / 2, b - 25), kBlack);
  EXPECT_EQ(image.pixel(35 + bar.barPixels / 2, b - 30), kWhite);
  EXPECT_EQ(image.pixel(35 + bar.barPixels + 29, b - 40), kBlack);  // right edge of the box
  EXPECT_EQ(image.pixel(35 + bar.barPixels + 31, b - 40), kBlack);  // outside: background
  EXPECT_EQ(image.pixel(35 + bar.barPixels + 28, b - 40), kWhite);
  EXPECT_GT(Count(image, kBlack, QRect(35 + bar.barPixels - 30, b - 24, 60, 18)), 10);  // "5000 km"
}

TEST_F(MapPainterTest, ZeroWidthClientGetsNoScaleBarAndNoCrash) {
  ViewGlobe earth;
  QImage image(50, 50, QImage::Format_RGB32);
  image.fill(kWhite);
  for (int paint = 0; paint < 2; ++paint) {
    ClearMapFileLog();
    Surface surface(image);
    PaintMapPicture(surface, PictureOf(0, 0, 200, 0, 50), earth, earth.painter);
    // Nothing can be kept for an empty area: every paint draws it straight on.
    EXPECT_EQ(MapFilesOpened().size(), 6u) << "paint " << paint;
  }
}

TEST_F(MapPainterTest, HugeRadiusStillPaintsQuickly) {
  ViewGlobe earth;
  const QImage image = Paint(earth, 200, 150, 10, -20, 1.0e7f);
  EXPECT_GT(Count(image, kWhite), 100);
}

TEST_F(MapPainterTest, MapLinesNearSideOnlyInTheirClassColours) {
  MapBytes coast;
  coast.Parallel(1001, 20, {-30, -25, -20, -15, -10});      // class 1, wholly visible
  coast.Parallel(500, 37, {37, 38, 39});                    // class 0, wholly visible
  coast.Header(3002, -4);                                   // negative count: skipped
  coast.Parallel(-3002, -20, {0, 5, 10});                   // negative code: skipped
  coast.Parallel(3002, 35, {60, 70, 80, 88, 100, 140, 179, -140, -100, -88, -80, -70, -60});  // crosses the limb twice
  coast.Parallel(3002, -35, {120, 130, 140, 150, 160, 170});  // far side only
  MapBytes cut;
  cut.Parallel(4002, -10, {-50, -40, -30, -20});
  cut.bytes.resize(cut.bytes.size() - 3);                   // cut inside its last point
  coast.bytes.insert(coast.bytes.end(), cut.bytes.begin(), cut.bytes.end());
  WriteMap("COAST.S4", coast);

  ViewGlobe earth;
  const QImage image = Paint(earth, 800, 600, 0, 0, 250);
  const QRgb green = mapPenColours[1], navy = mapPenColours[3], olive = mapPenColours[4];
  // One polyline through every point of the visible class-1 record.
  for (int lon : {-30, -25, -20, -15}) EXPECT_EQ(image.pixel(At(earth, 20, lon)), green) << lon;
  EXPECT_EQ(image.pixel(At(earth, 20, -10)), kWhite);  // its last point, left out as every line end
  // The class-0 record is drawn too, in black, where the globe is otherwise white.
  EXPECT_EQ(image.pixel(At(earth, 37, 37)), kBlack);
  EXPECT_EQ(image.pixel(At(earth, 37, 38)), kBlack);
  // The record crossing the limb: both visible stretches, nothing across the hidden part.
  for (int lon : {60, 70, 80, -88, -80, -70}) EXPECT_EQ(image.pixel(At(earth, 35, lon)), navy) << lon;
  const int row = At(earth, 35, 0).y();
  EXPECT_EQ(Count(image, navy, QRect(At(earth, 35, -60).x() + 1, row - 2, At(earth, 35, 60).x() - At(earth, 35, -60).x() - 1, 5)), 0);
  // Far side, negative code and the cut record leave no trace below the equator.
  EXPECT_EQ(Count(image, navy, QRect(0, 301, 800, 299)), 0);
  EXPECT_EQ(Count(image, olive, QRect(70, 0, 730, 600)), 0);  // right of the legend, which has olive too
}

TEST_F(MapPainterTest, StationsAreRedTrianglesWithNames) {
  auto a = Station("ANMO", 10, -30);
  auto b = Station("FAR", 10, 170);  // far side: hidden by the globe
  ViewGlobe earth;
  const QImage image = Paint(earth, 800, 600, 0, 0, 250, {a.get(), b.get()});
  const QPoint s = At(earth, 10, -30);
  EXPECT_EQ(image.pixel(s), kRed);
  EXPECT_EQ(image.pixel(s + QPoint(0, -8)), kBlack);  // the tip's outline
  EXPECT_EQ(image.pixel(s + QPoint(0, -10)), image.pixel(s + QPoint(-20, -10)));  // nothing above the tip
  EXPECT_GT(Count(image, standardColours[5], QRect(s.x() + 10, s.y() - 20, 60, 20)), 10);
  EXPECT_NE(image.pixel(At(earth, 10, 170)), kRed);  // not at its mirror point
  // A station without a name (as from a PSN file) is named by its file.
  auto c = Station("-12345", -20, 10);
  c->fileName = "/data/event/ALQ1.psn";
  ViewGlobe other;
  const QImage named = Paint(other, 800, 600, 0, 0, 250, {c.get()});
  const QImage plain = Paint(other, 800, 600, 0, 0, 250);
  const QPoint t = At(other, -20, 10);
  EXPECT_GT(Count(named, standardColours[5], QRect(t.x() + 10, t.y() - 20, 60, 20)), 10);
  // Its label reads "ALQ1": four letters, not the seven characters of "-12345".
  int width = 0;
  for (int x = t.x() + 10; x < t.x() + 90; ++x)
    for (int y = t.y() - 20; y < t.y(); ++y)
      if (named.pixel(x, y) == standardColours[5]) width = std::max(width, x - t.x() - 10);
  EXPECT_LT(width, 45);
  EXPECT_NE(named, plain);
}

TEST_F(MapPainterTest, TrialDotsColouredByRmsClass) {
  struct Case {
    int maximum;
    float rms;
    int cls;  // rmsColourCount = no dot
  } cases[] = {{10, 0.5f, 0}, {10, 3.2f, 3}, {10, 10.5f, 10}, {10, 11.0f, rmsColourCount},
               {25, 3.2f, 1}, {25, 21.9f, 10}, {25, 22.0f, rmsColourCount}, {5, 0.7f, 1}, {5, 5.4f, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.maximum << " " << c.rms);
    maximumRms = c.maximum;
    trialList = {RMS{7.0f, -22.0f, c.rms}};
    ViewGlobe earth;
    const QImage image = Paint(earth, 800, 600, 0, 0, 250, {}, Trial{-20.0f, 40.0f, 10.0f, 100.0f});
    const QPoint p = At(earth, 7, -22);
    if (c.cls < rmsColourCount) {
      EXPECT_EQ(image.pixel(p), rmsColours[c.cls]);
      EXPECT_EQ(image.pixel(p + QPoint(-3, 2)), rmsColours[c.cls]);
      EXPECT_EQ(image.pixel(p + QPoint(-7, 0)), kWhite);
    } else {
      EXPECT_EQ(image.pixel(p), kWhite);
    }
  }
}

TEST_F(MapPainterTest, TrialEpicentreStarUnderItsOwnDot) {
  ViewGlobe earth;
  const Trial noDot{-20.0f, 40.0f, 10.0f, 11.0f};  // RMS at 11 × step: star, no dot
  QImage image = Paint(earth, 800, 600, 0, 0, 250, {}, noDot);
  const QPoint e = At(earth, -20, 40);
  EXPECT_EQ(image.pixel(e), kBlue);
  EXPECT_EQ(image.pixel(e + QPoint(0, -4)), kBlue);
  EXPECT_EQ(image.pixel(e + QPoint(0, -6)), kBlack);
  EXPECT_EQ(image.pixel(e + QPoint(0, -8)), kWhite);
  ViewGlobe other;
  const Trial withDot{-20.0f, 40.0f, 10.0f, 4.5f};
  image = Paint(other, 800, 600, 0, 0, 250, {}, withDot);
  EXPECT_EQ(image.pixel(e), rmsColours[4]);
  EXPECT_EQ(image.pixel(e + QPoint(5, -2)), kBlack);  // a tip of the star beyond the dot
}

TEST_F(MapPainterTest, ReachMarkerWhereTheObservedTimePutsTheStation) {
  const Trial trial{-5.0f, -10.0f, 10.0f, 50.0f};
  struct Case {
    const char* name;
    float user5, gcarc;
    double fraction;  // of the way from the epicentre to the station; < 0 for no line
    bool picked = true;
  } cases[] = {{"at the station", 30, 30, 1.0}, {"halfway", 15, 30, 0.5}, {"on the epicentre", 0, 30, 0.0},
               {"beyond", 36, 30, 1.2}, {"station at the epicentre", 10, 0, -1.0},
               {"no pick, no observed time", 0, 30, -1.0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto station = Station("STA", 25.0f, 20.0f);
    if (c.picked) station->SetPick(0, 100.0f);
    station->SetFloatHeader(KSAC::USER5, c.user5);
    station->SetFloatHeader(KSAC::GCARC, c.gcarc);
    ViewGlobe earth;
    const QImage image = Paint(earth, 800, 600, 0, 0, 250, {station.get()}, trial);
    const QPoint e = At(earth, trial.lat, trial.lon);
    const QPoint s = At(earth, 25, 20);
    if (c.fraction < 0) {
      EXPECT_EQ(image.pixel(s), kRed);
      EXPECT_EQ(image.pixel((e + s) / 2), kWhite);
      EXPECT_EQ(image.pixel(e + QPoint(0, -4)), kBlue);  // the star, with no marker over it
      continue;
    }
    const QPoint p(static_cast<int>(e.x() * (1 - c.fraction) + s.x() * c.fraction),
                   static_cast<int>(e.y() * (1 - c.fraction) + s.y() * c.fraction));
    EXPECT_EQ(image.pixel(p), kBlack);
    EXPECT_EQ(image.pixel(p + QPoint(0, -4)), kBlack);
    EXPECT_EQ(image.pixel(p + QPoint(3, 1)), kBlack);
    if (c.fraction >= 0.5) {
      // The line itself, a quarter of the way out.
      const QPoint q = e + (p - e) / 4;
      EXPECT_GT(Count(image, kBlack, QRect(q.x() - 1, q.y() - 1, 3, 3)), 0);
    }
  }
}

TEST_F(MapPainterTest, NoTrialMeansNoTrialMarksAtAll) {
  // Without a trial the picture is the one of an event without any trial,
  // whatever the list, the trial's position or the station fields say.
  auto station = Station("STA", 25.0f, 20.0f);
  station->SetPick(0, 100.0f);
  station->SetFloatHeader(KSAC::USER5, 15);
  station->SetFloatHeader(KSAC::GCARC, 30);
  ViewGlobe plainEarth;
  const QImage plain = Paint(plainEarth, 800, 600, 0, 0, 250, {station.get()});
  trialList = {RMS{7.0f, -22.0f, 0.5f}, RMS{-3.0f, 12.0f, 4.0f}};
  KSAC* const records[] = {station.get()};
  MapPicture picture = PictureOf(0, 0, 250, 800, 600);
  picture.records = records;
  picture.trials = trialList;
  picture.hasTrial = false;
  picture.trial = TrialState{-10.0f, 40.0f, Trial{}.time, 1.0f};
  picture.depth = 10.0f;
  ViewGlobe earth;
  QImage image(800, 600, QImage::Format_RGB32);
  {
    Surface surface(image);
    PaintMapPicture(surface, picture, earth, earth.painter);
  }
  EXPECT_EQ(image, plain);
  EXPECT_EQ(image.pixel(At(earth, 7, -22)), kWhite);
  EXPECT_EQ(Count(image, kBlue, QRect(70, 0, 730, 600)), 0);  // no star (the legend has blue)
  EXPECT_EQ(Count(image, standardColours[15], QRect(0, 0, 800, 40)), 0);  // no description
}

TEST_F(MapPainterTest, TrialDescriptionOnItsShadow) {
  const Trial trial{45.2f, -122.456f, 33.4f, 0.567f};
  ViewGlobe earth;
  // A globe wider than the view makes the whole client white, so the shadow shows.
  const QImage image = Paint(earth, 800, 600, -120, -45, 2000, {}, trial);
  ViewGlobe plainEarth;
  const QImage plain = Paint(plainEarth, 800, 600, -120, -45, 2000);
  Rect box;
  {
    QImage scratch(1, 1, QImage::Format_RGB32);
    Surface s(scratch);
    box = DrawLabel(s, 5, 5, nullptr, QString::fromStdString(TrialDescription(trial.time, trial.lat, trial.lon, trial.depth, trial.rms)), -1, 15, 0, 2);
  }
  EXPECT_GT(Count(image, standardColours[15], QRect(box.left, box.top, box.Width(), box.Height())), 200);
  EXPECT_GT(Count(image, standardColours[2], QRect(box.left, box.top, box.Width(), box.Height())), 50);
  // Two pixels of black shadow right of and below the label, then the map again.
  for (int y : {box.top + 4, box.bottom - 2}) {
    EXPECT_EQ(image.pixel(box.right, y), kBlack);
    EXPECT_EQ(image.pixel(box.right + 1, y), kBlack);
    EXPECT_EQ(image.pixel(box.right + 2, y), plain.pixel(box.right + 2, y));
  }
  EXPECT_EQ(image.pixel(box.left + 10, box.bottom + 1), kBlack);
  EXPECT_EQ(image.pixel(box.left + 10, box.bottom + 2), plain.pixel(box.left + 10, box.bottom + 2));
  EXPECT_EQ(image.pixel(box.left + 1, box.bottom + 1), plain.pixel(box.left + 1, box.bottom + 1));
}


// ---------------------------------------------------------------------------
// The one picture call: screen, printer and image

TEST(MapTables, ColoursAndFileNamesAsTheProgramDefinesThem) {
  const QRgb pens[8] = {qRgb(0, 0, 0),     qRgb(0, 127, 0), qRgb(127, 0, 0), qRgb(0, 0, 127),
                        qRgb(127, 127, 0), qRgb(0, 127, 0), qRgb(0, 0, 127), qRgb(0, 0, 127)};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(mapPenColours[k], pens[k]) << "class " << k;
  const QRgb rms[12] = {qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(255, 0, 0),
                        qRgb(0, 255, 0),   qRgb(0, 0, 255),   qRgb(127, 127, 0), qRgb(0, 127, 127),
                        qRgb(127, 0, 127), qRgb(127, 127, 127), qRgb(192, 192, 192), qRgb(255, 255, 255)};
  for (int k = 0; k < 12; ++k) EXPECT_EQ(rmsColours[k], rms[k]) << "class " << k;
  EXPECT_EQ(rmsColourCount, 11);
  const std::vector<std::string> names(std::begin(kMapFeatureNames), std::end(kMapFeatureNames));
  EXPECT_EQ(names, (std::vector<std::string>{"COAST", "ISLAND", "STATE", "COUNTRY", "LAKE", "RIVER"}));
  const std::vector<std::string> levels(std::begin(kMapLevelExtensions), std::end(kMapLevelExtensions));
  EXPECT_EQ(levels, (std::vector<std::string>{".S1", ".S2", ".S3", ".S4"}));
}

TEST_F(MapPainterTest, ATrialOnTheEquatorIsDrawnLikeAnyOther) {
  auto station = Station("STA", 25.0f, 20.0f);
  station->SetPick(0, 100.0f);
  station->SetFloatHeader(KSAC::USER5, 30);
  station->SetFloatHeader(KSAC::GCARC, 30);
  KSAC* const records[] = {station.get()};
  MapPicture picture = PictureOf(0, 0, 250, 800, 600);
  picture.records = records;
  picture.hasTrial = true;
  picture.trial = TrialState{0.0f, 0.0f, Trial{}.time, 4.5f};  // the centre of the default view
  picture.depth = 33.0f;
  QImage image(800, 600, QImage::Format_RGB32);
  ViewGlobe earth;
  {
    Surface surface(image);
    PaintMapPicture(surface, picture, earth, earth.painter);
  }
  EXPECT_EQ(image.pixel(400 - 3, 300 + 2), rmsColours[4]);  // the trial's own dot over its star
  EXPECT_EQ(image.pixel(400 + 5, 300 - 2), kBlack);  // a tip of the star
  EXPECT_GT(Count(image, standardColours[15], QRect(0, 0, 800, 30)), 200);  // the description
  const QPoint s = At(earth, 25, 20);
  const QPoint q = QPoint(400, 300) + (s - QPoint(400, 300)) / 2;
  EXPECT_GT(Count(image, kBlack, QRect(q.x() - 1, q.y() - 1, 3, 3)), 0);  // the reach line
}

TEST_F(MapPainterTest, MeridiansAreClosedJustSouthOfTheEquator) {
  // Seen close up at 0 N, 10 E, meridian 15 E runs down the picture; the
  // stretch from the equator to 1 S must be drawn like the rest.
  ViewGlobe earth;
  const QImage image = Paint(earth, 800, 600, 10, 0, 3000);
  for (float lat : {0.2f, -0.1f, -0.5f, -0.9f, -1.5f}) {
    const QPoint p = At(earth, lat, 15.0f);
    EXPECT_GT(Count(image, kBlack, QRect(p.x() - 1, p.y(), 3, 1)), 0) << "latitude " << lat;
  }
}

TEST_F(MapPainterTest, TheCacheNeverHoldsStationsOrTrials) {
  auto station = Station("STA", 25.0f, 20.0f);
  KSAC* const records[] = {station.get()};
  trialList = {RMS{7.0f, -22.0f, 0.5f}};
  MapPicture busy = PictureOf(15, -20, 260, 800, 600);
  busy.records = records;
  busy.trials = trialList;
  busy.hasTrial = true;
  busy.trial = TrialState{-10.0f, 30.0f, Trial{}.time, 2.0f};
  const MapPicture empty = PictureOf(15, -20, 260, 800, 600);

  ViewGlobe earth;
  QImage first(800, 600, QImage::Format_RGB32), second(800, 600, QImage::Format_RGB32),
      fresh(800, 600, QImage::Format_RGB32);
  {
    Surface surface(first);
    PaintMapPicture(surface, busy, earth, earth.painter);
  }
  ClearMapFileLog();
  {
    Surface surface(second);
    PaintMapPicture(surface, empty, earth, earth.painter);
  }
  EXPECT_TRUE(MapFilesOpened().empty());  // the cached background was used
  {
    ViewGlobe other;
    Surface surface(fresh);
    PaintMapPicture(surface, empty, other, other.painter);
  }
  EXPECT_NE(first, second);
  EXPECT_EQ(second, fresh);
}

TEST_F(MapPainterTest, PrintingAndImagesLeaveTheViewsGlobeAlone) {
  ViewGlobe view;
  QImage screen(800, 600, QImage::Format_RGB32);
  const MapPicture shown = PictureOf(10, -20, 230, 800, 600);
  {
    Surface surface(screen);
    PaintMapPicture(surface, shown, view, view.painter);
  }
  const ScreenPoint centre = view.centre;
  float rotation[3][3];
  std::memcpy(rotation, view.rotation, sizeof rotation);

  // The same picture scaled to a page, and another view on an image.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString((dir_ / "page.pdf").string()));
  {
    Surface page(printer);
    page.SetMapMode(MapMode::Anisotropic);
    page.SetWindowExtent(800, 600);
    page.SetViewportExtent(printer.width(), printer.width() * 600 / 800);
    PaintMapPicture(page, shown);
  }
  QImage other(300, 200, QImage::Format_RGB32);
  {
    Surface surface(other);
    PaintMapPicture(surface, PictureOf(-100, 40, 900, 300, 200));
  }
  EXPECT_GT(fs::file_size(dir_ / "page.pdf"), 1000u);
  EXPECT_EQ(view.radius, 230.0f);
  EXPECT_EQ(view.centre, centre);
  EXPECT_EQ(std::memcmp(rotation, view.rotation, sizeof rotation), 0);
  // And the view's next repaint still comes from its cache.
  ClearMapFileLog();
  QImage again(800, 600, QImage::Format_RGB32);
  {
    Surface surface(again);
    PaintMapPicture(surface, shown, view, view.painter);
  }
  EXPECT_TRUE(MapFilesOpened().empty());
  EXPECT_EQ(again, screen);
}

TEST_F(MapPainterTest, AnImageWithoutCacheIsTheScreenPicture) {
  ViewGlobe view;
  QImage screen(640, 480, QImage::Format_RGB32), image(640, 480, QImage::Format_RGB32);
  auto station = Station("STA", 25.0f, 20.0f);
  KSAC* const records[] = {station.get()};
  MapPicture picture = PictureOf(-30, 10, 250, 640, 480);
  picture.records = records;
  {
    Surface surface(screen);
    PaintMapPicture(surface, picture, view, view.painter);
  }
  {
    Surface surface(image);
    PaintMapPicture(surface, picture);
  }
  EXPECT_EQ(screen, image);
}

// How many 2 × 2 blocks (at even coordinates) of @p image are not of one colour;
// an enlarged 1× raster has none.
int MixedBlocks(const QImage& image) {
  int n = 0;
  for (int y = 0; y + 1 < image.height(); y += 2)
    for (int x = 0; x + 1 < image.width(); x += 2) {
      const QRgb c = image.pixel(x, y);
      n += image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c;
    }
  return n;
}

TEST_F(MapPainterTest, TwoDevicePixelsPerUnitDrawTheBackgroundAtDeviceResolution) {
  const MapPicture picture = PictureOf(0, 0, 200, 400, 400);
  for (bool cached : {true, false}) {
    SCOPED_TRACE(cached ? "screen with its cache" : "uncached image");
    QImage dense(800, 800, QImage::Format_RGB32);
    dense.setDevicePixelRatio(2.0);
    ViewGlobe earth;
    {
      Surface surface(dense);
      if (cached)
        PaintMapPicture(surface, picture, earth, earth.painter);
      else
        PaintMapPicture(surface, picture);
    }
    // The globe is where it belongs (the disc in the middle, black sky in the corner) ...
    EXPECT_EQ(dense.pixel(2 * 207, 2 * 207), kWhite);
    EXPECT_EQ(dense.pixel(4, 4), kBlack);
    // ... and its rim, the legend's text and the scale bar's text are drawn with
    // device pixels, not as 2 × 2 blocks of an enlarged 1× picture.
    EXPECT_GT(MixedBlocks(dense), 300);
  }
  QImage plain(400, 400, QImage::Format_RGB32);
  {
    ViewGlobe earth;
    Surface surface(plain);
    PaintMapPicture(surface, picture, earth, earth.painter);
  }
  EXPECT_EQ(MixedBlocks(plain.scaled(800, 800)), 0);  // what an enlargement would give
}

TEST_F(MapPainterTest, AMissingMapLayerLeavesTheRestOfThePicture) {
  // COAST.S4 cannot be read (a directory stands in its place); the island
  // layer, the grid and the legend are still drawn.
  fs::remove(dir_ / "COAST.S4");
  fs::create_directory(dir_ / "COAST.S4");
  MapBytes island;
  island.Record(2000, {{600, 0}, {1800, 0}});  // along the equator, 10 E to 30 E
  WriteMap("ISLAND.S4", island);
  ViewGlobe earth;
  const QImage image = Paint(earth, 800, 600, 0, 0, 250);
  EXPECT_EQ(image.pixel(At(earth, 0, 20)), mapPenColours[2]);
  EXPECT_EQ(image.pixel(At(earth, 45, -40)), kBlack);  // the grid
  EXPECT_EQ(image.pixel(15, 600 - 270 + 10), rmsColours[0]);  // the legend's first box
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST_F(MapPainterTest, MisfitShadesTheDiscUnderTheLinesAndTheAnswerKeyIsMarked) {
  MapPicture picture = PictureOf(0, 0, 250, 800, 600);
  auto raster = std::make_shared<MisfitRaster>();
  raster->client = picture.client;
  raster->cell = 100;
  raster->columns = 8;
  raster->rows = 6;
  raster->rms.assign(48, std::numeric_limits<float>::quiet_NaN());
  raster->rms[2 * 8 + 4] = 0.5f;   // cell (400..499, 200..299): class 0
  raster->rms[3 * 8 + 3] = 35.0f;  // beyond the scale: stays white
  picture.misfit = raster;
  picture.hasAnswerKey = true;
  picture.answerLat = -30.0f;
  picture.answerLon = -30.0f;
  ViewGlobe earth;
  QImage image(800, 600, QImage::Format_RGB32);
  {
    Surface surface(image);
    PaintMapPicture(surface, picture, earth, earth.painter);
  }
  const QRgb paleYellow = qRgb(255, 255, 127);
  EXPECT_EQ(image.pixel(437, 237), paleYellow);
  EXPECT_EQ(image.pixel(370, 372), kWhite);
  EXPECT_EQ(image.pixel(At(earth, 10, 15)), kBlack);  // the grid over the shading
  const QPoint key = At(earth, -30, -30);
  EXPECT_EQ(image.pixel(key + QPoint(2, 0)), kBlack);  // the cross
  EXPECT_EQ(image.pixel(key + QPoint(3, 3)), kWhite);  // inside the ring
  // A new raster is a new background; the same one comes from the cache.
  ClearMapFileLog();
  {
    Surface surface(image);
    PaintMapPicture(surface, picture, earth, earth.painter);
  }
  EXPECT_TRUE(MapFilesOpened().empty());
  picture.misfit = std::make_shared<MisfitRaster>(*raster);
  {
    Surface surface(image);
    PaintMapPicture(surface, picture, earth, earth.painter);
  }
  EXPECT_EQ(MapFilesOpened().size(), 6u);
}

}  // namespace
}  // namespace orvane
