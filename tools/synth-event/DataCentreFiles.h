#pragma once
// A synthetic event written as a data centre hands one out: one miniSEED file
// with every station's vertical channel (event.mseed: Steim-2, 512-byte
// records, location code 00) and the StationXML of those channels
// (stations.xml, schema 1.2). The records are planned as SAC records are
// (SampleEvent.h); the first sample of each lies b seconds after the plan's
// reference time, and becomes the record's own reference time when read.

#include <filesystem>
#include <string>
#include <vector>

#include "tools/synth-event/EventDescription.h"
#include "tools/synth-event/SampleEvent.h"

namespace orvane::synth {

constexpr char kMiniSEEDFile[] = "event.mseed";
constexpr char kStationXmlFile[] = "stations.xml";

/// @brief The instant of the first sample of @p plan's record (its
/// reference time and b, to the 0.1 ms that miniSEED start times keep).
FileTime FirstSampleTicks(const StationPlan& plan);

/// @brief "IU.YSS.00.BHZ": the channel of @p plan's record.
std::string ChannelId(const EventDescription& event, const StationPlan& plan);

/// @brief Appends the records of @p samples, @p plan's channel, to @p mseed.
bool AppendMiniSEED(const EventDescription& event, const StationPlan& plan, const std::vector<float>& samples,
                    std::vector<unsigned char>& mseed, std::string& error);

/// @brief The StationXML of the stations of @p plans.
std::string StationXmlFor(const EventDescription& event, const std::vector<StationPlan>& plans);

/// @brief Writes @p mseed and the StationXML into @p out, then reads both back
/// with the program's reader and compares every channel with its plan.
bool WriteDataCentreFiles(const EventDescription& event, const std::vector<StationPlan>& plans,
                          const std::vector<unsigned char>& mseed, const std::filesystem::path& out,
                          std::string& error);

}  // namespace orvane::synth
