#pragma once
// The epicentre with the smallest RMS at a given depth: the answer key of an
// exercise.
//
// The RMS of a trial is quantised (the origin time comes from travel times cut
// to whole seconds, the predicted arrivals move by whole tenths), so the misfit
// surface is piecewise flat with many small steps, and it is steep: several
// seconds per degree. The search therefore works in two stages:
//   1. a smooth stand-in, the same misfit without the cuts (arrivals minus
//      travel times about their mean), guides the way: every point of a 3
//      degree grid over the whole sphere takes one Gauss-Newton step on it,
//      the 16 best well separated points take ten more;
//   2. around each of them, grids of exact trials shrink by halves from
//      1 degree down to a ten-thousandth of a degree, always moving to the
//      lowest exact RMS seen.
// Every exact evaluation is the trial arithmetic of a click (EvaluateTrial)
// on the same tables; nothing is written into records and trialList is not
// touched.

#include <span>

#include "location/TrialLocation.h"

namespace orvane {

struct BestEpicentreResult {
  TrialResult trial;    // status and reason; origin and RMS of the best point
  float lat = 0.0f;     // degrees
  float lon = 0.0f;     // degrees, -180 < lon <= 180
  int evaluations = 0;  // trial evaluations made
  bool ok() const { return trial.ok(); }
};

/// @brief Searches the whole sphere for the smallest RMS with the tables given.
/// @return The refusal of the trial arithmetic (missing table, no pick) when
/// there is one; otherwise the best point found, its origin time and RMS,
/// identical to what a trial at that point gives.
BestEpicentreResult FindBestEpicentre(std::span<const TrialStation> stations, const JB& p, const JB& s);

}  // namespace orvane
