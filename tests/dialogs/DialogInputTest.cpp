// What the dialogs make of their input: the button for a depth, the numbers
// read from an edit box, the rounding of the maximum RMS.

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#include "dialogs/DepthChoices.h"
#include "dialogs/EditText.h"

namespace orvane {
namespace {

TEST(DepthChoices, ElevenStandardDepthsWithConsecutiveIdsAndTheirCaptions) {
  ASSERT_EQ(kDepthChoiceCount, 11);
  const int depths[] = {0, 10, 20, 33, 50, 100, 200, 300, 400, 500, 600};
  for (int i = 0; i < kDepthChoiceCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(depthChoices[i].id, 101 + i);
    EXPECT_EQ(depthChoices[i].depthKm, depths[i]);
    EXPECT_EQ(std::string(depthChoices[i].caption), std::to_string(depths[i]) + " km");
  }
}

TEST(DepthChoices, ButtonForADepthIsTheFirstStandardDepthAtLeastAsDeep) {
  struct Row {
    const char* name;
    int depthKm;
    int id;
  } rows[] = {
      {"33 checks 33 km", 33, 104},
      {"15 checks 20 km", 15, 103},
      {"650 checks Yours", 650, kYoursId},
      {"-5 checks 0 km", -5, 101},
      {"0 checks 0 km", 0, 101},
      {"1 checks 10 km", 1, 102},
      {"34 checks 50 km", 34, 105},
      {"600 checks 600 km", 600, 111},
      {"601 checks Yours", 601, kYoursId},
      {"the shallowest int checks 0 km", INT_MIN, 101},
      {"the deepest int checks Yours", INT_MAX, kYoursId},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DepthButtonIdFor(row.depthKm), row.id);
    const int index = DepthChoiceIndexFor(row.depthKm);
    EXPECT_EQ(index < 0 ? kYoursId : depthChoices[index].id, row.id);
  }
}

TEST(EditText, IntegerIsReadLikeADecimalNumberAtTheStart) {
  struct Row {
    const char* name;
    std::string text;
    int value;
  } rows[] = {
      {"a fraction is cut", "12.7", 12},
      {"letters only", "abc", 0},
      {"empty", "", 0},
      {"blanks and a sign, then other text", "  -15x", -15},
      {"plus sign", "+7", 7},
      {"tab before", "\t42", 42},
      {"leading zeros", "007", 7},
      {"sign alone", "-", 0},
      {"blank after the sign", "- 5", 0},
      {"two signs", "+-5", 0},
      {"exponent is not read", "1e3", 1},
      {"digits after a blank are not read", "12 34", 12},
      {"largest int", "2147483647", INT_MAX},
      {"smallest int", "-2147483648", INT_MIN},
      {"just beyond is held at the limit", "2147483648", INT_MAX},
      {"far beyond below", "-99999999999", INT_MIN},
      {"only 14 characters are read", "12345678901234567", INT_MAX},
      {"a digit as the 14th character counts", std::string(13, ' ') + "7", 7},
      {"a digit as the 15th character does not", std::string(14, ' ') + "7", 0},
      {"digits beyond 14 are not read", "00000000000012" "3", 12},
      {"full-width digits are not digits", "\xef\xbc\x91", 0},
      {"a non-ASCII letter ends the number", "5\xc3\xa9" "5", 5},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ParseEditInteger(row.text), row.value);
  }
}

TEST(EditText, FloatIsTheLongestLeadingDecimalNumber) {
  struct Row {
    const char* name;
    std::string text;
    float value;
  } rows[] = {
      {"a depth with decimals", "7.25", 7.25f},
      {"one decimal", "10.5", 10.5f},
      {"negative passes", "-1", -1.0f},
      {"point first", ".5", 0.5f},
      {"negative point first", "-.5", -0.5f},
      {"point last", "5.", 5.0f},
      {"a point alone is no number", ".", 0.0f},
      {"exponent without mantissa", "e5", 0.0f},
      {"exponent and unit", "1e2km", 100.0f},
      {"exponent without digits is not read", "1e", 1.0f},
      {"exponent sign without digits is not read", "1e+", 1.0f},
      {"negative exponent", "1.5E-1", 0.15f},
      {"letters", "abc", 0.0f},
      {"infinity is not a number here", "inf", 0.0f},
      {"nan is not a number here", "nan", 0.0f},
      {"hexadecimal is read as its 0", "0x10", 0.0f},
      {"blanks and plus", "  +3", 3.0f},
      {"comma ends the number", "3,5", 3.0f},
      {"too large is held at the largest float", "1e39", FLT_MAX},
      {"too large negative", "-1e39", -FLT_MAX},
      {"a huge exponent", "9e99999999999", FLT_MAX},
      {"too small is zero", "1e-50", 0.0f},
      {"only 14 characters are read", std::string(13, ' ') + "7.5", 7.0f},
      {"a long number is cut at 14 characters", "12345678901234.5", 12345678901234.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const float value = ParseEditFloat(row.text);
    EXPECT_TRUE(std::isfinite(value));
    EXPECT_FLOAT_EQ(value, row.value);
  }
}

TEST(EditText, MaximumRmsIsRoundedTowardsZeroToAMultipleOfTen) {
  struct Row {
    const char* name;
    int entered, kept;
  } rows[] = {
      {"25 keeps 20", 25, 20},       {"9 keeps 0", 9, 0},
      {"100 stays", 100, 100},       {"-15 keeps -10", -15, -10},
      {"-9 keeps 0", -9, 0},         {"0 stays", 0, 0},
      {"largest int", INT_MAX, 2147483640}, {"smallest int", INT_MIN, -2147483640},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(RoundMaximumRms(row.entered), row.kept);
  }
}

}  // namespace
}  // namespace orvane
