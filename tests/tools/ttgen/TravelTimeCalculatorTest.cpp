#include "tools/ttgen/TravelTimeCalculator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "LinearModelQuadrature.h"
#include "TestModels.h"
#include "tools/ttgen/TableDepths.h"

namespace orvane::ttgen {
namespace {

using testing::Iasp91;
using testing::LinearModelQuadrature;
using testing::ModelPath;

// Published iasp91 times (s). All definitions agree with ours (spherical
// Earth, surface receiver, first arrival of the named phase). The 300 km
// values are given to the millisecond and differ most (−0.008 and −0.018 s);
// the quadrature reference reproduces ours there (test below).
TEST(TravelTimeCalculatorTest, MatchesPublishedIasp91Times) {
  const struct {
    double depth;
    const char* phase;
    double distance, published;
  } cases[] = {
      {0, "P", 45, 496.97},       {0, "P", 90, 781.33},        {0, "S", 45, 897.40},     {0, "SKS", 90, 1412.95},
      {0, "PKIKP", 160, 1200.40}, {0, "PKIKP", 180, 1212.08},  {100, "P", 45, 485.21},   {100, "P", 90, 768.17},
      {100, "S", 45, 876.83},     {100, "PKIKP", 180, 1198.25}, {10, "P", 35, 412.43},   {10, "S", 35, 745.29},
      {300, "P", 50, 504.256},    {300, "S", 50, 911.991},
  };
  const TravelTimeCalculator calc(Iasp91(), {0.0, 100.0, 10.0, 300.0});
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.phase) + " depth " + std::to_string(c.depth) + " distance " + std::to_string(c.distance));
    Phase phase;
    ASSERT_TRUE(PhaseFromName(c.phase, phase));
    const std::size_t j = c.depth == 0 ? 0 : c.depth == 100 ? 1 : c.depth == 10 ? 2 : 3;
    const Arrival a = calc.Compute(phase, j, c.distance);
    ASSERT_TRUE(a.found);
    EXPECT_NEAR(a.time, c.published, 0.05);
  }
}

// Times at a distance from the quadrature reference: the downgoing ray from
// 300 km solved for p by bisection (no triplication at 50°).
TEST(TravelTimeCalculatorTest, AgreesWithQuadratureAtFixedDistance) {
  const TravelTimeCalculator calc(Iasp91(), {300.0});
  for (Family family : {Family::P, Family::S}) {
    const LinearModelQuadrature q(Iasp91(), family);
    const double target = 50.0 * M_PI / 180.0;
    auto ray = [&](double p, double& delta, double& time) {
      bool t1 = false, t2 = false;
      const RayLeg f = q.Down(p, 1e9, t1), s = q.Down(p, 300.0, t2);
      delta = 2 * f.delta - s.delta;
      time = 2 * f.time - s.time;
    };
    double lo = 200.0, hi = family == Family::P ? 800.0 : 1400.0;
    for (int i = 0; i < 80; ++i) {
      const double mid = 0.5 * (lo + hi);
      double d, t;
      ray(mid, d, t);
      (d > target ? lo : hi) = mid;
    }
    double d, t;
    ray(lo, d, t);
    t += lo * (target - d);
    const Arrival a = calc.Compute(family == Family::P ? Phase::P : Phase::S, 0, 50.0);
    EXPECT_NEAR(a.time, t, 1e-3);
  }
}

TEST(TravelTimeCalculatorTest, NamesTheArrivingBranch) {
  const TravelTimeCalculator calc(Iasp91(), {0.0, 300.0});
  const struct {
    Phase phase;
    std::size_t j;
    double distance;
    const char* name;
  } cases[] = {
      {Phase::P, 1, 0.0, "p"},       {Phase::P, 1, 1.0, "p"},        {Phase::P, 0, 45.0, "P"},
      {Phase::P, 0, 110.0, "Pdiff"}, {Phase::P, 0, 120.0, "Pdiff"},  {Phase::P, 0, 121.0, "PKIKP"},
      {Phase::S, 1, 1.0, "s"},       {Phase::S, 0, 45.0, "S"},       {Phase::S, 0, 90.0, "SKS"},
      {Phase::S, 0, 180.0, "SKIKS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.distance);
    EXPECT_EQ(calc.Compute(c.phase, c.j, c.distance).name, c.name);
  }
}

TEST(TravelTimeCalculatorTest, SlownessIsTheSlopeOfTheTimeCurve) {
  const TravelTimeCalculator calc(Iasp91(), {0.0, 600.0});
  const double h = 0.01;
  const struct {
    Phase phase;
    std::size_t j;
    double distance;
  } cases[] = {{Phase::P, 0, 5.0},  {Phase::P, 0, 30.0},  {Phase::P, 1, 3.0},    {Phase::P, 1, 60.0},
               {Phase::S, 0, 12.0}, {Phase::S, 1, 70.0},  {Phase::PKIKP, 0, 150}, {Phase::SKS, 1, 100.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.distance);
    const Arrival mid = calc.Compute(c.phase, c.j, c.distance);
    const double slope =
        (calc.Compute(c.phase, c.j, c.distance + h).time - calc.Compute(c.phase, c.j, c.distance - h).time) / (2 * h);
    EXPECT_NEAR(mid.slowness, slope, 2e-3);
  }
}

TEST(TravelTimeCalculatorTest, DiffractedPContinuesTheGrazingRay) {
  const TravelTimeCalculator calc(Iasp91(), {0.0});
  const double pCmb = (6371.0 - 2889.0) / 13.6908 * M_PI / 180.0;  // s/deg
  const Arrival a100 = calc.Compute(Phase::P, 0, 100.0);
  const Arrival a115 = calc.Compute(Phase::P, 0, 115.0);
  EXPECT_NEAR(a115.time - a100.time, 15.0 * pCmb, 1e-9);
  EXPECT_NEAR(a100.slowness, pCmb, 1e-12);
  EXPECT_FALSE(calc.Compute(Phase::Pdiff, 0, 90.0).found);  // before the core shadow
  // The grazing ray itself ends the direct branch: P and Pdiff meet there.
  const Arrival before = calc.Compute(Phase::P, 0, 98.0);
  EXPECT_EQ(before.name, "P");
  EXPECT_LT(before.time, calc.Compute(Phase::Pdiff, 0, 99.0).time);
}

TEST(TravelTimeCalculatorTest, ZeroDistanceIsTheVerticalRay) {
  const TravelTimeCalculator calc(Iasp91(), {0.0, 413.29});
  EXPECT_EQ(calc.Compute(Phase::P, 0, 0.0).time, 0.0);
  EXPECT_EQ(calc.Compute(Phase::S, 0, 0.0).time, 0.0);
  EXPECT_NEAR(calc.Compute(Phase::P, 1, 0.0).time, LinearModelQuadrature(Iasp91(), Family::P).VerticalTime(413.29), 1e-5);
  EXPECT_NEAR(calc.Compute(Phase::S, 1, 0.0).time, LinearModelQuadrature(Iasp91(), Family::S).VerticalTime(413.29), 1e-5);
}

// The earliest time against a brute-force envelope: a dense even sweep of p,
// every pair of neighbouring rays that brackets the distance interpolated with
// dT = p·dΔ, the smallest kept. Covers the 410 and 660 km triplications.
TEST(TravelTimeCalculatorTest, EarliestArrivalMatchesABruteForceEnvelope) {
  const std::vector<double> depths{0.0, 413.29};
  const TravelTimeCalculator calc(Iasp91(), depths);
  const RayTracer& tracer = calc.Tracer();
  for (Family family : {Family::P, Family::S}) {
    const int n = 20000;
    const double pMin = tracer.CmbSlowness(family), pMax = tracer.SurfaceSlowness(family);
    // An even grid plus the horizontal rays at the sources, where up- and
    // downgoing rays meet.
    std::vector<double> ps;
    for (int i = 0; i <= n; ++i) ps.push_back(pMin + (pMax - pMin) * i / n);
    for (std::size_t j = 0; j < depths.size(); ++j) ps.push_back(tracer.SourceSlowness(family, j));
    std::sort(ps.begin(), ps.end());
    std::vector<RayWalk> rays(ps.size());
    for (std::size_t i = 0; i < ps.size(); ++i) tracer.Trace(family, ps[i], rays[i]);
    for (std::size_t j = 0; j < depths.size(); ++j) {
      const double ps = tracer.SourceSlowness(family, j);
      for (double degrees = 2.0; degrees <= 40.0; degrees += 1.0) {
        SCOPED_TRACE(std::to_string(j) + " " + std::to_string(degrees));
        const double target = degrees * M_PI / 180.0;
        double best = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i + 1 < rays.size(); ++i) {
          const RayWalk& a = rays[i];
          const RayWalk& b = rays[i + 1];
          if (a.kind != TurnKind::Mantle || b.kind != TurnKind::Mantle || !a.reached[j] || !b.reached[j] ||
              b.p > ps)
            continue;
          for (int up = 0; up < 2; ++up) {
            auto leg = [&](const RayWalk& w) {
              return up ? w.toSource[j]
                        : RayLeg{2 * w.halfRay.delta - w.toSource[j].delta, 2 * w.halfRay.time - w.toSource[j].time};
            };
            const RayLeg la = leg(a), lb = leg(b);
            if ((la.delta - target) * (lb.delta - target) > 0 || la.delta == lb.delta) continue;
            const double f = (target - la.delta) / (lb.delta - la.delta);
            const double p = a.p + f * (b.p - a.p);
            best = std::min(best, la.time + 0.5 * (a.p + p) * (target - la.delta));
          }
        }
        const Arrival got = calc.Compute(family == Family::P ? Phase::P : Phase::S, j, degrees);
        ASSERT_TRUE(got.found);
        EXPECT_NEAR(got.time, best, 0.002);
      }
    }
  }
}

TEST(TravelTimeCalculatorTest, OtherModelsGiveCompleteIncreasingTables) {
  const TravelTimeCalculator iasp(Iasp91(), {0.0});
  const double p45 = iasp.Compute(Phase::P, 0, 45.0).time;
  for (const char* file : {"ak135.tvel", "jb.nd"}) {
    SCOPED_TRACE(file);
    const EarthModel model = EarthModel::Load(ModelPath(file));
    const TravelTimeCalculator calc(model, std::vector<double>(kTableDepths.begin(), kTableDepths.end()));
    for (Phase phase : {Phase::P, Phase::S}) {
      const auto table = calc.Table(phase);
      ASSERT_EQ(table.size(), 14u);
      for (const auto& column : table) {
        ASSERT_EQ(column.size(), 181u);
        for (std::size_t r = 1; r < column.size(); ++r) EXPECT_GT(column[r], column[r - 1]) << "row " << r;
      }
    }
    EXPECT_NEAR(calc.Compute(Phase::P, 0, 45.0).time, p45, 3.0);
  }
}

TEST(TravelTimeCalculatorTest, RefusesDistancesOutsideTheSphere) {
  const TravelTimeCalculator calc(Iasp91(), {0.0});
  EXPECT_THROW(calc.Compute(Phase::P, 0, -1.0), std::invalid_argument);
  EXPECT_THROW(calc.Compute(Phase::P, 0, 180.5), std::invalid_argument);
  EXPECT_THROW(calc.Compute(Phase::P, 0, std::nan("")), std::invalid_argument);
  EXPECT_THROW(calc.Compute(Phase::P, 1, 10.0), std::out_of_range);
  Phase phase;
  EXPECT_FALSE(PhaseFromName("PcP", phase));
}

}  // namespace
}  // namespace orvane::ttgen
