// synth-event: writes the seismogram files of synthetic earthquakes, for
// trying the program, for the classroom and for end-to-end tests.
//
//   synth-event [--out DIR]
//       the first example event, examples/*.sac (FixedExample.h)
//   synth-event --event FILE [--out DIR]
//       the event that FILE describes (EventDescription.h), for instance
//       tools/synth-event/events/shallow-nepal-synthetic.event
//
// Every run writes the same bytes: the noise comes from fixed seeds. The true
// event, every station's distance and arrivals, and the orvane-tool command
// that gives the program's answer key are printed on standard output.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/synth-event/EventDescription.h"
#include "tools/synth-event/FixedExample.h"
#include "tools/synth-event/SampleEvent.h"
#ifdef ORVANE_SYNTH_MINISEED
#include "tools/synth-event/DataCentreFiles.h"
#endif

namespace {

using namespace orvane::synth;

int Usage() {
  std::fprintf(stderr, "usage: synth-event [--event FILE] [--out DIR]\n");
  return 2;
}

void PrintEvent(const EventDescription& event, const std::filesystem::path& out,
                const std::vector<StationPlan>& plans) {
  std::printf("event: %s\n", event.title.c_str());
  std::printf("origin %s  lat %.3f  lon %.3f  depth %g km  format %s  %g samples/s\n",
              FormatUtcTime(event.origin).c_str(), event.lat, event.lon, event.depth,
              orvane::SeismogramFormatName(event.format), event.rate);
  std::printf("%-22s %-5s %-3s %9s %10s %6s %8s %9s %9s %9s %9s %8s\n", "file", "code", "net", "lat", "lon", "elev",
              "gcarc", "b", "P", "pP", "S", "end");
  for (const StationPlan& p : plans) {
    std::printf("%-22s %-5s %-3s %9.4f %10.4f %6.0f %8.3f %9.2f %9.3f %9.3f %9.3f %8.1f   reference %s\n",
                p.fileName.c_str(), p.station.code.c_str(), p.station.network.c_str(), p.lat, p.lon,
                p.station.elevation, p.distance, p.b, p.onsetP, p.onsetPP, p.onsetS, p.End(),
                FormatUtcTime(p.reference).c_str());
  }
  std::printf("answer key:\n  build/bin/orvane-tool best --depth %g", event.depth);
#ifdef ORVANE_SYNTH_MINISEED
  if (event.format == orvane::SeismogramFormat::kMiniSEED) {
    // A miniSEED record's times count from its first sample.
    for (const StationPlan& p : plans)
      std::printf(" \\\n    --pick %s=%.2f", ChannelId(event, p).c_str(), p.onsetP - p.b);
    std::printf(" \\\n    %s %s\n", (out / kMiniSEEDFile).string().c_str(), (out / kStationXmlFile).string().c_str());
    std::printf("%-16s %-23s %9s %9s\n", "channel", "first sample", "P", "S");
    for (const StationPlan& p : plans)
      std::printf("%-16s %-23s %9.3f %9.3f\n", ChannelId(event, p).c_str(),
                  FormatUtcTime(FirstSampleTicks(p)).c_str(),
                  p.onsetP - p.b, p.onsetS - p.b);
    return;
  }
#endif
  for (const StationPlan& p : plans)
    std::printf(" \\\n    --pick %s=%.2f", (out / p.fileName).string().c_str(), p.onsetP);
  for (const StationPlan& p : plans) std::printf(" \\\n    %s", (out / p.fileName).string().c_str());
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::filesystem::path out = ".";
  std::string eventFile;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--out" && i + 1 < argc) {
      out = argv[++i];
    } else if (arg == "--event" && i + 1 < argc) {
      eventFile = argv[++i];
    } else {
      return Usage();
    }
  }
  if (eventFile.empty()) return WriteFixedExample(out);

  std::ifstream in(eventFile, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "synth-event: %s: cannot be read\n", eventFile.c_str());
    return 1;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string error;
  const auto event = ParseEventDescription(text, error);
  if (!event) {
    std::fprintf(stderr, "synth-event: %s: %s\n", eventFile.c_str(), error.c_str());
    return 1;
  }
  std::vector<StationPlan> plans;
  if (!WriteSampleEvent(*event, out, plans, error)) {
    std::fprintf(stderr, "synth-event: %s: %s\n", eventFile.c_str(), error.c_str());
    return 1;
  }
  PrintEvent(*event, out, plans);
  return 0;
}
