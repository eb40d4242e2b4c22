#pragma once

namespace orvane {

/// @brief Great-circle distance in degrees between two positions (degrees,
/// north and east positive), from the spherical law of cosines with the
/// program's own rounding: colatitudes and the longitude difference in
/// radians as floats, each sine and cosine as a float, the cosine of the arc
/// as a float, clamped to [-1, 1] so that rounding can never produce NaN.
/// @return For example GreatCircle(0, 0, 0, 90) = 90, GreatCircle(a, b, a, b) = 0,
/// GreatCircle(0, 0, 0, 180) = 180.
float GreatCircle(float lat1, float lon1, float lat2, float lon2);

}  // namespace orvane
