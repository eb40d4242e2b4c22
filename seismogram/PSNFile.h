#pragma once
// The byte level of PSN files: the record from the bytes, the samples from the
// payload, and the file image the writer produces. These functions never throw
// for bad input; they say why they refused (see ByteReadError).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "seismogram/BinaryFile.h"
#include "seismogram/PSN.h"

namespace orvane {

/// The most bytes of a PSN file the reader looks at: prefix, header and
/// 250,000 samples. Bytes beyond are never read.
inline constexpr std::size_t kPSNMaxFileBytes =
    PSN::kPrefixBytes + PSN::kHeaderBytes + 2u * PSN::kMaxSamples;

/// @brief The tests of CheckPSNHeader on a prefix and a header, in order; the
/// first that fails gives the reason, with the file offset of its field.
/// @param count set to the sample count when every test passes.
bool CheckPSNFields(std::span<const unsigned char, PSN::kPrefixBytes> prefix,
                    std::span<const unsigned char, PSN::kHeaderBytes> header, std::int32_t& count,
                    ByteReadError& error);

/// @brief Whole seconds between the start and the end that @p header gives:
/// both in tenths ((h 3600 + m 60 + s) 10 + fraction or tenths), the end
/// hour taken + 24 when it is below the start hour, difference / 10
/// truncated toward zero. Negative when the end lies before the start.
std::int32_t PSNRecordingSeconds(std::span<const unsigned char, PSN::kHeaderBytes> header);

/// @brief Prefix and header from the first 207 bytes of a file, checked as
/// CheckPSNHeader checks them; a recording shorter than one second (which has
/// no sampling rate) is refused too.
/// @return false with a reason, e.g. "the year 1959 is outside 1960 to 2099".
bool DecodePSNHeader(std::span<const unsigned char> bytes,
                     std::array<unsigned char, PSN::kPrefixBytes>& prefix,
                     std::array<unsigned char, PSN::kHeaderBytes>& header, std::int32_t& npts,
                     ByteReadError& error);

/// @brief @p npts int16 samples from @p payload, the bytes after the header
/// (@p payloadOffset is where it starts in the file). Bytes beyond are ignored.
/// @return false with a reason when the payload holds fewer samples.
bool DecodePSNSamples(std::span<const unsigned char> payload, std::int32_t npts,
                      std::size_t payloadOffset, std::vector<std::int16_t>& samples,
                      ByteReadError& error);

/// @brief Prefix, header and samples from the bytes of a whole file into
/// @p record (fileName is left alone). The record changes only on success.
bool DecodePSN(std::span<const unsigned char> bytes, PSN& record, ByteReadError& error);

/// @brief Reads the file @p path into @p record (fileName = @p path on success).
bool LoadPSN(const std::string& path, PSN& record, ByteReadError& error);

/// @brief The bytes WritePSN writes: prefix, header and the first
/// min(npts, samples held) samples.
std::vector<unsigned char> EncodePSN(const PSN& record);

}  // namespace orvane
