// StationXML and QuakeML files: any bytes through the XML reader. A refusal
// says why and adds nothing; what is accepted holds only positions in range
// and origins with a time and a position. The bytes are also tried as a time.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "seismogram/StationXML.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const unsigned char> bytes(data, size);
  orvane::StationInventory inventory;
  std::string reason;
  if (!orvane::ParseEventXml(bytes, "fuzz", inventory, reason)) {
    if (reason.empty() || !inventory.channels.empty() || !inventory.stations.empty() || inventory.origin)
      std::abort();
  }
  for (const auto* list : {&inventory.channels, &inventory.stations}) {
    for (const orvane::StationEpoch& e : *list) {
      if (e.latitude && !(std::fabs(*e.latitude) <= 90.0)) std::abort();
      if (e.longitude && !(std::fabs(*e.longitude) <= 180.0)) std::abort();
      if (e.elevation && !(std::fabs(*e.elevation) <= 1.0e5)) std::abort();
      if (e.depth && !(std::fabs(*e.depth) <= 1.0e5)) std::abort();
    }
  }
  if (inventory.origin && !(std::fabs(inventory.origin->latitude) <= 90.0)) std::abort();
  if (inventory.origin && inventory.origin->depth && !(std::fabs(*inventory.origin->depth) <= 6.4e6)) std::abort();
  (void)orvane::ParseIsoTime(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
