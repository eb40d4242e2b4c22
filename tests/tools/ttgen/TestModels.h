#pragma once

// The model files shipped with ttgen, loaded once per test run.

#include <string>

#include "tools/ttgen/EarthModel.h"

namespace orvane::ttgen::testing {

inline std::string ModelPath(const std::string& file) { return std::string(ORVANE_TTGEN_MODELS) + "/" + file; }

inline const EarthModel& Iasp91() {
  static const EarthModel model = EarthModel::Load(ModelPath("iasp91.tvel"));
  return model;
}

}  // namespace orvane::ttgen::testing
