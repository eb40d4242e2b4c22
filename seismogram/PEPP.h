#pragma once
// PEPP: one seismogram of a PEPP file (extension ".set").
//
// File layout (little-endian throughout):
//   [36 bytes of any content, optional]
//   641-byte header (field offsets below)
//   npts samples, 32-bit IEEE floats
//   int32 end marker 95959595 (bytes 2B 3A B8 05)
//
// The record keeps the header exactly as the file holds it (little-endian
// bytes) and decodes a field when asked, so the many fields this program does
// not interpret travel unchanged from file to file. Header fields:
//
//   offset width type    content                                   Init value
//        0     2 int16   magic number, must be 3737                3737
//        2    15 text    format version, NUL-terminated            "PEPP_HVN_02.40"
//       17     2 int16   year of the start time
//       19     2 int16   month 1-12
//       21     2 int16   day of the month
//       23     2 int16   day of the year (1 = 1 January)
//       25     2 int16   hour
//       27     2 int16   minute
//       29     4 float   second, with its fraction
//       33     4 float   begin time, seconds after the start time
//       37     4 float   end time, seconds after the start time
//       41     4 float   sampling rate, samples per second
//       45     4 int32   number of samples npts                    641
//       49     2 int16   (not interpreted)                         -12345
//    51/55/59  4 float   smallest / largest / mean sample value    -12345.0
//       63     3 text    sample format                             "F4"
//       74     1 char    component letter                          '?'
//       75     3 text    (not interpreted)                         "-12"
//       79     5 text    recording mode                            "TRIG"
//    84/88     4 float   station latitude / longitude, degrees
//       92     2 int16   station elevation, metres
//       94     8 text    station name
//      143     2 int16   (not interpreted)                         1
//  145-153     4 float   (not interpreted, three)                  -12345.0
//      157     2 int16   (not interpreted)                         12
//      159     5 text    sensor name                               "AS-1"
//  176/180     4 float   (not interpreted)                         -12345.0
//  200/204     4 float   event latitude / longitude, degrees       -12345.0
//      208     4 float   event depth, km                           -12345.0
//  212-228     4 float   user values 0-4                           -12345.0 (not 220)
//      232     2 int16   (not interpreted)                         -12345
//      234     4 float   great-circle distance, degrees            -12345.0
//  238/242/246 4 float   distance km / azimuth / back azimuth      -12345.0
//      250     1 byte    (not interpreted)                         0
//      281    16         (not interpreted)                         zero
//      297     4 int32   (not interpreted)                         0
//      341   300 text    ten comment lines of 30 bytes             zero
// Every other byte is not interpreted and carried as it is.

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace orvane {

class KSAC;

/// Thrown by the PEPP reader (and by a conversion that cannot be made); carries
/// no data. The byte-level reader of PEPPFile.h says why a file was refused.
class PEPPException : public std::exception {
 public:
  const char* what() const noexcept override { return "PEPPException"; }
};

class PEPP {
 public:
  static constexpr int kHeaderBytes = 641;
  /// Bytes of any content that may precede the header in a file.
  static constexpr int kPrefixBytes = 36;
  static constexpr std::int16_t kMagic = 3737;
  static constexpr std::int32_t kEndMarker = 95959595;
  static constexpr std::int32_t kMaxSamples = 1'000'000;
  static constexpr float UNDEFINED_FLOAT = -12345.0f;
  static constexpr std::int16_t UNDEFINED_SHORT = -12345;
  static constexpr std::int32_t UNDEFINED_INT = -12345;

  /// Byte offsets of the header fields that the program reads or writes.
  enum Offset {
    MAGIC = 0, VERSION = 2, YEAR = 17, MONTH = 19, DAY = 21, DAY_OF_YEAR = 23, HOUR = 25,
    MINUTE = 27, SECOND = 29, BEGIN = 33, END = 37, SAMPLING_RATE = 41, NPTS = 45,
    DEPMIN = 51, DEPMAX = 55, DEPMEN = 59, SAMPLE_FORMAT = 63, COMPONENT = 74,
    RECORDING_MODE = 79, STLA = 84, STLO = 88, STEL = 92, STATION = 94, SENSOR = 159,
    EVLA = 200, EVLO = 204, EVDP_KM = 208, USER0 = 212, GCARC = 234, DIST = 238, AZ = 242,
    BAZ = 246, COMMENTS = 341
  };
  static constexpr int kStationBytes = 8;

  /// A fresh record (Init without a path): magic, version and the other Init
  /// values of the table above, npts 641 and no samples.
  PEPP();
  /// Reads the PEPP file @p path. Throws PEPPException when it is refused.
  explicit PEPP(const std::string& path);
  /// @brief Builds a record from a KSAC, ready for WritePEPP: start time from
  /// the reference time (second = nzsec + 0.001 nzmsec), begin 0, end
  /// delta (npts - 1), rate 1/delta, event depth evdp/1000 (metres to km),
  /// elevation stel truncated to 16 bits, fileName "untitled".
  explicit PEPP(const KSAC& record);
  /// @brief The same, but starting from the header @p carried (of the PEPP
  /// file the record was read from) instead of the Init values: the fields
  /// the record has no place for (the uninterpreted ones, comments, sensor,
  /// recording mode, format version) keep the bytes they have there.
  PEPP(const KSAC& record, const std::array<unsigned char, kHeaderBytes>& carried);
  PEPP(const PEPP&) = delete;
  PEPP& operator=(const PEPP&) = delete;
  PEPP(PEPP&&) = default;
  PEPP& operator=(PEPP&&) = default;

  /// @brief Resets the record: fileName = @p path or "untitled", no samples,
  /// the Init values of the header table (other header bytes keep what they
  /// hold); then reads @p path when it is not null. The samples are always
  /// released (@p release is kept for the interface the other formats share).
  /// Throws PEPPException when the file is refused.
  void Init(const char* path, bool release);

  /// @brief Reads the PEPP file @p path into this record (whole or not at all).
  /// Accepts the header at byte 0 or behind 36 bytes of any content.
  /// Throws PEPPException for a missing magic number, a sample count outside
  /// 0-1,000,000, a sampling rate that is not a positive finite number (or so
  /// small that its interval is infinite as a float), samples cut short, or an
  /// end marker that is wrong, cut short or absent.
  /// @return 0.
  int ReadPEPP(const char* path);

  /// @brief Writes the record: 641 header bytes, npts samples, the end marker.
  /// Written as WriteFile (BinaryFile.h) writes: a regular file is replaced
  /// whole or not at all, keeping its mode, owner and links; a FIFO or a
  /// device is written in place.
  /// @return 0 when written. 1 after error report 2001 "PEPP::WritePEPP" when
  /// npts is undefined (-12345), negative or not the number of samples held
  /// (no file is touched); 2 after error report 2002 "PEPP::WritePEPP" when
  /// the file cannot be created or written (an existing file is left as it was).
  int WritePEPP(const char* path) const;

  /// @brief Replaces the samples by a copy of @p count @p values and sets npts
  /// = count (a negative count gives no samples). Reports code 1
  /// "PEPP::SetData(float)" and aborts when memory runs out.
  void SetData(const float* values, std::int32_t count);

  // Typed access to the header at a byte offset, little-endian. A field that
  // would reach past the header reads as 0 (or the empty text) and writes nothing.
  std::int16_t GetShort(int offset) const;
  void SetShort(int offset, std::int16_t value);
  std::int32_t GetInt(int offset) const;
  void SetInt(int offset, std::int32_t value);
  float GetFloat(int offset) const;
  void SetFloat(int offset, float value);
  /// The text of a field of @p width bytes, up to its first NUL.
  std::string GetText(int offset, int width) const;
  /// Fixed width: a shorter text is NUL-padded, a longer one cut at @p width.
  void SetText(int offset, int width, const std::string& text);

  /// The sample count of the header (offset 45).
  std::int32_t Npts() const { return GetInt(NPTS); }

  std::uint8_t ownsLoadedSamples = 0;           ///< bit 0: the reader obtained the samples
  std::array<unsigned char, kHeaderBytes> header{};  ///< the header as in the file
  std::string fileName = "untitled";            ///< the whole path, or "untitled"
  std::vector<float> samples;                   ///< npts values once read or set

 private:
  // Sets every field that a record built from a KSAC takes from it.
  void TakeFields(const KSAC& record);
};

}  // namespace orvane
