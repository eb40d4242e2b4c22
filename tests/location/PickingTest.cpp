#include "location/Picking.h"

#include <gtest/gtest.h>

#include "location/RMS.h"
#include "seismogram/KSAC.h"
#include "support/TrialStateGuard.h"

namespace orvane {
namespace {

TEST(StudentPick, StoresT0ClearsPredictionsAndDiscardsTrialsOnce) {
  test::TrialStateGuard trials;
  KSAC r;
  r.SetPick(0, 10.0f);
  r.SetPick(1, 11.0f);
  r.SetPick(2, 19.0f);
  r.SetFloatHeader(KSAC::GCARC, 30.0f);
  trialList.push_back({10.0f, 20.0f, 1.5f});
  trialList.push_back({11.0f, 21.0f, 0.5f});

  EXPECT_TRUE(SetStudentPick(r, 12.5f));  // trials were there: the globe must be repainted
  EXPECT_TRUE(trialList.empty());
  EXPECT_EQ(r.GetPick(0), 12.5f);
  for (int n = 1; n < 10; ++n) EXPECT_EQ(r.GetPick(n), 0.0f) << "t" << n;
  EXPECT_EQ(r.GetFloatHeader(KSAC::GCARC), 30.0f);  // the distance stays until the next trial

  EXPECT_FALSE(SetStudentPick(r, 13.0f));  // nothing left to discard
  EXPECT_EQ(r.GetPick(0), 13.0f);
}

}  // namespace
}  // namespace orvane
