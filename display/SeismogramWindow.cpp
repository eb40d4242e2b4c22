#include "display/SeismogramWindow.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "display/ControlNames.h"
#include "display/FilterDialog.h"
#include "display/KeyFocus.h"
#include "display/SeismogramWindowAccessible.h"
#include "display/TraceLayout.h"
#include "display/TraceTexts.h"
#include "display/UpDown.h"
#include "location/Picking.h"
#include "seismogram/BandPassFilter.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {
namespace {

// The keyboard cursor's trace is tinted pale yellow and the cursor drawn in
// magenta, a colour no mark of the pictures uses; both multiply the colours
// under them, so black stays black.
constexpr QRgb kKeyTraceTint = qRgb(255, 244, 176);
constexpr QRgb kCursorInk = qRgb(200, 0, 200);

// A bar in the margin left of the trace, at least 9 pixels high, finds a row
// of a pixel or two.
QRect KeyBar(const QRect& trace, int charWidth) {
  return QRect(trace.left() - charWidth / 2 - 5, std::min(trace.top(), trace.center().y() - 4), 3,
               std::max(trace.height(), 9));
}

}  // namespace

SeismogramWindow::SeismogramWindow(const QString& title, const QString& name, QWidget* parent) : QWidget(parent) {
  SeismogramWindowAccessible::Install();
  setWindowTitle(title);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName(name);
  setFocusPolicy(Qt::StrongFocus);  // the keys pick on its traces
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

void SeismogramWindow::ClearPick(KSAC& record) {
  const bool discarded = ClearStudentPick(record);
  update();
  AnnouncePick(discarded);
}

void SeismogramWindow::SetLeftOut(KSAC& record, bool leftOut) {
  const bool discarded = SetStudentLeftOut(record, leftOut);
  update();
  AnnouncePick(discarded);
}

void SeismogramWindow::contextMenuEvent(QContextMenuEvent* event) {
  KSAC* record = RecordAt(event->pos());
  if (record == nullptr) return;
  QMenu menu(this);
  menu.setAccessibleName(tr("Seismogram %1").arg(QString::fromLatin1(SpokenStationLabel(*record).c_str())));
  QAction* clear = menu.addAction(tr("Clear pick"));
  clear->setShortcut(QKeySequence(Qt::Key_Delete));
  clear->setEnabled(HasPick(*record));
  QAction* leave = menu.addAction(tr("Leave out of the location"));
  leave->setShortcut(QKeySequence(Qt::Key_L));
  leave->setCheckable(true);
  leave->setChecked(record->leftOut);
  AddFilterMenu(menu, *record);
  // The event may be closed (and this window with it) while the menu is up.
  const QPointer<SeismogramWindow> alive(this);
  const QAction* chosen = menu.exec(event->globalPos());
  if (!alive || chosen == nullptr) return;
  if (chosen == clear)
    ClearPick(*record);
  else if (chosen == leave)
    SetLeftOut(*record, !record->leftOut);
}

std::span<const BandPass> SeismogramWindow::FilterPresets() {
  static constexpr BandPass kPresets[] = {{0.5, 2.0, 4}, {1.0, 5.0, 4}, {2.0, 8.0, 4}};
  return kPresets;
}

// The Filter submenu of @p record's trace; each item does its work itself.
void SeismogramWindow::AddFilterMenu(QMenu& menu, KSAC& record) {
  menu.addSeparator();
  QMenu* filters = menu.addMenu(tr("&Filter"));
  const QString station = QString::fromLatin1(SpokenStationLabel(record).c_str());
  filters->setAccessibleName(tr("Filter of %1").arg(station));
  // The event may be closed while the menu is up: the items act only on a
  // window (and so on records) that is still there.
  const auto choice = [this, &record, filters](const QString& text, const std::optional<BandPass>& band) {
    QAction* item = filters->addAction(text);
    item->setCheckable(true);
    item->setChecked(record.filter == band);
    connect(item, &QAction::triggered, this, [this, &record, band] { SetFilter(record, band); });
  };
  choice(tr("&No filter"), std::nullopt);
  for (const BandPass& preset : FilterPresets())
    choice(QString::fromLatin1(FilterText(preset).c_str()), preset);
  const bool custom =
      record.filter && std::find(FilterPresets().begin(), FilterPresets().end(), *record.filter) == FilterPresets().end();
  QAction* other = filters->addAction(custom ? tr("&Custom (%1)...").arg(QString::fromLatin1(FilterText(*record.filter).c_str()))
                                             : tr("&Custom..."));
  other->setCheckable(true);
  other->setChecked(custom);
  // The dialog opens once the menu has gone.
  connect(other, &QAction::triggered, this, [this, &record] { ChooseCustomFilter(record); }, Qt::QueuedConnection);
  if (AllRecords().size() > 1) {
    filters->addSeparator();
    QAction* all = filters->addAction(tr("&Apply to all rows"));
    all->setToolTip(tr("Every row drawn through the filter of this one"));
    const std::optional<BandPass> band = record.filter;
    connect(all, &QAction::triggered, this, [this, band] { SetFilterOfAll(band); });
  }
}

void SeismogramWindow::ChooseCustomFilter(KSAC& record) {
  const QString station = QString::fromLatin1(SpokenStationLabel(record).c_str());
  const QPointer<FilterDialog> dialog =
      new FilterDialog(this, station, record.filter.value_or(FilterPresets()[1]), record.GetFloatHeader(KSAC::DELTA));
  const QPointer<SeismogramWindow> alive(this);
  const int result = dialog->exec();
  // Closing the event takes the window, the dialog and the record with it.
  if (!alive || !dialog) return;
  const BandPass band = dialog->Band();
  delete dialog;
  if (result == QDialog::Accepted) SetFilter(record, band);
}

namespace {

// Why @p record cannot be drawn through @p band, or nothing.
std::optional<std::string> FilterRefusal(const KSAC& record, const std::optional<BandPass>& band) {
  if (!band) return std::nullopt;
  std::string reason;
  if (BandPassFilter::Design(*band, record.GetFloatHeader(KSAC::DELTA), reason)) return std::nullopt;
  return reason;
}

}  // namespace

bool SeismogramWindow::SetFilter(KSAC& record, const std::optional<BandPass>& band) {
  if (const std::optional<std::string> why = FilterRefusal(record, band)) {
    emit message(tr("No filter %1 for %2: %3.")
                     .arg(QString::fromLatin1(FilterText(*band).c_str()),
                          QString::fromLatin1(SpokenStationLabel(record).c_str()), QString::fromStdString(*why)));
    return false;
  }
  if (record.filter == band) return true;
  record.filter = band;
  ShowFilters();
  update();
  emit filterChanged();
  return true;
}

int SeismogramWindow::SetFilterOfAll(const std::optional<BandPass>& band) {
  int taken = 0;
  bool changed = false;
  QStringList refused;
  std::string reason;
  for (KSAC* record : AllRecords()) {
    if (const std::optional<std::string> why = FilterRefusal(*record, band)) {
      refused << QString::fromLatin1(SpokenStationLabel(*record).c_str());
      reason = *why;
      continue;
    }
    ++taken;
    changed = changed || record->filter != band;
    record->filter = band;
  }
  if (changed) {
    ShowFilters();
    update();
    emit filterChanged();
  }
  if (!refused.isEmpty())
    emit message(tr("No filter %1 for %2 of %3 seismogram(s) (%4): %5.")
                     .arg(QString::fromLatin1(FilterText(*band).c_str()))
                     .arg(refused.size())
                     .arg(AllRecords().size())
                     .arg(refused.join(QStringLiteral(", ")), QString::fromStdString(reason)));
  return taken;
}

void SeismogramWindow::keyPressEvent(QKeyEvent* event) {
  // The keys read the trace as painted: a key that comes before the paint
  // of a new size (or the first) waits for it.
  if (layoutPending && isVisible()) repaint();
  if (CursorKey(*event)) {
    event->accept();
    return;
  }
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_L)) {
    // The cursor's trace while the cursor is shown, else the one under the pointer.
    if (KSAC* record = CursorShown() ? KeyRecord() : RecordAt(mapFromGlobal(QCursor::pos()))) {
      if (event->key() == Qt::Key_Delete)
        ClearPick(*record);
      else
        SetLeftOut(*record, !record->leftOut);
      event->accept();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

// The keys of the cursor; false for any other key.
bool SeismogramWindow::CursorKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
  if ((mods & ~Qt::ShiftModifier) != Qt::NoModifier) return false;
  const int step = mods & Qt::ShiftModifier ? 10 : 1;
  // A key shows the cursor when a click had hidden it; Enter then only shows
  // it, so that nothing is picked where the student could not see.
  const bool wasShown = CursorShown();
  switch (event.key()) {
    case Qt::Key_Left: cursorWanted = true; PlaceCursor(CursorOnAxis() - step); return true;
    case Qt::Key_Right: cursorWanted = true; PlaceCursor(CursorOnAxis() + step); return true;
    case Qt::Key_Home: cursorWanted = true; PlaceCursor(0); return true;
    case Qt::Key_End: cursorWanted = true; PlaceCursor(std::numeric_limits<long long>::max()); return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (!StepRow(event.key() == Qt::Key_Up ? -1 : 1)) return false;
      cursorWanted = true;
      update(KeyFocusArea());
      return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:  // + without Shift
      StepZoom(1);
      return true;
    case Qt::Key_Minus:
      StepZoom(-1);
      return true;
    case Qt::Key_PageUp: StepGain(1); return true;
    case Qt::Key_PageDown: StepGain(-1); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      cursorWanted = true;
      const QRect trace = KeyTrace();
      if (wasShown && !trace.isEmpty()) Pick(QPoint(trace.left() + cursorColumn, trace.center().y()));
      update(KeyFocusArea());
      if (!wasShown) AnnounceCursor();
      return true;
    }
    default: return false;
  }
}

int SeismogramWindow::ScrollOffsetAt(int position, int width) const {
  const float zoom = std::max(1.0f, TimeStretch());
  return ScrollOffsetFor(width, ScrollFractionFor(zoom, position), zoom);
}

long long SeismogramWindow::CursorOnAxis() const {
  const int offset = scrollBar ? ScrollOffsetAt(scrollBar->value(), KeyTrace().width()) : 0;
  return static_cast<long long>(cursorColumn) + offset;
}

void SeismogramWindow::PlaceCursor(long long x) {
  const QRect trace = KeyTrace();
  if (trace.isEmpty()) return;
  const int width = trace.width();
  const double stretched = std::floor(static_cast<double>(width) * std::max(1.0f, TimeStretch()));
  x = std::clamp(x, 0LL, std::max(0LL, static_cast<long long>(stretched) - 1));
  int offset = 0;
  if (scrollBar) {
    // As little scrolling as brings the cursor into view.
    int position = scrollBar->value();
    while (position > scrollBar->minimum() && x < ScrollOffsetAt(position, width)) --position;
    while (position < scrollBar->maximum() && x - ScrollOffsetAt(position, width) >= width) ++position;
    offset = ScrollOffsetAt(position, width);
    if (position != scrollBar->value()) {
      scrollBar->setValue(position);
      repaint();  // the time under the cursor is read against the picture
    }
  }
  cursorColumn = static_cast<int>(std::clamp(x - offset, 0LL, static_cast<long long>(width - 1)));
  update(KeyFocusArea());
  AnnounceCursor();
}

std::optional<float> SeismogramWindow::CursorSeconds() const {
  if (!CursorShown()) return std::nullopt;
  const QRect trace = KeyTrace();
  if (trace.isEmpty()) return std::nullopt;
  return PickSecondsAt(trace.left() + cursorColumn);
}

QString SeismogramWindow::CursorText() const {
  const std::optional<float> seconds = CursorSeconds();
  if (!seconds) return QString();
  const QString time = QString::number(static_cast<double>(std::fabs(*seconds)), 'f', 2);
  return *seconds < 0.0f ? tr("Cursor at %1 s before the reference time").arg(time)
                         : tr("Cursor at %1 s after the reference time").arg(time);
}

void SeismogramWindow::AnnounceCursor() {
  if (!QAccessible::isActive()) return;
  QAccessibleInterface* trace = SeismogramWindowAccessible::KeyInterfaceOf(this);
  if (trace == nullptr) return;
  const std::optional<float> seconds = CursorSeconds();
  QAccessibleValueChangeEvent changed(trace, seconds ? QVariant(static_cast<double>(*seconds)) : QVariant());
  QAccessible::updateAccessibility(&changed);
}

QRect SeismogramWindow::KeyFocusArea() const {
  const QRect trace = KeyTrace();
  return trace.isEmpty() ? QRect() : trace.united(KeyBar(trace, charWidth));
}

void SeismogramWindow::PaintKeyFocus(Surface& surface) const {
  if (!CursorShown()) return;
  const QRect trace = KeyTrace();
  if (trace.isEmpty()) return;
  QPainter& painter = surface.Painter();
  painter.save();
  painter.resetTransform();
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(KeyBar(trace, charWidth), QColor(kCursorInk));
  painter.setCompositionMode(QPainter::CompositionMode_Multiply);
  painter.fillRect(trace, QColor(kKeyTraceTint));
  painter.fillRect(QRect(trace.left() + cursorColumn, trace.top(), 1, trace.height()), QColor(kCursorInk));
  painter.restore();
}

void SeismogramWindow::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  cursorWanted = KeyMarkWanted(event->reason(), cursorWanted);
  update(KeyFocusArea());
  if (CursorShown()) AnnounceCursor();
}

void SeismogramWindow::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update(KeyFocusArea());
}

// The menu key opens the context menu of the cursor's trace.
QVariant SeismogramWindow::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query == Qt::ImCursorRectangle && CursorShown()) {
    const QRect trace = KeyTrace();
    if (!trace.isEmpty()) return QRect(trace.left() + cursorColumn, trace.top(), 1, trace.height());
  }
  return QWidget::inputMethodQuery(query);
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

void SeismogramWindow::StepZoom(int steps) {
  if (zoomSpin != nullptr) ZoomStep(zoomSpin->Position(), steps);
}

bool SeismogramWindow::ZoomStep(int position, int step) {
  const int v = std::clamp(position + step, 1, zoomSpin->Maximum());
  const float before = std::max(1.0f, TimeStretch());
  const long long cursor = CursorOnAxis();
  zoomSpin->SetPosition(v);
  SetTimeStretch(v);
  zoomBox->setText(QString::number(v));
  update();
  const float after = std::max(1.0f, TimeStretch());
  if (CursorShown() && after != before) {
    // The cursor keeps its time: the paint brings (or takes away) the
    // scroll bar, then the cursor goes where its time now lies.
    repaint();
    PlaceCursor(std::llround(static_cast<double>(cursor) * after / before));
  }
  return true;
}

}  // namespace orvane
