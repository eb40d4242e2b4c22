// The installation: cmake --install into a scratch prefix gives programs that
// find their data from any directory, and the desktop files where desktops look.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

TEST(Install, InstalledProgramsFindTheirDataFromAnyDirectory) {
  const orvane::test::ScopedTempDir prefix, elsewhere, scratch;
  orvane::test::CommandRun run = orvane::test::RunCommand(
      ORVANE_CMAKE, {"--install", ORVANE_BINARY_DIR, "--prefix", prefix.path().string()}, scratch.path());
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* file : {"bin/orvane", "bin/orvane-tool", "share/orvane/iasp91/P.JB", "share/orvane/COAST.S4",
                           "share/orvane/help/index.html", "share/applications/orvane.desktop",
                           "share/icons/hicolor/128x128/apps/orvane.png", "share/mime/packages/orvane.xml"})
    EXPECT_TRUE(fs::exists(prefix / file)) << file;

  // From a directory without data, and without ORVANE_DATA, the installed tool
  // draws the globe with its map and reads its tables.
  run = orvane::test::RunShell("cd " + orvane::test::ShellQuote(elsewhere.path().string()) + " && env -u ORVANE_DATA " + orvane::test::ShellQuote((prefix / "bin/orvane-tool").string()) +
                                   " render --out globe.png " +
                                   orvane::test::ShellQuote(ORVANE_SOURCE_DIR "/examples/TAIG.sac") + " && env -u ORVANE_DATA " +
                                   orvane::test::ShellQuote((prefix / "bin/orvane-tool").string()) +
                                   " traveltime --phase P 30",
                               scratch.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "30 370.3\n");
  EXPECT_GT(fs::file_size(elsewhere / "globe.png"), 10000u);

  std::ifstream entry(prefix / "share/applications/orvane.desktop");
  const std::string text((std::istreambuf_iterator<char>(entry)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Exec=orvane %F"), std::string::npos) << text;
}

}  // namespace
