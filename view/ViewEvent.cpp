// The view's event: opening its files, the seismogram windows that show it
// and where they stand, the picks made in them, and closing it.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>
#include <utility>

#include "display/Event.h"
#include "display/Seismograms.h"
#include "location/RMS.h"
#include "platform/ErrorReport.h"
#include "view/View.h"

namespace orvane {
namespace {

// The report code of a seismogram file left out of an event.
constexpr std::int16_t kFileLeftOutCode = 3005;

// The geometry the view last gave a seismogram window; while the window
// still has it, the student has not moved it, and the view may place it anew.
constexpr char kPlacedGeometry[] = "orvanePlacedGeometry";

}  // namespace

QString View::ReportRefused(const std::vector<RefusedFile>& refused) {
  QString names;
  for (const RefusedFile& f : refused) {
    ErrorReport(kFileLeftOutCode, f.path + ": " + f.reason);
    names += (names.isEmpty() ? "" : "; ") + Text(f.path) + " (" + Text(f.reason) + ")";
  }
  return names;
}

void View::OpenEvent() {
  static QString selectedFilter;
  static const QString initialDirectory = QDir::currentPath();
  // One filter per format of the table, in its order; the first is the
  // choice until the student makes another.
  QStringList filters;
  for (const SeismogramFormatEntry& entry : SeismogramFormats()) filters << tr(entry.filter.c_str());
  if (selectedFilter.isEmpty()) selectedFilter = filters.front();
  const QStringList paths = QFileDialog::getOpenFileNames(this, tr("Open Event"), initialDirectory,
                                                          filters.join(";;"), &selectedFilter);
  if (paths.isEmpty()) return;  // cancelled: the open event stays as it is
  const qsizetype chosen = std::max<qsizetype>(filters.indexOf(selectedFilter), 0);
  OpenEventFiles(paths, SeismogramFormats()[static_cast<std::size_t>(chosen)].format);
}

std::vector<RefusedFile> View::OpenEventFiles(const QStringList& paths, std::optional<SeismogramFormat> format) {
  std::vector<std::string> names;
  for (const QString& p : paths) names.push_back(p.toStdString());
  EventFiles files = ReadEventFiles(names, format);
  const QString skipped = ReportRefused(files.refused);
  if (files.records.empty()) {
    // Nothing readable: the event the student is working on stays.
    if (!files.refused.empty()) SetMessage(tr("No file could be read: %1").arg(skipped));
    return files.refused;
  }

  // Each file's fingerprint once, as it was read: saving an exercise (and
  // the recovery file after every pick) then reads no seismogram again.
  // The files opened: each record's (once, though a miniSEED file gives
  // several), then those read with them (StationXML).
  // A file gone at once is stored with a fingerprint no file has, so the
  // exercise names it as changed.
  QHash<QString, FileFingerprint> printOf;
  const auto print = [&printOf](const QString& file) {
    auto found = printOf.find(file);
    if (found == printOf.end())
      found = printOf.insert(file, FingerprintOf(file).value_or(FileFingerprint{0, std::string(64, '0')}));
    return *found;
  };
  QStringList opened;
  QStringList absolute;
  std::vector<FileFingerprint> prints;
  for (const auto& r : files.records) {
    const QString file = QString::fromStdString(r->fileName);
    if (!opened.contains(file)) opened << file;
    absolute << QFileInfo(file).absoluteFilePath();
    prints.push_back(print(absolute.back()));
  }
  QStringList with;
  std::vector<FileFingerprint> withPrints;
  for (const std::string& companion : files.companions) {
    opened << QString::fromStdString(companion);
    with << QFileInfo(opened.back()).absoluteFilePath();
    withPrints.push_back(print(with.back()));
  }
  CloseEvent();
  // The globe turns to the new event's stations when any of them is hidden.
  if (viewport()->width() > 0 && viewport()->height() > 0)
    globe = ViewShowingEvent(files.records);
  else
    turnPending = true;
  const QString windows = AdoptEvent(std::move(files.records), std::move(absolute), std::move(prints), format,
                                     std::move(files.channels), std::move(with), std::move(withPrints));
  emit eventOpened(opened, format ? static_cast<int>(*format) : -1);
  RestartMisfit();
  if (wantHints) ShowHints("picking.txt");
  // The new windows came up over the title card and took the focus; while
  // the card is up (an event given on the command line), it stays on top
  // and the keys belong to it.
  if (splashWindow && splashWindow->IsUp()) {
    splashWindow->raise();
    splashWindow->setFocus(Qt::OtherFocusReason);
  }
  const int count = static_cast<int>(records.size());
  QString text;
  if (!windows.isEmpty())
    text = files.refused.empty() ? windows + '.' : tr("%1; left out: %2").arg(windows, skipped);
  else
    text = files.refused.empty() ? tr("Opened %n seismogram(s).", nullptr, count)
                                 : tr("Opened %n seismogram(s); left out: %1", nullptr, count).arg(skipped);
  if (files.skippedComponents > 0)
    text += tr(" %n other component(s) not opened (only vertical ones are).", nullptr, files.skippedComponents);
  for (const std::string& note : files.notes) text += " " + Text(note) + ".";
  SetMessage(text);
  Repaint();
  emit eventChanged();
  UpdateCentreReadout();
  SetModified(true);
  return files.refused;
}

GlobeView View::ViewShowingEvent(std::span<const std::unique_ptr<KSAC>> opened) const {
  std::vector<StationPosition> stations;
  for (const auto& r : opened)
    stations.push_back({r->GetFloatHeader(KSAC::STLA), r->GetFloatHeader(KSAC::STLO)});
  const int w = viewport()->width();
  const int h = viewport()->height();
  // The window of all seismograms covers the right quarter of the view; it
  // also shows an event with more stations than windows fit beside the globe.
  Placement visible{0, 0, w, h};
  if (oneWindow || opened.size() > static_cast<std::size_t>(kMostStationWindows))
    visible.width = SeismogramsWindowPlacement(w, h).x;
  return ViewShowingStations(globe, stations, w, h, visible);
}

QString View::AdoptEvent(std::vector<std::unique_ptr<KSAC>> opened, QStringList paths,
                         std::vector<FileFingerprint> prints, std::optional<SeismogramFormat> format,
                         std::vector<std::string> channels, QStringList with, std::vector<FileFingerprint> withPrints) {
  records = std::move(opened);
  for (const auto& r : records) recordPointers.push_back(r.get());
  eventPaths = std::move(paths);
  eventPrints = std::move(prints);
  eventFormat = format;
  eventChannels = std::move(channels);
  eventChannels.resize(records.size());
  eventWith = std::move(with);
  eventWithPrints = std::move(withPrints);
  return CreateSeismogramWindows();
}

QString View::CreateSeismogramWindows() {
  auto follow = [this](SeismogramWindow* window) {
    connect(window, &SeismogramWindow::trialsDiscarded, this, &View::TrialsDiscardedByPick);
    connect(window, &SeismogramWindow::picked, this, &View::PicksChanged);
    connect(this, &View::trialLocated, window, &SeismogramWindow::TrialLocated);
    connect(window, &SeismogramWindow::message, this, &View::SetMessage);
    // The filters are part of the work that a save keeps.
    connect(window, &SeismogramWindow::filterChanged, this, [this] { SetModified(true); });
  };
  // Too many stations for a window beside each: all in one window, and the
  // option stays as the student chose it.
  const int count = static_cast<int>(recordPointers.size());
  const bool tooMany = !oneWindow && count > kMostStationWindows;
  if (oneWindow || tooMany) {
    auto* window = new Seismograms(recordPointers);
    window->SetCompact(compactSeismograms);
    QMdiSubWindow* frame = addSubWindow(window, Seismograms::SubWindowFlags());
    frame->setWindowTitle(tr("Seismograms"));
    PlaceSeismogramWindow(frame);
    frame->show();
    follow(window);
    seismogramWindows.push_back(frame);
    return tooMany ? tr("%1 seismograms opened in one window: too many for a window beside each station")
                         .arg(count)
                   : QString();
  }
  // One window per station, beside its station on the globe. A station on
  // the far side gets its window at its mirror point, marked in the caption.
  earth.SetView(globe.spin, globe.tilt, globe.radius, viewport()->width(), viewport()->height());
  for (std::size_t i = 0; i < recordPointers.size(); ++i) {
    KSAC* record = recordPointers[i];
    const float stla = record->GetFloatHeader(KSAC::STLA);
    const float stlo = record->GetFloatHeader(KSAC::STLO);
    const bool farSide = !Earth::IsNearSide(earth.Rotate(earth.ModelPoint(stla, stlo)));
    record->SetFloatHeader(KSAC::GCARC, 0.0f);
    auto* window = new Event(*record);
    QMdiSubWindow* frame = addSubWindow(window, Event::SubWindowFlags());
    // A miniSEED file holds many channels: its windows are named by channel.
    QString title = QString::fromStdString(record->fileName);
    if (i < eventChannels.size() && !eventChannels[i].empty())
      title = QString::fromStdString(eventChannels[i]) + " (" + QFileInfo(title).fileName() + ")";
    if (farSide) title += tr(" (far side)");
    window->SetCaption(title);  // shown with the band of its filter, if any
    frame->setWindowTitle(window->windowTitle());
    PlaceSeismogramWindow(frame);
    frame->show();
    follow(window);
    seismogramWindows.push_back(frame);
  }
  return QString();
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
  turnPending = false;
  eventChannels.clear();
  eventWith.clear();
  eventWithPrints.clear();
  kept = KeptWork{};
  hasTrial = false;
  trial.epicentreLat = 0.0f;
  trial.epicentreLon = 0.0f;
  trialList.clear();
  RestartMisfit();
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
  RestartMisfit();
  DiscardTrials();
  if (!records.empty()) SetModified(true);
}

void View::SetModel(EarthModel chosen) {
  if (chosen == model) return;
  model = chosen;
  RestartMisfit();
  // Trials made with other tables would stand beside the new ones with RMS
  // that cannot be compared.
  DiscardTrials();
  if (!records.empty()) SetModified(true);
  emit optionsChanged();
  SetMessage(tr("Trials now use the travel times of %1.").arg(QString::fromLatin1(EarthModelTitle(model))));
}

void View::PicksChanged() {
  // A pick discards the trials (also when there were none to empty); a
  // station left out or taken back changes its mark on the globe.
  ForgetOpenedTrials();
  RestartMisfit();
  Repaint();
  SetModified(true);
}

}  // namespace orvane
