#include "seismogram/SeismogramFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <vector>

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

using PEPPHeader = std::array<unsigned char, PEPP::kHeaderBytes>;

// A record from the PEPP file @p path; the file's header goes to @p header.
std::unique_ptr<KSAC> ReadPEPPKeepingHeader(const std::string& path, std::string& reason,
                                            std::optional<PEPPHeader>& header) {
  PEPP pepp;
  ByteReadError error;
  if (!LoadPEPP(path, pepp, error)) {
    reason = error.Text();
    return nullptr;
  }
  header = pepp.header;
  // The byte-level reader has checked what the conversion relies on.
  return std::make_unique<KSAC>(pepp);
}

std::unique_ptr<KSAC> ReadWith(SeismogramFormat format, const std::string& path, std::string& reason,
                               std::optional<PEPPHeader>& peppHeader) {
  switch (format) {
    case SeismogramFormat::kPEPP: return ReadPEPPKeepingHeader(path, reason, peppHeader);
    case SeismogramFormat::kPSN: return ReadPSNRecord(path, reason);
    case SeismogramFormat::kSAC: break;
  }
  return ReadSACRecord(path, reason);
}

// Not a SAC file and not a PEPP file: both reasons.
std::string NeitherReason(const std::string& sac, const std::string& pepp) {
  return "not a SAC file: " + sac + "; not a PEPP file: " + pepp;
}

// ReadSeismogramFile for a pipe or a device taken for SAC: the bytes are read
// once and tried as SAC, then as PEPP.
SeismogramReadResult ReadStreamAsSACOrPEPP(const std::string& path) {
  SeismogramReadResult result;
  std::vector<unsigned char> bytes;
  ByteReadError error;
  // As much as the larger of the two formats can hold.
  static_assert(kPEPPMaxFileBytes >= kSACHeaderBytes + 4u * KSAC::kMaxSamples);
  if (!ReadFileBytes(path, kPEPPMaxFileBytes, bytes, error)) {
    result.reason = "not a SAC file: " + error.Text();
    return result;
  }
  auto record = std::make_unique<KSAC>();
  record->fileName = path;
  if (auto failure = ParseSAC(bytes, *record)) {
    const std::string sacReason = WithOffset(*failure);
    PEPP pepp;
    if (!DecodePEPP(bytes, pepp, error)) {
      result.reason = NeitherReason(sacReason, error.Text());
      return result;
    }
    pepp.fileName = path;
    record = std::make_unique<KSAC>(pepp);
    result.format = SeismogramFormat::kPEPP;
    result.peppHeader = pepp.header;
  }
  record->ComputeReferenceSeconds();
  result.record = std::move(record);
  return result;
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
  std::optional<PEPPHeader> header;
  return ReadPEPPKeepingHeader(path, reason, header);
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

std::optional<std::string> WritePEPPRecord(const std::string& path, const KSAC& record, const PEPPHeader* carried) {
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
  const PEPP pepp = carried != nullptr ? PEPP(record, *carried) : PEPP(record);
  std::string reason;
  if (!WriteFileAtomically(path, EncodePEPP(pepp), &reason)) return reason;
  return std::nullopt;
}

namespace {

SeismogramReadResult ReadAs(const std::string& path, SeismogramFormat format, bool peppFallback) {
  SeismogramReadResult result;
  result.format = format;
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) {
    result.reason = "the path is a directory, not a file";
    return result;
  }
  // A pipe can be read only once: when the SAC reader may have to hand it
  // on to the PEPP reader, its bytes are read first and kept for both.
  const bool stream = fs::exists(status) && !fs::is_regular_file(status);
  if (stream && peppFallback && result.format == SeismogramFormat::kSAC) return ReadStreamAsSACOrPEPP(path);
  result.record = ReadWith(result.format, path, result.reason, result.peppHeader);
  if (!result.record && peppFallback && result.format == SeismogramFormat::kSAC) {
    // Event opening reads a file that the SAC reader refuses as PEPP.
    std::string peppReason;
    result.record = ReadPEPPKeepingHeader(path, peppReason, result.peppHeader);
    if (result.record) {
      result.format = SeismogramFormat::kPEPP;
    } else {
      result.reason = NeitherReason(result.reason, peppReason);
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
  // Reading a PSN file turns its 16-bit samples into floats; there is no
  // faithful way back, and a SAC file under a PSN name would be refused by
  // the PSN reader.
  if (EndsWithNoCase(path, ".psn"))
    return std::string("there is no conversion into PSN files: name the output .sac (SAC) or .set (PEPP)");
  return SaveSAC(path, record);
}

std::optional<std::string> WriteSeismogramFile(const std::string& path, const SeismogramReadResult& source) {
  if (!source.record) return std::string("there is no record to write");
  if (EndsWithNoCase(path, ".set") && source.peppHeader) {
    return WritePEPPRecord(path, *source.record, &*source.peppHeader);
  }
  return WriteSeismogramFile(path, *source.record);
}

}  // namespace orvane
