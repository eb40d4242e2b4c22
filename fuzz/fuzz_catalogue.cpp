// Message catalogue: any bytes as catalogue text, looked up for a few codes.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "platform/ErrorReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (std::int16_t code : {std::int16_t{1}, std::int16_t{2001}, std::int16_t{-1}}) {
    std::istringstream in(text);
    (void)orvane::FindCatalogueEntry(in, code);
  }
  return 0;
}
