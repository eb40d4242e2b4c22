// The recent events: kept in Orvane.ini, shown in the File menu, reopened by one choice.
#include "app/RecentEvents.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStatusBar>

#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "app/TSDIDecFrame.h"
#include "support/SpecialFiles.h"
#include "view/View.h"

namespace orvane {
namespace {

const QString kExamples = QStringLiteral(ORVANE_SOURCE_DIR "/examples/");

TEST(RecentEvents, NewestFirstWithoutRepeatsAtMostFour) {
  std::vector<RecentEvent> events;
  for (int i = 0; i < 6; ++i) events = WithRecentEvent(events, {{QString("e%1.sac").arg(i)}, std::nullopt});
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].files, QStringList{"e5.sac"});
  EXPECT_EQ(events[3].files, QStringList{"e2.sac"});
  events = WithRecentEvent(events, {{"e3.sac"}, SeismogramFormat::kPEPP});
  EXPECT_EQ(events[0].files, QStringList{"e3.sac"});
  EXPECT_EQ(events[0].format, SeismogramFormat::kPEPP);
  EXPECT_EQ(events.size(), 4u);
  const RecentEvent many{{"/a/A.sac", "/a/B.sac", "/a/C.sac", "/a/D.sac", "/a/E.sac"}, std::nullopt};
  EXPECT_EQ(many.Label(), "A.sac, B.sac, C.sac and 2 more");
}

TEST(RecentEvents, RoundTripThroughTheIniFile) {
  const std::vector<RecentEvent> events = {{{"/x/a.set", "/x/b.set"}, SeismogramFormat::kPEPP},
                                           {{"/y/c.sac"}, std::nullopt},
                                           {{"/z/d.psn"}, SeismogramFormat::kPSN}};
  ASSERT_TRUE(WriteRecentEvents("Orvane.ini", events));
  EXPECT_EQ(ReadRecentEvents("Orvane.ini"), events);
  EXPECT_TRUE(ReadRecentEvents("missing.ini").empty());
}

TEST(RecentEvents, ABrokenIniFileIsReadAsFarAsItGoes) {
  struct Row {
    const char* name;
    QByteArray text;
  } rows[] = {
      {"binary junk", QByteArray("\x00\xff\x13[[[=\n\x01", 10)},
      {"absurd count", "[RecentEvents]\nsize=2000000000\n"},
      {"wrong types", "[RecentEvents]\nsize=2\n1\\files=@Variant(\\0\\0\\0\\x7f)\n2\\format=42\n"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    QFile f("Orvane.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(r.text);
    f.close();
    const std::vector<RecentEvent> events = ReadRecentEvents("Orvane.ini");
    EXPECT_LE(events.size(), 4u);
    View* view = new View;
    TSDIDecFrame frame(view, "Orvane.ini");  // the program still starts
    EXPECT_LE(frame.RecentEventActions().size(), 4);
  }
}

TEST(RecentEvents, AnOpenedEventIsRememberedAndReopenedFromTheMenu) {
  {
    View* view = new View;
    TSDIDecFrame frame(view, "Orvane.ini");
    EXPECT_TRUE(frame.RecentEventActions().isEmpty());
    view->OpenEventFiles({kExamples + "TAIG.sac", kExamples + "KODK.sac"});
    ASSERT_EQ(frame.RecentEventActions().size(), 1);
    EXPECT_EQ(frame.RecentEventActions()[0]->text(), "&1 TAIG.sac, KODK.sac");
  }
  // The next start finds it in Orvane.ini and reopens it with one choice.
  View* view = new View;
  TSDIDecFrame frame(view, "Orvane.ini");
  ASSERT_EQ(frame.RecentEventActions().size(), 1);
  frame.RecentEventActions()[0]->trigger();
  QCoreApplication::processEvents();  // it runs once the action has returned
  ASSERT_EQ(view->Records().size(), 2u);
  EXPECT_EQ(view->Records()[1]->fileName, (kExamples + "KODK.sac").toStdString());
}

// A settings file or a recent-events file that is not a regular file (a
// FIFO left where Orvane.ini should be) would keep the start waiting for
// ever: neither is opened, the program starts with its defaults and says so.
TEST(RecentEvents, FilesOfSettingsThatAreNotRegularFilesAreNotOpened) {
  const std::filesystem::path settings =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() + "/Halvergate/Orvane.conf";
  std::filesystem::create_directories(settings.parent_path());
  ASSERT_EQ(::mkfifo(settings.c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo("Orvane.ini", 0600), 0);
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  {
    test::FifoUnblocker unblock({settings, "Orvane.ini"});
    View* view = new View;
    TSDIDecFrame frame(view, "Orvane.ini");
    const QString message = frame.statusBar()->currentMessage();
    EXPECT_TRUE(message.contains("Orvane.conf is not a regular file")) << message.toStdString();
    EXPECT_TRUE(message.contains("Orvane.ini is not a regular file")) << message.toStdString();
    // An event opened is not written there, nor are the settings when the
    // view goes.
    view->OpenEventFiles({kExamples + "TAIG.sac"});
  }
  std::signal(SIGPIPE, previous);
  EXPECT_TRUE(std::filesystem::is_fifo(settings));
  EXPECT_TRUE(std::filesystem::is_fifo("Orvane.ini"));
}

}  // namespace
}  // namespace orvane
