// The misfit map is computed on a thread of its own while the student goes on
// clicking trials on the window's thread; both load their travel-time tables.
// Built once more under ThreadSanitizer (ORVANE_TSAN, the "thread" label), which
// must find nothing to report.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "location/BestEpicentre.h"
#include "location/PhaseTables.h"
#include "location/SyntheticEvent.h"
#include "location/TrialLocation.h"
#include "map/MisfitMap.h"
#include "support/TrialStateGuard.h"

namespace orvane {
namespace {

// Depth columns of their own for the map and for the clicks, so that each
// thread reads tables that the other has not read yet.
constexpr float kMapDepths[] = {33.0f, 300.0f, 450.0f, 700.0f};

struct Click {
  float lat, lon, depth;
};
constexpr Click kClicks[] = {{36.0f, 140.0f, 0.0f},   {30.0f, 150.0f, 100.0f}, {40.0f, 130.0f, 600.0f},
                             {35.9f, 140.4f, 250.0f}, {-10.0f, 20.0f, 800.0f}, {60.0f, -20.0f, 33.0f}};

MisfitRaster MapAt(const std::vector<TrialStation>& stations, float depth) {
  const PhaseTables tables = LoadPhaseTables(depth);
  Earth earth;
  earth.SetView(140.0f, -36.0f, 250.0f, 120, 90);
  return ComputeMisfitRaster(earth, Rect{0, 0, 120, 90}, stations, *tables.p, *tables.s, 6);
}

BestEpicentreResult KeyAt(const std::vector<TrialStation>& stations, float depth) {
  const PhaseTables tables = LoadPhaseTables(depth);
  return FindBestEpicentre(stations, *tables.p, *tables.s);
}

struct Marks {
  TrialResult result;
  std::vector<float> fields;  // user5 and t1 of each record after the trial
};

Marks Click(std::vector<KSAC*>& records, const Click& c) {
  TrialState state;
  Marks m{TrialLocation(records, c.lat, c.lon, c.depth, state), {}};
  for (const KSAC* r : records) {
    m.fields.push_back(r->GetFloatHeader(KSAC::USER5));
    m.fields.push_back(r->GetPick(1));
  }
  return m;
}

TEST(MisfitThreads, TrialsWhileTheMapIsComputedGiveWhatEachGivesAlone) {
  test::TrialStateGuard guard;
  const auto [p, s] = test::EventTables(33.0f);
  auto records = test::SyntheticRecords(p, 35.9f, 140.4f, 12);
  std::vector<KSAC*> pointers = RecordPointers(records);
  std::vector<TrialStation> stations(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) ASSERT_TRUE(StationOf(*records[i], stations[i]).ok());

  // The map's thread goes through its passes as the view restarts it for
  // each depth; the window's thread clicks until it is done. Every table is
  // loaded for the first time while the other thread works.
  std::vector<MisfitRaster> mapsMeanwhile;
  BestEpicentreResult keyMeanwhile;
  std::atomic<bool> done{false};
  std::thread mapThread([&] {
    for (float depth : kMapDepths) mapsMeanwhile.push_back(MapAt(stations, depth));
    keyMeanwhile = KeyAt(stations, 33.0f);
    for (float depth : kMapDepths) mapsMeanwhile.push_back(MapAt(stations, depth));
    done = true;
  });
  std::vector<Marks> clicksMeanwhile;
  while (!done || clicksMeanwhile.size() < 2 * std::size(kClicks))
    clicksMeanwhile.push_back(Click(pointers, kClicks[clicksMeanwhile.size() % std::size(kClicks)]));
  mapThread.join();

  // The same, one after the other.
  for (std::size_t i = 0; i < clicksMeanwhile.size(); ++i) {
    SCOPED_TRACE(i);
    const Marks& meanwhile = clicksMeanwhile[i];
    const Marks alone = Click(pointers, kClicks[i % std::size(kClicks)]);
    ASSERT_TRUE(alone.result.ok()) << alone.result.reason;
    ASSERT_TRUE(meanwhile.result.ok()) << meanwhile.result.reason;
    EXPECT_EQ(meanwhile.result.originTicks, alone.result.originTicks);
    EXPECT_EQ(meanwhile.result.rms, alone.result.rms);
    EXPECT_EQ(meanwhile.fields, alone.fields);
  }
  ASSERT_EQ(mapsMeanwhile.size(), 2 * std::size(kMapDepths));
  for (std::size_t i = 0; i < mapsMeanwhile.size(); ++i) {
    SCOPED_TRACE(i);
    const MisfitRaster alone = MapAt(stations, kMapDepths[i % std::size(kMapDepths)]);
    ASSERT_EQ(mapsMeanwhile[i].rms.size(), alone.rms.size());
    ASSERT_FALSE(alone.rms.empty());
    for (std::size_t k = 0; k < alone.rms.size(); ++k) {
      if (std::isnan(alone.rms[k])) EXPECT_TRUE(std::isnan(mapsMeanwhile[i].rms[k])) << k;
      else EXPECT_EQ(mapsMeanwhile[i].rms[k], alone.rms[k]) << k;
    }
  }
  const BestEpicentreResult key = KeyAt(stations, 33.0f);
  ASSERT_TRUE(key.ok());
  EXPECT_EQ(keyMeanwhile.lat, key.lat);
  EXPECT_EQ(keyMeanwhile.lon, key.lon);
  EXPECT_EQ(keyMeanwhile.trial.rms, key.trial.rms);
}

// The view cancels a map from its own thread while the map's workers share
// out the rows: every worker stops, and the map gives nothing.
TEST(MisfitThreads, AMapCancelledFromAnotherThreadGivesNothing) {
  const auto [p, s] = test::EventTables(33.0f);
  const auto records = test::SyntheticRecords(p, 35.9f, 140.4f, 12);
  std::vector<TrialStation> stations(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) ASSERT_TRUE(StationOf(*records[i], stations[i]).ok());
  Earth earth;
  earth.SetView(140.0f, -36.0f, 290.0f, 800, 600);
  std::atomic<bool> cancel{false};
  MisfitRaster raster;
  std::thread mapThread([&] { raster = ComputeMisfitRaster(earth, Rect{0, 0, 800, 600}, stations, p, s, 1, &cancel); });
  cancel = true;
  mapThread.join();
  EXPECT_TRUE(raster.Empty());
}

}  // namespace
}  // namespace orvane
