#pragma once
// What the windows, the printout and the command line read off one record:
// the student's pick, the residual of the last trial ("Delta T"), the trial
// distance ("Dist"), the time of the first sample and the station label.
// One place, so that every reader shows the same numbers.

#include <optional>
#include <string>

#include "seismogram/KSAC.h"

namespace orvane {

/// @brief true when the record holds a P pick (t0 neither 0.0 nor UNDEFINED).
bool HasPick(const KSAC& record);

/// @brief The residual of the last trial, t1 − t0 in seconds: the predicted
/// minus the picked P arrival.
/// @return Nothing when either slot holds no value (0.0 or UNDEFINED), as after
/// a new pick, which clears t1. Example: t0 = 12.3, t1 = 13.0 gives 0.7.
std::optional<float> DeltaT(const KSAC& record);

/// @brief The distance of the station from the last trial epicentre, gcarc in
/// degrees. @return Nothing when gcarc is 0.0 or UNDEFINED (no trial yet).
std::optional<float> TrialDistance(const KSAC& record);

/// @brief Seconds from the reference time to the first sample: the header's
/// `b`, or 0 when it is UNDEFINED or not a finite number. Sample i lies at
/// FirstSampleSeconds + i·delta after the reference time.
float FirstSampleSeconds(const KSAC& record);

/// @brief The label of a trace: "KSTNM  KCMPNM" (two blanks between), or
/// "Component: KCMPNM" when the station name is undefined (starts with '-').
/// Each text field is taken up to its first NUL, as stored (trailing blanks kept).
std::string StationLabel(const KSAC& record);

/// @brief A text field without its trailing blanks and NULs, e.g. "ANMO" for
/// "ANMO    ", for lists and command-line output.
std::string TrimmedHeaderText(const KSAC& record, int index);

}  // namespace orvane
