#include "platform/FileWriter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/FileOwner.h"

#if __has_include(<unistd.h>)
#include <sys/stat.h>
#include <unistd.h>
#define ORVANE_FILE_SYNC 1
#endif

namespace orvane {
namespace {

namespace fs = std::filesystem;

// Symbolic links are followed this far; a longer chain is left to the open,
// which then fails.
constexpr int kMostLinks = 40;

// The step the next write fails at (for tests), or -1.
std::atomic<int> failingStep{-1};

// Whether the test seam makes @p step fail now; it does so once, as a full
// disk would.
bool Injected(WriteStep step) {
  int expected = static_cast<int>(step);
  if (!failingStep.compare_exchange_strong(expected, -1)) return false;
  errno = ENOSPC;
  return true;
}

std::string Reason(const std::string& what, int code) { return what + ": " + std::strerror(code); }

// The file @p path names, through any symbolic links: the link's target
// taken relative to the link's own directory.
fs::path FollowLinks(fs::path path) {
  std::error_code ec;
  for (int hop = 0; hop < kMostLinks && fs::is_symlink(fs::symlink_status(path, ec)); ++hop) {
    const fs::path target = fs::read_symlink(path, ec);
    if (ec) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
}

// Puts what was written to @p out on the disk, when it is a file; a FIFO or a
// device has nothing to sync.
bool Sync(std::FILE* out) {
#ifdef ORVANE_FILE_SYNC
  const int fd = ::fileno(out);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) return true;
  return ::fsync(fd) == 0;
#else
  (void)out;
  return true;
#endif
}

// Runs @p write on @p out, flushes, syncs and closes it: false, with the
// reason, when any of these fails.
bool WriteAndClose(std::FILE* out, const std::function<bool(std::FILE*)>& write, std::string& reason) {
  errno = 0;
  bool ok = write(out) && std::ferror(out) == 0 && !Injected(WriteStep::kWrite);
  int code = errno;
  const auto step = [&](bool done) {
    if (ok && !done) {
      ok = false;
      code = errno;
    }
  };
  if (ok) step(std::fflush(out) == 0 && !Injected(WriteStep::kFlush));
  if (ok) step(Sync(out) && !Injected(WriteStep::kSync));
  // Closed in any case; a close that fails may be the first sign of a write
  // that did not reach the disk (a network file system).
  step(std::fclose(out) == 0 && !Injected(WriteStep::kClose));
  if (!ok) reason = Reason("the file could not be written", code != 0 ? code : EIO);
  return ok;
}

// A new file with a short name in @p directory, open for writing; null, with
// errno set, when none can be made there.
std::FILE* CreateTemporary(const fs::path& directory, fs::path& name) {
  if (Injected(WriteStep::kOpen)) return nullptr;
  static std::atomic<unsigned> counter{0};
  const auto stamp = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 8; ++attempt) {
    char leaf[32];
    std::snprintf(leaf, sizeof leaf, ".orvane-%08x.tmp", (stamp ^ (counter++ * 0x9E3779B9u)) & 0xFFFFFFFFu);
    name = directory / leaf;
    // "x": never open a file that already exists (another writer's temporary).
    if (std::FILE* out = std::fopen(name.c_str(), "wbx")) return out;
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

// Whether a file that cannot be replaced through a temporary file is rather
// written in place: when the directory or the old file is not ours to
// change, never when the disk is full (that would cut the old file short).
bool WriteInPlaceInstead(int code) { return code == EACCES || code == EPERM || code == ENAMETOOLONG || code == EBUSY; }

}  // namespace

void FailNextWriteAt(WriteStep step) { failingStep = static_cast<int>(step); }

bool WriteFile(const std::string& path, const std::function<bool(std::FILE*)>& write, std::string* reason) {
  std::string why;
  const auto fail = [&](std::string text) {
    if (reason != nullptr) *reason = std::move(text);
    return false;
  };
  if (path.empty()) return fail("no file name was given");
  const fs::path target = FollowLinks(path);
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (fs::is_directory(status)) return fail(Reason("the path is a directory", EISDIR));

  const bool exists = fs::exists(status);
  const bool regular = fs::is_regular_file(status);
  // A FIFO or a device is written to, never replaced; a file with other
  // names is written in place, so that they all keep showing it.
  bool inPlace = exists && !regular;
  if (regular && fs::hard_link_count(target, ec) > 1) inPlace = true;

  if (!inPlace) {
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::path temporary;
    errno = 0;
    std::FILE* out = CreateTemporary(directory, temporary);
    if (out == nullptr && !WriteInPlaceInstead(errno))
      return fail(Reason("the file cannot be created", errno != 0 ? errno : EIO));
    if (out != nullptr) {
      if (!WriteAndClose(out, write, why)) {
        fs::remove(temporary, ec);
        return fail(why);
      }
      // The new file takes the old one's owner first (a change of owner may
      // clear the mode's set-id bits), then its mode. A file whose owner
      // cannot be kept is written in place rather than handed over.
      bool keep = true;
      if (exists) {
        keep = CarryFileOwner(target.string(), temporary.string());
        if (keep) fs::permissions(temporary, status.permissions(), fs::perm_options::replace, ec);
        keep = keep && !ec;
      }
      if (keep) {
        if (Injected(WriteStep::kRename))
          ec = std::error_code(ENOSPC, std::generic_category());
        else
          fs::rename(temporary, target, ec);
        if (!ec) return true;
        if (!WriteInPlaceInstead(ec.value())) {
          const int code = ec.value();
          fs::remove(temporary, ec);
          return fail(Reason("the file could not be replaced", code));
        }
      }
      // Not ours to replace after all (a file of someone else's in a shared
      // directory, say): written in place below.
      fs::remove(temporary, ec);
    }
  }
  errno = 0;
  std::FILE* out = Injected(WriteStep::kOpen) ? nullptr : std::fopen(target.c_str(), "wb");
  if (out == nullptr) return fail(Reason("the file cannot be created", errno != 0 ? errno : EIO));
  if (!WriteAndClose(out, write, why)) return fail(why);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes, std::string* reason) {
  return WriteFile(
      path,
      [bytes](std::FILE* out) {
        return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
      },
      reason);
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* reason) {
  return WriteFileAtomically(path, std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()),
                             reason);
}

}  // namespace orvane
