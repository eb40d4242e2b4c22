// orvane-tool exercise on a saved exercise of the example event: the
// stations with their picks and residuals, every trial with its distance
// from the answer key, and with --csv the same CSV as "Export Trials...".
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "location/GreatCircle.h"
#include "location/RMS.h"
#include "platform/ErrorReport.h"
#include "seismogram/RecordReadouts.h"
#include "support/MiniJson.h"
#include "support/RunCommand.h"
#include "support/ExampleEvent.h"
#include "support/TempDir.h"
#include "view/ExerciseFile.h"
#include "view/ExerciseReplay.h"
#include "view/TrialReport.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;

using test::kExamples;
using test::kOnsets;

class ExerciseTool : public testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, onset] : kOnsets) fs::copy_file(kExamples + name, dir / name);
    // The exercise: every pick, three trials with the RMS a click gives there.
    for (const auto& [name, onset] : kOnsets) {
      const auto print = FingerprintOf(Path(name));
      ASSERT_TRUE(print);
      exercise.seismograms.push_back({name, print->size, print->sha256, onset, std::nullopt});
    }
    exercise.depth = 33.0f;
    exercise.centreLat = 41.3f;
    exercise.centreLon = 142.8f;
    exercise.radius = 400.0f;
    exercise.trials = {{41.0f, 143.0f, 33.0f, 0.0f}, {45.5f, 150.25f, 33.0f, 0.0f}, {38.0f, 140.0f, 33.0f, 0.0f}};
    ScopedErrorReportCapture quiet;
    opened = OpenExerciseRecords(exercise, Path("work.orvex"));
    ASSERT_EQ(opened.records.size(), kOnsets.size());
    TrialState state;
    trialList.clear();
    const RedoneTrials redone = RedoTrials(RecordPointers(opened.records), exercise.trials, state);
    trialList.clear();
    for (std::size_t i = 0; i < exercise.trials.size(); ++i) {
      ASSERT_TRUE(redone.results[i].ok());
      exercise.trials[i].rms = redone.results[i].rms;
    }
    ASSERT_TRUE(WriteExerciseFile(Path("work.orvex"), exercise));
  }
  QString Path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }
  CommandRun Run(const std::vector<std::string>& args) { return test::RunCommand(ORVANE_TOOL_PATH, args, dir.path(), dir.path()); }

  test::ScopedTempDir dir;
  Exercise exercise;
  ExerciseRecords opened;
};

TEST_F(ExerciseTool, PrintsStationsTrialsAndDistancesFromTheAnswerKey) {
  const CommandRun run = Run({"exercise", "work.orvex"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  const auto& v = *json;
  EXPECT_EQ(v["version"].number, 1);
  EXPECT_TRUE(v["format"].IsNull());
  EXPECT_EQ(v["depth"].number, 33);
  ASSERT_EQ(v["answerKeys"].items.size(), 1u);
  const auto& key = v["answerKeys"][0];
  ASSERT_FALSE(key["epicentre"].IsNull());
  const float keyLat = static_cast<float>(key["epicentre"][0].number);
  const float keyLon = static_cast<float>(key["epicentre"][1].number);
  // The example event lies off north-east Japan.
  EXPECT_NEAR(keyLat, 41.3, 3.0);
  EXPECT_NEAR(keyLon, 142.8, 3.0);

  ASSERT_EQ(v["stations"].items.size(), kOnsets.size());
  for (std::size_t i = 0; i < kOnsets.size(); ++i) {
    const auto& s = v["stations"][i];
    SCOPED_TRACE(kOnsets[i].first);
    EXPECT_EQ(s["file"].Latin1(), kOnsets[i].first);
    EXPECT_EQ(s["status"].Latin1(), "opened");
    EXPECT_EQ(static_cast<float>(s["t0"].number), kOnsets[i].second);
    // The residual of the last trial: predicted minus picked P.
    EXPECT_NEAR(s["residual"].number, s["t1"].number - s["t0"].number, 1e-3);
    EXPECT_GT(s["gcarc"].number, 0);
  }

  ASSERT_EQ(v["trials"].items.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& t = v["trials"][i];
    SCOPED_TRACE(i);
    EXPECT_EQ(t["number"].number, static_cast<double>(i + 1));
    EXPECT_EQ(static_cast<float>(t["epicentre"][0].number), exercise.trials[i].lat);
    EXPECT_EQ(static_cast<float>(t["rms"].number), exercise.trials[i].rms);
    EXPECT_EQ(static_cast<float>(t["rmsNow"].number), exercise.trials[i].rms);
    const double deg = HaversineDegrees(exercise.trials[i].lat, exercise.trials[i].lon, keyLat, keyLon);
    EXPECT_EQ(t["distanceFromAnswerKeyDeg"].number, deg);
    EXPECT_NEAR(t["distanceFromAnswerKeyKm"].number, deg * kKmPerDegree, 1e-6 * deg * kKmPerDegree + 1e-9);
  }
  // The trial far from the answer is the farthest from it.
  EXPECT_GT(v["trials"][1]["distanceFromAnswerKeyKm"].number, v["trials"][0]["distanceFromAnswerKeyKm"].number);
  EXPECT_TRUE(v["notes"].items.empty()) << run.out;
}

TEST_F(ExerciseTool, CsvIsWhatExportTrialsWrites) {
  const CommandRun run = Run({"exercise", "--csv", "work.orvex"});
  ASSERT_EQ(run.status, 0) << run.err;
  ScopedErrorReportCapture quiet;
  const std::string expected = TrialsCsv(MakeTrialReport(RecordPointers(opened.records), exercise.trials));
  EXPECT_EQ(run.out, expected);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4);
}

TEST_F(ExerciseTool, MissingFilesAndOtherRmsAreNamed) {
  exercise.trials[1].rms += 0.5f;
  ASSERT_TRUE(WriteExerciseFile(Path("work.orvex"), exercise));
  fs::remove(dir / "KODK.sac");
  const CommandRun run = Run({"exercise", "work.orvex"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  EXPECT_EQ((*json)["stations"][2]["status"].Latin1(), "missing");
  EXPECT_TRUE((*json)["stations"][2]["t0"].IsNull());
  EXPECT_EQ((*json)["stations"][3]["status"].Latin1(), "opened");
  std::string notes;
  for (const auto& n : (*json)["notes"].items) notes += n.Latin1() + "\n";
  EXPECT_NE(notes.find("KODK.sac: missing"), std::string::npos) << notes;
  EXPECT_NE(notes.find("trial 2 now has RMS"), std::string::npos) << notes;
}

// The class report on two exercises of the event: one row each with its
// last and best trial, one answer key on the class's median picks, and a map.
TEST_F(ExerciseTool, ClassReportPutsTheExercisesSideBySide) {
  // A second student: six stations picked 0.4 s late, two trials.
  Exercise anna = exercise;
  for (std::size_t i = 0; i < anna.seismograms.size(); ++i)
    anna.seismograms[i].pick = i < 6 ? std::optional<float>(kOnsets[i].second + 0.4f) : std::nullopt;
  anna.trials = {{42.0f, 141.0f, 33.0f, 2.5f}, {41.2f, 142.9f, 33.0f, 0.75f}};
  ASSERT_TRUE(WriteExerciseFile(Path("anna.orvex"), anna));

  CommandRun run = Run({"class", "--map", "class.png", "work.orvex", "anna.orvex"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = test::ParseJson(run.out);
  ASSERT_TRUE(json) << run.out;
  const auto& v = *json;
  EXPECT_EQ(v["model"].Latin1(), "iasp91");
  ASSERT_EQ(v["answerKeys"].items.size(), 1u);
  const auto& key = v["answerKeys"][0]["epicentre"];
  ASSERT_FALSE(key.IsNull()) << run.out;
  EXPECT_NEAR(key[0].number, 41.3, 3.0);
  EXPECT_NEAR(key[1].number, 142.8, 3.0);
  EXPECT_FALSE(v["answerKeys"][0]["precise"]["epicentre"].IsNull()) << run.out;

  ASSERT_EQ(v["exercises"].items.size(), 2u);
  const auto& work = v["exercises"][0];
  EXPECT_EQ(work["exercise"].Latin1(), "work.orvex");
  EXPECT_EQ(work["stationsPicked"].number, 8);
  EXPECT_EQ(work["trials"].number, 3);
  EXPECT_EQ(static_cast<float>(work["lastTrial"]["epicentre"][0].number), exercise.trials[2].lat);
  std::size_t best = 0;
  for (std::size_t i = 1; i < 3; ++i)
    if (exercise.trials[i].rms < exercise.trials[best].rms) best = i;
  EXPECT_EQ(static_cast<float>(work["bestTrial"]["rms"].number), exercise.trials[best].rms);
  const auto& second = v["exercises"][1];
  EXPECT_EQ(second["stationsPicked"].number, 6);
  EXPECT_EQ(second["trials"].number, 2);
  EXPECT_EQ(static_cast<float>(second["lastTrial"]["epicentre"][1].number), 142.9f);
  EXPECT_EQ(static_cast<float>(second["bestTrial"]["rms"].number), 0.75f);
  // Both measured from the same key.
  for (const auto* t : {&work["lastTrial"], &second["lastTrial"], &second["bestTrial"]}) {
    const double deg = HaversineDegrees(static_cast<float>((*t)["epicentre"][0].number),
                                        static_cast<float>((*t)["epicentre"][1].number),
                                        static_cast<float>(key[0].number), static_cast<float>(key[1].number));
    EXPECT_NEAR((*t)["distanceFromAnswerKeyKm"].number, deg * kKmPerDegree, 1e-6);
  }
  // The key is searched on the median of the students' picks.
  ASSERT_EQ(v["seismograms"].items.size(), kOnsets.size());
  for (std::size_t i = 0; i < kOnsets.size(); ++i) {
    SCOPED_TRACE(kOnsets[i].first);
    const auto& s = v["seismograms"][i];
    EXPECT_EQ(s["picks"].number, i < 6 ? 2 : 1);
    EXPECT_NEAR(s["pick"].number, kOnsets[i].second + (i < 6 ? 0.2 : 0.0), 1e-4);
    EXPECT_TRUE(s["opened"].boolean);
  }
  // The map: a PNG of 800 x 600.
  const std::string png = test::ReadText(dir / "class.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x03\x20\0\0\x02\x58", 8));

  run = Run({"class", "--csv", "work.orvex", "anna.orvex"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);
  EXPECT_EQ(run.out.find("exercise,stations_picked,trials,last_latitude,"), 0u) << run.out;
  EXPECT_NE(run.out.find("\nanna.orvex,6,2,41.2,142.9,33,0.75,"), std::string::npos) << run.out;
}

// Exercises of other events, or of different Earth models, are not mixed.
TEST_F(ExerciseTool, ClassReportRefusesOtherEventsAndMixedModels) {
  Exercise other = exercise;
  const std::string nepal = ORVANE_SOURCE_DIR "/examples/shallow-nepal-synthetic/II.NIL.BHZ.sac";
  const auto print = FingerprintOf(QString::fromStdString(nepal));
  ASSERT_TRUE(print);
  other.seismograms = {{nepal, print->size, print->sha256, 847.5f, std::nullopt}};
  ASSERT_TRUE(WriteExerciseFile(Path("other.orvex"), other));
  CommandRun run = Run({"class", "--map", "class.png", "work.orvex", "other.orvex"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("other.orvex shares no seismogram with work.orvex"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
  EXPECT_FALSE(fs::exists(dir / "class.png"));

  Exercise ak135 = exercise;
  ak135.model = EarthModel::kAk135;
  ASSERT_TRUE(WriteExerciseFile(Path("ak135.orvex"), ak135));
  run = Run({"class", "work.orvex", "ak135.orvex"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("--model"), std::string::npos) << run.err;
  run = Run({"class", "--model", "ak135", "work.orvex", "ak135.orvex"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(test::ParseJson(run.out).value()["model"].Latin1(), "ak135");
}

TEST_F(ExerciseTool, RefusesWhatIsNotAnExercise) {
  std::ofstream(dir / "bad.orvex") << "{\"orvex\": 1, \"seismograms\": [";
  CommandRun run = Run({"exercise", "bad.orvex"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("bad.orvex: not an exercise file"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
  run = Run({"exercise", "TAIG.sac"});
  EXPECT_EQ(run.status, 1);
  run = Run({"exercise"});
  EXPECT_EQ(run.status, 2);
  run = Run({"exercise", "--bogus", "work.orvex"});
  EXPECT_EQ(run.status, 2);
}

}  // namespace
}  // namespace orvane
