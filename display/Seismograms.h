#pragma once
// Seismograms: all seismograms of the event in one resizable window, one row
// per record on a common clock, sorted by distance from the trial epicentre
// (SeismogramsPicture). A click picks on the row under the mouse, at the time
// under the mouse (not snapped to a sample); one zoom control serves all rows,
// a scroll bar appears while zoomed, and every row has a gain control that
// belongs to the row position, not to the record.
//
// The main view wraps it in a resizable QMdiSubWindow with
// SubWindowFlags(); its window title is "Seismograms". It
// keeps its own list of the records (not owned), which it reorders at every
// paint. A pick that discards the trials of the event is announced with
// trialsDiscarded().
//
// Controls, found by object name: "id25011" the zoom box, "id11902" the zoom
// up-down (1–10), "id11904" every row's gain box (QLineEdit) and gain up-down
// (UpDown, 1–32) in row order, "id25010" the scroll bar (0–100, while zoom > 1).
// The controls are rebuilt by the first paint after the window was created or
// resized.

#include <span>
#include <vector>

#include "display/SeismogramsPicture.h"
#include "display/SeismogramWindow.h"
#include "platform/Rect.h"

class QLineEdit;

namespace orvane {

class KSAC;
class UpDown;

class Seismograms : public SeismogramWindow {
  Q_OBJECT

 public:
  static constexpr int kGainId = 11904;
  static constexpr int kMaximumZoom = 10;

  /// @brief A window showing @p records, a child of @p parent (the main view).
  explicit Seismograms(std::vector<KSAC*> records, QWidget* parent = nullptr);
  ~Seismograms() override;

  /// The records in row order (nearest first since the last paint).
  std::span<KSAC* const> Records() const { return records; }
  float Zoom() const { return zoom; }
  /// The gain of row position @p row (1 outside the rows).
  int GainOfRow(int row) const;
  /// The layout of the last paint (window coordinates).
  const SeismogramsLayout& Layout() const { return layout; }

 protected:
  /// Rows are sorted again by the distances of the last trial at every paint.
  void paintEvent(QPaintEvent* event) override;
  void Pick(QPoint at) override;
  float TimeStretch() const override { return zoom; }
  void SetTimeStretch(int stretch) override { zoom = static_cast<float>(stretch); }

 private:
  bool GainStep(const UpDown* spin, int position, int delta);
  void RebuildControls();
  void RepaintRow(int row);
  void UpdateDescription();

  // The state of the window, as the model of the window names it.
  Rect tracesArea;
  std::vector<KSAC*> records;
  int recordCount = 0;
  float timeSpan = 0.0f;
  int leftMargin = 0;
  int topMargin = 0;
  std::vector<QLineEdit*> gainBoxes;
  std::vector<UpDown*> gainSpins;
  float zoom = 1.0f;
  std::vector<int> gains;
  int tracesWidth = 0;
  int tracesHeight = 0;
  int scrollOffset = 0;
  float pixelsPerSecond = 0.0f;

  SeismogramsLayout layout;
};

}  // namespace orvane
