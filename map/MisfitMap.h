#pragma once
// The misfit map: the RMS that a trial at each point of the view would have,
// with the same arithmetic as a click (the best origin time at that point),
// so that a teacher can show why the dots of the trials converge. It is
// computed on cells of the screen, coarse first and then finer, on every
// core, and can be cancelled between rows.

#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "location/JB.h"
#include "location/TrialLocation.h"
#include "map/Earth.h"
#include "platform/Rect.h"

namespace orvane {

/// RMS values on square cells of a client area, row by row. A cell whose
/// centre lies beside the globe, or where no trial can be made, holds NaN.
struct MisfitRaster {
  Rect client;
  int cell = 0;      ///< cell size in pixels; 0 for an empty raster
  int columns = 0;
  int rows = 0;
  std::vector<float> rms;
  bool Empty() const { return cell <= 0 || rms.empty(); }
  /// @brief The RMS of the cell holding pixel (@p x, @p y), NaN outside.
  float At(int x, int y) const;
};

/// @brief The raster for @p client with cells of @p cell pixels: each cell's
/// centre turned into a position by @p earth (as a click would be), then
/// the RMS of a trial there, exactly as EvaluateTrial gives it. @p earth must
/// hold the view (SetView). The rows are shared out over the cores; the call
/// returns when all are done. Returns an empty raster when @p cancel becomes
/// true while it runs.
MisfitRaster ComputeMisfitRaster(const Earth& earth, const Rect& client, std::span<const TrialStation> stations,
                                 const JB& p, const JB& s, int cell, const std::atomic<bool>* cancel = nullptr);

}  // namespace orvane
