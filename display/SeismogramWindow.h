#pragma once
// SeismogramWindow: what every seismogram window of the main view is (Event,
// one station; Seismograms, all stations in rows). A window is a plain
// QWidget that the main view wraps in a QMdiSubWindow with SubWindowFlags().
// It tells the main view of the student's picks through its signals, and the
// main view tells it when a trial was located. A left click is a pick at the
// point clicked (Pick). Under the trace(s) it carries the zoom box and
// up-down, and a time scroll bar while the time axis is stretched.
//
// The context menu of a trace (right click, or the menu key) offers "Clear
// pick" and "Leave out of the location" (checked while the station is left
// out; choosing it again takes the station back). While the window has the
// focus, Delete clears the pick of the trace under the pointer and L leaves
// it out or takes it back (in a window of one station: its trace, wherever
// the pointer is). Either way the trials are discarded, as by a new pick.
//
// Its "Filter" submenu chooses the band-pass the trace is drawn through:
// none, one of the presets (FilterPresets) or a custom band (FilterDialog).
// The choice belongs to the record (KSAC::filter), so it follows the station
// from one window mode to the other; in the window of all seismograms
// "Apply to all rows" gives every row the filter of the row under the
// pointer. A band that the record's sampling cannot carry (a corner at or
// above its Nyquist frequency) is refused, and message() says why. The
// filter changes what is drawn only: picks are times and stay where they
// are; the samples stay as read.
// Picking by keys: when the window takes the focus from the keyboard (Tab,
// or the focus handed to it), a cursor line stands on its trace, at first at
// the trace's left edge, and the trace is tinted. Left and Right move the
// cursor one pixel (Shift: ten), Home and End to the start and end of the
// record, scrolling the stretched time axis as needed; Enter picks where the
// cursor stands, as a click on that column does; + and - stretch and
// compress the time axis with the cursor kept on its time; Page Up and Page
// Down step the gain of the trace; Delete and L then act on the trace of the
// cursor. A window of all seismograms moves the cursor between its rows with
// Up and Down. Screen readers meet the cursor's trace as a slider whose value
// is the cursor's time, "Cursor at 55.37 s after the reference time"
// (SeismogramWindowAccessible).
//
// Controls, found by object name: "id25011" the zoom box (QLineEdit),
// "id11902" the zoom up-down (UpDown, 1 to the window's maximum), "id25010"
// the scroll bar (0–100, only while zoom > 1).

#include <QPointer>
#include <QWidget>

#include <optional>
#include <span>

#include "display/TraceDrawing.h"
#include "platform/Rect.h"
#include "seismogram/BandPass.h"

class QLineEdit;
class QMenu;
class QScrollBar;

namespace orvane {

class KSAC;
class Surface;
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

  /// @brief The record shown at @p at (window coordinates), or null where
  /// none is (above or below the rows). A window of one station shows its
  /// record everywhere.
  virtual KSAC* RecordAt(const QPoint& at) const = 0;

  /// @brief "Clear pick": removes the P pick of @p record, discards the
  /// trials, and tells the main view as a pick does.
  void ClearPick(KSAC& record);
  /// @brief "Leave out of the location" (@p leftOut true) or take the station
  /// back; the pick stays. Discards the trials and tells the main view.
  void SetLeftOut(KSAC& record, bool leftOut);

  /// The bands the Filter menu offers: 0.5-2, 1-5 and 2-8 Hz, order 4.
  static std::span<const BandPass> FilterPresets();
  /// @brief Draws @p record through @p band (none: as it is) from the next
  /// paint. @return false, with the reason told by message(), when the
  /// record's sampling cannot carry the band; its filter then stays.
  bool SetFilter(KSAC& record, const std::optional<BandPass>& band);
  /// @brief SetFilter for every record the window shows; those that cannot
  /// carry the band keep theirs and are named in one message.
  /// @return How many records took the band.
  int SetFilterOfAll(const std::optional<BandPass>& band);
  /// @brief "Custom...": the FilterDialog for @p record, run modally; OK
  /// draws the record through the band it shows.
  void ChooseCustomFilter(KSAC& record);
  /// Every record the window shows.
  virtual std::span<KSAC* const> AllRecords() const = 0;
  /// The keyboard cursor stands on the trace: the window has the focus, and
  /// took it from the keys (a click hides the cursor until the next key).
  bool CursorShown() const { return cursorWanted && hasFocus(); }
  /// The cursor's column, pixels right of the left edge of its trace.
  int CursorColumn() const { return cursorColumn; }
  /// @brief The time a pick at the cursor stores, in seconds after the
  /// reference time of the cursor's record; nothing while the cursor is not
  /// shown or the trace has no time scale.
  std::optional<float> CursorSeconds() const;
  /// @brief The cursor's time as a screen reader says it: "Cursor at 55.37 s
  /// after the reference time" (or "before"); empty when CursorSeconds() is.
  QString CursorText() const;
  /// @brief Where the keys work, window coordinates: the trace of a window of
  /// one station, the band of the cursor's row in a window of all; empty when
  /// it is not shown.
  virtual QRect KeyTrace() const = 0;
  /// The record the keys work on (the cursor's).
  virtual KSAC* KeyRecord() const = 0;

 public slots:
  /// @brief The trial location changed t1, t2 and gcarc: repaint now, with the globe.
  void TrialLocated();

 signals:
  /// A pick emptied trialList; the main view repaints.
  void trialsDiscarded();
  /// The student set or cleared a pick, or left a station out or took it
  /// back (the globe and the misfit map follow).
  void picked();
  /// The student chose another filter for a trace (part of the saved work).
  void filterChanged();
  /// Something to tell the student in the status bar (a band refused).
  void message(const QString& text);

 protected:
  /// @brief A window with @p title (its sub-window's caption) and the
  /// accessible name @p name, a child of @p parent (the main view).
  SeismogramWindow(const QString& title, const QString& name, QWidget* parent);

  friend class SeismogramWindowAccessible;

  /// @brief The left click at @p at (window coordinates): the student's pick.
  virtual void Pick(QPoint at) = 0;
  /// @brief The time (seconds after its reference time) that a click on
  /// column @p x (window coordinates) would store on the cursor's record;
  /// nothing where a click there picks nothing.
  virtual std::optional<float> PickSecondsAt(int x) const = 0;
  /// @brief Page Up, Page Down: @p steps steps of the gain of the cursor's trace.
  virtual void StepGain(int steps) = 0;
  /// @brief Up, Down: the cursor @p steps rows down (negative: up). False where
  /// there are no rows to move between.
  virtual bool StepRow(int) { return false; }
  /// @brief Tells screen readers where the cursor stands now.
  void AnnounceCursor();
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
  /// @brief @p steps steps of the zoom up-down at once (negative: down), within its range.
  void StepZoom(int steps);
  /// @brief A filter changed: the window shows it (caption, descriptions).
  virtual void ShowFilters() {}

  /// @brief Paints the keyboard cursor and the tint of its trace over the
  /// picture, with the surface's painter, while the cursor is shown. The
  /// tint and the line multiply the colours under them: the trace, its
  /// marks and texts stay as dark as they were.
  void PaintKeyFocus(Surface& surface) const;
  /// @brief What PaintKeyFocus paints over: the cursor's trace and the bar
  /// beside it; empty when there is no trace.
  QRect KeyFocusArea() const;
  /// @brief Moves the cursor to column @p x of the stretched time axis
  /// (0 at the start of the record), held within it, scrolling the axis as
  /// little as brings the cursor into view.
  void PlaceCursor(long long x);
  /// The cursor's column on the stretched time axis.
  long long CursorOnAxis() const;

  void mousePressEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void resizeEvent(QResizeEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

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
  bool cursorWanted = false;  ///< the focus came from the keys
  int cursorColumn = 0;       ///< the cursor, pixels right of its trace's left edge

 private:
  void Scroll();
  bool ZoomStep(int position, int step);
  void AddFilterMenu(QMenu& menu, KSAC& record);
  bool CursorKey(const QKeyEvent& event);
  int ScrollOffsetAt(int position, int width) const;
};

}  // namespace orvane
