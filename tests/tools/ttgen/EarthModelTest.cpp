#include "tools/ttgen/EarthModel.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TestModels.h"

#include "support/TempDir.h"

namespace orvane::ttgen {
namespace {

namespace fs = std::filesystem;
using testing::ModelPath;

// A small valid model: crust, mantle, fluid outer core, inner core.
const char kTvel[] =
    "small model P\n"
    "small model S\n"
    "   0.0  6.0 3.5 2.7\n"
    "  30.0  6.0 3.5 2.7\n"
    "  30.0  8.0 4.5 3.3\n"
    "2900.0 13.7 7.3 5.5\n"
    "2900.0  8.0 0.0 9.9\n"
    "5150.0 10.3 0.0 12.1\n"
    "5150.0 11.0 3.5 12.7\n"
    "6371.0 11.3 3.6 13.0\n";

TEST(EarthModelTest, ReadsTvelRowsAndFindsTheCore) {
  const EarthModel m = EarthModel::Parse(kTvel, ModelFormat::Tvel);
  ASSERT_EQ(m.Nodes().size(), 8u);
  EXPECT_EQ(m.OuterCoreTop(), 4u);
  EXPECT_EQ(m.InnerCoreTop(), 6u);
  EXPECT_DOUBLE_EQ(m.CmbDepth(), 2900.0);
  EXPECT_DOUBLE_EQ(m.IcbDepth(), 5150.0);
  EXPECT_DOUBLE_EQ(m.Nodes()[3].vp, 13.7);
  EXPECT_DOUBLE_EQ(m.Nodes()[3].vs, 7.3);
}

TEST(EarthModelTest, ReadsNdWithNamedDiscontinuitiesAndQ) {
  const char nd[] =
      "0.0 6.0 3.5 2.7 1000 500\n"
      "30.0 6.0 3.5 2.7 1000 500\n"
      "mantle\n"
      "30.0 8.0 4.5 3.3 1000 500\n"
      "2900.0 13.7 7.3 5.5 1000 500\n"
      "outer-core\n"
      "2900.0 8.0 0.0 9.9 57822 0\n"
      "5150.0 10.3 0.0 12.1 57822 0\n"
      "inner-core\n"
      "5150.0 11.0 3.5 12.7 445 85\n"
      "\n"
      "6371.0 11.3 3.6 13.0 445 85\n";
  const EarthModel m = EarthModel::Parse(nd, ModelFormat::Nd);
  EXPECT_EQ(m.Nodes().size(), 8u);
  EXPECT_DOUBLE_EQ(m.CmbDepth(), 2900.0);
  EXPECT_DOUBLE_EQ(m.IcbDepth(), 5150.0);
}

TEST(EarthModelTest, ShippedModelsHaveTheirCoreBoundaries) {
  const struct {
    const char* file;
    double cmb, icb;
  } cases[] = {{"iasp91.tvel", 2889.0, 5153.9}, {"ak135.tvel", 2891.5, 5153.5}, {"jb.nd", 2885.2, 5158.35}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const EarthModel m = EarthModel::Load(ModelPath(c.file));
    EXPECT_DOUBLE_EQ(m.CmbDepth(), c.cmb);
    EXPECT_DOUBLE_EQ(m.IcbDepth(), c.icb);
    EXPECT_DOUBLE_EQ(m.Nodes().back().depth, 6371.0);
  }
}

// Replaces the first occurrence of from in the valid model.
std::string Edit(const std::string& from, const std::string& to) {
  std::string text = kTvel;
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

std::string NoFluid() {
  std::string text = Edit("2900.0  8.0 0.0", "2900.0  8.0 2.0");
  return text.replace(text.find("5150.0 10.3 0.0"), 15, "5150.0 10.3 2.0");
}

TEST(EarthModelTest, RefusesMalformedModelsWithAReason) {
  const struct {
    std::string text;
    const char* reason;
  } cases[] = {
      {Edit("  30.0  6.0 3.5 2.7\n", "  30.0  6.0 3.5\n"), "line 4: expected 4 numbers"},
      {Edit("  30.0  6.0 3.5 2.7\n", "  30.0  6.0 3.5 2.7 9\n"), "line 4: expected 4 numbers"},
      {Edit("2900.0 13.7", "2900.0 fast"), "'fast' is not a number"},
      {Edit("2900.0 13.7", "2900.0 nan"), "'nan' is not a number"},
      {Edit("2900.0 13.7", "2900.0 inf"), "'inf' is not a number"},
      {Edit("  30.0  8.0", "  20.0  8.0"), "depth smaller than the row before"},
      {Edit("  30.0  8.0 4.5 3.3\n", "  30.0  8.0 4.5 3.3\n  30.0 8.1 4.6 3.3\n"), "depth given three times"},
      {Edit("   0.0  6.0", "   5.0  6.0"), "first row must be at depth 0"},
      {Edit("6371.0 11.3", "6000.0 11.3"), "last row must be at the centre"},
      {Edit("6371.0 11.3", "7000.0 11.3"), "depth outside"},
      {Edit("2900.0  8.0 0.0", "2900.0  8.0 0.1"), "fluid outer core must begin"},
      {Edit("5150.0 10.3 0.0", "5150.0 10.3 0.1"), "must end at a discontinuity"},
      {Edit("  30.0  8.0 4.5", "  30.0  8.0 0.0"), "more than one fluid layer"},
      {Edit("  30.0  6.0 3.5", "  30.0  0.0 3.5"), "P velocity"},
      {Edit("  30.0  6.0 3.5", "  30.0  6.0 6.5"), "S velocity"},
      {NoFluid(), "no fluid outer core"},
      {Edit("  30.0  6.0", std::string("  30.0 \0 6.0", 11)), "binary data"},
      {std::string("a\nb\n"), "fewer than two rows"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    try {
      EarthModel::Parse(c.text, ModelFormat::Tvel, "m.tvel");
      ADD_FAILURE() << "accepted";
    } catch (const EarthModelError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

TEST(EarthModelTest, RefusesUnknownOrMisplacedNamesInNd) {
  const std::string good = "0 6 3.5 2.7\n30 6 3.5 2.7\n30 8 4.5 3.3\n2900 13.7 7.3 5.5\n2900 8 0 9.9\n"
                           "5150 10.3 0 12.1\n5150 11 3.5 12.7\n6371 11.3 3.6 13\n";
  EXPECT_NO_THROW(EarthModel::Parse(good, ModelFormat::Nd));
  EXPECT_THROW(EarthModel::Parse("crust\n" + good, ModelFormat::Nd), EarthModelError);
  EXPECT_THROW(EarthModel::Parse("outer-core\n" + good, ModelFormat::Nd), EarthModelError);
  EXPECT_THROW(EarthModel::Parse("mantle\nmantle\n" + good, ModelFormat::Nd), EarthModelError);
  EXPECT_THROW(EarthModel::Parse(good + "inner-core\n", ModelFormat::Nd), EarthModelError);
}

TEST(EarthModelTest, LoadRefusesMissingUnknownAndOversizedFiles) {
  const orvane::test::ScopedTempDir scratch;
  const fs::path& dir = scratch.path();
  EXPECT_THROW(EarthModel::Load((dir / "absent.tvel").string()), EarthModelError);
  std::ofstream(dir / "model.txt") << kTvel;
  EXPECT_THROW(EarthModel::Load((dir / "model.txt").string()), EarthModelError);
  const fs::path big = dir / "big.tvel";
  std::ofstream(big) << kTvel;
  fs::resize_file(big, EarthModel::kMaxFileBytes + 1);
  try {
    EarthModel::Load(big.string());
    ADD_FAILURE() << "accepted";
  } catch (const EarthModelError& e) {
    EXPECT_NE(std::string(e.what()).find("larger than"), std::string::npos) << e.what();
  }
  std::ofstream(dir / "ok.tvel") << kTvel;
  EXPECT_NO_THROW(EarthModel::Load((dir / "ok.tvel").string()));
}

}  // namespace
}  // namespace orvane::ttgen
