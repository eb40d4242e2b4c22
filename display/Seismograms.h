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
// A row is never shorter than what it shows: when the rows do not fit, the
// window shows as many as fit and a scroll bar at its right moves through
// them, whole rows at a time (the wheel scrolls them, Ctrl+wheel stretches the
// time axis; the time axis stays in view). A row too short for all its texts
// shows the station and the pick, and its tooltip tells the rest. In compact
// mode the rows show their traces only, as short as a pixel, without texts
// or gain controls: the moveout of hundreds of stations on one screen.
//
// The keyboard cursor (SeismogramWindow) stands in one row, at first the top
// row shown; Up and Down move it to the row above and below, scrolling that
// row into view. The row follows its record when the rows are sorted anew.
// Screen readers meet every row as a child of the window (SeismogramWindowAccessible).
//
// Controls, found by object name: "id25011" the zoom box, "id11902" the zoom
// up-down (1–10), "id11904" the gain box (QLineEdit) and gain up-down
// (UpDown, 1–32) of every row shown, top to bottom, "id25010" the time
// scroll bar (0–100, while zoom > 1), "rowScrollBar" the row scroll bar
// (while the rows do not all fit). The controls are rebuilt by the first
// paint after the window was created or resized, or its mode changed.

#include <optional>
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
  std::span<KSAC* const> AllRecords() const override { return records; }
  float Zoom() const { return zoom; }
  /// The gain of row position @p row (1 outside the rows).
  int GainOfRow(int row) const;
  /// The layout of the last paint (window coordinates).
  const SeismogramsLayout& Layout() const { return layout; }

  /// @brief Traces only (@p compact), or traces with their texts and gains.
  void SetCompact(bool compact);
  bool Compact() const { return compact; }

  /// @brief The row under @p at (window coordinates) as the last paint drew
  /// it; nothing above, below or beside the rows shown.
  std::optional<int> RowUnder(QPoint at) const;
  /// @brief The record of the row under @p at; null where there is no row.
  KSAC* RecordAt(const QPoint& at) const override;
  /// The row at the top of the traces area.
  int FirstVisibleRow() const { return firstRow; }
  /// @brief Scrolls the rows, as little as it takes, so that row @p row is shown.
  void ScrollRowIntoView(int row);
  /// @brief Where row @p row lies in the window (its band across the traces
  /// area); empty while it is not shown.
  QRect RowRect(int row) const;

  /// The row of the keyboard cursor; -1 without rows.
  int KeyRow() const;
  /// The band of the cursor's row; empty while it is not shown.
  QRect KeyTrace() const override { return RowRect(KeyRow()); }
  KSAC* KeyRecord() const override;

 protected:
  /// Rows are sorted again by the distances of the last trial at every paint.
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void Pick(QPoint at) override;
  std::optional<float> PickSecondsAt(int x) const override;
  void StepGain(int steps) override;
  bool StepRow(int steps) override;
  float TimeStretch() const override { return zoom; }
  void SetTimeStretch(int stretch) override { zoom = static_cast<float>(stretch); }
  void ShowFilters() override { UpdateDescription(); }

 private:
  bool GainStep(const UpDown* spin, int position, int delta);
  void SetRowGain(int row, int gain);
  std::optional<float> SecondsOn(const KSAC& record, int x) const;
  void AnnounceKeyRow();
  void RebuildControls();
  void ShowRowGains();
  void SyncRowScrollBar();
  void ScrollRows(int first);
  void RepaintRow(int row);
  void UpdateDescription();
  RowMode Mode() const { return compact ? RowMode::kCompact : RowMode::kScrolled; }

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

  bool compact = false;
  int firstRow = 0;  ///< the row at the top of the traces area
  QPointer<QScrollBar> rowScrollBar;
  int wheelZoomAngle = 0;  ///< Ctrl+wheel turned since the last zoom step, eighths of a degree
  const KSAC* keyRecord = nullptr;  ///< the record of the cursor's row; none: the top row shown
  SeismogramsLayout layout;
};

}  // namespace orvane
