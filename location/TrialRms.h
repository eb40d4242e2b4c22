#pragma once
// TrialRms: the RMS of trials at many positions for one set of stations and
// one pair of tables, as EvaluateTrial gives it (the same float, bit for
// bit), for the misfit map. What depends only on the stations is worked out
// once: which stations take part, their pick and reference ticks, and the
// sine and cosine of their colatitudes; a trial then costs one cosine and one
// arc cosine per station and allocates nothing. At() may be called from
// several threads at once.

#include <span>
#include <vector>

#include "location/GreatCircle.h"
#include "location/JB.h"
#include "location/TrialLocation.h"

namespace orvane {

class TrialRms {
 public:
  /// @brief For @p stations with the tables @p p and @p s (kept by reference:
  /// they must outlive this object).
  TrialRms(std::span<const TrialStation> stations, const JB& p, const JB& s);

  /// @brief Whether any trial can be made: both tables usable and a picked
  /// station that takes part.
  bool CanLocate() const { return canLocate_; }

  /// @brief The RMS of a trial at (@p lat, @p lon): EvaluateTrial(stations,
  /// lat, lon, p, s, {}).rms where that trial is made, NaN where it is refused.
  float At(float lat, float lon) const;

 private:
  struct Station {
    GreatCircleEnd end;
    float stlo = 0.0f;
    float pick = 0.0f;
    FileTime pickTicks = 0;
    FileTime referenceTicks = 0;
  };
  std::vector<Station> stations_;  // those that enter origin time and RMS, in order
  const JB& p_;
  bool canLocate_ = false;
};

}  // namespace orvane
