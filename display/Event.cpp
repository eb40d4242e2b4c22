#include "display/Event.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPaintEvent>

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
namespace {

// The scroll bar begins right of the gain and zoom controls.
int ScrollBarLeft(int charWidth) { return 14 * charWidth; }

}  // namespace

Event::Event(KSAC& shown, QWidget* parent)
    : SeismogramWindow(QString::fromLocal8Bit(shown.fileName.c_str()),
                       tr("Seismogram %1").arg(QString::fromLatin1(SpokenStationLabel(shown).c_str())), parent),
      record(shown),
      caption(windowTitle()) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  ShowFilters();
}

void Event::SetCaption(const QString& text) {
  caption = text;
  ShowFilters();
}

void Event::ShowFilters() {
  setWindowTitle(caption + QString::fromLatin1(FilterTag(record).c_str()));
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) frame->setWindowTitle(windowTitle());
  UpdateDescription();
}

Event::~Event() = default;

KSAC* Event::RecordAt(const QPoint&) const { return &record; }

QRect Event::KeyTrace() const { return QRect(traceArea.left, traceArea.top, traceArea.Width(), traceArea.Height()); }

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
  SyncScrollBar(ScrollBarLeft(charWidth), tr("Moves the stretched seismogram left and right"));

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
  PaintKeyFocus(surface);
}

void Event::CreateControls() {
  gainBox = MakeValueBox(this, kGainId, tr("Gain"), tr("Amplification of the trace"));
  gainSpin = MakeUpDown(this, kGainId, 1, kMaximumGain, TruncToInt(gain), tr("Gain up-down"),
                        tr("Up amplifies the trace, down reduces it"));
  gainSpin->SetHandler([this](int p, int d) { return GainStep(p, d); });
  MakeZoomControls(kMaximumZoom, zoom, tr("Stretch of the time axis"));
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
  PlaceScrollBar(ScrollBarLeft(charWidth));
}

// A click anywhere in the window picks the sample under the mouse's column:
// its time after the reference time becomes t0.
void Event::Pick(QPoint at) {
  const std::optional<float> seconds = PickSecondsAt(at.x());
  if (!seconds) return;
  const bool discarded = SetStudentPick(record, *seconds);
  update();
  AnnouncePick(discarded);
}

std::optional<float> Event::PickSecondsAt(int x) const {
  if (sampleCount <= 0) return std::nullopt;
  const std::optional<std::int64_t> index = SampleIndexAt(x - traceArea.left, scrollOffset, pixelsPerSample);
  if (!index) return std::nullopt;
  return SampleSeconds(*index, delta, FirstSampleSeconds(record));
}

void Event::StepGain(int steps) {
  if (gainSpin != nullptr) GainStep(gainSpin->Position(), steps);
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
