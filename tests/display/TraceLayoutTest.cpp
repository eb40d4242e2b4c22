// The arithmetic of the seismogram windows, without a widget: the time axis,
// scrolling, what a click stores, amplitude scales, rows, the common clock,
// the order of the rows and the texts beside a trace.
#include "display/TraceLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "display/TraceRecords.h"
#include "display/TraceTexts.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

using test::TraceRecord;

std::vector<int> Columns(const std::vector<AxisMark>& marks) {
  std::vector<int> x;
  for (const AxisMark& m : marks) x.push_back(m.x);
  return x;
}

std::vector<long long> Minutes(const std::vector<AxisMark>& marks) {
  std::vector<long long> m;
  for (const AxisMark& mark : marks) m.push_back(mark.seconds / 60);
  return m;
}

struct IntervalCase {
  const char* name;
  double span;
  double zoom;
  int tick;
  int eventLabel;
  int seismogramsLabel;
};
void PrintTo(const IntervalCase& c, std::ostream* os) { *os << c.name; }

class Intervals : public testing::TestWithParam<IntervalCase> {};

TEST_P(Intervals, TicksAndLabels) {
  const IntervalCase& c = GetParam();
  EXPECT_EQ(TickStep(c.span), c.tick);
  EXPECT_EQ(EventLabelInterval(c.span, c.zoom), c.eventLabel);
  EXPECT_EQ(SeismogramsLabelInterval(c.span, c.zoom), c.seismogramsLabel);
}

INSTANTIATE_TEST_SUITE_P(
    TimeAxis, Intervals,
    testing::Values(IntervalCase{"record4000Zoom1", 4000, 1, 300, 1200, 300},
                    IntervalCase{"record4000Zoom4", 4000, 4, 300, 300, 60},
                    IntervalCase{"span7201Zoom1", 7201, 1, 300, 1200, 1200},
                    IntervalCase{"span7201Zoom2", 7201, 2, 300, 1200, 300},
                    IntervalCase{"span7201Zoom5", 7201, 5, 300, 300, 60},
                    IntervalCase{"exactly1800", 1800, 1, 60, 300, 60},
                    IntervalCase{"justAbove1800", 1800.5, 1, 300, 300, 300},
                    IntervalCase{"exactly600", 600, 1, 60, 60, 60},
                    IntervalCase{"exactly2400", 2400, 1, 300, 300, 300},
                    IntervalCase{"short", 300, 1, 60, 60, 60}),
    [](const testing::TestParamInfo<IntervalCase>& info) { return info.param.name; });

TEST(AxisMarks, A4000SecondRecordGetsTicksEvery300sAndLabelsEvery20Minutes) {
  const float pps = 400.0f / 4000.0f;  // width 400 at zoom 1
  const std::vector<AxisMark> ticks = AxisMarks(4000, TickStep(4000), pps, 0, 400, 1, 1, false);
  EXPECT_EQ(Columns(ticks), (std::vector<int>{30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330, 360, 390}));
  const std::vector<AxisMark> labels = AxisMarks(4000, EventLabelInterval(4000, 1), pps, 0, 400, 0, 0, true);
  EXPECT_EQ(Minutes(labels), (std::vector<long long>{0, 20, 40, 60}));
  EXPECT_EQ(Columns(labels), (std::vector<int>{0, 120, 240, 360}));
}

TEST(AxisMarks, AtZoom4TheLabelsComeEveryFiveMinutesAndScrollWithTheRecord) {
  const float pps = 400.0f * 4 / 4000.0f;
  const int interval = EventLabelInterval(4000, 4);
  EXPECT_EQ(Minutes(AxisMarks(4000, interval, pps, 0, 400, 0, 0, true)), (std::vector<long long>{0, 5, 10, 15}));
  // Scrolled by 500 pixels (1250 s): the labels from 25 minutes on, shifted left.
  const std::vector<AxisMark> scrolled = AxisMarks(4000, interval, pps, 500, 400, 0, 0, true);
  EXPECT_EQ(Minutes(scrolled), (std::vector<long long>{25, 30, 35}));
  EXPECT_EQ(Columns(scrolled), (std::vector<int>{100, 220, 340}));
}

TEST(AxisMarks, TheEndOfTheSpanIsExcludedForTicksAndIncludedForLabels) {
  // 3600 s on 360 pixels: a tick at 3600 s would be the right edge; a label there is kept.
  const float pps = 0.5f;
  EXPECT_EQ(AxisMarks(3600, 300, pps, 0, 2000, 1, 1, false).back().seconds, 3300);
  EXPECT_EQ(AxisMarks(3600, 300, pps, 0, 2000, 0, 0, true).back().seconds, 3600);
}

TEST(AxisMarks, NothingForASpanOrScaleWithoutMeaning) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(AxisMarks(0, 60, 1.0f, 0, 400, 0, 0, true).empty());
  EXPECT_TRUE(AxisMarks(-5, 60, 1.0f, 0, 400, 0, 0, true).empty());
  EXPECT_TRUE(AxisMarks(nan, 60, 1.0f, 0, 400, 0, 0, true).empty());
  EXPECT_TRUE(AxisMarks(100, 60, std::numeric_limits<float>::infinity(), 0, 400, 0, 0, true).empty());
  EXPECT_TRUE(AxisMarks(100, 60, 0.0f, 0, 400, 0, 0, true).empty());
}

TEST(AxisMarks, AHugeSpanCostsNoMoreThanTheWidth) {
  // A year of record on 400 pixels: ten thousand ticks per pixel.
  const double span = 3.2e7;
  const auto pps = static_cast<float>(400.0 / span);
  const std::vector<AxisMark> ticks = AxisMarks(span, 300, pps, 0, 400, 1, 1, false);
  ASSERT_FALSE(ticks.empty());
  EXPECT_LE(ticks.size(), 400u);
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_LT(ticks[i - 1].x, ticks[i].x);
  EXPECT_EQ(ticks.front().x, 1);
}

TEST(AxisMarks, AStepOfAlmostNoPixelsEnds) {
  // A delta of 1e30 s: the whole record on less than a pixel.
  EXPECT_TRUE(AxisMarks(3e32, 300, 1.28e-30f, 0, 384, 1, 1, false).empty());
  const std::vector<AxisMark> labels = AxisMarks(3e32, 1200, 1.28e-30f, 0, 384, 0, 0, true);
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0].x, 0);
  EXPECT_TRUE(AxisMarks(3e32, 300, 1.28e-30f, 2'000'000'000, 384, 0, 0, true).empty());
}

TEST(Scrolling, ZoomOneScrollsNothingAndTheThumbAt100ShowsTheEnd) {
  EXPECT_EQ(ScrollFractionFor(1.0f, 100), 0.0f);
  EXPECT_EQ(ScrollFractionFor(0.0f, 100), 0.0f);  // zoom taken as at least 1
  EXPECT_FLOAT_EQ(ScrollFractionFor(2.0f, 100), 0.5f);
  EXPECT_FLOAT_EQ(ScrollFractionFor(4.0f, 50), 0.375f);
  // At thumb 100 the stretched record ends at the right edge: offset = (zoom − 1) widths.
  for (int zoom : {2, 3, 4, 10}) {
    const float fraction = ScrollFractionFor(static_cast<float>(zoom), 100);
    EXPECT_EQ(ScrollOffsetFor(386, fraction, static_cast<float>(zoom)), (zoom - 1) * 386) << "zoom " << zoom;
  }
}

TEST(EventClick, TheSampleUnderTheMouseIsTheOneAtOrBeforeItsColumn) {
  struct Case {
    const char* name;
    int zoom, width, npts;
  } cases[] = {{"manyPerColumn", 1, 386, 1'000'000}, {"fractional", 1, 386, 1000},
               {"fewerThanColumns", 1, 386, 50},     {"zoomed", 7, 386, 11687}};
  for (const Case& c : cases) {
    const float pps = PixelsPerSample(c.zoom, c.width, c.npts);
    const auto column = [pps](std::int64_t i) { return TruncToInt(static_cast<float>(i) * pps); };
    for (int dx = 0; dx < c.width * c.zoom; ++dx) {
      const std::optional<std::int64_t> index = SampleIndexAt(dx, 0, pps);
      ASSERT_TRUE(index) << c.name;
      ASSERT_LE(column(*index), dx) << c.name << " dx " << dx;
      ASSERT_GE(column(*index + 1), dx) << c.name << " dx " << dx;
    }
  }
}

TEST(EventClick, NoSampleWithoutASampleScale) {
  EXPECT_EQ(PixelsPerSample(1, 386, 0), 0.0f);
  EXPECT_FALSE(SampleIndexAt(10, 0, 0.0f));
  EXPECT_FALSE(SampleIndexAt(10, 0, -1.0f));
  EXPECT_FALSE(SampleIndexAt(10, 0, std::numeric_limits<float>::quiet_NaN()));
}

TEST(EventClick, APickIsTheSampleTimeAfterTheReferenceTime) {
  EXPECT_FLOAT_EQ(SampleSeconds(250, 0.05f, 0.0f), 12.5f);
  // A record that starts ten minutes after its reference time.
  EXPECT_FLOAT_EQ(SampleSeconds(250, 0.05f, 600.0f), 612.5f);
  EXPECT_FLOAT_EQ(SampleSeconds(250, 0.05f, -30.0f), -17.5f);
  // With b = 0 the pick is the float product index × delta, as it always was.
  EXPECT_EQ(SampleSeconds(7, 0.1f, 0.0f), 7 * 0.1f);
}

TEST(EventClick, TheMarkOfAPickLandsOnTheClickedColumnWhateverTheFirstSampleTime) {
  const int left = 7;
  const float delta = 0.05f;
  const float pps = PixelsPerSample(1, 386, 11687);
  for (const float b : {0.0f, 600.0f, -45.5f}) {
    for (int dx = 0; dx < 386; dx += 17) {
      const std::int64_t index = *SampleIndexAt(dx, 0, pps);
      const int x = EventMarkX(SampleSeconds(index, delta, b), left, pps, delta, b, 0);
      EXPECT_NEAR(x, left + TruncToInt(static_cast<float>(index) * pps), 1) << "b " << b << " dx " << dx;
      EXPECT_NEAR(x, left + dx, 1) << "b " << b << " dx " << dx;
    }
  }
}

TEST(Amplitude, OneSeismogramFillsThreeQuartersOfItsHeightTimesTheGain) {
  EXPECT_DOUBLE_EQ(EventAmplitudeScale(-100.0f, 100.0f, 1.0f, 200), 0.75);
  EXPECT_DOUBLE_EQ(EventAmplitudeScale(-100.0f, 100.0f, 3.0f, 200), 2.25);
  EXPECT_DOUBLE_EQ(EventAmplitudeScale(5.0f, 5.0f, 1.0f, 200), 150.0);  // constant: range 1
  EXPECT_DOUBLE_EQ(EventAmplitudeScale(KSAC::UNDEFINED_FLOAT, 3.0f, 2.0f, 200), 1.0);
  EXPECT_DOUBLE_EQ(EventAmplitudeScale(-3e38f, 3e38f, 1.0f, 200), 0.0);  // an infinite swing lies flat
}

struct WidenCase {
  const char* name;
  float min, max;
  WidenedRange expected;
};
void PrintTo(const WidenCase& c, std::ostream* os) { *os << c.name; }

class Widen : public testing::TestWithParam<WidenCase> {};

TEST_P(Widen, RangeToWholeSteps) {
  const WidenCase& c = GetParam();
  const WidenedRange w = WidenRange(c.min, c.max);
  EXPECT_DOUBLE_EQ(w.p, c.expected.p);
  EXPECT_NEAR(w.q, c.expected.q, 1e-9);
  EXPECT_DOUBLE_EQ(w.unit, c.expected.unit);
  EXPECT_NEAR(w.step, c.expected.step, 1e-9);
  EXPECT_NEAR(w.lo, c.expected.lo, 1e-9);
  EXPECT_NEAR(w.hi, c.expected.hi, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Widen,
    testing::Values(WidenCase{"range3500", -1500, 2000, {1000, 0.35, 0.5, 500, -1500, 2000}},
                    WidenCase{"range120", 3, 123, {100, 0.12, 0.2, 20, 0, 140}},
                    WidenCase{"range800", -310, 490, {100, 0.8, 1.0, 100, -400, 500}},
                    WidenCase{"constantZero", 0, 0, {1, 0.1, 0.2, 0.2, -0.4, 0.4}},
                    WidenCase{"constant5000", 5000, 5000, {1, 0.1, 0.2, 0.2, 4999.6, 5000.4}},
                    WidenCase{"belowOne", 0, 0.05f, {1, 0.005, 0.2, 0.2, 0, 0.2}}),
    [](const testing::TestParamInfo<WidenCase>& info) { return info.param.name; });

TEST(Amplitude, AtGainOneTheWidenedRangeSpansOneRow) {
  EXPECT_DOUBLE_EQ(SeismogramsAmplitudeScale(-1500.0f, 2000.0f, 1, 70), 70.0 / 3500.0);
  EXPECT_DOUBLE_EQ(SeismogramsAmplitudeScale(-1500.0f, 2000.0f, 4, 70), 4 * 70.0 / 3500.0);
  EXPECT_DOUBLE_EQ(SeismogramsAmplitudeScale(0.0f, 0.0f, 1, 80), 100.0);  // −0.4 … 0.4
  EXPECT_DOUBLE_EQ(SeismogramsAmplitudeScale(KSAC::UNDEFINED_FLOAT, 1.0f, 1, 80), 1.0);
  EXPECT_DOUBLE_EQ(SeismogramsAmplitudeScale(-3e38f, 3e38f, 1, 80), 0.0);
}

TEST(Rows, BandsAroundTheirCentres) {
  const RowBand second = RowBandAt(1, 100);
  EXPECT_EQ(second.centre, 150);
  EXPECT_EQ(second.top, 100);
  EXPECT_EQ(second.bottom, 200);
  const RowBand odd = RowBandAt(1, 33);  // trunc(49.5)
  EXPECT_EQ(odd.centre, 49);
  EXPECT_EQ(odd.top, 33);
  EXPECT_EQ(odd.bottom, 65);
}

TEST(Rows, TheRowUnderTheMouseAndNoneOutsideTheTracesArea) {
  struct Case {
    const char* name;
    int my;
    std::optional<int> row;
  } cases[] = {{"topEdge", 10, 0},        {"endOfFirstRow", 109, 0}, {"secondRow", 110, 1},
               {"lastPixel", 309, 2},     {"justBelow", 310, std::nullopt},
               {"axisStrip", 330, std::nullopt}, {"justAbove", 9, std::nullopt},
               {"topMargin", 2, std::nullopt},   {"farAbove", -400, std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(RowAt(c.my, 10, RowHeightFor(300, 3), 3), c.row) << c.name;
  EXPECT_FALSE(RowAt(50, 10, RowHeightFor(0, 3), 3)) << "no traces area";
  EXPECT_FALSE(RowAt(50, 10, RowHeightFor(-20, 3), 3)) << "a window smaller than its margins";
  EXPECT_FALSE(RowAt(50, 10, RowHeightFor(300, 0), 0)) << "no rows";
  // 12 rows of 48 pixels in 587: 7 pixels into the last row is the last row,
  // and the 11 pixels under it are no row.
  EXPECT_EQ(RowAt(10 + 11 * 48 + 7, 10, RowHeightFor(587, 12), 12), 11);
  EXPECT_FALSE(RowAt(10 + 12 * 48 + 1, 10, RowHeightFor(587, 12), 12)) << "the strip under the last row";
}

// The rows of the window of all seismograms for small and large events in
// windows of several heights, with the fonts of a normal and of a doubled
// screen: every row shown maps its centre (and its whole band) back to itself,
// no two text boxes meet, no box crosses a row's border lines, every gain
// control lies in its row, and a row is never shorter than what it shows.
TEST(Rows, ForAnyNumberOfRowsTextsNeverMeetAndEveryRowsCentreMapsBackToIt) {
  const RowMetrics fonts[] = {{15, 8, 2}, {30, 17, 4}};
  const int counts[] = {12, 50, 163, 500};
  const int heights[] = {3, 150, 437, 587, 900, 1400};
  const RowMode modes[] = {RowMode::kAllRows, RowMode::kScrolled, RowMode::kCompact};
  bool all[kRowLines];
  std::fill(std::begin(all), std::end(all), true);
  for (const RowMetrics& m : fonts) {
    for (const int count : counts) {
      for (const int height : heights) {
        for (const RowMode mode : modes) {
          const RowGeometry top = LayOutRows(height, count, m, mode);
          for (const int first : {0, count / 2, top.LastFirstRow(), count + 7}) {
            SCOPED_TRACE(::testing::Message() << "th " << m.textHeight << ", " << count << " rows in " << height
                                              << " pixels, mode " << static_cast<int>(mode) << ", from row " << first);
            const RowGeometry g = LayOutRows(height, count, m, mode, first);
            ASSERT_LE(g.visibleRows, count);
            ASSERT_LE(g.visibleRows * g.rowHeight, height) << "the rows shown fit the area";
            ASSERT_LE(g.firstRow, g.LastFirstRow());
            EXPECT_EQ(g.texts, mode != RowMode::kCompact);
            if (mode == RowMode::kCompact) {
              EXPECT_FALSE(g.gainControls);
              if (count <= height) {
                EXPECT_FALSE(g.Scrolls()) << "traces only, every row fits on one screen";
              }
            }
            if (mode == RowMode::kScrolled && height >= MinimumRowHeight(m, mode)) {
              EXPECT_GE(g.rowHeight, MinimumRowHeight(m, mode));
            }
            if (mode == RowMode::kAllRows) {
              EXPECT_FALSE(g.Scrolls());
            }
            if (g.rowHeight == 0) continue;

            // Every row's text boxes [baseline − pitch, baseline) and gain control [top, top + h).
            std::vector<std::pair<int, int>> boxes, controls;
            for (int row = g.firstRow; row < g.firstRow + g.visibleRows; ++row) {
              const RowBand band = g.Band(row);
              ASSERT_EQ(g.RowAtOffset(band.centre), row);
              ASSERT_EQ(g.RowAtOffset(band.top), row);
              ASSERT_EQ(g.RowAtOffset(band.top + g.rowHeight - 1), row);
              if (!g.texts) continue;
              const RowTexts texts = PlaceRowTexts(band, all, m);
              for (int line = 0; line < kRowLines; ++line) {
                if (!texts.baseline[line]) continue;
                const int baseline = *texts.baseline[line];
                ASSERT_GE(baseline - texts.pitch, band.top + 1) << "line " << line << " of row " << row;
                ASSERT_LE(baseline, band.bottom) << "line " << line << " of row " << row;
                boxes.emplace_back(baseline - texts.pitch, baseline);
              }
              if (mode == RowMode::kScrolled && g.rowHeight >= MinimumRowHeight(m, mode)) {
                for (int line = 0; line < kRowLines; ++line)
                  ASSERT_TRUE(texts.Shown(static_cast<RowLine>(line))) << "a row as tall as all it shows";
              }
              if (band.bottom - band.top > 2 * texts.pitch) {
                EXPECT_TRUE(texts.Shown(kStationLine)) << "row " << row;
                EXPECT_TRUE(texts.Shown(kPickLine)) << "row " << row;
              }
              if (g.gainControls) {
                const int c = GainControlTop(band, g.rowHeight, m.textHeight);
                ASSERT_GE(c, band.top);
                ASSERT_LE(c + GainControlHeight(m.textHeight), band.top + g.rowHeight);
                controls.emplace_back(c, c + GainControlHeight(m.textHeight));
              }
            }
            for (auto* spans : {&boxes, &controls}) {
              std::sort(spans->begin(), spans->end());
              for (std::size_t i = 1; i < spans->size(); ++i)
                ASSERT_LE((*spans)[i - 1].second, (*spans)[i].first) << "two boxes meet at " << (*spans)[i].first;
            }
          }
        }
      }
    }
  }
}


TEST(CommonClock, AClickStoresSecondsOnTheRecordsOwnAxis) {
  EXPECT_FLOAT_EQ(*ClockPickSeconds(100, 0, 2.0f, 30.0f, 0.0f), 20.0f);
  EXPECT_FLOAT_EQ(*ClockPickSeconds(100, 40, 2.0f, 30.0f, 0.0f), 40.0f);
  // The record begins 600 s after its reference time: the same point of its trace is 600 s later.
  EXPECT_FLOAT_EQ(*ClockPickSeconds(100, 0, 2.0f, 30.0f, 600.0f), 620.0f);
  EXPECT_FALSE(ClockPickSeconds(100, 0, 0.0f, 0.0f, 0.0f));
  // The mark of that pick is drawn back under the click.
  EXPECT_EQ(ClockMarkX(620.0f, 42, 2.0f, 30.0f, 600.0f, 0), 142);
}

TEST(CommonClock, RecordsStartingThirtySecondsApart) {
  auto early = TraceRecord(std::vector<float>(100, 0.0f)).Start({2025, 10, 0, 19, 7, 50, 0, 0}).Build();
  auto late = TraceRecord(std::vector<float>(100, 0.0f)).Start({2025, 10, 0, 19, 7, 50, 30, 0}).Build();
  KSAC* records[] = {late.get(), early.get()};
  const CommonClock clock = AlignRecords(records);
  EXPECT_FLOAT_EQ(clock.timeSpan, 130.0f);
  EXPECT_FLOAT_EQ(early->alignOffset, 0.0f);
  EXPECT_FLOAT_EQ(late->alignOffset, 30.0f);
}

TEST(CommonClock, RunsFromTheEarliestFirstSampleNotTheEarliestReferenceTime) {
  // Reference 07:40:30 and first sample ten minutes later: 07:50:30, thirty
  // seconds after the other record's first sample (b undefined counts as 0).
  auto other = TraceRecord(std::vector<float>(100, 0.0f)).Start({2025, 10, 0, 19, 7, 50, 0, 0}).Build();
  other->SetFloatHeader(KSAC::B, KSAC::UNDEFINED_FLOAT);
  auto tenMinutes =
      TraceRecord(std::vector<float>(100, 0.0f)).Start({2025, 10, 0, 19, 7, 40, 30, 0}).FirstSample(600.0f).Build();
  KSAC* records[] = {tenMinutes.get(), other.get()};
  const CommonClock clock = AlignRecords(records);
  EXPECT_FLOAT_EQ(clock.timeSpan, 130.0f);
  EXPECT_FLOAT_EQ(other->alignOffset, 0.0f);
  EXPECT_FLOAT_EQ(tenMinutes->alignOffset, 30.0f);
  EXPECT_DOUBLE_EQ(static_cast<double>(clock.earliest), static_cast<double>(other->referenceSeconds));
}

TEST(CommonClock, EmptyRecordsOfOneTimeMakeAnEmptyClock) {
  EXPECT_EQ(AlignRecords({}).timeSpan, 0.0f);
  auto a = TraceRecord({}).Build();
  auto b = TraceRecord({}).Start({2025, 10, 0, 19, 8, 0, 0, 0}).Build();
  KSAC* records[] = {a.get(), b.get()};
  // Both records are empty, but they start ten minutes apart.
  EXPECT_FLOAT_EQ(AlignRecords(records).timeSpan, 600.0f);
  auto c = TraceRecord({}).Build();
  KSAC* same[] = {a.get(), c.get()};
  EXPECT_EQ(AlignRecords(same).timeSpan, 0.0f);
  // A record without a usable delta ends where it starts.
  auto zeroDelta = TraceRecord({1, 2, 3}).Delta(0.0f).Build();
  KSAC* bad[] = {zeroDelta.get()};
  EXPECT_EQ(AlignRecords(bad).timeSpan, 0.0f);
}

std::vector<std::string> Stations(const std::vector<KSAC*>& records) {
  std::vector<std::string> names;
  for (const KSAC* r : records) names.push_back(r->GetCharHeaderText(KSAC::KSTNM));
  return names;
}

TEST(SortByDistance, NearestFirstStableAndUndefinedFirst) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, float>> rows;
    std::vector<std::string> expected;
  };
  const float undefined = KSAC::UNDEFINED_FLOAT;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {"threeDistances", {{"A", 40}, {"B", 10}, {"C", 25}}, {"B", "C", "A"}},
      {"equalKeepTheirOrder", {{"A", 10}, {"B", 5}, {"C", 10}, {"D", 5}}, {"B", "D", "A", "C"}},
      {"undefinedFirst", {{"A", 30}, {"B", undefined}, {"C", 10}, {"D", undefined}}, {"B", "D", "C", "A"}},
      {"allEqual", {{"A", 0}, {"B", 0}, {"C", 0}, {"D", 0}, {"E", 0}}, {"A", "B", "C", "D", "E"}},
      {"notANumberFirst", {{"A", 30}, {"B", nan}, {"C", 10}, {"D", 20}, {"E", 1}}, {"B", "E", "C", "D", "A"}},
      {"reversedNine",
       {{"A", 9}, {"B", 8}, {"C", 7}, {"D", 6}, {"E", 5}, {"F", 4}, {"G", 3}, {"H", 2}, {"I", 1}},
       {"I", "H", "G", "F", "E", "D", "C", "B", "A"}},
      {"one", {{"A", 3}}, {"A"}},
  };
  for (const Case& c : cases) {
    std::vector<std::unique_ptr<KSAC>> owned;
    std::vector<KSAC*> records;
    for (const auto& [name, gcarc] : c.rows) {
      owned.push_back(TraceRecord({0}).Station(name).Distance(gcarc).Build());
      records.push_back(owned.back().get());
    }
    SortByDistance(records);
    EXPECT_EQ(Stations(records), c.expected) << c.name;
  }
}

TEST(Texts, TimesInTenthsOrHundredths) {
  auto r = TraceRecord({0, 1}).Start({2025, 10, 0, 19, 7, 50, 40, 870}).Build();
  EXPECT_EQ(ReferenceTimeText(*r, TextPrecision::kTenths), "2025/10/19 07:50:40.8");
  EXPECT_EQ(ReferenceTimeText(*r, TextPrecision::kHundredths), "2025/10/19 07:50:40.87");
  EXPECT_EQ(PickTimeText(*r, TextPrecision::kTenths), "");
  r->SetPick(0, 12.34f);  // rounded to 12.3 s after the reference: 07:50:53.170
  EXPECT_EQ(PickTimeText(*r, TextPrecision::kTenths), "2025/10/19 07:50:53.1");
  EXPECT_EQ(PickTimeText(*r, TextPrecision::kHundredths), "2025/10/19 07:50:53.17");
}

TEST(Texts, DeltaTRunsIntoTheDistance) {
  auto r = TraceRecord({0, 1}).Build();
  r->SetPick(0, 12.3f);
  EXPECT_EQ(ResidualText(*r, TextPrecision::kTenths), "") << "no trial since the pick";
  r->SetPick(1, 13.0f);
  r->SetFloatHeader(KSAC::GCARC, 22.17f);
  EXPECT_EQ(ResidualText(*r, TextPrecision::kTenths), "  Delta T: 0.7Dist: 22.2 deg.");
  EXPECT_EQ(ResidualText(*r, TextPrecision::kHundredths), "  Delta T: 0.70Dist: 22.2 deg.");
  r->SetFloatHeader(KSAC::GCARC, 0.0f);
  EXPECT_EQ(ResidualText(*r, TextPrecision::kTenths), "  Delta T: 0.7");
}

}  // namespace
}  // namespace orvane
