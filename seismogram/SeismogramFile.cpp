#include "seismogram/SeismogramFile.h"

#include <algorithm>
#include <cctype>

#include "seismogram/SACFile.h"

namespace orvane {
namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

std::string WithOffset(const SACReadFailure& failure) {
  if (failure.code == SACReadFailure::kOpenFailed) return failure.reason;
  return failure.reason + " (at byte " + std::to_string(failure.offset) + ")";
}

std::unique_ptr<KSAC> ReadWith(SeismogramFormat format, const std::string& path, std::string& reason) {
  switch (format) {
    case SeismogramFormat::kPEPP: return ReadPEPPRecord(path, reason);
    case SeismogramFormat::kPSN: return ReadPSNRecord(path, reason);
    case SeismogramFormat::kSAC: break;
  }
  return ReadSACRecord(path, reason);
}

}  // namespace

const char* SeismogramFormatName(SeismogramFormat format) {
  switch (format) {
    case SeismogramFormat::kPEPP: return "pepp";
    case SeismogramFormat::kPSN: return "psn";
    case SeismogramFormat::kSAC: break;
  }
  return "sac";
}

std::optional<SeismogramFormat> ParseSeismogramFormat(const std::string& name) {
  for (SeismogramFormat f : {SeismogramFormat::kSAC, SeismogramFormat::kPEPP, SeismogramFormat::kPSN}) {
    if (name == SeismogramFormatName(f)) return f;
  }
  return std::nullopt;
}

SeismogramFormat SeismogramFormatForPath(const std::string& path) {
  if (EndsWithNoCase(path, ".set")) return SeismogramFormat::kPEPP;
  if (EndsWithNoCase(path, ".psn")) return SeismogramFormat::kPSN;
  return SeismogramFormat::kSAC;
}

std::unique_ptr<KSAC> ReadSACRecord(const std::string& path, std::string& reason) {
  auto record = std::make_unique<KSAC>();
  record->fileName = path;
  if (auto failure = LoadSAC(path, *record)) {
    reason = WithOffset(*failure);
    return nullptr;
  }
  return record;
}

// The PEPP and PSN readers come with their record classes; until then the
// formats are refused by name.
std::unique_ptr<KSAC> ReadPEPPRecord(const std::string&, std::string& reason) {
  reason = "PEPP files are not supported yet";
  return nullptr;
}

std::unique_ptr<KSAC> ReadPSNRecord(const std::string&, std::string& reason) {
  reason = "PSN files are not supported yet";
  return nullptr;
}

std::optional<std::string> WritePEPPRecord(const std::string&, const KSAC&) {
  return std::string("PEPP files cannot be written yet");
}

SeismogramReadResult ReadSeismogramFile(const std::string& path, std::optional<SeismogramFormat> forced) {
  SeismogramReadResult result;
  result.format = forced.value_or(SeismogramFormatForPath(path));
  result.record = ReadWith(result.format, path, result.reason);
  if (!result.record && !forced && result.format == SeismogramFormat::kSAC) {
    // Event opening reads a file that the SAC reader refuses as PEPP.
    std::string peppReason;
    result.record = ReadPEPPRecord(path, peppReason);
    if (result.record) {
      result.format = SeismogramFormat::kPEPP;
    } else {
      result.reason = "not a SAC file: " + result.reason + "; not a PEPP file: " + peppReason;
    }
  } else if (!result.record) {
    result.reason = std::string("not a ") +
                    (result.format == SeismogramFormat::kSAC    ? "SAC"
                     : result.format == SeismogramFormat::kPEPP ? "PEPP"
                                                                : "PSN") +
                    " file: " + result.reason;
  }
  if (result.record) {
    result.reason.clear();
    result.record->ComputeReferenceSeconds();
  }
  return result;
}

std::optional<std::string> WriteSeismogramFile(const std::string& path, const KSAC& record) {
  if (EndsWithNoCase(path, ".set")) return WritePEPPRecord(path, record);
  return SaveSAC(path, record);
}

}  // namespace orvane
