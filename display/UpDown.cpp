#include "display/UpDown.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace orvane {
namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 80;

}  // namespace

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  repeat_.setSingleShot(false);
  connect(&repeat_, &QTimer::timeout, this, &UpDown::Repeat);
}

void UpDown::SetRange(int minimum, int maximum) {
  minimum_ = std::min(minimum, maximum);
  maximum_ = std::max(minimum, maximum);
  SetPosition(position_);
}

void UpDown::SetPosition(int position) { position_ = std::clamp(position, minimum_, maximum_); }

void UpDown::Step(int delta) {
  if (handler_ && handler_(position_, delta)) return;
  SetPosition(position_ + delta);
}

QSize UpDown::sizeHint() const { return QSize(16, 24); }

void UpDown::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int h = height() / 2;
  const QRect halves[2] = {QRect(0, 0, width(), h), QRect(0, h, width(), height() - h)};
  for (int i = 0; i < 2; ++i) {
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = halves[i];
    const bool down = held_ == (i == 0 ? 1 : -1);
    button.state |= down ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.fillRect(halves[i], palette().button());
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
    QStyleOption arrow;
    arrow.initFrom(this);
    arrow.rect = halves[i].adjusted(2, 1, -2, -1);
    style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &painter,
                           this);
  }
}

void UpDown::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  held_ = event->position().y() < height() / 2.0 ? 1 : -1;
  Step(held_);
  repeat_.start(kFirstRepeatMs);
  update();
}

void UpDown::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  held_ = 0;
  repeat_.stop();
  update();
}

void UpDown::Repeat() {
  if (held_ == 0) {
    repeat_.stop();
    return;
  }
  repeat_.setInterval(kRepeatMs);
  Step(held_);
}

void UpDown::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up)
    Step(1);
  else if (event->key() == Qt::Key_Down)
    Step(-1);
  else
    QWidget::keyPressEvent(event);
}

}  // namespace orvane
