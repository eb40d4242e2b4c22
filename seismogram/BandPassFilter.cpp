#include "seismogram/BandPassFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>

#include "seismogram/KSAC.h"

namespace orvane {
namespace {

using Complex = std::complex<double>;

std::string Hz(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g Hz", value);
  return text;
}

}  // namespace

std::optional<BandPassFilter> BandPassFilter::Design(double low, double high, int order, double delta,
                                                     std::string& reason) {
  if (order != 2 && order != 4) {
    reason = "the filter's order is 2 or 4, not " + std::to_string(order);
    return std::nullopt;
  }
  if (!(delta > 0.0) || !std::isfinite(delta)) {
    reason = "the record has no sampling interval to filter with";
    return std::nullopt;
  }
  const double nyquist = 0.5 / delta;
  char apart[48];
  std::snprintf(apart, sizeof apart, "%g s apart", delta);
  if (!(low > 0.0) || !std::isfinite(low)) {
    reason = "the lower corner must be above 0 Hz";
    return std::nullopt;
  }
  if (!(high > low) || !std::isfinite(high)) {
    reason = "the upper corner must be above the lower corner (" + Hz(low) + ")";
    return std::nullopt;
  }
  if (high >= nyquist) {
    reason = "the upper corner " + Hz(high) + " is at or above the Nyquist frequency (" + Hz(nyquist) +
             ") of samples " + apart;
    return std::nullopt;
  }

  const int n = order;
  const double pi = std::numbers::pi;
  // Corners as fractions of the Nyquist frequency, pre-warped for the
  // bilinear transform at a sampling rate of 2.
  const double warpedLow = 4.0 * std::tan(pi * (low / nyquist) / 2.0);
  const double warpedHigh = 4.0 * std::tan(pi * (high / nyquist) / 2.0);
  const double bandwidth = warpedHigh - warpedLow;
  const double centre = std::sqrt(warpedLow * warpedHigh);

  // The low-pass prototype's poles on the left half of the unit circle, each
  // giving two band-pass poles.
  std::vector<Complex> poles;
  for (int m = -n + 1; m < n; m += 2) {
    const Complex prototype = -std::exp(Complex(0.0, pi * m / (2.0 * n)));
    const Complex scaled = prototype * (bandwidth / 2.0);
    const Complex root = std::sqrt(scaled * scaled - centre * centre);
    poles.push_back(scaled + root);
    poles.push_back(scaled - root);
  }
  // Band-pass gain, then the bilinear transform: poles p -> (4 + p) / (4 - p);
  // n zeros at the origin go to z = 1, the n at infinity to z = -1.
  Complex gain = std::pow(bandwidth, n) * std::pow(4.0, n);
  std::vector<Complex> digital;
  for (const Complex& p : poles) {
    gain /= 4.0 - p;
    digital.push_back((4.0 + p) / (4.0 - p));
  }

  // One pole of each conjugate pair (all poles are complex for even orders).
  std::vector<Complex> upper;
  for (const Complex& p : digital)
    if (p.imag() > 0.0) upper.push_back(p);
  if (static_cast<int>(upper.size()) != n) {
    reason = "the band " + Hz(low) + " to " + Hz(high) + " cannot be designed for samples " + apart;
    return std::nullopt;
  }
  std::vector<double> zeros(n, 1.0);
  zeros.insert(zeros.end(), n, -1.0);

  // Sections: the pole nearest the unit circle first, with the zeros nearest
  // to it; then reversed, so that those come last.
  BandPassFilter filter;
  while (!upper.empty()) {
    const auto worst = std::min_element(upper.begin(), upper.end(), [](const Complex& a, const Complex& b) {
      return std::fabs(1.0 - std::abs(a)) < std::fabs(1.0 - std::abs(b));
    });
    const Complex p = *worst;
    upper.erase(worst);
    double pair[2];
    for (double& z : pair) {
      const auto nearest = std::min_element(zeros.begin(), zeros.end(), [&p](double a, double b) {
        return std::abs(Complex(a) - p) < std::abs(Complex(b) - p);
      });
      z = *nearest;
      zeros.erase(nearest);
    }
    filter.sections_.push_back({1.0, -(pair[0] + pair[1]), pair[0] * pair[1], -2.0 * p.real(), std::norm(p)});
  }
  std::reverse(filter.sections_.begin(), filter.sections_.end());
  Section& first = filter.sections_.front();
  const double k = gain.real();
  first.b0 *= k;
  first.b1 *= k;
  first.b2 *= k;
  return filter;
}

void BandPassFilter::Apply(const float* in, float* out, std::size_t count) const {
  constexpr std::size_t kMaxSections = 8;
  const std::size_t sections = std::min(sections_.size(), kMaxSections);
  double state[kMaxSections][2] = {};
  for (std::size_t i = 0; i < count; ++i) {
    double x = in[i];
    if (!std::isfinite(x)) {
      // A gap: kept, and the filter starts from rest after it.
      out[i] = in[i];
      for (auto& s : state) s[0] = s[1] = 0.0;
      continue;
    }
    for (std::size_t j = 0; j < sections; ++j) {
      const Section& s = sections_[j];
      const double y = s.b0 * x + state[j][0];
      state[j][0] = s.b1 * x - s.a1 * y + state[j][1];
      state[j][1] = s.b2 * x - s.a2 * y;
      x = y;
    }
    out[i] = static_cast<float>(x);
  }
}

void BandPassFilter::Apply(KSAC& record) const {
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  if (record.samples && npts > 0) Apply(record.samples.get(), record.samples.get(), static_cast<std::size_t>(npts));
  record.ComputeMinMaxMean();
}

}  // namespace orvane
