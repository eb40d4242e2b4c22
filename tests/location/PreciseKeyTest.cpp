// The precise answer key on a stand-in for a real deep earthquake: 163
// stations at real-looking positions, P times from the ray integrals of
// another model than the key's tables (ak135 against iasp91, as the real
// Earth is no table) at the true depth, and picks with 0.3 s of noise. The
// teacher's goal for real events is the epicentre within 30 km and the depth
// within 50 km; the stand-in asks for 5 km and 20 km.

#include "location/PreciseKey.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "location/GreatCircle.h"
#include "location/StandInNetwork.h"
#include "tools/ttgen/TravelTimeCalculator.h"

namespace orvane {
namespace {

constexpr double kKmPerDegree = 6371.0 * std::numbers::pi / 180.0;

// Normal deviates from a fixed seed, the same on every machine.
class Noise {
 public:
  double Next(double sigma) {
    const double u1 = (static_cast<double>(Bits() >> 11) + 0.5) / 9007199254740992.0;
    const double u2 = (static_cast<double>(Bits() >> 11) + 0.5) / 9007199254740992.0;
    return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
  }

 private:
  std::uint64_t Bits() {  // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_ = 20130524;
};

TEST(PreciseKey, DeepEventAtManyStationsWithNoisyPicks) {
  // The Sea of Okhotsk earthquake of 2013-05-24 as the catalogue gives it.
  constexpr double kLat = 54.892, kLon = 153.221, kDepth = 598.1;
  SYSTEMTIME originTime{2013, 5, 5, 24, 5, 44, 48, 980};
  FileTime origin = 0;
  ASSERT_TRUE(SystemTimeToFileTime(originTime, origin));

  const ttgen::EarthModel model = ttgen::EarthModel::Load(std::string(ORVANE_TTGEN_MODELS) + "/ak135.tvel");
  const ttgen::TravelTimeCalculator exact(model, {kDepth});
  const TravelTimeGrid grid = TravelTimeGrid::Load("P");
  ASSERT_TRUE(grid.IsUsable());
  Noise noise;
  std::vector<PreciseStation> stations;
  for (const test::StandInSite& site : test::StandInNetwork(163)) {
    const double distance = GeocentricDistance(site.lat, site.lon, kLat, kLon);
    const ttgen::Arrival p = exact.Compute(ttgen::Phase::P, 0, distance);
    ASSERT_TRUE(p.found) << distance;
    const double arrival = p.time + ElevationDelay(grid, p.slowness, site.elevation) + noise.Next(0.3);
    // Each record starts on a whole second a minute before its P arrival.
    const FileTime reference = origin + static_cast<FileTime>(std::floor(arrival - 60.0)) * kTicksPerSecond;
    const double pick = arrival - static_cast<double>(reference - origin) / kTicksPerSecond;
    stations.push_back({site.lat, site.lon, site.elevation, reference, std::round(pick * 100) / 100});
  }

  const PreciseKeyResult key = FindPreciseKey(stations, grid, 33.0, /*searchDepth=*/true);
  ASSERT_TRUE(key.ok()) << key.trial.reason;
  const double km = GeocentricDistance(key.lat, key.lon, kLat, kLon) * kKmPerDegree;
  EXPECT_LT(km, 5.0);
  EXPECT_NEAR(key.depth, kDepth, 20.0);
  EXPECT_LT(key.trial.rms, 0.5);
  // At the catalogue depth as well.
  const PreciseKeyResult atDepth = FindPreciseKey(stations, grid, kDepth);
  ASSERT_TRUE(atDepth.ok());
  EXPECT_LT(GeocentricDistance(atDepth.lat, atDepth.lon, kLat, kLon) * kKmPerDegree, 5.0);
}

}  // namespace
}  // namespace orvane
