#include "location/JB.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>


namespace orvane {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number of the field that starts at @p start, or nothing (see JB.h).
bool ParseField(std::string_view line, std::size_t start, float& value) {
  if (start >= line.size()) return false;
  const std::size_t fieldEnd = std::min(line.size(), start + 7);
  std::size_t p = start;
  while (p < fieldEnd && IsBlank(line[p])) ++p;
  if (p >= fieldEnd) return false;
  std::size_t numberStart = p;
  if (line[p] == '+') numberStart = ++p;  // from_chars takes no '+'
  else if (line[p] == '-') ++p;
  std::size_t digits = 0;
  while (p < line.size() && IsDigit(line[p])) ++p, ++digits;
  if (p < line.size() && line[p] == '.') {
    ++p;
    while (p < line.size() && IsDigit(line[p])) ++p, ++digits;
  }
  if (digits == 0) return false;
  // An exponent counts only when complete, as with strtod.
  if (p < line.size() && (line[p] == 'e' || line[p] == 'E')) {
    std::size_t q = p + 1;
    if (q < line.size() && (line[q] == '+' || line[q] == '-')) ++q;
    if (q < line.size() && IsDigit(line[q])) {
      while (q < line.size() && IsDigit(line[q])) ++q;
      p = q;
    }
  }
  float parsed = 0.0f;
  const char* first = line.data() + numberStart;
  const char* last = line.data() + p;
  const auto result = std::from_chars(first, last, parsed, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != last) return false;
  if (!std::isfinite(parsed) || std::fabs(parsed) >= 1.0e6f) return false;
  value = parsed;
  return true;
}

}  // namespace

JB::~JB() = default;

int JB::DepthColumn(float depth) {
  const long double c =
      (static_cast<long double>(depth) - 16.5L) * 0.015777847901546228L + 1.0L;
  if (!(c >= 0.0L)) return 0;  // negative depths and NaN
  if (c >= 14.0L) return 13;   // also keeps absurd depths from wrapping
  return static_cast<int>(c);
}

void JB::ReadRows(std::string_view text, int column) {
  times = std::make_unique<float[]>(kMaxRows);
  count = 0;
  float value = 0.0f;  // a first row without a number reads 0.0
  const std::size_t fieldStart = 5 + 7 * static_cast<std::size_t>(column);
  std::size_t pos = 0;
  while (count < kMaxRows && pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = next;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > static_cast<std::size_t>(kLineLimit)) line = line.substr(0, kLineLimit);
    ParseField(line, fieldStart, value);  // keeps the last value when there is none
    times[count++] = value;
  }
}

JB::JB(const std::string& phase, float depth, EarthModel model)
    : JB(FromFile(FindPhaseTable(phase, model), depth, PhaseTableName(phase, model))) {}

JB JB::FromFile(const std::string& path, float depth, const std::string& name) {
  JB table;
  table.fileName = name;
  std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
  if (file != nullptr) {
    table.fileFound = true;
    std::string text;
    char buffer[8192];
    while (text.size() < kMaxFileBytes) {
      const std::size_t want = std::min(sizeof buffer, kMaxFileBytes - text.size());
      const std::size_t got = std::fread(buffer, 1, want, file);
      if (got == 0) break;
      text.append(buffer, got);
    }
    std::fclose(file);
    table.ReadRows(text, DepthColumn(depth));
  }
  return table;
}

JB JB::FromText(std::string_view text, float depth, const std::string& name) {
  JB table;
  table.fileName = name;
  table.fileFound = true;
  table.ReadRows(text.substr(0, std::min(text.size(), kMaxFileBytes)), DepthColumn(depth));
  return table;
}

float JB::TravelTime(float x) const {
  if (count <= 0) return 0.0f;
  if (std::isnan(x)) return x;
  if (x < 0.0f) return times[0];
  if (x >= static_cast<float>(count - 1)) return times[count - 1];  // flat beyond the end
  const int i = static_cast<int>(x);
  const long double t = static_cast<long double>(times[i]) +
                        (static_cast<long double>(x) - i) *
                            (static_cast<long double>(times[i + 1]) - times[i]);
  return static_cast<float>(t);
}

float JB::DistanceAt(float t) const {
  if (count <= 0) return 0.0f;
  if (!(t >= times[0])) return 0.0f;
  if (t > times[count - 1]) return 0.0f;
  if (t == times[count - 1]) return distanceAxis[count - 1];
  for (int i = 1; i < count; ++i) {
    if (t < times[i]) {
      const long double d = static_cast<long double>(distanceAxis[i]) -
                            (static_cast<long double>(distanceAxis[i]) - distanceAxis[i - 1]) *
                                (static_cast<long double>(times[i]) - t) /
                                (static_cast<long double>(times[i]) - times[i - 1]);
      return static_cast<float>(d);
    }
  }
  return 0.0f;  // only a table holding NaN gets here
}

}  // namespace orvane
