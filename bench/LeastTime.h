#pragma once
// The least CPU time of a benchmark's repetitions: on a machine shared with
// other work the slower runs measure that work too. A benchmark adds the
// "min" statistic (->ComputeStatistics("min", Least)) and its main runs
// with a LeastTimeReporter to print ratios of those least times.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace orvane::bench {

/// The "min" statistic over the repetitions of a benchmark.
inline double Least(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

/// A console reporter that keeps, by benchmark function name, the CPU time
/// of the "min" aggregate in the benchmark's unit.
class LeastTimeReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
        least[run.run_name.function_name] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> least;
};

}  // namespace orvane::bench
