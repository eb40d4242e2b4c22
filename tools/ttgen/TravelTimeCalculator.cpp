#include "tools/ttgen/TravelTimeCalculator.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace orvane::ttgen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadPerDeg = kPi / 180.0;
constexpr int kInitialRays = 1000;
constexpr double kJumpOffset = 1e-9;    // relative: the ray just below a critical p
constexpr double kDeltaTolerance = 1e-11;  // rad; the time error is then below 1e-8 s

bool KindUsed(Family family, TurnKind kind) {
  switch (kind) {
    case TurnKind::Mantle:
    case TurnKind::InnerCore:
      return true;
    case TurnKind::OuterCore:
      return family == Family::S;
    default:
      return false;
  }
}

}  // namespace

bool PhaseFromName(std::string_view name, Phase& phase) {
  static const std::pair<const char*, Phase> kNames[] = {
      {"P", Phase::P},         {"S", Phase::S},         {"PKIKP", Phase::PKIKP}, {"SKS", Phase::SKS},
      {"SKIKS", Phase::SKIKS}, {"Pdiff", Phase::Pdiff}, {"Sdiff", Phase::Sdiff},
  };
  for (const auto& [n, ph] : kNames) {
    if (name == n) {
      phase = ph;
      return true;
    }
  }
  return false;
}

TravelTimeCalculator::TravelTimeCalculator(const EarthModel& model, const std::vector<double>& depths,
                                           double tolerance)
    : tracer_(model, depths, tolerance), depths_(depths) {}

std::size_t TravelTimeCalculator::SweepSize(Family family) const { return GetSweep(family).rays.size(); }

const TravelTimeCalculator::Sweep& TravelTimeCalculator::GetSweep(Family family) const {
  Sweep& sweep = sweeps_[family == Family::P ? 0 : 1];
  if (sweep.built) return sweep;

  const double pMax = tracer_.MaxMantleSlowness(family);
  std::vector<double> ps;
  for (int i = 0; i <= kInitialRays; ++i) ps.push_back(pMax * i / kInitialRays);
  // Every critical p and a ray just below it: branches that begin there (the
  // inner-core rays below η at the inner-core boundary, say) start at once.
  for (double p : tracer_.CriticalSlownesses(family)) {
    if (p > pMax) continue;
    ps.push_back(p);
    ps.push_back(p * (1.0 - kJumpOffset));
  }
  const std::vector<double> jumps = tracer_.JumpSlownesses(family);
  std::sort(ps.begin(), ps.end());
  ps.erase(std::unique(ps.begin(), ps.end()), ps.end());

  std::vector<RayWalk> rays(ps.size());
  for (std::size_t i = 0; i < ps.size(); ++i) tracer_.Trace(family, ps[i], rays[i]);

  auto isJump = [&](double p) { return std::binary_search(jumps.begin(), jumps.end(), p); };
  const double maxStep = kMaxStepDegrees * kRadPerDeg;
  const std::size_t sources = tracer_.SourceCount();
  for (int pass = 0; pass < 60; ++pass) {
    std::vector<RayWalk> added;
    for (std::size_t i = 0; i + 1 < rays.size(); ++i) {
      const RayWalk& a = rays[i];
      const RayWalk& b = rays[i + 1];
      if (isJump(b.p) || a.kind != b.kind || !KindUsed(family, a.kind)) continue;
      if (b.p - a.p <= 1e-13 * pMax) continue;
      double step = 2.0 * std::fabs(b.halfRay.delta - a.halfRay.delta);
      for (std::size_t j = 0; j < sources; ++j)
        if (a.reached[j] && b.reached[j]) step = std::max(step, std::fabs(b.toSource[j].delta - a.toSource[j].delta));
      if (step <= maxStep) continue;
      RayWalk mid;
      tracer_.Trace(family, 0.5 * (a.p + b.p), mid);
      added.push_back(std::move(mid));
    }
    if (added.empty()) break;
    for (RayWalk& w : added) rays.push_back(std::move(w));
    std::sort(rays.begin(), rays.end(), [](const RayWalk& x, const RayWalk& y) { return x.p < y.p; });
  }
  sweep.jumpAbove.assign(rays.size(), false);
  for (std::size_t i = 0; i + 1 < rays.size(); ++i) sweep.jumpAbove[i] = isJump(rays[i + 1].p);
  sweep.rays = std::move(rays);
  sweep.built = true;
  return sweep;
}

// The branch's distance and time for one ray from source j, if the ray belongs to it.
bool TravelTimeCalculator::Value(const Branch& branch, std::size_t j, const RayWalk& walk, RayLeg& leg) const {
  if (!walk.reached[j] || walk.p > tracer_.SourceSlowness(branch.family, j)) return false;
  if (branch.leg == Leg::Up) {
    leg = walk.toSource[j];
    return true;
  }
  if (walk.kind != branch.kind) return false;
  leg.delta = 2.0 * walk.halfRay.delta - walk.toSource[j].delta;
  leg.time = 2.0 * walk.halfRay.time - walk.toSource[j].time;
  return true;
}

const TravelTimeCalculator::Curve& TravelTimeCalculator::GetCurve(const Branch& branch, std::size_t j) const {
  auto key = std::make_pair(std::string(branch.name), j);
  auto found = curves_.find(key);
  if (found != curves_.end()) return found->second;
  const Sweep& sweep = GetSweep(branch.family);
  Curve curve;
  curve.legs.resize(sweep.rays.size());
  std::vector<bool> valid(sweep.rays.size());
  for (std::size_t i = 0; i < sweep.rays.size(); ++i) valid[i] = Value(branch, j, sweep.rays[i], curve.legs[i]);
  for (std::size_t i = 0; i + 1 < sweep.rays.size(); ++i) {
    if (!valid[i] || !valid[i + 1]) continue;
    if (branch.leg == Leg::Down && sweep.jumpAbove[i]) continue;
    const RayLeg& a = curve.legs[i];
    const RayLeg& b = curve.legs[i + 1];
    // Along a branch dT = p·dΔ, so the time lies between the ends' times.
    curve.intervals.push_back({std::min(a.delta, b.delta), std::max(a.delta, b.delta), std::min(a.time, b.time), i});
  }
  return curves_.emplace(std::move(key), std::move(curve)).first->second;
}

void TravelTimeCalculator::AddBranchArrivals(const Branch& branch, std::size_t j, double delta, Arrival& best) const {
  const Sweep& sweep = GetSweep(branch.family);
  const Curve& curve = GetCurve(branch, j);
  const std::vector<RayLeg>& legs = curve.legs;
  struct Bracket {
    double bound;
    std::size_t i;
  };
  std::vector<Bracket> brackets;
  for (const Interval& in : curve.intervals)
    if (delta >= in.lo && delta <= in.hi) brackets.push_back({in.earliest, in.i});
  std::sort(brackets.begin(), brackets.end(), [](const Bracket& x, const Bracket& y) { return x.bound < y.bound; });

  RayWalk walk;
  for (const Bracket& br : brackets) {
    if (best.found && br.bound - 1.0 > best.time) break;
    double a = sweep.rays[br.i].p, b = sweep.rays[br.i + 1].p;
    double fa = legs[br.i].delta - delta, fb = legs[br.i + 1].delta - delta;
    RayLeg legA = legs[br.i], legB = legs[br.i + 1];
    double p = a;
    RayLeg leg = legA;
    if (fa == 0.0) {
      p = a, leg = legA;
    } else if (fb == 0.0) {
      p = b, leg = legB;
    } else {
      // Brent's method on f(p) = Δ(p) − delta, every f exact.
      double c = a, fc = fa, d = b - a, e = d;
      RayLeg legC = legA;
      for (int iter = 0; iter < 200; ++iter) {
        if ((fb > 0) == (fc > 0)) {
          c = a, fc = fa, legC = legA;
          d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
          a = b, b = c, c = a;
          fa = fb, fb = fc, fc = fa;
          legA = legB, legB = legC, legC = legA;
        }
        const double tol = 4.0 * 1e-16 * std::fabs(b) + 1e-300;
        const double m = 0.5 * (c - b);
        if (std::fabs(fb) <= kDeltaTolerance || std::fabs(m) <= tol) break;
        if (std::fabs(e) >= tol && std::fabs(fa) > std::fabs(fb)) {
          double s = fb / fa, q, r, pp;
          if (a == c) {
            pp = 2.0 * m * s;
            q = 1.0 - s;
          } else {
            q = fa / fc;
            r = fb / fc;
            pp = s * (2.0 * m * q * (q - r) - (b - a) * (r - 1.0));
            q = (q - 1.0) * (r - 1.0) * (s - 1.0);
          }
          if (pp > 0) q = -q;
          else pp = -pp;
          if (2.0 * pp < std::min(3.0 * m * q - std::fabs(tol * q), std::fabs(e * q))) {
            e = d;
            d = pp / q;
          } else {
            d = m;
            e = m;
          }
        } else {
          d = m;
          e = m;
        }
        a = b, fa = fb, legA = legB;
        b += std::fabs(d) > tol ? d : (m > 0 ? tol : -tol);
        tracer_.Trace(branch.family, b, walk);
        if (!Value(branch, j, walk, legB))
          throw std::logic_error("ray left its branch inside a sweep interval");
        fb = legB.delta - delta;
      }
      p = b, leg = legB;
    }
    // dT/dΔ = p along the branch: carry the last small distance misfit over.
    const double time = leg.time + p * (delta - leg.delta);
    if (!best.found || time < best.time) {
      best.found = true;
      best.time = time;
      best.slowness = p * kRadPerDeg;
      best.name = branch.name;
    }
  }
}

void TravelTimeCalculator::AddDiffracted(Family family, std::size_t j, double delta, const char* name,
                                         Arrival& best) const {
  const Sweep& sweep = GetSweep(family);
  const double pg = tracer_.CmbSlowness(family);
  auto it = std::lower_bound(sweep.rays.begin(), sweep.rays.end(), pg,
                             [](const RayWalk& w, double p) { return w.p < p; });
  if (it == sweep.rays.end() || it->p != pg) return;
  const Branch grazing{family, Leg::Down, TurnKind::Mantle, name};
  RayLeg leg;
  if (!Value(grazing, j, *it, leg) || delta < leg.delta) return;
  const double time = leg.time + (delta - leg.delta) * pg;
  if (!best.found || time < best.time) {
    best.found = true;
    best.time = time;
    best.slowness = pg * kRadPerDeg;
    best.name = name;
  }
}

Arrival TravelTimeCalculator::Compute(Phase phase, std::size_t j, double distanceDegrees) const {
  if (j >= depths_.size()) throw std::out_of_range("depth index");
  if (!(distanceDegrees >= 0.0 && distanceDegrees <= 180.0))
    throw std::invalid_argument("distance must lie between 0 and 180 degrees");
  const double delta = distanceDegrees / 180.0 * kPi;
  Arrival best;
  const Branch p{Family::P, Leg::Up, TurnKind::Mantle, "p"};
  const Branch P{Family::P, Leg::Down, TurnKind::Mantle, "P"};
  const Branch PKIKP{Family::P, Leg::Down, TurnKind::InnerCore, "PKIKP"};
  const Branch s{Family::S, Leg::Up, TurnKind::Mantle, "s"};
  const Branch S{Family::S, Leg::Down, TurnKind::Mantle, "S"};
  const Branch SKS{Family::S, Leg::Down, TurnKind::OuterCore, "SKS"};
  const Branch SKIKS{Family::S, Leg::Down, TurnKind::InnerCore, "SKIKS"};
  switch (phase) {
    case Phase::P:
      if (distanceDegrees <= kLastDirectPDegrees) {
        AddBranchArrivals(p, j, delta, best);
        AddBranchArrivals(P, j, delta, best);
        AddDiffracted(Family::P, j, delta, "Pdiff", best);
      } else {
        AddBranchArrivals(PKIKP, j, delta, best);
      }
      break;
    case Phase::S:
      AddBranchArrivals(s, j, delta, best);
      AddBranchArrivals(S, j, delta, best);
      AddDiffracted(Family::S, j, delta, "Sdiff", best);
      AddBranchArrivals(SKS, j, delta, best);
      AddBranchArrivals(SKIKS, j, delta, best);
      break;
    case Phase::PKIKP:
      AddBranchArrivals(PKIKP, j, delta, best);
      break;
    case Phase::SKS:
      AddBranchArrivals(SKS, j, delta, best);
      break;
    case Phase::SKIKS:
      AddBranchArrivals(SKIKS, j, delta, best);
      break;
    case Phase::Pdiff:
      AddDiffracted(Family::P, j, delta, "Pdiff", best);
      break;
    case Phase::Sdiff:
      AddDiffracted(Family::S, j, delta, "Sdiff", best);
      break;
  }
  return best;
}

std::vector<std::vector<double>> TravelTimeCalculator::Table(Phase phase, int rows) const {
  std::vector<std::vector<double>> out(depths_.size(), std::vector<double>(static_cast<std::size_t>(rows)));
  for (std::size_t j = 0; j < depths_.size(); ++j) {
    for (int r = 0; r < rows; ++r) {
      const Arrival a = Compute(phase, j, r);
      if (!a.found)
        throw std::runtime_error("no ray reaches " + std::to_string(r) + " degrees from depth " +
                                 std::to_string(depths_[j]) + " km");
      out[j][static_cast<std::size_t>(r)] = a.time;
    }
  }
  return out;
}

}  // namespace orvane::ttgen
