#include "map/MisfitMap.h"

#include <cmath>
#include <limits>

namespace orvane {

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
  for (int r = 0; r < raster.rows; ++r) {
    if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return MisfitRaster{};
    const int y = client.top + r * cell + cell / 2;
    for (int c = 0; c < raster.columns; ++c) {
      const int x = client.left + c * cell + cell / 2;
      float lat = 0.0f;
      float lon = 0.0f;
      if (!earth.ScreenToLatLon(x, y, lat, lon)) continue;
      const TrialResult trial = EvaluateTrial(stations, lat, lon, p, s, {});
      if (trial.ok()) raster.rms[static_cast<std::size_t>(r) * static_cast<std::size_t>(raster.columns) +
                                 static_cast<std::size_t>(c)] = trial.rms;
    }
  }
  return raster;
}

}  // namespace orvane
