#include "display/EventPicture.h"

#include <algorithm>
#include <cmath>
#include <span>

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

EventLayout LayOutEvent(int width, int height, const TextMetrics& metrics) {
  EventLayout l;
  l.textHeight = metrics.height;
  l.charWidth = metrics.averageCharWidth;
  l.labelHeight = TruncToInt(0.7 * l.textHeight);
  const int cw = l.charWidth;
  l.clientArea = Rect{0, 0, width, height};
  l.traceArea = Rect{cw, cw, width - cw, height - 2 * l.textHeight};
  l.axisStrip = Rect{l.traceArea.left, l.traceArea.bottom, width, height};
  return l;
}

namespace {

// The sample scale: the record's samples over the trace area's width, times
// the zoom, scrolled by the view's fraction.
EventScale ScaleOf(const EventLayout& layout, const KSAC& record, int zoom, const EventView& view) {
  EventScale scale;
  scale.traceWidth = layout.traceArea.Width();
  scale.traceHeight = layout.traceArea.Height();
  scale.sampleCount = record.GetIntHeader(KSAC::NPTS);
  scale.delta = record.GetFloatHeader(KSAC::DELTA);
  scale.firstSample = FirstSampleSeconds(record);
  scale.scrollOffset = ScrollOffsetFor(scale.traceWidth, view.scrollFraction, static_cast<float>(zoom));
  if (record.samples != nullptr && scale.sampleCount > 0)
    scale.pixelsPerSample = PixelsPerSample(zoom, scale.traceWidth, scale.sampleCount);
  return scale;
}

// The station, reference time and sample rate in the trace area's top-left
// corner; the pick and what the last trial made of it above the bottom edge.
void PaintRecordTexts(Surface& surface, const EventLayout& layout, const QFont& font, const KSAC& record) {
  const int cw = layout.charWidth;
  const int th = layout.textHeight;
  SetDrawingOrigin(surface, layout.traceArea, true);
  int y = layout.labelHeight;
  DrawLabel(surface, cw, y, &font, HeaderText(StationLineText(record)), palette::kBlack, palette::kNone, label::kLeft,
            label::kStandsOn);
  y += layout.labelHeight;
  DrawLabel(surface, cw, y, &font, HeaderText(ReferenceTimeText(record, TextPrecision::kTenths)), palette::kBlack,
            palette::kNone, label::kLeft, label::kStandsOn);
  y += th;
  DrawLabel(surface, cw, y, &font, HeaderText(SampleRateText(record)), palette::kBlack, palette::kNone,
            label::kLeft, label::kStandsOn);

  const int height = layout.traceArea.Height();
  if (HasPick(record)) {
    DrawLabel(surface, cw, height + cw - th, &font, HeaderText(PickTimeText(record, TextPrecision::kTenths)),
              palette::kDarkRed, palette::kNone, label::kLeft, label::kStandsOn);
    const std::string residual = ResidualText(record, TextPrecision::kTenths);
    if (!residual.empty())
      DrawLabel(surface, cw, height + cw - 2 * th, &font, HeaderText(residual), palette::kDarkRed, palette::kNone,
                label::kLeft, label::kStandsOn);
  }
}

// Ticks on the bottom edge, minute labels in the strip below; the minutes
// count from the first sample, over the record's @p duration in seconds.
void PaintTimeAxis(Surface& surface, const EventLayout& layout, const QFont& font, float duration, int zoom,
                   const EventScale& scale) {
  const float pixelsPerSecond = static_cast<float>(static_cast<long long>(scale.traceWidth) * zoom) / duration;
  const int height = layout.traceArea.Height();
  SetDrawingOrigin(surface, layout.traceArea, true);
  for (const AxisMark& tick : AxisMarks(duration, TickStep(duration), pixelsPerSecond, scale.scrollOffset,
                                        scale.traceWidth, 1, 1, false))
    Line(surface, tick.x, height - 5, tick.x, height, palette::kBlack);
  SetDrawingOrigin(surface, layout.axisStrip, true);
  for (const AxisMark& mark : AxisMarks(duration, EventLabelInterval(duration, zoom), pixelsPerSecond,
                                        scale.scrollOffset, scale.traceWidth, 0, 0, true))
    DrawLabel(surface, mark.x, layout.charWidth / 2, &font, QString::number(mark.seconds / 60), palette::kBlack,
              palette::kNone, label::kCentre, label::kHangs);
}
// The trace through its filter, if one is chosen, scaled by what is drawn.
void PaintTrace(Surface& surface, const EventLayout& layout, KSAC& record, const EventView& view,
                const EventScale& scale, SampleStatisticsCache& cache) {
  SetDrawingOrigin(surface, layout.traceArea, true);
  cache.Apply(record);
  const DrawnSamples drawn = cache.Drawn(record);
  const SampleRows rows{scale.traceHeight / 2, drawn.mean,
                        EventAmplitudeScale(drawn.min, drawn.max, view.gain, scale.traceHeight)};
  const SampleColumns columns{scale.pixelsPerSample, -static_cast<float>(scale.scrollOffset)};
  // A station left out of the location is drawn greyed.
  const int ink = record.leftOut ? palette::kDarkGrey : palette::kBlack;
  const Pen previous = surface.SelectPen(Pen::Solid(QColor(standardColours[ink]), 1));
  DrawTrace(surface, drawn.samples, columns, rows, scale.traceWidth);
  surface.SelectPen(previous);
}

// Marks of the pick and of the predicted arrivals, in window coordinates,
// kept inside the trace area. They need the sample scale.
void PaintMarks(Surface& surface, const EventLayout& layout, const KSAC& record, const EventScale& scale) {
  const Rect& area = layout.traceArea;
  SetDrawingOrigin(surface, area, true);
  SetDrawingOrigin(surface, layout.clientArea, false);
  if (!(scale.pixelsPerSample > 0.0f && scale.delta > 0.0f && std::isfinite(scale.delta))) return;
  const int bottom = area.bottom;
  for (int slot = 0; slot < 3; ++slot) {
    const float t = record.GetPick(slot);
    if (t == 0.0f || t == KSAC::UNDEFINED_FLOAT) continue;
    const int x = EventMarkX(t, area.left, scale.pixelsPerSample, scale.delta, scale.firstSample, scale.scrollOffset);
    if (x < area.left - 2 || x > area.right + 2) continue;
    if (slot == 0)
      Line(surface, x, bottom / 2, x, bottom, palette::kDarkRed, 2);
    else
      Line(surface, x, area.top, x, bottom / 2, slot == 1 ? palette::kDarkBlue : palette::kDarkGreen, 2);
  }
}

}  // namespace

EventScale PaintEventPicture(Surface& surface, const EventLayout& layout, KSAC& record, const EventView& view,
                             SampleStatisticsCache* cache) {
  SurfaceStateGuard keepSelections(surface);
  trace_painting::OriginAndClipGuard keepOrigin(surface);
  const QFont font = trace_painting::LabelFont(layout.labelHeight);
  const int zoom = std::max(1, view.zoom);
  const EventScale scale = ScaleOf(layout, record, zoom, view);
  const bool hasSamples = record.samples != nullptr && scale.sampleCount > 0;

  // Frame: dark grey around a sunken white trace area.
  trace_painting::PaintFrame(surface, layout.clientArea, layout.traceArea, layout.charWidth);
  PaintRecordTexts(surface, layout, font, record);
  PaintTimeAxis(surface, layout, font, static_cast<float>(hasSamples ? scale.sampleCount : 0) * scale.delta, zoom,
                scale);
  if (hasSamples) {
    // Without a cache of its own (printing) the picture keeps one for this paint.
    SampleStatisticsCache once;
    PaintTrace(surface, layout, record, view, scale, cache != nullptr ? *cache : once);
  }
  PaintMarks(surface, layout, record, scale);
  return scale;
}

}  // namespace orvane
