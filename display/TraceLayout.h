#pragma once
// The arithmetic of the seismogram windows, without a widget or a surface:
// where a sample, a second or a minute label falls on the screen, what a click
// stores, how tall a trace swings, the order of the rows and their common
// clock. The windows (Event, Seismograms), their pictures and the command line
// all take these numbers from here, and the tests check them without painting.
//
// Time axis of a record: sample i lies at b + i·delta seconds after the
// record's reference time, b being the header's time of the first sample (0
// when it is undefined). The traces start at the first sample; picks are
// stored, as every time in the header, in seconds after the reference time.
//
// Float arithmetic is kept where the windows define it in floats (pixels per
// sample, pixels per second, the scroll fraction), so that a pixel lands where
// it always has. Every float-to-pixel conversion truncates toward zero and
// saturates: a hostile header (a delta of 1e30, a NaN sample) gives far-away
// or centred pixels, never undefined behaviour.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvane {

class KSAC;

/// @brief Truncates toward zero into the int range: 1e12 gives INT_MAX, NaN gives 0.
int TruncToInt(double value);

// ---------------------------------------------------------------- time axis

/// @brief Seconds between tick marks: 60, or 300 when the span is above 1800 s.
int TickStep(double spanSeconds);

/// @brief Seconds between the minute labels of one seismogram: 1200 when
/// span / zoom is above 2400 s, else 300 when above 600 s, else 60.
/// @return 1200 for a 4000 s record at zoom 1, 300 at zoom 4.
int EventLabelInterval(double spanSeconds, double zoom);

/// @brief The same for all seismograms in one window, with the limits 7200 s and 1800 s.
/// @return For 7201 s: 1200 at zoom 1, 300 at zoom 2, 60 at zoom 5.
int SeismogramsLabelInterval(double spanSeconds, double zoom);

/// One mark of the time axis: its column and the second it stands for.
struct AxisMark {
  int x = 0;
  long long seconds = 0;
};

/// @brief The marks s = k·step (k = firstMultiple, firstMultiple + 1, ...) while
/// s < span (or s <= span with @p inclusiveEnd), at x = trunc(s·pixelsPerSecond −
/// scrollOffset), that fall on lowestX <= x < width.
///
/// Ticks take firstMultiple 1, lowestX 1 and an exclusive end; minute labels
/// firstMultiple 0, lowestX 0 and an inclusive end. Nothing for a span or scale
/// that is not a positive finite number. When several marks fall on one column
/// (less than a pixel apart) only the first is kept, so a day-long record costs
/// no more than the width.
std::vector<AxisMark> AxisMarks(double span, int step, float pixelsPerSecond, int scrollOffset, int width,
                                int firstMultiple, int lowestX, bool inclusiveEnd);

/// @brief How many label intervals apart the labels of the time axis stand so
/// that they do not print over each other: the first of 1, 2, 5, 10, 20, 50 …
/// whose multiple of @p pixelsPerInterval is at least @p room (the widest
/// label and a gap). 1 when the interval has no width.
/// @return 5 for labels 6.8 pixels apart that need 20.
int LabelStride(int room, double pixelsPerInterval);

// ---------------------------------------------------------------- scrolling

/// @brief The part of the stretched record scrolled off to the left for a scroll
/// bar position 0–100: (zoom − 1) × (position × 0.01) / zoom, zoom taken as at least 1.
/// @return 0.5 for zoom 2 at position 100 (the second half is shown).
float ScrollFractionFor(float zoom, int position);

/// @brief Pixels scrolled: trunc(width × fraction × zoom).
/// @return The width itself for zoom 2 at fraction 0.5.
int ScrollOffsetFor(int width, float fraction, float zoom);

// ---------------------------------------------------------------- one seismogram (Event)

/// @brief zoom × traceWidth / npts, in floats; 0 when there are no samples.
float PixelsPerSample(int zoom, int traceWidth, std::int32_t npts);

/// @brief The sample under a click @p dx pixels right of the trace area's left
/// edge: trunc((dx + scrollOffset) / pixelsPerSample).
/// @return Nothing when the scale is not a positive number (no samples).
std::optional<std::int64_t> SampleIndexAt(int dx, int scrollOffset, float pixelsPerSample);

/// @brief What a click stores as the pick: @p firstSample + sampleIndex × delta
/// seconds after the reference time, i.e. the time of the sample under the mouse.
float SampleSeconds(std::int64_t sampleIndex, float delta, float firstSample);

/// @brief The column (window coordinates) of a pick at @p seconds after the
/// reference time: trunc(traceLeft + (seconds − firstSample) × pixelsPerSample /
/// delta − scrollOffset).
int EventMarkX(float seconds, int traceLeft, float pixelsPerSample, float delta, float firstSample,
               int scrollOffset);

/// @brief Pixels per unit of amplitude of one seismogram: gain × (traceHeight /
/// range × 0.75) with range = max − min (1 when 0), so that at gain 1 the whole
/// swing fills three quarters of the height; 1.0 when min or max is undefined.
double EventAmplitudeScale(float min, float max, float gain, int traceHeight);

// ---------------------------------------------------------------- all seismograms in one window

/// The amplitude range of a row widened to whole steps of 0.2, 0.5 or 1 times a
/// power of ten.
struct WidenedRange {
  double p = 1.0;     ///< the power of ten: trunc(10^trunc(log10(range))), 1 when that is 0
  double q = 0.0;     ///< range / (10 p)
  double unit = 1.0;  ///< 0.2 when q < 0.2, 0.5 when q < 0.5, else 1
  double step = 1.0;  ///< p × unit
  double lo = 0.0;    ///< floor(min / step) × step
  double hi = 0.0;    ///< ceil(max / step) × step; when lo = hi both move 2 units apart
};

/// @brief Widens min … max to whole steps.
/// @return For −1500 … 2000: p 1000, q 0.35, unit 0.5, step 500, lo −1500, hi 2000;
///         for a constant 0: step 0.2, lo −0.4, hi 0.4.
WidenedRange WidenRange(float min, float max);

/// @brief Pixels per unit of amplitude of a row: gain × rowHeight / (hi − lo) of
/// the widened range, so that at gain 1 it spans one row; 1.0 when min or max is
/// undefined, 0 (a flat line) when the widened range is not a finite positive span.
double SeismogramsAmplitudeScale(float min, float max, int gain, int rowHeight);

// The rows of the traces area. Every row is drawn rowHeight = tracesHeight /
// recordCount pixels high (integer division), one below the other from the
// area's top; the strip of tracesHeight − recordCount × rowHeight pixels left
// under the last row belongs to no row. Drawing, the controls beside the rows,
// the repaint of one row and the mapping of a click all take the rows from
// these three functions, so that a click lands on the row drawn under it.

/// @brief The height of every row: tracesHeight / recordCount, 0 when there are
/// no rows or the area has no height.
int RowHeightFor(int tracesHeight, int recordCount);

/// A row of the traces area, relative to the area's top.
struct RowBand {
  int centre = 0;  ///< trunc(rowHeight × (row + 0.5))
  int top = 0;     ///< centre − rowHeight / 2: row × rowHeight
  int bottom = 0;  ///< centre + rowHeight / 2: the next row's top, or the pixel above it
};

/// @brief The band of row @p row for rows @p rowHeight pixels high.
RowBand RowBandAt(int row, int rowHeight);

/// @brief The row drawn under a click at window row @p my, for @p recordCount
/// rows of @p rowHeight pixels from @p tracesTop: the row whose band
/// [row × rowHeight, (row + 1) × rowHeight) holds my − tracesTop.
/// @return Nothing when the click lies above the rows or below the last one
///         (the strip under it included), or when there are no rows or they
///         have no height: such a click picks nothing.
std::optional<int> RowAt(int my, int tracesTop, int rowHeight, int recordCount);

// ---------------------------------------------------------------- a record section that scales
//
// The rows of the window of all seismograms share the traces area as above
// while each of them is at least as tall as what it shows: its texts and its
// gain control. When they would be shorter, the window shows as many rows of
// at least that height as fit and scrolls through the others, whole rows at a
// time; the strip under the last row shown belongs to no row. In the compact
// mode the rows show their traces only and may be one pixel high. A printed
// page or a picture shows every row, however short, with the texts that fit.
//
// The texts of a row are up to four lines: the station, the reference time,
// the pick time and Delta T with the distance, th / 2 apart (th: the height
// of the window font; the label font is 0.7 th high, its capitals and digits
// a little under th / 2). A line owns the th / 2 pixels above its baseline:
// that is its box, and no two boxes meet. In a row tall enough for all four
// under the place of the first, the upper pair hangs from th under the row's
// top and the lower pair stands on th over its bottom, as they always have,
// or right under the upper pair where they would meet. A shorter row hangs
// the upper pair from its top line and stands the lower pair on its bottom
// line, clear of the middle, where the trace runs. What still does not fit
// is left out, the reference time first, then Delta T: the station and the
// pick stay as long as the row holds two lines, and the window tells the rest
// in its tooltip and its accessible description.

/// The fonts the rows are measured with.
struct RowMetrics {
  int textHeight = 0;    ///< th: the height of the window font
  int labelAscent = 0;   ///< the ascent of the label font (0.7 th high)
  int labelDescent = 0;  ///< its descent
};

/// How the rows share the traces area.
enum class RowMode {
  kAllRows,   ///< every row on the surface, however short: a printed page, a picture
  kScrolled,  ///< rows never shorter than their station, pick and gain control; the rest scroll
  kCompact,   ///< traces only, rows down to one pixel; the rest scroll
};

/// @brief The height of a row's gain control: trunc(1.8 th), that of its up-down.
int GainControlHeight(int textHeight);

/// @brief The shortest row of @p mode: its four lines of text around a free
/// middle and its gain control (scrolled), one pixel (compact), none (all rows).
int MinimumRowHeight(const RowMetrics& metrics, RowMode mode);

/// Where the rows lie in the traces area.
struct RowGeometry {
  int rowCount = 0;
  int rowHeight = 0;          ///< every row's height; 0: no row can be shown
  int firstRow = 0;           ///< the row at the top of the traces area
  int visibleRows = 0;        ///< rows shown at once, whole
  bool texts = true;          ///< the rows show their texts (not compact)
  bool gainControls = false;  ///< every row shown has room for its gain control

  /// More rows than are shown at once: a scroll bar moves through them.
  bool Scrolls() const { return visibleRows > 0 && visibleRows < rowCount; }
  /// The last row that can be at the top.
  int LastFirstRow() const { return rowCount > visibleRows ? rowCount - visibleRows : 0; }
  /// Whether @p row is shown now.
  bool Shows(int row) const { return row >= firstRow && row < firstRow + visibleRows && row < rowCount; }
  /// @brief The band of the shown row @p row, relative to the traces area's top.
  RowBand Band(int row) const;
  /// @brief The shown row whose band holds @p dy pixels below the traces
  /// area's top; nothing above the rows, below the last one shown, or without rows.
  std::optional<int> RowAtOffset(int dy) const;
};

/// @brief The rows of a traces area @p tracesHeight pixels high holding
/// @p rowCount rows in @p mode, the row @p firstRow (brought into range) at the top.
/// @return For 12 rows in 587 pixels: 48 pixels each, all shown; for 163 rows in
///         600 pixels (scrolled, th 15): 20 rows of 30 pixels shown at once.
RowGeometry LayOutRows(int tracesHeight, int rowCount, const RowMetrics& metrics, RowMode mode, int firstRow = 0);

/// @brief The top of a row's gain control: th above the row's centre, as long
/// as the control then lies in the row; otherwise moved into it.
int GainControlTop(const RowBand& band, int rowHeight, int textHeight);

/// The lines of text of a row, top to bottom.
enum RowLine : int { kStationLine, kReferenceLine, kPickLine, kResidualLine, kRowLines };

/// Where the lines of a row stand: the baseline of each line shown, relative to
/// the traces area's top; nothing for a line left out. A line's box is the
/// pitch (th / 2) of pixels above its baseline.
struct RowTexts {
  int pitch = 0;
  std::optional<int> baseline[kRowLines];
  bool Shown(RowLine line) const { return baseline[line].has_value(); }
};

/// @brief Places the lines a row has (@p present: the station and reference
/// time always, the pick when there is one, Delta T when a trial followed it)
/// in its @p band, as described above.
RowTexts PlaceRowTexts(const RowBand& band, const bool (&present)[kRowLines], const RowMetrics& metrics);

/// @brief What a click in the traces area stores on a record: the second of the
/// common clock under the mouse, (dx + scrollOffset) / pixelsPerSecond, moved to
/// the record's own axis: − alignOffset + firstSample seconds after its reference time.
/// @return Nothing when the clock has no scale (all records empty).
std::optional<float> ClockPickSeconds(int dx, int scrollOffset, float pixelsPerSecond, float alignOffset,
                                      float firstSample);

/// @brief The column (window coordinates) of a pick at @p seconds on a record:
/// trunc(tracesLeft + (seconds − firstSample + alignOffset) × pixelsPerSecond − scrollOffset).
int ClockMarkX(float seconds, int tracesLeft, float pixelsPerSecond, float alignOffset, float firstSample,
               int scrollOffset);

/// The common clock of records shown together.
struct CommonClock {
  long double earliest = 0.0L;  ///< the earliest first sample, seconds since 1601
  float timeSpan = 0.0f;        ///< from there to the latest end of a record
};

/// @brief Puts @p records on one clock: from the earliest first sample
/// (referenceSeconds + b) to the latest end (first sample + npts × delta), and
/// each record's alignOffset = its first sample − the earliest, in seconds.
/// A record whose delta is not a positive finite number ends where it starts.
/// @return timeSpan 0 for no records, or when every record is empty.
CommonClock AlignRecords(std::span<KSAC* const> records);

/// @brief Sorts @p records by gcarc, nearest first, with a stable bottom-up merge
/// sort: equal distances keep their order, and an undefined gcarc (−12345) or one
/// that is not a number comes first.
void SortByDistance(std::span<KSAC*> records);

}  // namespace orvane
