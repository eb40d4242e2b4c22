#pragma once
// What the main view shows, as one value: the view of the globe, the client
// rectangle, the event's stations and the trials. The view, printing, print
// preview, `orvane-tool render`, the tests and the benchmark all paint it
// through PaintMapPicture (map/MapPainter.h).

#include <memory>
#include <span>

#include "location/EarthModel.h"
#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "platform/Rect.h"

namespace orvane {

class KSAC;
struct MisfitRaster;

struct MapPicture {
  float spin = 0.0f;     ///< longitude facing the viewer, degrees
  float tilt = 0.0f;     ///< negated latitude facing the viewer, degrees
  float radius = 200.0f; ///< globe radius in pixels
  Rect client;           ///< the area painted; the globe is centred in it

  /// The records whose stations are drawn (not owned; null entries are skipped).
  std::span<KSAC* const> records;
  /// The trial dots, oldest first (not owned); usually trialList.
  std::span<const RMS> trials;

  /// Whether a trial is shown: its star, reach lines and description. Any
  /// position may hold a trial, the equator included.
  bool hasTrial = false;
  TrialState trial;       ///< the last trial: epicentre, origin time, RMS
  float depth = 0.0f;     ///< the trial's depth in km, for its description
  int maximumRms = 10;    ///< whole seconds at the top of the RMS colour scale
  /// The model whose tables made the trial; its description names it when
  /// it is not the default.
  EarthModel model = kDefaultEarthModel;

  /// The misfit map shaded under the map lines, or none. It must have been
  /// computed for this view and client area.
  std::shared_ptr<const MisfitRaster> misfit;
  /// The answer key, the epicentre of smallest RMS, marked when there is one.
  bool hasAnswerKey = false;
  float answerLat = 0.0f;
  float answerLon = 0.0f;

  /// @brief The view given by the latitude and longitude at its centre.
  void CentreOn(float lat, float lon) {
    spin = lon;
    tilt = -lat;
  }
};

}  // namespace orvane
