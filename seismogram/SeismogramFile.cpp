#include "seismogram/SeismogramFile.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "seismogram/BinaryFile.h"

namespace orvane {
namespace {

// "not a SAC file: " + @p reason.
std::string NotA(const SeismogramFormatEntry& entry, const std::string& reason) {
  return "not a " + entry.title + " file: " + reason;
}

// ReadSeismogramFile for a pipe or a device that may have to go to a second
// reader: the bytes are read once and tried by @p entry's decoder, then by
// @p second's.
SeismogramReadResult ReadStreamWithFallback(const std::string& path, const SeismogramFormatEntry& entry,
                                            const SeismogramFormatEntry& second) {
  SeismogramReadResult result;
  result.format = entry.format;
  std::vector<unsigned char> bytes;
  ByteReadError error;
  // As much as the larger of the two formats can hold.
  if (!ReadFileBytes(path, std::max(entry.decodeBytes, second.decodeBytes), bytes, error)) {
    result.reason = NotA(entry, error.Text());
    return result;
  }
  entry.decode(bytes, path, result);
  if (result.record) return result;
  const std::string firstReason = result.reason;
  result.reason.clear();
  second.decode(bytes, path, result);
  if (!result.record) {
    result.reason = NotA(entry, firstReason) + "; " + NotA(second, result.reason);
    return result;
  }
  result.format = second.format;
  return result;
}

SeismogramReadResult ReadAs(const std::string& path, SeismogramFormat format, bool withFallback) {
  const SeismogramFormatEntry& entry = FormatEntry(format);
  const SeismogramFormatEntry* second =
      withFallback && entry.fallback ? &FormatEntry(*entry.fallback) : nullptr;
  SeismogramReadResult result;
  result.format = format;
  if (!entry.read) {
    result.reason = "a " + entry.title + " file is read together with the others of its event, not alone";
    return result;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) {
    result.reason = "the path is a directory, not a file";
    return result;
  }
  // A pipe can be read only once: when the first reader may have to hand it
  // on to a second one, its bytes are read first and kept for both.
  const bool stream = fs::exists(status) && !fs::is_regular_file(status);
  if (stream && second && entry.decode && second->decode) {
    result = ReadStreamWithFallback(path, entry, *second);
  } else {
    entry.read(path, result);
    if (!result.record && second) {
      // Event opening reads a file that the SAC reader refuses as PEPP.
      SeismogramReadResult retry;
      retry.format = second->format;
      second->read(path, retry);
      if (retry.record)
        result = std::move(retry);
      else
        result.reason = NotA(entry, result.reason) + "; " + NotA(*second, retry.reason);
    } else if (!result.record) {
      result.reason = NotA(entry, result.reason);
    }
  }
  if (result.record) {
    result.reason.clear();
    result.record->ComputeReferenceSeconds();
  }
  return result;
}

}  // namespace

SeismogramReadResult ReadSeismogramFile(const std::string& path, std::optional<SeismogramFormat> forced) {
  if (forced) return ReadAs(path, *forced, false);
  return ReadAs(path, SeismogramFormatForPath(path), true);
}

SeismogramReadResult ReadSeismogramFileChosen(const std::string& path, SeismogramFormat chosen) {
  return ReadAs(path, chosen, true);
}

namespace {

std::optional<std::string> WriteAs(const std::string& path, const KSAC& record, const SeismogramReadResult* source) {
  const SeismogramFormatEntry& entry = FormatEntry(SeismogramFormatForPath(path));
  if (entry.write) return entry.write(path, record, source);
  // Which names the output could have instead: ".sac (SAC) or .set (PEPP)".
  std::vector<std::string> writable;
  for (const SeismogramFormatEntry& e : SeismogramFormats()) {
    if (e.write && !e.patterns.empty()) writable.push_back(e.patterns.front().substr(1) + " (" + e.title + ")");
  }
  std::string names;
  for (std::size_t i = 0; i < writable.size(); ++i)
    names += (i == 0 ? "" : i + 1 == writable.size() ? " or " : ", ") + writable[i];
  return "there is no conversion into " + entry.title + " files: name the output " + names;
}

}  // namespace

std::optional<std::string> WriteSeismogramFile(const std::string& path, const KSAC& record) {
  return WriteAs(path, record, nullptr);
}

std::optional<std::string> WriteSeismogramFile(const std::string& path, const SeismogramReadResult& source) {
  if (!source.record) return std::string("there is no record to write");
  return WriteAs(path, *source.record, &source);
}

}  // namespace orvane
