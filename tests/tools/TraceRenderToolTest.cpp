// Runs the built orvane-tool render-traces and compares its PNG with what the
// seismogram pictures paint in this process for the same files, picks and trial.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "display/EventPicture.h"
#include "display/SeismogramsPicture.h"
#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"
#include "support/TrialStateGuard.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;

class TraceRenderTool : public testing::Test {
 protected:
  test::TrialStateGuard trials_;

  CommandRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), "render-traces");
    return test::RunCommand(ORVANE_TOOL_PATH, args, dir_.path(), dir_.path());
  }

  // A station recording 120 s of a sine from 2026-03-01 10:00:00 plus @p b
  // seconds (b written into the header, the reference time left in place).
  void WriteStation(const std::string& name, const char* code, float stla, float stlo, int second = 0,
                    float b = 0.0f) {
    SYSTEMTIME t{2026, 3, 0, 1, 10, 0, static_cast<std::uint16_t>(second), 0};
    constexpr int n = 2400;
    auto samples = std::make_unique<float[]>(n);
    for (int i = 0; i < n; ++i) samples[i] = 50.0f * static_cast<float>(std::sin(i * 0.05));
    KSAC r(n, std::move(samples), stla, stlo, 0.0f, 0.05f, code, "BHZ", t);
    r.SetFloatHeader(KSAC::B, b);
    ASSERT_FALSE(WriteSeismogramFile((dir_ / name).string(), r).has_value());
  }

  struct Expectation {
    std::vector<std::pair<std::string, float>> files;  // name, pick (0: none)
    std::optional<std::string> station;                 // the one-seismogram picture of this file
    const float* epicentre = nullptr;
    float depth = 0.0f;
    int width = 400, height = 800;
  };

  // What the pictures paint here for the files, picks and trial.
  QImage Expected(const Expectation& e) {
    std::vector<std::unique_ptr<KSAC>> records;
    for (const auto& [name, pick] : e.files) {
      SeismogramReadResult read = ReadSeismogramFile((dir_ / name).string());
      EXPECT_TRUE(read.record) << read.reason;
      if (!read.record) return {};
      read.record->fileName = name;
      read.record->ComputeReferenceSeconds();
      if (pick != 0.0f) read.record->SetPick(0, pick);
      records.push_back(std::move(read.record));
    }
    std::vector<KSAC*> pointers = RecordPointers(records);
    trialList.clear();
    if (e.epicentre != nullptr) {
      TrialState state;
      const TrialResult trial = TrialLocation(pointers, e.epicentre[0], e.epicentre[1], e.depth, state);
      EXPECT_TRUE(trial.ok()) << trial.reason;
    }
    QImage image(e.width, e.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    Surface surface(image);
    if (e.station) {
      for (std::size_t i = 0; i < e.files.size(); ++i)
        if (e.files[i].first == *e.station)
          PaintEventPicture(surface, LayOutEvent(e.width, e.height, surface.GetTextMetrics()), *pointers[i],
                            EventView{});
    } else {
      const std::vector<int> gains(pointers.size(), 1);
      PaintSeismogramsPicture(
          surface, LayOutSeismograms(e.width, e.height, surface.GetTextMetrics(), static_cast<int>(pointers.size())),
          pointers, SeismogramsView{1.0f, 0.0f, gains}, Rect{0, 0, e.width, e.height});
    }
    return image;
  }

  QImage Load(const std::string& name) { return QImage((dir_ / name).c_str()).convertToFormat(QImage::Format_RGB32); }

  std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScopedTempDir dir_;
};

TEST_F(TraceRenderTool, AllSeismogramsInOneWindowByDefault) {
  WriteStation("a.sac", "ALFA", 35.0f, 20.0f);
  WriteStation("b.sac", "BRAV", -10.0f, 40.0f, 30);
  const CommandRun run = Run({"--out", "all.png", "--pick", "b.sac=40.5", "a.sac", "b.sac"});
  ASSERT_EQ(run.status, 0) << run.err;
  const QImage png = Load("all.png");
  ASSERT_EQ(png.size(), QSize(400, 800));
  Expectation e;
  e.files = {{"a.sac", 0}, {"b.sac", 40.5f}};
  EXPECT_EQ(png, Expected(e));
  ASSERT_EQ(Run({"--out", "one-window.png", "--one-window", "--pick", "b.sac=40.5", "a.sac", "b.sac"}).status, 0);
  EXPECT_EQ(Load("one-window.png"), png);
}

TEST_F(TraceRenderTool, OneStationWithATrial) {
  WriteStation("a.sac", "ALFA", 35.0f, 20.0f);
  WriteStation("b.sac", "BRAV", -10.0f, 40.0f);
  WriteStation("c.sac", "CHAR", 20.0f, -15.0f);
  const CommandRun run = Run({"--out", "b.png", "--size", "500x300", "--station", "b.sac", "--depth", "33",
                              "--epicentre", "10,15", "--pick", "a.sac=100", "--pick", "b.sac=110", "--pick",
                              "c.sac=90", "a.sac", "b.sac", "c.sac"});
  ASSERT_EQ(run.status, 0) << run.err;
  const float epicentre[] = {10.0f, 15.0f};
  Expectation e;
  e.files = {{"a.sac", 100}, {"b.sac", 110}, {"c.sac", 90}};
  e.station = "b.sac";
  e.epicentre = epicentre;
  e.depth = 33.0f;
  e.width = 500;
  e.height = 300;
  const QImage expected = Expected(e);
  EXPECT_EQ(Load("b.png"), expected);
  // Without the trial there is no Delta T and no distance to show.
  e.epicentre = nullptr;
  EXPECT_NE(Load("b.png"), Expected(e));
}

TEST_F(TraceRenderTool, TheStationFileNeedNotBeRepeated) {
  WriteStation("a.sac", "ALFA", 35.0f, 20.0f, 0, 600.0f);
  ASSERT_EQ(Run({"--out", "a.png", "--station", "a.sac", "--pick", "a.sac=660"}).status, 0);
  const QImage png = Load("a.png");
  EXPECT_EQ(png.size(), QSize(400, 250));
  Expectation e;
  e.files = {{"a.sac", 660}};
  e.station = "a.sac";
  e.width = 400;
  e.height = 250;
  EXPECT_EQ(png, Expected(e));
}

TEST_F(TraceRenderTool, RefusalsLeaveNoFile) {
  WriteStation("a.sac", "ALFA", 35.0f, 20.0f);
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {"no --out", {"a.sac"}, 2},
      {"no files", {"--out", "x.png"}, 2},
      {"both layouts", {"--out", "x.png", "--one-window", "--station", "a.sac", "a.sac"}, 2},
      {"bad size", {"--out", "x.png", "--size", "0x10", "a.sac"}, 2},
      {"unknown option", {"--out", "x.png", "--zoom", "2", "a.sac"}, 2},
      {"unreadable file", {"--out", "x.png", "missing.sac"}, 1},
      {"unreadable station", {"--out", "x.png", "--station", "missing.sac", "a.sac"}, 1},
      {"trial without picks", {"--out", "x.png", "--epicentre", "10,10", "a.sac"}, 1},
      {"directory missing", {"--out", "no/such/dir/x.png", "a.sac"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandRun run = Run(c.args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_FALSE(run.err.empty());
    EXPECT_EQ(Files(), std::vector<std::string>{"a.sac"});
  }
}

}  // namespace
}  // namespace orvane
