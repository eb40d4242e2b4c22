#include "display/TrialRepaint.h"

#include <QObject>

#include "display/Event.h"
#include "display/Seismograms.h"

namespace orvane {

void RepaintSeismogramWindows(QObject& view) {
  for (Event* window : view.findChildren<Event*>()) window->TrialLocated();
  for (Seismograms* window : view.findChildren<Seismograms*>()) window->TrialLocated();
}

}  // namespace orvane
