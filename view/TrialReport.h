#pragma once
// The trials of an exercise for the teacher: each trial with its distance
// from the answer key (the epicentre of smallest RMS at the trial's depth,
// see location/BestEpicentre.h) and from the precise answer key at that depth
// (location/PreciseKey.h), and the same as CSV text. orvane-tool's
// "exercise" command and the program's "Export Trials..." both use it, so a
// teacher gets the same numbers from either. Plain C++.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "location/BestEpicentre.h"
#include "location/EarthModel.h"
#include "location/GreatCircle.h"  // kKmPerDegree
#include "location/PreciseKey.h"
#include "view/ExerciseFile.h"

namespace orvane {

class KSAC;

/// The answer key of one depth column of the travel-time tables: every depth
/// in the column gives the same tables, so the same key.
struct AnswerKey {
  float depth = 0.0f;         ///< km: the first depth of the trials in this column
  int column = 0;             ///< the depth column (JB::DepthColumn)
  BestEpicentreResult best;   ///< refused when the records allow no trial at that depth
  PreciseKeyResult precise;   ///< the precise key at `depth`
};

/// One trial and how far it lies from the answer key at its depth.
struct TrialReportRow {
  int number = 0;                           ///< 1 for the first trial
  ExerciseTrial trial;
  std::optional<double> answerDistanceDeg;  ///< HaversineDegrees; nothing when there is no answer key
  /// The same in km, on the sphere of kEarthRadiusKm.
  std::optional<double> AnswerDistanceKm() const {
    if (!answerDistanceDeg) return std::nullopt;
    return *answerDistanceDeg * kKmPerDegree;
  }
  std::optional<double> preciseDistanceDeg;  ///< the same from the precise key
  std::optional<double> PreciseDistanceKm() const {
    if (!preciseDistanceDeg) return std::nullopt;
    return *preciseDistanceDeg * kKmPerDegree;
  }
};

struct TrialReport {
  std::vector<AnswerKey> keys;        ///< one per depth column of the trials, in the order first used
  std::vector<TrialReportRow> rows;   ///< one per trial, in order
};

/// @brief The report of @p trials on @p records (their picks as the student
/// left them) with the tables of @p model. The answer key is searched once
/// for each depth column of the trials, with the P and S tables of that
/// column, and the precise key once, at the first depth of the trials in that
/// column; records that cannot take part are left out of both as of every
/// trial. The distances from the keys are in double precision
/// (HaversineDegrees), so that a trial a few hundred metres from a key does
/// not read 0.
TrialReport MakeTrialReport(std::span<KSAC* const> records, std::span<const ExerciseTrial> trials,
                            EarthModel model = kDefaultEarthModel);

/// @brief The trials as CSV: the header line
///   trial,latitude,longitude,depth_km,rms_s,distance_from_answer_key_km,distance_from_precise_key_km
/// then one line per trial, e.g. "1,41.3,142.8,33,0.81,12.4,25.1". Latitude
/// and longitude in degrees (north and east positive) and the RMS as the
/// shortest text of their float; the distances in km to one decimal, empty
/// when there is no such key. The columns before the last are those of
/// earlier versions, in the same order.
std::string TrialsCsv(const TrialReport& report);

}  // namespace orvane
