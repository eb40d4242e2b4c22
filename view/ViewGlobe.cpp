// The view's globe under the mouse and the keys: a left click (or Enter on
// the cross-hair) makes a trial epicentre, pointer moves (and the
// cross-hair's) update the pointer read-out; and the commands that turn and
// zoom the globe.
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>

#include <algorithm>

#include "display/KeyFocus.h"
#include "map/MapPainter.h"
#include "view/View.h"

namespace orvane {

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

bool View::PointOnGlobe(const QPoint& position, float& lat, float& lon) {
  // A click means the point of the globe as last painted; before the first
  // paint, the view's own parameters give it.
  if (earth.radius == 0.0f)
    earth.SetView(globe.spin, globe.tilt, globe.radius, viewport()->width(), viewport()->height());
  return earth.ScreenToLatLon(position.x(), position.y(), lat, lon);
}

std::optional<TrialResult> View::TryEpicentre(const QPoint& position) {
  float lat = 0.0f;
  float lon = 0.0f;
  if (!PointOnGlobe(position, lat, lon)) return std::nullopt;
  TrialResult result = TrialLocation(recordPointers, lat, lon, depth, trial, model);
  if (result.ok()) {
    hasTrial = true;
    emit trialLocated();  // the windows show their marks, Delta T and Dist now
    SetModified(true);
    QString text = tr("Trial at %1 %2: RMS %3 s, %4 of %5 stations")
                       .arg(Text(LatitudeText(lat)).trimmed(), Text(LongitudeText(lon)).trimmed())
                       .arg(static_cast<double>(result.rms), 0, 'f', 2)
                       .arg(result.picked)
                       .arg(records.size());
    if (model != kDefaultEarthModel) text += tr(" (%1)").arg(QString::fromLatin1(EarthModelTitle(model)));
    SetMessage(text);
  } else {
    SetMessage(tr("No trial: %1").arg(Text(result.reason)));
  }
  Repaint();
  emit eventChanged();
  return result;
}

void View::ShowPointerPosition(const QPoint& position) {
  float lat = 0.0f;
  float lon = 0.0f;
  if (!PointOnGlobe(position, lat, lon)) return;
  pointerLat = Text(LatitudeText(lat));
  pointerLon = Text(LongitudeText(lon));
  emit pointerReadoutChanged(pointerLat, pointerLon);
}

// ---------------------------------------------------------------------------
// The keys: the cross-hair

bool View::CrossHairShown() const { return crosshairWanted && hasFocus(); }

void View::focusInEvent(QFocusEvent* event) {
  QMdiArea::focusInEvent(event);
  // While the title card lies over the globe, the keys go to the card.
  if (splashWindow && splashWindow->IsUp()) {
    splashWindow->setFocus(event->reason());
    return;
  }
  crosshairWanted = KeyMarkWanted(event->reason(), crosshairWanted);
  if (!crosshairPlaced) {
    crosshair = QPoint(viewport()->width() / 2, viewport()->height() / 2);
    crosshairPlaced = true;
  }
  if (CrossHairShown()) ShowPointerPosition(crosshair);
  Repaint();
}

void View::focusOutEvent(QFocusEvent* event) {
  QMdiArea::focusOutEvent(event);
  Repaint();
}

void View::MoveCrossHair(const QPoint& to) {
  crosshair = QPoint(std::clamp(to.x(), 0, std::max(viewport()->width() - 1, 0)),
                     std::clamp(to.y(), 0, std::max(viewport()->height() - 1, 0)));
  crosshairPlaced = true;
  crosshairWanted = true;
  ShowPointerPosition(crosshair);
  Repaint();
}

QWidget* View::TabOutOf(QWidget* focus, bool forward) const {
  QMdiSubWindow* window = nullptr;
  for (QWidget* w = focus; w != nullptr && window == nullptr; w = w->parentWidget())
    window = qobject_cast<QMdiSubWindow*>(w);
  if (window == nullptr || window->mdiArea() != this) return nullptr;
  // The next control along the focus chain that Tab stops at.
  QWidget* next = focus;
  while (true) {
    next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    if (next == focus) return nullptr;
    const bool takesTab = (next->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && next->isEnabled() &&
                          next->window() == focus->window() && next->isVisibleTo(next->window()) &&
                          next->focusProxy() == nullptr;
    if (!takesTab) continue;
    return next == window || window->isAncestorOf(next) ? nullptr : next;
  }
}

bool View::eventFilter(QObject* watched, QEvent* event) {
  // Qt goes round the controls of a window inside the view for ever; from
  // its last control Tab goes on to what follows (the globe, the next
  // window), and Shift+Tab back from its first one.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() && watched == QApplication::focusWidget()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers();
    if (!(mods & (Qt::ControlModifier | Qt::AltModifier)) &&
        (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
      const bool forward = key->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier);
      if (QWidget* next = TabOutOf(static_cast<QWidget*>(watched), forward)) {
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
      }
    }
  }
  return QMdiArea::eventFilter(watched, event);
}

void View::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers others = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
  if (others != Qt::NoModifier) {
    QMdiArea::keyPressEvent(event);
    return;
  }
  const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
  switch (event->key()) {
    case Qt::Key_Left: MoveCrossHair(crosshair - QPoint(step, 0)); break;
    case Qt::Key_Right: MoveCrossHair(crosshair + QPoint(step, 0)); break;
    case Qt::Key_Up: MoveCrossHair(crosshair - QPoint(0, step)); break;
    case Qt::Key_Down: MoveCrossHair(crosshair + QPoint(0, step)); break;
    case Qt::Key_Home: MoveCrossHair(QPoint(viewport()->width() / 2, viewport()->height() / 2)); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // A trial where the cross-hair stands, as a click there makes one.
      MoveCrossHair(crosshair);
      if (!TryEpicentre(crosshair)) SetMessage(tr("No trial: the cross-hair is beside the globe."));
      break;
    default:
      QMdiArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

// ---------------------------------------------------------------------------
// Pan and zoom

void View::SetGlobe(const GlobeView& view) {
  globe = view;
  turnPending = false;  // the student's own view stays
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

}  // namespace orvane
