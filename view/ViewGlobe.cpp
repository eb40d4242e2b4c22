// The view's globe under the mouse: a left click makes a trial epicentre,
// pointer moves update the pointer read-out; and the commands that turn and
// zoom the globe.
#include <QMouseEvent>

#include "location/RMS.h"
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

std::optional<TrialResult> View::TryEpicentre(const QPoint& position) {
  // The click means the point of the globe as last painted; before the first
  // paint, the view's own parameters give it.
  if (earth.radius == 0.0f)
    earth.SetView(globe.spin, globe.tilt, globe.radius, viewport()->width(), viewport()->height());
  float lat = 0.0f;
  float lon = 0.0f;
  if (!earth.ScreenToLatLon(position.x(), position.y(), lat, lon)) return std::nullopt;
  TrialResult result = TrialLocation(recordPointers, lat, lon, depth, trial, model);
  if (result.ok()) {
    hasTrial = true;
    emit trialLocated();  // the windows show their marks, Delta T and Dist now
    SetModified(true);
    QString text = tr("Trial at %1 %2: RMS %3 s")
                       .arg(Text(LatitudeText(lat)).trimmed(), Text(LongitudeText(lon)).trimmed())
                       .arg(static_cast<double>(result.rms), 0, 'f', 2);
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
  if (earth.radius == 0.0f)
    earth.SetView(globe.spin, globe.tilt, globe.radius, viewport()->width(), viewport()->height());
  float lat = 0.0f;
  float lon = 0.0f;
  if (!earth.ScreenToLatLon(position.x(), position.y(), lat, lon)) return;
  pointerLat = Text(LatitudeText(lat));
  pointerLon = Text(LongitudeText(lon));
  emit pointerReadoutChanged(pointerLat, pointerLon);
}

// ---------------------------------------------------------------------------
// Pan and zoom

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

}  // namespace orvane
