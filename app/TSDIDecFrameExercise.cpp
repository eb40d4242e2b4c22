// The frame's exercise commands: opening and saving exercise files, the
// question before unsaved work is put away, the trials for the teacher, and
// the recovery file that keeps unsaved work through a crash.
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QStatusBar>

#include "app/TSDIDecFrame.h"
#include "location/TrialLocation.h"
#include "platform/FileWriter.h"
#include "view/TrialReport.h"
#include "view/View.h"

namespace orvane {
namespace {

QMessageBox::StandardButton AskWithMessageBox(QWidget* parent, const QString& question,
                                              QMessageBox::StandardButtons buttons) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Orvane"), question, buttons, parent);
  box.setAccessibleName(question);
  // Enter keeps the work (Save, or Yes to restore it); Escape changes nothing.
  box.setDefaultButton(buttons & QMessageBox::Save ? QMessageBox::Save : QMessageBox::Yes);
  box.setEscapeButton(buttons & QMessageBox::Cancel ? QMessageBox::Cancel : QMessageBox::No);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QString TSDIDecFrame::ChooseFile(FileChoice choice) {
  if (chooseFile_) return chooseFile_(choice);
  // Exercises are suggested beside the event's seismograms.
  QString folder = QDir::currentPath();
  if (!exercisePath_.isEmpty())
    folder = QFileInfo(exercisePath_).absolutePath();
  else if (!view_->EventPaths().isEmpty())
    folder = QFileInfo(view_->EventPaths().front()).absolutePath();
  const QString exercises = tr("Exercises (*.orvex)");
  switch (choice) {
    case FileChoice::kOpenExercise:
      return QFileDialog::getOpenFileName(this, tr("Open Exercise"), folder, exercises);
    case FileChoice::kSaveExercise:
      return QFileDialog::getSaveFileName(this, tr("Save Exercise As"),
                                          exercisePath_.isEmpty() ? folder : exercisePath_, exercises);
    case FileChoice::kExportTrials:
      return QFileDialog::getSaveFileName(this, tr("Export Trials"), folder + "/trials.csv", tr("CSV files (*.csv)"));
  }
  return {};
}

bool TSDIDecFrame::MaybeSaveWork() {
  if (!view_->IsModified() || view_->Records().empty()) return true;
  const QMessageBox::StandardButtons buttons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
  const QString question = tr("Save the exercise?");
  const QMessageBox::StandardButton answer = ask_ ? ask_(question, buttons) : AskWithMessageBox(this, question, buttons);
  switch (answer) {
    case QMessageBox::Save:
      return SaveExercise();
    case QMessageBox::Discard:
      RemoveRecovery();
      return true;
    default:
      return false;
  }
}

bool TSDIDecFrame::OpenExerciseFile(const QString& path) {
  if (!MaybeSaveWork()) return false;
  return OpenExerciseNow(path);
}

bool TSDIDecFrame::OpenExerciseNow(const QString& path) {
  QString why;
  if (!view_->OpenExercise(path, &why)) return false;
  exercisePath_ = QFileInfo(path).absoluteFilePath();
  return true;
}

bool TSDIDecFrame::OpenEventFiles(const QStringList& paths, std::optional<SeismogramFormat> format) {
  if (!MaybeSaveWork()) return false;
  const std::size_t refused = view_->OpenEventFiles(paths, format).size();
  return refused < static_cast<std::size_t>(paths.size());
}

void TSDIDecFrame::OpenEventCommand() {
  if (MaybeSaveWork()) view_->OpenEvent();
}

void TSDIDecFrame::CloseEventCommand() {
  if (!MaybeSaveWork()) return;
  view_->CloseEvent();
  exercisePath_.clear();
  RemoveRecovery();
}

void TSDIDecFrame::OpenExerciseCommand() {
  if (!MaybeSaveWork()) return;
  const QString path = ChooseFile(FileChoice::kOpenExercise);
  // Asked once: work discarded above is not asked about again.
  if (!path.isEmpty()) OpenExerciseNow(path);
}

bool TSDIDecFrame::SaveExercise() {
  if (exercisePath_.isEmpty()) return SaveExerciseAs();
  return SaveExerciseTo(exercisePath_);
}

bool TSDIDecFrame::SaveExerciseAs() {
  if (view_->Records().empty()) {
    ShowMessage(tr("There is no exercise to save: no event is open."));
    return false;
  }
  const QString path = ChooseFile(FileChoice::kSaveExercise);
  if (path.isEmpty()) return false;  // cancelled
  return SaveExerciseTo(path);
}

bool TSDIDecFrame::SaveExerciseTo(const QString& chosen) {
  QString path = chosen;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".") + kExerciseSuffix;
  QString why;
  if (!view_->SaveExercise(path, &why)) {
    ShowMessage(tr("The exercise was not saved: %1").arg(why));
    return false;
  }
  exercisePath_ = QFileInfo(path).absoluteFilePath();
  ShowMessage(tr("Saved the exercise to %1").arg(QDir::toNativeSeparators(path)) +
                           view_->KeptSeismogramsNote());
  return true;
}

void TSDIDecFrame::ExportTrialsCommand() {
  if (view_->Records().empty() || view_->ExerciseTrials().empty()) {
    ShowMessage(tr("There are no trials to export yet."));
    return;
  }
  const QString path = ChooseFile(FileChoice::kExportTrials);
  if (!path.isEmpty()) ExportTrialsTo(path);
}

bool TSDIDecFrame::ExportTrialsTo(const QString& path) {
  const std::vector<ExerciseTrial> trials = view_->ExerciseTrials();
  if (view_->Records().empty() || trials.empty()) {
    ShowMessage(tr("There are no trials to export yet."));
    return false;
  }
  std::vector<KSAC*> records = RecordPointers(view_->Records());
  // A student's file leaves the distances from the answer keys empty: a few
  // trials and their distances would give the answer away.
  TrialReport report;
  if (audience_ == Audience::kTeacher) {
    report = MakeTrialReport(records, trials, view_->Model());
  } else {
    for (const ExerciseTrial& trial : trials)
      report.rows.push_back(TrialReportRow{static_cast<int>(report.rows.size()) + 1, trial, {}, {}});
  }
  const std::string csv = TrialsCsv(report);
  std::string why;
  if (!WriteFileAtomically(QFile::encodeName(path).toStdString(), csv, &why)) {
    ShowMessage(tr("The trials were not exported: %1").arg(QString::fromStdString(why)));
    return false;
  }
  const QString what = trials.size() == 1 ? tr("1 trial") : tr("%1 trials").arg(trials.size());
  ShowMessage(tr("Exported %1 to %2").arg(what, QDir::toNativeSeparators(path)));
  return true;
}

void TSDIDecFrame::closeEvent(QCloseEvent* event) {
  if (!MaybeSaveWork()) {
    event->ignore();
    return;
  }
  // A normal end: no work is left to recover.
  recoveryTimer_.stop();
  RemoveRecovery();
  event->accept();
}

// ---------------------------------------------------------------------------
// Recovery

QString TSDIDecFrame::RecoveryFilePath() const { return recovery_ ? recovery_->Path() : QString(); }

void TSDIDecFrame::SetRecoveryEnabled(bool enabled) {
  recoveryEnabled_ = enabled;
  if (!enabled) recoveryTimer_.stop();
}

void TSDIDecFrame::WorkChanged() {
  if (!recoveryEnabled_) return;
  if (view_->IsModified() && !view_->Records().empty()) {
    // At most one write per half second, and never more than that after a change.
    if (!recoveryTimer_.isActive()) recoveryTimer_.start();
  } else {
    // Saved, opened from a file or closed: nothing is at risk.
    recoveryTimer_.stop();
    if (!restoring_) RemoveRecovery();
  }
}

void TSDIDecFrame::WriteRecovery() {
  if (!recoveryEnabled_ || !view_->IsModified() || view_->Records().empty()) return;
  QString why;
  if (!recovery_) recovery_ = RecoveryFile::CreateOwn(&why);
  if (!recovery_ || !WriteExerciseFile(recovery_->Path(), view_->CurrentExercise(), &why))
    ShowMessage(tr("Your work could not be kept for recovery: %1").arg(why));
}

void TSDIDecFrame::RemoveRecovery() {
  // Only the window's own: another window's file is its own business.
  if (recoveryEnabled_ && recovery_) recovery_->RemoveFile();
}

bool TSDIDecFrame::OfferRecovery() {
  if (!recoveryEnabled_) return false;
  std::vector<std::unique_ptr<RecoveryFile>> left = RecoveryFile::LeftBehind();
  for (std::size_t i = 0; i < left.size(); ++i) {
    const QString path = left[i]->Path();
    const QString where = QDir::toNativeSeparators(path);
    const QString kept = QLocale().toString(QFileInfo(path).lastModified(), QLocale::ShortFormat);
    QString question =
        tr("Orvane did not close properly last time. Restore the work that was not saved (kept %1)?").arg(kept);
    if (left.size() > 1) question += tr(" (%1 of %2)").arg(i + 1).arg(left.size());
    // No throws the work away; Cancel (also Escape, or closing the box)
    // leaves it to be offered again at the next start.
    const QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    const QMessageBox::StandardButton answer =
        ask_ ? ask_(question, buttons) : AskWithMessageBox(this, question, buttons);
    if (answer == QMessageBox::No) {
      left[i]->RemoveFile();  // declined: the student does not want it
      continue;
    }
    if (answer != QMessageBox::Yes) {
      ShowMessage(tr("The unsaved work is kept in %1 and offered again at the next start.").arg(where));
      return false;
    }
    QString why;
    const std::optional<Exercise> exercise = ReadExerciseFile(path, &why);
    if (!exercise) {
      // Nothing in it can ever be restored.
      left[i]->RemoveFile();
      ShowMessage(tr("The unsaved work could not be read (%1); it was removed.").arg(why));
      return false;
    }
    restoring_ = true;
    const bool restored = view_->OpenExercise(*exercise, path, &why);
    restoring_ = false;
    if (!restored) {
      // Perhaps its seismograms are on a disk that is not there now: the
      // file stays and is offered again at the next start.
      ShowMessage(
          tr("The unsaved work could not be restored: %1. It is kept in %2 and offered again at the next start.")
              .arg(why, where));
      return false;
    }
    // The restored file becomes the window's own: its work is kept there
    // until it is saved, and it is never without a file.
    if (recovery_) recovery_->RemoveFile();
    recovery_ = std::move(left[i]);
    // The restored work is still not saved anywhere but here.
    exercisePath_.clear();
    view_->SetModified(true);
    return true;
  }
  return false;
}

}  // namespace orvane
