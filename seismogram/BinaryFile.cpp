#include "seismogram/BinaryFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

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

bool WriteFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         std::string* reason) {
  auto fail = [reason](const std::string& what, int code) {
    if (reason != nullptr) *reason = what + ": " + std::strerror(code);
    return false;
  };
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return fail("the path is a directory", EISDIR);
  static std::atomic<unsigned> counter{0};
  const auto stamp = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  std::FILE* out = nullptr;
  std::string temp;
  // "x": never open a file that already exists (another writer's temporary).
  for (int attempt = 0; attempt < 8 && out == nullptr; ++attempt) {
    temp = path + ".tmp-" + std::to_string(stamp % 1000000007ULL) + "-" + std::to_string(counter++);
    out = std::fopen(temp.c_str(), "wbx");
    if (out == nullptr && errno != EEXIST) break;
  }
  if (out == nullptr) return fail("the file cannot be created", errno);
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  int code = ok ? 0 : errno;
  if (std::fflush(out) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (std::fclose(out) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    std::filesystem::remove(temp, ec);
    return fail("the file could not be written", code);
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    const int renameCode = ec.value();
    std::filesystem::remove(temp, ec);
    return fail("the file cannot be replaced", renameCode);
  }
  return true;
}

}  // namespace orvane
