#include "location/TravelTimeGrid.h"

#include <algorithm>
#include <cmath>

#include "location/PhaseTables.h"

namespace orvane {
namespace {

// Time and slope of one column at @p x degrees, in double precision.
double ColumnTime(const JB& column, double x, double& slope) {
  const int last = column.count - 1;
  if (!(x > 0.0)) x = 0.0;
  if (x >= last) {
    slope = 0.0;
    return column.times[last];
  }
  const int i = static_cast<int>(x);
  const double t0 = column.times[i];
  slope = static_cast<double>(column.times[i + 1]) - t0;
  return t0 + (x - i) * slope;
}

}  // namespace

TravelTimeGrid TravelTimeGrid::Load(const std::string& phase, EarthModel model) {
  TravelTimeGrid grid;
  grid.model_ = model;
  grid.phase_ = phase;
  for (int c = 0; c < JB::kColumns; ++c)
    grid.columns_[c] = LoadPhaseTable(phase, static_cast<float>(JB::kColumnDepths[c]), model);
  return grid;
}

TravelTimeGrid TravelTimeGrid::FromText(std::string_view text, const std::string& phase, EarthModel model,
                                        const std::string& name) {
  TravelTimeGrid grid;
  grid.model_ = model;
  grid.phase_ = phase;
  for (int c = 0; c < JB::kColumns; ++c)
    grid.columns_[c] =
        std::make_shared<const JB>(JB::FromText(text, static_cast<float>(JB::kColumnDepths[c]), name));
  return grid;
}

bool TravelTimeGrid::IsUsable() const {
  return std::all_of(columns_.begin(), columns_.end(), [](const auto& c) { return c && c->count >= 2; });
}

double TravelTimeGrid::Time(double distance, double depth, double* slowness) const {
  const auto& depths = JB::kColumnDepths;
  // The column interval holding the depth, and the weight of its deeper end.
  std::size_t c = 0;
  double w = 0.0;
  if (depth >= depths.back()) {
    c = depths.size() - 2;
    w = 1.0;
  } else if (depth > depths.front()) {
    c = static_cast<std::size_t>(std::upper_bound(depths.begin(), depths.end(), depth) - depths.begin()) - 1;
    w = (depth - depths[c]) / (depths[c + 1] - depths[c]);
  }
  double s0 = 0.0, s1 = 0.0;
  const double t0 = ColumnTime(*columns_[c], distance, s0);
  const double t1 = ColumnTime(*columns_[c + 1], distance, s1);
  if (slowness != nullptr) *slowness = (1.0 - w) * s0 + w * s1;
  return (1.0 - w) * t0 + w * t1;
}

}  // namespace orvane
