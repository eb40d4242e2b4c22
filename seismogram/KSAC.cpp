#include "seismogram/KSAC.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include "platform/ErrorReport.h"
#include "seismogram/SACFile.h"
#include "seismogram/SampleStatistics.h"

namespace orvane {
namespace {

constexpr int kFloatBytesStart = 0;
constexpr int kIntBytesStart = 4 * KSAC::kFloatCount;                // 280
constexpr int kCharBytesStart = kIntBytesStart + 4 * KSAC::kIntCount;  // 440
constexpr int kPickSlots = 10;

// Byte position and width of text field @p index (0-22).
int CharOffset(int index) {
  if (index == 0) return kCharBytesStart;
  if (index == 1) return kCharBytesStart + 8;
  return kCharBytesStart + 24 + 8 * (index - 2);
}
int CharWidth(int index) { return index == 1 ? 16 : 8; }

// The one buffer GetCharHeader hands out: 16 bytes of text and a terminator.
char charHeaderBuffer[17];

constexpr const char* kUndefinedText = "-12345";

}  // namespace

KSAC::KSAC() : header(new unsigned char[kHeaderBytes]) { Init(nullptr, false); }

KSAC::KSAC(const std::string& path) : header(new unsigned char[kHeaderBytes]) {
  Init(path.c_str(), false);
}

KSAC::KSAC(std::int32_t npts, std::unique_ptr<float[]> values, float stla, float stlo, float stel,
           float delta, const std::string& stationName, const std::string& componentName,
           const SYSTEMTIME& start)
    : header(new unsigned char[kHeaderBytes]) {
  origin = 0;
  Init(nullptr, false);
  samples = std::move(values);
  fileName = "untitled";
  SetIntHeader(NPTS, npts);
  ComputeMinMaxMean();
  SetReferenceTime(start);
  SetFloatHeader(STLA, stla);
  SetFloatHeader(STLO, stlo);
  SetFloatHeader(STEL, stel);
  SetFloatHeader(DELTA, delta);
  // SetCharHeader cuts at the field width, which takes the first 8 bytes.
  SetCharHeader(KSTNM, stationName.c_str());
  SetCharHeader(KCMPNM, componentName.c_str());
  SetFloatHeader(O, 0.0f);
  SetFloatHeader(B, 0.0f);
  // In 64 bits: npts is the caller's and may be the most negative int.
  SetFloatHeader(E, static_cast<float>(std::int64_t{npts} - 1) * delta);
}

KSAC::~KSAC() = default;

void KSAC::Init(const char* path, bool release) {
  // The PEPP and PSN conversions may start from a record whose header has
  // not been created yet.
  if (!header) header.reset(new unsigned char[kHeaderBytes]);
  fileName = path != nullptr ? path : "untitled";
  (void)release;  // the array is owned either way, so it is always released here
  samples.reset();
  for (int i = 0; i < kFloatCount; ++i) SetFloatHeader(i, UNDEFINED_FLOAT);
  for (int i = 0; i < kIntCount; ++i) SetIntHeader(i, UNDEFINED_INT);
  for (int i = 0; i < kCharCount; ++i) SetCharHeader(i, kUndefinedText);
  ownsLoadedSamples = 0;
  SetIntHeader(NPTS, 0);
  SetIntHeader(IFTYPE, 1);
  SetIntHeader(LEVEN, 1);
  SetIntHeader(IDEP, 7);
  SetIntHeader(IZTYPE, 10);
  SetIntHeader(IEVTYP, 5);
  SetIntHeader(IQUAL, 45);
  SetIntHeader(LPSPOL, 0);
  SetIntHeader(LOVROK, 1);
  SetIntHeader(NVHDR, 6);
  if (path != nullptr) ReadSAC(path);
}

float KSAC::GetFloatHeader(int index) const {
  if (index < 0 || index >= kFloatCount) return 0.0f;
  float value;
  std::memcpy(&value, header.get() + kFloatBytesStart + 4 * index, 4);
  return value;
}

void KSAC::SetFloatHeader(int index, float value) {
  if (index < 0 || index >= kFloatCount) return;
  std::memcpy(header.get() + kFloatBytesStart + 4 * index, &value, 4);
}

std::int32_t KSAC::GetIntHeader(int index) const {
  if (index < 0 || index >= kIntCount) return 0;
  std::int32_t value;
  std::memcpy(&value, header.get() + kIntBytesStart + 4 * index, 4);
  return value;
}

void KSAC::SetIntHeader(int index, std::int32_t value) {
  if (index < 0 || index >= kIntCount) return;
  std::memcpy(header.get() + kIntBytesStart + 4 * index, &value, 4);
}

const char* KSAC::GetCharHeader(int index) const {
  std::memset(charHeaderBuffer, 0, sizeof charHeaderBuffer);
  if (index < 0 || index >= kCharCount) return charHeaderBuffer;
  std::memcpy(charHeaderBuffer, header.get() + CharOffset(index), CharWidth(index));
  return charHeaderBuffer;
}

std::string KSAC::GetCharHeaderText(int index) const {
  if (index < 0 || index >= kCharCount) return std::string();
  const char* field = reinterpret_cast<const char*>(header.get() + CharOffset(index));
  return std::string(field, strnlen(field, static_cast<std::size_t>(CharWidth(index))));
}

void KSAC::SetCharHeader(int index, const char* text) {
  if (index < 0 || index >= kCharCount) return;
  const std::size_t width = CharWidth(index);
  unsigned char* field = header.get() + CharOffset(index);
  const std::size_t length = text != nullptr ? strnlen(text, width) : 0;
  std::memset(field, 0, width);
  if (length > 0) std::memcpy(field, text, length);
}

void KSAC::SetData(const float* values, std::int32_t count) {
  if (count < 0 || (count > 0 && values == nullptr)) count = 0;
  float* copy = new (std::nothrow) float[static_cast<std::size_t>(count)];
  if (copy == nullptr) {
    ErrorReport(1, "KSAC::SetData(float)");
    std::abort();
  }
  if (count > 0) std::memcpy(copy, values, 4 * static_cast<std::size_t>(count));
  samples.reset(copy);
  SetIntHeader(NPTS, count);
}

float KSAC::GetPick(int n) const {
  if (n < 0 || n >= kPickSlots) return 0.0f;
  const float value = GetFloatHeader(T0 + n);
  return value == UNDEFINED_FLOAT ? 0.0f : value;
}

void KSAC::SetPick(int n, float seconds) {
  if (n < 0 || n >= kPickSlots) return;
  SetFloatHeader(T0 + n, seconds);
  for (int later = n + 1; later < kPickSlots; ++later) SetFloatHeader(T0 + later, 0.0f);
}

void KSAC::ClearPicks() {
  for (int n = 0; n < kPickSlots; ++n) SetFloatHeader(T0 + n, 0.0f);
}

void KSAC::ComputeMinMaxMean() {
  const std::int32_t npts = GetIntHeader(NPTS);
  // npts without an array counts as no samples.
  const std::int32_t count = samples && npts > 0 ? npts : 0;
  const SampleStatistics s = ComputeSampleStatistics(samples.get(), count);
  SetFloatHeader(DEPMIN, s.min);
  SetFloatHeader(DEPMAX, s.max);
  SetFloatHeader(DEPMEN, s.mean);
}

SYSTEMTIME KSAC::GetReferenceSystemTime() const {
  SYSTEMTIME t;
  const std::int32_t year = GetIntHeader(NZYEAR);
  int month = 0;
  int day = 0;
  MonthDayFromDayOfYear(GetIntHeader(NZJDAY), year, month, day);
  t.wYear = static_cast<std::uint16_t>(year);
  t.wMonth = static_cast<std::uint16_t>(month);
  t.wDay = static_cast<std::uint16_t>(day);
  t.wHour = static_cast<std::uint16_t>(GetIntHeader(NZHOUR));
  t.wMinute = static_cast<std::uint16_t>(GetIntHeader(NZMIN));
  t.wSecond = static_cast<std::uint16_t>(GetIntHeader(NZSEC));
  t.wMilliseconds = static_cast<std::uint16_t>(GetIntHeader(NZMSEC));
  return t;
}

void KSAC::SetReferenceTime(const SYSTEMTIME& time) {
  SetIntHeader(NZYEAR, time.wYear);
  SetIntHeader(NZJDAY, DayOfYear(time.wYear, time.wMonth - 1, time.wDay));
  SetIntHeader(NZHOUR, time.wHour);
  SetIntHeader(NZMIN, time.wMinute);
  SetIntHeader(NZSEC, time.wSecond);
  SetIntHeader(NZMSEC, time.wMilliseconds);
}

bool KSAC::GetReferenceFileTime(FileTime& ticks) const {
  ticks = 0;
  // The fields are checked whole: cutting them to 16 bits could turn an
  // UNDEFINED or absurd value into a valid-looking one.
  const std::int32_t year = GetIntHeader(NZYEAR);
  const std::int32_t jday = GetIntHeader(NZJDAY);
  if (year < 1601 || year > 30827) return false;
  if (jday < 1 || jday > (IsLeapYear(year) ? 366 : 365)) return false;
  const std::int32_t fields[] = {GetIntHeader(NZHOUR), GetIntHeader(NZMIN), GetIntHeader(NZSEC),
                                 GetIntHeader(NZMSEC)};
  const std::int32_t limits[] = {23, 59, 59, 999};
  for (int i = 0; i < 4; ++i) {
    if (fields[i] < 0 || fields[i] > limits[i]) return false;
  }
  FileTime result;
  if (!SystemTimeToFileTime(GetReferenceSystemTime(), result)) return false;
  ticks = result;
  return true;
}

void KSAC::ComputeReferenceSeconds() {
  FileTime ticks;
  if (!GetReferenceFileTime(ticks)) {
    referenceSeconds = 0.0L;
    return;
  }
  const FileTime tenths = ticks / kTicksPerTenth;
  referenceSeconds = static_cast<long double>(tenths) * 0.1L;
}

void KSAC::CarryReferenceTime() {
  HeaderTime t{GetIntHeader(NZYEAR), GetIntHeader(NZJDAY), GetIntHeader(NZHOUR),
               GetIntHeader(NZMIN),  GetIntHeader(NZSEC),  GetIntHeader(NZMSEC)};
  if (!CarryTimeOfDay(t)) return;
  SetIntHeader(NZYEAR, t.year);
  SetIntHeader(NZJDAY, t.dayOfYear);
  SetIntHeader(NZHOUR, t.hour);
  SetIntHeader(NZMIN, t.minute);
  SetIntHeader(NZSEC, t.second);
  SetIntHeader(NZMSEC, t.milliseconds);
}

bool KSAC::GetPickTicks(int n, FileTime& ticks) const {
  ticks = 0;
  FileTime reference;
  if (!GetReferenceFileTime(reference)) return false;
  // The product of a float and 10 is exact in double; the offset is rounded
  // half up to whole tenths and then truncated towards zero.
  const double scaled = 10.0 * static_cast<double>(GetPick(n)) + 0.5;
  // A pick further than about 29,000 years from the reference has no instant.
  constexpr double kLimit = 9.2e12;
  if (!(std::fabs(scaled) < kLimit)) return false;
  const auto offset = static_cast<std::int64_t>(scaled);
  // The limit keeps offset * kTicksPerTenth in range, but a late reference
  // plus a pick of some 29,000 years would still pass the end of the tick
  // range; such a pick has no instant either.
  if (offset > 0 && offset > (std::numeric_limits<FileTime>::max() - reference) / kTicksPerTenth)
    return false;
  const FileTime result = reference + offset * kTicksPerTenth;
  if (result < 0) return false;
  ticks = result;
  return true;
}

FileTime KSAC::GetPickFileTime(int n) const {
  FileTime ticks;
  GetPickTicks(n, ticks);
  return ticks;
}

SYSTEMTIME KSAC::GetPickSystemTime(int n) const {
  SYSTEMTIME time;
  FileTime ticks;
  if (GetPickTicks(n, ticks) && FileTimeToSystemTime(ticks, time)) {
    time.wDayOfWeek = 0;
    return time;
  }
  return SYSTEMTIME{};
}

double KSAC::GetPickSeconds(int n) const {
  FileTime reference;
  if (!GetReferenceFileTime(reference)) return 0.0;
  return static_cast<double>(reference / kTicksPerTenth) * 0.1 + static_cast<double>(GetPick(n));
}

int KSAC::ReadSAC(const char* path) {
  if (LoadSAC(path != nullptr ? path : "", *this)) throw KSACException();
  return 0;
}

int KSAC::WriteSAC(const char* path) {
  const std::int32_t npts = GetIntHeader(NPTS);
  if (npts == UNDEFINED_INT || npts < 0 || (npts > 0 && !samples)) {
    ErrorReport(2001, "KSAC::WriteSAC");
    return 1;
  }
  if (SaveSAC(path != nullptr ? path : "", *this)) {
    ErrorReport(2002, "KSAC::WriteSAC");
    return 1;
  }
  return 0;
}

void KSAC::SwapHeader() {
  for (int i = 0; i < kFloatCount + kIntCount; ++i) Swap4(header.get() + 4 * i);
}

void KSAC::SwapSamples() {
  if (!samples) return;
  const std::int32_t npts = GetIntHeader(NPTS);
  auto* bytes = reinterpret_cast<unsigned char*>(samples.get());
  for (std::int32_t i = 0; i < npts; ++i) Swap4(bytes + 4 * static_cast<std::size_t>(i));
}

void KSAC::Swap4(unsigned char* word) {
  std::swap(word[0], word[3]);
  std::swap(word[1], word[2]);
}

}  // namespace orvane
