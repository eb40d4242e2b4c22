// Runs the built orvane-tool render and compares its PNG with what the map
// painter draws in this process for the same view, event and trial.

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "map/Earth.h"
#include "map/MapPainter.h"
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

struct View {
  int width = 800, height = 600;
  float lat = 0, lon = 0, radius = 200;
  int maximum = 10;
};

class RenderTool : public testing::Test {
 protected:
  test::TrialStateGuard trials_;

  // Runs the tool in the scratch directory; the map files and tables come
  // from the data directory, as for the painter in this process.
  CommandRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), "render");
    return test::RunCommand(ORVANE_TOOL_PATH, args, dir_.path(), dir_.path());
  }

  // A SAC file of a station with reference time 2026-03-01 10:00:00.
  void WriteStation(const std::string& name, const char* code, float stla, float stlo) {
    SYSTEMTIME t{2026, 3, 0, 1, 10, 0, 0, 0};
    auto samples = std::make_unique<float[]>(8);
    for (int i = 0; i < 8; ++i) samples[i] = static_cast<float>(i % 3);
    KSAC r(8, std::move(samples), stla, stlo, 0.0f, 0.05f, code, "BHZ", t);
    ASSERT_FALSE(WriteSeismogramFile((dir_ / name).string(), r).has_value());
  }

  // What the painter draws here for the view, the files (with their picks) and
  // the trial at @p epicentre when there is one.
  QImage Expected(const View& v, const std::vector<std::pair<std::string, float>>& files = {},
                  const float* epicentre = nullptr, float depth = 0.0f) {
    std::vector<std::unique_ptr<KSAC>> records;
    for (const auto& [name, pick] : files) {
      SeismogramReadResult read = ReadSeismogramFile((dir_ / name).string());
      EXPECT_TRUE(read.record) << read.reason;
      if (!read.record) return {};
      if (pick != 0.0f) read.record->SetPick(0, pick);
      records.push_back(std::move(read.record));
    }
    std::vector<KSAC*> pointers = RecordPointers(records);
    maximumRms = v.maximum;
    trialList.clear();
    TrialState state;
    if (epicentre != nullptr) {
      const TrialResult trial = TrialLocation(pointers, epicentre[0], epicentre[1], depth, state);
      EXPECT_TRUE(trial.ok()) << trial.reason;
    }
    QImage image(v.width, v.height, QImage::Format_RGB32);
    {
      Surface surface(image);
      MapPicture picture;
      picture.CentreOn(v.lat, v.lon);
      picture.radius = v.radius;
      picture.client = Rect{0, 0, v.width, v.height};
      picture.records = pointers;
      picture.trials = trialList;
      picture.hasTrial = epicentre != nullptr;
      picture.trial = state;
      picture.depth = depth;
      picture.maximumRms = v.maximum;
      PaintMapPicture(surface, picture);
    }
    return image;
  }

  QImage Load(const std::string& name) {
    QImage image((dir_ / name).c_str());
    return image.convertToFormat(QImage::Format_RGB32);
  }

  std::vector<std::string> Files() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::ScopedTempDir dir_;
};

TEST_F(RenderTool, DefaultsDrawTheWholeGlobeAsThePainterDoes) {
  const CommandRun run = Run({"--out", "globe.png"});
  ASSERT_EQ(run.status, 0) << run.err;
  const QImage png = Load("globe.png");
  ASSERT_EQ(png.size(), QSize(800, 600));
  EXPECT_EQ(png, Expected(View{}));
}

TEST_F(RenderTool, NeedsNoDisplayWhateverPlatformTheEnvironmentNames) {
  // A desktop session may leave QT_QPA_PLATFORM=xcb behind; without a display
  // Qt would abort on it, so the tool must draw offscreen regardless.
  const test::CommandRun run = test::RunShell(
      "cd " + test::ShellQuote(dir_.path().string()) + " && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " +
          test::ShellQuote(ORVANE_TOOL_PATH) + " render --out globe.png",
      dir_.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Load("globe.png"), Expected(View{}));
}

TEST_F(RenderTool, ViewOptions) {
  const CommandRun run = Run({"--out=close.png", "--size", "320x240", "--centre", "50,10", "--radius", "900",
                              "--maximum-rms", "25"});
  ASSERT_EQ(run.status, 0) << run.err;
  const QImage png = Load("close.png");
  ASSERT_EQ(png.size(), QSize(320, 240));
  View v;
  v.width = 320;
  v.height = 240;
  v.lat = 50;
  v.lon = 10;
  v.radius = 900;
  v.maximum = 25;
  EXPECT_EQ(png, Expected(v));
  View tenSeconds = v;
  tenSeconds.maximum = 10;
  EXPECT_NE(png, Expected(tenSeconds)) << "the legend follows --maximum-rms";
}

TEST_F(RenderTool, EventAndTrialAsLocateMakesIt) {
  WriteStation("a.sac", "ALFA", 35.0f, 20.0f);
  WriteStation("b.sac", "BRAV", -10.0f, 40.0f);
  WriteStation("c.sac", "CHAR", 20.0f, -15.0f);
  const CommandRun run = Run({"--out", "trial.png", "--depth", "33", "--epicentre", "10,15", "--pick", "a.sac=200",
                              "--pick", "b.sac=250", "--pick", "c.sac=180", "a.sac", "b.sac", "c.sac"});
  ASSERT_EQ(run.status, 0) << run.err;
  const float epicentre[] = {10.0f, 15.0f};
  const QImage expected = Expected(View{}, {{"a.sac", 200}, {"b.sac", 250}, {"c.sac", 180}}, epicentre, 33.0f);
  EXPECT_EQ(Load("trial.png"), expected);
  // Without the trial the stations still show, and the picture differs.
  ASSERT_EQ(Run({"--out", "stations.png", "a.sac", "b.sac", "c.sac"}).status, 0);
  EXPECT_EQ(Load("stations.png"), Expected(View{}, {{"a.sac", 0}, {"b.sac", 0}, {"c.sac", 0}}));
  EXPECT_NE(Load("stations.png"), expected);
  // A trial on the equator is shown like any other: its description sits in
  // its yellow box at the top left.
  ASSERT_EQ(Run({"--out", "equator.png", "--epicentre", "0,15", "--pick", "a.sac=200", "a.sac"}).status, 0);
  const QImage equator = Load("equator.png");
  int yellow = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 400; ++x) yellow += equator.pixel(x, y) == qRgb(255, 255, 0);
  EXPECT_GT(yellow, 200);
}

TEST_F(RenderTool, MisfitMapShadesTheBasinAndMarksTheAnswerKey) {
  WriteStation("a.sac", "ALFA", 35.0f, 20.0f);
  WriteStation("b.sac", "BRAV", -10.0f, 40.0f);
  WriteStation("c.sac", "CHAR", 20.0f, -15.0f);
  WriteStation("d.sac", "DELT", 60.0f, 60.0f);
  const CommandRun run = Run({"--out", "misfit.png", "--misfit", "--maximum-rms", "100", "--pick", "a.sac=200",
                              "--pick", "b.sac=250", "--pick", "c.sac=180", "--pick", "d.sac=400", "a.sac", "b.sac",
                              "c.sac", "d.sac"});
  ASSERT_EQ(run.status, 0) << run.err;
  const QImage image = Load("misfit.png");
  int pale = 0;  // cells in the light shades of the RMS colours
  for (int y = 0; y < image.height(); ++y)
    for (int x = 100; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      pale += c != Qt::white && c.red() >= 127 && c.green() >= 127 && c.blue() >= 127 && c != QColor(127, 127, 127);
    }
  EXPECT_GT(pale, 2000);
  EXPECT_NE(image, Expected(View{}, {{"a.sac", 200}, {"b.sac", 250}, {"c.sac", 180}, {"d.sac", 400}}));
  // Without files there is nothing to map.
  EXPECT_EQ(Run({"--out", "x.png", "--misfit"}).status, 2);
}

TEST_F(RenderTool, RefusalsLeaveNoFile) {
  WriteStation("a.sac", "ALFA", 35.0f, 20.0f);
  struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
  } cases[] = {
      {"no --out", {"a.sac"}, 2},
      {"zero size", {"--out", "x.png", "--size", "0x10"}, 2},
      {"size without x", {"--out", "x.png", "--size", "800"}, 2},
      {"huge size", {"--out", "x.png", "--size", "100000x100000"}, 2},
      {"bad centre", {"--out", "x.png", "--centre", "91,0"}, 2},
      {"negative radius", {"--out", "x.png", "--radius", "-3"}, 2},
      {"radius not a number", {"--out", "x.png", "--radius", "nan"}, 2},
      {"unknown option", {"--out", "x.png", "--zoom", "2"}, 2},
      {"unreadable file", {"--out", "x.png", "missing.sac"}, 1},
      {"pick of no file", {"--out", "x.png", "--pick", "b.sac=10", "a.sac"}, 1},
      {"trial without picks", {"--out", "x.png", "--epicentre", "10,10", "a.sac"}, 1},
      {"directory missing", {"--out", "no/such/dir/x.png"}, 1},
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
