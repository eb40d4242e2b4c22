#pragma once
// Calendar times and instants of the seismogram records.
//
// A calendar time crosses interfaces as SYSTEMTIME: eight unsigned 16-bit
// fields (year, month 1-12, day of week, day 1-31, hour, minute, second,
// milliseconds). The day of week is never filled and never read.
// An instant is a FileTime: a signed 64-bit count of 100-nanosecond ticks since
// 1601-01-01 00:00:00 on the proleptic Gregorian calendar, without leap seconds.

#include <cstdint>

namespace orvane {

struct SYSTEMTIME {
  std::uint16_t wYear = 0;
  std::uint16_t wMonth = 0;
  std::uint16_t wDayOfWeek = 0;
  std::uint16_t wDay = 0;
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;
};
static_assert(sizeof(SYSTEMTIME) == 16);

using FileTime = std::int64_t;

constexpr FileTime kTicksPerSecond = 10'000'000;
constexpr FileTime kTicksPerTenth = 1'000'000;

/// @brief Calendar time to ticks. Years 1601-30827, months 1-12, days valid for
/// the month, hour < 24, minute < 60, second < 60, milliseconds < 1000.
/// @return false (and @p ticks untouched) for any calendar time outside that.
bool SystemTimeToFileTime(const SYSTEMTIME& time, FileTime& ticks);

/// @brief Ticks to calendar time (day of week filled, 0 = Sunday).
/// @return false for a negative tick count.
bool FileTimeToSystemTime(FileTime ticks, SYSTEMTIME& time);

/// true when @p year is divisible by 400, or by 4 and not by 100.
bool IsLeapYear(int year);

/// Day of the year (1 = 1 January) of @p day in month @p monthIndex (0 = January).
/// Example: DayOfYear(2000, 2, 1) is 61. A month index outside 0-12 gives @p day;
/// a result beyond the int range is held at its end.
int DayOfYear(int year, int monthIndex, int day);

/// Month (1-12) and day of @p dayOfYear. A day beyond the year's end gives
/// month 13, day = dayOfYear - days of the year (for instance (13, 1) for day
/// 366 of 1999); a day below 1 gives month 13 as well (day held at the int
/// range's end, so INT_MIN gives (13, INT_MIN) rather than an overflow).
void MonthDayFromDayOfYear(int dayOfYear, int year, int& month, int& day);

}  // namespace orvane
