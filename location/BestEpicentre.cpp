#include "location/BestEpicentre.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "location/GreatCircle.h"

namespace orvane {

namespace {

constexpr float kCoarseStep = 3.0f;        // degrees between coarse grid points
constexpr int kStarts = 16;                // candidates taken to the exact refinement
constexpr float kStartSeparation = 3.0f;   // degrees between candidates
constexpr int kPolish = 10;                // Gauss-Newton steps per candidate
constexpr double kMaxStep = 4.0;           // degrees per Gauss-Newton step
constexpr double kDerivativeStep = 0.05;   // degrees
constexpr float kFirstSpan = 1.0f;         // degrees, first exact refinement grid
constexpr int kHalfWidth = 3;              // refinement grid: (2*3+1)^2 points
constexpr float kFinestSpan = 1.0e-4f;     // degrees

struct Point {
  float lat = 0.0f;
  float lon = 0.0f;
  double rms = 0.0;
};

// Longitude into (-180, 180].
float WrapLongitude(float lon) {
  while (lon > 180.0f) lon -= 360.0f;
  while (lon <= -180.0f) lon += 360.0f;
  return lon;
}

Point Normalised(double lat, double lon) {
  // Across a pole: continue on the other side.
  if (lat > 90.0) {
    lat = 180.0 - lat;
    lon += 180.0;
  } else if (lat < -90.0) {
    lat = -180.0 - lat;
    lon += 180.0;
  }
  Point p;
  p.lat = static_cast<float>(std::clamp(lat, -90.0, 90.0));
  p.lon = WrapLongitude(static_cast<float>(std::fmod(lon, 360.0)));
  return p;
}

class Search {
 public:
  Search(std::span<const TrialStation> stations, const JB& p, const JB& s)
      : stations_(stations), p_(p), s_(s) {
    // The smooth stand-in works on the picked records' arrival instants in
    // seconds from the first one.
    FileTime base = 0;
    bool first = true;
    for (const TrialStation& st : stations) {
      if (st.pick == 0.0f || !st.takesPart) continue;
      if (first) base = st.pickTicks, first = false;
      picked_.push_back(st);
      arrival_.push_back(static_cast<double>(st.pickTicks - base) / kTicksPerSecond);
    }
  }

  // The exact RMS of a trial at (lat, lon).
  double Rms(float lat, float lon) {
    ++evaluations;
    const TrialResult r = EvaluateTrial(stations_, lat, lon, p_, s_, {});
    return r.ok() ? r.rms : INFINITY;
  }

  // The misfit without the whole-second and tenth cuts: the RMS of the
  // arrivals minus the travel times about their mean (the best origin time).
  // Smooth between table rows, so it can guide the search to the valley that
  // the exact, stepped RMS then settles in. Leaves the residuals in @p out.
  double Smooth(float lat, float lon, std::vector<double>& out) {
    ++evaluations;
    out.resize(picked_.size());
    double mean = 0.0;
    for (std::size_t i = 0; i < picked_.size(); ++i) {
      const float d = GreatCircle(picked_[i].stla, picked_[i].stlo, lat, lon);
      out[i] = arrival_[i] - p_.TravelTime(d);
      mean += out[i];
    }
    mean /= static_cast<double>(picked_.size());
    double sum = 0.0;
    for (double& r : out) {
      r -= mean;
      sum += r * r;
    }
    return std::sqrt(sum / static_cast<double>(picked_.size()));
  }

  // One damped Gauss-Newton step of the smooth misfit from @p at; the better
  // of the two points.
  Point Step(const Point& at) {
    Point here = at;
    here.rms = Smooth(at.lat, at.lon, r0_);
    const double hLat = at.lat + kDerivativeStep > 90.0 ? -kDerivativeStep : kDerivativeStep;
    Smooth(static_cast<float>(at.lat + hLat), at.lon, r1_);
    Smooth(at.lat, WrapLongitude(static_cast<float>(at.lon + kDerivativeStep)), r2_);
    double a11 = 0, a12 = 0, a22 = 0, b1 = 0, b2 = 0;
    for (std::size_t i = 0; i < r0_.size(); ++i) {
      const double j1 = (r1_[i] - r0_[i]) / hLat;
      const double j2 = (r2_[i] - r0_[i]) / kDerivativeStep;
      a11 += j1 * j1;
      a12 += j1 * j2;
      a22 += j2 * j2;
      b1 -= j1 * r0_[i];
      b2 -= j2 * r0_[i];
    }
    // A little damping keeps the step finite where a direction is flat.
    const double damping = 1e-6 * (a11 + a22) + 1e-12;
    a11 += damping;
    a22 += damping;
    const double det = a11 * a22 - a12 * a12;
    if (!(det > 0.0) || !std::isfinite(det)) return here;
    const double dLat = std::clamp((b1 * a22 - b2 * a12) / det, -kMaxStep, kMaxStep);
    const double dLon = std::clamp((a11 * b2 - a12 * b1) / det, -kMaxStep, kMaxStep);
    for (double shrink = 1.0; shrink > 0.01; shrink *= 0.5) {
      Point next = Normalised(at.lat + shrink * dLat, at.lon + shrink * dLon);
      next.rms = Smooth(next.lat, next.lon, r1_);
      if (next.rms < here.rms) return next;
    }
    return here;
  }

  // Shrinking grids of exact trials around @p best.
  Point Refine(Point best) {
    best.rms = Rms(best.lat, best.lon);
    for (float span = kFirstSpan; span >= kFinestSpan; span *= 0.5f) {
      const Point centre = best;
      const float step = span / kHalfWidth;
      for (int i = -kHalfWidth; i <= kHalfWidth; ++i) {
        const float lat = std::clamp(centre.lat + static_cast<float>(i) * step, -90.0f, 90.0f);
        for (int j = -kHalfWidth; j <= kHalfWidth; ++j) {
          if (i == 0 && j == 0) continue;
          const float lon = WrapLongitude(centre.lon + static_cast<float>(j) * step);
          const double rms = Rms(lat, lon);
          if (rms < best.rms) best = Point{lat, lon, rms};
        }
      }
    }
    return best;
  }

  int evaluations = 0;

 private:
  std::span<const TrialStation> stations_;
  const JB& p_;
  const JB& s_;
  std::vector<TrialStation> picked_;
  std::vector<double> arrival_;
  std::vector<double> r0_, r1_, r2_;
};

}  // namespace

BestEpicentreResult FindBestEpicentre(std::span<const TrialStation> stations, const JB& p, const JB& s) {
  BestEpicentreResult result;
  result.trial = EvaluateTrial(stations, 0.0f, 0.0f, p, s, {});
  if (!result.trial.ok()) return result;

  Search search(stations, p, s);
  // A coarse grid over the whole sphere, each point moved one Gauss-Newton
  // step down the smooth misfit: the misfit is steep (several seconds per
  // degree), so a grid point next to the true epicentre can look worse than
  // a shallow false minimum until it has taken its step.
  std::vector<Point> grid;
  for (float lat = -90.0f + kCoarseStep / 2; lat < 90.0f; lat += kCoarseStep) {
    for (float lon = -180.0f + kCoarseStep; lon <= 180.0f; lon += kCoarseStep)
      grid.push_back(search.Step(Point{lat, lon, 0.0}));
  }
  std::stable_sort(grid.begin(), grid.end(), [](const Point& a, const Point& b) { return a.rms < b.rms; });

  std::vector<Point> starts;
  for (const Point& candidate : grid) {
    if (static_cast<int>(starts.size()) >= kStarts) break;
    bool near = false;
    for (const Point& other : starts) {
      if (GreatCircle(candidate.lat, candidate.lon, other.lat, other.lon) < kStartSeparation) {
        near = true;
        break;
      }
    }
    if (!near) starts.push_back(candidate);
  }

  Point best{0.0f, 0.0f, INFINITY};
  for (Point start : starts) {
    for (int k = 0; k < kPolish; ++k) start = search.Step(start);
    const Point refined = search.Refine(start);
    if (refined.rms < best.rms) best = refined;
  }

  result.trial = EvaluateTrial(stations, best.lat, best.lon, p, s, {});
  result.lat = best.lat;
  result.lon = best.lon;
  result.evaluations = search.evaluations + 2;
  return result;
}

}  // namespace orvane
