// The main view with an event of real size: 500 stations, copies of one
// example record (a deep earthquake under the Sea of Okhotsk) at scattered
// positions 10 to 95 degrees from the epicentre, each with a P pick, written
// as SAC files into a scratch folder. Measured, with everything on screen
// (the globe, the window of all seismograms, the hints) on Qt's offscreen
// platform:
//   - opening the 500 files and painting the first frame: at most 1 s;
//   - one trial (a click on the globe) and the repaint of the globe and of
//     the visible rows that follows it: at most 20 ms; and, to tell the two
//     apart, the same with the globe alone on screen.
// The run ends with the figures in CPU and wall time.
#include <QApplication>
#include <QMdiSubWindow>
#include <QElapsedTimer>
#include <QSettings>
#include <QWindow>

#include <benchmark/benchmark.h>

#include "TimesReporter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include "location/RMS.h"
#include "seismogram/KSAC.h"
#include "view/View.h"

namespace {

namespace fs = std::filesystem;
using orvane::KSAC;
using orvane::View;

constexpr int kStations = 500;
constexpr double kEventLat = 54.9, kEventLon = 153.2;

// The scratch folder with the 500 files, made once and removed at exit.
struct Event {
  fs::path folder;
  QStringList paths;
  bool ok = false;

  Event() {
    folder = fs::temp_directory_path() / ("orvane-bench-event-" + std::to_string(QCoreApplication::applicationPid()));
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string source = ORVANE_SOURCE_DIR "/examples/deep-okhotsk-synthetic/IU.ANMO.BHZ.sac";
    try {
      KSAC record(source);
      const float pick = 100.0f;
      constexpr double rad = std::numbers::pi / 180.0;
      for (int i = 0; i < kStations; ++i) {
        // A spiral of distances and azimuths (golden angle) round the epicentre.
        const double distance = (10.0 + 85.0 * (i + 0.5) / kStations) * rad;
        const double azimuth = std::fmod(i * 137.50776, 360.0) * rad;
        const double lat1 = kEventLat * rad, lon1 = kEventLon * rad;
        const double lat2 = std::asin(std::sin(lat1) * std::cos(distance) +
                                      std::cos(lat1) * std::sin(distance) * std::cos(azimuth));
        const double lon2 = lon1 + std::atan2(std::sin(azimuth) * std::sin(distance) * std::cos(lat1),
                                              std::cos(distance) - std::sin(lat1) * std::sin(lat2));
        record.SetFloatHeader(KSAC::STLA, static_cast<float>(lat2 / rad));
        record.SetFloatHeader(KSAC::STLO, static_cast<float>(std::remainder(lon2 / rad, 360.0)));
        char name[16];
        std::snprintf(name, sizeof name, "S%03d", i);
        record.SetCharHeader(KSAC::KSTNM, name);
        record.SetPick(0, pick + static_cast<float>(i % 40));
        const fs::path path = folder / (std::string(name) + ".sac");
        if (record.WriteSAC(path.string().c_str()) != 0) return;
        paths << QString::fromStdString(path.string());
      }
      ok = true;
    } catch (const std::exception&) {
    }
  }
  ~Event() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

const Event& TheEvent() {
  static const Event event;
  return event;
}

// A view as the program makes it, with settings of its own (defaults: the
// window of all seismograms, hints on) that are neither read from nor
// written to the user's.
std::unique_ptr<View> MakeView() {
  const fs::path settings = TheEvent().folder / "settings.ini";
  auto view = std::make_unique<View>(
      nullptr, std::make_unique<QSettings>(QString::fromStdString(settings.string()), QSettings::IniFormat));
  view->SetKeepSettings(false);
  view->SetShowSplash(false);
  view->resize(1280, 800);
  view->show();
  QElapsedTimer waited;
  waited.start();
  while (!(view->windowHandle() != nullptr && view->windowHandle()->isExposed()) && waited.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  QCoreApplication::processEvents();
  return view;
}

void BM_Open500AndPaint(benchmark::State& state) {
  if (!TheEvent().ok) {
    state.SkipWithError("the scratch event could not be written");
    return;
  }
  std::unique_ptr<View> view = MakeView();
  for (auto _ : state) {
    if (view->OpenEventFiles(TheEvent().paths).size() != 0 || view->Records().size() != kStations) {
      state.SkipWithError("not every file opened");
      return;
    }
    view->repaint();  // the globe and every window over it
  }
}

void TrialAndRepaint(benchmark::State& state, bool globeAlone) {
  if (!TheEvent().ok) {
    state.SkipWithError("the scratch event could not be written");
    return;
  }
  std::unique_ptr<View> view = MakeView();
  view->OpenEventFiles(TheEvent().paths);
  if (globeAlone) {
    for (QMdiSubWindow* frame : view->SeismogramWindows()) frame->hide();
    if (view->HintsWindow() != nullptr) view->HintsWindow()->parentWidget()->hide();
  }
  view->repaint();
  QCoreApplication::processEvents();
  const QPoint centre(view->viewport()->width() / 3, view->viewport()->height() / 2);
  for (auto _ : state) {
    const std::optional<orvane::TrialResult> trial = view->TryEpicentre(centre);
    if (!trial || !trial->ok()) {
      state.SkipWithError("no trial");
      return;
    }
    view->repaint();
    orvane::trialList.clear();  // every trial paints one dot, as the first does
  }
}

BENCHMARK(BM_Open500AndPaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
void BM_Trial500AndRepaint(benchmark::State& state) { TrialAndRepaint(state, false); }
void BM_Trial500AndGlobe(benchmark::State& state) { TrialAndRepaint(state, true); }

BENCHMARK(BM_Trial500AndRepaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Trial500AndGlobe)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  orvane::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double w = 0.0, c = 0.0;
  if (reporter.Times("BM_Open500AndPaint/process_time/real_time", w, c))
    std::printf("open 500 stations and paint the first frame: %.0f ms CPU, %.0f ms wall (goal: at most 1000 ms)\n",
                c * 1e3, w * 1e3);
  if (reporter.Times("BM_Trial500AndRepaint/process_time/real_time", w, c))
    std::printf("one trial with 500 stations and its repaint: %.1f ms CPU, %.1f ms wall (goal: at most 20 ms)\n",
                c * 1e3, w * 1e3);
  if (reporter.Times("BM_Trial500AndGlobe/process_time/real_time", w, c))
    std::printf("  of which the trial and the globe alone: %.1f ms CPU, %.1f ms wall\n", c * 1e3, w * 1e3);
  benchmark::Shutdown();
  return 0;
}
