#pragma once
// A console reporter that also remembers each benchmark's time per
// iteration, so that a benchmark's main can print ratios of one run.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace orvane::bench {

class TimesReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
        wall[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
        cpu[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      }
    ConsoleReporter::ReportRuns(runs);
  }

  /// @brief Seconds per iteration of benchmark @p name: wall clock @p w and the
  /// process's CPU time @p c (the figure to trust on a machine shared with
  /// other work). False when the benchmark did not run.
  bool Times(const char* name, double& w, double& c) const {
    const auto wi = wall.find(name);
    const auto ci = cpu.find(name);
    if (wi == wall.end() || ci == cpu.end()) return false;
    w = wi->second;
    c = ci->second;
    return w > 0 && c > 0;
  }

 private:
  std::map<std::string, double> wall, cpu;
};

}  // namespace orvane::bench
