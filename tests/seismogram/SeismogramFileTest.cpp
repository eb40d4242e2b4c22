#include "seismogram/SeismogramFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "support/SacBuilder.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

using test::SacBuilder;
namespace fs = std::filesystem;

TEST(SeismogramFormat, FollowsTheFileName) {
  struct Row { const char* path; SeismogramFormat format; } rows[] = {
      {"a.sac", SeismogramFormat::kSAC},      {"dir.set/a", SeismogramFormat::kSAC},
      {"a", SeismogramFormat::kSAC},          {"a.set", SeismogramFormat::kPEPP},
      {"/x/y/B.SET", SeismogramFormat::kPEPP}, {"a.psn", SeismogramFormat::kPSN},
      {"a.Psn", SeismogramFormat::kPSN},      {".psnx", SeismogramFormat::kSAC},
      {"set", SeismogramFormat::kSAC},        {"", SeismogramFormat::kSAC}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    EXPECT_EQ(SeismogramFormatForPath(r.path), r.format);
  }
}

TEST(SeismogramFormat, Names) {
  for (auto f : {SeismogramFormat::kSAC, SeismogramFormat::kPEPP, SeismogramFormat::kPSN}) {
    EXPECT_EQ(ParseSeismogramFormat(SeismogramFormatName(f)), f);
  }
  EXPECT_FALSE(ParseSeismogramFormat("SAC"));
  EXPECT_FALSE(ParseSeismogramFormat(""));
}

class SeismogramFiles : public testing::Test {
 protected:
  std::string Write(const SacBuilder& b, const std::string& name) {
    b.WriteTo(dir / name);
    return (dir / name).string();
  }
  test::ScopedTempDir dir;
};

TEST_F(SeismogramFiles, SacFileGetsItsReferenceSeconds) {
  auto b = SacBuilder(SacBuilder::kBig).Float(KSAC::DELTA, 0.02f).Int(KSAC::NZYEAR, 1601)
               .Int(KSAC::NZJDAY, 2).Int(KSAC::NZHOUR, 0).Int(KSAC::NZMIN, 0).Int(KSAC::NZSEC, 1)
               .Int(KSAC::NZMSEC, 250).Samples({1, 2});
  const std::string path = Write(b, "a.sac");
  SeismogramReadResult r = ReadSeismogramFile(path);
  ASSERT_TRUE(r.record) << r.reason;
  EXPECT_EQ(r.format, SeismogramFormat::kSAC);
  EXPECT_EQ(r.reason, "");
  EXPECT_EQ(r.record->fileName, path);
  EXPECT_EQ(r.record->referenceSeconds, 864012 * 0.1L);  // one day, one second and 2 tenths
  EXPECT_EQ(r.record->samples[1], 2.0f);
}

TEST_F(SeismogramFiles, RefusedSacFileIsTriedAsPepp) {
  const std::string path = Write(SacBuilder().Int(KSAC::NPTS, -5), "bad.sac");
  SeismogramReadResult r = ReadSeismogramFile(path);
  EXPECT_FALSE(r.record);
  EXPECT_EQ(r.reason.rfind("not a SAC file: the sample count npts = -5", 0), 0u) << r.reason;
  EXPECT_NE(r.reason.find("(at byte 316); not a PEPP file: "), std::string::npos) << r.reason;
}

TEST_F(SeismogramFiles, ForcedFormatHasNoFallback) {
  const std::string path = Write(SacBuilder().Int(KSAC::NPTS, -5), "bad.sac");
  SeismogramReadResult r = ReadSeismogramFile(path, SeismogramFormat::kSAC);
  EXPECT_FALSE(r.record);
  EXPECT_EQ(r.reason, "not a SAC file: the sample count npts = -5 is outside 0 to 1000000 "
                      "(read as little-endian) (at byte 316)");
  const std::string good = Write(SacBuilder().Float(KSAC::DELTA, 1.0f).Samples({1}), "good.sac");
  SeismogramReadResult pepp = ReadSeismogramFile(good, SeismogramFormat::kPEPP);
  EXPECT_FALSE(pepp.record);
  EXPECT_EQ(pepp.reason.rfind("not a PEPP file: ", 0), 0u) << pepp.reason;
  SeismogramReadResult psn = ReadSeismogramFile(good, SeismogramFormat::kPSN);
  EXPECT_FALSE(psn.record);
  EXPECT_EQ(psn.reason.rfind("not a PSN file: ", 0), 0u) << psn.reason;
}

TEST_F(SeismogramFiles, WritesSacForAnyNameButSet) {
  KSAC record(2, std::unique_ptr<float[]>(new float[2]{1, 2}), 10, 20, 30, 0.5f, "STA", "Z", SYSTEMTIME{});
  const std::string out = (dir / "out").string();
  EXPECT_FALSE(WriteSeismogramFile(out, record));
  SeismogramReadResult back = ReadSeismogramFile(out);
  ASSERT_TRUE(back.record) << back.reason;
  EXPECT_EQ(back.record->GetFloatHeader(KSAC::STLO), 20.0f);
  EXPECT_STREQ(back.record->GetCharHeader(KSAC::KSTNM), "STA");
}

TEST_F(SeismogramFiles, PeppNeedsAPositiveFiniteSamplingRate) {
  // A PEPP file holds 1/delta; a record without a usable interval would give a
  // file that the PEPP reader refuses, so nothing is written.
  const float bad[] = {0.0f, -0.0f, -1.0f, KSAC::UNDEFINED_FLOAT, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(), 1e-40f};
  for (float delta : bad) {
    SCOPED_TRACE(delta);
    KSAC record(2, std::unique_ptr<float[]>(new float[2]{1, 2}), 10, 20, 30, delta, "STA", "Z", SYSTEMTIME{});
    auto reason = WriteSeismogramFile((dir / "out.set").string(), record);
    ASSERT_TRUE(reason);
    EXPECT_NE(reason->find("sampling interval delta"), std::string::npos) << *reason;
    EXPECT_TRUE(fs::is_empty(dir.path()));
  }
  KSAC record(2, std::unique_ptr<float[]>(new float[2]{1, 2}), 10, 20, 30, 0.5f, "STA", "Z", SYSTEMTIME{});
  ASSERT_FALSE(WriteSeismogramFile((dir / "out.set").string(), record));
  SeismogramReadResult back = ReadSeismogramFile((dir / "out.set").string());
  ASSERT_TRUE(back.record) << back.reason;
  EXPECT_EQ(back.record->GetFloatHeader(KSAC::DELTA), 0.5f);
}

}  // namespace
}  // namespace orvane
