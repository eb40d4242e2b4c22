#pragma once
// After a trial location the main view repaints the globe; the seismogram
// windows repaint with it, so that the new marks, "Delta T" and "Dist" (and
// the new order of the rows) appear at once rather than at the windows' next
// repaint for another reason.

class QObject;

namespace orvane {

/// @brief Repaints every Event and Seismograms window among the descendants of
/// @p view.
void RepaintSeismogramWindows(QObject& view);

}  // namespace orvane
