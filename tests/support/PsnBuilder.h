#pragma once
// Builds PSN files (".psn") for tests, field by field, little-endian.
//
//   auto bytes = PsnBuilder().Short(16, 11).Samples(std::vector<std::int16_t>(1000, 7)).Bytes();
//
// A new builder holds a plausible version-3 recording: marker 0xFD, start
// 2024-03-05 10:00:00.0, end 10:00:10.0, component 'Z', station (12, 345) and
// (-33, 500), count field 0xFFFF with the count in the prefix, no samples.
// Header offsets are those within the 200-byte header block; the builder adds
// the 7 prefix bytes itself. They are written out here rather than taken from
// PSN, so that a wrong offset in the record shows up as a failing test.

#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "support/ByteWriter.h"

namespace orvane::test {

class PsnBuilder {
 public:
  static constexpr std::size_t kPrefixBytes = 7;
  static constexpr std::size_t kHeaderBytes = 200;

  PsnBuilder() : prefix_(kPrefixBytes, 0), header_(kHeaderBytes, 0) {
    prefix_[0] = 0xFD;
    Short(0, 3).Short(2, 2024).Short(4, 3).Short(6, 5);
    Short(8, 10).Short(10, 0).Short(12, 0).Short(14, 0);
    Short(16, 10).Short(18, 0).Short(20, 10).Short(22, 0);
    CountField(0xFFFF);
    header_[32] = 'Z';
    Short(34, 12).Short(36, 345).Short(38, -33).Short(40, 500);
  }

  /// The marker byte at file offset 0.
  PsnBuilder& Marker(unsigned char value) {
    prefix_[0] = value;
    return *this;
  }
  /// The int32 count at file offset 1.
  PsnBuilder& PrefixCount(std::int32_t count) {
    Put(prefix_.data() + 1, static_cast<std::uint32_t>(count), 4);
    return *this;
  }
  /// The uninterpreted int16 at file offset 5.
  PsnBuilder& PrefixSpare(std::int16_t value) {
    Put(prefix_.data() + 5, static_cast<std::uint16_t>(value), 2);
    return *this;
  }
  /// The unsigned count field at header offset 24 (count + 100, or 0xFFFF).
  PsnBuilder& CountField(std::uint16_t value) {
    Put(header_.data() + 24, value, 2);
    return *this;
  }
  /// A signed 16-bit field at header offset @p offset.
  PsnBuilder& Short(std::size_t offset, std::int16_t value) {
    Put(header_.data() + offset, static_cast<std::uint16_t>(value), 2);
    return *this;
  }
  PsnBuilder& Byte(std::size_t offset, unsigned char value) {
    header_[offset] = value;
    return *this;
  }
  /// The samples; with @p setCount the prefix count is set to their number
  /// (the count field stays as it is).
  PsnBuilder& Samples(std::vector<std::int16_t> samples, bool setCount = true) {
    samples_ = std::move(samples);
    if (setCount) PrefixCount(static_cast<std::int32_t>(samples_.size()));
    return *this;
  }
  PsnBuilder& Trailing(std::vector<unsigned char> bytes) {
    trailing_ = std::move(bytes);
    return *this;
  }

  std::vector<unsigned char> Bytes() const {
    std::vector<unsigned char> out = prefix_;
    out.insert(out.end(), header_.begin(), header_.end());
    for (std::int16_t s : samples_) {
      unsigned char word[2];
      Put(word, static_cast<std::uint16_t>(s), 2);
      out.insert(out.end(), word, word + 2);
    }
    out.insert(out.end(), trailing_.begin(), trailing_.end());
    return out;
  }

  /// Writes Bytes() (or their first @p limit bytes) to @p path.
  void WriteTo(const std::filesystem::path& path, std::size_t limit = SIZE_MAX) const {
    WriteBytes(path, Bytes(), limit);
  }

 private:
  static void Put(unsigned char* p, std::uint32_t value, int width) { PutBytes(p, value, width); }

  std::vector<unsigned char> prefix_;
  std::vector<unsigned char> header_;
  std::vector<std::int16_t> samples_;
  std::vector<unsigned char> trailing_;
};

}  // namespace orvane::test
