#include "seismogram/SeismogramFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "seismogram/BinaryFile.h"
#include "seismogram/PEPP.h"
#include "seismogram/PEPPFile.h"
#include "seismogram/PSN.h"
#include "seismogram/PSNFile.h"
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

std::unique_ptr<KSAC> ReadPEPPRecord(const std::string& path, std::string& reason) {
  PEPP pepp;
  ByteReadError error;
  if (!LoadPEPP(path, pepp, error)) {
    reason = error.Text();
    return nullptr;
  }
  // The byte-level reader has checked what the conversion relies on.
  return std::make_unique<KSAC>(pepp);
}

std::unique_ptr<KSAC> ReadPSNRecord(const std::string& path, std::string& reason) {
  PSN psn;
  ByteReadError error;
  if (!LoadPSN(path, psn, error)) {
    reason = error.Text();
    return nullptr;
  }
  return std::make_unique<KSAC>(psn);
}

std::optional<std::string> WritePEPPRecord(const std::string& path, const KSAC& record) {
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
  const PEPP pepp(record);
  std::string reason;
  if (!WriteFileAtomically(path, EncodePEPP(pepp), &reason)) return reason;
  return std::nullopt;
}

namespace {

SeismogramReadResult ReadAs(const std::string& path, SeismogramFormat format, bool peppFallback) {
  SeismogramReadResult result;
  result.format = format;
  result.record = ReadWith(result.format, path, result.reason);
  if (!result.record && peppFallback && result.format == SeismogramFormat::kSAC) {
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

}  // namespace

SeismogramReadResult ReadSeismogramFile(const std::string& path, std::optional<SeismogramFormat> forced) {
  if (forced) return ReadAs(path, *forced, false);
  return ReadAs(path, SeismogramFormatForPath(path), true);
}

SeismogramReadResult ReadSeismogramFileChosen(const std::string& path, SeismogramFormat chosen) {
  return ReadAs(path, chosen, true);
}

std::optional<std::string> WriteSeismogramFile(const std::string& path, const KSAC& record) {
  if (EndsWithNoCase(path, ".set")) return WritePEPPRecord(path, record);
  return SaveSAC(path, record);
}

}  // namespace orvane
