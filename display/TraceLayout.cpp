#include "display/TraceLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {
namespace {

// Truncation toward zero into the long long range; NaN gives 0.
long long TruncToInt64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9.2e18) return LLONG_MAX;
  if (value <= -9.2e18) return LLONG_MIN;
  return static_cast<long long>(value);
}

bool PositiveFinite(double value) { return value > 0.0 && std::isfinite(value); }

}  // namespace

int TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

int TickStep(double spanSeconds) { return spanSeconds > 1800.0 ? 300 : 60; }

int EventLabelInterval(double spanSeconds, double zoom) {
  const double perScreen = spanSeconds / zoom;
  if (perScreen > 2400.0) return 1200;
  if (perScreen > 600.0) return 300;
  return 60;
}

int SeismogramsLabelInterval(double spanSeconds, double zoom) {
  const double perScreen = spanSeconds / zoom;
  if (perScreen > 7200.0) return 1200;
  if (perScreen > 1800.0) return 300;
  return 60;
}

std::vector<AxisMark> AxisMarks(double span, int step, float pixelsPerSecond, int scrollOffset, int width,
                                int firstMultiple, int lowestX, bool inclusiveEnd) {
  std::vector<AxisMark> marks;
  if (!PositiveFinite(span) || !PositiveFinite(pixelsPerSecond) || step <= 0 || width <= 0) return marks;
  const double pixelsPerStep = static_cast<double>(step) * pixelsPerSecond;
  if (!PositiveFinite(pixelsPerStep)) return marks;
  constexpr double kLastMultiple = 4.0e18;

  // The column of multiple k, in the floats the windows use: s × pixelsPerSecond − scrollOffset.
  const auto column = [&](long long k) {
    const float seconds = static_cast<float>(static_cast<double>(k) * step);
    return TruncToInt(seconds * pixelsPerSecond - static_cast<float>(scrollOffset));
  };

  // Start a little before the first multiple that can reach lowestX (a scrolled view).
  long long k = firstMultiple;
  const double firstVisible = std::floor((static_cast<double>(scrollOffset) + lowestX) / pixelsPerStep) - 1.0;
  if (firstVisible > static_cast<double>(k)) k = static_cast<long long>(std::min(firstVisible, kLastMultiple));

  while (static_cast<double>(k) <= kLastMultiple) {
    const double seconds = static_cast<double>(k) * step;
    if (inclusiveEnd ? !(seconds <= span) : !(seconds < span)) break;
    const int x = column(k);
    if (x >= width) break;
    if (x >= lowestX && (marks.empty() || marks.back().x != x)) marks.push_back({x, k * step});
    long long next = k + 1;
    if (pixelsPerStep < 1.0) {
      // Several multiples share a column: go straight to the next column.
      const double jump = std::floor((static_cast<double>(x) + 1.0 + scrollOffset) / pixelsPerStep) - 1.0;
      if (jump >= kLastMultiple) break;
      if (jump > static_cast<double>(next)) next = static_cast<long long>(jump);
    }
    k = next;
  }
  return marks;
}

int LabelStride(int room, double pixelsPerInterval) {
  if (!PositiveFinite(pixelsPerInterval)) return 1;
  for (int decade = 1; decade <= 100'000'000; decade *= 10)
    for (int k : {1, 2, 5})
      if (k * decade * pixelsPerInterval >= room) return k * decade;
  return 1'000'000'000;
}

float ScrollFractionFor(float zoom, int position) {
  const float z = std::max(1.0f, zoom);
  const auto fraction = static_cast<float>(position * 0.01);
  return (z - 1.0f) * fraction / z;
}

int ScrollOffsetFor(int width, float fraction, float zoom) {
  return TruncToInt(static_cast<float>(width) * fraction * zoom);
}

float PixelsPerSample(int zoom, int traceWidth, std::int32_t npts) {
  if (npts <= 0) return 0.0f;
  return static_cast<float>(static_cast<long long>(zoom) * traceWidth) / static_cast<float>(npts);
}

std::optional<std::int64_t> SampleIndexAt(int dx, int scrollOffset, float pixelsPerSample) {
  if (!PositiveFinite(pixelsPerSample)) return std::nullopt;
  const float position = static_cast<float>(static_cast<long long>(dx) + scrollOffset) / pixelsPerSample;
  return TruncToInt64(position);
}

float SampleSeconds(std::int64_t sampleIndex, float delta, float firstSample) {
  // One rounding: with firstSample 0 this is the float product index × delta.
  return static_cast<float>(static_cast<double>(firstSample) +
                            static_cast<double>(sampleIndex) * static_cast<double>(delta));
}

int EventMarkX(float seconds, int traceLeft, float pixelsPerSample, float delta, float firstSample,
               int scrollOffset) {
  const float x = static_cast<float>(traceLeft) + (seconds - firstSample) * pixelsPerSample / delta -
                  static_cast<float>(scrollOffset);
  return TruncToInt(x);
}

double EventAmplitudeScale(float min, float max, float gain, int traceHeight) {
  if (min == KSAC::UNDEFINED_FLOAT || max == KSAC::UNDEFINED_FLOAT) return 1.0;
  float range = max - min;
  if (range == 0.0f) range = 1.0f;
  const double scale = gain * (static_cast<float>(traceHeight / range) * 0.75);
  return std::isnan(scale) ? 0.0 : scale;
}

WidenedRange WidenRange(float min, float max) {
  WidenedRange w;
  float range = max - min;
  if (range == 0.0f) range = 1.0f;
  w.p = std::trunc(std::pow(10.0, std::trunc(std::log10(static_cast<double>(range)))));
  if (w.p == 0.0) w.p = 1.0;
  w.q = range / (10.0 * w.p);
  w.unit = w.q < 0.2 ? 0.2 : w.q < 0.5 ? 0.5 : 1.0;
  w.step = w.p * w.unit;
  w.lo = std::floor(min / w.step) * w.step;
  w.hi = std::ceil(max / w.step) * w.step;
  if (w.lo == w.hi) {
    w.hi += 2.0 * w.unit;
    w.lo -= 2.0 * w.unit;
  }
  return w;
}

double SeismogramsAmplitudeScale(float min, float max, int gain, int rowHeight) {
  if (min == KSAC::UNDEFINED_FLOAT || max == KSAC::UNDEFINED_FLOAT) return 1.0;
  const WidenedRange w = WidenRange(min, max);
  const double span = w.hi - w.lo;
  if (!PositiveFinite(span)) return 0.0;
  const double scale = static_cast<double>(gain) * rowHeight / span;
  return std::isfinite(scale) ? scale : 0.0;
}

int RowHeightFor(int tracesHeight, int recordCount) {
  if (tracesHeight <= 0 || recordCount <= 0) return 0;
  return tracesHeight / recordCount;
}

RowBand RowBandAt(int row, int rowHeight) {
  RowBand band;
  band.centre = TruncToInt(rowHeight * (row + 0.5));
  band.top = band.centre - rowHeight / 2;
  band.bottom = band.centre + rowHeight / 2;
  return band;
}

std::optional<int> RowAt(int my, int tracesTop, int rowHeight, int recordCount) {
  if (rowHeight <= 0 || recordCount <= 0) return std::nullopt;
  const long long dy = static_cast<long long>(my) - tracesTop;
  if (dy < 0) return std::nullopt;
  const long long row = dy / rowHeight;
  if (row >= recordCount) return std::nullopt;
  return static_cast<int>(row);
}

int GainControlHeight(int textHeight) { return TruncToInt(1.8 * textHeight); }

int MinimumRowHeight(const RowMetrics& metrics, RowMode mode) {
  switch (mode) {
    case RowMode::kAllRows: return 0;
    case RowMode::kCompact: return 1;
    case RowMode::kScrolled: break;
  }
  // All four lines between the row's borders, two hanging from the top, two
  // standing on the bottom and a pixel between them for the trace; and the
  // gain up-down with a pixel between it and the next row's.
  const int pitch = metrics.textHeight / 2;
  return std::max({4 * pitch + 2, GainControlHeight(metrics.textHeight) + 1, 1});
}

RowBand RowGeometry::Band(int row) const { return RowBandAt(row - firstRow, rowHeight); }

std::optional<int> RowGeometry::RowAtOffset(int dy) const {
  const std::optional<int> slot = RowAt(dy, 0, rowHeight, visibleRows);
  if (!slot || firstRow + *slot >= rowCount) return std::nullopt;
  return firstRow + *slot;
}

RowGeometry LayOutRows(int tracesHeight, int rowCount, const RowMetrics& metrics, RowMode mode, int firstRow) {
  RowGeometry g;
  g.rowCount = std::max(0, rowCount);
  g.texts = mode != RowMode::kCompact;
  if (tracesHeight <= 0 || g.rowCount == 0) return g;
  const int shortest = MinimumRowHeight(metrics, mode);
  if (tracesHeight / g.rowCount >= std::max(shortest, 1)) {
    g.rowHeight = tracesHeight / g.rowCount;
    g.visibleRows = g.rowCount;
  } else if (mode == RowMode::kAllRows) {
    g.rowHeight = 0;  // more rows than pixels: none can be drawn
  } else {
    // As many rows of at least the shortest height as fit, sharing the area.
    g.visibleRows = std::max(1, tracesHeight / shortest);
    g.rowHeight = tracesHeight / g.visibleRows;
  }
  g.firstRow = std::clamp(firstRow, 0, g.LastFirstRow());
  g.gainControls = g.texts && g.rowHeight > GainControlHeight(metrics.textHeight);
  return g;
}

int GainControlTop(const RowBand& band, int rowHeight, int textHeight) {
  const int top = band.centre - textHeight;
  const int lowest = band.top + rowHeight - GainControlHeight(textHeight);
  return std::max(band.top, std::min(top, lowest));
}

RowTexts PlaceRowTexts(const RowBand& band, const bool (&present)[kRowLines], const RowMetrics& metrics) {
  RowTexts texts;
  const int th = metrics.textHeight;
  const int pitch = th / 2;
  texts.pitch = pitch;
  if (pitch <= 0) return texts;
  bool shown[kRowLines];
  std::copy(std::begin(present), std::end(present), std::begin(shown));
  // A row with room for all four lines under the upper pair's place keeps
  // every line where it has always stood; a shorter one hangs the upper pair
  // from its top line and stands the lower pair on its bottom line, clear of
  // the middle, where the trace runs.
  const int stationBaseline = band.top + th + metrics.labelAscent;
  const bool tall = stationBaseline + 3 * pitch <= band.bottom;
  constexpr RowLine kLeftOutFirst[] = {kReferenceLine, kResidualLine, kPickLine, kStationLine};

  for (RowLine next : kLeftOutFirst) {
    int baselines[kRowLines] = {};
    int upperEnd = band.top + 1;  // the first pixel under the upper lines
    int y = tall ? stationBaseline : band.top + 1 + pitch;
    for (RowLine line : {kStationLine, kReferenceLine}) {
      if (!shown[line]) continue;
      baselines[line] = y;
      upperEnd = y;
      y += pitch;
    }
    const int lower = shown[kPickLine] + shown[kResidualLine];
    if (tall)  // the lower pair stands on its place, or right under the upper one
      y = std::max(band.bottom - th - metrics.labelDescent, upperEnd + pitch);
    else
      y = band.bottom - (lower - 1) * pitch;
    int lowerStart = band.bottom;  // the first pixel of the lower lines
    int last = upperEnd;
    for (RowLine line : {kPickLine, kResidualLine}) {
      if (!shown[line]) continue;
      baselines[line] = y;
      lowerStart = std::min(lowerStart, y - pitch);
      last = y;
      y += pitch;
    }
    if (upperEnd <= lowerStart && last <= band.bottom) {
      for (int line = 0; line < kRowLines; ++line)
        if (shown[line]) texts.baseline[line] = baselines[line];
      return texts;
    }
    shown[next] = false;
  }
  return texts;
}

std::optional<float> ClockPickSeconds(int dx, int scrollOffset, float pixelsPerSecond, float alignOffset,
                                      float firstSample) {
  if (!PositiveFinite(pixelsPerSecond)) return std::nullopt;
  const float onClock = static_cast<float>(static_cast<long long>(dx) + scrollOffset) / pixelsPerSecond;
  return onClock - alignOffset + firstSample;
}

int ClockMarkX(float seconds, int tracesLeft, float pixelsPerSecond, float alignOffset, float firstSample,
               int scrollOffset) {
  const float x = static_cast<float>(tracesLeft) + (seconds - firstSample + alignOffset) * pixelsPerSecond -
                  static_cast<float>(scrollOffset);
  return TruncToInt(x);
}

CommonClock AlignRecords(std::span<KSAC* const> records) {
  CommonClock clock;
  if (records.empty()) return clock;
  long double earliest = 1e100L;
  long double latestEnd = -std::numeric_limits<long double>::infinity();
  for (const KSAC* r : records) {
    const long double start = r->referenceSeconds + FirstSampleSeconds(*r);
    const std::int32_t npts = r->GetIntHeader(KSAC::NPTS);
    const float delta = r->GetFloatHeader(KSAC::DELTA);
    long double end = start;
    if (r->samples && npts > 0 && PositiveFinite(delta)) end = start + static_cast<long double>(npts) * delta;
    earliest = std::min(earliest, start);
    latestEnd = std::max(latestEnd, end);
  }
  clock.earliest = earliest;
  const auto span = static_cast<float>(latestEnd - earliest);
  clock.timeSpan = PositiveFinite(span) ? span : 0.0f;
  for (KSAC* r : records)
    r->alignOffset = static_cast<float>(r->referenceSeconds + FirstSampleSeconds(*r) - earliest);
  return clock;
}

namespace {

// A distance that is not a number counts, like an undefined one, as very
// small: without it the comparison would not be an order and could upset the
// rows around it.
float SortKey(const KSAC* r) {
  const float gcarc = r->GetFloatHeader(KSAC::GCARC);
  return std::isnan(gcarc) ? -std::numeric_limits<float>::infinity() : gcarc;
}

// 0 for equal distances, −1 when the first is nearer, +1 otherwise.
int CompareDistance(const KSAC* a, const KSAC* b) {
  const float da = SortKey(a);
  const float db = SortKey(b);
  if (da == db) return 0;
  if (da < db) return -1;
  return 1;
}

}  // namespace

void SortByDistance(std::span<KSAC*> records) {
  const std::size_t n = records.size();
  if (n < 2) return;
  std::vector<KSAC*> scratch(n);
  KSAC** from = records.data();
  KSAC** to = scratch.data();
  bool inScratch = false;
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, n);
      const std::size_t hi = std::min(lo + 2 * width, n);
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) to[k++] = CompareDistance(from[i], from[j]) <= 0 ? from[i++] : from[j++];
      while (i < mid) to[k++] = from[i++];
      while (j < hi) to[k++] = from[j++];
    }
    std::swap(from, to);
    inScratch = !inScratch;
  }
  if (inScratch) std::copy(scratch.begin(), scratch.end(), records.begin());
}

}  // namespace orvane
