#pragma once
// View: the main view. It owns the globe, the open event and the trial
// state; it paints the globe through the one picture call of map/, turns a
// left click into a trial epicentre and pointer moves into the pointer
// read-out, and hosts the seismogram windows, the hints and the depth panels
// as sub-windows. The frame's menu commands call its slots; it tells the
// frame about read-outs, messages and option changes through signals.
//
// The class is written in several files, by concern: View.cpp (set-up,
// settings, commands, painting and the read-outs), ViewEvent.cpp (the event
// and its seismogram windows), ViewExercise.cpp (saving and opening
// exercises) and ViewGlobe.cpp (the mouse and the keys on the globe, pan and
// zoom); the misfit map runs in a MisfitJob. ViewAccessible presents it to
// screen readers.

#include <QMdiArea>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "location/EarthModel.h"
#include "location/TrialLocation.h"
#include "map/Earth.h"
#include "map/GlobePainter.h"
#include "map/MapPicture.h"
#include "map/MisfitMap.h"
#include "seismogram/EventReader.h"
#include "seismogram/KSAC.h"
#include "view/ExerciseFile.h"
#include "view/ExerciseReplay.h"
#include "view/Hints.h"
#include "view/MisfitJob.h"
#include "view/Settings.h"
#include "view/Splash.h"
#include "view/ViewGeometry.h"

class QMdiSubWindow;

namespace orvane {

class DepthCB;

class View : public QMdiArea {
  Q_OBJECT

 public:
  /// @brief The view with its stored settings read from @p settings (the
  /// user's, QSettings("Halvergate", "Orvane"), when none is given); they are
  /// written back there when the view goes, unless SetKeepSettings(false).
  /// When the user's settings cannot be read safely (OpenViewSettings), the
  /// view starts with the defaults, keeps none, and MessageText() says why.
  explicit View(QWidget* parent = nullptr, std::unique_ptr<QSettings> settings = nullptr);
  ~View() override;

  /// @brief Whether the settings are written back when the view goes (not
  /// for screenshots and printouts made from the command line).
  void SetKeepSettings(bool keep) { keepSettings = keep; }
  /// The settings as they would be written now.
  ViewSettings CurrentSettings() const;

  /// The hints window, while it is shown.
  Hints* HintsWindow() const { return hintsWindow; }

  // --- The event ----------------------------------------------------------

  /// @brief Opens the files at @p paths as the event, each read by the reader
  /// that @p format gives (the open dialog's choice; none: by file name).
  /// The current event is closed only when at least one file can be read;
  /// each file that cannot be read is named, with the reason, in the status
  /// message and in an error report.
  /// @return The files that could not be read.
  std::vector<RefusedFile> OpenEventFiles(const QStringList& paths,
                                          std::optional<SeismogramFormat> format = std::nullopt);

  // --- The exercise (the student's work, kept in an .orvex file) ----------

  /// @brief The work on the open event as an exercise: the seismogram files
  /// (stored relative to @p exercisePath where they lie in its folder or
  /// below; all absolute for an empty @p exercisePath), their sizes and
  /// checksums as they are now, the picks, depth, maximum RMS, window mode,
  /// view and the trials in order.
  Exercise CurrentExercise(const QString& exercisePath = QString()) const;
  /// @brief The trials of the open event in order, as a save writes them:
  /// each at the current depth, and while seismograms of the opened exercise
  /// are kept unopened, its trials with their stored RMS first.
  std::vector<ExerciseTrial> ExerciseTrials() const;
  /// @brief Writes CurrentExercise(@p path) to @p path, whole or not at all;
  /// the work counts as saved. @return false with the reason in @p error
  /// (nothing open, or the file cannot be written).
  bool SaveExercise(const QString& path, QString* error = nullptr);
  /// @brief Opens the exercise at @p path: its seismograms, picks, depth,
  /// maximum RMS, window mode and view, then its trials made again in order.
  /// Files missing or changed since the save, and trials whose RMS comes out
  /// differently, are named in the status message. A damaged or foreign
  /// file, or one whose seismograms cannot be opened at all, is refused with
  /// the reason in @p error and the status message, and changes nothing.
  bool OpenExercise(const QString& path, QString* error = nullptr);
  /// @brief The same for @p exercise, already read from @p path (whose
  /// folder its relative paths are taken from).
  bool OpenExercise(const Exercise& exercise, const QString& path, QString* error = nullptr);
  /// The absolute paths of the open event's files, in the records' order.
  const QStringList& EventPaths() const { return eventPaths; }
  /// @brief The seismograms of the opened exercise that could not be opened
  /// (missing, changed or unreadable), as absolute paths. Every save writes
  /// them back as they were stored (size, checksum, pick), at their places,
  /// and keeps the stored trials and their RMS until the trials are made
  /// again or discarded.
  QStringList KeptSeismograms() const;
  /// @brief For the status bar after a save: "; 1 seismogram kept without
  /// being opened: KODK.sac", or nothing when every one is open.
  QString KeptSeismogramsNote() const;
  /// @brief Whether there is work (an opened event, picks, trials, a depth)
  /// that has not been saved since.
  bool IsModified() const { return modified; }
  void SetModified(bool value);

  /// @brief Where a click lands on the globe: makes the trial there, or says
  /// in the status message why it was refused. A click beside the globe does
  /// nothing. @return The trial's outcome, or nothing for a click beside the globe.
  std::optional<TrialResult> TryEpicentre(const QPoint& position);

  /// @brief The pointer read-out: the position under @p position, or no
  /// change when it lies beside the globe.
  void ShowPointerPosition(const QPoint& position);

  // --- The globe by keys --------------------------------------------------
  // The view takes the keyboard focus (Tab reaches it). While it has the
  // focus from the keyboard, a cross-hair stands on the globe, at first at
  // the centre of the view: the arrow keys move it by a pixel (with Shift by
  // ten), Home brings it back to the centre, and the pointer read-out
  // follows it; Enter makes a trial there as a click there does. The
  // accessible description of the view begins with where it stands.

  /// Where the cross-hair stands, in the view's picture.
  QPoint CrossHair() const { return crosshair; }
  /// Whether the cross-hair is shown (the view has the focus from the keys).
  bool CrossHairShown() const;

  /// @brief A depth chosen in a depth panel: stored, the trials discarded,
  /// the globe repainted.
  void SetDepth(float depthKm);

  /// @brief The Earth model whose travel-time tables every trial, replay,
  /// misfit map and answer key uses from now on: stored, the trials
  /// discarded as a new depth discards them, the globe repainted. Choosing
  /// the model in use changes nothing.
  void SetModel(EarthModel chosen);
  EarthModel Model() const { return model; }

  /// @brief The picture the view shows now (for the screen and for printing).
  MapPicture Picture() const;

  const std::vector<std::unique_ptr<KSAC>>& Records() const { return records; }
  const GlobeView& Globe() const { return globe; }
  void SetGlobe(const GlobeView& view);
  float Depth() const { return depth; }
  bool HasTrial() const { return hasTrial; }
  const TrialState& Trial() const { return trial; }
  bool OneWindow() const { return oneWindow; }
  /// Whether the window of all seismograms shows the traces only.
  bool CompactSeismograms() const { return compactSeismograms; }

  // --- The misfit map and the answer key (for teachers; off by default,
  // not stored) -------------------------------------------------------------
  /// @brief Shows or hides the misfit map: the RMS a trial would have at
  /// every point of the view, shaded under the map, and the answer key. It is
  /// computed in the background, coarse first, and follows every change of
  /// view, picks and depth.
  void SetShowMisfit(bool show);
  bool ShowMisfit() const { return showMisfit; }
  /// @brief Shows or hides the answer key alone: the epicentre of smallest
  /// RMS at the current depth, marked on the globe without the shading. It
  /// is found in the background and follows every change of picks, depth and
  /// model.
  void SetShowAnswerKey(bool show);
  bool ShowAnswerKey() const { return showAnswerKey; }
  /// The misfit map shown now (none while it is computed or hidden).
  std::shared_ptr<const MisfitRaster> Misfit() const { return misfitJob.Raster(); }
  /// @brief Waits (running the event loop) until the finest misfit map of the
  /// current view is shown, at most @p milliseconds. For tests and screenshots.
  bool WaitForMisfit(int milliseconds);
  /// @brief The picks changed (a click on a trace): the misfit map follows,
  /// and the work is unsaved.
  Q_SLOT void PicksChanged();
  /// The seismogram windows of the open event (sub-windows of the view).
  std::vector<QMdiSubWindow*> SeismogramWindows() const;
  /// The title card, while it is shown (it is made at the first repaint).
  Splash* SplashWindow() const { return splashWindow; }
  /// @brief Whether the first repaint brings up the title card (not for
  /// screenshots and printing runs).
  void SetShowSplash(bool show) { showSplash = show; }
  bool WantHints() const { return wantHints; }

  /// The read-outs, as the status bar shows them.
  QString PointerLatText() const { return pointerLat; }
  QString PointerLonText() const { return pointerLon; }
  QString CentreLatText() const;
  QString CentreLonText() const;
  QString ScaleFieldText() const;
  QString MessageText() const { return message; }

 public slots:
  void OpenEvent();
  void CloseEvent();
  /// "Set Depth ...": opens another depth panel in the view.
  DepthCB* SetDepthCommand();
  /// "Set maximum RMS value ...": the dialog, run modally.
  void SetMaximumRmsCommand();
  void ZoomIn();
  void ZoomOut();
  void North();
  void South();
  void East();
  void West();
  void ToggleWantHints();
  void MultipleWindowSeismograms();
  void SeismogramsInOneWindow();
  /// "Compact seismograms": the window of all seismograms shows the traces
  /// only (or again with their texts and gains), at once and from now on.
  void ToggleCompactSeismograms();

 signals:
  /// The pointer read-out changed.
  void pointerReadoutChanged(const QString& lat, const QString& lon);
  /// The centre or scale read-out may have changed.
  void centreReadoutChanged(const QString& lat, const QString& lon, const QString& scale);
  /// Something to tell the user in the status bar (a refused trial, skipped files).
  void messageChanged(const QString& text);
  /// oneWindow, wantHints, compactSeismograms or the model changed: the check marks of the options follow.
  void optionsChanged();
  /// A trial was made, refused or discarded, or the event changed.
  void eventChanged();
  /// An event was opened from @p files (those that could be read) as
  /// @p format gives (-1: each file by its name; otherwise a SeismogramFormat).
  void eventOpened(const QStringList& files, int format);
  /// The student's work changed (an event opened or closed, a pick, a
  /// trial, a depth, an exercise opened or saved); IsModified() says
  /// whether it is saved.
  void workChanged();
  /// A trial was located: the seismogram windows repaint with the globe, so
  /// that the new marks, "Delta T" and "Dist" (and the new order of the
  /// rows) appear at once.
  void trialLocated();

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  /// Tab and Shift+Tab out of the windows inside the view (see TabOutOf).
  bool eventFilter(QObject* watched, QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void SetMessage(const QString& text);
  /// Says why the exercise at @p path was not opened. @return false.
  bool RefuseExercise(const QString& path, const QString& reason, QString* error);
  void Repaint();
  void UpdateCentreReadout();
  void UpdateAccessibleDescription();
  void DiscardTrials();
  void TrialsDiscardedByPick();
  void ForgetOpenedTrials();
  void ShowHints(const QString& text);
  /// The note of CreateSeismogramWindows, if any. @p channels: each
  /// record's miniSEED channel, or empty; @p with: the files read with the
  /// records (StationXML), absolute, with their prints.
  QString AdoptEvent(std::vector<std::unique_ptr<KSAC>> opened, QStringList paths, std::vector<FileFingerprint> prints,
                     std::optional<SeismogramFormat> format, std::vector<std::string> channels = {},
                     QStringList with = {}, std::vector<FileFingerprint> withPrints = {});
  /// Makes the windows that show the event; a note for the status bar when
  /// they are not those the option asks for.
  QString CreateSeismogramWindows();
  /// The view in which the event of @p opened is shown (ViewShowingStations).
  GlobeView ViewShowingEvent(std::span<const std::unique_ptr<KSAC>> opened) const;
  void PlaceSeismogramWindow(QMdiSubWindow* frame);
  void FollowViewSize();
  void CloseHints();
  static QString Text(const std::string& text) { return QString::fromStdString(text); }
  /// Reports each refused file and names them all: "a.sac (why); b.sac (why)".
  static QString ReportRefused(const std::vector<RefusedFile>& refused);
  void RestartMisfit();
  void ShowSplash();
  QRect SplashGeometry() const;
  void MoveCrossHair(const QPoint& to);
  /// @brief Where Tab (@p forward) or Shift+Tab goes from @p focus when that
  /// leaves the window inside the view that holds it: the globe, or a
  /// control of another window. Null when it stays in that window (Qt's
  /// own order), or when @p focus lies in none of the view's windows.
  QWidget* TabOutOf(QWidget* focus, bool forward) const;
  void PaintCrossHair();
  /// The latitude and longitude at @p position of the globe as last painted
  /// (as the view's parameters give it before the first paint).
  bool PointOnGlobe(const QPoint& position, float& lat, float& lon);
  bool setUp = false;

  // Members in the view's own order.
  float depth = 0.0f;
  EarthModel model = kDefaultEarthModel;  // whose tables the trials use
  GlobeView globe;
  // The event opened before the view had a size: the globe turns to its
  // stations once it has one, unless the student turns it first.
  bool turnPending = false;
  Earth earth;
  GlobePainter globePainter;  // paints the picture with `earth`, keeping its background
  std::vector<std::unique_ptr<KSAC>> records;
  std::vector<KSAC*> recordPointers;  // the same records, as the painters take them
  QStringList eventPaths;             // the records' files, absolute
  std::vector<FileFingerprint> eventPrints;  // size and SHA-256 of each file as it was read
  std::optional<SeismogramFormat> eventFormat;
  std::vector<std::string> eventChannels;  // each record's miniSEED channel, or empty
  QStringList eventWith;                   // files read with the records (StationXML), absolute
  std::vector<FileFingerprint> eventWithPrints;
  // What the opened exercise holds that the open event cannot make again.
  KeptWork kept;
  bool modified = false;
  bool hasTrial = false;
  TrialState trial;
  bool oneWindow = true;
  bool wantHints = true;
  bool compactSeismograms = false;
  QPointer<Splash> splashWindow;
  QPointer<Hints> hintsWindow;
  std::vector<QPointer<QMdiSubWindow>> seismogramWindows;
  std::unique_ptr<QSettings> settingsStore;
  bool keepSettings = true;
  bool splashMade = false;
  bool showSplash = true;

  bool showMisfit = false;
  bool showAnswerKey = false;
  MisfitJob misfitJob;

  QString pointerLat;
  QString pointerLon;
  QString message;

  QPoint crosshair;
  bool crosshairPlaced = false;  // it has stood somewhere since the view was made
  bool crosshairWanted = false;  // the focus came from the keys (not from a click)
};

}  // namespace orvane
