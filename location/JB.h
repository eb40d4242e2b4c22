#pragma once
// JB: one depth column of a travel-time table ("P.JB", "S.JB").
//
// A table file is plain text, one row per whole degree of distance (row i is
// i degrees, 0..180), no header line. Each row has a 5-character distance
// label (not read) and fourteen 7-character fields, one per focal-depth
// column; column c starts at character 5 + 7c and holds the travel time in
// seconds, right-aligned after at least one blank.
//
// How the reader treats text outside that format (all of it is refused
// silently, never read past a buffer):
// - A physical line is one row, whatever its length; only its first 127
//   characters are looked at (the fields end at character 102). A CR before
//   the LF is dropped.
// - At most 181 rows are read; further lines are ignored. Reading also stops
//   after 1 MiB, so that a huge or endless file cannot stall a trial.
// - A field holds a number when, after blanks inside the field, a decimal
//   number starts within the field ("%f" rules: optional sign, digits with an
//   optional point, optional exponent; it may run on past the field's end
//   until a character that cannot continue it). A field that is blank, holds
//   text, or a value that is not finite or of magnitude 1e6 s or more holds no
//   number: the row repeats the value of the row before it, and a first row
//   without a number reads 0.0.
// - Numbers are read without regard to the process locale.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "location/EarthModel.h"

namespace orvane {

class JB {
 public:
  static constexpr int kMaxRows = 181;
  static constexpr int kColumns = 14;
  static constexpr int kLineLimit = 127;
  static constexpr std::size_t kMaxFileBytes = 1 << 20;
  /// The focal depth in km for which each column is computed (tools/ttgen);
  /// DepthColumn(kColumnDepths[c]) == c.
  static constexpr std::array<double, kColumns> kColumnDepths = {
      0.0, 33.0, 96.38, 159.76, 223.15, 286.53, 349.91, 413.29, 476.68, 540.06, 603.44, 666.84, 730.20, 793.59};

  /// @brief Reads the column for @p depth (km) of the table "<phase>.JB" of
  /// @p model, found as FindPhaseTable finds it (location/EarthModel.h). A
  /// missing or unreadable file gives an empty table (count 0); the
  /// construction does not fail.
  /// Example: JB("P", 33.0f) reads column 1 of P.JB.
  JB(const std::string& phase, float depth, EarthModel model = kDefaultEarthModel);

  /// @brief A table read from @p text as if it were the file's contents;
  /// @p name is what fileName reports. For tests and the fuzzer.
  static JB FromText(std::string_view text, float depth, const std::string& name = "text");

  /// @brief The table read from the file at @p path (as found by the
  /// data-file lookup; empty: there is none, an empty table); @p name is what
  /// fileName reports. JB(phase, depth, model) is FromFile(FindPhaseTable(
  /// phase, model), depth, PhaseTableName(phase, model)).
  static JB FromFile(const std::string& path, float depth, const std::string& name);

  JB(JB&&) noexcept = default;
  JB& operator=(JB&&) noexcept = default;
  JB(const JB&) = delete;
  JB& operator=(const JB&) = delete;
  ~JB();

  /// @brief The depth column for a focal depth in km:
  /// trunc((depth - 16.5) * (1/63.38) + 1) in extended precision, limited to
  /// 0..13 (negative depths and NaN give 0, any depth from 777.06 km on 13).
  /// Example: 0 -> 0, 16.5 -> 1, 33 -> 1, 79.88f -> 1 (the float lies just
  /// below 79.88), 100 -> 2, 600 -> 10, 800 -> 13, -5 -> 0.
  static int DepthColumn(float depth);

  /// @brief Travel time in seconds at @p distance degrees, linear between
  /// rows; flat beyond the last row. Example: TravelTime(10.5) =
  /// times[10] + 0.5 * (times[11] - times[10]).
  /// @return 0.0 on an empty table; times[0] for negative distances; NaN for
  /// a NaN distance.
  float TravelTime(float distance) const;

  /// @brief Distance in degrees at which the table gives @p time, linear
  /// between rows (the times must increase from row to row).
  /// @return 0.0 when @p time lies below the first or above the last row, or
  /// the table is empty. Example: a time halfway between rows 20 and 21 gives 20.5.
  float DistanceAt(float time) const;

  /// true when the table has at least one row and can be used.
  bool IsUsable() const { return count >= 1; }

  std::unique_ptr<float[]> times;  // room for 181 rows, or none
  std::int32_t count = 0;          // rows read (0 when the file could not be opened)
  std::string fileName;            // "P.JB", "ak135/P.JB": the name that was looked up
  bool fileFound = false;          // the file was found and opened

 private:
  JB() = default;
  void ReadRows(std::string_view text, int column);
};

/// Distance in degrees of row i: distanceAxis[i] = i, shared by all tables.
/// It never changes, so that tables can be read on several threads at once.
inline constexpr std::array<float, JB::kMaxRows> distanceAxis = [] {
  std::array<float, JB::kMaxRows> axis{};
  for (int i = 0; i < JB::kMaxRows; ++i) axis[static_cast<std::size_t>(i)] = static_cast<float>(i);
  return axis;
}();

}  // namespace orvane
