#include "tools/synth-event/SyntheticTrace.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "location/GreatCircle.h"
#include "tools/synth-event/Noise.h"
#include "tools/synth-event/Resonator.h"

namespace orvane::synth {
namespace {

// Rayleigh-wave group velocity (km/s) against period (s), a smooth average of
// continental and oceanic paths: long periods travel fastest and arrive first.
struct Dispersion {
  double period, velocity;
};
constexpr Dispersion kRayleigh[] = {{12.0, 2.95}, {15.0, 3.05}, {20.0, 3.30}, {25.0, 3.50}, {30.0, 3.65},
                                    {40.0, 3.82}, {50.0, 3.92}, {70.0, 4.00}, {100.0, 4.05}};
constexpr double kSlowestRayleigh = 2.95, kFastestRayleigh = 4.05;

// The period whose group arrives with @p velocity (inside the table's range).
double RayleighPeriod(double velocity) {
  for (std::size_t i = 1; i < std::size(kRayleigh); ++i) {
    const Dispersion &a = kRayleigh[i - 1], &b = kRayleigh[i];
    if (velocity <= b.velocity)
      return a.period + (velocity - a.velocity) / (b.velocity - a.velocity) * (b.period - a.period);
  }
  return kRayleigh[std::size(kRayleigh) - 1].period;
}

// The first seconds of a body wave: 1 Hz and 3 s motion starting at once with
// full slope, so that the onset is sharp. Peak about 1.
double BodyPulse(double x) {
  return 0.45 * std::sin(2.0 * M_PI * x) * std::exp(-x / 2.0) +
         0.85 * std::sin(2.0 * M_PI * x / 3.0) * std::exp(-x / 2.5);
}

// The S wave train on the vertical: 10 s and 2.5 s. Peak about 1.
double ShearPulse(double y) {
  return 0.9 * std::sin(2.0 * M_PI * y / 10.0) * std::exp(-y / 10.0) +
         0.4 * std::sin(2.0 * M_PI * y / 2.5) * std::exp(-y / 4.0);
}

// P-wave speed (km/s) of a simplified iasp91 upper mantle, linear between
// the nodes; a node given twice is a discontinuity.
struct Node {
  double depth, vp;
};
constexpr Node kUpperMantle[] = {{0.0, 5.80},   {20.0, 5.80},   {20.0, 6.50},   {35.0, 6.50},
                                 {35.0, 8.04},  {120.0, 8.05},  {210.0, 8.30},  {410.0, 9.03},
                                 {410.0, 9.36}, {660.0, 10.20}, {660.0, 10.79}, {800.0, 11.10}};

double PWaveSpeed(double depth) {
  for (std::size_t i = 1; i < std::size(kUpperMantle); ++i) {
    const Node &a = kUpperMantle[i - 1], &b = kUpperMantle[i];
    if (depth <= b.depth && b.depth > a.depth) return a.vp + (depth - a.depth) / (b.depth - a.depth) * (b.vp - a.vp);
  }
  return kUpperMantle[std::size(kUpperMantle) - 1].vp;
}

}  // namespace

double DepthPhaseDelay(double depth, double slowness) {
  const double p = slowness * 180.0 / M_PI;  // seconds per radian
  constexpr double kStep = 0.5;              // km
  double delay = 0.0;
  for (double top = 0.0; top < depth; top += kStep) {
    const double dz = std::min(kStep, depth - top);
    const double z = top + 0.5 * dz;
    const double v = PWaveSpeed(z);
    const double q = p / (kEarthRadiusKm - z);  // horizontal slowness, s/km
    delay += dz * std::sqrt(std::max(0.0, 1.0 / (v * v) - q * q));
  }
  return 2.0 * delay;
}

std::vector<float> SynthesizeTrace(const WaveSizes& sizes, const TraceSetting& st) {
  Noise noise(st.seed);
  // The station's own factors, drawn first and always in this order.
  const double site = 0.7 + 0.7 * noise.Uniform();
  const double noisiness = 0.6 + 0.9 * noise.Uniform();
  const double polarityP = noise.Uniform() < 0.5 ? -1.0 : 1.0;
  const double polarityS = noise.Uniform() < 0.5 ? -1.0 : 1.0;
  const double rayleighPhase = 2.0 * M_PI * noise.Uniform();

  const double distance = std::max(st.distance, 0.5);
  const double shadow = distance > 98.0 ? std::exp(-(distance - 98.0) / 6.0) : 1.0;
  const double near = std::max(distance, 5.0);
  const double ampP = sizes.pAmplitude * site * std::pow(30.0 / near, 1.1) * shadow;
  const double ampS = sizes.sAmplitude * site * std::pow(30.0 / near, 1.3) * shadow;
  const double arc = std::clamp(distance, 2.0, 178.0) * M_PI / 180.0;
  const double ampR = sizes.surfaceAmplitude * site * std::exp(-st.depth / 40.0) *
                      std::sqrt(std::sin(M_PI / 6.0) / std::sin(arc)) *
                      std::exp(-2e-4 * kKmPerDegree * (distance - 30.0));
  const double codaDecayP = 5.0 + 15.0 * std::exp(-st.depth / 150.0);
  const double distanceKm = distance * kKmPerDegree;

  Resonator microseism(6.5, 4.0, st.delta), primary(15.0, 6.0, st.delta);
  Resonator codaP(1.0, 2.0, st.delta), codaS(5.0, 2.0, st.delta);
  Resonator codaR(18.0, 3.0, st.delta), multipath(80.0, 1.0, st.delta);
  const int settle = static_cast<int>(120.0 / st.delta);
  for (Resonator* r : {&microseism, &primary, &codaP, &codaS, &codaR, &multipath}) r->Settle(noise, settle);
  // The Rayleigh coda: scattered surface waves after the main train.
  const double codaStartR = distanceKm / 3.4;

  std::vector<float> samples(static_cast<std::size_t>(std::max(st.npts, 0)));
  double phaseR = rayleighPhase;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double t = st.firstSample + static_cast<double>(i) * st.delta;
    double v = noisiness * (sizes.microseism * (microseism.Next(noise) + 0.25 * primary.Next(noise)) +
                            sizes.whiteNoise * noise.Gaussian());
    const double scatterP = codaP.Next(noise), scatterS = codaS.Next(noise);
    const double scatterR = codaR.Next(noise), wobble = multipath.Next(noise);

    if (const double x = t - st.p; x >= 0.0) {
      v += polarityP * ampP * BodyPulse(x);
      v += 0.3 * ampP * scatterP * std::exp(-x / codaDecayP) * (1.0 - std::exp(-x));
    }
    if (const double x = t - st.p - st.pPDelay; x >= 0.0) v -= 0.5 * polarityP * ampP * BodyPulse(x);
    if (const double y = t - st.s; y >= 0.0) {
      v += polarityS * ampS * ShearPulse(y);
      v += 0.35 * ampS * scatterS * std::exp(-y / 50.0) * (1.0 - std::exp(-y / 3.0));
    }
    if (t > 0.0 && ampR > 0.0) {
      const double velocity = distanceKm / t;
      if (velocity > kSlowestRayleigh && velocity < kFastestRayleigh) {
        phaseR += 2.0 * M_PI * st.delta / RayleighPeriod(velocity);
        const double envelope =
            std::pow(std::sin(M_PI * (kFastestRayleigh - velocity) / (kFastestRayleigh - kSlowestRayleigh)), 1.5);
        v += ampR * envelope * (1.0 + 0.2 * wobble) * std::sin(phaseR);
      }
      if (const double z = t - codaStartR; z > 0.0)
        v += 0.12 * ampR * scatterR * std::exp(-z / 400.0) * (1.0 - std::exp(-z / 60.0));
    }
    samples[i] = static_cast<float>(v);
  }
  return samples;
}

}  // namespace orvane::synth
