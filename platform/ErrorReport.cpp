#include "platform/ErrorReport.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <utility>

#include "platform/DataFile.h"

namespace orvane {
namespace {

constexpr std::size_t kMaxTextLength = 255;
const char* const kCatalogueName = "kerror.doc";

}  // namespace

std::optional<CatalogueEntry> ParseCatalogueLine(const std::string& line) {
  std::size_t pos = 0;
  while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos]))) ++pos;
  std::size_t start = pos;
  if (pos < line.size() && (line[pos] == '-' || line[pos] == '+')) ++pos;
  std::size_t digits = pos;
  while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos]))) ++pos;
  if (pos == digits) return std::nullopt;
  // A code is a 16-bit number; longer digit strings are clamped before the
  // conversion so that a hostile line cannot overflow anything.
  errno = 0;
  long value = std::strtol(line.substr(start, pos - start).c_str(), nullptr, 10);
  if (errno == ERANGE) value = value < 0 ? LONG_MIN : LONG_MAX;
  CatalogueEntry entry;
  entry.code = static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<unsigned long>(value) & 0xFFFFu));
  std::string text = line.substr(pos);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
  entry.text = std::move(text);
  return entry;
}

std::optional<CatalogueEntry> FindCatalogueEntry(std::istream& in, std::int16_t code) {
  std::string line;
  while (std::getline(in, line)) {
    std::optional<CatalogueEntry> entry = ParseCatalogueLine(line);
    if (!entry) continue;
    if (entry->code == code || entry->code == -1) return entry;
  }
  return std::nullopt;
}

namespace {

// The catalogue entry shown for a report, or a note saying why there is none.
CatalogueEntry ShownEntry(std::int16_t code, const std::string& cataloguePath) {
  CatalogueEntry shown;
  if (cataloguePath.empty()) {
    shown = {code, " (no text: the message catalogue kerror.doc is missing)"};
  } else {
    std::ifstream in(cataloguePath);
    std::optional<CatalogueEntry> found;
    if (in) found = FindCatalogueEntry(in, code);
    if (found)
      shown = *found;
    else if (!in.is_open())
      shown = {code, " (no text: the message catalogue kerror.doc cannot be read)"};
    else
      shown = {code, " (no text: the message catalogue kerror.doc has no entry for this code)"};
  }
  return shown;
}

void WriteFramed(std::ostream& out, const CatalogueEntry& shown, const std::string& module) {
  const std::string dashes35(35, '-');
  out << dashes35 << " MESSAGE " << dashes35 << '\n';
  if (module.empty() || module[0] != '#') out << " ***  In module " << module << '\n';
  out << "    Message " << shown.code << " : " << shown.text << '\n';
  out << std::string(44, '-') << dashes35 << '\n';
  out.flush();
}

std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

ErrorReportSink& InstalledSink() {
  static ErrorReportSink sink;
  return sink;
}

}  // namespace

void WriteErrorReport(std::ostream& out, std::int16_t code, const std::string& module,
                      const std::string& cataloguePath) {
  WriteFramed(out, ShownEntry(code, cataloguePath), module);
}

void ErrorReport(std::int16_t code, const std::string& module) {
  const CatalogueEntry shown = ShownEntry(code, FindDataFile(kCatalogueName));
  ErrorReportEntry entry;
  entry.code = code;
  entry.module = module;
  entry.text = shown.text;
  std::ostringstream framed;
  WriteFramed(framed, shown, module);
  entry.framed = framed.str();
  // The sink is called outside the lock (it may make a report of its own).
  ErrorReportSink sink;
  {
    std::lock_guard<std::mutex> lock(SinkMutex());
    sink = InstalledSink();
  }
  if (sink)
    sink(entry);
  else
    WriteErrorReportToStandardOutput(entry);
}

ErrorReportSink SetErrorReportSink(ErrorReportSink sink) {
  std::lock_guard<std::mutex> lock(SinkMutex());
  return std::exchange(InstalledSink(), std::move(sink));
}

void WriteErrorReportToStandardOutput(const ErrorReportEntry& entry) {
  std::cout << entry.framed;
  std::cout.flush();
}

ScopedErrorReportCapture::ScopedErrorReportCapture()
    : previous_(SetErrorReportSink([this](const ErrorReportEntry& e) { reports_.push_back(e); })) {}

ScopedErrorReportCapture::~ScopedErrorReportCapture() { SetErrorReportSink(std::move(previous_)); }

std::string ScopedErrorReportCapture::text() const {
  std::string all;
  for (const ErrorReportEntry& e : reports_) all += e.framed;
  return all;
}

}  // namespace orvane
