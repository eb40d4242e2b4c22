#pragma once
// All fourteen depth columns of one phase's travel-time table, for arithmetic
// finer than a trial's: the travel time at any distance and focal depth,
// linear in distance between the table's rows and linear in depth between
// its columns (JB::kColumnDepths), in double precision. A trial by click
// keeps to its one column (JB); the precise answer key uses this.
//
// Depths above the first column (negative ones) take the first column, depths
// below the last (793.59 km) the last; distances beyond the last row take
// the last row, as JB does. The columns are the shared tables of
// LoadPhaseTable, so a grid is cheap to make and may be read on any thread.

#include <array>
#include <memory>
#include <string>

#include "location/EarthModel.h"
#include "location/JB.h"

namespace orvane {

class TravelTimeGrid {
 public:
  /// @brief The table of @p phase ("P", "S") of @p model, every column.
  static TravelTimeGrid Load(const std::string& phase, EarthModel model = kDefaultEarthModel);

  /// @brief A grid of the table of @p phase read from @p text as if it were
  /// the file; @p name is what fileName reports. For tests.
  static TravelTimeGrid FromText(std::string_view text, const std::string& phase = "P",
                                 EarthModel model = kDefaultEarthModel, const std::string& name = "text");

  /// true when every column holds at least two rows (a grid made by the
  /// default constructor holds none).
  bool IsUsable() const;
  /// "P.JB", "ak135/P.JB"; and whether the file was found at all.
  std::string fileName() const { return columns_[0] ? columns_[0]->fileName : std::string(); }
  bool fileFound() const { return columns_[0] && columns_[0]->fileFound; }
  EarthModel model() const { return model_; }
  const std::string& phase() const { return phase_; }

  /// @brief The travel time in seconds at @p distance degrees from a focus
  /// @p depth km deep; with @p slowness, also dT/d(distance) there in s/deg
  /// (the slope of the row interval, interpolated in depth; 0 beyond the
  /// last row). Example: on a table whose column c holds 10 i + c at row i,
  /// Time(2.5, 64.69) = 26.5 (halfway between columns 1 and 2).
  double Time(double distance, double depth, double* slowness = nullptr) const;

 private:
  std::array<std::shared_ptr<const JB>, JB::kColumns> columns_;
  EarthModel model_ = kDefaultEarthModel;
  std::string phase_ = "P";
};

}  // namespace orvane
