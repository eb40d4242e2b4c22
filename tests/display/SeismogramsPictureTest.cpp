// The picture of all seismograms in one window on an image: the rows in order
// of distance, the common clock (records that start apart, records that begin
// minutes after their reference time), marks, gains, rows left out of a
// partial repaint, and an empty clock.
#include "display/SeismogramsPicture.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "display/PictureProbe.h"
#include "display/TraceDrawing.h"
#include "display/TraceLayout.h"
#include "display/TraceRecords.h"
#include "map/DrawingPrimitives.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

using test::Colour;
using test::CountIn;
using test::TraceRecord;

constexpr int kWidth = 400, kHeight = 600;

struct Picture {
  QImage image;
  SeismogramsLayout layout;
  SeismogramsScale scale;
};

Picture Paint(std::vector<KSAC*>& records, std::vector<int> gains = {}, std::optional<Rect> invalid = {},
              float zoom = 1.0f, float scrollFraction = 0.0f) {
  Picture p;
  p.image = QImage(kWidth, kHeight, QImage::Format_RGB32);
  p.image.fill(Qt::white);
  Surface surface(p.image);
  p.layout = LayOutSeismograms(kWidth, kHeight, surface.GetTextMetrics(), static_cast<int>(records.size()));
  if (gains.empty()) gains.assign(records.size(), 1);
  p.scale = PaintSeismogramsPicture(surface, p.layout, records, SeismogramsView{zoom, scrollFraction, gains},
                                    invalid.value_or(Rect{0, 0, kWidth, kHeight}));
  return p;
}

// The middle half of row @p row, where no text lies (window coordinates).
Rect Middle(const Picture& p, int row) {
  const RowBand band = RowBandAt(row, p.layout.rows.rowHeight);
  const int top = p.layout.tracesArea.top;
  const int quarter = p.layout.rows.rowHeight / 4;
  return Rect{p.layout.tracesArea.left, top + band.centre - quarter, p.layout.tracesArea.right,
              top + band.centre + quarter};
}

std::vector<std::string> Order(const std::vector<KSAC*>& records) {
  std::vector<std::string> names;
  for (const KSAC* r : records) names.push_back(r->GetCharHeaderText(KSAC::KSTNM));
  return names;
}

TEST(SeismogramsPicture, RowsNearestFirstEachWithItsTrace) {
  auto far = TraceRecord(test::Sine(200)).Station("FAR").Distance(40.0f).Build();
  auto near = TraceRecord(test::Sine(200)).Station("NEAR").Distance(10.0f).Build();
  auto mid = TraceRecord(std::vector<float>(200, 0.0f)).Station("MID").Distance(25.0f).Build();
  std::vector<KSAC*> records{far.get(), near.get(), mid.get()};
  const Picture p = Paint(records);
  EXPECT_EQ(Order(records), (std::vector<std::string>{"NEAR", "MID", "FAR"}));
  // Swinging, flat, swinging.
  const auto height = [&](int row) {
    const auto rows = test::RowsOf(p.image, Middle(p, row), Colour(palette::kBlack));
    return rows ? rows->second - rows->first : 0;
  };
  EXPECT_GT(height(0), 5);
  EXPECT_EQ(height(1), 1);
  EXPECT_GT(height(2), 5);
}

// Traces only, forty stations in rows of a pixel: each row is shaded where its
// record swings, so the arrival of every station stands out in its own row,
// and stays where it is through a repaint that keeps what it read.
TEST(SeismogramsPicture, TracesOnlyRowsOfAPixelShowEachArrivalInItsOwnRow) {
  constexpr int kCount = 40, kShortHeight = 100;
  std::vector<std::unique_ptr<KSAC>> owned;
  std::vector<KSAC*> records;
  for (int i = 0; i < kCount; ++i) {
    std::vector<float> samples(100, 0.0f);
    samples[static_cast<std::size_t>(20 + i)] = 500.0f;  // the arrival, a second later at every station
    samples[90] = -1000.0f;                               // and a later, larger one
    // Opened farthest first: the rows bring them into order.
    owned.push_back(TraceRecord(samples).Station("S" + std::to_string(i)).Distance(80.0f - i).Build());
    records.push_back(owned.back().get());
  }
  QImage image(kWidth, kShortHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  Surface surface(image);
  const SeismogramsLayout layout =
      LayOutSeismograms(kWidth, kShortHeight, surface.GetTextMetrics(), kCount, RowMode::kCompact);
  ASSERT_EQ(layout.rows.rowHeight, 1);
  ASSERT_EQ(layout.rows.visibleRows, kCount);
  const std::vector<int> gains(kCount, 1);
  SampleStatisticsCache cache;
  for (int paint = 0; paint < 2; ++paint) {
    const SeismogramsScale scale = PaintSeismogramsPicture(surface, layout, records, SeismogramsView{1.0f, 0.0f, gains},
                                                           layout.clientArea, &cache);
    for (int row = 0; row < kCount; ++row) {
      SCOPED_TRACE("row " + std::to_string(row) + ", paint " + std::to_string(paint));
      const int y = layout.tracesArea.top + layout.rows.Band(row).top;
      const int arrival = layout.tracesArea.left + TruncToInt((20 + kCount - 1 - row) * scale.pixelsPerSecond);
      const int later = layout.tracesArea.left + TruncToInt(90 * scale.pixelsPerSecond);
      int darkest = 255, darkestX = -1;
      for (int x = layout.tracesArea.left; x < later - 1; ++x) {
        const int grey = qGray(image.pixel(x, y));
        if (grey < darkest) darkest = grey, darkestX = x;
      }
      EXPECT_EQ(darkestX, arrival);
      EXPECT_LT(darkest, 160) << "half the largest swing";
      EXPECT_EQ(qGray(image.pixel(later, y)), 0) << "the largest swing, black";
      EXPECT_GE(qGray(image.pixel(arrival + 3, y)), 250) << "no swing, white";
    }
  }
}

TEST(SeismogramsPicture, ALaterRecordBeginsFurtherRightOnTheCommonClock) {
  // 60 s each, the second starting 30 s after the first: a clock of 90 s.
  auto early = TraceRecord(test::Sine(60, 100.0f, 7.0)).Station("EARLY").Start({2025, 10, 0, 19, 7, 50, 0, 0}).Build();
  auto late = TraceRecord(test::Sine(60, 100.0f, 7.0)).Station("LATE").Start({2025, 10, 0, 19, 7, 50, 30, 0}).Build();
  std::vector<KSAC*> records{early.get(), late.get()};
  const Picture p = Paint(records);
  EXPECT_FLOAT_EQ(p.scale.timeSpan, 90.0f);
  const auto first = test::FirstColumn(p.image, Middle(p, 0), Colour(palette::kBlack));
  const auto second = test::FirstColumn(p.image, Middle(p, 1), Colour(palette::kBlack));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(*first, p.layout.tracesArea.left);
  EXPECT_EQ(*second, p.layout.tracesArea.left + TruncToInt(30.0f * p.scale.pixelsPerSecond));
}

TEST(SeismogramsPicture, ARecordThatBeginsTenMinutesAfterItsReferenceTimeSitsAtItsFirstSample) {
  // The late record's reference time is 07:40:30 and b = 600: its first sample
  // is at 07:50:30, thirty seconds after the other's. Drawn as if it began at
  // its reference time it would start ten minutes earlier, off the clock.
  auto early = TraceRecord(test::Sine(60, 100.0f, 7.0)).Station("EARLY").Start({2025, 10, 0, 19, 7, 50, 0, 0}).Build();
  auto plain = TraceRecord(test::Sine(60, 100.0f, 7.0)).Station("LATE").Start({2025, 10, 0, 19, 7, 50, 30, 0}).Build();
  auto tenMinutes = TraceRecord(test::Sine(60, 100.0f, 7.0))
                        .Station("LATE")
                        .Start({2025, 10, 0, 19, 7, 40, 30, 0})
                        .FirstSample(600.0f)
                        .Build();
  plain->SetPick(0, 12.0f);
  tenMinutes->SetPick(0, 612.0f);
  std::vector<KSAC*> a{early.get(), plain.get()};
  std::vector<KSAC*> b{early.get(), tenMinutes.get()};
  const Picture pa = Paint(a);
  const Picture pb = Paint(b);
  EXPECT_FLOAT_EQ(pb.scale.timeSpan, 90.0f);
  EXPECT_FLOAT_EQ(tenMinutes->alignOffset, 30.0f);
  // The same trace and the same pick mark in the same place.
  const Rect row = Middle(pa, 1);
  EXPECT_TRUE(test::SameIn(pa.image, pb.image, Rect{row.left, row.top, row.right, row.bottom + pa.layout.rows.rowHeight / 4}));
  const auto mark = test::FirstColumn(pb.image, Middle(pb, 1), Colour(palette::kDarkRed));
  ASSERT_TRUE(mark);
  // 42 s on the clock; a mark two pixels wide covers its column and the one before.
  const int x = pb.layout.tracesArea.left + TruncToInt(42.0f * pb.scale.pixelsPerSecond);
  EXPECT_GE(*mark, x - 1);
  EXPECT_LE(*mark, x);
}

TEST(SeismogramsPicture, PickOnTheLowerHalfPredictedArrivalsOnTheUpperHalfOfTheirRow) {
  auto a = TraceRecord(std::vector<float>(100, 0.0f)).Build();
  auto b = TraceRecord(std::vector<float>(100, 0.0f)).Build();
  b->SetPick(0, 40.0f);
  b->SetPick(1, 60.0f);
  b->SetPick(2, 80.0f);
  std::vector<KSAC*> records{a.get(), b.get()};
  const Picture p = Paint(records);
  const Rect& area = p.layout.tracesArea;
  const int centre = area.top + RowBandAt(1, p.layout.rows.rowHeight).centre;
  const auto colourRows = [&](int colour) {
    return test::RowsOf(p.image, Rect{area.left + 60, area.top, area.right, area.bottom}, Colour(colour));
  };
  const int half = area.Height() / 4;
  const auto red = colourRows(palette::kDarkRed);
  const auto blue = colourRows(palette::kDarkBlue);
  const auto green = colourRows(palette::kDarkGreen);
  ASSERT_TRUE(red && green);
  EXPECT_NEAR(red->first, centre, 1);
  EXPECT_NEAR(red->second, centre + half, 1);
  EXPECT_NEAR(green->first, centre - half, 1);
  EXPECT_NEAR(green->second, centre + 1, 1);
  // Dark blue is also the colour of the lower row borders; the predicted P lies
  // in the upper half, at 60 s.
  ASSERT_TRUE(blue);
  const int x = ClockMarkX(60.0f, area.left, p.scale.pixelsPerSecond, 0.0f, 0.0f, 0);
  EXPECT_EQ(p.image.pixel(x, centre - half / 2), Colour(palette::kDarkBlue));
  EXPECT_EQ(p.image.pixel(x, centre + half / 2), Colour(palette::kWhite));
}

TEST(SeismogramsPicture, EachRowHasItsOwnGain) {
  auto a = TraceRecord(test::Sine(400, 100.0f, 40.0)).Station("").Build();
  auto b = TraceRecord(test::Sine(400, 100.0f, 40.0)).Station("").Build();
  std::vector<KSAC*> records{a.get(), b.get()};
  const Picture p = Paint(records, {1, 3});
  const auto swing = [&](int row) {
    const RowBand band = RowBandAt(row, p.layout.rows.rowHeight);
    const Rect inner{p.layout.tracesArea.left + 200, p.layout.tracesArea.top + band.top + 1,
                     p.layout.tracesArea.right, p.layout.tracesArea.top + band.bottom};
    const auto rows = test::RowsOf(p.image, inner, Colour(palette::kBlack));
    return rows ? rows->second - rows->first : 0;
  };
  // ±100 widens to −100 … 100 (step 20): the full swing spans the row at gain 1.
  const RowBand band = RowBandAt(1, p.layout.rows.rowHeight);
  EXPECT_NEAR(swing(0), p.layout.rows.rowHeight, 3);
  EXPECT_EQ(swing(1), band.bottom - band.top - 1) << "three times as much, clipped to its band";
}

TEST(SeismogramsPicture, RowsOutsideTheRepaintedAreaKeepOnlyTheirBorders) {
  auto a = TraceRecord(test::Sine(200)).Station("").Build();
  auto b = TraceRecord(test::Sine(200)).Station("").Build();
  std::vector<KSAC*> records{a.get(), b.get()};
  QImage probe(1, 1, QImage::Format_RGB32);
  const SeismogramsLayout l = LayOutSeismograms(kWidth, kHeight, Surface(probe).GetTextMetrics(), 2);
  const Rect firstRow{0, l.tracesArea.top, kWidth, l.tracesArea.top + l.rows.rowHeight / 2};
  const Picture p = Paint(records, {}, firstRow);
  EXPECT_GT(CountIn(p.image, Middle(p, 0), Colour(palette::kBlack)), 20);
  EXPECT_EQ(CountIn(p.image, Middle(p, 1), Colour(palette::kBlack)), 0);
}

TEST(SeismogramsPicture, AnEmptyClockDrawsNoTimeAxis) {
  auto a = TraceRecord({}).Build();
  auto b = TraceRecord({}).Build();
  std::vector<KSAC*> records{a.get(), b.get()};
  const Picture p = Paint(records, {}, {}, 3.0f, 0.5f);
  EXPECT_EQ(p.scale.timeSpan, 0.0f);
  EXPECT_EQ(p.scale.pixelsPerSecond, 0.0f);
  const Rect strip{p.layout.axisStrip.left, p.layout.axisStrip.top + 2, kWidth, kHeight};
  EXPECT_EQ(CountIn(p.image, strip, Colour(palette::kBlack)), 0) << "no minute labels";
  const Rect& area = p.layout.tracesArea;
  EXPECT_EQ(CountIn(p.image, Rect{area.left + 1, area.top, area.right, area.top + 6}, Colour(palette::kBlack)), 0)
      << "no ticks";
}

TEST(SeismogramsPicture, TicksTopAndBottomAndMinuteLabelsBelow) {
  // 7201 s at zoom 1: ticks every 300 s.
  auto a = TraceRecord(std::vector<float>(7201, 0.0f)).Delta(1.0f).Build();
  std::vector<KSAC*> records{a.get()};
  const Picture p = Paint(records);
  const Rect& area = p.layout.tracesArea;
  const int x = area.left + TruncToInt(300.0f * p.scale.pixelsPerSecond);
  EXPECT_EQ(p.image.pixel(x, area.top + 2), Colour(palette::kBlack));
  EXPECT_EQ(p.image.pixel(x, area.bottom - 2), Colour(palette::kBlack));
  EXPECT_GT(CountIn(p.image, p.layout.axisStrip, Colour(palette::kBlack)), 20);
}

// 28 minutes in a window a quarter of a small screen wide: the minute labels
// stand apart (every fifth), not printed over each other into one smudge.
TEST(SeismogramsPicture, MinuteLabelsNeverPrintOverEachOther) {
  auto a = TraceRecord(std::vector<float>(1700, 0.0f)).Build();
  std::vector<KSAC*> records{a.get()};
  QImage image(250, 300, QImage::Format_RGB32);
  image.fill(Qt::white);
  Surface surface(image);
  const SeismogramsLayout layout = LayOutSeismograms(250, 300, surface.GetTextMetrics(), 1);
  const std::vector<int> gains{1};
  PaintSeismogramsPicture(surface, layout, records, SeismogramsView{1.0f, 0.0f, gains}, layout.clientArea);
  // The inked columns of the labels, in runs split by three blank columns.
  const QFont font = Surface::CreateFont(QStringLiteral("Arial"), layout.labelHeight, 700);
  const int twoDigits = QFontMetrics(font).horizontalAdvance(QStringLiteral("28")) + 2;
  const Rect strip{layout.tracesArea.left - 6, layout.axisStrip.top + 2, layout.clientArea.right,
                   layout.axisStrip.top + layout.textHeight};
  std::vector<int> runs;
  int start = -1, lastInked = 0;
  for (int x = strip.left; x < strip.right; ++x) {
    if (CountIn(image, Rect{x, strip.top, x + 1, strip.bottom}, Colour(palette::kBlack)) == 0) continue;
    if (start < 0 || x - lastInked > 3) {
      if (start >= 0) runs.push_back(lastInked - start + 1);
      start = x;
    }
    lastInked = x;
  }
  if (start >= 0) runs.push_back(lastInked - start + 1);
  ASSERT_GE(runs.size(), 4u) << "0, 5, 10 … 25";
  for (const int width : runs) EXPECT_LE(width, twoDigits);
}

TEST(SeismogramsPicture, NoRowsAndHostileHeadersDrawWithoutHarm) {
  std::vector<KSAC*> none;
  Paint(none);
  auto zero = TraceRecord(test::Sine(100)).Delta(0.0f).Build();
  auto huge = TraceRecord(test::Sine(100)).Delta(1e30f).Build();
  auto nan = TraceRecord(std::vector<float>(100, std::numeric_limits<float>::quiet_NaN())).Build();
  auto noTime = TraceRecord(test::Sine(100)).Build();
  noTime->SetIntHeader(KSAC::NZYEAR, KSAC::UNDEFINED_INT);
  noTime->ComputeReferenceSeconds();
  std::vector<KSAC*> records{zero.get(), huge.get(), nan.get(), noTime.get()};
  for (KSAC* r : records) r->SetPick(0, 3.0f);
  Paint(records, {}, {}, 10.0f, 0.9f);
}

}  // namespace
}  // namespace orvane
