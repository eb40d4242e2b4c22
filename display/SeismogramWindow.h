#pragma once
// SeismogramWindow: what every seismogram window of the main view is (Event,
// one station; Seismograms, all stations in rows). A window is a plain
// QWidget that the main view wraps in a QMdiSubWindow with SubWindowFlags().
// It tells the main view of the student's picks through its signals, and the
// main view tells it when a trial was located. A left click is a pick at the
// point clicked (Pick). Under the trace(s) it carries the zoom box and
// up-down, and a time scroll bar while the time axis is stretched.
//
// Controls, found by object name: "id25011" the zoom box (QLineEdit),
// "id11902" the zoom up-down (UpDown, 1 to the window's maximum), "id25010"
// the scroll bar (0–100, only while zoom > 1).

#include <QPointer>
#include <QWidget>

#include "display/TraceDrawing.h"
#include "platform/Rect.h"

class QLineEdit;
class QScrollBar;

namespace orvane {

class UpDown;

class SeismogramWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kZoomBoxId = 25011;
  static constexpr int kZoomSpinId = 11902;
  static constexpr int kScrollBarId = 25010;
  static constexpr int kMaximumGain = 32;

  ~SeismogramWindow() override;

  /// @brief Flags of the sub-window that hosts a seismogram window: caption,
  /// system menu and minimize box, no maximize box.
  static Qt::WindowFlags SubWindowFlags();

  /// The part of the stretched time axis scrolled past (0 at zoom 1).
  float ScrollFraction() const { return scrollFraction; }

 public slots:
  /// @brief The trial location changed t1, t2 and gcarc: repaint now, with the globe.
  void TrialLocated();

 signals:
  /// A pick emptied trialList; the main view repaints.
  void trialsDiscarded();
  /// The student set a pick (the misfit map, for one, follows it).
  void picked();

 protected:
  /// @brief A window with @p title (its sub-window's caption) and the
  /// accessible name @p name, a child of @p parent (the main view).
  SeismogramWindow(const QString& title, const QString& name, QWidget* parent);

  /// @brief The left click at @p at (window coordinates): the student's pick.
  virtual void Pick(QPoint at) = 0;
  /// The stretch of the time axis (1: the whole time span fills the width).
  virtual float TimeStretch() const = 0;
  /// @brief The zoom up-down chose the stretch @p zoom.
  virtual void SetTimeStretch(int zoom) = 0;

  /// @brief Tells the main view of a pick; @p discarded: it emptied trialList.
  void AnnouncePick(bool discarded);

  /// @brief The time scroll bar lives while the time axis is stretched: made
  /// (from @p left to the right edge of the axis strip, read out as
  /// @p description) or removed as TimeStretch() crosses 1. Sets scrollFraction.
  void SyncScrollBar(int left, const QString& description);
  /// @brief Places the scroll bar, if there is one, from @p left in the axis
  /// strip of the current layout.
  void PlaceScrollBar(int left);
  /// @brief Makes the zoom box (read out as @p description) and the zoom
  /// up-down over 1 … @p maximum, starting at @p position; the caller places them.
  void MakeZoomControls(int maximum, int position, const QString& description);

  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  // The state both windows share, as the model of the windows names it.
  QPointer<QScrollBar> scrollBar;
  Rect clientArea;
  Rect axisStrip;
  int textHeight = 0;
  int charWidth = 0;
  QLineEdit* zoomBox = nullptr;
  UpDown* zoomSpin = nullptr;
  float scrollFraction = 0.0f;
  bool layoutPending = true;  ///< the controls still stand where an earlier size put them
  SampleStatisticsCache statistics;

 private:
  void Scroll();
  bool ZoomStep(int position, int step);
};

}  // namespace orvane
