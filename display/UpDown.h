#pragma once
// UpDown: a pair of arrows that step a whole-number position within a range,
// as the seismogram windows use beside their read-only edit boxes.
//
// Before a step the control tells its handler the current position p and the
// step d (+1 for the upper arrow, −1 for the lower): the handler works out the
// new value, shows it and sets the position itself, and returns true; when it
// returns false (or there is none) the control moves to p + d within its range
// on its own. The arrows repeat while held; the Up and Down keys step too.

#include <QTimer>
#include <QWidget>

#include <functional>

namespace orvane {

class UpDown : public QWidget {
  Q_OBJECT

 public:
  /// Called before a step with the current position and the step (+1 or −1);
  /// true when the handler took care of the step.
  using Handler = std::function<bool(int position, int delta)>;

  explicit UpDown(QWidget* parent = nullptr);

  void SetRange(int minimum, int maximum);
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  /// @brief Moves to @p position, held within the range.
  void SetPosition(int position);
  int Position() const { return position_; }
  void SetHandler(Handler handler) { handler_ = std::move(handler); }

  /// @brief One step, as a click on an arrow gives it: +1 upper, −1 lower.
  void Step(int delta);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Repeat();

  Handler handler_;
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
  int held_ = 0;  // the arrow held down: +1, −1 or 0
  QTimer repeat_;
};

}  // namespace orvane
