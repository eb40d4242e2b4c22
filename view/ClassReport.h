#pragma once
// The class report: the saved exercises of a class on one event side by
// side, for the teacher. For each exercise the stations picked, the trials
// made, and the last and the best trial with their distances from the answer
// keys; and the answer keys themselves (see view/TrialReport.h).
//
// The exercises must be of one event: the seismograms' SHA-256 checksums
// tell which files they worked on, and every exercise must share a file with
// the others (directly or through a third), otherwise the report is refused.
// The answer keys are searched on the class's picks: every seismogram of the
// event (by checksum, opened where an exercise can find it) with the median
// of the P picks the students set on it; a seismogram nobody picked keeps
// what its file holds. So every student is measured against the same key,
// one that no single student's picks decide. Qt Core only, like the exercise
// file.

#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "location/EarthModel.h"
#include "seismogram/KSAC.h"
#include "view/ExerciseFile.h"
#include "view/TrialReport.h"

namespace orvane {

/// One exercise of the class, as read from its file.
struct ClassExercise {
  std::string file;  ///< as the teacher named it
  QString path;      ///< where it was read from
  Exercise exercise;
};

/// A trial of the report with its distances from the keys at its depth.
struct ClassTrial {
  ExerciseTrial trial;
  std::optional<double> answerDistanceKm;   ///< from the answer key; nothing without one
  std::optional<double> preciseDistanceKm;  ///< from the precise key
};

/// One exercise's row.
struct ClassRow {
  std::string file;       ///< as given
  std::string name;       ///< the file's name without folder and extension: its label on the map
  int stationsPicked = 0; ///< seismograms with a P pick
  int trials = 0;         ///< trials made
  std::optional<ClassTrial> last;  ///< the last trial made
  std::optional<ClassTrial> best;  ///< the trial of smallest RMS (the first of equals)
};

/// One seismogram of the event and the picks the class set on it.
struct ClassSeismogram {
  std::string sha256;
  std::string file;            ///< where it was opened, or the first exercise's stored path
  int picks = 0;               ///< students who picked it
  std::optional<float> pick;   ///< the median of their picks
  bool opened = false;         ///< it could be opened and takes part in the keys
};

struct ClassReport {
  EarthModel model = kDefaultEarthModel;
  std::vector<ClassRow> rows;                  ///< one per exercise, in the order given
  std::vector<AnswerKey> keys;                 ///< one per depth column of the last and best trials
  std::vector<ClassSeismogram> seismograms;    ///< the event's files, in the order first met
  std::vector<std::unique_ptr<KSAC>> records;  ///< those opened, with the class's picks
  std::vector<std::string> notes;              ///< files that could not be opened, and why
  /// The key the map is centred on: that of the depth column most of the
  /// last trials use (the first exercise's depth without any trial).
  const AnswerKey* MapKey() const;
};

/// @brief The report of @p exercises with the tables of @p model, or of the
/// exercises' own model when none is given.
/// @return nothing, with the reason in @p error, when the exercises are of
/// different events ("b.orvex shares no seismogram with a.orvex: another
/// event?") or, without @p model, use different Earth models.
std::optional<ClassReport> MakeClassReport(std::span<const ClassExercise> exercises,
                                           std::optional<EarthModel> model, std::string* error);

/// @brief The rows as CSV: the header line
///   exercise,stations_picked,trials,last_latitude,last_longitude,last_depth_km,last_rms_s,
///   last_distance_from_answer_key_km,last_distance_from_precise_key_km,best_latitude,...
/// (the same six for the best trial), then one line per exercise; empty
/// fields where there is no trial or no key. Distances in km to one decimal.
std::string ClassCsv(const ClassReport& report);

}  // namespace orvane
