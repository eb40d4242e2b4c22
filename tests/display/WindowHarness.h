#pragma once
// What the widget tests of the seismogram windows share: a stand-in for the
// main view that counts the repaints a pick asks of it, painting on demand,
// mouse clicks and arrow clicks.

#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "display/UpDown.h"
#include "location/RMS.h"

namespace orvane::test {

/// The parent the windows live in until the main view exists: it counts the
/// times a window told it that the trials were discarded.
class MainViewStandIn : public QWidget {
 public:
  MainViewStandIn() { resize(1600, 1000); }
  int repaintsAsked = 0;
  void AskRepaint() { ++repaintsAsked; }
};

/// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

/// Shows @p top and waits until the platform has exposed it.
inline bool ShowExposed(QWidget& top) {
  top.show();
  return QTest::qWaitForWindowExposed(&top);
}

/// Paints @p window now, as the next repaint would.
inline void PaintNow(QWidget& window) {
  window.repaint();
  QCoreApplication::processEvents();
}

/// A left click at @p at in @p widget's coordinates.
inline void Click(QWidget& widget, QPoint at) { QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, at); }

/// A click on the upper (@p up) or lower arrow of an up-down.
inline void ClickArrow(UpDown& spin, bool up) {
  QTest::mouseClick(&spin, Qt::LeftButton, Qt::NoModifier,
                    QPoint(spin.width() / 2, up ? spin.height() / 4 : spin.height() * 3 / 4));
}

/// Two trials in trialList, as after two clicks on the globe.
inline void TwoTrials() {
  trialList.clear();
  trialList.push_back(RMS{10.0f, 20.0f, 1.5f});
  trialList.push_back(RMS{11.0f, 21.0f, 0.9f});
}

}  // namespace orvane::test
