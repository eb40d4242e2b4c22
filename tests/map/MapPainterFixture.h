#pragma once
// What the map painter's tests share: a globe to paint on a QImage, stations
// and a trial to mark on it, colours counted in a picture, and a scratch
// directory of empty map files for each test.
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "location/RMS.h"
#include "map/DrawingPrimitives.h"
#include "map/Earth.h"
#include "map/GlobePainter.h"
#include "map/MapBytes.h"
#include "map/MapPainter.h"
#include "platform/Surface.h"
#include "seismogram/KSAC.h"
#include "support/CurrentDirectory.h"
#include "support/TrialStateGuard.h"

namespace orvane::test {

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kBlue = 0xff0000ff;

struct Trial {
  float lat = 0.0f;
  float lon = 0.0f;
  float depth = 0.0f;
  float rms = 0.0f;
  SYSTEMTIME time{2024, 3, 0, 1, 12, 34, 56, 789};
};

// What the view holds: its globe, and the painter that keeps the globe's background.
struct ViewGlobe : Earth {
  GlobePainter painter;
};

inline std::unique_ptr<KSAC> Station(const char* name, float lat, float lon) {
  auto samples = std::make_unique<float[]>(10);
  const SYSTEMTIME start{2024, 3, 0, 1, 12, 0, 0, 0};
  return std::make_unique<KSAC>(10, std::move(samples), lat, lon, 0.0f, 0.1f, name, "BHZ", start);
}

inline QImage Paint(ViewGlobe& earth, int w, int h, float spin, float tilt, float radius,
             const std::vector<KSAC*>& records = {}, const Trial& trial = {}) {
  QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
  image.fill(qRgb(1, 2, 3));
  Surface surface(image);
  MapPicture picture;
  picture.spin = spin;
  picture.tilt = tilt;
  picture.radius = radius;
  picture.client = Rect{0, 0, w, h};
  picture.records = records;
  picture.trials = trialList;
  picture.hasTrial = trial.lat != 0.0f;
  picture.trial = TrialState{trial.lat, trial.lon, trial.time, trial.rms};
  picture.depth = trial.depth;
  picture.maximumRms = maximumRms;
  PaintMapPicture(surface, picture, earth, earth.painter);
  return image;
}

inline MapPicture PictureOf(float spin, float tilt, float radius, int w, int h) {
  MapPicture picture;
  picture.spin = spin;
  picture.tilt = tilt;
  picture.radius = radius;
  picture.client = Rect{0, 0, w, h};
  return picture;
}

inline QPoint At(const Earth& earth, float lat, float lon) {
  const ScreenPoint p = earth.Project(lat, lon);
  return QPoint(p.x, p.y);
}

inline int Count(const QImage& image, QRgb colour, QRect area = QRect()) {
  if (area.isNull()) area = image.rect();
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += image.valid(x, y) && image.pixel(x, y) == colour;
  return n;
}

// Each test runs in a scratch directory holding all 24 map files, empty unless
// the test writes one; the painter finds them there before any other place.
class MapPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* feature : kMapFeatureNames)
      for (const char* ext : kMapLevelExtensions) WriteMap(std::string(feature) + ext, MapBytes());
    ClearMapFileLog();
  }
  void WriteMap(const std::string& name, const MapBytes& map) {
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(map.bytes.data()), static_cast<std::streamsize>(map.bytes.size()));
  }

  test::ScratchDirectory scratch_;
  const std::filesystem::path dir_ = scratch_.path();
  test::TrialStateGuard trials_;
};

}  // namespace orvane::test
