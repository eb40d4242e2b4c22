#include "seismogram/RecordReadouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvane {
namespace {

TEST(RecordReadouts, DeltaTNeedsBothThePickAndThePrediction) {
  KSAC r;
  EXPECT_FALSE(HasPick(r));  // t0 UNDEFINED
  EXPECT_FALSE(DeltaT(r));
  r.SetPick(0, 12.3f);
  EXPECT_TRUE(HasPick(r));
  EXPECT_FALSE(DeltaT(r));  // no trial yet: t1 is 0.0
  r.SetPick(1, 13.0f);
  ASSERT_TRUE(DeltaT(r));
  EXPECT_FLOAT_EQ(*DeltaT(r), 13.0f - 12.3f);
  r.SetPick(0, 0.0f);  // a pick of 0.0 holds no value, and clears t1
  EXPECT_FALSE(HasPick(r));
  EXPECT_FALSE(DeltaT(r));
}

TEST(RecordReadouts, TrialDistanceHidesZeroAndUndefined) {
  KSAC r;
  EXPECT_FALSE(TrialDistance(r));
  r.SetFloatHeader(KSAC::GCARC, 0.0f);
  EXPECT_FALSE(TrialDistance(r));
  r.SetFloatHeader(KSAC::GCARC, 42.5f);
  EXPECT_EQ(TrialDistance(r), 42.5f);
}

TEST(RecordReadouts, FirstSampleSecondsIsBOrZero) {
  KSAC r;
  EXPECT_EQ(FirstSampleSeconds(r), 0.0f);  // UNDEFINED
  r.SetFloatHeader(KSAC::B, 600.25f);
  EXPECT_EQ(FirstSampleSeconds(r), 600.25f);
  r.SetFloatHeader(KSAC::B, -30.0f);
  EXPECT_EQ(FirstSampleSeconds(r), -30.0f);
  r.SetFloatHeader(KSAC::B, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(FirstSampleSeconds(r), 0.0f);
  r.SetFloatHeader(KSAC::B, std::numeric_limits<float>::infinity());
  EXPECT_EQ(FirstSampleSeconds(r), 0.0f);
}

TEST(RecordReadouts, TextFieldsAsStrings) {
  KSAC r;
  r.SetCharHeader(KSAC::KSTNM, "ANMO    ");
  r.SetCharHeader(KSAC::KCMPNM, "BHZ");
  r.SetCharHeader(KSAC::KEVNM, "ABCDEFGHIJKLMNOPQRS");  // 16 bytes kept, no terminator in the header
  EXPECT_EQ(r.GetCharHeaderText(KSAC::KSTNM), "ANMO    ");
  EXPECT_EQ(r.GetCharHeaderText(KSAC::KEVNM), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(r.GetCharHeaderText(-1), "");
  EXPECT_EQ(r.GetCharHeaderText(KSAC::kCharCount), "");
  EXPECT_EQ(TrimmedHeaderText(r, KSAC::KSTNM), "ANMO");
  EXPECT_EQ(StationLabel(r), "ANMO      BHZ");
  r.SetCharHeader(KSAC::KSTNM, "-12345");
  EXPECT_EQ(StationLabel(r), "Component: BHZ");
  // The shared buffer of GetCharHeader does not change a string already taken.
  const std::string kept = r.GetCharHeaderText(KSAC::KCMPNM);
  (void)r.GetCharHeader(KSAC::KEVNM);
  EXPECT_EQ(kept, "BHZ");
}

}  // namespace
}  // namespace orvane
