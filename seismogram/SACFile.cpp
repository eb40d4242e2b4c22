#include "seismogram/SACFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "seismogram/BinaryFile.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

constexpr SACByteOrder kHostOrder =
    std::endian::native == std::endian::little ? SACByteOrder::kLittle : SACByteOrder::kBig;
constexpr std::size_t kNumericWords = KSAC::kFloatCount + KSAC::kIntCount;  // 110
constexpr std::int32_t kMinVersion = 1;
constexpr std::int32_t kMaxVersion = 20;
// The version written in place of one that tells nothing.
constexpr std::int32_t kWrittenVersion = 6;

std::uint32_t Swapped(std::uint32_t w) {
  return (w >> 24) | ((w >> 8) & 0x0000FF00u) | ((w << 8) & 0x00FF0000u) | (w << 24);
}

std::uint32_t LittleWord(const unsigned char* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

std::uint32_t BigWord(const unsigned char* p) {
  return p[3] | (std::uint32_t{p[2]} << 8) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[0]} << 24);
}

bool PlausibleVersion(std::uint32_t word) {
  const auto v = static_cast<std::int32_t>(word);
  return v >= kMinVersion && v <= kMaxVersion;
}

// Reverses every 4-byte word of [data, data + 4*count) in place.
void SwapWords(unsigned char* data, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t w;
    std::memcpy(&w, data + 4 * i, 4);
    w = Swapped(w);
    std::memcpy(data + 4 * i, &w, 4);
  }
}

SACReadFailure Failure(SACReadFailure::Code code, std::string reason, std::size_t offset) {
  return SACReadFailure{code, std::move(reason), offset};
}

std::string SampleEnd(std::int32_t npts) {
  return std::to_string(kSACHeaderBytes + 4 * static_cast<std::size_t>(npts));
}

}  // namespace

SACByteOrder DetectSACByteOrder(std::span<const unsigned char> header) {
  const unsigned char* version = header.data() + kSACVersionOffset;
  if (PlausibleVersion(LittleWord(version))) return SACByteOrder::kLittle;
  if (PlausibleVersion(BigWord(version))) return SACByteOrder::kBig;
  // Without a version to go by, a sampling interval that makes no sense as a
  // little-endian float is taken for a big-endian one.
  const float delta = std::bit_cast<float>(LittleWord(header.data() + kSACDeltaOffset));
  if (std::isnan(delta) || delta > 1000.0f || delta < -1000.0f) return SACByteOrder::kBig;
  return SACByteOrder::kLittle;
}

std::optional<SACReadFailure> DecodeSACHeader(std::span<const unsigned char> bytes,
                                              unsigned char* header, SACByteOrder& order) {
  if (bytes.size() < kSACHeaderBytes) {
    return Failure(SACReadFailure::kShortHeader,
                   "the file has " + std::to_string(bytes.size()) +
                       " bytes, fewer than the 632 bytes of a SAC header",
                   bytes.size());
  }
  order = DetectSACByteOrder(bytes);
  std::memcpy(header, bytes.data(), kSACHeaderBytes);
  if (order != kHostOrder) SwapWords(header, kNumericWords);
  std::int32_t npts;
  std::memcpy(&npts, header + kSACCountOffset, 4);
  if (npts < 0 || npts > KSAC::kMaxSamples) {
    return Failure(SACReadFailure::kBadSampleCount,
                   "the sample count npts = " + std::to_string(npts) +
                       " is outside 0 to 1000000 (read as " +
                       (order == SACByteOrder::kLittle ? "little" : "big") + "-endian)",
                   kSACCountOffset);
  }
  return std::nullopt;
}

std::optional<SACReadFailure> DecodeSACSamples(std::span<const unsigned char> payload,
                                               std::int32_t npts, SACByteOrder order, float* out,
                                               SampleStatistics* statistics) {
  if (npts < 0) {
    return Failure(SACReadFailure::kBadSampleCount,
                   "the sample count npts = " + std::to_string(npts) + " is negative",
                   kSACCountOffset);
  }
  const std::size_t need = 4 * static_cast<std::size_t>(npts);
  if (payload.size() < need) {
    return Failure(SACReadFailure::kShortSamples,
                   "the file ends at byte " + std::to_string(kSACHeaderBytes + payload.size()) +
                       ", but its " + std::to_string(npts) + " samples end at byte " + SampleEnd(npts),
                   kSACHeaderBytes + payload.size());
  }
  const unsigned char* source = payload.data();
  auto* target = reinterpret_cast<unsigned char*>(out);
  if (order != kHostOrder && statistics != nullptr) {
    // One pass: the words are turned in the time the additions wait. Each
    // word is read before it is written, so this works in place too.
    RunningStatistics running;
    running.AddSwapped(source, out, npts);
    *statistics = running.Finish(out, npts);
    return std::nullopt;
  }
  if (need > 0 && source != target) std::memcpy(target, source, need);
  if (order != kHostOrder) SwapWords(target, static_cast<std::size_t>(npts));
  if (statistics != nullptr) *statistics = ComputeSampleStatistics(out, npts);
  return std::nullopt;
}

namespace {

// What KSAC::ComputeMinMaxMean stores, from statistics taken while decoding.
void StoreStatistics(KSAC& record, const SampleStatistics& s) {
  record.SetFloatHeader(KSAC::DEPMIN, s.min);
  record.SetFloatHeader(KSAC::DEPMAX, s.max);
  record.SetFloatHeader(KSAC::DEPMEN, s.mean);
}

}  // namespace

std::optional<SACReadFailure> ParseSAC(std::span<const unsigned char> file, KSAC& record) {
  record.origin = 0;
  record.samples.reset();
  record.ownsLoadedSamples &= ~1u;
  SACByteOrder order;
  if (auto failure = DecodeSACHeader(file, record.header.get(), order)) return failure;
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  // The payload is checked before the samples' memory is obtained.
  std::span<const unsigned char> payload = file.subspan(kSACHeaderBytes);
  if (payload.size() < 4 * static_cast<std::size_t>(npts)) {
    float none = 0.0f;
    return DecodeSACSamples(payload, npts, order, &none);
  }
  std::unique_ptr<float[]> samples(new float[static_cast<std::size_t>(npts)]);
  SampleStatistics statistics;
  if (auto failure = DecodeSACSamples(payload, npts, order, samples.get(), &statistics)) return failure;
  record.samples = std::move(samples);
  StoreStatistics(record, statistics);
  record.ownsLoadedSamples |= 1u;
  return std::nullopt;
}

std::optional<SACReadFailure> LoadSAC(const std::string& path, KSAC& record) {
  record.origin = 0;
  record.samples.reset();
  record.ownsLoadedSamples &= ~1u;

  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  // A directory opens for reading on some systems, and would then read as
  // a file of no bytes.
  if (fs::is_directory(status)) {
    return Failure(SACReadFailure::kOpenFailed, "the path is a directory, not a file", 0);
  }
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) return Failure(SACReadFailure::kOpenFailed, "the file cannot be opened", 0);
  // The size of a regular file first, so that a short one is refused before
  // its samples' memory is obtained. A pipe or a device has no size to ask
  // for (nor can it seek): it is read as it comes, as far as the samples go.
  std::optional<std::size_t> size;
  if (fs::is_regular_file(status)) {
    if (std::fseek(file.get(), 0, SEEK_END) != 0) {
      return Failure(SACReadFailure::kOpenFailed, "the file cannot be read", 0);
    }
    const long end = std::ftell(file.get());
    if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
      return Failure(SACReadFailure::kOpenFailed, "the file cannot be read", 0);
    }
    size = static_cast<std::size_t>(end);
  }

  unsigned char bytes[kSACHeaderBytes];
  const std::size_t got = std::fread(bytes, 1, std::min(size.value_or(kSACHeaderBytes), kSACHeaderBytes), file.get());
  if (got < kSACHeaderBytes && std::ferror(file.get())) {
    return Failure(SACReadFailure::kOpenFailed, "the file cannot be read", 0);
  }
  SACByteOrder order;
  if (auto failure = DecodeSACHeader(std::span(bytes, got), record.header.get(), order)) return failure;
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  const std::size_t need = 4 * static_cast<std::size_t>(npts);
  if (size && *size - kSACHeaderBytes < need) {
    return Failure(SACReadFailure::kShortSamples,
                   "the file ends at byte " + std::to_string(*size) + ", but its " +
                       std::to_string(npts) + " samples end at byte " + SampleEnd(npts),
                   *size);
  }

  std::unique_ptr<float[]> samples(new float[static_cast<std::size_t>(npts)]);
  auto* target = reinterpret_cast<unsigned char*>(samples.get());
  const std::size_t read = need > 0 ? std::fread(target, 1, need, file.get()) : 0;
  if (read < need) {
    // A stream that ended early, a file that shrank after its size was
    // taken, or a read that failed.
    return Failure(SACReadFailure::kShortSamples,
                   "the file ends at byte " + std::to_string(kSACHeaderBytes + read) +
                       ", but its " + std::to_string(npts) + " samples end at byte " + SampleEnd(npts),
                   kSACHeaderBytes + read);
  }
  SampleStatistics statistics;
  if (auto failure = DecodeSACSamples(std::span<const unsigned char>(target, need), npts, order,
                                      samples.get(), &statistics)) {
    return failure;
  }
  record.samples = std::move(samples);
  StoreStatistics(record, statistics);
  record.ownsLoadedSamples |= 1u;
  return std::nullopt;
}

std::optional<std::string> SaveSAC(const std::string& path, const KSAC& record) {
  const std::int32_t npts = record.GetIntHeader(KSAC::NPTS);
  if (npts < 0) {
    return "the record has no defined number of samples (npts = " + std::to_string(npts) + ")";
  }
  if (npts > 0 && !record.samples) return "the record has no samples although npts = " + std::to_string(npts);
  if (path.empty()) return std::string("no file name was given");

  std::string reason;
  const bool written = WriteFile(
      path,
      [&record, npts](std::FILE* file) {
        unsigned char headerBytes[kSACHeaderBytes];
        EncodeSACHeader(record.header.get(), headerBytes);
        if (std::fwrite(headerBytes, 1, kSACHeaderBytes, file) != kSACHeaderBytes) return false;
        // Samples go out in blocks so that a large record needs no second copy.
        constexpr std::size_t kBlock = 16384;
        std::unique_ptr<unsigned char[]> block(new unsigned char[4 * kBlock]);
        for (std::size_t done = 0; done < static_cast<std::size_t>(npts); done += kBlock) {
          const std::size_t count = std::min(kBlock, static_cast<std::size_t>(npts) - done);
          EncodeSACSamples(record.samples.get() + done, count, block.get());
          if (std::fwrite(block.get(), 1, 4 * count, file) != 4 * count) return false;
        }
        return true;
      },
      &reason);
  if (!written) return reason;
  return std::nullopt;
}

void EncodeSACHeader(const unsigned char* header, unsigned char* out) {
  std::memcpy(out, header, kSACHeaderBytes);
  // A version outside 1-20 would leave the byte order to the delta test,
  // which takes a big-endian file with a small delta for a little-endian one.
  std::int32_t version;
  std::memcpy(&version, out + kSACVersionOffset, 4);
  if (!PlausibleVersion(static_cast<std::uint32_t>(version))) {
    version = kWrittenVersion;
    std::memcpy(out + kSACVersionOffset, &version, 4);
  }
  if (kHostOrder != SACByteOrder::kBig) SwapWords(out, kNumericWords);
}

void EncodeSACSamples(const float* samples, std::size_t count, unsigned char* out) {
  if (count == 0) return;
  std::memcpy(out, samples, 4 * count);
  if (kHostOrder != SACByteOrder::kBig) SwapWords(out, count);
}

}  // namespace orvane
