// The seismogram windows: a repaint of a 400×250 Event window at zoom 1 showing
// a record of 1,000,000 samples and one of 10,000 samples, a repaint of a
// 400×1000 Seismograms window (the right quarter of a 1600×1000 view) showing
// 20 records of 360,000 samples (five hours at 20 samples a second), the same
// with every record drawn through the 1-5 Hz band-pass (filtered on the first
// paint, kept for the repaints), and the
// same window showing a record section of 500 stations, 24,000 samples each
// (20 minutes at 20 samples a second), with its texts (the rows that fit, the
// others scrolled away) and as traces only (every row). The run ends with the
// figures the windows are meant to keep:
//   - the 1,000,000-sample repaint at most 5 times the 10,000-sample one;
//   - the 20-record Seismograms repaint under 16 ms (one display frame),
//     filtered or not;
//   - the 500-row Seismograms repaint under 16 ms, in either mode.
// The windows are shown on Qt's offscreen platform and repainted in full with
// QWidget::repaint, controls and all.
#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include "TimesReporter.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "display/Event.h"
#include "display/Seismograms.h"
#include "seismogram/KSAC.h"

namespace {

using orvane::KSAC;

// Shows @p window and waits until the platform has exposed it, so that
// repaint() paints.
bool ShowExposed(QWidget& window) {
  window.show();
  QElapsedTimer waited;
  waited.start();
  while (!(window.windowHandle() != nullptr && window.windowHandle()->isExposed()) && waited.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  QCoreApplication::processEvents();
  return window.windowHandle() != nullptr && window.windowHandle()->isExposed();
}

// Shows @p window at @p width x @p height and repaints it in full once per
// iteration; the paint before the first creates the controls.
void RepaintEach(benchmark::State& state, QWidget& window, int width, int height) {
  window.resize(width, height);
  if (!ShowExposed(window)) {
    state.SkipWithError("the window was not exposed");
    return;
  }
  window.repaint();
  for (auto _ : state) window.repaint();
}

// Microseism-like noise with a P and an S wave train, from a fixed seed.
std::unique_ptr<KSAC> MakeRecord(std::int32_t npts, std::uint32_t seed, const char* station) {
  auto samples = std::make_unique<float[]>(static_cast<std::size_t>(npts));
  std::uint32_t state = seed;
  for (std::int32_t i = 0; i < npts; ++i) {
    state = state * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(state >> 8) / 16777216.0 - 0.5) * 2.0;
    const double t = i * 0.05;
    double value = noise + 3.0 * std::sin(t * 2.0 * M_PI / 6.0);
    const double p = npts * 0.05 * 0.3, s = npts * 0.05 * 0.6;
    if (t > p) value += 40.0 * std::exp(-(t - p) / 20.0) * std::sin((t - p) * 2.0 * M_PI);
    if (t > s) value += 90.0 * std::exp(-(t - s) / 40.0) * std::sin((t - s) * 2.0 * M_PI * 0.3);
    samples[static_cast<std::size_t>(i)] = static_cast<float>(value);
  }
  const orvane::SYSTEMTIME start{2025, 10, 0, 19, 7, 50, 0, 0};
  return std::make_unique<KSAC>(npts, std::move(samples), 40.0f, 140.0f, 0.0f, 0.05f, station, "BHZ", start);
}

void RepaintEvent(benchmark::State& state, std::int32_t npts) {
  std::unique_ptr<KSAC> record = MakeRecord(npts, 7, "BIG");
  record->ComputeReferenceSeconds();
  orvane::Event window(*record);
  RepaintEach(state, window, 400, 250);
  state.counters["samples"] = npts;
}

void BM_EventRepaint1000000(benchmark::State& state) { RepaintEvent(state, 1'000'000); }
void BM_EventRepaint10000(benchmark::State& state) { RepaintEvent(state, 10'000); }

void RepaintTwenty(benchmark::State& state, bool filtered) {
  std::vector<std::unique_ptr<KSAC>> records;
  std::vector<KSAC*> pointers;
  for (int i = 0; i < 20; ++i) {
    records.push_back(MakeRecord(360'000, 11u + static_cast<std::uint32_t>(i), ("S" + std::to_string(i)).c_str()));
    records.back()->ComputeReferenceSeconds();
    records.back()->SetFloatHeader(KSAC::GCARC, 10.0f + static_cast<float>(i));
    if (filtered) records.back()->filter = orvane::BandPass{1.0, 5.0, 4};
    pointers.push_back(records.back().get());
  }
  orvane::Seismograms window(pointers);
  RepaintEach(state, window, 400, 1000);
}

void BM_SeismogramsRepaint20x360000(benchmark::State& state) { RepaintTwenty(state, false); }
void BM_SeismogramsRepaint20x360000Filtered(benchmark::State& state) { RepaintTwenty(state, true); }

// A record section of @p stations stations: 20 minutes each, every one a
// little later than the one before, the nearest first.
void RepaintSection(benchmark::State& state, int stations, bool compact) {
  std::vector<std::unique_ptr<KSAC>> records;
  std::vector<KSAC*> pointers;
  for (int i = 0; i < stations; ++i) {
    records.push_back(MakeRecord(24'000, 101u + static_cast<std::uint32_t>(i), ("S" + std::to_string(i)).c_str()));
    records.back()->SetFloatHeader(KSAC::B, 0.5f * static_cast<float>(i));
    records.back()->ComputeReferenceSeconds();
    records.back()->SetFloatHeader(KSAC::GCARC, 10.0f + 0.1f * static_cast<float>(i));
    pointers.push_back(records.back().get());
  }
  orvane::Seismograms window(pointers);
  window.SetCompact(compact);
  RepaintEach(state, window, 400, 1000);
  state.counters["rows shown"] = window.Layout().rows.visibleRows;
}

void BM_SeismogramsRepaint500Rows(benchmark::State& state) { RepaintSection(state, 500, false); }
void BM_SeismogramsRepaint500RowsCompact(benchmark::State& state) { RepaintSection(state, 500, true); }

BENCHMARK(BM_EventRepaint1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EventRepaint10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeismogramsRepaint20x360000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeismogramsRepaint20x360000Filtered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeismogramsRepaint500Rows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeismogramsRepaint500RowsCompact)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  orvane::bench::TimesReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto both = [&](const char* name, double& w, double& c) { return reporter.Times(name, w, c); };
  double bigW, bigC, smallW, smallC, allW, allC;
  if (both("BM_EventRepaint1000000", bigW, bigC) && both("BM_EventRepaint10000", smallW, smallC))
    std::printf("Event repaint, 1,000,000 vs 10,000 samples: %.2fx in CPU time, %.2fx in wall time (goal: at most 5x)\n",
                bigC / smallC, bigW / smallW);
  if (both("BM_SeismogramsRepaint20x360000", allW, allC))
    std::printf("Seismograms repaint, 20 x 360,000 samples: %.2f ms CPU, %.2f ms wall (goal: under 16 ms)\n",
                allC * 1e3, allW * 1e3);
  if (both("BM_SeismogramsRepaint20x360000Filtered", allW, allC))
    std::printf("Seismograms repaint, 20 x 360,000 samples through 1-5 Hz: %.2f ms CPU, %.2f ms wall (goal: under 16 ms)\n",
                allC * 1e3, allW * 1e3);
  for (const char* name : {"BM_SeismogramsRepaint500Rows", "BM_SeismogramsRepaint500RowsCompact"})
    if (both(name, allW, allC))
      std::printf("%s: %.2f ms CPU, %.2f ms wall (goal: under 16 ms)\n", name + 3, allC * 1e3, allW * 1e3);
  benchmark::Shutdown();
  return 0;
}
