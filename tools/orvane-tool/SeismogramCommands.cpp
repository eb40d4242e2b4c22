#include "tools/orvane-tool/SeismogramCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "seismogram/BandPassFilter.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "tools/orvane-tool/Arguments.h"
#include "tools/orvane-tool/Json.h"
#ifdef ORVANE_TOOL_DATACENTRE
#include "seismogram/DataCentreEvent.h"
#endif

namespace orvane::tool {
namespace {

constexpr int kSamplesShown = 5;

struct Arguments {
  std::optional<SeismogramFormat> format;
  std::vector<std::string> stations;   // --stations FILE.xml, for miniSEED files
  std::optional<std::string> channel;  // --channel NET.STA.LOC.CHA of a miniSEED file
  std::optional<BandPass> bandpass;    // --bandpass LO,HI[,ORDER]
  std::vector<std::string> files;
};

// "LO,HI" or "LO,HI,ORDER": corners in hertz, order 2 or 4 (4 when not given).
std::optional<BandPass> ParseBandPass(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (;;) {
    const auto comma = text.find(',', from);
    parts.push_back(text.substr(from, comma - from));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
  const auto low = ParseNumber(parts[0]);
  const auto high = ParseNumber(parts[1]);
  const auto order = parts.size() == 3 ? ParseInt(parts[2]) : std::optional<int>(4);
  if (!low || !high || !order || (*order != 2 && *order != 4)) return std::nullopt;
  return BandPass{*low, *high, *order};
}

// Parses "[--format NAME] [--stations FILE]... [--] FILE..." and, where
// @p allowed lists them, --channel and --bandpass. False (with a message) for bad use.
bool ParseArguments(const char* command, const char* allowed, int argc, char** argv, Arguments& args) {
  const auto handle = [&](const std::string& name, const std::string& value) {
    if (name == "stations") {
      args.stations.push_back(value);
      return true;
    }
    if (name == "channel") {
      args.channel = value;
      return true;
    }
    if (name == "bandpass") {
      args.bandpass = ParseBandPass(value);
      if (!args.bandpass)
        return Fail(command, "--bandpass needs LO,HI or LO,HI,ORDER (hertz; order 2 or 4), not '" + value + "'");
      return true;
    }
    args.format = ParseSeismogramFormat(value);
    if (!args.format) return Fail(command, "unknown format '" + value + "' (" + SeismogramFormatNames("", ", ", " or ") + ")");
    return true;
  };
  if (!ParseOptions(command, allowed, "", argc, argv, handle, args.files)) return false;
#ifndef ORVANE_TOOL_DATACENTRE
  if (!args.stations.empty() || args.channel) return Fail(command, "this build reads no miniSEED files");
#endif
  return true;
}

// A float header field: null when UNDEFINED (or not a finite number).
void HeaderFloat(JsonWriter& w, const char* name, const KSAC& record, int index) {
  const float value = record.GetFloatHeader(index);
  w.Key(name);
  if (value == KSAC::UNDEFINED_FLOAT) {
    w.Null();
  } else {
    w.Float(value);
  }
}

void WriteRecord(JsonWriter& w, const std::string& file, SeismogramFormat format, const KSAC& record,
                 const std::string& channel = std::string()) {
  w.BeginObject();
  w.Key("file").String(file);
  w.Key("format").String(SeismogramFormatName(format));
  if (!channel.empty()) w.Key("channel").String(channel);
  w.Key("origin").Int(record.origin);
  w.Key("npts").Int(record.GetIntHeader(KSAC::NPTS));
  HeaderFloat(w, "delta", record, KSAC::DELTA);
  HeaderFloat(w, "b", record, KSAC::B);
  HeaderFloat(w, "e", record, KSAC::E);
  HeaderFloat(w, "o", record, KSAC::O);
  w.Key("kstnm").String(record.GetCharHeader(KSAC::KSTNM));
  w.Key("kcmpnm").String(record.GetCharHeader(KSAC::KCMPNM));
  HeaderFloat(w, "stla", record, KSAC::STLA);
  HeaderFloat(w, "stlo", record, KSAC::STLO);
  HeaderFloat(w, "stel", record, KSAC::STEL);
  HeaderFloat(w, "evla", record, KSAC::EVLA);
  HeaderFloat(w, "evlo", record, KSAC::EVLO);
  HeaderFloat(w, "evdp", record, KSAC::EVDP);
  HeaderFloat(w, "gcarc", record, KSAC::GCARC);
  HeaderFloat(w, "user5", record, KSAC::USER5);
  HeaderFloat(w, "depmin", record, KSAC::DEPMIN);
  HeaderFloat(w, "depmax", record, KSAC::DEPMAX);
  HeaderFloat(w, "depmen", record, KSAC::DEPMEN);

  FileTime ticks;
  if (record.GetReferenceFileTime(ticks)) {
    const SYSTEMTIME t = record.GetReferenceSystemTime();
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03u", unsigned{t.wYear},
                  unsigned{t.wMonth}, unsigned{t.wDay}, unsigned{t.wHour}, unsigned{t.wMinute},
                  unsigned{t.wSecond}, unsigned{t.wMilliseconds});
    w.Key("reference").String(text);
    // referenceSeconds holds whole tenths, so one decimal shows all of it.
    std::snprintf(text, sizeof text, "%.1Lf", record.referenceSeconds);
    w.Key("referenceSeconds").Raw(text);
  } else {
    w.Key("reference").Null();
    w.Key("referenceSeconds").Null();
  }

  w.Key("picks").BeginArray();
  for (int n = 0; n < 10; ++n) w.Float(record.GetPick(n));
  w.EndArray();
  w.Key("samples").BeginArray();
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  if (record.samples) {
    for (std::int32_t i = 0; i < npts && i < kSamplesShown; ++i) w.Float(record.samples[i]);
  }
  w.EndArray();
  w.EndObject();
}

#ifdef ORVANE_TOOL_DATACENTRE
// Reads data-centre files with their StationXML, every component, and says
// on standard error what was refused and what the merging did.
DataCentreEvent ReadDataCentre(std::vector<std::string> files, const std::vector<std::string>& stations,
                               bool& failed) {
  files.insert(files.end(), stations.begin(), stations.end());
  DataCentreOptions options;
  options.verticalOnly = false;
  DataCentreEvent event = ReadDataCentreFiles(files, options);
  for (const RefusedFile& r : event.refused) {
    std::fprintf(stderr, "orvane-tool: %s: %s\n", r.path.c_str(), r.reason.c_str());
    failed = true;
  }
  for (const std::string& note : event.notes) std::fprintf(stderr, "orvane-tool: %s\n", note.c_str());
  return event;
}
#endif

// Splits @p files into those of the classic formats and the data-centre
// files (none when a format is forced).
void SplitFiles(const Arguments& args, std::vector<std::string>& classic, std::vector<std::string>& centre) {
  const bool all = args.format == SeismogramFormat::kMiniSEED;
  for (const std::string& file : args.files)
    (all || (!args.format && IsDataCentreInput(file)) ? centre : classic).push_back(file);
}

// Filters @p record's samples with @p bandpass; false after saying why not.
bool Filter(const std::string& file, const BandPass& bandpass, KSAC& record) {
  std::string reason;
  const auto filter = BandPassFilter::Design(bandpass, record.GetFloatHeader(KSAC::DELTA), reason);
  if (!filter) {
    std::fprintf(stderr, "orvane-tool: %s: cannot filter: %s\n", file.c_str(), reason.c_str());
    return false;
  }
  filter->Apply(record);
  return true;
}

}  // namespace

int HeaderCommand(int argc, char** argv) {
  Arguments args;
  if (!ParseArguments("header", "format stations", argc, argv, args)) return 2;
  if (args.files.empty()) {
    std::fprintf(stderr, "usage: orvane-tool header [--format %s] [--stations FILE.xml]... FILE...\n",
                 SeismogramFormatNames("", "|", "|").c_str());
    return 2;
  }
  std::vector<std::string> classic, centre;
  SplitFiles(args, classic, centre);
  if (!args.stations.empty() && centre.empty()) {
    Fail("header", "--stations goes with miniSEED files");
    return 2;
  }
  bool failed = false;
  JsonWriter w;
  w.BeginArray();
  for (const std::string& file : classic) {
    SeismogramReadResult result = ReadSeismogramFile(file, args.format);
    if (!result.record) {
      std::fprintf(stderr, "orvane-tool: %s: %s\n", file.c_str(), result.reason.c_str());
      failed = true;
      continue;
    }
    w.NewLine();
    WriteRecord(w, file, result.format, *result.record);
  }
#ifdef ORVANE_TOOL_DATACENTRE
  if (!centre.empty()) {
    const DataCentreEvent event = ReadDataCentre(centre, args.stations, failed);
    for (std::size_t i = 0; i < event.records.size(); ++i) {
      w.NewLine();
      WriteRecord(w, event.records[i]->fileName, SeismogramFormat::kMiniSEED, *event.records[i], event.ids[i]);
    }
  }
#endif
  w.NewLine().EndArray();
  std::fputs(w.str().c_str(), stdout);
  std::fputc('\n', stdout);
  // A full disk or a closed pipe must not pass for a complete listing.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "orvane-tool: standard output: %s\n", std::strerror(errno));
    return 1;
  }
  return failed ? 1 : 0;
}

int ConvertCommand(int argc, char** argv) {
  Arguments args;
  if (!ParseArguments("convert", "format stations channel bandpass", argc, argv, args)) return 2;
  if (args.files.size() != 2) {
    std::fprintf(stderr,
                 "usage: orvane-tool convert [--format %s] [--stations FILE.xml]... [--channel NET.STA.LOC.CHA]\n"
                 "         [--bandpass LO,HI[,ORDER]] IN OUT\n",
                 SeismogramFormatNames("", "|", "|").c_str());
    return 2;
  }
  const std::string& in = args.files[0];
  const std::string& out = args.files[1];
  const bool dataCentre =
      args.format == SeismogramFormat::kMiniSEED || (!args.format && IsDataCentreInput(in));
  if (!dataCentre && (!args.stations.empty() || args.channel)) {
    Fail("convert", std::string(args.channel ? "--channel" : "--stations") + " goes with a miniSEED file");
    return 2;
  }
  std::optional<std::string> reason;
#ifdef ORVANE_TOOL_DATACENTRE
  if (dataCentre) {
    bool failed = false;
    DataCentreEvent event = ReadDataCentre({in}, args.stations, failed);
    std::size_t chosen = event.records.size();
    for (std::size_t i = 0; i < event.records.size(); ++i)
      if (args.channel ? event.ids[i] == *args.channel : event.records.size() == 1) chosen = i;
    if (chosen == event.records.size()) {
      if (!failed) {
        std::string list;
        for (const std::string& id : event.ids) list += (list.empty() ? "" : ", ") + id;
        if (args.channel) {
          Fail("convert", in + " has no channel " + *args.channel + (list.empty() ? "" : " (it has " + list + ")"));
        } else {
          Fail("convert", in + " holds " + std::to_string(event.ids.size()) + " channels (" + list +
                              "): choose one with --channel");
        }
      }
      return 1;
    }
    KSAC& record = *event.records[chosen];
    if (args.bandpass && !Filter(in, *args.bandpass, record)) return 1;
    reason = WriteSeismogramFile(out, record);
  }
#endif
  if (!dataCentre) {
    SeismogramReadResult result = ReadSeismogramFile(in, args.format);
    if (!result.record) {
      std::fprintf(stderr, "orvane-tool: %s: %s\n", in.c_str(), result.reason.c_str());
      return 1;
    }
    if (args.bandpass && !Filter(in, *args.bandpass, *result.record)) return 1;
    reason = WriteSeismogramFile(out, result);
  }
  if (reason) {
    std::fprintf(stderr, "orvane-tool: %s: %s\n", out.c_str(), reason->c_str());
    return 1;
  }
  return 0;
}

}  // namespace orvane::tool
