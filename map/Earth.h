#pragma once
// Earth: the globe of the main view and its orthographic projection.
//
// Model space has its origin at the Earth's centre: x towards (0N, 0E), y
// towards (0N, 90E), z towards the north pole. View space is model space
// turned by `rotation`: x points from the globe towards the viewer, y to the
// right of the screen, z upwards. Screen points are pixels with y downwards;
// a view-space point lands at (centre.x + trunc(y), centre.y + trunc(-z)).
//
// Plain C++: the projection only. The globe's picture is painted by
// GlobePainter (map/GlobePainter.h), which sets the view of the Earth it
// paints with.

#include <cstdint>

namespace orvane {

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

/// @brief trunc() of a float pixel coordinate, kept well inside the int range
/// so that adding a centre cannot overflow (a globe zoomed beyond a billion
/// pixels is clamped); NaN gives 0.
std::int32_t TruncatePixel(float v);

class Earth {
 public:
  /// Degrees to radians as the program has always used it (single precision
  /// constant, not pi/180 to the last digit).
  static constexpr double kDegToRad = 0.017453292;
  /// Radians to degrees for the results of ScreenToLatLon.
  static constexpr double kRadToDeg = 57.29577951;

  /// @brief Builds the sine and cosine tables. `rotation` starts as the
  /// identity, `radius` 0 and `centre` (0, 0) until SetView sets them.
  Earth();
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
  /// and `rotation`: what the painter does on each repaint, and what lets
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
};

}  // namespace orvane
