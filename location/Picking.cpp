#include "location/Picking.h"

#include "location/RMS.h"
#include "seismogram/KSAC.h"

namespace orvane {

bool SetStudentPick(KSAC& record, float seconds) {
  record.SetPick(0, seconds);  // zeroes t1..t9
  if (trialList.empty()) return false;
  trialList.clear();
  return true;
}

}  // namespace orvane
