#pragma once

#include <numbers>

namespace orvane {

/// The Earth's mean radius in km: the sphere on which degrees of great circle
/// become kilometres (the map's scale bar, a trial's distance from the answer
/// key, the synthetic seismograms).
inline constexpr double kEarthRadiusKm = 6371.0;

/// Kilometres per degree of great circle on that sphere (about 111.19).
inline constexpr double kKmPerDegree = kEarthRadiusKm * std::numbers::pi / 180.0;

/// @brief Great-circle distance in degrees between two positions (degrees,
/// north and east positive), from the spherical law of cosines with the
/// program's own rounding: colatitudes and the longitude difference in
/// radians as floats, each sine and cosine as a float, the cosine of the arc
/// as a float, clamped to [-1, 1] so that rounding can never produce NaN.
/// @return For example GreatCircle(0, 0, 0, 90) = 90, GreatCircle(a, b, a, b) = 0,
/// GreatCircle(0, 0, 0, 180) = 180.
float GreatCircle(float lat1, float lon1, float lat2, float lon2);

/// @brief Great-circle distance in degrees between two positions (degrees),
/// from the haversine formula in double precision: right to well below a
/// metre at every distance, where GreatCircle cannot tell apart positions
/// less than about 0.02 degrees apart (its cosine is a float). For figures
/// beside the trials, such as how far a trial lies from the answer key; a
/// trial itself always uses GreatCircle.
/// @return For example HaversineDegrees(28.231, 84.731, 28.241, 84.731) = 0.01
/// (1.11 km), HaversineDegrees(0, 0, 0, 180) = 180.
double HaversineDegrees(double lat1, double lon1, double lat2, double lon2);

/// @brief The geocentric latitude in degrees of a geographic latitude (the
/// latitude of maps and station lists) on the WGS84 ellipsoid: the angle at
/// the Earth's centre above the equator. The two differ by up to 0.19 degrees
/// (21 km) at 45 degrees and agree at the equator and the poles.
/// @return For example GeocentricLatitude(45) = 44.8076, GeocentricLatitude(-90) = -90.
double GeocentricLatitude(double geographic);

/// @brief The inverse of GeocentricLatitude.
double GeographicLatitude(double geocentric);

/// @brief The epicentral distance in degrees between two geographic
/// positions as seismology measures it for travel-time tables of a spherical
/// Earth: the angle at the Earth's centre between the two points, with their
/// geocentric latitudes, in double precision and right at every distance.
/// @return For example GeocentricDistance(45, 0, 46, 0) = 1.000095 where
/// GreatCircle gives 1.0; GeocentricDistance(a, b, a, b) = 0.
double GeocentricDistance(double lat1, double lon1, double lat2, double lon2);

}  // namespace orvane
