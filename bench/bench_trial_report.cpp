// The teacher's report of an exercise (orvane-tool exercise, Export Trials):
// every trial with its distance from the answer key at its depth. The trials
// of an exercise may lie at many different depths (a student who tried them
// all, or an exercise file written by a script); the report searches the
// answer key, and the precise key, once per depth column of the tables (at
// most fourteen), however many depths and trials the exercise holds. The run
// ends with the cost of a report in answer-key searches: its CPU time over
// that of one search (a precise key costs about a tenth of one).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TimesReporter.h"
#include "location/BestEpicentre.h"
#include "location/PhaseTables.h"
#include "location/SyntheticEvent.h"
#include "view/TrialReport.h"

namespace {

using namespace orvane;

struct Event {
  std::vector<std::unique_ptr<KSAC>> records;
  std::vector<KSAC*> pointers;
  std::vector<TrialStation> stations;
  Event() {
    const auto [p, s] = test::EventTables(33.0f);
    records = test::SyntheticRecords(p, 35.9f, 140.4f, 12);
    pointers = RecordPointers(records);
    stations.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) StationOf(*records[i], stations[i]);
  }
};

const Event& TheEvent() {
  static const Event event;
  return event;
}

void BM_OneSearch(benchmark::State& state) {
  const Event& e = TheEvent();
  for (auto _ : state) {
    const PhaseTables tables = LoadPhaseTables(33.0f);
    benchmark::DoNotOptimize(FindBestEpicentre(e.stations, *tables.p, *tables.s));
  }
}
BENCHMARK(BM_OneSearch)->Unit(benchmark::kMillisecond);

// Trials at as many different depths, from 0 to 800 km.
void BM_TrialReport(benchmark::State& state) {
  const Event& e = TheEvent();
  const auto count = static_cast<std::size_t>(state.range(0));
  std::vector<ExerciseTrial> trials;
  for (std::size_t i = 0; i < count; ++i)
    trials.push_back({36.0f, 140.0f, 800.0f * static_cast<float>(i) / static_cast<float>(count), 1.0f});
  std::size_t keys = 0;
  for (auto _ : state) {
    const TrialReport report = MakeTrialReport(e.pointers, trials);
    keys = report.keys.size();
  }
  state.counters["answerKeys"] = static_cast<double>(keys);
}
BENCHMARK(BM_TrialReport)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  orvane::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double searchW, searchC;
  if (reporter.Times("BM_OneSearch", searchW, searchC)) {
    for (const char* name : {"BM_TrialReport/100", "BM_TrialReport/100000"}) {
      double w, c;
      if (reporter.Times(name, w, c))
        std::printf("%s: %.0f ms CPU, the cost of %.1f answer-key searches\n", name, c * 1e3, c / searchC);
    }
  }
  benchmark::Shutdown();
  return 0;
}
