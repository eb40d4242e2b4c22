#pragma once
// The background of the globe's picture: the white disc, the misfit shading,
// the grid, the map layers at the view's level of detail, the scale bar and
// the RMS legend. It depends only on the view, the client area, the maximum
// RMS and the misfit raster, which is what lets GlobePainter keep it.

#include "platform/Rect.h"

namespace orvane {

class Earth;
class Surface;
struct MisfitRaster;

/// @brief Draws the background of the picture for @p client with the view
/// that @p earth holds (its radius, centre and rotation), shading @p misfit
/// under the grid when there is one. Map files that are missing are left out.
void DrawGlobeBackground(Surface& surface, const Earth& earth, const Rect& client, int maximumRms,
                         const MisfitRaster* misfit);

}  // namespace orvane
