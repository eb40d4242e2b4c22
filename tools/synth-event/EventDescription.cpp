#include "tools/synth-event/EventDescription.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace orvane::synth {
namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool ToDouble(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool ToUnsigned(const std::string& text, std::uint32_t& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

}  // namespace

std::optional<FileTime> ParseUtcTime(const std::string& text) {
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u%n", &year, &month, &day, &hour, &minute, &second, &used) != 6)
    return std::nullopt;
  unsigned milliseconds = 0;
  std::string rest = text.substr(static_cast<std::size_t>(used));
  if (!rest.empty()) {
    if (rest.size() < 2 || rest.size() > 4 || rest[0] != '.') return std::nullopt;
    std::string digits = rest.substr(1);
    for (char c : digits)
      if (c < '0' || c > '9') return std::nullopt;
    while (digits.size() < 3) digits += '0';
    milliseconds = static_cast<unsigned>(std::stoi(digits));
  }
  SYSTEMTIME t;
  t.wYear = static_cast<std::uint16_t>(year);
  t.wMonth = static_cast<std::uint16_t>(month);
  t.wDay = static_cast<std::uint16_t>(day);
  t.wHour = static_cast<std::uint16_t>(hour);
  t.wMinute = static_cast<std::uint16_t>(minute);
  t.wSecond = static_cast<std::uint16_t>(second);
  t.wMilliseconds = static_cast<std::uint16_t>(milliseconds);
  FileTime ticks = 0;
  if (!SystemTimeToFileTime(t, ticks)) return std::nullopt;
  return ticks;
}

std::string FormatUtcTime(FileTime ticks) {
  SYSTEMTIME t;
  if (!FileTimeToSystemTime(ticks, t)) return "(invalid time)";
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u", unsigned{t.wYear}, unsigned{t.wMonth},
                unsigned{t.wDay}, unsigned{t.wHour}, unsigned{t.wMinute}, unsigned{t.wSecond},
                unsigned{t.wMilliseconds});
  return text;
}

std::optional<EventDescription> ParseEventDescription(std::string_view text, std::string& error) {
  EventDescription event;
  std::set<std::string> seen;
  const std::set<std::string> required = {"title", "format", "origin", "epicentre", "depth", "window", "rate"};
  std::istringstream in{std::string(text)};
  int lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    const std::string key = words[0];
    const std::vector<std::string> values(words.begin() + 1, words.end());
    const std::string where = "line " + std::to_string(lineNo) + ": " + key + ": ";
    auto fail = [&](const std::string& reason) {
      error = where + reason;
      return std::nullopt;
    };
    auto number = [&](std::size_t i, double& value) {
      if (!ToDouble(values[i], value)) {
        error = where + "not a number: '" + values[i] + "'";
        return false;
      }
      return true;
    };
    auto count = [&](std::size_t n) {
      if (values.size() != n) {
        error = where + "expected " + std::to_string(n) + " value" + (n == 1 ? "" : "s") + ", found " +
                std::to_string(values.size());
        return false;
      }
      return true;
    };
    if (key != "station") {
      if (seen.count(key) != 0) return fail("given twice");
      seen.insert(key);
    }

    if (key == "title") {
      if (values.empty()) return fail("expected a text");
      const auto start = line.find_first_not_of(" \t", line.find(key) + key.size());
      event.title = line.substr(start);
      while (!event.title.empty() &&
             (event.title.back() == ' ' || event.title.back() == '\t' || event.title.back() == '\r'))
        event.title.pop_back();
    } else if (key == "format") {
      if (!count(1)) return std::nullopt;
      const auto format = ParseSeismogramFormat(values[0]);
      if (!format) return fail("expected " + SeismogramFormatNames("", ", ", " or ") + ", found '" + values[0] + "'");
      event.format = *format;
    } else if (key == "origin" || key == "reference") {
      if (!count(1)) return std::nullopt;
      const auto ticks = ParseUtcTime(values[0]);
      if (!ticks) return fail("expected a time such as 2015-04-25T06:11:25.950, found '" + values[0] + "'");
      (key == "origin" ? event.origin : event.reference.emplace()) = *ticks;
    } else if (key == "epicentre") {
      if (!count(2) || !number(0, event.lat) || !number(1, event.lon)) return std::nullopt;
      if (std::fabs(event.lat) > 90.0 || std::fabs(event.lon) > 180.0) return fail("outside the globe");
    } else if (key == "depth") {
      if (!count(1) || !number(0, event.depth)) return std::nullopt;
      if (event.depth < 0.0 || event.depth > 800.0) return fail("expected 0 to 800 km");
    } else if (key == "window") {
      if (!count(3) || !number(1, event.windowOffset) || !number(2, event.windowLength)) return std::nullopt;
      if (values[0] == "P") {
        event.anchor = WindowAnchor::kP;
      } else if (values[0] == "origin") {
        event.anchor = WindowAnchor::kOrigin;
      } else {
        return fail("expected P or origin, found '" + values[0] + "'");
      }
      if (event.windowLength < 60.0 || event.windowLength > 7200.0) return fail("length: expected 60 to 7200 s");
    } else if (key == "rate") {
      if (!count(1) || !number(0, event.rate)) return std::nullopt;
      if (event.rate < 1.0 || event.rate > 1000.0) return fail("expected 1 to 1000 samples per second");
    } else if (key == "seed") {
      if (!count(1)) return std::nullopt;
      if (!ToUnsigned(values[0], event.seed)) return fail("expected a whole number, found '" + values[0] + "'");
    } else if (key == "component") {
      if (!count(1)) return std::nullopt;
      if (values[0].size() > 8) return fail("at most 8 characters");
      event.component = values[0];
    } else if (key == "p-amplitude" || key == "s-amplitude" || key == "surface-amplitude" || key == "microseism" ||
               key == "white-noise") {
      double value = 0.0;
      if (!count(1) || !number(0, value)) return std::nullopt;
      if (value < 0.0) return fail("must not be negative");
      const std::map<std::string, double*> fields = {{"p-amplitude", &event.pAmplitude},
                                                     {"s-amplitude", &event.sAmplitude},
                                                     {"surface-amplitude", &event.surfaceAmplitude},
                                                     {"microseism", &event.microseism},
                                                     {"white-noise", &event.whiteNoise}};
      *fields.at(key) = value;
    } else if (key == "model") {
      if (!count(1)) return std::nullopt;
      const auto model = ParseEarthModel(values[0]);
      if (!model) return fail("expected one of " + EarthModelNames() + ", found '" + values[0] + "'");
      event.model = *model;
    } else if (key == "arithmetic") {
      if (!count(1)) return std::nullopt;
      if (values[0] == "classic") {
        event.arithmetic = Arithmetic::kClassic;
      } else if (values[0] == "precise") {
        event.arithmetic = Arithmetic::kPrecise;
      } else {
        return fail("expected classic or precise, found '" + values[0] + "'");
      }
    } else if (key == "station") {
      StationEntry st;
      if (!count(5) || !number(2, st.lat) || !number(3, st.lon) || !number(4, st.elevation)) return std::nullopt;
      st.code = values[0];
      st.network = values[1];
      if (st.code.size() > 8 || st.network.size() > 8) return fail("code and network: at most 8 characters");
      if (std::fabs(st.lat) > 90.0 || std::fabs(st.lon) > 180.0) return fail("outside the globe");
      for (const StationEntry& other : event.stations)
        if (other.code == st.code) return fail("station " + st.code + " is given twice");
      event.stations.push_back(st);
    } else {
      return fail("unknown keyword");
    }
  }
  for (const std::string& key : required) {
    if (seen.count(key) == 0) {
      error = "missing: " + key;
      return std::nullopt;
    }
  }
  if (event.stations.empty()) {
    error = "missing: station";
    return std::nullopt;
  }
  if (event.format == SeismogramFormat::kPSN) {
    if (event.reference) {
      error = "reference: a PSN file has no reference time of its own (its first sample is its time)";
      return std::nullopt;
    }
  } else if (!event.reference) {
    error = "missing: reference";
    return std::nullopt;
  }
  return event;
}

}  // namespace orvane::synth
