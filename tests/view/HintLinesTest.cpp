// Reading a hints text into the lines the hints window shows, and the hints
// texts that come with the program.

#include "view/HintLines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/DataFile.h"

namespace orvane {
namespace {

using Lines = std::vector<std::string>;

TEST(HintLines, LinesOfAText) {
  struct Row {
    const char* name;
    std::string text;
    Lines lines;
  } rows[] = {
      {"two lines, each with a line feed", "one\ntwo\n", {"one", "two"}},
      {"a last line without a line feed is shown", "one\ntwo", {"one", "two"}},
      {"an empty line inside stays", "a\n\nb\n", {"a", "", "b"}},
      {"an empty text has no line", "", {}},
      {"a line feed alone is one empty line", "\n", {""}},
      {"two line feeds are two empty lines", "\n\n", {"", ""}},
      {"carriage returns of a Windows text are dropped", "one\r\ntwo\r\n", {"one", "two"}},
      {"also on a last line", "one\r", {"one"}},
      {"a lone carriage return becomes a blank", "a\rb\n", {"a b"}},
      {"NUL and other controls become blanks", std::string("a\0b\x01" "c\x7f", 6), {"a b c "}},
      {"tabs stay", "a\tb", {"a\tb"}},
      {"bytes beyond ASCII stay", "\xc3\xa9t\xc3\xa9\n", {"\xc3\xa9t\xc3\xa9"}},
      {"a line of exactly 119 bytes stays whole", std::string(119, 'x'), {std::string(119, 'x')}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReadHintLines(row.text), row.lines);
    std::istringstream in(row.text);
    EXPECT_EQ(ReadHintLines(in), row.lines);
  }
}

// Lines longer than 119 bytes are split so that nothing of the text is lost.
TEST(HintLines, LongLinesAreSplitNotCut) {
  struct Row {
    const char* name;
    std::string line;
    std::vector<std::size_t> sizes;
  } rows[] = {
      {"no blank: at the limit", std::string(250, 'x'), {119, 119, 12}},
      {"one more than the limit", std::string(120, 'x'), {119, 1}},
      {"after the last blank that fits", std::string(100, 'a') + " " + std::string(30, 'b'), {101, 30}},
      {"a blank right at the limit ends the first piece", std::string(118, 'a') + " " + std::string(5, 'b'),
       {119, 5}},
      // 70 two-byte characters: byte 119 is the second byte of the 60th one.
      {"never inside a UTF-8 character", [] {
         std::string s;
         for (int i = 0; i < 70; ++i) s += "\xc3\xa9";
         return s;
       }(),
       {118, 22}},
      // A stray continuation byte run longer than a character: split at the limit.
      {"broken UTF-8 is split at the limit", std::string(116, 'x') + std::string(10, '\x80'), {119, 7}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Lines lines = ReadHintLines(row.line + "\n");
    std::vector<std::size_t> sizes;
    std::string joined;
    for (const std::string& line : lines) {
      sizes.push_back(line.size());
      joined += line;
    }
    EXPECT_EQ(sizes, row.sizes);
    EXPECT_EQ(joined, row.line);
  }
}

TEST(HintLines, OnlyTheFirstMegabyteIsRead) {
  const std::string text(3 * kMaxHintTextBytes, 'y');
  std::size_t total = 0;
  for (const std::string& line : ReadHintLines(text)) total += line.size();
  EXPECT_EQ(total, kMaxHintTextBytes);
  std::istringstream in(text);
  EXPECT_EQ(ReadHintLines(in).size(), ReadHintLines(text).size());
}

TEST(HintLines, AStreamThatCannotBeReadGivesNoLines) {
  std::ifstream missing("no-such-hints.txt");
  EXPECT_TRUE(ReadHintLines(missing).empty());
}

// The texts that come with the program: found through the data-file lookup,
// short lines a student can read without a horizontal scroll bar, and the
// steps of the exercise named.
TEST(ShippedHints, ShortLinesThatNameTheSteps) {
  struct Row {
    const char* file;
    std::vector<std::string> mentions;
  } rows[] = {
      {"init.txt", {"File > Open Event", "Controls > Set Depth", "P wave", "RMS", "Want hints"}},
      {"picking.txt", {"Click once", "Set Depth", "Yours", "RMS", "clears the trial", "Delta T"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string path = FindDataFile(row.file);
    ASSERT_FALSE(path.empty());
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    const Lines lines = ReadHintLines(text);
    EXPECT_GE(lines.size(), 10u);
    for (const std::string& line : lines) EXPECT_LT(line.size(), 100u) << line;
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    for (const std::string& words : row.mentions) EXPECT_NE(text.find(words), std::string::npos) << words;
  }
}

}  // namespace
}  // namespace orvane
