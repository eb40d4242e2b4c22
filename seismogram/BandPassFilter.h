#pragma once
// A Butterworth band-pass filter for picking: it takes the noise off a trace
// so that its P onset shows.
//
// The design is the classic one: the analog Butterworth low-pass prototype of
// the order, turned into a band-pass between the two corners pre-warped for
// the bilinear transform, then the bilinear transform, and the poles and
// zeros grouped into second-order sections (the sections whose poles lie
// nearest the unit circle last, the gain in the first), all in double
// precision. It is the filter that scipy.signal.butter(order, [low, high],
// btype='bandpass', fs=1/delta, output='sos') gives, applied as sosfilt
// applies it: causal, starting from rest (zero initial state), each section
// in transposed direct form II.
//
// Written here rather than taken from liquid-dsp (Debian's libliquid-dev):
// its IIR design works in single precision, and for corners low against the
// sampling rate (0.5-2 Hz at 200 samples per second, 0.1-0.5 Hz at 100) the
// poles lie so close to the unit circle that float coefficients move the
// output by up to 1e-3 of its peak.
//
// A gap in the trace (a sample that is not a finite number) stays a gap, and
// the filter starts from rest again after it, as on a trace of its own.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "seismogram/BandPass.h"

namespace orvane {

class KSAC;

class BandPassFilter {
 public:
  /// One second-order section: y = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
  struct Section {
    double b0, b1, b2, a1, a2;
  };

  /// @brief Designs the band-pass from @p low to @p high hertz of @p order
  /// (2 or 4) for samples @p delta seconds apart.
  /// @return Nothing, with @p reason, when the corners are not 0 < low < high
  /// below the Nyquist frequency 1 / (2 delta), e.g. "the upper corner 60 Hz
  /// is at or above the Nyquist frequency (50 Hz) of samples 0.01 s apart".
  static std::optional<BandPassFilter> Design(double low, double high, int order, double delta,
                                              std::string& reason);

  /// @brief Design(band.low, band.high, band.order, delta, reason).
  static std::optional<BandPassFilter> Design(const BandPass& band, double delta, std::string& reason) {
    return Design(band.low, band.high, band.order, delta, reason);
  }

  const std::vector<Section>& sections() const { return sections_; }

  /// @brief Filters @p count samples of @p in into @p out (which may be @p in).
  void Apply(const float* in, float* out, std::size_t count) const;

  /// @brief Filters the record's samples in place and sets depmin, depmax
  /// and depmen anew.
  void Apply(KSAC& record) const;

 private:
  std::vector<Section> sections_;
};

}  // namespace orvane
