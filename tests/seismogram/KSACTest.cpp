#include "seismogram/KSAC.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "support/SystemTime.h"

namespace orvane {
namespace {

using test::Time;

// A record as Init leaves it, without reading a file.
class FreshRecord : public testing::Test {
 protected:
  FreshRecord() : record(0, nullptr, 0, 0, 0, 0, "", "", SYSTEMTIME{}) { record.Init(nullptr, false); }
  KSAC record;
};

std::unique_ptr<float[]> Values(std::initializer_list<float> v) {
  std::unique_ptr<float[]> out(new float[v.size()]);
  std::copy(v.begin(), v.end(), out.get());
  return out;
}

TEST_F(FreshRecord, Defaults) {
  EXPECT_EQ(record.fileName, "untitled");
  EXPECT_EQ(record.samples, nullptr);
  EXPECT_EQ(record.ownsLoadedSamples, 0);
  const std::pair<int, std::int32_t> defaults[] = {{KSAC::NPTS, 0},  {KSAC::NVHDR, 6}, {KSAC::IFTYPE, 1},
                                                   {KSAC::IDEP, 7},  {KSAC::IZTYPE, 10}, {KSAC::IEVTYP, 5},
                                                   {KSAC::IQUAL, 45}, {KSAC::LEVEN, 1}, {KSAC::LPSPOL, 0},
                                                   {KSAC::LOVROK, 1}};
  for (int i = 0; i < KSAC::kIntCount; ++i) {
    SCOPED_TRACE(i);
    std::int32_t expected = KSAC::UNDEFINED_INT;
    for (auto [index, value] : defaults)
      if (index == i) expected = value;
    EXPECT_EQ(record.GetIntHeader(i), expected);
  }
  for (int i = 0; i < KSAC::kFloatCount; ++i) EXPECT_EQ(record.GetFloatHeader(i), -12345.0f) << i;
  for (int i = 0; i < KSAC::kCharCount; ++i) EXPECT_STREQ(record.GetCharHeader(i), "-12345") << i;
  // The text fields are NUL-padded to their width: kevnm is 16 bytes.
  const unsigned char* kevnm = record.header.get() + 448;
  EXPECT_EQ(std::memcmp(kevnm, "-12345\0\0\0\0\0\0\0\0\0\0", 16), 0);
}

TEST_F(FreshRecord, HeaderLayoutMatchesTheFile) {
  record.SetFloatHeader(KSAC::DELTA, 0.25f);
  record.SetIntHeader(KSAC::NPTS, 77);
  record.SetCharHeader(KSAC::KCMPNM, "BHZ");
  float delta;
  std::int32_t npts;
  std::memcpy(&delta, record.header.get() + 0, 4);
  std::memcpy(&npts, record.header.get() + 316, 4);
  EXPECT_EQ(delta, 0.25f);
  EXPECT_EQ(npts, 77);
  EXPECT_EQ(std::memcmp(record.header.get() + 600, "BHZ\0\0\0\0\0", 8), 0);
  record.SetCharHeader(22, "INSTRUMT");
  EXPECT_EQ(std::memcmp(record.header.get() + 624, "INSTRUMT", 8), 0);
}

TEST_F(FreshRecord, IndexesOutsideTheTablesReadZeroAndWriteNothing) {
  std::vector<unsigned char> before(record.header.get(), record.header.get() + KSAC::kHeaderBytes);
  EXPECT_EQ(record.GetFloatHeader(70), 0.0f);
  EXPECT_EQ(record.GetFloatHeader(-1), 0.0f);
  EXPECT_EQ(record.GetIntHeader(40), 0);
  EXPECT_EQ(record.GetIntHeader(-1), 0);
  EXPECT_STREQ(record.GetCharHeader(23), "");
  EXPECT_STREQ(record.GetCharHeader(-1), "");
  record.SetFloatHeader(70, 1.0f);
  record.SetFloatHeader(-1, 1.0f);
  record.SetIntHeader(40, 1);
  record.SetIntHeader(-1, 1);
  record.SetCharHeader(23, "XXXXXXXX");
  record.SetCharHeader(-1, "XXXXXXXX");
  EXPECT_EQ(std::vector<unsigned char>(record.header.get(), record.header.get() + KSAC::kHeaderBytes), before);
}

TEST_F(FreshRecord, TextFieldsHaveFixedWidths) {
  record.SetCharHeader(KSAC::KSTNM, "ABCDEFGHIJ");
  EXPECT_STREQ(record.GetCharHeader(KSAC::KSTNM), "ABCDEFGH");
  // The field is full, so no terminator separates it from kevnm.
  EXPECT_EQ(record.header[440 + 7], 'H');
  EXPECT_STREQ(record.GetCharHeader(KSAC::KEVNM), "-12345");
  record.SetCharHeader(KSAC::KEVNM, "0123456789abcdefXYZ");
  EXPECT_STREQ(record.GetCharHeader(KSAC::KEVNM), "0123456789abcdef");
  record.SetCharHeader(KSAC::KSTNM, "AB");
  EXPECT_STREQ(record.GetCharHeader(KSAC::KSTNM), "AB");
  EXPECT_EQ(std::memcmp(record.header.get() + 440, "AB\0\0\0\0\0\0", 8), 0);
  record.SetCharHeader(KSAC::KSTNM, nullptr);
  EXPECT_STREQ(record.GetCharHeader(KSAC::KSTNM), "");
}

TEST_F(FreshRecord, CharHeaderSharesOneBuffer) {
  record.SetCharHeader(KSAC::KSTNM, "ONE");
  record.SetCharHeader(KSAC::KCMPNM, "TWO");
  const char* first = record.GetCharHeader(KSAC::KSTNM);
  const char* second = record.GetCharHeader(KSAC::KCMPNM);
  EXPECT_EQ(first, second);
  EXPECT_STREQ(first, "TWO");
  // A longer text earlier leaves nothing behind in the buffer.
  record.SetCharHeader(KSAC::KEVNM, "0123456789abcdef");
  record.GetCharHeader(KSAC::KEVNM);
  EXPECT_STREQ(record.GetCharHeader(KSAC::KSTNM), "ONE");
}

TEST_F(FreshRecord, PickSlots) {
  EXPECT_EQ(record.GetPick(0), 0.0f);
  record.SetPick(1, 12.5f);
  EXPECT_EQ(record.GetPick(1), 12.5f);
  EXPECT_EQ(record.GetPick(2), 0.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::T9), 0.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::T0), -12345.0f);  // earlier slots are left alone
  record.SetPick(0, 3.0f);
  EXPECT_EQ(record.GetPick(0), 3.0f);
  EXPECT_EQ(record.GetPick(1), 0.0f);
  record.SetPick(2, 4.0f);
  record.SetPick(1, 5.0f);
  EXPECT_EQ(record.GetPick(2), 0.0f);
  EXPECT_EQ(record.GetPick(0), 3.0f);
  record.SetPick(9, 1.0f);
  EXPECT_EQ(record.GetPick(9), 1.0f);
  // Slots outside 0-9 are not picks.
  record.SetPick(10, 7.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::F), -12345.0f);
  EXPECT_EQ(record.GetPick(10), 0.0f);
  EXPECT_EQ(record.GetPick(-1), 0.0f);
  record.ClearPicks();
  for (int n = 0; n < 10; ++n) EXPECT_EQ(record.GetFloatHeader(KSAC::T0 + n), 0.0f);
}

TEST(KSACMinMaxMean, Table) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    const char* name;
    std::vector<float> samples;
    float min, max, mean;
  } rows[] = {
      {"three", {1, -2, 3}, -2, 3, 0.6666667f},
      {"one", {5}, 5, 5, 5},
      // The sum is rounded to single precision at every step: 1e8 + 1 + 1 stays 1e8.
      {"single precision sum", {1e8f, 1, 1, -1e8f}, -1e8f, 1e8f, 0},
      // A sample that is not a number is a gap: left out of all three.
      {"nan in the middle", {1, nan, 3}, 1, 3, 2},
      {"nan last", {1, -5, nan}, -5, 1, -2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    std::unique_ptr<float[]> copy(new float[r.samples.size()]);
    std::copy(r.samples.begin(), r.samples.end(), copy.get());
    KSAC record(static_cast<std::int32_t>(r.samples.size()), std::move(copy), 0, 0, 0, 1, "", "",
                Time(2000, 1, 1));
    auto same = [](float a, float b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
    EXPECT_PRED2(same, record.GetFloatHeader(KSAC::DEPMIN), r.min);
    EXPECT_PRED2(same, record.GetFloatHeader(KSAC::DEPMAX), r.max);
    EXPECT_PRED2(same, record.GetFloatHeader(KSAC::DEPMEN), r.mean);
  }
}

TEST_F(FreshRecord, NoSamplesGiveTheStartValues) {
  record.ComputeMinMaxMean();
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMIN), 1.0e20f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMAX), -1.0e20f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMEN), 0.0f);
  // npts without an array counts as no samples rather than a read of nothing.
  record.SetIntHeader(KSAC::NPTS, 10);
  record.ComputeMinMaxMean();
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMEN), 0.0f);
}

TEST(KSACValues, ConstructorFillsTheHeader) {
  KSAC record(3, Values({1, -2, 3}), 45.5f, -120.25f, 350.0f, 0.05f, "STATIONNAME16BYT", "BHZLONGER",
              Time(2004, 12, 26, 0, 58, 53, 450));
  EXPECT_EQ(record.origin, 0);
  EXPECT_EQ(record.fileName, "untitled");
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 3);
  EXPECT_EQ(record.samples[2], 3.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMIN), -2.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::STLA), 45.5f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::STLO), -120.25f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::STEL), 350.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DELTA), 0.05f);
  EXPECT_STREQ(record.GetCharHeader(KSAC::KSTNM), "STATIONN");
  EXPECT_STREQ(record.GetCharHeader(KSAC::KEVNM), "-12345");  // the long name does not spill over
  EXPECT_STREQ(record.GetCharHeader(KSAC::KCMPNM), "BHZLONGE");
  EXPECT_EQ(record.GetFloatHeader(KSAC::O), 0.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::B), 0.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::E), 2 * 0.05f);
  EXPECT_EQ(record.GetIntHeader(KSAC::NZYEAR), 2004);
  EXPECT_EQ(record.GetIntHeader(KSAC::NZJDAY), 361);
  EXPECT_EQ(record.GetIntHeader(KSAC::NZHOUR), 0);
  EXPECT_EQ(record.GetIntHeader(KSAC::NZMIN), 58);
  EXPECT_EQ(record.GetIntHeader(KSAC::NZSEC), 53);
  EXPECT_EQ(record.GetIntHeader(KSAC::NZMSEC), 450);
  EXPECT_EQ(record.GetIntHeader(KSAC::NVHDR), 6);
}

TEST_F(FreshRecord, SetDataCopiesAndSetsTheCount) {
  float values[] = {4, 5, 6, 7};
  record.SetData(values, 4);
  values[0] = 99;
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 4);
  EXPECT_EQ(record.samples[0], 4.0f);
  EXPECT_EQ(record.samples[3], 7.0f);
  record.SetData(values, -3);
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 0);
}

TEST_F(FreshRecord, InitResetsEverything) {
  float values[] = {1, 2};
  record.SetData(values, 2);
  record.SetPick(0, 3.0f);
  record.SetCharHeader(KSAC::KSTNM, "X");
  record.Init(nullptr, true);
  EXPECT_EQ(record.samples, nullptr);
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 0);
  EXPECT_EQ(record.GetFloatHeader(KSAC::T0), -12345.0f);
  EXPECT_STREQ(record.GetCharHeader(KSAC::KSTNM), "-12345");
}

// Reference and pick times.
class Times : public FreshRecord {
 protected:
  void SetUp() override { record.SetReferenceTime(Time(2000, 3, 1, 10, 20, 30, 0)); }
  FileTime Reference() {
    FileTime ticks = -1;
    EXPECT_TRUE(record.GetReferenceFileTime(ticks));
    return ticks;
  }
};

TEST_F(Times, ReferenceSystemTimeComesFromTheHeader) {
  EXPECT_EQ(record.GetIntHeader(KSAC::NZJDAY), 61);
  SYSTEMTIME t = record.GetReferenceSystemTime();
  EXPECT_EQ(t.wYear, 2000);
  EXPECT_EQ(t.wMonth, 3);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wHour, 10);
  EXPECT_EQ(t.wMinute, 20);
  EXPECT_EQ(t.wSecond, 30);
  EXPECT_EQ(t.wMilliseconds, 0);
  FileTime expected;
  ASSERT_TRUE(SystemTimeToFileTime(Time(2000, 3, 1, 10, 20, 30), expected));
  EXPECT_EQ(Reference(), expected);
}

TEST_F(Times, ReferenceSecondsDropSubTenths) {
  record.SetIntHeader(KSAC::NZMSEC, 950);
  record.ComputeReferenceSeconds();
  const FileTime tenths = (Reference()) / 1'000'000;
  EXPECT_EQ(record.referenceSeconds, static_cast<long double>(tenths) * 0.1L);
  const long double whole = std::floor(record.referenceSeconds);
  EXPECT_NEAR(static_cast<double>(record.referenceSeconds - whole), 0.9, 1e-6);
}

TEST_F(Times, PickTimesRoundToTenths) {
  struct Row { float pick; std::int64_t tenths; int msec; } rows[] = {
      {0.04f, 0, 0}, {0.05f, 1, 0}, {1.25f, 13, 0}, {-0.3f, -2, 0}, {-0.04f, 0, 0},
      {0.0f, 0, 0},  {0.05f, 1, 950}, {12.34f, 123, 950}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.pick << " ms " << r.msec);
    record.SetIntHeader(KSAC::NZMSEC, r.msec);
    record.SetPick(0, r.pick);
    EXPECT_EQ(record.GetPickFileTime(0), Reference() + r.tenths * 1'000'000);
  }
}

TEST_F(Times, PickSystemTime) {
  record.SetPick(0, 0.04f);
  SYSTEMTIME t = record.GetPickSystemTime(0);
  EXPECT_EQ(t.wSecond, 30);
  EXPECT_EQ(t.wMilliseconds, 0);
  record.SetPick(0, 0.05f);
  t = record.GetPickSystemTime(0);
  EXPECT_EQ(t.wSecond, 30);
  EXPECT_EQ(t.wMilliseconds, 100);
  // The reference keeps its milliseconds; only the pick is rounded.
  record.SetIntHeader(KSAC::NZMSEC, 950);
  t = record.GetPickSystemTime(0);
  EXPECT_EQ(t.wSecond, 31);
  EXPECT_EQ(t.wMilliseconds, 50);
  // A pick crossing midnight and a month end.
  record.SetReferenceTime(Time(1999, 2, 28, 23, 59, 59, 900));
  record.SetPick(0, 0.2f);
  t = record.GetPickSystemTime(0);
  EXPECT_EQ(t.wYear, 1999);
  EXPECT_EQ(t.wMonth, 3);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wHour, 0);
  EXPECT_EQ(t.wSecond, 0);
  EXPECT_EQ(t.wMilliseconds, 100);
}

TEST_F(Times, PickSecondsAreNotRounded) {
  record.SetIntHeader(KSAC::NZMSEC, 950);
  record.SetPick(1, 0.04f);
  const double tenths = static_cast<double>(Reference() / 1'000'000);
  EXPECT_EQ(record.GetPickSeconds(1), tenths * 0.1 + static_cast<double>(0.04f));
}

TEST_F(FreshRecord, UndefinedReferenceTimeHasNoInstants) {
  // Fresh records carry UNDEFINED reference fields.
  FileTime ticks = 5;
  EXPECT_FALSE(record.GetReferenceFileTime(ticks));
  EXPECT_EQ(ticks, 0);
  record.referenceSeconds = 7;
  record.ComputeReferenceSeconds();
  EXPECT_EQ(record.referenceSeconds, 0.0L);
  record.SetPick(0, 5.0f);
  EXPECT_EQ(record.GetPickFileTime(0), 0);
  EXPECT_EQ(record.GetPickSeconds(0), 0.0);
  SYSTEMTIME t = record.GetPickSystemTime(0);
  EXPECT_EQ(t.wYear, 0);
  EXPECT_EQ(t.wMonth, 0);
}

TEST_F(FreshRecord, InvalidReferenceFieldsAreRefused) {
  struct Row { const char* name; int year, jday, hour, min, sec, msec; } rows[] = {
      {"day 366 of a common year (month 13)", 1999, 366, 0, 0, 0, 0},
      {"day 0", 1999, 0, 0, 0, 0, 0},
      {"hour 24", 1999, 1, 24, 0, 0, 0},
      {"second 60", 1999, 1, 0, 0, 60, 0},
      {"msec 1000", 1999, 1, 0, 0, 0, 1000},
      {"negative msec", 1999, 1, 0, 0, 0, -1},
      {"hour 65536 + 3 (valid in 16 bits)", 1999, 1, 65539, 0, 0, 0},
      {"year 1600", 1600, 1, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const int values[] = {r.year, r.jday, r.hour, r.min, r.sec, r.msec};
    for (int i = 0; i < 6; ++i) record.SetIntHeader(KSAC::NZYEAR + i, values[i]);
    FileTime ticks;
    EXPECT_FALSE(record.GetReferenceFileTime(ticks));
  }
  record.SetIntHeader(KSAC::NZHOUR, 3);
  record.SetIntHeader(KSAC::NZYEAR, 1999);
  FileTime ticks;
  EXPECT_TRUE(record.GetReferenceFileTime(ticks));
}

TEST_F(Times, AbsurdPicksHaveNoInstant) {
  const float bad[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN(), 3e30f, -3e30f};
  for (float pick : bad) {
    SCOPED_TRACE(pick);
    record.SetPick(0, pick);
    EXPECT_EQ(record.GetPickFileTime(0), 0);
    EXPECT_EQ(record.GetPickSystemTime(0).wYear, 0);
  }
  // A pick within the offset limit whose instant would still pass the end of
  // the 64-bit tick range (about the year 30828) has no instant, whether the
  // reference is early or late.
  record.SetPick(0, 9.1e11f);
  EXPECT_EQ(record.GetPickFileTime(0), 0);
  EXPECT_EQ(record.GetPickSystemTime(0).wYear, 0);
  record.SetReferenceTime(Time(30000, 1, 1));
  record.SetPick(0, 1e11f);
  EXPECT_EQ(record.GetPickFileTime(0), 0);
  EXPECT_EQ(record.GetPickSystemTime(0).wYear, 0);
  // Far, but inside the range: an instant some 25,000 years on.
  record.SetReferenceTime(Time(2000, 3, 1));
  record.SetPick(0, 8e11f);
  EXPECT_GT(record.GetPickFileTime(0), Reference());
  EXPECT_GT(record.GetPickSystemTime(0).wYear, 27000);
  // A pick before 1601 has no calendar time either.
  record.SetReferenceTime(Time(1601, 1, 1, 0, 0, 1));
  record.SetPick(0, -5.0f);
  EXPECT_EQ(record.GetPickSystemTime(0).wYear, 0);
}

}  // namespace
}  // namespace orvane
