// Runs the built orvane-tool on PEPP and PSN files written by the test: the
// header as JSON, refusals with their reasons, conversion to and from PEPP.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/PEPP.h"
#include "support/MiniJson.h"
#include "support/PeppBuilder.h"
#include "support/PsnBuilder.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

using test::CommandRun;
using test::JsonValue;
using test::PeppBuilder;
using test::PsnBuilder;
using test::RunCommand;
namespace fs = std::filesystem;

float AsFloat(const JsonValue& v) { return static_cast<float>(v.number); }

class PeppPsnTool : public testing::Test {
 protected:
  CommandRun RunTool(const std::vector<std::string>& args) {
    return RunCommand(ORVANE_TOOL_PATH, args, scratch.path());
  }

  // The one record of `header FILE`.
  JsonValue Header(const std::string& file) {
    CommandRun run = RunTool({"header", file});
    EXPECT_EQ(run.status, 0) << run.err;
    auto json = test::ParseJson(run.out);
    EXPECT_TRUE(json && json->items.size() == 1) << run.out;
    return json && json->items.size() == 1 ? (*json)[0] : JsonValue{};
  }

  static PeppBuilder Pepp() {
    return PeppBuilder()
        .Short(17, 2004).Short(19, 12).Short(21, 26).Short(23, 361).Short(25, 1).Short(27, 2)
        .Float(29, 3.456f).Float(41, 50.0f).Float(51, -4.0f).Float(55, 6.0f).Float(59, 0.25f)
        .Byte(74, 'N').Float(84, 48.25f).Float(88, -11.5f).Short(92, 565).Text(94, 8, "FURTHERX")
        .Float(200, 3.3f).Float(204, 95.98f).Float(208, 30.0f).Float(234, 10.5f)
        .Samples({0.5f, -1.5f, 2.25f, 3.0f, -4.0f, 5.0f, 6.0f});
  }
  static PsnBuilder Psn() {
    std::vector<std::int16_t> samples(1000);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(i % 7) - 3;
    return PsnBuilder()
        .Short(2, 2024).Short(4, 3).Short(6, 1).Short(8, 23).Short(10, 59).Short(12, 55).Short(14, 5)
        .Short(16, 0).Short(18, 0).Short(20, 5).Short(22, 5)  // 10 s: 100 samples per second
        .Short(28, -3).Short(30, 3).Byte(32, 'E')
        .Short(34, -33).Short(36, 500).Short(38, 151).Short(40, 250)
        .Short(106, 120).Short(108, -6).Short(110, 100).Short(112, 130).Short(114, 750)
        .Samples(samples);
  }

  test::ScopedTempDir dir;
  test::ScopedTempDir scratch;  // the tool's captured output, apart from the files under test
};

TEST_F(PeppPsnTool, HeaderOfAPeppFile) {
  const fs::path file = dir / "fur.set";
  Pepp().WriteTo(file);
  const JsonValue r = Header(file.string());
  EXPECT_EQ(r["format"].Latin1(), "pepp");
  EXPECT_EQ(r["origin"].number, 1);
  EXPECT_EQ(r["npts"].number, 7);
  EXPECT_EQ(AsFloat(r["delta"]), 0.02f);
  EXPECT_EQ(r["kstnm"].Latin1(), "FURTHERX");
  EXPECT_EQ(r["kcmpnm"].Latin1(), "N");
  EXPECT_EQ(AsFloat(r["stla"]), 48.25f);
  EXPECT_EQ(AsFloat(r["stel"]), 565.0f);
  EXPECT_EQ(AsFloat(r["evdp"]), 30000.0f);
  EXPECT_EQ(AsFloat(r["gcarc"]), 10.5f);
  // Minimum, maximum and mean as the file gives them.
  EXPECT_EQ(AsFloat(r["depmin"]), -4.0f);
  EXPECT_EQ(AsFloat(r["depmen"]), 0.25f);
  EXPECT_EQ(r["reference"].Latin1(), "2004-12-26T01:02:03.456");
  EXPECT_TRUE(r["o"].IsNull());
  ASSERT_EQ(r["samples"].items.size(), 5u);
  EXPECT_EQ(AsFloat(r["samples"][2]), 2.25f);
}

TEST_F(PeppPsnTool, PrefixedPeppAndPeppUnderASacNameReadToo) {
  auto prefixed = Pepp();
  prefixed.Prefix(std::vector<unsigned char>(36, 0xEE)).WriteTo(dir / "prefixed.set");
  EXPECT_EQ(Header((dir / "prefixed.set").string())["npts"].number, 7);
  // Event opening reads a file the SAC reader refuses as PEPP. (Bytes 316-319,
  // not interpreted by PEPP, are where SAC keeps npts: negative here.)
  Pepp().Int(316, -5).WriteTo(dir / "station.sac");
  const JsonValue r = Header((dir / "station.sac").string());
  EXPECT_EQ(r["format"].Latin1(), "pepp");
  EXPECT_EQ(r["kstnm"].Latin1(), "FURTHERX");
}

// A pipe is read once: a PEPP file coming through one under a name without
// its extension still reaches the PEPP reader after the SAC reader refused it
// (bytes 316-319, where SAC keeps npts, are negative here).
TEST_F(PeppPsnTool, PeppAndPsnThroughAPipe) {
  Pepp().Int(316, -5).WriteTo(dir / "fur.set");
  Psn().WriteTo(dir / "station.psn");
  const std::string tool = test::ShellQuote(ORVANE_TOOL_PATH);
  const struct {
    const char* file;
    const char* options;
    const char* format;
  } rows[] = {{"fur.set", "", "pepp"}, {"fur.set", "--format pepp ", "pepp"}, {"station.psn", "--format psn ", "psn"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.options) + row.file);
    const std::string file = (dir / row.file).string();
    CommandRun run = test::RunShell(
        "cat " + test::ShellQuote(file) + " | " + tool + " header " + row.options + "/dev/stdin", scratch.path());
    ASSERT_EQ(run.status, 0) << run.err;
    auto json = test::ParseJson(run.out);
    ASSERT_TRUE(json && json->items.size() == 1) << run.out;
    const JsonValue direct = Header(file);
    for (const auto& [key, value] : direct.members) {
      if (key == "file") continue;
      SCOPED_TRACE(key);
      EXPECT_EQ(value.numberText, (*json)[0][key].numberText);
      EXPECT_EQ(value.Latin1(), (*json)[0][key].Latin1());
    }
    EXPECT_EQ((*json)[0]["format"].Latin1(), row.format);
  }
  // Neither SAC nor PEPP: both reasons, as for a file.
  CommandRun neither = test::RunShell("printf 'not a seismogram' | " + tool + " header /dev/stdin", scratch.path());
  EXPECT_EQ(neither.status, 1);
  EXPECT_NE(neither.err.find("not a SAC file: the file has 16 bytes"), std::string::npos) << neither.err;
  EXPECT_NE(neither.err.find("; not a PEPP file: "), std::string::npos) << neither.err;
}

TEST_F(PeppPsnTool, HeaderOfAPsnFile) {
  const fs::path file = dir / "station.psn";
  Psn().WriteTo(file);
  const JsonValue r = Header(file.string());
  EXPECT_EQ(r["format"].Latin1(), "psn");
  EXPECT_EQ(r["origin"].number, 2);
  EXPECT_EQ(r["npts"].number, 1000);
  EXPECT_EQ(AsFloat(r["delta"]), 0.01f);
  EXPECT_EQ(r["kstnm"].Latin1(), "-12345");
  EXPECT_EQ(r["kcmpnm"].Latin1(), "E");
  EXPECT_FLOAT_EQ(AsFloat(r["stla"]), -33.5f);
  EXPECT_FLOAT_EQ(AsFloat(r["stlo"]), 151.25f);
  EXPECT_FLOAT_EQ(AsFloat(r["evla"]), -6.1f);
  EXPECT_FLOAT_EQ(AsFloat(r["evlo"]), 130.75f);
  EXPECT_EQ(AsFloat(r["evdp"]), 12000.0f);
  EXPECT_EQ(AsFloat(r["depmin"]), -3.0f);
  EXPECT_TRUE(r["depmen"].IsNull());
  EXPECT_EQ(r["reference"].Latin1(), "2024-03-01T23:59:55.050");
}

// Times that the files allow but a calendar does not (hour 24, second 60)
// become the instant they stand for: the record has a reference time, and a
// trial with it is made instead of refused.
TEST_F(PeppPsnTool, StartAtTheEndOfAMinuteOrDayLocates) {
  const struct {
    const char* name;
    const char* file;
    std::function<void(const std::string&)> write;
    const char* reference;
  } rows[] = {
      {"PSN 23:59:60.0", "late.psn",
       [](const std::string& f) { Psn().Short(12, 60).Short(14, 0).Short(20, 10).WriteTo(f); },
       "2024-03-02T00:00:00.000"},
      {"PSN 24:00:00.0", "midnight.psn",
       [](const std::string& f) { Psn().Short(8, 24).Short(10, 0).Short(12, 0).Short(14, 0).WriteTo(f); },
       "2024-03-02T00:00:00.000"},
      {"PEPP seconds 60.0", "late.set", [](const std::string& f) { Pepp().Float(29, 60.0f).WriteTo(f); },
       "2004-12-26T01:03:00.000"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string file = (dir / row.file).string();
    row.write(file);
    EXPECT_EQ(Header(file)["reference"].Latin1(), row.reference);
    CommandRun run = RunTool({"locate", "--epicentre", "10,20", "--pick", file + "=5", file});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
  }
}

TEST_F(PeppPsnTool, RefusedFilesAreNamedWithTheReasonAndItsOffset) {
  Psn().Short(2, 1959).WriteTo(dir / "old.psn");
  Pepp().MarkerValue(95959596).WriteTo(dir / "marker.set");
  Psn().WriteTo(dir / "cut.psn", 207 + 1000);
  CommandRun run = RunTool({"header", (dir / "old.psn").string(), (dir / "marker.set").string(),
                            (dir / "cut.psn").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("old.psn: not a PSN file: the year 1959 is outside 1960 to 2099 (at byte 9)"),
            std::string::npos) << run.err;
  EXPECT_NE(run.err.find("marker.set: not a PEPP file: the end marker is 95959596 instead of 95959595 (at byte 669)"),
            std::string::npos) << run.err;
  EXPECT_NE(run.err.find("cut.psn: not a PSN file: the file ends inside the samples"), std::string::npos) << run.err;
  auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  EXPECT_TRUE(json->items.empty());
}

TEST_F(PeppPsnTool, ConvertPsnToPeppKeepsTheHeader) {
  Psn().WriteTo(dir / "in.psn");
  const std::string out = (dir / "out.set").string();
  CommandRun run = RunTool({"convert", (dir / "in.psn").string(), out});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  PEPP written(out);
  EXPECT_EQ(written.Npts(), 1000);
  EXPECT_EQ(written.GetFloat(PEPP::SAMPLING_RATE), 100.0f);
  EXPECT_FLOAT_EQ(written.GetFloat(PEPP::EVDP_KM), 12.0f);
  EXPECT_EQ(written.GetShort(PEPP::DAY_OF_YEAR), 61);
  EXPECT_EQ(written.GetShort(PEPP::MONTH), 3);

  const JsonValue a = Header((dir / "in.psn").string());
  const JsonValue b = Header(out);
  for (const char* key : {"npts", "delta", "stla", "stlo", "evla", "evlo", "evdp", "depmin", "depmax",
                          "reference", "referenceSeconds", "kcmpnm"}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(a[key].numberText, b[key].numberText);
    EXPECT_EQ(a[key].Latin1(), b[key].Latin1());
  }
  EXPECT_EQ(b["format"].Latin1(), "pepp");
  EXPECT_EQ(b["kstnm"].Latin1(), "-12345");
}

TEST_F(PeppPsnTool, ConvertPeppToSacAndBack) {
  Pepp().WriteTo(dir / "in.set");
  ASSERT_EQ(RunTool({"convert", (dir / "in.set").string(), (dir / "mid.sac").string()}).status, 0);
  CommandRun back = RunTool({"convert", (dir / "mid.sac").string(), (dir / "back.set").string()});
  ASSERT_EQ(back.status, 0) << back.err;
  PEPP original((dir / "in.set").string());
  PEPP returned((dir / "back.set").string());
  EXPECT_EQ(returned.samples, original.samples);
  for (int offset : {int(PEPP::STLA), int(PEPP::STLO), int(PEPP::EVLA), int(PEPP::EVLO), int(PEPP::EVDP_KM),
                     int(PEPP::GCARC), int(PEPP::SAMPLING_RATE)}) {
    SCOPED_TRACE(offset);
    EXPECT_FLOAT_EQ(returned.GetFloat(offset), original.GetFloat(offset));
  }
  EXPECT_EQ(returned.GetText(PEPP::STATION, 8), "FURTHERX");
  EXPECT_EQ(returned.GetShort(PEPP::STEL), 565);
}

// PEPP to PEPP: everything the record has no place for (the uninterpreted
// bytes, comments, sensor, recording mode, format version) is carried from
// the file; only the fields the conversion defines are written anew, and for
// a file whose fields agree with one another those come out the same too.
TEST_F(PeppPsnTool, ConvertPeppToPeppKeepsEveryField) {
  // Byte ranges (offset, width) that the conversion sets from the record.
  const std::vector<std::pair<std::size_t, std::size_t>> defined = {
      {17, 2},  {19, 2},  {21, 2},  {23, 2},  {25, 2},  {27, 2},  {29, 4},  {33, 4},  {37, 4},
      {41, 4},  {45, 4},  {51, 4},  {55, 4},  {59, 4},  {74, 1},  {84, 4},  {88, 4},  {92, 2},
      {94, 8},  {200, 4}, {204, 4}, {208, 4}, {212, 20}, {234, 4}, {238, 4}, {242, 4}, {246, 4}};
  const auto isDefined = [&](std::size_t offset) {
    for (const auto& [at, width] : defined)
      if (offset >= at && offset < at + width) return true;
    return false;
  };
  // Every byte that the conversion does not define holds a pattern.
  PeppBuilder b = Pepp();
  for (std::size_t i = 2; i < 641; ++i) {
    if (!isDefined(i)) b.Byte(i, static_cast<unsigned char>((i * 37 + 11) & 0xFF));
  }
  b.Text(79, 5, "CONT").Text(159, 5, "XY-9").Text(341, 30, "first comment line").Text(611, 30, "last comment");
  // Defined fields that agree with one another: end = delta (npts - 1).
  b.Float(29, 8.25f).Float(33, 0.0f).Float(37, (1.0f / 50.0f) * 6.0f);
  for (int i = 0; i < 5; ++i) b.Float(212 + 4 * static_cast<std::size_t>(i), 1.5f * static_cast<float>(i));
  b.Float(238, 1167.5f).Float(242, 45.25f).Float(246, 225.5f);
  const fs::path in = dir / "in.set";
  b.WriteTo(in);
  const fs::path out = dir / "out.set";
  CommandRun run = RunTool({"convert", in.string(), out.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ReadText(out), test::ReadText(in));

  // Fields that disagree (begin 0.5, a month that is not the day of the
  // year's): only defined fields may differ.
  b.Float(33, 0.5f).Short(19, 7);
  b.Prefix(std::vector<unsigned char>(36, 0xEE));
  b.WriteTo(in);
  run = RunTool({"convert", in.string(), out.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string original = test::ReadText(in).substr(36);
  const std::string converted = test::ReadText(out);
  ASSERT_EQ(converted.size(), original.size());
  std::vector<std::size_t> differing;
  for (std::size_t i = 0; i < converted.size(); ++i)
    if (converted[i] != original[i]) differing.push_back(i);
  EXPECT_FALSE(differing.empty());
  for (std::size_t i : differing) EXPECT_TRUE(i < 641 && isDefined(i)) << "byte " << i;
}

// Reading a PSN file turns its samples into floats, and nothing writes one
// back: a .psn output is refused and nothing is written.
TEST_F(PeppPsnTool, ConvertToPsnIsRefused) {
  Psn().WriteTo(dir / "in.psn");
  Pepp().WriteTo(dir / "in.set");
  std::ofstream(dir / "keep.psn") << "old";
  for (const char* input : {"in.psn", "in.set"}) {
    for (const char* output : {"new.psn", "NEW.PSN", "keep.psn"}) {
      SCOPED_TRACE(std::string(input) + " to " + output);
      const fs::path out = dir / output;
      CommandRun run = RunTool({"convert", (dir / input).string(), out.string()});
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.err, "orvane-tool: " + out.string() +
                             ": there is no conversion into PSN files: name the output .sac (SAC) or .set (PEPP)\n");
    }
  }
  EXPECT_FALSE(fs::exists(dir / "new.psn"));
  EXPECT_FALSE(fs::exists(dir / "NEW.PSN"));
  EXPECT_EQ(test::ReadText(dir / "keep.psn"), "old");
}

TEST_F(PeppPsnTool, FailedConvertToPeppLeavesNothing) {
  Pepp().WriteTo(dir / "in.set");
  const std::string nowhere = (dir / "no-such-dir" / "out.set").string();
  CommandRun run = RunTool({"convert", (dir / "in.set").string(), nowhere});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("orvane-tool: " + nowhere + ": the file cannot be created", 0), 0u) << run.err;
  fs::create_directory(dir / "taken.set");
  CommandRun onDirectory = RunTool({"convert", (dir / "in.set").string(), (dir / "taken.set").string()});
  EXPECT_EQ(onDirectory.status, 1);
  EXPECT_NE(onDirectory.err.find("directory"), std::string::npos) << onDirectory.err;
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
      << "only in.set and taken.set";
}

}  // namespace
}  // namespace orvane
