// The merging of miniSEED records into one record per channel: the plan
// (every record's place on its channel's sample grid, gaps and overlaps),
// the decoding of the samples, file by file, into the planned places, and
// the channel's record with notes of what the merging did.
#include "seismogram/MiniSEED.h"

#include <libmseed.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <tuple>
#include <utility>

#include "seismogram/Calendar.h"
#include "seismogram/MiniSEEDRecords.h"

namespace orvane {
namespace miniseed {

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

}  // namespace miniseed

using miniseed::ByteSource;
using miniseed::Channel;
using miniseed::FilePtr;
using miniseed::LibraryReason;
using miniseed::MergeTally;
using miniseed::ParsedRecord;
using miniseed::RecordEntry;
using miniseed::Source;
using miniseed::SplitMicroTime;

namespace {

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

// Places the records of @p channel (index @p index), sorted by time, on the
// sample grid of its first record (@p rate): each record's first sample and
// the samples it shares with earlier ones, the gaps between them. Sets the
// refusal at a rate that changes or a span too long for one record.
// @return the samples from the first to the end of the last record placed.
std::int64_t PutRecordsOnGrid(std::size_t index, Channel& channel, double rate) {
  const RecordEntry& first = channel.records.front();
  std::int64_t highWater = 0;
  for (RecordEntry& e : channel.records) {
    e.channel = index;
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
  return highWater;
}

// The plan of channel @p index: every record's place in it, in time order;
// its samples made ready (the gaps NaN) unless it is refused.
void PlanChannel(std::size_t index, Channel& channel) {
  auto& records = channel.records;
  std::stable_sort(records.begin(), records.end(), [](const RecordEntry& a, const RecordEntry& b) {
    return std::tie(a.start, a.source, a.offset) < std::tie(b.start, b.source, b.offset);
  });
  const double rate = records.front().rate;
  if (!(rate > 0.0) || !std::isfinite(rate) || !(std::isfinite(1.0f / static_cast<float>(rate)))) {
    channel.refusal = "its sampling rate is " + NumberText(rate) + " samples per second";
    return;
  }
  channel.length = PutRecordsOnGrid(index, channel, rate);
  if (!channel.refusal.empty()) return;
  if (channel.length > KSAC::kMaxSamples) {
    channel.refusal = "it holds more than the " + std::to_string(KSAC::kMaxSamples) + " samples a record holds";
    return;
  }
  channel.tally.gaps = static_cast<std::int64_t>(channel.gaps.size());
  channel.samples.reset(new float[static_cast<std::size_t>(channel.length)]);
  for (const auto& [from, to] : channel.gaps)
    std::fill(channel.samples.get() + from, channel.samples.get() + to, std::numeric_limits<float>::quiet_NaN());
}

// Where records overlap, the earlier record's samples are kept (a NaN of
// theirs is filled); the repeated and differing samples are counted.
// @return the index of the first sample that differs.
std::int64_t KeepEarlierSamples(Channel& channel) {
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
  return firstConflict;
}

// The record of a merged channel: its samples and header, its first sample
// at @p calendar and @p micro microseconds.
std::unique_ptr<KSAC> ChannelRecord(Channel& channel, const SYSTEMTIME& calendar, int micro,
                                    const std::string& fileName) {
  const double rate = channel.records.front().rate;
  const float delta = static_cast<float>(1.0 / rate);
  auto record = std::make_unique<KSAC>();
  record->fileName = fileName;
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
  return record;
}

// What the merging of a channel starting at @p start did, for the student.
std::vector<std::string> MergeNotes(const MergeTally& tally, MicroTime start, double rate,
                                    std::int64_t firstConflict) {
  std::vector<std::string> notes;
  if (tally.gaps > 0) {
    notes.push_back(std::to_string(tally.gaps) + (tally.gaps == 1 ? " gap" : " gaps") + " (" +
                    SecondsText(static_cast<double>(tally.gapSamples) / rate) + " in all, the first at " +
                    MicroTimeText(tally.firstGap) + ") left empty and drawn as " +
                    (tally.gaps == 1 ? "a gap" : "gaps"));
  }
  if (tally.repeated > 0) {
    notes.push_back(std::to_string(tally.repeated) + " samples held twice by overlapping records were taken once");
  }
  if (tally.conflicting > 0) {
    const MicroTime when = start + std::llround(static_cast<double>(firstConflict) * 1.0e6 / rate);
    notes.push_back(std::to_string(tally.conflicting) +
                    " samples of overlapping records differ from the samples before them (the first at " +
                    MicroTimeText(when) + "); the earlier record's samples are kept");
  }
  // Start times are stored to 0.1 ms; a shift below that and below a
  // hundredth of a sample is the grid itself.
  if (tally.largestShift > std::max(1.0e-4, 0.01 / rate)) {
    notes.push_back("records off the sample grid by up to " + SecondsText(tally.largestShift) +
                    " were placed at the nearest sample");
  }
  return notes;
}

}  // namespace

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
    miniseed::ForgetLibraryMessage();
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

  for (std::size_t c = 0; c < merged.size(); ++c) PlanChannel(c, merged[c]);

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
    const std::int64_t firstConflict = KeepEarlierSamples(channel);
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
    trace.record = ChannelRecord(channel, calendar, micro, impl_->sources[first.source].name);
    trace.notes = MergeNotes(channel.tally, first.start, first.rate, firstConflict);
    data.traces.push_back(std::move(trace));
  }
  impl_ = std::make_unique<Impl>();
  return data;
}

}  // namespace orvane
