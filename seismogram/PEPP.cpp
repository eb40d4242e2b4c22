#include "seismogram/PEPP.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "platform/ErrorReport.h"
#include "seismogram/BinaryFile.h"
#include "seismogram/Calendar.h"
#include "seismogram/KSAC.h"
#include "seismogram/LittleEndian.h"
#include "seismogram/PEPPFile.h"

namespace orvane {
namespace {

bool FitsHeader(int offset, int width) {
  return offset >= 0 && width >= 0 && offset <= PEPP::kHeaderBytes - width;
}

// Truncation toward zero that stays defined for every float: NaN gives the
// undefined value, values beyond the 32-bit range saturate.
std::int32_t TruncateToInt32(float value) {
  if (std::isnan(value)) return KSAC::UNDEFINED_INT;
  if (value >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
  if (value < -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

std::int16_t TruncateToInt16(float value) {
  if (std::isnan(value)) return PEPP::UNDEFINED_SHORT;
  if (value >= 32767.0f) return std::numeric_limits<std::int16_t>::max();
  if (value <= -32768.0f) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(value);
}

// Event depth: kilometres in PEPP, metres in KSAC. An undefined depth stays
// undefined rather than becoming -12,345,000 m or -12.345 km.
float KmToMetres(float km) { return km == PEPP::UNDEFINED_FLOAT ? KSAC::UNDEFINED_FLOAT : km * 1000; }
float MetresToKm(float m) {
  return m == KSAC::UNDEFINED_FLOAT ? PEPP::UNDEFINED_FLOAT : static_cast<float>(m * 0.001);
}

}  // namespace

PEPP::PEPP() { Init(nullptr, false); }

PEPP::PEPP(const std::string& path) { Init(path.c_str(), false); }

void PEPP::Init(const char* path, bool /*release*/) {
  fileName = path != nullptr ? path : "untitled";
  samples.clear();
  samples.shrink_to_fit();
  SetShort(MAGIC, kMagic);
  SetText(VERSION, 15, "PEPP_HVN_02.40");
  SetInt(NPTS, 641);
  SetShort(49, UNDEFINED_SHORT);
  SetFloat(DEPMIN, UNDEFINED_FLOAT);
  SetFloat(DEPMAX, UNDEFINED_FLOAT);
  SetFloat(DEPMEN, UNDEFINED_FLOAT);
  SetText(SAMPLE_FORMAT, 3, "F4");
  header[COMPONENT] = '?';
  std::memcpy(header.data() + 75, "-12", 3);
  SetText(RECORDING_MODE, 5, "TRIG");
  SetShort(143, 1);
  for (int offset : {145, 149, 153}) SetFloat(offset, UNDEFINED_FLOAT);
  SetShort(157, 12);
  SetText(SENSOR, 5, "AS-1");
  for (int offset : {176, 180, int(EVLA), int(EVLO), int(EVDP_KM)}) SetFloat(offset, UNDEFINED_FLOAT);
  // The user value at 220 keeps what it holds.
  for (int offset : {212, 216, 224, 228}) SetFloat(offset, UNDEFINED_FLOAT);
  SetShort(232, UNDEFINED_SHORT);
  for (int offset : {int(GCARC), int(DIST), int(AZ), int(BAZ)}) SetFloat(offset, UNDEFINED_FLOAT);
  header[250] = 0;
  std::fill_n(header.begin() + 281, 16, 0);
  SetInt(297, 0);
  std::fill_n(header.begin() + COMMENTS, 300, 0);
  ownsLoadedSamples = 0;
  if (path != nullptr) ReadPEPP(path);
}

int PEPP::ReadPEPP(const char* path) {
  ByteReadError error;
  if (path == nullptr || !LoadPEPP(path, *this, error)) throw PEPPException();
  return 0;
}

int PEPP::WritePEPP(const char* path) const {
  const std::int32_t npts = Npts();
  // A count that is undefined, negative or not the number of samples held
  // would write a file that no reader accepts (or read past the samples).
  if (npts == UNDEFINED_INT || npts < 0 || static_cast<std::size_t>(npts) != samples.size()) {
    ErrorReport(2001, "PEPP::WritePEPP");
    return 1;
  }
  const std::vector<unsigned char> bytes = EncodePEPP(*this);
  if (path == nullptr || !WriteFileAtomically(path, bytes)) {
    ErrorReport(2002, "PEPP::WritePEPP");
    return 2;
  }
  return 0;
}

void PEPP::SetData(const float* values, std::int32_t count) {
  if (count < 0 || values == nullptr) count = 0;
  std::vector<float> copy;
  try {
    copy.assign(values, values + count);
  } catch (const std::bad_alloc&) {
    ErrorReport(1, "PEPP::SetData(float)");
    std::abort();
  }
  samples = std::move(copy);
  SetInt(NPTS, count);
}

std::int16_t PEPP::GetShort(int offset) const {
  return FitsHeader(offset, 2) ? le::GetI16(header.data() + offset) : 0;
}
void PEPP::SetShort(int offset, std::int16_t value) {
  if (FitsHeader(offset, 2)) le::PutI16(header.data() + offset, value);
}
std::int32_t PEPP::GetInt(int offset) const {
  return FitsHeader(offset, 4) ? le::GetI32(header.data() + offset) : 0;
}
void PEPP::SetInt(int offset, std::int32_t value) {
  if (FitsHeader(offset, 4)) le::PutI32(header.data() + offset, value);
}
float PEPP::GetFloat(int offset) const {
  return FitsHeader(offset, 4) ? le::GetF32(header.data() + offset) : 0.0f;
}
void PEPP::SetFloat(int offset, float value) {
  if (FitsHeader(offset, 4)) le::PutF32(header.data() + offset, value);
}

std::string PEPP::GetText(int offset, int width) const {
  if (!FitsHeader(offset, width)) return {};
  const char* begin = reinterpret_cast<const char*>(header.data() + offset);
  return std::string(begin, std::find(begin, begin + width, '\0'));
}

void PEPP::SetText(int offset, int width, const std::string& text) {
  if (!FitsHeader(offset, width)) return;
  const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(width));
  std::memcpy(header.data() + offset, text.data(), n);
  std::fill(header.begin() + offset + n, header.begin() + offset + width, 0);
}

PEPP::PEPP(const KSAC& record) {
  Init(nullptr, false);
  TakeFields(record);
}

PEPP::PEPP(const KSAC& record, const std::array<unsigned char, kHeaderBytes>& carried) {
  Init(nullptr, false);
  header = carried;
  TakeFields(record);
}

void PEPP::TakeFields(const KSAC& record) {
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  SetInt(NPTS, npts);
  if (npts > 0 && record.samples) samples.assign(record.samples.get(), record.samples.get() + npts);
  fileName = "untitled";

  const std::int32_t year = record.GetIntHeader(KSAC::NZYEAR);
  const std::int32_t dayOfYear = record.GetIntHeader(KSAC::NZJDAY);
  int month = 0;
  int day = 0;
  MonthDayFromDayOfYear(dayOfYear, year, month, day);
  SetShort(YEAR, static_cast<std::int16_t>(year));
  SetShort(MONTH, static_cast<std::int16_t>(month));
  SetShort(DAY, static_cast<std::int16_t>(day));
  SetShort(DAY_OF_YEAR, static_cast<std::int16_t>(dayOfYear));
  SetShort(HOUR, static_cast<std::int16_t>(record.GetIntHeader(KSAC::NZHOUR)));
  SetShort(MINUTE, static_cast<std::int16_t>(record.GetIntHeader(KSAC::NZMIN)));
  SetFloat(SECOND, static_cast<float>(record.GetIntHeader(KSAC::NZSEC) +
                                      0.001 * record.GetIntHeader(KSAC::NZMSEC)));

  const float delta = record.GetFloatHeader(KSAC::DELTA);
  SetFloat(BEGIN, 0.0f);
  SetFloat(END, delta * static_cast<float>(std::int64_t{npts} - 1));  // no overflow for any npts
  SetFloat(SAMPLING_RATE, static_cast<float>(1.0 / delta));

  SetFloat(DEPMIN, record.GetFloatHeader(KSAC::DEPMIN));
  SetFloat(DEPMAX, record.GetFloatHeader(KSAC::DEPMAX));
  SetFloat(DEPMEN, record.GetFloatHeader(KSAC::DEPMEN));
  SetFloat(STLA, record.GetFloatHeader(KSAC::STLA));
  SetFloat(STLO, record.GetFloatHeader(KSAC::STLO));
  SetShort(STEL, TruncateToInt16(record.GetFloatHeader(KSAC::STEL)));

  // GetCharHeader hands out the field's bytes NUL-terminated; the first eight
  // are the station name, the first one the component letter.
  std::memcpy(header.data() + STATION, record.GetCharHeader(KSAC::KSTNM), kStationBytes);
  header[COMPONENT] = static_cast<unsigned char>(record.GetCharHeader(KSAC::KCMPNM)[0]);

  SetFloat(EVLA, record.GetFloatHeader(KSAC::EVLA));
  SetFloat(EVLO, record.GetFloatHeader(KSAC::EVLO));
  SetFloat(EVDP_KM, MetresToKm(record.GetFloatHeader(KSAC::EVDP)));
  SetFloat(AZ, record.GetFloatHeader(KSAC::AZ));
  SetFloat(BAZ, record.GetFloatHeader(KSAC::BAZ));
  SetFloat(GCARC, record.GetFloatHeader(KSAC::GCARC));
  SetFloat(DIST, record.GetFloatHeader(KSAC::DIST));
  for (int i = 0; i < 5; ++i) SetFloat(USER0 + 4 * i, record.GetFloatHeader(KSAC::USER0 + i));
}

// The conversion of a PEPP record into the program's seismogram record.
KSAC::KSAC(const PEPP& pepp) {
  const std::int32_t npts = pepp.Npts();
  const float rate = pepp.GetFloat(PEPP::SAMPLING_RATE);
  // A record the reader would refuse (built or changed in code) is not
  // converted: its interval would be infinite or its samples incomplete.
  if (npts < 0 || static_cast<std::size_t>(npts) != pepp.samples.size() || !std::isfinite(rate) ||
      !(rate > 0.0f) || !std::isfinite(static_cast<float>(1.0 / rate)))
    throw PEPPException();

  header = std::make_unique<unsigned char[]>(kHeaderBytes);
  origin = 1;
  Init(nullptr, false);
  fileName = pepp.fileName;
  SetIntHeader(NPTS, npts);
  SetFloatHeader(DEPMIN, pepp.GetFloat(PEPP::DEPMIN));
  SetFloatHeader(DEPMAX, pepp.GetFloat(PEPP::DEPMAX));
  SetFloatHeader(DEPMEN, pepp.GetFloat(PEPP::DEPMEN));
  SetFloatHeader(STLA, pepp.GetFloat(PEPP::STLA));
  SetFloatHeader(STLO, pepp.GetFloat(PEPP::STLO));
  SetFloatHeader(STEL, static_cast<float>(pepp.GetShort(PEPP::STEL)));
  SetFloatHeader(DELTA, static_cast<float>(1.0 / rate));

  char station[PEPP::kStationBytes + 1] = {};
  std::memcpy(station, pepp.header.data() + PEPP::STATION, PEPP::kStationBytes);
  SetCharHeader(KSTNM, station);
  const char component[2] = {static_cast<char>(pepp.header[PEPP::COMPONENT]), '\0'};
  SetCharHeader(KCMPNM, component);

  SetIntHeader(NZYEAR, pepp.GetShort(PEPP::YEAR));
  SetIntHeader(NZJDAY, pepp.GetShort(PEPP::DAY_OF_YEAR));
  SetIntHeader(NZHOUR, pepp.GetShort(PEPP::HOUR));
  SetIntHeader(NZMIN, pepp.GetShort(PEPP::MINUTE));
  // 12.3456 s gives nzsec 12 and nzmsec 345 (both truncated toward zero).
  // A second that is not a number leaves both fields undefined.
  const float second = pepp.GetFloat(PEPP::SECOND);
  if (!std::isnan(second)) {
    SetIntHeader(NZSEC, TruncateToInt32(second));
    SetIntHeader(NZMSEC, TruncateToInt32(second * 1000) % 1000);
  }
  // A second of 60.0 or more (the end of a minute, a leap second) goes into
  // the minute, so that the record has a reference time.
  CarryReferenceTime();

  SetFloatHeader(B, pepp.GetFloat(PEPP::BEGIN));
  SetFloatHeader(E, pepp.GetFloat(PEPP::END));
  SetFloatHeader(EVLA, pepp.GetFloat(PEPP::EVLA));
  SetFloatHeader(EVLO, pepp.GetFloat(PEPP::EVLO));
  SetFloatHeader(EVDP, KmToMetres(pepp.GetFloat(PEPP::EVDP_KM)));
  SetFloatHeader(DIST, pepp.GetFloat(PEPP::DIST));
  SetFloatHeader(GCARC, pepp.GetFloat(PEPP::GCARC));
  SetFloatHeader(AZ, pepp.GetFloat(PEPP::AZ));
  SetFloatHeader(BAZ, pepp.GetFloat(PEPP::BAZ));
  for (int i = 0; i < 5; ++i) SetFloatHeader(USER0 + i, pepp.GetFloat(PEPP::USER0 + 4 * i));

  samples = std::make_unique<float[]>(static_cast<std::size_t>(npts));
  std::copy(pepp.samples.begin(), pepp.samples.end(), samples.get());
}

}  // namespace orvane
