#pragma once
// Reading a hints text (the student instructions in "init.txt" and
// "picking.txt") into the lines the hints window shows. Plain C++, so that it
// is fuzzed without Qt: a hints text comes from outside the program.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

/// Longest line the hints window shows, in bytes.
inline constexpr std::size_t kMaxHintLineLength = 119;
/// Bytes of a hints text that are read at most; the rest is left out. A real
/// hints text is a few kilobytes.
inline constexpr std::size_t kMaxHintTextBytes = 1 << 20;

/// @brief The lines of a hints text, in order.
///
/// A line ends at a line feed, which is not part of it; a carriage return
/// at the end of a line (a text saved on Windows) is dropped too. A last
/// line without a line feed is a line like the others, and a text that ends
/// with a line feed has no empty line after it ("a\n\nb\n" is "a", "", "b").
///
/// Lines longer than kMaxHintLineLength are split, not cut, so that no
/// word of the instructions is lost: each piece ends after the last blank
/// that fits, or at the limit when there is none (moved back to the start of
/// a UTF-8 character that the limit would cut). Other control characters
/// (NUL, a lone carriage return, ...) become blanks, tabs stay. Bytes are
/// otherwise kept as they are; the window reads them as UTF-8.
///
/// Every line is thus at most kMaxHintLineLength bytes long and holds no
/// control character but the tab. Only the first kMaxHintTextBytes bytes are
/// read.
std::vector<std::string> ReadHintLines(std::string_view text);

/// @brief The same for the text read from @p in (at most kMaxHintTextBytes bytes).
std::vector<std::string> ReadHintLines(std::istream& in);

}  // namespace orvane
