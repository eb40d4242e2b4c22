#pragma once
// Earth: the globe of the main view and its orthographic projection.
//
// Model space has its origin at the Earth's centre: x towards (0N, 0E), y
// towards (0N, 90E), z towards the north pole. View space is model space
// turned by `rotation`: x points from the globe towards the viewer, y to the
// right of the screen, z upwards. Screen points are pixels with y downwards;
// a view-space point lands at (centre.x + trunc(y), centre.y + trunc(-z)).
//
// This header is plain C++. The map painter (a Qt library) adds its
// operations in the marked section at the end of the class and keeps its
// off-screen background in a class derived from MapCache.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>

#include "map/MapPicture.h"
#include "platform/Rect.h"
#include "seismogram/Calendar.h"

namespace orvane {

class Surface;  // the drawing surface of the painters (Qt side)
class KSAC;

/// A pixel position, y downwards.
struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

/// A vector in model or view space, 32-bit components.
struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

/// Base of the painter's cached map background (an off-screen picture and its
/// drawing surface). Earth owns it without knowing what it holds.
struct MapCache {
  virtual ~MapCache();
};

class Earth {
 public:
  /// Degrees to radians as the program has always used it (single precision
  /// constant, not pi/180 to the last digit).
  static constexpr double kDegToRad = 0.017453292;
  /// Radians to degrees for the results of ScreenToLatLon.
  static constexpr double kRadToDeg = 57.29577951;

  /// @brief Builds the sine and cosine tables. `rotation` starts as the
  /// identity, `radius` 0 and `centre` (0, 0) until SetView or the painter
  /// sets them; no cache, cached view parameters 0.0.
  Earth();
  ~Earth();
  Earth(const Earth&) = delete;
  Earth& operator=(const Earth&) = delete;

  /// @brief Table sine of @p deg with linear interpolation between whole degrees.
  /// @return For example SinDeg(30) = sinTable[30], SinDeg(-30) = -SinDeg(30).
  /// Angles with |deg| >= 360 are first reduced modulo 360; NaN gives NaN.
  float SinDeg(float deg) const;
  /// @brief Table cosine; CosDeg(-d) = CosDeg(d). Same range rules as SinDeg.
  float CosDeg(float deg) const;

  /// @brief Builds `rotation` from the view parameters: the model point at
  /// latitude -@p tilt, longitude @p spin turns onto the view-space x axis,
  /// east to the right, north up. Library sine and cosine, stored as floats.
  void SetRotation(float spin, float tilt);

  /// @brief Sets `radius`, `centre` (half the client size, integer division)
  /// and `rotation` exactly as the painter does on each repaint, so that
  /// Project and ScreenToLatLon work before the first paint.
  /// Example: SetView(0, 0, 200, 801, 600) gives centre (400, 300).
  void SetView(float spin, float tilt, float radius, int clientWidth, int clientHeight);

  /// @brief view = rotation * model, in 32-bit floats.
  Vector3 Rotate(const Vector3& model) const;
  /// @brief model = transpose(rotation) * view, the inverse of Rotate.
  Vector3 RotateBack(const Vector3& view) const;

  /// @brief Model-space point of a surface position on a sphere of `radius`:
  /// (cos lat cos lon, cos lat sin lon, sin lat) from the tables, each product
  /// rounded to float, then scaled by `radius`.
  Vector3 ModelPoint(float lat, float lon) const;
  /// @brief Screen point of a view-space vector: (centre.x + trunc(v.y),
  /// centre.y + trunc(-v.z)). Components beyond the int range are clamped.
  ScreenPoint ToScreen(const Vector3& view) const;

  /// @brief Screen position of a point on the globe's surface, with no
  /// hemisphere test (a far-side point lands on its near-side mirror image).
  /// Example: spin 0, tilt 0: (0, 0) -> centre; (90, 0) -> centre - (0, radius).
  ScreenPoint Project(float lat, float lon) const;

  /// @brief true when a view-space vector lies on the hemisphere facing the
  /// viewer (x >= 0).
  static bool IsNearSide(const Vector3& view);

  /// @brief Geographic position under the screen point (@p x, @p y).
  /// @return false, with @p lat and @p lon untouched, when the point lies on
  /// or outside the rim of the disc (radius^2 - dx^2 - dy^2 <= 0), or when
  /// the radius is not a usable number (infinite, NaN) and gives no position.
  /// Example: the centre gives latitude -tilt, longitude spin.
  /// The arc-sine argument is clamped to [-1, 1] against rounding at the rim.
  bool ScreenToLatLon(int x, int y, float& lat, float& lon) const;

  // Data members, in the globe's order.
  float rotation[3][3];   // view = rotation * model, row by row
  float sinTable[361];    // sin(i degrees), i = 0..360
  float cosTable[361];    // cos(i degrees), i = 0..360
  float radius = 0.0f;    // disc radius in pixels
  ScreenPoint centre;     // disc centre on the screen

  // The painter's cached map background and the view parameters it was drawn
  // with (0.0 until the first background is drawn).
  std::unique_ptr<MapCache> cache;
  float cachedSpin = 0.0f;
  float cachedTilt = 0.0f;
  float cachedRadius = 0.0f;

  // ---------------------------------------------------------------------
  // Painter operations (map painter, DrawMap, DrawMapFile, marker painters).
  // Declared here, defined in the Qt map-painter library; they take a
  // Surface& and may set radius, centre, rotation and the cache.
  // ---------------------------------------------------------------------

  /// @brief Paints the whole map picture into @p client: black background, the
  /// globe with grid and map layers (level of detail by MapLevel), scale bar and
  /// RMS legend, then the trials of trialList, the stations of @p records, the
  /// trial epicentre with a reach line towards each station, and the trial's
  /// description. Sets `radius`, `centre` and `rotation` first. A trial
  /// latitude of exactly 0.0 means there is no trial: nothing of it is drawn.
  /// Everything up to the legend is kept in `cache` and copied back while
  /// spin, tilt, radius, maximumRms and the client size stay the same, so such
  /// repaints open no map file.
  void DrawMap(Surface& surface, float spin, float tilt, float radius, const Rect& client,
               std::span<KSAC* const> records, const SYSTEMTIME& originTime, float trialLat,
               float trialLon, float trialDepth, float trialRms);

  /// @brief Paints @p picture as DrawMap does, with everything taken from the
  /// picture (its trials, maximum RMS and "has a trial"), not from the
  /// program-wide lists. Sets `radius`, `centre` and `rotation`. With
  /// @p keepCache the background is kept in `cache` and reused as DrawMap
  /// does, drawn at the device pixel ratio of @p surface; without it the
  /// background is drawn straight onto @p surface (at whatever resolution the
  /// device has: a printer, a preview, an image) and `cache` is left alone.
  void Paint(Surface& surface, const MapPicture& picture, bool keepCache);

  /// @brief Draws the records of an open map data file that lie on the near
  /// hemisphere, with the current `rotation` and `centre` and the given radius:
  /// one polyline per visible stretch of a record, in the pen colour of its
  /// feature class. Does nothing when called again while it runs.
  void DrawMapFile(std::FILE* file, float radius, Surface& surface);

  /// @brief A red triangle with a black outline, corners (x, y-8), (x+7, y+4), (x-7, y+4).
  static void DrawStationMarker(int x, int y, Surface& surface);
  /// @brief A black triangle, corners (x, y-6), (x+5, y+3), (x-5, y+3).
  static void DrawReachMarker(int x, int y, Surface& surface);
  /// @brief A blue ten-cornered star with a black outline, 6 pixels from (x, y) to its tips.
  static void DrawEpicentreStar(int x, int y, Surface& surface);
  /// @brief A disc in rmsColours[rmsClass] with bounding box (x-r, y-r)-(x+r, y+r);
  /// nothing for a class outside 0..rmsColourCount-1.
  static void DrawRmsDot(int x, int y, int rmsClass, int r, Surface& surface);

 private:
  // Globe, grid, map layers, scale bar and legend: the cached part of the picture.
  void DrawBackground(Surface& surface, const Rect& client, int maximumRms, const MisfitRaster* misfit);
  void DrawMisfit(Surface& surface, const MisfitRaster& misfit, float rmsStep);
  void DrawAnswerKey(Surface& surface, const MapPicture& picture);
  void DrawGlobe(Surface& surface, const Rect& client);
  void DrawGrid(Surface& surface);
  void DrawMapLayers(Surface& surface, int clientHeight);
  // Trial dots, stations with their reach lines, the trial's star and description.
  void DrawTrials(Surface& surface, const MapPicture& picture, float rmsStep);
  void DrawStations(Surface& surface, const MapPicture& picture);
};

}  // namespace orvane
