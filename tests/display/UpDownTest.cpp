// The up-down control: it tells its handler the position and the step before
// it moves, and moves within its range on its own only when the handler
// leaves the step to it.
#include "display/UpDown.h"

#include <gtest/gtest.h>

#include <QTest>

#include <utility>
#include <vector>

#include "display/WindowHarness.h"

namespace orvane {
namespace {

TEST(UpDown, ArrowsReportPositionAndStepBeforeMoving) {
  UpDown spin;
  spin.resize(16, 28);
  spin.SetRange(1, 10);
  spin.SetPosition(4);
  std::vector<std::pair<int, int>> told;
  spin.SetHandler([&](int p, int d) {
    told.emplace_back(p, d);
    spin.SetPosition(p + 2 * d);  // the handler decides: double steps
    return true;
  });
  test::ClickArrow(spin, true);
  test::ClickArrow(spin, false);
  test::ClickArrow(spin, false);
  EXPECT_EQ(told, (std::vector<std::pair<int, int>>{{4, 1}, {6, -1}, {4, -1}}));
  EXPECT_EQ(spin.Position(), 2);
}

TEST(UpDown, WithoutAHandlerItStepsWithinItsRange) {
  UpDown spin;
  spin.resize(16, 28);
  spin.SetRange(1, 3);
  spin.SetPosition(2);
  test::ClickArrow(spin, true);
  test::ClickArrow(spin, true);
  EXPECT_EQ(spin.Position(), 3);
  spin.SetHandler([](int, int) { return false; });  // not handled: the control moves itself
  for (int i = 0; i < 5; ++i) test::ClickArrow(spin, false);
  EXPECT_EQ(spin.Position(), 1);
  spin.SetPosition(99);
  EXPECT_EQ(spin.Position(), 3);
}

TEST(UpDown, UpAndDownKeysStepToo) {
  UpDown spin;
  spin.SetRange(1, 32);
  spin.SetPosition(5);
  QTest::keyClick(&spin, Qt::Key_Up);
  QTest::keyClick(&spin, Qt::Key_Up);
  QTest::keyClick(&spin, Qt::Key_Down);
  EXPECT_EQ(spin.Position(), 6);
}

}  // namespace
}  // namespace orvane
