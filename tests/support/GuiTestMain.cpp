// gtest main for tests that need Qt: one QApplication on the offscreen
// platform, QStandardPaths in test mode, and each test in a world of its own
// (HOME, XDG directories, working directory), so that settings, recent files
// and desktop entries written by a test never reach the developer's own.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>

#include <cstdlib>

#include <gtest/gtest.h>

#include "support/IsolatedEnvironment.h"

namespace {

// QSettings finds its folder once per process; each test is given its own
// (the configuration directory of its own HOME), so that settings stored by
// one test are never read by the next and nothing is left outside the
// test's HOME when it ends.
class SettingsPerTest : public testing::EmptyTestEventListener {
 public:
  SettingsPerTest() { Point(); }
  void OnTestStart(const testing::TestInfo&) override { Point(); }

 private:
  static void Point() {
    const QString folder = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
  }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  orvane::test::IsolateEveryTest();  // before Qt reads HOME or XDG_RUNTIME_DIR
  // After the environment's listener, so that each test's folders are set first.
  testing::UnitTest::GetInstance()->listeners().Append(new SettingsPerTest);
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
