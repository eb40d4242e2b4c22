// Checks of the committed map files (data/COAST.S1 ... data/RIVER.S4), made
// by tools/mapgen from GSHHG. The painter trusts none of this, but a file that
// breaks these rules shows as missing coastlines or lines across the globe, so
// a regenerated set must keep them. The files are read with a small parser of
// their own here, independent of the painter's reader.

#include "platform/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct Point {
  int lon;  // minutes of arc, east positive
  int lat;  // minutes of arc, north positive
};

struct Record {
  int code;
  std::vector<Point> points;
};

// What a map file holds, or why it is not a sound one.
struct MapFile {
  std::vector<Record> records;
  std::string error;  // empty when the file is sound
};

int16_t Word(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int16_t>(b[at] | (b[at + 1] << 8));
}

// Parses and checks a whole file. The first fault found is reported.
MapFile Check(const std::vector<uint8_t>& bytes) {
  MapFile f;
  auto fail = [&f](const std::string& why) {
    f.error = "record " + std::to_string(f.records.size()) + ": " + why;
    return f;
  };
  size_t at = 0;
  while (at < bytes.size()) {
    if (bytes.size() - at < 12) return fail("partial header at the end");
    Record r{Word(bytes, at), {}};
    const int count = Word(bytes, at + 2);  // at most 32767 by its type
    for (int k = 0; k < 4; ++k)
      if (Word(bytes, at + 4 + 2 * k) != 0) return fail("reserved word not zero");
    if (count < 2) return fail("fewer than 2 points");
    at += 12;
    if ((bytes.size() - at) / 4 < static_cast<size_t>(count)) return fail("points cut off");
    for (int i = 0; i < count; ++i, at += 4) {
      const Point p{Word(bytes, at), Word(bytes, at + 2)};
      if (p.lon < -10800 || p.lon > 10800 || p.lat < -5400 || p.lat > 5400) return fail("point out of range");
      if (!r.points.empty()) {
        const Point& q = r.points.back();
        if (q.lon == p.lon && q.lat == p.lat) return fail("repeated point");
        if (std::abs(q.lon - p.lon) > 10800) return fail("step across the globe");
      }
      r.points.push_back(p);
    }
    f.records.push_back(std::move(r));
  }
  return f;
}

// A tiny writer of records, field by field, for the checks of the checker.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& W(int v) {
    b.push_back(static_cast<uint8_t>(v & 0xff));
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
    return *this;
  }
  Bytes& Rec(int code, std::vector<Point> pts) {
    W(code).W(static_cast<int>(pts.size())).W(0).W(0).W(0).W(0);
    for (auto p : pts) W(p.lon).W(p.lat);
    return *this;
  }
};

TEST(MapDataChecker, AcceptsSoundRecordsAndNamesEachFault) {
  const std::vector<Point> line{{0, 0}, {60, 60}, {10800, 5400}};
  EXPECT_EQ(Check(Bytes().Rec(1001, line).Rec(3002, line).b).error, "");
  EXPECT_EQ(Check(Bytes().Rec(1001, line).Rec(3002, line).b).records.size(), 2u);

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;
  } cases[] = {
      {"trailing bytes", [&] { auto b = Bytes().Rec(1001, line).b; b.resize(b.size() + 5); return b; }(),
       "record 1: partial header at the end"},
      {"points cut off", [&] { auto b = Bytes().Rec(1001, line).b; b.pop_back(); return b; }(),
       "record 0: points cut off"},
      {"one point", Bytes().Rec(1001, {{0, 0}}).b, "record 0: fewer than 2 points"},
      {"negative count", Bytes().W(1001).W(-3).W(0).W(0).W(0).W(0).b, "record 0: fewer than 2 points"},
      {"reserved word", Bytes().W(1001).W(2).W(0).W(7).W(0).W(0).W(0).W(0).W(1).W(1).b,
       "record 0: reserved word not zero"},
      {"latitude", Bytes().Rec(1001, {{0, 0}, {0, 5401}}).b, "record 0: point out of range"},
      {"longitude", Bytes().Rec(1001, {{-10801, 0}, {0, 0}}).b, "record 0: point out of range"},
      {"repeat", Bytes().Rec(1001, {{5, 5}, {5, 5}}).b, "record 0: repeated point"},
      {"wrap", Bytes().Rec(1001, {{10794, 0}, {-10794, 0}}).b, "record 0: step across the globe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Check(c.bytes).error, c.error);
  }
}

const char* const kFeatures[] = {"COAST", "ISLAND", "STATE", "COUNTRY", "LAKE", "RIVER"};
const char* const kLevels[] = {".S1", ".S2", ".S3", ".S4"};  // most detailed first

std::set<int> CodesOf(const std::string& feature) {
  if (feature == "COAST") return {1001};
  if (feature == "ISLAND") return {1002, 1003};
  if (feature == "STATE") return {4002};
  if (feature == "COUNTRY") return {2001};
  if (feature == "LAKE") return {3002, 3004};
  std::set<int> rivers;  // 3100 + GSHHG river class 0..13
  for (int c = 0; c <= 13; ++c) rivers.insert(3100 + c);
  return rivers;
}

// The code every level of a feature has: land, islands, lakes, the major rivers.
int MainCodeOf(const std::string& feature) {
  if (feature == "RIVER") return 3101;
  if (feature == "LAKE") return 3002;
  if (feature == "ISLAND") return 1002;
  return *CodesOf(feature).begin();
}

std::vector<uint8_t> ReadDataFile(const std::string& name) {
  const std::string path = orvane::FindDataFile(name);
  if (path.empty()) return {};
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MapDataFile : public ::testing::TestWithParam<std::string> {};

TEST_P(MapDataFile, FollowsTheFormatAndTheConversionRules) {
  const std::string name = GetParam();
  const std::string feature = name.substr(0, name.find('.'));
  const auto bytes = ReadDataFile(name);
  ASSERT_FALSE(bytes.empty()) << name << " missing or empty (ORVANE_DATA should name data/)";

  const MapFile f = Check(bytes);
  ASSERT_EQ(f.error, "") << name;
  const std::set<int> codes = CodesOf(feature);
  std::set<int> seen;
  for (const auto& r : f.records) {
    ASSERT_TRUE(codes.count(r.code)) << name << ": code " << r.code;
    EXPECT_NE((r.code / 1000) % 8, 0) << name << ": class 0 would draw black";
    seen.insert(r.code);
  }
  EXPECT_TRUE(seen.count(MainCodeOf(feature))) << name;
}

std::vector<std::string> AllFiles() {
  std::vector<std::string> names;
  for (auto f : kFeatures)
    for (auto l : kLevels) names.push_back(std::string(f) + l);
  return names;
}

INSTANTIATE_TEST_SUITE_P(All, MapDataFile, ::testing::ValuesIn(AllFiles()), [](const auto& info) {
  std::string n = info.param;
  std::replace(n.begin(), n.end(), '.', '_');
  return n;
});

TEST(MapDataLevels, DetailGrowsFromS4ToS1) {
  for (auto feature : kFeatures) {
    SCOPED_TRACE(feature);
    size_t finer = SIZE_MAX;
    for (auto level : kLevels) {
      const size_t size = ReadDataFile(std::string(feature) + level).size();
      EXPECT_GT(size, 0u) << level;
      EXPECT_LT(size, finer) << level << " is not coarser than the level before it";
      finer = size;
    }
  }
}

// Whether some point (not merely a line) of the file lies within a degree of
// (lon, lat).
bool PassesNear(const MapFile& f, double lon, double lat) {
  for (const auto& r : f.records)
    for (const auto& p : r.points)
      if (std::abs(p.lon - lon * 60) <= 60 && std::abs(p.lat - lat * 60) <= 60) return true;
  return false;
}

TEST(MapDataPlaces, CoastlinesAndBordersLieWhereTheyBelong) {
  // Longitude first, latitude second, east and north positive: a file with
  // the two swapped or a sign lost fails these at every level.
  struct Place {
    const char* feature;
    const char* name;
    double lon, lat;
    bool present;
  } places[] = {
      {"COAST", "Cape of Good Hope", 18.47, -34.36, true},
      {"COAST", "Cabo da Roca", -9.50, 38.78, true},
      {"COAST", "Iceland", -22.0, 64.1, true},
      {"ISLAND", "Mallorca", 2.9, 39.6, true},  // 3,640 km2: below the COAST limit
      {"COAST", "Mallorca", 2.9, 39.6, false},
      {"COAST", "middle of the Pacific", -150.0, 0.0, false},
      {"ISLAND", "middle of the Pacific", -150.0, 0.0, false},
      {"COUNTRY", "France and Spain at the Atlantic", -1.78, 43.36, true},
      {"COUNTRY", "Congo basin", 20.0, 0.0, false},
      {"STATE", "Kansas and Missouri at Kansas City", -94.6, 39.1, true},
      {"STATE", "New South Wales and Victoria on the Murray", 146.0, -36.0, true},
      {"STATE", "Europe", 10.0, 50.0, false},  // GSHHG has state lines for the Americas and Australia
      {"LAKE", "Lake Victoria", 33.0, -0.3, true},
      {"LAKE", "Lake Ladoga", 31.5, 61.0, true},
      {"RIVER", "Amazon at Manaus", -59.0, -3.2, true},
      {"RIVER", "Rhine at Basel", 7.6, 47.56, true},
  };
  for (auto level : kLevels) {
    for (const auto& p : places) {
      SCOPED_TRACE(std::string(p.feature) + level + ": " + p.name);
      const MapFile f = Check(ReadDataFile(std::string(p.feature) + level));
      ASSERT_EQ(f.error, "");
      EXPECT_EQ(PassesNear(f, p.lon, p.lat), p.present);
    }
  }
}

}  // namespace
