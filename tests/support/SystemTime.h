#pragma once
// Calendar times for tests, written in one line:
//
//   record.SetReferenceTime(Time(1999, 2, 28, 23, 59, 59, 900));

#include <cstdint>

#include "seismogram/Calendar.h"

namespace orvane::test {

/// @brief The calendar time @p y-@p mo-@p d @p h:@p mi:@p s.@p ms, the day of
/// week left 0. Values are cut to 16 bits as they are, unchecked, so a test
/// can build an invalid time on purpose.
inline SYSTEMTIME Time(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  SYSTEMTIME t;
  t.wYear = static_cast<std::uint16_t>(y);
  t.wMonth = static_cast<std::uint16_t>(mo);
  t.wDay = static_cast<std::uint16_t>(d);
  t.wHour = static_cast<std::uint16_t>(h);
  t.wMinute = static_cast<std::uint16_t>(mi);
  t.wSecond = static_cast<std::uint16_t>(s);
  t.wMilliseconds = static_cast<std::uint16_t>(ms);
  return t;
}

}  // namespace orvane::test
