#pragma once
// The vertical-component seismogram of one station for a synthetic event.
//
// The arrival times are given (they come from the program's own tables, see
// SampleEvent.h); this file only shapes the waves around them:
//
// - P: a sharp onset at the P time, a few seconds of 1 Hz and 3 s period
//   motion of random first-motion sign, then a coda of scattered 1 Hz energy
//   that dies away (quickly for deep events). The depth phase pP follows with
//   the opposite sign, half as strong, after a delay that grows with depth.
// - S: a longer-period wave train (10 s and 2.5 s) at the S time with a long
//   coda of 5 s energy.
// - Rayleigh waves: a dispersed train arriving between distance/4.05 km/s
//   (periods near 100 s) and distance/2.95 km/s (near 12 s), strongest around
//   3.5 km/s, its amplitude wandering slowly by some 20 % (multipathing),
//   followed by a coda of scattered 18 s energy. They are excited by shallow
//   foci only: their amplitude falls as exp(-depth / 40 km), so a focus at
//   600 km shows none.
// - Amplitudes fall with distance: P as (30°/Δ)^1.1, S as (30°/Δ)^1.3, both
//   weaker still in the core shadow beyond 98°; surface waves with the
//   spreading 1/sqrt(sin Δ) and an attenuation of 2e-4 per km. Each station
//   has its own site factor (0.7 to 1.4) and noise factor (0.6 to 1.5).
// - Noise: secondary microseisms (about 6.5 s), weaker primary microseisms
//   (about 15 s) and white noise, present over the whole record.

#include <cstdint>
#include <vector>

namespace orvane::synth {

/// The event's wave sizes, in counts (see EventDescription.h).
struct WaveSizes {
  double pAmplitude = 1000.0;        ///< peak of P at 30°, site factor 1
  double sAmplitude = 1500.0;        ///< peak of S at 30°
  double surfaceAmplitude = 6000.0;  ///< peak of the Rayleigh waves at 30°, surface focus
  double microseism = 60.0;          ///< rms of the secondary microseisms
  double whiteNoise = 10.0;          ///< rms of the white noise
};

/// One station's record: where its samples lie and when the waves arrive.
/// All times are seconds after the origin time.
struct TraceSetting {
  double distance = 0.0;     ///< epicentral distance, degrees
  double depth = 0.0;        ///< focal depth, km
  double firstSample = 0.0;  ///< time of sample 0
  double delta = 0.05;       ///< sampling interval
  std::int32_t npts = 0;
  double p = 0.0;          ///< P arrival
  double s = 0.0;          ///< S arrival
  double pPDelay = 0.0;    ///< pP minus P
  std::uint32_t seed = 1;  ///< the station's own noise and random factors
};

/// @brief The samples of one station's record (npts values).
std::vector<float> SynthesizeTrace(const WaveSizes& sizes, const TraceSetting& setting);

/// @brief The delay of the depth phase pP after P, in seconds, for a focus at
/// @p depth km and a P ray of @p slowness seconds per degree (the slope of
/// the P travel-time curve): twice the vertical travel time through the layers
/// above the focus, in a simplified iasp91 upper mantle. About 2 s for 8 km;
/// 110 to 125 s for 600 km between 50° and 70°.
double DepthPhaseDelay(double depth, double slowness);

}  // namespace orvane::synth
