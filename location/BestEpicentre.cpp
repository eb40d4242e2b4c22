#include "location/BestEpicentre.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "location/GreatCircle.h"

namespace orvane {

namespace {

constexpr float kCoarseStep = 2.0f;         // degrees between coarse grid points
constexpr int kStarts = 12;                 // low points refined
constexpr float kStartSeparation = 8.0f;    // degrees between refined low points
constexpr int kHalfWidth = 3;               // refinement grid: (2*3+1)^2 points
constexpr float kFinestSpan = 1.0e-4f;      // degrees

struct Point {
  float lat = 0.0f;
  float lon = 0.0f;
  float rms = 0.0f;
};

// Longitude into (-180, 180].
float WrapLongitude(float lon) {
  while (lon > 180.0f) lon -= 360.0f;
  while (lon <= -180.0f) lon += 360.0f;
  return lon;
}

class Search {
 public:
  Search(std::span<const TrialStation> stations, const JB& p, const JB& s)
      : stations_(stations), p_(p), s_(s) {}

  // RMS at (lat, lon); the trial arithmetic cannot refuse once the first
  // evaluation has succeeded (same stations, same tables).
  float Rms(float lat, float lon) {
    ++evaluations;
    const TrialResult r = EvaluateTrial(stations_, lat, lon, p_, s_, {});
    return r.ok() ? r.rms : INFINITY;
  }

  Point Refine(Point best) {
    for (float span = kCoarseStep; span >= kFinestSpan; span *= 0.5f) {
      const Point centre = best;
      const float step = span / kHalfWidth;
      for (int i = -kHalfWidth; i <= kHalfWidth; ++i) {
        const float lat = std::clamp(centre.lat + i * step, -90.0f, 90.0f);
        for (int j = -kHalfWidth; j <= kHalfWidth; ++j) {
          if (i == 0 && j == 0) continue;
          const float lon = WrapLongitude(centre.lon + j * step);
          const float rms = Rms(lat, lon);
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
};

}  // namespace

BestEpicentreResult FindBestEpicentre(std::span<const TrialStation> stations, const JB& p, const JB& s) {
  BestEpicentreResult result;
  result.trial = EvaluateTrial(stations, 0.0f, 0.0f, p, s, {});
  if (!result.trial.ok()) return result;

  Search search(stations, p, s);
  // Coarse grid over the whole sphere, poles included.
  std::vector<Point> grid;
  for (float lat = -90.0f; lat <= 90.0f; lat += kCoarseStep) {
    const bool pole = std::fabs(lat) == 90.0f;
    for (float lon = -180.0f + kCoarseStep; lon <= 180.0f; lon += kCoarseStep) {
      grid.push_back(Point{lat, lon, search.Rms(lat, lon)});
      if (pole) break;  // one point is the whole pole
    }
  }
  std::stable_sort(grid.begin(), grid.end(), [](const Point& a, const Point& b) { return a.rms < b.rms; });

  // Well separated low points.
  std::vector<Point> starts;
  for (const Point& candidate : grid) {
    if (static_cast<int>(starts.size()) >= kStarts) break;
    bool near = false;
    for (const Point& s2 : starts) {
      if (GreatCircle(candidate.lat, candidate.lon, s2.lat, s2.lon) < kStartSeparation) {
        near = true;
        break;
      }
    }
    if (!near) starts.push_back(candidate);
  }

  Point best = starts.front();
  for (const Point& start : starts) {
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
