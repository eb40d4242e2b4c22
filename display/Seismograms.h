#pragma once
// Seismograms: all seismograms of the event in one resizable window, one row
// per record on a common clock, sorted by distance from the trial epicentre
// (SeismogramsPicture). A click picks on the row under the mouse, at the time
// under the mouse (not snapped to a sample); one zoom control serves all rows,
// a scroll bar appears while zoomed, and every row has a gain control that
// belongs to the row position, not to the record.
//
// The window is a plain QWidget that the main view wraps in a resizable
// QMdiSubWindow with SubWindowFlags(); its window title is "Seismograms". It
// keeps its own list of the records (not owned), which it reorders at every
// paint. A pick that discards the trials of the event is announced with
// trialsDiscarded().
//
// Controls, found by object name: "id25011" the zoom box, "id11902" the zoom
// up-down (1–10), "id11904" every row's gain box (QLineEdit) and gain up-down
// (UpDown, 1–32) in row order, "id25010" the scroll bar (0–100, while zoom > 1).
// The controls are rebuilt by the first paint after the window was created or
// resized.

#include <QPointer>
#include <QWidget>

#include <span>
#include <vector>

#include "display/SeismogramsPicture.h"
#include "display/TraceDrawing.h"
#include "platform/Rect.h"

class QLineEdit;
class QScrollBar;

namespace orvane {

class KSAC;
class UpDown;

class Seismograms : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kZoomBoxId = 25011;
  static constexpr int kZoomSpinId = 11902;
  static constexpr int kGainId = 11904;
  static constexpr int kScrollBarId = 25010;
  static constexpr int kMaximumZoom = 10;
  static constexpr int kMaximumGain = 32;

  /// @brief A window showing @p records, a child of @p parent (the main view).
  explicit Seismograms(std::vector<KSAC*> records, QWidget* parent = nullptr);
  ~Seismograms() override;

  /// @brief Flags of the sub-window that hosts it: caption, system menu and
  /// minimize box; it keeps its sizing border.
  static Qt::WindowFlags SubWindowFlags();

  /// The records in row order (nearest first since the last paint).
  std::span<KSAC* const> Records() const { return records; }
  float Zoom() const { return zoom; }
  float ScrollFraction() const { return scrollFraction; }
  /// The gain of row position @p row (1 outside the rows).
  int GainOfRow(int row) const;
  /// The layout of the last paint (window coordinates).
  const SeismogramsLayout& Layout() const { return layout; }

 public slots:
  /// @brief The trial location changed t1, t2 and gcarc: re-sort and repaint now.
  void TrialLocated();

 signals:
  /// A pick emptied trialList; the main view repaints.
  void trialsDiscarded();
  /// The student set a pick (the misfit map, for one, follows it).
  void picked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Pick(int mx, int my);
  void Scroll();
  bool ZoomStep(int position, int delta);
  bool GainStep(const UpDown* spin, int position, int delta);
  void SyncScrollBar();
  void RebuildControls();
  void RepaintRow(int row);
  void UpdateDescription();

  // The state of the window, as the model of the window names it.
  QPointer<QScrollBar> scrollBar;
  Rect clientArea;
  Rect tracesArea;
  Rect axisStrip;
  int textHeight = 0;
  int charWidth = 0;
  std::vector<KSAC*> records;
  int recordCount = 0;
  float timeSpan = 0.0f;
  bool layoutPending = true;
  int leftMargin = 0;
  int topMargin = 0;
  std::vector<QLineEdit*> gainBoxes;
  std::vector<UpDown*> gainSpins;
  QLineEdit* zoomBox = nullptr;
  UpDown* zoomSpin = nullptr;
  float zoom = 1.0f;
  float scrollFraction = 0.0f;
  std::vector<int> gains;
  int tracesWidth = 0;
  int tracesHeight = 0;
  int scrollOffset = 0;
  float pixelsPerSecond = 0.0f;

  SeismogramsLayout layout;
  SampleStatisticsCache statistics;
};

}  // namespace orvane
