#pragma once
// MapFile: the line records of one map data file (COAST.S1, RIVER.S4, ...).
//
// The file is a sequence of records up to its end, little-endian, no header:
//   offset  size  type         field
//   0       2     int16        featureCode  (class = (code / 1000) mod 8 picks the pen)
//   2       2     int16        pointCount
//   4       8     4 × int16    reserved, not interpreted
//   12      4·n   n × 2 int16  points: longitude, latitude in minutes of arc
// The points of one record form one open polyline.
//
// The reader hands out the records that can be drawn and passes over the rest:
//  - a record with no points, or a negative pointCount, is a bare 12-byte header
//    and is skipped;
//  - a record with a negative featureCode is skipped with its points;
//  - a record cut short by the end of the data is dropped, and reading ends;
//  - a header cut short by the end of the data ends reading.
// A record never holds more than 32,767 points, so no count can make the
// reader allocate more than 128 KiB.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

namespace orvane {

/// One point of a map record, minutes of arc (east and north positive).
struct MapPoint {
  std::int16_t lonMinutes = 0;
  std::int16_t latMinutes = 0;
};

/// One drawable record; `points` stays valid until the next call of Next.
struct MapRecord {
  std::int16_t featureCode = 0;
  std::span<const MapPoint> points;
};

class MapFile {
 public:
  static constexpr std::size_t kHeaderBytes = 12;
  static constexpr std::size_t kChunkBytes = 64 * 1024;

  /// @brief Reads the records of an open stream in chunks; the stream stays the caller's.
  explicit MapFile(std::FILE* stream);
  /// @brief Reads the records held in @p bytes (kept alive by the caller).
  explicit MapFile(std::span<const unsigned char> bytes);

  /// @brief Moves to the next drawable record.
  /// @return false at the end of the data (or of what could be read of it).
  bool Next(MapRecord& record);

  /// @brief Records passed over so far (no points, negative count or code).
  std::size_t SkippedRecords() const { return skipped_; }
  /// @brief True when the data ended inside a header or a record's points.
  bool Truncated() const { return truncated_; }

 private:
  // Copies up to `count` bytes into `out`; returns how many were available.
  std::size_t Read(unsigned char* out, std::size_t count);
  bool Refill();

  std::FILE* stream_ = nullptr;
  std::span<const unsigned char> bytes_;
  std::vector<unsigned char> chunk_;
  std::size_t position_ = 0;  // into bytes_
  std::vector<unsigned char> raw_;
  std::vector<MapPoint> points_;
  std::size_t skipped_ = 0;
  bool truncated_ = false;
  bool ended_ = false;
};

/// @brief Pen class of a feature code: (code / 1000, truncated) mod 8.
/// @return FeatureClass(1001) = 1, FeatureClass(3100) = 3, FeatureClass(9001) = 1;
///         0..7 for every code >= 0.
int FeatureClass(std::int16_t featureCode);

}  // namespace orvane
