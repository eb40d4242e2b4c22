#pragma once
// Bringing an exercise back: its seismogram files opened and checked against
// the size and checksum they had when it was saved, the picks put back, and
// the trials made again in order with the same arithmetic as a click, so that
// the dots, the label and the marks of the last trial come back as they were.
// Used by the main view and by orvane-tool alike.

#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "location/TrialLocation.h"
#include "seismogram/EventReader.h"
#include "seismogram/KSAC.h"
#include "view/ExerciseFile.h"

namespace orvane {

/// The seismograms of an exercise as they could be opened.
struct ExerciseRecords {
  std::vector<std::unique_ptr<KSAC>> records;  ///< the files that opened, in the exercise's order, picks restored
  QStringList paths;                           ///< the absolute path of each record
  std::vector<std::size_t> entries;            ///< the index in Exercise::seismograms of each record
  std::vector<RefusedFile> leftOut;            ///< missing, changed since the save, or unreadable
};

/// @brief Opens the seismograms of @p exercise, stored paths taken from the
/// folder of @p exercisePath. A file that is missing, whose size or SHA-256
/// differs from the stored one, or that cannot be read is left out and named
/// with the reason ("missing", "changed since the exercise was saved", the
/// reader's refusal). The stored pick of each opened file is set as its t0
/// (which clears t1…t9, as a pick by the student does); a file stored without
/// a pick keeps what it holds. Touches no global state.
ExerciseRecords OpenExerciseRecords(const Exercise& exercise, const QString& exercisePath);

/// What redoing the trials gave.
struct RedoneTrials {
  std::vector<TrialResult> results;  ///< one per stored trial, in order
  std::vector<std::string> notes;    ///< e.g. "trial 2 now has RMS 1.31 s (saved: 1.25 s)"
  bool hasTrial = false;             ///< at least one trial was made
};

/// @brief Makes the trials of @p trials again in order on @p records, each at
/// its own depth, exactly as a click does with the tables of @p model
/// (TrialLocation: @p state set and trialList appended by each trial made). A
/// trial whose RMS is not the stored one, to the last bit, or that is refused
/// now, is named in the notes.
RedoneTrials RedoTrials(std::span<KSAC* const> records, std::span<const ExerciseTrial> trials, TrialState& state,
                        EarthModel model = kDefaultEarthModel);

/// @brief The shortest text that reads back as the same float ("1.25", "0.1").
std::string ShortestFloatText(float value);

}  // namespace orvane
