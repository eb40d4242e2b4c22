#pragma once
// The arithmetic of the main view, without any window: pan and zoom steps,
// the centre and scale read-outs, where the seismogram windows go, and the
// turn of the globe to a newly opened event.

#include <span>
#include <string>

namespace orvane {

/// The part of the globe that faces the viewer.
struct GlobeView {
  float spin = 0.0f;     ///< longitude at the centre, degrees, east positive
  float tilt = 0.0f;     ///< negated latitude at the centre, degrees
  float radius = 200.0f; ///< disc radius in pixels
};

/// @brief One step of the pan and zoom commands. North and South move the
/// centre by 2000 / radius degrees of latitude and stop at the poles; East
/// and West move it by 5000 / radius degrees of longitude and wrap into
/// −180…180; Zoom In and Zoom Out multiply the radius by 1.25 and 0.8.
/// Example: radius 200, spin 170: East gives −165.
void StepNorth(GlobeView& view);
void StepSouth(GlobeView& view);
void StepEast(GlobeView& view);
void StepWest(GlobeView& view);
void ZoomIn(GlobeView& view);
void ZoomOut(GlobeView& view);

/// @brief The map scale for a view @p clientHeight pixels high: "Scale: %s : 1"
/// with H × 6,300,000 / radius cut to three leading digits and grouped by
/// commas. Example: 500 pixels, radius 200 give "Scale: 15,700,000 : 1".
/// Below 100 the number is shown whole; a scale that cannot be computed (no
/// height, no radius) gives "Scale: - : 1".
std::string ScaleText(int clientHeight, float radius);

/// A window's place in the view, in pixels.
struct Placement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Placement&, const Placement&) = default;
};

/// @brief Where the window of one station goes in a view of @p right × @p bottom
/// pixels: a quarter of the view each way, 12 pixels right of the station's
/// point (@p x, @p y), pushed back inside the view at the right and bottom.
/// Example: 800 × 600, station at (790, 595): (600, 450) 200 × 150.
Placement StationWindowPlacement(int x, int y, int right, int bottom);

/// The most stations that get a window each beside the globe. A station's
/// window is a quarter of the view each way: the view holds 4 × 4 of them, the
/// globe in its middle needs the middle 2 × 2, and 12 fit around it. An event
/// with more stations opens in the window of all seismograms instead, whatever
/// the size of the view: more windows would bury the globe.
inline constexpr int kMostStationWindows = 12;

/// @brief The window of all seismograms: the right-hand quarter, full height.
/// Example: 800 × 600 gives (600, 0) 200 × 600.
Placement SeismogramsWindowPlacement(int right, int bottom);

/// A station's position, degrees, north and east positive.
struct StationPosition {
  float lat = 0.0f;
  float lon = 0.0f;
};

/// @brief The view in which an event with @p stations opens, in a client
/// area of @p width × @p height pixels of which @p visible is not covered by
/// windows. @p current is kept when every station is already in view: on the
/// near side, with its marker inside @p visible. Otherwise the globe turns to
/// the stations' mean direction and zooms (in or out) so that all of them fit
/// into @p visible with a margin (more on the right, where the names go), but
/// never so far in that the view spans less than about ten degrees. A network
/// spanning more than a hemisphere cannot be shown whole: the stations that
/// stay on the far side are left out of the fit.
/// Example: the stations of the Alaska example event in an 800 × 600 view
/// centred on 0° N 0° E lie on the far side; the view turns to about 55° N,
/// 165° W.
GlobeView ViewShowingStations(const GlobeView& current, std::span<const StationPosition> stations, int width,
                              int height, const Placement& visible);

}  // namespace orvane
