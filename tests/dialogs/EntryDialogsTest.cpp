// The depth entry box and the maximum-RMS dialog through their controls.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

#include "dialogs/DepthDialog.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/MaxRMSDialog.h"

namespace orvane {
namespace {

QLineEdit* Edit(const QDialog& d) { return d.findChild<QLineEdit*>(ControlName(301)); }
QPushButton* Ok(const QDialog& d) { return d.findChild<QPushButton*>(ControlName(1)); }

// Types @p text over the entry and clicks OK.
void Enter(QDialog& dialog, const QString& text) {
  Edit(dialog)->clear();
  QTest::keyClicks(Edit(dialog), text);
  QTest::mouseClick(Ok(dialog), Qt::LeftButton);
}

void ExpectLayout(const QDialog& dialog, const QString& caption, const QString& label) {
  EXPECT_EQ(dialog.windowTitle(), caption);
  const DialogUnits du(dialog.font());
  EXPECT_EQ(dialog.size(), du.Size(181, 46));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  const QList<QWidget*> children = dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(children.size(), 4);
  EXPECT_EQ(children[0]->objectName(), "id1");
  EXPECT_EQ(children[1]->objectName(), "id301");
  EXPECT_EQ(children[2]->objectName(), "id102");
  EXPECT_EQ(children[3]->objectName(), "id2");
  EXPECT_EQ(children[3]->geometry(), du.Rect(112, 24, 50, 14));
  EXPECT_EQ(Ok(dialog)->text(), "OK");
  EXPECT_TRUE(Ok(dialog)->isDefault());
  EXPECT_EQ(dialog.findChild<QLabel*>("id102")->text(), label);
  EXPECT_EQ(children[0]->geometry(), du.Rect(112, 6, 50, 14));
  EXPECT_EQ(children[1]->geometry(), du.Rect(12, 20, 52, 17));
  // The label keeps its place; it is wider only where the text needs it.
  QRect label = du.Rect(16, 4, 48, 9);
  label.setWidth(std::max(label.width(), children[2]->sizeHint().width()));
  EXPECT_EQ(children[2]->geometry(), label);
  EXPECT_LT(children[2]->geometry().right(), children[0]->geometry().left());
  EXPECT_EQ(Edit(dialog)->maxLength(), 255);
  QList<QWidget*> all = children;
  all.prepend(const_cast<QDialog*>(&dialog));
  for (QWidget* w : all)
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty())
        << w->objectName().toStdString();
}

TEST(DepthDialog, CaptionControlsAndLayout) {
  DepthDialog dialog(nullptr, 10.0f);
  ExpectLayout(dialog, "Depth dialog", "Depth (km)");
}

TEST(DepthDialog, ShowsItsDepthOr33) {
  struct Row {
    const char* name;
    float depthKm;
    const char* shown;
    float kept;
  } rows[] = {
      {"-1 shows 33", -1.0f, "33", 33.0f},
      {"10.5 shows 10.5", 10.5f, "10.5", 10.5f},
      {"0 shows 0", 0.0f, "0", 0.0f},
      {"a large depth in %g form", 1.0e6f, "1e+06", 1.0e6f},
      {"not a number shows 33", std::numeric_limits<float>::quiet_NaN(), "33", 33.0f},
      {"infinity shows 33", std::numeric_limits<float>::infinity(), "33", 33.0f},
      {"minus infinity shows 33", -std::numeric_limits<float>::infinity(), "33", 33.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DepthDialog dialog(nullptr, row.depthKm);
    EXPECT_EQ(Edit(dialog)->text(), row.shown);
    EXPECT_EQ(dialog.depthKm(), row.kept);
  }
}

TEST(DepthDialog, OkReturnsTheEnteredDepth) {
  struct Row {
    const char* name;
    const char* typed;
    float depthKm;
  } rows[] = {
      {"7.25 returns 7.25", "7.25", 7.25f},
      {"letters give 0", "deep", 0.0f},
      {"negative passes", "-3.5", -3.5f},
      {"number then unit", "42km", 42.0f},
      {"only the first 14 characters", "             7.5", 7.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DepthDialog dialog(nullptr, 10.0f);
    dialog.show();
    Enter(dialog, row.typed);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FLOAT_EQ(dialog.depthKm(), row.depthKm);
  }
}

TEST(DepthDialog, ClosingKeepsTheOldValue) {
  DepthDialog dialog(nullptr, 10.5f);
  dialog.show();
  Edit(dialog)->setText("99");
  dialog.close();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.depthKm(), 10.5f);

  DepthDialog escaped(nullptr, 10.5f);
  escaped.show();
  QTest::keyClick(Edit(escaped), Qt::Key_Escape);
  EXPECT_EQ(escaped.result(), QDialog::Rejected);
  EXPECT_FALSE(escaped.isVisible());

  DepthDialog cancelled(nullptr, 10.5f);
  cancelled.show();
  Edit(cancelled)->setText("99");
  QTest::mouseClick(cancelled.findChild<QPushButton*>("id2"), Qt::LeftButton);
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
  EXPECT_EQ(cancelled.depthKm(), 10.5f);
}

TEST(MaxRMSDialog, CaptionControlsAndLayout) {
  MaxRMSDialog dialog(nullptr, 10);
  ExpectLayout(dialog, "Maximum RMS Dialog", "Maximum RMS");
  EXPECT_EQ(Edit(dialog)->text(), "10");
  EXPECT_EQ(Edit(dialog)->selectedText(), "10");
}

TEST(MaxRMSDialog, OkRoundsTheEntryToAMultipleOfTen) {
  struct Row {
    const char* name;
    const char* typed;
    int maxRms;
  } rows[] = {
      {"25 stores 20", "25", 20},     {"9 stores 0", "9", 0},         {"100 stores 100", "100", 100},
      {"-15 stores -10", "-15", -10}, {"letters store 0", "abc", 0},  {"a fraction is cut first", "19.9", 10},
      {"only the first 14 characters", "00000000000012" "3", 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MaxRMSDialog dialog(nullptr, 10);
    dialog.show();
    Enter(dialog, row.typed);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.maxRms(), row.maxRms);
  }
}

TEST(MaxRMSDialog, EnterIsOkAndClosingKeepsTheOldValue) {
  MaxRMSDialog entered(nullptr, 10);
  entered.show();
  Edit(entered)->clear();
  QTest::keyClicks(Edit(entered), "55");
  QTest::keyClick(Edit(entered), Qt::Key_Return);
  EXPECT_EQ(entered.result(), QDialog::Accepted);
  EXPECT_EQ(entered.maxRms(), 50);

  MaxRMSDialog closed(nullptr, 30);
  closed.show();
  Edit(closed)->setText("70");
  closed.close();
  EXPECT_EQ(closed.result(), QDialog::Rejected);
  EXPECT_EQ(closed.maxRms(), 30);
}

TEST(DialogUnits, PixelsFromUnitsRoundHalfAway) {
  struct Row {
    const char* name;
    int units, base, divisor, pixels;
  } rows[] = {
      {"129 across at base 6", 129, 6, 4, 194},  // 193.5
      {"145 down at base 13", 145, 13, 8, 236},  // 235.625
      {"20 down at base 13", 20, 13, 8, 33},     // 32.5
      {"zero", 0, 6, 4, 0},
      {"4 across is the base", 4, 7, 4, 7},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DialogUnits::ToPixels(row.units, row.base, row.divisor), row.pixels);
  }
  EXPECT_EQ(DialogUnits::BaseXFromLetters(312), 6);  // 12 per pair of letters: 6
  EXPECT_EQ(DialogUnits::BaseXFromLetters(286), 6);  // 11: rounded up to 6
  EXPECT_EQ(DialogUnits::BaseXFromLetters(260), 5);  // 10: 5
}

TEST(DialogUnits, TheDialogFontGivesSensibleUnits) {
  const QFont font = DialogUnits::DialogFont();
  EXPECT_EQ(font.pointSize(), 8);
  EXPECT_EQ(font.families().value(0), "MS Sans Serif");
  const DialogUnits du(font);
  EXPECT_GE(du.baseX(), 4);
  EXPECT_LE(du.baseX(), 9);
  EXPECT_GE(du.baseY(), 9);
  EXPECT_LE(du.baseY(), 20);
  EXPECT_EQ(du.X(4), du.baseX());
  EXPECT_EQ(du.Y(8), du.baseY());
  EXPECT_EQ(du.Rect(1, 2, 3, 4), QRect(du.Point(1, 2), du.Size(3, 4)));
}

}  // namespace
}  // namespace orvane
