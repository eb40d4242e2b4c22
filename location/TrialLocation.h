#pragma once
// The trial location: for a trial epicentre and focal depth, every station's
// distance, the P and S travel times, one origin time for the event, the
// arrivals this solution predicts on each seismogram, the distance each
// observed P time implies, and the RMS misfit of the predicted P arrivals.
//
// The arithmetic is the program's own, step by step (see EvaluateTrial):
//   origin = sum over picked records of (pick ticks - trunc(tp) whole seconds)
//            / number of picked records          (64-bit ticks, truncating)
//   dt     = |origin - reference| cut to whole tenths, as a float
//   t1, t2 = tp, ts moved from the origin to the record's reference time by dt
//   obs    = t0 moved the other way by dt (the observed P travel time)
//   user5  = P.DistanceAt(obs)
//   rms    = sqrt(sum (t1 - t0)^2 / number of picked records)
// A perfect solution therefore still shows residuals of up to a second: the
// origin time uses travel times cut to whole seconds.
//
// Records without a P pick (t0 undefined or 0.0) take no part in the origin
// time or the RMS; they still receive gcarc, t1 and t2 from the trial's
// origin time, so that the predicted arrivals can guide the pick, and user5 =
// 0.0. A record that cannot take part at all (no valid reference time; a
// station position that is undefined, not finite or with a latitude beyond
// +-90 degrees; a P pick that cannot be placed in time) is left out: it enters
// neither the origin time nor the RMS, gets no distance and no predicted
// arrivals (gcarc, t1, t2 and user5 all 0.0), and is named in the trial's
// result. A trial is refused, changing nothing at all, when a table is missing
// or empty, or when no picked record can take part.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "location/JB.h"
#include "seismogram/Calendar.h"

namespace orvane {

class KSAC;

/// The view's record of the last successful trial. Whether there is one to
/// show is kept beside it (the view's hasTrial, MapPicture::hasTrial): any
/// position may hold a trial, the equator included.
struct TrialState {
  float epicentreLat = 0.0f;
  float epicentreLon = 0.0f;
  SYSTEMTIME originTime{};
  float rms = 0.0f;
};

enum class TrialStatus {
  kDone,          // the trial was made
  kNoRecords,     // no event is open
  kMissingTable,  // P.JB or S.JB (of the model) is missing or holds no rows
  kNoPick,        // no record has a P pick
  kBadRecord,     // the origin time would lie before 1601 (StationOf: the record is left out)
  kBadEpicentre,  // the trial position is not a number (nothing to locate)
};

/// A record that a trial left out, and why.
struct LeftOutRecord {
  std::size_t index = 0;  // position among the trial's records
  std::string file;       // the record's file name
  std::string reason;     // e.g. "no station position (stla, stlo undefined)"
};

/// What a trial gives back; on a refusal `reason` says why, for the status
/// bar or a command line.
struct TrialResult {
  TrialStatus status = TrialStatus::kDone;
  std::string reason;           // empty on success
  std::string file;             // the missing table, or the record's file
  FileTime originTicks = 0;     // origin time as ticks since 1601
  SYSTEMTIME originTime{};      // the same as a calendar time
  float rms = 0.0f;             // seconds
  int picked = 0;               // records that entered origin time and RMS
  std::vector<LeftOutRecord> leftOut;  // records that could not take part, in order
  bool ok() const { return status == TrialStatus::kDone; }
};

/// What the arithmetic needs of one record.
struct TrialStation {
  float stla = 0.0f;
  float stlo = 0.0f;
  float pick = 0.0f;            // t0 (GetPick(0)); 0.0 = not picked
  FileTime pickTicks = 0;       // GetPickFileTime(0)
  FileTime referenceTicks = 0;  // tick count of the reference time
  bool takesPart = true;        // false: left out of the trial (see StationOf)
};

/// What a trial writes into one record.
struct StationPrediction {
  float gcarc = 0.0f;
  float t1 = 0.0f;
  float t2 = 0.0f;
  float user5 = 0.0f;
};

/// @brief The inputs of @p record. A record that cannot take part in a trial
/// (its reference time is not valid; its station position is undefined, not
/// finite or has a latitude beyond +-90 degrees; its pick cannot be placed in
/// time) gets takesPart = false, and the result is then kBadRecord with the
/// file and the reason, e.g. "B.sac has no valid reference time".
TrialResult StationOf(const KSAC& record, TrialStation& station);

/// @brief The trial arithmetic on station inputs with the tables given.
/// Writes one prediction per station into @p predictions when it is not
/// empty (it must then have one entry per station); with an empty span only
/// the origin time and the RMS are computed (S table and user5 skipped), the
/// same numbers bit for bit. Touches nothing else. Stations that do not take
/// part are skipped (their prediction is all 0.0).
/// @return kMissingTable (P or S unusable), kNoPick (no picked station takes
/// part), kBadEpicentre (@p lat or @p lon not finite), kBadRecord (an origin
/// time before 1601), or kDone with origin and RMS.
TrialResult EvaluateTrial(std::span<const TrialStation> stations, float lat, float lon,
                          const JB& p, const JB& s, std::span<StationPrediction> predictions);

/// @brief The trial on the records with the tables given: on success writes
/// gcarc, t1, t2 (t3-t9 become 0.0) and user5 into every record (0.0 each in
/// a record left out); on a refusal writes nothing. The records left out are
/// listed in the result either way. Does not touch trialList.
TrialResult LocateTrial(std::span<KSAC* const> records, float lat, float lon, const JB& p,
                        const JB& s);

/// @brief What a click on the globe does once it has a position: reads the P
/// and S tables of @p model for @p depth, runs LocateTrial, and on success sets @p state
/// and appends (lat, lon, rms) to trialList. A refusal changes nothing (no
/// record, no state, no list entry). Each record left out gets an error
/// report 3003 naming its file (to the installed sink, see
/// platform/ErrorReport.h), and a refusal one more: 3001 naming the table file
/// for a missing table, 3002 when no picked record can take part, 3004 when
/// the origin time would lie before 1601; a
/// position that is not a number is ignored like a click beside the globe.
/// Example: one station with t0 = 12.3 s, tp = 5.7 s: origin 7.3 s after the
/// reference, t1 = 13.0 s, rms = 0.7 s.
TrialResult TrialLocation(std::span<KSAC* const> records, float lat, float lon, float depth,
                          TrialState& state, EarthModel model = kDefaultEarthModel);

/// Convenience for owners that keep their records in a vector.
std::vector<KSAC*> RecordPointers(std::span<const std::unique_ptr<KSAC>> records);

}  // namespace orvane
