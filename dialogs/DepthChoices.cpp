#include "dialogs/DepthChoices.h"

namespace orvane {

int DepthChoiceIndexFor(int depthKm) {
  for (int i = 0; i < kDepthChoiceCount; ++i)
    if (depthChoices[i].depthKm >= depthKm) return i;
  return -1;
}

int DepthButtonIdFor(int depthKm) {
  const int index = DepthChoiceIndexFor(depthKm);
  return index < 0 ? kYoursId : depthChoices[index].id;
}

}  // namespace orvane
