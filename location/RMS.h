#pragma once
// The trials of the open event and the colour scale of their RMS.

#include <vector>

namespace orvane {

/// One trial location: its epicentre and its RMS misfit.
struct RMS {
  float lat = 0.0f;  // degrees, north positive
  float lon = 0.0f;  // degrees, east positive
  float rms = 0.0f;  // seconds
};

/// Every trial of the open event, in the order made. Emptied when an event is
/// closed or opened, on a new pick and on a new depth; read by the map painter.
extern std::vector<RMS> trialList;

/// Whole seconds at the top of the RMS colour scale (default 10); the trial
/// arithmetic does not use it.
extern int maximumRms;

}  // namespace orvane
