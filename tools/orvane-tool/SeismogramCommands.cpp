#include "tools/orvane-tool/SeismogramCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "tools/orvane-tool/Arguments.h"
#include "tools/orvane-tool/Json.h"

namespace orvane::tool {
namespace {

constexpr int kSamplesShown = 5;

struct Arguments {
  std::optional<SeismogramFormat> format;
  std::vector<std::string> files;
};

// Parses "[--format NAME] [--] FILE...". False (with a message) for bad use.
bool ParseArguments(const char* command, int argc, char** argv, Arguments& args) {
  const auto handle = [&](const std::string&, const std::string& name) {
    args.format = ParseSeismogramFormat(name);
    if (!args.format) return Fail(command, "unknown format '" + name + "' (" + SeismogramFormatNames("", ", ", " or ") + ")");
    return true;
  };
  return ParseOptions(command, "format", "", argc, argv, handle, args.files);
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

void WriteRecord(JsonWriter& w, const std::string& file, SeismogramFormat format, const KSAC& record) {
  w.BeginObject();
  w.Key("file").String(file);
  w.Key("format").String(SeismogramFormatName(format));
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

}  // namespace

int HeaderCommand(int argc, char** argv) {
  Arguments args;
  if (!ParseArguments("header", argc, argv, args)) return 2;
  if (args.files.empty()) {
    std::fprintf(stderr, "usage: orvane-tool header [--format %s] FILE...\n", SeismogramFormatNames("", "|", "|").c_str());
    return 2;
  }
  bool failed = false;
  JsonWriter w;
  w.BeginArray();
  for (const std::string& file : args.files) {
    SeismogramReadResult result = ReadSeismogramFile(file, args.format);
    if (!result.record) {
      std::fprintf(stderr, "orvane-tool: %s: %s\n", file.c_str(), result.reason.c_str());
      failed = true;
      continue;
    }
    w.NewLine();
    WriteRecord(w, file, result.format, *result.record);
  }
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
  if (!ParseArguments("convert", argc, argv, args)) return 2;
  if (args.files.size() != 2) {
    std::fprintf(stderr, "usage: orvane-tool convert [--format %s] IN OUT\n", SeismogramFormatNames("", "|", "|").c_str());
    return 2;
  }
  const std::string& in = args.files[0];
  const std::string& out = args.files[1];
  SeismogramReadResult result = ReadSeismogramFile(in, args.format);
  if (!result.record) {
    std::fprintf(stderr, "orvane-tool: %s: %s\n", in.c_str(), result.reason.c_str());
    return 1;
  }
  if (auto reason = WriteSeismogramFile(out, result)) {
    std::fprintf(stderr, "orvane-tool: %s: %s\n", out.c_str(), reason->c_str());
    return 1;
  }
  return 0;
}

}  // namespace orvane::tool
