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

/// A reference time as the seismogram headers hold it: year, day of the
/// year and the time of day, each a plain number.
struct HeaderTime {
  std::int32_t year = 0;
  std::int32_t dayOfYear = 0;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t milliseconds = 0;
};

/// @brief Carries a time of day written with hour 24, minute 60, second 60
/// or milliseconds of 1000 or more (as recorders write the end of a minute or
/// a day, or a leap second) into the next unit: 23:59:60.000 and
/// 24:00:00.000 of one day are 00:00:00.000 of the next (of the next year
/// after its last day), 10:00:00 with 1500 ms is 10:00:01.500.
/// Only a time whose year is 1601-30827, whose day lies in its year and
/// whose fields are at least 0 and at most 24, 60, 60 (milliseconds: any
/// count) is carried; any other is left as it is.
/// @return true when @p time was changed.
bool CarryTimeOfDay(HeaderTime& time);

}  // namespace orvane
