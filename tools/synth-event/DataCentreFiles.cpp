#include "tools/synth-event/DataCentreFiles.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "platform/FileWriter.h"
#include "seismogram/DataCentreEvent.h"
#include "seismogram/MiniSEED.h"
#include "seismogram/RecordReadouts.h"

namespace orvane::synth {
namespace {

// The first sample of @p plan's record, in microseconds since 1970.
MicroTime FirstSample(const StationPlan& plan) { return MicroTimeFromFileTime(FirstSampleTicks(plan)); }

std::string XmlTime(FileTime ticks) { return FormatUtcTime(ticks - ticks % kTicksPerSecond).substr(0, 19); }

}  // namespace

// b is a whole number of sampling intervals, held as a float: to the 0.1 ms
// that miniSEED start times keep, it is exact.
FileTime FirstSampleTicks(const StationPlan& plan) {
  return plan.reference + std::llround(static_cast<double>(plan.b) * 1.0e4) * 1000;
}

std::string ChannelId(const EventDescription& event, const StationPlan& plan) {
  return plan.station.network + "." + plan.station.code + ".00." + event.component;
}

bool AppendMiniSEED(const EventDescription& event, const StationPlan& plan, const std::vector<float>& samples,
                    std::vector<unsigned char>& mseed, std::string& error) {
  std::vector<unsigned char> bytes;
  std::string reason;
  if (!EncodeMiniSEED(plan.station.network, plan.station.code, "00", event.component, FirstSample(plan), event.rate,
                      samples, {MiniSEEDEncoding::kSteim2, 512, true}, bytes, reason)) {
    error = ChannelId(event, plan) + ": " + reason;
    return false;
  }
  mseed.insert(mseed.end(), bytes.begin(), bytes.end());
  return true;
}

std::string StationXmlFor(const EventDescription& event, const std::vector<StationPlan>& plans) {
  // The stations of each network, networks in the order they first appear.
  std::vector<std::string> networks;
  std::map<std::string, std::vector<const StationPlan*>> stations;
  for (const StationPlan& p : plans) {
    if (stations[p.station.network].empty()) networks.push_back(p.station.network);
    stations[p.station.network].push_back(&p);
  }
  const std::string since = "2000-01-01T00:00:00";
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<FDSNStationXML xmlns=\"http://www.fdsn.org/xml/station/1\" schemaVersion=\"1.2\">\n"
      "  <Source>Orvane synth-event</Source>\n"
      "  <Sender>Orvane synth-event: station positions for synthetic seismograms</Sender>\n"
      "  <Created>" + XmlTime(event.reference.value_or(event.origin)) + "</Created>\n";
  char text[256];
  for (const std::string& network : networks) {
    xml += "  <Network code=\"" + network + "\">\n";
    for (const StationPlan* p : stations[network]) {
      std::snprintf(text, sizeof text,
                    "<Latitude>%.4f</Latitude><Longitude>%.4f</Longitude><Elevation>%g</Elevation>",
                    p->station.lat, p->station.lon, p->station.elevation);
      xml += "    <Station code=\"" + p->station.code + "\" startDate=\"" + since + "\">\n      " + text +
             "\n      <Site><Name>" + p->station.code + "</Name></Site>\n" +
             "      <Channel code=\"" + event.component + "\" locationCode=\"00\" startDate=\"" + since + "\">\n        " +
             text + "<Depth>0</Depth>\n        <Azimuth>0</Azimuth><Dip>-90</Dip>";
      std::snprintf(text, sizeof text, "<SampleRate>%g</SampleRate>", event.rate);
      xml += text;
      xml += "\n      </Channel>\n    </Station>\n";
    }
    xml += "  </Network>\n";
  }
  xml += "</FDSNStationXML>\n";
  return xml;
}

bool WriteDataCentreFiles(const EventDescription& event, const std::vector<StationPlan>& plans,
                          const std::vector<unsigned char>& mseed, const std::filesystem::path& out,
                          std::string& error) {
  const std::string mseedPath = (out / kMiniSEEDFile).string();
  const std::string xmlPath = (out / kStationXmlFile).string();
  std::string reason;
  if (!WriteFileAtomically(mseedPath, mseed, &reason)) {
    error = mseedPath + ": " + reason;
    return false;
  }
  if (!WriteFileAtomically(xmlPath, StationXmlFor(event, plans), &reason)) {
    error = xmlPath + ": " + reason;
    return false;
  }
  // Read back as the program reads them.
  const std::vector<std::string> paths = {mseedPath, xmlPath};
  const DataCentreEvent read = ReadDataCentreFiles(paths);
  if (!read.refused.empty()) {
    error = read.refused[0].path + ": our own reader refuses it: " + read.refused[0].reason;
    return false;
  }
  if (!read.notes.empty() || !read.withoutPosition.empty() || read.records.size() != plans.size()) {
    error = mseedPath + ": reads back with other channels than were written";
    return false;
  }
  for (const StationPlan& plan : plans) {
    const std::string id = ChannelId(event, plan);
    std::size_t i = 0;
    while (i < read.ids.size() && read.ids[i] != id) ++i;
    FileTime reference = 0;
    const KSAC* r = i < read.ids.size() ? read.records[i].get() : nullptr;
    const bool same = r != nullptr && r->GetIntHeader(KSAC::NPTS) == plan.npts &&
                      r->GetFloatHeader(KSAC::DELTA) == plan.delta && r->GetFloatHeader(KSAC::STLA) == plan.lat &&
                      r->GetFloatHeader(KSAC::STLO) == plan.lon && r->GetReferenceFileTime(reference) &&
                      reference + std::llround(static_cast<double>(FirstSampleSeconds(*r)) * 1.0e7) ==
                          FirstSampleTicks(plan);
    if (!same) {
      error = mseedPath + ": " + id + " reads back with other times, positions or sample counts than were meant";
      return false;
    }
  }
  return true;
}

}  // namespace orvane::synth
