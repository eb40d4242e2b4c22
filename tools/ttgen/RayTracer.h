#pragma once

// Exact ray integrals through a layered sphere.
//
// The model's rows are joined linearly in depth. We cut every linear segment
// into thin sublayers and give each sublayer the velocity law
// v(r) = a·r^b through the segment's values at the sublayer's top and bottom
// (the Mohorovičić–Bullen law). For that law η = r/v is a power of r too,
// η = c·r^B, and the distance and time a ray of ray parameter p spends in the
// sublayer have closed forms:
//
//   Δ = [arccos(p/η)] / B,   T = [sqrt(η² − p²)] / B   between the sublayer's
//   ends (or from its top down to the turning point, where η = p and both
//   brackets vanish),
//
// so the turning point needs no special care and nothing is integrated
// numerically. The sublayers are cut so that the power law departs from the
// linear segment by less than a relative 1e-7 in velocity anywhere, which
// changes no travel time by more than about 0.2 ms. The innermost sublayer
// around the centre (a power law cannot reach r = 0 with a finite velocity)
// has the constant velocity of its top, again within 1e-7.
//
// Each source depth is a sublayer boundary, so one pass down from the surface
// yields, for one p, the part of the ray above every source and the whole
// half-ray down to the turning point; rays from a source at depth h are then
//   upgoing:   (Δ, T) = above(h)
//   downgoing: (Δ, T) = 2·halfRay − above(h).

#include <cstddef>
#include <vector>

#include "tools/ttgen/EarthModel.h"

namespace orvane::ttgen {

/// Wave type in the solid mantle (and crust); the core legs are always P.
enum class Family { P = 0, S = 1 };

/// Where a ray of given p turns back up.
enum class TurnKind {
  None,           ///< p larger than η at the surface: no ray
  Mantle,         ///< turns in the mantle or crust, or is reflected at a discontinuity there
  CmbReflection,  ///< reflected at the core–mantle boundary (PcP, ScS)
  OuterCore,      ///< turns in the fluid outer core (PKP, SKS)
  IcbReflection,  ///< reflected at the inner-core boundary (PKiKP, SKiKS)
  InnerCore,      ///< turns in the inner core (PKIKP, SKIKS)
};

/// Epicentral distance (radians) and travel time (seconds) of a ray or a part of it.
struct RayLeg {
  double delta = 0.0;
  double time = 0.0;
};

/// One pass of a ray parameter through the model.
struct RayWalk {
  double p = 0.0;                ///< ray parameter, s/rad
  TurnKind kind = TurnKind::None;
  std::size_t turnIndex = 0;     ///< sublayer (or boundary) where the ray turned
  RayLeg halfRay;                ///< surface down to the turning point
  std::vector<RayLeg> toSource;  ///< surface down to each source (valid where reached)
  std::vector<bool> reached;     ///< the ray gets down to the source's depth
};

class RayTracer {
 public:
  static constexpr double kDefaultTolerance = 1e-7;

  /// @brief Cuts the model into sublayers with a boundary at every source depth.
  /// Depths must lie in [0, core–mantle boundary); throws EarthModelError otherwise.
  /// A source exactly at a discontinuity sits on its upper side.
  RayTracer(const EarthModel& model, const std::vector<double>& sourceDepths,
            double tolerance = kDefaultTolerance);

  std::size_t SourceCount() const { return sourceBoundary_.size(); }
  std::size_t SublayerCount() const { return rTop_.size(); }

  /// @brief Traces ray parameter p (s/rad) down from the surface.
  void Trace(Family family, double p, RayWalk& walk) const;

  /// @brief η = r/v at source j (s/rad): the largest p that leaves it,
  /// e.g. 6271/8.0505… for P at 100 km in iasp91.
  double SourceSlowness(Family family, std::size_t j) const;
  /// η at the surface: the largest p of any ray (s/rad).
  double SurfaceSlowness(Family family) const { return etaTop_[Index(family)][0]; }
  /// η just above the core–mantle boundary (mantle wave of the family): the grazing ray's p.
  double CmbSlowness(Family family) const;
  /// Largest η anywhere above the core (s/rad).
  double MaxMantleSlowness(Family family) const;

  /// @brief η on both sides of every model row and source depth: the ray
  /// parameters where a branch can begin, end or fold. Sorted, unique.
  std::vector<double> CriticalSlownesses(Family family) const;
  /// @brief The critical p below which rays suddenly dive deeper (top of a
  /// zone where η grows with depth, e.g. the core–mantle boundary for P):
  /// Δ(p) jumps there.
  std::vector<double> JumpSlownesses(Family family) const;

 private:
  static int Index(Family f) { return f == Family::P ? 0 : 1; }
  void AddSublayer(double rTop, double rBot, double vpTop, double vpBot, double vsTop, double vsBot, int region,
                   bool central, bool nodeAtTop);

  // Per sublayer, top to bottom.
  std::vector<double> rTop_, rBot_;
  std::vector<double> etaTop_[2], etaBot_[2];  // η of the family's wave at top and bottom
  std::vector<double> factor_[2];              // ln(rTop/rBot) / ln(ηTop/ηBot) = 1/B; 0 when ηTop = ηBot
  std::vector<double> lnR_;                    // ln(rTop/rBot)
  std::vector<int> region_;                    // 0 mantle and crust, 1 outer core, 2 inner core
  std::vector<bool> central_;                  // the constant-velocity sphere at the centre
  std::vector<bool> nodeAtTop_;                // top is a model row or a source
  std::vector<std::size_t> sourceBoundary_;    // sublayer whose top is the source
  std::vector<std::size_t> sourceOrder_;       // sources by boundary
  double tolerance_;
};

}  // namespace orvane::ttgen
