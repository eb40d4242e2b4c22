#include "display/Seismograms.h"

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

Seismograms::Seismograms(std::vector<KSAC*> shown, QWidget* parent)
    : QWidget(parent),
      records(std::move(shown)),
      recordCount(static_cast<int>(records.size())),
      gainBoxes(records.size(), nullptr),
      gainSpins(records.size(), nullptr),
      gains(records.size(), 1) {
  setWindowTitle(QStringLiteral("Seismograms"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(tr("Seismograms"));
  UpdateDescription();
}

Seismograms::~Seismograms() = default;

Qt::WindowFlags Seismograms::SubWindowFlags() {
  return Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
         Qt::WindowMinimizeButtonHint;
}

int Seismograms::GainOfRow(int row) const {
  if (row < 0 || row >= recordCount) return 1;
  return gains[static_cast<std::size_t>(row)];
}

void Seismograms::TrialLocated() { update(); }

void Seismograms::paintEvent(QPaintEvent* event) {
  Surface surface(*this);
  if (!surface.IsActive()) return;
  const TextMetrics metrics = surface.GetTextMetrics();
  layout = LayOutSeismograms(width(), height(), metrics, recordCount);
  clientArea = layout.clientArea;
  tracesArea = layout.tracesArea;
  axisStrip = layout.axisStrip;
  textHeight = layout.textHeight;
  charWidth = layout.charWidth;
  leftMargin = layout.leftMargin;
  topMargin = layout.topMargin;
  tracesWidth = tracesArea.Width();
  tracesHeight = tracesArea.Height();
  zoom = std::max(1.0f, zoom);
  SyncScrollBar();

  const QRect u = event->rect();
  const Rect invalid{u.left(), u.top(), u.left() + u.width(), u.top() + u.height()};
  const SeismogramsScale scale = PaintSeismogramsPicture(
      surface, layout, records, SeismogramsView{zoom, scrollFraction, gains}, invalid, &statistics);
  timeSpan = scale.timeSpan;
  pixelsPerSecond = scale.pixelsPerSecond;
  scrollOffset = scale.scrollOffset;

  if (layoutPending) {
    layoutPending = false;
    RebuildControls();
  }
  zoomBox->setText(QString::number(zoom, 'g'));
  UpdateDescription();
}

void Seismograms::resizeEvent(QResizeEvent*) {
  layoutPending = true;
  update();
}

// The scroll bar lives while the clock is stretched; a new layout places it anew.
void Seismograms::SyncScrollBar() {
  if (zoom <= 1.0f) {
    delete scrollBar;
  } else {
    if (layoutPending) delete scrollBar;
    if (!scrollBar) {
      scrollBar = new QScrollBar(Qt::Horizontal, this);
      scrollBar->setObjectName(ControlName(kScrollBarId));
      scrollBar->setRange(0, 100);
      scrollBar->setSingleStep(1);
      scrollBar->setPageStep(10);
      scrollBar->setAccessibleName(tr("Time scroll"));
      scrollBar->setAccessibleDescription(tr("Moves the stretched seismograms left and right"));
      scrollBar->setGeometry(leftMargin, axisStrip.top + textHeight - 1, clientArea.Width() - leftMargin - 1,
                             style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar));
      connect(scrollBar, &QScrollBar::valueChanged, this, &Seismograms::Scroll);
    }
  }
  if (scrollBar) {
    scrollBar->show();
    scrollFraction = ScrollFractionFor(zoom, scrollBar->value());
  } else {
    scrollFraction = 0.0f;
  }
}

void Seismograms::RebuildControls() {
  const int y0 = axisStrip.top + charWidth / 2;
  const int h = TruncToInt(1.8 * textHeight);
  const QSize boxSize(3 * charWidth, textHeight + 3);
  const QSize spinSize(2 * charWidth, h);

  delete zoomBox;
  zoomBox = MakeValueBox(this, kZoomBoxId, tr("Zoom"), tr("Stretch of the time axis of all seismograms"));
  zoomBox->setGeometry(QRect(QPoint(clientArea.left, y0), boxSize));
  zoomBox->show();
  delete zoomSpin;
  zoomSpin = MakeUpDown(this, kZoomSpinId, 1, kMaximumZoom, TruncToInt(zoom), tr("Zoom up-down"),
                        tr("Up stretches the time axis, down compresses it"));
  zoomSpin->setGeometry(QRect(QPoint(clientArea.left + 3 * charWidth, y0), spinSize));
  zoomSpin->SetHandler([this](int p, int d) { return ZoomStep(p, d); });
  zoomSpin->show();

  // Every row keeps its gain through a new layout: the box shows it and the
  // up-down starts from it.
  for (int row = 0; row < recordCount; ++row) {
    const auto i = static_cast<std::size_t>(row);
    const int c = RowBandAt(row, layout.rowHeight).centre + topMargin;
    delete gainBoxes[i];
    gainBoxes[i] = MakeValueBox(this, kGainId, tr("Gain of row %1").arg(row + 1),
                                tr("Amplification of the seismogram in row %1").arg(row + 1));
    gainBoxes[i]->setGeometry(QRect(QPoint(0, c - textHeight), boxSize));
    gainBoxes[i]->setText(QString::number(gains[i]));
    gainBoxes[i]->show();
    delete gainSpins[i];
    UpDown* spin = MakeUpDown(this, kGainId, 1, kMaximumGain, gains[i], tr("Gain up-down of row %1").arg(row + 1),
                              tr("Up amplifies the seismogram in row %1, down reduces it").arg(row + 1));
    spin->setGeometry(QRect(QPoint(3 * charWidth, c - textHeight), spinSize));
    spin->SetHandler([this, spin](int p, int d) { return GainStep(spin, p, d); });
    spin->show();
    gainSpins[i] = spin;
  }
}

void Seismograms::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint at = event->position().toPoint();
    Pick(at.x(), at.y());
    return;
  }
  QWidget::mousePressEvent(event);
}

// A click on a row picks that row's record at the time under the mouse; a
// click above the rows, or below the last one, picks nothing.
void Seismograms::Pick(int mx, int my) {
  const std::optional<int> row = RowAt(my, tracesArea.top, layout.rowHeight, recordCount);
  if (!row) return;
  KSAC& r = *records[static_cast<std::size_t>(*row)];
  const std::optional<float> seconds =
      ClockPickSeconds(mx - tracesArea.left, scrollOffset, pixelsPerSecond, r.alignOffset, FirstSampleSeconds(r));
  if (!seconds) return;
  const bool discarded = SetStudentPick(r, *seconds);
  RepaintRow(*row);
  emit picked();
  if (discarded) emit trialsDiscarded();
}

void Seismograms::RepaintRow(int row) {
  if (layout.rowHeight <= 0) return;
  const RowBand band = RowBandAt(row, layout.rowHeight);
  update(QRect(tracesArea.left, band.top + topMargin, tracesArea.Width(), band.bottom - band.top + 1));
}

void Seismograms::Scroll() {
  if (!scrollBar) return;
  zoom = std::max(1.0f, zoom);
  scrollFraction = ScrollFractionFor(zoom, scrollBar->value());
  update();
}

bool Seismograms::ZoomStep(int position, int step) {
  const int v = std::clamp(position + step, 1, kMaximumZoom);
  zoomSpin->SetPosition(v);
  zoom = static_cast<float>(v);
  zoomBox->setText(QString::number(zoom, 'g'));
  update();
  return true;
}

bool Seismograms::GainStep(const UpDown* spin, int position, int step) {
  const auto found = std::find(gainSpins.begin(), gainSpins.end(), spin);
  if (found == gainSpins.end()) return false;
  const auto row = static_cast<std::size_t>(found - gainSpins.begin());
  const int v = std::clamp(position + step, 1, kMaximumGain);
  gains[row] = v;
  gainSpins[row]->SetPosition(v);
  gainBoxes[row]->setText(QString::number(v));
  RepaintRow(static_cast<int>(row));
  return true;
}

void Seismograms::UpdateDescription() {
  QString description = tr("%n seismogram(s), nearest station first.", nullptr, recordCount);
  for (const KSAC* r : records)
    description += QLatin1Char(' ') + QString::fromLatin1(TraceDescription(*r, TextPrecision::kHundredths).c_str());
  if (description != accessibleDescription()) setAccessibleDescription(description);
}

}  // namespace orvane
