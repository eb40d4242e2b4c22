#include "display/Event.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

#include "display/ControlNames.h"
#include "display/TraceLayout.h"
#include "display/TraceTexts.h"
#include "display/UpDown.h"
#include "location/Picking.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {

Event::Event(KSAC& shown, QWidget* parent) : QWidget(parent), record(shown) {
  setWindowTitle(QString::fromLocal8Bit(record.fileName.c_str()));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(tr("Seismogram %1").arg(QString::fromLatin1(SpokenStationLabel(record).c_str())));
  UpdateDescription();
}

Event::~Event() = default;

Qt::WindowFlags Event::SubWindowFlags() {
  return Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowMinimizeButtonHint;
}

void Event::TrialLocated() { update(); }

void Event::resizeEvent(QResizeEvent*) {
  layoutPending = true;
  update();
}

void Event::paintEvent(QPaintEvent*) {
  Surface surface(*this);
  if (!surface.IsActive()) return;
  const TextMetrics metrics = surface.GetTextMetrics();
  layout = LayOutEvent(width(), height(), metrics);
  clientArea = layout.clientArea;
  traceArea = layout.traceArea;
  axisStrip = layout.axisStrip;
  textHeight = layout.textHeight;
  charWidth = layout.charWidth;
  marginX = marginY = charWidth;
  zoom = std::max(1, zoom);
  SyncScrollBar();

  const EventScale scale = PaintEventPicture(surface, layout, record, EventView{zoom, scrollFraction, gain}, &statistics);
  traceWidth = scale.traceWidth;
  traceHeight = scale.traceHeight;
  scrollOffset = scale.scrollOffset;
  sampleCount = scale.sampleCount;
  pixelsPerSample = scale.pixelsPerSample;
  delta = scale.delta;

  if (zoomBox == nullptr) CreateControls();
  if (layoutPending) {
    layoutPending = false;
    PlaceControls();
  }
  zoomBox->setText(QString::number(zoom));
  gainBox->setText(QString::number(gain, 'g'));
  UpdateDescription();
}

// The scroll bar lives while the record is stretched over more than one width.
void Event::SyncScrollBar() {
  if (zoom <= 1) {
    delete scrollBar;
  } else if (!scrollBar) {
    scrollBar = new QScrollBar(Qt::Horizontal, this);
    scrollBar->setObjectName(ControlName(kScrollBarId));
    scrollBar->setRange(0, 100);
    scrollBar->setSingleStep(1);
    scrollBar->setPageStep(10);
    scrollBar->setAccessibleName(tr("Time scroll"));
    scrollBar->setAccessibleDescription(tr("Moves the stretched seismogram left and right"));
    PlaceScrollBar();
    connect(scrollBar, &QScrollBar::valueChanged, this, &Event::Scroll);
  }
  if (scrollBar) {
    scrollBar->show();
    scrollFraction = ScrollFractionFor(static_cast<float>(zoom), scrollBar->value());
  } else {
    scrollFraction = 0.0f;
  }
}

void Event::PlaceScrollBar() {
  const int x = 14 * charWidth;
  scrollBar->setGeometry(x, axisStrip.top + textHeight - 1, clientArea.Width() - x - 1,
                         style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar));
}

void Event::CreateControls() {
  gainBox = MakeValueBox(this, kGainId, tr("Gain"), tr("Amplification of the trace"));
  gainSpin = MakeUpDown(this, kGainId, 1, kMaximumGain, TruncToInt(gain), tr("Gain up-down"),
                        tr("Up amplifies the trace, down reduces it"));
  gainSpin->SetHandler([this](int p, int d) { return GainStep(p, d); });
  zoomBox = MakeValueBox(this, kZoomBoxId, tr("Zoom"), tr("Stretch of the time axis"));
  zoomSpin = MakeUpDown(this, kZoomSpinId, 1, kMaximumZoom, zoom, tr("Zoom up-down"),
                        tr("Up stretches the time axis, down compresses it"));
  zoomSpin->SetHandler([this](int p, int d) { return ZoomStep(p, d); });
  layoutPending = true;
  for (QWidget* control : {static_cast<QWidget*>(gainBox), static_cast<QWidget*>(gainSpin),
                           static_cast<QWidget*>(zoomBox), static_cast<QWidget*>(zoomSpin)})
    control->show();
}

// The controls stand in the strip under the trace of the current layout: the
// gain box and its up-down at the left, the zoom box and its up-down beside
// them, the scroll bar to their right.
void Event::PlaceControls() {
  const int y0 = axisStrip.top + charWidth / 2;
  const int xg = axisStrip.left;
  const int xz = xg + 6 * charWidth + 2;
  const QSize boxSize(4 * charWidth, textHeight + 3);
  const QSize spinSize(2 * charWidth, TruncToInt(1.8 * textHeight));
  gainBox->setGeometry(QRect(QPoint(xg, y0), boxSize));
  gainSpin->setGeometry(QRect(QPoint(xg + 4 * charWidth, y0), spinSize));
  zoomBox->setGeometry(QRect(QPoint(xz, y0), boxSize));
  zoomSpin->setGeometry(QRect(QPoint(xz + 4 * charWidth, y0), spinSize));
  if (scrollBar) PlaceScrollBar();
}

void Event::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    Pick(event->position().toPoint().x());
    return;
  }
  QWidget::mousePressEvent(event);
}

// A click anywhere in the window picks the sample under the mouse's column:
// its time after the reference time becomes t0.
void Event::Pick(int mx) {
  if (sampleCount <= 0) return;
  const std::optional<std::int64_t> index = SampleIndexAt(mx - traceArea.left, scrollOffset, pixelsPerSample);
  if (!index) return;
  const bool discarded = SetStudentPick(record, SampleSeconds(*index, delta, FirstSampleSeconds(record)));
  update();
  emit picked();
  if (discarded) emit trialsDiscarded();
}

void Event::Scroll() {
  if (!scrollBar) return;
  zoom = std::max(1, zoom);
  scrollFraction = ScrollFractionFor(static_cast<float>(zoom), scrollBar->value());
  update();
}

bool Event::ZoomStep(int position, int step) {
  const int v = std::clamp(position + step, 1, kMaximumZoom);
  zoomSpin->SetPosition(v);
  zoom = v;
  zoomBox->setText(QString::number(v));
  update();
  return true;
}

bool Event::GainStep(int position, int step) {
  const int v = std::clamp(position + step, 1, kMaximumGain);
  gainSpin->SetPosition(v);
  gain = static_cast<float>(v);
  gainBox->setText(QString::number(v));
  update();
  return true;
}

void Event::UpdateDescription() {
  const QString description = QString::fromLatin1(TraceDescription(record, TextPrecision::kTenths).c_str());
  if (description != accessibleDescription()) setAccessibleDescription(description);
}

}  // namespace orvane
