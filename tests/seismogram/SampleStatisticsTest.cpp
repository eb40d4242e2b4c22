// Minimum, maximum and mean of the samples: the lanes and the byte turning of
// the fast pass give, bit for bit, what the plain sequential rule gives.
#include "seismogram/SampleStatistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace orvane {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The rule as the record states it, one sample after the other, samples
// that are not finite left out.
SampleStatistics Sequential(const std::vector<float>& x) {
  SampleStatistics s;
  float sum = 0.0f;
  int count = 0;
  for (float v : x) {
    if (!std::isfinite(v)) continue;
    ++count;
    sum = sum + v;
    if (!(v >= s.min)) s.min = v;
    if (v > s.max) s.max = v;
  }
  s.mean = count == 0 ? sum : sum / static_cast<float>(count);
  return s;
}

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

void ExpectSameBits(const SampleStatistics& got, const SampleStatistics& want) {
  EXPECT_EQ(Bits(got.min), Bits(want.min)) << "min " << got.min << " instead of " << want.min;
  EXPECT_EQ(Bits(got.max), Bits(want.max)) << "max " << got.max << " instead of " << want.max;
  EXPECT_EQ(Bits(got.mean), Bits(want.mean)) << "mean " << got.mean << " instead of " << want.mean;
}

// @p count samples of ordinary values, then the row's changes.
std::vector<float> Filled(std::size_t count, float base = 1.0f) {
  std::vector<float> x(count);
  for (std::size_t i = 0; i < count; ++i) x[i] = base + static_cast<float>((i * 37) % 101) * 0.25f;
  return x;
}

struct Row {
  std::string name;
  std::vector<float> samples;
};

std::vector<Row> Rows() {
  std::vector<Row> rows = {
      {"none", {}},
      {"one", {5}},
      {"three", {1, -2, 3}},
      {"single precision sum", {1e8f, 1, 1, -1e8f}},
      {"nan in the middle", {1, kNaN, 3}},
      {"nan last", {1, -5, kNaN}},
      {"nan first", {kNaN, 4, 2, 9}},
      {"infinities of both signs", {1, kInf, -kInf, 2, 3}},
      {"all above the start minimum", {3e20f, 2e20f, 5e20f, 4e20f, 6e20f}},
      {"all below the start maximum", {-3e20f, -2e20f, -5e20f, -4e20f, -6e20f}},
      {"start values themselves", {1e20f, -1e20f, 1e20f, -1e20f, 0.5f}},
  };
  // Signed zeros: the first zero met decides the sign, in whichever lane the
  // zeros fall and however many samples follow.
  for (std::size_t count : {5u, 8u, 9u, 13u, 64u, 67u, 200u}) {
    for (std::size_t first : {0u, 1u, 2u, 3u, 4u}) {
      if (first + 5 >= count) continue;
      const std::string at = std::to_string(count) + " samples, first zero at " + std::to_string(first);
      std::vector<float> x = Filled(count);  // all positive: zero is the minimum
      x[first] = -0.0f;
      x[first + 5] = 0.0f;
      rows.push_back({"minimum -0 then +0, " + at, x});
      x[first] = 0.0f;
      x[first + 5] = -0.0f;
      rows.push_back({"minimum +0 then -0, " + at, x});
      std::vector<float> y = Filled(count, -100.0f);  // all negative: zero is the maximum
      y[first] = -0.0f;
      y[first + 5] = 0.0f;
      rows.push_back({"maximum -0 then +0, " + at, y});
      y[first] = 0.0f;
      y[first + 5] = -0.0f;
      rows.push_back({"maximum +0 then -0, " + at, y});
    }
  }
  // Extremes and NaNs in every position of lanes and tails.
  for (std::size_t count = 1; count <= 19; ++count) {
    for (std::size_t at = 0; at < count; ++at) {
      const std::string where = std::to_string(count) + " samples, at " + std::to_string(at);
      std::vector<float> x = Filled(count);
      x[at] = -7.0f;
      rows.push_back({"minimum, " + where, x});
      x[at] = 1000.0f;
      rows.push_back({"maximum, " + where, x});
      x[at] = kNaN;
      rows.push_back({"nan, " + where, x});
    }
  }
  // Long records with a few odd values scattered in.
  std::mt19937 random(20260301);
  std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
  for (int r = 0; r < 6; ++r) {
    std::vector<float> x(10'000 + static_cast<std::size_t>(r));
    for (float& v : x) v = value(random);
    const char* what = "random";
    if (r == 1) x[4321] = kNaN, what = "random with a nan";
    if (r == 2) x[9999] = kNaN, x[17] = kNaN, what = "random with two nans";
    if (r == 3) {
      for (float& v : x) v = std::fabs(v);
      x[5000] = 0.0f, x[6000] = -0.0f, what = "random non-negative with zeros";
    }
    if (r == 4) x[123] = kInf, x[7777] = -kInf, what = "random with both infinities";
    rows.push_back({std::string(what) + " " + std::to_string(x.size()), x});
  }
  return rows;
}

TEST(SampleStatistics, EqualsTheSequentialRuleBitForBit) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    const auto count = static_cast<std::int32_t>(row.samples.size());
    ExpectSameBits(ComputeSampleStatistics(row.samples.data(), count), Sequential(row.samples));
  }
}

// A gap or a glitch in a recording leaves the trace its scale.
TEST(SampleStatistics, SamplesThatAreNotFiniteAreLeftOut) {
  for (const std::vector<float>& x : {std::vector<float>{1, kNaN, 3, -1, 2},
                                      std::vector<float>{kInf, 1, 3, -1, 2, -kInf, kNaN}}) {
    const SampleStatistics s = ComputeSampleStatistics(x.data(), static_cast<std::int32_t>(x.size()));
    EXPECT_EQ(s.min, -1.0f);
    EXPECT_EQ(s.max, 3.0f);
    EXPECT_EQ(s.mean, 1.25f);
  }
  const float none[] = {kNaN, kInf};
  const SampleStatistics s = ComputeSampleStatistics(none, 2);
  EXPECT_EQ(s.min, 1.0e20f);
  EXPECT_EQ(s.max, -1.0e20f);
  EXPECT_EQ(s.mean, 0.0f);
}

// Pieces of any length, the lanes starting over in each.
TEST(SampleStatistics, PiecesGiveTheSameAsOnePass) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    const auto count = static_cast<std::int32_t>(row.samples.size());
    for (std::int32_t piece : {1, 3, 4, 7, 64, 1000}) {
      SCOPED_TRACE(piece);
      RunningStatistics running;
      for (std::int32_t first = 0; first < count; first += piece)
        running.Add(row.samples.data() + first, std::min(piece, count - first));
      ExpectSameBits(running.Finish(row.samples.data(), count), Sequential(row.samples));
    }
  }
}

// Samples stored in the other byte order, decoded into a separate array and
// in place; the decoded samples are the values themselves.
TEST(SampleStatistics, TurnedSamplesDecodeAndGiveTheSame) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    const auto count = static_cast<std::int32_t>(row.samples.size());
    std::vector<unsigned char> turned(4 * row.samples.size());
    for (std::size_t i = 0; i < row.samples.size(); ++i) {
      const std::uint32_t b = Bits(row.samples[i]);
      const std::uint32_t w = (b >> 24) | ((b >> 8) & 0xff00u) | ((b << 8) & 0xff0000u) | (b << 24);
      std::memcpy(turned.data() + 4 * i, &w, 4);
    }
    std::vector<float> out(row.samples.size(), 12345.0f);
    RunningStatistics apart;
    apart.AddSwapped(turned.data(), out.data(), count);
    ExpectSameBits(apart.Finish(out.data(), count), Sequential(row.samples));
    if (!turned.empty()) {
      EXPECT_EQ(std::memcmp(out.data(), row.samples.data(), turned.size()), 0);
    }

    std::vector<float> inPlace(row.samples.size());
    if (!turned.empty()) std::memcpy(inPlace.data(), turned.data(), turned.size());
    RunningStatistics same;
    same.AddSwapped(reinterpret_cast<const unsigned char*>(inPlace.data()), inPlace.data(), count);
    ExpectSameBits(same.Finish(inPlace.data(), count), Sequential(row.samples));
    if (!turned.empty()) {
      EXPECT_EQ(std::memcmp(inPlace.data(), row.samples.data(), turned.size()), 0);
    }
  }
}

}  // namespace
}  // namespace orvane
