#pragma once

// Travel times of the table phases for a set of focal depths.
//
// For each mantle wave (P, S) a sweep over the ray parameter p traces rays
// with RayTracer: an even grid, every critical p (η on both sides of each
// model row and source depth) and, where rays suddenly dive deeper (the top
// of a zone where η grows with depth), a second ray just below it, so that no
// interval spans a jump of Δ(p). Intervals are then halved until no ray
// differs from its neighbour by more than 0.05° in distance. Each branch of a
// phase is the run of sweep rays of one kind; for a wanted distance every
// interval of every branch that brackets it is solved exactly for p (Brent's
// method on the closed-form Δ(p)) and the earliest time wins, which resolves
// triplications. Diffracted waves continue the grazing ray along the core:
// T = T_graze + (Δ − Δ_graze)·p_cmb.

#include <cstddef>
#include <map>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ttgen/EarthModel.h"
#include "tools/ttgen/RayTracer.h"

namespace orvane::ttgen {

/// What a time is asked for.
enum class Phase {
  P,      ///< table P: p, P and Pdiff to 120°, PKIKP beyond
  S,      ///< table S: the earliest of s, S, Sdiff, SKS, SKIKS
  PKIKP,  ///< P through the inner core
  SKS,    ///< S in the mantle, P turning in the outer core
  SKIKS,  ///< S in the mantle, P through the inner core
  Pdiff,  ///< P diffracted along the core–mantle boundary
  Sdiff,  ///< S diffracted along the core–mantle boundary
};

/// @brief Phase from its name: "P" → Phase::P, "SKIKS" → Phase::SKIKS.
/// @return false for unknown names.
bool PhaseFromName(std::string_view name, Phase& phase);

/// The earliest arrival of a phase at one distance.
struct Arrival {
  bool found = false;  ///< false when no ray of the phase reaches the distance
  double time = 0.0;   ///< s
  double slowness = 0.0;  ///< dT/dΔ in s/deg
  std::string name;    ///< branch that arrives first: "p", "P", "Pdiff", "PKIKP", "s", "S", "Sdiff", "SKS", "SKIKS"
};

class TravelTimeCalculator {
 public:
  static constexpr double kMaxStepDegrees = 0.05;  ///< largest distance between neighbouring sweep rays
  static constexpr double kLastDirectPDegrees = 120.0;  ///< table P: P/Pdiff up to here, PKIKP beyond

  /// @brief Prepares rays from sources at the given depths (km, in the mantle).
  TravelTimeCalculator(const EarthModel& model, const std::vector<double>& depths,
                       double tolerance = RayTracer::kDefaultTolerance);

  /// @brief Earliest arrival of a phase from source depths[depthIndex] at a
  /// distance in degrees (0 … 180), e.g. P from 0 km at 45° ≈ 497.0 s in iasp91.
  Arrival Compute(Phase phase, std::size_t depthIndex, double distanceDegrees) const;

  /// @brief Times for whole degrees 0 … rows−1 at every depth: result[depth][row].
  /// Throws std::runtime_error naming the entry when a distance has no ray.
  std::vector<std::vector<double>> Table(Phase phase, int rows = 181) const;

  const RayTracer& Tracer() const { return tracer_; }
  /// Number of rays in the sweep of a mantle wave (built on first use).
  std::size_t SweepSize(Family family) const;

 private:
  enum class Leg { Up, Down };
  struct Branch {
    Family family;
    Leg leg;
    TurnKind kind;  // for Down
    const char* name;
  };
  struct Interval {
    double lo, hi;    // distance range (rad)
    double earliest;  // smaller of the two ends' times
    std::size_t i;    // between sweep rays i and i+1
  };
  struct Curve {      // one branch from one source, along the sweep
    std::vector<RayLeg> legs;
    std::vector<Interval> intervals;
  };
  struct Sweep {
    bool built = false;
    std::vector<RayWalk> rays;    // by increasing p
    std::vector<bool> jumpAbove;  // Δ(p) jumps between this ray and the next
  };

  const Sweep& GetSweep(Family family) const;
  const Curve& GetCurve(const Branch& branch, std::size_t j) const;
  bool Value(const Branch& branch, std::size_t j, const RayWalk& walk, RayLeg& leg) const;
  void AddBranchArrivals(const Branch& branch, std::size_t j, double delta, Arrival& best) const;
  void AddDiffracted(Family family, std::size_t j, double delta, const char* name, Arrival& best) const;

  RayTracer tracer_;
  std::vector<double> depths_;
  mutable Sweep sweeps_[2];
  mutable std::map<std::pair<std::string, std::size_t>, Curve> curves_;
};

}  // namespace orvane::ttgen
