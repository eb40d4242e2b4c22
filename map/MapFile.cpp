#include "map/MapFile.h"

#include <algorithm>
#include <cstring>

namespace orvane {
namespace {

std::int16_t Int16At(const unsigned char* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

}  // namespace

int FeatureClass(std::int16_t featureCode) { return (featureCode / 1000) % 8; }

MapFile::MapFile(std::FILE* stream) : stream_(stream) {
  if (stream_ == nullptr) ended_ = true;
}

MapFile::MapFile(std::span<const unsigned char> bytes) : bytes_(bytes) {}

bool MapFile::Refill() {
  if (stream_ == nullptr) return false;
  chunk_.resize(kChunkBytes);
  const std::size_t got = std::fread(chunk_.data(), 1, chunk_.size(), stream_);
  chunk_.resize(got);
  bytes_ = chunk_;
  position_ = 0;
  return got > 0;
}

std::size_t MapFile::Read(unsigned char* out, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    if (position_ >= bytes_.size() && !Refill()) break;
    const std::size_t n = std::min(count - done, bytes_.size() - position_);
    std::memcpy(out + done, bytes_.data() + position_, n);
    position_ += n;
    done += n;
  }
  return done;
}

bool MapFile::Next(MapRecord& record) {
  while (!ended_) {
    unsigned char header[kHeaderBytes];
    const std::size_t got = Read(header, kHeaderBytes);
    if (got < kHeaderBytes) {
      truncated_ = got > 0;
      ended_ = true;
      break;
    }
    const std::int16_t code = Int16At(header);
    const std::int16_t count = Int16At(header + 2);
    if (count <= 0) {
      // Nothing follows the header of an empty record; a negative count is
      // taken the same way, as it gives no length to skip by.
      ++skipped_;
      continue;
    }
    const std::size_t bytes = static_cast<std::size_t>(count) * 4;
    raw_.resize(bytes);
    if (Read(raw_.data(), bytes) < bytes) {
      // Points missing at the end of the file have no values: drop the record.
      truncated_ = true;
      ended_ = true;
      break;
    }
    if (code < 0) {
      ++skipped_;
      continue;
    }
    points_.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < points_.size(); ++i) {
      points_[i].lonMinutes = Int16At(raw_.data() + 4 * i);
      points_[i].latMinutes = Int16At(raw_.data() + 4 * i + 2);
    }
    record.featureCode = code;
    record.points = points_;
    return true;
  }
  record = MapRecord{};
  return false;
}

}  // namespace orvane
