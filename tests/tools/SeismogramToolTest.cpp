// Runs the built orvane-tool on SAC files written by the test and checks its
// JSON, its messages and its exit status.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "seismogram/KSAC.h"
#include "support/MiniJson.h"
#include "support/RunCommand.h"
#include "support/SacBuilder.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

using test::CommandRun;
using test::JsonValue;
using test::ReadText;
using test::RunCommand;
using test::SacBuilder;
namespace fs = std::filesystem;

class Tool : public testing::Test {
 protected:
  CommandRun RunTool(const std::vector<std::string>& args) { return RunCommand(ORVANE_TOOL_PATH, args, dir.path()); }

  std::string Write(const SacBuilder& b, const std::string& name) {
    const fs::path p = dir / name;
    b.WriteTo(p);
    return p.string();
  }

  static SacBuilder Station(SacBuilder::Order order) {
    SacBuilder b(order);
    b.Float(KSAC::DELTA, 0.01f)
        .Float(KSAC::B, 0.0f)
        .Float(KSAC::E, 0.06f)
        .Float(KSAC::STLA, 48.25f)
        .Float(KSAC::STLO, -11.5f)
        .Float(KSAC::STEL, 565.0f)
        .Float(KSAC::EVLA, 3.3f)
        .Float(KSAC::EVLO, 95.98f)
        .Float(KSAC::EVDP, 30000.0f)
        .Float(KSAC::T0, 12.5f)
        .Float(KSAC::T0 + 1, 14.25f)
        .Float(KSAC::DEPMAX, 999.0f)
        .Int(KSAC::NZYEAR, 2004)
        .Int(KSAC::NZJDAY, 361)
        .Int(KSAC::NZHOUR, 1)
        .Int(KSAC::NZMIN, 2)
        .Int(KSAC::NZSEC, 3)
        .Int(KSAC::NZMSEC, 456)
        .Text(KSAC::KSTNM, "FUR")
        .Text(KSAC::KCMPNM, "BHZ")
        .Samples({0.5f, -1.5f, 2.25f, 3.0f, -4.0f, 5.0f, 6.0f});
    return b;
  }

  test::ScopedTempDir dir;
};

float AsFloat(const JsonValue& v) { return static_cast<float>(v.number); }

TEST_F(Tool, HeaderOfBothByteOrders) {
  const std::string le = Write(Station(SacBuilder::kLittle), "le.sac");
  const std::string be = Write(Station(SacBuilder::kBig), "be.sac");
  CommandRun run = RunTool({"header", le, be});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  ASSERT_EQ(json->kind, JsonValue::kArray);
  ASSERT_EQ(json->items.size(), 2u);

  const char* keys[] = {"file", "format", "origin", "npts", "delta", "b", "e", "o", "kstnm", "kcmpnm",
                        "stla", "stlo", "stel", "evla", "evlo", "evdp", "gcarc", "user5", "depmin",
                        "depmax", "depmen", "reference", "referenceSeconds", "picks", "samples"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const JsonValue& r = (*json)[static_cast<std::size_t>(i)];
    ASSERT_EQ(r.members.size(), std::size(keys));
    for (std::size_t k = 0; k < std::size(keys); ++k) EXPECT_EQ(r.members[k].first, keys[k]);
    EXPECT_EQ(r["file"].Latin1(), i == 0 ? le : be);
    EXPECT_EQ(r["format"].Latin1(), "sac");
    EXPECT_EQ(r["origin"].number, 0);
    EXPECT_EQ(r["npts"].number, 7);
    EXPECT_EQ(AsFloat(r["delta"]), 0.01f);
    EXPECT_EQ(r["delta"].numberText, "0.01");
    EXPECT_EQ(AsFloat(r["e"]), 0.06f);
    EXPECT_TRUE(r["o"].IsNull());
    EXPECT_EQ(r["kstnm"].Latin1(), "FUR");
    EXPECT_EQ(r["kcmpnm"].Latin1(), "BHZ");
    EXPECT_EQ(AsFloat(r["stla"]), 48.25f);
    EXPECT_EQ(AsFloat(r["stlo"]), -11.5f);
    EXPECT_EQ(AsFloat(r["stel"]), 565.0f);
    EXPECT_EQ(AsFloat(r["evla"]), 3.3f);
    EXPECT_EQ(AsFloat(r["evlo"]), 95.98f);
    EXPECT_EQ(AsFloat(r["evdp"]), 30000.0f);
    EXPECT_TRUE(r["gcarc"].IsNull());
    EXPECT_TRUE(r["user5"].IsNull());
    // Minimum, maximum and mean come from the samples, not the header.
    EXPECT_EQ(AsFloat(r["depmin"]), -4.0f);
    EXPECT_EQ(AsFloat(r["depmax"]), 6.0f);
    EXPECT_EQ(AsFloat(r["depmen"]), 11.25f / 7);
    EXPECT_EQ(r["reference"].Latin1(), "2004-12-26T01:02:03.456");
    // Tenths since 1601: the 6 ms below the tenth are dropped.
    EXPECT_EQ(r["referenceSeconds"].numberText, "12748496523.4");
    ASSERT_EQ(r["picks"].items.size(), 10u);
    EXPECT_EQ(AsFloat(r["picks"][0]), 12.5f);
    EXPECT_EQ(AsFloat(r["picks"][1]), 14.25f);
    EXPECT_EQ(r["picks"][2].number, 0);  // UNDEFINED reads as no pick
    ASSERT_EQ(r["samples"].items.size(), 5u);
    EXPECT_EQ(AsFloat(r["samples"][0]), 0.5f);
    EXPECT_EQ(AsFloat(r["samples"][4]), -4.0f);
  }
}

TEST_F(Tool, UndefinedAndNonFiniteValuesPrintAsNull) {
  SacBuilder b;  // a fresh header: no reference time, every float UNDEFINED
  b.Float(KSAC::DELTA, std::bit_cast<float>(0x7f800000u))
      .Samples({1.0f, std::bit_cast<float>(0x7fc00000u)});
  CommandRun run = RunTool({"header", Write(b, "x.sac")});
  ASSERT_EQ(run.status, 0) << run.err;
  auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  const JsonValue& r = (*json)[0];
  EXPECT_TRUE(r["delta"].IsNull());
  EXPECT_TRUE(r["stla"].IsNull());
  EXPECT_TRUE(r["reference"].IsNull());
  EXPECT_TRUE(r["referenceSeconds"].IsNull());
  EXPECT_EQ(r["depmen"].number, 1);  // the NaN sample is left out of the mean
  EXPECT_EQ(r["samples"][0].number, 1);
  EXPECT_TRUE(r["samples"][1].IsNull());
  EXPECT_EQ(r["kstnm"].Latin1(), "-12345");
}

TEST_F(Tool, RawTextBytesStayValidJson) {
  auto b = Station(SacBuilder::kLittle);
  b.Text(KSAC::KSTNM, std::string("A\"\\\n\x01\xe9\xff", 7)).Text(KSAC::KCMPNM, std::string("\0Z", 2));
  CommandRun run = RunTool({"header", Write(b, "odd.sac")});
  ASSERT_EQ(run.status, 0) << run.err;
  auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  EXPECT_EQ((*json)[0]["kstnm"].Latin1(), std::string("A\"\\\n\x01\xe9\xff", 7));
  EXPECT_EQ((*json)[0]["kcmpnm"].Latin1(), "");  // the text ends at its first NUL
}

TEST_F(Tool, UnreadableFilesAreNamedOnStandardError) {
  const std::string good = Write(Station(SacBuilder::kBig), "good.sac");
  const std::string missing = (dir / "missing.sac").string();
  auto shortFile = Station(SacBuilder::kBig);
  const fs::path cut = dir / "cut.sac";
  shortFile.WriteTo(cut, 640);
  CommandRun run = RunTool({"header", missing, good, cut.string()});
  EXPECT_EQ(run.status, 1);
  auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  ASSERT_EQ(json->items.size(), 1u);
  EXPECT_EQ((*json)[0]["file"].Latin1(), good);
  // One line per failed file, in argument order.
  const std::string firstLine = "orvane-tool: " + missing + ": ";
  ASSERT_EQ(run.err.compare(0, firstLine.size(), firstLine), 0) << run.err;
  const std::size_t secondStart = run.err.find('\n') + 1;
  const std::string secondLine = "orvane-tool: " + cut.string() + ": ";
  EXPECT_EQ(run.err.compare(secondStart, secondLine.size(), secondLine), 0) << run.err;
  EXPECT_NE(run.err.find("ends at byte 640"), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2);
}

TEST_F(Tool, OutputThatCannotBeWrittenIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  const std::string good = Write(Station(SacBuilder::kBig), "good.sac");
  // The inner shell sends the tool's standard output to a device that is
  // always full; its standard error still reaches the test.
  const std::string inner = test::ShellQuote(ORVANE_TOOL_PATH) + " header " + test::ShellQuote(good) + " >/dev/full";
  CommandRun run = test::RunShell("sh -c " + test::ShellQuote(inner), dir.path());
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("orvane-tool: standard output: ", 0), 0u) << run.err;
}

TEST_F(Tool, ForcedFormatUsesOneReader) {
  // A SAC file under a PEPP name reads when SAC is forced.
  const std::string named = Write(Station(SacBuilder::kLittle), "station.set");
  CommandRun forced = RunTool({"header", "--format", "sac", named});
  ASSERT_EQ(forced.status, 0) << forced.err;
  auto json = test::ParseJson(forced.out);
  ASSERT_TRUE(json);
  EXPECT_EQ((*json)[0]["format"].Latin1(), "sac");
  // By its name it goes to the PEPP reader, which finds no PEPP file in it.
  CommandRun byName = RunTool({"header", named});
  EXPECT_EQ(byName.status, 1);
  EXPECT_NE(byName.err.find("orvane-tool: " + named + ": "), std::string::npos);
  // Forcing PEPP on a SAC file: no fallback to the SAC reader.
  const std::string sac = Write(Station(SacBuilder::kLittle), "station.sac");
  CommandRun pepp = RunTool({"header", "--format", "pepp", sac});
  EXPECT_EQ(pepp.status, 1);
  auto empty = test::ParseJson(pepp.out);
  ASSERT_TRUE(empty) << pepp.out;
  EXPECT_TRUE(empty->items.empty());
}

TEST_F(Tool, BadArguments) {
  EXPECT_EQ(RunTool({"header"}).status, 2);
  EXPECT_EQ(RunTool({"header", "--format", "mseed", "x.sac"}).status, 2);
  EXPECT_EQ(RunTool({"header", "--format"}).status, 2);
  EXPECT_EQ(RunTool({"header", "-x", "a.sac"}).status, 2);  // a mistyped option, not a file
  EXPECT_EQ(RunTool({"convert", "--format=pepp", "-q", "a", "b"}).status, 2);
  EXPECT_EQ(RunTool({"convert", "only-one.sac"}).status, 2);
  EXPECT_EQ(RunTool({"convert", "a", "b", "c"}).status, 2);
}

TEST_F(Tool, ConvertWritesBigEndianSac) {
  const std::string in = Write(Station(SacBuilder::kLittle), "in.sac");
  const std::string out = (dir / "out.sac").string();
  CommandRun run = RunTool({"convert", in, out});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string bytes = ReadText(out);
  ASSERT_EQ(bytes.size(), 632u + 4 * 7);
  const std::uint32_t delta = std::bit_cast<std::uint32_t>(0.01f);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), delta >> 24);
  EXPECT_EQ(static_cast<unsigned char>(bytes[3]), delta & 0xff);

  // The converted file shows the same header as the original.
  CommandRun a = RunTool({"header", in});
  CommandRun b = RunTool({"header", out});
  auto ja = test::ParseJson(a.out), jb = test::ParseJson(b.out);
  ASSERT_TRUE(ja && jb);
  for (const auto& [key, value] : (*ja)[0].members) {
    if (key == "file") continue;
    SCOPED_TRACE(key);
    const JsonValue& other = (*jb)[0][key];
    EXPECT_EQ(value.kind, other.kind);
    EXPECT_EQ(value.numberText, other.numberText);
    EXPECT_EQ(value.Latin1(), other.Latin1());
    EXPECT_EQ(value.items.size(), other.items.size());
  }
}

// A little-endian file whose nvhdr tells nothing reads by its delta; the
// converted big-endian file must read back to the same header, not be taken
// for little-endian (npts -402456576) after a conversion reported as done.
TEST_F(Tool, ConvertedFileWithoutUsableVersionReadsBack) {
  for (std::int32_t version : {-12345, 0}) {
    SCOPED_TRACE(version);
    auto b = Station(SacBuilder::kLittle);
    b.Int(KSAC::NVHDR, version).Samples(std::vector<float>(1000, 0.25f));
    const std::string in = Write(b, "in.sac");
    const std::string out = (dir / "out.sac").string();
    CommandRun run = RunTool({"convert", in, out});
    ASSERT_EQ(run.status, 0) << run.err;
    CommandRun a = RunTool({"header", in});
    CommandRun c = RunTool({"header", out});
    ASSERT_EQ(c.status, 0) << c.err;
    auto ja = test::ParseJson(a.out), jc = test::ParseJson(c.out);
    ASSERT_TRUE(ja && jc);
    for (const auto& [key, value] : (*ja)[0].members) {
      if (key == "file") continue;
      SCOPED_TRACE(key);
      EXPECT_EQ(value.numberText, (*jc)[0][key].numberText);
      EXPECT_EQ(value.Latin1(), (*jc)[0][key].Latin1());
    }
    EXPECT_EQ((*jc)[0]["npts"].number, 1000);
  }
}

// What header shows of a file read through a pipe: the same as of the file.
TEST_F(Tool, SacFromAPipeEqualsSacFromTheFile) {
  const std::string tool = test::ShellQuote(ORVANE_TOOL_PATH);
  const bool bash = fs::exists("/bin/bash");
  for (auto order : {SacBuilder::kLittle, SacBuilder::kBig}) {
    SCOPED_TRACE(order);
    const std::string file = Write(Station(order), "station.sac");
    CommandRun direct = RunTool({"header", file});
    ASSERT_EQ(direct.status, 0) << direct.err;
    std::vector<std::pair<const char*, std::string>> ways = {
        {"standard input", "cat " + test::ShellQuote(file) + " | " + tool + " header /dev/stdin"}};
    if (bash) {
      ways.emplace_back("process substitution",
                        "bash -c " + test::ShellQuote(tool + " header <(cat " + test::ShellQuote(file) + ")"));
    }
    for (const auto& [way, command] : ways) {
      SCOPED_TRACE(way);
      CommandRun piped = test::RunShell(command, dir.path());
      ASSERT_EQ(piped.status, 0) << piped.err;
      auto a = test::ParseJson(direct.out), b = test::ParseJson(piped.out);
      ASSERT_TRUE(a && b) << piped.out;
      for (const auto& [key, value] : (*a)[0].members) {
        if (key == "file") continue;
        SCOPED_TRACE(key);
        EXPECT_EQ(value.numberText, (*b)[0][key].numberText);
        EXPECT_EQ(value.Latin1(), (*b)[0][key].Latin1());
        EXPECT_EQ(value.items.size(), (*b)[0][key].items.size());
      }
    }
  }
  // A pipe that ends inside the samples is refused with the file's reason.
  const std::string cut = (dir / "cut.sac").string();
  Station(SacBuilder::kBig).WriteTo(cut, 640);
  CommandRun piped = test::RunShell("cat " + test::ShellQuote(cut) + " | " + tool + " header --format sac /dev/stdin",
                                    dir.path());
  EXPECT_EQ(piped.status, 1);
  EXPECT_NE(piped.err.find("the file ends at byte 640, but its 7 samples end at byte 660"), std::string::npos)
      << piped.err;
}

TEST_F(Tool, DirectoryIsRefusedAsADirectory) {
  for (const char* name : {"events", "events.sac", "events.set", "events.psn"}) {
    SCOPED_TRACE(name);
    const fs::path d = dir / name;
    fs::create_directory(d);
    CommandRun run = RunTool({"header", d.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "orvane-tool: " + d.string() + ": the path is a directory, not a file\n");
    CommandRun sac = RunTool({"header", "--format", "sac", d.string()});
    EXPECT_EQ(sac.status, 1);
    EXPECT_NE(sac.err.find("is a directory"), std::string::npos) << sac.err;
  }
}

TEST_F(Tool, FailedConvertLeavesNothing) {
  const std::string in = Write(Station(SacBuilder::kLittle), "in.sac");
  CommandRun missing = RunTool({"convert", (dir / "missing.sac").string(), (dir / "out.sac").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("missing.sac: "), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "out.sac"));

  const std::string nowhere = (dir / "no-such-dir" / "out.sac").string();
  CommandRun unwritable = RunTool({"convert", in, nowhere});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_EQ(unwritable.err.rfind("orvane-tool: " + nowhere + ": ", 0), 0u) << unwritable.err;
  EXPECT_FALSE(fs::exists(dir / "no-such-dir"));

  // An existing target stays as it was when the input is refused.
  std::ofstream(dir / "keep.sac") << "old";
  CommandRun refused = RunTool({"convert", (dir / "missing.sac").string(), (dir / "keep.sac").string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(ReadText(dir / "keep.sac"), "old");
  // Only the files the test made are left.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace orvane
