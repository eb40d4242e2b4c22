#pragma once
// The layering of the sources, checked from their #include lines.
//
//   platform/   seismogram/   location/   map/   display/ dialogs/   view/   app/
//
// A folder includes only itself and the folders below it (display/ and
// dialogs/ stand side by side and do not include each other), and the plain
// files include no Qt and no project header that is not plain itself. A file
// is plain when its library links no Qt, directly or through another library
// (CMake lists every library's sources, see orvane_write_layer_sources); a
// header is judged as the source of the same name beside it, and a header
// with no source of its own is plain when a plain file includes it. Both
// include forms are checked: every target has the source root on its include
// path, so <view/View.h> reaches the same file as "view/View.h". tools/,
// bench/ and fuzz/ sit on top; no product folder includes a header of tests/.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace orvane::test {

struct LayerViolation {
  std::string file;     ///< relative to the source root, e.g. "location/JB.cpp"
  int line = 0;
  std::string include;  ///< the included name
  std::string why;
};

/// The sources of the program's libraries, as CMake lists them: those of
/// libraries that link no Qt are plain, the others Qt.
struct LayerSources {
  std::set<std::string> plain;  ///< relative to the source root, e.g. "location/JB.cpp"
  std::set<std::string> qt;

  /// @brief Reads the lines "plain PATH" and "qt PATH" of @p file; an
  /// unreadable file gives no sources.
  static LayerSources Read(const std::filesystem::path& file) {
    LayerSources sources;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
      if (line.starts_with("plain ")) sources.plain.insert(line.substr(6));
      if (line.starts_with("qt ")) sources.qt.insert(line.substr(3));
    }
    return sources;
  }

  /// @brief true for a source of a plain library and for the header of one
  /// ("x/A.h" beside the plain "x/A.cpp").
  bool IsPlain(const std::string& relative) const { return In(plain, relative); }
  /// @brief true for a source of any library, or the header of one.
  bool IsKnown(const std::string& relative) const { return In(plain, relative) || In(qt, relative); }

 private:
  static bool In(const std::set<std::string>& set, const std::string& relative) {
    if (set.count(relative)) return true;
    const std::string header = ".h";
    return relative.size() > header.size() && relative.ends_with(header) &&
           set.count(relative.substr(0, relative.size() - header.size()) + ".cpp") > 0;
  }
};

class LayerRules {
 public:
  /// Folders in layer order, each with the folders it may include.
  static const std::map<std::string, std::set<std::string>>& Allowed() {
    static const std::map<std::string, std::set<std::string>> allowed = {
        {"platform", {"platform"}},
        {"seismogram", {"seismogram", "platform"}},
        {"location", {"location", "seismogram", "platform"}},
        {"map", {"map", "location", "seismogram", "platform"}},
        {"display", {"display", "map", "location", "seismogram", "platform"}},
        {"dialogs", {"dialogs", "map", "location", "seismogram", "platform"}},
        {"view", {"view", "display", "dialogs", "map", "location", "seismogram", "platform"}},
        {"app", {"app", "view", "display", "dialogs", "map", "location", "seismogram", "platform"}},
        {"tools", {"tools", "app", "view", "display", "dialogs", "map", "location", "seismogram", "platform"}},
    };
    return allowed;
  }

  /// @brief Every violation under @p root (a source tree with the folders
  /// above), with @p sources telling which files are plain.
  static std::vector<LayerViolation> Check(const std::filesystem::path& root, const LayerSources& sources) {
    namespace fs = std::filesystem;
    std::map<std::string, std::vector<Include>> files;  // relative path: its includes
    for (const auto& [folder, allowed] : Allowed()) {
      const fs::path dir = root / folder;
      if (!fs::is_directory(dir)) continue;
      for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        const std::string relative = fs::relative(entry.path(), root).generic_string();
        files[relative] = Includes(root / relative);
      }
    }
    const std::set<std::string> plain = PlainFiles(root, sources, files);
    std::vector<LayerViolation> found;
    for (const auto& [relative, includes] : files) {
      const std::string folder = relative.substr(0, relative.find('/'));
      CheckFile(root, relative, Allowed().at(folder), plain, includes, found);
    }
    return found;
  }

 private:
  struct Include {
    int line = 0;
    std::string name;  ///< as written between the quotes or brackets
  };

  static std::vector<Include> Includes(const std::filesystem::path& file) {
    static const std::regex include(R"(^\s*#\s*include\s*[<"]([^>"]+)[>"])");
    std::vector<Include> found;
    std::ifstream in(file);
    std::string text;
    int line = 0;
    while (std::getline(in, text)) {
      ++line;
      std::smatch m;
      if (std::regex_search(text, m, include)) found.push_back({line, m[1]});
    }
    return found;
  }

  // The top folder of a project file that @p name reaches from the source
  // root, or nothing (a standard or Qt header).
  static std::string ProjectFolder(const std::filesystem::path& root, const std::string& name) {
    const auto slash = name.find('/');
    if (slash == std::string::npos || !std::filesystem::is_regular_file(root / name)) return {};
    const std::string top = name.substr(0, slash);
    return Allowed().count(top) ? top : std::string();
  }

  // The plain files: those of the plain libraries with their headers, and
  // every header of no library that a plain file includes.
  static std::set<std::string> PlainFiles(const std::filesystem::path& root, const LayerSources& sources,
                                          const std::map<std::string, std::vector<Include>>& files) {
    std::set<std::string> plain;
    std::vector<std::string> pending;
    for (const auto& [relative, includes] : files) {
      if (sources.IsPlain(relative)) pending.push_back(relative);
    }
    while (!pending.empty()) {
      const std::string file = pending.back();
      pending.pop_back();
      if (!plain.insert(file).second) continue;
      const auto found = files.find(file);
      if (found == files.end()) continue;
      for (const Include& inc : found->second) {
        if (!ProjectFolder(root, inc.name).empty() && !sources.IsKnown(inc.name)) pending.push_back(inc.name);
      }
    }
    return plain;
  }

  static void CheckFile(const std::filesystem::path& root, const std::string& relative,
                        const std::set<std::string>& allowed, const std::set<std::string>& plainFiles,
                        const std::vector<Include>& includes, std::vector<LayerViolation>& found) {
    static const std::regex qt(R"(^(Q[A-Za-z0-9]*|Qt[A-Za-z0-9]*/.*|q[a-z0-9]+\.h)$)");
    const std::string folder = relative.substr(0, relative.find('/'));
    const bool plain = plainFiles.count(relative) > 0;
    for (const Include& inc : includes) {
      auto violation = [&](const std::string& why) { found.push_back({relative, inc.line, inc.name, why}); };
      const std::string top = ProjectFolder(root, inc.name);
      if (!top.empty()) {
        if (!allowed.count(top)) violation(folder + "/ must not include " + top + "/");
        else if (plain && !plainFiles.count(inc.name)) violation("the plain core includes a Qt header of the program");
      } else if (std::filesystem::is_regular_file(root / "tests" / inc.name)) {
        violation("a product folder includes a test header");
      } else if (plain && std::regex_match(inc.name, qt)) {
        violation("the plain core includes Qt");
      }
    }
  }
};

}  // namespace orvane::test
