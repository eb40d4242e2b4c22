#pragma once
// Gaussian noise that is the same on every run: Box-Muller on mt19937, whose
// sequence the C++ standard fixes for a given seed.

#include <cmath>
#include <cstdint>
#include <random>

namespace orvane::synth {

class Noise {
 public:
  explicit Noise(std::uint32_t seed) : engine_(seed) {}
  /// Uniform in (0, 1), never 0 or 1.
  double Uniform() { return (static_cast<double>(engine_()) + 0.5) / 4294967296.0; }
  /// Standard normal.
  double Gaussian() {
    const double u = Uniform(), v = Uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * v);
  }

 private:
  std::mt19937 engine_;
};

}  // namespace orvane::synth
