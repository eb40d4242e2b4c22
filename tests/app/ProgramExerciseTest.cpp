// The program with an exercise on its command line: "orvane FILE.orvex"
// opens it (alone), and a screenshot run neither offers nor touches the
// recovery file of unsaved work.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/RunCommand.h"
#include "support/TempDir.h"
#include "view/ExerciseFile.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

TEST(ProgramExercise, AScreenshotOfAnExerciseLeavesTheRecoveryFileAlone) {
  const test::ScopedTempDir dir;
  const std::string examples = ORVANE_SOURCE_DIR "/examples/";
  Exercise exercise;
  for (const char* name : {"TAIG.sac", "KODK.sac"}) {
    fs::copy_file(examples + name, dir / name);
    const auto print = FingerprintOf(QString::fromStdString((dir / name).string()));
    ASSERT_TRUE(print);
    exercise.seismograms.push_back({name, print->size, print->sha256, 50.0f, std::nullopt});
  }
  exercise.radius = 300.0f;
  exercise.trials = {{41.0f, 143.0f, 0.0f, 1.0f}};
  ASSERT_TRUE(WriteExerciseFile(QString::fromStdString((dir / "work.orvex").string()), exercise));

  // Work a crashed run left behind: a screenshot must neither ask about it
  // (there is nobody to answer) nor remove it.
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(dataHome, nullptr);
  const fs::path recovery = fs::path(dataHome) / "Halvergate" / "Orvane" / "recovery.orvex";
  fs::create_directories(recovery.parent_path());
  fs::copy_file(dir / "work.orvex", recovery);
  const std::string before = test::ReadText(recovery);

  const test::ScopedTempDir scratch;
  test::CommandRun run = test::RunCommand(ORVANE_PATH, {"--screenshot", "shot.png", "work.orvex"}, scratch.path(), dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadText(dir / "shot.png").substr(1, 3), "PNG");
  EXPECT_EQ(test::ReadText(recovery), before);

  // An exercise opens alone.
  run = test::RunCommand(ORVANE_PATH, {"--screenshot", "mixed.png", "work.orvex", "TAIG.sac"}, scratch.path(), dir.path());
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("opens alone"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir / "mixed.png"));
}

}  // namespace
}  // namespace orvane
