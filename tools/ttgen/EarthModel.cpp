#include "tools/ttgen/EarthModel.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

namespace orvane::ttgen {

namespace {

std::string Where(const std::string& name, std::size_t line) {
  return name + " line " + std::to_string(line) + ": ";
}

// Splits a line into blank-separated words.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

bool ParseNumber(std::string_view word, double& value) {
  const char* first = word.data();
  const char* last = word.data() + word.size();
  if (first != last && *first == '+') ++first;  // from_chars refuses a leading '+'
  auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last && std::isfinite(value);
}

}  // namespace

bool EarthModel::FormatFromName(const std::string& path, ModelFormat& format) {
  auto endsWith = [&](std::string_view suffix) {
    return path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  if (endsWith(".tvel")) {
    format = ModelFormat::Tvel;
    return true;
  }
  if (endsWith(".nd")) {
    format = ModelFormat::Nd;
    return true;
  }
  return false;
}

EarthModel EarthModel::Load(const std::string& path) {
  ModelFormat format;
  if (!FormatFromName(path, format))
    throw EarthModelError(path + ": unknown model format (the name must end in .tvel or .nd)");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EarthModelError(path + ": cannot open the model file");
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw EarthModelError(path + ": cannot read the model file");
  if (static_cast<unsigned long long>(size) > kMaxFileBytes)
    throw EarthModelError(path + ": model file larger than " + std::to_string(kMaxFileBytes) + " bytes");
  in.seekg(0, std::ios::beg);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (size > 0 && !in.read(text.data(), size)) throw EarthModelError(path + ": cannot read the model file");
  return Parse(text, format, path);
}

EarthModel EarthModel::Parse(std::string_view text, ModelFormat format, const std::string& name) {
  EarthModel model;
  std::size_t lineNo = 0;
  std::size_t pos = 0;
  // Row index (into nodes_) that each named line of an .nd file precedes.
  std::size_t namedOuterCore = SIZE_MAX, namedInnerCore = SIZE_MAX, namedMantle = SIZE_MAX;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (line.find('\0') != std::string_view::npos) throw EarthModelError(Where(name, lineNo) + "binary data");
    if (format == ModelFormat::Tvel && lineNo <= 2) continue;  // free-text header
    std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    if (format == ModelFormat::Nd && words.size() == 1 && !std::isdigit(static_cast<unsigned char>(words[0][0])) &&
        words[0][0] != '.' && words[0][0] != '-' && words[0][0] != '+') {
      std::size_t* slot = words[0] == "mantle"       ? &namedMantle
                          : words[0] == "outer-core" ? &namedOuterCore
                          : words[0] == "inner-core" ? &namedInnerCore
                                                     : nullptr;
      if (slot == nullptr) throw EarthModelError(Where(name, lineNo) + "unknown named discontinuity '" + std::string(words[0]) + "'");
      if (*slot != SIZE_MAX) throw EarthModelError(Where(name, lineNo) + "'" + std::string(words[0]) + "' named twice");
      *slot = model.nodes_.size();
      continue;
    }
    const std::size_t minWords = 4;
    const std::size_t maxWords = format == ModelFormat::Tvel ? 4 : 6;
    if (words.size() < minWords || words.size() > maxWords)
      throw EarthModelError(Where(name, lineNo) + "expected " +
                            (format == ModelFormat::Tvel ? std::string("4 numbers") : std::string("4 to 6 numbers")) +
                            " (depth Vp Vs density ...), found " + std::to_string(words.size()) + " words");
    double values[6];
    for (std::size_t i = 0; i < words.size(); ++i)
      if (!ParseNumber(words[i], values[i]))
        throw EarthModelError(Where(name, lineNo) + "'" + std::string(words[i]) + "' is not a number");
    ModelNode node{values[0], values[1], values[2]};
    if (model.nodes_.size() >= kMaxRows) throw EarthModelError(Where(name, lineNo) + "more than " + std::to_string(kMaxRows) + " rows");
    if (node.depth < 0.0 || node.depth > kRadius + 1e-6)
      throw EarthModelError(Where(name, lineNo) + "depth outside 0 … 6371 km");
    if (!(node.vp > 0.0) || node.vp > 100.0) throw EarthModelError(Where(name, lineNo) + "P velocity must lie in (0, 100] km/s");
    if (node.vs < 0.0 || node.vs >= node.vp) throw EarthModelError(Where(name, lineNo) + "S velocity must lie in [0, Vp)");
    if (!model.nodes_.empty()) {
      const double previous = model.nodes_.back().depth;
      if (node.depth < previous) throw EarthModelError(Where(name, lineNo) + "depth smaller than the row before");
      if (node.depth == previous && model.nodes_.size() >= 2 && model.nodes_[model.nodes_.size() - 2].depth == previous)
        throw EarthModelError(Where(name, lineNo) + "depth given three times");
    } else if (node.depth != 0.0) {
      throw EarthModelError(Where(name, lineNo) + "the first row must be at depth 0");
    }
    model.nodes_.push_back(node);
  }

  std::vector<ModelNode>& n = model.nodes_;
  if (n.size() < 2) throw EarthModelError(name + ": fewer than two rows");
  if (std::fabs(n.back().depth - kRadius) > 1e-6)
    throw EarthModelError(name + ": the last row must be at the centre (depth 6371 km)");
  n.back().depth = kRadius;
  if (n[n.size() - 2].depth == kRadius) throw EarthModelError(name + ": discontinuity at the centre");

  // Solid mantle, one fluid outer core (Vs = 0) bounded by discontinuities, solid inner core.
  std::size_t first = SIZE_MAX, last = SIZE_MAX;
  for (std::size_t i = 0; i < n.size(); ++i) {
    if (n[i].vs == 0.0) {
      if (first == SIZE_MAX) first = i;
      else if (last + 1 != i) throw EarthModelError(name + ": more than one fluid layer (Vs = 0)");
      last = i;
    }
  }
  if (first == SIZE_MAX) throw EarthModelError(name + ": no fluid outer core (rows with Vs = 0)");
  if (first == 0 || n[first - 1].depth != n[first].depth)
    throw EarthModelError(name + ": the fluid outer core must begin at a discontinuity below a solid mantle");
  if (last + 1 >= n.size() || n[last + 1].depth != n[last].depth)
    throw EarthModelError(name + ": the fluid outer core must end at a discontinuity above a solid inner core");
  model.outerCoreTop_ = first;
  model.innerCoreTop_ = last + 1;
  if (namedOuterCore != SIZE_MAX && namedOuterCore != first)
    throw EarthModelError(name + ": 'outer-core' is not at the top of the fluid layer");
  if (namedInnerCore != SIZE_MAX && namedInnerCore != last + 1)
    throw EarthModelError(name + ": 'inner-core' is not at the bottom of the fluid layer");
  if (namedMantle != SIZE_MAX && namedMantle >= first) throw EarthModelError(name + ": 'mantle' below the core");
  return model;
}

}  // namespace orvane::ttgen
