#pragma once
// What the dialogs make of the text of their edit boxes. Plain C++, tested
// without windows.
//
// Every dialog reads only the first kEditReadLimit characters of an edit box.
// The functions here take the text as UTF-8 and cut it at kEditReadLimit
// bytes; that reads the same as cutting at characters, because a number
// consists of ASCII characters only and the first other character ends it.

#include <string_view>

namespace orvane {

/// Characters of an edit box that a dialog reads.
inline constexpr int kEditReadLimit = 14;

/// @brief The decimal integer at the start of @p text: leading blanks skipped,
/// an optional sign, then the digits up to the first other character.
/// @return 0 when there are no digits; a number beyond the range of int is
/// held at INT_MIN or INT_MAX. Only the first kEditReadLimit bytes are read.
/// Examples: "12.7" gives 12, "  -15x" gives -15, "km" gives 0.
int ParseEditInteger(std::string_view text);

/// @brief The longest leading part of @p text (after blanks) that forms a
/// decimal floating-point number: optional sign, digits with an optional
/// point, an optional exponent ("e" or "E", optional sign, digits).
/// @return 0.0 when there is none; a number beyond the range of float is held
/// at -FLT_MAX or FLT_MAX (the result is always finite). Words such as "inf"
/// or "nan" and hexadecimal numbers are not numbers here. Only the first
/// kEditReadLimit bytes are read.
/// Examples: "7.25" gives 7.25, "1e2km" gives 100, ".5" gives 0.5, "e5" gives 0.
float ParseEditFloat(std::string_view text);

/// @brief The maximum RMS kept for an entered whole number of seconds: rounded
/// to a multiple of 10 towards zero. Examples: 25 gives 20, 9 gives 0, -15 gives -10.
int RoundMaximumRms(int seconds);

}  // namespace orvane
