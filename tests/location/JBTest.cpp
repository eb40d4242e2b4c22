// Travel-time tables: column rule, reading, forward and inverse lookups.

#include "location/JB.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "location/TableText.h"

namespace orvane {
namespace {

using test::ScratchDirectory;
using test::TableText;

// Entry (row i, column c) of the standard test table; strictly increasing
// down every column and distinct between columns.
double Entry(int i, int c) { return 5.0 + 10.0 * i + c + 0.5 * (i % 3); }
std::string FullTable() { return TableText(181, Entry); }

TEST(JBColumn, ExamplesOfTheDepthRule) {
  struct Case {
    float depth;
    int column;
  };
  const Case cases[] = {{0.0f, 0},   {33.0f, 1},    {100.0f, 2}, {600.0f, 10},
                        {800.0f, 13}, {-5.0f, 0},   {16.5f, 1},  {16.4999981f, 0},
                        {96.38f, 2}, {793.59f, 13}, {777.0f, 12}, {1e30f, 13},
                        {-1e30f, 0}, {std::numeric_limits<float>::infinity(), 13},
                        {-std::numeric_limits<float>::infinity(), 0},
                        {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.depth);
    EXPECT_EQ(JB::DepthColumn(c.depth), c.column);
  }
}

// At every boundary 16.5 + 63.38 (n - 1) km the float nearest the boundary
// and its neighbours fall on the side of the exact decimal boundary where
// they lie: 79.88f is just below 79.88 and still selects column 1.
TEST(JBColumn, BoundariesFollowTheExactRule) {
  EXPECT_EQ(JB::DepthColumn(79.88f), 1);
  EXPECT_EQ(JB::DepthColumn(std::nextafter(79.88f, 1000.0f)), 2);
  EXPECT_EQ(JB::DepthColumn(std::nextafter(16.5f, 0.0f)), 0);
  for (int n = 1; n <= 13; ++n) {
    SCOPED_TRACE(n);
    const long double boundary = 16.5L + 63.38L * (n - 1);
    const float nearest = static_cast<float>(boundary);
    const float below = nearest < boundary ? nearest : std::nextafter(nearest, 0.0f);
    const float above = nearest >= boundary ? nearest : std::nextafter(nearest, 1000.0f);
    EXPECT_EQ(JB::DepthColumn(below), n - 1);
    EXPECT_EQ(JB::DepthColumn(above), n);
  }
}

TEST(JBRead, EachColumnOfAFullTable) {
  const std::string text = FullTable();
  const float depths[] = {0, 33, 96.38f, 159.76f, 223.15f, 286.53f, 349.91f,
                          413.29f, 476.68f, 540.06f, 603.44f, 666.84f, 730.2f, 793.59f};
  for (int c = 0; c < 14; ++c) {
    SCOPED_TRACE(c);
    const JB table = JB::FromText(text, depths[c]);
    ASSERT_EQ(table.count, 181);
    for (int i = 0; i < 181; ++i) ASSERT_EQ(table.times[i], static_cast<float>(Entry(i, c))) << i;
  }
}

TEST(JBRead, CountsLinesAndStopsAt181Rows) {
  EXPECT_EQ(JB::FromText(TableText(3, Entry), 0).count, 3);
  EXPECT_EQ(JB::FromText("", 0).count, 0);
  EXPECT_FALSE(JB::FromText("", 0).IsUsable());
  const JB many = JB::FromText(TableText(200, Entry), 0);
  EXPECT_EQ(many.count, 181);
  EXPECT_EQ(many.times[180], static_cast<float>(Entry(180, 0)));
  // The last line needs no line end.
  std::string text = TableText(2, Entry);
  text.pop_back();
  EXPECT_EQ(JB::FromText(text, 0).count, 2);
}

TEST(JBRead, CarriageReturnLineEnds) {
  const JB table = JB::FromText(TableText(5, Entry, "\r\n"), 800.0f);  // last column
  ASSERT_EQ(table.count, 5);
  EXPECT_EQ(table.times[4], static_cast<float>(Entry(4, 13)));
}

TEST(JBRead, FieldsWithoutANumberRepeatTheRowBefore) {
  // Column 1 (positions 12-18): row 0 has no number, rows 2 and 3 hold text
  // and a blank field before a number of the next column.
  const std::string text =
      "    0    1.0                                                                            \n"
      "    1    2.0   12.0                                                                     \n"
      "    2    3.0   abc                                                                      \n"
      "    3    4.0           99.0                                                             \n"
      "    4    5.0  +15.5\n"
      "    5    6.0    nan\n"
      "    6    7.0    inf\n"
      "    7    8.0  1.6e1\n"
      "    8    9.0  1.7e \n"
      "    9   10.0 1.0e09\n"
      "   10   11.0  -0.25\n"
      "   11\n";
  const JB table = JB::FromText(text, 33.0f);
  ASSERT_EQ(table.count, 12);
  const float expected[] = {0.0f, 12.0f, 12.0f, 12.0f, 15.5f, 15.5f,
                            15.5f, 16.0f, 1.7f,  1.7f,  -0.25f, -0.25f};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(table.times[i], expected[i]) << i;
}

TEST(JBRead, LongLinesAreOneRow) {
  std::string line = TableText(1, Entry);
  line.pop_back();
  line += std::string(500, '7');  // far beyond the 127 characters looked at
  line += "\n";
  std::string text;
  for (int i = 0; i < 4; ++i) text += line;
  const JB table = JB::FromText(text, 0.0f);
  ASSERT_EQ(table.count, 4);
  EXPECT_EQ(table.times[3], static_cast<float>(Entry(0, 0)));
  // A number that starts in the field but runs past character 127 is cut there.
  std::string cut = std::string(96, ' ') + std::string(40, '1') + "\n";
  const JB last = JB::FromText(cut, 800.0f);
  ASSERT_EQ(last.count, 1);
  EXPECT_EQ(last.times[0], 0.0f);  // 31 digits: above 1e6 s, no number
}

TEST(JBRead, FromFileThroughTheDataLookup) {
  ScratchDirectory dir;
  test::WriteFile(dir.path() / "X.JB", FullTable());
  const JB table("X", 33.0f);
  EXPECT_TRUE(table.fileFound);
  EXPECT_EQ(table.fileName, "X.JB");
  ASSERT_EQ(table.count, 181);
  EXPECT_EQ(table.times[7], static_cast<float>(Entry(7, 1)));
  for (int i = 0; i <= 180; ++i) EXPECT_EQ(distanceAxis[i], static_cast<float>(i));

  const JB missing("NoSuchPhase", 0.0f);
  EXPECT_FALSE(missing.fileFound);
  EXPECT_EQ(missing.count, 0);
  EXPECT_EQ(missing.times, nullptr);
  EXPECT_EQ(missing.fileName, "NoSuchPhase.JB");
}

TEST(JBLookup, ForwardInterpolatesAndIsFlatBeyondTheEnd) {
  const JB table = JB::FromText(FullTable(), 0.0f);
  const float* t = table.times.get();
  EXPECT_EQ(table.TravelTime(10.5f), t[10] + 0.5f * (t[11] - t[10]));
  EXPECT_EQ(table.TravelTime(0.0f), t[0]);
  EXPECT_EQ(table.TravelTime(180.0f), t[180]);
  EXPECT_EQ(table.TravelTime(190.0f), t[180]);
  EXPECT_EQ(table.TravelTime(1e30f), t[180]);
  EXPECT_EQ(table.TravelTime(179.75f), t[179] + 0.75f * (t[180] - t[179]));
  EXPECT_EQ(table.TravelTime(-3.0f), t[0]);
  EXPECT_TRUE(std::isnan(table.TravelTime(std::nanf(""))));
  const JB short100 = JB::FromText(TableText(100, Entry), 0.0f);
  EXPECT_EQ(short100.TravelTime(150.0f), short100.times[99]);
  EXPECT_EQ(short100.TravelTime(99.0f), short100.times[99]);
  EXPECT_EQ(JB::FromText("", 0.0f).TravelTime(10.0f), 0.0f);
}

// Between the last row and one past it there is no next row to interpolate
// towards: the table is flat there too (the array has room for 181 rows, so
// reading one past the last would not fault, only give a wrong time).
TEST(JBLookup, FlatBetweenTheLastRowAndOnePast) {
  const JB table = JB::FromText(TableText(3, [](int i) { return 10.0 * i; }), 0.0f);
  ASSERT_EQ(table.count, 3);
  const struct {
    float distance;
    float time;
  } rows[] = {{1.5f, 15.0f}, {2.0f, 20.0f}, {2.5f, 20.0f}, {2.999f, 20.0f}, {3.0f, 20.0f}, {7.0f, 20.0f}};
  for (const auto& row : rows) EXPECT_EQ(table.TravelTime(row.distance), row.time) << row.distance;
}

// times[i] + (x - i) * (times[i+1] - times[i]) is rounded to a float once;
// rounding the product first gives a different float for part of the
// distances, so the loop must meet some of those to tell the two apart.
TEST(JBLookup, ForwardInterpolationIsRoundedOnce) {
  const JB table = JB::FromText(TableText(181, [](int i) { return 3.7 * i + 0.013 * i * i + 0.3; }), 0.0f);
  const float* t = table.times.get();
  int differing = 0;
  for (float x = 0.0f; x < 180.0f; x += 0.0173f) {
    const int i = static_cast<int>(x);
    const float f = x - static_cast<float>(i);
    const auto once = static_cast<float>(static_cast<long double>(t[i]) +
                                         static_cast<long double>(f) * (static_cast<long double>(t[i + 1]) - t[i]));
    const float stepwise = t[i] + f * (t[i + 1] - t[i]);
    if (once != stepwise) ++differing;
    ASSERT_EQ(table.TravelTime(x), once) << x;
  }
  EXPECT_GT(differing, 10);
}

TEST(JBLookup, InverseFindsTheDistance) {
  const JB table = JB::FromText(FullTable(), 0.0f);
  const float* t = table.times.get();
  EXPECT_EQ(table.DistanceAt(t[0]), 0.0f);
  for (int k = 1; k < 180; ++k) EXPECT_EQ(table.DistanceAt(t[k]), static_cast<float>(k)) << k;
  EXPECT_EQ(table.DistanceAt(t[180]), 180.0f);
  EXPECT_EQ(table.DistanceAt(t[0] - 0.1f), 0.0f);
  EXPECT_EQ(table.DistanceAt(t[180] + 0.1f), 0.0f);
  EXPECT_FLOAT_EQ(table.DistanceAt((t[20] + t[21]) / 2), 20.5f);
  EXPECT_EQ(table.DistanceAt(std::nanf("")), 0.0f);
  EXPECT_EQ(JB::FromText("", 0.0f).DistanceAt(5.0f), 0.0f);
  const JB short3 = JB::FromText(TableText(3, Entry), 0.0f);
  EXPECT_EQ(short3.DistanceAt(short3.times[2]), 2.0f);
  // Round trip through both lookups.
  for (float d = 0.0f; d < 180.0f; d += 0.37f) EXPECT_NEAR(table.DistanceAt(table.TravelTime(d)), d, 1e-3) << d;
}

}  // namespace
}  // namespace orvane
