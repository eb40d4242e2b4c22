// The location engine: one trial location as a click makes it (the tables
// from LoadPhaseTables) for 200 stations, the best-epicentre search for 50
// stations, and the precise answer key with a search over depth for a deep
// event at 163 stations (the teacher's target: 5 s at most). Reading both table files, and getting them from LoadPhaseTables
// (which reads them once and then only checks that the files are unchanged),
// are measured too, so that one run gives the share of the trial spent on
// tables.

#include <benchmark/benchmark.h>

#include <cmath>

#include "location/BestEpicentre.h"
#include "location/GreatCircle.h"
#include "location/PhaseTables.h"
#include "location/PreciseKey.h"
#include "location/StandInNetwork.h"
#include "location/RMS.h"
#include "location/SyntheticEvent.h"
#include "location/TrialLocation.h"

namespace orvane {
namespace {

void BM_ReadBothTables(benchmark::State& state) {
  for (auto _ : state) {
    JB p("P", 33.0f), s("S", 33.0f);
    benchmark::DoNotOptimize(p.count + s.count);
  }
}
BENCHMARK(BM_ReadBothTables)->Unit(benchmark::kMicrosecond);

void BM_LoadPhaseTables(benchmark::State& state) {
  for (auto _ : state) {
    const PhaseTables tables = LoadPhaseTables(33.0f);
    benchmark::DoNotOptimize(tables.p->count + tables.s->count);
  }
}
BENCHMARK(BM_LoadPhaseTables)->Unit(benchmark::kMicrosecond);

void BM_TrialLocation(benchmark::State& state) {
  const auto [p, s] = test::EventTables(33.0f);
  auto records = test::SyntheticRecords(p, 35.9f, 140.4f, static_cast<std::size_t>(state.range(0)));
  std::vector<KSAC*> pointers = RecordPointers(records);
  TrialState trial;
  for (auto _ : state) {
    const TrialResult r = TrialLocation(pointers, 36.0f, 140.0f, 33.0f, trial);
    if (!r.ok()) state.SkipWithError(r.reason.c_str());
    trialList.clear();
  }
}
BENCHMARK(BM_TrialLocation)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_BestEpicentre(benchmark::State& state) {
  const auto [p0, s0] = test::EventTables(33.0f);
  const auto records = test::SyntheticRecords(p0, -17.8f, -70.3f, static_cast<std::size_t>(state.range(0)));
  std::vector<TrialStation> stations(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) StationOf(*records[i], stations[i]);
  int evaluations = 0;
  for (auto _ : state) {
    const PhaseTables tables = LoadPhaseTables(33.0f);  // once per search, as the tool does
    const BestEpicentreResult best = tables.p->IsUsable() && tables.s->IsUsable()
                                         ? FindBestEpicentre(stations, *tables.p, *tables.s)
                                         : FindBestEpicentre(stations, p0, s0);
    if (!best.ok()) state.SkipWithError(best.trial.reason.c_str());
    evaluations = best.evaluations;
  }
  state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_BestEpicentre)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_PreciseKeyDepthSearch(benchmark::State& state) {
  const TravelTimeGrid grid = TravelTimeGrid::Load("P");
  if (!grid.IsUsable()) {
    state.SkipWithError("the P table is missing");
    return;
  }
  // A deep event (Sea of Okhotsk, 598 km) and arrivals from the tables with a
  // spread of a few tenths of a second.
  constexpr double kLat = 54.892, kLon = 153.221, kDepth = 598.1;
  const FileTime origin = 130'000'000'000'000'000;
  std::vector<PreciseStation> stations;
  int k = 0;
  for (const test::StandInSite& site : test::StandInNetwork(static_cast<std::size_t>(state.range(0)))) {
    double slowness = 0.0;
    const double travel = grid.Time(GeocentricDistance(site.lat, site.lon, kLat, kLon), kDepth, &slowness);
    const double arrival = travel + ElevationDelay(grid, slowness, site.elevation) + 0.3 * std::sin(++k * 2.4);
    stations.push_back({site.lat, site.lon, site.elevation, origin, arrival});
  }
  int evaluations = 0;
  for (auto _ : state) {
    const PreciseKeyResult key = FindPreciseKey(stations, grid, 33.0, /*searchDepth=*/true);
    if (!key.ok()) state.SkipWithError(key.trial.reason.c_str());
    evaluations = key.evaluations;
  }
  state.counters["evaluations"] = evaluations;
}
BENCHMARK(BM_PreciseKeyDepthSearch)->Arg(163)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
