#include "seismogram/BinaryFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <utility>

#include "platform/FileOwner.h"

namespace orvane {

std::string ByteReadError::Text() const {
  if (offset == kWholeFile) return reason;
  return reason + " (at byte " + std::to_string(offset) + ")";
}

bool ReadFileBytes(const std::string& path, std::size_t maxBytes, std::vector<unsigned char>& bytes,
                   ByteReadError& error) {
  bytes.clear();
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    error = {"the path is a directory, not a file", ByteReadError::kWholeFile};
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = {"the file cannot be opened", ByteReadError::kWholeFile};
    return false;
  }
  // Read in pieces so that the buffer grows only as far as the file goes.
  constexpr std::size_t kChunk = 64 * 1024;
  while (bytes.size() < maxBytes) {
    const std::size_t want = std::min(kChunk, maxBytes - bytes.size());
    const std::size_t old = bytes.size();
    bytes.resize(old + want);
    in.read(reinterpret_cast<char*>(bytes.data() + old), static_cast<std::streamsize>(want));
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    bytes.resize(old + got);
    if (got < want) {
      if (in.bad()) {
        error = {"the file cannot be read", bytes.size()};
        return false;
      }
      break;
    }
  }
  return true;
}

namespace {

namespace fs = std::filesystem;

// Symbolic links are followed this far; a longer chain is left to the open,
// which then fails.
constexpr int kMostLinks = 40;

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

// Runs @p write on @p out and closes it.
bool WriteAndClose(std::FILE* out, const std::function<bool(std::FILE*)>& write, std::string& reason) {
  errno = 0;
  bool ok = write(out);
  int code = errno;
  if (std::fflush(out) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (std::fclose(out) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (!ok) reason = Reason("the file could not be written", code != 0 ? code : EIO);
  return ok;
}

// A new file with a short name in @p directory, open for writing; null when
// none can be made there.
std::FILE* CreateTemporary(const fs::path& directory, fs::path& name) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 8; ++attempt) {
    char leaf[32];
    std::snprintf(leaf, sizeof leaf, ".orvane-%08x.tmp", (stamp ^ (counter++ * 0x9E3779B9u)) & 0xFFFFFFFFu);
    name = directory / leaf;
    // "x": never open a file that already exists (another writer's temporary).
    if (std::FILE* out = std::fopen(name.c_str(), "wbx")) return out;
    if (errno != EEXIST) break;
  }
  return nullptr;
}

}  // namespace

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
    if (std::FILE* out = CreateTemporary(directory, temporary)) {
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
        fs::rename(temporary, target, ec);
        if (!ec) return true;
      }
      // Not ours to replace after all (a file of someone else's in a shared
      // directory, say): written in place below.
      fs::remove(temporary, ec);
    }
  }
  errno = 0;
  std::FILE* out = std::fopen(target.c_str(), "wb");
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

}  // namespace orvane
