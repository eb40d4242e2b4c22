#include "tools/orvane-tool/TraceRenderCommand.h"

#include <QImage>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/EventPicture.h"
#include "display/SeismogramsPicture.h"
#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "platform/Rect.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "tools/orvane-tool/Arguments.h"
#include "tools/orvane-tool/PictureOutput.h"

namespace orvane::tool {
namespace {

constexpr char kName[] = "render-traces";

struct TraceRenderOptions {
  std::string out;
  std::optional<int> width, height;
  bool oneWindow = false;
  std::optional<std::string> station;
  EventOptions event;
  std::vector<std::string> files;
};

bool Parse(int argc, char** argv, TraceRenderOptions& o) {
  const auto handle = [&o](const std::string& name, const std::string& v) {
    if (name == "out") {
      if (v.empty()) return Fail(kName, "--out needs a file name");
      o.out = v;
    } else if (name == "size") {
      int width = 0, height = 0;
      if (!ParsePictureSize(kName, v, width, height)) return false;
      o.width = width;
      o.height = height;
    } else if (name == "one-window") {
      o.oneWindow = true;
    } else if (name == "station") {
      if (v.empty()) return Fail(kName, "--station needs a file name");
      o.station = v;
    } else {
      return ParseEventOption(kName, name, v, o.event);
    }
    return true;
  };
  if (!ParseOptions(kName, "out size one-window station depth epicentre pick model", "one-window", argc, argv, handle,
                    o.files))
    return false;
  if (o.out.empty()) return Fail(kName, "--out FILE.png is required");
  if (o.oneWindow && o.station) return Fail(kName, "--one-window and --station exclude each other");
  // --station names a file, or a miniSEED channel of the data-centre files.
  const bool dataCentre = std::any_of(o.files.begin(), o.files.end(), IsDataCentreInput);
  if (o.station && !dataCentre && std::find(o.files.begin(), o.files.end(), *o.station) == o.files.end())
    o.files.push_back(*o.station);
  if (o.files.empty()) return Fail(kName, "no seismogram files given");
  return true;
}

}  // namespace

int TraceRenderCommand(int argc, char** argv) {
  TraceRenderOptions o;
  if (!Parse(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: orvane-tool render-traces --out FILE.png [--size WxH] [--one-window | --station FILE]\n"
                 "         [--depth KM --epicentre LAT,LON] [--model NAME] [--pick FILE=SECONDS]... FILE...\n");
    return 2;
  }

  EventRecords event;
  if (!ReadEvent(kName, o.files, o.event.picks, event)) return 1;
  std::vector<KSAC*> pointers = RecordPointers(event.records);
  std::size_t shown = 0;
  if (o.station) {
    while (shown < pointers.size() && event.files[shown] != *o.station && event.channels[shown] != *o.station) ++shown;
    if (shown == pointers.size()) {
      Fail(kName, "--station names '" + *o.station + "', which is none of the records");
      return 1;
    }
  }

  TrialState state;
  if (!MakeRequestedTrial(kName, pointers, o.event, state)) return 1;
  const auto app = MakeOffscreenApplication();

  const bool single = o.station.has_value();
  const int width = o.width.value_or(400);
  const int height = o.height.value_or(single ? 250 : 800);
  QImage image = NewPicture(kName, width, height);
  if (image.isNull()) return 1;
  image.fill(Qt::white);
  {
    Surface surface(image);
    const TextMetrics metrics = surface.GetTextMetrics();
    if (single) {
      PaintEventPicture(surface, LayOutEvent(width, height, metrics), *pointers[shown], EventView{});
    } else {
      const int count = static_cast<int>(pointers.size());
      const std::vector<int> gains(pointers.size(), 1);
      PaintSeismogramsPicture(surface, LayOutSeismograms(width, height, metrics, count), pointers,
                              SeismogramsView{1.0f, 0.0f, gains}, Rect{0, 0, width, height});
    }
  }

  return SavePicture(kName, image, o.out) ? 0 : 1;
}

}  // namespace orvane::tool
