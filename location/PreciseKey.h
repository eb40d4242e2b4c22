#pragma once
// The precise answer key: the epicentre, and with a depth search also the
// focal depth, of smallest RMS with arithmetic finer than a trial's. It is
// the teacher's yardstick beside the classic key (BestEpicentre.h), which
// uses the arithmetic a click uses and so lands where a student can land.
//
// What differs from a trial:
//   - distances are angles at the Earth's centre between geocentric
//     positions (station lists and maps give geographic latitudes, on the
//     WGS84 ellipsoid), in double precision (GeocentricDistance);
//   - travel times are interpolated in distance between the table's rows and
//     in depth between its columns (TravelTimeGrid), so any depth gives its
//     own times, not those of its column;
//   - station elevation is corrected: a station h metres above sea level
//     (the tables' receiver sits on the surface of a sphere of 6371 km) sees
//     P later by h * sqrt(1/v^2 - p^2), with v the model's P velocity at the
//     surface and p the ray's slowness at the station from the table (about
//     0.3 s for 2 km); a record without an elevation counts as at sea level;
//   - the origin time is the mean of the observed arrivals minus the travel
//     times, with nothing cut to whole seconds or tenths, and the RMS is that
//     of the residuals about it.
// Only P picks enter, as in a trial; a record that cannot take part in a
// trial (StationOf) is left out here as well.
//
// The search: a 3 degree grid over the whole sphere, each point moved by one
// Gauss-Newton step; the 8 best well separated points are taken to the
// smallest RMS by damped Gauss-Newton steps and then by grids that shrink to
// a millionth of a degree (0.1 m). With a depth search every candidate is
// followed through the depths 0 to 793.59 km (the table's deepest column) in
// steps of 5 km, and the depth of smallest RMS is refined to 0.01 km.

#include <span>
#include <string>
#include <vector>

#include "location/TravelTimeGrid.h"
#include "location/TrialLocation.h"

namespace orvane {

class KSAC;

/// What the precise arithmetic needs of one record.
struct PreciseStation {
  double lat = 0.0;             ///< geographic latitude, degrees north
  double lon = 0.0;             ///< degrees east
  double elevation = 0.0;       ///< metres above sea level (0 when the record gives none)
  FileTime referenceTicks = 0;  ///< the record's reference time
  double pick = 0.0;            ///< P pick in seconds after the reference time; 0 = not picked
  bool takesPart = true;        ///< false: left out, as of every trial (StationOf)
};

/// @brief The inputs of @p record: its station position, elevation (stel;
/// an undefined, non-finite or absurd one, beyond -12 km or 9 km, counts as
/// sea level), reference time and P pick; takesPart as StationOf decides it.
PreciseStation PreciseStationOf(const KSAC& record);
std::vector<PreciseStation> PreciseStations(std::span<KSAC* const> records);

/// @brief Seconds by which a station @p elevation metres above sea level
/// sees the phase of @p grid later than the table says, for a ray arriving
/// with @p slowness s/deg (see above). 0 at sea level; negative below it.
double ElevationDelay(const TravelTimeGrid& grid, double slowness, double elevation);

/// The precise arithmetic at one epicentre and depth.
struct PreciseTrial {
  TrialStatus status = TrialStatus::kDone;
  std::string reason;        ///< why it was refused; empty on success
  std::string file;          ///< the missing table
  double rms = 0.0;          ///< seconds
  FileTime originTicks = 0;  ///< to the nearest tick
  SYSTEMTIME originTime{};
  int picked = 0;            ///< records that entered origin time and RMS
  bool ok() const { return status == TrialStatus::kDone; }
};

/// @brief The RMS and origin time at (@p lat, @p lon) (geographic degrees)
/// and @p depth km. Refused as a trial is: kMissingTable when a column of
/// @p p is missing or holds fewer than two rows, kNoPick without a picked
/// record that takes part, kBadRecord for an origin before 1601,
/// kBadEpicentre for a position that is not a number.
PreciseTrial EvaluatePreciseTrial(std::span<const PreciseStation> stations, const TravelTimeGrid& p, double lat,
                                  double lon, double depth);

struct PreciseKeyResult {
  PreciseTrial trial;          ///< refusal, or origin time and RMS at the key
  double lat = 0.0;            ///< geographic degrees
  double lon = 0.0;            ///< degrees, -180 < lon <= 180
  double depth = 0.0;          ///< km: as given, or found by the depth search
  bool depthSearched = false;  ///< the depth was searched
  int evaluations = 0;         ///< misfit evaluations made
  bool ok() const { return trial.ok(); }
};

/// @brief The precise key at @p depth km (taken into 0 to 793.59 km, the
/// depths the tables reach), or with @p searchDepth at the depth of smallest
/// RMS (then @p depth only sets where the search over the sphere starts). Refusals as EvaluatePreciseTrial's. The RMS and origin
/// reported are EvaluatePreciseTrial's at the key.
PreciseKeyResult FindPreciseKey(std::span<const PreciseStation> stations, const TravelTimeGrid& p, double depth,
                                bool searchDepth = false);

}  // namespace orvane
