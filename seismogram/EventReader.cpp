#include "seismogram/EventReader.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace orvane {
namespace {

// Why the file at @p path is no seismogram before a byte of it is read, or
// nothing. A FIFO would keep the reader waiting for a writer that may never
// come, a device can give bytes without end, and a file that says it has
// no bytes (as those of /proc do) holds no record of any format.
std::optional<std::string> RefusedUnread(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  // The readers say why a missing file or a directory cannot be read.
  if (!fs::exists(status) || fs::is_directory(status)) return std::nullopt;
  if (!fs::is_regular_file(status)) return "not a regular file (a FIFO, a device or a socket)";
  if (fs::file_size(path, ec) == 0 && !ec) return "the file is empty";
  return std::nullopt;
}

}  // namespace

EventFiles ReadEventFiles(std::span<const std::string> paths, std::optional<SeismogramFormat> chosen) {
  EventFiles event;
  std::map<SeismogramFormat, std::vector<std::string>> together;
  for (const std::string& path : paths) {
    if (std::optional<std::string> why = RefusedUnread(path)) {
      event.refused.push_back({path, std::move(*why)});
      continue;
    }
    const SeismogramFormatEntry& entry = FormatEntry(chosen ? *chosen : SeismogramFormatForPath(path));
    if (!entry.read) {
      together[entry.format].push_back(path);
      continue;
    }
    SeismogramReadResult result = chosen ? ReadSeismogramFileChosen(path, *chosen) : ReadSeismogramFile(path);
    if (!result.record) {
      event.refused.push_back({path, std::move(result.reason)});
      continue;
    }
    event.formats.push_back(result.format);
    event.channels.emplace_back();
    event.records.push_back(std::move(result.record));
  }
  for (const auto& [format, files] : together) {
    const SeismogramFormatEntry& entry = FormatEntry(format);
    if (entry.readTogether) {
      entry.readTogether(files, event);
      continue;
    }
    for (const std::string& path : files)
      event.refused.push_back({path, "this program reads no " + entry.title + " files"});
  }
  return event;
}

}  // namespace orvane
