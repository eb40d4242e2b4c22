#pragma once
// Builds binary SAC files for tests, field by field, in either byte order.
//
//   auto bytes = SacBuilder(SacBuilder::kBig).Float(0, 0.01f).Samples({1, 2, 3}).Bytes();
//
// A new builder holds the header of a fresh record: every float -12345.0, every
// integer -12345 except the record's defaults (npts 0, nvhdr 6, iftype 1,
// idep 7, iztype 10, ievtyp 5, iqual 45, leven 1, lpspol 0, lovrok 1) and every
// text "-12345". The offsets are written out here rather than taken from KSAC,
// so that a wrong offset in the record shows up as a failing test.

#include <bit>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "support/ByteWriter.h"

namespace orvane::test {

class SacBuilder {
 public:
  enum Order { kLittle, kBig };

  static constexpr std::size_t kHeaderBytes = 632;

  explicit SacBuilder(Order order = kLittle) : order_(order), header_(kHeaderBytes, 0) {
    for (int i = 0; i < 70; ++i) Float(i, -12345.0f);
    for (int i = 0; i < 40; ++i) Int(i, -12345);
    for (int i = 0; i < 23; ++i) Text(i, "-12345");
    const std::pair<int, std::int32_t> defaults[] = {{9, 0},   {6, 6},   {15, 1},  {16, 7}, {17, 10},
                                                     {22, 5},  {23, 45}, {35, 1},  {36, 0}, {37, 1}};
    for (auto [index, value] : defaults) Int(index, value);
  }

  /// Float header word @p index (0-69), at byte 4 * index.
  SacBuilder& Float(int index, float value) {
    PutWord(4 * static_cast<std::size_t>(index), std::bit_cast<std::uint32_t>(value));
    return *this;
  }
  /// Integer header word @p index (0-39), at byte 280 + 4 * index.
  SacBuilder& Int(int index, std::int32_t value) {
    PutWord(280 + 4 * static_cast<std::size_t>(index), static_cast<std::uint32_t>(value));
    return *this;
  }
  /// Text field @p index (0-22), NUL-padded or cut to its width (16 for index 1, else 8).
  SacBuilder& Text(int index, std::string_view text) {
    const std::size_t offset = index == 0 ? 440 : index == 1 ? 448 : 464 + 8 * static_cast<std::size_t>(index - 2);
    const std::size_t width = index == 1 ? 16 : 8;
    PutText(header_.data() + offset, width, text);
    return *this;
  }
  /// The samples; also sets npts to their number unless @p setCount is false.
  SacBuilder& Samples(std::vector<float> samples, bool setCount = true) {
    samples_ = std::move(samples);
    if (setCount) Int(9, static_cast<std::int32_t>(samples_.size()));
    return *this;
  }
  /// Raw bytes appended after the samples.
  SacBuilder& Trailing(std::vector<unsigned char> bytes) {
    trailing_ = std::move(bytes);
    return *this;
  }

  std::vector<unsigned char> Bytes() const {
    std::vector<unsigned char> out = header_;
    for (float s : samples_) {
      unsigned char word[4];
      Encode(std::bit_cast<std::uint32_t>(s), word);
      out.insert(out.end(), word, word + 4);
    }
    out.insert(out.end(), trailing_.begin(), trailing_.end());
    return out;
  }

  /// Writes Bytes() (or their first @p limit bytes) to @p path.
  void WriteTo(const std::filesystem::path& path, std::size_t limit = SIZE_MAX) const {
    WriteBytes(path, Bytes(), limit);
  }

 private:
  void Encode(std::uint32_t w, unsigned char* p) const {
    PutBytes(p, w, 4, order_ == kLittle ? ByteOrder::kLittle : ByteOrder::kBig);
  }
  void PutWord(std::size_t offset, std::uint32_t w) { Encode(w, header_.data() + offset); }

  Order order_;
  std::vector<unsigned char> header_;
  std::vector<float> samples_;
  std::vector<unsigned char> trailing_;
};

}  // namespace orvane::test
