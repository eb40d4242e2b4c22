#include "display/Seismograms.h"

#include <QLineEdit>
#include <QPaintEvent>
#include <QScrollBar>

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
    : SeismogramWindow(QStringLiteral("Seismograms"), tr("Seismograms"), parent),
      records(std::move(shown)),
      recordCount(static_cast<int>(records.size())),
      gainBoxes(records.size(), nullptr),
      gainSpins(records.size(), nullptr),
      gains(records.size(), 1) {
  UpdateDescription();
}

Seismograms::~Seismograms() = default;

int Seismograms::GainOfRow(int row) const {
  if (row < 0 || row >= recordCount) return 1;
  return gains[static_cast<std::size_t>(row)];
}

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
  // A new layout places the scroll bar anew.
  if (layoutPending) delete scrollBar;
  SyncScrollBar(leftMargin, tr("Moves the stretched seismograms left and right"));

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

void Seismograms::RebuildControls() {
  const int y0 = axisStrip.top + charWidth / 2;
  const int h = TruncToInt(1.8 * textHeight);
  const QSize boxSize(3 * charWidth, textHeight + 3);
  const QSize spinSize(2 * charWidth, h);

  delete zoomBox;
  delete zoomSpin;
  MakeZoomControls(kMaximumZoom, TruncToInt(zoom), tr("Stretch of the time axis of all seismograms"));
  zoomBox->setGeometry(QRect(QPoint(clientArea.left, y0), boxSize));
  zoomBox->show();
  zoomSpin->setGeometry(QRect(QPoint(clientArea.left + 3 * charWidth, y0), spinSize));
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

// A click on a row picks that row's record at the time under the mouse; a
// click above the rows, or below the last one, picks nothing.
void Seismograms::Pick(QPoint at) {
  const std::optional<int> row = RowAt(at.y(), tracesArea.top, layout.rowHeight, recordCount);
  if (!row) return;
  KSAC& r = *records[static_cast<std::size_t>(*row)];
  const std::optional<float> seconds =
      ClockPickSeconds(at.x() - tracesArea.left, scrollOffset, pixelsPerSecond, r.alignOffset, FirstSampleSeconds(r));
  if (!seconds) return;
  const bool discarded = SetStudentPick(r, *seconds);
  RepaintRow(*row);
  AnnouncePick(discarded);
}

void Seismograms::RepaintRow(int row) {
  if (layout.rowHeight <= 0) return;
  const RowBand band = RowBandAt(row, layout.rowHeight);
  update(QRect(tracesArea.left, band.top + topMargin, tracesArea.Width(), band.bottom - band.top + 1));
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
