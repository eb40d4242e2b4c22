// The depth panel through its controls: layout, the button for a depth, and
// what clicks, typing and OK report to the view.

#include "dialogs/DepthCB.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <vector>

#include "dialogs/DepthChoices.h"
#include "dialogs/DialogUnits.h"

namespace orvane {
namespace {

template <typename T = QWidget>
T* Control(const QWidget& dialog, int id) {
  T* control = dialog.findChild<T*>(ControlName(id));
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}

QLineEdit* EditBox(const DepthCB& panel) { return Control<QLineEdit>(panel, kDepthEditId); }

// The ids of the radio buttons that are checked.
std::vector<int> Checked(const DepthCB& panel) {
  std::vector<int> ids;
  for (int id = 101; id <= 112; ++id)
    if (Control<QRadioButton>(panel, id)->isChecked()) ids.push_back(id);
  return ids;
}

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(DepthCB, ControlsInTheirOrderWithIdsAndCaptions) {
  DepthCB panel(nullptr, 0);
  EXPECT_EQ(panel.windowTitle(), "Depth");
  struct Expected {
    int id;
    const char* kind;
    const char* text;
  } expected[] = {
      {113, "QLineEdit", ""},     {101, "QRadioButton", "0 km"},   {102, "QRadioButton", "10 km"},
      {103, "QRadioButton", "20 km"}, {104, "QRadioButton", "33 km"}, {105, "QRadioButton", "50 km"},
      {106, "QRadioButton", "100 km"}, {107, "QRadioButton", "200 km"}, {108, "QRadioButton", "300 km"},
      {109, "QRadioButton", "400 km"}, {110, "QRadioButton", "500 km"}, {111, "QRadioButton", "600 km"},
      {112, "QRadioButton", "Yours"}, {1, "QPushButton", "OK"},     {114, "QFrame", ""},
      {115, "QFrame", ""},
  };
  const QList<QWidget*> children = panel.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(children.size(), static_cast<qsizetype>(std::size(expected)));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(expected[i].id);
    QWidget* child = children[static_cast<qsizetype>(i)];
    EXPECT_EQ(child->objectName(), ControlName(expected[i].id));
    EXPECT_STREQ(child->metaObject()->className(), expected[i].kind);
    if (auto* button = qobject_cast<QAbstractButton*>(child)) {
      EXPECT_EQ(button->text(), expected[i].text);
    }
  }
}

TEST(DepthCB, LayoutInDialogUnitsOfTheDialogFont) {
  DepthCB panel(nullptr, 0);
  const DialogUnits du(panel.font());
  EXPECT_EQ(panel.size(), du.Size(129, 145));
  EXPECT_EQ(panel.minimumSize(), panel.maximumSize());
  struct Row {
    int id;
    QRect units;
  } rows[] = {
      {113, {76, 100, 40, 14}}, {112, {12, 100, 36, 13}}, {1, {40, 120, 50, 14}},
      {114, {8, 4, 112, 87}},   {115, {8, 95, 112, 46}},  {101, {12, 8, 44, 13}},
      {106, {12, 74, 44, 13}},  {107, {76, 8, 44, 13}},   {111, {76, 64, 44, 13}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(Control(panel, row.id)->geometry(),
              du.Rect(row.units.x(), row.units.y(), row.units.width(), row.units.height()));
  }
  EXPECT_EQ(panel.panelPosition(), QPoint(0, du.Y(20)));
  EXPECT_EQ(EditBox(panel)->maxLength(), 12);
}

TEST(DepthCB, OpensWithTheButtonOfItsDepthChecked) {
  struct Row {
    const char* name;
    int depthKm;
    int checked;
  } rows[] = {
      {"33 checks 33 km", 33, 104},
      {"15 checks 20 km", 15, 103},
      {"650 checks Yours", 650, 112},
      {"-5 checks 0 km", -5, 101},
      {"600 checks 600 km", 600, 111},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DepthCB panel(nullptr, row.depthKm);
    EXPECT_EQ(Checked(panel), std::vector<int>{row.checked});
    EXPECT_EQ(EditBox(panel)->text(), QString::number(row.depthKm));
    EXPECT_EQ(panel.depthKm(), row.depthKm);
  }
}

TEST(DepthCB, AStandardDepthIsReportedAtOnce) {
  DepthCB panel(nullptr, 15);
  panel.show();
  QSignalSpy chosen(&panel, &DepthCB::depthChosen);
  QTest::mouseClick(Control(panel, 106), Qt::LeftButton);  // "100 km"
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toInt(), 100);
  EXPECT_EQ(panel.depthKm(), 100);
  EXPECT_EQ(EditBox(panel)->text(), "100");
  EXPECT_EQ(Checked(panel), std::vector<int>{106});

  // The same button again reports again (the view empties the trials again).
  QTest::mouseClick(Control(panel, 106), Qt::LeftButton);
  EXPECT_EQ(chosen.count(), 2);
  QTest::mouseClick(Control(panel, 101), Qt::LeftButton);  // "0 km"
  ASSERT_EQ(chosen.count(), 3);
  EXPECT_EQ(chosen[2][0].toInt(), 0);
  EXPECT_EQ(Checked(panel), std::vector<int>{101});
}

TEST(DepthCB, YoursAloneChangesNoDepthAndGoesToTheEditBox) {
  DepthCB panel(nullptr, 33);
  panel.show();
  QSignalSpy chosen(&panel, &DepthCB::depthChosen);
  QTest::mouseClick(Control(panel, 112), Qt::LeftButton);
  EXPECT_EQ(chosen.count(), 0);
  EXPECT_EQ(panel.depthKm(), 33);
  EXPECT_EQ(Checked(panel), std::vector<int>{112});
  EXPECT_EQ(panel.focusWidget(), EditBox(panel));
  EXPECT_EQ(EditBox(panel)->selectedText(), "33");  // typing replaces it
}

TEST(DepthCB, OkReadsTheEditBoxAsAnInteger) {
  struct Row {
    const char* name;
    const char* typed;
    int depthKm;
  } rows[] = {
      {"a fraction is cut", "12.7", 12},
      {"letters only give 0", "deep", 0},
      {"blanks before", "  250", 250},
      {"the deepest the tables serve", "800", 800},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DepthCB panel(nullptr, 33);
    panel.show();
    QSignalSpy chosen(&panel, &DepthCB::depthChosen);
    EditBox(panel)->clear();
    QTest::keyClicks(EditBox(panel), row.typed);
    EXPECT_LE(EditBox(panel)->text().size(), 12);
    QTest::mouseClick(Control(panel, 1), Qt::LeftButton);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0][0].toInt(), row.depthKm);
    EXPECT_EQ(panel.depthKm(), row.depthKm);
    EXPECT_EQ(EditBox(panel)->text(), QString::number(row.depthKm));
    EXPECT_TRUE(panel.isVisible());  // the panel stays open
  }
}

// Above the surface or below the deepest column the tables would give the
// times of another depth under the typed one: such a depth is not taken.
TEST(DepthCB, OkRefusesADepthTheTablesDoNotServe) {
  for (const char* typed : {"-40", "801", "1234567890123456"}) {
    SCOPED_TRACE(typed);
    DepthCB panel(nullptr, 33);
    panel.show();
    QSignalSpy chosen(&panel, &DepthCB::depthChosen);
    QSignalSpy refused(&panel, &DepthCB::depthRefused);
    EditBox(panel)->clear();
    QTest::keyClicks(EditBox(panel), typed);
    EXPECT_LE(EditBox(panel)->text().size(), 12);
    QTest::mouseClick(Control(panel, 1), Qt::LeftButton);
    EXPECT_EQ(chosen.count(), 0);
    ASSERT_EQ(refused.count(), 1);
    EXPECT_TRUE(refused[0][0].toString().contains("0 to 800 km")) << refused[0][0].toString().toStdString();
    EXPECT_EQ(panel.depthKm(), 33);
    EXPECT_EQ(EditBox(panel)->text(), "33");
    EXPECT_TRUE(panel.isVisible());
  }
}

TEST(DepthCB, EnterInTheEditBoxIsOk) {
  DepthCB panel(nullptr, 33);
  panel.show();
  QSignalSpy chosen(&panel, &DepthCB::depthChosen);
  EditBox(panel)->clear();
  QTest::keyClicks(EditBox(panel), "77");
  QTest::keyClick(EditBox(panel), Qt::Key_Return);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toInt(), 77);
  EXPECT_TRUE(panel.isVisible());
}

TEST(DepthCB, TheFramesLetClicksThrough) {
  DepthCB panel(nullptr, 0);
  panel.show();
  QWidget* button = Control(panel, 105);
  const QPoint inside = button->geometry().center();
  EXPECT_EQ(panel.childAt(inside), button);
  EXPECT_TRUE(Control(panel, 114)->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST(DepthCB, EveryControlHasAnAccessibleName) {
  DepthCB panel(nullptr, 0);
  panel.show();
  QList<QWidget*> widgets = panel.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  widgets.prepend(&panel);
  for (QWidget* widget : widgets) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(face, nullptr);
    EXPECT_FALSE(face->text(QAccessible::Name).isEmpty()) << widget->objectName().toStdString();
  }
}

TEST(DepthCB, KeyboardOrderFollowsTheControls) {
  DepthCB panel(nullptr, 0);
  std::vector<QString> order;
  QWidget* w = EditBox(panel);
  for (int guard = 0; guard < 40 && (order.empty() || w != EditBox(panel)); ++guard, w = w->nextInFocusChain())
    if (w->parentWidget() == &panel && (w->focusPolicy() & Qt::TabFocus)) order.push_back(w->objectName());
  std::vector<QString> expected = {"id113"};
  for (int id = 101; id <= 112; ++id) expected.push_back(ControlName(id));
  expected.push_back("id1");
  EXPECT_EQ(order, expected);
}

// Inside the main view: a captioned sub-window at (0, 20) dialog units, no
// sizing border, gone with everything in it when closed.
TEST(DepthCB, LivesInASubWindowOfTheView) {
  QMdiArea area;
  area.resize(800, 600);
  area.show();
  auto* panel = new DepthCB(nullptr, 20);
  QPointer<QMdiSubWindow> sub = panel->showIn(&area);
  QPointer<DepthCB> alive = panel;
  ASSERT_TRUE(sub);
  EXPECT_EQ(sub->widget(), panel);
  EXPECT_EQ(sub->windowTitle(), "Depth");
  EXPECT_EQ(sub->pos(), panel->panelPosition());
  EXPECT_EQ(sub->minimumSize(), sub->maximumSize());
  EXPECT_TRUE(sub->isVisible());
  EXPECT_GE(sub->width(), panel->width());
  EXPECT_EQ(area.subWindowList().size(), 1);

  // A second command opens a second panel.
  auto* second = new DepthCB(nullptr, 33);
  second->showIn(&area);
  EXPECT_EQ(area.subWindowList().size(), 2);

  sub->close();
  DeleteClosedWindows();
  EXPECT_FALSE(sub);
  EXPECT_FALSE(alive);
  EXPECT_EQ(area.subWindowList().size(), 1);
}

TEST(DepthCB, EnterChoosesAndEscapeClosesInsideTheSubWindow) {
  QMdiArea area;
  area.resize(800, 600);
  area.show();
  auto* panel = new DepthCB(nullptr, 20);
  QSignalSpy chosen(panel, &DepthCB::depthChosen);
  QPointer<QMdiSubWindow> sub = panel->showIn(&area);
  // The keys start on the depth in use; an arrow key chooses the next one.
  ASSERT_TRUE(QTest::qWaitForWindowActive(&area));
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  EXPECT_EQ(focus->objectName(), "id103");  // 20 km
  QTest::keyClick(focus, Qt::Key_Down);
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen[0][0].toInt(), 33);

  QLineEdit* edit = Control<QLineEdit>(*panel, 113);
  edit->clear();
  QTest::keyClicks(edit, "45");
  QTest::keyClick(edit, Qt::Key_Enter);
  ASSERT_EQ(chosen.count(), 2);
  EXPECT_EQ(chosen[1][0].toInt(), 45);
  EXPECT_TRUE(sub->isVisible());

  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(chosen.count(), 2);
  DeleteClosedWindows();
  EXPECT_FALSE(sub);
  EXPECT_TRUE(area.subWindowList().isEmpty());
}

}  // namespace
}  // namespace orvane
