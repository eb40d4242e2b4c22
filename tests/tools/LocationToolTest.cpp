// Runs the built orvane-tool's traveltime, locate and best commands on tables
// and seismogram files written by the test.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "location/GreatCircle.h"
#include "location/SyntheticEvent.h"
#include "location/TableText.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "support/MiniJson.h"
#include "support/RunCommand.h"
#include "support/SystemTime.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;
using test::JsonValue;
using test::RunCommand;
using test::TableText;

std::string StepTable(double nearTime, double farTime) {
  return TableText(181, [=](int i) { return i < 10 ? nearTime : farTime; });
}

class LocationTool : public testing::Test {
 protected:
  // Runs the tool in the scratch directory, so that tables written there are
  // the ones it reads.
  CommandRun Run(const std::vector<std::string>& args) {
    return RunCommand(ORVANE_TOOL_PATH, args, dir_.path(), dir_.path());
  }

  void Write(const std::string& name, const std::string& text) { test::WriteFile(dir_ / name, text); }

  // A SAC file of a station with reference time 2026-03-01 10:00:00.000 plus
  // @p startSeconds, and P pick @p pick (none when 0).
  void WriteStation(const std::string& name, const char* code, float stla, float stlo, float pick,
                    int startSeconds = 0) {
    const SYSTEMTIME t = test::Time(2026, 3, 1, 10, 0, startSeconds);
    auto samples = std::make_unique<float[]>(8);
    for (int i = 0; i < 8; ++i) samples[i] = static_cast<float>(i % 3);
    KSAC r(8, std::move(samples), stla, stlo, 0.0f, 0.05f, code, "BHZ", t);
    if (pick != 0.0f) r.SetPick(0, pick);
    ASSERT_FALSE(WriteSeismogramFile((dir_ / name).string(), r).has_value());
  }

  static JsonValue Parse(const std::string& text) {
    auto v = test::ParseJson(text);
    EXPECT_TRUE(v.has_value()) << text;
    return v ? *v : JsonValue{};
  }

  test::ScopedTempDir dir_;
};

TEST_F(LocationTool, TravelTimesForwardAndBack) {
  // Column c holds 10 i + c + 0.5 at row i.
  Write("P.JB", TableText(181, [](int i, int c) { return 10.0 * i + c + 0.5; }));
  CommandRun run = Run({"traveltime", "--phase", "P", "--depth", "100", "10.5", "0", "200"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "10.5 107.5\n0 2.5\n200 1802.5\n");
  run = Run({"traveltime", "--phase=P", "--inverse", "105.5", "0.1", "1800.5"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "105.5 10.5\n0.1 0\n1800.5 180\n");
}

TEST_F(LocationTool, TravelTimeRefusals) {
  Write("S.JB", "");
  CommandRun run = Run({"traveltime", "--phase", "S", "30"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("S.JB"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(Run({"traveltime", "--phase", "X", "30"}).status, 2);
  EXPECT_EQ(Run({"traveltime", "--phase", "P", "thirty"}).status, 2);
  EXPECT_EQ(Run({"traveltime", "--phase", "P"}).status, 2);
  EXPECT_EQ(Run({"traveltime", "--phas", "P", "3"}).status, 2);
  EXPECT_EQ(Run({"traveltime", "--phase", "P", "--depth", "nan", "3"}).status, 2);
}

// --model chooses the tables of an Earth model: each gives the times of its
// own P.JB, and a P.JB in the current directory still replaces the default
// model's table only.
TEST_F(LocationTool, TheModelChoosesItsTables) {
  // Row 45 (45 degrees), column 2 (100 km) of a table, as the program reads it.
  const auto tableTime = [](const std::string& model) {
    std::istringstream in(test::ReadText(fs::path(ORVANE_SOURCE_DIR) / "data" / model / "P.JB"));
    std::string line;
    for (int row = 0; row <= 45; ++row) std::getline(in, line);
    return std::strtof(line.c_str() + 5 + 7 * 2, nullptr);
  };
  const auto toolTime = [this](const std::vector<std::string>& options) {
    std::vector<std::string> args = {"traveltime", "--phase", "P", "--depth", "100"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back("45");
    const CommandRun run = Run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return std::strtof(run.out.c_str() + run.out.find(' '), nullptr);
  };
  std::set<float> times;
  for (const char* model : {"iasp91", "ak135", "jb"}) {
    SCOPED_TRACE(model);
    EXPECT_EQ(toolTime({"--model", model}), tableTime(model));
    times.insert(tableTime(model));
  }
  EXPECT_EQ(times.size(), 3u) << "the models give the same time";
  EXPECT_EQ(toolTime({}), tableTime("iasp91"));

  Write("P.JB", TableText(181, [](int i) { return 10.0 * i; }));
  EXPECT_EQ(toolTime({}), 450.0f);
  EXPECT_EQ(toolTime({"--model", "IASP91"}), 450.0f);
  EXPECT_EQ(toolTime({"--model", "ak135"}), tableTime("ak135"));

  const CommandRun run = Run({"traveltime", "--phase", "P", "--model", "prem", "45"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("iasp91, ak135, jb"), std::string::npos) << run.err;
}

// The worked examples of the trial arithmetic, through the files and the tool.
TEST_F(LocationTool, LocateReproducesTheWorkedExamples) {
  Write("P.JB", StepTable(5.7, 14.2));
  Write("S.JB", StepTable(9.0, 25.0));
  WriteStation("A.sac", "ALFA", 90.0f, 0.0f, 12.3f);
  WriteStation("B.sac", "BRAVO", 60.0f, 0.0f, 0.0f);

  // One station (B is unpicked and takes no part).
  CommandRun run = Run({"locate", "--depth", "0", "--epicentre", "90,0", "A.sac", "B.sac"});
  ASSERT_EQ(run.status, 0) << run.err;
  JsonValue v = Parse(run.out);
  EXPECT_EQ(v["epicentre"][0].number, 90.0);
  EXPECT_EQ(v["depth"].number, 0.0);
  EXPECT_EQ(v["originTime"].Latin1(), "2026-03-01T10:00:07.300");
  EXPECT_NEAR(v["rms"].number, 0.7, 1e-5);
  ASSERT_EQ(v["stations"].items.size(), 2u);
  const JsonValue& a = v["stations"][0];
  EXPECT_EQ(a["file"].Latin1(), "A.sac");
  EXPECT_EQ(a["kstnm"].Latin1(), "ALFA");
  EXPECT_EQ(a["gcarc"].number, 0.0);
  EXPECT_NEAR(a["t0"].number, 12.3, 1e-5);
  EXPECT_NEAR(a["t1"].number, 13.0, 1e-5);
  EXPECT_NEAR(a["t2"].number, 16.3, 1e-5);
  EXPECT_EQ(a["user5"].number, 0.0);
  EXPECT_NEAR(a["deltaT"].number, 0.7, 1e-5);
  const JsonValue& b = v["stations"][1];
  EXPECT_TRUE(b["t0"].IsNull());
  EXPECT_TRUE(b["deltaT"].IsNull());
  EXPECT_NEAR(b["t1"].number, 14.2 + 7.3, 1e-4);

  // Two stations: B's pick given on the command line.
  run = Run({"locate", "--epicentre", "90,0", "--pick", "B.sac=20", "A.sac", "B.sac"});
  ASSERT_EQ(run.status, 0) << run.err;
  v = Parse(run.out);
  EXPECT_EQ(v["originTime"].Latin1(), "2026-03-01T10:00:06.650");
  EXPECT_NEAR(v["rms"].number, std::sqrt(0.32), 1e-5);
  EXPECT_NEAR(v["stations"][0]["deltaT"].number, 0.0, 1e-5);
  EXPECT_NEAR(v["stations"][1]["deltaT"].number, 0.8, 1e-5);
  EXPECT_NEAR(v["stations"][1]["gcarc"].number, 30.0, 1e-3);

  // The pick before the origin, set over the file's own.
  run = Run({"locate", "--epicentre", "90,0", "--pick", "A.sac=2", "A.sac"});
  ASSERT_EQ(run.status, 0) << run.err;
  v = Parse(run.out);
  EXPECT_EQ(v["originTime"].Latin1(), "2026-03-01T09:59:57.000");
  EXPECT_NEAR(v["stations"][0]["t1"].number, 2.7, 1e-5);
  EXPECT_NEAR(v["rms"].number, 0.7, 1e-5);
}

// SAC text fields are padded with blanks ("S0      "); locate and best print
// the name without them.
TEST_F(LocationTool, StationNamesArePrintedWithoutTheirPadding) {
  Write("P.JB", StepTable(5.7, 14.2));
  Write("S.JB", StepTable(9.0, 25.0));
  const struct {
    const char* file;
    const char* kstnm;
    const char* printed;
  } rows[] = {{"A.sac", "S0      ", "S0"}, {"B.sac", "BRAVO", "BRAVO"}, {"C.sac", "EIGHTCHR", "EIGHTCHR"},
              {"D.sac", "        ", ""}};
  std::vector<std::string> files;
  for (const auto& row : rows) {
    WriteStation(row.file, row.kstnm, 60.0f, 10.0f * static_cast<float>(files.size()), 20.0f);
    files.emplace_back(row.file);
  }
  std::vector<std::string> locate = {"locate", "--epicentre", "90,0"};
  std::vector<std::string> best = {"best"};
  locate.insert(locate.end(), files.begin(), files.end());
  best.insert(best.end(), files.begin(), files.end());
  for (const auto& args : {locate, best}) {
    SCOPED_TRACE(args[0]);
    CommandRun run = Run(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const JsonValue v = Parse(run.out);
    ASSERT_EQ(v["stations"].items.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(v["stations"][i]["kstnm"].Latin1(), rows[i].printed);
  }
}

// A station without coordinates (stla, stlo -12345) used to enter the trial
// at a made-up distance, moving the origin by minutes. It is left out: the
// event locates as the event without it, and standard error names it.
TEST_F(LocationTool, StationWithoutPositionIsLeftOutAndNamed) {
  Write("P.JB", StepTable(5.7, 14.2));
  Write("S.JB", StepTable(9.0, 25.0));
  WriteStation("A.sac", "ALFA", 90.0f, 0.0f, 12.3f);
  WriteStation("B.sac", "BRAVO", 60.0f, 0.0f, 20.0f);
  WriteStation("C.sac", "CHARLIE", -12345.0f, -12345.0f, 31.0f);
  const std::string named = "orvane-tool locate: C.sac: left out of the trial: no station position (stla, stlo undefined)\n";

  CommandRun without = Run({"locate", "--epicentre", "90,0", "A.sac", "B.sac"});
  ASSERT_EQ(without.status, 0) << without.err;
  CommandRun with = Run({"locate", "--epicentre", "90,0", "A.sac", "C.sac", "B.sac"});
  ASSERT_EQ(with.status, 0) << with.err;
  EXPECT_EQ(with.err, named);
  const JsonValue a = Parse(without.out), b = Parse(with.out);
  EXPECT_EQ(b["originTime"].Latin1(), "2026-03-01T10:00:06.650");
  EXPECT_EQ(b["originTime"].Latin1(), a["originTime"].Latin1());
  EXPECT_EQ(b["rms"].numberText, a["rms"].numberText);
  ASSERT_EQ(b["stations"].items.size(), 3u);
  for (const auto& [key, value] : a["stations"][1].members) {
    SCOPED_TRACE(key);
    EXPECT_EQ(value.numberText, b["stations"][2][key].numberText);
  }
  const JsonValue& c = b["stations"][1];
  EXPECT_EQ(c["file"].Latin1(), "C.sac");
  EXPECT_EQ(c["t0"].number, 31.0);
  for (const char* key : {"gcarc", "t1", "t2", "user5", "deltaT"}) EXPECT_TRUE(c[key].IsNull()) << key;

  // The search leaves it out as well, and names it.
  CommandRun bestWithout = Run({"best", "A.sac", "B.sac"});
  CommandRun bestWith = Run({"best", "A.sac", "C.sac", "B.sac"});
  ASSERT_EQ(bestWith.status, 0) << bestWith.err;
  EXPECT_EQ(bestWith.err, "orvane-tool best: C.sac: left out of the trial: no station position (stla, stlo undefined)\n");
  EXPECT_EQ(Parse(bestWith.out)["epicentre"][0].numberText, Parse(bestWithout.out)["epicentre"][0].numberText);
  EXPECT_EQ(Parse(bestWith.out)["rms"].numberText, Parse(bestWithout.out)["rms"].numberText);

  // Only when no picked station can take part is there no trial.
  CommandRun none = Run({"locate", "--epicentre", "90,0", "C.sac"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err.rfind(named, 0), 0u) << none.err;
  EXPECT_NE(none.err.find("No seismogram with a P pick can take part"), std::string::npos) << none.err;
  EXPECT_TRUE(none.out.empty());
}

// The depth chooses the column of the tables: with columns that differ, the
// origin time shows which one the trial used.
TEST_F(LocationTool, DepthChoosesTheTableColumn) {
  // Column c: 5.7 + c s up to 9 degrees, 14.2 + c s beyond.
  Write("P.JB", TableText(181, [](int i, int c) { return (i < 10 ? 5.7 : 14.2) + c; }));
  Write("S.JB", TableText(181, [](int i, int c) { return (i < 10 ? 9.0 : 25.0) + c; }));
  WriteStation("A.sac", "ALFA", 90.0f, 0.0f, 12.3f);
  const struct {
    const char* depth;
    const char* originTime;  // 12.3 s after 10:00 minus the whole seconds of the travel time
  } rows[] = {{"0", "2026-03-01T10:00:07.300"},    // column 0: 5.7 s
              {"33", "2026-03-01T10:00:06.300"},   // column 1: 6.7 s
              {"100", "2026-03-01T10:00:05.300"},  // column 2: 7.7 s
              {"600", "2026-03-01T09:59:57.300"}}; // column 10: 15.7 s
  for (const auto& row : rows) {
    SCOPED_TRACE(row.depth);
    CommandRun run = Run({"locate", "--depth", row.depth, "--epicentre", "90,0", "A.sac"});
    ASSERT_EQ(run.status, 0) << run.err;
    const JsonValue v = Parse(run.out);
    EXPECT_EQ(v["originTime"].Latin1(), row.originTime);
    EXPECT_EQ(v["depth"].numberText, row.depth);
  }
}

TEST_F(LocationTool, LocateRefusals) {
  Write("P.JB", StepTable(5.7, 14.2));
  Write("S.JB", StepTable(9.0, 25.0));
  WriteStation("A.sac", "ALFA", 90.0f, 0.0f, 12.3f);
  WriteStation("U.sac", "UNPK", 60.0f, 0.0f, 0.0f);
  CommandRun run = Run({"locate", "--epicentre", "90,0", "U.sac"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("P pick"), std::string::npos) << run.err;
  // Every unreadable file is named, not only the first.
  run = Run({"locate", "--epicentre", "90,0", "missing.sac", "A.sac", "gone.sac"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("missing.sac"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("gone.sac"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
  run = Run({"locate", "--epicentre", "90,0", "--pick", "Z.sac=3", "A.sac"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Z.sac"), std::string::npos) << run.err;
  EXPECT_EQ(Run({"locate", "--epicentre", "95,0", "A.sac"}).status, 2);
  EXPECT_EQ(Run({"locate", "--epicentre", "10", "A.sac"}).status, 2);
  EXPECT_EQ(Run({"locate", "A.sac"}).status, 2);
  EXPECT_EQ(Run({"locate", "--epicentre", "1,2", "--pick", "A.sac", "A.sac"}).status, 2);
  Write("P.JB", "");
  run = Run({"locate", "--epicentre", "90,0", "A.sac"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("P.JB"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
}

// A synthetic event whose picks come from the tables the tool reads.
TEST_F(LocationTool, BestFindsTheTrueEpicentre) {
  const float lat = -6.3f, lon = 147.2f, depth = 60.0f;
  auto [p, s] = test::EventTables(depth);
  JB probe("P", depth), probeS("S", depth);
  if (probe.count != 181 || probeS.count != 181) {
    Write("P.JB", test::HandTable(1.0));
    Write("S.JB", test::HandTable(1.8));
  }
  const auto records = test::SyntheticRecords(p, lat, lon, 12);
  std::vector<std::string> args = {"best", "--depth", "60"};
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string name = "st" + std::to_string(i) + ".sac";
    ASSERT_FALSE(WriteSeismogramFile((dir_ / name).string(), *records[i]).has_value());
    args.push_back(name);
  }
  CommandRun run = Run(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const JsonValue v = Parse(run.out);
  const float foundLat = static_cast<float>(v["epicentre"][0].number);
  const float foundLon = static_cast<float>(v["epicentre"][1].number);
  EXPECT_LT(GreatCircle(foundLat, foundLon, lat, lon), 0.25f) << run.out;
  ASSERT_EQ(v["stations"].items.size(), 12u);
  EXPECT_EQ(v["stations"][3]["file"].Latin1(), "st3.sac");

  // locate at the printed epicentre makes the very same trial.
  std::vector<std::string> again = {"locate", "--depth", "60", "--epicentre",
                                    v["epicentre"][0].numberText + "," + v["epicentre"][1].numberText};
  again.insert(again.end(), args.begin() + 3, args.end());
  const CommandRun locate = Run(again);
  ASSERT_EQ(locate.status, 0) << locate.err;
  EXPECT_EQ(locate.out, run.out);
}

// The committed example event: the answer key lands on the true epicentre.
TEST_F(LocationTool, ExampleEventAnswerKey) {
  const fs::path examples = fs::path(ORVANE_SOURCE_DIR) / "examples";
  const std::pair<const char*, const char*> picks[] = {
      {"TAIG", "55.37"}, {"MNGL", "66.06"}, {"KODK", "54.38"}, {"NVSB", "62.02"},
      {"HVLO", "63.06"}, {"DRWN", "64.58"}, {"ORPL", "46.98"}, {"KRUN", "54.09"}};
  std::vector<std::string> args = {"best", "--depth", "33"};
  std::vector<std::string> files;
  for (const auto& [code, seconds] : picks) {
    const std::string file = (examples / (std::string(code) + ".sac")).string();
    args.push_back("--pick");
    args.push_back(file + "=" + seconds);
    files.push_back(file);
  }
  args.insert(args.end(), files.begin(), files.end());
  const CommandRun run = Run(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const JsonValue v = Parse(run.out);
  const float lat = static_cast<float>(v["epicentre"][0].number);
  const float lon = static_cast<float>(v["epicentre"][1].number);
  EXPECT_LT(GreatCircle(lat, lon, 41.3f, 142.8f), 0.1f) << run.out;
  EXPECT_EQ(v["originTime"].Latin1().substr(0, 18), "2025-10-19T07:42:1") << run.out;
  EXPECT_LT(v["rms"].number, 1.0);
  ASSERT_EQ(v["stations"].items.size(), 8u);
  for (const JsonValue& st : v["stations"].items) EXPECT_LT(std::fabs(st["deltaT"].number), 1.0) << run.out;
}

}  // namespace
}  // namespace orvane
