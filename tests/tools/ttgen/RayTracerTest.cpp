#include "tools/ttgen/RayTracer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "LinearModelQuadrature.h"
#include "TestModels.h"

namespace orvane::ttgen {
namespace {

using testing::Iasp91;
using testing::LinearModelQuadrature;
using testing::ModelPath;

// The closed forms on power-law sublayers against quadrature of the literal
// linear model, over the whole range of p, for every model and both waves.
// τ = T − p·Δ is what a travel time at fixed distance inherits.
TEST(RayTracerTest, AgreesWithQuadratureOfTheLinearModel) {
  for (const char* file : {"iasp91.tvel", "ak135.tvel", "jb.nd"}) {
    const EarthModel model = EarthModel::Load(ModelPath(file));
    const RayTracer tracer(model, {0.0, 300.0});
    for (Family family : {Family::P, Family::S}) {
      SCOPED_TRACE(std::string(file) + (family == Family::P ? " P" : " S"));
      const LinearModelQuadrature reference(model, family);
      RayWalk walk;
      int compared = 0;
      for (double p = 0.5; p < tracer.SurfaceSlowness(family); p += 9.7) {
        tracer.Trace(family, p, walk);
        bool turned = false;
        const RayLeg half = reference.Down(p, 1e9, turned);
        EXPECT_NEAR(walk.halfRay.delta, half.delta, 1e-5) << "p " << p;
        EXPECT_NEAR(walk.halfRay.time, half.time, 5e-3) << "p " << p;
        EXPECT_NEAR(walk.halfRay.time - p * walk.halfRay.delta, half.time - p * half.delta, 2e-4) << "p " << p;
        const RayLeg above = reference.Down(p, 300.0, turned);
        if (!turned) {
          ASSERT_TRUE(walk.reached[1]) << "p " << p;
          EXPECT_NEAR(walk.toSource[1].time - p * walk.toSource[1].delta, above.time - p * above.delta, 2e-4);
          EXPECT_NEAR(walk.toSource[1].delta, above.delta, 1e-5);
        }
        ++compared;
      }
      EXPECT_GT(compared, 100);
    }
  }
}

TEST(RayTracerTest, VerticalRayTakesTheIntegralOfSlowness) {
  const LinearModelQuadrature reference(Iasp91(), Family::P);
  const RayTracer tracer(Iasp91(), {300.0});
  RayWalk walk;
  tracer.Trace(Family::P, 0.0, walk);
  EXPECT_NEAR(walk.halfRay.time, reference.VerticalTime(6371.0), 1e-4);
  EXPECT_NEAR(walk.toSource[0].time, reference.VerticalTime(300.0), 1e-5);
  // Straight down through the centre: a quarter turn to the centre.
  EXPECT_DOUBLE_EQ(walk.halfRay.delta, M_PI / 2);
  EXPECT_EQ(walk.kind, TurnKind::InnerCore);
}

TEST(RayTracerTest, SourceSlownessIsTakenAtTheSourceAndAboveADiscontinuity) {
  const RayTracer tracer(Iasp91(), {0.0, 35.0, 100.0});
  EXPECT_DOUBLE_EQ(tracer.SourceSlowness(Family::P, 0), 6371.0 / 5.8);
  EXPECT_DOUBLE_EQ(tracer.SourceSlowness(Family::S, 0), 6371.0 / 3.36);
  // iasp91 has the Moho at 35 km: 6.5 km/s above, 8.04 below.
  EXPECT_NEAR(tracer.SourceSlowness(Family::P, 1), 6336.0 / 6.5, 1e-9);
  const double v100 = 8.045 + (8.05 - 8.045) * (100.0 - 77.5) / (120.0 - 77.5);
  EXPECT_NEAR(tracer.SourceSlowness(Family::P, 2), 6271.0 / v100, 1e-9);
  EXPECT_NEAR(tracer.CmbSlowness(Family::P), (6371.0 - 2889.0) / 13.6908, 1e-9);
  EXPECT_NEAR(tracer.CmbSlowness(Family::S), (6371.0 - 2889.0) / 7.3015, 1e-9);
}

TEST(RayTracerTest, RaysTurnWhereTheirSlownessSays) {
  const RayTracer tracer(Iasp91(), {0.0});
  const double r = 6371.0;
  const double cmb = r - 2889.0, icb = r - 5153.9;
  const struct {
    Family family;
    double p;
    TurnKind kind;
  } cases[] = {
      {Family::P, r / 5.8 + 1.0, TurnKind::None},
      {Family::P, 600.0, TurnKind::Mantle},
      {Family::P, cmb / 13.6908, TurnKind::Mantle},              // grazes the core
      {Family::P, cmb / 13.6908 - 1e-6, TurnKind::OuterCore},    // dives into it
      {Family::P, 0.5 * (icb / 10.2578 + icb / 11.0914), TurnKind::IcbReflection},
      {Family::P, icb / 11.0914 - 1e-6, TurnKind::InnerCore},
      {Family::S, 0.5 * (cmb / 7.3015 + cmb / 8.0088), TurnKind::CmbReflection},
      {Family::S, cmb / 8.0088 - 1e-6, TurnKind::OuterCore},
      {Family::S, 50.0, TurnKind::InnerCore},
  };
  RayWalk walk;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.p);
    tracer.Trace(c.family, c.p, walk);
    EXPECT_EQ(walk.kind, c.kind);
  }
}

// A layer with v ∝ r keeps η = r/v constant, so a ray crosses it at a fixed
// angle: Δ = ln(r1/r2)·p/√(η²−p²), T = ln(r1/r2)·η²/√(η²−p²). Also a layer of
// constant velocity (a straight chord) below it.
TEST(RayTracerTest, LayersWithConstantEtaOrConstantVelocityHaveTheirClosedForms) {
  const char text[] =
      "h\nh\n"
      "0 6.371 3.0 2.7\n"
      "100 6.271 3.0 2.7\n"
      "100 8.0 4.5 3.3\n"
      "2900 8.0 4.5 5.5\n"
      "2900 8.0 0 9.9\n"
      "5150 10 0 12\n"
      "5150 11 3.5 12.7\n"
      "6371 11.3 3.6 13\n";
  const EarthModel model = EarthModel::Parse(text, ModelFormat::Tvel);
  const RayTracer tracer(model, {100.0, 2000.0});
  RayWalk walk;
  const double p = 500.0, eta = 1000.0, s = std::sqrt(eta * eta - p * p), ln = std::log(6371.0 / 6271.0);
  tracer.Trace(Family::P, p, walk);
  ASSERT_TRUE(walk.reached[0]);
  EXPECT_NEAR(walk.toSource[0].delta, ln * p / s, 1e-12);
  EXPECT_NEAR(walk.toSource[0].time, ln * eta * eta / s, 1e-9);
  // From 100 km to 2000 km at 8 km/s the ray is straight: the chord between
  // the radii at ray parameter p (η = r/8 at both ends).
  ASSERT_TRUE(walk.reached[1]);
  const double r1 = 6271.0, r2 = 4371.0, v = 8.0;
  const double chord = std::sqrt(r1 * r1 - (p * v) * (p * v)) - std::sqrt(r2 * r2 - (p * v) * (p * v));
  const double angle = std::acos(p * v / r1) - std::acos(p * v / r2);
  EXPECT_NEAR(walk.toSource[1].time - walk.toSource[0].time, chord / v, 1e-9);
  EXPECT_NEAR(walk.toSource[1].delta - walk.toSource[0].delta, angle, 1e-12);
}

TEST(RayTracerTest, CoreMantleBoundaryIsAJumpForP) {
  const RayTracer tracer(Iasp91(), {0.0});
  const auto jumps = tracer.JumpSlownesses(Family::P);
  ASSERT_FALSE(jumps.empty());
  EXPECT_DOUBLE_EQ(jumps.back(), tracer.CmbSlowness(Family::P));
  // S speeds up into the core (S to P), so nothing dives suddenly there.
  for (double p : tracer.JumpSlownesses(Family::S)) EXPECT_NE(p, tracer.CmbSlowness(Family::S));
}

TEST(RayTracerTest, RefusesSourcesOutsideTheMantle) {
  for (double depth : {-1.0, 2889.0, 3000.0, std::nan("")}) {
    SCOPED_TRACE(depth);
    EXPECT_THROW(RayTracer(Iasp91(), {depth}), EarthModelError);
  }
}

}  // namespace
}  // namespace orvane::ttgen
