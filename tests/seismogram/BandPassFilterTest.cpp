#include "seismogram/BandPassFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace orvane {
namespace {

struct Reference {
  int order;
  double low, high, delta, peak;
  std::vector<std::vector<double>> sos;               // b0 b1 b2 a0 a1 a2 per section
  std::vector<std::pair<int, double>> output;         // (sample, value)
};

// The input of the reference outputs: a unit impulse on a 1.7 Hz sine and a
// sawtooth of period 13, in single precision.
std::vector<float> Input(int n, double delta) {
  std::vector<float> x(n);
  for (int i = 0; i < n; ++i) {
    double v = std::sin(2.0 * std::numbers::pi * 1.7 * i * delta) + 0.5 * (((i * 7919) % 13) - 6) / 6.0;
    if (i == 0) v += 1.0;
    x[i] = static_cast<float>(v);
  }
  return x;
}

// Generated once with Debian's python3-scipy 1.10:
//   sos = scipy.signal.butter(order, [low, high], btype='bandpass', fs=1/delta, output='sos')
//   y = scipy.signal.sosfilt(sos, Input(4000, delta) as float32 then float64)
const Reference kReferences[] = {
    {4, 1.0, 5.0, 0.01, 1.0852781079414544,
     {{0.00018321602336960913, 0.00036643204673921827, 0.00018321602336960913, 1, -1.6666332762220217,
       0.71159949228436803},
      {1, 2, 1, 1, -1.7687782008236974, 0.85454658240748527},
      {1, -2, 1, 1, -1.8731919514696949, 0.88017805795292292},
      {1, -2, 1, 1, -1.9627173128393824, 0.96683007100676399}},
     {{0, 9.1608011684804567e-05}, {1, 0.00062457209905418737}, {2, 0.0020566103995284463},
      {5, 0.013413852259303242}, {10, 0.10397230711003586}, {50, 0.075958176464042848},
      {100, -0.93800465068646133}, {333, -0.96888443440829475}, {1000, 0.73341011533982947},
      {2500, -0.72779846221601685}, {3999, 0.65312858950798325}}},
    {2, 0.5, 2.0, 0.05, 1.0454130773989219,
     {{0.041253537241720296, 0.082507074483440593, 0.041253537241720296, 1, -1.3633621339049997,
       0.60616706567145684},
      {1, -2, 1, 1, -1.8185984450628669, 0.84792118102017455}},
     {{0, 0.020626768620860148}, {1, 0.072882144663602988}, {2, 0.1387944129851067}, {5, 0.41146132894686727},
      {10, -0.95191012827109756}, {50, 0.29483619699620345}, {100, 0.84769229881613462},
      {333, 0.75251625886366835}, {1000, -0.82316576149609144}, {2500, 0.69508751308490857},
      {3999, -0.73629616965169076}}},
    {4, 0.5, 2.0, 0.005, 1.0104062060900709,
     {{2.9001703358711965e-07, 5.8003406717423931e-07, 2.9001703358711965e-07, 1, -1.940785572639633,
       0.94278957481755743},
      {1, 2, 1, 1, -1.9682493473869298, 0.97191299242768248},
      {1, -2, 1, 1, -1.9717436101869497, 0.9722092482000505},
      {1, -2, 1, 1, -1.9921988588977877, 0.9924599397691567}},
     {{0, 1.4500851679355983e-07}, {1, 1.0604580320771207e-06}, {2, 3.8185005157770742e-06},
      {5, 3.3153226950298363e-05}, {10, 0.00034303269125682365}, {50, 0.13849478720552005},
      {100, -0.27649078273291661}, {333, 0.021944908591505052}, {1000, 0.80334666576902214},
      {2500, -0.52563059467610285}, {3999, -0.77098643660743094}}},
};

BandPassFilter Designed(int order, double low, double high, double delta) {
  std::string reason;
  auto filter = BandPassFilter::Design(low, high, order, delta, reason);
  EXPECT_TRUE(filter) << reason;
  return filter ? *filter : *BandPassFilter::Design(1, 2, 2, 0.01, reason);
}

TEST(BandPassFilter, SectionsAndOutputAreScipysButterAndSosfilt) {
  for (const Reference& ref : kReferences) {
    SCOPED_TRACE(testing::Message() << "order " << ref.order << ", " << ref.low << "-" << ref.high
                                    << " Hz, delta " << ref.delta);
    const BandPassFilter filter = Designed(ref.order, ref.low, ref.high, ref.delta);
    ASSERT_EQ(filter.sections().size(), ref.sos.size());
    for (std::size_t s = 0; s < ref.sos.size(); ++s) {
      const auto& want = ref.sos[s];
      const auto& got = filter.sections()[s];
      const double values[] = {got.b0, got.b1, got.b2, 1.0, got.a1, got.a2};
      for (int c = 0; c < 6; ++c)
        EXPECT_NEAR(values[c], want[c], 1e-12 * std::max(1.0, std::fabs(want[c]))) << "section " << s << " " << c;
    }
    const std::vector<float> x = Input(4000, ref.delta);
    std::vector<float> y(x.size());
    filter.Apply(x.data(), y.data(), x.size());
    // Required: within 1e-4 of the peak; single-precision output does far better.
    for (const auto& [i, value] : ref.output) EXPECT_NEAR(y[i], value, 1e-6 * ref.peak) << "sample " << i;
  }
}

// |H| of the sections at @p hz.
double Gain(const BandPassFilter& filter, double hz, double delta) {
  const std::complex<double> z1 = std::exp(std::complex<double>(0.0, -2.0 * std::numbers::pi * hz * delta));
  std::complex<double> h = 1.0;
  for (const auto& s : filter.sections())
    h *= (s.b0 + s.b1 * z1 + s.b2 * z1 * z1) / (1.0 + s.a1 * z1 + s.a2 * z1 * z1);
  return std::abs(h);
}

TEST(BandPassFilter, ResponseIsTheAnalogButterworthBandPassAtThePrewarpedFrequency) {
  // The bilinear transform maps f to tan(pi f delta): there the gain must be
  // the analog band-pass's, 1 / sqrt(1 + ((W^2 - Wl Wh) / (W (Wh - Wl)))^(2n)):
  // -3 dB at both corners, 1 at the centre, 20 n dB per decade outside.
  const struct {
    int order;
    double low, high, delta;
  } cases[] = {{2, 0.5, 2.0, 0.01}, {4, 1.0, 5.0, 0.01}, {4, 2.0, 8.0, 0.025}, {4, 0.5, 2.0, 0.005},
               {2, 10.0, 49.0, 0.01}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "order " << c.order << ", " << c.low << "-" << c.high << " Hz, delta "
                                    << c.delta);
    const BandPassFilter filter = Designed(c.order, c.low, c.high, c.delta);
    EXPECT_NEAR(Gain(filter, c.low, c.delta), std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(Gain(filter, c.high, c.delta), std::sqrt(0.5), 1e-9);
    const double wl = std::tan(std::numbers::pi * c.low * c.delta);
    const double wh = std::tan(std::numbers::pi * c.high * c.delta);
    const double nyquist = 0.5 / c.delta;
    for (double f = nyquist / 1000.0; f < nyquist * 0.999; f *= 1.1) {
      const double w = std::tan(std::numbers::pi * f * c.delta);
      const double analog = 1.0 / std::sqrt(1.0 + std::pow((w * w - wl * wh) / (w * (wh - wl)), 2 * c.order));
      EXPECT_NEAR(Gain(filter, f, c.delta) / analog, 1.0, 1e-7) << f << " Hz";
    }
  }
}

TEST(BandPassFilter, CornersAtOrAboveNyquistAndOtherImpossibleBandsAreRefused) {
  const struct {
    double low, high;
    int order;
    double delta;
    const char* reason;
  } rows[] = {
      {1.0, 50.0, 4, 0.01, "the upper corner 50 Hz is at or above the Nyquist frequency (50 Hz) of samples 0.01 s apart"},
      {1.0, 60.0, 2, 0.01, "the upper corner 60 Hz is at or above the Nyquist frequency (50 Hz) of samples 0.01 s apart"},
      {0.0, 5.0, 4, 0.01, "the lower corner must be above 0 Hz"},
      {5.0, 5.0, 4, 0.01, "the upper corner must be above the lower corner (5 Hz)"},
      {1.0, 5.0, 3, 0.01, "the filter's order is 2 or 4, not 3"},
      {1.0, 5.0, 4, -12345.0, "the record has no sampling interval to filter with"},
  };
  for (const auto& row : rows) {
    std::string reason;
    EXPECT_FALSE(BandPassFilter::Design(row.low, row.high, row.order, row.delta, reason));
    EXPECT_EQ(reason, row.reason);
  }
}

TEST(BandPassFilter, AGapStaysAGapAndTheFilterStartsFromRestAfterIt) {
  const BandPassFilter filter = Designed(4, 1.0, 5.0, 0.01);
  std::vector<float> x = Input(600, 0.01);
  for (int i = 300; i < 310; ++i) x[i] = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> y(x.size());
  filter.Apply(x.data(), y.data(), x.size());
  std::vector<float> before(300), after(290);
  filter.Apply(x.data(), before.data(), 300);
  filter.Apply(x.data() + 310, after.data(), 290);
  for (int i = 0; i < 600; ++i) {
    SCOPED_TRACE(i);
    if (i < 300) EXPECT_EQ(y[i], before[i]);
    else if (i < 310) EXPECT_TRUE(std::isnan(y[i]));
    else EXPECT_EQ(y[i], after[i - 310]);
  }
}

}  // namespace
}  // namespace orvane
