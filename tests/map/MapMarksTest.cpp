// The map painter's marks on the globe: stations and their names, the
// trials' dots, the epicentre's star and reach marker, the trial's
// description, and the misfit map with its answer key.
#include <gtest/gtest.h>

#include <QImage>

#include <limits>
#include <memory>
#include <vector>

#include "MapPainterFixture.h"
#include "location/RMS.h"
#include "map/MapPainter.h"
#include "map/MisfitMap.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

using namespace test;

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
