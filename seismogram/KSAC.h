#pragma once
// KSAC: the one in-memory form of a seismogram.
//
// The header is the 632-byte binary SAC header, kept in memory in the file's
// layout (host byte order) and addressed by field index:
//   bytes   0-279  70 floats     (index 0-69)
//   bytes 280-439  40 int32      (index 0-39)
//   bytes 440-631  23 text fields (index 0 is 8 bytes, 1 is 16, 2-22 are 8)
// Field names and the indexes used by the program are the constants below.
// Times in the float header are seconds after the reference time given by
// nzyear, nzjday, nzhour, nzmin, nzsec, nzmsec; sample i lies at i*delta.

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "seismogram/BandPass.h"
#include "seismogram/Calendar.h"

namespace orvane {

class PEPP;
class PSN;

/// Thrown by the SAC reader; carries no data. The reason for a refusal is
/// available from the byte-level reader (see SACFile.h).
class KSACException : public std::exception {
 public:
  const char* what() const noexcept override { return "KSACException"; }
};

class KSAC {
 public:
  static constexpr int kHeaderBytes = 632;
  static constexpr int kFloatCount = 70;
  static constexpr int kIntCount = 40;
  static constexpr int kCharCount = 23;
  static constexpr int kMaxSamples = 1'000'000;
  static constexpr float UNDEFINED_FLOAT = -12345.0f;
  static constexpr std::int32_t UNDEFINED_INT = -12345;

  // Float header indexes.
  enum FloatIndex {
    DELTA = 0, DEPMIN = 1, DEPMAX = 2, SCALE = 3, ODELTA = 4, B = 5, E = 6, O = 7, A = 8,
    T0 = 10, T9 = 19, F = 20, STLA = 31, STLO = 32, STEL = 33, STDP = 34, EVLA = 35,
    EVLO = 36, EVEL = 37, EVDP = 38, MAG = 39, USER0 = 40, USER4 = 44, USER5 = 45,
    DIST = 50, AZ = 51, BAZ = 52, GCARC = 53, DEPMEN = 56, CMPAZ = 57, CMPINC = 58
  };
  // Integer header indexes.
  enum IntIndex {
    NZYEAR = 0, NZJDAY = 1, NZHOUR = 2, NZMIN = 3, NZSEC = 4, NZMSEC = 5, NVHDR = 6,
    NORID = 7, NEVID = 8, NPTS = 9, IFTYPE = 15, IDEP = 16, IZTYPE = 17, IEVTYP = 22,
    IQUAL = 23, LEVEN = 35, LPSPOL = 36, LOVROK = 37, LCALDA = 38
  };
  // Text header indexes.
  enum CharIndex { KSTNM = 0, KEVNM = 1, KHOLE = 2, KO = 3, KA = 4, KCMPNM = 19, KNETWK = 20 };

  /// A fresh record: Init without a path (no samples, npts 0, UNDEFINED fields).
  KSAC();
  /// Reads a SAC file (Init with the path). Throws KSACException.
  explicit KSAC(const std::string& path);
  /// Converts a PEPP record (origin 1).
  explicit KSAC(const PEPP& pepp);
  /// Converts a PSN record (origin 2).
  explicit KSAC(const PSN& psn);
  /// Builds a record from values; the record takes ownership of @p samples
  /// (an array of @p npts floats). Names are cut to 8 bytes.
  KSAC(std::int32_t npts, std::unique_ptr<float[]> samples, float stla, float stlo, float stel,
       float delta, const std::string& stationName, const std::string& componentName,
       const SYSTEMTIME& start);
  ~KSAC();
  KSAC(const KSAC&) = delete;
  KSAC& operator=(const KSAC&) = delete;

  /// Resets every field to its default (all UNDEFINED, then the fixed integer
  /// defaults); reads @p path as a SAC file when it is not null.
  void Init(const char* path, bool release);

  float GetFloatHeader(int index) const;         // 0.0 outside 0-69
  void SetFloatHeader(int index, float value);   // no effect outside 0-69
  std::int32_t GetIntHeader(int index) const;    // 0 outside 0-39
  void SetIntHeader(int index, std::int32_t value);
  /// The field's bytes in one shared 17-byte buffer (valid until the next call
  /// on any record); the empty text outside 0-22.
  const char* GetCharHeader(int index) const;
  /// The field's text up to its first NUL (at most 8 or 16 bytes) as a
  /// string of its own: safe to keep and to call from any thread.
  std::string GetCharHeaderText(int index) const;
  void SetCharHeader(int index, const char* text);

  /// Replaces the samples by a copy of @p values; reports code 1 and aborts
  /// when memory runs out.
  void SetData(const float* values, std::int32_t count);

  float GetPick(int n) const;            // slot n = float 10+n; UNDEFINED reads 0.0
  void SetPick(int n, float seconds);    // zeroes every later slot up to t9
  void ClearPicks();

  void ComputeMinMaxMean();

  SYSTEMTIME GetReferenceSystemTime() const;
  void SetReferenceTime(const SYSTEMTIME& time);
  void ComputeReferenceSeconds();
  /// @brief A reference time written with hour 24, minute 60, second 60 or
  /// nzmsec of 1000 or more is carried into the next unit (see
  /// CarryTimeOfDay): the same instant, now a valid reference time, so that
  /// the picks, which count from it, keep their instants. The PEPP and PSN
  /// conversions call it, since those files may write times that way.
  void CarryReferenceTime();
  /// Tick count of the reference time; false (and @p ticks 0) when the header
  /// has no valid reference time: nzyear outside 1601-30827, nzjday outside
  /// the year (month 13), or nzhour, nzmin, nzsec, nzmsec outside 0-23, 0-59,
  /// 0-59, 0-999 (UNDEFINED fields among them).
  ///
  /// A record without a valid reference time has no instants: referenceSeconds
  /// is 0, GetPickFileTime is 0, GetPickSeconds is 0.0 and GetPickSystemTime is
  /// the all-zero SYSTEMTIME. The same holds for a pick that is not finite or
  /// whose instant would lie before 1601 or beyond the tick range.
  bool GetReferenceFileTime(FileTime& ticks) const;
  SYSTEMTIME GetPickSystemTime(int n) const;
  FileTime GetPickFileTime(int n) const;
  double GetPickSeconds(int n) const;

  /// @brief Reads a SAC file of either byte order (see SACFile.h for how the
  /// order is told) into this record: header, origin 0, samples, then
  /// ComputeMinMaxMean. fileName is left alone.
  /// Throws KSACException when the file cannot be read (or is a directory),
  /// holds fewer than 632 bytes, has npts outside 0-1,000,000 or ends before
  /// its samples do; the record then has no samples. Bytes after the samples
  /// are ignored. A pipe reads like a file with its content.
  /// @return 0.
  int ReadSAC(const char* path);
  /// @brief Writes a big-endian SAC file whatever the host's byte order, the
  /// way WriteFile (BinaryFile.h) writes: a regular file is replaced whole or
  /// not at all, keeping its mode, owner and links. An nvhdr outside
  /// 1-20 is written as 6 (the record keeps its own), so that the file reads
  /// back in the right byte order.
  /// @return 0; 1 with error report 2001 "KSAC::WriteSAC" when npts is
  /// UNDEFINED (or negative, or set without samples), 1 with error report
  /// 2002 when the file cannot be created or written.
  int WriteSAC(const char* path);
  void SwapHeader();
  void SwapSamples();
  static void Swap4(unsigned char* word);

  // Data members, in the record's order. Other parts read samples,
  // referenceSeconds and alignOffset directly.
  std::unique_ptr<unsigned char[]> header;   // kHeaderBytes bytes
  std::uint8_t ownsLoadedSamples = 0;
  std::string fileName;                      // the whole path, or "untitled"
  std::int32_t origin = 0;                   // 0 SAC or values, 1 PEPP, 2 PSN
  long double referenceSeconds = 0.0L;       // seconds since 1601, tenth resolution
  float alignOffset = 0.0f;
  std::unique_ptr<float[]> samples;          // npts values, or null
  /// The student left this station out of the location: it keeps its pick
  /// and takes no part in the origin time or the RMS of a trial. Not part of
  /// any file format (exercise files keep it).
  bool leftOut = false;
  /// The band-pass the seismogram windows draw this record through (none:
  /// its samples as they are). It changes what is drawn only: the samples,
  /// the picks and everything written from the record stay as read. Not
  /// part of any file format (exercise files keep it).
  std::optional<BandPass> filter;

 private:
  // Tick count of pick slot n; false when there is no such instant.
  bool GetPickTicks(int n, FileTime& ticks) const;
};

}  // namespace orvane
