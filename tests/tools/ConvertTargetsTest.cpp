// orvane-tool convert into targets that are not a plain new file: a symbolic
// link, a file with its own mode, owner or other names, a FIFO, a device, a
// directory, and names at the length limits. Each output format goes through
// the same writer, so every case runs for SAC (.sac) and PEPP (.set) output.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunCommand.h"
#include "support/SacBuilder.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

using test::CommandRun;
using test::ReadText;
using test::RunCommand;
using test::SacBuilder;
namespace fs = std::filesystem;

// The file's identity: a file replaced by a new one has a new inode, a file
// written in place keeps its own.
ino_t Inode(const fs::path& path) {
  struct stat s;
  return ::stat(path.c_str(), &s) == 0 ? s.st_ino : 0;
}

class ConvertTargets : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    SacBuilder b(SacBuilder::kLittle);
    b.Float(0, 0.05f)
        .Float(31, 48.25f)
        .Float(32, -11.5f)
        .Int(0, 2024)
        .Int(1, 65)
        .Int(2, 6)
        .Int(3, 7)
        .Int(4, 8)
        .Int(5, 250)
        .Text(0, "FUR")
        .Text(19, "BHZ")
        .Samples({0.5f, -1.5f, 2.25f, 3.0f, -4.0f});
    in_ = (dir / "in.sac").string();
    b.WriteTo(in_);
    // What convert writes into a new file: every other target must end up
    // with these bytes.
    const std::string reference = (scratch / ("reference" + Extension())).string();
    CommandRun run = Convert(reference);
    ASSERT_EQ(run.status, 0) << run.err;
    expected_ = ReadText(reference);
    ASSERT_FALSE(expected_.empty());
  }

  std::string Extension() const { return GetParam(); }
  CommandRun Convert(const std::string& out) { return RunCommand(ORVANE_TOOL_PATH, {"convert", in_, out}, scratch.path()); }
  // The names in the test's directory, other than the input.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path()))
      if (e.path().filename() != "in.sac") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScopedTempDir dir;
  test::ScopedTempDir scratch;
  std::string in_;
  std::string expected_;
};

TEST_P(ConvertTargets, SymbolicLinkUpdatesItsTargetAndStaysALink) {
  const fs::path real = dir / ("real" + Extension());
  test::WriteBytes(real, {'o', 'l', 'd'});
  const fs::path link = dir / ("link" + Extension());
  fs::create_symlink(real.filename(), link);  // relative, as links usually are
  const fs::path second = dir / ("second" + Extension());
  fs::create_symlink(link.filename(), second);  // a link to the link
  for (const fs::path& name : {link, second}) {
    SCOPED_TRACE(name.filename().string());
    test::WriteBytes(real, {'o', 'l', 'd'});
    CommandRun run = Convert(name.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(second));
    EXPECT_EQ(ReadText(real), expected_);
  }
  // A link to a file not yet there creates that file.
  const fs::path dangling = dir / ("dangling" + Extension());
  fs::create_symlink("made" + Extension(), dangling);
  CommandRun run = Convert(dangling.string());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(ReadText(dir / ("made" + Extension())), expected_);
  EXPECT_EQ(Names(), (std::vector<std::string>{"dangling" + Extension(), "link" + Extension(), "made" + Extension(),
                                               "real" + Extension(), "second" + Extension()}));
}

TEST_P(ConvertTargets, ModeOfTheOldFileIsKept) {
  for (fs::perms mode : {fs::perms(0600), fs::perms(0640), fs::perms(0755)}) {
    SCOPED_TRACE(static_cast<int>(mode));
    const fs::path out = dir / ("out" + Extension());
    test::WriteBytes(out, {'o', 'l', 'd'});
    fs::permissions(out, mode, fs::perm_options::replace);
    const ino_t before = Inode(out);
    CommandRun run = Convert(out.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(Inode(out), before);  // a new file, with the old one's mode
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::mask, mode);
    EXPECT_EQ(ReadText(out), expected_);
  }
}

TEST_P(ConvertTargets, OwnerOfTheOldFileIsKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "only a privileged user can make a file owned by another";
  const fs::path out = dir / ("out" + Extension());
  test::WriteBytes(out, {'o', 'l', 'd'});
  ASSERT_EQ(::chown(out.c_str(), 4321, 8765), 0);
  CommandRun run = Convert(out.string());
  ASSERT_EQ(run.status, 0) << run.err;
  struct stat s;
  ASSERT_EQ(::stat(out.c_str(), &s), 0);
  EXPECT_EQ(s.st_uid, 4321u);
  EXPECT_EQ(s.st_gid, 8765u);
  EXPECT_EQ(ReadText(out), expected_);
}

TEST_P(ConvertTargets, HardLinksKeepSeeingTheFile) {
  const fs::path out = dir / ("out" + Extension());
  const fs::path other = dir / "other-name";
  test::WriteBytes(out, {'o', 'l', 'd'});
  fs::create_hard_link(out, other);
  const ino_t before = Inode(out);
  CommandRun run = Convert(out.string());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(fs::hard_link_count(out), 2u);
  EXPECT_EQ(Inode(out), before);
  EXPECT_EQ(ReadText(other), expected_);
  EXPECT_EQ(ReadText(out), expected_);
}

// A FIFO is written into, not replaced: the process reading its other end
// gets the bytes.
TEST_P(ConvertTargets, FifoIsWrittenInPlace) {
  const fs::path fifo = dir / ("pipe" + Extension());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const fs::path got = scratch / "got.bin";
  // The reader gives up after a while, so that a FIFO replaced by a file
  // (no writer ever comes) fails the test instead of hanging it.
  const std::string command = "timeout 20 cat " + test::ShellQuote(fifo.string()) + " >" +
                              test::ShellQuote(got.string()) + " & " + test::ShellQuote(ORVANE_TOOL_PATH) +
                              " convert " + test::ShellQuote(in_) + " " + test::ShellQuote(fifo.string()) +
                              "; status=$?; wait; exit $status";
  CommandRun run = test::RunShell(command, scratch.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(ReadText(got), expected_);
  EXPECT_EQ(Names(), std::vector<std::string>{"pipe" + Extension()});
}

// A device is written to, never replaced (as a privileged user the old way
// would have replaced /dev/null itself, so the test only runs unprivileged,
// where the old way failed instead).
TEST_P(ConvertTargets, DeviceIsWrittenNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "not tried as a privileged user";
  CommandRun run = Convert("/dev/null");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_P(ConvertTargets, DirectoryIsRefusedAndNothingWritten) {
  const fs::path target = dir / ("taken" + Extension());
  fs::create_directory(target);
  test::WriteBytes(target / "inside", {'x'});
  CommandRun run = Convert(target.string());
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("directory"), std::string::npos) << run.err;
  EXPECT_EQ(Names(), std::vector<std::string>{"taken" + Extension()});
  EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 1);
  EXPECT_EQ(ReadText(target / "inside"), "x");
}

// A file name of 250 characters is valid (the limit is 255); the temporary
// file beside it must not need a longer one.
TEST_P(ConvertTargets, LongFileNameIsWritten) {
  const std::string name = std::string(250 - Extension().size(), 'n') + Extension();
  ASSERT_EQ(name.size(), 250u);
  for (bool existing : {false, true}) {
    SCOPED_TRACE(existing);
    if (existing) test::WriteBytes(dir / name, {'o', 'l', 'd'});
    const ino_t before = Inode(dir / name);
    CommandRun run = Convert((dir / name).string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(dir / name), expected_);
    EXPECT_EQ(Names(), std::vector<std::string>{name});
    // Replaced whole through a temporary file, not written in place.
    if (existing) {
      EXPECT_NE(Inode(dir / name), before);
    }
  }
}

// A path so close to the system's length limit that no temporary file fits
// beside it (its name is longer than the file's own): the file is written in
// place.
TEST_P(ConvertTargets, PathAtTheLengthLimitIsWrittenInPlace) {
  const long pathMax = ::pathconf(dir.path().c_str(), _PC_PATH_MAX);
  if (pathMax <= 0 || pathMax > 8192) GTEST_SKIP() << "no usable path length limit";
  const std::size_t longest = static_cast<std::size_t>(pathMax) - 1;  // without the terminator
  const std::string leaf = "x" + Extension();
  fs::path deep = dir.path();
  while (deep.string().size() + 1 + 255 + 1 + leaf.size() < longest) {
    deep /= std::string(200, 'd');
    fs::create_directory(deep);
  }
  // The last directory's name puts the file's path right at the limit.
  const std::size_t last = longest - deep.string().size() - 2 - leaf.size();
  ASSERT_GE(last, 1u);
  ASSERT_LE(last, 255u);
  deep /= std::string(last, 'e');
  fs::create_directory(deep);
  const fs::path target = deep / leaf;
  ASSERT_EQ(target.string().size(), longest);
  test::WriteBytes(target, {'o', 'l', 'd'});
  ASSERT_EQ(ReadText(target), "old");
  const ino_t before = Inode(target);
  CommandRun run = Convert(target.string());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadText(target), expected_);
  EXPECT_EQ(Inode(target), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(deep), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertTargets, testing::Values(".sac", ".set"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param + 1);
                         });

}  // namespace
}  // namespace orvane
