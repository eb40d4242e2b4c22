// Reading map data files: records, skipped and cut records, chunked streams.
#include "map/MapFile.h"

#include "map/MapBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdint>
#include <vector>

namespace orvane {
namespace {

using test::MapBytes;

struct Read {
  std::vector<std::int16_t> codes;
  std::vector<std::vector<MapPoint>> points;
  std::size_t skipped = 0;
  bool truncated = false;
};

Read ReadAll(MapFile& file) {
  Read r;
  MapRecord record;
  while (file.Next(record)) {
    r.codes.push_back(record.featureCode);
    r.points.emplace_back(record.points.begin(), record.points.end());
  }
  r.skipped = file.SkippedRecords();
  r.truncated = file.Truncated();
  EXPECT_FALSE(file.Next(record)) << "the end stays the end";
  return r;
}

Read ReadBytes(const std::vector<unsigned char>& bytes) {
  MapFile file{std::span<const unsigned char>(bytes)};
  return ReadAll(file);
}

// The same bytes through a stream, which the reader takes in chunks.
Read ReadStream(const std::vector<unsigned char>& bytes) {
  std::FILE* f = std::tmpfile();
  EXPECT_NE(f, nullptr);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  MapFile file(f);
  Read r = ReadAll(file);
  std::fclose(f);
  return r;
}

bool SamePoints(const std::vector<MapPoint>& a, const std::vector<MapPoint>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].lonMinutes != b[i].lonMinutes || a[i].latMinutes != b[i].latMinutes) return false;
  return true;
}

TEST(MapFile, RecordsInOrderWithSignedMinutes) {
  const std::vector<MapPoint> coast = {{-10800, -5400}, {0, 0}, {10800, 5400}, {-1, 1}};
  const std::vector<MapPoint> river = {{600, 3000}, {660, 3060}};
  MapBytes b;
  b.Record(1001, coast).Record(3102, river);
  for (const Read& r : {ReadBytes(b.bytes), ReadStream(b.bytes)}) {
    ASSERT_EQ(r.codes.size(), 2u);
    EXPECT_EQ(r.codes[0], 1001);
    EXPECT_EQ(r.codes[1], 3102);
    EXPECT_TRUE(SamePoints(r.points[0], coast));
    EXPECT_TRUE(SamePoints(r.points[1], river));
    EXPECT_EQ(r.skipped, 0u);
    EXPECT_FALSE(r.truncated);
  }
}

TEST(MapFile, BadAndEmptyRecordsArePassedOver) {
  const std::vector<MapPoint> kept = {{1, 2}, {3, 4}};
  struct Case {
    const char* name;
    MapBytes bytes;
    std::size_t skipped;
  };
  std::vector<Case> cases;
  cases.push_back({"no points: a bare header", MapBytes().Header(1001, 0), 1});
  cases.push_back({"negative count: a bare header", MapBytes().Header(1001, -3), 1});
  cases.push_back({"most negative count", MapBytes().Header(1001, -32768), 1});
  cases.push_back({"negative code: skipped with its points", MapBytes().Record(-1001, {{9, 9}, {8, 8}, {7, 7}}), 1});
  cases.push_back({"several in a row", MapBytes().Header(2001, -1).Record(-5, {{1, 1}}).Header(4002, 0), 3});
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.bytes.Record(1002, kept);
    for (const Read& r : {ReadBytes(c.bytes.bytes), ReadStream(c.bytes.bytes)}) {
      ASSERT_EQ(r.codes.size(), 1u);
      EXPECT_EQ(r.codes[0], 1002);
      EXPECT_TRUE(SamePoints(r.points[0], kept));
      EXPECT_EQ(r.skipped, c.skipped);
      EXPECT_FALSE(r.truncated);
    }
  }
}

TEST(MapFile, ARecordCutShortIsDroppedAndReadingEnds) {
  MapBytes whole;
  whole.Record(1001, {{1, 1}, {2, 2}}).Record(1001, {{5, 5}, {6, 6}, {7, 7}});
  // Every cut inside the second record (header or points) keeps only the first.
  const std::size_t firstEnd = 12 + 8;
  for (std::size_t cut = firstEnd + 1; cut < whole.bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    const std::vector<unsigned char> bytes(whole.bytes.begin(), whole.bytes.begin() + cut);
    for (const Read& r : {ReadBytes(bytes), ReadStream(bytes)}) {
      ASSERT_EQ(r.codes.size(), 1u);
      EXPECT_EQ(r.points[0].size(), 2u);
      EXPECT_TRUE(r.truncated);
    }
  }
  EXPECT_FALSE(ReadBytes(std::vector<unsigned char>(whole.bytes.begin(), whole.bytes.begin() + firstEnd)).truncated);
}

TEST(MapFile, HugeCountAtTheEndReadsNothingBeyondTheData) {
  MapBytes b;
  b.Header(1001, 32767).Word(1).Word(2);  // claims 131,068 bytes, holds 4
  const Read r = ReadBytes(b.bytes);
  EXPECT_TRUE(r.codes.empty());
  EXPECT_TRUE(r.truncated);
}

TEST(MapFile, EmptyDataAndNoStream) {
  EXPECT_TRUE(ReadBytes({}).codes.empty());
  EXPECT_FALSE(ReadBytes({}).truncated);
  MapFile none(static_cast<std::FILE*>(nullptr));
  MapRecord record;
  EXPECT_FALSE(none.Next(record));
}

TEST(MapFile, RecordsAcrossChunkBoundariesReadAsFromMemory) {
  // Enough records of varying length that headers and points straddle the
  // reader's chunks at many offsets.
  MapBytes b;
  int code = 1001;
  std::size_t expected = 0;
  while (b.bytes.size() < 3 * MapFile::kChunkBytes + 77) {
    std::vector<MapPoint> points;
    const int n = 1 + (code * 37) % 501;
    for (int i = 0; i < n; ++i)
      points.push_back({static_cast<std::int16_t>((code + i) % 10800), static_cast<std::int16_t>((i * 7) % 5400 - 2700)});
    b.Record(code, points);
    ++expected;
    code = code == 4999 ? 1001 : code + 1;
  }
  const Read memory = ReadBytes(b.bytes);
  const Read stream = ReadStream(b.bytes);
  ASSERT_EQ(memory.codes.size(), expected);
  ASSERT_EQ(stream.codes, memory.codes);
  for (std::size_t i = 0; i < expected; ++i) EXPECT_TRUE(SamePoints(stream.points[i], memory.points[i])) << i;
}

TEST(MapFile, FeatureClassIsThousandsModuloEight) {
  struct Case {
    int code, expected;
  } cases[] = {{0, 0},    {999, 0},  {1001, 1}, {1002, 1}, {2001, 2},  {3002, 3},
               {3100, 3}, {4002, 4}, {7999, 7}, {8000, 0}, {9001, 1}, {32767, 0}};
  for (const Case& c : cases) EXPECT_EQ(FeatureClass(static_cast<std::int16_t>(c.code)), c.expected) << c.code;
}

}  // namespace
}  // namespace orvane
