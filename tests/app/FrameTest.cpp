// The frame: its menu, tool bar and status bar as the program defines them,
// and the commands reaching the view.
#include "app/TSDIDecFrame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <string>
#include <vector>

#include "app/HelpWindow.h"
#include "app/MenuTable.h"
#include "app/RecentEvents.h"
#include "app/TOrvaneAboutDlg.h"
#include "app/TOrvaneApp.h"
#include "location/EarthModel.h"
#include "view/View.h"

namespace orvane {
namespace {

TEST(MenuTable, TextsIdsAndHints) {
  struct Row {
    const char* popup;
    const char* text;
    int id;
    const char* hint;
  } const expected[] = {
      {"&File", "&Open Event ...", 24332, "Opens an earthquake"},
      {"&File", "&Close Event ...", 11843, "Closes and earthquake"},
      {"&File", "Open &Exercise...", 11850, "Opens a saved exercise"},
      {"&File", "&Save Exercise", 11851, "Saves the picks and trials of this exercise"},
      {"&File", "Save Exercise &As...", 11852, "Saves the exercise under a new name"},
      {"&File", "Export &Trials...", 11853, "Writes the trials to a CSV file for the teacher"},
      {"&File", nullptr, 0, nullptr},
      {"&File", "Print Pre&view...", 24340, "Displays full pages as read-only"},
      {"&File", "&Print...", 24337, "Prints the active document"},
      {"&File", "P&rint Setup...", 24338, "Sets print characteristics for the active document"},
      {"&File", nullptr, 0, nullptr},
      {"&File", "E&xit\tAlt+F4", 24310, "Quits Orvane and prompts to save the documents"},
      {"&Controls", "Set &Depth ...", 11842, nullptr},
      {"&Controls", "Set maximum &RMS value ...", 11847, nullptr},
      {"&Controls", nullptr, 0, nullptr},
      {"&Controls", "Zoom &In", 25007, "Zoom in"},
      {"&Controls", "Zoom &Out", 25006, "Zoom out"},
      {"&Controls", nullptr, 0, nullptr},
      {"&Controls", "&North", 25003, "Move north"},
      {"&Controls", "&South", 25004, "Move south"},
      {"&Controls", "&East", 25002, "Move east"},
      {"&Controls", "&West", 25001, "Move west"},
      {"&Options", "&Want hints", 11846, nullptr},
      {"&Options", "&Multiple window seismograms", 11845, nullptr},
      {"&Options", "&Seismograms in one window", 11844, nullptr},
      {"&Help", "&Help Topics...", 11848, nullptr},
      {"&Help", "&About...", 2009, "About the Orvane application"},
  };
  const auto menu = MainMenu();
  ASSERT_EQ(menu.size(), std::size(expected));
  auto same = [](const char* a, const char* b) { return (a == nullptr && b == nullptr) || (a && b && std::string(a) == b); };
  for (std::size_t i = 0; i < menu.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(menu[i].popup, expected[i].popup);
    EXPECT_TRUE(same(menu[i].text, expected[i].text));
    EXPECT_EQ(menu[i].id, expected[i].id);
    EXPECT_TRUE(same(menu[i].hint, expected[i].hint));
  }
  const std::vector<int> tools(ToolBarCommands().begin(), ToolBarCommands().end());
  EXPECT_EQ(tools, (std::vector<int>{24332, 0, 25003, 25004, 25001, 25002, 25007, 25006}));
}

class FrameTest : public testing::Test {
 protected:
  View* view = new View;
  TSDIDecFrame frame{view};
};

TEST_F(FrameTest, MenusToolBarAndStatusPanes) {
  EXPECT_EQ(frame.windowTitle(), "Orvane");
  QStringList popups;
  for (QAction* a : frame.menuBar()->actions()) popups << a->text();
  EXPECT_EQ(popups, (QStringList{"&File", "&Controls", "&Options", "&Help"}));
  EXPECT_EQ(frame.Action(kCmCloseEvent)->statusTip(), "Closes and earthquake");
  EXPECT_EQ(frame.Action(kCmExit)->text(), "E&xit");
  EXPECT_EQ(frame.Action(kCmExit)->shortcut(), QKeySequence("Alt+F4"));
  EXPECT_EQ(frame.Action(kCmOpenEvent)->objectName(), "id24332");

  auto* bar = frame.findChild<QToolBar*>("id32041");
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->windowTitle(), "Toolbar");
  QList<int> ids;
  for (QAction* a : bar->actions()) ids << (a->isSeparator() ? 0 : a->objectName().mid(2).toInt());
  EXPECT_EQ(ids, (QList<int>{24332, 0, 25003, 25004, 25001, 25002, 25007, 25006}));

  const char* names[] = {"pointerLatField", "pointerLonField", "centreLatField", "centreLonField", "scaleField"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(frame.Pane(i)->objectName(), names[i]);
}

// Alt and a letter reach one item: no popup holds two items with the same
// mnemonic, no item has two, and an "&" in a recent event's file name is no
// mnemonic.
TEST(MenuMnemonics, NoMenuHasTwoItemsWithTheSameLetter) {
  ASSERT_TRUE(WriteRecentEvents("Orvane.ini", {RecentEvent{{"R&D.sac", "XAN.sac"}, std::nullopt}}));
  TSDIDecFrame frame(new View, "Orvane.ini");
  ASSERT_EQ(frame.RecentEventActions().size(), 1);
  const auto markers = [](const QString& text) {
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
      if (text[i] != QLatin1Char('&')) continue;
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&'))
        ++i;
      else
        ++n;
    }
    return n;
  };
  const auto check = [&](const QList<QAction*>& items) {
    QMap<QString, QString> taken;
    for (const QAction* item : items) {
      if (item->isSeparator() || !item->isVisible()) continue;
      const QString text = item->text();
      EXPECT_EQ(markers(text), 1) << text.toStdString();
      const QString letter = QKeySequence::mnemonic(text).toString();
      EXPECT_FALSE(taken.contains(letter))
          << text.toStdString() << " and " << taken.value(letter).toStdString() << " share " << letter.toStdString();
      taken.insert(letter, text);
    }
  };
  check(frame.menuBar()->actions());
  for (const QAction* popup : frame.menuBar()->actions()) {
    SCOPED_TRACE(popup->text().toStdString());
    check(popup->menu()->actions());
  }
  EXPECT_EQ(QKeySequence::mnemonic(frame.Action(kCmExit)->text()), QKeySequence(Qt::ALT | Qt::Key_X)) << "Alt+F, X quits";
}

TEST_F(FrameTest, CommandsReachTheViewAndCheckMarksFollow) {
  frame.Action(kCmNorth)->trigger();
  EXPECT_FLOAT_EQ(view->Globe().tilt, -10.0f);
  EXPECT_EQ(frame.Pane(2)->text(), " 10.00N");
  frame.Action(kCmZoomIn)->trigger();
  EXPECT_EQ(view->Globe().radius, 250.0f);

  EXPECT_TRUE(frame.Action(kCmOneWindow)->isChecked());
  EXPECT_FALSE(frame.Action(kCmMultipleWindows)->isChecked());
  frame.Action(kCmMultipleWindows)->trigger();
  EXPECT_FALSE(view->OneWindow());
  EXPECT_FALSE(frame.Action(kCmOneWindow)->isChecked());
  EXPECT_TRUE(frame.Action(kCmMultipleWindows)->isChecked());
  // The Earth model: one radio item per model, following the view.
  EXPECT_TRUE(frame.Action(kCmModelIasp91)->isChecked());
  frame.Action(kCmModelAk135)->trigger();
  EXPECT_EQ(view->Model(), EarthModel::kAk135);
  EXPECT_FALSE(frame.Action(kCmModelIasp91)->isChecked());
  EXPECT_TRUE(frame.Action(kCmModelAk135)->isChecked());
  view->SetModel(EarthModel::kJB);
  EXPECT_TRUE(frame.Action(kCmModelJB)->isChecked());
  EXPECT_FALSE(frame.Action(kCmModelAk135)->isChecked());

  const bool hints = view->WantHints();
  frame.Action(kCmWantHints)->trigger();
  EXPECT_EQ(view->WantHints(), !hints);
  EXPECT_EQ(frame.Action(kCmWantHints)->isChecked(), !hints);
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// The misfit map and the answer key give the answer away: a student's
// program has neither item; "orvane --teacher" has both, off at the start.
TEST(TeacherItems, OnlyAProgramStartedForATeacherHasThem) {
  StartOptions options;
  std::string error;
  char program[] = "orvane", teacher[] = "--teacher", file[] = "TAIG.sac";
  char* argv[] = {program, teacher, file, nullptr};
  ASSERT_TRUE(TOrvaneApp::ParseCommandLine(3, argv, options, error)) << error;
  EXPECT_TRUE(options.teacher);
  EXPECT_EQ(options.files, QStringList{"TAIG.sac"});
  char* plain[] = {program, file, nullptr};
  StartOptions student;
  ASSERT_TRUE(TOrvaneApp::ParseCommandLine(2, plain, student, error));
  EXPECT_FALSE(student.teacher);

  const auto optionTexts = [](const TSDIDecFrame& frame) {
    QStringList texts;
    for (const QAction* popup : frame.menuBar()->actions())
      if (popup->text() == "&Options")
        for (const QAction* item : popup->menu()->actions()) texts << item->text();
    return texts;
  };
  View* studentView = new View;
  TSDIDecFrame studentFrame(studentView);
  EXPECT_EQ(studentFrame.Action(kCmShowMisfit), nullptr);
  EXPECT_EQ(studentFrame.Action(kCmShowAnswerKey), nullptr);
  EXPECT_FALSE(optionTexts(studentFrame).contains("Show m&isfit map"));
  EXPECT_FALSE(optionTexts(studentFrame).contains("Show &answer key"));
  EXPECT_TRUE(optionTexts(studentFrame).contains("&Earth model"));

  View* view = new View;
  TSDIDecFrame frame(view, QString(), TSDIDecFrame::Audience::kTeacher);
  EXPECT_TRUE(optionTexts(frame).contains("Show m&isfit map"));
  EXPECT_TRUE(optionTexts(frame).contains("Show &answer key"));
  for (const int id : {kCmShowMisfit, kCmShowAnswerKey}) {
    QAction* item = frame.Action(id);
    ASSERT_NE(item, nullptr) << id;
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(item->isChecked());
  }
  EXPECT_FALSE(view->ShowMisfit());
  frame.Action(kCmShowMisfit)->trigger();
  EXPECT_TRUE(view->ShowMisfit());
  frame.Action(kCmShowAnswerKey)->trigger();
  EXPECT_TRUE(view->ShowAnswerKey());
  frame.Action(kCmShowMisfit)->trigger();
  EXPECT_FALSE(view->ShowMisfit());
  EXPECT_TRUE(view->ShowAnswerKey());
}

TEST(AboutBox, TextsFromTheVersionBlock) {
  TOrvaneAboutDlg about;
  EXPECT_EQ(about.windowTitle(), "About Orvane");
  EXPECT_TRUE(about.Control(22001)->text().startsWith("Orvane Version "));
  EXPECT_FALSE(about.Control(22002)->text().isEmpty());
  EXPECT_TRUE(about.Control(22003)->text().isEmpty());  // no special build

  VersionBlock block;
  block.translations.emplace_back(0x0409, 0x04E4);
  block.values["\\StringFileInfo\\040904e4\\ProductName"] = "Orvane";
  block.values["\\StringFileInfo\\040904e4\\SpecialBuild"] = "classroom";
  const TProjectRCVersion noVersion(&block);
  TOrvaneAboutDlg partial(nullptr, noVersion);
  EXPECT_EQ(partial.Control(22001)->text(), "Version");  // no ProductVersion: kept
  EXPECT_TRUE(partial.Control(22002)->text().isEmpty());
  EXPECT_EQ(partial.Control(22003)->text(), "classroom");
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

TEST(Help, HelpTopicsOpensTheHelpPagesOnce) {
  View* view = new View;
  TSDIDecFrame frame(view);
  frame.Action(kCmHelpTopics)->trigger();
  auto* help = frame.findChild<HelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->HasPages());
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(help->toPlainText().contains("step by step"));
  frame.Action(kCmHelpTopics)->trigger();
  EXPECT_EQ(frame.findChildren<HelpWindow*>().size(), 1);
}

}  // namespace
}  // namespace orvane
