// gtest main for tests that need Qt: one QApplication on the offscreen
// platform, QStandardPaths in test mode, and each test in a world of its own
// (HOME, XDG directories, working directory), so that settings, recent files
// and desktop entries written by a test never reach the developer's own.
#include <QApplication>
#include <QStandardPaths>

#include <cstdlib>

#include <gtest/gtest.h>

#include "support/IsolatedEnvironment.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  orvane::test::IsolateEveryTest();  // before Qt reads HOME or XDG_RUNTIME_DIR
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
