#pragma once
// PSN: one seismogram of a PSN file (extension ".psn").
//
// File layout (little-endian throughout):
//   offset 0    1 byte   marker, must be 0xFD
//          1    int32    sample count, used when the header's count field is 0xFFFF
//          5    int16    (not interpreted)
//          7    200-byte header (offsets below, int16 unless said otherwise)
//        207    npts samples, int16
//
// Header (offsets within the header block):
//    0 version, 2 or 3           24 count field (uint16): count + 100, or 0xFFFF
//    2 year of the start             when the count is in the file prefix
//    4 month 1-12                28 smallest sample value
//    6 day of the month          30 largest sample value
//    8 start hour                32 component letter (one byte)
//   10 start minute              34/36 station latitude: degrees, thousandths
//   12 start second              38/40 station longitude: degrees, thousandths
//   14 start fraction            106 event depth, hundreds of metres (version 3)
//   16 end hour                  108/110 event latitude (version 3)
//   18 end minute                112/114 event longitude (version 3)
//   20 end second
//   22 end tenths of a second    everything else: not interpreted, carried
//
// The header gives the end of the recording rather than a sampling interval;
// the rate is the sample count over the whole seconds between start and end.

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace orvane {

/// Thrown by the PSN reader (and by a conversion that cannot be made); carries
/// no data. The byte-level reader of PSNFile.h says why a file was refused.
class PSNException : public std::exception {
 public:
  const char* what() const noexcept override { return "PSNException"; }
};

class PSN {
 public:
  static constexpr int kPrefixBytes = 7;
  static constexpr int kHeaderBytes = 200;
  static constexpr unsigned char kMarker = 0xFD;
  static constexpr std::uint16_t kCountInPrefix = 0xFFFF;
  static constexpr std::int32_t kMinSamples = 100;
  static constexpr std::int32_t kMaxSamples = 250'000;
  /// Years a recording may start in (the format's own limit ended in 2010).
  static constexpr int kFirstYear = 1960;
  static constexpr int kLastYear = 2099;

  /// Byte offsets in the file prefix.
  enum PrefixOffset { MARKER = 0, PREFIX_COUNT = 1 };
  /// Byte offsets of the header fields that the program reads.
  enum Offset {
    VERSION = 0, YEAR = 2, MONTH = 4, DAY = 6, START_HOUR = 8, START_MINUTE = 10,
    START_SECOND = 12, START_FRACTION = 14, END_HOUR = 16, END_MINUTE = 18, END_SECOND = 20,
    END_TENTHS = 22, COUNT_FIELD = 24, DEPMIN = 28, DEPMAX = 30, COMPONENT = 32,
    STLA_DEGREES = 34, STLA_THOUSANDTHS = 36, STLO_DEGREES = 38, STLO_THOUSANDTHS = 40,
    EVDP_HECTOMETRES = 106, EVLA_DEGREES = 108, EVLA_THOUSANDTHS = 110, EVLO_DEGREES = 112,
    EVLO_THOUSANDTHS = 114
  };

  /// A fresh record (Init without a path): marker 0xFD, version 3, count
  /// field 0xFFFF, npts 0, no samples.
  PSN();
  /// Reads the PSN file @p path. Throws PSNException when it is refused.
  explicit PSN(const std::string& path);
  PSN(const PSN&) = delete;
  PSN& operator=(const PSN&) = delete;
  PSN(PSN&&) = default;
  PSN& operator=(PSN&&) = default;

  /// @brief Resets the record (marker, version 3, count field 0xFFFF, fileName
  /// = @p path or "untitled", npts 0, no samples; other bytes keep what they
  /// hold), then reads @p path when it is not null. The samples are always
  /// released (@p release is kept for the interface the formats share).
  /// Throws PSNException when the file is refused.
  void Init(const char* path, bool release);

  /// @brief Reads the PSN file @p path into this record (whole or not at all).
  /// Throws PSNException when CheckPSNHeader fails, when the recording is
  /// shorter than one second (no sampling rate) or when the file ends before
  /// npts samples.
  /// @return 0.
  int ReadPSN(const char* path);

  /// @brief Checks prefix and header: marker 0xFD, version 2 or 3, year
  /// 1960-2099, month 1-12, day 1-31, start and end hour <= 24, minute <= 60,
  /// second <= 60, and a count of 100-250,000 (the prefix count when the
  /// count field is 0xFFFF, else the count field - 100).
  /// @return true, with npts set to the count; false otherwise (npts unchanged).
  bool CheckPSNHeader();

  /// @brief Samples per second: npts over the whole seconds from start to end
  /// (end hour + 24 when it is below the start hour). Example: 23:59:50.0 to
  /// 00:00:10.0 with 2000 samples gives 100.
  /// @return 0 when the recording is shorter than one second or ends before it
  /// starts (no defined rate).
  float PSNSampleRate() const;

  /// @brief Whole seconds from start to end as PSNSampleRate counts them
  /// (tenths subtracted, then divided by 10 truncating). 95 tenths give 9.
  std::int32_t RecordingSeconds() const;

  /// @brief A position from its whole-degree and thousandths fields; a
  /// positive thousandths field takes the sign of negative degrees.
  /// Examples: (-33, 500) gives -33.5, (0, -250) gives -0.25.
  static float DegreesFromParts(std::int16_t degrees, std::int16_t thousandths);

  /// @brief Writes the 7 prefix bytes, the 200 header bytes and the first npts
  /// samples, as held, the way WriteFile (BinaryFile.h) writes: a regular
  /// file is replaced whole or not at all, keeping its mode, owner and links.
  /// @return 0 when written; 1 after error report 2001 "PSN::WritePSN" when
  /// npts is negative or more than the samples held (no file is touched); 2
  /// after error report 2002 "PSN::WritePSN" when the file cannot be created
  /// or written (an existing file is left as it was).
  int WritePSN(const char* path) const;

  /// @brief Replaces the samples by a copy of @p count values (a negative
  /// count gives none); npts is not changed. Reports code 1
  /// "PSN::SetData(short)" and aborts when memory runs out.
  void SetData(const std::int16_t* values, std::int32_t count);
  /// As above from floats: each limited to -2048 ... 2047, then truncated
  /// toward zero (a value that is not a number becomes 0).
  void SetData(const float* values, std::int32_t count);

  std::int16_t GetShort(int offset) const;   ///< header int16; 0 outside the header
  void SetShort(int offset, std::int16_t value);
  std::int32_t PrefixCount() const;           ///< the int32 at file offset 1
  void SetPrefixCount(std::int32_t count);

  std::uint8_t ownsLoadedSamples = 0;             ///< bit 0: the reader obtained the samples
  std::array<unsigned char, kPrefixBytes> prefix{};  ///< the file prefix as read
  std::array<unsigned char, kHeaderBytes> header{};  ///< the header as in the file
  std::string fileName = "untitled";              ///< the whole path, or "untitled"
  std::int32_t npts = 0;                          ///< set by CheckPSNHeader
  std::vector<std::int16_t> samples;
};

}  // namespace orvane
