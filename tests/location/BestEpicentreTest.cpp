// The search for the smallest RMS finds the epicentre of synthetic events.

#include "location/BestEpicentre.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "location/GreatCircle.h"
#include "location/RMS.h"
#include "location/SyntheticEvent.h"

namespace orvane {
namespace {

std::vector<TrialStation> Stations(const std::vector<std::unique_ptr<KSAC>>& records) {
  std::vector<TrialStation> stations(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TrialResult r = StationOf(*records[i], stations[i]);
    EXPECT_TRUE(r.ok()) << r.reason;
  }
  return stations;
}

TEST(BestEpicentre, FindsTheTrueEpicentreOfSyntheticEvents) {
  struct Event {
    float lat, lon, depth;
    std::size_t stations;
  };
  const Event events[] = {
      {35.9f, 140.4f, 33.0f, 12}, {-17.8f, -70.3f, 120.0f, 10}, {52.1f, -168.4f, 10.0f, 15},
      {2.4f, 96.1f, 600.0f, 8},   {-56.2f, -26.9f, 0.0f, 15},   {38.3f, 21.7f, 15.0f, 30},
  };
  trialList.clear();
  for (const Event& e : events) {
    SCOPED_TRACE(testing::Message() << e.lat << "," << e.lon << " at " << e.depth << " km");
    const auto [p, s] = test::EventTables(e.depth);
    const auto records = test::SyntheticRecords(p, e.lat, e.lon, e.stations);
    const auto stations = Stations(records);
    const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
    ASSERT_TRUE(best.ok()) << best.trial.reason;
    const float miss = GreatCircle(best.lat, best.lon, e.lat, e.lon);
    EXPECT_LT(miss, 0.25f) << "found " << best.lat << "," << best.lon << " rms " << best.trial.rms;
    // No worse than the truth, and a small misfit.
    const TrialResult atTruth = EvaluateTrial(stations, e.lat, e.lon, p, s, {});
    EXPECT_LE(best.trial.rms, atTruth.rms);
    EXPECT_LT(best.trial.rms, 1.0f);
    // The reported RMS is what a trial at that point gives.
    EXPECT_EQ(best.trial.rms, EvaluateTrial(stations, best.lat, best.lon, p, s, {}).rms);
    EXPECT_GT(best.lon, -180.0f);
    EXPECT_LE(best.lon, 180.0f);
  }
  EXPECT_TRUE(trialList.empty());
}

TEST(BestEpicentre, RecordsAreNotWritten) {
  const auto [p, s] = test::EventTables(33.0f);
  const auto records = test::SyntheticRecords(p, 10.0f, 10.0f, 6);
  const auto stations = Stations(records);
  const float t1Before = records[0]->GetPick(1);
  ASSERT_TRUE(FindBestEpicentre(stations, p, s).ok());
  EXPECT_EQ(records[0]->GetPick(1), t1Before);
}

TEST(BestEpicentre, RefusalsPassThrough) {
  const auto [p, s] = test::EventTables(0.0f);
  auto records = test::SyntheticRecords(p, 10.0f, 10.0f, 3);
  for (auto& r : records) r->SetPick(0, 0.0f);
  EXPECT_EQ(FindBestEpicentre(Stations(records), p, s).trial.status, TrialStatus::kNoPick);
  const JB empty = JB::FromText("", 0.0f, "S.JB");
  records = test::SyntheticRecords(p, 10.0f, 10.0f, 3);
  const BestEpicentreResult r = FindBestEpicentre(Stations(records), p, empty);
  EXPECT_EQ(r.trial.status, TrialStatus::kMissingTable);
  EXPECT_EQ(r.trial.file, "S.JB");
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// Events anywhere on the globe, at any depth, seen by a random part of the
// network: the search must not settle in a false minimum.
TEST(BestEpicentre, RandomEventsWorldwide) {
  std::mt19937 random(20260301);
  for (int n = 0; n < 24; ++n) {
    const float lat = static_cast<float>(std::asin(2.0 * (random() / 4294967296.0) - 1.0) * 180.0 / M_PI);
    const float lon = static_cast<float>(-180.0 + 360.0 * (random() / 4294967296.0));
    const float depth = static_cast<float>(700.0 * (random() / 4294967296.0));
    const std::size_t count = 6 + random() % 10;
    SCOPED_TRACE(testing::Message() << lat << "," << lon << " at " << depth << " km, " << count << " stations");
    const auto [p, s] = test::EventTables(depth);
    const auto records = test::SyntheticRecords(p, lat, lon, count);
    std::vector<TrialStation> stations(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) ASSERT_TRUE(StationOf(*records[i], stations[i]).ok());
    const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
    ASSERT_TRUE(best.ok());
    const TrialResult atTruth = EvaluateTrial(stations, lat, lon, p, s, {});
    EXPECT_LE(best.trial.rms, atTruth.rms);
    EXPECT_LT(GreatCircle(best.lat, best.lon, lat, lon), 0.5f)
        << "found " << best.lat << "," << best.lon << " rms " << best.trial.rms << " (truth " << atTruth.rms << ")";
  }
}

// One or two picked stations cannot fix an epicentre; the search still ends
// with a point whose RMS is what a trial there gives.
TEST(BestEpicentre, TooFewStationsStillGiveATrial) {
  const auto [p, s] = test::EventTables(0.0f);
  for (std::size_t count : {1u, 2u}) {
    SCOPED_TRACE(count);
    const auto records = test::SyntheticRecords(p, 20.0f, 30.0f, count);
    std::vector<TrialStation> stations(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) ASSERT_TRUE(StationOf(*records[i], stations[i]).ok());
    const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
    ASSERT_TRUE(best.ok());
    EXPECT_TRUE(std::isfinite(best.lat) && std::isfinite(best.lon));
    EXPECT_LE(std::fabs(best.lat), 90.0f);
    EXPECT_EQ(best.trial.rms, EvaluateTrial(stations, best.lat, best.lon, p, s, {}).rms);
    EXPECT_LE(best.trial.rms, EvaluateTrial(stations, 20.0f, 30.0f, p, s, {}).rms);
  }
}

}  // namespace
}  // namespace orvane
