#include "seismogram/BinaryFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
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

}  // namespace orvane
