#pragma once
// Band-limited random noise: white noise through a two-pole resonator
// (an AR(2) process) tuned to a period, scaled to unit variance. Microseisms
// and scattered coda energy are made with it.

#include <cmath>

#include "tools/synth-event/Noise.h"

namespace orvane::synth {

class Resonator {
 public:
  /// @p period in seconds, @p q the quality factor (larger: narrower band),
  /// @p delta the sampling interval in seconds.
  Resonator(double period, double q, double delta) {
    const double theta = 2.0 * M_PI * delta / period;
    const double r = std::exp(-M_PI * delta / (period * q));
    a1_ = 2.0 * r * std::cos(theta);
    a2_ = -r * r;
    // Variance of the AR(2) process for unit-variance input.
    const double c = std::cos(theta);
    const double variance = (1.0 + r * r) / ((1.0 - r * r) * ((1.0 + r * r) * (1.0 + r * r) - 4.0 * r * r * c * c));
    gain_ = 1.0 / std::sqrt(variance);
  }

  /// The next value (unit variance once settled), driven by @p noise.
  double Next(Noise& noise) {
    const double y = a1_ * y1_ + a2_ * y2_ + noise.Gaussian();
    y2_ = y1_;
    y1_ = y;
    return gain_ * y;
  }

  /// Runs @p steps values so that the output starts settled.
  void Settle(Noise& noise, int steps) {
    for (int i = 0; i < steps; ++i) Next(noise);
  }

 private:
  double a1_ = 0.0, a2_ = 0.0, gain_ = 1.0;
  double y1_ = 0.0, y2_ = 0.0;
};

}  // namespace orvane::synth
