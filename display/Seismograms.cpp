#include "display/Seismograms.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

#include "display/ControlNames.h"
#include "display/SeismogramWindowAccessible.h"
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
      gains(records.size(), 1) {
  UpdateDescription();
}

Seismograms::~Seismograms() = default;

int Seismograms::GainOfRow(int row) const {
  if (row < 0 || row >= recordCount) return 1;
  return gains[static_cast<std::size_t>(row)];
}

void Seismograms::SetCompact(bool on) {
  if (on == compact) return;
  compact = on;
  layoutPending = true;
  update();
}

void Seismograms::paintEvent(QPaintEvent* event) {
  Surface surface(*this);
  if (!surface.IsActive()) return;
  const TextMetrics metrics = surface.GetTextMetrics();
  const int scrollBarExtent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  layout = LayOutSeismograms(width(), height(), metrics, recordCount, Mode(), firstRow, scrollBarExtent);
  firstRow = layout.rows.firstRow;
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
  // A new layout places the scroll bars anew.
  if (layoutPending) delete scrollBar;
  SyncScrollBar(leftMargin, tr("Moves the stretched seismograms left and right"));
  SyncRowScrollBar();

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
  PaintKeyFocus(surface);
}

void Seismograms::RebuildControls() {
  const int y0 = axisStrip.top + charWidth / 2;
  const int h = GainControlHeight(textHeight);
  const QSize boxSize(3 * charWidth, textHeight + 3);
  const QSize spinSize(2 * charWidth, h);

  delete zoomBox;
  delete zoomSpin;
  MakeZoomControls(kMaximumZoom, TruncToInt(zoom), tr("Stretch of the time axis of all seismograms"));
  zoomBox->setGeometry(QRect(QPoint(clientArea.left, y0), boxSize));
  zoomBox->show();
  zoomSpin->setGeometry(QRect(QPoint(clientArea.left + 3 * charWidth, y0), spinSize));
  zoomSpin->show();

  // One gain control beside every row shown, where the rows are tall enough
  // for them; scrolling hands the same controls the rows that come into view.
  qDeleteAll(gainBoxes);
  qDeleteAll(gainSpins);
  gainBoxes.clear();
  gainSpins.clear();
  const RowGeometry& rows = layout.rows;
  if (!rows.gainControls) return;
  for (int slot = 0; slot < rows.visibleRows; ++slot) {
    const int top = GainControlTop(RowBandAt(slot, rows.rowHeight), rows.rowHeight, textHeight) + topMargin;
    auto* box = MakeValueBox(this, kGainId, QString(), QString());
    box->setGeometry(QRect(QPoint(0, top), boxSize));
    box->show();
    UpDown* spin = MakeUpDown(this, kGainId, 1, kMaximumGain, 1, QString(), QString());
    spin->setGeometry(QRect(QPoint(3 * charWidth, top), spinSize));
    spin->SetHandler([this, spin](int p, int d) { return GainStep(spin, p, d); });
    spin->show();
    gainBoxes.push_back(box);
    gainSpins.push_back(spin);
  }
  ShowRowGains();
}

// Every gain control shows the gain of the row beside it: a row keeps its
// gain through a new layout and through scrolling.
void Seismograms::ShowRowGains() {
  for (std::size_t slot = 0; slot < gainSpins.size(); ++slot) {
    const int row = firstRow + static_cast<int>(slot);
    const int gain = GainOfRow(row);
    gainBoxes[slot]->setText(QString::number(gain));
    gainBoxes[slot]->setAccessibleName(tr("Gain of row %1").arg(row + 1));
    gainBoxes[slot]->setAccessibleDescription(tr("Amplification of the seismogram in row %1").arg(row + 1));
    gainSpins[slot]->SetPosition(gain);
    gainSpins[slot]->setAccessibleName(tr("Gain up-down of row %1").arg(row + 1));
    gainSpins[slot]->setAccessibleDescription(
        tr("Up amplifies the seismogram in row %1, down reduces it").arg(row + 1));
  }
}

void Seismograms::SyncRowScrollBar() {
  const RowGeometry& rows = layout.rows;
  if (layout.rowScrollArea.Width() <= 0) {
    delete rowScrollBar;
    return;
  }
  if (!rowScrollBar) {
    rowScrollBar = new QScrollBar(Qt::Vertical, this);
    rowScrollBar->setObjectName(QStringLiteral("rowScrollBar"));
    rowScrollBar->setAccessibleName(tr("Rows scroll"));
    rowScrollBar->setAccessibleDescription(tr("Moves through the rows of the seismograms, nearest station first"));
    connect(rowScrollBar, &QScrollBar::valueChanged, this, &Seismograms::ScrollRows);
  }
  const Rect& r = layout.rowScrollArea;
  rowScrollBar->setGeometry(r.left, r.top, r.Width(), r.Height());
  const QSignalBlocker quiet(rowScrollBar);
  rowScrollBar->setRange(0, rows.LastFirstRow());
  rowScrollBar->setPageStep(std::max(1, rows.visibleRows));
  rowScrollBar->setSingleStep(1);
  rowScrollBar->setValue(firstRow);
  rowScrollBar->show();
}

void Seismograms::ScrollRows(int first) {
  const int clamped = std::clamp(first, 0, layout.rows.LastFirstRow());
  if (clamped == firstRow) return;
  firstRow = clamped;
  layout.rows.firstRow = clamped;
  if (rowScrollBar && rowScrollBar->value() != clamped) rowScrollBar->setValue(clamped);
  ShowRowGains();
  UpdateDescription();
  update();
}

void Seismograms::ScrollRowIntoView(int row) {
  if (row < 0 || row >= recordCount) return;
  const int visible = std::max(1, layout.rows.visibleRows);
  if (row < firstRow)
    ScrollRows(row);
  else if (row >= firstRow + visible)
    ScrollRows(row - visible + 1);
}

QRect Seismograms::RowRect(int row) const {
  if (!layout.rows.Shows(row)) return QRect();
  const RowBand band = layout.rows.Band(row);
  return QRect(tracesArea.left, tracesArea.top + band.top, tracesArea.Width(), layout.rows.rowHeight);
}

int Seismograms::KeyRow() const {
  if (recordCount == 0) return -1;
  const auto found = std::find(records.begin(), records.end(), keyRecord);
  if (found != records.end()) return static_cast<int>(found - records.begin());
  return std::clamp(firstRow, 0, recordCount - 1);
}

KSAC* Seismograms::KeyRecord() const {
  const int row = KeyRow();
  return row < 0 ? nullptr : records[static_cast<std::size_t>(row)];
}

bool Seismograms::StepRow(int steps) {
  const int from = KeyRow();
  if (from < 0) return false;
  const int to = std::clamp(from + steps, 0, recordCount - 1);
  update(KeyFocusArea());
  keyRecord = records[static_cast<std::size_t>(to)];
  ScrollRowIntoView(to);
  update(KeyFocusArea());
  if (to != from) AnnounceKeyRow();
  return true;
}

void Seismograms::keyPressEvent(QKeyEvent* event) {
  // The keys work on the cursor's row: it comes into view first.
  if (CursorShown()) ScrollRowIntoView(KeyRow());
  SeismogramWindow::keyPressEvent(event);
}

void Seismograms::focusInEvent(QFocusEvent* event) {
  if (keyRecord == nullptr && recordCount > 0) keyRecord = records[static_cast<std::size_t>(KeyRow())];
  SeismogramWindow::focusInEvent(event);
  if (CursorShown()) {
    ScrollRowIntoView(KeyRow());
    AnnounceKeyRow();
  }
}

// Screen readers move with the cursor from row to row.
void Seismograms::AnnounceKeyRow() {
  if (!QAccessible::isActive()) return;
  if (QAccessibleInterface* row = SeismogramWindowAccessible::KeyInterfaceOf(this)) {
    QAccessibleEvent focus(row, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
  }
}

// As for a pick, the height alone chooses the row.
std::optional<int> Seismograms::RowUnder(QPoint at) const { return layout.RowAtY(at.y()); }

KSAC* Seismograms::RecordAt(const QPoint& at) const {
  const std::optional<int> row = RowUnder(at);
  return row ? records[static_cast<std::size_t>(*row)] : nullptr;
}

void Seismograms::wheelEvent(QWheelEvent* event) {
  if (event->modifiers() & Qt::ControlModifier) {
    // Ctrl+wheel stretches the time axis, a step a notch.
    wheelZoomAngle += event->angleDelta().y();
    const int steps = wheelZoomAngle / QWheelEvent::DefaultDeltasPerStep;
    wheelZoomAngle -= steps * QWheelEvent::DefaultDeltasPerStep;
    if (steps != 0) StepZoom(steps);
    event->accept();
    return;
  }
  // The wheel scrolls the rows, as it would over their scroll bar.
  if (rowScrollBar) {
    QCoreApplication::sendEvent(rowScrollBar, event);
    return;
  }
  SeismogramWindow::wheelEvent(event);
}

bool Seismograms::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // The row under the mouse, whole: also the lines its band has no room for.
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const KSAC* record = RecordAt(help->pos()))
      QToolTip::showText(help->globalPos(),
                         QString::fromLatin1(TraceDescriptionWithStart(*record, TextPrecision::kHundredths).c_str()),
                         this, RowRect(*RowUnder(help->pos())));
    else
      QToolTip::hideText();
    return true;
  }
  return SeismogramWindow::event(event);
}

// A click on a row picks that row's record at the time under the mouse; a
// click above the rows, or below the last one shown, picks nothing.
void Seismograms::Pick(QPoint at) {
  const std::optional<int> row = RowUnder(at);
  if (!row) return;
  KSAC& r = *records[static_cast<std::size_t>(*row)];
  const std::optional<float> seconds = SecondsOn(r, at.x());
  if (!seconds) return;
  const bool discarded = SetStudentPick(r, *seconds);
  RepaintRow(*row);
  AnnouncePick(discarded);
}

std::optional<float> Seismograms::SecondsOn(const KSAC& record, int x) const {
  return ClockPickSeconds(x - tracesArea.left, scrollOffset, pixelsPerSecond, record.alignOffset,
                          FirstSampleSeconds(record));
}

std::optional<float> Seismograms::PickSecondsAt(int x) const {
  const KSAC* record = KeyRecord();
  if (record == nullptr) return std::nullopt;
  return SecondsOn(*record, x);
}

void Seismograms::StepGain(int steps) {
  const int row = KeyRow();
  SetRowGain(row, GainOfRow(row) + steps);
}

void Seismograms::RepaintRow(int row) {
  if (!layout.rows.Shows(row) || layout.rows.rowHeight <= 0) return;
  if (!layout.rows.texts) {
    // Traces only: the traces swing over their neighbours' rows.
    update(QRect(tracesArea.left, tracesArea.top, tracesArea.Width(), tracesArea.Height()));
    return;
  }
  const RowBand band = layout.rows.Band(row);
  update(QRect(tracesArea.left, band.top + topMargin, tracesArea.Width(), band.bottom - band.top + 1));
}

bool Seismograms::GainStep(const UpDown* spin, int position, int step) {
  const auto found = std::find(gainSpins.begin(), gainSpins.end(), spin);
  if (found == gainSpins.end()) return false;
  const auto slot = static_cast<std::size_t>(found - gainSpins.begin());
  const int row = firstRow + static_cast<int>(slot);
  if (row >= recordCount) return false;
  SetRowGain(row, position + step);
  return true;
}

// The gain of row @p row, held within 1 … 32, shown by its gain control when
// the row has one in view.
void Seismograms::SetRowGain(int row, int gain) {
  if (row < 0 || row >= recordCount) return;
  const int v = std::clamp(gain, 1, kMaximumGain);
  gains[static_cast<std::size_t>(row)] = v;
  const int slot = row - firstRow;
  if (slot >= 0 && slot < static_cast<int>(gainSpins.size())) {
    gainSpins[static_cast<std::size_t>(slot)]->SetPosition(v);
    gainBoxes[static_cast<std::size_t>(slot)]->setText(QString::number(v));
  }
  RepaintRow(row);
}

// What a screen reader says of the window: the rows shown, each with what its
// band shows and what it had no room for.
void Seismograms::UpdateDescription() {
  const RowGeometry& rows = layout.rows;
  const bool painted = rows.rowHeight > 0;
  const int first = painted ? rows.firstRow : 0;
  const int last = painted ? std::min(recordCount, rows.firstRow + rows.visibleRows) : recordCount;
  QString description = tr("%n seismogram(s), nearest station first.", nullptr, recordCount);
  if (painted && rows.Scrolls()) description += tr(" Rows %1 to %2 shown.").arg(first + 1).arg(last);
  for (int row = first; row < last; ++row) {
    const KSAC& r = *records[static_cast<std::size_t>(row)];
    const bool startShown = !painted || layout.TextsOf(r, row).Shown(kReferenceLine);
    const std::string text = startShown ? TraceDescription(r, TextPrecision::kHundredths)
                                        : TraceDescriptionWithStart(r, TextPrecision::kHundredths);
    description += QLatin1Char(' ') + QString::fromLatin1(text.c_str());
  }
  if (description != accessibleDescription()) setAccessibleDescription(description);
}

}  // namespace orvane
