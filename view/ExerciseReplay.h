#pragma once
// Bringing an exercise back: its seismogram files opened and checked against
// the size and checksum they had when it was saved, the picks put back, and
// the trials made again in order with the same arithmetic as a click, so that
// the dots, the label and the marks of the last trial come back as they were.
// Used by the main view and by orvane-tool alike. And the way back: the work
// on the open event as the exercise value that a save writes, with whatever
// the opened exercise held that could not be opened.

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "seismogram/EventReader.h"
#include "seismogram/KSAC.h"
#include "view/ExerciseFile.h"
#include "view/ViewGeometry.h"

namespace orvane {

/// The seismograms of an exercise as they could be opened.
struct ExerciseRecords {
  std::vector<std::unique_ptr<KSAC>> records;  ///< the files that opened, in the exercise's order, picks restored
  QStringList paths;                           ///< the absolute path of each record
  std::vector<std::string> channels;           ///< each record's miniSEED channel, or empty
  std::vector<std::size_t> entries;            ///< the index in Exercise::seismograms of each record
  std::vector<RefusedFile> leftOut;            ///< missing, changed since the save, or unreadable
  /// Filters stored for a seismogram whose sampling cannot carry them, not
  /// put back: "TAIG.sac: its filter was not kept: the upper corner …"
  std::vector<std::string> notes;
};

/// @brief Opens the seismograms of @p exercise, stored paths taken from the
/// folder of @p exercisePath. A file that is missing, whose size or SHA-256
/// differs from the stored one, or that cannot be read is left out and named
/// with the reason ("missing", "changed since the exercise was saved", the
/// reader's refusal). The stored pick of each opened file is set as its t0
/// (which clears t1…t9, as a pick by the student does); a file stored without
/// a pick has none, even if the file itself holds one (the student cleared
/// it). A seismogram stored as left out of the location is left out again,
/// and one stored with a filter is drawn through it again (unless its
/// sampling cannot carry the band: then it has none, and a note says so).
/// The channels of miniSEED files are read together with the files stored
/// beside them ("with"), which must be as they were too, or every such
/// channel is left out with the reason; each comes back as the record of its
/// file and channel. Touches no global state.
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

/// @brief When @p exercise holds no trials but still showed its last one (the
/// trials were discarded by a new pick or depth), sets @p state to that trial
/// and puts back the marks it left on each of @p records (t1, t2, gcarc and
/// user5; record i is the exercise's seismogram @p entries[i]).
/// @return Whether the trial came back.
bool RestoreShownTrial(const Exercise& exercise, std::span<KSAC* const> records, std::span<const std::size_t> entries,
                       TrialState& state);

/// A seismogram of an opened exercise that could not be opened: its entry as
/// it was stored, with the path made absolute, and its place in the list.
struct KeptSeismogram {
  std::size_t place = 0;
  ExerciseSeismogram entry;
};

/// @brief What an opened exercise holds that the open event cannot make
/// again. While seismograms are left out, the trials stand as the exercise
/// held them: those made again without the left-out stations have other RMS
/// values. They stand until the trials are discarded; trials made since follow.
struct KeptWork {
  std::vector<KeptSeismogram> seismograms;
  bool trialsAsOpened = false;
  std::size_t openedTrialCount = 0;  ///< trialList entries made again at opening
  std::vector<ExerciseTrial> openedTrials;
  std::optional<ExerciseShownTrial> openedLastTrial;
};

/// @brief What @p exercise, read from @p exercisePath, keeps of the
/// seismograms that were not opened (all but @p entries, in order), and,
/// when there are any, its trials, standing for the first @p trialsMade
/// entries of trialList.
KeptWork KeptWorkOf(const Exercise& exercise, std::span<const std::size_t> entries, const QString& exercisePath,
                    std::size_t trialsMade);

/// The work on the open event, as the main view holds it (nothing owned).
struct EventWork {
  std::optional<SeismogramFormat> format;
  std::span<KSAC* const> records;            ///< in the event's order
  std::span<const QString> paths;            ///< the absolute path of each record
  std::span<const FileFingerprint> prints;   ///< each file as it was read
  std::span<const std::string> channels;     ///< each record's miniSEED channel, or empty (or no entries at all)
  std::span<const QString> withPaths;        ///< files read with the records (StationXML), absolute
  std::span<const FileFingerprint> withPrints;
  std::optional<TrialState> shownTrial;      ///< the last trial, while it is shown
  std::span<const RMS> trials;               ///< trialList: every trial was made at depth
  float depth = 0.0f;
  EarthModel model = kDefaultEarthModel;     ///< whose tables made the trials
  int maximumRms = 0;
  bool oneWindow = true;
  GlobeView globe;
};

/// @brief @p work as an exercise saved at @p exercisePath: the seismogram
/// files (relative to its folder where they lie in it or below; all absolute
/// for an empty @p exercisePath) with the sizes, checksums and picks as they
/// are now, and the marks of the shown trial; the kept seismograms back at
/// their places as they were stored; the trials in order.
Exercise ExerciseOf(const EventWork& work, const KeptWork& kept, const QString& exercisePath);

/// @brief The trials a save writes for @p trials (trialList, made at
/// @p depth): while @p kept stands for the trials of the opened exercise,
/// those as it held them, with their stored RMS, then the ones made since.
std::vector<ExerciseTrial> ExerciseTrialsOf(std::span<const RMS> trials, float depth, const KeptWork& kept);

/// @brief The shortest text that reads back as the same float ("1.25", "0.1").
std::string ShortestFloatText(float value);

}  // namespace orvane
