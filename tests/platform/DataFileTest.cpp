#include "platform/DataFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "support/CurrentDirectory.h"

namespace fs = std::filesystem;

namespace {

// Each test works in a scratch directory of its own, with ORVANE_DATA pointing
// at a second scratch directory, and restores both afterwards.
class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(base_ / "cwd");
    fs::create_directories(base_ / "env");
    cwd_ = std::make_unique<orvane::test::CurrentDirectoryGuard>(base_ / "cwd");
    if (const char* old = std::getenv("ORVANE_DATA")) oldEnv_ = old, hadEnv_ = true;
    setenv("ORVANE_DATA", (base_ / "env").c_str(), 1);
  }
  void TearDown() override {
    if (hadEnv_) setenv("ORVANE_DATA", oldEnv_.c_str(), 1); else unsetenv("ORVANE_DATA");
  }
  static void Touch(const fs::path& p) { std::ofstream(p) << "x"; }

  orvane::test::ScopedTempDir scratch_;
  const fs::path base_ = scratch_.path();
  std::unique_ptr<orvane::test::CurrentDirectoryGuard> cwd_;
  std::string oldEnv_;
  bool hadEnv_ = false;
};

TEST_F(DataFileTest, CurrentDirectoryComesFirst) {
  Touch(base_ / "cwd" / "P.JB");
  Touch(base_ / "env" / "P.JB");
  EXPECT_EQ(orvane::FindDataFile("P.JB"), "P.JB");
}

TEST_F(DataFileTest, FallsBackToTheEnvironmentDirectory) {
  Touch(base_ / "env" / "S.JB");
  EXPECT_EQ(orvane::FindDataFile("S.JB"), (base_ / "env" / "S.JB").string());
}

TEST_F(DataFileTest, MissingEverywhereGivesEmpty) {
  EXPECT_EQ(orvane::FindDataFile("NO-SUCH-FILE.S9"), "");
  EXPECT_EQ(orvane::FindDataFile(""), "");
}

TEST_F(DataFileTest, DirectoriesAreNotFiles) {
  fs::create_directories(base_ / "env" / "NOTAFILE.S9");
  EXPECT_EQ(orvane::FindDataFile("NOTAFILE.S9"), "");
}

TEST_F(DataFileTest, FoldersOfTheDataAreSearchedButNeverLeft) {
  Touch(base_ / "env" / "kerror.doc");
  EXPECT_EQ(orvane::FindDataFile("sub/kerror.doc"), "");
  fs::create_directories(base_ / "env" / "help");
  Touch(base_ / "env" / "help" / "index.html");
  EXPECT_EQ(orvane::FindDataFile("help/index.html"), (base_ / "env" / "help" / "index.html").string());
  EXPECT_EQ(orvane::FindDataFile("help/../kerror.doc"), "");
  EXPECT_EQ(orvane::FindDataFile((base_ / "nowhere" / "kerror.doc").string()), "");
}

TEST_F(DataFileTest, ExecutableRelativeDirectoriesFollowTheEnvironment) {
  auto dirs = orvane::DataDirectories();
  ASSERT_GE(dirs.size(), 3u);
  EXPECT_EQ(dirs[0], (base_ / "env").string());
  EXPECT_EQ(fs::path(dirs[1]).filename(), "data");
}

}  // namespace
