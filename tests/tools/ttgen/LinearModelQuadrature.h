#pragma once

// An independent reference for the ray integrals: the same model taken
// literally (velocity linear in depth between rows) and integrated by
// Gauss–Legendre quadrature in the ray angle θ, sin θ = p·v/r. With
// v = a + b·r in a layer,
//   dΔ = −sin θ / (sin θ − p·b) dθ,   dT = −p / (sin θ·(sin θ − p·b)) dθ,
// and both integrands stay smooth through the turning point (θ = 90°), so
// plain quadrature converges fast. Slow, for tests only.

#include <cmath>
#include <vector>

#include "tools/ttgen/EarthModel.h"
#include "tools/ttgen/RayTracer.h"

namespace orvane::ttgen::testing {

class LinearModelQuadrature {
 public:
  LinearModelQuadrature(const EarthModel& model, Family family) {
    const auto& n = model.Nodes();
    for (std::size_t i = 0; i + 1 < n.size(); ++i) {
      if (n[i + 1].depth == n[i].depth) continue;
      const bool mantle = i + 1 < model.OuterCoreTop();
      const bool shear = family == Family::S && mantle;
      segments_.push_back({n[i].depth, n[i + 1].depth, shear ? n[i].vs : n[i].vp, shear ? n[i + 1].vs : n[i + 1].vp});
    }
    // Gauss–Legendre nodes on [-1, 1] by Newton's method.
    const int m = 12;
    for (int k = 1; k <= m; ++k) {
      double x = std::cos(M_PI * (k - 0.25) / (m + 0.5));
      double dp = 0.0;
      for (int it = 0; it < 100; ++it) {
        double p0 = 1.0, p1 = x;
        for (int j = 2; j <= m; ++j) {
          const double p2 = ((2.0 * j - 1.0) * x * p1 - (j - 1.0) * p0) / j;
          p0 = p1;
          p1 = p2;
        }
        dp = m * (x * p1 - p0) / (x * x - 1.0);
        const double dx = p1 / dp;
        x -= dx;
        if (std::fabs(dx) < 1e-16) break;
      }
      nodes_.push_back(x);
      weights_.push_back(2.0 / ((1.0 - x * x) * dp * dp));
    }
  }

  /// Distance (rad) and time (s) from the surface down to depth stop, or to
  /// the turning point if it comes first; turned tells which.
  RayLeg Down(double p, double stop, bool& turned) const {
    const double R = EarthModel::kRadius;
    RayLeg leg;
    turned = false;
    for (const Segment& s : segments_) {
      if (s.dTop >= stop) break;
      const double dBot = std::min(s.dBot, stop);
      const double rTop = R - s.dTop, rBot = R - dBot;
      const double vTop = Velocity(s, s.dTop), vBot = Velocity(s, dBot);
      if (rTop / vTop <= p) {
        turned = true;
        break;
      }
      const double b = (s.vTop - s.vBot) / (s.dBot - s.dTop);  // dv/dr
      const double a = vTop - b * rTop;
      const double th1 = std::asin(p * vTop / rTop);
      double th2;
      if (rBot > 0.0 && rBot / vBot > p) {
        th2 = std::asin(p * vBot / rBot);
      } else {
        th2 = M_PI / 2;
        turned = true;
      }
      double dDelta = 0.0, dTime = 0.0;
      const int pieces = 64;
      for (int k = 0; k < pieces; ++k) {
        const double lo = th1 + (th2 - th1) * k / pieces, hi = th1 + (th2 - th1) * (k + 1) / pieces;
        for (std::size_t q = 0; q < nodes_.size(); ++q) {
          const double th = 0.5 * (lo + hi) + 0.5 * (hi - lo) * nodes_[q];
          const double w = 0.5 * (hi - lo) * weights_[q];
          const double st = std::sin(th);
          dDelta += w * st / (st - p * b);
          dTime += w * p / (st * (st - p * b));
        }
      }
      (void)a;
      leg.delta += std::fabs(dDelta);
      leg.time += std::fabs(dTime);
      if (turned) break;
    }
    return leg;
  }

  /// Vertical travel time (p = 0) from the surface to depth stop: ∫ dz / v, exact per layer.
  double VerticalTime(double stop) const {
    double t = 0.0;
    for (const Segment& s : segments_) {
      if (s.dTop >= stop) break;
      const double dBot = std::min(s.dBot, stop);
      const double v0 = Velocity(s, s.dTop), v1 = Velocity(s, dBot);
      t += v0 == v1 ? (dBot - s.dTop) / v0 : (dBot - s.dTop) / (v1 - v0) * std::log(v1 / v0);
    }
    return t;
  }

 private:
  struct Segment {
    double dTop, dBot, vTop, vBot;
  };
  static double Velocity(const Segment& s, double d) {
    return s.vTop + (s.vBot - s.vTop) * (d - s.dTop) / (s.dBot - s.dTop);
  }
  std::vector<Segment> segments_;
  std::vector<double> nodes_, weights_;
};

}  // namespace orvane::ttgen::testing
