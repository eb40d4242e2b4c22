#include "location/EarthModel.h"

#include "platform/DataFile.h"

namespace orvane {
namespace {

struct ModelInfo {
  EarthModel model;
  const char* name;
  const char* title;
  double vp, vs;  // km/s at the surface
};

constexpr ModelInfo kModels[] = {
    {EarthModel::kIasp91, "iasp91", "IASP91", 5.8, 3.36},
    {EarthModel::kAk135, "ak135", "AK135", 5.8, 3.46},
    {EarthModel::kJB, "jb", "Jeffreys-Bullen", 5.57, 3.363},
};

const ModelInfo& Info(EarthModel model) {
  for (const ModelInfo& info : kModels)
    if (info.model == model) return info;
  return kModels[0];
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* EarthModelName(EarthModel model) { return Info(model).name; }

const char* EarthModelTitle(EarthModel model) { return Info(model).title; }

std::optional<EarthModel> ParseEarthModel(std::string_view name) {
  for (const ModelInfo& info : kModels) {
    const std::string_view known = info.name;
    if (known.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i) same = Lower(name[i]) == known[i];
    if (same) return info.model;
  }
  return std::nullopt;
}

std::string EarthModelNames() {
  std::string names;
  for (const ModelInfo& info : kModels) names += (names.empty() ? "" : ", ") + std::string(info.name);
  return names;
}

double SurfaceVelocity(EarthModel model, const std::string& phase) {
  return phase == "S" ? Info(model).vs : Info(model).vp;
}

std::string PhaseTableName(const std::string& phase, EarthModel model) {
  const std::string file = phase + ".JB";
  return model == kDefaultEarthModel ? file : std::string(EarthModelName(model)) + "/" + file;
}

std::string FindPhaseTable(const std::string& phase, EarthModel model) {
  const std::string file = phase + ".JB";
  if (model == kDefaultEarthModel) {
    if (std::string found = FindDataFile(file); !found.empty()) return found;
  }
  return FindDataFile(std::string(EarthModelName(model)) + "/" + file);
}

}  // namespace orvane
