#pragma once
// The byte-level pieces of the test file builders (SacBuilder, PeppBuilder,
// PsnBuilder): integers in either byte order, fixed-width text fields, and
// writing the bytes to a file, whole or cut short.
//
//   unsigned char word[4];
//   PutBytes(word, 0x01020304, 4, ByteOrder::kBig);  // 01 02 03 04

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

namespace orvane::test {

enum class ByteOrder { kLittle, kBig };

/// Puts the low @p width bytes (1 to 4) of @p value at @p p in @p order.
inline void PutBytes(unsigned char* p, std::uint32_t value, int width, ByteOrder order = ByteOrder::kLittle) {
  for (int i = 0; i < width; ++i) {
    const int shift = order == ByteOrder::kLittle ? 8 * i : 8 * (width - 1 - i);
    p[i] = static_cast<unsigned char>(value >> shift);
  }
}

/// A text field of @p width bytes at @p p: @p text, NUL-padded or cut.
inline void PutText(unsigned char* p, std::size_t width, std::string_view text) {
  std::memset(p, 0, width);
  std::memcpy(p, text.data(), std::min(width, text.size()));
}

/// Writes @p bytes, or their first @p limit bytes, to @p path (a cut-short
/// file for the truncation tests).
inline void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes,
                       std::size_t limit = SIZE_MAX) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(std::min(limit, bytes.size())));
}

}  // namespace orvane::test
