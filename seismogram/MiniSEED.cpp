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

// One data record, found when its file was added.
struct RecordEntry {
  std::size_t file = 0;     // index into the files kept
  std::size_t offset = 0;   // byte offset in the file
  int length = 0;           // record length
  MicroTime start = 0;
  double rate = 0.0;
  std::int64_t count = 0;   // samples in the record
};

struct ChannelKey {
  std::string network, station, location, channel;
  bool operator<(const ChannelKey& o) const {
    return std::tie(network, station, location, channel) < std::tie(o.network, o.station, o.location, o.channel);
  }
  std::string Id() const { return network + "." + station + "." + location + "." + channel; }
};

struct KeptFile {
  std::string source;
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

template <typename T>
void Place(const T* in, std::int64_t count, float* out, std::int64_t at, std::int64_t& highWater,
           MergeTally& tally, std::int64_t& firstConflictIndex) {
  std::int64_t i = 0;
  // Samples that land where an earlier record has already been.
  for (; i < count && at + i < highWater; ++i) {
    const float value = static_cast<float>(in[i]);
    float& slot = out[at + i];
    if (std::isnan(slot)) {
      slot = value;  // an earlier gap, filled
    } else if (slot == value) {
      ++tally.repeated;
    } else if (tally.conflicting++ == 0) {
      firstConflictIndex = at + i;
    }
  }
  float* dest = out + at + i;
  for (std::int64_t j = i; j < count; ++j) *dest++ = static_cast<float>(in[j]);
  highWater = std::max(highWater, at + count);
}

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
  const char* h = reinterpret_cast<const char*>(bytes.data());
  return MS_ISVALIDHEADER(h);
}

struct MiniSEEDReader::Impl {
  std::vector<KeptFile> files;
  std::map<ChannelKey, std::vector<RecordEntry>> channels;
  std::vector<MiniSEEDRefusal> refusedChannels;
};

MiniSEEDReader::MiniSEEDReader() : impl_(std::make_unique<Impl>()) { CaptureLibraryLog(); }
MiniSEEDReader::~MiniSEEDReader() = default;

bool MiniSEEDReader::AddFile(const std::string& path, ByteReadError& error) {
  std::vector<unsigned char> bytes;
  if (!ReadFileBytes(path, kMaxFileBytes + 1, bytes, error)) return false;
  if (bytes.size() > kMaxFileBytes) {
    error = {"the file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MB, more than one event needs",
             ByteReadError::kWholeFile};
    return false;
  }
  return AddBytes(std::move(bytes), path, error);
}

bool MiniSEEDReader::AddBytes(std::vector<unsigned char> bytes, const std::string& source, ByteReadError& error) {
  if (bytes.empty()) {
    error = {"the file is empty", ByteReadError::kWholeFile};
    return false;
  }
  if (bytes.size() > kMaxFileBytes) {
    error = {"the file is too large", ByteReadError::kWholeFile};
    return false;
  }
  const std::size_t fileIndex = impl_->files.size();
  std::map<ChannelKey, std::vector<RecordEntry>> found;
  ParsedRecord parsed;
  std::size_t offset = 0;
  libraryMessage.clear();
  while (offset < bytes.size()) {
    const std::size_t left = bytes.size() - offset;
    char* at = reinterpret_cast<char*>(bytes.data() + offset);
    if (left < 48 || !MS_ISVALIDHEADER(at)) {
      if (offset == 0) {
        error = {"not a miniSEED file: no data record at its start", ByteReadError::kWholeFile};
      } else {
        error = {"not a miniSEED data record (the file may be cut short or hold other data)", offset};
      }
      return false;
    }
    const int window = static_cast<int>(std::min<std::size_t>(left, MAXRECLEN));
    const int length = ms_detect(at, window);
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
    entry.file = fileIndex;
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
  for (auto& [key, records] : found) {
    auto& all = impl_->channels[key];
    all.insert(all.end(), records.begin(), records.end());
  }
  impl_->files.push_back({source, std::move(bytes)});
  return true;
}

MiniSEEDData MiniSEEDReader::Merge() {
  MiniSEEDData data;
  ParsedRecord parsed;
  for (auto& [key, records] : impl_->channels) {
    const std::string id = key.Id();
    auto refuse = [&](std::string reason) { data.refused.push_back({id, std::move(reason)}); };
    std::stable_sort(records.begin(), records.end(), [](const RecordEntry& a, const RecordEntry& b) {
      return std::tie(a.start, a.file, a.offset) < std::tie(b.start, b.file, b.offset);
    });
    const RecordEntry& first = records.front();
    const double rate = first.rate;
    if (!(rate > 0.0) || !std::isfinite(rate) || !(std::isfinite(1.0f / static_cast<float>(rate)))) {
      refuse("its sampling rate is " + NumberText(rate) + " samples per second");
      continue;
    }
    // Where every record starts on the channel's sample grid, and how long
    // the channel is from its first sample to its last.
    std::vector<std::int64_t> at(records.size());
    std::int64_t length = 0;
    bool refused = false;
    MergeTally tally;
    for (std::size_t r = 0; r < records.size() && !refused; ++r) {
      const RecordEntry& e = records[r];
      if (!MS_ISRATETOLERABLE(e.rate, rate)) {
        refuse("its sampling rate changes from " + NumberText(rate) + " to " + NumberText(e.rate) +
               " samples per second at " + MicroTimeText(e.start));
        refused = true;
        break;
      }
      const double exact = static_cast<double>(e.start - first.start) * 1.0e-6 * rate;
      const double end = exact + static_cast<double>(e.count);
      if (!(end <= KSAC::kMaxSamples + 0.5)) {
        refuse("its records span " + SecondsText(end / rate) + " from " + MicroTimeText(first.start) +
               ", more than the " + std::to_string(KSAC::kMaxSamples) + " samples a record holds");
        refused = true;
        break;
      }
      at[r] = std::llround(exact);
      tally.largestShift = std::max(tally.largestShift, std::fabs(exact - static_cast<double>(at[r])) / rate);
      length = std::max(length, at[r] + e.count);
    }
    if (refused) continue;
    if (length > KSAC::kMaxSamples) {
      refuse("it holds more than the " + std::to_string(KSAC::kMaxSamples) + " samples a record holds");
      continue;
    }

    std::unique_ptr<float[]> samples(new float[static_cast<std::size_t>(length)]);
    std::int64_t highWater = 0;
    std::int64_t firstConflictIndex = 0;
    for (std::size_t r = 0; r < records.size() && !refused; ++r) {
      const RecordEntry& e = records[r];
      KeptFile& file = impl_->files[e.file];
      char* bytes = reinterpret_cast<char*>(file.bytes.data() + e.offset);
      libraryMessage.clear();
      const int status = msr_parse(bytes, e.length, &parsed.msr, e.length, 1, 0);
      MSRecord* raw = parsed.msr;
      const std::string where = file.source + ", record at byte " + std::to_string(e.offset);
      if (status != MS_NOERROR || raw == nullptr) {
        refuse(where + ": its samples cannot be decoded: " +
               (status > 0 ? std::string("the record is cut short") : LibraryReason(status)));
        refused = true;
        break;
      }
      if (raw->numsamples != e.count || raw->datasamples == nullptr) {
        refuse(where + ": it says it holds " + std::to_string(e.count) + " samples, but " +
               std::to_string(raw->numsamples) + " were decoded");
        refused = true;
        break;
      }
      if (at[r] > highWater) {
        // A gap: left empty, so that nothing after it moves.
        if (tally.gaps++ == 0) tally.firstGap = first.start + std::llround(static_cast<double>(highWater) * 1.0e6 / rate);
        tally.gapSamples += at[r] - highWater;
        std::fill(samples.get() + highWater, samples.get() + at[r], std::numeric_limits<float>::quiet_NaN());
      }
      switch (raw->sampletype) {
        case 'i':
          Place(static_cast<const std::int32_t*>(raw->datasamples), e.count, samples.get(), at[r], highWater, tally,
                firstConflictIndex);
          break;
        case 'f':
          Place(static_cast<const float*>(raw->datasamples), e.count, samples.get(), at[r], highWater, tally,
                firstConflictIndex);
          break;
        case 'd':
          Place(static_cast<const double*>(raw->datasamples), e.count, samples.get(), at[r], highWater, tally,
                firstConflictIndex);
          break;
        default:
          refuse(where + ": its samples are not numbers (sample type '" + std::string(1, raw->sampletype) + "')");
          refused = true;
          break;
      }
    }
    if (refused) continue;

    MiniSEEDTrace trace;
    trace.id = id;
    trace.network = key.network;
    trace.station = key.station;
    trace.location = key.location;
    trace.channel = key.channel;
    trace.start = first.start;
    SYSTEMTIME calendar;
    int micro = 0;
    if (!SplitMicroTime(first.start, calendar, micro)) {
      refuse("its first sample lies at a time out of range");
      continue;
    }
    const float delta = static_cast<float>(1.0 / rate);
    const auto npts = static_cast<std::int32_t>(length);
    auto record = std::make_unique<KSAC>();
    record->fileName = impl_->files[first.file].source;
    record->samples = std::move(samples);
    record->SetIntHeader(KSAC::NPTS, npts);
    record->SetReferenceTime(calendar);
    record->SetFloatHeader(KSAC::DELTA, delta);
    const float b = static_cast<float>(micro * 1.0e-6);
    record->SetFloatHeader(KSAC::B, b);
    record->SetFloatHeader(KSAC::E, static_cast<float>(b + (length - 1) / rate));
    record->SetCharHeader(KSAC::KSTNM, key.station.c_str());
    record->SetCharHeader(KSAC::KNETWK, key.network.c_str());
    record->SetCharHeader(KSAC::KCMPNM, key.channel.c_str());
    record->SetCharHeader(KSAC::KHOLE, key.location.c_str());
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
      const MicroTime when = first.start + static_cast<MicroTime>(std::llround(firstConflictIndex * 1.0e6 / rate));
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
