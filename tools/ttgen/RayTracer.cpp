#include "tools/ttgen/RayTracer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace orvane::ttgen {

namespace {

constexpr std::size_t kMaxSublayers = 400000;

// Velocity on the straight line through (d0, v0) and (d1, v1), at depth d.
double Linear(double d0, double v0, double d1, double v1, double d) {
  return v0 + (v1 - v0) * (d - d0) / (d1 - d0);
}

}  // namespace

RayTracer::RayTracer(const EarthModel& model, const std::vector<double>& sourceDepths, double tolerance)
    : tolerance_(tolerance) {
  const std::vector<ModelNode>& nodes = model.Nodes();
  const double R = EarthModel::kRadius;
  for (double d : sourceDepths) {
    if (!std::isfinite(d) || d < 0.0 || d >= model.CmbDepth())
      throw EarthModelError("focal depth must lie between 0 km and the core–mantle boundary (" +
                            std::to_string(model.CmbDepth()) + " km)");
  }
  std::vector<double> splits(sourceDepths.begin(), sourceDepths.end());
  std::sort(splits.begin(), splits.end());
  splits.erase(std::unique(splits.begin(), splits.end()), splits.end());
  std::vector<std::pair<double, std::size_t>> splitBoundary;  // source depth → sublayer whose top it is

  for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
    const ModelNode& a = nodes[i];
    const ModelNode& b = nodes[i + 1];
    if (b.depth == a.depth) continue;  // a discontinuity: nothing between the two rows
    const int region = i + 1 < model.OuterCoreTop() ? 0 : (i + 1 < model.InnerCoreTop() ? 1 : 2);
    // Piece boundaries: the segment's ends and every source depth inside it.
    std::vector<double> cuts{a.depth};
    for (double d : splits)
      if (d > a.depth && d < b.depth) cuts.push_back(d);
    cuts.push_back(b.depth);
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
      const double dTop = cuts[c], dBot = cuts[c + 1];
      for (double d : splits)
        if (d == dTop) splitBoundary.emplace_back(d, rTop_.size());
      auto vp = [&](double d) { return Linear(a.depth, a.vp, b.depth, b.vp, d); };
      auto vs = [&](double d) { return Linear(a.depth, a.vs, b.depth, b.vs, d); };
      const double rTop = R - dTop, rBot = R - dBot;
      // Velocity gradients along r (km/s per km) of the waves that travel here.
      const double gp = -(b.vp - a.vp) / (b.depth - a.depth);
      const double gs = -(b.vs - a.vs) / (b.depth - a.depth);
      const bool useS = region == 0;
      // Relative misfit of a power law through two points h apart, against the
      // straight line between them: h²/8 · |b(b−1)|/r² with b = r·v'/v.
      auto curvature = [&](double r) {
        const double d = R - r;
        double c = 0.0;
        const double bp = r * gp / vp(d);
        c = std::max(c, std::fabs(bp * (bp - 1.0)) / (r * r));
        if (useS) {
          const double bs = r * gs / vs(d);
          c = std::max(c, std::fabs(bs * (bs - 1.0)) / (r * r));
        }
        return c;
      };
      auto step = [&](double r) {
        const double c = curvature(r);
        return c > 0.0 ? std::sqrt(8.0 * tolerance_ / c) : rTop - rBot;
      };
      double rLow = rBot;
      if (rBot == 0.0) {
        // The centre: a small sphere of constant velocity, small enough that the
        // velocity varies less than the tolerance across it.
        double rc = rTop;
        const double g = std::max(std::fabs(gp), useS ? std::fabs(gs) : 0.0);
        if (g > 0.0) rc = std::min(rTop, tolerance_ * std::min(vp(R), useS ? vs(R) : vp(R)) / g);
        rc = std::max(rc, std::min(rTop, 1e-3));
        rLow = rc;
      }
      if (rLow < rTop) {
        if (rBot > 0.0) {
          // Evenly cut, fine enough at the worst of the ends and the middle.
          const double h = std::min({step(rTop), step(rBot), step(0.5 * (rTop + rBot))}) / 1.1;
          const double count = std::ceil((rTop - rBot) / h);
          if (count > static_cast<double>(kMaxSublayers))
            throw EarthModelError("velocity model varies too steeply to be layered");
          const auto n = static_cast<std::size_t>(std::max(1.0, count));
          for (std::size_t k = 0; k < n; ++k) {
            const double r0 = k == 0 ? rTop : rTop - (rTop - rBot) * static_cast<double>(k) / static_cast<double>(n);
            const double r1 = k + 1 == n ? rBot : rTop - (rTop - rBot) * static_cast<double>(k + 1) / static_cast<double>(n);
            AddSublayer(r0, r1, vp(R - r0), vp(R - r1), vs(R - r0), vs(R - r1), region, false, k == 0);
          }
        } else {
          // Towards the centre the allowed step shrinks like sqrt(r): walk down.
          double r = rTop;
          bool first = true;
          while (r > rLow) {
            double h = step(r);
            h = std::min(h, step(std::max(rLow, r - h)));
            double r1 = r - h / 1.1;
            if (r1 < rLow + 0.1 * h) r1 = rLow;
            AddSublayer(r, r1, vp(R - r), vp(R - r1), vs(R - r), vs(R - r1), region, false, first);
            first = false;
            r = r1;
            if (rTop_.size() > kMaxSublayers) throw EarthModelError("velocity model varies too steeply to be layered");
          }
        }
      }
      if (rBot == 0.0) {
        const double v = vp(R - rLow), w = vs(R - rLow);
        AddSublayer(rLow, 0.0, v, v, w, w, region, true, rLow == rTop);
      }
      if (rTop_.size() > kMaxSublayers) throw EarthModelError("velocity model varies too steeply to be layered");
    }
  }

  sourceBoundary_.resize(sourceDepths.size());
  for (std::size_t j = 0; j < sourceDepths.size(); ++j) {
    for (const auto& [d, k] : splitBoundary) {
      if (d == sourceDepths[j]) {
        sourceBoundary_[j] = k;  // first match: the upper side of a discontinuity
        break;
      }
    }
  }
  sourceOrder_.resize(sourceDepths.size());
  std::iota(sourceOrder_.begin(), sourceOrder_.end(), std::size_t{0});
  std::stable_sort(sourceOrder_.begin(), sourceOrder_.end(),
                   [&](std::size_t x, std::size_t y) { return sourceBoundary_[x] < sourceBoundary_[y]; });
}

void RayTracer::AddSublayer(double rTop, double rBot, double vpTop, double vpBot, double vsTop, double vsBot,
                            int region, bool central, bool nodeAtTop) {
  rTop_.push_back(rTop);
  rBot_.push_back(rBot);
  region_.push_back(region);
  central_.push_back(central);
  nodeAtTop_.push_back(nodeAtTop);
  const double lnR = central ? 0.0 : std::log1p((rTop - rBot) / rBot);
  lnR_.push_back(lnR);
  for (int f = 0; f < 2; ++f) {
    const bool shear = f == 1 && region == 0;
    const double vTop = shear ? vsTop : vpTop;
    const double vBot = shear ? vsBot : vpBot;
    const double eTop = rTop / vTop;
    const double eBot = rBot / vBot;
    etaTop_[f].push_back(eTop);
    etaBot_[f].push_back(eBot);
    double factor = 0.0;
    if (!central) {
      const double lnEta = std::log1p((eTop - eBot) / eBot);
      factor = lnEta != 0.0 ? lnR / lnEta : 0.0;
    }
    factor_[f].push_back(factor);
  }
}

void RayTracer::Trace(Family family, double p, RayWalk& walk) const {
  const int f = Index(family);
  const double* eTop = etaTop_[f].data();
  const double* eBot = etaBot_[f].data();
  const double* factor = factor_[f].data();
  const std::size_t n = rTop_.size();
  walk.p = p;
  walk.kind = TurnKind::None;
  walk.toSource.assign(sourceBoundary_.size(), RayLeg{});
  walk.reached.assign(sourceBoundary_.size(), false);
  double delta = 0.0, time = 0.0;
  std::size_t nextSource = 0;
  const double p2 = p * p;
  bool turnedInside = false;
  std::size_t k = 0;
  double sPrev = -1.0, ePrev = -1.0;
  for (; k < n; ++k) {
    while (nextSource < sourceOrder_.size() && sourceBoundary_[sourceOrder_[nextSource]] == k) {
      walk.toSource[sourceOrder_[nextSource]] = {delta, time};
      walk.reached[sourceOrder_[nextSource]] = true;
      ++nextSource;
    }
    const double eT = eTop[k];
    if (eT <= p) break;  // horizontal at this boundary, or reflected by a faster layer below it
    const double sT = eT == ePrev ? sPrev : std::sqrt((eT - p) * (eT + p));
    if (central_[k]) {
      // Constant velocity: a straight chord, η ∝ r (B = 1).
      delta += std::atan2(sT, p);
      time += sT;
      turnedInside = true;
      break;
    }
    const double eB = eBot[k];
    if (eB > p) {
      const double sB = std::sqrt((eB - p) * (eB + p));
      if (factor[k] != 0.0) {
        // sT − sB and the angle difference without cancellation.
        const double ds = (eT - eB) * (eT + eB) / (sT + sB);
        const double dTheta = std::atan2(p * ds, p2 + sT * sB);
        delta += factor[k] * dTheta;
        time += factor[k] * ds;
      } else {
        // η constant (v ∝ r): the ray keeps its angle.
        delta += lnR_[k] * p / sT;
        time += lnR_[k] * eT * eT / sT;
      }
      sPrev = sB;
      ePrev = eB;
    } else {
      // Turns inside: η = p at the turning point, where arccos(p/η) and sqrt(η² − p²) vanish.
      delta += factor[k] * std::atan2(sT, p);
      time += factor[k] * sT;
      turnedInside = true;
      if (eB == p) {
        // Horizontal exactly at the bottom: the ray touches the next boundary,
        // and a source there (whose own η is p) is on it.
        while (nextSource < sourceOrder_.size() && sourceBoundary_[sourceOrder_[nextSource]] == k + 1) {
          walk.toSource[sourceOrder_[nextSource]] = {delta, time};
          walk.reached[sourceOrder_[nextSource]] = true;
          ++nextSource;
        }
      }
      break;
    }
  }
  walk.turnIndex = k;
  walk.halfRay = {delta, time};
  if (turnedInside) {
    walk.kind = region_[k] == 0 ? TurnKind::Mantle : region_[k] == 1 ? TurnKind::OuterCore : TurnKind::InnerCore;
  } else if (k == 0 || k >= n) {
    walk.kind = TurnKind::None;
  } else if (region_[k - 1] != region_[k]) {
    walk.kind = region_[k - 1] == 0 ? TurnKind::CmbReflection : TurnKind::IcbReflection;
  } else {
    walk.kind = region_[k] == 0 ? TurnKind::Mantle : region_[k] == 1 ? TurnKind::OuterCore : TurnKind::InnerCore;
  }
}

double RayTracer::SourceSlowness(Family family, std::size_t j) const {
  const int f = Index(family);
  const std::size_t k = sourceBoundary_[j];
  return k == 0 ? etaTop_[f][0] : etaBot_[f][k - 1];
}

double RayTracer::CmbSlowness(Family family) const {
  const int f = Index(family);
  std::size_t k = 0;
  while (k + 1 < region_.size() && region_[k + 1] == 0) ++k;
  return etaBot_[f][k];
}

double RayTracer::MaxMantleSlowness(Family family) const {
  const int f = Index(family);
  double m = 0.0;
  for (std::size_t k = 0; k < region_.size() && region_[k] == 0; ++k)
    m = std::max({m, etaTop_[f][k], etaBot_[f][k]});
  return m;
}

std::vector<double> RayTracer::CriticalSlownesses(Family family) const {
  const int f = Index(family);
  std::vector<double> out;
  for (std::size_t k = 0; k < rTop_.size(); ++k) {
    if (!nodeAtTop_[k]) continue;
    out.push_back(etaTop_[f][k]);
    if (k > 0) out.push_back(etaBot_[f][k - 1]);
  }
  if (!rTop_.empty()) out.push_back(etaBot_[f].back());
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::vector<double> RayTracer::JumpSlownesses(Family family) const {
  const int f = Index(family);
  std::vector<double> out;
  double lowest = etaTop_[f].empty() ? 0.0 : etaTop_[f][0];
  for (std::size_t k = 1; k < rTop_.size(); ++k) {
    lowest = std::min({lowest, etaTop_[f][k - 1], etaBot_[f][k - 1]});
    const double e = etaBot_[f][k - 1];
    if (e > lowest) continue;  // rays with p = e turned higher up
    const bool grows = etaTop_[f][k] > e || (etaTop_[f][k] == e && !central_[k] && etaBot_[f][k] > etaTop_[f][k]);
    if (grows) out.push_back(e);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace orvane::ttgen
