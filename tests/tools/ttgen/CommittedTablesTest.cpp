// The committed tables P.JB and S.JB of every shipped Earth model (data/iasp91,
// data/ak135, data/jb): the fixed-column layout the program reads, strictly
// increasing columns, and exactly what ttgen makes of the model file now.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestModels.h"
#include "tools/ttgen/TableGenerator.h"

namespace orvane::ttgen {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) {
      lines.push_back(text.substr(pos));  // a last line without LF: caught below
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return lines;
}

struct Table {
  const char* folder;  // in data/
  const char* model;   // in tools/ttgen/models/
  const char* phase;
};

class CommittedTableTest : public ::testing::TestWithParam<Table> {
 protected:
  std::string Path() const {
    return std::string(ORVANE_SOURCE_DATA) + "/" + GetParam().folder + "/" + GetParam().phase + ".JB";
  }
};

TEST_P(CommittedTableTest, HasTheFixedColumnLayout) {
  const std::string text = ReadFile(Path());
  ASSERT_FALSE(text.empty());
  ASSERT_EQ(text.back(), '\n');
  EXPECT_EQ(text.find('\r'), std::string::npos);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 181u);
  std::vector<std::vector<float>> columns(14);
  for (std::size_t row = 0; row < lines.size(); ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const std::string& line = lines[row];
    ASSERT_EQ(line.size(), 103u);
    char distance[24];
    std::snprintf(distance, sizeof distance, "%5zu", row);
    EXPECT_EQ(line.substr(0, 5), distance);
    for (int c = 0; c < 14; ++c) {
      const std::string field = line.substr(5 + 7 * c, 7);
      EXPECT_EQ(field[0], ' ') << "column " << c;
      // Read as the program does: "%f" from the field's first position,
      // which must stop exactly at the field's end.
      const char* start = line.c_str() + 5 + 7 * c;
      char* end = nullptr;
      const float value = std::strtof(start, &end);
      EXPECT_EQ(end, start + 7) << "column " << c << " field '" << field << "'";
      EXPECT_EQ(field[5], '.') << "column " << c;
      EXPECT_GE(value, 0.0f);
      columns[c].push_back(value);
    }
  }
  for (int c = 0; c < 14; ++c)
    for (std::size_t row = 1; row < columns[c].size(); ++row)
      EXPECT_GT(columns[c][row], columns[c][row - 1]) << "column " << c << " row " << row;
}

TEST_P(CommittedTableTest, IsWhatTtgenMakesOfTheModel) {
  Phase phase;
  ASSERT_TRUE(PhaseFromName(GetParam().phase, phase));
  TableGenerator::Report report;
  const EarthModel model = EarthModel::Load(testing::ModelPath(GetParam().model));
  const std::string generated = TableGenerator::Generate(model, phase, &report);
  EXPECT_EQ(generated, ReadFile(Path()));
  // Rounding moves entries only near the antipode, never by more than 0.11 s
  // (Jeffreys-Bullen's S, flattest there, needs the most).
  for (double e : report.largestError) EXPECT_LT(e, 0.11);
  for (const auto& m : report.moved) EXPECT_GE(m.row, 170u) << "column " << m.column;
}

INSTANTIATE_TEST_SUITE_P(Models, CommittedTableTest,
                         ::testing::Values(Table{"iasp91", "iasp91.tvel", "P"}, Table{"iasp91", "iasp91.tvel", "S"},
                                           Table{"ak135", "ak135.tvel", "P"}, Table{"ak135", "ak135.tvel", "S"},
                                           Table{"jb", "jb.nd", "P"}, Table{"jb", "jb.nd", "S"}),
                         [](const ::testing::TestParamInfo<Table>& info) {
                           return std::string(info.param.folder) + "_" + info.param.phase;
                         });

}  // namespace
}  // namespace orvane::ttgen
