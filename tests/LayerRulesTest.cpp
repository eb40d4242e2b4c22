#include "LayerRules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempDir.h"

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

std::string Describe(const std::vector<LayerViolation>& violations) {
  std::string text;
  for (const LayerViolation& v : violations)
    text += v.file + ":" + std::to_string(v.line) + ": " + v.include + ": " + v.why + "\n";
  return text;
}

// The sources of the libraries as this build's CMake listed them.
const LayerSources& BuildSources() {
  static const LayerSources sources = LayerSources::Read(ORVANE_LAYER_SOURCES);
  return sources;
}

TEST(LayerRules, TheSourcesKeepTheLayering) {
  const std::vector<LayerViolation> violations = LayerRules::Check(ORVANE_SOURCE_DIR, BuildSources());
  EXPECT_TRUE(violations.empty()) << Describe(violations);
}

// Folders with windows keep some files free of Qt, so that they are tested
// and fuzzed without it; a library that links Qt Core through its libraries
// (the exercise file) is not plain, whether or not it runs Qt's moc.
TEST(LayerRules, PlainFilesInWindowFolders) {
  struct Row {
    const char* file;
    bool plain;
  } rows[] = {
      {"dialogs/EditText.h", true},     {"dialogs/EditText.cpp", true}, {"dialogs/DepthChoices.h", true},
      {"dialogs/DepthChoices.cpp", true}, {"view/HintLines.h", true},   {"view/HintLines.cpp", true},
      {"display/TraceLayout.h", true},  {"display/TraceTexts.cpp", true}, {"view/ViewGeometry.cpp", true},
      {"dialogs/DepthCB.cpp", false},   {"view/Hints.cpp", false},      {"view/Settings.h", false},
      {"view/ExerciseFile.cpp", false}, {"view/HintLinesXh", false},
  };
  for (const Row& row : rows) EXPECT_EQ(BuildSources().IsPlain(row.file), row.plain) << row.file;
}

TEST(LayerRules, PlantedViolationsAreFound) {
  ScopedTempDir root;
  auto write = [&](const std::string& name, const std::string& text) {
    fs::create_directories((root / name).parent_path());
    std::ofstream(root / name) << text;
  };
  write("platform/Surface.h", "#include <QColor>\n");
  write("platform/Rect.h", "#include <cstdint>\n");
  write("seismogram/KSAC.h", "#include \"platform/Rect.h\"\n#include \"seismogram/Bytes.h\"\n");
  write("seismogram/Bytes.h", "#include <QByteArray>\n");
  write("location/JB.cpp", "#include \"seismogram/KSAC.h\"\n#include <QString>\n#include <platform/Surface.h>\n");
  write("location/Bad.cpp", "// plain\n#include \"platform/Surface.h\"\n");
  write("map/Earth.h", "#include \"location/JB.h\"\n#include <QtCore/QPoint>\n");
  write("map/EarthPaint.cpp", "#include <QImage>\n#include \"platform/Surface.h\"\n");
  write("display/Event.h", "#include \"map/Earth.h\"\n#include \"view/View.h\"\n");
  write("display/Trace.h", "#include <map>\n#include <view/View.h>\n#include <support/TempDir.h>\n");
  write("dialogs/DepthCB.h", "#include \"display/Event.h\"\n");
  write("view/View.h", "#include \"app/Frame.h\"\n#include \"display/Event.h\"\n");
  write("app/Frame.h", "#include \"view/View.h\"\n#include \"support/TempDir.h\"\n");
  write("tests/support/TempDir.h", "\n");

  // What CMake would list: the libraries of platform/Surface, map/EarthPaint
  // and the windows link Qt.
  LayerSources sources;
  sources.plain = {"platform/Rect.cpp", "seismogram/KSAC.cpp", "location/JB.cpp", "location/Bad.cpp",
                   "map/Earth.cpp"};
  sources.qt = {"platform/Surface.cpp", "map/EarthPaint.cpp", "display/Event.cpp", "display/Trace.cpp",
                "dialogs/DepthCB.cpp", "view/View.cpp", "app/Frame.cpp"};
  const std::vector<LayerViolation> v = LayerRules::Check(root.path(), sources);
  const std::string text = Describe(v);
  struct Expected { const char* file; int line; const char* include; } expected[] = {
      {"location/JB.cpp", 2, "QString"},
      {"location/JB.cpp", 3, "platform/Surface.h"},
      {"seismogram/Bytes.h", 1, "QByteArray"},
      {"display/Trace.h", 2, "view/View.h"},
      {"display/Trace.h", 3, "support/TempDir.h"},
      {"location/Bad.cpp", 2, "platform/Surface.h"},
      {"map/Earth.h", 2, "QtCore/QPoint"},
      {"display/Event.h", 2, "view/View.h"},
      {"dialogs/DepthCB.h", 1, "display/Event.h"},
      {"view/View.h", 1, "app/Frame.h"},
      {"app/Frame.h", 2, "support/TempDir.h"},
  };
  EXPECT_EQ(v.size(), std::size(expected)) << text;
  for (const Expected& e : expected) {
    const bool listed = std::any_of(v.begin(), v.end(), [&](const LayerViolation& x) {
      return x.file == e.file && x.line == e.line && x.include == e.include;
    });
    EXPECT_TRUE(listed) << e.file << ":" << e.line << " " << e.include << " not found in\n" << text;
  }
}

}  // namespace
}  // namespace orvane::test
