#pragma once
// Where the stations of a data-centre download stand, and the event's origin
// when a file gives it: what StationXML and QuakeML files (StationXML.h)
// tell about an event's miniSEED channels (MiniSEED.h).
//
// Plain data; the lookup and the filling of records are in DataCentreEvent.h.
// Their instants are MicroTime, turned into the records' FileTime below.

#include <cstdint>
#include <optional>
#include <string>
#include <limits>
#include <vector>

#include "seismogram/Calendar.h"

namespace orvane {

/// Microseconds since 1970-01-01 00:00:00 UTC.
using MicroTime = std::int64_t;

/// 1970-01-01 00:00:00 UTC in ticks since 1601-01-01.
constexpr FileTime kUnixEpochTicks = 116'444'736'000'000'000LL;

/// @brief The instant @p ticks in microseconds since 1970 (the ticks below a
/// microsecond dropped, toward 1970).
constexpr MicroTime MicroTimeFromFileTime(FileTime ticks) { return (ticks - kUnixEpochTicks) / 10; }

/// @brief The instant @p time in ticks since 1601; false for an instant
/// before 1601 or beyond the range of FileTime.
constexpr bool MicroTimeToFileTime(MicroTime time, FileTime& ticks) {
  constexpr MicroTime kLowest = -kUnixEpochTicks / 10;
  constexpr MicroTime kHighest = (std::numeric_limits<FileTime>::max() - kUnixEpochTicks) / 10;
  if (time < kLowest || time > kHighest) return false;
  ticks = time * 10 + kUnixEpochTicks;
  return true;
}

/// One epoch of a channel (or, with an empty channel code, of a station):
/// where it stood from start to end.
struct StationEpoch {
  std::string network, station, location, channel;
  std::optional<MicroTime> start;  ///< none: since ever
  std::optional<MicroTime> end;    ///< none: still operating
  /// Degrees north and east, metres above sea level; none when the file
  /// gives none (or one out of range).
  std::optional<double> latitude, longitude, elevation;
  std::optional<double> depth;     ///< metres below the surface (channels only)
  std::string source;              ///< the file that said so
};

/// The event's origin, as a QuakeML file gives it.
struct EventOrigin {
  MicroTime time = 0;
  double latitude = 0.0, longitude = 0.0;
  std::optional<double> depth;  ///< metres below sea level
  std::string source;
};

/// Everything the XML files of one event said.
struct StationInventory {
  std::vector<StationEpoch> channels;  ///< channel epochs
  std::vector<StationEpoch> stations;  ///< station epochs (channel empty)
  std::optional<EventOrigin> origin;
};

}  // namespace orvane
