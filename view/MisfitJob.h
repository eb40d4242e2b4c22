#pragma once
// MisfitJob: the misfit map of the main view, computed on a thread of its
// own: the coarse map first, then the answer key (the best epicentre), then
// finer maps (or the answer key alone), each handed over on the main thread as it is done. Starting
// again (any change of view, picks or depth) or stopping cancels the run and
// drops what it gave; what a cancelled run still posts is ignored.

#include <QObject>

#include <memory>
#include <span>

#include "location/EarthModel.h"
#include "map/MisfitMap.h"
#include "view/ViewGeometry.h"

namespace orvane {

class KSAC;

class MisfitJob : public QObject {
  Q_OBJECT

 public:
  MisfitJob();
  /// Cancels the run and waits for its thread.
  ~MisfitJob() override;

  /// @brief Starts the map of @p view on a client area of @p width × @p height
  /// for a source at @p depthKm with the tables of @p model, from the
  /// stations of @p records (a record that cannot take part in a trial takes
  /// no part in the map). Without @p withMap only the answer key is found.
  void Start(std::span<KSAC* const> records, const GlobeView& view, int width, int height, float depthKm,
             EarthModel model = kDefaultEarthModel, bool withMap = true);
  /// @brief Cancels the run and drops the map and the answer key.
  /// @return Whether a map or an answer key was shown (the picture changes).
  bool Stop();

  /// The map shown now (none while the first is computed, or when stopped).
  std::shared_ptr<const MisfitRaster> Raster() const { return raster; }
  bool HasAnswerKey() const { return hasAnswerKey; }
  float AnswerLat() const { return answerLat; }
  float AnswerLon() const { return answerLon; }
  /// Whether the finest map is shown, or the last Stop() left nothing to compute.
  bool Complete() const { return complete; }
  /// @brief Waits (running the event loop) until Complete(), at most @p milliseconds.
  bool WaitUntilComplete(int milliseconds);

 signals:
  /// A map or the answer key arrived: the view repaints.
  void changed();

 private:
  struct Run;

  std::unique_ptr<Run> run;
  unsigned generation = 0;
  std::shared_ptr<const MisfitRaster> raster;
  bool complete = false;
  bool hasAnswerKey = false;
  float answerLat = 0.0f;
  float answerLon = 0.0f;
};

}  // namespace orvane
