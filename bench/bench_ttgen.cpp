// ttgen: a whole table (P, S) from iasp91, and one single value, so that one
// run shows what the sweep costs against the per-entry root solving.

#include <benchmark/benchmark.h>

#include <string>

#include "tools/ttgen/TableGenerator.h"

namespace orvane::ttgen {
namespace {

const EarthModel& Model() {
  static const EarthModel model = EarthModel::Load(std::string(ORVANE_TTGEN_MODELS) + "/iasp91.tvel");
  return model;
}

void BM_Table(benchmark::State& state) {
  const Phase phase = state.range(0) == 0 ? Phase::P : Phase::S;
  for (auto _ : state) benchmark::DoNotOptimize(TableGenerator::Generate(Model(), phase).size());
}
BENCHMARK(BM_Table)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SingleValue(benchmark::State& state) {
  for (auto _ : state) {
    const TravelTimeCalculator calc(Model(), {100.0});
    benchmark::DoNotOptimize(calc.Compute(Phase::P, 0, 45.0).time);
  }
}
BENCHMARK(BM_SingleValue)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane::ttgen

BENCHMARK_MAIN();
