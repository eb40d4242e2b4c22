#pragma once
// Making a directory the current one for a while:
//
//   ScopedTempDir dir;
//   CurrentDirectoryGuard here(dir.path());  // data files written to dir are found first
//
// and a scratch directory that is the current directory while it lives.

#include <filesystem>
#include <system_error>

#include "support/TempDir.h"

namespace orvane::test {

/// Changes into @p path and back to the previous current directory when it goes.
class CurrentDirectoryGuard {
 public:
  explicit CurrentDirectoryGuard(const std::filesystem::path& path) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~CurrentDirectoryGuard() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
  }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

 private:
  std::filesystem::path previous_;
};

/// A fresh directory that is the current directory while the object lives.
/// The data-file lookup tries the current directory first, so tables and map
/// files written here are the ones the program reads.
class ScratchDirectory {
 public:
  ScratchDirectory() : guard_(dir_.path()) {}
  const std::filesystem::path& path() const { return dir_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

 private:
  ScopedTempDir dir_;  // made first, removed last
  CurrentDirectoryGuard guard_;
};

}  // namespace orvane::test
