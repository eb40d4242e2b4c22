#pragma once

// Focal depths (km) of the fourteen columns of the travel-time files. The
// program picks column c = trunc((depth − 16.5)/63.38 + 1), clamped to 0 … 13.

#include <array>

namespace orvane::ttgen {

inline constexpr std::array<double, 14> kTableDepths = {0.0,    33.0,   96.38,  159.76, 223.15, 286.53, 349.91,
                                                        413.29, 476.68, 540.06, 603.44, 666.84, 730.20, 793.59};

}  // namespace orvane::ttgen
