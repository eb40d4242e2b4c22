#include "platform/DataFile.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace orvane {
namespace {

bool IsRegularFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool Tracing() { return std::getenv("ORVANE_DEBUG_DATA") != nullptr; }

fs::path ExecutableDirectory() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path();
}

}  // namespace

std::vector<std::string> DataDirectories() {
  std::vector<std::string> dirs;
  if (const char* env = std::getenv("ORVANE_DATA"); env != nullptr && *env != '\0')
    dirs.emplace_back(env);
  fs::path exeDir = ExecutableDirectory();
  if (!exeDir.empty()) {
    dirs.push_back((exeDir.parent_path() / "data").string());
    dirs.push_back((exeDir.parent_path() / "share" / "orvane").string());
  }
  return dirs;
}

std::string FindDataFile(const std::string& name) {
  if (name.empty()) return {};
  const bool trace = Tracing();
  if (IsRegularFile(name)) {
    if (trace) std::cerr << "data: " << name << ": found in the current directory\n";
    return name;
  }
  if (trace) std::cerr << "data: " << name << ": not in the current directory\n";
  // An absolute path is taken as it stands; a relative one (a bare name, or
  // one inside a folder of the data, such as "help/index.html") is looked up
  // in each data directory, never above it.
  const fs::path relative(name);
  if (relative.is_absolute()) return {};
  for (const fs::path& part : relative)
    if (part == "..") return {};
  for (const std::string& dir : DataDirectories()) {
    fs::path candidate = fs::path(dir) / name;
    if (IsRegularFile(candidate)) {
      if (trace) std::cerr << "data: " << name << ": found as " << candidate.string() << "\n";
      return candidate.string();
    }
    if (trace) std::cerr << "data: " << name << ": not in " << dir << "\n";
  }
  return {};
}

}  // namespace orvane
