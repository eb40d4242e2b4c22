#pragma once
// The printout of the main view: the globe picture as the view shows it
// (legend, scale bar, stations, trials and the trial's description), scaled
// to the page, drawn through the same picture call as the screen but with a
// globe of its own, so that printing never moves or repaints the view; then
// the open seismograms on pages of their own, drawn by the windows' painters.

#include <QSize>
#include <QString>

#include <span>
#include <vector>

#include "map/MapPicture.h"

class QPrinter;

namespace orvane {

class KSAC;
class Surface;
class View;

/// Seismograms of the one-station windows printed on one page.
inline constexpr int kEventsPerPage = 4;

/// @brief The globe page: @p picture scaled to fit a page of @p page device
/// pixels, its proportions kept, centred across the top of the page.
void PaintGlobePage(Surface& surface, const QSize& page, const MapPicture& picture);

/// @brief The page of all seismograms: @p records sorted by distance, one row
/// each on a common clock, the whole records, row gains @p gains, filling a
/// page of @p page device pixels.
void PaintSeismogramsPage(Surface& surface, const QSize& page, std::vector<KSAC*> records,
                          std::span<const int> gains);

/// @brief One seismogram as its window draws it, the whole record at gain
/// @p gain, in strip @p slot (0 at the top) of kEventsPerPage strips of a page.
void PaintEventStrip(Surface& surface, const QSize& page, int slot, KSAC& record, float gain);

/// @brief Prints what @p view shows: the globe page, then the seismograms
/// of the open windows (all in one window: one page; one window per station:
/// kEventsPerPage to a page, in the order of the windows) on @p printer.
/// @return The number of pages printed; 0 when the printer could not start
/// (no output, no paper size), and @p error then says why.
int PrintView(QPrinter& printer, const View& view, QString* error = nullptr);

}  // namespace orvane
