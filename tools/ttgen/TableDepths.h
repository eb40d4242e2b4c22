#pragma once

// Focal depths (km) of the fourteen columns of the travel-time files. The
// program picks column c = trunc((depth − 16.5)/63.38 + 1), clamped to 0 … 13;
// the depths are the program's own (location/JB.h), which interpolates
// between them for the precise answer key.

#include <array>

#include "location/JB.h"

namespace orvane::ttgen {

inline constexpr std::array<double, 14> kTableDepths = JB::kColumnDepths;

}  // namespace orvane::ttgen
