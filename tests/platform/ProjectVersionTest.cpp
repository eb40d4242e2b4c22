#include "platform/ProjectVersion.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(ProjectVersion, TheProgramsBlockHasItsStringsUnderUsEnglish1252) {
  const TProjectRCVersion version;
  EXPECT_EQ(version.translation, 0x040904E4u);
  std::string name, number, legal, special = "kept";
  ASSERT_TRUE(version.LookUpString("ProductName", name));
  EXPECT_EQ(name, "Orvane");
  ASSERT_TRUE(version.LookUpString("ProductVersion", number));
  EXPECT_FALSE(number.empty());
  EXPECT_TRUE(version.LookUpString("LegalCopyright", legal));
  EXPECT_FALSE(version.LookUpString("SpecialBuild", special));
  EXPECT_EQ(special, "kept");
}

TEST(ProjectVersion, LookupsFollowTheQueryPathAndFailWithoutABlock) {
  VersionBlock block;
  block.translations.emplace_back(0x0407, 0x04B0);  // German, Unicode
  block.values["\\StringFileInfo\\040704b0\\ProductName"] = "Anderes";
  block.values["\\StringFileInfo\\040904e4\\ProductVersion"] = "other translation";
  const TProjectRCVersion german(&block);
  std::string text;
  EXPECT_TRUE(german.LookUpString("ProductName", text));
  EXPECT_EQ(text, "Anderes");
  EXPECT_FALSE(german.LookUpString("ProductVersion", text));  // only under another translation

  const TProjectRCVersion none(nullptr);
  EXPECT_FALSE(none.LookUpString("ProductName", text));
  const VersionBlock untranslated;
  EXPECT_FALSE(TProjectRCVersion(&untranslated).LookUpString("ProductName", text));
}

}  // namespace
}  // namespace orvane
