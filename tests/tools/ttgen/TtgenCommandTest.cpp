// Runs the built ttgen: single values, the exit status on bad input, and that
// a failed run leaves no table behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TestModels.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace orvane::ttgen {
namespace {

namespace fs = std::filesystem;

using orvane::test::CommandRun;
using orvane::test::ReadText;

class TtgenCommandTest : public ::testing::Test {
 protected:
  // @p args as the shell splits them: paths in them are quoted by the caller.
  CommandRun Ttgen(const std::string& args) {
    return orvane::test::RunShell(orvane::test::ShellQuote(ORVANE_TTGEN_PATH) + " " + args, dir_.path());
  }

  orvane::test::ScopedTempDir dir_;
};

TEST_F(TtgenCommandTest, PrintsSingleValues) {
  CommandRun run = Ttgen("--phase P --depth 0 --distance 45");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "496.967\n");
  run = Ttgen("--model '" + testing::ModelPath("iasp91.tvel") + "' --phase SKS --depth 0 --distance 90 --explain");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, 13), "1412.951 SKS ");
}

TEST_F(TtgenCommandTest, MalformedModelIsRefusedWithStatus1AndNoTable) {
  const fs::path model = dir_ / "bad.tvel";
  std::ofstream(model) << "h1\nh2\n0 5.8 3.36 2.7\n20 5.8 oops 2.7\n";
  const fs::path table = dir_ / "P.JB";
  const CommandRun run = Ttgen("--model '" + model.string() + "' --phase P --output '" + table.string() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("line 4: 'oops' is not a number"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
  EXPECT_FALSE(fs::exists(table));
  EXPECT_FALSE(fs::exists(dir_ / "P.JB.tmp"));
}

TEST_F(TtgenCommandTest, MissingModelAndBadDepthAreRefusedWithStatus1) {
  CommandRun run = Ttgen("--model '" + (dir_ / "none.tvel").string() + "' --phase P");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot open"), std::string::npos) << run.err;
  run = Ttgen("--phase P --depth 3000 --distance 10");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("focal depth"), std::string::npos) << run.err;
}

TEST_F(TtgenCommandTest, CommandLineMistakesGiveUsageAndStatus2) {
  for (const char* args : {"", "--phase X", "--phase PKIKP", "--phase P --depth 10", "--phase P --depth x --distance 3",
                           "--phase P --depth 10 --distance 190", "--phase P --bogus"}) {
    SCOPED_TRACE(args);
    const CommandRun run = Ttgen(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
    EXPECT_TRUE(run.out.empty());
  }
}

TEST_F(TtgenCommandTest, WritesATableFile) {
  const fs::path table = dir_ / "S.JB";
  const CommandRun run =
      Ttgen("--model '" + testing::ModelPath("jb.nd") + "' --phase S --output '" + table.string() + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = ReadText(table);
  EXPECT_EQ(text.size(), 181u * 104u);
  EXPECT_EQ(text.substr(0, 12), "    0    0.0");
}

}  // namespace
}  // namespace orvane::ttgen
