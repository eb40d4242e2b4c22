// The title card: its button, the press and release rules, and that it comes once.
#include "view/Splash.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "map/DrawingPrimitives.h"
#include "platform/Surface.h"
#include "view/View.h"

namespace orvane {
namespace {

TEST(Splash, ButtonGeometry) {
  const Rect b = ContinueButton(600, 450);
  EXPECT_EQ(b.left, 262);
  EXPECT_EQ(b.top, 393);
  EXPECT_EQ(b.right, 337);
  EXPECT_EQ(b.bottom, 421);
}

TEST(Splash, CardIsCyanWithTitlePictureAndAGreyButton) {
  QImage image(600, 450, QImage::Format_RGB32);
  {
    Surface surface(image);
    PaintSplash(surface, 600, 450);
  }
  EXPECT_EQ(image.pixel(300, 250), qRgb(0, 255, 255));  // the card
  EXPECT_EQ(image.pixel(270, 400), standardColours[palette::kLightGrey]);  // the button's face
  int red = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 150; x < 450; ++x) red += image.pixel(x, y) == standardColours[palette::kDarkRed];
  EXPECT_GT(red, 100);  // "Sesmira" in dark red
  // The picture sits 10 pixels from the left and bottom edges.
  const QImage picture(QString::fromStdString(std::string(ORVANE_SOURCE_DIR) + "/data/VELT-2.BMP"), "BMP");
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(image.pixel(10 + picture.width() / 2, 450 - 10 - picture.height() / 2),
            picture.pixel(picture.width() / 2, picture.height() / 2));
}

TEST(Splash, PressInsideReleaseOutsideKeepsItReleaseInsideCloses) {
  QWidget parent;
  parent.resize(800, 600);
  auto* card = new Splash(&parent);
  card->setGeometry(100, 75, 600, 450);
  parent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
  QSignalSpy closed(card, &Splash::closed);
  const QPoint inside(300, 400);
  QTest::mousePress(card, Qt::LeftButton, {}, inside);
  QTest::mouseRelease(card, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(card->isVisible());
  EXPECT_EQ(closed.count(), 0);
  // A release inside closes it, whether or not the press began there.
  QTest::mouseRelease(card, Qt::LeftButton, {}, inside);
  EXPECT_EQ(closed.count(), 1);
  EXPECT_FALSE(card->isVisible());
}

TEST(Splash, TheViewShowsItOnceAtItsFirstRepaint) {
  View view;
  view.resize(800, 600);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QTRY_VERIFY(view.SplashWindow() != nullptr);
  Splash* card = view.SplashWindow();
  EXPECT_EQ(card->geometry(), QRect(100, 75, 600, 450));
  // It stays in the middle when the view changes size.
  view.resize(1000, 700);
  EXPECT_EQ(card->geometry(), QRect(125, 87, 750, 525));
  view.resize(800, 600);
  QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(300, 400));
  QTRY_VERIFY(view.SplashWindow() == nullptr);
  view.resize(700, 500);
  view.viewport()->repaint();
  QCoreApplication::processEvents();
  EXPECT_EQ(view.SplashWindow(), nullptr);
}

// For the keyboard and screen readers the card is a dialog with its texts and
// a Continue button that has the focus; Enter, Space and Escape each press it.
TEST(Splash, EnterSpaceAndEscapeEachPressContinue) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
    SCOPED_TRACE(key);
    View view;
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QTRY_VERIFY(view.SplashWindow() != nullptr);
    Splash* card = view.SplashWindow();
    QAccessibleInterface* dialog = QAccessible::queryAccessibleInterface(card);
    EXPECT_EQ(dialog->role(), QAccessible::Dialog);
    EXPECT_TRUE(dialog->text(QAccessible::Description).contains("Program: the Orvane developers, Halvergate."))
        << dialog->text(QAccessible::Description).toStdString();
    // The globe's screen-reader tree holds the card.
    QAccessibleInterface* globe = QAccessible::queryAccessibleInterface(&view);
    EXPECT_GE(globe->indexOfChild(dialog), 0);
    // While the card is up, the globe under it hands the keys on to it.
    view.setFocus(Qt::OtherFocusReason);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(focus);
    EXPECT_EQ(button->role(), QAccessible::PushButton);
    EXPECT_EQ(button->text(QAccessible::Name), "Continue");
    EXPECT_EQ(button->parent()->object(), card);
    QSignalSpy closed(card, &Splash::closed);
    QTest::keyClick(focus, key);
    EXPECT_EQ(closed.count(), 1);
    QTRY_VERIFY(view.SplashWindow() == nullptr);
    EXPECT_TRUE(view.hasFocus());  // the keys go on to the globe
  }
}

}  // namespace
}  // namespace orvane
