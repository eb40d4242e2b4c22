// orvane-desktop-files DIR EXEC: writes the desktop entry DIR/orvane.desktop
// (running EXEC) and the file types DIR/orvane.xml that the installation
// puts where desktops look for them. Exit status 1 when a file could not be
// written, 2 for a wrong command line.

#include <cstdio>
#include <string>
#include <string_view>

#include "app/DesktopFiles.h"
#include "platform/FileWriter.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  std::string why;
  if (orvane::WriteFileAtomically(path, std::string_view(text), &why)) return true;
  std::fprintf(stderr, "orvane-desktop-files: %s: %s\n", path.c_str(), why.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: orvane-desktop-files DIR EXEC\n");
    return 2;
  }
  const std::string dir = argv[1];
  const bool entry = Write(dir + "/orvane.desktop", orvane::OrvaneDesktopEntry(argv[2]));
  const bool types = Write(dir + "/orvane.xml", orvane::OrvaneMimeTypes());
  return entry && types ? 0 : 1;
}
