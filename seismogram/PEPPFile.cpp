#include "seismogram/PEPPFile.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "seismogram/LittleEndian.h"

namespace orvane {
namespace {

constexpr std::size_t kHeader = PEPP::kHeaderBytes;
constexpr std::size_t kPrefix = PEPP::kPrefixBytes;

bool HasMagicAt(std::span<const unsigned char> bytes, std::size_t at) {
  return bytes.size() >= at + 2 && le::GetI16(bytes.data() + at) == PEPP::kMagic;
}

std::string FloatText(float value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace

bool DecodePEPPHeader(std::span<const unsigned char> bytes,
                      std::array<unsigned char, PEPP::kHeaderBytes>& header, std::size_t& headerStart,
                      ByteReadError& error) {
  std::size_t start = 0;
  if (HasMagicAt(bytes, 0)) {
    start = 0;
  } else if (HasMagicAt(bytes, kPrefix)) {
    start = kPrefix;
  } else {
    error = {bytes.size() < kPrefix + 2 ? "the file is too short for a PEPP header"
                                        : "no PEPP magic number 3737 at byte 0 or 36",
             0};
    return false;
  }
  if (bytes.size() < start + kHeader) {
    error = {"the file ends inside the PEPP header (" + std::to_string(kHeader) + " bytes from byte " +
                 std::to_string(start) + ")",
             bytes.size()};
    return false;
  }
  const unsigned char* h = bytes.data() + start;
  const std::int32_t npts = le::GetI32(h + PEPP::NPTS);
  if (npts < 0 || npts > PEPP::kMaxSamples) {
    error = {"the sample count " + std::to_string(npts) + " is outside 0 to " +
                 std::to_string(PEPP::kMaxSamples),
             start + PEPP::NPTS};
    return false;
  }
  const float rate = le::GetF32(h + PEPP::SAMPLING_RATE);
  if (!std::isfinite(rate) || !(rate > 0.0f)) {
    error = {"the sampling rate " + FloatText(rate) + " is not a positive number",
             start + PEPP::SAMPLING_RATE};
    return false;
  }
  // A rate below about 3e-39 per second is positive, but its interval does
  // not fit in a float: it would be stored as infinity.
  if (!std::isfinite(static_cast<float>(1.0 / rate))) {
    error = {"the sampling rate " + FloatText(rate) + " is too small: its interval is not a finite number",
             start + PEPP::SAMPLING_RATE};
    return false;
  }
  std::copy(h, h + kHeader, header.begin());
  headerStart = start;
  return true;
}

bool DecodePEPPSamples(std::span<const unsigned char> payload, std::int32_t npts,
                       std::size_t payloadOffset, std::vector<float>& samples, ByteReadError& error) {
  samples.clear();
  if (npts < 0 || npts > PEPP::kMaxSamples) {
    error = {"the sample count " + std::to_string(npts) + " is outside 0 to " +
                 std::to_string(PEPP::kMaxSamples),
             payloadOffset};
    return false;
  }
  // Every length is checked against the payload before anything is allocated.
  const std::size_t sampleBytes = 4u * static_cast<std::size_t>(npts);
  if (payload.size() < sampleBytes) {
    error = {"the file ends inside the samples: " + std::to_string(npts) + " announced, " +
                 std::to_string(payload.size() / 4) + " present",
             payloadOffset + payload.size()};
    return false;
  }
  if (payload.size() < sampleBytes + 4) {
    error = {"the end marker 95959595 is missing after the samples", payloadOffset + sampleBytes};
    return false;
  }
  const std::int32_t marker = le::GetI32(payload.data() + sampleBytes);
  if (marker != PEPP::kEndMarker) {
    error = {"the end marker is " + std::to_string(marker) + " instead of 95959595",
             payloadOffset + sampleBytes};
    return false;
  }
  samples.resize(static_cast<std::size_t>(npts));
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = le::GetF32(payload.data() + 4 * i);
  return true;
}

bool DecodePEPP(std::span<const unsigned char> bytes, PEPP& record, ByteReadError& error) {
  std::array<unsigned char, PEPP::kHeaderBytes> header{};
  std::size_t start = 0;
  if (!DecodePEPPHeader(bytes, header, start, error)) return false;
  std::vector<float> samples;
  const std::size_t payloadOffset = start + kHeader;
  if (!DecodePEPPSamples(bytes.subspan(payloadOffset), le::GetI32(header.data() + PEPP::NPTS),
                         payloadOffset, samples, error))
    return false;
  record.header = header;
  record.samples = std::move(samples);
  record.ownsLoadedSamples |= 1u;
  return true;
}

bool LoadPEPP(const std::string& path, PEPP& record, ByteReadError& error) {
  std::vector<unsigned char> bytes;
  if (!ReadFileBytes(path, kPEPPMaxFileBytes, bytes, error)) return false;
  if (!DecodePEPP(bytes, record, error)) return false;
  record.fileName = path;
  return true;
}

std::vector<unsigned char> EncodePEPP(const PEPP& record) {
  std::vector<unsigned char> bytes(kHeader + 4 * record.samples.size() + 4);
  std::copy(record.header.begin(), record.header.end(), bytes.begin());
  unsigned char* p = bytes.data() + kHeader;
  for (float value : record.samples) {
    le::PutF32(p, value);
    p += 4;
  }
  le::PutI32(p, PEPP::kEndMarker);
  return bytes;
}

}  // namespace orvane
