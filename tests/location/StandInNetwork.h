#pragma once
// A network of stations laid out as real ones are: the sites of 33
// permanent stations of the global networks (positions and elevations as
// the sample events use them, tools/synth-event/events/), each with four
// more places 2 to 6 degrees around it, as regional networks cluster around
// such sites. For tests and benchmarks that need many stations at
// real-looking positions.

#include <cmath>
#include <cstddef>
#include <vector>

namespace orvane::test {

struct StandInSite {
  double lat = 0.0;        // degrees
  double lon = 0.0;        // degrees
  double elevation = 0.0;  // metres
};

inline std::vector<StandInSite> StandInNetwork(std::size_t count) {
  static const StandInSite sites[] = {
      {42.6375, 74.4942, 1633}, {51.8823, -176.6842, 130}, {34.9459, -106.4572, 1820}, {32.3713, -64.6963, 0},
      {40.0183, 116.1679, 197}, {38.0557, -91.2446, 222},  {18.8141, 98.9443, 420},    {-12.1901, 96.8349, 1},
      {64.8736, -147.8616, 200}, {-20.0882, 146.2545, 357}, {-7.4121, 72.4525, 1},     {28.1103, -81.4327, 30},
      {13.5893, 144.8684, 170}, {42.5064, -71.5583, 200},  {-5.0142, 119.7517, 300},   {69.7565, 27.0035, 80},
      {21.4200, -158.0112, 70}, {-29.0110, -70.7005, 2300}, {-22.6127, -68.9111, 2930}, {36.5457, 138.2041, 405},
      {-0.6019, 30.7382, 1390}, {33.6506, 73.2686, 629},   {-11.9875, -76.8422, 575},  {0.2376, -78.4508, 3510},
      {7.2728, 80.7022, 460},   {23.5225, 45.5032, 631},   {-8.9489, -63.1831, 120},   {18.1091, -66.1500, 420},
      {20.2263, -88.2763, 15},  {-38.0568, -61.9787, 439}, {47.8651, 107.0532, 1610},  {62.0310, 129.6805, 110},
      {46.9587, 142.7604, 148},
  };
  constexpr std::size_t kSites = sizeof sites / sizeof sites[0];
  std::vector<StandInSite> network;
  for (std::size_t i = 0; network.size() < count; ++i) {
    const StandInSite& site = sites[i % kSites];
    const std::size_t round = i / kSites;  // 0: the site itself, then places around it
    if (round == 0) {
      network.push_back(site);
      continue;
    }
    // A direction and distance of its own for every place.
    const double azimuth = (static_cast<double>(i) * 137.50776405) * 3.14159265358979 / 180.0;
    const double reach = 2.0 + std::fmod(static_cast<double>(i) * 0.61803398875, 1.0) * 4.0;
    const double lat = std::fmax(-89.0, std::fmin(89.0, site.lat + reach * std::cos(azimuth)));
    double lon = site.lon + reach * std::sin(azimuth) / std::cos(site.lat * 3.14159265358979 / 180.0);
    if (lon > 180.0) lon -= 360.0;
    if (lon <= -180.0) lon += 360.0;
    network.push_back({lat, lon, site.elevation * (0.5 + 0.25 * static_cast<double>(round % 3))});
  }
  return network;
}

}  // namespace orvane::test
