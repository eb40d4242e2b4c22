#include "seismogram/FormatTable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <sstream>

#include "seismogram/BinaryFile.h"
#include "seismogram/KSAC.h"
#include "seismogram/PEPP.h"
#include "seismogram/PEPPFile.h"
#include "seismogram/PSN.h"
#include "seismogram/PSNFile.h"
#include "seismogram/SACFile.h"
#include "seismogram/SeismogramFile.h"

namespace orvane {
namespace {

// SAC --------------------------------------------------------------------

std::string WithOffset(const SACReadFailure& failure) {
  if (failure.code == SACReadFailure::kOpenFailed) return failure.reason;
  return failure.reason + " (at byte " + std::to_string(failure.offset) + ")";
}

// The record of the SAC file @p path through @p read (LoadSAC from the
// path, ParseSAC from bytes), or why it was refused.
template <typename Source>
void TakeSAC(const Source& source, const std::string& path,
             std::optional<SACReadFailure> (*read)(Source, KSAC&), SeismogramReadResult& result) {
  auto record = std::make_unique<KSAC>();
  record->fileName = path;
  if (auto failure = read(source, *record))
    result.reason = WithOffset(*failure);
  else
    result.record = std::move(record);
}

void ReadSAC(const std::string& path, SeismogramReadResult& result) {
  TakeSAC<const std::string&>(path, path, LoadSAC, result);
}

void DecodeSAC(std::span<const unsigned char> bytes, const std::string& path, SeismogramReadResult& result) {
  TakeSAC<std::span<const unsigned char>>(bytes, path, ParseSAC, result);
}

std::optional<std::string> WriteSAC(const std::string& path, const KSAC& record, const SeismogramReadResult*) {
  return SaveSAC(path, record);
}

// Formats read by a byte-level reader (LoadX, DecodeX) ------------------

// A record of the program from a PEPP record, with the file's header: what
// a PEPP file written from the record carries over.
void TakeRecord(const PEPP& pepp, SeismogramReadResult& result) {
  result.peppHeader = pepp.header;
  // The byte-level reader has checked what the conversion relies on.
  result.record = std::make_unique<KSAC>(pepp);
}

void TakeRecord(const PSN& psn, SeismogramReadResult& result) { result.record = std::make_unique<KSAC>(psn); }

template <typename Record, bool (*Load)(const std::string&, Record&, ByteReadError&)>
void ReadWith(const std::string& path, SeismogramReadResult& result) {
  Record record;
  ByteReadError error;
  if (!Load(path, record, error)) {
    result.reason = error.Text();
    return;
  }
  TakeRecord(record, result);
}

template <typename Record, bool (*Decode)(std::span<const unsigned char>, Record&, ByteReadError&)>
void DecodeWith(std::span<const unsigned char> bytes, const std::string& path, SeismogramReadResult& result) {
  Record record;
  ByteReadError error;
  if (!Decode(bytes, record, error)) {
    result.reason = error.Text();
    return;
  }
  record.fileName = path;
  TakeRecord(record, result);
}

// A PEPP file written from a PEPP file starts from that file's header, so
// that the fields the record has no place for are carried over.
std::optional<std::string> WritePEPP(const std::string& path, const KSAC& record, const SeismogramReadResult* source) {
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  if (npts == KSAC::UNDEFINED_INT || npts < 0)
    return "the record has no defined number of samples (npts = " + std::to_string(npts) + ")";
  if (npts > 0 && !record.samples) return "the record has no samples although npts = " + std::to_string(npts);
  // A PEPP file holds the sampling rate 1/delta; without a positive, finite
  // rate the file would be one that no PEPP reader accepts.
  const float delta = record.GetFloatHeader(KSAC::DELTA);
  const auto rate = static_cast<float>(1.0 / delta);
  if (!(rate > 0.0f) || !std::isfinite(rate)) {
    std::ostringstream text;
    text << "the sampling interval delta = " << delta << " gives no sampling rate for a PEPP file";
    return text.str();
  }
  if (path.empty()) return std::string("no file name was given");
  const bool carried = source != nullptr && source->peppHeader.has_value();
  const PEPP pepp = carried ? PEPP(record, *source->peppHeader) : PEPP(record);
  std::string reason;
  if (!WriteFileAtomically(path, EncodePEPP(pepp), &reason)) return reason;
  return std::nullopt;
}

std::vector<SeismogramFormatEntry> MakeTable() {
  std::vector<SeismogramFormatEntry> table;
  // The first entry takes the names no other entry claims.
  table.push_back({SeismogramFormat::kSAC, "sac", "SAC", {"*.sac"}, "SAC files (*.sac)", "application/x-orvane-sac",
                   ReadSAC, DecodeSAC, kSACHeaderBytes + 4u * KSAC::kMaxSamples, WriteSAC, SeismogramFormat::kPEPP, nullptr, std::nullopt});
  table.push_back({SeismogramFormat::kPEPP, "pepp", "PEPP", {"*.set"}, "PEPP files (*.set)",
                   "application/x-orvane-pepp", ReadWith<PEPP, LoadPEPP>, DecodeWith<PEPP, DecodePEPP>,
                   kPEPPMaxFileBytes, WritePEPP, std::nullopt, nullptr, std::nullopt});
  // Reading a PSN file turns its 16-bit samples into floats; there is no
  // faithful way back, so there is no writer.
  table.push_back({SeismogramFormat::kPSN, "psn", "PSN", {"*.psn"}, "PSN files (*.psn)", "application/x-orvane-psn",
                   ReadWith<PSN, LoadPSN>, DecodeWith<PSN, DecodePSN>, kPSNMaxFileBytes, nullptr, std::nullopt, nullptr, std::nullopt});
  // A data centre's miniSEED, read together with the StationXML (and
  // QuakeML) chosen with it: one record per channel. Its reader reads XML
  // with Qt and is set from above (RegisterDataCentreFormat). The desktop
  // claims the miniSEED names only.
  table.push_back({SeismogramFormat::kMiniSEED, "miniseed", "miniSEED", {"*.mseed", "*.miniseed", "*.ms", "*.xml"},
                   "Data centre files (*.mseed *.miniseed *.ms *.xml)", "application/vnd.fdsn.mseed", nullptr,
                   nullptr, 0, nullptr, std::nullopt, nullptr,
                   std::vector<std::string>{"*.mseed", "*.miniseed"}});
  return table;
}

std::vector<SeismogramFormatEntry>& Table() {
  static std::vector<SeismogramFormatEntry> table = MakeTable();
  return table;
}

}  // namespace

const std::vector<SeismogramFormatEntry>& SeismogramFormats() { return Table(); }

void SetReadTogether(SeismogramFormat format, ReadTogetherFunction reader) {
  for (SeismogramFormatEntry& entry : Table())
    if (entry.format == format) entry.readTogether = reader;
}

const SeismogramFormatEntry& FormatEntry(SeismogramFormat format) {
  const auto& table = SeismogramFormats();
  const auto found = std::find_if(table.begin(), table.end(),
                                  [format](const SeismogramFormatEntry& e) { return e.format == format; });
  return found != table.end() ? *found : table.front();
}

const char* SeismogramFormatName(SeismogramFormat format) { return FormatEntry(format).name.c_str(); }

std::optional<SeismogramFormat> ParseSeismogramFormat(const std::string& name) {
  for (const SeismogramFormatEntry& entry : SeismogramFormats()) {
    if (name == entry.name) return entry.format;
  }
  return std::nullopt;
}

std::string SeismogramFormatNames(std::string_view quote, std::string_view separator, std::string_view last) {
  const auto& table = SeismogramFormats();
  std::string text;
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (i > 0) text += i + 1 == table.size() ? last : separator;
    text.append(quote).append(table[i].name).append(quote);
  }
  return text;
}

bool MatchesFormatPattern(std::string_view path, std::string_view pattern) {
  // "*" stands for any start of the name; without it the whole name counts.
  const bool anyStart = !pattern.empty() && pattern.front() == '*';
  const std::string_view tail = anyStart ? pattern.substr(1) : pattern;
  const std::string_view name = path.substr(path.find_last_of('/') + 1);
  if (name.size() < tail.size() || (!anyStart && name.size() != tail.size())) return false;
  return std::equal(tail.begin(), tail.end(), name.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

SeismogramFormat SeismogramFormatForPath(const std::string& path) {
  const auto& table = SeismogramFormats();
  for (const SeismogramFormatEntry& entry : table) {
    for (const std::string& pattern : entry.patterns) {
      if (MatchesFormatPattern(path, pattern)) return entry.format;
    }
  }
  return table.front().format;
}

}  // namespace orvane
