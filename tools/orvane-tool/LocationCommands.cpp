#include "tools/orvane-tool/LocationCommands.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "location/BestEpicentre.h"
#include "location/JB.h"
#include "location/TrialLocation.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "tools/orvane-tool/Json.h"

namespace orvane::tool {
namespace {

// A finite decimal number, the whole text; locale-independent.
std::optional<float> ParseNumber(const std::string& text) {
  double value = 0.0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  const auto r = std::from_chars(first, last, value, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != last || !std::isfinite(value)) return std::nullopt;
  const auto f = static_cast<float>(value);
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

struct Options {
  std::optional<std::string> phase;
  float depth = 0.0f;
  std::optional<std::pair<float, float>> epicentre;
  bool inverse = false;
  std::vector<std::pair<std::string, float>> picks;
  std::vector<std::string> values;  // distances, times or files
};

bool Fail(const char* command, const std::string& message) {
  std::fprintf(stderr, "orvane-tool %s: %s\n", command, message.c_str());
  return false;
}

// Parses the options that @p allowed names (a list like "phase depth inverse"),
// in any order before the values; "--name value" and "--name=value".
bool ParseOptions(const char* command, const char* allowed, int argc, char** argv, Options& o) {
  int i = 0;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) break;
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if ((std::string(" ") + allowed + " ").find(" " + name + " ") == std::string::npos)
      return Fail(command, "unknown option '" + arg + "'");
    if (name == "inverse") {
      o.inverse = true;
      continue;
    }
    if (!value) {
      if (i + 1 >= argc) return Fail(command, "--" + name + " needs a value");
      value = argv[++i];
    }
    if (name == "phase") {
      if (*value != "P" && *value != "S") return Fail(command, "--phase is P or S, not '" + *value + "'");
      o.phase = *value;
    } else if (name == "depth") {
      const auto depth = ParseNumber(*value);
      if (!depth) return Fail(command, "--depth needs a number of kilometres, not '" + *value + "'");
      o.depth = *depth;
    } else if (name == "epicentre") {
      const auto comma = value->find(',');
      const auto lat = comma == std::string::npos ? std::nullopt : ParseNumber(value->substr(0, comma));
      const auto lon = comma == std::string::npos ? std::nullopt : ParseNumber(value->substr(comma + 1));
      if (!lat || !lon || std::fabs(*lat) > 90.0f || std::fabs(*lon) > 360.0f)
        return Fail(command, "--epicentre needs LAT,LON in degrees, not '" + *value + "'");
      o.epicentre = std::make_pair(*lat, *lon);
    } else if (name == "pick") {
      const auto eq = value->rfind('=');
      const auto seconds = eq == std::string::npos ? std::nullopt : ParseNumber(value->substr(eq + 1));
      if (!seconds || eq == 0) return Fail(command, "--pick needs FILE=SECONDS, not '" + *value + "'");
      o.picks.emplace_back(value->substr(0, eq), *seconds);
    } else {
      return Fail(command, "unknown option '" + arg + "'");
    }
  }
  for (; i < argc; ++i) o.values.emplace_back(argv[i]);
  return true;
}

std::string TimeText(const SYSTEMTIME& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u", unsigned{t.wYear},
                unsigned{t.wMonth}, unsigned{t.wDay}, unsigned{t.wHour}, unsigned{t.wMinute},
                unsigned{t.wSecond}, unsigned{t.wMilliseconds});
  return text;
}

// The event's records with the picks of the command line set. False (with
// the reason on standard error) when a file cannot be read or a pick names
// no file.
bool ReadEvent(const char* command, const Options& o, std::vector<std::unique_ptr<KSAC>>& records) {
  for (const std::string& file : o.values) {
    SeismogramReadResult result = ReadSeismogramFile(file);
    if (!result.record) return Fail(command, file + ": " + result.reason);
    records.push_back(std::move(result.record));
  }
  for (const auto& [file, seconds] : o.picks) {
    bool found = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (o.values[i] == file) {
        records[i]->SetPick(0, seconds);
        found = true;
      }
    }
    if (!found) return Fail(command, "--pick names '" + file + "', which is not one of the files");
  }
  return true;
}

void PrintTrial(const std::vector<std::string>& files, const std::vector<std::unique_ptr<KSAC>>& records,
                float lat, float lon, float depth, const TrialResult& trial) {
  JsonWriter w;
  w.BeginObject();
  w.Key("epicentre").BeginArray().Float(lat).Float(lon).EndArray();
  w.Key("depth").Float(depth);
  w.Key("originTime").String(TimeText(trial.originTime));
  w.Key("rms").Float(trial.rms);
  w.Key("stations").BeginArray();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const KSAC& r = *records[i];
    const float t0 = r.GetPick(0);
    const float t1 = r.GetPick(1);
    w.NewLine().BeginObject();
    w.Key("file").String(files[i]);
    w.Key("kstnm").String(std::string(r.GetCharHeader(KSAC::KSTNM)));
    w.Key("gcarc").Float(r.GetFloatHeader(KSAC::GCARC));
    if (t0 != 0.0f) w.Key("t0").Float(t0); else w.Key("t0").Null();
    w.Key("t1").Float(t1);
    w.Key("t2").Float(r.GetPick(2));
    w.Key("user5").Float(r.GetFloatHeader(KSAC::USER5));
    if (t0 != 0.0f) w.Key("deltaT").Float(t1 - t0); else w.Key("deltaT").Null();
    w.EndObject();
  }
  w.NewLine().EndArray().EndObject();
  std::fputs(w.str().c_str(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int TravelTimeCommand(int argc, char** argv) {
  Options o;
  if (!ParseOptions("traveltime", "phase depth inverse", argc, argv, o)) return 2;
  if (!o.phase || o.values.empty()) {
    std::fprintf(stderr,
                 "usage: orvane-tool traveltime --phase P|S [--depth KM] DISTANCE...\n"
                 "       orvane-tool traveltime --phase P|S [--depth KM] --inverse TIME...\n");
    return 2;
  }
  std::vector<float> numbers;
  for (const std::string& v : o.values) {
    const auto n = ParseNumber(v);
    if (!n) {
      Fail("traveltime", "not a number: '" + v + "'");
      return 2;
    }
    numbers.push_back(*n);
  }
  const JB table(*o.phase, o.depth);
  if (!table.IsUsable()) {
    Fail("traveltime", table.fileName + (table.fileFound ? " holds no travel times" : " is missing"));
    return 1;
  }
  for (float n : numbers) {
    const float result = o.inverse ? table.DistanceAt(n) : table.TravelTime(n);
    std::printf("%s %s\n", JsonFloat(n).c_str(), JsonFloat(result).c_str());
  }
  return 0;
}

int LocateCommand(int argc, char** argv) {
  Options o;
  if (!ParseOptions("locate", "depth epicentre pick", argc, argv, o)) return 2;
  if (!o.epicentre || o.values.empty()) {
    std::fprintf(stderr,
                 "usage: orvane-tool locate [--depth KM] --epicentre LAT,LON [--pick FILE=SECONDS]... FILE...\n");
    return 2;
  }
  std::vector<std::unique_ptr<KSAC>> records;
  if (!ReadEvent("locate", o, records)) return 1;
  std::vector<KSAC*> pointers = RecordPointers(records);
  TrialState state;
  const auto [lat, lon] = *o.epicentre;
  const TrialResult trial = TrialLocation(pointers, lat, lon, o.depth, state, /*report=*/false);
  if (!trial.ok()) {
    Fail("locate", trial.reason);
    return 1;
  }
  PrintTrial(o.values, records, lat, lon, o.depth, trial);
  return 0;
}

int BestCommand(int argc, char** argv) {
  Options o;
  if (!ParseOptions("best", "depth pick", argc, argv, o)) return 2;
  if (o.values.empty()) {
    std::fprintf(stderr, "usage: orvane-tool best [--depth KM] [--pick FILE=SECONDS]... FILE...\n");
    return 2;
  }
  std::vector<std::unique_ptr<KSAC>> records;
  if (!ReadEvent("best", o, records)) return 1;
  std::vector<TrialStation> stations(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (const TrialResult r = StationOf(*records[i], stations[i]); !r.ok()) {
      Fail("best", r.reason);
      return 1;
    }
  }
  const JB p("P", o.depth);
  const JB s("S", o.depth);
  const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
  if (!best.ok()) {
    Fail("best", best.trial.reason);
    return 1;
  }
  std::vector<KSAC*> pointers = RecordPointers(records);
  const TrialResult trial = LocateTrial(pointers, best.lat, best.lon, p, s);
  if (!trial.ok()) {
    Fail("best", trial.reason);
    return 1;
  }
  PrintTrial(o.values, records, best.lat, best.lon, o.depth, trial);
  return 0;
}

}  // namespace orvane::tool
