#include "seismogram/Calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "support/SystemTime.h"

namespace orvane {
namespace {

using test::Time;

constexpr std::int64_t kTicksPerDay = 86'400LL * kTicksPerSecond;

// A reference that counts days one by one from 1601-01-01, with month lengths
// written out, to check the closed-form conversions against.
int MonthLength(int year, int month) {
  static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2) {
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return leap ? 29 : 28;
  }
  return lengths[month - 1];
}

TEST(Calendar, LeapYears) {
  struct Row { int year; bool leap; } rows[] = {
      {1900, false}, {2000, true}, {1996, true}, {2001, false}, {1600, true}, {1601, false},
      {2100, false}, {2400, true}, {9996, true}, {9999, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.year);
    EXPECT_EQ(IsLeapYear(r.year), r.leap);
  }
}

TEST(Calendar, DayOfYearUsesCumulativeTables) {
  EXPECT_EQ(DayOfYear(2000, 2, 1), 61);
  EXPECT_EQ(DayOfYear(1999, 2, 1), 60);
  EXPECT_EQ(DayOfYear(1999, 0, 1), 1);
  EXPECT_EQ(DayOfYear(1999, 11, 31), 365);
  EXPECT_EQ(DayOfYear(2000, 11, 31), 366);
  EXPECT_EQ(DayOfYear(2000, 12, 1), 367);  // the table's 13th entry is the year's length
  EXPECT_EQ(DayOfYear(2000, 13, 5), 5);
  EXPECT_EQ(DayOfYear(2000, -1, 5), 5);
  EXPECT_EQ(DayOfYear(2000, 11, INT_MAX), INT_MAX);
  EXPECT_EQ(DayOfYear(2000, 11, INT_MAX - 335), INT_MAX);
  EXPECT_EQ(DayOfYear(2000, 11, INT_MIN), INT_MIN + 335);
}

TEST(Calendar, MonthDayFromDayOfYear) {
  struct Row { int dayOfYear, year, month, day; } rows[] = {
      {60, 2000, 2, 29}, {60, 1999, 3, 1}, {366, 1999, 13, 1}, {366, 2000, 12, 31},
      {1, 2001, 1, 1},   {31, 2001, 1, 31}, {32, 2001, 2, 1},  {365, 1999, 12, 31},
      {367, 2000, 13, 1}, {0, 2001, 13, -365}, {-12345, 2001, 13, -12710},
      // A SAC header's nzjday can hold any 32-bit value; the day is held at
      // the int range's end instead of overflowing.
      {INT_MIN, 2001, 13, INT_MIN}, {INT_MIN + 365, 2001, 13, INT_MIN}, {INT_MIN + 366, 2001, 13, INT_MIN + 1},
      {INT_MAX, 2000, 13, INT_MAX - 366}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.dayOfYear << "/" << r.year);
    int month = 0, day = 0;
    MonthDayFromDayOfYear(r.dayOfYear, r.year, month, day);
    EXPECT_EQ(month, r.month);
    EXPECT_EQ(day, r.day);
  }
}

TEST(Calendar, CarryTimeOfDay) {
  struct Row {
    const char* name;
    HeaderTime in;
    bool changed;
    HeaderTime out;
  } rows[] = {
      {"second 60 ends the minute and the day", {2024, 65, 23, 59, 60, 0}, true, {2024, 66, 0, 0, 0, 0}},
      {"hour 24 is midnight of the next day", {2024, 65, 24, 0, 0, 0}, true, {2024, 66, 0, 0, 0, 0}},
      {"hour 24 on the last day of a year", {2023, 365, 24, 0, 0, 0}, true, {2024, 1, 0, 0, 0, 0}},
      {"hour 24 on the last day of a leap year", {2024, 366, 24, 0, 0, 0}, true, {2025, 1, 0, 0, 0, 0}},
      {"day 365 of a leap year is not its last", {2024, 365, 24, 0, 0, 0}, true, {2024, 366, 0, 0, 0, 0}},
      {"minute 60", {2024, 65, 10, 60, 30, 250}, true, {2024, 65, 11, 0, 30, 250}},
      {"second 60 with milliseconds", {2024, 65, 10, 59, 60, 500}, true, {2024, 65, 11, 0, 0, 500}},
      {"1000 milliseconds", {2024, 65, 10, 0, 0, 1000}, true, {2024, 65, 10, 0, 1, 0}},
      {"milliseconds of several seconds", {2024, 65, 10, 0, 59, 327'670}, true, {2024, 65, 10, 6, 26, 670}},
      {"all at their limits", {2024, 65, 24, 60, 60, 1500}, true, {2024, 66, 1, 1, 1, 500}},
      {"a valid time stays", {2024, 65, 23, 59, 59, 999}, false, {2024, 65, 23, 59, 59, 999}},
      {"hour 25 is not carried", {2024, 65, 25, 0, 0, 0}, false, {2024, 65, 25, 0, 0, 0}},
      {"second 61 is not carried", {2024, 65, 10, 0, 61, 0}, false, {2024, 65, 10, 0, 61, 0}},
      {"a negative field is not carried", {2024, 65, 10, -1, 60, 0}, false, {2024, 65, 10, -1, 60, 0}},
      {"undefined fields are not carried", {-12345, -12345, 24, 0, 0, 0}, false, {-12345, -12345, 24, 0, 0, 0}},
      {"a day beyond the year is not carried", {2023, 366, 24, 0, 0, 0}, false, {2023, 366, 24, 0, 0, 0}},
      {"no carry past the last year", {30827, 365, 24, 0, 0, 0}, false, {30827, 365, 24, 0, 0, 0}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    HeaderTime t = r.in;
    EXPECT_EQ(CarryTimeOfDay(t), r.changed);
    EXPECT_EQ(t.year, r.out.year);
    EXPECT_EQ(t.dayOfYear, r.out.dayOfYear);
    EXPECT_EQ(t.hour, r.out.hour);
    EXPECT_EQ(t.minute, r.out.minute);
    EXPECT_EQ(t.second, r.out.second);
    EXPECT_EQ(t.milliseconds, r.out.milliseconds);
  }
}

TEST(Calendar, KnownInstants) {
  struct Row { SYSTEMTIME time; FileTime ticks; } rows[] = {
      {Time(1601, 1, 1), 0},
      {Time(1601, 1, 1, 0, 0, 0, 1), 10'000},
      {Time(1601, 1, 2), kTicksPerDay},
      {Time(1970, 1, 1), 116'444'736'000'000'000LL},
      {Time(2000, 2, 29, 12, 30, 15, 250), 125'963'010'152'500'000LL},
      {Time(30827, 12, 31, 23, 59, 59, 999), 9'223'149'887'999'990'000LL},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.time.wYear);
    FileTime ticks = -1;
    ASSERT_TRUE(SystemTimeToFileTime(r.time, ticks));
    EXPECT_EQ(ticks, r.ticks);
    SYSTEMTIME back;
    ASSERT_TRUE(FileTimeToSystemTime(r.ticks, back));
    EXPECT_EQ(back.wYear, r.time.wYear);
    EXPECT_EQ(back.wMonth, r.time.wMonth);
    EXPECT_EQ(back.wDay, r.time.wDay);
    EXPECT_EQ(back.wHour, r.time.wHour);
    EXPECT_EQ(back.wMinute, r.time.wMinute);
    EXPECT_EQ(back.wSecond, r.time.wSecond);
    EXPECT_EQ(back.wMilliseconds, r.time.wMilliseconds);
  }
}

TEST(Calendar, DayOfWeek) {
  SYSTEMTIME t;
  ASSERT_TRUE(FileTimeToSystemTime(0, t));
  EXPECT_EQ(t.wDayOfWeek, 1);  // 1601-01-01 was a Monday
  FileTime ticks;
  ASSERT_TRUE(SystemTimeToFileTime(Time(2026, 12, 7), ticks));
  ASSERT_TRUE(FileTimeToSystemTime(ticks, t));
  EXPECT_EQ(t.wDayOfWeek, 1);
  ASSERT_TRUE(SystemTimeToFileTime(Time(2000, 1, 1), ticks));
  ASSERT_TRUE(FileTimeToSystemTime(ticks, t));
  EXPECT_EQ(t.wDayOfWeek, 6);
}

TEST(Calendar, RefusesInvalidCalendarTimes) {
  const SYSTEMTIME bad[] = {
      Time(1600, 12, 31), Time(30828, 1, 1), Time(2001, 0, 1),  Time(2001, 13, 1),
      Time(2001, 2, 29),  Time(2000, 2, 30), Time(2001, 4, 31), Time(2001, 1, 0),
      Time(2001, 1, 1, 24), Time(2001, 1, 1, 0, 60), Time(2001, 1, 1, 0, 0, 60),
      Time(2001, 1, 1, 0, 0, 0, 1000), Time(53191, 13, 1)};
  for (const SYSTEMTIME& t : bad) {
    SCOPED_TRACE(testing::Message() << t.wYear << "-" << t.wMonth << "-" << t.wDay << " " << t.wHour
                                    << ":" << t.wMinute << ":" << t.wSecond << "." << t.wMilliseconds);
    FileTime ticks = 77;
    EXPECT_FALSE(SystemTimeToFileTime(t, ticks));
    EXPECT_EQ(ticks, 77);
  }
  SYSTEMTIME t;
  EXPECT_FALSE(FileTimeToSystemTime(-1, t));
}

TEST(Calendar, LargestTickCountConverts) {
  SYSTEMTIME t;
  ASSERT_TRUE(FileTimeToSystemTime(INT64_MAX, t));
  EXPECT_EQ(t.wYear, 30828);
  EXPECT_EQ(t.wMonth, 9);
  EXPECT_EQ(t.wDay, 14);
}

// Every day from 1601 to 9999 against the day-by-day count, at a time of day
// that changes from day to day; both directions.
TEST(Calendar, EveryDayFrom1601To9999RoundTrips) {
  std::int64_t days = 0;
  int failures = 0;
  for (int year = 1601; year <= 9999 && failures < 5; ++year) {
    int dayOfYear = 0;
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= MonthLength(year, month); ++day, ++days) {
        ++dayOfYear;
        const int h = static_cast<int>(days % 24), mi = static_cast<int>(days % 60),
                  s = static_cast<int>((days / 7) % 60), ms = static_cast<int>(days % 1000);
        const FileTime expected =
            days * kTicksPerDay + ((h * 3600LL + mi * 60 + s) * 1000 + ms) * 10'000;
        FileTime ticks = -1;
        SYSTEMTIME back;
        int m2 = 0, d2 = 0;
        MonthDayFromDayOfYear(dayOfYear, year, m2, d2);
        const bool ok = SystemTimeToFileTime(Time(year, month, day, h, mi, s, ms), ticks) &&
                        ticks == expected && FileTimeToSystemTime(ticks, back) &&
                        back.wYear == year && back.wMonth == month && back.wDay == day &&
                        back.wHour == h && back.wMinute == mi && back.wSecond == s &&
                        back.wMilliseconds == ms && back.wDayOfWeek == (days + 1) % 7 &&
                        DayOfYear(year, month - 1, day) == dayOfYear && m2 == month && d2 == day;
        if (!ok) {
          ADD_FAILURE() << "date " << year << "-" << month << "-" << day;
          ++failures;
        }
      }
    }
  }
  EXPECT_EQ(days, 3'067'671);  // days from 1601-01-01 to 10000-01-01
}

}  // namespace
}  // namespace orvane
