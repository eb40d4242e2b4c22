#pragma once
// Every test runs in a world of its own: a fresh HOME, XDG directories and
// working directory, removed when the test ends. Nothing a test does (stored
// settings, a recent-files list, desktop entries) can reach the developer's
// own files, and tests run in parallel cannot see each other's.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "support/TempDir.h"

namespace orvane::test {

class IsolatedEnvironment : public testing::EmptyTestEventListener {
 public:
  /// The variables set for each test, each naming a directory inside its scratch HOME.
  static constexpr const char* kVariables[][2] = {{"XDG_CONFIG_HOME", ".config"},
                                                  {"XDG_DATA_HOME", ".local/share"},
                                                  {"XDG_CACHE_HOME", ".cache"},
                                                  {"XDG_STATE_HOME", ".local/state"}};

  /// Sets the process-wide part (a private runtime directory) and the first
  /// test's world, so that a QApplication made before the first test sees it.
  IsolatedEnvironment() {
    ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    ::chmod(runtime_.path().c_str(), 0700);
    Enter();
  }

  void OnTestStart(const testing::TestInfo&) override {
    if (!home_) Enter();
  }
  void OnTestEnd(const testing::TestInfo&) override { Leave(); }

  /// @brief Removes what is left when the program ends: the world made for a
  /// first test that never ran (the tests were only listed) and the runtime
  /// directory.
  void Cleanup() {
    Leave();
    std::error_code ec;
    std::filesystem::remove_all(runtime_.path(), ec);
  }

 private:
  void Enter() {
    home_ = std::make_unique<ScopedTempDir>();
    ::setenv("HOME", home_->path().c_str(), 1);
    for (const auto& [name, relative] : kVariables) {
      const std::filesystem::path dir = home_->path() / relative;
      std::filesystem::create_directories(dir);
      ::setenv(name, dir.c_str(), 1);
    }
    std::filesystem::create_directories(home_->path() / "work");
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(home_->path() / "work");
  }
  void Leave() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    home_.reset();
  }

  ScopedTempDir runtime_;
  std::unique_ptr<ScopedTempDir> home_;
  std::filesystem::path previous_;
};

/// @brief Puts every test of this program in a world of its own (call after
/// InitGoogleTest, before RUN_ALL_TESTS).
inline void IsolateEveryTest() {
  // gtest keeps its listeners to the end of the process without deleting them.
  static IsolatedEnvironment* const environment = new IsolatedEnvironment;
  testing::UnitTest::GetInstance()->listeners().Append(environment);
  std::atexit([] { environment->Cleanup(); });
}

}  // namespace orvane::test
