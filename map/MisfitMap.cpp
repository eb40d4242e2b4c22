#include "map/MisfitMap.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

#include "location/TrialRms.h"

namespace orvane {
namespace {

// Workers for one raster at most, however many cores there are.
constexpr int kMaxWorkers = 8;

}  // namespace

float MisfitRaster::At(int x, int y) const {
  if (Empty()) return std::numeric_limits<float>::quiet_NaN();
  const int c = (x - client.left) / cell;
  const int r = (y - client.top) / cell;
  if (x < client.left || y < client.top || c >= columns || r >= rows) return std::numeric_limits<float>::quiet_NaN();
  return rms[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c)];
}

MisfitRaster ComputeMisfitRaster(const Earth& earth, const Rect& client, std::span<const TrialStation> stations,
                                 const JB& p, const JB& s, int cell, const std::atomic<bool>* cancel) {
  MisfitRaster raster;
  if (cell <= 0 || client.IsEmpty()) return raster;
  raster.client = client;
  raster.cell = cell;
  raster.columns = (client.Width() + cell - 1) / cell;
  raster.rows = (client.Height() + cell - 1) / cell;
  raster.rms.assign(static_cast<std::size_t>(raster.columns) * static_cast<std::size_t>(raster.rows),
                    std::numeric_limits<float>::quiet_NaN());
  const TrialRms trials(stations, p, s);
  if (!trials.CanLocate()) return raster;  // no trial anywhere: every cell stays NaN

  // The rows are dealt out in turn to one worker per core, so that each gets
  // its share of the disc; each writes only the cells of its own rows.
  std::atomic<bool> cancelled{false};
  const auto work = [&](int first, int stride) {
    for (int r = first; r < raster.rows; r += stride) {
      if (cancelled.load(std::memory_order_relaxed)) return;
      if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        cancelled = true;
        return;
      }
      const int y = client.top + r * cell + cell / 2;
      float* row = raster.rms.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(raster.columns);
      for (int c = 0; c < raster.columns; ++c) {
        float lat = 0.0f;
        float lon = 0.0f;
        if (earth.ScreenToLatLon(client.left + c * cell + cell / 2, y, lat, lon)) row[c] = trials.At(lat, lon);
      }
    }
  };
  const int workers = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, std::min(kMaxWorkers, raster.rows));
  std::vector<std::thread> threads;
  std::vector<int> notStarted;
  for (int k = 1; k < workers; ++k) {
    try {
      threads.emplace_back(work, k, workers);
    } catch (const std::system_error&) {
      notStarted.push_back(k);  // no thread to be had: its rows are done here
    }
  }
  work(0, workers);
  for (int k : notStarted) work(k, workers);
  for (std::thread& t : threads) t.join();
  if (cancelled) return MisfitRaster{};
  return raster;
}

}  // namespace orvane
