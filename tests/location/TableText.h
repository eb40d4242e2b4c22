#pragma once
// Hand-made travel-time tables for the tests, in the fixed columns of the
// table files, and a scratch directory to put them in.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/CurrentDirectory.h"

namespace orvane::test {

/// A table of @p rows rows whose entry (row i, column c) is time(i, c),
/// printed as "%5d" then fourteen "%7.1f" fields.
inline std::string TableText(int rows, const std::function<double(int, int)>& time,
                             const char* lineEnd = "\n") {
  std::string text;
  char field[64];
  for (int i = 0; i < rows; ++i) {
    std::snprintf(field, sizeof field, "%5d", i);
    text += field;
    for (int c = 0; c < 14; ++c) {
      std::snprintf(field, sizeof field, "%7.1f", time(i, c));
      text += field;
    }
    text += lineEnd;
  }
  return text;
}

/// Every column the same: time(i) for row i.
inline std::string TableText(int rows, const std::function<double(int)>& time) {
  return TableText(rows, [&](int i, int) { return time(i); });
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

}  // namespace orvane::test
