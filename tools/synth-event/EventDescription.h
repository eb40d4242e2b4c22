#pragma once
// The description of one synthetic sample event, read from a small text file
// (tools/synth-event/events/*.event). One setting per line, a keyword and its
// values separated by blanks; '#' starts a comment; blank lines are ignored:
//
//   title        Gorkha, Nepal, Mw 7.8 (USGS ComCat)
//   format       sac                      sac, pepp, psn or miniseed (one
//                                         miniSEED file of every station,
//                                         event.mseed, and their StationXML,
//                                         stations.xml, as a data centre
//                                         hands them out)
//   origin       2015-04-25T06:11:25.950  UTC, milliseconds optional
//   epicentre    28.231 84.731            degrees, north and east positive
//   depth        8.2                      km
//   reference    2015-04-25T06:00:00      the round time every record's times
//                                         count from (SAC, PEPP); a PSN file
//                                         has none: its first sample is its time
//   window       P -120 1800              first sample 120 s before the P
//                                         arrival (or "origin -300 2400": 300 s
//                                         before the origin time), 1800 s long
//   rate         20                       samples per second
//   seed         20150425                 the noise generator's seed
//   component    BHZ                      (PEPP and PSN keep its first letter)
//   p-amplitude  1000                     peak of P at 30 degrees, counts
//   surface-amplitude 6000                peak of the Rayleigh waves at 30
//                                         degrees from a surface focus, counts
//   s-amplitude  1500                     peak of S (vertical) at 30 degrees
//   microseism   60                       rms of the microseisms, counts
//   white-noise  10                       rms of the white noise, counts
//   model        iasp91                   the Earth model whose tables give
//                                         the times (iasp91, ak135, jb)
//   arithmetic   classic                  classic: the arithmetic of a trial
//                                         (the default); precise: that of the
//                                         precise answer key (PreciseKey.h)
//   station      ANMO IU 34.9459 -106.4572 1820   code, network, latitude,
//                                         longitude, elevation (m); one line
//                                         per station, in the order written
//
// Every keyword except the amplitudes, component, seed, model and arithmetic
// is required once; "station" at least once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "location/EarthModel.h"
#include "seismogram/Calendar.h"
#include "seismogram/SeismogramFile.h"

namespace orvane::synth {

struct StationEntry {
  std::string code;        ///< e.g. "ANMO" (at most 8 characters)
  std::string network;     ///< e.g. "IU" (at most 8 characters)
  double lat = 0.0;        ///< degrees north
  double lon = 0.0;        ///< degrees east
  double elevation = 0.0;  ///< metres
};

/// What the first sample of a record is placed relative to.
enum class WindowAnchor { kOrigin, kP };

/// How distances and travel times are worked out.
enum class Arithmetic {
  kClassic,  ///< as a trial: GreatCircle, the depth's column of the tables
  kPrecise,  ///< as the precise key: geocentric distances, interpolated depth, elevation corrected
};

struct EventDescription {
  std::string title;
  /// miniSEED records are planned as SAC records are: a reference time,
  /// and the first sample b seconds after it.
  SeismogramFormat format = SeismogramFormat::kSAC;
  FileTime origin = 0;  ///< origin time, ticks
  double lat = 0.0, lon = 0.0, depth = 0.0;
  std::optional<FileTime> reference;  ///< SAC and PEPP only
  WindowAnchor anchor = WindowAnchor::kP;
  double windowOffset = 0.0;  ///< seconds after the anchor
  double windowLength = 0.0;  ///< seconds
  double rate = 0.0;          ///< samples per second
  std::uint32_t seed = 1;
  std::string component = "BHZ";
  double pAmplitude = 1000.0;
  double sAmplitude = 1500.0;
  double surfaceAmplitude = 6000.0;
  double microseism = 60.0;
  double whiteNoise = 10.0;
  EarthModel model = kDefaultEarthModel;
  Arithmetic arithmetic = Arithmetic::kClassic;
  std::vector<StationEntry> stations;
};

/// @brief Reads an event description from @p text (the file's contents).
/// @return The description, or nothing with @p error set to the line and the
/// reason, e.g. "line 4: depth: not a number: 'deep'".
std::optional<EventDescription> ParseEventDescription(std::string_view text, std::string& error);

/// @brief "2015-04-25T06:11:25.950" (milliseconds optional) as ticks.
std::optional<FileTime> ParseUtcTime(const std::string& text);

/// @brief Ticks as "2015-04-25T06:11:25.950".
std::string FormatUtcTime(FileTime ticks);

}  // namespace orvane::synth
