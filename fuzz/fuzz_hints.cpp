// Hints texts: any bytes as "init.txt" or "picking.txt", read into the lines
// the hints window shows.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "view/HintLines.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = orvane::ReadHintLines(text);
  std::size_t total = 0;
  for (const std::string& line : lines) {
    Check(line.size() <= orvane::kMaxHintLineLength);
    for (unsigned char c : line) Check(c == '\t' || (c >= 0x20 && c != 0x7f));
    total += line.size();
  }
  // Nothing is made up: no more bytes than were read, no more lines than bytes.
  Check(total <= size);
  Check(lines.size() <= size);
  Check(lines.empty() == (size == 0));
  // The stream reader gives the same lines.
  std::istringstream in{std::string(text)};
  Check(orvane::ReadHintLines(in) == lines);
  return 0;
}
