// orvane-tool on data-centre files (the committed miniSEED event with its
// StationXML): the same answers as the same records converted to SAC, the
// channel to convert chosen, and the band-pass that convert applies.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "seismogram/BandPassFilter.h"
#include "seismogram/KSAC.h"
#include "support/MiniJson.h"
#include "support/RunCommand.h"
#include "support/SacBuilder.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::CommandRun;
using test::RunCommand;

const fs::path kEvent = fs::path(ORVANE_SOURCE_DIR) / "examples" / "miniseed-tohoku-synthetic";
const std::string kMiniSEED = (kEvent / "event.mseed").string();
const std::string kStations = (kEvent / "stations.xml").string();

// The P onsets of the committed event, seconds after each channel's first sample.
const std::vector<std::pair<std::string, double>> kOnsets = {
    {"IU.YSS.00.BHZ", 183.05}, {"IU.YAK.00.BHZ", 380.57},  {"IU.ADK.00.BHZ", 437.88}, {"IU.ULN.00.BHZ", 400.87},
    {"IC.BJT.00.BHZ", 333.20}, {"IU.GUMO.00.BHZ", 378.96}, {"IU.COLA.00.BHZ", 571.26}, {"IU.CHTO.00.BHZ", 530.53},
    {"II.KAPI.00.BHZ", 576.59}, {"IU.KIP.00.BHZ", 616.53}, {"IU.CTAO.00.BHZ", 652.81}, {"IU.ANMO.00.BHZ", 801.58}};

class DataCentreTool : public testing::Test {
 protected:
  CommandRun Tool(const std::vector<std::string>& args) { return RunCommand(ORVANE_TOOL_PATH, args, dir.path()); }
  test::ScopedTempDir dir;
};

TEST_F(DataCentreTool, BestOnMiniSeedWithStationXmlEqualsBestOnTheSameRecordsAsSac) {
  // Each channel converted to SAC, and best on those files.
  std::vector<std::string> sacArgs = {"best", "--depth", "29"}, sacFiles;
  for (const auto& [channel, onset] : kOnsets) {
    const std::string sac = (dir / (channel + ".sac")).string();
    const CommandRun run = Tool({"convert", "--stations", kStations, "--channel", channel, kMiniSEED, sac});
    ASSERT_EQ(run.status, 0) << run.err;
    sacArgs.insert(sacArgs.end(), {"--pick", sac + "=" + std::to_string(onset)});
    sacFiles.push_back(sac);
  }
  sacArgs.insert(sacArgs.end(), sacFiles.begin(), sacFiles.end());
  const CommandRun sac = Tool(sacArgs);
  ASSERT_EQ(sac.status, 0) << sac.err;

  // best on the miniSEED file, its StationXML and a QuakeML origin.
  const fs::path quakeml = dir / "event.xml";
  std::ofstream(quakeml) << R"(<?xml version="1.0"?>
<q:quakeml xmlns:q="http://quakeml.org/xmlns/quakeml/1.2" xmlns="http://quakeml.org/xmlns/bed/1.2">
 <eventParameters publicID="smi:t/ep"><event publicID="smi:t/e"><origin publicID="smi:t/o">
  <time><value>2011-03-11T05:46:24.120Z</value></time><latitude><value>38.297</value></latitude>
  <longitude><value>142.373</value></longitude><depth><value>29000</value></depth>
 </origin></event></eventParameters>
</q:quakeml>
)";
  std::vector<std::string> args = {"best", "--depth", "29"};
  for (const auto& [channel, onset] : kOnsets) args.insert(args.end(), {"--pick", channel + "=" + std::to_string(onset)});
  args.insert(args.end(), {kMiniSEED, kStations, quakeml.string()});
  const CommandRun centre = Tool(args);
  ASSERT_EQ(centre.status, 0) << centre.err;

  const auto a = test::ParseJson(sac.out), b = test::ParseJson(centre.out);
  ASSERT_TRUE(a && b) << sac.out << centre.out;
  EXPECT_EQ((*a)["epicentre"][0].numberText, (*b)["epicentre"][0].numberText);
  EXPECT_EQ((*a)["epicentre"][1].numberText, (*b)["epicentre"][1].numberText);
  EXPECT_EQ((*a)["originTime"].Latin1(), (*b)["originTime"].Latin1());
  EXPECT_EQ((*a)["rms"].numberText, (*b)["rms"].numberText);
  ASSERT_EQ((*a)["stations"].items.size(), 12u);
  ASSERT_EQ((*b)["stations"].items.size(), 12u);
  for (const test::JsonValue& s : (*a)["stations"].items) {
    const std::string station = s["kstnm"].Latin1();
    SCOPED_TRACE(station);
    const test::JsonValue* same = nullptr;
    for (const test::JsonValue& t : (*b)["stations"].items)
      if (t["kstnm"].Latin1() == station) same = &t;
    ASSERT_NE(same, nullptr);
    for (const char* key : {"gcarc", "t0", "t1", "t2", "user5", "deltaT"})
      EXPECT_EQ(s[key].numberText, (*same)[key].numberText) << key;
  }

  // The data centre's origin, and how far the answer lies from it.
  EXPECT_FALSE(a->Has("catalogue"));
  const test::JsonValue& catalogue = (*b)["catalogue"];
  EXPECT_EQ(catalogue["epicentre"][0].number, 38.297);
  EXPECT_EQ(catalogue["depth"].number, 29.0);
  EXPECT_EQ(catalogue["originTime"].Latin1(), "2011-03-11T05:46:24.120");
  EXPECT_NEAR(catalogue["distance"].number, 0.021, 0.002);
  EXPECT_NEAR(catalogue["originTimeDifference"].number, 0.563, 0.001);
}

TEST_F(DataCentreTool, ConvertOfAFileOfManyChannelsNeedsTheChannel) {
  const CommandRun run = Tool({"convert", kMiniSEED, (dir / "out.sac").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("holds 12 channels (IC.BJT.00.BHZ, II.KAPI.00.BHZ, IU.ADK.00.BHZ"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("choose one with --channel"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir / "out.sac"));
}

TEST_F(DataCentreTool, ConvertBandpassWritesTheFilteredSamplesAndRefusesACornerAboveNyquist) {
  std::vector<float> samples(2000);
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<float>(std::sin(0.3 * static_cast<double>(i)) * 100.0 + static_cast<double>(i % 7));
  const fs::path in = dir / "in.sac";
  test::SacBuilder().Float(KSAC::DELTA, 0.05f).Samples(samples).WriteTo(in);

  const CommandRun run = Tool({"convert", "--bandpass", "1,5,2", in.string(), (dir / "out.sac").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  KSAC out((dir / "out.sac").string());
  std::string reason;
  const auto filter = BandPassFilter::Design(1.0, 5.0, 2, static_cast<double>(0.05f), reason);
  ASSERT_TRUE(filter) << reason;
  std::vector<float> want(samples.size());
  filter->Apply(samples.data(), want.data(), samples.size());
  ASSERT_EQ(out.GetIntHeader(KSAC::NPTS), 2000);
  for (std::size_t i = 0; i < want.size(); ++i) ASSERT_EQ(out.samples[i], want[i]) << i;

  const CommandRun refused = Tool({"convert", "--bandpass", "1,10", in.string(), (dir / "bad.sac").string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("cannot filter: the upper corner 10 Hz is at or above the Nyquist frequency (10 Hz) "
                             "of samples 0.05 s apart"),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(fs::exists(dir / "bad.sac"));
}

}  // namespace
}  // namespace orvane
