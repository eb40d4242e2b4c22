#include "view/HintLines.h"

#include <algorithm>

namespace orvane {
namespace {

bool IsControl(unsigned char c) { return (c < 0x20 && c != '\t') || c == 0x7f; }
bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Where to end the first piece of @p line, which is longer than the limit.
std::size_t SplitPoint(std::string_view line) {
  const std::string_view head = line.substr(0, kMaxHintLineLength);
  const std::size_t blank = head.find_last_of(" \t");
  if (blank != std::string_view::npos) return blank + 1;  // the blank ends the piece
  // No blank: split at the limit, but not inside a UTF-8 character (at most
  // three continuation bytes follow its first byte).
  std::size_t at = kMaxHintLineLength;
  for (int back = 0; back < 3 && at > 1 && IsContinuationByte(static_cast<unsigned char>(line[at])); ++back) --at;
  return IsContinuationByte(static_cast<unsigned char>(line[at])) ? kMaxHintLineLength : at;
}

void AddLine(std::string line, std::vector<std::string>& lines) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::replace_if(line.begin(), line.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); }, ' ');
  std::string_view rest(line);
  while (rest.size() > kMaxHintLineLength) {
    const std::size_t at = SplitPoint(rest);
    lines.emplace_back(rest.substr(0, at));
    rest.remove_prefix(at);
  }
  lines.emplace_back(rest);
}

}  // namespace

std::vector<std::string> ReadHintLines(std::string_view text) {
  text = text.substr(0, std::min(text.size(), kMaxHintTextBytes));
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      AddLine(std::string(text), lines);
      break;
    }
    AddLine(std::string(text.substr(0, end)), lines);
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::vector<std::string> ReadHintLines(std::istream& in) {
  // Read in pieces: a short text costs no more than its size.
  std::string text;
  char chunk[4096];
  while (text.size() < kMaxHintTextBytes) {
    const std::size_t want = std::min(sizeof chunk, kMaxHintTextBytes - text.size());
    in.read(chunk, static_cast<std::streamsize>(want));
    text.append(chunk, static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
    if (!in) break;
  }
  return ReadHintLines(text);
}

}  // namespace orvane
