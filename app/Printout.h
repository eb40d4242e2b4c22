#pragma once
// The printout of the main view: the globe picture as the view shows it
// (legend, scale bar, stations, trials and the trial's description), scaled
// to the page, drawn through the same picture call as the screen but with a
// globe of its own, so that printing never moves or repaints the view.

#include <QSize>
#include <QString>

#include "map/MapPicture.h"

class QPrinter;

namespace orvane {

class Surface;
class View;

/// @brief The globe page: @p picture scaled to fit a page of @p page device
/// pixels, its proportions kept, centred across the top of the page.
void PaintGlobePage(Surface& surface, const QSize& page, const MapPicture& picture);

/// @brief Prints what @p view shows on @p printer.
/// @return The number of pages printed; 0 when the printer could not start
/// (no output, no paper size), and @p error then says why.
int PrintView(QPrinter& printer, const View& view, QString* error = nullptr);

}  // namespace orvane
