// The trace drawn per column gives the very pixels of the full polyline
// through every sample, on images: many samples per column, fewer samples
// than columns, zoomed and scrolled traces, samples that are not numbers, and
// thousands of short random traces that end in every way a column can end.
#include "display/TraceDrawing.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "display/TraceRecords.h"
#include "map/DrawingPrimitives.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

constexpr QRgb kWhite = 0xffffffff;
constexpr int kLeft = 10, kTop = 10;

// The trace as the windows define it: the pen at sample 0, a line to every
// sample up to and including the first point at or beyond the right edge; a
// sample that is not a finite number lifts the pen, which is put down again
// at the next finite sample.
void DrawEverySample(Surface& surface, std::span<const float> v, const SampleColumns& columns,
                     const SampleRows& rows, int width) {
  bool down = false;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const int x = columns.X(static_cast<std::int64_t>(i));
    if (!std::isfinite(v[i])) {
      down = false;
    } else if (!down) {
      surface.MoveTo(x, rows.Y(v[i]));
      surface.LineTo(x, rows.Y(v[i]));
      down = true;
    } else {
      surface.LineTo(x, rows.Y(v[i]));
    }
    if (x >= width) break;
  }
}

// The trace area is (kLeft, kTop) … (kLeft + width, kTop + height) of a white image.
QImage Paint(bool everySample, std::span<const float> v, const SampleColumns& columns, const SampleRows& rows,
             int width, int height) {
  QImage image(width + 2 * kLeft, height + 2 * kTop, QImage::Format_RGB32);
  image.fill(kWhite);
  Surface surface(image);
  SetDrawingOrigin(surface, Rect{kLeft, kTop, kLeft + width, kTop + height}, true);
  surface.SelectPen(Pen::Solid(QColor(0, 0, 0), 1));
  if (everySample)
    DrawEverySample(surface, v, columns, rows, width);
  else
    DrawTrace(surface, v, columns, rows, width);
  return image;
}

// The first pixel where the two pictures differ, or "" when they are the same.
std::string Difference(const QImage& a, const QImage& b) {
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y))
        return "pixel (" + std::to_string(x - kLeft) + ", " + std::to_string(y - kTop) + ") of the trace area";
  return "";
}

int Ink(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) != kWhite;
  return n;
}

std::vector<float> Noise(int count, std::uint32_t seed, float amplitude) {
  std::mt19937 random(seed);
  std::normal_distribution<float> normal(0.0f, amplitude);
  std::vector<float> v(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    v[static_cast<std::size_t>(i)] = normal(random) + amplitude * 3 * static_cast<float>(std::sin(i * 0.001));
  return v;
}

struct TraceCase {
  const char* name;
  std::vector<float> samples;
  SampleColumns columns;
  SampleRows rows;
  int width = 300;
  int height = 120;
};

void PrintTo(const TraceCase& c, std::ostream* os) { *os << c.name; }

class SamePixels : public testing::TestWithParam<TraceCase> {};

TEST_P(SamePixels, AsTheFullPolyline) {
  const TraceCase& c = GetParam();
  const QImage full = Paint(true, c.samples, c.columns, c.rows, c.width, c.height);
  const QImage columns = Paint(false, c.samples, c.columns, c.rows, c.width, c.height);
  EXPECT_GT(Ink(full), 0) << "the case draws nothing to compare";
  EXPECT_EQ(Difference(full, columns), "");
}

std::vector<float> WithSpecials(std::vector<float> v) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (std::size_t i = 97; i < v.size(); i += 1013) v[i] = nan;
  for (std::size_t i = 331; i < v.size(); i += 2039) v[i] = inf;
  for (std::size_t i = 555; i < v.size(); i += 3001) v[i] = -inf;
  return v;
}

// Three samples a column apart, scrolled to samples 667 … 766: gaps at the
// sample whose line enters the area, of one and of two samples, and a lone
// finite sample between two gaps.
std::vector<float> WithGaps(std::vector<float> v) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (std::size_t i : {666u, 700u, 720u, 721u, 730u, 732u}) v[i] = nan;
  v[701] = std::numeric_limits<float>::infinity();
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Traces, SamePixels,
    testing::Values(
        TraceCase{"manyPerColumn", Noise(200'000, 1, 10.0f), {300.0f / 200'000, 0.0f}, {60, 0.0, 1.5}},
        TraceCase{"millionSamples", Noise(1'000'000, 2, 10.0f), {300.0f / 1'000'000, 0.0f}, {60, 0.0, 1.5}},
        TraceCase{"fewerThanColumns", Noise(40, 3, 10.0f), {300.0f / 40, 0.0f}, {60, 0.0, 2.0}},
        TraceCase{"aboutOnePerColumn", Noise(311, 4, 10.0f), {300.0f / 311, 0.0f}, {60, 0.0, 2.0}},
        TraceCase{"zoomedAndScrolled", Noise(20'000, 5, 10.0f), {5 * 300.0f / 20'000, -700.0f}, {60, 0.0, 1.5}},
        TraceCase{"startsRightOfTheEdge", Noise(5'000, 6, 10.0f), {0.02f, 57.0f}, {60, 0.0, 1.5}},
        TraceCase{"startsFarLeft", Noise(50'000, 7, 10.0f), {40.0f, -1'000'000.0f}, {60, 0.0, 1.5}},
        TraceCase{"steepLinesBetweenColumns", Noise(900, 8, 10.0f), {300.0f / 900, 0.0f}, {60, 0.0, 9.0}},
        TraceCase{"swingsOffTheArea", Noise(30'000, 9, 10.0f), {300.0f / 30'000, 0.0f}, {60, 0.0, 40.0}},
        TraceCase{"notNumbersAndInfinities", WithSpecials(Noise(60'000, 10, 10.0f)), {300.0f / 60'000, 0.0f},
                  {60, 0.0, 1.5}},
        TraceCase{"gapsBetweenColumns", WithGaps(Noise(1'000, 15, 10.0f)), {3.0f, -2000.0f}, {60, 0.0, 2.0}},
        TraceCase{"allInOneColumn", Noise(5'000, 11, 10.0f), {1e-6f, 20.0f}, {60, 0.0, 1.5}},
        TraceCase{"meanAwayFromZero", Noise(10'000, 12, 10.0f), {300.0f / 10'000, 0.0f}, {60, 4.0, 1.5}},
        TraceCase{"upsideDown", Noise(10'000, 13, 10.0f), {300.0f / 10'000, 0.0f}, {60, 0.0, -1.5}}),
    [](const testing::TestParamInfo<TraceCase>& info) { return info.param.name; });

TEST(SamePixels, ShortRandomTracesEndingInEveryWay) {
  // Few values on few rows, so that runs, repeats and returns to an extreme
  // are common in the last column, where the trace's own end point stays out.
  std::mt19937 random(20251019);
  std::uniform_int_distribution<int> length(1, 14);
  std::uniform_int_distribution<int> value(-3, 4);  // 4 stands for a gap: NaN or infinity
  const float steps[] = {0.2f, 0.25f, 0.34f, 0.5f, 1.0f, 1.5f, 3.0f};
  std::uniform_int_distribution<int> pickStep(0, 6);
  std::uniform_int_distribution<int> shift(-3, 2);
  int compared = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<float> v(static_cast<std::size_t>(length(random)));
    for (float& x : v) {
      const int k = value(random);
      x = k != 4 ? static_cast<float>(k)
          : trial % 2 ? std::numeric_limits<float>::quiet_NaN() : std::numeric_limits<float>::infinity();
    }
    const SampleColumns columns{steps[pickStep(random)], static_cast<float>(shift(random))};
    const SampleRows rows{10, 0.0, 2.0};
    const QImage full = Paint(true, v, columns, rows, 12, 20);
    const QImage drawn = Paint(false, v, columns, rows, 12, 20);
    const std::string difference = Difference(full, drawn);
    if (!difference.empty()) {
      std::string values;
      for (float x : v) values += (std::isfinite(x) ? std::to_string(static_cast<int>(x)) : std::to_string(x)) + " ";
      FAIL() << "trial " << trial << ", step " << columns.step << ", offset " << columns.offset << ", samples "
             << values << ": " << difference;
    }
    ++compared;
  }
  EXPECT_EQ(compared, 3000);
}

TEST(DrawTrace, NothingWithoutSamplesOrWithoutATimeAxis) {
  const std::vector<float> v = Noise(100, 14, 10.0f);
  const SampleRows rows{60, 0.0, 1.0};
  EXPECT_EQ(Ink(Paint(false, {}, {1.0f, 0.0f}, rows, 300, 120)), 0);
  EXPECT_EQ(Ink(Paint(false, v, {0.0f, 0.0f}, rows, 300, 120)), 0);
  EXPECT_EQ(Ink(Paint(false, v, {-1.0f, 0.0f}, rows, 300, 120)), 0);
  EXPECT_EQ(Ink(Paint(false, v, {std::numeric_limits<float>::quiet_NaN(), 0.0f}, rows, 300, 120)), 0);
  EXPECT_EQ(Ink(Paint(false, v, {1.0f, 0.0f}, rows, 0, 120)), 0);
}

TEST(DrawTrace, AConstantTraceIsAFlatLineOnTheCentre) {
  const std::vector<float> v(1000, 42.0f);
  const QImage image = Paint(false, v, {300.0f / 1000, 0.0f}, {60, 42.0, 1.0}, 300, 120);
  // From the first sample to the column of the last one (299), whose own end
  // point a thin line leaves out.
  int onCentre = 0;
  for (int x = 0; x < 300; ++x) onCentre += image.pixel(kLeft + x, kTop + 60) != kWhite;
  EXPECT_EQ(onCentre, 299);
  EXPECT_EQ(Ink(image), 299);
}

TEST(SampleRows, UpIsPositiveAndStrangeValuesStayDrawable) {
  const SampleRows rows{50, 1.0, 2.0};
  EXPECT_EQ(rows.Y(1.0f), 50);
  EXPECT_EQ(rows.Y(6.0f), 40);
  EXPECT_EQ(rows.Y(-4.0f), 60);
  EXPECT_EQ(rows.Y(std::numeric_limits<float>::quiet_NaN()), 50);
  EXPECT_EQ(rows.Y(std::numeric_limits<float>::infinity()), -(1 << 30));
  EXPECT_EQ(rows.Y(-std::numeric_limits<float>::infinity()), 1 << 30);
  const SampleRows flat{50, 0.0, 0.0};
  EXPECT_EQ(flat.Y(std::numeric_limits<float>::infinity()), 50);
}

TEST(SampleStatisticsCache, KeepsWhatComputeMinMaxMeanGivesUntilTheSamplesChange) {
  auto record = test::TraceRecord({1.0f, -2.0f, 3.0f}).Build();
  SampleStatisticsCache cache;
  cache.Apply(*record);
  EXPECT_EQ(record->GetFloatHeader(KSAC::DEPMIN), -2.0f);
  EXPECT_EQ(record->GetFloatHeader(KSAC::DEPMAX), 3.0f);
  EXPECT_FLOAT_EQ(record->GetFloatHeader(KSAC::DEPMEN), 0.6666667f);

  // Something else wrote the header: the next paint puts the values back.
  record->SetFloatHeader(KSAC::DEPMIN, 99.0f);
  record->SetFloatHeader(KSAC::DEPMEN, 99.0f);
  cache.Apply(*record);
  EXPECT_EQ(record->GetFloatHeader(KSAC::DEPMIN), -2.0f);
  EXPECT_FLOAT_EQ(record->GetFloatHeader(KSAC::DEPMEN), 0.6666667f);

  // New samples are noticed.
  const float other[] = {10.0f, 20.0f};
  record->SetData(other, 2);
  cache.Apply(*record);
  EXPECT_EQ(record->GetFloatHeader(KSAC::DEPMIN), 10.0f);
  EXPECT_EQ(record->GetFloatHeader(KSAC::DEPMAX), 20.0f);
  EXPECT_EQ(record->GetFloatHeader(KSAC::DEPMEN), 15.0f);
}

}  // namespace
}  // namespace orvane
