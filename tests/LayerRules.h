#pragma once
// The layering of the sources, checked from their #include lines.
//
//   platform/   seismogram/   location/   map/   display/ dialogs/   view/   app/
//
// A folder includes only itself and the folders below it (display/ and
// dialogs/ stand side by side and do not include each other), and the files
// of the plain core (seismogram/ but for the XML reader, location/, the projection and map-file
// reader of map/, the plain services of platform/, the input rules of
// dialogs/ and the hints-text reader of view/) include no Qt and no
// project header that is not plain itself. tools/, bench/ and fuzz/ sit on
// top; no product folder includes a header of tests/.

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

  /// @brief true for the files that must stay free of Qt.
  static bool IsPlain(const std::string& relative) {
    static const std::regex plain(
        R"(^seismogram/(?!StationXML\.cpp$).*|^location/.*|^map/(Earth|MapFile|MapPicture|MisfitMap)\.(h|cpp)$|^platform/(DataFile|ErrorReport|FileOwner|FileWriter|Rect|ProjectVersion)\.(h|cpp)$)"
        R"(|^dialogs/(DepthChoices|EditText)\.(h|cpp)$|^view/HintLines\.(h|cpp)$)");
    return std::regex_match(relative, plain);
  }

  /// @brief Every violation under @p root (a source tree with the folders above).
  static std::vector<LayerViolation> Check(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::vector<LayerViolation> found;
    for (const auto& [folder, allowed] : Allowed()) {
      const fs::path dir = root / folder;
      if (!fs::is_directory(dir)) continue;
      for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
        const std::string relative = fs::relative(entry.path(), root).generic_string();
        CheckFile(root, relative, folder, allowed, found);
      }
    }
    return found;
  }

 private:
  static void CheckFile(const std::filesystem::path& root, const std::string& relative, const std::string& folder,
                        const std::set<std::string>& allowed, std::vector<LayerViolation>& found) {
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    static const std::regex qt(R"(^(Q[A-Za-z0-9]*|Qt[A-Za-z0-9]*/.*|q[a-z0-9]+\.h)$)");
    std::ifstream in(root / relative);
    std::string text;
    int line = 0;
    const bool plain = IsPlain(relative);
    while (std::getline(in, text)) {
      ++line;
      std::smatch m;
      if (!std::regex_search(text, m, include)) continue;
      const std::string name = m[2];
      auto violation = [&](const std::string& why) { found.push_back({relative, line, name, why}); };
      if (m[1] == "<") {
        if (plain && std::regex_match(name, qt)) violation("the plain core includes Qt");
        continue;
      }
      const auto slash = name.find('/');
      const std::string top = slash == std::string::npos ? std::string() : name.substr(0, slash);
      if (std::filesystem::exists(root / name) && Allowed().count(top)) {
        if (!allowed.count(top)) violation(folder + "/ must not include " + top + "/");
        else if (plain && !IsPlain(name)) violation("the plain core includes a Qt header of the program");
      } else if (std::filesystem::exists(root / "tests" / name)) {
        violation("a product folder includes a test header");
      }
    }
  }
};

}  // namespace orvane::test
