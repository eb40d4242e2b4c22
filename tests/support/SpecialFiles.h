#pragma once
// Files that are not regular files, for tests of what the program does with
// them:
//
//   const fs::path full = FullDevice(dir.path());  // every write: "No space left on device"
//   FifoUnblocker unblock({fifo});                  // a test that would hang fails instead

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace orvane::test {

/// @brief A device that refuses every write for lack of space, as a full
/// disk does: a node of its own in @p dir when the user may make one (a
/// privileged user, for whom a fault under test could otherwise replace the
/// system's /dev/full), else /dev/full itself.
inline std::filesystem::path FullDevice(const std::filesystem::path& dir) {
  const std::filesystem::path node = dir / "full";
  if (::geteuid() == 0 && ::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) return node;
  return "/dev/full";
}

/// While it lives, and after a grace time of @p grace, opens and closes both
/// ends of each of the FIFOs again and again: code blocked in opening one
/// (reading waits for a writer, writing for a reader) goes on, so that a test
/// of code that must never wait on a FIFO fails instead of hanging.
class FifoUnblocker {
 public:
  explicit FifoUnblocker(std::vector<std::filesystem::path> fifos,
                         std::chrono::milliseconds grace = std::chrono::seconds(10))
      : thread_([this, fifos = std::move(fifos), grace] {
          const auto start = std::chrono::steady_clock::now();
          while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (std::chrono::steady_clock::now() - start < grace) continue;
            for (const auto& fifo : fifos) {
              for (int mode : {O_WRONLY, O_RDONLY}) {
                const int fd = ::open(fifo.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) ::close(fd);
              }
            }
          }
        }) {}
  ~FifoUnblocker() {
    stop_ = true;
    thread_.join();
  }
  FifoUnblocker(const FifoUnblocker&) = delete;
  FifoUnblocker& operator=(const FifoUnblocker&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace orvane::test
