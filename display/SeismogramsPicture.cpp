#include "display/SeismogramsPicture.h"

#include <algorithm>
#include <cmath>

#include "display/TraceDrawing.h"
#include "display/TraceLayout.h"
#include "display/TracePainting.h"
#include "display/TraceTexts.h"
#include "map/DrawingPrimitives.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {

using trace_painting::HeaderText;
using trace_painting::Line;

SeismogramsLayout LayOutSeismograms(int width, int height, const TextMetrics& metrics, int recordCount) {
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
  l.rowHeight = RowHeightFor(l.tracesArea.Height(), recordCount);
  return l;
}

namespace {

void PaintRowTexts(Surface& surface, const SeismogramsLayout& layout, const QFont& font, const KSAC& record,
                   int row) {
  const int cw = layout.charWidth;
  const int th = layout.textHeight;
  const RowBand band = RowBandAt(row, layout.rowHeight);
  int y = band.top + th;
  DrawLabel(surface, cw, y, &font, HeaderText(StationLabel(record)), palette::kBlack, palette::kNone, label::kLeft,
            label::kHangs);
  y += th / 2;
  DrawLabel(surface, cw, y, &font, HeaderText(ReferenceTimeText(record, TextPrecision::kHundredths)),
            palette::kBlack, palette::kNone, label::kLeft, label::kHangs);
  if (!HasPick(record)) return;
  y = band.bottom - th;
  DrawLabel(surface, cw, y, &font, HeaderText(PickTimeText(record, TextPrecision::kHundredths)), palette::kDarkRed,
            palette::kNone, label::kLeft, label::kStandsOn);
  const std::string residual = ResidualText(record, TextPrecision::kHundredths);
  if (residual.empty()) return;
  y += th / 2;
  DrawLabel(surface, cw, y, &font, HeaderText(residual), palette::kDarkRed, palette::kNone, label::kLeft,
            label::kStandsOn);
}

}  // namespace

SeismogramsScale PaintSeismogramsPicture(Surface& surface, const SeismogramsLayout& layout,
                                         std::span<KSAC*> records, const SeismogramsView& view,
                                         const Rect& invalid, SampleStatisticsCache* cache) {
  SurfaceStateGuard keepSelections(surface);
  trace_painting::OriginAndClipGuard keepOrigin(surface);
  const QFont font = trace_painting::LabelFont(layout.labelHeight);
  const Rect& client = layout.clientArea;
  const Rect& area = layout.tracesArea;
  const int cw = layout.charWidth;
  const int count = static_cast<int>(records.size());
  const int rowHeight = layout.rowHeight;
  const int width = area.Width();
  const int height = area.Height();
  const float zoom = std::max(1.0f, view.zoom);

  SortByDistance(records);
  const CommonClock clock = AlignRecords(records);

  SeismogramsScale scale;
  scale.timeSpan = clock.timeSpan;
  if (clock.timeSpan > 0.0f) {
    const float pps = static_cast<float>(width) * zoom / clock.timeSpan;
    if (pps > 0.0f && std::isfinite(pps)) scale.pixelsPerSecond = pps;
  }
  scale.scrollOffset = ScrollOffsetFor(width, view.scrollFraction, zoom);

  // Frame: dark grey around a sunken white traces area.
  SetDrawingOrigin(surface, client, true);
  surface.FillRect(client, QColor(standardColours[palette::kDarkGrey]));
  surface.FillRect(area, QColor(standardColours[palette::kWhite]));
  const int half = cw / 2;
  DrawBevel(surface, Rect{area.left - half, area.top - half, area.right + half, area.bottom + half}, std::nullopt,
            true, half, 0);

  // The texts of every row.
  SetDrawingOrigin(surface, area, true);
  for (int row = 0; row < count; ++row) PaintRowTexts(surface, layout, font, *records[row], row);

  // Ticks at the top and bottom edges of the traces area, minute labels below.
  if (scale.pixelsPerSecond > 0.0f) {
    for (const AxisMark& tick : AxisMarks(clock.timeSpan, TickStep(clock.timeSpan), scale.pixelsPerSecond,
                                          scale.scrollOffset, width, 1, 1, false)) {
      Line(surface, tick.x, height - 6, tick.x, height, palette::kBlack);
      Line(surface, tick.x, 0, tick.x, 6, palette::kBlack);
    }
    SetDrawingOrigin(surface, client, true);
    SetDrawingOrigin(surface, layout.axisStrip, false);
    for (const AxisMark& mark : AxisMarks(clock.timeSpan, SeismogramsLabelInterval(clock.timeSpan, zoom),
                                          scale.pixelsPerSecond, scale.scrollOffset, width, 0, 0, true))
      DrawLabel(surface, mark.x, half, &font, QString::number(mark.seconds / 60), palette::kBlack, palette::kNone,
                label::kCentre, label::kHangs);
  }

  // The rows: borders always, the trace where the row needs repainting.
  const Pen black = Pen::Solid(QColor(standardColours[palette::kBlack]), 1);
  const Pen grey = Pen::Solid(QColor(standardColours[palette::kDarkGrey]), 1);
  for (int row = 0; row < count; ++row) {
    SetDrawingOrigin(surface, area, true);
    const RowBand band = RowBandAt(row, rowHeight);
    Line(surface, 0, band.top, width, band.top, palette::kBlue);
    Line(surface, 0, band.bottom, width, band.bottom, palette::kDarkBlue);
    if (band.top + area.top >= invalid.bottom || band.bottom + area.top < invalid.top) continue;

    KSAC& record = *records[row];
    const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
    const float delta = record.GetFloatHeader(KSAC::DELTA);
    if (record.samples == nullptr || npts <= 0 || scale.pixelsPerSecond <= 0.0f) continue;

    SetDrawingArea(surface, area.left, band.top + layout.topMargin, area.right, band.bottom + layout.topMargin,
                   true);
    SetDrawingOrigin(surface, area, false);
    if (cache != nullptr)
      cache->Apply(record);
    else
      record.ComputeMinMaxMean();
    const int gain = row < static_cast<int>(view.gains.size()) ? view.gains[static_cast<std::size_t>(row)] : 1;
    const SampleRows rows{band.centre, record.GetFloatHeader(KSAC::DEPMEN),
                          SeismogramsAmplitudeScale(record.GetFloatHeader(KSAC::DEPMIN),
                                                    record.GetFloatHeader(KSAC::DEPMAX), gain, rowHeight)};
    const int x0 = TruncToInt(record.alignOffset * scale.pixelsPerSecond - static_cast<float>(scale.scrollOffset));
    const SampleColumns columns{scale.pixelsPerSecond * delta, static_cast<float>(x0)};
    const Pen previous = surface.SelectPen(record.leftOut ? grey : black);  // greyed: left out of the location
    DrawTrace(surface, std::span<const float>(record.samples.get(), static_cast<std::size_t>(npts)), columns, rows,
              width);
    surface.SelectPen(previous);
  }

  // Marks: the pick on the lower half of its row, the predicted arrivals on
  // the upper half; window coordinates, kept inside the traces area.
  if (count > 0 && scale.pixelsPerSecond > 0.0f) {
    SetDrawingOrigin(surface, area, true);
    SetDrawingOrigin(surface, client, false);
    const int halfRow = rowHeight / 2;
    for (int slot = 0; slot < 3; ++slot) {
      for (int row = 0; row < count; ++row) {
        const KSAC& record = *records[row];
        const float t = record.GetPick(slot);
        if (t == 0.0f || t == KSAC::UNDEFINED_FLOAT) continue;
        const int x = ClockMarkX(t, area.left, scale.pixelsPerSecond, record.alignOffset, FirstSampleSeconds(record),
                                 scale.scrollOffset);
        if (x < area.left - 2 || x > area.right + 2) continue;
        const int centre = RowBandAt(row, rowHeight).centre + layout.topMargin;
        if (slot == 0)
          Line(surface, x, centre, x, centre + halfRow, palette::kDarkRed, 2);
        else
          Line(surface, x, centre, x, centre - halfRow, slot == 1 ? palette::kDarkBlue : palette::kDarkGreen, 2);
      }
    }
  }
  return scale;
}

}  // namespace orvane
