#pragma once

// The fixed-column travel-time file: one row per whole degree, the distance
// in positions 0–4 and fourteen 7-character fields of seconds with one
// decimal, each right-aligned with at least one leading blank.
//
// The program interpolates inversely in every column, which needs the
// printed times to grow strictly from row to row. Where plain rounding to
// 0.1 s would print two equal neighbours (PKIKP and SKIKS near 180°, where
// the time changes by less than 0.1 s per degree), the column is printed as
// the strictly increasing sequence of tenths that departs least from the
// computed times in the largest error; rows that plain rounding already
// serves keep their rounded value.

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::ttgen {

class TableFormatter {
 public:
  static constexpr int kColumns = 14;
  static constexpr int kRowLength = 5 + 7 * kColumns;  // 103
  static constexpr std::int64_t kMaxTenths = 99999;    // 9999.9 s still leaves a blank in 7 characters

  /// @brief Tenths of a second, strictly increasing, as close to times as
  /// possible: plain rounding of {1211.96, 1212.05, 1212.08} would give
  /// 1212.0, 1212.1, 1212.1; this gives 1211.9, 1212.0, 1212.1 (largest error 0.06 s).
  /// @return the tenths; maxDeviation receives the largest |printed − time| in
  /// seconds. Throws std::runtime_error when a time is negative, not finite,
  /// or too large for the field, or when the column would need to move a time
  /// by more than 0.5 s (times that do not increase).
  static std::vector<std::int64_t> RoundIncreasing(const std::vector<double>& times, double& maxDeviation);

  /// @brief The file text: columns[c][row] in tenths; rows end in LF.
  /// Row 45 looks like "   45  497.0  ...". Throws std::invalid_argument
  /// unless there are 14 columns of equal length with values in 0 … 99999.
  static std::string Format(const std::vector<std::vector<std::int64_t>>& columns);
};

}  // namespace orvane::ttgen
