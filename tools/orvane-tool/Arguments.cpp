#include "tools/orvane-tool/Arguments.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "seismogram/EventReader.h"
#include "seismogram/SeismogramFile.h"
#ifdef ORVANE_TOOL_DATACENTRE
#include "seismogram/BinaryFile.h"
#include "seismogram/DataCentreEvent.h"
#endif

namespace orvane::tool {

bool Fail(const char* command, const std::string& message) {
  std::fprintf(stderr, "orvane-tool %s: %s\n", command, message.c_str());
  return false;
}

std::optional<float> ParseNumber(const std::string& text) {
  double value = 0.0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto r = std::from_chars(first, last, value, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != last || !std::isfinite(value)) return std::nullopt;
  const auto f = static_cast<float>(value);
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto r = std::from_chars(first, last, value);
  if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
  return value;
}

std::optional<std::pair<float, float>> ParseLatLon(const std::string& text) {
  const auto comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto lat = ParseNumber(text.substr(0, comma));
  const auto lon = ParseNumber(text.substr(comma + 1));
  if (!lat || !lon || std::fabs(*lat) > 90.0f || std::fabs(*lon) > 360.0f) return std::nullopt;
  return std::make_pair(*lat, *lon);
}

namespace {

bool Listed(const char* list, const std::string& name) {
  return (std::string(" ") + list + " ").find(" " + name + " ") != std::string::npos;
}

}  // namespace

bool ParseOptions(const char* command, const char* allowed, const char* flags, int argc, char** argv,
                  const OptionHandler& handle, std::vector<std::string>& rest) {
  int i = 0;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    // "-x" is a mistyped option, not a file; "-5" and "-" are values.
    if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-' && std::isalpha(static_cast<unsigned char>(arg[1])))
      return Fail(command, "unknown option '" + arg + "'");
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) break;
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (!Listed(allowed, name)) return Fail(command, "unknown option '" + arg + "'");
    if (Listed(flags, name)) {
      if (!handle(name, std::string())) return false;
      continue;
    }
    if (!value) {
      if (i + 1 >= argc) return Fail(command, "--" + name + " needs a value");
      value = argv[++i];
    }
    if (!handle(name, *value)) return false;
  }
  for (; i < argc; ++i) rest.emplace_back(argv[i]);
  return true;
}

bool ParseEventOption(const char* command, const std::string& name, const std::string& value, EventOptions& event) {
  if (name == "depth") {
    const auto depth = ParseNumber(value);
    if (!depth) return Fail(command, "--depth needs a number of kilometres, not '" + value + "'");
    event.depth = *depth;
  } else if (name == "epicentre") {
    event.epicentre = ParseLatLon(value);
    if (!event.epicentre) return Fail(command, "--epicentre needs LAT,LON in degrees, not '" + value + "'");
  } else if (name == "pick") {
    const auto eq = value.rfind('=');
    const auto seconds = eq == std::string::npos ? std::nullopt : ParseNumber(value.substr(eq + 1));
    if (!seconds || eq == 0) return Fail(command, "--pick needs FILE=SECONDS, not '" + value + "'");
    event.picks.emplace_back(value.substr(0, eq), *seconds);
  } else if (name == "model") {
    const auto model = ParseEarthModel(value);
    if (!model) return Fail(command, "--model is one of " + EarthModelNames() + ", not '" + value + "'");
    event.model = *model;
    event.modelGiven = true;
  } else {
    return Fail(command, "unknown option '--" + name + "'");
  }
  return true;
}

bool IsDataCentreInput(const std::string& path) {
#ifdef ORVANE_TOOL_DATACENTRE
  const SeismogramFormat format = SeismogramFormatForPath(path);
  if (format == SeismogramFormat::kMiniSEED) return true;
  // Files that data centres hand out do not always have such a name.
  if (format != SeismogramFormat::kSAC) return false;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::vector<unsigned char> head;
  ByteReadError error;
  return ReadFileBytes(path, 64, head, error) && LooksLikeMiniSEED(head);
#else
  (void)path;
  return false;
#endif
}

bool ReadEvent(const char* command, const std::vector<std::string>& files,
               const std::vector<std::pair<std::string, float>>& picks, EventRecords& event) {
  std::vector<std::string> classic, centre;
  for (const std::string& file : files) (IsDataCentreInput(file) ? centre : classic).push_back(file);
  EventFiles read = ReadEventFiles(classic);
  bool refused = !read.refused.empty();
  for (const RefusedFile& r : read.refused) Fail(command, r.path + ": " + r.reason);
  for (auto& record : read.records) {
    event.files.push_back(record->fileName);
    event.channels.emplace_back();
    event.records.push_back(std::move(record));
  }
#ifdef ORVANE_TOOL_DATACENTRE
  if (!centre.empty()) {
    DataCentreEvent data = ReadDataCentreFiles(centre);
    refused = refused || !data.refused.empty();
    for (const RefusedFile& r : data.refused) Fail(command, r.path + ": " + r.reason);
    for (const std::string& note : data.notes) Fail(command, note);
    if (data.skippedComponents > 0)
      Fail(command, std::to_string(data.skippedComponents) +
                        " channels that are not vertical components (code ending in Z) were not opened");
    for (std::size_t i = 0; i < data.records.size(); ++i) {
      event.files.push_back(data.records[i]->fileName);
      event.channels.push_back(data.ids[i]);
      event.records.push_back(std::move(data.records[i]));
    }
    event.origin = data.origin;
  }
#endif
  if (refused) return false;
  for (const auto& [name, seconds] : picks) {
    bool found = false;
    for (std::size_t i = 0; i < event.records.size(); ++i) {
      if (event.files[i] == name || event.channels[i] == name) {
        event.records[i]->SetPick(0, seconds);
        found = true;
      }
    }
    if (!found) return Fail(command, "--pick names '" + name + "', which is not one of the files or channels");
  }
  return true;
}

bool ReadEvent(const char* command, const std::vector<std::string>& files,
               const std::vector<std::pair<std::string, float>>& picks, std::vector<std::unique_ptr<KSAC>>& records) {
  EventRecords event;
  if (!ReadEvent(command, files, picks, event)) return false;
  records = std::move(event.records);
  return true;
}

}  // namespace orvane::tool
