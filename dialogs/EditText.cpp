#include "dialogs/EditText.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

namespace orvane {
namespace {

// The blanks that C's isspace() knows in the "C" locale.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view ReadPart(std::string_view text) {
  return text.substr(0, std::min<std::size_t>(text.size(), kEditReadLimit));
}

std::size_t SkipBlanks(std::string_view text, std::size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

}  // namespace

int ParseEditInteger(std::string_view text) {
  text = ReadPart(text);
  std::size_t i = SkipBlanks(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Fourteen digits fit into 64 bits, so the sum cannot overflow.
  std::int64_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) value = value * 10 + (text[i] - '0');
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

float ParseEditFloat(std::string_view text) {
  text = ReadPart(text);
  const std::size_t start = SkipBlanks(text, 0);
  std::size_t i = start;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  }
  if (digits == 0) return 0.0f;
  // An exponent counts only when at least one digit follows it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  std::string number(text.substr(start, i - start));
  if (number[0] == '+') number.erase(0, 1);  // from_chars takes no plus sign
  float value = 0.0f;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // Fourteen characters reach beyond a float only through the exponent: a
    // large one holds the number at the limit, a negative one makes it zero.
    const std::size_t e = number.find_first_of("eE");
    const bool hugeExponent = e != std::string::npos && number.find('-', e) == std::string::npos;
    const bool negative = number[0] == '-';
    if (hugeExponent) return negative ? -FLT_MAX : FLT_MAX;
    return negative ? -0.0f : 0.0f;
  }
  if (ec != std::errc() || !std::isfinite(value)) return 0.0f;
  return value;
}

int RoundMaximumRms(int seconds) { return seconds / 10 * 10; }

}  // namespace orvane
