#include "seismogram/EventReader.h"

#include <utility>

namespace orvane {

EventFiles ReadEventFiles(std::span<const std::string> paths, std::optional<SeismogramFormat> chosen) {
  EventFiles event;
  for (const std::string& path : paths) {
    SeismogramReadResult result = chosen ? ReadSeismogramFileChosen(path, *chosen) : ReadSeismogramFile(path);
    if (!result.record) {
      event.refused.push_back({path, std::move(result.reason)});
      continue;
    }
    event.formats.push_back(result.format);
    event.records.push_back(std::move(result.record));
  }
  return event;
}

}  // namespace orvane
