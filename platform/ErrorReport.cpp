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
  // The module text may name a file, whose name may hold anything.
  if (module.empty() || module[0] != '#') out << " ***  In module " << EscapeControlCharacters(module) << '\n';
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

std::string EscapeControlCharacters(const std::string& text) {
  static const char* const kHex = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  const auto escape = [&](unsigned char byte) {
    switch (byte) {
      case '\n': shown += "\\n"; return;
      case '\t': shown += "\\t"; return;
      case '\r': shown += "\\r"; return;
      default: shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 15]};
    }
  };
  const auto byteAt = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = byteAt(i);
    if (lead < 0x80) {
      if (lead < 0x20 || lead == 0x7f)
        escape(lead);
      else
        shown += static_cast<char>(lead);
      ++i;
      continue;
    }
    // The length of a well-formed UTF-8 sequence starting here, and the range
    // its second byte must lie in (no overlong forms, no surrogates, nothing
    // beyond U+10FFFF); 0 when the byte starts none.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    bool valid = length > 0 && byteAt(i + 1) >= low && byteAt(i + 1) <= high;
    for (std::size_t k = 2; valid && k < length; ++k) valid = byteAt(i + k) >= 0x80 && byteAt(i + k) <= 0xBF;
    // U+0080 to U+009F are the C1 control characters.
    const bool control = valid && lead == 0xC2 && byteAt(i + 1) <= 0x9F;
    if (!valid || control) {
      for (std::size_t k = 0; k < (control ? 2u : 1u); ++k) escape(byteAt(i + k));
      i += control ? 2 : 1;
      continue;
    }
    shown.append(text, i, length);
    i += length;
  }
  return shown;
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
