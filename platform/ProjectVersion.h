#pragma once
// TProjectRCVersion: reads the named strings of the program's version block
// ("ProductName", "ProductVersion", "LegalCopyright", ...), the way the About
// box and the splash card show them. The block is compiled in, made at build
// time from the project's version; it holds one translation, US English with
// code page 1252 (0x0409, 0x04E4).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

/// A version block: its translations (language, code page) and its values by
/// query path, e.g. "\StringFileInfo\040904e4\ProductName" -> "Orvane".
struct VersionBlock {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
  std::map<std::string, std::string> values;
};

/// @brief The program's own block: ProductName "Orvane", ProductVersion the
/// project version, LegalCopyright, CompanyName, FileDescription; no SpecialBuild.
VersionBlock ProgramVersionBlock();

class TProjectRCVersion {
 public:
  /// @brief Reads the program's own version block.
  TProjectRCVersion();
  /// @brief Reads @p block; none (null) or a block without a translation
  /// gives a reader whose every lookup fails.
  explicit TProjectRCVersion(const VersionBlock* block);

  /// @brief The text of @p key under the first translation, looked up with
  /// the query path "\StringFileInfo\%08lx\%s".
  /// @return false when there is no block or no such key; @p text is then untouched.
  bool LookUpString(const std::string& key, std::string& text) const;

  /// Language × 65536 + code page of the first translation (0x040904E4).
  std::uint32_t translation = 0;

 private:
  std::unique_ptr<VersionBlock> versionBlock;
};

}  // namespace orvane
