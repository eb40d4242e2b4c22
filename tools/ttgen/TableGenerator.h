#pragma once

// The whole travel-time file of one phase, as ttgen writes it.

#include <string>
#include <vector>

#include "tools/ttgen/EarthModel.h"
#include "tools/ttgen/TravelTimeCalculator.h"

namespace orvane::ttgen {

class TableGenerator {
 public:
  /// What changed between the computed times and the printed ones.
  struct Report {
    std::vector<double> largestError;  ///< per column, seconds, |printed − computed|
    struct Moved {
      std::size_t column, row;
      double computed, printed;  ///< seconds
    };
    std::vector<Moved> moved;  ///< entries printed other than rounded, to keep the column increasing
  };

  /// @brief The text of P.JB (phase P) or S.JB (phase S) for the fourteen
  /// table depths: 181 rows of 103 characters and LF.
  /// @return the text; throws std::runtime_error (no ray at some entry, a
  /// column that does not increase) or std::invalid_argument (other phases).
  static std::string Generate(const EarthModel& model, Phase phase, Report* report = nullptr);
};

}  // namespace orvane::ttgen
