#pragma once
// The byte level of PEPP files: the record from the bytes, the samples from the
// payload, and the file image the writer produces. These functions never throw
// for bad input; they say why they refused (see ByteReadError).

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "seismogram/BinaryFile.h"
#include "seismogram/PEPP.h"

namespace orvane {

/// The most bytes of a PEPP file the reader looks at: the optional 36-byte
/// prefix, the header, 1,000,000 samples and the end marker. Bytes beyond are
/// never read.
inline constexpr std::size_t kPEPPMaxFileBytes =
    PEPP::kPrefixBytes + PEPP::kHeaderBytes + 4u * PEPP::kMaxSamples + 4u;

/// @brief Finds and checks the header in the first bytes of a file. The header
/// lies at byte 0 when the int16 there is 3737, otherwise at byte 36 behind
/// 36 bytes of any content. Also checks the sample count (0-1,000,000) and the
/// sampling rate (positive, finite, and with a finite inverse: the interval
/// is its inverse).
/// @param headerStart set to 0 or 36.
/// @return false with a reason, e.g. "no magic number 3737 at byte 0 or 36".
bool DecodePEPPHeader(std::span<const unsigned char> bytes,
                      std::array<unsigned char, PEPP::kHeaderBytes>& header, std::size_t& headerStart,
                      ByteReadError& error);

/// @brief Decodes @p npts samples and the end marker from @p payload, the bytes
/// that follow the header; @p payloadOffset is where the payload starts in the
/// file (for the offsets in the reason). Bytes after the end marker are ignored.
/// A file whose end marker is absent, cut short or wrong is refused as a
/// whole, since nothing then shows that the samples before it are complete.
/// @return false with a reason when the samples are cut short or the end
/// marker is wrong or missing; @p samples is then left empty.
bool DecodePEPPSamples(std::span<const unsigned char> payload, std::int32_t npts,
                       std::size_t payloadOffset, std::vector<float>& samples, ByteReadError& error);

/// @brief Header and samples from the bytes of a whole file into @p record
/// (fileName is left alone). The record changes only on success.
bool DecodePEPP(std::span<const unsigned char> bytes, PEPP& record, ByteReadError& error);

/// @brief Reads the file @p path into @p record (fileName = @p path on success).
bool LoadPEPP(const std::string& path, PEPP& record, ByteReadError& error);

/// @brief The bytes WritePEPP writes: the header, the samples, the end marker.
/// Only the samples the record holds are encoded.
std::vector<unsigned char> EncodePEPP(const PEPP& record);

}  // namespace orvane
