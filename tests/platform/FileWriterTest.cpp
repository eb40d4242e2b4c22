// The writer of every file Orvane writes: a write that fails, at any step,
// leaves the old file as it was and no temporary file behind, and says why.
#include "platform/FileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/ByteWriter.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

std::size_t Entries(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(WriteFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  test::ScopedTempDir dir;
  const fs::path existing = dir / "existing.sac";
  test::WriteBytes(existing, {'o', 'l', 'd'});
  const fs::path fresh = dir / "fresh.sac";
  // Some bytes written, then the writer gives up (as a full disk would).
  const auto failing = [](std::FILE* out) {
    std::fputs("half", out);
    return false;
  };
  std::string reason;
  EXPECT_FALSE(WriteFile(existing.string(), failing, &reason));
  EXPECT_EQ(reason.rfind("the file could not be written", 0), 0u) << reason;
  EXPECT_EQ(test::ReadText(existing), "old");
  EXPECT_FALSE(WriteFile(fresh.string(), failing, &reason));
  EXPECT_FALSE(fs::exists(fresh));
  EXPECT_EQ(Entries(dir.path()), 1u);
}

// A full disk can stop a write at any step; none of them may cost the old
// file, its mode, or leave a temporary file.
TEST(WriteFile, AFailureAtAnyStepKeepsTheOldFileWhole) {
  test::ScopedTempDir dir;
  const fs::path existing = dir / "work.orvex";
  test::WriteBytes(existing, {'o', 'l', 'd'});
  fs::permissions(existing, fs::perms(0640), fs::perm_options::replace);
  for (WriteStep step : {WriteStep::kOpen, WriteStep::kWrite, WriteStep::kFlush, WriteStep::kSync,
                         WriteStep::kClose, WriteStep::kRename}) {
    SCOPED_TRACE(static_cast<int>(step));
    FailNextWriteAt(step);
    std::string reason;
    EXPECT_FALSE(WriteFileAtomically(existing.string(), std::string_view("new text"), &reason));
    EXPECT_NE(reason.find("No space left on device"), std::string::npos) << reason;
    EXPECT_EQ(test::ReadText(existing), "old");
    EXPECT_EQ(fs::status(existing).permissions(), fs::perms(0640));
    EXPECT_EQ(Entries(dir.path()), 1u);
  }
  // The failure was one write's: the next one goes through.
  ASSERT_TRUE(WriteFileAtomically(existing.string(), std::string_view("new text")));
  EXPECT_EQ(test::ReadText(existing), "new text");
  EXPECT_EQ(fs::status(existing).permissions(), fs::perms(0640));
}

TEST(WriteFile, RefusalsSayWhy) {
  test::ScopedTempDir dir;
  const auto writeNothing = [](std::FILE*) { return true; };
  const struct {
    const char* name;
    std::string path;
    const char* reason;
  } rows[] = {
      {"no name", "", "no file name was given"},
      {"a directory", dir.path().string(), "the path is a directory"},
      {"a missing directory", (dir / "missing" / "a.sac").string(), "the file cannot be created: No such file"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string reason;
    EXPECT_FALSE(WriteFile(row.path, writeNothing, &reason));
    EXPECT_EQ(reason.rfind(row.reason, 0), 0u) << reason;
  }
  EXPECT_EQ(Entries(dir.path()), 0u);
}

}  // namespace
}  // namespace orvane
