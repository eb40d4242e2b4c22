// The misfit map: the RMS a trial would have at each cell of the view.
#include "map/MisfitMap.h"

#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cstdint>
#include <cmath>
#include <limits>

#include "location/BestEpicentre.h"
#include "location/SyntheticEvent.h"

namespace orvane {
namespace {

std::vector<TrialStation> Stations(const std::vector<std::unique_ptr<KSAC>>& records) {
  std::vector<TrialStation> stations(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) EXPECT_TRUE(StationOf(*records[i], stations[i]).ok());
  return stations;
}

TEST(MisfitMap, TheLowestCellLiesAtTheAnswerKeyAndCellsAreTrials) {
  const auto [p, s] = test::EventTables(33.0f);
  const auto records = test::SyntheticRecords(p, 35.9f, 140.4f, 12);
  std::vector<TrialStation> stations = Stations(records);
  // Stations that take no part: one left out by the student, one unpicked,
  // one that cannot take part.
  stations[3].takesPart = false;
  stations[3].leftOut = true;
  stations[5].pick = 0.0f;
  stations[7].takesPart = false;
  Earth earth;
  earth.SetView(140.0f, -36.0f, 1500.0f, 400, 300);  // a close view around the event
  const Rect client{0, 0, 400, 300};
  const MisfitRaster raster = ComputeMisfitRaster(earth, client, stations, p, s, 4);
  ASSERT_EQ(raster.columns, 100);
  ASSERT_EQ(raster.rows, 75);

  float lowest = std::numeric_limits<float>::infinity();
  int bestX = 0, bestY = 0;
  for (int r = 0; r < raster.rows; ++r)
    for (int c = 0; c < raster.columns; ++c) {
      const float v = raster.rms[static_cast<std::size_t>(r * raster.columns + c)];
      if (v < lowest) lowest = v, bestX = c * 4 + 2, bestY = r * 4 + 2;
    }
  const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
  ASSERT_TRUE(best.ok());
  const ScreenPoint key = earth.Project(best.lat, best.lon);
  EXPECT_LE(std::abs(key.x - bestX), 12) << bestX << "," << bestY << " vs " << key.x << "," << key.y;
  EXPECT_LE(std::abs(key.y - bestY), 12);

  // Each cell holds exactly what a click at its centre would give, to the
  // bit, however the rows were shared out over the cores.
  int differ = 0;
  for (int y = 2; y < 300; y += 4)
    for (int x = 2; x < 400; x += 4) {
      float lat = 0.0f, lon = 0.0f;
      ASSERT_TRUE(earth.ScreenToLatLon(x, y, lat, lon));
      const float click = EvaluateTrial(stations, lat, lon, p, s, {}).rms;
      if (std::bit_cast<std::uint32_t>(raster.At(x, y)) != std::bit_cast<std::uint32_t>(click) && differ++ < 5)
        ADD_FAILURE() << x << "," << y << ": " << raster.At(x, y) << " vs " << click;
    }
  EXPECT_EQ(differ, 0);
}

TEST(MisfitMap, CellsBesideTheGlobeAndRefusedTrialsHoldNothing) {
  const auto [p, s] = test::EventTables(0.0f);
  auto records = test::SyntheticRecords(p, 10.0f, 20.0f, 5);
  std::vector<TrialStation> stations = Stations(records);
  Earth earth;
  earth.SetView(0.0f, 0.0f, 100.0f, 400, 300);
  const MisfitRaster raster = ComputeMisfitRaster(earth, Rect{0, 0, 400, 300}, stations, p, s, 10);
  EXPECT_TRUE(std::isnan(raster.At(5, 5)));          // the black sky
  EXPECT_FALSE(std::isnan(raster.At(200, 150)));     // the middle of the disc
  EXPECT_TRUE(std::isnan(raster.At(-1, 150)));       // outside the raster
  EXPECT_TRUE(std::isnan(raster.At(400, 150)));
  for (TrialStation& st : stations) st.pick = 0.0f;  // no pick: no trial anywhere
  const MisfitRaster none = ComputeMisfitRaster(earth, Rect{0, 0, 400, 300}, stations, p, s, 10);
  EXPECT_TRUE(std::isnan(none.At(200, 150)));
  EXPECT_TRUE(ComputeMisfitRaster(earth, Rect{0, 0, 0, 300}, stations, p, s, 10).Empty());
  EXPECT_TRUE(ComputeMisfitRaster(earth, Rect{0, 0, 400, 300}, stations, p, s, 0).Empty());
}

TEST(MisfitMap, ACancelledComputationGivesNothing) {
  const auto [p, s] = test::EventTables(0.0f);
  const auto records = test::SyntheticRecords(p, 10.0f, 20.0f, 5);
  Earth earth;
  earth.SetView(0.0f, 0.0f, 100.0f, 400, 300);
  std::atomic<bool> cancel{true};
  EXPECT_TRUE(ComputeMisfitRaster(earth, Rect{0, 0, 400, 300}, Stations(records), p, s, 4, &cancel).Empty());
}

}  // namespace
}  // namespace orvane
