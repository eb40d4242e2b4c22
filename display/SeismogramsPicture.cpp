#include "display/SeismogramsPicture.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QImage>

#include "display/TraceDrawing.h"
#include "display/TraceLayout.h"
#include "display/TracePainting.h"
#include "display/TraceTexts.h"
#include "map/DrawingPrimitives.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {

namespace {
// Traces only, rows shorter than this are shaded rather than drawn as wiggles.
constexpr int kShadedBelow = 3;
}  // namespace

using trace_painting::HeaderText;
using trace_painting::Line;

SeismogramsLayout LayOutSeismograms(int width, int height, const TextMetrics& metrics, int recordCount,
                                    RowMode mode, int firstRow, int scrollBarExtent) {
  SeismogramsLayout l;
  l.textHeight = metrics.height;
  l.charWidth = metrics.averageCharWidth;
  l.labelHeight = TruncToInt(0.7 * l.textHeight);
  const int cw = l.charWidth;
  l.leftMargin = 6 * cw;
  l.topMargin = cw;
  l.clientArea = Rect{0, 0, width, height};
  l.tracesArea = Rect{6 * cw, cw, width - cw, height - 2 * l.textHeight};
  l.axisStrip = Rect{l.tracesArea.left, l.tracesArea.bottom, width, height};
  const QFontMetrics label(trace_painting::LabelFont(l.labelHeight));
  l.rowMetrics = RowMetrics{l.textHeight, label.ascent(), label.descent()};
  l.rows = LayOutRows(l.tracesArea.Height(), recordCount, l.rowMetrics, mode, firstRow);
  if (l.rows.Scrolls() && scrollBarExtent > 0) {
    // The scroll bar stands right of the traces area's bevel.
    l.tracesArea.right = std::max(l.tracesArea.left, width - cw - scrollBarExtent);
    const int x = l.tracesArea.right + cw / 2 + 2;
    l.rowScrollArea = Rect{x, l.tracesArea.top - cw / 2, x + scrollBarExtent, l.tracesArea.bottom + cw / 2};
  }
  return l;
}

RowTexts SeismogramsLayout::TextsOf(const KSAC& record, int row) const {
  if (!rows.texts) return RowTexts{};
  bool present[kRowLines] = {};
  present[kStationLine] = present[kReferenceLine] = true;
  present[kPickLine] = HasPick(record);
  present[kResidualLine] = present[kPickLine] && DeltaT(record).has_value();
  return PlaceRowTexts(rows.Band(row), present, rowMetrics);
}

namespace {

// The texts of a row where TextsOf places them; each line hangs from its box
// (the pitch above its baseline), which puts its baseline where it belongs.
void PaintRowTexts(Surface& surface, const SeismogramsLayout& layout, const QFont& font, const KSAC& record,
                   int row) {
  const RowTexts texts = layout.TextsOf(record, row);
  const int cw = layout.charWidth;
  const int ascent = layout.rowMetrics.labelAscent;
  const auto draw = [&](RowLine line, const std::string& text, int colour) {
    if (!texts.Shown(line) || text.empty()) return;
    DrawLabel(surface, cw, *texts.baseline[line] - ascent, &font, HeaderText(text), colour, palette::kNone,
              label::kLeft, label::kHangs);
  };
  draw(kStationLine, StationLineText(record), palette::kBlack);
  draw(kReferenceLine, ReferenceTimeText(record, TextPrecision::kHundredths), palette::kBlack);
  draw(kPickLine, PickTimeText(record, TextPrecision::kHundredths), palette::kDarkRed);
  draw(kResidualLine, ResidualText(record, TextPrecision::kHundredths), palette::kDarkRed);
}

// What a row's trace draws (its samples, or its filter's, with their
// amplitude scale and mean) and its first column; false when the row has no
// trace to draw.
bool PrepareRow(KSAC& record, const SeismogramsScale& scale, SampleStatisticsCache& cache, DrawnSamples& drawn,
                SampleColumns& columns) {
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  if (record.samples == nullptr || npts <= 0 || scale.pixelsPerSecond <= 0.0f) return false;
  cache.Apply(record);
  drawn = cache.Drawn(record);
  const int x0 = TruncToInt(record.alignOffset * scale.pixelsPerSecond - static_cast<float>(scale.scrollOffset));
  columns = SampleColumns{scale.pixelsPerSecond * record.GetFloatHeader(KSAC::DELTA), static_cast<float>(x0)};
  return true;
}

int GainOf(const SeismogramsView& view, int row) {
  return row < static_cast<int>(view.gains.size()) ? view.gains[static_cast<std::size_t>(row)] : 1;
}

// Rows of a pixel or two: a wiggle there would be a solid line. Each column
// of a row is shaded instead by the trace's largest swing on it, from white
// (none) to black (the record's largest swing, times the row's gain), so that
// the arrivals of hundreds of stations still stand out. Drawn as one image at
// the traces area's top-left (the drawing origin).
void PaintShadedRows(Surface& surface, const SeismogramsLayout& layout, std::span<KSAC*> records,
                     const SeismogramsView& view, const SeismogramsScale& scale, SampleStatisticsCache& cache) {
  const RowGeometry& rows = layout.rows;
  const int width = layout.tracesArea.Width();
  const int last = std::min(static_cast<int>(records.size()), rows.firstRow + rows.visibleRows);
  if (width <= 0 || rows.rowHeight <= 0 || last <= rows.firstRow) return;
  QImage image(width, (last - rows.firstRow) * rows.rowHeight, QImage::Format_RGB32);
  image.fill(QColor(standardColours[palette::kWhite]));
  for (int row = rows.firstRow; row < last; ++row) {
    KSAC& record = *records[static_cast<std::size_t>(row)];
    DrawnSamples drawn;
    SampleColumns columns;
    if (!PrepareRow(record, scale, cache, drawn, columns)) continue;
    const float mean = drawn.mean;
    const float largest = std::max(std::fabs(drawn.max - mean), std::fabs(drawn.min - mean));
    if (!(largest > 0.0f) || !std::isfinite(largest)) continue;
    const float gain = static_cast<float>(GainOf(view, row));
    const std::vector<float>& peaks = cache.ColumnPeaksOf(record, drawn.samples, columns, mean, width);
    const int top = rows.Band(row).top;
    for (int x = 0; x < width; ++x) {
      const float level = std::min(1.0f, gain * peaks[static_cast<std::size_t>(x)] / largest);
      const int grey = 255 - static_cast<int>(255.0f * level);
      if (grey >= 255) continue;
      for (int y = top; y < top + rows.rowHeight; ++y)
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = qRgb(grey, grey, grey);
    }
  }
  surface.BitBlt(0, 0, image);
}

// The time scale: the common clock's span over the traces area's width,
// times the zoom, scrolled by the view's fraction.
SeismogramsScale ScaleOf(const CommonClock& clock, int width, float zoom, const SeismogramsView& view) {
  SeismogramsScale scale;
  scale.timeSpan = clock.timeSpan;
  if (clock.timeSpan > 0.0f) {
    const float pps = static_cast<float>(width) * zoom / clock.timeSpan;
    if (pps > 0.0f && std::isfinite(pps)) scale.pixelsPerSecond = pps;
  }
  scale.scrollOffset = ScrollOffsetFor(width, view.scrollFraction, zoom);
  return scale;
}

// Ticks at the top and bottom edges of the traces area, minute labels below.
void PaintTimeAxis(Surface& surface, const SeismogramsLayout& layout, const QFont& font, float timeSpan, float zoom,
                   const SeismogramsScale& scale) {
  if (!(scale.pixelsPerSecond > 0.0f)) return;
  const int width = layout.tracesArea.Width();
  const int height = layout.tracesArea.Height();
  const int cw = layout.charWidth;
  SetDrawingOrigin(surface, layout.tracesArea, true);
  for (const AxisMark& tick : AxisMarks(timeSpan, TickStep(timeSpan), scale.pixelsPerSecond, scale.scrollOffset,
                                        width, 1, 1, false)) {
    Line(surface, tick.x, height - 6, tick.x, height, palette::kBlack);
    Line(surface, tick.x, 0, tick.x, 6, palette::kBlack);
  }
  SetDrawingOrigin(surface, layout.clientArea, true);
  SetDrawingOrigin(surface, layout.axisStrip, false);
  // In a narrow window only every second, fifth … label, so that no two
  // print over each other.
  const int interval = SeismogramsLabelInterval(timeSpan, zoom);
  const QString widest = QString::number(static_cast<long long>(timeSpan) / 60);
  const int room = DrawLabel(surface, 0, 0, &font, widest, palette::kNone, palette::kNone, label::kCentre,
                             label::kHangs).Width() + cw;
  const int stride = LabelStride(room, static_cast<double>(interval) * scale.pixelsPerSecond);
  for (const AxisMark& mark : AxisMarks(timeSpan, interval, scale.pixelsPerSecond, scale.scrollOffset, width, 0, 0,
                                        true)) {
    if (mark.seconds / interval % stride != 0) continue;
    DrawLabel(surface, mark.x, cw / 2, &font, QString::number(mark.seconds / 60), palette::kBlack, palette::kNone,
              label::kCentre, label::kHangs);
  }
}

// The rows shown as wiggles: borders always (but for traces only), the trace
// where the row needs repainting. Traces only, the rows may be a pixel or
// two: each trace then swings over a few of them, as in a printed record
// section, and a repaint draws them all.
void PaintTraceRows(Surface& surface, const SeismogramsLayout& layout, std::span<KSAC*> records, int lastRow,
                    const SeismogramsView& view, const SeismogramsScale& scale, const Rect& invalid,
                    SampleStatisticsCache& cache) {
  const Rect& area = layout.tracesArea;
  const RowGeometry& rowsShown = layout.rows;
  const int width = area.Width();
  const Pen black = Pen::Solid(QColor(standardColours[palette::kBlack]), 1);
  const Pen grey = Pen::Solid(QColor(standardColours[palette::kDarkGrey]), 1);
  const int swing = rowsShown.texts ? rowsShown.rowHeight : std::max(rowsShown.rowHeight, layout.textHeight / 2);
  for (int row = rowsShown.firstRow; row < lastRow; ++row) {
    SetDrawingOrigin(surface, area, true);
    const RowBand band = rowsShown.Band(row);
    if (rowsShown.texts) {
      Line(surface, 0, band.top, width, band.top, palette::kBlue);
      Line(surface, 0, band.bottom, width, band.bottom, palette::kDarkBlue);
    }
    if (rowsShown.texts && (band.top + area.top >= invalid.bottom || band.bottom + area.top < invalid.top)) continue;

    KSAC& record = *records[row];
    DrawnSamples drawn;
    SampleColumns columns;
    if (!PrepareRow(record, scale, cache, drawn, columns)) continue;
    if (rowsShown.texts) {
      SetDrawingArea(surface, area.left, band.top + layout.topMargin, area.right, band.bottom + layout.topMargin,
                     true);
      SetDrawingOrigin(surface, area, false);
    }
    const SampleRows rows{band.centre, drawn.mean,
                          SeismogramsAmplitudeScale(drawn.min, drawn.max, GainOf(view, row), swing)};
    const Pen previous = surface.SelectPen(record.leftOut ? grey : black);  // greyed: left out of the location
    DrawTrace(surface, drawn.samples, columns, rows, width);
    surface.SelectPen(previous);
  }
}

// Marks: the pick on the lower half of its row, the predicted arrivals on
// the upper half; window coordinates, kept inside the traces area.
void PaintRowMarks(Surface& surface, const SeismogramsLayout& layout, std::span<KSAC*> records, int lastRow,
                   const SeismogramsScale& scale) {
  const Rect& area = layout.tracesArea;
  const RowGeometry& rowsShown = layout.rows;
  const int rowHeight = rowsShown.rowHeight;
  if (records.empty() || rowHeight <= 0 || !(scale.pixelsPerSecond > 0.0f)) return;
  SetDrawingOrigin(surface, area, true);
  SetDrawingOrigin(surface, layout.clientArea, false);
  // Rows of a few pixels still show their marks.
  const int halfRow = rowsShown.texts ? rowHeight / 2 : std::max(1, rowHeight / 2);
  for (int slot = 0; slot < 3; ++slot) {
    for (int row = rowsShown.firstRow; row < lastRow; ++row) {
      const KSAC& record = *records[row];
      const float t = record.GetPick(slot);
      if (t == 0.0f || t == KSAC::UNDEFINED_FLOAT) continue;
      const int x = ClockMarkX(t, area.left, scale.pixelsPerSecond, record.alignOffset, FirstSampleSeconds(record),
                               scale.scrollOffset);
      if (x < area.left - 2 || x > area.right + 2) continue;
      const int centre = rowsShown.Band(row).centre + layout.topMargin;
      if (slot == 0)
        Line(surface, x, centre, x, centre + halfRow, palette::kDarkRed, 2);
      else
        Line(surface, x, centre, x, centre - halfRow, slot == 1 ? palette::kDarkBlue : palette::kDarkGreen, 2);
    }
  }
}

}  // namespace

SeismogramsScale PaintSeismogramsPicture(Surface& surface, const SeismogramsLayout& layout,
                                         std::span<KSAC*> records, const SeismogramsView& view,
                                         const Rect& invalid, SampleStatisticsCache* cache) {
  SurfaceStateGuard keepSelections(surface);
  trace_painting::OriginAndClipGuard keepOrigin(surface);
  const QFont font = trace_painting::LabelFont(layout.labelHeight);
  const RowGeometry& rowsShown = layout.rows;
  const int lastRow = std::min(static_cast<int>(records.size()), rowsShown.firstRow + rowsShown.visibleRows);
  const float zoom = std::max(1.0f, view.zoom);
  // Without a cache of its own (printing) the picture keeps one for this paint.
  SampleStatisticsCache once;
  SampleStatisticsCache& kept = cache != nullptr ? *cache : once;

  SortByDistance(records);
  const CommonClock clock = AlignRecords(records);
  const SeismogramsScale scale = ScaleOf(clock, layout.tracesArea.Width(), zoom, view);

  // Frame: dark grey around a sunken white traces area.
  trace_painting::PaintFrame(surface, layout.clientArea, layout.tracesArea, layout.charWidth);
  // The texts of every row shown.
  SetDrawingOrigin(surface, layout.tracesArea, true);
  if (rowsShown.texts)
    for (int row = rowsShown.firstRow; row < lastRow; ++row) PaintRowTexts(surface, layout, font, *records[row], row);
  PaintTimeAxis(surface, layout, font, clock.timeSpan, zoom, scale);

  // Rows too short for a wiggle are shaded, over the ticks: the stations'
  // data comes first.
  SetDrawingOrigin(surface, layout.tracesArea, true);
  if (!rowsShown.texts && rowsShown.rowHeight < kShadedBelow)
    PaintShadedRows(surface, layout, records, view, scale, kept);
  else
    PaintTraceRows(surface, layout, records, lastRow, view, scale, invalid, kept);
  PaintRowMarks(surface, layout, records, lastRow, scale);
  return scale;
}

}  // namespace orvane
