// The location engine: one trial location as a click makes it (the tables
// from LoadPhaseTables) for 200 stations, and the best-epicentre search for 50
// stations. Reading both table files, and getting them from LoadPhaseTables
// (which reads them once and then only checks that the files are unchanged),
// are measured too, so that one run gives the share of the trial spent on
// tables.

#include <benchmark/benchmark.h>

#include "location/BestEpicentre.h"
#include "location/PhaseTables.h"
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

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
