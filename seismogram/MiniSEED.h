#pragma once
// miniSEED files, as data centres hand them out, read through libmseed.
//
// A file holds data records of fixed length (256-4096 bytes as a rule, any
// power of two the library reads), each a piece of one channel: network,
// station, location and channel codes, the time of its first sample, a
// sampling rate and samples in one encoding (Steim-1, Steim-2, 16- or 32-bit
// integers, 32- or 64-bit floats; header and data of either byte order).
//
// Every channel (NET.STA.LOC.CHA) of the files read together becomes one
// KSAC record: its data records, from any of the files, sorted by start time
// and each placed at the sample its time gives, counted from the channel's
// first sample:
//   - a record that starts later than the previous one ends leaves a gap:
//     the samples in between are NaN, which the windows draw as a gap and the
//     statistics leave out; no later sample moves;
//   - a record that starts before the previous one ends overlaps it: where
//     both hold a sample the earlier record's is kept (a repeated record
//     changes nothing; a NaN of the earlier one gives way to the later one's);
//   - a record whose start lies between two samples of the channel's grid
//     (a time tear of less than half a sample) is placed at the nearest one.
// Each of these is said in the channel's notes. A channel is refused, with
// the reason, when its sampling rate changes, when it would hold more than
// KSAC::kMaxSamples samples from its first to its last (a gap of days), or
// when a record's samples cannot be decoded; the other channels are kept.
//
// The record: reference time = the first sample (to the millisecond; the
// microseconds below it are b), delta = 1 / rate, npts, kstnm, knetwk,
// kcmpnm = the channel code, khole = the location code; no station position
// and no event origin (StationInventory.h adds them).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "seismogram/BinaryFile.h"
#include "seismogram/KSAC.h"
#include "seismogram/StationInventory.h"

namespace orvane {

/// @brief The instant @p time as "2024-01-31T10:00:05.120000".
std::string MicroTimeText(MicroTime time);

/// @brief true when @p bytes begin with a miniSEED data record (as far as the
/// fixed header tells).
bool LooksLikeMiniSEED(std::span<const unsigned char> bytes);

/// One channel of one event, merged from its records.
struct MiniSEEDTrace {
  std::string id;                  ///< "NET.STA.LOC.CHA", e.g. "IU.ANMO.00.BHZ"
  std::string network, station, location, channel;
  MicroTime start = 0;             ///< time of the first sample
  std::unique_ptr<KSAC> record;
  std::vector<std::string> notes;  ///< what the merging did, e.g. "1 gap ... drawn as a gap"
};

/// A file or a channel that gave no record, and why.
struct MiniSEEDRefusal {
  std::string what;    ///< the file's path, or the channel's id
  std::string reason;
};

/// The channels read from a set of files.
struct MiniSEEDData {
  std::vector<MiniSEEDTrace> traces;     ///< ordered by id
  std::vector<MiniSEEDRefusal> refused;  ///< files, then channels
};

/// Reads miniSEED files into channels. Add every file of an event (each is
/// checked record by record as it is added; a file with a bad record adds
/// nothing), then Merge.
class MiniSEEDReader {
 public:
  MiniSEEDReader();
  ~MiniSEEDReader();
  MiniSEEDReader(const MiniSEEDReader&) = delete;
  MiniSEEDReader& operator=(const MiniSEEDReader&) = delete;

  /// @brief Adds the file at @p path: its records are found and checked
  /// now, and their samples decoded by Merge, which reads the file again (so
  /// no file is held in memory whole). A directory, a FIFO or device, an
  /// unreadable file or one larger than kMaxFileBytes is refused.
  /// @return false with @p error when the file is refused; nothing of it is kept.
  bool AddFile(const std::string& path, ByteReadError& error);

  /// @brief Adds a file's content; @p source names it in records and notes.
  /// Every record must be a miniSEED data record whose length the library
  /// can tell (blockette 1000) and that lies whole inside @p bytes.
  bool AddBytes(std::vector<unsigned char> bytes, const std::string& source, ByteReadError& error);

  /// @brief One record per channel of everything added, ordered by id.
  /// The reader is empty afterwards.
  MiniSEEDData Merge();

  /// The largest file read (a 1,000,000-sample channel of 64-bit floats
  /// in 256-byte records fills about 10 MB; this leaves room for many).
  static constexpr std::size_t kMaxFileBytes = std::size_t{1} << 30;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

/// How EncodeMiniSEED packs samples.
struct MiniSEEDEncoding {
  enum Kind { kSteim1, kSteim2, kInt16, kInt32, kFloat32, kFloat64 };
  Kind kind = kSteim2;
  int recordLength = 512;  ///< a power of two, 256-4096 as a rule
  bool bigEndian = true;   ///< the byte order of headers and data
};

/// @brief The miniSEED records of @p samples as one channel starting at
/// @p start with @p rate samples per second. Integer encodings round each
/// sample to the nearest integer (clamped to the encoding's range).
/// @return false with @p reason when the library cannot pack them (a bad
/// record length, codes too long).
bool EncodeMiniSEED(const std::string& network, const std::string& station, const std::string& location,
                    const std::string& channel, MicroTime start, double rate, std::span<const float> samples,
                    const MiniSEEDEncoding& encoding, std::vector<unsigned char>& out, std::string& reason);

}  // namespace orvane
