// Message catalogue: any bytes as catalogue text, looked up for a few codes;
// the same bytes as a module text (a file name) shown escaped, which must
// leave nothing a terminal would act on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/ErrorReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (std::int16_t code : {std::int16_t{1}, std::int16_t{2001}, std::int16_t{-1}}) {
    std::istringstream in(text);
    (void)orvane::FindCatalogueEntry(in, code);
  }
  const std::string shown = orvane::EscapeControlCharacters(text);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const auto byte = static_cast<unsigned char>(shown[i]);
    const bool c1 = byte == 0xC2 && i + 1 < shown.size() && static_cast<unsigned char>(shown[i + 1]) <= 0x9F;
    if (byte < 0x20 || byte == 0x7F || c1) std::abort();
  }
  return 0;
}
