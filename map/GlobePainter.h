#pragma once
// GlobePainter: paints the picture of the globe (map/MapPicture.h) with an
// Earth, which it sets to the picture's view first. The background (globe,
// grid, map layers, scale bar, legend) is either kept off-screen and copied
// back while the view stays the same, as the main view wants it, or drawn
// straight onto each surface at its own resolution, as a printer, a print
// preview and an image want it. The trials, stations and the trial's
// description are drawn over it on every paint.

#include <memory>

namespace orvane {

class Earth;
class Surface;
struct MapPicture;

class GlobePainter {
 public:
  enum class Background {
    kKept,             ///< drawn off-screen once and copied back while nothing that shapes it changes
    kDrawnStraightOn,  ///< drawn onto every surface at the device's own resolution; nothing kept
  };

  explicit GlobePainter(Background background = Background::kKept);
  ~GlobePainter();
  GlobePainter(const GlobePainter&) = delete;
  GlobePainter& operator=(const GlobePainter&) = delete;

  /// @brief Sets @p earth's radius, centre and rotation from @p picture and
  /// paints the picture on @p surface. A kept background is reused while the
  /// spin, tilt, radius, maximum RMS, misfit raster, client size and the
  /// surface's device pixel ratio stay the same, so such a repaint opens no
  /// map file; anything else redraws it.
  void Paint(Surface& surface, const MapPicture& picture, Earth& earth);

 private:
  struct KeptBackground;
  // The kept background matching @p picture on @p surface, drawn afresh when
  // there is none; null when none can be kept (an empty client area, no
  // memory), and the background is then drawn straight on.
  const KeptBackground* Keep(Surface& surface, const MapPicture& picture, const Earth& earth);

  Background background_;
  std::unique_ptr<KeptBackground> kept_;
};

}  // namespace orvane
