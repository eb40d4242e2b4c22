#pragma once
// Builds PEPP files (".set") for tests, field by field, little-endian.
//
//   auto bytes = PeppBuilder().Float(41, 50.0f).Samples({1, 2, 3}).Bytes();
//
// A new builder holds a plausible header: magic 3737, version
// "PEPP_HVN_02.40", start 2024-03-05 (day 65) 06:07:08.25, sampling rate 100,
// station "STAT" at (12.5, -45.25, 321 m), component 'Z', no samples. The
// offsets are written out here rather than taken from PEPP, so that a wrong
// offset in the record shows up as a failing test.

#include <bit>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "support/ByteWriter.h"

namespace orvane::test {

class PeppBuilder {
 public:
  static constexpr std::size_t kHeaderBytes = 641;
  static constexpr std::int32_t kEndMarker = 95959595;

  PeppBuilder() : header_(kHeaderBytes, 0) {
    Short(0, 3737);
    Text(2, 15, "PEPP_HVN_02.40");
    Short(17, 2024).Short(19, 3).Short(21, 5).Short(23, 65).Short(25, 6).Short(27, 7);
    Float(29, 8.25f).Float(33, 0.0f).Float(37, 0.0f).Float(41, 100.0f);
    Int(45, 0);
    Text(63, 3, "F4");
    Byte(74, 'Z');
    Text(79, 5, "TRIG");
    Float(84, 12.5f).Float(88, -45.25f).Short(92, 321);
    Text(94, 8, "STAT");
  }

  PeppBuilder& Byte(std::size_t offset, unsigned char value) {
    header_[offset] = value;
    return *this;
  }
  PeppBuilder& Short(std::size_t offset, std::int16_t value) {
    Put(header_.data() + offset, static_cast<std::uint16_t>(value), 2);
    return *this;
  }
  PeppBuilder& Int(std::size_t offset, std::int32_t value) {
    Put(header_.data() + offset, static_cast<std::uint32_t>(value), 4);
    return *this;
  }
  PeppBuilder& Float(std::size_t offset, float value) {
    Put(header_.data() + offset, std::bit_cast<std::uint32_t>(value), 4);
    return *this;
  }
  /// A text field of @p width bytes, NUL-padded or cut.
  PeppBuilder& Text(std::size_t offset, std::size_t width, std::string_view text) {
    PutText(header_.data() + offset, width, text);
    return *this;
  }
  /// The samples; also sets npts (offset 45) to their number unless @p setCount is false.
  PeppBuilder& Samples(std::vector<float> samples, bool setCount = true) {
    samples_ = std::move(samples);
    if (setCount) Int(45, static_cast<std::int32_t>(samples_.size()));
    return *this;
  }
  /// Bytes of any content in front of the header.
  PeppBuilder& Prefix(std::vector<unsigned char> bytes) {
    prefix_ = std::move(bytes);
    return *this;
  }
  /// The 4 bytes after the samples (95959595 unless changed); @p bytes may be
  /// shorter than 4 (a cut marker) or empty (none).
  PeppBuilder& Marker(std::vector<unsigned char> bytes) {
    marker_ = std::move(bytes);
    return *this;
  }
  PeppBuilder& MarkerValue(std::int32_t value) {
    marker_.assign(4, 0);
    Put(marker_.data(), static_cast<std::uint32_t>(value), 4);
    return *this;
  }
  /// Raw bytes after the end marker.
  PeppBuilder& Trailing(std::vector<unsigned char> bytes) {
    trailing_ = std::move(bytes);
    return *this;
  }

  const std::vector<unsigned char>& Header() const { return header_; }

  std::vector<unsigned char> Bytes() const {
    std::vector<unsigned char> out = prefix_;
    out.insert(out.end(), header_.begin(), header_.end());
    for (float s : samples_) {
      unsigned char word[4];
      Put(word, std::bit_cast<std::uint32_t>(s), 4);
      out.insert(out.end(), word, word + 4);
    }
    out.insert(out.end(), marker_.begin(), marker_.end());
    out.insert(out.end(), trailing_.begin(), trailing_.end());
    return out;
  }

  /// Writes Bytes() (or their first @p limit bytes) to @p path.
  void WriteTo(const std::filesystem::path& path, std::size_t limit = SIZE_MAX) const {
    WriteBytes(path, Bytes(), limit);
  }

 private:
  static void Put(unsigned char* p, std::uint32_t value, int width) { PutBytes(p, value, width); }

  std::vector<unsigned char> header_;
  std::vector<unsigned char> prefix_;
  std::vector<float> samples_;
  std::vector<unsigned char> marker_{0x2B, 0x3A, 0xB8, 0x05};  // 95959595
  std::vector<unsigned char> trailing_;
};

}  // namespace orvane::test
