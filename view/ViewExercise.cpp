// The view's exercise: the student's work saved to an exercise file and
// brought back from one, with the seismograms that could not be opened kept
// to be saved back as they were.
#include <QFileInfo>

#include <utility>

#include "location/RMS.h"
#include "view/View.h"

namespace orvane {

std::vector<ExerciseTrial> View::ExerciseTrials() const {
  // The trials are discarded whenever the depth changes, so every trial of
  // the list was made at the current depth; the trials of an exercise
  // opened without some of its seismograms stand as it held them.
  return ExerciseTrialsOf(trialList, depth, kept);
}

void View::ForgetOpenedTrials() {
  kept.trialsAsOpened = false;
  kept.openedTrialCount = 0;
  kept.openedTrials.clear();
  kept.openedLastTrial.reset();
}

QStringList View::KeptSeismograms() const {
  QStringList paths;
  for (const KeptSeismogram& s : kept.seismograms) paths << Text(s.entry.path);
  return paths;
}

QString View::KeptSeismogramsNote() const {
  if (kept.seismograms.empty()) return {};
  QStringList names;
  for (const QString& path : KeptSeismograms()) names << QFileInfo(path).fileName();
  return (kept.seismograms.size() == 1
              ? tr("; 1 seismogram kept without being opened: %1")
              : tr("; %1 seismograms kept without being opened: %2").arg(kept.seismograms.size()))
      .arg(names.join(", "));
}

Exercise View::CurrentExercise(const QString& exercisePath) const {
  EventWork work;
  work.format = eventFormat;
  work.records = recordPointers;
  work.paths = std::span<const QString>(eventPaths.constData(), static_cast<std::size_t>(eventPaths.size()));
  work.prints = eventPrints;
  work.channels = eventChannels;
  work.withPaths = std::span<const QString>(eventWith.constData(), static_cast<std::size_t>(eventWith.size()));
  work.withPrints = eventWithPrints;
  if (hasTrial) work.shownTrial = trial;
  work.trials = trialList;
  work.depth = depth;
  work.model = model;
  work.maximumRms = maximumRms;
  work.oneWindow = oneWindow;
  work.globe = globe;
  return ExerciseOf(work, kept, exercisePath);
}

bool View::SaveExercise(const QString& path, QString* error) {
  QString why;
  if (records.empty())
    why = tr("no event is open");
  else if (!WriteExerciseFile(path, CurrentExercise(path), &why) && why.isEmpty())
    why = tr("the file cannot be written");
  if (!why.isEmpty()) {
    if (error) *error = why;
    return false;
  }
  SetModified(false);
  return true;
}

bool View::RefuseExercise(const QString& path, const QString& reason, QString* error) {
  if (error) *error = reason;
  SetMessage(tr("The exercise %1 was not opened: %2").arg(QFileInfo(path).fileName(), reason));
  return false;
}

bool View::OpenExercise(const QString& path, QString* error) {
  QString why;
  const std::optional<Exercise> exercise = ReadExerciseFile(path, &why);
  if (!exercise) return RefuseExercise(path, why, error);
  return OpenExercise(*exercise, path, error);
}

bool View::OpenExercise(const Exercise& exercise, const QString& path, QString* error) {
  const QString name = QFileInfo(path).fileName();
  ExerciseRecords opened = OpenExerciseRecords(exercise, path);
  const QString leftOut = ReportRefused(opened.leftOut);
  // Nothing to work on: the event the student has open stays.
  if (opened.records.empty())
    return RefuseExercise(path, tr("none of its seismogram files can be opened: %1").arg(leftOut), error);

  CloseEvent();
  oneWindow = exercise.oneWindow;
  maximumRms = exercise.maximumRms;
  depth = exercise.depth;
  model = exercise.model;
  globe = GlobeView{exercise.centreLon, -exercise.centreLat, exercise.radius};
  // The files matched the stored fingerprints, or they would have been left out.
  std::vector<FileFingerprint> prints;
  for (std::size_t entry : opened.entries)
    prints.push_back(FileFingerprint{exercise.seismograms[entry].size, exercise.seismograms[entry].sha256});
  // The files read with the seismograms stay part of the event as stored,
  // whether or not they could be read now.
  QStringList with;
  std::vector<FileFingerprint> withPrints;
  for (const ExerciseSeismogram& w : exercise.with) {
    with << QFileInfo(ResolvedSeismogramPath(w.path, path)).absoluteFilePath();
    withPrints.push_back(FileFingerprint{w.size, w.sha256});
  }
  const QString windows = AdoptEvent(std::move(opened.records), opened.paths, std::move(prints), exercise.format, std::move(opened.channels),
                                     std::move(with), std::move(withPrints));
  // The trials again, in order, as the clicks made them.
  const RedoneTrials redone = RedoTrials(recordPointers, exercise.trials, trial, model);
  hasTrial = redone.hasTrial;
  // What could not be opened is kept as it was stored, to be written back;
  // so are the trials, whose RMS come out otherwise without it.
  kept = KeptWorkOf(exercise, opened.entries, path, trialList.size());
  // Trials discarded by a new pick or depth, the last one still shown: its
  // label and marks come back as they were.
  if (RestoreShownTrial(exercise, recordPointers, opened.entries, trial)) hasTrial = true;
  if (hasTrial) emit trialLocated();
  emit optionsChanged();
  RestartMisfit();

  const auto count = [](std::size_t n, const QString& one, const QString& many) {
    return (n == 1 ? one : many).arg(n);
  };
  QString text = tr("Opened the exercise %1: %2, %3")
                     .arg(name, count(records.size(), tr("%1 seismogram"), tr("%1 seismograms")),
                          count(trialList.size(), tr("%1 trial"), tr("%1 trials")));
  if (!leftOut.isEmpty()) text += tr("; left out: %1").arg(leftOut);
  for (const std::string& note : opened.notes) text += "; " + Text(note);
  for (const std::string& note : redone.notes) text += "; " + Text(note);
  if (!windows.isEmpty()) text += "; " + windows;
  SetMessage(text);
  Repaint();
  UpdateCentreReadout();
  emit eventChanged();
  SetModified(false);
  return true;
}

}  // namespace orvane
