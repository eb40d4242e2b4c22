#pragma once
// The program-wide trial list and maximum RMS, reset for a test:
//
//   TrialStateGuard trials;  // trialList empty, maximumRms 10, and again when it goes

#include "location/RMS.h"

namespace orvane::test {

class TrialStateGuard {
 public:
  TrialStateGuard() { Reset(); }
  ~TrialStateGuard() { Reset(); }
  TrialStateGuard(const TrialStateGuard&) = delete;
  TrialStateGuard& operator=(const TrialStateGuard&) = delete;

 private:
  static void Reset() {
    trialList.clear();
    maximumRms = 10;
  }
};

}  // namespace orvane::test
