// The window for the keyboard and for screen readers, read through
// QAccessible as a screen reader reads it: every control has a name a person
// would say, the globe takes the keys, and the commands that open a dialog
// return before it comes up.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "app/MenuTable.h"
#include "app/TSDIDecFrame.h"
#include "location/RMS.h"
#include "support/ExampleEvent.h"
#include "support/TrialStateGuard.h"
#include "view/View.h"

namespace orvane {
namespace {

using test::kExamples;
using test::kOnsets;

std::string Describe(QAccessibleInterface* node) {
  std::string path;
  for (QAccessibleInterface* n = node; n != nullptr; n = n->parent()) {
    QObject* object = n->object();
    path += std::string(object ? object->metaObject()->className() : "?") + " '" +
            (object ? object->objectName() : QString()).toStdString() + "' '" +
            n->text(QAccessible::Name).toStdString() + "' < ";
  }
  return path + " role " + std::to_string(node->role());
}

// The controls a person presses, types into or moves the focus to, in the
// tree below @p node as a screen reader walks it.
void CollectControls(QAccessibleInterface* node, std::vector<QAccessibleInterface*>& controls, int depth = 0) {
  if (node == nullptr || depth > 30 || node->state().invisible) return;
  switch (node->role()) {
    case QAccessible::PushButton:
    case QAccessible::RadioButton:
    case QAccessible::CheckBox:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::MenuItem:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::ScrollBar:
    case QAccessible::ComboBox:
      controls.push_back(node);
      break;
    default:
      if (node->state().focusable) controls.push_back(node);
      break;
  }
  for (int i = 0; i < node->childCount(); ++i) CollectControls(node->child(i), controls, depth + 1);
}

// Every control below @p top has a name, and not the object name that
// tests find it by.
void ExpectSpokenNames(QObject* top) {
  std::vector<QAccessibleInterface*> controls;
  CollectControls(QAccessible::queryAccessibleInterface(top), controls);
  EXPECT_FALSE(controls.empty());
  for (QAccessibleInterface* control : controls) {
    const QString name = control->text(QAccessible::Name).trimmed();
    EXPECT_FALSE(name.isEmpty()) << Describe(control);
    if (control->object() != nullptr && !control->object()->objectName().isEmpty()) {
      EXPECT_NE(name, control->object()->objectName()) << Describe(control);
    }
  }
}

// What became of a command that may open a modal dialog.
struct ModalRun {
  bool shown = false;         // a dialog came up
  bool beforeReturn = false;  // ... while the command had not returned yet
};

// Runs @p command; when a modal dialog comes up, hands it to @p seen and
// closes it with Cancel.
ModalRun RunModal(const std::function<void()>& command, const std::function<void(QWidget*)>& seen = {}) {
  ModalRun run;
  bool returned = false;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || run.shown) return;
    run.shown = true;
    run.beforeReturn = !returned;
    if (seen) seen(modal);
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
  });
  poll.start();
  command();
  returned = true;
  (void)QTest::qWaitFor([&] { return run.shown; }, 5000);
  QCoreApplication::processEvents();
  return run;
}

class Accessibility : public testing::Test {
 protected:
  Accessibility() {
    view->SetKeepSettings(false);
    frame.resize(1100, 800);
  }
  void OpenExample() {
    QStringList paths;
    for (const auto& [name, onset] : kOnsets) paths << QString::fromStdString(kExamples + name);
    view->OpenEventFiles(paths);
    ASSERT_EQ(view->Records().size(), kOnsets.size());
  }
  void PickAll() {
    for (std::size_t i = 0; i < kOnsets.size(); ++i) view->Records()[i]->SetPick(0, kOnsets[i].second);
    view->PicksChanged();
  }

  test::TrialStateGuard trials;
  View* view = new View;
  TSDIDecFrame frame{view};
};

TEST_F(Accessibility, EveryControlOfTheWindowAndItsDialogsHasASpokenName) {
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  QTRY_VERIFY(view->SplashWindow() != nullptr);  // the title card is up
  OpenExample();
  frame.Action(kCmSetDepth)->trigger();         // a depth panel
  frame.Action(kCmHelpTopics)->trigger();       // the help pages (a window of their own)
  QCoreApplication::processEvents();
  {
    SCOPED_TRACE("main window");
    ExpectSpokenNames(&frame);
  }
  {
    SCOPED_TRACE("status panes");
    for (int i = 0; i < 5; ++i) {
      QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(frame.Pane(i));
      EXPECT_NE(pane->text(QAccessible::Name), frame.Pane(i)->objectName());
      EXPECT_EQ(pane->text(QAccessible::Description), frame.Pane(i)->text().trimmed());
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(frame.Pane(4))->text(QAccessible::Name), "Scale");
  }
  // The dialogs the commands open, each closed with Cancel.
  for (int id : {kCmMaximumRms, kCmAbout}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(RunModal([&] { frame.Action(id)->trigger(); }, ExpectSpokenNames).shown);
  }
  {
    SCOPED_TRACE("the question before the work is put away");
    view->SetModified(true);
    EXPECT_TRUE(RunModal([&] { frame.Action(kCmCloseEvent)->trigger(); }, ExpectSpokenNames).shown);
    EXPECT_EQ(view->Records().size(), kOnsets.size());  // Cancel keeps it
  }
}

TEST_F(Accessibility, CommandsThatOpenADialogReturnBeforeIt) {
  view->SetShowSplash(false);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  for (int id : {kCmOpenEvent, kCmOpenExercise, kCmMaximumRms, kCmAbout}) {
    SCOPED_TRACE(id);
    const ModalRun run = RunModal([&] { frame.Action(id)->trigger(); });
    EXPECT_TRUE(run.shown);
    EXPECT_FALSE(run.beforeReturn);
  }
}

TEST_F(Accessibility, TheGlobeByKeysCrossHairReadOutAndTrial) {
  view->SetShowSplash(false);
  frame.SetAsk([](const QString&, QMessageBox::StandardButtons) { return QMessageBox::Discard; });
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  OpenExample();
  PickAll();
  // The view the student turns to: facing 0 N 0 E, a disc of 200 pixels.
  view->SetGlobe(GlobeView{0.0f, 0.0f, 200.0f});
  QCoreApplication::processEvents();

  // Tab reaches the globe.
  QAccessibleInterface* globe = QAccessible::queryAccessibleInterface(view);
  for (int i = 0; i < 40 && !globe->state().focused; ++i) {
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  ASSERT_TRUE(globe->state().focused);
  EXPECT_EQ(globe->text(QAccessible::Name), "Globe");
  // It begins with the cross-hair, at the centre of the view: 0 N 0 E.
  const QString atCentre = globe->text(QAccessible::Description);
  EXPECT_TRUE(atCentre.startsWith("Cross-hair at 0.00N 0.00E.")) << atCentre.toStdString();
  EXPECT_TRUE(atCentre.contains(" 8 stations, 8 picked.")) << atCentre.toStdString();

  QAccessibleInterface* lat = QAccessible::queryAccessibleInterface(frame.Pane(0));
  QAccessibleInterface* lon = QAccessible::queryAccessibleInterface(frame.Pane(1));
  ASSERT_EQ(lon->text(QAccessible::Name), "Pointer longitude");
  EXPECT_EQ(lon->text(QAccessible::Description), "0.00E");
  // Shift and the arrows: ten pixels; the arrows alone: one.
  for (int i = 0; i < 5; ++i) QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_Up);
  const float east = lon->text(QAccessible::Description).chopped(1).toFloat();
  const float north = lat->text(QAccessible::Description).chopped(1).toFloat();
  EXPECT_TRUE(lon->text(QAccessible::Description).endsWith('E'));
  EXPECT_TRUE(lat->text(QAccessible::Description).endsWith('N'));
  // 51 pixels on a disc of 200 pixels' radius.
  EXPECT_NEAR(east, 50.0 / 200.0 * 57.3, 1.0);
  EXPECT_NEAR(north, 1.0 / 200.0 * 57.3, 0.2);
  const QString where = lat->text(QAccessible::Description) + " " + lon->text(QAccessible::Description);
  EXPECT_TRUE(globe->text(QAccessible::Description).startsWith("Cross-hair at " + where + "."))
      << globe->text(QAccessible::Description).toStdString();

  // Enter: a trial there; the status bar, whose name is its last message, tells it.
  QTest::keyClick(view, Qt::Key_Return);
  ASSERT_EQ(trialList.size(), 1u);
  EXPECT_NEAR(trialList[0].lat, north, 0.006);
  EXPECT_NEAR(trialList[0].lon, east, 0.006);
  const QString told = QAccessible::queryAccessibleInterface(frame.statusBar())->text(QAccessible::Name);
  EXPECT_TRUE(told.startsWith("Trial at " + where + ": RMS ")) << told.toStdString();
  EXPECT_TRUE(globe->text(QAccessible::Description).contains("Last trial at " + where))
      << globe->text(QAccessible::Description).toStdString();
}

}  // namespace
}  // namespace orvane
