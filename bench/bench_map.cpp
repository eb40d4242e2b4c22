// The map painter: a full background redraw of the whole globe (".S4" files),
// a full redraw of a close view of Europe (".S1" files, the finest level), and
// a repaint with unchanged view that copies the cached background. The run
// ends with the ratios the painter is meant to keep:
//   - a cache hit at least 20 times faster than the whole-globe redraw;
//   - the close view of Europe redrawn in under 100 ms.
// The map files are the committed ones in data/ (found through the data-file
// lookup, so run it from anywhere in the build tree).
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include "TimesReporter.h"

#include <cstdio>
#include <map>
#include <string>

#include "location/RMS.h"
#include "map/Earth.h"
#include "map/GlobePainter.h"
#include "map/MapPainter.h"
#include "platform/Surface.h"

namespace {

using orvane::Earth;
using orvane::GlobePainter;
using orvane::MapPicture;
using orvane::PaintMapPicture;
using orvane::Rect;
using orvane::Surface;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

struct View {
  float lat, lon, radius;
};
constexpr View kWholeGlobe{20.0f, 10.0f, 250.0f};   // 4·600/250 ≥ 4: ".S4"
constexpr View kEurope{50.0f, 10.0f, 3000.0f};      // 4·600/3000 < 1: ".S1"

void Paint(Earth& earth, GlobePainter& painter, QImage& image, const View& view) {
  Surface surface(image);
  MapPicture picture;
  picture.CentreOn(view.lat, view.lon);
  picture.radius = view.radius;
  picture.client = Rect{0, 0, kWidth, kHeight};
  PaintMapPicture(surface, picture, earth, painter);
}

void Redraw(benchmark::State& state, const View& view, const char* expectedFile) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  Earth earth;
  GlobePainter first;
  orvane::ClearMapFileLog();
  Paint(earth, first, image, view);
  if (orvane::MapFilesOpened().empty() || orvane::MapFilesOpened().front() != expectedFile) {
    state.SkipWithError((std::string("map file ") + expectedFile + " not found").c_str());
    return;
  }
  for (auto _ : state) {
    GlobePainter fresh;  // no background kept yet: every paint draws it
    Paint(earth, fresh, image, view);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_RedrawWholeGlobeS4(benchmark::State& state) { Redraw(state, kWholeGlobe, "COAST.S4"); }
void BM_RedrawEuropeS1(benchmark::State& state) { Redraw(state, kEurope, "COAST.S1"); }

void BM_RepaintFromCache(benchmark::State& state) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  Earth earth;
  GlobePainter painter;
  Paint(earth, painter, image, kWholeGlobe);
  orvane::ClearMapFileLog();
  for (auto _ : state) {
    Paint(earth, painter, image, kWholeGlobe);
    benchmark::DoNotOptimize(image.constBits());
  }
  if (!orvane::MapFilesOpened().empty()) state.SkipWithError("a cached repaint opened map files");
}

BENCHMARK(BM_RedrawWholeGlobeS4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawEuropeS1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintFromCache)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  orvane::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto both = [&](const char* name, double& w, double& c) { return reporter.Times(name, w, c); };
  double s4w, s4c, s1w, s1c, hitw, hitc;
  if (both("BM_RedrawWholeGlobeS4", s4w, s4c) && both("BM_RepaintFromCache", hitw, hitc))
    std::printf("cache hit vs whole-globe redraw: %.1fx faster in CPU time, %.1fx in wall time (goal: at least 20x)\n",
                s4c / hitc, s4w / hitw);
  if (both("BM_RedrawEuropeS1", s1w, s1c))
    std::printf("close view of Europe at .S1: %.1f ms CPU, %.1f ms wall per redraw (goal: under 100 ms)\n",
                s1c * 1e3, s1w * 1e3);
  benchmark::Shutdown();
  return 0;
}
