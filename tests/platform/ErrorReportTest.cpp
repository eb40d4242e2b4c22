#include "platform/ErrorReport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const std::string kTop = std::string(35, '-') + " MESSAGE " + std::string(35, '-') + "\n";
const std::string kBottom = std::string(79, '-') + "\n";

std::string WriteCatalogue(const std::string& name, const std::string& text) {
  static const orvane::test::ScopedTempDir dir;
  fs::path p = dir / (name + ".doc");
  std::ofstream(p, std::ios::binary) << text;
  return p.string();
}

std::string Report(std::int16_t code, const std::string& module, const std::string& path) {
  std::ostringstream out;
  orvane::WriteErrorReport(out, code, module, path);
  return out.str();
}

TEST(CatalogueLine, CodeAndTextWithLeadingBlanksKept) {
  auto e = orvane::ParseCatalogueLine("  2001 Cannot write\r");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->code, 2001);
  EXPECT_EQ(e->text, " Cannot write");
}

TEST(CatalogueLine, NegativeCodesAndSixteenBitWrap) {
  EXPECT_EQ(orvane::ParseCatalogueLine("-1 catch")->code, -1);
  EXPECT_EQ(orvane::ParseCatalogueLine("65537 wraps")->code, 1);
  EXPECT_EQ(orvane::ParseCatalogueLine("99999999999999999999999 huge")->code, -1);
}

TEST(CatalogueLine, LinesWithoutNumbersAreNotEntries) {
  EXPECT_FALSE(orvane::ParseCatalogueLine(""));
  EXPECT_FALSE(orvane::ParseCatalogueLine("text"));
  EXPECT_FALSE(orvane::ParseCatalogueLine("  - 3"));
}

TEST(CatalogueLine, TextIsCutAt255Characters) {
  auto e = orvane::ParseCatalogueLine("7 " + std::string(400, 'x'));
  ASSERT_TRUE(e);
  EXPECT_EQ(e->text.size(), 255u);
}

TEST(ErrorReport, FramedReportWithModuleLine) {
  std::string path = WriteCatalogue("cat1", "1 No memory\n2001 Nothing written\n-1 Unknown\n");
  EXPECT_EQ(Report(2001, "KSAC::WriteSAC", path),
            kTop + " ***  In module KSAC::WriteSAC\n    Message 2001 :  Nothing written\n" + kBottom);
  fs::remove(path);
}

// The module line names the file a report is about, and a file name may hold
// anything: what a terminal would act on (a new line, an escape sequence,
// a C1 control, bytes that are not UTF-8) is shown escaped; other text,
// accented letters included, as it is.
TEST(ErrorReport, ControlCharactersInTheModuleLineAreEscaped) {
  std::string path = WriteCatalogue("cat3", "3005 File left out\n-1 Unknown\n");
  const std::string module = "/d/\x1b[2Jk\xc3\xb6ln\n\t\x7f\xc2\x9b\xff.sac: not a SAC file";
  EXPECT_EQ(Report(3005, module, path),
            kTop + " ***  In module /d/\\x1b[2Jk\xc3\xb6ln\\n\\t\\x7f\\xc2\\x9b\\xff.sac: not a SAC file\n" +
                "    Message 3005 :  File left out\n" + kBottom);
  fs::remove(path);
}

TEST(ErrorReport, HashModuleLeavesOutTheModuleLine) {
  std::string path = WriteCatalogue("cat2", "1 No memory\n-1 Unknown\n");
  EXPECT_EQ(Report(1, "#quiet", path), kTop + "    Message 1 :  No memory\n" + kBottom);
  fs::remove(path);
}

TEST(ErrorReport, UnknownCodeGivesTheCatchAllWithCodeMinusOne) {
  std::string path = WriteCatalogue("cat3", "1 No memory\n-1 Unknown\n2001 never reached\n");
  EXPECT_EQ(Report(2001, "PEPP::WritePEPP", path),
            kTop + " ***  In module PEPP::WritePEPP\n    Message -1 :  Unknown\n" + kBottom);
  fs::remove(path);
}

TEST(ErrorReport, CatalogueWithoutCatchAllStillFramesTheReport) {
  std::string path = WriteCatalogue("cat4", "1 No memory\n");
  std::string r = Report(2001, "KSAC::WriteSAC", path);
  EXPECT_EQ(r.rfind(kTop, 0), 0u);
  EXPECT_NE(r.find("    Message 2001 : "), std::string::npos);
  EXPECT_NE(r.find("no entry"), std::string::npos);
  EXPECT_EQ(r.substr(r.size() - kBottom.size()), kBottom);
  fs::remove(path);
}

TEST(ErrorReport, MissingCatalogueIsSaid) {
  std::string r = Report(1, "KSAC::SetData(float)", "");
  EXPECT_NE(r.find("    Message 1 : "), std::string::npos);
  EXPECT_NE(r.find("kerror.doc is missing"), std::string::npos);
  EXPECT_EQ(r.substr(r.size() - kBottom.size()), kBottom);
}

TEST(ErrorReport, ShippedCatalogueHasTheProgramsCodes) {
  // ORVANE_DATA points at the source data directory under CTest.
  testing::internal::CaptureStdout();
  orvane::ErrorReport(2001, "KSAC::WriteSAC");
  orvane::ErrorReport(1, "KSAC::SetData(float)");
  orvane::ErrorReport(4242, "#x");
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("    Message 2001 : "), std::string::npos);
  EXPECT_NE(out.find("    Message 1 : "), std::string::npos);
  EXPECT_NE(out.find("    Message -1 : "), std::string::npos);
  EXPECT_EQ(out.find("missing"), std::string::npos);
}

}  // namespace

namespace {

TEST(ErrorReportSink, CaptureHoldsTheFramedTextAndNothingReachesStdout) {
  testing::internal::CaptureStdout();
  std::string captured;
  {
    orvane::ScopedErrorReportCapture capture;
    orvane::ErrorReport(2001, "KSAC::WriteSAC");
    ASSERT_EQ(capture.reports().size(), 1u);
    const orvane::ErrorReportEntry& e = capture.reports()[0];
    EXPECT_EQ(e.code, 2001);
    EXPECT_EQ(e.module, "KSAC::WriteSAC");
    EXPECT_EQ(e.framed.rfind(kTop + " ***  In module KSAC::WriteSAC\n    Message 2001 : " + e.text + "\n", 0), 0u)
        << e.framed;
    EXPECT_FALSE(e.text.empty());
    captured = capture.text();
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  // Once the capture has ended, reports reach standard output again, unchanged.
  testing::internal::CaptureStdout();
  orvane::ErrorReport(2001, "KSAC::WriteSAC");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), captured);
}

TEST(ErrorReportSink, InstalledSinkReceivesReportsUntilReplaced) {
  std::vector<std::int16_t> seen;
  orvane::ErrorReportSink before = orvane::SetErrorReportSink([&](const orvane::ErrorReportEntry& e) {
    seen.push_back(e.code);
  });
  {
    orvane::ScopedErrorReportCapture nested;  // takes over, then gives the sink back
    orvane::ErrorReport(3002, "#");
    EXPECT_EQ(nested.reports().size(), 1u);
  }
  orvane::ErrorReport(3001, "P.JB");
  orvane::ErrorReportSink mine = orvane::SetErrorReportSink(std::move(before));
  EXPECT_TRUE(static_cast<bool>(mine));
  EXPECT_EQ(seen, std::vector<std::int16_t>{3001});
}

}  // namespace
