// PSN files: the header check with both count-field variants, the sampling
// rate, positions from their parts, the reader's refusals, the conversion into
// KSAC field by field, and the writer.
#include "seismogram/PSN.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/PSNFile.h"
#include "support/PsnBuilder.h"
#include "support/SystemTime.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::PsnBuilder;
using test::ScopedTempDir;

constexpr float kUndef = -12345.0f;

std::vector<unsigned char> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::int16_t> Ramp(std::size_t n) {
  std::vector<std::int16_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::int16_t>(static_cast<int>(i % 4001) - 2000);
  return v;
}

// A record holding the first 207 bytes of @p b, as the reader would see them.
PSN HeaderOf(const PsnBuilder& b) {
  const auto bytes = b.Bytes();
  PSN p;
  std::copy(bytes.begin(), bytes.begin() + 7, p.prefix.begin());
  std::copy(bytes.begin() + 7, bytes.begin() + 207, p.header.begin());
  return p;
}

bool Check(const PsnBuilder& b, std::int32_t* npts = nullptr) {
  PSN p = HeaderOf(b);
  p.npts = -7;
  const bool ok = p.CheckPSNHeader();
  if (npts != nullptr) *npts = p.npts;
  return ok;
}

// ---------------------------------------------------------------- fresh record

TEST(PSNInit, FreshRecordHoldsMarkerVersionAndCountFlag) {
  PSN p;
  EXPECT_EQ(p.prefix[0], 0xFD);
  EXPECT_EQ(p.GetShort(PSN::VERSION), 3);
  EXPECT_EQ(p.header[24], 0xFF);
  EXPECT_EQ(p.header[25], 0xFF);
  EXPECT_EQ(p.fileName, "untitled");
  EXPECT_EQ(p.npts, 0);
  EXPECT_TRUE(p.samples.empty());
  EXPECT_EQ(p.ownsLoadedSamples, 0);
  EXPECT_EQ(p.GetShort(199), 0) << "beyond the header";
}

// ---------------------------------------------------------------- header check

TEST(PSNCheck, CountFieldVariants) {
  const struct {
    const char* name;
    std::uint16_t field;
    std::int32_t prefixCount;
    bool ok;
    std::int32_t npts;
  } kCases[] = {
      {"field 1100 gives 1000", 1100, 77, true, 1000},
      {"field 200 gives 100 (the least)", 200, 0, true, 100},
      {"field 199 gives 99", 199, 5000, false, -7},
      {"field 0 gives -100", 0, 5000, false, -7},
      {"field 0xFFFE is a count, 65434", 0xFFFE, 5000, true, 65434},
      {"0xFFFF with prefix 5000", 0xFFFF, 5000, true, 5000},
      {"0xFFFF with prefix 250000", 0xFFFF, 250000, true, 250000},
      {"0xFFFF with prefix 250001", 0xFFFF, 250001, false, -7},
      {"0xFFFF with prefix 99", 0xFFFF, 99, false, -7},
      {"0xFFFF with negative prefix", 0xFFFF, -1, false, -7},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::int32_t npts = 0;
    EXPECT_EQ(Check(PsnBuilder().CountField(c.field).PrefixCount(c.prefixCount), &npts), c.ok);
    EXPECT_EQ(npts, c.npts);
  }
}

TEST(PSNCheck, FieldLimits) {
  const struct {
    const char* name;
    std::size_t offset;
    std::int16_t value;
    bool ok;
  } kCases[] = {
      {"version 2", 0, 2, true},          {"version 3", 0, 3, true},          {"version 1", 0, 1, false},
      {"version 4", 0, 4, false},         {"year 1959", 2, 1959, false},      {"year 1960", 2, 1960, true},
      {"year 2010", 2, 2010, true},       {"year 2011 (mended)", 2, 2011, true},
      {"year 2024 (mended)", 2, 2024, true}, {"year 2099", 2, 2099, true}, {"year 2100", 2, 2100, false},
      {"month 0", 4, 0, false},           {"month 12", 4, 12, true},          {"month 13", 4, 13, false},
      {"day 0", 6, 0, false},             {"day 31", 6, 31, true},            {"day 32", 6, 32, false},
      {"start hour 24", 8, 24, true},     {"start hour 25", 8, 25, false},    {"start minute 60", 10, 60, true},
      {"start minute 61", 10, 61, false}, {"start second 60", 12, 60, true},  {"start second 61", 12, 61, false},
      {"start hour -5 (no lower bound)", 8, -5, true},
      {"end hour 24", 16, 24, true},      {"end hour 25", 16, 25, false},     {"end minute 61", 18, 61, false},
      {"end second 60", 20, 60, true},    {"end second 61", 20, 61, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Check(PsnBuilder().PrefixCount(1000).Short(c.offset, c.value)), c.ok);
  }
}

TEST(PSNCheck, MarkerOtherThanFDIsRefusedWhateverTheHeaderHolds) {
  for (unsigned char marker : {0x00, 0xFC, 0xFE, 0xFF}) {
    SCOPED_TRACE(int(marker));
    EXPECT_FALSE(Check(PsnBuilder().PrefixCount(1000).Marker(marker)));
  }
  EXPECT_TRUE(Check(PsnBuilder().PrefixCount(1000)));
}

// ---------------------------------------------------------------- rate and positions

TEST(PSNRate, SecondsBetweenStartAndEnd) {
  const struct {
    const char* name;
    int sh, sm, ss, sf, eh, em, es, et;
    std::int32_t npts;
    std::int32_t seconds;
    float rate;
  } kCases[] = {
      {"across midnight", 23, 59, 50, 0, 0, 0, 10, 0, 2000, 20, 100.0f},
      {"95 tenths truncate to 9", 10, 0, 0, 5, 10, 0, 10, 0, 900, 9, 100.0f},
      {"rate is a float quotient", 10, 0, 0, 0, 10, 0, 9, 0, 1000, 9, 1000.0f / 9.0f},
      {"one hour", 10, 0, 0, 0, 11, 0, 0, 0, 36000, 3600, 10.0f},
      {"shorter than a second", 10, 0, 0, 0, 10, 0, 0, 9, 500, 0, 0.0f},
      {"end before start, same hour", 10, 30, 0, 0, 10, 10, 0, 0, 500, -1200, 0.0f},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PSN p = HeaderOf(PsnBuilder()
                         .Short(8, c.sh).Short(10, c.sm).Short(12, c.ss).Short(14, c.sf)
                         .Short(16, c.eh).Short(18, c.em).Short(20, c.es).Short(22, c.et));
    p.npts = c.npts;
    EXPECT_EQ(p.RecordingSeconds(), c.seconds);
    EXPECT_EQ(p.PSNSampleRate(), c.rate);
  }
}

TEST(PSNRate, HostileTimeFieldsDoNotOverflow) {
  PSN p = HeaderOf(PsnBuilder().Short(8, -32768).Short(10, -32768).Short(12, -32768).Short(14, -32768)
                       .Short(16, 24).Short(18, 60).Short(20, 60).Short(22, 32767));
  p.npts = 250000;
  EXPECT_GT(p.RecordingSeconds(), 0);
  EXPECT_GT(p.PSNSampleRate(), 0.0f);
}

TEST(PSNDegrees, WholeDegreesAndThousandths) {
  const struct {
    std::int16_t degrees, thousandths;
    float expected;
  } kCases[] = {{-33, 500, -33.5f}, {0, -250, -0.25f}, {12, 345, 12.345f}, {-33, -500, -33.5f},
                {0, 0, 0.0f},       {180, 0, 180.0f}, {-1, 999, -1.999f}, {5, -100, 4.9f}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.degrees) + "," + std::to_string(c.thousandths));
    EXPECT_FLOAT_EQ(PSN::DegreesFromParts(c.degrees, c.thousandths), c.expected);
  }
}

// ---------------------------------------------------------------- reading

TEST(PSNRead, PrefixCountAndCountFieldBothRead) {
  const auto samples = Ramp(1000);
  PSN a, b;
  ByteReadError error;
  ASSERT_TRUE(DecodePSN(PsnBuilder().Samples(samples).Bytes(), a, error)) << error.Text();
  ASSERT_TRUE(DecodePSN(PsnBuilder().CountField(1100).PrefixCount(0).Samples(samples, false).Bytes(), b, error))
      << error.Text();
  EXPECT_EQ(a.npts, 1000);
  EXPECT_EQ(b.npts, 1000);
  EXPECT_EQ(a.samples, samples);
  EXPECT_EQ(b.samples, samples);
  EXPECT_EQ(a.ownsLoadedSamples & 1, 1);
}

TEST(PSNRead, SamplesAreLittleEndianWhateverTheHost) {
  auto bytes = PsnBuilder().PrefixCount(100).Bytes();
  for (int i = 0; i < 100; ++i) {
    bytes.push_back(0x34);  // 0x1234 = 4660
    bytes.push_back(i == 0 ? 0x92 : 0x12);  // first: 0x9234 = -28108
  }
  PSN p;
  ByteReadError error;
  ASSERT_TRUE(DecodePSN(bytes, p, error)) << error.Text();
  EXPECT_EQ(p.samples[0], -28108);
  EXPECT_EQ(p.samples[1], 4660);
}

TEST(PSNRead, RefusalsSayWhyAndWhereAndLeaveTheRecordAlone) {
  const auto good = PsnBuilder().Samples(Ramp(200));
  const struct {
    const char* name;
    std::vector<unsigned char> bytes;
    std::size_t offset;
    const char* reasonPart;
  } kCases[] = {
      {"empty", {}, 0, "header"},
      {"header cut", [&] { auto b = good.Bytes(); b.resize(150); return b; }(), 150, "header"},
      {"wrong marker, short file", {0x00, 0x01}, 0, "marker"},
      {"wrong marker", PsnBuilder().Marker(0xFE).Samples(Ramp(200)).Bytes(), 0, "marker"},
      {"version", PsnBuilder().Short(0, 4).Samples(Ramp(200)).Bytes(), 7, "version"},
      {"year 1959", PsnBuilder().Short(2, 1959).Samples(Ramp(200)).Bytes(), 9, "year"},
      {"end hour 25", PsnBuilder().Short(16, 25).Samples(Ramp(200)).Bytes(), 23, "end hour"},
      {"count field 199", PsnBuilder().CountField(199).Samples(Ramp(200)).Bytes(), 31, "sample count"},
      {"prefix count 250001", PsnBuilder().PrefixCount(250001).Bytes(), 1, "sample count"},
      {"shorter than a second", PsnBuilder().Short(20, 0).Short(22, 9).Samples(Ramp(200)).Bytes(), 23,
       "shorter than one second"},
      {"ends before it starts", PsnBuilder().Short(18, 0).Short(10, 30).Samples(Ramp(200)).Bytes(), 23,
       "ends before"},
      {"samples cut short", [&] { auto b = good.Bytes(); b.resize(207 + 399); return b; }(), 207 + 399,
       "samples"},
      {"count 250000, no samples", PsnBuilder().PrefixCount(250000).Bytes(), 207, "samples"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    PSN p;
    const auto header = p.header;
    ByteReadError error;
    EXPECT_FALSE(DecodePSN(c.bytes, p, error));
    EXPECT_EQ(error.offset, c.offset) << error.Text();
    EXPECT_NE(error.reason.find(c.reasonPart), std::string::npos) << error.reason;
    EXPECT_EQ(p.header, header);
    EXPECT_EQ(p.npts, 0);
    EXPECT_TRUE(p.samples.empty());

    ScopedTempDir dir;
    std::ofstream(dir / "bad.psn", std::ios::binary)
        .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
    EXPECT_THROW(PSN{(dir / "bad.psn").string()}, PSNException);
  }
}

TEST(PSNRead, MissingFileAndWholePathName) {
  ScopedTempDir dir;
  EXPECT_THROW(PSN{(dir / "absent.psn").string()}, PSNException);
  const fs::path deep = dir / std::string(80, 'p') / "station.psn";
  fs::create_directories(deep.parent_path());
  PsnBuilder().Samples(Ramp(150)).Trailing({1, 2, 3}).WriteTo(deep);
  PSN p(deep.string());
  EXPECT_EQ(p.fileName, deep.string());
  EXPECT_EQ(p.npts, 150);
  EXPECT_EQ(KSAC(p).fileName, deep.string());
}

// ---------------------------------------------------------------- PSN -> KSAC

TEST(PSNToKSAC, EveryFieldLandsInItsSlot) {
  const auto b = PsnBuilder()
                     .Short(2, 2024).Short(4, 3).Short(6, 1)        // 1 March of a leap year: day 61
                     .Short(8, 23).Short(10, 59).Short(12, 50).Short(14, 7)
                     .Short(16, 0).Short(18, 0).Short(20, 10).Short(22, 7)  // 20 s after the start
                     .Short(28, -1500).Short(30, 1800)
                     .Byte(32, 'E')
                     .Short(34, -33).Short(36, 500).Short(38, 0).Short(40, -250)
                     .Short(106, 335).Short(108, 12).Short(110, 345).Short(112, -70).Short(114, 125)
                     .Samples(Ramp(2000));
  PSN p;
  ByteReadError error;
  ASSERT_TRUE(DecodePSN(b.Bytes(), p, error)) << error.Text();
  p.fileName = "/x/y.psn";
  KSAC k(p);
  EXPECT_EQ(k.origin, 2);
  EXPECT_EQ(k.fileName, "/x/y.psn");
  EXPECT_EQ(k.GetIntHeader(KSAC::NPTS), 2000);
  const struct {
    const char* name;
    int index;
    float expected;
  } kFloats[] = {
      {"depmin from header", KSAC::DEPMIN, -1500.0f}, {"depmax from header", KSAC::DEPMAX, 1800.0f},
      {"stla", KSAC::STLA, PSN::DegreesFromParts(-33, 500)}, {"stlo", KSAC::STLO, PSN::DegreesFromParts(0, -250)},
      {"delta: 2000 samples in 20 s", KSAC::DELTA, 0.01f}, {"b", KSAC::B, 0.0f},
      {"evla", KSAC::EVLA, PSN::DegreesFromParts(12, 345)}, {"evlo", KSAC::EVLO, PSN::DegreesFromParts(-70, 125)},
      {"evdp in metres", KSAC::EVDP, 33500.0f}, {"depmen stays undefined", KSAC::DEPMEN, kUndef},
      {"e stays undefined", KSAC::E, kUndef}, {"o stays undefined", KSAC::O, kUndef},
      {"t0 stays undefined", KSAC::T0, kUndef}, {"stel stays undefined", KSAC::STEL, kUndef}};
  for (const auto& f : kFloats) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(k.GetFloatHeader(f.index), f.expected);
  }
  EXPECT_FLOAT_EQ(k.GetFloatHeader(KSAC::STLA), -33.5f);
  EXPECT_FLOAT_EQ(k.GetFloatHeader(KSAC::EVLO), -70.125f);
  const struct {
    const char* name;
    int index;
    std::int32_t expected;
  } kInts[] = {{"nzyear", KSAC::NZYEAR, 2024}, {"nzjday", KSAC::NZJDAY, 61}, {"nzhour", KSAC::NZHOUR, 23},
               {"nzmin", KSAC::NZMIN, 59},     {"nzsec", KSAC::NZSEC, 50},   {"nzmsec = 10 x fraction", KSAC::NZMSEC, 70}};
  for (const auto& f : kInts) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(k.GetIntHeader(f.index), f.expected);
  }
  EXPECT_STREQ(k.GetCharHeader(KSAC::KCMPNM), "E");
  EXPECT_STREQ(k.GetCharHeader(KSAC::KSTNM), "-12345") << "a PSN station has no name";
  const auto ramp = Ramp(2000);
  for (std::size_t i = 0; i < ramp.size(); i += 499) EXPECT_EQ(k.samples[i], static_cast<float>(ramp[i])) << i;
}

// The header accepts hour 24 and second 60, and a start fraction of 100 or
// more is 1000 ms or more: such a start is carried into the next unit, so the
// record has a reference time, the instant the file says.
TEST(PSNToKSAC, StartAtTheEndOfAMinuteOrDayIsCarried) {
  const struct {
    const char* name;
    std::int16_t year, month, day, hour, minute, second, fraction;
    std::int16_t endHour, endMinute;  // the end lies at second 10 of this minute
    SYSTEMTIME reference;
  } rows[] = {
      {"23:59:60.0", 2024, 3, 1, 23, 59, 60, 0, 0, 0, test::Time(2024, 3, 2, 0, 0, 0)},
      {"24:00:00.0", 2024, 3, 1, 24, 0, 0, 0, 0, 0, test::Time(2024, 3, 2, 0, 0, 0)},
      {"24:00:00.0 of New Year's Eve", 2023, 12, 31, 24, 0, 0, 0, 0, 0, test::Time(2024, 1, 1, 0, 0, 0)},
      {"10:59:60.5", 2024, 3, 1, 10, 59, 60, 50, 11, 0, test::Time(2024, 3, 1, 11, 0, 0, 500)},
      {"fraction 150", 2024, 3, 1, 10, 0, 0, 150, 10, 1, test::Time(2024, 3, 1, 10, 0, 1, 500)},
      {"an ordinary start", 2024, 3, 1, 10, 0, 0, 5, 10, 0, test::Time(2024, 3, 1, 10, 0, 0, 50)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto b = PsnBuilder()
                       .Short(2, row.year).Short(4, row.month).Short(6, row.day)
                       .Short(8, row.hour).Short(10, row.minute).Short(12, row.second).Short(14, row.fraction)
                       .Short(16, row.endHour).Short(18, row.endMinute).Short(20, 10).Short(22, 0)
                       .Samples(Ramp(1000));
    PSN p;
    ByteReadError error;
    ASSERT_TRUE(DecodePSN(b.Bytes(), p, error)) << error.Text();
    KSAC k(p);
    FileTime ticks = 0, expected = 0;
    ASSERT_TRUE(k.GetReferenceFileTime(ticks)) << "no valid reference time";
    ASSERT_TRUE(SystemTimeToFileTime(row.reference, expected));
    EXPECT_EQ(ticks, expected);
    EXPECT_EQ(k.GetFloatHeader(KSAC::B), 0.0f);
    EXPECT_EQ(k.GetFloatHeader(KSAC::T0), kUndef);
  }
}

TEST(PSNToKSAC, VersionTwoCarriesNoEvent) {
  const auto b = PsnBuilder().Short(0, 2).Short(106, 335).Short(108, 12).Short(110, 345).Short(112, -70)
                     .Short(114, 125).Samples(Ramp(100));
  PSN p;
  ByteReadError error;
  ASSERT_TRUE(DecodePSN(b.Bytes(), p, error)) << error.Text();
  KSAC k(p);
  EXPECT_EQ(k.GetFloatHeader(KSAC::EVLA), kUndef);
  EXPECT_EQ(k.GetFloatHeader(KSAC::EVLO), kUndef);
  EXPECT_EQ(k.GetFloatHeader(KSAC::EVDP), kUndef);
  EXPECT_EQ(k.GetFloatHeader(KSAC::DELTA), 0.1f);  // 100 samples in 10 s
}

TEST(PSNToKSAC, RecordsWithoutRateOrSamplesAreNotConverted) {
  PSN fresh;  // all times zero: no rate
  EXPECT_THROW(KSAC{fresh}, PSNException);
  PSN p = HeaderOf(PsnBuilder());
  p.npts = 100;  // rate 10/s, but no samples held
  EXPECT_THROW(KSAC{p}, PSNException);
}

// ---------------------------------------------------------------- writing

TEST(PSNWrite, AFileReadsBackByteForByte) {
  ScopedTempDir dir;
  const auto original = PsnBuilder().PrefixSpare(-2).Byte(33, 0x44).Byte(150, 0x99).Samples(Ramp(300));
  original.WriteTo(dir / "in.psn");
  PSN p((dir / "in.psn").string());
  ASSERT_EQ(p.WritePSN((dir / "out.psn").string().c_str()), 0);
  EXPECT_EQ(FileBytes(dir / "out.psn"), original.Bytes());
}

TEST(PSNWrite, SetDataThenWriteGivesAReadableFile) {
  ScopedTempDir dir;
  PSN p = HeaderOf(PsnBuilder().CountField(100 + 120));
  const std::vector<float> values{-5000.0f, 2047.9f, -2048.5f, 1.9f, -1.9f, std::nanf("")};
  std::vector<float> many;
  for (int i = 0; i < 20; ++i) many.insert(many.end(), values.begin(), values.end());
  p.SetData(many.data(), static_cast<std::int32_t>(many.size()));
  EXPECT_EQ(p.npts, 0) << "SetData leaves npts alone";
  const std::vector<std::int16_t> expected{-2048, 2047, -2048, 1, -1, 0};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(p.samples[i], expected[i]) << i;
  p.npts = 120;
  ASSERT_EQ(p.WritePSN((dir / "s.psn").string().c_str()), 0);
  PSN back((dir / "s.psn").string());
  EXPECT_EQ(back.npts, 120);
  EXPECT_EQ(back.samples, p.samples);
}

TEST(PSNWrite, CountBeyondTheSamplesIsReportedAndNoFileIsMade) {
  ScopedTempDir dir;
  PSN p;
  const std::vector<std::int16_t> v{1, 2, 3};
  p.SetData(v.data(), 3);
  p.npts = 4;
  testing::internal::CaptureStdout();
  EXPECT_EQ(p.WritePSN((dir / "x.psn").string().c_str()), 1);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("In module PSN::WritePSN"), std::string::npos) << report;
  EXPECT_NE(report.find("Message 2001 : "), std::string::npos) << report;
  EXPECT_FALSE(fs::exists(dir / "x.psn"));
}

TEST(PSNWrite, AFileThatCannotBeWrittenIsReportedAndNothingIsLeftBehind) {
  ScopedTempDir dir;
  PSN p;
  fs::create_directory(dir / "d.psn");
  testing::internal::CaptureStdout();
  EXPECT_EQ(p.WritePSN((dir / "d.psn").string().c_str()), 2);
  EXPECT_EQ(p.WritePSN((dir / "none" / "x.psn").string().c_str()), 2);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find("In module PSN::WritePSN"), std::string::npos) << report;
  EXPECT_NE(report.find("Message 2002 : "), std::string::npos) << report;
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(PSNSetData, ShortValuesAreCopied) {
  PSN p;
  std::vector<std::int16_t> v{5, -6, 7};
  p.SetData(v.data(), 3);
  v[0] = 0;
  EXPECT_EQ(p.samples, (std::vector<std::int16_t>{5, -6, 7}));
  p.SetData(v.data(), -1);
  EXPECT_TRUE(p.samples.empty());
}

}  // namespace
}  // namespace orvane
