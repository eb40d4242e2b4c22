#include "view/View.h"

#include <QAccessible>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <limits>
#include <thread>

#include <utility>

#include "location/BestEpicentre.h"
#include "location/JB.h"
#include "location/PhaseTables.h"
#include "location/RMS.h"
#include "map/MapPainter.h"
#include "platform/ErrorReport.h"
#include "platform/Surface.h"
#include "seismogram/RecordReadouts.h"
#include "dialogs/DepthCB.h"
#include "display/Event.h"
#include "display/Seismograms.h"
#include "display/TrialRepaint.h"
#include "dialogs/MaxRMSDialog.h"
#include "view/ExerciseReplay.h"
#include "view/Splash.h"

namespace orvane {
namespace {

// The report code of a seismogram file left out of an event.
constexpr std::int16_t kFileLeftOutCode = 3005;

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

View::View(QWidget* parent, std::unique_ptr<QSettings> settings)
    : QMdiArea(parent), settingsStore(std::move(settings)) {
  // Settings that cannot be read safely: the defaults, and the reason for
  // the frame's status bar.
  if (!settingsStore) settingsStore = OpenViewSettings(&message);
  const ViewSettings stored = settingsStore ? ReadViewSettings(*settingsStore) : ViewSettings{};
  maximumRms = stored.maximumRms;
  globe = GlobeView{stored.spin, stored.tilt, stored.radius};
  depth = stored.depth;
  oneWindow = stored.oneWindow != 0;
  wantHints = stored.wantHints != 0;
  setObjectName("View");
  setAccessibleName(tr("Globe"));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setMouseTracking(true);
  viewport()->setAccessibleName(tr("Globe"));
  viewport()->setCursor(Qt::CrossCursor);
  UpdateAccessibleDescription();
}

// One computation of the misfit map on a thread of its own: the coarse map
// first, then the answer key, then finer maps, each handed to the view as it
// is done. Any change of the view cancels it.
struct View::MisfitJob {
  std::atomic<bool> cancel{false};
  std::thread thread;
  ~MisfitJob() {
    cancel = true;
    if (thread.joinable()) thread.join();
  }
};

View::~View() {
  StopMisfit();
  if (keepSettings && settingsStore) WriteViewSettings(*settingsStore, CurrentSettings());
}

ViewSettings View::CurrentSettings() const {
  ViewSettings s;
  s.maximumRms = maximumRms;
  s.spin = globe.spin;
  s.tilt = globe.tilt;
  s.radius = globe.radius;
  s.depth = depth;
  s.oneWindow = oneWindow ? 1 : 0;
  s.wantHints = wantHints ? 1 : 0;
  return s;
}

void View::showEvent(QShowEvent* event) {
  QMdiArea::showEvent(event);
  if (setUp) return;
  // Once the window is there: the start-up hints, if they are wanted.
  setUp = true;
  if (wantHints) ShowHints("init.txt");
}

void View::CloseHints() {
  if (!hintsWindow) return;
  // The sub-window goes with the hints in it, at once.
  if (auto* frame = qobject_cast<QMdiSubWindow*>(hintsWindow->parentWidget()))
    delete frame;
  else
    delete hintsWindow;
}

void View::ShowHints(const QString& text) {
  // One hints window at a time: a new text replaces the old window.
  CloseHints();
  auto* hints = new Hints(nullptr, 0, 0, 400, 300, tr("Hints"));
  hints->showIn(this);
  hints->LoadText(text);
  hintsWindow = hints;
}

DepthCB* View::SetDepthCommand() {
  // Truncated towards zero, held at the limits of int (an exercise may hold
  // any depth a float can).
  auto* panel = new DepthCB(nullptr, StoredInteger(depth));
  connect(panel, &DepthCB::depthChosen, this, [this](int km) { SetDepth(static_cast<float>(km)); });
  connect(panel, &DepthCB::depthRefused, this, &View::SetMessage);
  panel->showIn(this);
  return panel;
}

void View::SetMaximumRmsCommand() {
  MaxRMSDialog dialog(this, maximumRms);
  if (dialog.exec() == QDialog::Accepted) maximumRms = dialog.maxRms();
  Repaint();
}

void View::StopMisfit() { misfitJob.reset(); }

void View::SetShowMisfit(bool show) {
  showMisfit = show;
  RestartMisfit();
}

void View::PicksChanged() {
  // A pick discards the trials (also when there were none to empty).
  ForgetOpenedTrials();
  RestartMisfit();
  SetModified(true);
}

void View::SetModified(bool value) {
  modified = value;
  emit workChanged();
}

void View::RestartMisfit() {
  StopMisfit();
  ++misfitGeneration;
  const bool had = misfit != nullptr || hasAnswerKey;
  misfit.reset();
  misfitComplete = false;
  hasAnswerKey = false;
  if (!showMisfit || records.empty()) {
    misfitComplete = true;
    if (had) Repaint();
    return;
  }
  std::vector<TrialStation> stations;
  for (KSAC* r : recordPointers) {
    TrialStation st;
    // A record that cannot take part in a trial takes no part in the map.
    if (StationOf(*r, st).ok()) stations.push_back(st);
  }
  const int w = viewport()->width();
  const int h = viewport()->height();
  const GlobeView view = globe;
  const float depthKm = depth;
  const unsigned generation = misfitGeneration;
  misfitJob = std::make_unique<MisfitJob>();
  std::atomic<bool>* cancel = &misfitJob->cancel;
  QPointer<View> self(this);
  misfitJob->thread = std::thread([=] {
    const PhaseTables tables = LoadPhaseTables(depthKm);
    const JB& p = *tables.p;
    const JB& s = *tables.s;
    Earth earth;
    earth.SetView(view.spin, view.tilt, view.radius, w, h);
    auto post = [&](std::shared_ptr<const MisfitRaster> raster, bool key, float lat, float lon, bool last) {
      QMetaObject::invokeMethod(
          self.data(),
          [self, generation, raster, key, lat, lon, last] {
            if (!self || self->misfitGeneration != generation) return;
            if (raster) self->misfit = raster;
            if (key) {
              self->hasAnswerKey = true;
              self->answerLat = lat;
              self->answerLon = lon;
            }
            self->misfitComplete = last;
            self->Repaint();
          },
          Qt::QueuedConnection);
    };
    const Rect client{0, 0, w, h};
    auto coarse = std::make_shared<const MisfitRaster>(ComputeMisfitRaster(earth, client, stations, p, s, 8, cancel));
    if (*cancel) return;
    post(coarse, false, 0.0f, 0.0f, false);
    const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
    if (*cancel) return;
    post(nullptr, best.ok(), best.lat, best.lon, false);
    auto fine = std::make_shared<const MisfitRaster>(ComputeMisfitRaster(earth, client, stations, p, s, 4, cancel));
    if (*cancel) return;
    post(fine, false, 0.0f, 0.0f, false);
    auto finest = std::make_shared<const MisfitRaster>(ComputeMisfitRaster(earth, client, stations, p, s, 2, cancel));
    if (*cancel) return;
    post(finest, false, 0.0f, 0.0f, true);
  });
}

bool View::WaitForMisfit(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!misfitComplete && timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return misfitComplete;
}

// ---------------------------------------------------------------------------
// Painting and the read-outs

MapPicture View::Picture() const {
  MapPicture picture;
  picture.spin = globe.spin;
  picture.tilt = globe.tilt;
  picture.radius = globe.radius;
  picture.client = Rect{0, 0, viewport()->width(), viewport()->height()};
  picture.records = recordPointers;
  picture.trials = trialList;
  picture.hasTrial = hasTrial;
  picture.trial = trial;
  picture.depth = depth;
  picture.maximumRms = maximumRms;
  picture.misfit = misfit;
  picture.hasAnswerKey = hasAnswerKey;
  picture.answerLat = answerLat;
  picture.answerLon = answerLon;
  return picture;
}

void View::paintEvent(QPaintEvent*) {
  {
    Surface surface(*viewport());
    PaintMapPicture(surface, Picture(), earth, globePainter);
  }
  UpdateCentreReadout();
  if (!splashMade && showSplash) {
    // The title card comes up once, over the first picture of the globe.
    splashMade = true;
    QTimer::singleShot(0, this, &View::ShowSplash);
  }
}

void View::ShowSplash() {
  const int w = viewport()->width();
  const int h = viewport()->height();
  splashWindow = new Splash(viewport());
  splashWindow->setGeometry(w / 8, h / 8, (3 * w) / 4, (3 * h) / 4);
  splashWindow->show();
  splashWindow->raise();
  emit optionsChanged();  // the check marks come up to date with the card
}

void View::resizeEvent(QResizeEvent* event) {
  QMdiArea::resizeEvent(event);
  FollowViewSize();
  if (showMisfit) RestartMisfit();
  Repaint();
}

void View::Repaint() {
  viewport()->update();
  UpdateAccessibleDescription();
}

QString View::CentreLatText() const { return Text(LatitudeText(-globe.tilt)); }
QString View::CentreLonText() const { return Text(LongitudeText(globe.spin)); }
QString View::ScaleFieldText() const { return Text(ScaleText(viewport()->height(), globe.radius)); }

void View::UpdateCentreReadout() { emit centreReadoutChanged(CentreLatText(), CentreLonText(), ScaleFieldText()); }

void View::ShowPointerPosition(const QPoint& position) {
  if (earth.radius == 0.0f)
    earth.SetView(globe.spin, globe.tilt, globe.radius, viewport()->width(), viewport()->height());
  float lat = 0.0f;
  float lon = 0.0f;
  if (!earth.ScreenToLatLon(position.x(), position.y(), lat, lon)) return;
  pointerLat = Text(LatitudeText(lat));
  pointerLon = Text(LongitudeText(lon));
  emit pointerReadoutChanged(pointerLat, pointerLon);
}

void View::SetMessage(const QString& text) {
  message = text;
  emit messageChanged(text);
}

void View::UpdateAccessibleDescription() {
  int picked = 0;
  for (const auto& r : records) picked += HasPick(*r) ? 1 : 0;
  QString text = tr("Globe centred on %1 %2. ").arg(CentreLatText().trimmed(), CentreLonText().trimmed());
  if (records.empty())
    text += tr("No event is open.");
  else
    text += tr("%n station(s), ", nullptr, static_cast<int>(records.size())) +
            tr("%n picked. ", nullptr, picked);
  if (!trialList.empty()) text += tr(" %n trial(s).", nullptr, static_cast<int>(trialList.size()));
  if (hasTrial)
    text += tr(" Last trial at %1 %2, depth %3 km, RMS %4 s.")
                .arg(Text(LatitudeText(trial.epicentreLat)).trimmed(), Text(LongitudeText(trial.epicentreLon)).trimmed())
                .arg(static_cast<double>(depth), 0, 'f', 0)
                .arg(static_cast<double>(trial.rms), 0, 'f', 2);
  viewport()->setAccessibleDescription(text);
}

// ---------------------------------------------------------------------------
// The mouse

void View::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    TryEpicentre(event->position().toPoint());
    event->accept();
    return;
  }
  QMdiArea::mousePressEvent(event);
}

void View::mouseMoveEvent(QMouseEvent* event) {
  ShowPointerPosition(event->position().toPoint());
  QMdiArea::mouseMoveEvent(event);
}

std::optional<TrialResult> View::TryEpicentre(const QPoint& position) {
  // The click means the point of the globe as last painted; before the first
  // paint, the view's own parameters give it.
  if (earth.radius == 0.0f)
    earth.SetView(globe.spin, globe.tilt, globe.radius, viewport()->width(), viewport()->height());
  float lat = 0.0f;
  float lon = 0.0f;
  if (!earth.ScreenToLatLon(position.x(), position.y(), lat, lon)) return std::nullopt;
  std::vector<KSAC*> pointers = recordPointers;
  TrialResult result = TrialLocation(pointers, lat, lon, depth, trial);
  if (result.ok()) {
    hasTrial = true;
    RepaintSeismogramWindows(*this);  // their marks, Delta T and Dist, now
    SetModified(true);
    SetMessage(tr("Trial at %1 %2: RMS %3 s")
                   .arg(Text(LatitudeText(lat)).trimmed(), Text(LongitudeText(lon)).trimmed())
                   .arg(static_cast<double>(result.rms), 0, 'f', 2));
  } else {
    SetMessage(tr("No trial: %1").arg(Text(result.reason)));
  }
  Repaint();
  emit eventChanged();
  return result;
}

// ---------------------------------------------------------------------------
// The event

void View::OpenEvent() {
  static QString selectedFilter;
  static const QString initialDirectory = QDir::currentPath();
  const QString sac = tr("SAC files (*.sac)");
  const QString pepp = tr("PEPP files (*.set)");
  const QString psn = tr("PSN files (*.psn)");
  if (selectedFilter.isEmpty()) selectedFilter = sac;
  const QStringList paths = QFileDialog::getOpenFileNames(this, tr("Open Event"), initialDirectory,
                                                          sac + ";;" + pepp + ";;" + psn, &selectedFilter);
  if (paths.isEmpty()) return;  // cancelled: the open event stays as it is
  SeismogramFormat format = SeismogramFormat::kSAC;
  if (selectedFilter == pepp) format = SeismogramFormat::kPEPP;
  if (selectedFilter == psn) format = SeismogramFormat::kPSN;
  OpenEventFiles(paths, format);
}

std::vector<RefusedFile> View::OpenEventFiles(const QStringList& paths, std::optional<SeismogramFormat> format) {
  std::vector<std::string> names;
  for (const QString& p : paths) names.push_back(p.toStdString());
  EventFiles files = ReadEventFiles(names, format);
  for (const RefusedFile& refused : files.refused) ErrorReport(kFileLeftOutCode, refused.path + ": " + refused.reason);

  QString skipped;
  for (const RefusedFile& refused : files.refused)
    skipped += (skipped.isEmpty() ? "" : "; ") + Text(refused.path) + " (" + Text(refused.reason) + ")";
  if (files.records.empty()) {
    // Nothing readable: the event the student is working on stays.
    if (!files.refused.empty()) SetMessage(tr("No file could be read: %1").arg(skipped));
    return files.refused;
  }

  // Each file's fingerprint once, as it was read: saving an exercise (and
  // the recovery file after every pick) then reads no seismogram again.
  QStringList opened;
  QStringList absolute;
  std::vector<FileFingerprint> prints;
  for (const auto& r : files.records) {
    opened << QString::fromStdString(r->fileName);
    absolute << QFileInfo(opened.back()).absoluteFilePath();
    // A file gone at once is stored with a fingerprint no file has, so the
    // exercise names it as changed.
    prints.push_back(FingerprintOf(absolute.back()).value_or(FileFingerprint{0, std::string(64, '0')}));
  }
  CloseEvent();
  AdoptEvent(std::move(files.records), std::move(absolute), std::move(prints), format);
  emit eventOpened(opened, format ? static_cast<int>(*format) : -1);
  RestartMisfit();
  if (wantHints) ShowHints("picking.txt");
  SetMessage(files.refused.empty()
                 ? tr("Opened %n seismogram(s).", nullptr, static_cast<int>(records.size()))
                 : tr("Opened %n seismogram(s); left out: %1", nullptr, static_cast<int>(records.size())).arg(skipped));
  Repaint();
  emit eventChanged();
  SetModified(true);
  return files.refused;
}

void View::AdoptEvent(std::vector<std::unique_ptr<KSAC>> opened, QStringList paths,
                      std::vector<FileFingerprint> prints, std::optional<SeismogramFormat> format) {
  records = std::move(opened);
  for (const auto& r : records) recordPointers.push_back(r.get());
  eventPaths = std::move(paths);
  eventPrints = std::move(prints);
  eventFormat = format;
  CreateSeismogramWindows();
}

namespace {
// The geometry the view last gave a seismogram window; while the window
// still has it, the student has not moved it, and the view may place it anew.
constexpr char kPlacedGeometry[] = "orvanePlacedGeometry";
}  // namespace

void View::CreateSeismogramWindows() {
  auto follow = [this](QWidget* window) {
    connect(window, SIGNAL(trialsDiscarded()), this, SLOT(TrialsDiscardedByPick()));
    connect(window, SIGNAL(picked()), this, SLOT(PicksChanged()));
  };
  if (oneWindow) {
    auto* window = new Seismograms(recordPointers);
    QMdiSubWindow* frame = addSubWindow(window, Seismograms::SubWindowFlags());
    frame->setWindowTitle(tr("Seismograms"));
    PlaceSeismogramWindow(frame);
    frame->show();
    follow(window);
    seismogramWindows.push_back(frame);
    return;
  }
  // One window per station, beside its station on the globe. A station on
  // the far side gets its window at its mirror point, marked in the caption.
  earth.SetView(globe.spin, globe.tilt, globe.radius, viewport()->width(), viewport()->height());
  for (KSAC* record : recordPointers) {
    const float stla = record->GetFloatHeader(KSAC::STLA);
    const float stlo = record->GetFloatHeader(KSAC::STLO);
    const bool farSide = !Earth::IsNearSide(earth.Rotate(earth.ModelPoint(stla, stlo)));
    record->SetFloatHeader(KSAC::GCARC, 0.0f);
    auto* window = new Event(*record);
    QMdiSubWindow* frame = addSubWindow(window, Event::SubWindowFlags());
    QString title = QString::fromStdString(record->fileName);
    if (farSide) title += tr(" (far side)");
    frame->setWindowTitle(title);
    PlaceSeismogramWindow(frame);
    frame->show();
    follow(window);
    seismogramWindows.push_back(frame);
  }
}

void View::PlaceSeismogramWindow(QMdiSubWindow* frame) {
  const int right = viewport()->width();
  const int bottom = viewport()->height();
  auto* station = qobject_cast<Event*>(frame->widget());
  if (station == nullptr) {
    const Placement p = SeismogramsWindowPlacement(right, bottom);
    frame->setGeometry(p.x, p.y, p.width, p.height);
  } else {
    earth.SetView(globe.spin, globe.tilt, globe.radius, right, bottom);
    const KSAC& record = station->Record();
    const ScreenPoint s = earth.Project(record.GetFloatHeader(KSAC::STLA), record.GetFloatHeader(KSAC::STLO));
    const Placement p = StationWindowPlacement(s.x, s.y, right, bottom);
    // The window keeps its size: its trace fills what the frame leaves of
    // the quarter of the view.
    QStyleOptionTitleBar option;
    option.initFrom(frame);
    const int border = frame->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, frame);
    const int titleBar = frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, frame);
    station->setFixedSize(std::max(1, p.width - 2 * border), std::max(1, p.height - titleBar - border));
    frame->setGeometry(p.x, p.y, p.width, p.height);
  }
  frame->setProperty(kPlacedGeometry, frame->geometry());
}

void View::FollowViewSize() {
  // The windows the student has left where the view put them move with the
  // view (the window frame is often sized, or maximized, after an event was
  // opened); a window the student moved, resized or minimized stays.
  for (const QPointer<QMdiSubWindow>& frame : seismogramWindows) {
    if (!frame || frame->isMinimized() || frame->isMaximized()) continue;
    if (frame->geometry() == frame->property(kPlacedGeometry).toRect()) PlaceSeismogramWindow(frame);
  }
}

std::vector<QMdiSubWindow*> View::SeismogramWindows() const {
  std::vector<QMdiSubWindow*> windows;
  for (const QPointer<QMdiSubWindow>& frame : seismogramWindows)
    if (frame) windows.push_back(frame.data());
  return windows;
}

void View::TrialsDiscardedByPick() {
  ForgetOpenedTrials();
  Repaint();
  emit eventChanged();
}

void View::CloseEvent() {
  // The windows that show the records go first, then the records.
  for (const QPointer<QMdiSubWindow>& frame : seismogramWindows) delete frame.data();
  seismogramWindows.clear();
  records.clear();
  recordPointers.clear();
  eventPaths.clear();
  eventPrints.clear();
  eventFormat.reset();
  keptSeismograms.clear();
  ForgetOpenedTrials();
  hasTrial = false;
  trial.epicentreLat = 0.0f;
  trial.epicentreLon = 0.0f;
  trialList.clear();
  if (showMisfit) RestartMisfit();
  Repaint();
  emit eventChanged();
  // Nothing is left to save.
  SetModified(false);
}

void View::DiscardTrials() {
  ForgetOpenedTrials();
  trialList.clear();
  Repaint();
  emit eventChanged();
}

void View::SetDepth(float depthKm) {
  depth = depthKm;
  if (showMisfit) RestartMisfit();
  DiscardTrials();
  if (!records.empty()) SetModified(true);
}

// ---------------------------------------------------------------------------
// The exercise

std::vector<ExerciseTrial> View::ExerciseTrials() const {
  // The trials are discarded whenever the depth changes, so every trial of
  // the list was made at the current depth.
  std::vector<ExerciseTrial> trials;
  for (const RMS& t : trialList) trials.push_back(ExerciseTrial{t.lat, t.lon, depth, t.rms});
  return trials;
}

void View::ForgetOpenedTrials() {
  trialsAsOpened = false;
  openedTrialCount = 0;
  openedTrials.clear();
  openedLastTrial.reset();
}

QStringList View::KeptSeismograms() const {
  QStringList paths;
  for (const KeptSeismogram& kept : keptSeismograms) paths << Text(kept.entry.path);
  return paths;
}

QString View::KeptSeismogramsNote() const {
  if (keptSeismograms.empty()) return {};
  QStringList names;
  for (const QString& path : KeptSeismograms()) names << QFileInfo(path).fileName();
  return (keptSeismograms.size() == 1 ? tr("; 1 seismogram kept without being opened: %1")
                                      : tr("; %1 seismograms kept without being opened: %2").arg(keptSeismograms.size()))
      .arg(names.join(", "));
}

Exercise View::CurrentExercise(const QString& exercisePath) const {
  Exercise e;
  e.format = eventFormat;
  // The trials stand as the exercise held them while nothing discarded them
  // (the list then still begins with the trials made again at opening).
  const bool asOpened = trialsAsOpened && trialList.size() >= openedTrialCount;
  // A seismogram left out at opening goes back to its place as it was stored;
  // its marks belong to the last trial of the file, while that one is shown.
  auto kept = keptSeismograms.begin();
  const auto putKept = [&](std::size_t upTo) {
    for (; kept != keptSeismograms.end() && kept->place <= upTo; ++kept) {
      ExerciseSeismogram s = kept->entry;
      s.path = StoredSeismogramPath(Text(kept->entry.path), exercisePath);
      if (!(asOpened && trialList.size() == openedTrialCount)) s.marks.reset();
      e.seismograms.push_back(std::move(s));
    }
  };
  for (std::size_t i = 0; i < records.size(); ++i) {
    putKept(e.seismograms.size());
    const QString& path = eventPaths[static_cast<qsizetype>(i)];
    ExerciseSeismogram s;
    s.path = StoredSeismogramPath(path, exercisePath);
    s.size = eventPrints[i].size;
    s.sha256 = eventPrints[i].sha256;
    if (HasPick(*records[i])) s.pick = records[i]->GetPick(0);
    if (hasTrial) {
      const KSAC& r = *records[i];
      s.marks = std::array<float, 4>{r.GetPick(1), r.GetPick(2), r.GetFloatHeader(KSAC::GCARC),
                                     r.GetFloatHeader(KSAC::USER5)};
    }
    e.seismograms.push_back(std::move(s));
  }
  putKept(std::numeric_limits<std::size_t>::max());
  e.depth = depth;
  e.maximumRms = maximumRms;
  e.oneWindow = oneWindow;
  e.centreLat = -globe.tilt;
  e.centreLon = globe.spin;
  // A globe zoomed in or out beyond what a float holds is stored at the
  // nearest radius an exercise file can hold.
  e.radius = std::clamp(globe.radius, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max());
  e.trials = ExerciseTrials();
  if (asOpened) {
    // The stored trials with their stored RMS, then those made since.
    std::vector<ExerciseTrial> trials = openedTrials;
    trials.insert(trials.end(), e.trials.begin() + static_cast<std::ptrdiff_t>(openedTrialCount), e.trials.end());
    e.trials = std::move(trials);
  }
  if (asOpened && trialList.size() == openedTrialCount) {
    e.lastTrial = openedLastTrial;
  } else if (hasTrial) {
    const SYSTEMTIME& t = trial.originTime;
    e.lastTrial = ExerciseShownTrial{trial.epicentreLat, trial.epicentreLon, trial.rms,
                                     {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond,
                                      t.wMilliseconds}};
  }
  return e;
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

bool View::OpenExercise(const QString& path, QString* error) {
  const QString name = QFileInfo(path).fileName();
  const auto refuse = [&](const QString& reason) {
    if (error) *error = reason;
    SetMessage(tr("The exercise %1 was not opened: %2").arg(name, reason));
    return false;
  };
  QString why;
  const std::optional<Exercise> exercise = ReadExerciseFile(path, &why);
  if (!exercise) return refuse(why);
  ExerciseRecords opened = OpenExerciseRecords(*exercise, path);
  QString leftOut;
  for (const RefusedFile& f : opened.leftOut) {
    ErrorReport(kFileLeftOutCode, f.path + ": " + f.reason);
    leftOut += (leftOut.isEmpty() ? "" : "; ") + Text(f.path) + " (" + Text(f.reason) + ")";
  }
  // Nothing to work on: the event the student has open stays.
  if (opened.records.empty()) return refuse(tr("none of its seismogram files can be opened: %1").arg(leftOut));

  CloseEvent();
  oneWindow = exercise->oneWindow;
  maximumRms = exercise->maximumRms;
  depth = exercise->depth;
  globe = GlobeView{exercise->centreLon, -exercise->centreLat, exercise->radius};
  // The files matched the stored fingerprints, or they would have been left out.
  std::vector<FileFingerprint> prints;
  for (std::size_t entry : opened.entries)
    prints.push_back(FileFingerprint{exercise->seismograms[entry].size, exercise->seismograms[entry].sha256});
  AdoptEvent(std::move(opened.records), opened.paths, std::move(prints), exercise->format);
  // What could not be opened is kept as it was stored, to be written back,
  // with its path taken from the folder of this file.
  for (std::size_t entry = 0, next = 0; entry < exercise->seismograms.size(); ++entry) {
    if (next < opened.entries.size() && opened.entries[next] == entry) {
      ++next;
      continue;
    }
    ExerciseSeismogram kept = exercise->seismograms[entry];
    kept.path = QFileInfo(ResolvedSeismogramPath(kept.path, path)).absoluteFilePath().toStdString();
    keptSeismograms.push_back(KeptSeismogram{entry, std::move(kept)});
  }
  // The trials again, in order, as the clicks made them.
  const std::vector<KSAC*> pointers = recordPointers;
  const RedoneTrials redone = RedoTrials(pointers, exercise->trials, trial);
  hasTrial = redone.hasTrial;
  if (!keptSeismograms.empty()) {
    // Made without the left-out stations, their RMS differ from the stored
    // ones, which are the student's: those are kept.
    trialsAsOpened = true;
    openedTrialCount = trialList.size();
    openedTrials = exercise->trials;
    openedLastTrial = exercise->lastTrial;
  }
  if (exercise->trials.empty() && exercise->lastTrial) {
    // The trials were discarded by a new pick or depth, but the last one
    // was still shown: its label and marks come back as they were.
    const ExerciseShownTrial& shown = *exercise->lastTrial;
    const auto& f = shown.originTime;
    trial = TrialState{shown.lat, shown.lon, SYSTEMTIME{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]}, shown.rms};
    hasTrial = true;
    for (std::size_t i = 0; i < records.size(); ++i) {
      const auto& marks = exercise->seismograms[opened.entries[i]].marks;
      if (!marks) continue;
      records[i]->SetPick(1, (*marks)[0]);  // clears t2…t9
      records[i]->SetPick(2, (*marks)[1]);
      records[i]->SetFloatHeader(KSAC::GCARC, (*marks)[2]);
      records[i]->SetFloatHeader(KSAC::USER5, (*marks)[3]);
    }
  }
  if (hasTrial) RepaintSeismogramWindows(*this);
  emit optionsChanged();
  RestartMisfit();

  const auto count = [](std::size_t n, const QString& one, const QString& many) {
    return (n == 1 ? one : many).arg(n);
  };
  QString text = tr("Opened the exercise %1: %2, %3")
                     .arg(name, count(records.size(), tr("%1 seismogram"), tr("%1 seismograms")),
                          count(trialList.size(), tr("%1 trial"), tr("%1 trials")));
  if (!leftOut.isEmpty()) text += tr("; left out: %1").arg(leftOut);
  for (const std::string& note : redone.notes) text += "; " + Text(note);
  SetMessage(text);
  Repaint();
  UpdateCentreReadout();
  emit eventChanged();
  SetModified(false);
  return true;
}

// ---------------------------------------------------------------------------
// Pan, zoom and the options

void View::SetGlobe(const GlobeView& view) {
  globe = view;
  if (showMisfit) RestartMisfit();
  Repaint();
  UpdateCentreReadout();
}

void View::ZoomIn() {
  orvane::ZoomIn(globe);
  SetGlobe(globe);
}
void View::ZoomOut() {
  orvane::ZoomOut(globe);
  SetGlobe(globe);
}
void View::North() {
  StepNorth(globe);
  SetGlobe(globe);
}
void View::South() {
  StepSouth(globe);
  SetGlobe(globe);
}
void View::East() {
  StepEast(globe);
  SetGlobe(globe);
}
void View::West() {
  StepWest(globe);
  SetGlobe(globe);
}

void View::ToggleWantHints() {
  wantHints = !wantHints;
  if (!wantHints) CloseHints();
  emit optionsChanged();
}

void View::MultipleWindowSeismograms() {
  oneWindow = false;
  emit optionsChanged();
}

void View::SeismogramsInOneWindow() {
  oneWindow = true;
  emit optionsChanged();
}

}  // namespace orvane
