#include "seismogram/PSNFile.h"

#include <algorithm>

#include "seismogram/LittleEndian.h"

namespace orvane {
namespace {

constexpr std::size_t kPrefix = PSN::kPrefixBytes;
constexpr std::size_t kHeader = PSN::kHeaderBytes;

std::int16_t Field(std::span<const unsigned char, kHeader> header, int offset) {
  return le::GetI16(header.data() + offset);
}

// The reason a header field fails its test, with the field's offset in the file.
ByteReadError FieldError(const std::string& what, std::int32_t value, const std::string& range,
                         int headerOffset) {
  return {what + " " + std::to_string(value) + " is outside " + range, kPrefix + headerOffset};
}

}  // namespace

bool CheckPSNFields(std::span<const unsigned char, PSN::kPrefixBytes> prefix,
                    std::span<const unsigned char, PSN::kHeaderBytes> header, std::int32_t& count,
                    ByteReadError& error) {
  if (prefix[PSN::MARKER] != PSN::kMarker) {
    error = {"the first byte is " + std::to_string(prefix[PSN::MARKER]) + ", not the PSN marker 253 (0xFD)", 0};
    return false;
  }
  const std::int16_t version = Field(header, PSN::VERSION);
  if (version != 2 && version != 3) {
    error = FieldError("the header version", version, "2 to 3", PSN::VERSION);
    return false;
  }
  const std::int16_t year = Field(header, PSN::YEAR);
  if (year < PSN::kFirstYear || year > PSN::kLastYear) {
    error = FieldError("the year", year, "1960 to 2099", PSN::YEAR);
    return false;
  }
  const std::int16_t month = Field(header, PSN::MONTH);
  if (month < 1 || month > 12) {
    error = FieldError("the month", month, "1 to 12", PSN::MONTH);
    return false;
  }
  const std::int16_t day = Field(header, PSN::DAY);
  if (day < 1 || day > 31) {
    error = FieldError("the day", day, "1 to 31", PSN::DAY);
    return false;
  }
  // Times have upper bounds only: 24 for hours, 60 for minutes and seconds.
  struct Limit {
    int offset;
    const char* name;
    int most;
  };
  static constexpr Limit kLimits[] = {
      {PSN::START_HOUR, "the start hour", 24},     {PSN::START_MINUTE, "the start minute", 60},
      {PSN::START_SECOND, "the start second", 60}, {PSN::END_HOUR, "the end hour", 24},
      {PSN::END_MINUTE, "the end minute", 60},     {PSN::END_SECOND, "the end second", 60}};
  for (const Limit& limit : kLimits) {
    const std::int16_t value = Field(header, limit.offset);
    if (value > limit.most) {
      error = {std::string(limit.name) + " " + std::to_string(value) + " is above " + std::to_string(limit.most),
               kPrefix + limit.offset};
      return false;
    }
  }
  const std::uint16_t countField = le::GetU16(header.data() + PSN::COUNT_FIELD);
  const bool inPrefix = countField == PSN::kCountInPrefix;
  const std::int32_t n = inPrefix ? le::GetI32(prefix.data() + PSN::PREFIX_COUNT) : countField - 100;
  if (n < PSN::kMinSamples || n > PSN::kMaxSamples) {
    error = {"the sample count " + std::to_string(n) + " is outside 100 to 250000",
             inPrefix ? std::size_t{PSN::PREFIX_COUNT} : kPrefix + PSN::COUNT_FIELD};
    return false;
  }
  count = n;
  return true;
}

std::int32_t PSNRecordingSeconds(std::span<const unsigned char, PSN::kHeaderBytes> header) {
  // 64-bit: the fields have no lower bound and hostile values must not overflow.
  const std::int64_t startHour = Field(header, PSN::START_HOUR);
  const std::int64_t start =
      (startHour * 3600 + Field(header, PSN::START_MINUTE) * 60 + Field(header, PSN::START_SECOND)) * 10 +
      Field(header, PSN::START_FRACTION);
  std::int64_t endHour = Field(header, PSN::END_HOUR);
  if (endHour < startHour) endHour += 24;  // one crossing of midnight
  const std::int64_t end =
      (endHour * 3600 + Field(header, PSN::END_MINUTE) * 60 + Field(header, PSN::END_SECOND)) * 10 +
      Field(header, PSN::END_TENTHS);
  return static_cast<std::int32_t>((end - start) / 10);
}

bool DecodePSNHeader(std::span<const unsigned char> bytes,
                     std::array<unsigned char, PSN::kPrefixBytes>& prefix,
                     std::array<unsigned char, PSN::kHeaderBytes>& header, std::int32_t& npts,
                     ByteReadError& error) {
  if (bytes.size() < kPrefix + kHeader) {
    if (!bytes.empty() && bytes[0] != PSN::kMarker) {
      error = {"the first byte is " + std::to_string(bytes[0]) + ", not the PSN marker 253 (0xFD)", 0};
    } else {
      error = {"the file ends inside the PSN header (207 bytes)", bytes.size()};
    }
    return false;
  }
  std::span<const unsigned char, kPrefix> p(bytes.data(), kPrefix);
  std::span<const unsigned char, kHeader> h(bytes.data() + kPrefix, kHeader);
  std::int32_t count = 0;
  if (!CheckPSNFields(p, h, count, error)) return false;
  const std::int32_t seconds = PSNRecordingSeconds(h);
  if (seconds <= 0) {
    error = {seconds == 0 ? "the recording is shorter than one second, so it has no sampling rate"
                          : "the recording ends before it starts, so it has no sampling rate",
             kPrefix + PSN::END_HOUR};
    return false;
  }
  std::copy(p.begin(), p.end(), prefix.begin());
  std::copy(h.begin(), h.end(), header.begin());
  npts = count;
  return true;
}

bool DecodePSNSamples(std::span<const unsigned char> payload, std::int32_t npts,
                      std::size_t payloadOffset, std::vector<std::int16_t>& samples,
                      ByteReadError& error) {
  samples.clear();
  if (npts < 0 || npts > PSN::kMaxSamples) {
    error = {"the sample count " + std::to_string(npts) + " is outside 0 to 250000", payloadOffset};
    return false;
  }
  const std::size_t need = 2u * static_cast<std::size_t>(npts);
  if (payload.size() < need) {
    error = {"the file ends inside the samples: " + std::to_string(npts) + " announced, " +
                 std::to_string(payload.size() / 2) + " present",
             payloadOffset + payload.size()};
    return false;
  }
  samples.resize(static_cast<std::size_t>(npts));
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = le::GetI16(payload.data() + 2 * i);
  return true;
}

bool DecodePSN(std::span<const unsigned char> bytes, PSN& record, ByteReadError& error) {
  std::array<unsigned char, kPrefix> prefix{};
  std::array<unsigned char, kHeader> header{};
  std::int32_t npts = 0;
  if (!DecodePSNHeader(bytes, prefix, header, npts, error)) return false;
  std::vector<std::int16_t> samples;
  const std::size_t payloadOffset = kPrefix + kHeader;
  if (!DecodePSNSamples(bytes.subspan(payloadOffset), npts, payloadOffset, samples, error)) return false;
  record.prefix = prefix;
  record.header = header;
  record.npts = npts;
  record.samples = std::move(samples);
  record.ownsLoadedSamples |= 1u;
  return true;
}

bool LoadPSN(const std::string& path, PSN& record, ByteReadError& error) {
  std::vector<unsigned char> bytes;
  if (!ReadFileBytes(path, kPSNMaxFileBytes, bytes, error)) return false;
  if (!DecodePSN(bytes, record, error)) return false;
  record.fileName = path;
  return true;
}

std::vector<unsigned char> EncodePSN(const PSN& record) {
  const std::size_t n = std::min(static_cast<std::size_t>(std::max(record.npts, 0)), record.samples.size());
  std::vector<unsigned char> bytes(kPrefix + kHeader + 2 * n);
  std::copy(record.prefix.begin(), record.prefix.end(), bytes.begin());
  std::copy(record.header.begin(), record.header.end(), bytes.begin() + kPrefix);
  unsigned char* p = bytes.data() + kPrefix + kHeader;
  for (std::size_t i = 0; i < n; ++i) le::PutI16(p + 2 * i, record.samples[i]);
  return bytes;
}

}  // namespace orvane
