#include "location/RMS.h"

namespace orvane {

std::vector<RMS> trialList;
int maximumRms = 10;

}  // namespace orvane
