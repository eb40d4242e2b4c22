#include "view/View.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <utility>

#include "dialogs/DepthCB.h"
#include "dialogs/MaxRMSDialog.h"
#include "display/Seismograms.h"
#include "location/RMS.h"
#include "map/MapPainter.h"
#include "platform/Surface.h"
#include "seismogram/DataCentreEvent.h"
#include "seismogram/RecordReadouts.h"
#include "view/Splash.h"
#include "view/ViewAccessible.h"

namespace orvane {

View::View(QWidget* parent, std::unique_ptr<QSettings> settings)
    : QMdiArea(parent), settingsStore(std::move(settings)) {
  // A data centre's miniSEED with its StationXML opens as one event.
  RegisterDataCentreFormat();
  // Settings that cannot be read safely: the defaults, and the reason for
  // the frame's status bar.
  if (!settingsStore) settingsStore = OpenViewSettings(&message);
  const ViewSettings stored = settingsStore ? ReadViewSettings(*settingsStore) : ViewSettings{};
  maximumRms = stored.maximumRms;
  globe = GlobeView{stored.spin, stored.tilt, stored.radius};
  depth = stored.depth;
  model = stored.model;
  oneWindow = stored.oneWindow != 0;
  wantHints = stored.wantHints != 0;
  compactSeismograms = stored.compactSeismograms != 0;
  setObjectName("View");
  // The globe takes the keyboard focus; screen readers meet it as the view.
  ViewAccessible::Install();
  setAccessibleName(tr("Globe"));
  setFocusPolicy(Qt::StrongFocus);
  // Qt keeps Tab inside a window of the view; the view lets it go on.
  qApp->installEventFilter(this);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setMouseTracking(true);
  viewport()->setAccessibleName(tr("Globe"));
  viewport()->setCursor(Qt::CrossCursor);
  connect(&misfitJob, &MisfitJob::changed, this, &View::Repaint);
  UpdateAccessibleDescription();
}

View::~View() {
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
  s.model = model;
  s.compactSeismograms = compactSeismograms ? 1 : 0;
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
  // When the panel closes, the keys go back where they were (the globe, or
  // the seismogram window the student was picking on), not to whichever
  // window the workspace activates next. The focus moves after the closing
  // is done, "as it was" for the keyboard cursor and cross-hair.
  const QPointer<QWidget> before = QApplication::focusWidget();
  panel->showIn(this);
  connect(panel, &QObject::destroyed, this, [this, before] {
    QTimer::singleShot(0, this, [before] {
      if (before != nullptr && before->isVisible()) before->setFocus(Qt::ActiveWindowFocusReason);
    });
  });
  return panel;
}

void View::SetMaximumRmsCommand() {
  MaxRMSDialog dialog(this, maximumRms);
  if (dialog.exec() == QDialog::Accepted) maximumRms = dialog.maxRms();
  Repaint();
}

void View::SetShowMisfit(bool show) {
  showMisfit = show;
  RestartMisfit();
}

void View::SetShowAnswerKey(bool show) {
  showAnswerKey = show;
  RestartMisfit();
}

void View::SetModified(bool value) {
  modified = value;
  emit workChanged();
}

void View::RestartMisfit() {
  if ((!showMisfit && !showAnswerKey) || records.empty()) {
    if (misfitJob.Stop()) Repaint();
    return;
  }
  // The answer key alone needs no map of the view.
  misfitJob.Start(recordPointers, globe, viewport()->width(), viewport()->height(), depth, model, showMisfit);
}

bool View::WaitForMisfit(int milliseconds) { return misfitJob.WaitUntilComplete(milliseconds); }

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
  picture.model = model;
  picture.misfit = misfitJob.Raster();
  picture.hasAnswerKey = misfitJob.HasAnswerKey();
  picture.answerLat = misfitJob.AnswerLat();
  picture.answerLon = misfitJob.AnswerLon();
  return picture;
}

void View::paintEvent(QPaintEvent*) {
  {
    Surface surface(*viewport());
    PaintMapPicture(surface, Picture(), earth, globePainter);
  }
  if (CrossHairShown()) {
    PaintCrossHair();
    // A pan or zoom moves the globe under the cross-hair: what it stands on
    // is told again, as the picture now shows it.
    ShowPointerPosition(crosshair);
    UpdateAccessibleDescription();
  }
  UpdateCentreReadout();
  if (!splashMade && showSplash) {
    // The title card comes up once, over the first picture of the globe.
    splashMade = true;
    QTimer::singleShot(0, this, &View::ShowSplash);
  }
}

void View::PaintCrossHair() {
  // Two lines with a gap at the point itself, black on a white edge so that
  // they show on the sea, the land and the background alike.
  QPainter painter(viewport());
  const QPoint c = crosshair;
  constexpr int kGap = 4;
  constexpr int kArm = 18;
  for (const auto& [colour, width] : {std::pair{QColor(Qt::white), 5}, std::pair{QColor(Qt::black), 2}}) {
    painter.setPen(QPen(colour, width));
    painter.drawLine(c.x() - kArm, c.y(), c.x() - kGap, c.y());
    painter.drawLine(c.x() + kGap, c.y(), c.x() + kArm, c.y());
    painter.drawLine(c.x(), c.y() - kArm, c.x(), c.y() - kGap);
    painter.drawLine(c.x(), c.y() + kGap, c.x(), c.y() + kArm);
  }
}

QRect View::SplashGeometry() const {
  // The middle of the view: an eighth of its size from each edge.
  const int w = viewport()->width();
  const int h = viewport()->height();
  return QRect(w / 8, h / 8, (3 * w) / 4, (3 * h) / 4);
}

void View::ShowSplash() {
  splashWindow = new Splash(viewport());
  splashWindow->setGeometry(SplashGeometry());
  splashWindow->show();
  splashWindow->raise();
  emit optionsChanged();  // the check marks come up to date with the card
}

void View::resizeEvent(QResizeEvent* event) {
  QMdiArea::resizeEvent(event);
  // The title card stays in the middle of the view; the cross-hair within it.
  if (splashWindow) splashWindow->setGeometry(SplashGeometry());
  crosshair = QPoint(std::clamp(crosshair.x(), 0, std::max(viewport()->width() - 1, 0)),
                     std::clamp(crosshair.y(), 0, std::max(viewport()->height() - 1, 0)));
  if (turnPending && viewport()->width() > 0 && viewport()->height() > 0) {
    turnPending = false;
    globe = ViewShowingEvent(records);
    UpdateCentreReadout();
  }
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

void View::SetMessage(const QString& text) {
  message = text;
  emit messageChanged(text);
}

void View::UpdateAccessibleDescription() {
  int picked = 0;
  int leftOut = 0;
  for (const auto& r : records) {
    picked += HasPick(*r) ? 1 : 0;
    leftOut += r->leftOut ? 1 : 0;
  }
  QString text;
  // Where the cross-hair stands comes first: it is what changes with each key.
  if (CrossHairShown()) {
    float lat = 0.0f;
    float lon = 0.0f;
    if (PointOnGlobe(crosshair, lat, lon))
      text = tr("Cross-hair at %1 %2. ").arg(Text(LatitudeText(lat)).trimmed(), Text(LongitudeText(lon)).trimmed());
    else
      text = tr("Cross-hair beside the globe. ");
  }
  text += tr("Globe centred on %1 %2. ").arg(CentreLatText().trimmed(), CentreLonText().trimmed());
  if (records.empty())
    text += tr("No event is open.");
  else
    text += (records.size() == 1 ? tr("1 station, ") : tr("%1 stations, ").arg(records.size())) +
            tr("%1 picked.").arg(picked);
  if (leftOut > 0) text += tr(" %1 left out of the location.").arg(leftOut);
  if (!trialList.empty())
    text += trialList.size() == 1 ? tr(" 1 trial.") : tr(" %1 trials.").arg(trialList.size());
  if (hasTrial) {
    text += tr(" Last trial at %1 %2, depth %3 km, RMS %4 s.")
                .arg(Text(LatitudeText(trial.epicentreLat)).trimmed(), Text(LongitudeText(trial.epicentreLon)).trimmed())
                .arg(static_cast<double>(depth), 0, 'f', 0)
                .arg(static_cast<double>(trial.rms), 0, 'f', 2);
    if (trial.stations > 0) text += tr(" %1 of %2 stations took part.").arg(trial.stations).arg(records.size());
  }
  if (model != kDefaultEarthModel) text += tr(" Earth model %1.").arg(QString::fromLatin1(EarthModelTitle(model)));
  if (misfitJob.HasAnswerKey())
    text += tr(" Answer key at %1 %2.")
                .arg(Text(LatitudeText(misfitJob.AnswerLat())).trimmed(),
                     Text(LongitudeText(misfitJob.AnswerLon())).trimmed());
  setAccessibleDescription(text);
}

// ---------------------------------------------------------------------------
// The options

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

void View::ToggleCompactSeismograms() {
  compactSeismograms = !compactSeismograms;
  for (QMdiSubWindow* frame : SeismogramWindows())
    if (auto* all = qobject_cast<Seismograms*>(frame->widget())) all->SetCompact(compactSeismograms);
  emit optionsChanged();
}

}  // namespace orvane
