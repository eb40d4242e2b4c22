// The program from the command line: "orvane FILE.orvex" opens it (alone),
// a screenshot run neither offers nor touches the recovery file of unsaved
// work, and a run without a window writes every file asked for or says why
// not in its exit status and on standard error.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/RunCommand.h"
#include "support/SpecialFiles.h"
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

TEST(ProgramCommandLine, AHeadlessRunWritesWhatIsAskedOrSaysWhyNot) {
  const test::ScopedTempDir dir;
  const test::ScopedTempDir scratch;
  fs::copy_file(ORVANE_SOURCE_DIR "/examples/TAIG.sac", dir / "TAIG.sac");
  std::ofstream(dir / "junk.sac") << std::string(700, 'x');
  std::ofstream(dir / "bad.orvex") << "{}";
  // Each run ends by itself, or the test fails instead of waiting (an
  // interactive start would wait for the user).
  const auto run = [&](const std::vector<std::string>& args) {
    std::string command = "cd " + test::ShellQuote(dir.path().string()) + " && timeout 60 " + test::ShellQuote(ORVANE_PATH);
    for (const std::string& arg : args) command += " " + test::ShellQuote(arg);
    return test::RunShell(command, scratch.path());
  };
  // An empty file name is a usage error, not an interactive start.
  for (const char* option : {"--screenshot", "--print-pdf"}) {
    const test::CommandRun empty = run({option, "", "TAIG.sac"});
    EXPECT_EQ(empty.status, 2) << option;
    EXPECT_NE(empty.err.find("needs a file name"), std::string::npos) << empty.err;
  }
  // Both outputs when both are asked for.
  test::CommandRun both = run({"--screenshot", "shot.png", "--print-pdf", "print.pdf", "TAIG.sac"});
  EXPECT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(test::ReadText(dir / "shot.png").substr(1, 3), "PNG");
  EXPECT_EQ(test::ReadText(dir / "print.pdf").substr(0, 5), "%PDF-");
  // Files given and none opened: no picture of an empty globe, the reasons
  // on standard error, and a failure status.
  for (const std::vector<std::string>& files :
       {std::vector<std::string>{"junk.sac", "missing.sac"}, std::vector<std::string>{"bad.orvex"}}) {
    std::vector<std::string> args = {"--screenshot", "none.png"};
    args.insert(args.end(), files.begin(), files.end());
    const test::CommandRun refused = run(args);
    EXPECT_EQ(refused.status, 1) << files[0];
    for (const std::string& file : files) EXPECT_NE(refused.err.find(file), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(dir / "none.png"));
  }
  // A screenshot that cannot be written is said, and the device stays.
  const fs::path full = test::FullDevice(dir.path());
  const test::CommandRun failed = run({"--screenshot", full.string(), "TAIG.sac"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("No space left on device"), std::string::npos) << failed.err;
  EXPECT_TRUE(fs::is_character_file(full));
}

// A FIFO where the stored settings are would keep the start waiting for
// ever: the program starts with its defaults instead.
TEST(ProgramCommandLine, ASettingsFileThatIsAFifoDoesNotHoldTheStart) {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  ASSERT_NE(configHome, nullptr);
  const fs::path settings = fs::path(configHome) / "Halvergate" / "Orvane.conf";
  fs::create_directories(settings.parent_path());
  ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
  const test::ScopedTempDir dir;
  const test::CommandRun run =
      test::RunShell("cd " + test::ShellQuote(dir.path().string()) + " && timeout 60 " + test::ShellQuote(ORVANE_PATH) +
                         " --screenshot shot.png " + test::ShellQuote(ORVANE_SOURCE_DIR "/examples/TAIG.sac"),
                     dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadText(dir / "shot.png").substr(1, 3), "PNG");
  EXPECT_TRUE(fs::is_fifo(settings));
}

}  // namespace
}  // namespace orvane
