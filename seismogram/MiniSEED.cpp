#include "seismogram/MiniSEED.h"

#include <libmseed.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <system_error>
#include <tuple>
#include <utility>

#include "seismogram/Calendar.h"

namespace orvane {
namespace {

// libmseed reports what it refuses through its log; the last message is kept
// here (per thread) so that the reason given to the user can include it, and
// nothing reaches standard error.
thread_local std::string libraryMessage;

void KeepMessage(char* message) {
  std::string text = message != nullptr ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  libraryMessage = std::move(text);
}

void CaptureLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { ms_loginit(KeepMessage, nullptr, KeepMessage, nullptr); });
}

// The library's words for @p code, with its last message when it said more.
std::string LibraryReason(int code) {
  std::string reason = ms_errorstr(code) != nullptr ? ms_errorstr(code) : "unknown error";
  if (!libraryMessage.empty()) reason += " (" + libraryMessage + ")";
  libraryMessage.clear();
  return reason;
}

// The library's record, reused from one msr_parse to the next and freed
// when the guard goes.
struct ParsedRecord {
  MSRecord* msr = nullptr;
  ParsedRecord() = default;
  ParsedRecord(const ParsedRecord&) = delete;
  ParsedRecord& operator=(const ParsedRecord&) = delete;
  ~ParsedRecord() { msr_free(&msr); }
};

// 1970-01-01 in ticks since 1601-01-01.
constexpr FileTime kUnixEpochTicks = 116'444'736'000'000'000LL;

bool MicroTimeToFileTime(MicroTime time, FileTime& ticks) {
  constexpr MicroTime kLowest = -kUnixEpochTicks / 10;
  constexpr MicroTime kHighest = (std::numeric_limits<FileTime>::max() - kUnixEpochTicks) / 10;
  if (time < kLowest || time > kHighest) return false;
  ticks = time * 10 + kUnixEpochTicks;
  return true;
}

// The calendar time (to the millisecond) of @p time and the microseconds
// below it.
bool SplitMicroTime(MicroTime time, SYSTEMTIME& calendar, int& microseconds) {
  const MicroTime below = ((time % 1000) + 1000) % 1000;
  FileTime ticks = 0;
  if (!MicroTimeToFileTime(time - below, ticks) || !FileTimeToSystemTime(ticks, calendar)) return false;
  if (calendar.wYear < 1601 || calendar.wYear > 30827) return false;
  microseconds = static_cast<int>(below);
  return true;
}

std::string Trimmed(const char* text) {
  std::string s = text;
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(s.begin());
  return s;
}

std::string NumberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}

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
  unsigned char* At(std::size_t offset, std::size_t want, std::size_t& available, bool& failed) {
    failed = false;
    if (memory_ != nullptr) {
      available = offset < memory_->size() ? std::min(want, memory_->size() - offset) : 0;
      return memory_->data() + std::min(offset, memory_->size());
    }
    const std::size_t end = start_ + length_;
    if (offset < start_) {
      failed = true;
      return nullptr;
    }
    if (offset + want > end && !atEnd_) {
      // Keep what is still ahead, then fill the buffer.
      std::size_t keep = 0;
      if (offset < end) {
        keep = end - offset;
        std::memmove(buffer_.data(), buffer_.data() + (offset - start_), keep);
      } else if (offset > end) {
        if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
          failed = true;
          return nullptr;
        }
      }
      start_ = offset;
      length_ = keep;
      while (length_ < buffer_.size()) {
        const std::size_t got = std::fread(buffer_.data() + length_, 1, buffer_.size() - length_, file_);
        length_ += got;
        if (got == 0) {
          if (std::ferror(file_)) {
            failed = true;
            return nullptr;
          }
          atEnd_ = true;
          break;
        }
      }
    }
    const std::size_t last = start_ + length_;
    available = offset < last ? std::min(want, last - offset) : 0;
    return buffer_.data() + std::min(offset - start_, length_);
  }

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

// What the merging of one channel did, for its notes.
struct MergeTally {
  std::int64_t gaps = 0;
  std::int64_t gapSamples = 0;
  MicroTime firstGap = 0;
  std::int64_t repeated = 0;     // overlapping samples equal to the ones kept
  std::int64_t conflicting = 0;  // overlapping samples that differ
  MicroTime firstConflict = 0;
  double largestShift = 0.0;     // seconds a record was moved onto the grid
};

// Bytes per sample of a fixed-size encoding; -1 for the Steim encodings
// (whose decoders stop at the record's end); 0 for an encoding not read.
int SampleBytes(int encoding) {
  switch (encoding) {
    case DE_INT16: case DE_GEOSCOPE163: case DE_GEOSCOPE164: case DE_CDSN: case DE_SRO: case DE_DWWSSN:
      return 2;
    case DE_GEOSCOPE24: return 3;
    case DE_INT32: case DE_FLOAT32: return 4;
    case DE_FLOAT64: return 8;
    case DE_STEIM1: case DE_STEIM2: return -1;
    default: return 0;
  }
}

// Converts @p count samples of @p in to floats at @p out.
template <typename T>
void Convert(const T* in, std::int64_t count, float* out) {
  for (std::int64_t i = 0; i < count; ++i) out[i] = static_cast<float>(in[i]);
}

// 64-bit floats beyond the float range become infinities (a glitch the
// windows leave out), not an undefined conversion.
void Convert(const double* in, std::int64_t count, float* out) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  for (std::int64_t i = 0; i < count; ++i) {
    const double v = in[i];
    out[i] = v > kLargest    ? std::numeric_limits<float>::infinity()
             : v < -kLargest ? -std::numeric_limits<float>::infinity()
                             : static_cast<float>(v);
  }
}

// The samples of a decoded record from its @p from-th on, as floats.
bool ConvertSamples(const MSRecord& msr, std::int64_t from, std::int64_t count, float* out) {
  switch (msr.sampletype) {
    case 'i': Convert(static_cast<const std::int32_t*>(msr.datasamples) + from, count, out); return true;
    case 'f': Convert(static_cast<const float*>(msr.datasamples) + from, count, out); return true;
    case 'd': Convert(static_cast<const double*>(msr.datasamples) + from, count, out); return true;
    default: return false;
  }
}

// One channel being merged.
struct Channel {
  ChannelKey key;
  std::vector<RecordEntry> records;
  std::string refusal;            // why it gives no record, or empty
  std::int64_t length = 0;        // samples from the first to the last
  std::unique_ptr<float[]> samples;
  std::vector<std::pair<std::int64_t, std::int64_t>> gaps;  // [from, to) sample indexes
  // Samples of records that fall on earlier records' samples: compared with
  // them once every record has been placed.
  std::vector<std::pair<std::int64_t, std::vector<float>>> overlaps;
  MergeTally tally;
};

}  // namespace

std::string MicroTimeText(MicroTime time) {
  SYSTEMTIME t;
  int micro = 0;
  if (!SplitMicroTime(time, t, micro)) return "(a time out of range)";
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%06d", unsigned{t.wYear}, unsigned{t.wMonth},
                unsigned{t.wDay}, unsigned{t.wHour}, unsigned{t.wMinute}, unsigned{t.wSecond},
                int{t.wMilliseconds} * 1000 + micro);
  return text;
}

bool LooksLikeMiniSEED(std::span<const unsigned char> bytes) {
  if (bytes.size() < 48) return false;
  // Unsigned bytes, so that the header test's isdigit sees 0-255.
  const unsigned char* h = bytes.data();
  return MS_ISVALIDHEADER(h);
}

struct MiniSEEDReader::Impl {
  std::vector<Source> sources;
  std::map<ChannelKey, std::vector<RecordEntry>> channels;

  // Finds every data record of @p in and checks it; false (nothing kept)
  // at the first that cannot be read.
  bool Scan(ByteSource& in, std::size_t sourceIndex, ByteReadError& error);
  // Decodes the planned records of source @p s into their channels.
  void Place(std::size_t s, std::vector<Channel>& merged, std::vector<RecordEntry*>& records);
};

MiniSEEDReader::MiniSEEDReader() : impl_(std::make_unique<Impl>()) { CaptureLibraryLog(); }
MiniSEEDReader::~MiniSEEDReader() = default;

bool MiniSEEDReader::AddFile(const std::string& path, ByteReadError& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) {
    error = {"the path is a directory, not a file", ByteReadError::kWholeFile};
    return false;
  }
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    // Its records are read twice, and a pipe gives its bytes once.
    error = {"not a regular file (a FIFO, a device or a socket)", ByteReadError::kWholeFile};
    return false;
  }
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = {"the file cannot be opened", ByteReadError::kWholeFile};
    return false;
  }
  if (fs::file_size(path, ec) > kMaxFileBytes && !ec) {
    error = {"the file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MB, more than one event needs",
             ByteReadError::kWholeFile};
    return false;
  }
  ByteSource in(file.get());
  if (!impl_->Scan(in, impl_->sources.size(), error)) return false;
  impl_->sources.push_back({path, false, {}});
  return true;
}

bool MiniSEEDReader::AddBytes(std::vector<unsigned char> bytes, const std::string& source, ByteReadError& error) {
  if (bytes.size() > kMaxFileBytes) {
    error = {"the file is too large", ByteReadError::kWholeFile};
    return false;
  }
  ByteSource in(bytes);
  if (!impl_->Scan(in, impl_->sources.size(), error)) return false;
  impl_->sources.push_back({source, true, std::move(bytes)});
  return true;
}

bool MiniSEEDReader::Impl::Scan(ByteSource& in, std::size_t sourceIndex, ByteReadError& error) {
  std::map<ChannelKey, std::vector<RecordEntry>> found;
  ParsedRecord parsed;
  std::size_t offset = 0;
  libraryMessage.clear();
  for (;;) {
    std::size_t left = 0;
    bool failed = false;
    char* at = reinterpret_cast<char*>(in.At(offset, MAXRECLEN, left, failed));
    if (failed) {
      error = {"the file cannot be read", offset};
      return false;
    }
    if (left == 0) break;
    if (left < 48 || !LooksLikeMiniSEED({reinterpret_cast<const unsigned char*>(at), left})) {
      if (offset == 0) {
        error = {"not a miniSEED file: no data record at its start", ByteReadError::kWholeFile};
      } else {
        error = {"not a miniSEED data record (the file may be cut short or hold other data)", offset};
      }
      return false;
    }
    const int length = ms_detect(at, static_cast<int>(left));
    if (length <= 0) {
      error = {"the length of this record cannot be told: it has no blockette 1000", offset};
      return false;
    }
    if (length < MINRECLEN || length > MAXRECLEN || static_cast<std::size_t>(length) > left) {
      error = {"the record is " + std::to_string(length) + " bytes long, but the file ends after " +
                   std::to_string(left),
               offset};
      return false;
    }
    const int status = msr_parse(at, length, &parsed.msr, length, 0, 0);
    MSRecord* raw = parsed.msr;
    if (status != MS_NOERROR || raw == nullptr) {
      error = {"the library refuses the record: " +
                   (status > 0 ? std::string("it needs more bytes than the file holds") : LibraryReason(status)),
               offset};
      return false;
    }
    RecordEntry entry;
    entry.source = sourceIndex;
    entry.offset = offset;
    entry.length = length;
    entry.start = msr_starttime(raw);
    entry.rate = raw->samprate;
    entry.count = raw->samplecnt;
    if (entry.start == HPTERROR) {
      error = {"the record's start time is not a valid time", offset};
      return false;
    }
    // Text (log) records and records without samples hold nothing to draw.
    if (raw->encoding != DE_ASCII && entry.count > 0) {
      // The library decodes samples of a fixed size without checking that
      // the record holds as many as its header says: checked here.
      const int size = SampleBytes(raw->encoding);
      const int dataOffset = raw->fsdh != nullptr ? raw->fsdh->data_offset : 0;
      if (size == 0) {
        error = {"the record's samples are in an encoding the reader does not know (" +
                     std::to_string(raw->encoding) + ")",
                 offset};
        return false;
      }
      if (dataOffset < 48 || dataOffset >= length ||
          (size > 0 && entry.count > (length - dataOffset) / size)) {
        error = {"the record says it holds " + std::to_string(entry.count) + " samples, more than its " +
                     std::to_string(length) + " bytes can hold",
                 offset};
        return false;
      }
      ChannelKey key{Trimmed(raw->network), Trimmed(raw->station), Trimmed(raw->location), Trimmed(raw->channel)};
      found[std::move(key)].push_back(entry);
    }
    offset += static_cast<std::size_t>(length);
  }
  if (offset == 0) {
    error = {"the file is empty", ByteReadError::kWholeFile};
    return false;
  }
  for (auto& [key, records] : found) {
    auto& all = channels[key];
    all.insert(all.end(), records.begin(), records.end());
  }
  return true;
}

void MiniSEEDReader::Impl::Place(std::size_t s, std::vector<Channel>& merged, std::vector<RecordEntry*>& records) {
  Source& source = sources[s];
  FilePtr file;
  std::unique_ptr<ByteSource> in;
  if (source.inMemory) {
    in = std::make_unique<ByteSource>(source.bytes);
  } else {
    file.reset(std::fopen(source.name.c_str(), "rb"));
    if (file) in = std::make_unique<ByteSource>(file.get());
  }
  std::sort(records.begin(), records.end(),
            [](const RecordEntry* a, const RecordEntry* b) { return a->offset < b->offset; });
  ParsedRecord parsed;
  for (const RecordEntry* e : records) {
    Channel& channel = merged[e->channel];
    if (!channel.refusal.empty()) continue;
    const std::string where = source.name + ", record at byte " + std::to_string(e->offset);
    std::size_t available = 0;
    bool failed = !in;
    char* bytes = in ? reinterpret_cast<char*>(in->At(e->offset, static_cast<std::size_t>(e->length), available,
                                                      failed))
                     : nullptr;
    if (failed || available < static_cast<std::size_t>(e->length)) {
      channel.refusal = source.name + ": the file cannot be read again (it changed while it was read)";
      continue;
    }
    libraryMessage.clear();
    const int status = msr_parse(bytes, e->length, &parsed.msr, e->length, 1, 0);
    MSRecord* raw = parsed.msr;
    if (status != MS_NOERROR || raw == nullptr) {
      channel.refusal = where + ": its samples cannot be decoded: " +
                        (status > 0 ? std::string("the record is cut short") : LibraryReason(status));
      continue;
    }
    if (raw->samplecnt != e->count || msr_starttime(raw) != e->start) {
      channel.refusal = source.name + ": the file changed while it was read";
      continue;
    }
    if (raw->numsamples != e->count || raw->datasamples == nullptr) {
      channel.refusal = where + ": it says it holds " + std::to_string(e->count) + " samples, but " +
                        std::to_string(raw->numsamples) + " were decoded";
      continue;
    }
    const std::int64_t fresh = e->count - e->overlap;
    bool numbers = ConvertSamples(*raw, e->overlap, fresh, channel.samples.get() + e->at + e->overlap);
    if (numbers && e->overlap > 0) {
      std::vector<float> earlier(static_cast<std::size_t>(e->overlap));
      numbers = ConvertSamples(*raw, 0, e->overlap, earlier.data());
      channel.overlaps.emplace_back(e->at, std::move(earlier));
    }
    if (!numbers)
      channel.refusal = where + ": its samples are not numbers (sample type '" + std::string(1, raw->sampletype) + "')";
  }
}

MiniSEEDData MiniSEEDReader::Merge() {
  MiniSEEDData data;
  std::vector<Channel> merged;
  merged.reserve(impl_->channels.size());
  for (auto& [key, records] : impl_->channels) {
    merged.push_back({});
    merged.back().key = key;
    merged.back().records = std::move(records);
  }
  impl_->channels.clear();

  // The plan: every record's place in its channel, in time order.
  for (std::size_t c = 0; c < merged.size(); ++c) {
    Channel& channel = merged[c];
    auto& records = channel.records;
    std::stable_sort(records.begin(), records.end(), [](const RecordEntry& a, const RecordEntry& b) {
      return std::tie(a.start, a.source, a.offset) < std::tie(b.start, b.source, b.offset);
    });
    const RecordEntry& first = records.front();
    const double rate = first.rate;
    if (!(rate > 0.0) || !std::isfinite(rate) || !(std::isfinite(1.0f / static_cast<float>(rate)))) {
      channel.refusal = "its sampling rate is " + NumberText(rate) + " samples per second";
      continue;
    }
    std::int64_t highWater = 0;
    for (RecordEntry& e : records) {
      e.channel = c;
      if (!MS_ISRATETOLERABLE(e.rate, rate)) {
        channel.refusal = "its sampling rate changes from " + NumberText(rate) + " to " + NumberText(e.rate) +
                          " samples per second at " + MicroTimeText(e.start);
        break;
      }
      const double exact = static_cast<double>(e.start - first.start) * 1.0e-6 * rate;
      const double end = exact + static_cast<double>(e.count);
      if (!(end <= KSAC::kMaxSamples + 0.5)) {
        channel.refusal = "its records span " + SecondsText(end / rate) + " from " + MicroTimeText(first.start) +
                          ", more than the " + std::to_string(KSAC::kMaxSamples) + " samples a record holds";
        break;
      }
      e.at = std::llround(exact);
      channel.tally.largestShift =
          std::max(channel.tally.largestShift, std::fabs(exact - static_cast<double>(e.at)) / rate);
      if (e.at > highWater) {
        // A gap: left empty, so that nothing after it moves. (In time order
        // no later record reaches back into it.)
        if (channel.gaps.empty()) {
          channel.tally.firstGap = first.start + std::llround(static_cast<double>(highWater) * 1.0e6 / rate);
        }
        channel.gaps.emplace_back(highWater, e.at);
        channel.tally.gapSamples += e.at - highWater;
      }
      e.overlap = std::clamp<std::int64_t>(highWater - e.at, 0, e.count);
      highWater = std::max(highWater, e.at + e.count);
    }
    channel.length = highWater;
    if (!channel.refusal.empty()) continue;
    if (channel.length > KSAC::kMaxSamples) {
      channel.refusal = "it holds more than the " + std::to_string(KSAC::kMaxSamples) + " samples a record holds";
      continue;
    }
    channel.tally.gaps = static_cast<std::int64_t>(channel.gaps.size());
    channel.samples.reset(new float[static_cast<std::size_t>(channel.length)]);
    for (const auto& [from, to] : channel.gaps)
      std::fill(channel.samples.get() + from, channel.samples.get() + to, std::numeric_limits<float>::quiet_NaN());
  }

  // The samples, file by file, each read front to back once more.
  std::vector<std::vector<RecordEntry*>> bySource(impl_->sources.size());
  for (Channel& channel : merged) {
    if (!channel.refusal.empty()) continue;
    for (RecordEntry& e : channel.records) bySource[e.source].push_back(&e);
  }
  for (std::size_t s = 0; s < bySource.size(); ++s) {
    if (!bySource[s].empty()) impl_->Place(s, merged, bySource[s]);
  }

  for (Channel& channel : merged) {
    const std::string id = channel.key.Id();
    if (!channel.refusal.empty()) {
      data.refused.push_back({id, channel.refusal});
      continue;
    }
    const RecordEntry& first = channel.records.front();
    const double rate = first.rate;
    // Where records overlap, the earlier record's samples are kept (a NaN
    // of theirs is filled).
    MergeTally& tally = channel.tally;
    std::int64_t firstConflict = 0;
    for (const auto& [at, values] : channel.overlaps) {
      for (std::size_t i = 0; i < values.size(); ++i) {
        float& slot = channel.samples[at + static_cast<std::int64_t>(i)];
        if (std::isnan(slot)) {
          slot = values[i];
        } else if (slot == values[i]) {
          ++tally.repeated;
        } else if (tally.conflicting++ == 0 || at + static_cast<std::int64_t>(i) < firstConflict) {
          firstConflict = at + static_cast<std::int64_t>(i);
        }
      }
    }

    SYSTEMTIME calendar;
    int micro = 0;
    if (!SplitMicroTime(first.start, calendar, micro)) {
      data.refused.push_back({id, "its first sample lies at a time out of range"});
      continue;
    }
    MiniSEEDTrace trace;
    trace.id = id;
    trace.network = channel.key.network;
    trace.station = channel.key.station;
    trace.location = channel.key.location;
    trace.channel = channel.key.channel;
    trace.start = first.start;
    const float delta = static_cast<float>(1.0 / rate);
    auto record = std::make_unique<KSAC>();
    record->fileName = impl_->sources[first.source].name;
    record->samples = std::move(channel.samples);
    record->SetIntHeader(KSAC::NPTS, static_cast<std::int32_t>(channel.length));
    record->SetReferenceTime(calendar);
    record->SetFloatHeader(KSAC::DELTA, delta);
    const float b = static_cast<float>(micro * 1.0e-6);
    record->SetFloatHeader(KSAC::B, b);
    record->SetFloatHeader(KSAC::E, static_cast<float>(b + static_cast<double>(channel.length - 1) / rate));
    record->SetCharHeader(KSAC::KSTNM, channel.key.station.c_str());
    record->SetCharHeader(KSAC::KNETWK, channel.key.network.c_str());
    record->SetCharHeader(KSAC::KCMPNM, channel.key.channel.c_str());
    record->SetCharHeader(KSAC::KHOLE, channel.key.location.c_str());
    record->ComputeMinMaxMean();
    record->ComputeReferenceSeconds();

    if (tally.gaps > 0) {
      trace.notes.push_back(std::to_string(tally.gaps) + (tally.gaps == 1 ? " gap" : " gaps") + " (" +
                            SecondsText(static_cast<double>(tally.gapSamples) / rate) + " in all, the first at " +
                            MicroTimeText(tally.firstGap) + ") left empty and drawn as " +
                            (tally.gaps == 1 ? "a gap" : "gaps"));
    }
    if (tally.repeated > 0) {
      trace.notes.push_back(std::to_string(tally.repeated) +
                            " samples held twice by overlapping records were taken once");
    }
    if (tally.conflicting > 0) {
      const MicroTime when = first.start + std::llround(static_cast<double>(firstConflict) * 1.0e6 / rate);
      trace.notes.push_back(std::to_string(tally.conflicting) +
                            " samples of overlapping records differ from the samples before them (the first at " +
                            MicroTimeText(when) + "); the earlier record's samples are kept");
    }
    // Start times are stored to 0.1 ms; a shift below that and below a
    // hundredth of a sample is the grid itself.
    if (tally.largestShift > std::max(1.0e-4, 0.01 / rate)) {
      trace.notes.push_back("records off the sample grid by up to " + SecondsText(tally.largestShift) +
                            " were placed at the nearest sample");
    }
    trace.record = std::move(record);
    data.traces.push_back(std::move(trace));
  }
  impl_ = std::make_unique<Impl>();
  return data;
}

namespace {

struct PackTarget {
  std::vector<unsigned char>* out;
};

void AppendRecord(char* record, int length, void* handlerData) {
  auto* target = static_cast<PackTarget*>(handlerData);
  target->out->insert(target->out->end(), record, record + length);
}

template <typename T>
std::vector<T> Rounded(std::span<const float> samples) {
  std::vector<T> out(samples.size());
  const double low = static_cast<double>(std::numeric_limits<T>::min());
  const double high = static_cast<double>(std::numeric_limits<T>::max());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double v = std::isnan(samples[i]) ? 0.0 : std::nearbyint(static_cast<double>(samples[i]));
    out[i] = static_cast<T>(std::clamp(v, low, high));
  }
  return out;
}

}  // namespace

bool EncodeMiniSEED(const std::string& network, const std::string& station, const std::string& location,
                    const std::string& channel, MicroTime start, double rate, std::span<const float> samples,
                    const MiniSEEDEncoding& encoding, std::vector<unsigned char>& out, std::string& reason) {
  CaptureLibraryLog();
  out.clear();
  if (network.size() > 10 || station.size() > 10 || location.size() > 10 || channel.size() > 10) {
    reason = "a network, station, location or channel code is longer than 10 characters";
    return false;
  }
  if (!(rate > 0.0) || !std::isfinite(rate)) {
    reason = "the sampling rate must be a positive number";
    return false;
  }
  MSRecord* msr = msr_init(nullptr);
  if (msr == nullptr) {
    reason = "out of memory";
    return false;
  }
  std::strcpy(msr->network, network.c_str());
  std::strcpy(msr->station, station.c_str());
  std::strcpy(msr->location, location.c_str());
  std::strcpy(msr->channel, channel.c_str());
  msr->dataquality = 'D';
  msr->starttime = start;
  msr->samprate = rate;
  msr->reclen = encoding.recordLength;
  msr->byteorder = encoding.bigEndian ? 1 : 0;

  std::vector<std::int32_t> ints;
  std::vector<float> floats;
  std::vector<double> doubles;
  switch (encoding.kind) {
    case MiniSEEDEncoding::kSteim1:
    case MiniSEEDEncoding::kSteim2:
    case MiniSEEDEncoding::kInt16:
    case MiniSEEDEncoding::kInt32:
      if (encoding.kind == MiniSEEDEncoding::kInt16) {
        const std::vector<std::int16_t> shorts = Rounded<std::int16_t>(samples);
        ints.assign(shorts.begin(), shorts.end());
      } else {
        ints = Rounded<std::int32_t>(samples);
      }
      msr->datasamples = ints.data();
      msr->sampletype = 'i';
      msr->encoding = encoding.kind == MiniSEEDEncoding::kSteim1   ? DE_STEIM1
                      : encoding.kind == MiniSEEDEncoding::kSteim2 ? DE_STEIM2
                      : encoding.kind == MiniSEEDEncoding::kInt16  ? DE_INT16
                                                                   : DE_INT32;
      break;
    case MiniSEEDEncoding::kFloat32:
      floats.assign(samples.begin(), samples.end());
      msr->datasamples = floats.data();
      msr->sampletype = 'f';
      msr->encoding = DE_FLOAT32;
      break;
    case MiniSEEDEncoding::kFloat64:
      doubles.assign(samples.begin(), samples.end());
      msr->datasamples = doubles.data();
      msr->sampletype = 'd';
      msr->encoding = DE_FLOAT64;
      break;
  }
  msr->numsamples = static_cast<std::int64_t>(samples.size());
  PackTarget target{&out};
  std::int64_t packed = 0;
  libraryMessage.clear();
  const int records = msr_pack(msr, AppendRecord, &target, &packed, 1, 0);
  msr->datasamples = nullptr;  // ours, not the library's
  msr_free(&msr);
  if (records < 0 || packed != static_cast<std::int64_t>(samples.size())) {
    reason = "the samples cannot be packed: " + LibraryReason(records < 0 ? records : MS_GENERROR);
    out.clear();
    return false;
  }
  return true;
}

}  // namespace orvane
