#pragma once
// Writes map data file records field by field, little-endian, for tests.
#include <cstdint>
#include <vector>

#include "map/MapFile.h"

namespace orvane::test {

struct MapBytes {
  std::vector<unsigned char> bytes;

  MapBytes& Word(int v) {
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
    bytes.push_back(static_cast<unsigned char>(u & 0xff));
    bytes.push_back(static_cast<unsigned char>(u >> 8));
    return *this;
  }
  MapBytes& Header(int code, int count) {
    Word(code).Word(count);
    for (int i = 0; i < 4; ++i) Word(0x7777);  // reserved words are not read
    return *this;
  }
  MapBytes& Record(int code, const std::vector<MapPoint>& points) {
    Header(code, static_cast<int>(points.size()));
    for (const MapPoint& p : points) Word(p.lonMinutes).Word(p.latMinutes);
    return *this;
  }
  /// A record along a parallel: @p lat degrees, longitudes in whole degrees.
  MapBytes& Parallel(int code, int lat, const std::vector<int>& lons) {
    std::vector<MapPoint> points;
    for (int lon : lons) points.push_back({static_cast<std::int16_t>(lon * 60), static_cast<std::int16_t>(lat * 60)});
    return Record(code, points);
  }
};

}  // namespace orvane::test
