#include "app/DesktopFiles.h"

#include <vector>

#include "seismogram/FormatTable.h"

namespace orvane {
namespace {

// A type of the desktop: its name, what the desktop calls it, its patterns.
struct MimeType {
  std::string type;
  std::string comment;
  std::vector<std::string> patterns;
  std::string parent;  ///< the type it is a kind of, or empty
};

std::vector<MimeType> Types() {
  std::vector<MimeType> types;
  for (const SeismogramFormatEntry& entry : SeismogramFormats())
    types.push_back({entry.mimeType, entry.title + " seismogram", entry.desktopPatterns.value_or(entry.patterns), {}});
  types.push_back({"application/x-orvane-exercise", "Orvane exercise", {"*.orvex"}, "application/json"});
  return types;
}

}  // namespace

std::string OrvaneDesktopEntry(std::string_view exec) {
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Orvane\n"
      "GenericName=Earthquake location\n"
      "Comment=Locate an earthquake from the seismograms of several stations\n";
  text.append("Exec=").append(exec).append(" %F\n");
  text +=
      "Icon=orvane\n"
      "Terminal=false\n"
      "Categories=Education;Science;\n"
      "MimeType=";
  for (const MimeType& t : Types()) text += t.type + ";";
  return text + "\n";
}

std::string OrvaneMimeTypes() {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const MimeType& t : Types()) {
    text += "  <mime-type type=\"" + t.type + "\">\n";
    text += "    <comment>" + t.comment + "</comment>\n";
    if (!t.parent.empty()) text += "    <sub-class-of type=\"" + t.parent + "\"/>\n";
    for (const std::string& pattern : t.patterns) text += "    <glob pattern=\"" + pattern + "\"/>\n";
    text += "  </mime-type>\n";
  }
  return text + "</mime-info>\n";
}

}  // namespace orvane
