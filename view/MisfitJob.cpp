#include "view/MisfitJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

#include "location/BestEpicentre.h"
#include "location/JB.h"
#include "location/PhaseTables.h"
#include "location/TrialLocation.h"
#include "map/Earth.h"
#include "seismogram/KSAC.h"

namespace orvane {

// One run on its thread; going cancels it and waits for the thread.
struct MisfitJob::Run {
  std::atomic<bool> cancel{false};
  std::thread thread;
  ~Run() {
    cancel = true;
    if (thread.joinable()) thread.join();
  }
};

MisfitJob::MisfitJob() = default;

MisfitJob::~MisfitJob() = default;

bool MisfitJob::Stop() {
  run.reset();
  ++generation;
  const bool had = raster != nullptr || hasAnswerKey;
  raster.reset();
  hasAnswerKey = false;
  complete = true;
  return had;
}

void MisfitJob::Start(std::span<KSAC* const> records, const GlobeView& view, int width, int height, float depthKm,
                      EarthModel model, bool withMap) {
  Stop();
  complete = false;
  std::vector<TrialStation> stations;
  for (KSAC* r : records) {
    TrialStation st;
    // A record that cannot take part in a trial takes no part in the map.
    if (StationOf(*r, st).ok()) stations.push_back(st);
  }
  const unsigned thisRun = generation;
  run = std::make_unique<Run>();
  std::atomic<bool>* cancel = &run->cancel;
  QPointer<MisfitJob> self(this);
  run->thread = std::thread([=] {
    const PhaseTables tables = LoadPhaseTables(depthKm, model);
    const JB& p = *tables.p;
    const JB& s = *tables.s;
    Earth earth;
    earth.SetView(view.spin, view.tilt, view.radius, width, height);
    auto post = [&](std::shared_ptr<const MisfitRaster> map, bool key, float lat, float lon, bool last) {
      QMetaObject::invokeMethod(
          self.data(),
          [self, thisRun, map, key, lat, lon, last] {
            if (!self || self->generation != thisRun) return;
            if (map) self->raster = map;
            if (key) {
              self->hasAnswerKey = true;
              self->answerLat = lat;
              self->answerLon = lon;
            }
            self->complete = last;
            emit self->changed();
          },
          Qt::QueuedConnection);
    };
    if (!withMap) {
      const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
      if (!*cancel) post(nullptr, best.ok(), best.lat, best.lon, true);
      return;
    }
    const Rect client{0, 0, width, height};
    auto coarse = std::make_shared<const MisfitRaster>(ComputeMisfitRaster(earth, client, stations, p, s, 8, cancel));
    if (*cancel) return;
    post(coarse, false, 0.0f, 0.0f, false);
    const BestEpicentreResult best = FindBestEpicentre(stations, p, s);
    if (*cancel) return;
    post(nullptr, best.ok(), best.lat, best.lon, false);
    auto fine = std::make_shared<const MisfitRaster>(ComputeMisfitRaster(earth, client, stations, p, s, 4, cancel));
    if (*cancel) return;
    post(fine, false, 0.0f, 0.0f, false);
    auto finest = std::make_shared<const MisfitRaster>(ComputeMisfitRaster(earth, client, stations, p, s, 2, cancel));
    if (*cancel) return;
    post(finest, false, 0.0f, 0.0f, true);
  });
}

bool MisfitJob::WaitUntilComplete(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!complete && timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return complete;
}

}  // namespace orvane
