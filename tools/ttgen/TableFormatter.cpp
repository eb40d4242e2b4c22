#include "tools/ttgen/TableFormatter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace orvane::ttgen {

namespace {

// Can every time move by at most e tenths onto a strictly increasing sequence
// of whole tenths? Bounds per row are [ceil(x − e), floor(x + e)].
bool Feasible(const std::vector<double>& x, double e) {
  double previous = -1e300;
  for (double v : x) {
    const double lo = std::max(std::ceil(v - e), previous + 1.0);
    if (lo > std::floor(v + e)) return false;
    previous = lo;
  }
  return true;
}

}  // namespace

std::vector<std::int64_t> TableFormatter::RoundIncreasing(const std::vector<double>& times, double& maxDeviation) {
  const std::size_t n = times.size();
  std::vector<double> x(n);
  for (std::size_t k = 0; k < n; ++k) {
    if (!std::isfinite(times[k]) || times[k] < 0.0) throw std::runtime_error("travel time negative or not finite");
    x[k] = times[k] * 10.0;
    if (std::floor(x[k] + 0.5) > static_cast<double>(kMaxTenths))
      throw std::runtime_error("travel time of 10000 s or more does not fit the 7-character field");
  }
  // Smallest allowed error e (tenths) at which an increasing sequence exists;
  // never below plain rounding's 0.5, so rounding stays wherever it fits.
  double e = 0.5;
  if (!Feasible(x, e)) {
    double lo = 0.5, hi = 5.0;
    if (!Feasible(x, hi)) throw std::runtime_error("travel times do not increase with distance");
    for (int i = 0; i < 60; ++i) {
      const double mid = 0.5 * (lo + hi);
      (Feasible(x, mid) ? hi : lo) = mid;
    }
    e = hi;
  }
  // Bounds carried forwards (each row above the one before) and backwards
  // (each row below the one after), then the rounded value clamped into them.
  std::vector<double> lower(n), upper(n);
  for (std::size_t k = 0; k < n; ++k) {
    lower[k] = std::ceil(x[k] - e);
    if (k > 0) lower[k] = std::max(lower[k], lower[k - 1] + 1.0);
  }
  for (std::size_t k = n; k-- > 0;) {
    upper[k] = std::floor(x[k] + e);
    if (k + 1 < n) upper[k] = std::min(upper[k], upper[k + 1] - 1.0);
  }
  std::vector<std::int64_t> out(n);
  maxDeviation = 0.0;
  double previous = -1e300;
  for (std::size_t k = 0; k < n; ++k) {
    double v = std::floor(x[k] + 0.5);
    v = std::clamp(v, std::max(lower[k], previous + 1.0), upper[k]);
    out[k] = static_cast<std::int64_t>(v);
    previous = v;
    maxDeviation = std::max(maxDeviation, std::fabs(v - x[k]) / 10.0);
  }
  return out;
}

std::string TableFormatter::Format(const std::vector<std::vector<std::int64_t>>& columns) {
  if (columns.size() != static_cast<std::size_t>(kColumns)) throw std::invalid_argument("a table has 14 columns");
  const std::size_t rows = columns[0].size();
  std::string text;
  text.reserve(rows * (kRowLength + 1));
  char field[32];
  for (std::size_t r = 0; r < rows; ++r) {
    std::snprintf(field, sizeof field, "%5zu", r);
    text += field;
    for (const auto& column : columns) {
      if (column.size() != rows) throw std::invalid_argument("table columns of different length");
      const std::int64_t t = column[r];
      if (t < 0 || t > kMaxTenths) throw std::invalid_argument("travel time outside the 7-character field");
      std::snprintf(field, sizeof field, "%5lld.%lld", static_cast<long long>(t / 10), static_cast<long long>(t % 10));
      text += field;
    }
    text += '\n';
  }
  return text;
}

}  // namespace orvane::ttgen
