#pragma once
// A synthetic sample event written as seismogram files: for every station of
// an event description (EventDescription.h) the distance from the program's
// own great-circle formula, the P and S travel times from the program's own
// tables P.JB and S.JB at the event's depth, and a record holding the waves
// of SyntheticTrace.h at those times. A student who picks the P onsets
// exactly and tries the true epicentre at the true depth therefore meets the
// smallest misfit the program's arithmetic allows. An event described with
// "arithmetic precise" takes distances and times as the precise answer key
// does instead (location/PreciseKey.h), so that this key finds it.
//
// The records are laid out as a data centre writes them: the reference time
// is the round time of the description, and the first sample lies b seconds
// after it (PSN files have no b: their first sample is their time, on a whole
// second). Every file says it is synthetic where its format has room for it
// (SAC: kevnm "SYNTHETIC"; PEPP: sensor "SYNTH" and comment lines); the event
// fields (evla, evlo, evdp, o) stay undefined and t0 unset, so the files do
// not give the answer away. Every file is read back with the program's own
// reader and compared with what was meant before the event counts as written.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "seismogram/Calendar.h"
#include "tools/synth-event/EventDescription.h"

namespace orvane::synth {

/// One station's record as planned (and, after WriteSampleEvent, written).
struct StationPlan {
  StationEntry station;
  float lat = 0.0f, lon = 0.0f;  ///< the position as the file stores it
  std::string fileName;          ///< "IU.ANMO.BHZ.sac", "ANMO.set", "ANMO.psn"
  float distance = 0.0f;         ///< degrees from the true epicentre
  FileTime reference = 0;        ///< the record's reference time
  float b = 0.0f;                ///< first sample, seconds after the reference
  float delta = 0.0f;            ///< sampling interval, seconds
  std::int32_t npts = 0;
  double onsetP = 0.0;                  ///< P arrival, seconds after the reference (the exact pick)
  double onsetS = 0.0;                  ///< S arrival, seconds after the reference
  double onsetPP = 0.0;                 ///< pP arrival, seconds after the reference
  double travelP = 0.0, travelS = 0.0;  ///< table travel times, seconds
  /// Seconds after the reference of the last sample.
  double End() const { return b + static_cast<double>(npts - 1) * delta; }
};

/// @brief The stations' records of @p event without their samples: positions,
/// distances, arrivals, reference times and windows.
/// @return false with @p error set when the tables are missing or incomplete,
/// or when a window would begin before its reference time or miss the P arrival.
bool PlanSampleEvent(const EventDescription& event, std::vector<StationPlan>& plans, std::string& error);

/// @brief Plans @p event and writes one file per station into @p out (created
/// when missing), then reads every file back with the program's reader.
/// @return false with @p error set when anything failed.
bool WriteSampleEvent(const EventDescription& event, const std::filesystem::path& out, std::vector<StationPlan>& plans,
                      std::string& error);

}  // namespace orvane::synth
