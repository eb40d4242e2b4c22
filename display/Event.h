#pragma once
// Event: the small window of one seismogram, placed by the main view beside
// its station. It shows the trace (EventPicture), takes the student's P pick
// with one click and carries a gain and a zoom control under the trace, and a
// horizontal scroll bar while zoomed.
//
// The window is a plain QWidget that the main view wraps in a QMdiSubWindow
// with SubWindowFlags() and a fixed size (the student cannot resize it); its
// window title is the record's file name. It refers to the record without
// owning it. A pick that discards the trials of the event is announced with
// trialsDiscarded(), so that the main view repaints the globe.
//
// Controls, found by object name: "id11903" the gain box (QLineEdit) and the
// gain up-down (UpDown, 1–32), "id25011" the zoom box, "id11902" the zoom
// up-down (1–500), "id25010" the scroll bar (0–100, only while zoom > 1).
// The controls come with the first paint; the scroll bar is created and
// deleted by paints as the zoom crosses 1. When the main view resizes the
// window, the next paint places the controls under the trace again.

#include <QPointer>
#include <QWidget>

#include <cstdint>

#include "display/EventPicture.h"
#include "display/TraceDrawing.h"
#include "platform/Rect.h"

class QLineEdit;
class QScrollBar;

namespace orvane {

class KSAC;
class UpDown;

class Event : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kGainId = 11903;
  static constexpr int kZoomBoxId = 25011;
  static constexpr int kZoomSpinId = 11902;
  static constexpr int kScrollBarId = 25010;
  static constexpr int kMaximumZoom = 500;
  static constexpr int kMaximumGain = 32;

  /// @brief A window showing @p record, a child of @p parent (the main view).
  explicit Event(KSAC& record, QWidget* parent = nullptr);
  ~Event() override;

  /// @brief Flags of the sub-window that hosts it: caption, system menu and
  /// minimize box, no maximize box; the host gives it a fixed size.
  static Qt::WindowFlags SubWindowFlags();

  KSAC& Record() const { return record; }
  int Zoom() const { return zoom; }
  float Gain() const { return gain; }
  float ScrollFraction() const { return scrollFraction; }
  /// The layout of the last paint (window coordinates).
  const EventLayout& Layout() const { return layout; }

 public slots:
  /// @brief The trial location changed t1, t2 and gcarc: repaint now, with the globe.
  void TrialLocated();

 signals:
  /// A pick emptied trialList; the main view repaints.
  void trialsDiscarded();
  /// The student set a pick (the misfit map, for one, follows it).
  void picked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Pick(int mx);
  void Scroll();
  bool ZoomStep(int position, int delta);
  bool GainStep(int position, int delta);
  void SyncScrollBar();
  void CreateControls();
  void PlaceControls();
  void PlaceScrollBar();
  void UpdateDescription();

  // The state of the window, as the model of the window names it.
  QPointer<QScrollBar> scrollBar;
  Rect clientArea;
  Rect traceArea;
  Rect axisStrip;
  int textHeight = 0;
  int charWidth = 0;
  KSAC& record;
  int marginX = 0;
  int marginY = 0;
  QLineEdit* gainBox = nullptr;
  QLineEdit* zoomBox = nullptr;
  UpDown* zoomSpin = nullptr;
  UpDown* gainSpin = nullptr;
  int zoom = 1;
  float scrollFraction = 0.0f;
  int traceWidth = 0;
  int traceHeight = 0;
  int scrollOffset = 0;
  std::int32_t sampleCount = 0;
  float pixelsPerSample = 0.0f;
  float delta = 0.0f;
  float gain = 1.0f;
  bool layoutPending = true;  ///< the controls still stand where an earlier size put them

  EventLayout layout;
  SampleStatisticsCache statistics;
};

}  // namespace orvane
