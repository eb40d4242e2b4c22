#include "location/PreciseKey.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "location/GreatCircle.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

constexpr double kRadians = std::numbers::pi / 180.0;
constexpr double kLowestElevation = -12000.0;  // metres; beyond: no usable elevation
constexpr double kHighestElevation = 9000.0;

constexpr double kCoarseStep = 3.0;        // degrees between points of the first grid
constexpr int kStarts = 8;                 // candidates taken further
constexpr double kStartSeparation = 3.0;   // degrees between candidates
constexpr double kMaxStep = 5.0;           // degrees per Gauss-Newton step
constexpr int kSteps = 40;                 // Gauss-Newton steps at most per minimisation
constexpr double kFirstSpan = 0.02;        // degrees, first polishing grid
constexpr double kFinestSpan = 1.0e-6;     // degrees
constexpr double kDepthStep = 5.0;         // km between the depths of the scan
constexpr double kDepthTolerance = 0.01;   // km

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;
};

double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Unit(double theta, double lambda) {
  const double t = theta * kRadians, l = lambda * kRadians;
  return {std::cos(t) * std::cos(l), std::cos(t) * std::sin(l), std::sin(t)};
}

// A position of the search: geocentric latitude and longitude in degrees,
// and the sum of squared residuals about their mean there.
struct Point {
  double theta = 0.0;
  double lambda = 0.0;
  double ss = INFINITY;
};

double WrapLongitude(double lon) {
  lon = std::fmod(lon, 360.0);
  if (lon > 180.0) lon -= 360.0;
  if (lon <= -180.0) lon += 360.0;
  return lon;
}

Point Normalised(double theta, double lambda) {
  // Across a pole: continue on the other side.
  if (theta > 90.0) {
    theta = 180.0 - theta;
    lambda += 180.0;
  } else if (theta < -90.0) {
    theta = -180.0 - theta;
    lambda += 180.0;
  }
  return Point{std::clamp(theta, -90.0, 90.0), WrapLongitude(lambda)};
}

PreciseTrial Refusal(TrialStatus status, std::string reason, std::string file = {}) {
  PreciseTrial r;
  r.status = status;
  r.reason = std::move(reason);
  r.file = std::move(file);
  return r;
}

// One picked station as the search sees it.
struct Observation {
  Vec3 u;              // geocentric unit vector of the station
  double arrival;      // seconds after the search's base instant
  double elevation;    // metres
};

class Search {
 public:
  Search(std::span<const PreciseStation> stations, const TravelTimeGrid& p) : p_(p) {
    bool first = true;
    for (const PreciseStation& st : stations) {
      if (!st.takesPart || st.pick == 0.0) continue;
      if (first) base_ = st.referenceTicks, first = false;
      const double seconds = static_cast<double>(st.referenceTicks - base_) / kTicksPerSecond + st.pick;
      observations_.push_back({Unit(GeocentricLatitude(st.lat), st.lon), seconds, st.elevation});
    }
    const std::size_t n = observations_.size();
    r_.resize(n);
    jTheta_.resize(n);
    jLambda_.resize(n);
  }

  std::size_t size() const { return observations_.size(); }
  FileTime base() const { return base_; }

  // The residuals (observed minus computed arrival, before the origin time)
  // at a point and depth, their sum of squares about their mean, and with
  // @p derivatives their derivatives by latitude and longitude (degrees),
  // also about their mean. @p origin receives the mean.
  double Misfit(double theta, double lambda, double depth, bool derivatives, double* origin = nullptr) {
    ++evaluations;
    const double t = theta * kRadians, l = lambda * kRadians;
    const Vec3 e{std::cos(t) * std::cos(l), std::cos(t) * std::sin(l), std::sin(t)};
    const Vec3 north{-std::sin(t) * std::cos(l), -std::sin(t) * std::sin(l), std::cos(t)};
    const Vec3 east{-std::sin(l), std::cos(l), 0.0};
    const double n = static_cast<double>(observations_.size());
    double mean = 0.0, meanTheta = 0.0, meanLambda = 0.0;
    for (std::size_t i = 0; i < observations_.size(); ++i) {
      const Observation& o = observations_[i];
      const Vec3 cross{o.u.y * e.z - o.u.z * e.y, o.u.z * e.x - o.u.x * e.z, o.u.x * e.y - o.u.y * e.x};
      const double sine = std::sqrt(Dot(cross, cross));
      const double distance = std::atan2(sine, Dot(o.u, e)) / kRadians;
      double slowness = 0.0;
      double travel = p_.Time(distance, depth, &slowness);
      if (o.elevation != 0.0) travel += ElevationDelay(p_, slowness, o.elevation);
      r_[i] = o.arrival - travel;
      mean += r_[i];
      if (derivatives) {
        // d(distance)/d(theta) = -(u . north) / sin(distance), and by
        // longitude the same along east, scaled by cos(theta).
        const double inverse = sine > 1e-12 ? 1.0 / sine : 0.0;
        jTheta_[i] = slowness * Dot(o.u, north) * inverse;
        jLambda_[i] = slowness * Dot(o.u, east) * std::cos(t) * inverse;
        meanTheta += jTheta_[i];
        meanLambda += jLambda_[i];
      }
    }
    mean /= n;
    meanTheta /= n;
    meanLambda /= n;
    if (origin != nullptr) *origin = mean;
    double ss = 0.0;
    for (std::size_t i = 0; i < observations_.size(); ++i) {
      r_[i] -= mean;
      ss += r_[i] * r_[i];
      if (derivatives) {
        jTheta_[i] -= meanTheta;
        jLambda_[i] -= meanLambda;
      }
    }
    return ss;
  }

  // One damped Gauss-Newton step from @p at (whose residuals and
  // derivatives Misfit has just left) with damping @p mu; the point it
  // leads to, not yet evaluated.
  Point Proposal(const Point& at, double mu) const {
    double a11 = 0, a12 = 0, a22 = 0, b1 = 0, b2 = 0;
    for (std::size_t i = 0; i < r_.size(); ++i) {
      a11 += jTheta_[i] * jTheta_[i];
      a12 += jTheta_[i] * jLambda_[i];
      a22 += jLambda_[i] * jLambda_[i];
      b1 -= jTheta_[i] * r_[i];
      b2 -= jLambda_[i] * r_[i];
    }
    const double scale = a11 + a22 + 1e-30;
    a11 += mu * a11 + 1e-12 * scale;
    a22 += mu * a22 + 1e-12 * scale;
    const double det = a11 * a22 - a12 * a12;
    if (!(det > 0.0) || !std::isfinite(det)) return at;
    double dTheta = (b1 * a22 - b2 * a12) / det;
    double dLambda = (a11 * b2 - a12 * b1) / det;
    const double length = std::hypot(dTheta, dLambda * std::cos(at.theta * kRadians));
    if (length > kMaxStep) {
      dTheta *= kMaxStep / length;
      dLambda *= kMaxStep / length;
    }
    return Normalised(at.theta + dTheta, at.lambda + dLambda);
  }

  // One Gauss-Newton step down from @p at with halving; the better point.
  Point Step(Point at, double depth) {
    at.ss = Misfit(at.theta, at.lambda, depth, true);
    const Point full = Proposal(at, 0.0);
    const double dTheta = full.theta - at.theta, dLambda = WrapLongitude(full.lambda - at.lambda);
    for (double shrink = 1.0; shrink > 0.01; shrink *= 0.5) {
      Point next = Normalised(at.theta + shrink * dTheta, at.lambda + shrink * dLambda);
      next.ss = Misfit(next.theta, next.lambda, depth, false);
      if (next.ss < at.ss) return next;
    }
    return at;
  }

  // The nearest minimum in position at a fixed depth: damped Gauss-Newton
  // (Levenberg-Marquardt) steps.
  Point Minimise(Point at, double depth) {
    at.ss = Misfit(at.theta, at.lambda, depth, true);
    double mu = 1e-3;
    for (int k = 0; k < kSteps; ++k) {
      Point next = Proposal(at, mu);
      next.ss = Misfit(next.theta, next.lambda, depth, false);
      if (next.ss < at.ss) {
        const double moved = std::hypot(next.theta - at.theta, WrapLongitude(next.lambda - at.lambda));
        const double gain = at.ss - next.ss;
        at = next;
        mu = std::max(mu * 0.25, 1e-9);
        if (moved < 1e-9 || gain <= 1e-14 * at.ss) break;
        Misfit(at.theta, at.lambda, depth, true);
      } else {
        mu *= 8.0;
        if (mu > 1e9) break;
        Misfit(at.theta, at.lambda, depth, true);
      }
    }
    return at;
  }

  // Grids of 3 x 3 points around @p best that shrink when no point is
  // better: the last millionths of a degree, where the misfit's kinks at the
  // table's rows can stop the Gauss-Newton steps.
  Point Polish(Point best, double depth) {
    best.ss = Misfit(best.theta, best.lambda, depth, false);
    int moves = 0;  // a bound, so that a misfit that is no number cannot keep it going
    for (double span = kFirstSpan; span >= kFinestSpan && moves < 1000; ++moves) {
      const Point centre = best;
      const double lonSpan = span / std::max(std::cos(centre.theta * kRadians), 1e-3);
      for (int i = -1; i <= 1; ++i) {
        for (int j = -1; j <= 1; ++j) {
          if (i == 0 && j == 0) continue;
          Point p = Normalised(centre.theta + i * span, centre.lambda + j * lonSpan);
          p.ss = Misfit(p.theta, p.lambda, depth, false);
          if (p.ss < best.ss) best = p;
        }
      }
      if (best.theta == centre.theta && best.lambda == centre.lambda) span *= 0.5;
    }
    return best;
  }

  // The candidates of the whole sphere at @p depth: the coarse grid, one
  // step each, the best well separated ones minimised.
  std::vector<Point> Candidates(double depth) {
    std::vector<Point> grid;
    for (double theta = -90.0 + kCoarseStep / 2; theta < 90.0; theta += kCoarseStep) {
      // About equal spacing on the ground: fewer longitudes near the poles.
      const int count = std::max(1, static_cast<int>(std::lround(360.0 * std::cos(theta * kRadians) / kCoarseStep)));
      for (int k = 0; k < count; ++k)
        grid.push_back(Step(Point{theta, -180.0 + (k + 0.5) * 360.0 / count}, depth));
    }
    std::stable_sort(grid.begin(), grid.end(), [](const Point& a, const Point& b) { return a.ss < b.ss; });
    std::vector<Point> starts;
    for (const Point& candidate : grid) {
      if (static_cast<int>(starts.size()) >= kStarts) break;
      const Vec3 c = Unit(candidate.theta, candidate.lambda);
      const bool near = std::any_of(starts.begin(), starts.end(), [&](const Point& other) {
        return std::acos(std::clamp(Dot(c, Unit(other.theta, other.lambda)), -1.0, 1.0)) / kRadians <
               kStartSeparation;
      });
      if (!near) starts.push_back(candidate);
    }
    for (Point& start : starts) start = Minimise(start, depth);
    return starts;
  }

  int evaluations = 0;

 private:
  const TravelTimeGrid& p_;
  FileTime base_ = 0;
  std::vector<Observation> observations_;
  std::vector<double> r_, jTheta_, jLambda_;
};

PreciseTrial CheckInputs(std::span<const PreciseStation> stations, const TravelTimeGrid& p) {
  if (!p.IsUsable())
    return Refusal(TrialStatus::kMissingTable,
                   p.fileFound() ? p.fileName() + " holds no travel times for every depth: no precise key without it"
                                 : p.fileName() + " is missing: no precise key without it",
                   p.fileName());
  const bool picked = std::any_of(stations.begin(), stations.end(),
                                  [](const PreciseStation& s) { return s.takesPart && s.pick != 0.0; });
  if (!picked) return Refusal(TrialStatus::kNoPick, "No seismogram that can take part has a P pick");
  return {};
}

}  // namespace

PreciseStation PreciseStationOf(const KSAC& record) {
  TrialStation trial;
  StationOf(record, trial);
  PreciseStation s;
  s.lat = trial.stla;
  s.lon = trial.stlo;
  s.referenceTicks = trial.referenceTicks;
  s.pick = trial.pick;
  s.takesPart = trial.takesPart;
  const double elevation = record.GetFloatHeader(KSAC::STEL);
  if (elevation != KSAC::UNDEFINED_FLOAT && elevation >= kLowestElevation && elevation <= kHighestElevation)
    s.elevation = elevation;
  return s;
}

std::vector<PreciseStation> PreciseStations(std::span<KSAC* const> records) {
  std::vector<PreciseStation> stations;
  stations.reserve(records.size());
  for (const KSAC* record : records) stations.push_back(PreciseStationOf(*record));
  return stations;
}

double ElevationDelay(const TravelTimeGrid& grid, double slowness, double elevation) {
  const double v = SurfaceVelocity(grid.model(), grid.phase());
  const double p = slowness / kKmPerDegree;  // s/km
  const double vertical = 1.0 / (v * v) - p * p;
  return vertical > 0.0 ? elevation / 1000.0 * std::sqrt(vertical) : 0.0;
}

PreciseTrial EvaluatePreciseTrial(std::span<const PreciseStation> stations, const TravelTimeGrid& p, double lat,
                                  double lon, double depth) {
  if (PreciseTrial r = CheckInputs(stations, p); !r.ok()) return r;
  if (!std::isfinite(lat) || !std::isfinite(lon) || !std::isfinite(depth))
    return Refusal(TrialStatus::kBadEpicentre, "The epicentre or depth is not a number");
  Search search(stations, p);
  double origin = 0.0;
  const double ss = search.Misfit(GeocentricLatitude(lat), lon, depth, false, &origin);
  PreciseTrial result;
  result.picked = static_cast<int>(search.size());
  result.rms = std::sqrt(ss / static_cast<double>(search.size()));
  const double ticks = static_cast<double>(search.base()) + origin * static_cast<double>(kTicksPerSecond);
  if (!(ticks >= 0.0) || ticks > 9.0e18) return Refusal(TrialStatus::kBadRecord, "The origin time would lie before 1601");
  result.originTicks = static_cast<FileTime>(std::llround(ticks));
  if (!FileTimeToSystemTime(result.originTicks, result.originTime))
    return Refusal(TrialStatus::kBadRecord, "The origin time would lie before 1601");
  result.originTime.wDayOfWeek = 0;
  return result;
}

PreciseKeyResult FindPreciseKey(std::span<const PreciseStation> stations, const TravelTimeGrid& p, double depth,
                                bool searchDepth) {
  PreciseKeyResult result;
  result.depthSearched = searchDepth;
  result.trial = CheckInputs(stations, p);
  if (!result.ok()) return result;
  // The tables reach from the surface to their deepest column.
  depth = std::isfinite(depth) ? std::clamp(depth, 0.0, JB::kColumnDepths.back()) : 0.0;

  Search search(stations, p);
  std::vector<Point> candidates = search.Candidates(depth);
  Point best;
  double bestDepth = depth;
  for (const Point& c : candidates)
    if (c.ss < best.ss) best = c;

  if (searchDepth) {
    // Every candidate followed down through the depths, each depth starting
    // from where the one above ended.
    const double deepest = JB::kColumnDepths.back();
    best = Point{};
    for (Point c : candidates) {
      for (double z = 0.0;; z = std::min(z + kDepthStep, deepest)) {
        c = search.Minimise(c, z);
        if (c.ss < best.ss) best = c, bestDepth = z;
        if (z >= deepest) break;
      }
    }
    // The depth of smallest RMS between the neighbours of the best scanned
    // one, by golden sections.
    const auto at = [&](double z) { return search.Minimise(best, z).ss; };
    constexpr double kGolden = 0.6180339887498949;
    double lo = std::max(0.0, bestDepth - kDepthStep), hi = std::min(deepest, bestDepth + kDepthStep);
    double x1 = hi - kGolden * (hi - lo), x2 = lo + kGolden * (hi - lo);
    double f1 = at(x1), f2 = at(x2);
    while (hi - lo > kDepthTolerance) {
      if (f1 < f2) {
        hi = x2, x2 = x1, f2 = f1;
        x1 = hi - kGolden * (hi - lo), f1 = at(x1);
      } else {
        lo = x1, x1 = x2, f1 = f2;
        x2 = lo + kGolden * (hi - lo), f2 = at(x2);
      }
    }
    const double z = (lo + hi) / 2;
    const Point there = search.Minimise(best, z);
    if (there.ss <= best.ss) best = there, bestDepth = z;
  }

  best = search.Polish(search.Minimise(best, bestDepth), bestDepth);
  result.lat = GeographicLatitude(best.theta);
  result.lon = WrapLongitude(best.lambda);
  result.depth = bestDepth;
  result.trial = EvaluatePreciseTrial(stations, p, result.lat, result.lon, bestDepth);
  result.evaluations = search.evaluations + 1;
  return result;
}

}  // namespace orvane
