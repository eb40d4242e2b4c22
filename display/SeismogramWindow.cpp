#include "display/SeismogramWindow.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

#include "display/ControlNames.h"
#include "display/TraceLayout.h"
#include "display/UpDown.h"

namespace orvane {

SeismogramWindow::SeismogramWindow(const QString& title, const QString& name, QWidget* parent) : QWidget(parent) {
  setWindowTitle(title);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(name);
}

SeismogramWindow::~SeismogramWindow() = default;

Qt::WindowFlags SeismogramWindow::SubWindowFlags() {
  return Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowMinimizeButtonHint;
}

void SeismogramWindow::TrialLocated() { update(); }

void SeismogramWindow::AnnouncePick(bool discarded) {
  emit picked();
  if (discarded) emit trialsDiscarded();
}

void SeismogramWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    Pick(event->position().toPoint());
    return;
  }
  QWidget::mousePressEvent(event);
}

void SeismogramWindow::resizeEvent(QResizeEvent*) {
  layoutPending = true;
  update();
}

void SeismogramWindow::SyncScrollBar(int left, const QString& description) {
  const float zoom = TimeStretch();
  if (zoom <= 1.0f) {
    delete scrollBar;
  } else if (!scrollBar) {
    scrollBar = new QScrollBar(Qt::Horizontal, this);
    scrollBar->setObjectName(ControlName(kScrollBarId));
    scrollBar->setRange(0, 100);
    scrollBar->setSingleStep(1);
    scrollBar->setPageStep(10);
    scrollBar->setAccessibleName(tr("Time scroll"));
    scrollBar->setAccessibleDescription(description);
    PlaceScrollBar(left);
    connect(scrollBar, &QScrollBar::valueChanged, this, &SeismogramWindow::Scroll);
  }
  if (scrollBar) {
    scrollBar->show();
    scrollFraction = ScrollFractionFor(zoom, scrollBar->value());
  } else {
    scrollFraction = 0.0f;
  }
}

void SeismogramWindow::PlaceScrollBar(int left) {
  if (!scrollBar) return;
  scrollBar->setGeometry(left, axisStrip.top + textHeight - 1, clientArea.Width() - left - 1,
                         style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar));
}

void SeismogramWindow::Scroll() {
  if (!scrollBar) return;
  scrollFraction = ScrollFractionFor(std::max(1.0f, TimeStretch()), scrollBar->value());
  update();
}

void SeismogramWindow::MakeZoomControls(int maximum, int position, const QString& description) {
  zoomBox = MakeValueBox(this, kZoomBoxId, tr("Zoom"), description);
  zoomSpin = MakeUpDown(this, kZoomSpinId, 1, maximum, position, tr("Zoom up-down"),
                        tr("Up stretches the time axis, down compresses it"));
  zoomSpin->SetHandler([this](int p, int d) { return ZoomStep(p, d); });
}

bool SeismogramWindow::ZoomStep(int position, int step) {
  const int v = std::clamp(position + step, 1, zoomSpin->Maximum());
  zoomSpin->SetPosition(v);
  SetTimeStretch(v);
  zoomBox->setText(QString::number(v));
  update();
  return true;
}

}  // namespace orvane
