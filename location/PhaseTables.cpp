#include "location/PhaseTables.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <utility>

namespace orvane {
namespace {

namespace fs = std::filesystem;

// A file changed more recently than this may be changed again without a new
// time of last change (the time moves in ticks of some milliseconds).
constexpr auto kSettled = std::chrono::seconds(2);
// Tables kept at most: P and S, fourteen columns, three models, a few
// directories.
constexpr std::size_t kMostKept = 256;

struct Kept {
  std::uintmax_t size = 0;
  fs::file_time_type changed;
  std::shared_ptr<const JB> table;
};

std::mutex keptMutex;
std::map<std::pair<std::string, int>, Kept> kept;  // by absolute file path and column

}  // namespace

std::shared_ptr<const JB> LoadPhaseTable(const std::string& phase, float depth, EarthModel model) {
  const std::string name = PhaseTableName(phase, model);
  const std::string path = FindPhaseTable(phase, model);
  if (path.empty()) return std::make_shared<const JB>(JB::FromFile(path, depth, name));

  // Taken before the file is read: a change while it is read makes the next
  // load read it again.
  std::error_code pathError, sizeError, timeError;
  const fs::path absolute = fs::absolute(path, pathError);
  const std::uintmax_t size = fs::file_size(path, sizeError);
  const fs::file_time_type changed = fs::last_write_time(path, timeError);
  const bool known = !pathError && !sizeError && !timeError;
  const std::pair<std::string, int> key{absolute.string(), JB::DepthColumn(depth)};

  const std::lock_guard<std::mutex> lock(keptMutex);
  if (known) {
    const auto found = kept.find(key);
    if (found != kept.end() && found->second.size == size && found->second.changed == changed)
      return found->second.table;
  }
  auto table = std::make_shared<const JB>(JB::FromFile(path, depth, name));
  kept.erase(key);
  if (known && table->IsUsable() && changed <= fs::file_time_type::clock::now() - kSettled) {
    if (kept.size() >= kMostKept) kept.clear();
    kept.emplace(key, Kept{size, changed, table});
  }
  return table;
}

PhaseTables LoadPhaseTables(float depth, EarthModel model) {
  return PhaseTables{LoadPhaseTable("P", depth, model), LoadPhaseTable("S", depth, model)};
}

}  // namespace orvane
