// Tests never reach the developer's own files: each runs with a HOME, XDG
// directories and working directory of its own.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStandardPaths>
#include <QString>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string RealHome() {
  const passwd* user = ::getpwuid(::getuid());
  return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

bool Inside(const fs::path& path, const fs::path& dir) {
  const std::string p = fs::weakly_canonical(path).string();
  const std::string d = fs::weakly_canonical(dir).string();
  return p.rfind(d + "/", 0) == 0;
}

TEST(Isolation, SettingsAreWrittenInsideTheTestsOwnHome) {
  const fs::path home = std::getenv("HOME");
  ASSERT_NE(home, fs::path(RealHome()));
  EXPECT_TRUE(Inside(fs::current_path(), home));
  QSettings settings("Halvergate", "Orvane");
  settings.setValue("Radius", 312);
  settings.sync();
  ASSERT_EQ(settings.status(), QSettings::NoError);
  const fs::path file = settings.fileName().toStdString();
  EXPECT_TRUE(fs::exists(file)) << file;
  EXPECT_TRUE(Inside(file, home)) << file << " outside " << home;
  EXPECT_FALSE(Inside(file, RealHome())) << file;
  const fs::path data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
  EXPECT_TRUE(Inside(data, home)) << data;
  std::ofstream("left-behind.txt") << "x";  // the next test must not see it
}

TEST(Isolation, EachTestStartsAfresh) {
  EXPECT_FALSE(fs::exists("left-behind.txt"));
  QSettings settings("Halvergate", "Orvane");
  EXPECT_FALSE(settings.contains("Radius"));
  // Also when every test runs in one process: the store lies in this test's HOME.
  EXPECT_TRUE(Inside(settings.fileName().toStdString(), std::getenv("HOME"))) << settings.fileName().toStdString();
}

}  // namespace
