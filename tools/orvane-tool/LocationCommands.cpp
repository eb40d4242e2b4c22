#include "tools/orvane-tool/LocationCommands.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "location/BestEpicentre.h"
#include "location/GreatCircle.h"
#include "location/JB.h"
#include "location/PhaseTables.h"
#include "location/PreciseKey.h"
#include "location/TravelTimeGrid.h"
#include "location/TrialLocation.h"
#include "platform/ErrorReport.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"
#include "seismogram/SeismogramFile.h"
#include "tools/orvane-tool/Arguments.h"
#include "tools/orvane-tool/Json.h"

namespace orvane::tool {
namespace {

struct Options {
  std::optional<std::string> phase;
  bool inverse = false;
  bool precise = false;      // best: the precise key too
  bool depthSearch = false;  // best: the precise key searches the depth
  EventOptions event;
  std::vector<std::string> values;  // distances, times or files
};

// Parses the options that @p allowed names (a list like "phase depth inverse"),
// in any order before the values; "--name value" and "--name=value".
bool ParseLocationOptions(const char* command, const char* allowed, int argc, char** argv, Options& o) {
  const auto handle = [&](const std::string& name, const std::string& value) {
    if (name == "inverse") {
      o.inverse = true;
      return true;
    }
    if (name == "precise" || name == "depth-search") {
      o.precise = true;
      o.depthSearch = o.depthSearch || name == "depth-search";
      return true;
    }
    if (name == "phase") {
      if (value != "P" && value != "S") return Fail(command, "--phase is P or S, not '" + value + "'");
      o.phase = value;
      return true;
    }
    return ParseEventOption(command, name, value, o.event);
  };
  return ParseOptions(command, allowed, "inverse precise depth-search", argc, argv, handle, o.values);
}

std::string TimeText(const SYSTEMTIME& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u", unsigned{t.wYear},
                unsigned{t.wMonth}, unsigned{t.wDay}, unsigned{t.wHour}, unsigned{t.wMinute},
                unsigned{t.wSecond}, unsigned{t.wMilliseconds});
  return text;
}

// The station name without the blanks that pad SAC text fields ("S0      ").
std::string StationName(const KSAC& record) {
  std::string name = record.GetCharHeader(KSAC::KSTNM);
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

// What names record @p i on the command line: its miniSEED channel, or its file.
std::string RecordName(const EventRecords& event, std::size_t i) {
  return event.channels[i].empty() ? event.files[i] : event.channels[i];
}

// One line on standard error for each record the trial left out.
void PrintLeftOut(const char* command, const EventRecords& event, const TrialResult& trial) {
  for (const LeftOutRecord& left : trial.leftOut) {
    const std::string name = left.index < event.records.size() ? RecordName(event, left.index) : left.file;
    Fail(command, name + ": left out of the trial: " + left.reason);
  }
}

bool IsLeftOut(const TrialResult& trial, std::size_t index) {
  for (const LeftOutRecord& left : trial.leftOut)
    if (left.index == index) return true;
  return false;
}

// The instant of @p time in microseconds since 1970, or nothing.
std::optional<MicroTime> MicroTimeOf(const SYSTEMTIME& time) {
  FileTime ticks = 0;
  if (!SystemTimeToFileTime(time, ticks)) return std::nullopt;
  return MicroTimeFromFileTime(ticks);
}

std::string MicroTimeText(MicroTime time) {
  FileTime ticks = 0;
  SYSTEMTIME t;
  if (!MicroTimeToFileTime(time, ticks) || !FileTimeToSystemTime(ticks - ticks % 10'000, t)) return "";
  return TimeText(t);
}

// The precise key as a JSON object, beside the classic key at (@p lat, @p lon).
void PrintPreciseKey(JsonWriter& w, const PreciseKeyResult& key, float lat, float lon) {
  w.BeginObject();
  if (!key.ok()) {
    w.Key("epicentre").Null().Key("reason").String(key.trial.reason).EndObject();
    return;
  }
  w.Key("epicentre").BeginArray().Double(key.lat).Double(key.lon).EndArray();
  w.Key("depth").Double(key.depth);
  w.Key("depthSearched").Bool(key.depthSearched);
  w.Key("originTime").String(TimeText(key.trial.originTime));
  w.Key("rms").Double(key.trial.rms);
  w.Key("distanceFromClassicKeyKm").Double(HaversineDegrees(key.lat, key.lon, lat, lon) * kKmPerDegree);
  w.EndObject();
}

void PrintTrial(const EventRecords& event, float lat, float lon, const EventOptions& options, const TrialResult& trial,
                const PreciseKeyResult* precise = nullptr, const std::optional<EventOrigin>& catalogue = std::nullopt) {
  const std::vector<std::unique_ptr<KSAC>>& records = event.records;
  JsonWriter w;
  w.BeginObject();
  w.Key("epicentre").BeginArray().Float(lat).Float(lon).EndArray();
  w.Key("depth").Float(options.depth);
  w.Key("model").String(EarthModelName(options.model));
  w.Key("originTime").String(TimeText(trial.originTime));
  w.Key("rms").Float(trial.rms);
  w.Key("stations").BeginArray();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const KSAC& r = *records[i];
    const float t0 = r.GetPick(0);
    w.NewLine().BeginObject();
    w.Key("file").String(event.files[i]);
    if (!event.channels[i].empty()) w.Key("channel").String(event.channels[i]);
    w.Key("kstnm").String(StationName(r));
    // A record the trial left out has no distance and no predicted arrivals.
    const bool part = !IsLeftOut(trial, i);
    const auto value = [&w, part](const char* key, float v) {
      if (part) w.Key(key).Float(v); else w.Key(key).Null();
    };
    value("gcarc", r.GetFloatHeader(KSAC::GCARC));
    if (t0 != 0.0f) w.Key("t0").Float(t0); else w.Key("t0").Null();
    value("t1", r.GetPick(1));
    value("t2", r.GetPick(2));
    value("user5", r.GetFloatHeader(KSAC::USER5));
    const auto deltaT = part ? DeltaT(r) : std::nullopt;
    if (deltaT) w.Key("deltaT").Float(*deltaT); else w.Key("deltaT").Null();
    w.EndObject();
  }
  w.NewLine().EndArray();
  if (precise != nullptr) {
    w.Key("precise");
    PrintPreciseKey(w, *precise, lat, lon);
  }
  if (catalogue) {
    // The event's origin as the data centre gives it, and how far the
    // epicentre found lies from it.
    w.Key("catalogue").BeginObject();
    w.Key("epicentre").BeginArray().Double(catalogue->latitude).Double(catalogue->longitude).EndArray();
    if (catalogue->depth) w.Key("depth").Double(*catalogue->depth / 1000.0); else w.Key("depth").Null();
    w.Key("originTime").String(MicroTimeText(catalogue->time));
    w.Key("distance").Float(GreatCircle(lat, lon, static_cast<float>(catalogue->latitude),
                                        static_cast<float>(catalogue->longitude)));
    const auto found = MicroTimeOf(trial.originTime);
    if (found) w.Key("originTimeDifference").Double(static_cast<double>(*found - catalogue->time) * 1.0e-6);
    else w.Key("originTimeDifference").Null();
    w.EndObject();
  }
  w.EndObject();
  std::fputs(w.str().c_str(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int TravelTimeCommand(int argc, char** argv) {
  Options o;
  if (!ParseLocationOptions("traveltime", "phase depth inverse model", argc, argv, o)) return 2;
  if (!o.phase || o.values.empty()) {
    std::fprintf(stderr,
                 "usage: orvane-tool traveltime --phase P|S [--depth KM] [--model NAME] DISTANCE...\n"
                 "       orvane-tool traveltime --phase P|S [--depth KM] [--model NAME] --inverse TIME...\n");
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
  const JB table(*o.phase, o.event.depth, o.event.model);
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
  if (!ParseLocationOptions("locate", "depth epicentre pick model", argc, argv, o)) return 2;
  if (!o.event.epicentre || o.values.empty()) {
    std::fprintf(stderr,
                 "usage: orvane-tool locate [--depth KM] [--model NAME] --epicentre LAT,LON [--pick FILE=SECONDS]... "
                 "FILE...\n");
    return 2;
  }
  EventRecords event;
  if (!ReadEvent("locate", o.values, o.event.picks, event)) return 1;
  std::vector<KSAC*> pointers = RecordPointers(event.records);
  TrialState state;
  const auto [lat, lon] = *o.event.epicentre;
  ScopedErrorReportCapture quiet;  // the refusal is said on standard error below
  const TrialResult trial = TrialLocation(pointers, lat, lon, o.event.depth, state, o.event.model);
  PrintLeftOut("locate", event, trial);
  if (!trial.ok()) {
    Fail("locate", trial.reason);
    return 1;
  }
  PrintTrial(event, lat, lon, o.event, trial);
  return 0;
}

int BestCommand(int argc, char** argv) {
  Options o;
  if (!ParseLocationOptions("best", "depth pick model precise depth-search", argc, argv, o)) return 2;
  if (o.values.empty()) {
    std::fprintf(stderr,
                 "usage: orvane-tool best [--depth KM] [--model NAME] [--precise [--depth-search]] "
                 "[--pick FILE=SECONDS]... FILE...\n");
    return 2;
  }
  EventRecords event;
  if (!ReadEvent("best", o.values, o.event.picks, event)) return 1;
  const std::vector<std::unique_ptr<KSAC>>& records = event.records;
  // Records that cannot take part are left out of the search as of every
  // trial; the trial at the best point names them.
  std::vector<TrialStation> stations(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) StationOf(*records[i], stations[i]);
  const PhaseTables tables = LoadPhaseTables(o.event.depth, o.event.model);
  const JB& p = *tables.p;
  const JB& s = *tables.s;
  const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
  std::vector<KSAC*> pointers = RecordPointers(records);
  if (!best.ok()) {
    // The same trial anywhere names the records left out, then the refusal.
    PrintLeftOut("best", event, LocateTrial(pointers, best.lat, best.lon, p, s));
    Fail("best", best.trial.reason);
    return 1;
  }
  const TrialResult trial = LocateTrial(pointers, best.lat, best.lon, p, s);
  PrintLeftOut("best", event, trial);
  if (!trial.ok()) {
    Fail("best", trial.reason);
    return 1;
  }
  if (!o.precise) {
    PrintTrial(event, best.lat, best.lon, o.event, trial, nullptr, event.origin);
    return 0;
  }
  const PreciseKeyResult precise = FindPreciseKey(PreciseStations(pointers), TravelTimeGrid::Load("P", o.event.model),
                                                  o.event.depth, o.depthSearch);
  PrintTrial(event, best.lat, best.lon, o.event, trial, &precise, event.origin);
  return 0;
}

}  // namespace orvane::tool
