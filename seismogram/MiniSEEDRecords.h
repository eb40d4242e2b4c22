#pragma once
// What the miniSEED reader's parts share: the scanning and checking of a
// file's records (MiniSEED.cpp), the merging of each channel's records
// (MiniSEEDMerge.cpp) and the encoder (MiniSEEDEncode.cpp). The library's
// messages, its record, a file's bytes and the records found in them. For
// these files only; everything else uses MiniSEED.h.

#include <libmseed.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "seismogram/Calendar.h"
#include "seismogram/MiniSEED.h"

namespace orvane {
namespace miniseed {

// libmseed reports what it refuses through its log, caught (once per
// program) so that nothing reaches standard error and the last message
// (per thread) can be given with the reason.
void CaptureLibraryLog();
// Forgets the library's last message, before a call whose message is wanted.
void ForgetLibraryMessage();
// The library's words for @p code, with its last message when it said more.
std::string LibraryReason(int code);

// The library's record, reused from one msr_parse to the next and freed
// when the guard goes.
struct ParsedRecord {
  MSRecord* msr = nullptr;
  ParsedRecord() = default;
  ParsedRecord(const ParsedRecord&) = delete;
  ParsedRecord& operator=(const ParsedRecord&) = delete;
  ~ParsedRecord() { msr_free(&msr); }
};

// The calendar time (to the millisecond) of @p time and the microseconds
// below it.
bool SplitMicroTime(MicroTime time, SYSTEMTIME& calendar, int& microseconds);

// One data record, found when its file was added, and where Merge puts it.
struct RecordEntry {
  std::size_t source = 0;    // index into the sources
  std::size_t offset = 0;    // byte offset in the file
  int length = 0;            // record length
  MicroTime start = 0;
  double rate = 0.0;
  std::int64_t count = 0;    // samples in the record
  // Planned by Merge:
  std::size_t channel = 0;   // index of its channel
  std::int64_t at = 0;       // index of its first sample in the channel
  std::int64_t overlap = 0;  // leading samples that fall where earlier records' samples are
};

// The bytes of a file: held in memory, or read from the file front to back
// through a buffer, so that no file is held whole.
class ByteSource {
 public:
  explicit ByteSource(std::vector<unsigned char>& bytes) : memory_(&bytes) {}
  explicit ByteSource(std::FILE* file) : file_(file), buffer_(kBuffer) {}

  // Bytes [offset, offset + want) as far as the file goes: @p available of
  // them (fewer than @p want only at its end). Offsets never go back.
  // Null with @p failed when the file cannot be read.
  unsigned char* At(std::size_t offset, std::size_t want, std::size_t& available, bool& failed);

 private:
  static constexpr std::size_t kBuffer = 2 * MAXRECLEN;
  std::vector<unsigned char>* memory_ = nullptr;
  std::FILE* file_ = nullptr;
  std::vector<unsigned char> buffer_;
  std::size_t start_ = 0;   // file offset of buffer_[0]
  std::size_t length_ = 0;  // bytes in the buffer
  bool atEnd_ = false;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct ChannelKey {
  std::string network, station, location, channel;
  bool operator<(const ChannelKey& o) const {
    return std::tie(network, station, location, channel) < std::tie(o.network, o.station, o.location, o.channel);
  }
  std::string Id() const { return network + "." + station + "." + location + "." + channel; }
};

// A file added: its name, and its bytes when it was added as bytes (a file
// read from disk is read again by Merge).
struct Source {
  std::string name;
  bool inMemory = false;
  std::vector<unsigned char> bytes;
};

// One channel being merged (MiniSEEDMerge.cpp).
struct Channel;

}  // namespace miniseed

struct MiniSEEDReader::Impl {
  std::vector<miniseed::Source> sources;
  std::map<miniseed::ChannelKey, std::vector<miniseed::RecordEntry>> channels;

  // Finds every data record of @p in and checks it; false (nothing kept)
  // at the first that cannot be read.
  bool Scan(miniseed::ByteSource& in, std::size_t sourceIndex, ByteReadError& error);
  // Decodes the planned records of source @p s into their channels.
  void Place(std::size_t s, std::vector<miniseed::Channel>& merged, std::vector<miniseed::RecordEntry*>& records);
};

}  // namespace orvane
