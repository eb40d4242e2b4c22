#pragma once
// The picture of all seismograms in one window (the Seismograms window's
// client area), painted on a Surface: the records sorted by their distance
// from the trial epicentre, nearest at the top, one row each on a common
// clock, each row with its station label, reference time, pick time, Delta T
// and distance, its trace scaled to whole steps of amplitude times the row's
// gain, and the picked (lower half, dark red) and predicted arrivals (upper
// half, dark blue P and dark green S); minute ticks at the top and bottom of
// the traces area and minute labels below it.

#include <optional>
#include <span>

#include "display/TraceLayout.h"
#include "platform/Rect.h"
#include "platform/Surface.h"

namespace orvane {

class KSAC;
class SampleStatisticsCache;

/// Where the areas of the picture lie in a client area, window coordinates.
struct SeismogramsLayout {
  Rect clientArea;      ///< (0, 0, width, height)
  Rect tracesArea;      ///< (6 cw, cw, width − cw, height − 2 th): the white area of the rows,
                        ///< narrower by the row scroll bar while the rows scroll
  Rect axisStrip;       ///< (tracesArea.left, tracesArea.bottom, width, height)
  Rect rowScrollArea;   ///< where the row scroll bar goes, right of the traces area; empty when
                        ///< every row is shown
  int textHeight = 0;   ///< th
  int charWidth = 0;    ///< cw
  int labelHeight = 0;  ///< trunc(0.7 × th)
  int leftMargin = 0;   ///< 6 cw: room for the gain controls of the rows
  int topMargin = 0;    ///< cw: the top of the traces area
  RowMetrics rowMetrics;  ///< th and the label font's ascent and descent
  RowGeometry rows;       ///< the rows in the traces area (LayOutRows)

  /// @brief The row under window row @p y; nothing outside the rows shown.
  std::optional<int> RowAtY(int y) const { return rows.RowAtOffset(y - tracesArea.top); }
  /// @brief Where the texts of row @p row of @p record stand (relative to the
  /// traces area's top), as the picture draws them; none in compact mode.
  RowTexts TextsOf(const KSAC& record, int row) const;
};

/// @brief The layout of a client area @p width × @p height holding @p recordCount
/// rows in @p mode, from row @p firstRow; when the rows scroll the traces area
/// leaves room on its right for a scroll bar @p scrollBarExtent pixels wide.
SeismogramsLayout LayOutSeismograms(int width, int height, const TextMetrics& metrics, int recordCount,
                                    RowMode mode = RowMode::kAllRows, int firstRow = 0, int scrollBarExtent = 0);

/// What the student has set in the window.
struct SeismogramsView {
  float zoom = 1.0f;                 ///< time stretch of all rows (at least 1)
  float scrollFraction = 0.0f;       ///< part of the stretched clock scrolled off to the left
  std::span<const int> gains;        ///< amplitude multiplier per row position; 1 for rows beyond
};

/// The clock the picture was painted with; a click is read against it.
struct SeismogramsScale {
  float timeSpan = 0.0f;         ///< seconds from the earliest first sample to the latest end
  float pixelsPerSecond = 0.0f;  ///< tracesArea width × zoom / timeSpan; 0 for an empty clock
  int scrollOffset = 0;          ///< pixels scrolled
};

/// @brief Sorts @p records by distance (SortByDistance), puts them on the common
/// clock (AlignRecords writes each alignOffset) and paints the rows that
/// @p layout shows. Rows whose band misses @p invalid (window coordinates) get
/// only their borders. In compact mode the rows have no borders and no texts.
/// Sets depmin, depmax and depmen of every painted record (through @p cache when
/// given, which keeps them, and the filtered samples, between paints). A
/// record with a filter chosen is drawn through it, scaled by what is drawn,
/// and its station label names the band. The surface's selections, origin
/// and clip are put back.
SeismogramsScale PaintSeismogramsPicture(Surface& surface, const SeismogramsLayout& layout,
                                         std::span<KSAC*> records, const SeismogramsView& view,
                                         const Rect& invalid, SampleStatisticsCache* cache = nullptr);

}  // namespace orvane
