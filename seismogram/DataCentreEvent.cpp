#include "seismogram/DataCentreEvent.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>

#include "seismogram/BinaryFile.h"
#include "seismogram/StationXML.h"

namespace orvane {
namespace {

bool Operating(const StationEpoch& e, MicroTime t) { return (!e.start || *e.start <= t) && (!e.end || t < *e.end); }

bool HasPosition(const StationEpoch& e) { return e.latitude && e.longitude; }

// Of the entries that match and operate at @p t, the latest begun that has a
// position.
const StationEpoch* Latest(const std::vector<StationEpoch>& entries, MicroTime t,
                           bool (*matches)(const StationEpoch&, const MiniSEEDTrace&), const MiniSEEDTrace& trace) {
  const StationEpoch* best = nullptr;
  for (const StationEpoch& e : entries) {
    if (!matches(e, trace) || !Operating(e, t) || !HasPosition(e)) continue;
    if (best == nullptr || e.start.value_or(INT64_MIN) >= best->start.value_or(INT64_MIN)) best = &e;
  }
  return best;
}

// Why the path cannot be read before a byte of it is, or nothing.
std::optional<std::string> RefusedUnread(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return "the file cannot be opened";
  if (fs::is_directory(status)) return "the path is a directory, not a file";
  if (!fs::is_regular_file(status)) return "not a regular file (a FIFO, a device or a socket)";
  if (fs::file_size(path, ec) == 0 && !ec) return "the file is empty";
  return std::nullopt;
}

// The format table's reader of miniSEED files and their StationXML.
void ReadTogether(std::span<const std::string> paths, EventFiles& files) {
  DataCentreEvent event = ReadDataCentreFiles(paths);
  for (RefusedFile& r : event.refused) files.refused.push_back(std::move(r));
  for (std::size_t i = 0; i < event.records.size(); ++i) {
    files.records.push_back(std::move(event.records[i]));
    files.formats.push_back(SeismogramFormat::kMiniSEED);
    files.channels.push_back(event.ids[i]);
  }
  files.companions.insert(files.companions.end(), event.xmlFiles.begin(), event.xmlFiles.end());
  for (const std::string& id : event.withoutPosition)
    files.notes.push_back(id + ": no station position in the StationXML (left out of trials)");
  files.notes.insert(files.notes.end(), event.notes.begin(), event.notes.end());
  files.skippedComponents += event.skippedComponents;
}

}  // namespace

void RegisterDataCentreFormat() { SetReadTogether(SeismogramFormat::kMiniSEED, ReadTogether); }

const StationEpoch* FindPosition(const StationInventory& inventory, const MiniSEEDTrace& trace) {
  const auto sameChannel = [](const StationEpoch& e, const MiniSEEDTrace& t) {
    return e.network == t.network && e.station == t.station && e.location == t.location && e.channel == t.channel;
  };
  const auto sameStation = [](const StationEpoch& e, const MiniSEEDTrace& t) {
    return e.network == t.network && e.station == t.station;
  };
  if (const StationEpoch* c = Latest(inventory.channels, trace.start, sameChannel, trace)) return c;
  return Latest(inventory.stations, trace.start, sameStation, trace);
}

bool ApplyInventory(const StationInventory& inventory, MiniSEEDTrace& trace) {
  KSAC& k = *trace.record;
  if (inventory.origin) {
    const EventOrigin& o = *inventory.origin;
    // The reference time is the first sample cut to the millisecond.
    const MicroTime reference = trace.start - ((trace.start % 1000) + 1000) % 1000;
    k.SetFloatHeader(KSAC::O, static_cast<float>(static_cast<double>(o.time - reference) * 1.0e-6));
    k.SetFloatHeader(KSAC::EVLA, static_cast<float>(o.latitude));
    k.SetFloatHeader(KSAC::EVLO, static_cast<float>(o.longitude));
    if (o.depth) k.SetFloatHeader(KSAC::EVDP, static_cast<float>(*o.depth));
  }
  const StationEpoch* at = FindPosition(inventory, trace);
  if (at == nullptr) return false;
  k.SetFloatHeader(KSAC::STLA, static_cast<float>(*at->latitude));
  k.SetFloatHeader(KSAC::STLO, static_cast<float>(*at->longitude));
  std::optional<double> elevation = at->elevation;
  if (!elevation && !at->channel.empty()) {
    // A channel without its elevation stands at its station's.
    for (const StationEpoch& s : inventory.stations)
      if (s.network == trace.network && s.station == trace.station && Operating(s, trace.start) && s.elevation)
        elevation = s.elevation;
  }
  if (elevation) k.SetFloatHeader(KSAC::STEL, static_cast<float>(*elevation));
  if (at->depth) k.SetFloatHeader(KSAC::STDP, static_cast<float>(*at->depth));
  return true;
}

DataCentreEvent ReadDataCentreFiles(std::span<const std::string> paths, const DataCentreOptions& options) {
  DataCentreEvent event;
  MiniSEEDReader reader;
  StationInventory inventory;
  for (const std::string& path : paths) {
    if (auto why = RefusedUnread(path)) {
      event.refused.push_back({path, std::move(*why)});
      continue;
    }
    // The first bytes tell XML from miniSEED.
    std::vector<unsigned char> head;
    ByteReadError error;
    if (!ReadFileBytes(path, 64, head, error)) {
      event.refused.push_back({path, error.Text()});
      continue;
    }
    if (LooksLikeXml(head)) {
      std::string reason;
      const std::optional<EventOrigin> before = inventory.origin;
      if (!ReadEventXmlFile(path, inventory, reason)) {
        event.refused.push_back({path, "not a StationXML or QuakeML file: " + reason});
        continue;
      }
      event.xmlFiles.push_back(path);
      if (before && inventory.origin && inventory.origin->source != before->source) {
        // The first origin chosen counts; a second one is said and passed over.
        event.notes.push_back(path + ": a second event origin, passed over (the one of " + before->source +
                              " is used)");
        inventory.origin = before;
      }
      continue;
    }
    if (!reader.AddFile(path, error)) {
      event.refused.push_back({path, "not a miniSEED file: " + error.Text()});
    }
  }
  MiniSEEDData data = reader.Merge();
  for (MiniSEEDRefusal& r : data.refused) event.refused.push_back({std::move(r.what), std::move(r.reason)});
  event.origin = inventory.origin;
  for (MiniSEEDTrace& trace : data.traces) {
    const char last = trace.channel.empty() ? '\0' : static_cast<char>(std::toupper(
                                                          static_cast<unsigned char>(trace.channel.back())));
    if (options.verticalOnly && last != 'Z') {
      ++event.skippedComponents;
      continue;
    }
    if (!ApplyInventory(inventory, trace)) event.withoutPosition.push_back(trace.id);
    for (const std::string& note : trace.notes) event.notes.push_back(trace.id + ": " + note);
    event.ids.push_back(trace.id);
    event.records.push_back(std::move(trace.record));
  }
  return event;
}

}  // namespace orvane
