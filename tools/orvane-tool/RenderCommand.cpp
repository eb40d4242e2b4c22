#include "tools/orvane-tool/RenderCommand.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "map/Earth.h"
#include "platform/Rect.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"

namespace orvane::tool {
namespace {

constexpr int kMaxSide = 16384;

struct RenderOptions {
  std::string out;
  int width = 800;
  int height = 600;
  float centreLat = 0.0f;
  float centreLon = 0.0f;
  float radius = 200.0f;
  int maximumRms = 10;
  float depth = 0.0f;
  std::optional<std::pair<float, float>> epicentre;
  std::vector<std::pair<std::string, float>> picks;
  std::vector<std::string> files;
};

bool Fail(const std::string& message) {
  std::fprintf(stderr, "orvane-tool render: %s\n", message.c_str());
  return false;
}

// A finite decimal number, the whole text; locale-independent.
std::optional<float> ParseFloat(const std::string& text) {
  double value = 0.0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto r = std::from_chars(first, last, value, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != last || !std::isfinite(value)) return std::nullopt;
  const auto f = static_cast<float>(value);
  if (!std::isfinite(f)) return std::nullopt;
  return f;
}

std::optional<int> ParseInt(const std::string& text) {
  int value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto r = std::from_chars(first, last, value);
  if (r.ec != std::errc() || r.ptr != last) return std::nullopt;
  return value;
}

std::optional<std::pair<float, float>> ParsePair(const std::string& text) {
  const auto comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto a = ParseFloat(text.substr(0, comma));
  const auto b = ParseFloat(text.substr(comma + 1));
  if (!a || !b) return std::nullopt;
  return std::make_pair(*a, *b);
}

bool Parse(int argc, char** argv, RenderOptions& o) {
  int i = 0;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) break;
    std::string name = arg.substr(2);
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    static const char* const kKnown[] = {"out", "size", "centre", "radius", "maximum-rms", "depth", "epicentre", "pick"};
    bool known = false;
    for (const char* k : kKnown) known = known || name == k;
    if (!known) return Fail("unknown option '" + arg + "'");
    if (!value) {
      if (i + 1 >= argc) return Fail("--" + name + " needs a value");
      value = argv[++i];
    }
    const std::string& v = *value;
    if (name == "out") {
      if (v.empty()) return Fail("--out needs a file name");
      o.out = v;
    } else if (name == "size") {
      const auto x = v.find('x');
      const auto w = x == std::string::npos ? std::nullopt : ParseInt(v.substr(0, x));
      const auto h = x == std::string::npos ? std::nullopt : ParseInt(v.substr(x + 1));
      if (!w || !h || *w < 1 || *h < 1 || *w > kMaxSide || *h > kMaxSide)
        return Fail("--size needs WxH, each 1 to " + std::to_string(kMaxSide) + " pixels, not '" + v + "'");
      o.width = *w;
      o.height = *h;
    } else if (name == "centre") {
      const auto c = ParsePair(v);
      if (!c || std::fabs(c->first) > 90.0f || std::fabs(c->second) > 360.0f)
        return Fail("--centre needs LAT,LON in degrees, not '" + v + "'");
      o.centreLat = c->first;
      o.centreLon = c->second;
    } else if (name == "radius") {
      const auto r = ParseFloat(v);
      if (!r || !(*r > 0.0f) || *r > 1.0e8f) return Fail("--radius needs a positive number of pixels, not '" + v + "'");
      o.radius = *r;
    } else if (name == "maximum-rms") {
      const auto n = ParseInt(v);
      if (!n || *n < 0 || *n > 1'000'000) return Fail("--maximum-rms needs whole seconds from 0 to 1000000, not '" + v + "'");
      o.maximumRms = *n;
    } else if (name == "depth") {
      const auto d = ParseFloat(v);
      if (!d) return Fail("--depth needs a number of kilometres, not '" + v + "'");
      o.depth = *d;
    } else if (name == "epicentre") {
      const auto e = ParsePair(v);
      if (!e || std::fabs(e->first) > 90.0f || std::fabs(e->second) > 360.0f)
        return Fail("--epicentre needs LAT,LON in degrees, not '" + v + "'");
      o.epicentre = e;
    } else if (name == "pick") {
      const auto eq = v.rfind('=');
      const auto seconds = eq == std::string::npos ? std::nullopt : ParseFloat(v.substr(eq + 1));
      if (!seconds || eq == 0) return Fail("--pick needs FILE=SECONDS, not '" + v + "'");
      o.picks.emplace_back(v.substr(0, eq), *seconds);
    }
  }
  for (; i < argc; ++i) o.files.emplace_back(argv[i]);
  if (o.out.empty()) return Fail("--out FILE.png is required");
  return true;
}

bool ReadEvent(const RenderOptions& o, std::vector<std::unique_ptr<KSAC>>& records) {
  for (const std::string& file : o.files) {
    SeismogramReadResult result = ReadSeismogramFile(file);
    if (!result.record) return Fail(file + ": " + result.reason);
    records.push_back(std::move(result.record));
  }
  for (const auto& [file, seconds] : o.picks) {
    bool found = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (o.files[i] == file) {
        records[i]->SetPick(0, seconds);
        found = true;
      }
    }
    if (!found) return Fail("--pick names '" + file + "', which is not one of the files");
  }
  return true;
}

}  // namespace

int RenderCommand(int argc, char** argv) {
  RenderOptions o;
  if (!Parse(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: orvane-tool render --out FILE.png [--size WxH] [--centre LAT,LON] [--radius PX]\n"
                 "         [--maximum-rms N] [--depth KM --epicentre LAT,LON] [--pick FILE=SECONDS]... [FILE...]\n");
    return 2;
  }

  std::vector<std::unique_ptr<KSAC>> records;
  if (!ReadEvent(o, records)) return 1;
  std::vector<KSAC*> pointers = RecordPointers(records);

  maximumRms = o.maximumRms;
  trialList.clear();
  TrialState state;
  if (o.epicentre) {
    const TrialResult trial = TrialLocation(pointers, o.epicentre->first, o.epicentre->second, o.depth, state,
                                            /*report=*/false);
    if (!trial.ok()) {
      Fail(trial.reason);
      return 1;
    }
  }

  // No display is needed: the offscreen platform draws text and images alike.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  char name[] = "orvane-tool";
  char* qtArgv[] = {name, nullptr};
  QGuiApplication app(qtArgc, qtArgv);

  QImage image(o.width, o.height, QImage::Format_RGB32);
  if (image.isNull()) {
    Fail("no memory for a picture of " + std::to_string(o.width) + "x" + std::to_string(o.height));
    return 1;
  }
  {
    Surface surface(image);
    Earth earth;
    earth.DrawMap(surface, o.centreLon, -o.centreLat, o.radius, Rect{0, 0, o.width, o.height}, pointers,
                  state.originTime, state.epicentreLat, state.epicentreLon, o.depth, state.rms);
  }

  QSaveFile file(QString::fromLocal8Bit(o.out.c_str()));
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
    Fail(o.out + ": cannot write the picture" +
         (file.errorString().isEmpty() ? std::string() : " (" + file.errorString().toStdString() + ")"));
    return 1;
  }
  return 0;
}

}  // namespace orvane::tool
