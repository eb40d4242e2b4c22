#include "seismogram/PSN.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "platform/ErrorReport.h"
#include "seismogram/BinaryFile.h"
#include "seismogram/Calendar.h"
#include "seismogram/KSAC.h"
#include "seismogram/LittleEndian.h"
#include "seismogram/PSNFile.h"

namespace orvane {
namespace {

bool FitsHeader(int offset) { return offset >= 0 && offset <= PSN::kHeaderBytes - 2; }

std::int16_t FloatToSample(float value) {
  if (std::isnan(value)) return 0;
  return static_cast<std::int16_t>(std::clamp(value, -2048.0f, 2047.0f));
}

[[noreturn]] void OutOfMemory() {
  ErrorReport(1, "PSN::SetData(short)");
  std::abort();
}

}  // namespace

PSN::PSN() { Init(nullptr, false); }

PSN::PSN(const std::string& path) { Init(path.c_str(), false); }

void PSN::Init(const char* path, bool /*release*/) {
  prefix[MARKER] = kMarker;
  SetShort(VERSION, 3);
  le::PutU16(header.data() + COUNT_FIELD, kCountInPrefix);
  fileName = path != nullptr ? path : "untitled";
  samples.clear();
  samples.shrink_to_fit();
  npts = 0;
  ownsLoadedSamples = 0;
  if (path != nullptr) ReadPSN(path);
}

int PSN::ReadPSN(const char* path) {
  ByteReadError error;
  if (path == nullptr || !LoadPSN(path, *this, error)) throw PSNException();
  return 0;
}

bool PSN::CheckPSNHeader() {
  std::int32_t count = 0;
  ByteReadError error;
  if (!CheckPSNFields(prefix, header, count, error)) return false;
  npts = count;
  return true;
}

std::int32_t PSN::RecordingSeconds() const { return PSNRecordingSeconds(header); }

float PSN::PSNSampleRate() const {
  const std::int32_t seconds = RecordingSeconds();
  if (seconds <= 0) return 0.0f;
  return static_cast<float>(npts) / static_cast<float>(seconds);
}

float PSN::DegreesFromParts(std::int16_t degrees, std::int16_t thousandths) {
  int parts = thousandths;
  if (degrees < 0 && parts > 0) parts = -parts;
  return static_cast<float>(degrees + 0.001 * parts);
}

int PSN::WritePSN(const char* path) const {
  if (npts < 0 || static_cast<std::size_t>(npts) > samples.size()) {
    ErrorReport(2001, "PSN::WritePSN");
    return 1;
  }
  const std::vector<unsigned char> bytes = EncodePSN(*this);
  if (path == nullptr || !WriteFileAtomically(path, bytes)) {
    ErrorReport(2002, "PSN::WritePSN");
    return 2;
  }
  return 0;
}

void PSN::SetData(const std::int16_t* values, std::int32_t count) {
  if (count < 0 || values == nullptr) count = 0;
  std::vector<std::int16_t> copy;
  try {
    copy.assign(values, values + count);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
  samples = std::move(copy);
}

void PSN::SetData(const float* values, std::int32_t count) {
  if (count < 0 || values == nullptr) count = 0;
  std::vector<std::int16_t> copy;
  try {
    copy.resize(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  }
  for (std::size_t i = 0; i < copy.size(); ++i) copy[i] = FloatToSample(values[i]);
  samples = std::move(copy);
}

std::int16_t PSN::GetShort(int offset) const {
  return FitsHeader(offset) ? le::GetI16(header.data() + offset) : 0;
}
void PSN::SetShort(int offset, std::int16_t value) {
  if (FitsHeader(offset)) le::PutI16(header.data() + offset, value);
}
std::int32_t PSN::PrefixCount() const { return le::GetI32(prefix.data() + PREFIX_COUNT); }
void PSN::SetPrefixCount(std::int32_t count) { le::PutI32(prefix.data() + PREFIX_COUNT, count); }

// The conversion of a PSN record into the program's seismogram record.
KSAC::KSAC(const PSN& psn) {
  const float rate = psn.PSNSampleRate();
  // A record without a sampling rate (shorter than one second) or with fewer
  // samples than it counts (built or changed in code) is not converted.
  if (psn.npts < 0 || static_cast<std::size_t>(psn.npts) > psn.samples.size() || !(rate > 0.0f))
    throw PSNException();

  header = std::make_unique<unsigned char[]>(kHeaderBytes);
  origin = 2;
  Init(nullptr, false);
  fileName = psn.fileName;
  SetIntHeader(NPTS, psn.npts);
  SetFloatHeader(DEPMIN, static_cast<float>(psn.GetShort(PSN::DEPMIN)));
  SetFloatHeader(DEPMAX, static_cast<float>(psn.GetShort(PSN::DEPMAX)));
  SetFloatHeader(STLA, PSN::DegreesFromParts(psn.GetShort(PSN::STLA_DEGREES), psn.GetShort(PSN::STLA_THOUSANDTHS)));
  SetFloatHeader(STLO, PSN::DegreesFromParts(psn.GetShort(PSN::STLO_DEGREES), psn.GetShort(PSN::STLO_THOUSANDTHS)));
  SetFloatHeader(DELTA, static_cast<float>(1.0 / rate));

  const std::int16_t year = psn.GetShort(PSN::YEAR);
  SetIntHeader(NZYEAR, year);
  SetIntHeader(NZJDAY, DayOfYear(year, psn.GetShort(PSN::MONTH) - 1, psn.GetShort(PSN::DAY)));
  SetIntHeader(NZHOUR, psn.GetShort(PSN::START_HOUR));
  SetIntHeader(NZMIN, psn.GetShort(PSN::START_MINUTE));
  SetIntHeader(NZSEC, psn.GetShort(PSN::START_SECOND));
  SetIntHeader(NZMSEC, 10 * psn.GetShort(PSN::START_FRACTION));
  // The header allows hour 24, minute 60 and second 60, and a fraction of
  // 100 or more gives 1000 ms or more: carried into the next unit, so that
  // the record has a reference time.
  CarryReferenceTime();
  SetFloatHeader(B, 0.0f);

  // Version 2 headers carry no event; their bytes 106-115 mean nothing here.
  if (psn.GetShort(PSN::VERSION) > 2) {
    SetFloatHeader(EVLA, PSN::DegreesFromParts(psn.GetShort(PSN::EVLA_DEGREES), psn.GetShort(PSN::EVLA_THOUSANDTHS)));
    SetFloatHeader(EVLO, PSN::DegreesFromParts(psn.GetShort(PSN::EVLO_DEGREES), psn.GetShort(PSN::EVLO_THOUSANDTHS)));
    SetFloatHeader(EVDP, static_cast<float>(100 * psn.GetShort(PSN::EVDP_HECTOMETRES)));
  }
  const char component[2] = {static_cast<char>(psn.header[PSN::COMPONENT]), '\0'};
  SetCharHeader(KCMPNM, component);

  samples = std::make_unique<float[]>(static_cast<std::size_t>(psn.npts));
  for (std::int32_t i = 0; i < psn.npts; ++i) samples[i] = static_cast<float>(psn.samples[static_cast<std::size_t>(i)]);
}

}  // namespace orvane
