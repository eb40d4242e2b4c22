#include "seismogram/DataCentreEvent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "seismogram/EventReader.h"
#include "seismogram/StationXML.h"
#include "support/SacBuilder.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

// 2024-02-29T10:11:12.123400
constexpr MicroTime kStart = 1'709'201'472'123'400LL;

void Write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

void WriteMiniSEED(const std::filesystem::path& path,
                   std::initializer_list<std::pair<std::string, std::string>> stationChannels, MicroTime start) {
  std::vector<unsigned char> all;
  for (const auto& [station, channel] : stationChannels) {
    std::vector<float> samples(200);
    for (int i = 0; i < 200; ++i) samples[i] = static_cast<float>(i % 17);
    std::vector<unsigned char> bytes;
    std::string reason;
    ASSERT_TRUE(EncodeMiniSEED("XX", station, "", channel, start, 20.0, samples, {}, bytes, reason)) << reason;
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(all.data()), static_cast<std::streamsize>(all.size()));
}

// StationXML in the given schema version: station MOVE moved on 2020-01-01
// (its BHZ channel has two epochs), station ONLY has no Channel entries,
// station NONE has a channel without a position and a station without one.
std::string StationXml(const std::string& version) {
  return R"(<?xml version="1.0" encoding="UTF-8"?>
<FDSNStationXML xmlns="http://www.fdsn.org/xml/station/1" schemaVersion=")" +
         version + R"(">
  <Source>test</Source>
  <Created>2024-03-01T00:00:00</Created>
  <Network code="XX">
    <Station code="MOVE" startDate="2010-01-01T00:00:00">
      <Latitude>10.5</Latitude><Longitude>20.25</Longitude><Elevation>100</Elevation>
      <Site><Name>A hill</Name></Site>
      <Channel code="BHZ" locationCode="" startDate="2010-01-01T00:00:00" endDate="2020-01-01T00:00:00">
        <Latitude>10.5</Latitude><Longitude>20.25</Longitude><Elevation>100</Elevation><Depth>0</Depth>
        <Azimuth>0</Azimuth><Dip>-90</Dip>
      </Channel>
      <Channel code="BHZ" locationCode="" startDate="2020-01-01T00:00:00">
        <Latitude>-33.125</Latitude><Longitude>-70.5</Longitude><Elevation>1520.5</Elevation><Depth>12</Depth>
      </Channel>
    </Station>
    <Station code="ONLY">
      <Latitude>45</Latitude><Longitude>7.75</Longitude><Elevation>300</Elevation>
    </Station>
    <Station code="NONE">
      <Channel code="BHZ" locationCode="--"><Azimuth>0</Azimuth></Channel>
    </Station>
  </Network>
</FDSNStationXML>
)";
}

const char* kQuakeMl = R"(<?xml version="1.0" encoding="UTF-8"?>
<q:quakeml xmlns:q="http://quakeml.org/xmlns/quakeml/1.2" xmlns="http://quakeml.org/xmlns/bed/1.2">
  <eventParameters publicID="smi:test/ep">
    <event publicID="smi:test/event/1">
      <preferredOriginID>smi:test/origin/2</preferredOriginID>
      <origin publicID="smi:test/origin/1">
        <time><value>2024-02-29T10:00:00Z</value></time>
        <latitude><value>1</value></latitude><longitude><value>2</value></longitude>
      </origin>
      <origin publicID="smi:test/origin/2">
        <time><value>2024-02-29T10:10:02.5Z</value><uncertainty>0.1</uncertainty></time>
        <latitude><value>-12.5</value></latitude><longitude><value>166.75</value></longitude>
        <depth><value>35000</value></depth>
      </origin>
    </event>
  </eventParameters>
</q:quakeml>
)";

TEST(DataCentreEvent, PositionsComeFromTheChannelOperatingAtTheFirstSampleInEitherSchemaVersion) {
  for (const char* version : {"1.1", "1.2"}) {
    SCOPED_TRACE(version);
    test::ScopedTempDir dir;
    WriteMiniSEED(dir / "a.mseed", {{"MOVE", "BHZ"}, {"ONLY", "BHZ"}, {"NONE", "BHZ"}, {"MOVE", "BHN"}}, kStart);
    Write(dir / "stations.xml", StationXml(version));
    const std::vector<std::string> paths = {(dir / "a.mseed").string(), (dir / "stations.xml").string()};
    const DataCentreEvent event = ReadDataCentreFiles(paths);
    ASSERT_TRUE(event.refused.empty()) << event.refused[0].path << ": " << event.refused[0].reason;
    ASSERT_EQ(event.ids, (std::vector<std::string>{"XX.MOVE..BHZ", "XX.NONE..BHZ", "XX.ONLY..BHZ"}));
    EXPECT_EQ(event.skippedComponents, 1);  // BHN
    EXPECT_EQ(event.withoutPosition, std::vector<std::string>{"XX.NONE..BHZ"});

    const KSAC& moved = *event.records[0];  // the 2020 epoch
    EXPECT_EQ(moved.GetFloatHeader(KSAC::STLA), -33.125f);
    EXPECT_EQ(moved.GetFloatHeader(KSAC::STLO), -70.5f);
    EXPECT_EQ(moved.GetFloatHeader(KSAC::STEL), 1520.5f);
    EXPECT_EQ(moved.GetFloatHeader(KSAC::STDP), 12.0f);
    const KSAC& none = *event.records[1];
    EXPECT_EQ(none.GetFloatHeader(KSAC::STLA), KSAC::UNDEFINED_FLOAT);
    const KSAC& only = *event.records[2];  // the station's own position
    EXPECT_EQ(only.GetFloatHeader(KSAC::STLA), 45.0f);
    EXPECT_EQ(only.GetFloatHeader(KSAC::STLO), 7.75f);
    EXPECT_EQ(only.GetFloatHeader(KSAC::STEL), 300.0f);
    // No QuakeML: no origin.
    EXPECT_EQ(only.GetFloatHeader(KSAC::O), KSAC::UNDEFINED_FLOAT);
  }

  // A record of 2015 takes the first epoch.
  test::ScopedTempDir dir;
  WriteMiniSEED(dir / "old.mseed", {{"MOVE", "BHZ"}}, kStart - 9LL * 365 * 86'400'000'000LL);
  Write(dir / "stations.xml", StationXml("1.2"));
  const std::vector<std::string> paths = {(dir / "stations.xml").string(), (dir / "old.mseed").string()};
  const DataCentreEvent event = ReadDataCentreFiles(paths);
  ASSERT_EQ(event.records.size(), 1u);
  EXPECT_EQ(event.records[0]->GetFloatHeader(KSAC::STLA), 10.5f);
  EXPECT_EQ(event.records[0]->GetFloatHeader(KSAC::STLO), 20.25f);
}

TEST(DataCentreEvent, AQuakeMlOriginIsSetAsTheRecordsWouldHoldItInSac) {
  test::ScopedTempDir dir;
  WriteMiniSEED(dir / "a.mseed", {{"ONLY", "BHZ"}}, kStart);
  Write(dir / "stations.xml", StationXml("1.2"));
  Write(dir / "event.xml", kQuakeMl);
  const std::vector<std::string> paths = {(dir / "event.xml").string(), (dir / "a.mseed").string(),
                                          (dir / "stations.xml").string()};
  const DataCentreEvent event = ReadDataCentreFiles(paths);
  ASSERT_EQ(event.records.size(), 1u);
  ASSERT_TRUE(event.origin);
  const KSAC& k = *event.records[0];
  // The preferred origin, 10:10:02.5, against the reference 10:11:12.123.
  EXPECT_FLOAT_EQ(k.GetFloatHeader(KSAC::O), -69.623f);
  EXPECT_EQ(k.GetFloatHeader(KSAC::EVLA), -12.5f);
  EXPECT_EQ(k.GetFloatHeader(KSAC::EVLO), 166.75f);
  EXPECT_EQ(k.GetFloatHeader(KSAC::EVDP), 35000.0f);
}

TEST(DataCentreEvent, BadXmlIsRefusedWithTheReasonAndTheRestIsRead) {
  test::ScopedTempDir dir;
  WriteMiniSEED(dir / "a.mseed", {{"ONLY", "BHZ"}}, kStart);
  struct Row {
    const char* name;
    std::string text;
    std::string reason;
  } rows[] = {
      {"cut.xml", StationXml("1.1").substr(0, 400), "not well-formed XML: Premature end of document. (line 9)"},
      {"other.xml", "<?xml version=\"1.0\"?><gpx/>",
       "neither FDSN StationXML nor QuakeML: the document's root element is <gpx>"},
      {"v2.xml", "<FDSNStationXML schemaVersion=\"2.0\"/>", "StationXML schema version 2.0 is not read (1.x is)"},
      {"lat.xml",
       "<FDSNStationXML>\n<Network code=\"XX\"><Station code=\"ONLY\"><Latitude>north</Latitude>"
       "</Station></Network></FDSNStationXML>",
       "the Latitude 'north' is not a number (line 2)"},
      {"date.xml", "<FDSNStationXML><Network code=\"XX\"><Station code=\"A\" startDate=\"2024-02-30\"/></Network>"
                   "</FDSNStationXML>",
       "the startDate '2024-02-30' is not a time (line 1)"},
      {"quake.xml", "<quakeml><eventParameters><event/></eventParameters></quakeml>",
       "the QuakeML file holds no event origin with a time, a latitude and a longitude"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Write(dir / row.name, row.text);
    const std::vector<std::string> paths = {(dir / row.name).string(), (dir / "a.mseed").string()};
    const DataCentreEvent event = ReadDataCentreFiles(paths);
    EXPECT_EQ(event.records.size(), 1u);
    ASSERT_EQ(event.refused.size(), 1u);
    EXPECT_EQ(event.refused[0].path, paths[0]);
    EXPECT_EQ(event.refused[0].reason, "not a StationXML or QuakeML file: " + row.reason);
  }
}

// Event opening by the format table: the files named as a data centre's
// are read together after the others, vertical components only.
TEST(DataCentreEvent, EventReadingReadsTheDataCentreFilesTogether) {
  RegisterDataCentreFormat();
  test::ScopedTempDir dir;
  WriteMiniSEED(dir / "a.mseed", {{"MOVE", "BHZ"}, {"NONE", "BHZ"}, {"MOVE", "BHN"}}, kStart);
  Write(dir / "stations.xml", StationXml("1.2"));
  test::SacBuilder().Float(KSAC::DELTA, 0.05f).Text(KSAC::KSTNM, "SAC").Samples({1, 2, 3}).WriteTo(dir / "b.sac");
  const std::vector<std::string> paths = {(dir / "a.mseed").string(), (dir / "b.sac").string(),
                                          (dir / "stations.xml").string()};
  const EventFiles event = ReadEventFiles(paths);
  ASSERT_TRUE(event.refused.empty()) << event.refused[0].reason;
  ASSERT_EQ(event.records.size(), 3u);
  EXPECT_EQ(event.records[0]->GetCharHeaderText(KSAC::KSTNM), "SAC");
  EXPECT_EQ(event.channels, (std::vector<std::string>{"", "XX.MOVE..BHZ", "XX.NONE..BHZ"}));
  EXPECT_EQ(event.formats[1], SeismogramFormat::kMiniSEED);
  EXPECT_EQ(event.records[1]->GetFloatHeader(KSAC::STLA), -33.125f);
  EXPECT_EQ(event.skippedComponents, 1);
  EXPECT_EQ(event.companions, std::vector<std::string>{paths[2]});
  EXPECT_EQ(event.notes, std::vector<std::string>{"XX.NONE..BHZ: no station position in the StationXML (left out of trials)"});
}

TEST(DataCentreEvent, IsoTimesAreUtcWithTheirZoneFractionAndCalendarChecked) {
  EXPECT_EQ(ParseIsoTime("1970-01-01"), 0);
  EXPECT_EQ(ParseIsoTime("2024-02-29T10:11:12.1234"), kStart);
  EXPECT_EQ(ParseIsoTime("2024-02-29T10:11:12.12340099Z"), kStart);
  EXPECT_EQ(ParseIsoTime("2024-02-29T12:41:12.1234+02:30"), kStart);
  EXPECT_EQ(ParseIsoTime("1969-12-31T23:59:59Z"), -1'000'000);
  EXPECT_EQ(ParseIsoTime("2023-02-29"), std::nullopt);
  EXPECT_EQ(ParseIsoTime("2024-02-29T24:00:00"), std::nullopt);
  EXPECT_EQ(ParseIsoTime("2024-02-29T10:11:12."), std::nullopt);
  EXPECT_EQ(ParseIsoTime("2024-02-29 junk"), std::nullopt);
}

}  // namespace
}  // namespace orvane
