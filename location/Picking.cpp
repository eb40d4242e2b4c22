#include "location/Picking.h"

#include "location/RMS.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

bool DiscardTrials() {
  if (trialList.empty()) return false;
  trialList.clear();
  return true;
}

}  // namespace

bool SetStudentPick(KSAC& record, float seconds) {
  record.SetPick(0, seconds);  // zeroes t1..t9
  return DiscardTrials();
}

bool ClearStudentPick(KSAC& record) {
  record.SetPick(0, 0.0f);  // no pick; zeroes t1..t9
  return DiscardTrials();
}

bool SetStudentLeftOut(KSAC& record, bool leftOut) {
  record.leftOut = leftOut;
  return DiscardTrials();
}

}  // namespace orvane
