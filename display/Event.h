#pragma once
// Event: the small window of one seismogram, placed by the main view beside
// its station. It shows the trace (EventPicture), takes the student's P pick
// with one click and carries a gain and a zoom control under the trace, and a
// horizontal scroll bar while zoomed.
//
// The main view wraps it in a QMdiSubWindow with SubWindowFlags() and a
// fixed size (the student cannot resize it); its window title is the
// record's file name (or the caption the main view gives it), followed by
// the band while the trace is drawn through a filter: "TAIG.sac [1-5 Hz]". It refers to the record without owning it. A pick that
// discards the trials of the event is announced with trialsDiscarded(), so
// that the main view repaints the globe.
//
// Controls, found by object name: "id11903" the gain box (QLineEdit) and the
// gain up-down (UpDown, 1–32), "id25011" the zoom box, "id11902" the zoom
// up-down (1–500), "id25010" the scroll bar (0–100, only while zoom > 1).
// The controls come with the first paint; the scroll bar is created and
// deleted by paints as the zoom crosses 1. When the main view resizes the
// window, the next paint places the controls under the trace again.

#include <cstdint>

#include "display/EventPicture.h"
#include "display/SeismogramWindow.h"
#include "platform/Rect.h"

class QLineEdit;

namespace orvane {

class KSAC;
class UpDown;

class Event : public SeismogramWindow {
  Q_OBJECT

 public:
  static constexpr int kGainId = 11903;
  static constexpr int kMaximumZoom = 500;

  /// @brief A window showing @p record, a child of @p parent (the main view).
  explicit Event(KSAC& record, QWidget* parent = nullptr);
  ~Event() override;

  KSAC& Record() const { return record; }
  /// @brief The window title without the filter's band; the window (and the
  /// sub-window that holds it) shows it with the band.
  void SetCaption(const QString& text);
  std::span<KSAC* const> AllRecords() const override { return std::span<KSAC* const>(&self, 1); }
  /// Its record, wherever @p at lies.
  KSAC* RecordAt(const QPoint& at) const override;
  /// The trace area.
  QRect KeyTrace() const override;
  KSAC* KeyRecord() const override { return &record; }
  int Zoom() const { return zoom; }
  float Gain() const { return gain; }
  /// The layout of the last paint (window coordinates).
  const EventLayout& Layout() const { return layout; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void Pick(QPoint at) override;
  std::optional<float> PickSecondsAt(int x) const override;
  void StepGain(int steps) override;
  float TimeStretch() const override { return static_cast<float>(zoom); }
  void SetTimeStretch(int stretch) override { zoom = stretch; }
  void ShowFilters() override;

 private:
  bool GainStep(int position, int delta);
  void CreateControls();
  void PlaceControls();
  void UpdateDescription();

  // The state of the window, as the model of the window names it.
  Rect traceArea;
  KSAC& record;
  KSAC* const self = &record;
  QString caption;
  int marginX = 0;
  int marginY = 0;
  QLineEdit* gainBox = nullptr;
  UpDown* gainSpin = nullptr;
  int zoom = 1;
  int traceWidth = 0;
  int traceHeight = 0;
  int scrollOffset = 0;
  std::int32_t sampleCount = 0;
  float pixelsPerSample = 0.0f;
  float delta = 0.0f;
  float gain = 1.0f;

  EventLayout layout;
};

}  // namespace orvane
