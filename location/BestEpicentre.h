#pragma once
// The epicentre with the smallest RMS at a given depth: the answer key of an
// exercise.
//
// The RMS of a trial is quantised (the origin time comes from travel times cut
// to whole seconds, the predicted arrivals move by whole tenths), so the misfit
// surface is piecewise flat with many small steps. The search therefore does
// not follow gradients: it evaluates a coarse grid over the whole sphere, keeps
// several well separated low points, and around each shrinks a grid of trial
// points by halves down to a ten-thousandth of a degree, always moving to the
// lowest point seen. Every evaluation is exactly the trial arithmetic of a
// click (EvaluateTrial) on the same tables; nothing is written into records
// and trialList is not touched.

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
