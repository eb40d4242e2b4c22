#include "tools/ttgen/TableGenerator.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "tools/ttgen/TableDepths.h"
#include "tools/ttgen/TableFormatter.h"

namespace orvane::ttgen {

std::string TableGenerator::Generate(const EarthModel& model, Phase phase, Report* report) {
  if (phase != Phase::P && phase != Phase::S) throw std::invalid_argument("tables exist for P and S only");
  const TravelTimeCalculator calc(model, std::vector<double>(kTableDepths.begin(), kTableDepths.end()));
  const std::vector<std::vector<double>> times = calc.Table(phase);
  std::vector<std::vector<std::int64_t>> columns;
  for (std::size_t c = 0; c < times.size(); ++c) {
    double deviation = 0.0;
    columns.push_back(TableFormatter::RoundIncreasing(times[c], deviation));
    if (report == nullptr) continue;
    report->largestError.push_back(deviation);
    for (std::size_t r = 0; r < times[c].size(); ++r) {
      const auto rounded = static_cast<std::int64_t>(std::floor(times[c][r] * 10.0 + 0.5));
      if (columns.back()[r] != rounded)
        report->moved.push_back({c, r, times[c][r], static_cast<double>(columns.back()[r]) / 10.0});
    }
  }
  return TableFormatter::Format(columns);
}

}  // namespace orvane::ttgen
