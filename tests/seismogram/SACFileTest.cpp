#include "seismogram/SACFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <bit>
#include <csignal>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "seismogram/KSAC.h"
#include "support/SacBuilder.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

using test::SacBuilder;
using test::ScopedTempDir;
namespace fs = std::filesystem;

std::vector<unsigned char> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<float> Ramp(int n, float scale = 1.0f) {
  std::vector<float> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = scale * static_cast<float>(i % 1000 - 500);
  return v;
}

// A typical seismogram header: station, component, position, reference time.
SacBuilder Typical(SacBuilder::Order order, float delta, std::vector<float> samples) {
  SacBuilder b(order);
  b.Float(KSAC::DELTA, delta)
      .Float(KSAC::STLA, 48.25f)
      .Float(KSAC::STLO, -11.5f)
      .Float(KSAC::B, 0.0f)
      .Float(KSAC::T0, 12.5f)
      .Int(KSAC::NZYEAR, 2004)
      .Int(KSAC::NZJDAY, 361)
      .Int(KSAC::NZHOUR, 1)
      .Int(KSAC::NZMIN, 2)
      .Int(KSAC::NZSEC, 3)
      .Int(KSAC::NZMSEC, 450)
      .Text(KSAC::KSTNM, "FUR")
      .Text(KSAC::KEVNM, "SUMATRA-ANDAMAN!")
      .Text(KSAC::KCMPNM, "BHZ")
      .Samples(std::move(samples));
  return b;
}

class SACFiles : public testing::Test {
 protected:
  fs::path Write(const SacBuilder& b, const std::string& name = "a.sac", std::size_t limit = SIZE_MAX) {
    fs::path p = dir / name;
    b.WriteTo(p, limit);
    return p;
  }
  ScopedTempDir dir;
};

void ExpectSameRecord(const KSAC& a, const KSAC& b) {
  EXPECT_EQ(std::memcmp(a.header.get(), b.header.get(), KSAC::kHeaderBytes), 0);
  ASSERT_EQ(a.GetIntHeader(KSAC::NPTS), b.GetIntHeader(KSAC::NPTS));
  const auto n = static_cast<std::size_t>(a.GetIntHeader(KSAC::NPTS));
  if (n > 0) {
    EXPECT_EQ(std::memcmp(a.samples.get(), b.samples.get(), 4 * n), 0);
  }
}

TEST_F(SACFiles, BothByteOrdersReadTheSame) {
  for (float delta : {0.05f, 0.1f, 0.025f, 0.01f, 0.02f, 0.5f, 1.0f}) {
    SCOPED_TRACE(delta);
    KSAC little(Write(Typical(SacBuilder::kLittle, delta, Ramp(300, 0.25f)), "le.sac").string());
    KSAC big(Write(Typical(SacBuilder::kBig, delta, Ramp(300, 0.25f)), "be.sac").string());
    ExpectSameRecord(little, big);
    EXPECT_EQ(big.GetFloatHeader(KSAC::DELTA), delta);
    EXPECT_EQ(big.GetIntHeader(KSAC::NPTS), 300);
    EXPECT_EQ(big.samples[299], 0.25f * -201);
    EXPECT_EQ(big.GetPick(0), 12.5f);
    EXPECT_STREQ(big.GetCharHeader(KSAC::KEVNM), "SUMATRA-ANDAMAN!");
    EXPECT_EQ(big.GetIntHeader(KSAC::NZMSEC), 450);
  }
}

TEST_F(SACFiles, BigEndianWithSmallDeltaReadsThroughTheVersion) {
  // delta 0.01 read little-endian is a tiny number, which alone would pass for
  // a little-endian file; nvhdr 6 tells the order.
  KSAC record(Write(Typical(SacBuilder::kBig, 0.01f, Ramp(1000))).string());
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 1000);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DELTA), 0.01f);
  EXPECT_EQ(record.samples[0], -500.0f);
  EXPECT_EQ(record.samples[999], 499.0f);
  EXPECT_EQ(record.GetIntHeader(KSAC::NVHDR), 6);
}

// The rule on delta that decides when nvhdr says nothing: little-endian delta
// beyond +-1000 or not a number means big-endian.
SACByteOrder DeltaRule(const std::vector<unsigned char>& bytes) {
  std::uint32_t w = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
  float delta = std::bit_cast<float>(w);
  return (std::isnan(delta) || delta > 1000.0f || delta < -1000.0f) ? SACByteOrder::kBig
                                                                     : SACByteOrder::kLittle;
}

TEST_F(SACFiles, ByteOrderDecision) {
  struct Row {
    SacBuilder::Order order;
    float delta;
    std::int32_t nvhdr;
    SACByteOrder expected;
  } rows[] = {
      {SacBuilder::kBig, 0.01f, 6, SACByteOrder::kBig},
      {SacBuilder::kBig, 0.01f, 1, SACByteOrder::kBig},
      {SacBuilder::kBig, 0.01f, 20, SACByteOrder::kBig},
      {SacBuilder::kLittle, 5000.0f, 6, SACByteOrder::kLittle},  // the version outranks delta
      {SacBuilder::kBig, 0.01f, -12345, SACByteOrder::kLittle},  // no version: delta decides
      {SacBuilder::kBig, 0.01f, 21, SACByteOrder::kLittle},
      {SacBuilder::kBig, 0.01f, 0, SACByteOrder::kLittle},
      {SacBuilder::kBig, 0.05f, -12345, SACByteOrder::kBig},
      {SacBuilder::kLittle, 0.01f, -12345, SACByteOrder::kLittle},
      {SacBuilder::kLittle, 1000.0f, -12345, SACByteOrder::kLittle},
      {SacBuilder::kLittle, -1000.0f, -12345, SACByteOrder::kLittle},
      {SacBuilder::kLittle, 1000.5f, -12345, SACByteOrder::kBig},
      {SacBuilder::kLittle, -1000.5f, 0, SACByteOrder::kBig},
      {SacBuilder::kLittle, NAN, 0, SACByteOrder::kBig},
      {SacBuilder::kLittle, INFINITY, 0, SACByteOrder::kBig},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << (r.order == SacBuilder::kBig ? "big " : "little ") << r.delta
                                    << " nvhdr " << r.nvhdr);
    auto bytes = SacBuilder(r.order).Float(KSAC::DELTA, r.delta).Int(KSAC::NVHDR, r.nvhdr).Bytes();
    EXPECT_EQ(DetectSACByteOrder(bytes), r.expected);
  }
}

// Every file that the delta rule alone reads in its true order reads the
// same with the version test in front of it, except a file whose nvhdr in its
// own order is a byte-swapped version (6 << 24 and the like): its header bytes
// are those of a file of the other order with a plausible version.
TEST_F(SACFiles, VersionTestKeepsWhatTheDeltaRuleGotRight) {
  const float deltas[] = {0.01f, 0.05f, 0.1f, 0.025f, 1.0f, 999.0f, 1000.0f, 1000.5f, 4e-39f, -3.0f, 1e30f};
  const std::int32_t versions[] = {6, 7, 1, 20, 0, 21, -12345, 100663296, 0x01000000, 0x15000000};
  int checked = 0;
  for (auto order : {SacBuilder::kLittle, SacBuilder::kBig}) {
    for (float delta : deltas) {
      for (std::int32_t nvhdr : versions) {
        auto bytes = SacBuilder(order).Float(KSAC::DELTA, delta).Int(KSAC::NVHDR, nvhdr).Bytes();
        const SACByteOrder truth = order == SacBuilder::kBig ? SACByteOrder::kBig : SACByteOrder::kLittle;
        if (DeltaRule(bytes) != truth) continue;
        SCOPED_TRACE(testing::Message() << order << " " << delta << " " << nvhdr);
        const bool swappedVersion = nvhdr == 100663296 || nvhdr == 0x01000000;
        if (swappedVersion) {
          EXPECT_NE(DetectSACByteOrder(bytes), truth);
        } else {
          ++checked;
          EXPECT_EQ(DetectSACByteOrder(bytes), truth);
        }
      }
    }
  }
  EXPECT_GT(checked, 50);
}

TEST_F(SACFiles, MisreadCountWithoutVersionIsRefused) {
  // Without a plausible nvhdr, a big-endian file with delta 0.01 is taken for
  // little-endian and its npts of 1000 reads as -402456576.
  auto builder = Typical(SacBuilder::kBig, 0.01f, Ramp(1000));
  builder.Int(KSAC::NVHDR, -12345);
  auto bytes = builder.Bytes();
  KSAC record(0, nullptr, 0, 0, 0, 0, "", "", SYSTEMTIME{});
  auto failure = ParseSAC(bytes, record);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->code, SACReadFailure::kBadSampleCount);
  EXPECT_EQ(failure->offset, 316u);
  EXPECT_NE(failure->reason.find("-402456576"), std::string::npos) << failure->reason;
  // The record keeps the header that was read, and no samples.
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), -402456576);
  EXPECT_EQ(record.samples, nullptr);
  EXPECT_EQ(record.ownsLoadedSamples & 1, 0);
  EXPECT_THROW(KSAC(Write(builder).string()), KSACException);
}

TEST_F(SACFiles, DeltaOfExactlyThousandIsNative) {
  auto b = SacBuilder(SacBuilder::kLittle).Int(KSAC::NVHDR, -12345).Float(KSAC::DELTA, 1000.0f).Samples({1, 2});
  KSAC record(Write(b).string());
  EXPECT_EQ(record.GetFloatHeader(KSAC::DELTA), 1000.0f);
  auto swapped = SacBuilder(SacBuilder::kLittle).Int(KSAC::NVHDR, -12345).Float(KSAC::DELTA, 1000.5f).Samples({1, 2});
  EXPECT_THROW(KSAC(Write(swapped, "b.sac").string()), KSACException);
}

TEST_F(SACFiles, SampleCountLimits) {
  KSAC empty(Write(SacBuilder().Float(KSAC::DELTA, 0.1f)).string());
  EXPECT_EQ(empty.GetIntHeader(KSAC::NPTS), 0);
  EXPECT_EQ(empty.GetFloatHeader(KSAC::DEPMIN), 1.0e20f);
  EXPECT_EQ(empty.GetFloatHeader(KSAC::DEPMAX), -1.0e20f);
  EXPECT_EQ(empty.GetFloatHeader(KSAC::DEPMEN), 0.0f);

  KSAC full(Write(SacBuilder(SacBuilder::kBig).Float(KSAC::DELTA, 0.01f).Samples(Ramp(1'000'000))).string());
  EXPECT_EQ(full.GetIntHeader(KSAC::NPTS), 1'000'000);
  EXPECT_EQ(full.samples[999'999], 499.0f);

  auto tooMany = SacBuilder().Float(KSAC::DELTA, 0.01f).Samples(Ramp(1'000'001));
  EXPECT_THROW(KSAC(Write(tooMany, "b.sac").string()), KSACException);
  EXPECT_THROW(KSAC(Write(SacBuilder().Int(KSAC::NPTS, -1), "c.sac").string()), KSACException);
}

TEST_F(SACFiles, MinMaxMeanComeFromTheSamples) {
  auto b = SacBuilder().Float(KSAC::DELTA, 0.1f).Float(KSAC::DEPMAX, 5).Float(KSAC::DEPMIN, -100)
               .Float(KSAC::DEPMEN, 42).Samples({1, 7, -2, 2});
  KSAC record(Write(b).string());
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMAX), 7.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMIN), -2.0f);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMEN), 2.0f);
}

TEST_F(SACFiles, StatisticsFollowTheSameRulesInBothByteOrders) {
  // The reader turns foreign samples and takes the statistics in one pass;
  // the rules must be those of ComputeMinMaxMean: a NaN is left out.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (auto order : {SacBuilder::kLittle, SacBuilder::kBig}) {
    SCOPED_TRACE(order);
    KSAC record(Write(SacBuilder(order).Float(KSAC::DELTA, 0.5f).Samples({1, nan, 3, -2})).string());
    EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMIN), -2.0f);
    EXPECT_EQ(record.GetFloatHeader(KSAC::DEPMAX), 3.0f);
    EXPECT_FLOAT_EQ(record.GetFloatHeader(KSAC::DEPMEN), 2.0f / 3.0f);
    EXPECT_TRUE(std::isnan(record.samples[1]));
    // Recomputing from the stored samples changes nothing.
    std::vector<unsigned char> before(record.header.get(), record.header.get() + 632);
    record.ComputeMinMaxMean();
    EXPECT_EQ(std::vector<unsigned char>(record.header.get(), record.header.get() + 632), before);
  }
}

TEST_F(SACFiles, RecordStateAfterARead) {
  const std::string path = Write(Typical(SacBuilder::kLittle, 0.05f, {1, 2})).string();
  KSAC record(path);
  EXPECT_EQ(record.origin, 0);
  EXPECT_EQ(record.fileName, path);
  EXPECT_EQ(record.ownsLoadedSamples & 1, 1);
  // ReadSAC on an existing record replaces header and samples and sets origin 0.
  record.origin = 2;
  EXPECT_EQ(record.ReadSAC(Write(Typical(SacBuilder::kBig, 0.1f, {3, 4, 5}), "b.sac").string().c_str()), 0);
  EXPECT_EQ(record.origin, 0);
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 3);
  EXPECT_EQ(record.samples[2], 5.0f);
}

TEST_F(SACFiles, LongPathsAreKeptWhole) {
  fs::path deep = dir.path() / std::string(80, 'd') / std::string(90, 'e');
  fs::create_directories(deep);
  const std::string path = (deep / "station.sac").string();
  Typical(SacBuilder::kLittle, 0.05f, {1}).WriteTo(path);
  KSAC record(path);
  EXPECT_EQ(record.fileName, path);
  EXPECT_GT(record.fileName.size(), 170u);
}

TEST_F(SACFiles, MissingFileThrows) {
  EXPECT_THROW(KSAC((dir / "missing.sac").string()), KSACException);
  EXPECT_THROW(KSAC(dir.path().string()), KSACException);  // a directory
  // The header stays as Init left it.
  KSAC record(0, nullptr, 0, 0, 0, 0, "", "", SYSTEMTIME{});
  record.Init(nullptr, false);
  EXPECT_THROW(record.ReadSAC((dir / "missing.sac").string().c_str()), KSACException);
  EXPECT_EQ(record.GetFloatHeader(KSAC::DELTA), -12345.0f);
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 0);
}

TEST_F(SACFiles, ShortFilesAreRefused) {
  auto b = Typical(SacBuilder::kBig, 0.05f, Ramp(100));
  const std::size_t full = 632 + 400;
  struct Row { std::size_t size; SACReadFailure::Code code; } rows[] = {
      {0, SACReadFailure::kShortHeader},   {3, SACReadFailure::kShortHeader},
      {631, SACReadFailure::kShortHeader}, {632, SACReadFailure::kShortSamples},
      {full - 1, SACReadFailure::kShortSamples}, {full - 4, SACReadFailure::kShortSamples}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.size);
    const fs::path path = Write(b, "short.sac", r.size);
    EXPECT_THROW(KSAC(path.string()), KSACException);
    KSAC record(0, nullptr, 0, 0, 0, 0, "", "", SYSTEMTIME{});
    auto failure = LoadSAC(path.string(), record);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, r.code);
    EXPECT_EQ(failure->offset, r.size);
    EXPECT_EQ(record.samples, nullptr);
    // The in-memory reader says the same.
    auto bytes = ReadBytes(path);
    auto parsed = ParseSAC(bytes, record);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->code, r.code);
    EXPECT_EQ(parsed->offset, r.size);
    EXPECT_EQ(parsed->reason, failure->reason);
  }
  auto failure = LoadSAC(Write(b, "short.sac", full - 1).string(), *std::make_unique<KSAC>(
      0, nullptr, 0.f, 0.f, 0.f, 0.f, "", "", SYSTEMTIME{}));
  EXPECT_EQ(failure->reason, "the file ends at byte 1031, but its 100 samples end at byte 1032");
}

// A pipe cannot seek, so its size cannot be asked for: it is read as it
// comes, with the same checks and the same reasons as the file it carries.
TEST_F(SACFiles, PipeReadsLikeTheFile) {
  const auto full = Typical(SacBuilder::kBig, 0.05f, Ramp(3000)).Bytes();
  const struct {
    const char* name;
    std::vector<unsigned char> bytes;
  } rows[] = {
      {"little-endian", Typical(SacBuilder::kLittle, 0.05f, Ramp(3000)).Bytes()},
      {"big-endian", full},
      {"no samples", Typical(SacBuilder::kBig, 0.05f, {}).Bytes()},
      {"cut inside the samples", std::vector<unsigned char>(full.begin(), full.end() - 6)},
      {"cut inside the header", std::vector<unsigned char>(full.begin(), full.begin() + 300)},
      {"empty", {}},
  };
  // Should the reader stop early, the writer must get an error, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const fs::path file = dir / "file.sac";
    test::WriteBytes(file, row.bytes);
    KSAC fromFile;
    const auto fileFailure = LoadSAC(file.string(), fromFile);

    const fs::path fifo = dir / "pipe";
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { test::WriteBytes(fifo, row.bytes); });
    KSAC fromPipe;
    const auto pipeFailure = LoadSAC(fifo.string(), fromPipe);
    writer.join();

    ASSERT_EQ(pipeFailure.has_value(), fileFailure.has_value());
    if (fileFailure) {
      EXPECT_EQ(pipeFailure->code, fileFailure->code);
      EXPECT_EQ(pipeFailure->reason, fileFailure->reason);
      EXPECT_EQ(pipeFailure->offset, fileFailure->offset);
      EXPECT_EQ(fromPipe.samples, nullptr);
    } else {
      ExpectSameRecord(fromPipe, fromFile);
    }
  }
}

TEST_F(SACFiles, DirectoryIsRefusedAsSuch) {
  KSAC record;
  const auto failure = LoadSAC(dir.path().string(), record);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->code, SACReadFailure::kOpenFailed);
  EXPECT_EQ(failure->reason, "the path is a directory, not a file");
}

TEST_F(SACFiles, BytesAfterTheSamplesAreIgnored) {
  auto b = Typical(SacBuilder::kBig, 0.05f, {1, 2, 3}).Trailing({0xde, 0xad, 0xbe, 0xef, 0x01});
  KSAC record(Write(b).string());
  EXPECT_EQ(record.GetIntHeader(KSAC::NPTS), 3);
  EXPECT_EQ(record.samples[2], 3.0f);
}

TEST_F(SACFiles, SpanLayer) {
  auto bytes = Typical(SacBuilder::kBig, 0.05f, {1.5f, -2.5f}).Bytes();
  unsigned char header[632];
  SACByteOrder order;
  EXPECT_FALSE(DecodeSACHeader(bytes, header, order));
  EXPECT_EQ(order, SACByteOrder::kBig);
  std::int32_t npts;
  std::memcpy(&npts, header + 316, 4);
  EXPECT_EQ(npts, 2);
  EXPECT_EQ(std::memcmp(header + 440, "FUR", 3), 0);

  float out[2] = {};
  std::span<const unsigned char> payload(bytes.data() + 632, 8);
  EXPECT_FALSE(DecodeSACSamples(payload, 2, order, out));
  EXPECT_EQ(out[0], 1.5f);
  EXPECT_EQ(out[1], -2.5f);
  // In place: the payload is the output's own bytes.
  std::memcpy(out, bytes.data() + 632, 8);
  EXPECT_FALSE(DecodeSACSamples(std::span(reinterpret_cast<const unsigned char*>(out), 8), 2, order, out));
  EXPECT_EQ(out[1], -2.5f);

  auto shortPayload = DecodeSACSamples(payload.first(7), 2, order, out);
  ASSERT_TRUE(shortPayload);
  EXPECT_EQ(shortPayload->offset, 639u);
  EXPECT_TRUE(DecodeSACSamples(payload, -1, order, out));
  EXPECT_TRUE(DecodeSACHeader(std::span(bytes).first(631), header, order));
}

TEST(SACSwap, WordsAndRecord) {
  unsigned char w[4] = {1, 2, 3, 4};
  KSAC::Swap4(w);
  EXPECT_EQ(w[0], 4);
  EXPECT_EQ(w[1], 3);
  EXPECT_EQ(w[2], 2);
  EXPECT_EQ(w[3], 1);

  std::unique_ptr<float[]> s(new float[2]{1.0f, 2.0f});
  KSAC record(2, std::move(s), 0, 0, 0, 0.5f, "ABCDEFGH", "Z", SYSTEMTIME{});
  std::vector<unsigned char> before(record.header.get(), record.header.get() + 632);
  record.SwapHeader();
  EXPECT_EQ(record.header[0], before[3]);
  EXPECT_EQ(record.header[439], before[436]);
  EXPECT_EQ(std::memcmp(record.header.get() + 440, before.data() + 440, 192), 0);  // texts untouched
  record.SwapHeader();
  EXPECT_EQ(std::vector<unsigned char>(record.header.get(), record.header.get() + 632), before);
  record.SwapSamples();
  EXPECT_NE(record.samples[0], 1.0f);
  record.SwapSamples();
  EXPECT_EQ(record.samples[0], 1.0f);
  EXPECT_EQ(record.samples[1], 2.0f);
}

// Writing.
class SACWriting : public SACFiles {};

TEST_F(SACWriting, RoundTripIsBigEndian) {
  for (float delta : {0.05f, 0.01f}) {
    SCOPED_TRACE(delta);
    KSAC source(Write(Typical(SacBuilder::kLittle, delta, Ramp(2000, 0.5f))).string());
    std::vector<unsigned char> before(source.header.get(), source.header.get() + 632);
    const fs::path out = dir / "out.sac";
    ASSERT_EQ(source.WriteSAC(out.string().c_str()), 0);
    // The record in memory is unchanged.
    EXPECT_EQ(std::vector<unsigned char>(source.header.get(), source.header.get() + 632), before);
    EXPECT_EQ(source.samples[1], 0.5f * -499);

    auto bytes = ReadBytes(out);
    ASSERT_EQ(bytes.size(), 632u + 4 * 2000);
    const std::uint32_t d = std::bit_cast<std::uint32_t>(delta);
    EXPECT_EQ(bytes[0], d >> 24);
    EXPECT_EQ(bytes[3], d & 0xff);
    EXPECT_EQ(bytes[304 + 3], 6);  // nvhdr, big-endian
    EXPECT_EQ(std::memcmp(bytes.data() + 440, "FUR\0", 4), 0);
    KSAC back(out.string());
    ExpectSameRecord(source, back);
  }
}

// The writer encodes the samples in blocks; a record longer than one block
// must come back whole, the last sample included.
TEST_F(SACWriting, MoreSamplesThanOneBlockComeBackWhole) {
  constexpr int kCount = 20'000;
  std::unique_ptr<float[]> samples(new float[kCount]);
  for (int i = 0; i < kCount; ++i) samples[i] = static_cast<float>(i);
  KSAC record(kCount, std::move(samples), 1, 2, 3, 0.05f, "LONG", "BHZ", SYSTEMTIME{});
  const fs::path out = dir / "long.sac";
  ASSERT_EQ(record.WriteSAC(out.string().c_str()), 0);
  EXPECT_EQ(fs::file_size(out), 632u + 4u * kCount);
  KSAC back(out.string());
  ASSERT_EQ(back.GetIntHeader(KSAC::NPTS), kCount);
  int wrong = 0;
  for (int i = 0; i < kCount; ++i) wrong += back.samples[i] != static_cast<float>(i);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(back.samples[kCount - 1], 19'999.0f);
}

// A file whose version tells nothing (undefined, 0, beyond 20) reads by its
// delta; written big-endian with that version and a small delta, it would be
// taken for little-endian and misread. The writer stores 6 then, and keeps a
// version that tells the order.
TEST_F(SACWriting, VersionThatTellsNothingIsWrittenAsSix) {
  const struct {
    const char* name;
    std::int32_t version;
    std::int32_t written;
  } rows[] = {{"undefined", -12345, 6}, {"zero", 0, 6}, {"negative", -1, 6}, {"beyond 20", 21, 6},
              {"one", 1, 1},           {"seven", 7, 7}, {"twenty", 20, 20}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto b = Typical(SacBuilder::kLittle, 0.01f, Ramp(1000, 0.5f)).Int(KSAC::NVHDR, row.version);
    KSAC source(Write(b).string());
    ASSERT_EQ(source.GetIntHeader(KSAC::NVHDR), row.version);
    const fs::path out = dir / "out.sac";
    ASSERT_EQ(source.WriteSAC(out.string().c_str()), 0);
    EXPECT_EQ(source.GetIntHeader(KSAC::NVHDR), row.version);  // the record keeps its own
    const auto bytes = ReadBytes(out);
    ASSERT_GE(bytes.size(), 632u);
    const auto w = static_cast<std::uint32_t>(row.written);
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 304, bytes.begin() + 308),
              (std::vector<unsigned char>{static_cast<unsigned char>(w >> 24), static_cast<unsigned char>(w >> 16),
                                          static_cast<unsigned char>(w >> 8), static_cast<unsigned char>(w)}));
    KSAC back(out.string());
    EXPECT_EQ(back.GetIntHeader(KSAC::NVHDR), row.written);
    back.SetIntHeader(KSAC::NVHDR, row.version);
    ExpectSameRecord(source, back);
  }
}

TEST_F(SACWriting, ReplacesAnExistingFile) {
  const fs::path out = dir / "out.sac";
  std::ofstream(out) << std::string(5000, 'x');
  KSAC record(1, std::unique_ptr<float[]>(new float[1]{2.0f}), 1, 2, 3, 0.1f, "A", "B", SYSTEMTIME{});
  ASSERT_EQ(record.WriteSAC(out.string().c_str()), 0);
  EXPECT_EQ(fs::file_size(out), 636u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST_F(SACWriting, UndefinedCountIsRefusedWithReport) {
  KSAC record(0, nullptr, 0, 0, 0, 0.1f, "", "", SYSTEMTIME{});
  record.SetIntHeader(KSAC::NPTS, KSAC::UNDEFINED_INT);
  const fs::path out = dir / "out.sac";
  testing::internal::CaptureStdout();
  const int result = record.WriteSAC(out.string().c_str());
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_NE(result, 0);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_NE(report.find("In module KSAC::WriteSAC"), std::string::npos) << report;
  EXPECT_NE(report.find("Message 2001 :"), std::string::npos) << report;
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(SACWriting, UnwritableTargetsAreReportedAndLeaveNothing) {
  KSAC record(2, std::unique_ptr<float[]>(new float[2]{1, 2}), 0, 0, 0, 0.1f, "", "", SYSTEMTIME{});
  const fs::path targets[] = {dir / "no-such-dir" / "out.sac", dir.path(), ""};
  for (const fs::path& target : targets) {
    SCOPED_TRACE(target.string());
    testing::internal::CaptureStdout();
    const int result = record.WriteSAC(target.string().c_str());
    const std::string report = testing::internal::GetCapturedStdout();
    EXPECT_NE(result, 0);
    EXPECT_NE(report.find("Message 2002 :"), std::string::npos) << report;
    EXPECT_TRUE(fs::is_empty(dir.path()));
  }
  auto reason = SaveSAC((dir / "no-such-dir" / "out.sac").string(), record);
  ASSERT_TRUE(reason);
  EXPECT_NE(reason->find("cannot be created"), std::string::npos) << *reason;
}

TEST_F(SACWriting, CountWithoutSamplesIsRefused) {
  KSAC record(0, nullptr, 0, 0, 0, 0.1f, "", "", SYSTEMTIME{});
  record.SetIntHeader(KSAC::NPTS, 10);
  testing::internal::CaptureStdout();
  EXPECT_NE(record.WriteSAC((dir / "out.sac").string().c_str()), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace orvane
