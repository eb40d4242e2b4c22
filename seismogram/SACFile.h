#pragma once
// The byte level of binary SAC files, below KSAC::ReadSAC and KSAC::WriteSAC.
//
// A SAC file is the 632-byte header followed by npts 32-bit floats:
//
//   OFFSET  SIZE  CONTENT
//        0   280  70 floats, float index 0-69 (delta at 0)
//      280   160  40 int32, integer index 0-39 (nvhdr at 304, npts at 316)
//      440   192  23 text fields, no byte order
//      632  4*n   n = npts samples, single precision
//
// Numbers and samples share one byte order, little- or big-endian. Bytes after
// the samples are ignored.
//
// Reading goes in three steps: bytes from the file (LoadSAC), the header from
// the bytes (DecodeSACHeader) and the samples from the payload
// (DecodeSACSamples). The last two work on byte spans and tell why they refuse,
// so that tools and tests can show the reason while KSAC::ReadSAC keeps
// throwing its empty exception.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "seismogram/SampleStatistics.h"

namespace orvane {

class KSAC;

/// Why a SAC file was refused.
struct SACReadFailure {
  enum Code {
    kOpenFailed = 1,   ///< the file cannot be opened or read
    kShortHeader,      ///< fewer than 632 bytes
    kBadSampleCount,   ///< npts below 0 or above 1,000,000
    kShortSamples,     ///< the file ends before the npts samples do
  };
  Code code = kOpenFailed;
  std::string reason;      ///< e.g. "the file ends at byte 700, but its 1000 samples end at byte 4632"
  std::size_t offset = 0;  ///< byte in the file the refusal is about (316 for npts)
};

enum class SACByteOrder { kLittle, kBig };

constexpr std::size_t kSACHeaderBytes = 632;
constexpr std::size_t kSACDeltaOffset = 0;
constexpr std::size_t kSACVersionOffset = 304;
constexpr std::size_t kSACCountOffset = 316;

/// @brief The byte order of a header (at least 632 bytes).
/// The header version nvhdr decides when it is plausible (1-20) in exactly one
/// order: a header with nvhdr 6 is big-endian when its bytes at 304 are
/// 00 00 00 06. Only when nvhdr tells nothing does delta decide: read as
/// little-endian, a delta beyond +-1000.0 or not a number means big-endian.
SACByteOrder DetectSACByteOrder(std::span<const unsigned char> header);

/// @brief Decodes the header at the start of @p bytes into @p header (632 bytes,
/// host byte order) and returns the file's byte order in @p order.
/// @return Nothing on success; a failure when @p bytes holds fewer than 632
/// bytes (@p header untouched) or when npts is outside 0-1,000,000 (@p header
/// then holds the decoded header).
std::optional<SACReadFailure> DecodeSACHeader(std::span<const unsigned char> bytes,
                                              unsigned char* header, SACByteOrder& order);

/// @brief Decodes @p npts samples in byte order @p order from the start of
/// @p payload (the bytes after the header) into @p out. @p payload may be the
/// bytes of @p out itself, which decodes in place. With @p statistics, also
/// computes the samples' minimum, maximum and mean in the same pass, exactly
/// as KSAC::ComputeMinMaxMean does.
/// @return Nothing on success; a failure (offsets counted from the start of
/// the file) when @p payload is shorter than 4 * @p npts bytes or @p npts is
/// negative.
std::optional<SACReadFailure> DecodeSACSamples(std::span<const unsigned char> payload,
                                               std::int32_t npts, SACByteOrder order, float* out,
                                               SampleStatistics* statistics = nullptr);

/// @brief Reads a whole SAC file held in memory into @p record, as
/// KSAC::ReadSAC does with a file: header, origin 0, samples, minimum, maximum
/// and mean. On failure the record has no samples.
std::optional<SACReadFailure> ParseSAC(std::span<const unsigned char> file, KSAC& record);

/// @brief Reads the SAC file at @p path into @p record (header in one read,
/// samples straight into the record's array in a second one). A regular
/// file's size is checked before the samples' memory is obtained; a pipe or
/// a device (which cannot seek) is read as it comes, with the same checks. A
/// directory is refused as such.
std::optional<SACReadFailure> LoadSAC(const std::string& path, KSAC& record);

/// @brief Writes @p record to @p path as a big-endian SAC file (header as
/// EncodeSACHeader writes it), the way WriteFile (BinaryFile.h) writes: a
/// regular file is replaced whole or not at all, keeping its mode, owner and
/// links; a FIFO or device is written in place.
/// @return Nothing on success, otherwise why nothing was written, e.g.
/// "the record has no defined number of samples (npts = -12345)".
std::optional<std::string> SaveSAC(const std::string& path, const KSAC& record);

/// @brief The big-endian bytes of a host-order header: 110 numeric words
/// swapped as needed, text fields copied. @p out holds 632 bytes.
/// A header version nvhdr outside 1-20 is written as 6, so that the reader
/// tells the byte order by the version and every file written reads back (a
/// version in 1-20 is kept).
void EncodeSACHeader(const unsigned char* header, unsigned char* out);

/// @brief The big-endian bytes of @p count samples; @p out holds 4 * count bytes.
void EncodeSACSamples(const float* samples, std::size_t count, unsigned char* out);

}  // namespace orvane
