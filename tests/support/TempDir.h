#pragma once
// A scratch directory for a test:
//
//   ScopedTempDir dir;
//   WriteBytes(dir / "a.sac", bytes);

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace orvane::test {

/// A fresh directory under the system's temporary directory, removed with
/// everything in it when the object goes.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    std::random_device random;
    for (;;) {
      path_ = std::filesystem::temp_directory_path() /
              ("orvane-test-" + std::to_string(random()) + "-" + std::to_string(random()));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~ScopedTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace orvane::test
