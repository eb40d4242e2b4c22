// Desktop registration writes and removes only Orvane's own files, under the
// test's own HOME.
#include "app/DesktopRegistration.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "seismogram/FormatTable.h"

namespace orvane {
namespace {

TEST(DesktopRegistration, UnregisterSwitches) {
  struct Row {
    const char* argument;
    bool matches;
  } rows[] = {{"-u", true},          {"--unreg", true},    {"-UNREGISTER", true}, {"--Unregister", true},
              {"--unregisterx", false}, {"-", false},      {"--", false},         {"unregister", false},
              {"--screenshot", false}, {"-x", false},      {"/unregister", false}};
  for (const Row& r : rows) EXPECT_EQ(IsUnregisterSwitch(r.argument), r.matches) << r.argument;
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(DesktopRegistration, WritesItsEntryTypesAndIconAndRemovesOnlyThose) {
  const QString home = QDir::homePath() + "/.local/share";
  const DesktopFiles files = DesktopFilesUnder(home);
  // Someone else's file type and text association are there before us.
  QDir().mkpath(home + "/mime/packages");
  QFile other(home + "/mime/packages/text-editor.xml");
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.write("<mime-info><glob pattern=\"*.txt\"/></mime-info>");
  other.close();

  ASSERT_TRUE(RegisterWithDesktop(home, "/opt/orvane/bin/orvane"));
  const QByteArray entry = Read(files.entry);
  EXPECT_TRUE(entry.contains("Exec=\"/opt/orvane/bin/orvane\" %F"));
  EXPECT_TRUE(entry.contains("Categories=Education;Science;"));
  EXPECT_TRUE(entry.contains("Icon=orvane"));
  const QByteArray types = Read(files.mimeTypes);
  for (const char* glob : {"*.sac", "*.set", "*.psn", "*.orvex"}) EXPECT_TRUE(types.contains(glob)) << glob;
  EXPECT_FALSE(types.contains("txt"));
  EXPECT_TRUE(QFile::exists(files.icon));
  // A second start finds everything as it should be and changes nothing.
  ASSERT_TRUE(RegisterWithDesktop(home, "/opt/orvane/bin/orvane"));
  EXPECT_EQ(Read(files.entry), entry);

  UnregisterFromDesktop(home);
  EXPECT_FALSE(QFile::exists(files.entry));
  EXPECT_FALSE(QFile::exists(files.mimeTypes));
  EXPECT_FALSE(QFile::exists(files.icon));
  EXPECT_TRUE(QFile::exists(home + "/mime/packages/text-editor.xml"));
}

// A format added to the format table reaches the desktop with nothing else
// to change: its type, its patterns and the entry's claim on the type.
TEST(DesktopRegistration, EveryFormatOfTheTableIsRegistered) {
  const QString home = QDir::homePath() + "/.local/share";
  const DesktopFiles files = DesktopFilesUnder(home);
  ASSERT_TRUE(RegisterWithDesktop(home, "/opt/orvane/bin/orvane"));
  const QByteArray types = Read(files.mimeTypes);
  const QByteArray entry = Read(files.entry);
  const qsizetype claims = entry.indexOf("\nMimeType=");
  ASSERT_GE(claims, 0) << entry.toStdString();
  const QByteArray claimed = entry.mid(claims + 10).split('\n').value(0);  // after "\nMimeType="
  for (const SeismogramFormatEntry& format : SeismogramFormats()) {
    const QByteArray type = QByteArray::fromStdString(format.mimeType);
    const qsizetype at = types.indexOf("<mime-type type=\"" + type + "\">");
    ASSERT_GE(at, 0) << format.name;
    const QByteArray block = types.mid(at, types.indexOf("</mime-type>", at) - at);
    // Every pattern the format claims on the desktop; not those that are not
    // its own (a data centre's "*.xml" is every XML file).
    const std::vector<std::string> claimedPatterns = format.desktopPatterns.value_or(format.patterns);
    for (const std::string& pattern : format.patterns) {
      const bool own = std::find(claimedPatterns.begin(), claimedPatterns.end(), pattern) != claimedPatterns.end();
      EXPECT_EQ(block.contains("<glob pattern=\"" + QByteArray::fromStdString(pattern) + "\"/>"), own) << pattern;
    }
    EXPECT_TRUE(claimed.split(';').contains(type)) << format.name << ": " << claimed.toStdString();
  }
  UnregisterFromDesktop(home);
}

TEST(DesktopRegistration, AFileOfTheSameNameThatIsNotOursStays) {
  const QString home = QDir::homePath() + "/.local/share";
  const DesktopFiles files = DesktopFilesUnder(home);
  QDir().mkpath(home + "/applications");
  QFile foreign(files.entry);
  ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
  foreign.write("[Desktop Entry]\nName=Something else\n");
  foreign.close();
  UnregisterFromDesktop(home);
  EXPECT_TRUE(QFile::exists(files.entry));
}

}  // namespace
}  // namespace orvane
