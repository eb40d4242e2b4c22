// PEPP files: the fresh record, the reader (with and without the 36-byte
// prefix), every refusal and its reason, the conversions into and out of KSAC
// field by field, the writer and round trips.
#include "seismogram/PEPP.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/PEPPFile.h"
#include "support/PeppBuilder.h"
#include "support/SystemTime.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;
using test::PeppBuilder;
using test::ScopedTempDir;

constexpr float kUndef = -12345.0f;

std::vector<unsigned char> FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> Filler(std::size_t n) {
  std::vector<unsigned char> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<unsigned char>(0xA0 + i);
  return bytes;
}

// ---------------------------------------------------------------- fresh record

TEST(PEPPInit, FreshRecordHoldsTheFixedDefaults) {
  PEPP p;
  EXPECT_EQ(p.fileName, "untitled");
  EXPECT_TRUE(p.samples.empty());
  EXPECT_EQ(p.ownsLoadedSamples, 0);
  EXPECT_EQ(p.GetShort(0), 3737);
  EXPECT_EQ(p.GetText(2, 15), "PEPP_HVN_02.40");
  EXPECT_EQ(p.header[16], 0) << "version text NUL-terminated";
  EXPECT_EQ(p.Npts(), 641);
  EXPECT_EQ(p.GetShort(49), -12345);
  EXPECT_EQ(p.GetText(63, 3), "F4");
  EXPECT_EQ(p.header[74], '?');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.header.data() + 75), 3), "-12");
  EXPECT_EQ(p.GetText(79, 5), "TRIG");
  EXPECT_EQ(p.GetShort(143), 1);
  EXPECT_EQ(p.GetShort(157), 12);
  EXPECT_EQ(p.GetText(159, 5), "AS-1");
  EXPECT_EQ(p.GetShort(232), -12345);
  EXPECT_EQ(p.header[250], 0);
  EXPECT_EQ(p.GetInt(297), 0);
  const int undefinedFloats[] = {51, 55, 59, 145, 149, 153, 176, 180, 200, 204, 208,
                                 212, 216, 224, 228, 234, 238, 242, 246};
  for (int offset : undefinedFloats) {
    SCOPED_TRACE(offset);
    EXPECT_EQ(p.GetFloat(offset), kUndef);
  }
  for (int i = 281; i < 297; ++i) EXPECT_EQ(p.header[i], 0) << i;
  for (int i = 341; i < 641; ++i) EXPECT_EQ(p.header[i], 0) << i;
}

TEST(PEPPInit, BytesWithoutAnInitValueKeepWhatTheyHold) {
  PEPP p;
  p.SetFloat(220, 7.5f);     // user value 2 has no Init value
  p.SetShort(17, 1999);      // year
  p.header[66] = 0x5A;       // not interpreted
  p.SetInt(45, 3);
  p.samples = {1, 2, 3};
  p.fileName = "x.set";
  p.Init(nullptr, true);
  EXPECT_EQ(p.GetFloat(220), 7.5f);
  EXPECT_EQ(p.GetShort(17), 1999);
  EXPECT_EQ(p.header[66], 0x5A);
  EXPECT_EQ(p.Npts(), 641);
  EXPECT_TRUE(p.samples.empty());
  EXPECT_EQ(p.fileName, "untitled");
}

TEST(PEPPInit, AccessorsOutsideTheHeaderReadZeroAndWriteNothing) {
  PEPP p;
  const auto before = p.header;
  EXPECT_EQ(p.GetShort(640), 0);
  EXPECT_EQ(p.GetInt(638), 0);
  EXPECT_EQ(p.GetFloat(-1), 0.0f);
  EXPECT_EQ(p.GetText(636, 8), "");
  p.SetShort(640, 1);
  p.SetInt(638, 1);
  p.SetFloat(-4, 1.0f);
  p.SetText(639, 5, "abc");
  EXPECT_EQ(p.header, before);
  // The last whole fields are reachable.
  p.SetShort(639, 77);
  EXPECT_EQ(p.GetShort(639), 77);
}

// ---------------------------------------------------------------- reading

TEST(PEPPRead, HeaderAtTheStartAndBehindThirtySixBytesGiveTheSameRecord) {
  const PeppBuilder plain = PeppBuilder().Samples({1.5f, -2.25f, 3.0f}).Float(208, 33.0f);
  PEPP a, b;
  ByteReadError error;
  ASSERT_TRUE(DecodePEPP(plain.Bytes(), a, error)) << error.Text();
  PeppBuilder prefixed = plain;
  prefixed.Prefix(Filler(36));
  ASSERT_TRUE(DecodePEPP(prefixed.Bytes(), b, error)) << error.Text();
  EXPECT_EQ(a.header, b.header);
  EXPECT_EQ(a.samples, b.samples);
  EXPECT_EQ(a.samples, (std::vector<float>{1.5f, -2.25f, 3.0f}));
  EXPECT_EQ(a.Npts(), 3);
  EXPECT_EQ(a.ownsLoadedSamples & 1, 1);
  // The header bytes are exactly the file's.
  EXPECT_TRUE(std::equal(a.header.begin(), a.header.end(), plain.Header().begin()));
}

TEST(PEPPRead, PrefixesOfOtherLengthsAreRefused) {
  const struct {
    std::size_t prefix;
    bool accepted;
  } kCases[] = {{0, true}, {1, false}, {35, false}, {36, true}, {37, false}, {72, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.prefix);
    PEPP p;
    ByteReadError error;
    const auto bytes = PeppBuilder().Samples({1, 2}).Prefix(Filler(c.prefix)).Bytes();
    EXPECT_EQ(DecodePEPP(bytes, p, error), c.accepted) << error.Text();
  }
}

TEST(PEPPRead, SamplesAndMarkerAreLittleEndianWhateverTheHost) {
  // Header, then one sample 00 00 80 3F (1.0f) and the marker 2B 3A B8 05.
  std::vector<unsigned char> bytes = PeppBuilder().Int(45, 1).Marker({}).Bytes();
  for (unsigned char b : {0x00, 0x00, 0x80, 0x3F, 0x2B, 0x3A, 0xB8, 0x05}) bytes.push_back(b);
  bytes[41] = 0x00; bytes[42] = 0x00; bytes[43] = 0x48; bytes[44] = 0x42;  // rate 50.0f
  PEPP p;
  ByteReadError error;
  ASSERT_TRUE(DecodePEPP(bytes, p, error)) << error.Text();
  EXPECT_EQ(p.samples, std::vector<float>{1.0f});
  EXPECT_EQ(p.GetFloat(PEPP::SAMPLING_RATE), 50.0f);
}

TEST(PEPPRead, BytesAfterTheEndMarkerAreIgnored) {
  PEPP p;
  ByteReadError error;
  EXPECT_TRUE(DecodePEPP(PeppBuilder().Samples({4}).Trailing(Filler(100)).Bytes(), p, error));
  EXPECT_EQ(p.samples, std::vector<float>{4});
}

TEST(PEPPRead, ZeroAndOneMillionSamplesAreAccepted) {
  PEPP p;
  ByteReadError error;
  ASSERT_TRUE(DecodePEPP(PeppBuilder().Samples({}).Bytes(), p, error)) << error.Text();
  EXPECT_EQ(p.Npts(), 0);
  EXPECT_TRUE(p.samples.empty());
  std::vector<float> many(PEPP::kMaxSamples);
  many.back() = 9.0f;
  ASSERT_TRUE(DecodePEPP(PeppBuilder().Samples(many).Bytes(), p, error)) << error.Text();
  EXPECT_EQ(p.samples.size(), 1'000'000u);
  EXPECT_EQ(p.samples.back(), 9.0f);
}

struct Refusal {
  const char* name;
  std::vector<unsigned char> bytes;
  std::size_t offset;       // expected offset of the reason
  const char* reasonPart;   // a word the reason must contain
};

std::vector<Refusal> Refusals() {
  const auto good = PeppBuilder().Samples({1, 2, 3});
  const std::size_t end = 641 + 12;  // where the marker starts
  std::vector<Refusal> r;
  r.push_back({"empty file", {}, 0, "too short"});
  r.push_back({"no magic anywhere", PeppBuilder().Short(0, 3738).Samples({1}).Bytes(), 0, "3737"});
  r.push_back({"magic at 0, header cut", [&] { auto b = good.Bytes(); b.resize(600); return b; }(), 600, "header"});
  r.push_back({"magic at 36, header cut",
               [&] { auto g = good; auto b = g.Prefix(Filler(36)).Bytes(); b.resize(300); return b; }(), 300, "header"});
  r.push_back({"negative count", PeppBuilder().Int(45, -1).Bytes(), 45, "sample count"});
  r.push_back({"count above a million", PeppBuilder().Int(45, 1'000'001).Bytes(), 45, "sample count"});
  r.push_back({"huge count, short file", PeppBuilder().Int(45, 999'999).Bytes(), 645, "samples"});
  r.push_back({"zero rate", PeppBuilder().Float(41, 0.0f).Samples({1}).Bytes(), 41, "sampling rate"});
  r.push_back({"negative rate", PeppBuilder().Float(41, -50.0f).Samples({1}).Bytes(), 41, "sampling rate"});
  r.push_back({"rate not a number",
               PeppBuilder().Float(41, std::numeric_limits<float>::quiet_NaN()).Samples({1}).Bytes(), 41,
               "sampling rate"});
  r.push_back({"infinite rate",
               PeppBuilder().Float(41, std::numeric_limits<float>::infinity()).Samples({1}).Bytes(), 41,
               "sampling rate"});
  // Positive and finite, but 1/rate overflows a float: the interval would be infinite.
  r.push_back({"rate too small for a finite interval", PeppBuilder().Float(41, 1e-40f).Samples({1}).Bytes(), 41,
               "too small"});
  r.push_back({"rate behind prefix is checked at 36+41",
               PeppBuilder().Float(41, 0.0f).Samples({1}).Prefix(Filler(36)).Bytes(), 77, "sampling rate"});
  r.push_back({"fewer samples than npts", PeppBuilder().Samples({1, 2, 3}).Int(45, 5).Bytes(), 641 + 16, "samples"});
  r.push_back({"marker absent", PeppBuilder().Samples({1, 2, 3}).Marker({}).Bytes(), end, "missing"});
  r.push_back({"marker cut to 3 bytes", PeppBuilder().Samples({1, 2, 3}).Marker({0x2B, 0x3A, 0xB8}).Bytes(), end,
               "missing"});
  r.push_back({"marker 95959595 + 1", PeppBuilder().Samples({1, 2, 3}).MarkerValue(95959596).Bytes(), end,
               "95959596"});
  return r;
}

TEST(PEPPRead, RefusalsSayWhyAndWhereAndLeaveTheRecordAlone) {
  for (const Refusal& c : Refusals()) {
    SCOPED_TRACE(c.name);
    PEPP p;
    p.SetShort(17, 1234);
    const auto before = p.header;
    ByteReadError error;
    EXPECT_FALSE(DecodePEPP(c.bytes, p, error));
    EXPECT_EQ(error.offset, c.offset) << error.Text();
    EXPECT_NE(error.reason.find(c.reasonPart), std::string::npos) << error.reason;
    EXPECT_EQ(p.header, before);
    EXPECT_TRUE(p.samples.empty());
    EXPECT_EQ(p.ownsLoadedSamples, 0);
  }
}

TEST(PEPPRead, ReaderThrowsForEveryRefusalAndForAMissingFile) {
  ScopedTempDir dir;
  for (const Refusal& c : Refusals()) {
    SCOPED_TRACE(c.name);
    const fs::path path = dir / "bad.set";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
    EXPECT_THROW(PEPP{path.string()}, PEPPException);
  }
  EXPECT_THROW(PEPP{(dir / "absent.set").string()}, PEPPException);
  EXPECT_THROW(PEPP{dir.path().string()}, PEPPException);  // a directory
  PEPP p;
  EXPECT_THROW(p.ReadPEPP(nullptr), PEPPException);
}

TEST(PEPPRead, FileNameKeepsTheWholePath) {
  ScopedTempDir dir;
  const fs::path deep = dir / std::string(70, 'd') / "a-station-with-a-long-name-recorded-in-2024.set";
  fs::create_directories(deep.parent_path());
  PeppBuilder().Samples({1}).WriteTo(deep);
  PEPP p(deep.string());
  EXPECT_EQ(p.fileName, deep.string());
  EXPECT_GT(p.fileName.size(), 63u);
  EXPECT_EQ(KSAC(p).fileName, deep.string());
}

// ---------------------------------------------------------------- PEPP -> KSAC

TEST(PEPPToKSAC, EveryFieldLandsInItsSlot) {
  PeppBuilder b;
  b.Samples({1.0f, -2.0f, 3.0f})
      .Short(17, 2023).Short(19, 2).Short(21, 1).Short(23, 32).Short(25, 23).Short(27, 59)
      .Float(29, 12.3456f).Float(33, 1.25f).Float(37, 99.5f).Float(41, 50.0f)
      .Float(51, -100.0f).Float(55, 200.0f).Float(59, 0.5f)  // not the samples' own values
      .Byte(74, 'N').Float(84, 47.25f).Float(88, 8.5f).Short(92, -17)
      .Text(94, 8, "ABCDEFGH").Byte(102, 'X')  // the byte after the name is not part of it
      .Float(200, -20.5f).Float(204, 170.25f).Float(208, 33.0f)
      .Float(212, 10.0f).Float(216, 11.0f).Float(220, 12.0f).Float(224, 13.0f).Float(228, 14.0f)
      .Float(234, 45.5f).Float(238, 5060.0f).Float(242, 123.0f).Float(246, 303.0f);
  PEPP p;
  ByteReadError error;
  ASSERT_TRUE(DecodePEPP(b.Bytes(), p, error)) << error.Text();
  p.fileName = "/data/event/abc.set";
  KSAC k(p);

  EXPECT_EQ(k.origin, 1);
  EXPECT_EQ(k.fileName, "/data/event/abc.set");
  EXPECT_EQ(k.GetIntHeader(KSAC::NPTS), 3);
  const struct {
    const char* name;
    int index;
    float expected;
  } kFloats[] = {
      {"delta = 1/50", KSAC::DELTA, 0.02f}, {"depmin from file", KSAC::DEPMIN, -100.0f},
      {"depmax from file", KSAC::DEPMAX, 200.0f}, {"depmen from file", KSAC::DEPMEN, 0.5f},
      {"stla", KSAC::STLA, 47.25f}, {"stlo", KSAC::STLO, 8.5f}, {"stel", KSAC::STEL, -17.0f},
      {"b", KSAC::B, 1.25f}, {"e", KSAC::E, 99.5f}, {"evla", KSAC::EVLA, -20.5f},
      {"evlo", KSAC::EVLO, 170.25f}, {"evdp in metres", KSAC::EVDP, 33000.0f},
      {"dist", KSAC::DIST, 5060.0f}, {"gcarc", KSAC::GCARC, 45.5f}, {"az", KSAC::AZ, 123.0f},
      {"baz", KSAC::BAZ, 303.0f}, {"user0", 40, 10.0f}, {"user1", 41, 11.0f}, {"user2", 42, 12.0f},
      {"user3", 43, 13.0f}, {"user4", 44, 14.0f}, {"o stays undefined", KSAC::O, kUndef},
      {"user5 stays undefined", KSAC::USER5, kUndef}, {"t0 stays undefined", KSAC::T0, kUndef},
      {"t9 stays undefined", KSAC::T9, kUndef}};
  for (const auto& f : kFloats) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(k.GetFloatHeader(f.index), f.expected);
  }
  const struct {
    const char* name;
    int index;
    std::int32_t expected;
  } kInts[] = {{"nzyear", KSAC::NZYEAR, 2023}, {"nzjday", KSAC::NZJDAY, 32},  {"nzhour", KSAC::NZHOUR, 23},
               {"nzmin", KSAC::NZMIN, 59},     {"nzsec", KSAC::NZSEC, 12},    {"nzmsec", KSAC::NZMSEC, 345},
               {"nvhdr", KSAC::NVHDR, 6},      {"iftype", KSAC::IFTYPE, 1},   {"leven", KSAC::LEVEN, 1}};
  for (const auto& f : kInts) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(k.GetIntHeader(f.index), f.expected);
  }
  EXPECT_STREQ(k.GetCharHeader(KSAC::KSTNM), "ABCDEFGH");
  EXPECT_STREQ(k.GetCharHeader(KSAC::KCMPNM), "N");
  EXPECT_STREQ(k.GetCharHeader(KSAC::KEVNM), "-12345");
  ASSERT_TRUE(k.samples);
  EXPECT_EQ(k.samples[0], 1.0f);
  EXPECT_EQ(k.samples[1], -2.0f);
  EXPECT_EQ(k.samples[2], 3.0f);
}

TEST(PEPPToKSAC, SecondsAreTruncatedTowardZero) {
  const struct {
    float seconds;
    std::int32_t nzsec, nzmsec;
  } kCases[] = {{12.3456f, 12, 345}, {0.0f, 0, 0}, {59.9999f, 59, 999}, {7.0f, 7, 0}, {-1.5f, -1, -500}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.seconds);
    PEPP p;
    p.SetFloat(PEPP::SAMPLING_RATE, 100.0f);
    p.SetFloat(PEPP::SECOND, c.seconds);
    p.SetData(nullptr, 0);
    KSAC k(p);
    EXPECT_EQ(k.GetIntHeader(KSAC::NZSEC), c.nzsec);
    EXPECT_EQ(k.GetIntHeader(KSAC::NZMSEC), c.nzmsec);
  }
}

// A seconds field of 60.0 or more (the end of a minute, a leap second) is
// carried into the minute, so that the record has a reference time; b stays.
TEST(PEPPToKSAC, SecondsOfSixtyAreCarriedIntoTheMinute) {
  const struct {
    const char* name;
    std::int16_t hour, minute;
    float seconds;
    SYSTEMTIME reference;
  } rows[] = {
      {"60.0", 6, 7, 60.0f, test::Time(2024, 3, 5, 6, 8, 0)},
      {"60.5", 6, 7, 60.5f, test::Time(2024, 3, 5, 6, 8, 0, 500)},
      {"59.999", 6, 7, 59.999f, test::Time(2024, 3, 5, 6, 7, 59, 999)},
      {"23:59:60.0", 23, 59, 60.0f, test::Time(2024, 3, 6, 0, 0, 0)},
      {"hour 24", 24, 0, 0.0f, test::Time(2024, 3, 6, 0, 0, 0)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PEPP p;
    ByteReadError error;
    ASSERT_TRUE(DecodePEPP(PeppBuilder().Short(25, row.hour).Short(27, row.minute).Float(29, row.seconds)
                               .Float(33, 1.5f).Samples({1, 2}).Bytes(),
                           p, error))
        << error.Text();
    KSAC k(p);
    FileTime ticks = 0, expected = 0;
    ASSERT_TRUE(k.GetReferenceFileTime(ticks)) << "no valid reference time";
    ASSERT_TRUE(SystemTimeToFileTime(row.reference, expected));
    EXPECT_EQ(ticks, expected);
    EXPECT_EQ(k.GetFloatHeader(KSAC::B), 1.5f);
  }
}

TEST(PEPPToKSAC, HostileSecondsStayDefined) {
  PEPP p;
  p.SetFloat(PEPP::SAMPLING_RATE, 100.0f);
  p.SetData(nullptr, 0);
  p.SetFloat(PEPP::SECOND, std::numeric_limits<float>::quiet_NaN());
  KSAC nan(p);
  EXPECT_EQ(nan.GetIntHeader(KSAC::NZSEC), KSAC::UNDEFINED_INT);
  EXPECT_EQ(nan.GetIntHeader(KSAC::NZMSEC), KSAC::UNDEFINED_INT);
  p.SetFloat(PEPP::SECOND, 1e30f);
  KSAC huge(p);
  EXPECT_EQ(huge.GetIntHeader(KSAC::NZSEC), std::numeric_limits<std::int32_t>::max());
}

TEST(PEPPToKSAC, UndefinedEventDepthStaysUndefined) {
  PEPP p;  // event depth UNDEFINED from Init
  p.SetFloat(PEPP::SAMPLING_RATE, 100.0f);
  p.SetData(nullptr, 0);
  EXPECT_EQ(KSAC(p).GetFloatHeader(KSAC::EVDP), kUndef);
  p.SetFloat(PEPP::EVDP_KM, 0.5f);
  EXPECT_EQ(KSAC(p).GetFloatHeader(KSAC::EVDP), 500.0f);
}

TEST(PEPPToKSAC, RecordsTheReaderWouldRefuseAreNotConverted) {
  PEPP fresh;  // npts 641 without samples
  fresh.SetFloat(PEPP::SAMPLING_RATE, 100.0f);
  EXPECT_THROW(KSAC{fresh}, PEPPException);
  PEPP zeroRate;
  zeroRate.SetData(nullptr, 0);
  zeroRate.SetFloat(PEPP::SAMPLING_RATE, 0.0f);
  EXPECT_THROW(KSAC{zeroRate}, PEPPException);
  zeroRate.SetFloat(PEPP::SAMPLING_RATE, 1e-40f);
  EXPECT_THROW(KSAC{zeroRate}, PEPPException);
  // The smallest rate whose interval is still a float converts.
  zeroRate.SetFloat(PEPP::SAMPLING_RATE, 3e-39f);
  EXPECT_TRUE(std::isfinite(KSAC{zeroRate}.GetFloatHeader(KSAC::DELTA)));
}

// ---------------------------------------------------------------- KSAC -> PEPP

std::unique_ptr<KSAC> MakeRecord() {
  auto values = std::make_unique<float[]>(4);
  for (int i = 0; i < 4; ++i) values[i] = static_cast<float>(i) - 1.5f;
  SYSTEMTIME start;
  start.wYear = 2000;
  start.wMonth = 2;
  start.wDay = 29;
  start.wHour = 13;
  start.wMinute = 14;
  start.wSecond = 15;
  start.wMilliseconds = 950;
  auto k = std::make_unique<KSAC>(4, std::move(values), 35.5f, -120.25f, 123.9f, 0.01f, "LONGSTATION",
                                  "BHZ", start);
  k->SetFloatHeader(KSAC::EVLA, 36.0f);
  k->SetFloatHeader(KSAC::EVLO, -121.0f);
  k->SetFloatHeader(KSAC::EVDP, 12500.0f);
  k->SetFloatHeader(KSAC::AZ, 10.0f);
  k->SetFloatHeader(KSAC::BAZ, 190.0f);
  k->SetFloatHeader(KSAC::GCARC, 1.5f);
  k->SetFloatHeader(KSAC::DIST, 166.0f);
  for (int i = 0; i < 5; ++i) k->SetFloatHeader(KSAC::USER0 + i, 100.0f + i);
  return k;
}

TEST(KSACToPEPP, EveryFieldLandsAtItsOffset) {
  const auto k = MakeRecord();
  PEPP p(*k);
  EXPECT_EQ(p.fileName, "untitled");
  EXPECT_EQ(p.Npts(), 4);
  EXPECT_EQ(p.samples, (std::vector<float>{-1.5f, -0.5f, 0.5f, 1.5f}));
  EXPECT_EQ(p.GetShort(0), 3737);
  EXPECT_EQ(p.GetShort(17), 2000);
  EXPECT_EQ(p.GetShort(19), 2) << "month from day 60 of a leap year";
  EXPECT_EQ(p.GetShort(21), 29);
  EXPECT_EQ(p.GetShort(23), 60);
  EXPECT_EQ(p.GetShort(25), 13);
  EXPECT_EQ(p.GetShort(27), 14);
  EXPECT_EQ(p.GetFloat(29), static_cast<float>(15 + 0.001 * 950));
  EXPECT_EQ(p.GetFloat(33), 0.0f);
  EXPECT_EQ(p.GetFloat(37), 0.01f * 3);
  EXPECT_EQ(p.GetFloat(41), static_cast<float>(1.0 / 0.01f));
  EXPECT_EQ(p.GetFloat(51), -1.5f);
  EXPECT_EQ(p.GetFloat(55), 1.5f);
  EXPECT_EQ(p.GetFloat(59), 0.0f);
  EXPECT_EQ(p.GetFloat(84), 35.5f);
  EXPECT_EQ(p.GetFloat(88), -120.25f);
  EXPECT_EQ(p.GetShort(92), 123) << "elevation truncated";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.header.data() + 94), 8), "LONGSTAT");
  EXPECT_EQ(p.header[74], 'B');
  EXPECT_EQ(p.GetFloat(200), 36.0f);
  EXPECT_EQ(p.GetFloat(204), -121.0f);
  EXPECT_EQ(p.GetFloat(208), 12.5f) << "metres to kilometres";
  EXPECT_EQ(p.GetFloat(242), 10.0f);
  EXPECT_EQ(p.GetFloat(246), 190.0f);
  EXPECT_EQ(p.GetFloat(234), 1.5f);
  EXPECT_EQ(p.GetFloat(238), 166.0f);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(p.GetFloat(212 + 4 * i), 100.0f + i) << i;
  EXPECT_EQ(p.GetText(79, 5), "TRIG") << "Init values stay";
}

TEST(KSACToPEPP, ElevationIsTruncatedTowardZeroAndKeptInSixteenBits) {
  const struct {
    float stel;
    std::int16_t expected;
  } kCases[] = {{123.9f, 123}, {-5.7f, -5}, {0.4f, 0}, {40000.0f, 32767}, {-40000.0f, -32768}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.stel);
    auto k = MakeRecord();
    k->SetFloatHeader(KSAC::STEL, c.stel);
    EXPECT_EQ(PEPP(*k).GetShort(92), c.expected);
  }
}

TEST(KSACToPEPP, UndefinedEventDepthStaysUndefined) {
  auto k = MakeRecord();
  k->SetFloatHeader(KSAC::EVDP, kUndef);
  EXPECT_EQ(PEPP(*k).GetFloat(208), kUndef);
}

// ---------------------------------------------------------------- writing

TEST(PEPPWrite, AFileReadsBackToTheSameHeaderAndSamples) {
  ScopedTempDir dir;
  const auto original = PeppBuilder().Samples({0.25f, -7.0f, 1e6f}).Float(220, 3.0f).Byte(66, 0x77).Text(341, 30, "note");
  original.WriteTo(dir / "in.set");
  PEPP p((dir / "in.set").string());
  ASSERT_EQ(p.WritePEPP((dir / "out.set").string().c_str()), 0);
  EXPECT_EQ(FileBytes(dir / "out.set"), original.Bytes()) << "byte for byte, uninterpreted bytes carried";
  PEPP back((dir / "out.set").string());
  EXPECT_EQ(back.header, p.header);
  EXPECT_EQ(back.samples, p.samples);
}

TEST(PEPPWrite, APrefixedFileIsWrittenWithoutItsPrefix) {
  ScopedTempDir dir;
  const auto b = PeppBuilder().Samples({5});
  auto prefixed = b;
  prefixed.Prefix(Filler(36)).WriteTo(dir / "in.set");
  PEPP p((dir / "in.set").string());
  ASSERT_EQ(p.WritePEPP((dir / "out.set").string().c_str()), 0);
  EXPECT_EQ(FileBytes(dir / "out.set"), b.Bytes());
}

TEST(PEPPWrite, KSACThroughPEPPFileAndBackKeepsTheFields) {
  ScopedTempDir dir;
  const auto k = MakeRecord();
  PEPP out(*k);
  ASSERT_EQ(out.WritePEPP((dir / "k.set").string().c_str()), 0);
  KSAC back(PEPP((dir / "k.set").string()));
  for (int index : std::initializer_list<int>{KSAC::DELTA, KSAC::STLA, KSAC::STLO, KSAC::EVLA, KSAC::EVLO, KSAC::EVDP, KSAC::AZ,
                    KSAC::BAZ, KSAC::GCARC, KSAC::DIST, 40, 41, 42, 43, 44}) {
    SCOPED_TRACE(index);
    EXPECT_FLOAT_EQ(back.GetFloatHeader(index), k->GetFloatHeader(index));
  }
  EXPECT_EQ(back.GetFloatHeader(KSAC::STEL), 123.0f);
  for (int index : std::initializer_list<int>{KSAC::NZYEAR, KSAC::NZJDAY, KSAC::NZHOUR, KSAC::NZMIN, KSAC::NZSEC, KSAC::NZMSEC}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(back.GetIntHeader(index), k->GetIntHeader(index));
  }
  EXPECT_STREQ(back.GetCharHeader(KSAC::KSTNM), "LONGSTAT");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(back.samples[i], k->samples[i]);
}

TEST(PEPPWrite, UndefinedCountIsReportedAndNoFileIsMade) {
  ScopedTempDir dir;
  PEPP p;
  p.SetData(std::vector<float>{1, 2}.data(), 2);
  p.SetInt(PEPP::NPTS, -12345);
  const fs::path path = dir / "none.set";
  testing::internal::CaptureStdout();
  EXPECT_NE(p.WritePEPP(path.string().c_str()), 0);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(report.find(" ***  In module PEPP::WritePEPP"), std::string::npos) << report;
  EXPECT_NE(report.find("    Message 2001 : "), std::string::npos) << report;
  EXPECT_FALSE(fs::exists(path));
}

TEST(PEPPWrite, CountThatDisagreesWithTheSamplesIsRefused) {
  ScopedTempDir dir;
  PEPP fresh;  // npts 641, no samples: writing would read past the samples
  testing::internal::CaptureStdout();
  EXPECT_EQ(fresh.WritePEPP((dir / "a.set").string().c_str()), 1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("2001"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "a.set"));
}

TEST(PEPPWrite, AFileThatCannotBeWrittenIsReportedAndNothingIsLeftBehind) {
  ScopedTempDir dir;
  PEPP p;
  p.SetFloat(PEPP::SAMPLING_RATE, 10.0f);
  p.SetData(std::vector<float>{1}.data(), 1);
  fs::create_directory(dir / "taken.set");  // a directory where the file should go
  const std::string cases[] = {(dir / "taken.set").string(), (dir / "no" / "such" / "dir.set").string()};
  for (const std::string& path : cases) {
    SCOPED_TRACE(path);
    testing::internal::CaptureStdout();
    EXPECT_EQ(p.WritePEPP(path.c_str()), 2);
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_NE(report.find("In module PEPP::WritePEPP"), std::string::npos) << report;
    EXPECT_NE(report.find("Message 2002 : "), std::string::npos) << report;
  }
  EXPECT_TRUE(fs::is_directory(dir / "taken.set"));
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1) << "no temporary file left beside it";
}

TEST(PEPPWrite, AnExistingFileIsReplacedWhole) {
  ScopedTempDir dir;
  const fs::path path = dir / "x.set";
  std::ofstream(path) << std::string(10000, 'o');
  PEPP p;
  p.SetFloat(PEPP::SAMPLING_RATE, 10.0f);
  p.SetData(std::vector<float>{1, 2}.data(), 2);
  ASSERT_EQ(p.WritePEPP(path.string().c_str()), 0);
  EXPECT_EQ(fs::file_size(path), 641u + 8 + 4);
}

TEST(PEPPSetData, CopiesTheValuesAndSetsTheCount) {
  PEPP p;
  std::vector<float> values{3, 1, 4, 1, 5};
  p.SetData(values.data(), 5);
  values[0] = 99;
  EXPECT_EQ(p.samples, (std::vector<float>{3, 1, 4, 1, 5}));
  EXPECT_EQ(p.Npts(), 5);
  p.SetData(values.data(), -3);
  EXPECT_TRUE(p.samples.empty());
  EXPECT_EQ(p.Npts(), 0);
}

}  // namespace
}  // namespace orvane
