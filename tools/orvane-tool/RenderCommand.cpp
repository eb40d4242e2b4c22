#include "tools/orvane-tool/RenderCommand.h"

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "location/BestEpicentre.h"
#include "location/JB.h"
#include "location/PhaseTables.h"
#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "map/Earth.h"
#include "map/MapPainter.h"
#include "map/MisfitMap.h"
#include "platform/Rect.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "tools/orvane-tool/Arguments.h"
#include "tools/orvane-tool/PictureOutput.h"

namespace orvane::tool {
namespace {

constexpr char kName[] = "render";

struct RenderOptions {
  std::string out;
  int width = 800;
  int height = 600;
  float centreLat = 0.0f;
  float centreLon = 0.0f;
  float radius = 200.0f;
  int maximumRms = 10;
  bool misfit = false;
  EventOptions event;
  std::vector<std::string> files;
};

bool Parse(int argc, char** argv, RenderOptions& o) {
  const auto handle = [&o](const std::string& name, const std::string& v) {
    if (name == "misfit") {
      o.misfit = true;
    } else if (name == "out") {
      if (v.empty()) return Fail(kName, "--out needs a file name");
      o.out = v;
    } else if (name == "size") {
      return ParsePictureSize(kName, v, o.width, o.height);
    } else if (name == "centre") {
      const auto c = ParseLatLon(v);
      if (!c) return Fail(kName, "--centre needs LAT,LON in degrees, not '" + v + "'");
      o.centreLat = c->first;
      o.centreLon = c->second;
    } else if (name == "radius") {
      const auto r = ParseNumber(v);
      if (!r || !(*r > 0.0f) || *r > 1.0e8f)
        return Fail(kName, "--radius needs a positive number of pixels, not '" + v + "'");
      o.radius = *r;
    } else if (name == "maximum-rms") {
      const auto n = ParseInt(v);
      if (!n || *n < 0 || *n > 1'000'000)
        return Fail(kName, "--maximum-rms needs whole seconds from 0 to 1000000, not '" + v + "'");
      o.maximumRms = *n;
    } else {
      return ParseEventOption(kName, name, v, o.event);
    }
    return true;
  };
  if (!ParseOptions(kName, "out size centre radius maximum-rms depth epicentre pick model misfit", "misfit", argc, argv,
                    handle, o.files))
    return false;
  if (o.out.empty()) return Fail(kName, "--out FILE.png is required");
  if (o.misfit && o.files.empty()) return Fail(kName, "--misfit needs the event's files");
  return true;
}

}  // namespace

int RenderCommand(int argc, char** argv) {
  RenderOptions o;
  if (!Parse(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: orvane-tool render --out FILE.png [--size WxH] [--centre LAT,LON] [--radius PX]\n"
                 "         [--maximum-rms N] [--depth KM --epicentre LAT,LON] [--model NAME] [--misfit]\n"
                 "         [--pick FILE=SECONDS]... [FILE...]\n");
    return 2;
  }

  std::vector<std::unique_ptr<KSAC>> records;
  if (!ReadEvent(kName, o.files, o.event.picks, records)) return 1;
  std::vector<KSAC*> pointers = RecordPointers(records);

  TrialState state;
  if (!MakeRequestedTrial(kName, pointers, o.event, state)) return 1;
  // No display is needed: the offscreen platform draws text and images alike.
  const auto app = MakeOffscreenApplication();

  QImage image = NewPicture(kName, o.width, o.height);
  if (image.isNull()) return 1;
  {
    Surface surface(image);
    MapPicture picture;
    picture.CentreOn(o.centreLat, o.centreLon);
    picture.radius = o.radius;
    picture.client = Rect{0, 0, o.width, o.height};
    picture.records = pointers;
    picture.trials = trialList;
    picture.hasTrial = o.event.epicentre.has_value();
    picture.trial = state;
    picture.depth = o.event.depth;
    picture.maximumRms = o.maximumRms;
    picture.model = o.event.model;
    if (o.misfit) {
      // The misfit of a trial at every other pixel, and the answer key.
      std::vector<TrialStation> stations(records.size());
      // Records that cannot take part are left out, as of every trial.
      for (std::size_t i = 0; i < records.size(); ++i) StationOf(*records[i], stations[i]);
      const PhaseTables tables = LoadPhaseTables(o.event.depth, o.event.model);
      const BestEpicentreResult best = FindBestEpicentre(stations, *tables.p, *tables.s);
      if (!best.ok()) {
        Fail(kName, best.trial.reason);
        return 1;
      }
      Earth view;
      view.SetView(picture.spin, picture.tilt, picture.radius, o.width, o.height);
      picture.misfit = std::make_shared<const MisfitRaster>(
          ComputeMisfitRaster(view, picture.client, stations, *tables.p, *tables.s, /*cell=*/2));
      picture.hasAnswerKey = true;
      picture.answerLat = best.lat;
      picture.answerLon = best.lon;
    }
    PaintMapPicture(surface, picture);
  }

  return SavePicture(kName, image, o.out) ? 0 : 1;
}

}  // namespace orvane::tool
