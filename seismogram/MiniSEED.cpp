// The reading of miniSEED files: each record found and checked as its file
// is added; their samples are decoded and merged by MiniSEEDMerge.cpp.
#include "seismogram/MiniSEED.h"

#include <libmseed.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>
#include <utility>

#include "seismogram/Calendar.h"
#include "seismogram/MiniSEEDRecords.h"

namespace orvane {
namespace miniseed {
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

}  // namespace

void CaptureLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { ms_loginit(KeepMessage, nullptr, KeepMessage, nullptr); });
}

void ForgetLibraryMessage() { libraryMessage.clear(); }

std::string LibraryReason(int code) {
  std::string reason = ms_errorstr(code) != nullptr ? ms_errorstr(code) : "unknown error";
  if (!libraryMessage.empty()) reason += " (" + libraryMessage + ")";
  libraryMessage.clear();
  return reason;
}

bool SplitMicroTime(MicroTime time, SYSTEMTIME& calendar, int& microseconds) {
  const MicroTime below = ((time % 1000) + 1000) % 1000;
  FileTime ticks = 0;
  if (!MicroTimeToFileTime(time - below, ticks) || !FileTimeToSystemTime(ticks, calendar)) return false;
  if (calendar.wYear < 1601 || calendar.wYear > 30827) return false;
  microseconds = static_cast<int>(below);
  return true;
}

unsigned char* ByteSource::At(std::size_t offset, std::size_t want, std::size_t& available, bool& failed) {
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

}  // namespace miniseed

using miniseed::ByteSource;
using miniseed::CaptureLibraryLog;
using miniseed::ChannelKey;
using miniseed::FilePtr;
using miniseed::LibraryReason;
using miniseed::ParsedRecord;
using miniseed::RecordEntry;
using miniseed::SplitMicroTime;

namespace {

std::string Trimmed(const char* text) {
  std::string s = text;
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(s.begin());
  return s;
}

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
  miniseed::ForgetLibraryMessage();
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

}  // namespace orvane
