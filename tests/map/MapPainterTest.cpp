// The map painter on a QImage, the globe and what stands around it: colours
// at projected points, the level rule, the background cache, legend and scale
// bar, map lines, and one picture call for screen, printer and image. The
// stations and the trial's marks are in MapMarksTest.cpp.
#include "map/MapPainter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "MapPainterFixture.h"
#include "location/RMS.h"
#include "map/DrawingPrimitives.h"
#include "map/Earth.h"
#include "map/GlobePainter.h"
#include "map/MapBytes.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"

namespace fs = std::filesystem;

namespace orvane {
namespace {

using namespace test;

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
