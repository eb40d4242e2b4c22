// The committed sample events (examples/*-synthetic/) and the first example
// event (examples/*.sac): the generator writes them again byte for byte, the
// records look like data-centre files with the waves where the program's
// tables put them, and the answer key lands on the catalogue epicentre.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "location/GreatCircle.h"
#include "location/JB.h"
#include "location/PreciseKey.h"
#include "location/TravelTimeGrid.h"
#include "seismogram/DataCentreEvent.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"
#include "seismogram/SeismogramFile.h"
#include "support/MiniJson.h"
#include "support/RunCommand.h"
#include "support/TempDir.h"
#include "tools/synth-event/EventDescription.h"
#include "tools/synth-event/SampleEvent.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;
using test::RunCommand;

const fs::path kSource = ORVANE_SOURCE_DIR;
const fs::path kExamples = kSource / "examples";
const fs::path kEvents = kSource / "tools" / "synth-event" / "events";

// The event files, by name without ".event", in name order.
std::vector<std::string> EventNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kEvents))
    if (entry.path().extension() == ".event") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

synth::EventDescription ReadEvent(const std::string& name) {
  std::string error;
  const auto event = synth::ParseEventDescription(test::ReadText(kEvents / (name + ".event")), error);
  EXPECT_TRUE(event) << name << ": " << error;
  return event ? *event : synth::EventDescription{};
}

// The seismogram files of a folder (not its README), by file name: SAC, PEPP
// or PSN files, or a data centre's miniSEED and StationXML.
std::map<std::string, std::string> SeismogramFiles(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".sac" || ext == ".set" || ext == ".psn" || ext == ".mseed" || ext == ".xml")
      files[entry.path().filename().string()] = test::ReadText(entry.path());
  }
  return files;
}

// The paths of those files, in name order.
std::vector<std::string> SeismogramPaths(const fs::path& dir) {
  std::vector<std::string> paths;
  for (const auto& [file, bytes] : SeismogramFiles(dir)) paths.push_back((dir / file).string());
  return paths;
}

// One committed record with what the test works out for it on its own.
struct Record {
  std::string path;  // its file, or for miniSEED its channel (what --pick names)
  std::unique_ptr<KSAC> ksac;
  float distance = 0.0f;    // degrees from the catalogue epicentre
  double p = 0.0, s = 0.0;  // arrivals from the tables, seconds after the reference
  double originAfterReference = 0.0;
};

std::vector<Record> ReadRecords(const std::string& name, const synth::EventDescription& event) {
  const JB p("P", static_cast<float>(event.depth)), s("S", static_cast<float>(event.depth));
  std::vector<Record> records;
  std::vector<std::pair<std::string, std::unique_ptr<KSAC>>> read;
  if (event.format == SeismogramFormat::kMiniSEED) {
    DataCentreEvent centre = ReadDataCentreFiles(SeismogramPaths(kExamples / name));
    EXPECT_TRUE(centre.refused.empty() && centre.withoutPosition.empty() && centre.notes.empty()) << name;
    for (std::size_t i = 0; i < centre.records.size(); ++i) read.emplace_back(centre.ids[i], std::move(centre.records[i]));
  } else {
    for (const std::string& path : SeismogramPaths(kExamples / name)) {
      SeismogramReadResult one = ReadSeismogramFile(path);
      EXPECT_TRUE(one.record) << path << ": " << one.reason;
      if (one.record) read.emplace_back(path, std::move(one.record));
    }
  }
  for (auto& [path, ksac] : read) {
    Record r;
    r.path = path;
    r.ksac = std::move(ksac);
    FileTime reference = 0;
    EXPECT_TRUE(r.ksac->GetReferenceFileTime(reference)) << r.path;
    r.originAfterReference = static_cast<double>(event.origin - reference) / kTicksPerSecond;
    r.distance = GreatCircle(r.ksac->GetFloatHeader(KSAC::STLA), r.ksac->GetFloatHeader(KSAC::STLO),
                             static_cast<float>(event.lat), static_cast<float>(event.lon));
    r.p = r.originAfterReference + p.TravelTime(r.distance);
    r.s = r.originAfterReference + s.TravelTime(r.distance);
    records.push_back(std::move(r));
  }
  return records;
}

// Samples of a record between two times (seconds after its reference).
std::vector<double> Between(const KSAC& r, double from, double to) {
  const double b = FirstSampleSeconds(r), delta = r.GetFloatHeader(KSAC::DELTA);
  std::vector<double> values;
  for (std::int32_t i = 0; i < r.GetIntHeader(KSAC::NPTS); ++i) {
    const double t = b + i * delta;
    if (t >= from && t < to) values.push_back(r.samples[static_cast<std::size_t>(i)]);
  }
  return values;
}
double Mean(const std::vector<double>& x) {
  double sum = 0.0;
  for (double v : x) sum += v;
  return x.empty() ? 0.0 : sum / static_cast<double>(x.size());
}
double Rms(const std::vector<double>& x, double mean) {
  double sum = 0.0;
  for (double v : x) sum += (v - mean) * (v - mean);
  return x.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(x.size()));
}
double Peak(const std::vector<double>& x, double mean) {
  double peak = 0.0;
  for (double v : x) peak = std::max(peak, std::fabs(v - mean));
  return peak;
}

class SampleEvents : public testing::Test {
 protected:
  CommandRun Synth(const std::vector<std::string>& args) { return RunCommand(SYNTH_EVENT_PATH, args, scratch_.path()); }
  test::ScopedTempDir scratch_, out_;
};

TEST_F(SampleEvents, TheEventsAreCommitted) {
  const std::vector<std::string> names = EventNames();
  ASSERT_GE(names.size(), 4u);
  for (const std::string& name : names) {
    EXPECT_NE(name.find("synthetic"), std::string::npos) << name;
    EXPECT_TRUE(fs::exists(kExamples / name / "README.md")) << name;
    EXPECT_FALSE(SeismogramFiles(kExamples / name).empty()) << name;
  }
}

// The first example event stays exactly as committed.
TEST_F(SampleEvents, FirstExampleIsWrittenAgainByteForByte) {
  const CommandRun run = Synth({"--out", out_.path().string()});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::map<std::string, std::string> written = SeismogramFiles(out_.path());
  ASSERT_EQ(written.size(), 8u);
  for (const auto& [file, bytes] : written) {
    EXPECT_TRUE(bytes == test::ReadText(kExamples / file)) << file << " differs from the committed file";
  }
}

// Every run writes the same bytes, and those are the committed files.
TEST_F(SampleEvents, CommittedEventsAreWhatTheGeneratorWrites) {
  for (const std::string& name : EventNames()) {
    const fs::path first = out_.path() / (name + "-1"), second = out_.path() / (name + "-2");
    const std::string eventFile = (kEvents / (name + ".event")).string();
    for (const fs::path& dir : {first, second}) {
      const CommandRun run = Synth({"--event", eventFile, "--out", dir.string()});
      ASSERT_EQ(run.status, 0) << name << ": " << run.err;
    }
    const std::map<std::string, std::string> written = SeismogramFiles(first);
    EXPECT_TRUE(written == SeismogramFiles(second)) << name << ": two runs wrote different bytes";
    const std::map<std::string, std::string> committed = SeismogramFiles(kExamples / name);
    ASSERT_EQ(written.size(), committed.size()) << name;
    for (const auto& [file, bytes] : written) {
      ASSERT_EQ(committed.count(file), 1u) << name << "/" << file << " is not committed";
      EXPECT_TRUE(bytes == committed.at(file)) << name << "/" << file << " differs from the committed file";
    }
  }
}

// Data-centre records: a round reference time, the first sample b seconds
// after it, 20 to 60 minutes at 20 to 100 samples per second, P on the
// record; nothing that gives the answer away; marked synthetic.
TEST_F(SampleEvents, RecordsAreLaidOutAsDataCentresWriteThem) {
  for (const std::string& name : EventNames()) {
    const synth::EventDescription event = ReadEvent(name);
    const std::vector<Record> records = ReadRecords(name, event);
    ASSERT_EQ(records.size(), event.stations.size()) << name;
    for (const Record& r : records) {
      const KSAC& k = *r.ksac;
      const float b = FirstSampleSeconds(k), delta = k.GetFloatHeader(KSAC::DELTA);
      const double length = k.GetIntHeader(KSAC::NPTS) * static_cast<double>(delta);
      EXPECT_GE(1.0 / delta, 19.99) << r.path;
      EXPECT_LE(1.0 / delta, 100.01) << r.path;
      EXPECT_GE(length, 20 * 60.0 - 1e-3) << r.path;
      EXPECT_LE(length, 60 * 60.0 + 1e-3) << r.path;
      EXPECT_GT(r.p, b + 20.0) << r.path << ": P too close to the first sample";
      EXPECT_LT(r.p, b + length - 60.0) << r.path << ": P too close to the end";
      EXPECT_EQ(k.GetPick(0), 0.0f) << r.path;
      EXPECT_EQ(k.GetFloatHeader(KSAC::EVLA), KSAC::UNDEFINED_FLOAT) << r.path;
      EXPECT_EQ(k.GetFloatHeader(KSAC::EVDP), KSAC::UNDEFINED_FLOAT) << r.path;
      EXPECT_EQ(k.GetFloatHeader(KSAC::O), KSAC::UNDEFINED_FLOAT) << r.path;
      const SYSTEMTIME ref = k.GetReferenceSystemTime();
      if (event.format == SeismogramFormat::kMiniSEED) {
        // A miniSEED record's reference time is its first sample, here a
        // minute before the origin.
        EXPECT_EQ(b, 0.0f) << r.path;
        EXPECT_NEAR(r.originAfterReference, 60.0, 0.05) << r.path;
        continue;
      }
      EXPECT_EQ(ref.wMilliseconds, 0) << r.path;
      if (event.format == SeismogramFormat::kPSN) {
        EXPECT_EQ(b, 0.0f) << r.path;  // the format has no b: the first sample is the reference
      } else {
        EXPECT_GT(b, 60.0f) << r.path;
        EXPECT_LT(r.originAfterReference, b) << r.path << ": the reference time lies before the event";
        EXPECT_GT(r.originAfterReference, 0.0) << r.path;
        EXPECT_EQ(ref.wSecond, 0) << r.path << ": the reference time is a whole minute";
      }
      if (event.format == SeismogramFormat::kSAC) {
        EXPECT_EQ(k.GetCharHeaderText(KSAC::KEVNM), "SYNTHETIC") << r.path;
      }
    }
  }
}

// P, S and the surface waves are where the tables put them: noise before P,
// a sharp P onset, a strong S, Rayleigh waves on the records of shallow
// events and none on those of the deep one.
TEST_F(SampleEvents, WavesArriveWhenTheTablesSay) {
  for (const std::string& name : EventNames()) {
    const synth::EventDescription event = ReadEvent(name);
    int surfaceChecked = 0;
    for (const Record& r : ReadRecords(name, event)) {
      const KSAC& k = *r.ksac;
      const std::vector<double> before = Between(k, r.p - 30.0, r.p - 0.3);
      const double mean = Mean(before), noise = Rms(before, mean);
      ASSERT_GT(noise, 0.0) << r.path;
      EXPECT_LT(Peak(Between(k, r.p - 10.0, r.p - 0.3), mean), 5.0 * noise) << r.path << ": P comes early";
      EXPECT_GT(Peak(Between(k, r.p, r.p + 1.0), mean), 4.0 * noise) << r.path << ": no sharp P onset";
      if (r.s < FirstSampleSeconds(k) + k.GetIntHeader(KSAC::NPTS) * k.GetFloatHeader(KSAC::DELTA) - 20.0) {
        EXPECT_GT(Peak(Between(k, r.s, r.s + 20.0), mean), 4.0 * noise) << r.path << ": no S";
      }
      // Rayleigh waves between 3.8 and 3.2 km/s against what comes just
      // before the fastest of them (4.6 to 4.1 km/s), where S has passed.
      const double km = r.distance * 6371.0 * M_PI / 180.0;
      const double from = r.originAfterReference + km / 3.8, to = r.originAfterReference + km / 3.2;
      const double earlier = r.originAfterReference + km / 4.6, justBefore = r.originAfterReference + km / 4.1;
      const double end = FirstSampleSeconds(k) + (k.GetIntHeader(KSAC::NPTS) - 1) * k.GetFloatHeader(KSAC::DELTA);
      if (to > end || earlier < r.s + 60.0) continue;
      ++surfaceChecked;
      const double surface = Rms(Between(k, from, to), mean), preceding = Rms(Between(k, earlier, justBefore), mean);
      if (event.depth < 70.0) {
        EXPECT_GT(surface, 3.0 * preceding) << r.path << ": no surface waves from a shallow focus";
      } else {
        EXPECT_LT(surface, 1.5 * preceding) << r.path << ": surface waves from a deep focus";
      }
    }
    EXPECT_GE(surfaceChecked, 1) << name;
  }
}

// With the exact P onsets the program's best epicentre lies within 0.3° of
// the catalogue epicentre, at the catalogue depth and at the depth-panel
// choice of the same table column.
TEST_F(SampleEvents, AnswerKeyFindsTheCatalogueEpicentre) {
  for (const std::string& name : EventNames()) {
    const synth::EventDescription event = ReadEvent(name);
    const std::vector<Record> records = ReadRecords(name, event);
    std::vector<std::string> picks;
    const std::vector<std::string> files = SeismogramPaths(kExamples / name);
    for (const Record& r : records) {
      char pick[32];
      std::snprintf(pick, sizeof pick, "=%.2f", r.p);
      picks.push_back("--pick");
      picks.push_back(r.path + pick);
    }
    for (const float depth : {static_cast<float>(event.depth), static_cast<float>(event.depth < 16.5   ? 10.0
                                                                                  : event.depth < 80.0 ? 33.0
                                                                                                       : 600.0)}) {
      ASSERT_EQ(JB::DepthColumn(depth), JB::DepthColumn(static_cast<float>(event.depth)));
      // At the catalogue depth the precise key comes beside the classic one.
      const bool precise = depth == static_cast<float>(event.depth);
      std::vector<std::string> args = {"best", "--depth", std::to_string(depth)};
      if (precise) args.push_back("--precise");
      args.insert(args.end(), picks.begin(), picks.end());
      args.insert(args.end(), files.begin(), files.end());
      const CommandRun run = RunCommand(ORVANE_TOOL_PATH, args, scratch_.path());
      ASSERT_EQ(run.status, 0) << name << ": " << run.err;
      const auto v = test::ParseJson(run.out);
      ASSERT_TRUE(v) << run.out;
      const auto lat = static_cast<float>((*v)["epicentre"][0].number);
      const auto lon = static_cast<float>((*v)["epicentre"][1].number);
      EXPECT_LT(GreatCircle(lat, lon, static_cast<float>(event.lat), static_cast<float>(event.lon)), 0.3f)
          << name << " at " << depth << " km: " << run.out.substr(0, 200);
      EXPECT_LT((*v)["rms"].number, 1.0) << name;
      const auto& key = (*v)["precise"];
      if (precise) {
        // These events were made with the classic arithmetic; the precise key
        // measures between geocentric positions and lands some 15 km away.
        ASSERT_FALSE(key["epicentre"].IsNull()) << run.out.substr(run.out.rfind("\"precise\""));
        EXPECT_LT(GeocentricDistance(key["epicentre"][0].number, key["epicentre"][1].number, event.lat, event.lon),
                  0.3);
        EXPECT_FALSE(key["depthSearched"].boolean);
        EXPECT_NEAR(key["distanceFromClassicKeyKm"].number,
                    HaversineDegrees(key["epicentre"][0].number, key["epicentre"][1].number, lat, lon) * kKmPerDegree,
                    1e-6);
      } else {
        EXPECT_FALSE(v->Has("precise"));
      }
      const std::string origin = synth::FormatUtcTime(event.origin);
      const auto shown = synth::ParseUtcTime((*v)["originTime"].Latin1());
      ASSERT_TRUE(shown) << run.out.substr(0, 200);
      EXPECT_GE(*shown, event.origin) << name << ": origin time before the true " << origin;
      EXPECT_LT(*shown - event.origin, kTicksPerSecond) << name << ": origin time a second after the true " << origin;
    }
  }
}

// The same events made with the precise arithmetic (geocentric distances,
// times interpolated in depth, station elevations): with the onsets picked to
// the hundredth of a second the precise key lands within 2 km of the
// catalogue epicentre, at the catalogue depth and with a search over depth,
// which finds the depth within 2 km.
TEST_F(SampleEvents, PreciseKeyFindsTheEventsMadeWithItsArithmetic) {
  const TravelTimeGrid grid = TravelTimeGrid::Load("P");
  ASSERT_TRUE(grid.IsUsable());
  for (const std::string& name : EventNames()) {
    SCOPED_TRACE(name);
    synth::EventDescription event = ReadEvent(name);
    event.arithmetic = synth::Arithmetic::kPrecise;
    std::vector<synth::StationPlan> plans;
    std::string error;
    ASSERT_TRUE(synth::PlanSampleEvent(event, plans, error)) << error;
    std::vector<PreciseStation> stations;
    for (const synth::StationPlan& plan : plans) {
      const double pick = std::round(plan.onsetP * 100) / 100;
      stations.push_back({plan.lat, plan.lon, plan.station.elevation, plan.reference, pick});
    }
    for (const bool searchDepth : {false, true}) {
      const PreciseKeyResult key = FindPreciseKey(stations, grid, event.depth, searchDepth);
      ASSERT_TRUE(key.ok()) << key.trial.reason;
      const double km = GeocentricDistance(key.lat, key.lon, event.lat, event.lon) * 6371.0 * std::numbers::pi / 180;
      EXPECT_LT(km, 2.0) << (searchDepth ? "with a depth search" : "at the catalogue depth");
      EXPECT_NEAR(key.depth, event.depth, 2.0);
    }
  }
}

// A description whose window misses P is refused, and nothing is written.
TEST_F(SampleEvents, RefusesAWindowWithoutP) {
  std::string text = test::ReadText(kEvents / "deep-okhotsk-synthetic.event");
  const auto at = text.find("window      P -120 1200");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 23, "window      P 30 1200  ");
  const fs::path eventFile = scratch_.path() / "late.event";
  {
    std::FILE* f = std::fopen(eventFile.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  const fs::path dir = out_.path() / "late";
  const CommandRun run = Synth({"--event", eventFile.string(), "--out", dir.string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("P arrival"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir));
}

}  // namespace
}  // namespace orvane
