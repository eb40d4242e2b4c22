#pragma once
// The picture of one seismogram (the Event window's client area), painted on a
// Surface so that the window, an image and a printer get the same pixels:
// dark grey around a sunken white trace area with the station label, the
// reference time and the sampling; the pick time with Delta T and the distance
// of the last trial; minute ticks and labels; the trace (through the
// record's band-pass filter while one is chosen, named beside the station)
// scaled to three quarters of the height times the gain; the picked arrival
// in dark red on the lower half and the predicted P (dark blue) and S (dark
// green) on the upper half.

#include <cstdint>

#include "platform/Rect.h"
#include "platform/Surface.h"

namespace orvane {

class KSAC;
class SampleStatisticsCache;

/// Where the areas of the picture lie in a client area, window coordinates.
struct EventLayout {
  Rect clientArea;      ///< (0, 0, width, height)
  Rect traceArea;       ///< (cw, cw, width − cw, height − 2 th): the white area
  Rect axisStrip;       ///< (traceArea.left, traceArea.bottom, width, height): minute labels, controls
  int textHeight = 0;   ///< th: cell height of the surface's font
  int charWidth = 0;    ///< cw: its average character width
  int labelHeight = 0;  ///< trunc(0.7 × th): the height of the label font
};

/// @brief The layout of a client area @p width × @p height for the metrics of the
/// font the surface paints with.
EventLayout LayOutEvent(int width, int height, const TextMetrics& metrics);

/// What the student has set in the window.
struct EventView {
  int zoom = 1;                 ///< the record spans zoom trace widths (at least 1)
  float scrollFraction = 0.0f;  ///< part of the stretched record scrolled off to the left
  float gain = 1.0f;            ///< amplitude multiplier
};

/// The scale the picture was painted with; a click is read against it.
struct EventScale {
  int traceWidth = 0;
  int traceHeight = 0;
  int scrollOffset = 0;          ///< pixels scrolled
  std::int32_t sampleCount = 0;  ///< npts
  float pixelsPerSample = 0.0f;  ///< zoom × traceWidth / npts; 0 without samples
  float delta = 0.0f;            ///< seconds per sample
  float firstSample = 0.0f;      ///< b: seconds from the reference time to the first sample
};

/// @brief Paints the picture of @p record into @p layout, its trace through
/// the record's filter while one is chosen. Sets the record's depmin, depmax
/// and depmen (through @p cache when given, which keeps them, and the
/// filtered samples, between paints). The surface's selections, origin and
/// clip are put back.
EventScale PaintEventPicture(Surface& surface, const EventLayout& layout, KSAC& record, const EventView& view,
                             SampleStatisticsCache* cache = nullptr);

}  // namespace orvane
