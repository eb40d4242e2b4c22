// The picture of one seismogram on an image: where the trace, the ticks and
// the marks land, what an empty record and a constant trace give, the gain,
// zoom and scroll, and a record that begins minutes after its reference time.
#include "display/EventPicture.h"

#include <gtest/gtest.h>

#include <QImage>

#include <limits>
#include <memory>
#include <vector>

#include "display/PictureProbe.h"
#include "display/TraceRecords.h"
#include "display/TraceLayout.h"
#include "map/DrawingPrimitives.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

using test::Colour;
using test::CountIn;
using test::TraceRecord;

constexpr int kWidth = 400, kHeight = 250;

struct Picture {
  QImage image;
  EventLayout layout;
  EventScale scale;
};

Picture Paint(KSAC& record, const EventView& view = {}) {
  Picture p;
  p.image = QImage(kWidth, kHeight, QImage::Format_RGB32);
  p.image.fill(Qt::white);
  Surface surface(p.image);
  p.layout = LayOutEvent(kWidth, kHeight, surface.GetTextMetrics());
  p.scale = PaintEventPicture(surface, p.layout, record, view);
  return p;
}

// The part of the trace area below the three label lines and above the pick texts.
Rect TraceBand(const EventLayout& l) {
  return Rect{l.traceArea.left, l.traceArea.top + 2 * l.labelHeight + l.textHeight + 4, l.traceArea.right,
              l.traceArea.bottom - 2 * l.textHeight};
}

TEST(EventPicture, ARecordWithoutSamplesGetsItsLabelsAndNoTrace) {
  auto record = TraceRecord({}).Build();
  record->SetPick(0, 100.0f);  // a pick without samples has no place to be marked
  const Picture p = Paint(*record);
  const Rect labels{p.layout.traceArea.left, p.layout.traceArea.top, p.layout.traceArea.right,
                    TraceBand(p.layout).top};
  EXPECT_GT(CountIn(p.image, labels, Colour(palette::kBlack)), 50);
  EXPECT_EQ(CountIn(p.image, TraceBand(p.layout), Colour(palette::kBlack)), 0);
  const Rect rightHalf{kWidth / 2, p.layout.traceArea.top, p.layout.traceArea.right, p.layout.traceArea.bottom};
  EXPECT_EQ(CountIn(p.image, rightHalf, Colour(palette::kDarkRed)), 0);
  EXPECT_EQ(p.scale.pixelsPerSample, 0.0f);
}

TEST(EventPicture, AConstantTraceIsAFlatLineAtMidHeight) {
  auto record = TraceRecord(std::vector<float>(500, 7.0f)).Build();
  const Picture p = Paint(*record);
  const int mid = p.layout.traceArea.top + p.layout.traceArea.Height() / 2;
  const Rect row{p.layout.traceArea.left, mid, p.layout.traceArea.right, mid + 1};
  EXPECT_GE(CountIn(p.image, row, Colour(palette::kBlack)), p.layout.traceArea.Width() - 1);
  const Rect band = TraceBand(p.layout);
  EXPECT_EQ(CountIn(p.image, band, Colour(palette::kBlack)), CountIn(p.image, row, Colour(palette::kBlack)));
}

TEST(EventPicture, GainOneSwingsThreeQuartersOfTheHeight) {
  // No labels in the way: a sine swinging ±100 over 4000 samples.
  auto record = TraceRecord(test::Sine(4000, 100.0f, 400.0)).Station("").Build();
  const Picture p = Paint(*record);
  // Right of the labels, above the minute ticks on the bottom edge.
  const Rect inner{p.layout.traceArea.left + 200, p.layout.traceArea.top, p.layout.traceArea.right,
                   p.layout.traceArea.bottom - 6};
  const auto rows = test::RowsOf(p.image, inner, Colour(palette::kBlack));
  ASSERT_TRUE(rows);
  EXPECT_NEAR(rows->second - rows->first, 0.75 * p.layout.traceArea.Height(), 2.0);
  // Gain 2 reaches past the trace area and is clipped to it.
  const Picture doubled = Paint(*record, EventView{1, 0.0f, 2.0f});
  const auto clipped = test::RowsOf(doubled.image, inner, Colour(palette::kBlack));
  ASSERT_TRUE(clipped);
  EXPECT_EQ(clipped->first, inner.top);
  EXPECT_EQ(clipped->second, inner.bottom);
}

// One sample that is not a number (a gap in the recording) leaves the trace
// its swing, and a gap in the line at its column.
TEST(EventPicture, ASampleThatIsNotANumberIsAGapInTheTrace) {
  const int w = LayOutEvent(kWidth, kHeight, test::StockMetrics()).traceArea.Width();
  std::vector<float> samples = test::Sine(w, 100.0f, 80.0);  // one sample per column
  const int gap = w * 3 / 4;
  samples[static_cast<std::size_t>(gap)] = std::numeric_limits<float>::quiet_NaN();
  auto record = TraceRecord(samples).Station("").Build();
  const Picture p = Paint(*record);
  const Rect& a = p.layout.traceArea;
  const Rect inner{a.left + 200, a.top, a.right, a.bottom - 6};
  const auto rows = test::RowsOf(p.image, inner, Colour(palette::kBlack));
  ASSERT_TRUE(rows);
  EXPECT_NEAR(rows->second - rows->first, 0.75 * a.Height(), 2.0) << "the trace keeps its swing";
  const Rect column{a.left + gap, inner.top, a.left + gap + 1, inner.bottom};
  EXPECT_EQ(CountIn(p.image, column, Colour(palette::kBlack)), 0) << "a gap at the sample";
  for (const int x : {gap - 3, gap + 3}) {
    const Rect beside{a.left + x, inner.top, a.left + x + 1, inner.bottom};
    EXPECT_GT(CountIn(p.image, beside, Colour(palette::kBlack)), 0) << "the trace on both sides, column " << x;
  }
}

TEST(EventPicture, TicksEveryFiveMinutesOnA4000SecondRecord) {
  auto record = TraceRecord(std::vector<float>(4000, 0.0f)).Delta(1.0f).Build();
  const Picture p = Paint(*record);
  const int w = p.layout.traceArea.Width();
  const float pps = static_cast<float>(w) / 4000.0f;
  const int y = p.layout.traceArea.bottom - 3;
  int expected = 0;
  for (int s = 300; s < 4000; s += 300) {
    const int x = TruncToInt(static_cast<float>(s) * pps);
    EXPECT_EQ(p.image.pixel(p.layout.traceArea.left + x, y), Colour(palette::kBlack)) << "tick at " << s << " s";
    ++expected;
  }
  const Rect tickRow{p.layout.traceArea.left, y, p.layout.traceArea.right, y + 1};
  EXPECT_EQ(CountIn(p.image, tickRow, Colour(palette::kBlack)), expected);
}

int MarkColumn(const Picture& p, int colour, bool upperHalf) {
  const Rect& a = p.layout.traceArea;
  const int y = upperHalf ? a.top + 3 : a.bottom - 3;
  const auto x = test::FirstColumn(p.image, Rect{a.left, y, a.right, y + 1}, Colour(colour));
  return x ? *x : -1;
}

TEST(EventPicture, PickLowerHalfInDarkRedPredictedArrivalsUpperHalf) {
  auto record = TraceRecord(std::vector<float>(1000, 0.0f)).Delta(0.5f).Build();
  record->SetPick(0, 100.0f);
  record->SetPick(1, 250.0f);
  record->SetPick(2, 375.0f);
  const Picture p = Paint(*record);
  const Rect& a = p.layout.traceArea;
  const auto column = [&](float seconds) {
    return EventMarkX(seconds, a.left, p.scale.pixelsPerSample, 0.5f, 0.0f, 0);
  };
  EXPECT_NEAR(MarkColumn(p, palette::kDarkRed, false), column(100.0f), 1);
  EXPECT_NEAR(MarkColumn(p, palette::kDarkBlue, true), column(250.0f), 1);
  EXPECT_NEAR(MarkColumn(p, palette::kDarkGreen, true), column(375.0f), 1);
  EXPECT_EQ(MarkColumn(p, palette::kDarkRed, true), -1) << "the pick keeps to the lower half";
  EXPECT_EQ(MarkColumn(p, palette::kDarkBlue, false), -1) << "the predicted P keeps to the upper half";
}

TEST(EventPicture, ARecordThatBeginsTenMinutesAfterItsReferenceTimeIsDrawnFromItsFirstSample) {
  // The same samples from the same instant, once with the reference time at
  // the first sample and once ten minutes earlier (b = 600 s), as data centres
  // write them; the pick is the same instant, 100 s after the first sample.
  const std::vector<float> samples = test::Sine(2000, 100.0f, 50.0);
  auto plain = TraceRecord(samples).Delta(0.25f).Start({2025, 10, 0, 19, 7, 50, 0, 0}).Build();
  auto late = TraceRecord(samples).Delta(0.25f).Start({2025, 10, 0, 19, 7, 40, 0, 0}).FirstSample(600.0f).Build();
  plain->SetPick(0, 100.0f);
  plain->SetPick(1, 110.0f);
  late->SetPick(0, 700.0f);
  late->SetPick(1, 710.0f);
  const Picture a = Paint(*plain);
  const Picture b = Paint(*late);
  EXPECT_NE(MarkColumn(a, palette::kDarkRed, false), -1);
  EXPECT_EQ(MarkColumn(a, palette::kDarkRed, false), MarkColumn(b, palette::kDarkRed, false));
  EXPECT_EQ(MarkColumn(a, palette::kDarkBlue, true), MarkColumn(b, palette::kDarkBlue, true));
  // The trace, the ticks, the minute labels and the pick texts are the same; only the
  // reference time in the corner says 07:40 instead of 07:50.
  const Rect belowLabels{0, TraceBand(a.layout).top, kWidth, kHeight};
  EXPECT_TRUE(test::SameIn(a.image, b.image, belowLabels));
  EXPECT_FALSE(test::SameIn(a.image, b.image, Rect{0, 0, kWidth, kHeight}));
}

TEST(EventPicture, ZoomTwoScrolledToTheEndShowsTheSecondHalf) {
  // Flat first half, swinging second half.
  std::vector<float> samples(2000, 0.0f);
  const std::vector<float> swing = test::Sine(1000, 100.0f, 20.0);
  std::copy(swing.begin(), swing.end(), samples.begin() + 1000);
  auto record = TraceRecord(samples).Station("").Build();
  const auto swingRows = [](const Picture& p) {
    const Rect band = TraceBand(p.layout);
    const auto rows = test::RowsOf(p.image, Rect{band.left + 100, band.top, band.right, band.bottom},
                                   Colour(palette::kBlack));
    return rows ? rows->second - rows->first : 0;
  };
  const Picture start = Paint(*record, EventView{2, ScrollFractionFor(2.0f, 0), 1.0f});
  const Picture end = Paint(*record, EventView{2, ScrollFractionFor(2.0f, 100), 1.0f});
  EXPECT_EQ(start.scale.scrollOffset, 0);
  EXPECT_EQ(end.scale.scrollOffset, end.layout.traceArea.Width());
  EXPECT_LE(swingRows(start), 1) << "the flat first half";
  EXPECT_GT(swingRows(end), 50) << "the swinging second half";
}

TEST(EventPicture, PutsBackWhatItFoundOnTheSurface) {
  auto record = TraceRecord(test::Sine(300)).Build();
  record->SetPick(0, 20.0f);
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  Surface surface(image);
  surface.SetWindowOrigin(-3, -4);
  surface.SetClipRect(Rect{1, 2, 300, 200});
  const Pen pen = Pen::Solid(QColor(1, 2, 3), 3);
  surface.SelectPen(pen);
  PaintEventPicture(surface, LayOutEvent(kWidth, kHeight, surface.GetTextMetrics()), *record, EventView{});
  EXPECT_EQ(surface.WindowOrigin(), QPoint(-3, -4));
  EXPECT_EQ(surface.ClipRect(), (Rect{1, 2, 300, 200}));
  EXPECT_EQ(surface.CurrentPen(), pen);
}

TEST(EventPicture, HostileHeadersDrawWithoutHarm) {
  // Delta of zero, negative and huge; a NaN-filled trace; a window too small for its margins.
  for (const float delta : {0.0f, -1.0f, 1e30f, std::numeric_limits<float>::quiet_NaN()}) {
    auto record = TraceRecord(test::Sine(300)).Delta(delta).Build();
    record->SetPick(0, 5.0f);
    Paint(*record);
  }
  auto nan = TraceRecord(std::vector<float>(300, std::numeric_limits<float>::quiet_NaN())).Build();
  Paint(*nan);
  auto record = TraceRecord(test::Sine(300)).Build();
  QImage tiny(12, 9, QImage::Format_RGB32);
  Surface surface(tiny);
  PaintEventPicture(surface, LayOutEvent(12, 9, surface.GetTextMetrics()), *record, EventView{500, 0.9f, 32.0f});
}

}  // namespace
}  // namespace orvane
