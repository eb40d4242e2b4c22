#include "platform/ProjectVersion.h"

#include <cstdio>

#include "platform/VersionStrings.h"

namespace orvane {
namespace {

constexpr std::uint16_t kLanguage = 0x0409;  // US English
constexpr std::uint16_t kCodePage = 0x04E4;  // Windows-1252

std::string QueryPath(std::uint32_t translation, const std::string& key) {
  char path[300];
  std::snprintf(path, sizeof path, "\\StringFileInfo\\%08lx\\%s", static_cast<unsigned long>(translation),
                key.c_str());
  return path;
}

}  // namespace

VersionBlock ProgramVersionBlock() {
  VersionBlock block;
  block.translations.emplace_back(kLanguage, kCodePage);
  const std::uint32_t translation = (std::uint32_t{kLanguage} << 16) | kCodePage;
  const std::pair<const char*, const char*> strings[] = {
      {"CompanyName", kVersionCompanyName},
      {"FileDescription", kVersionFileDescription},
      {"FileVersion", kVersionNumber},
      {"LegalCopyright", kVersionLegalCopyright},
      {"ProductName", kVersionProductName},
      {"ProductVersion", kVersionNumber},
  };
  for (const auto& [key, value] : strings) block.values[QueryPath(translation, key)] = value;
  return block;
}

TProjectRCVersion::TProjectRCVersion() {
  const VersionBlock block = ProgramVersionBlock();
  *this = TProjectRCVersion(&block);
}

TProjectRCVersion::TProjectRCVersion(const VersionBlock* block) {
  if (block == nullptr || block->translations.empty()) return;
  versionBlock = std::make_unique<VersionBlock>(*block);
  const auto [language, codePage] = versionBlock->translations.front();
  translation = (std::uint32_t{language} << 16) | codePage;
}

bool TProjectRCVersion::LookUpString(const std::string& key, std::string& text) const {
  if (!versionBlock) return false;
  const auto found = versionBlock->values.find(QueryPath(translation, key));
  if (found == versionBlock->values.end()) return false;
  text = found->second;
  return true;
}

}  // namespace orvane
