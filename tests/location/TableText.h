#pragma once
// Hand-made travel-time tables for the tests, in the fixed columns of the
// table files, and a scratch directory to put them in.

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

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

/// A fresh directory that is the current directory while the object lives.
/// The data-file lookup tries the current directory first, so tables written
/// here are the ones a trial reads.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    char pattern[] = "/tmp/orvane-test-XXXXXX";
    path_ = ::mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~ScratchDirectory() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

}  // namespace orvane::test
