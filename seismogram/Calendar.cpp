#include "seismogram/Calendar.h"

#include <algorithm>
#include <limits>

namespace orvane {
namespace {

// Days before month i+1 (index 12 is the length of the year).
constexpr int kCommonDays[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int kLeapDays[13] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kTicksPerDay = 86'400LL * kTicksPerSecond;

// 1601-01-01 is the first day of a 400-year cycle, which makes the day count
// a plain sum of whole cycles, centuries, four-year blocks and years.
constexpr std::int64_t kDaysPer400Years = 146'097;
constexpr std::int64_t kDaysPer100Years = 36'524;
constexpr std::int64_t kDaysPer4Years = 1'461;

constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;

const int* DayTable(int year) { return IsLeapYear(year) ? kLeapDays : kCommonDays; }

// Day arithmetic on header fields that a file may fill with anything (an
// nzjday near the int range's end): the result is held to the int range
// instead of overflowing.
int Saturated(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// Days from 1601-01-01 to 1 January of year (year >= 1601).
std::int64_t DaysBeforeYear(int year) {
  const std::int64_t y = year - kFirstYear;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

bool IsLeapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

int DayOfYear(int year, int monthIndex, int day) {
  if (monthIndex < 0 || monthIndex > 12) return day;
  return Saturated(std::int64_t{DayTable(year)[monthIndex]} + day);
}

void MonthDayFromDayOfYear(int dayOfYear, int year, int& month, int& day) {
  const int* table = DayTable(year);
  int i = 0;
  while (i < 12 && !(table[i] < dayOfYear && dayOfYear <= table[i + 1])) ++i;
  month = i + 1;
  day = Saturated(std::int64_t{dayOfYear} - table[i]);
}

bool CarryTimeOfDay(HeaderTime& time) {
  HeaderTime t = time;
  if (t.year < kFirstYear || t.year > kLastYear) return false;
  if (t.dayOfYear < 1 || t.dayOfYear > DayTable(t.year)[12]) return false;
  if (t.hour < 0 || t.hour > 24 || t.minute < 0 || t.minute > 60 || t.second < 0 || t.second > 60 ||
      t.milliseconds < 0)
    return false;
  if (t.hour < 24 && t.minute < 60 && t.second < 60 && t.milliseconds < 1000) return false;
  constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
  const std::int64_t ms = ((std::int64_t{t.hour} * 60 + t.minute) * 60 + t.second) * 1000 + t.milliseconds;
  std::int64_t day = t.dayOfYear + ms / kMillisecondsPerDay;
  std::int64_t rest = ms % kMillisecondsPerDay;
  while (day > DayTable(t.year)[12]) {
    day -= DayTable(t.year)[12];
    if (++t.year > kLastYear) return false;
  }
  t.dayOfYear = static_cast<std::int32_t>(day);
  t.hour = static_cast<std::int32_t>(rest / 3'600'000);
  rest %= 3'600'000;
  t.minute = static_cast<std::int32_t>(rest / 60'000);
  rest %= 60'000;
  t.second = static_cast<std::int32_t>(rest / 1000);
  t.milliseconds = static_cast<std::int32_t>(rest % 1000);
  time = t;
  return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME& time, FileTime& ticks) {
  if (time.wYear < kFirstYear || time.wYear > kLastYear) return false;
  if (time.wMonth < 1 || time.wMonth > 12) return false;
  const int* table = DayTable(time.wYear);
  const int monthLength = table[time.wMonth] - table[time.wMonth - 1];
  if (time.wDay < 1 || time.wDay > monthLength) return false;
  if (time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59 || time.wMilliseconds > 999)
    return false;
  const std::int64_t days = DaysBeforeYear(time.wYear) + table[time.wMonth - 1] + time.wDay - 1;
  const std::int64_t seconds = time.wHour * 3600LL + time.wMinute * 60LL + time.wSecond;
  // The largest value (30827-12-31 23:59:59.999) stays below 2^63.
  ticks = days * kTicksPerDay + seconds * kTicksPerSecond + time.wMilliseconds * kTicksPerMillisecond;
  return true;
}

bool FileTimeToSystemTime(FileTime ticks, SYSTEMTIME& time) {
  if (ticks < 0) return false;
  std::int64_t days = ticks / kTicksPerDay;
  std::int64_t rest = ticks % kTicksPerDay;

  SYSTEMTIME t;
  t.wDayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday

  std::int64_t cycles = days / kDaysPer400Years;
  days %= kDaysPer400Years;
  // The last day of a 400-year cycle belongs to its fourth (leap) century.
  std::int64_t centuries = days / kDaysPer100Years;
  if (centuries == 4) centuries = 3;
  days -= centuries * kDaysPer100Years;
  std::int64_t blocks = days / kDaysPer4Years;
  days %= kDaysPer4Years;
  std::int64_t years = days / 365;
  if (years == 4) years = 3;  // the last day of a four-year block
  days -= years * 365;

  const int year = static_cast<int>(kFirstYear + cycles * 400 + centuries * 100 + blocks * 4 + years);
  const int* table = DayTable(year);
  int month = 1;
  while (month < 12 && days >= table[month]) ++month;

  t.wYear = static_cast<std::uint16_t>(year);
  t.wMonth = static_cast<std::uint16_t>(month);
  t.wDay = static_cast<std::uint16_t>(days - table[month - 1] + 1);
  t.wHour = static_cast<std::uint16_t>(rest / (3600 * kTicksPerSecond));
  rest %= 3600 * kTicksPerSecond;
  t.wMinute = static_cast<std::uint16_t>(rest / (60 * kTicksPerSecond));
  rest %= 60 * kTicksPerSecond;
  t.wSecond = static_cast<std::uint16_t>(rest / kTicksPerSecond);
  rest %= kTicksPerSecond;
  t.wMilliseconds = static_cast<std::uint16_t>(rest / kTicksPerMillisecond);
  time = t;
  return true;
}

}  // namespace orvane
