#include "seismogram/MiniSEED.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "seismogram/RecordReadouts.h"

namespace orvane {
namespace {

// 2024-02-29T10:11:12.123400 (day 60 of a leap year).
constexpr MicroTime kStart = 1'709'201'472'123'400LL;

std::vector<float> Ramp(int count, float scale = 1.0f) {
  std::vector<float> samples(count);
  for (int i = 0; i < count; ++i) samples[i] = std::round(scale * std::sin(0.05f * i) * (i % 97 + 1));
  return samples;
}

std::vector<unsigned char> Encode(const std::string& station, const std::string& channel, MicroTime start,
                                  double rate, const std::vector<float>& samples, MiniSEEDEncoding encoding = {}) {
  std::vector<unsigned char> out;
  std::string reason;
  EXPECT_TRUE(EncodeMiniSEED("XX", station, "00", channel, start, rate, samples, encoding, out, reason)) << reason;
  return out;
}

std::vector<unsigned char> Joined(std::initializer_list<std::vector<unsigned char>> parts) {
  std::vector<unsigned char> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

MiniSEEDData Read(std::initializer_list<std::vector<unsigned char>> files) {
  MiniSEEDReader reader;
  int n = 0;
  for (const auto& bytes : files) {
    ByteReadError error;
    EXPECT_TRUE(reader.AddBytes(bytes, "file" + std::to_string(n++), error)) << error.Text();
  }
  return reader.Merge();
}

// A 512-byte data record written field by field as the SEED format lays it
// out, in either byte order: station ABC, channel BHZ, network XX, 20 samples
// per second, 16-bit integers, starting at kStart.
std::vector<unsigned char> HandMadeRecord(bool bigEndian, const std::vector<std::int16_t>& samples) {
  std::vector<unsigned char> r(512, 0);
  auto put = [&](std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
      const int shift = 8 * (bigEndian ? size - 1 - i : i);
      r[at + i] = static_cast<unsigned char>(value >> shift);
    }
  };
  const std::string text = "000001D ABC    BHZXX";
  std::copy(text.begin(), text.end(), r.begin());
  put(20, 2024, 2);   // year
  put(22, 60, 2);     // day of the year
  r[24] = 10;         // hour
  r[25] = 11;         // minute
  r[26] = 12;         // second
  put(28, 1234, 2);   // ten-thousandths of a second
  put(30, samples.size(), 2);
  put(32, 20, 2);     // rate factor
  put(34, 1, 2);      // rate multiplier
  r[39] = 1;          // one blockette
  put(44, 64, 2);     // data offset
  put(46, 48, 2);     // first blockette
  put(48, 1000, 2);   // blockette 1000
  r[52] = 1;          // 16-bit integers
  r[53] = bigEndian ? 1 : 0;
  r[54] = 9;          // 2^9 = 512 bytes
  for (std::size_t i = 0; i < samples.size(); ++i) put(64 + 2 * i, static_cast<std::uint16_t>(samples[i]), 2);
  return r;
}

TEST(MiniSEED, HandMadeRecordsOfBothByteOrdersGiveTheRecordTheirHeaderSays) {
  const std::vector<std::int16_t> values = {7, -3, 0, 32767, -32768, 12};
  for (bool bigEndian : {true, false}) {
    SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
    const MiniSEEDData data = Read({HandMadeRecord(bigEndian, values)});
    ASSERT_EQ(data.traces.size(), 1u);
    ASSERT_TRUE(data.refused.empty());
    const MiniSEEDTrace& t = data.traces[0];
    EXPECT_EQ(t.id, "XX.ABC..BHZ");
    EXPECT_EQ(t.start, kStart);
    const KSAC& k = *t.record;
    EXPECT_EQ(k.GetCharHeaderText(KSAC::KSTNM), "ABC");
    EXPECT_EQ(k.GetCharHeaderText(KSAC::KNETWK), "XX");
    EXPECT_EQ(k.GetCharHeaderText(KSAC::KCMPNM), "BHZ");
    EXPECT_EQ(k.GetIntHeader(KSAC::NPTS), 6);
    EXPECT_FLOAT_EQ(k.GetFloatHeader(KSAC::DELTA), 0.05f);
    // Reference time = the first sample to the millisecond, b the rest.
    const SYSTEMTIME ref = k.GetReferenceSystemTime();
    EXPECT_EQ(ref.wYear, 2024);
    EXPECT_EQ(ref.wMonth, 2);
    EXPECT_EQ(ref.wDay, 29);
    EXPECT_EQ(ref.wHour, 10);
    EXPECT_EQ(ref.wMinute, 11);
    EXPECT_EQ(ref.wSecond, 12);
    EXPECT_EQ(ref.wMilliseconds, 123);
    EXPECT_NEAR(FirstSampleSeconds(k), 0.0004f, 1e-9f);
    EXPECT_EQ(k.GetFloatHeader(KSAC::O), KSAC::UNDEFINED_FLOAT);
    EXPECT_EQ(k.GetFloatHeader(KSAC::STLA), KSAC::UNDEFINED_FLOAT);
    for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(k.samples[i], values[i]) << i;
    EXPECT_EQ(k.GetFloatHeader(KSAC::DEPMAX), 32767.0f);
  }
}

TEST(MiniSEED, EveryEncodingByteOrderAndRecordLengthReadsBackTheSamples) {
  const std::vector<float> samples = Ramp(3000, 40.0f);
  for (auto kind : {MiniSEEDEncoding::kSteim1, MiniSEEDEncoding::kSteim2, MiniSEEDEncoding::kInt16,
                    MiniSEEDEncoding::kInt32, MiniSEEDEncoding::kFloat32, MiniSEEDEncoding::kFloat64}) {
    for (bool bigEndian : {true, false}) {
      for (int length : {256, 512, 4096}) {
        SCOPED_TRACE(testing::Message() << "encoding " << kind << (bigEndian ? " big" : " little") << " length "
                                        << length);
        const auto bytes = Encode("STA", "HHZ", kStart, 100.0, samples, {kind, length, bigEndian});
        ASSERT_EQ(bytes.size() % length, 0u);
        const MiniSEEDData data = Read({bytes});
        ASSERT_EQ(data.traces.size(), 1u);
        const KSAC& k = *data.traces[0].record;
        ASSERT_EQ(k.GetIntHeader(KSAC::NPTS), 3000);
        EXPECT_FLOAT_EQ(k.GetFloatHeader(KSAC::DELTA), 0.01f);
        EXPECT_TRUE(data.traces[0].notes.empty());
        int wrong = 0;
        for (int i = 0; i < 3000; ++i) wrong += k.samples[i] != samples[i];
        EXPECT_EQ(wrong, 0);
      }
    }
  }
}

TEST(MiniSEED, RecordsOfManyFilesMergeByTimeAndGapsAndOverlapsMoveNoSample) {
  // One channel in four pieces at 10 samples per second, given out of order
  // over two files, with a second channel between them:
  //   A: samples 0-99, B: 100-199, a gap of 50 samples, C: 250-299,
  //   D: 180-219, overlapping B (equal samples) and the gap (filling 200-219),
  //   E: 290-309 overlapping C with different samples.
  const std::vector<float> all = Ramp(400, 10.0f);
  auto piece = [&](int from, int to) { return std::vector<float>(all.begin() + from, all.begin() + to); };
  auto at = [](int sample) { return kStart + MicroTime{sample} * 100'000; };
  std::vector<float> e = piece(290, 310);
  for (float& v : e) v += 1000.0f;
  const MiniSEEDData data = Read({
      Joined({Encode("S1", "BHZ", at(250), 10.0, piece(250, 300)), Encode("S2", "BHZ", kStart, 10.0, Ramp(10)),
              Encode("S1", "BHZ", at(0), 10.0, piece(0, 100))}),
      Joined({Encode("S1", "BHZ", at(290), 10.0, e), Encode("S1", "BHZ", at(100), 10.0, piece(100, 200)),
              Encode("S1", "BHZ", at(180), 10.0, piece(180, 220))}),
  });
  ASSERT_EQ(data.traces.size(), 2u);
  EXPECT_EQ(data.traces[0].id, "XX.S1.00.BHZ");
  EXPECT_EQ(data.traces[1].id, "XX.S2.00.BHZ");
  const KSAC& k = *data.traces[0].record;
  ASSERT_EQ(k.GetIntHeader(KSAC::NPTS), 310);
  EXPECT_EQ(k.fileName, "file0");
  for (int i = 0; i < 310; ++i) {
    SCOPED_TRACE(i);
    if (i >= 220 && i < 250) {
      EXPECT_TRUE(std::isnan(k.samples[i]));
    } else if (i >= 300) {
      EXPECT_EQ(k.samples[i], e[i - 290]);
    } else {
      EXPECT_EQ(k.samples[i], all[i]);  // C's samples kept where E overlaps them
    }
  }
  const std::vector<std::string>& notes = data.traces[0].notes;
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0], "1 gap (3.000 s in all, the first at 2024-02-29T10:11:34.123400) left empty and drawn as a gap");
  EXPECT_EQ(notes[1], "20 samples held twice by overlapping records were taken once");
  EXPECT_EQ(notes[2],
            "10 samples of overlapping records differ from the samples before them (the first at "
            "2024-02-29T10:11:41.123400); the earlier record's samples are kept");
  // The statistics leave the gap out.
  EXPECT_TRUE(std::isfinite(k.GetFloatHeader(KSAC::DEPMEN)));
}

TEST(MiniSEED, ARecordOffTheSampleGridIsPlacedAtTheNearestSampleAndSaidSo) {
  const std::vector<float> samples = Ramp(200);
  // The second half starts 30 ms late at 10 samples per second.
  const MiniSEEDData data = Read({Joined({Encode("S", "BHZ", kStart, 10.0, {samples.begin(), samples.begin() + 100}),
                                          Encode("S", "BHZ", kStart + 10'030'000, 10.0,
                                                 {samples.begin() + 100, samples.end()})})});
  ASSERT_EQ(data.traces.size(), 1u);
  const KSAC& k = *data.traces[0].record;
  ASSERT_EQ(k.GetIntHeader(KSAC::NPTS), 200);
  EXPECT_EQ(k.samples[100], samples[100]);
  ASSERT_EQ(data.traces[0].notes.size(), 1u);
  EXPECT_EQ(data.traces[0].notes[0], "records off the sample grid by up to 0.030 s were placed at the nearest sample");
}

TEST(MiniSEED, AChannelThatCannotBeOneRecordIsRefusedAndTheOthersKept) {
  const MiniSEEDData data = Read({Joined({
      Encode("OK", "BHZ", kStart, 20.0, Ramp(100)),
      Encode("RATE", "BHZ", kStart, 20.0, Ramp(100)),
      Encode("RATE", "BHZ", kStart + 5'000'000, 40.0, Ramp(100)),
      Encode("LONG", "BHZ", kStart, 20.0, Ramp(100)),
      Encode("LONG", "BHZ", kStart + 86'400'000'000LL, 20.0, Ramp(100)),  // a day later
  })});
  ASSERT_EQ(data.traces.size(), 1u);
  EXPECT_EQ(data.traces[0].id, "XX.OK.00.BHZ");
  ASSERT_EQ(data.refused.size(), 2u);
  EXPECT_EQ(data.refused[0].what, "XX.LONG.00.BHZ");
  EXPECT_NE(data.refused[0].reason.find("more than the 1000000 samples a record holds"), std::string::npos)
      << data.refused[0].reason;
  EXPECT_EQ(data.refused[1].what, "XX.RATE.00.BHZ");
  EXPECT_EQ(data.refused[1].reason,
            "its sampling rate changes from 20 to 40 samples per second at 2024-02-29T10:11:17.123400");
}

TEST(MiniSEED, BadBytesAreRefusedWithTheReasonAndWhere) {
  const auto good = Encode("S", "BHZ", kStart, 20.0, Ramp(2000), {MiniSEEDEncoding::kSteim2, 512, true});
  ASSERT_GT(good.size(), 1024u);
  // A record of 64-bit floats whose header claims 65535 samples: the
  // library would read them far past the record's end.
  auto claiming = Encode("S", "BHZ", kStart, 20.0, Ramp(20), {MiniSEEDEncoding::kFloat64, 256, true});
  claiming[30] = claiming[31] = 0xff;
  struct Row {
    const char* what;
    std::vector<unsigned char> bytes;
    std::string reason;
  } rows[] = {
      {"a text file", std::vector<unsigned char>(600, 'x'), "not a miniSEED file: no data record at its start"},
      {"cut inside the third record", std::vector<unsigned char>(good.begin(), good.begin() + 1100),
       "the record is 512 bytes long, but the file ends after 76 (at byte 1024)"},
      {"junk after two records",
       Joined({std::vector<unsigned char>(good.begin(), good.begin() + 1024), std::vector<unsigned char>(512, 0xff)}),
       "not a miniSEED data record (the file may be cut short or hold other data) (at byte 1024)"},
      {"more samples than the record holds", claiming,
       "the record says it holds 65535 samples, more than its 256 bytes can hold (at byte 0)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MiniSEEDReader reader;
    ByteReadError error;
    EXPECT_FALSE(reader.AddBytes(row.bytes, "f", error));
    EXPECT_EQ(error.Text(), row.reason);
    // Nothing of a refused file is kept.
    EXPECT_TRUE(reader.Merge().traces.empty());
  }
}

}  // namespace
}  // namespace orvane
