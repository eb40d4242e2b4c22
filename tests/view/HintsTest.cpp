// The hints window: its text area, loading a hints text, and its life as a
// sub-window of the main view.

#include "view/Hints.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <string>


namespace orvane {
namespace {

void Write(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(Hints, AReadOnlyTextAreaWithoutHorizontalScrolling) {
  Hints hints(nullptr, 0, 0, 400, 300, "Hints");
  EXPECT_EQ(hints.windowTitle(), "Hints");
  EXPECT_EQ(hints.frameRect(), QRect(0, 0, 400, 300));
  QPlainTextEdit* area = hints.textArea();
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->objectName(), "textArea");
  EXPECT_EQ(area->geometry(), QRect(10, 10, 380, 250));
  EXPECT_TRUE(area->isReadOnly());
  EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(area->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_TRUE(area->toPlainText().isEmpty());
  for (QWidget* w : {static_cast<QWidget*>(&hints), static_cast<QWidget*>(area)})
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty());
}

// The text area sits 10 pixels inside the window wherever the window stands.
TEST(Hints, TheTextAreaKeepsItsPlaceWhenTheWindowMoves) {
  Hints hints(nullptr, 50, 60, 300, 200, "Hints");
  EXPECT_EQ(hints.textArea()->geometry(), QRect(10, 10, 280, 150));
  EXPECT_EQ(hints.frameRect(), QRect(50, 60, 300, 200));
}

TEST(Hints, LoadTextShowsEveryLineFollowedByALineBreak) {
  struct Row {
    const char* name;
    std::string bytes;
    QString shown;
  } rows[] = {
      {"two lines, each ended", "Open an event.\nPick.\n", "Open an event.\nPick.\n"},
      {"a last line without a line feed is shown", "Open an event.\nPick.", "Open an event.\nPick.\n"},
      {"an empty line stays", "a\n\nb\n", "a\n\nb\n"},
      {"a Windows text", "a\r\nb\r\n", "a\nb\n"},
      {"UTF-8", "D\xc3\xa9j\xc3\xa0 vu\n", QString::fromUtf8("D\xc3\xa9j\xc3\xa0 vu\n")},
      {"broken UTF-8 is replaced, not lost", "a\xff" "b\n", QStringLiteral("a\uFFFDb\n")},
      {"an empty file", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Write("hint-test.txt", row.bytes);
    Hints hints(nullptr, 0, 0, 400, 300, "Hints");
    hints.LoadText("hint-test.txt");
    EXPECT_EQ(hints.textArea()->toPlainText(), row.shown);
    EXPECT_EQ(hints.textArea()->textCursor().position(), 0);
  }
}

TEST(Hints, ALongLineIsSplitIntoLinesOfAtMost119Characters) {
  const std::string words = "Click near the smallest dot and watch the RMS. ";
  std::string line;
  while (line.size() < 300) line += words;
  Write("long.txt", line + "\n");
  Hints hints(nullptr, 0, 0, 400, 300, "Hints");
  hints.LoadText("long.txt");
  const QStringList shown = hints.textArea()->toPlainText().split('\n');
  ASSERT_GE(shown.size(), 4);  // three pieces and the empty end
  EXPECT_TRUE(shown.back().isEmpty());
  QString joined;
  for (const QString& piece : shown) {
    EXPECT_LE(piece.size(), 119);
    joined += piece;
  }
  EXPECT_EQ(joined.toStdString(), line);
}

TEST(Hints, AMissingFileGivesAnEmptyText) {
  Write("first.txt", "something\n");
  Hints hints(nullptr, 0, 0, 400, 300, "Hints");
  hints.LoadText("first.txt");
  ASSERT_FALSE(hints.textArea()->toPlainText().isEmpty());
  hints.LoadText("no-such-hints.txt");
  EXPECT_TRUE(hints.textArea()->toPlainText().isEmpty());
  hints.LoadText("");
  EXPECT_TRUE(hints.textArea()->toPlainText().isEmpty());
}

TEST(Hints, ADirectoryOfThatNameIsNoText) {
  std::filesystem::create_directory("notes.txt");
  Hints hints(nullptr, 0, 0, 400, 300, "Hints");
  hints.LoadText("notes.txt");
  EXPECT_TRUE(hints.textArea()->toPlainText().isEmpty());
}

// The texts that come with the program are found from any directory.
TEST(Hints, TheShippedTextsAreFoundThroughTheDataLookup) {
  for (const char* name : {"init.txt", "picking.txt"}) {
    SCOPED_TRACE(name);
    Hints hints(nullptr, 0, 0, 400, 300, "Hints");
    hints.LoadText(name);
    const QString text = hints.textArea()->toPlainText();
    EXPECT_GT(text.size(), 200);
    EXPECT_TRUE(text.contains("RMS"));
    EXPECT_EQ(hints.textArea()->verticalScrollBar()->value(), 0);
  }
}

// A file in the current directory comes before the shipped one.
TEST(Hints, TheCurrentDirectoryComesFirst) {
  Write("init.txt", "Our own course notes.\n");
  Hints hints(nullptr, 0, 0, 400, 300, "Hints");
  hints.LoadText("init.txt");
  EXPECT_EQ(hints.textArea()->toPlainText(), "Our own course notes.\n");
}

TEST(Hints, LivesInASubWindowOfTheViewUntilClosed) {
  QMdiArea area;
  area.resize(800, 600);
  area.show();
  auto* hints = new Hints(nullptr, 0, 0, 400, 300, "Hints");
  QPointer<Hints> alive = hints;
  QPointer<QMdiSubWindow> sub = hints->showIn(&area);
  hints->LoadText("init.txt");
  ASSERT_TRUE(sub);
  EXPECT_EQ(sub->widget(), hints);
  EXPECT_EQ(sub->windowTitle(), "Hints");
  EXPECT_EQ(sub->geometry(), QRect(0, 0, 400, 300));
  EXPECT_TRUE(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(sub->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(hints->isVisible());
  EXPECT_TRUE(hints->textArea()->isVisible());
  // The text area fits inside what the frame leaves of 400 x 300.
  EXPECT_TRUE(hints->rect().contains(hints->textArea()->geometry())) << hints->width() << "x" << hints->height();

  // No sizing border, but it can be minimised and restored.
  EXPECT_EQ(sub->minimumSize(), QSize(400, 300));
  EXPECT_EQ(sub->maximumSize(), QSize(400, 300));
  sub->showMinimized();
  EXPECT_TRUE(sub->isMinimized());
  EXPECT_LT(sub->height(), 300);
  sub->showNormal();
  EXPECT_EQ(sub->geometry(), QRect(0, 0, 400, 300));
  EXPECT_TRUE(hints->isVisible());

  sub->close();
  DeleteClosedWindows();
  EXPECT_FALSE(sub);
  EXPECT_FALSE(alive);
  EXPECT_TRUE(area.subWindowList().isEmpty());
}

}  // namespace
}  // namespace orvane
