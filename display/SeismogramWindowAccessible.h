#pragma once
// SeismogramWindowAccessible: a seismogram window as screen readers meet it.
// A window of one station (Event) is a slider: its value is the time of the
// keyboard cursor on the trace, "Cursor at 55.37 s after the reference time"
// as text and the seconds as number. A window of all seismograms keeps its
// role; after its controls come its rows, one SeismogramRowAccessible each,
// the slider of the cursor's row being the focused child.

#include <QAccessibleWidget>

#include <vector>

namespace orvane {

class SeismogramWindow;

class SeismogramWindowAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit SeismogramWindowAccessible(SeismogramWindow* window);
  ~SeismogramWindowAccessible() override;

  /// @brief Makes every seismogram window present itself through this
  /// interface. Once per run is enough; later calls do nothing.
  static void Install();
  /// @brief What the keys of @p window work on, for screen readers: the
  /// window of one station, or the row of the cursor; null without rows.
  static QAccessibleInterface* KeyInterfaceOf(SeismogramWindow* window);
  /// @brief The time, in seconds after the reference time, at the right
  /// (@p end) or left edge of the cursor's trace as shown; none without it.
  static QVariant TraceEndSeconds(const SeismogramWindow& window, bool end);

  void* interface_cast(QAccessible::InterfaceType type) override;
  QString text(QAccessible::Text type) const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* focusChild() const override;

  // The cursor's time in seconds after the reference time, from the first
  // to the last column of the trace shown. Only the keys move it.
  QVariant currentValue() const override;
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override;
  QVariant minimumValue() const override;
  QVariant minimumStepSize() const override;

 private:
  SeismogramWindow* Window() const;
  int RowCount() const;
  QAccessibleInterface* Row(int row) const;

  mutable std::vector<QAccessible::Id> rows_;  ///< row interfaces made so far, 0 where none
};

}  // namespace orvane
