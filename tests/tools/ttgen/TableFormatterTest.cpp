#include "tools/ttgen/TableFormatter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace orvane::ttgen {
namespace {

std::vector<std::int64_t> Round(const std::vector<double>& times, double& deviation) {
  return TableFormatter::RoundIncreasing(times, deviation);
}

TEST(TableFormatterTest, KeepsPlainRoundingWhereItIncreases) {
  double deviation = 0.0;
  EXPECT_EQ(Round({5.0, 6.04, 7.06}, deviation), (std::vector<std::int64_t>{50, 60, 71}));
  EXPECT_NEAR(deviation, 0.04, 1e-9);
  // 3.96 and 3.99 both round to 4.0: 3.96 goes down to 3.9 (0.06 s off)
  // rather than 3.99 up to 4.1 (0.11 s off); the others keep their rounding.
  EXPECT_EQ(Round({0.0, 1.04, 2.06, 3.96, 3.99}, deviation), (std::vector<std::int64_t>{0, 10, 21, 39, 40}));
  EXPECT_NEAR(deviation, 0.06, 1e-9);
}

TEST(TableFormatterTest, FlatTailBecomesTheClosestIncreasingTenths) {
  const struct {
    std::vector<double> times;
    std::vector<std::int64_t> tenths;
    double deviation;
  } cases[] = {
      // PKIKP near the antipode: rounding would print 1212.1 twice.
      {{1211.813, 1211.962, 1212.051, 1212.081}, {12118, 12119, 12120, 12121}, 0.062},
      // Three times within 0.02 s: the best is one step down at the start.
      {{1.00, 1.01, 1.02}, {9, 10, 11}, 0.10},
      // Moving 20.0 down by 0.1 s beats moving 20.06 up by 0.14 s.
      {{10.0, 20.0, 20.04, 20.06}, {100, 199, 200, 201}, 0.10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.times.back());
    double deviation = 0.0;
    EXPECT_EQ(Round(c.times, deviation), c.tenths);
    EXPECT_NEAR(deviation, c.deviation, 1e-9);
  }
}

TEST(TableFormatterTest, RefusesTimesItCannotPrintFaithfully) {
  double deviation = 0.0;
  EXPECT_THROW(Round({5.0, 4.0}, deviation), std::runtime_error);          // decreasing
  EXPECT_THROW(Round({-0.1, 1.0}, deviation), std::runtime_error);         // negative
  EXPECT_THROW(Round({1.0, std::nan("")}, deviation), std::runtime_error);  // not a number
  EXPECT_THROW(Round({9999.95}, deviation), std::runtime_error);           // prints as 10000.0: no blank
  EXPECT_NO_THROW(Round({9999.94}, deviation));
}

TEST(TableFormatterTest, FormatsFixedColumns) {
  std::vector<std::vector<std::int64_t>> columns(14, std::vector<std::int64_t>{0, 12345, 99999});
  columns[13][1] = 7;
  const std::string text = TableFormatter::Format(columns);
  std::string expected = "    0";
  for (int c = 0; c < 14; ++c) expected += "    0.0";
  expected += "\n    1";
  for (int c = 0; c < 13; ++c) expected += " 1234.5";
  expected += "    0.7\n    2";
  for (int c = 0; c < 14; ++c) expected += " 9999.9";
  expected += "\n";
  EXPECT_EQ(text, expected);
  EXPECT_EQ(text.find('\n'), static_cast<std::size_t>(TableFormatter::kRowLength));
}

TEST(TableFormatterTest, FormatRefusesBadShapesAndValues) {
  EXPECT_THROW(TableFormatter::Format(std::vector<std::vector<std::int64_t>>(13, {1})), std::invalid_argument);
  std::vector<std::vector<std::int64_t>> columns(14, std::vector<std::int64_t>{1, 2});
  columns[5].pop_back();
  EXPECT_THROW(TableFormatter::Format(columns), std::invalid_argument);
  columns[5].push_back(100000);
  EXPECT_THROW(TableFormatter::Format(columns), std::invalid_argument);
  columns[5].back() = -1;
  EXPECT_THROW(TableFormatter::Format(columns), std::invalid_argument);
}

}  // namespace
}  // namespace orvane::ttgen
