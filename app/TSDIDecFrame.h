#pragma once
// TSDIDecFrame: the main window. Its client is the main view; it carries the
// menu, the tool bar "Toolbar" and the status bar with its five read-out
// panes, all built from the menu table, and routes the commands to the view.
// A teacher's frame also has the items that give the answer away (the misfit
// map and the answer key); a student's has neither.

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

#include "app/RecentEvents.h"
#include "app/RecoveryFile.h"
#include "platform/ErrorReport.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;

namespace orvane {

class HelpWindow;
class View;

class TSDIDecFrame : public QMainWindow {
  Q_OBJECT

 public:
  /// Who the program was started for (orvane --teacher: the teacher).
  enum class Audience { kStudent, kTeacher };

  /// @brief A frame around @p view, which it takes as its client (and owns).
  /// The recent events are kept in @p recentEventsFile ("Orvane.ini" in the
  /// directory the program started in); an empty name keeps none. Only a
  /// teacher's frame has Options > Show misfit map and Show answer key, and
  /// only its Export Trials fills in the distances from the answer keys.
  explicit TSDIDecFrame(View* view, const QString& recentEventsFile = QString(),
                        Audience audience = Audience::kStudent, QWidget* parent = nullptr);
  ~TSDIDecFrame() override;

  /// The recent events shown in the File menu, newest first.
  const std::vector<RecentEvent>& RecentEvents() const { return recent_; }
  /// The menu items that reopen them.
  const QList<QAction*>& RecentEventActions() const { return recentActions_; }

  View* view() const { return view_; }
  /// The action of command @p id, or null.
  QAction* Action(int id) const { return actions_.value(id); }
  /// The five read-out panes: pointer latitude and longitude, centre latitude
  /// and longitude, scale.
  QLabel* Pane(int index) const;

  /// @brief Shows an error report in the status bar (the report itself goes
  /// to standard output as well, see platform/ErrorReport.h).
  void ShowReport(const ErrorReportEntry& entry);

  // --- Exercises (TSDIDecFrameExercise.cpp) --------------------------------

  /// @brief What the frame asks the user: @p question with @p buttons; gives
  /// the button chosen. A message box unless a test sets its own answer.
  using AskFunction =
      std::function<QMessageBox::StandardButton(const QString& question, QMessageBox::StandardButtons buttons)>;
  void SetAsk(AskFunction ask) { ask_ = std::move(ask); }
  /// The files the frame asks for; an empty name means cancelled.
  enum class FileChoice { kOpenExercise, kSaveExercise, kExportTrials };
  using ChooseFileFunction = std::function<QString(FileChoice choice)>;
  void SetChooseFile(ChooseFileFunction choose) { chooseFile_ = std::move(choose); }

  /// The exercise file the open work was opened from or last saved to.
  const QString& ExercisePath() const { return exercisePath_; }
  /// @brief Before the work is put away: with unsaved picks or trials, asks
  /// "Save the exercise?" (Save, Discard, Cancel). @return true to go on
  /// (saved, discarded or nothing to save), false to keep everything.
  bool MaybeSaveWork();
  /// @brief Opens the exercise at @p path after MaybeSaveWork.
  bool OpenExerciseFile(const QString& path);
  /// @brief Opens the seismograms at @p paths as the event after MaybeSaveWork.
  bool OpenEventFiles(const QStringList& paths, std::optional<SeismogramFormat> format = std::nullopt);
  /// "Save Exercise": to the exercise file, or as a new one when there is none.
  bool SaveExercise();
  /// "Save Exercise As...": to a file the user chooses.
  bool SaveExerciseAs();
  /// @brief Saves the work to @p path (".orvex" added when it has no suffix).
  bool SaveExerciseTo(const QString& path);
  /// @brief Writes the trials, as a save would write them, to @p path as
  /// CSV, whole or not at all; for a teacher with their distances from the
  /// answer keys, for a student with those columns left empty.
  bool ExportTrialsTo(const QString& path);

  // --- Recovery of unsaved work after a crash ------------------------------

  /// @brief Whether unsaved work is written to the window's recovery file
  /// (within a second of each change) and offered back at the next start if
  /// the window goes without closing. Off until the program turns it on (not
  /// for screenshots and printouts).
  void SetRecoveryEnabled(bool enabled);
  bool RecoveryEnabled() const { return recoveryEnabled_; }
  /// @brief The window's own recovery file (see RecoveryFile), held by its
  /// lock while the window lives; empty until there was work to keep.
  QString RecoveryFilePath() const;
  /// @brief At the start: for each recovery file left by a window that is
  /// gone, newest first, asks whether to restore it, until one is restored.
  /// A declined file, or one that cannot be read, is removed; one whose
  /// work cannot be opened now (its seismograms missing) is kept, and the
  /// status bar says where. A restored file becomes the window's own.
  /// @return true when work was restored.
  bool OfferRecovery();
  /// The window's own recovery file goes: the work was saved, discarded or closed.
  void RemoveRecovery();

 public slots:
  /// Puts the check marks of the options where the view's settings are.
  void UpdateCheckMarks();
  /// Opens the help window (one for the whole run).
  void ShowHelp();
  /// The print commands: the print dialog, the preview, the page set-up.
  void Print();
  void PrintPreview();
  void PrintSetup();
  /// Enables the print commands while the printer is usable.
  void UpdatePrintCommands();
  /// The commands of the File menu that put the open work away first.
  void OpenEventCommand();
  void CloseEventCommand();
  void OpenExerciseCommand();
  void ExportTrialsCommand();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void WorkChanged();
  bool OpenExerciseNow(const QString& path);
  void WriteRecovery();
  QString ChooseFile(FileChoice choice);
  void BuildMenus();
  void BuildOptionItems(QMenu* options);
  void BuildToolBar();
  void BuildStatusBar();
  void Route(int id, QAction* action);
  void RememberEvent(const QStringList& files, int format);
  void UpdateRecentMenu();
  QPrinter& Printer();

  View* view_;
  Audience audience_;
  QHash<int, QAction*> actions_;
  QLabel* panes_[5] = {};
  QPointer<HelpWindow> help_;
  QString recentFile_;
  std::vector<RecentEvent> recent_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  QList<QAction*> recentActions_;
  std::unique_ptr<QPrinter> printer_;  // made on first use
  AskFunction ask_;
  ChooseFileFunction chooseFile_;
  QString exercisePath_;
  bool recoveryEnabled_ = false;
  bool restoring_ = false;  // a recovery file is being read back
  std::unique_ptr<RecoveryFile> recovery_;  // the window's own, made at the first write
  QTimer recoveryTimer_;
};

}  // namespace orvane
