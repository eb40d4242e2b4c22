// orvane-tool: the program's core for scripts and tests (inspect and convert
// seismogram files, travel times, trial locations, the globe and the
// seismogram windows as pictures).

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "seismogram/FormatTable.h"
#ifdef ORVANE_TOOL_DATACENTRE
#include "seismogram/DataCentreEvent.h"
#endif
#include "tools/orvane-tool/Commands.h"
#ifdef ORVANE_TOOL_EXERCISE
#include "tools/orvane-tool/ClassCommand.h"
#include "tools/orvane-tool/ExerciseCommand.h"
#endif
#include "tools/orvane-tool/LocationCommands.h"
#ifdef ORVANE_TOOL_RENDER
#include "tools/orvane-tool/RenderCommand.h"
#include "tools/orvane-tool/TraceRenderCommand.h"
#endif
#include "tools/orvane-tool/SeismogramCommands.h"

namespace {

struct Entry {
  const char* name;
  orvane::tool::Command run;
  std::string usage;
};

// "sac|pepp|psn|miniseed": the formats --format names.
const std::string kFormats = orvane::SeismogramFormatNames("", "|", "|");

const Entry kCommands[] = {
    {"help", nullptr, "help"},
    {"header", orvane::tool::HeaderCommand, "header [--format " + kFormats + "] [--stations FILE.xml]... FILE...   header of seismogram files (miniSEED: every channel) as JSON"},
    {"convert", orvane::tool::ConvertCommand, "convert [--format " + kFormats + "] [--stations FILE.xml]... [--channel NET.STA.LOC.CHA] [--bandpass LO,HI[,ORDER]] IN OUT   to SAC (big-endian), or PEPP when OUT ends in .set"},
    {"traveltime", orvane::tool::TravelTimeCommand, "traveltime --phase P|S [--depth KM] [--model NAME] [--inverse] VALUE...   travel times (or distances) from the model's P.JB/S.JB"},
    {"locate", orvane::tool::LocateCommand, "locate [--depth KM] [--model NAME] --epicentre LAT,LON [--pick FILE|CHANNEL=SECONDS]... FILE...   one trial location as JSON (miniSEED with StationXML among the files)"},
    {"best", orvane::tool::BestCommand, "best [--depth KM] [--model NAME] [--precise [--depth-search]] [--pick FILE|CHANNEL=SECONDS]... FILE...   the epicentre of smallest RMS (and the precise key) as JSON; with a QuakeML origin, compared with it"},
#ifdef ORVANE_TOOL_EXERCISE
    {"exercise", orvane::tool::ExerciseCommand, "exercise [--csv] [--model NAME] FILE.orvex   a saved exercise (stations, trials, distances from the answer key) as JSON, or its trials as CSV"},
    {"class", orvane::tool::ClassCommand, "class [--csv] [--map OUT.png] [--model NAME] EXERCISE.orvex...   a class's exercises on one event side by side (last and best trials, answer keys) as JSON or CSV, and their last trials on a map"},
#endif
#ifdef ORVANE_TOOL_RENDER
    {"render", orvane::tool::RenderCommand, "render --out FILE.png [--size WxH] [--centre LAT,LON] [--radius PX] [--maximum-rms N] [--depth KM --epicentre LAT,LON] [--model NAME] [--misfit] [--pick FILE=SECONDS]... [FILE...]   the globe as a PNG"},
    {"render-traces", orvane::tool::TraceRenderCommand, "render-traces --out FILE.png [--size WxH] [--one-window | --station FILE] [--depth KM --epicentre LAT,LON] [--model NAME] [--pick FILE=SECONDS]... FILE...   the seismogram windows as a PNG"},
#endif
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: orvane-tool COMMAND [ARGUMENTS]\ncommands:\n");
  for (const Entry& e : kCommands) std::fprintf(out, "  %s\n", e.usage.c_str());
}

}  // namespace

int main(int argc, char** argv) {
#ifdef ORVANE_TOOL_DATACENTRE
  orvane::RegisterDataCentreFormat();  // miniSEED with StationXML, read as one event
#endif
  if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const Entry& e : kCommands) {
    if (e.run != nullptr && std::strcmp(argv[1], e.name) == 0) return e.run(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "orvane-tool: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
