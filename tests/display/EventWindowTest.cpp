// The window of one seismogram, worked by mouse: its controls, picking at
// every zoom and scroll, the trials a pick discards and the repaint it asks of
// the main view, the zoom and gain up-downs, the scroll bar that comes and
// goes with the zoom, a record that begins ten minutes after its reference
// time, and a band-pass that changes the drawing only.
#include "display/Event.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/PictureProbe.h"
#include "display/Seismograms.h"
#include "display/TraceRecords.h"
#include "display/UpDown.h"
#include "display/WindowHarness.h"
#include "location/RMS.h"
#include "seismogram/KSAC.h"
#include "support/TrialStateGuard.h"

namespace orvane {
namespace {

using test::TraceRecord;

constexpr int kWidth = 400, kHeight = 250;

// The trace width the window will have, known before it exists.
int TraceWidth() { return LayOutEvent(kWidth, kHeight, test::StockMetrics()).traceArea.Width(); }

class EventWindow : public testing::Test {
 protected:
  test::TrialStateGuard trials_;

  // Four samples per pixel at zoom 1, half a second apart: sample i of the
  // column dx is 4·dx, and column dx begins at 2·dx seconds.
  std::unique_ptr<KSAC> FourPerPixel(float b = 0.0f) {
    return TraceRecord(test::Sine(4 * TraceWidth())).Delta(0.5f).FirstSample(b).File("/data/ANMO.BHZ.sac").Build();
  }

  Event& Open(KSAC& record) {
    window_ = new Event(record, &view_);
    QObject::connect(window_, &Event::trialsDiscarded, &view_, [this] { view_.AskRepaint(); });
    window_->setGeometry(20, 30, kWidth, kHeight);
    window_->show();
    EXPECT_TRUE(test::ShowExposed(view_));
    test::PaintNow(*window_);
    return *window_;
  }

  QLineEdit* Box(int id) { return window_->findChild<QLineEdit*>(QStringLiteral("id%1").arg(id)); }
  UpDown* Spin(int id) { return window_->findChild<UpDown*>(QStringLiteral("id%1").arg(id)); }
  QScrollBar* ScrollBar() { return window_->findChild<QScrollBar*>(QStringLiteral("id25010")); }

  // A click dx pixels right of the trace area's left edge.
  void ClickTrace(int dx) {
    const Rect& area = window_->Layout().traceArea;
    test::Click(*window_, QPoint(area.left + dx, area.top + area.Height() / 2));
  }

  test::MainViewStandIn view_;
  Event* window_ = nullptr;
};

TEST_F(EventWindow, TheFirstPaintBringsTheControlsStartingAtTheCurrentValues) {
  auto record = FourPerPixel();
  Event window(*record);
  EXPECT_EQ(window.findChild<QLineEdit*>(), nullptr) << "no controls before the first paint";

  Open(*record);
  ASSERT_NE(Box(Event::kGainId), nullptr);
  ASSERT_NE(Box(Event::kZoomBoxId), nullptr);
  ASSERT_NE(Spin(Event::kGainId), nullptr);
  ASSERT_NE(Spin(Event::kZoomSpinId), nullptr);
  EXPECT_EQ(ScrollBar(), nullptr) << "zoom 1 has no scroll bar";
  EXPECT_EQ(Box(Event::kGainId)->text(), "1");
  EXPECT_EQ(Box(Event::kZoomBoxId)->text(), "1");
  EXPECT_TRUE(Box(Event::kGainId)->isReadOnly());
  EXPECT_EQ(Spin(Event::kGainId)->Minimum(), 1);
  EXPECT_EQ(Spin(Event::kGainId)->Maximum(), 32);
  EXPECT_EQ(Spin(Event::kZoomSpinId)->Maximum(), 500);
  EXPECT_EQ(Spin(Event::kGainId)->Position(), 1);
  EXPECT_EQ(Spin(Event::kZoomSpinId)->Position(), 1);
  for (QWidget* control : window_->findChildren<QWidget*>())
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
}

TEST_F(EventWindow, CaptionIsTheFileNameAndTheSizeIsFixed) {
  auto record = FourPerPixel();
  Event& window = Open(*record);
  EXPECT_EQ(window.windowTitle(), "/data/ANMO.BHZ.sac");
  EXPECT_EQ(window.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
  EXPECT_EQ(window.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
  EXPECT_TRUE(Event::SubWindowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(Event::SubWindowFlags() & Qt::WindowSystemMenuHint);
  EXPECT_FALSE(Event::SubWindowFlags() & Qt::WindowMaximizeButtonHint);

  // Hosted as the main view will host it.
  QMdiArea area;
  auto* hosted = new Event(*record);
  QMdiSubWindow* sub = area.addSubWindow(hosted, Event::SubWindowFlags());
  EXPECT_EQ(sub->windowTitle(), "/data/ANMO.BHZ.sac");
}

// A band-pass changes what is drawn only: a 2 Hz wiggle on a slow swell
// fills the trace once 1-5 Hz takes the swell off, while the samples stay as
// read, the pick and its mark stay where they were, and the caption and the
// description name the band.
TEST_F(EventWindow, ABandPassChangesTheDrawnTraceButNotTheSamplesOrThePick) {
  std::vector<float> samples(static_cast<std::size_t>(4 * TraceWidth()));
  for (std::size_t i = 0; i < samples.size(); ++i)
    samples[i] = 500.0f + 1000.0f * static_cast<float>(std::sin(6.283185307179586 * static_cast<double>(i) / 400.0)) +
                 50.0f * static_cast<float>(std::sin(6.283185307179586 * static_cast<double>(i) / 10.0));
  auto record = TraceRecord(samples).Delta(0.05f).File("/data/ANMO.BHZ.sac").Build();
  Event& window = Open(*record);
  ClickTrace(150);
  const float pick = record->GetPick(0);
  const float depmax = record->GetFloatHeader(KSAC::DEPMAX);
  const QImage plain = window.grab().toImage();

  ASSERT_TRUE(window.SetFilter(*record, SeismogramWindow::FilterPresets()[1]));
  test::PaintNow(window);
  const QImage filtered = window.grab().toImage();
  const Rect& area = window.Layout().traceArea;
  const Rect right{area.left + area.Width() / 2, area.top, area.right, area.bottom};
  const QRgb ink = test::Colour(palette::kBlack);
  EXPECT_GT(test::CountIn(filtered, right, ink), 3 * test::CountIn(plain, right, ink));

  EXPECT_TRUE(std::equal(samples.begin(), samples.end(), record->samples.get()));
  EXPECT_EQ(record->GetFloatHeader(KSAC::DEPMAX), depmax);
  EXPECT_EQ(record->GetPick(0), pick);
  const int y = area.bottom - 3;
  const Rect markRow{area.left, y, area.right, y + 1};
  const QRgb red = test::Colour(palette::kDarkRed);
  ASSERT_TRUE(test::FirstColumn(plain, markRow, red));
  EXPECT_EQ(test::FirstColumn(filtered, markRow, red), test::FirstColumn(plain, markRow, red));
  EXPECT_EQ(window.windowTitle(), "/data/ANMO.BHZ.sac [1-5 Hz]");
  EXPECT_TRUE(window.accessibleDescription().contains("Filtered 1 to 5 Hz"));

  ASSERT_TRUE(window.SetFilter(*record, std::nullopt));
  test::PaintNow(window);
  EXPECT_EQ(window.windowTitle(), "/data/ANMO.BHZ.sac");
  EXPECT_TRUE(test::SameIn(window.grab().toImage(), plain, right));
}

struct PickCase {
  const char* name;
  int zoomUps;   // clicks on the zoom up-down's upper arrow
  int thumb;     // scroll bar position, 0–100
  int dx;        // click, pixels right of the trace area's left edge
  float widths;  // expected pick: this many trace widths (in seconds: 2 per pixel) ...
  float seconds; // ... plus these seconds
};

void PrintTo(const PickCase& c, std::ostream* os) { *os << c.name; }

class EventPicking : public EventWindow, public testing::WithParamInterface<PickCase> {};

TEST_P(EventPicking, AClickStoresTheTimeOfTheSampleUnderTheMouse) {
  const PickCase& c = GetParam();
  auto record = FourPerPixel();
  Open(*record);
  for (int i = 0; i < c.zoomUps; ++i) test::ClickArrow(*Spin(Event::kZoomSpinId), true);
  test::PaintNow(*window_);
  if (c.thumb != 0) {
    ASSERT_NE(ScrollBar(), nullptr);
    ScrollBar()->setValue(c.thumb);
    test::PaintNow(*window_);
  }
  ClickTrace(c.dx);
  EXPECT_FLOAT_EQ(record->GetPick(0), c.widths * 2.0f * static_cast<float>(TraceWidth()) + c.seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, EventPicking,
    testing::Values(PickCase{"zoom1", 0, 0, 100, 0, 200},
                    PickCase{"zoom1FirstColumnIsNoPick", 0, 0, 0, 0, 0},
                    PickCase{"leftOfTheTraceIsNegative", 0, 0, -5, 0, -10},
                    PickCase{"zoom2", 1, 0, 100, 0, 100},
                    PickCase{"zoom2ThumbAt100ShowsTheSecondHalf", 1, 100, 0, 0.5f, 0},
                    PickCase{"zoom2ThumbAt100", 1, 100, 100, 0.5f, 100},
                    PickCase{"zoom4ThumbAt100", 3, 100, 40, 0.75f, 20}),
    [](const testing::TestParamInfo<PickCase>& info) { return info.param.name; });

TEST_F(EventWindow, APickClearsThePredictionsAndDiscardsTheTrialsOnce) {
  auto record = FourPerPixel();
  record->SetPick(0, 10.0f);
  record->SetPick(1, 12.0f);
  record->SetPick(2, 30.0f);
  Open(*record);
  test::TwoTrials();
  ClickTrace(50);
  EXPECT_FLOAT_EQ(record->GetPick(0), 100.0f);
  EXPECT_EQ(record->GetPick(1), 0.0f);
  EXPECT_EQ(record->GetPick(2), 0.0f);
  EXPECT_TRUE(trialList.empty());
  EXPECT_EQ(view_.repaintsAsked, 1);
  // No trials left: the next pick leaves the main view alone.
  ClickTrace(60);
  EXPECT_FLOAT_EQ(record->GetPick(0), 120.0f);
  EXPECT_EQ(view_.repaintsAsked, 1);
}

TEST_F(EventWindow, APickIsTheTimeAfterTheReferenceTimeWhenTheRecordBeginsLater) {
  // Ten minutes from the reference time to the first sample, as data centres write it.
  auto record = FourPerPixel(600.0f);
  Open(*record);
  ClickTrace(100);
  EXPECT_FLOAT_EQ(record->GetPick(0), 800.0f);
  // Undefined b counts as 0.
  auto plain = FourPerPixel(KSAC::UNDEFINED_FLOAT);
  delete window_;
  Open(*plain);
  ClickTrace(100);
  EXPECT_FLOAT_EQ(plain->GetPick(0), 200.0f);
}

TEST_F(EventWindow, TheMarkOfAPickAppearsUnderTheClick) {
  auto record = FourPerPixel(600.0f);
  Open(*record);
  ClickTrace(150);
  const QImage image = window_->grab().toImage();
  const Rect& area = window_->Layout().traceArea;
  const int y = area.bottom - 3;
  const auto mark = test::FirstColumn(image, Rect{area.left, y, area.right, y + 1}, test::Colour(palette::kDarkRed));
  ASSERT_TRUE(mark);
  EXPECT_NEAR(*mark, area.left + 150, 1);
}

TEST_F(EventWindow, ZoomUpDownMakesAndRemovesTheScrollBar) {
  auto record = FourPerPixel();
  Open(*record);
  UpDown& zoom = *Spin(Event::kZoomSpinId);
  test::ClickArrow(zoom, true);
  EXPECT_EQ(window_->Zoom(), 2);
  EXPECT_EQ(zoom.Position(), 2);
  EXPECT_EQ(Box(Event::kZoomBoxId)->text(), "2");
  test::PaintNow(*window_);
  QScrollBar* bar = ScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);
  EXPECT_EQ(bar->orientation(), Qt::Horizontal);

  test::ClickArrow(zoom, false);
  EXPECT_EQ(window_->Zoom(), 1);
  test::PaintNow(*window_);
  EXPECT_EQ(ScrollBar(), nullptr);
  // Not below 1, not above 500.
  test::ClickArrow(zoom, false);
  EXPECT_EQ(window_->Zoom(), 1);
  zoom.SetPosition(500);
  test::ClickArrow(zoom, true);
  EXPECT_EQ(window_->Zoom(), 500);
}

TEST_F(EventWindow, GainUpDownStepsWithinOneTo32) {
  auto record = FourPerPixel();
  Open(*record);
  UpDown& gain = *Spin(Event::kGainId);
  for (int i = 0; i < 3; ++i) test::ClickArrow(gain, true);
  EXPECT_EQ(window_->Gain(), 4.0f);
  EXPECT_EQ(Box(Event::kGainId)->text(), "4");
  for (int i = 0; i < 10; ++i) test::ClickArrow(gain, false);
  EXPECT_EQ(window_->Gain(), 1.0f);
  gain.SetPosition(32);
  test::ClickArrow(gain, true);
  EXPECT_EQ(window_->Gain(), 32.0f);
  test::PaintNow(*window_);
  EXPECT_EQ(Box(Event::kGainId)->text(), "32");
}

// The main view resizes the window with the frame: the controls follow the
// strip under the trace, neither over the trace nor below the window's edge.
TEST_F(EventWindow, TheControlsStayUnderTheTraceWhenTheWindowIsResized) {
  auto record = FourPerPixel();
  Open(*record);
  test::ClickArrow(*Spin(Event::kZoomSpinId), true);
  test::PaintNow(*window_);
  ASSERT_NE(ScrollBar(), nullptr);
  for (const QSize size : {QSize(kWidth + 150, kHeight + 160), QSize(kWidth - 100, kHeight - 90)}) {
    SCOPED_TRACE(std::to_string(size.width()) + " x " + std::to_string(size.height()));
    window_->resize(size);
    test::PaintNow(*window_);
    const EventLayout& l = window_->Layout();
    ASSERT_EQ(l.clientArea.Height(), size.height());
    const int y0 = l.axisStrip.top + l.charWidth / 2;
    for (QWidget* control : {static_cast<QWidget*>(Box(Event::kGainId)), static_cast<QWidget*>(Spin(Event::kGainId)),
                             static_cast<QWidget*>(Box(Event::kZoomBoxId)),
                             static_cast<QWidget*>(Spin(Event::kZoomSpinId))}) {
      SCOPED_TRACE(control->accessibleName().toStdString());
      EXPECT_EQ(control->y(), y0);
      EXPECT_GE(control->x(), l.axisStrip.left);
    }
    EXPECT_EQ(Box(Event::kGainId)->x(), l.axisStrip.left);
    EXPECT_EQ(ScrollBar()->y(), l.axisStrip.top + l.textHeight - 1);
    EXPECT_EQ(ScrollBar()->width(), size.width() - 14 * l.charWidth - 1);
  }
  EXPECT_EQ(Box(Event::kZoomBoxId)->text(), "2") << "the controls keep their values";
}

TEST_F(EventWindow, ARecordWithoutSamplesTakesNoPick) {
  auto record = TraceRecord({}).Build();
  Open(*record);
  test::TwoTrials();
  ClickTrace(100);
  EXPECT_EQ(record->GetPick(0), 0.0f);
  EXPECT_EQ(trialList.size(), 2u);
  EXPECT_EQ(view_.repaintsAsked, 0);
}

TEST_F(EventWindow, ScreenReadersHearTheStationThePickAndDeltaT) {
  auto record = FourPerPixel();
  Open(*record);
  EXPECT_TRUE(window_->accessibleName().contains("ANMO"));
  EXPECT_TRUE(window_->accessibleDescription().contains("No pick"));
  record->SetPick(0, 100.0f);
  record->SetPick(1, 100.5f);
  record->SetFloatHeader(KSAC::GCARC, 33.3f);
  window_->TrialLocated();
  test::PaintNow(*window_);
  EXPECT_TRUE(window_->accessibleDescription().contains("Delta T 0.5 s")) << window_->accessibleDescription().toStdString();
  EXPECT_TRUE(window_->accessibleDescription().contains("33.3 degrees"));
}

// Data-centre files pad station and component with blanks; a screen reader
// says them without.
TEST_F(EventWindow, ScreenReadersHearStationAndComponentWithoutTheirPadding) {
  auto record = TraceRecord(test::Sine(100)).Station("SNCC    ").Build();
  record->SetCharHeader(KSAC::KCMPNM, "BHZ     ");
  Open(*record);
  EXPECT_EQ(window_->accessibleName().toStdString(), "Seismogram SNCC BHZ");
  EXPECT_EQ(window_->accessibleDescription().toStdString(), "SNCC BHZ. No pick.");
  std::vector<KSAC*> records{record.get()};
  auto* all = new Seismograms(records, &view_);
  EXPECT_TRUE(all->accessibleDescription().endsWith(" SNCC BHZ. No pick.")) << all->accessibleDescription().toStdString();
}

// Picking by keys: the window takes the focus from the keyboard, a cursor
// stands at the start of the trace and moves by pixels, Enter picks where a
// click on the cursor's column would, and a screen reader hears its time.
TEST_F(EventWindow, KeysMoveACursorAlongTheTraceAndEnterPicksWhereAClickWould) {
  auto record = FourPerPixel();
  Open(*record);
  view_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  window_->clearFocus();
  window_->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(window_->CursorShown());
  QAccessibleInterface* trace = QAccessible::queryAccessibleInterface(window_);
  ASSERT_NE(trace->valueInterface(), nullptr);
  EXPECT_EQ(trace->role(), QAccessible::Slider);
  EXPECT_EQ(trace->text(QAccessible::Value), "Cursor at 0.00 s after the reference time");

  // Three pixels and two times ten: column 23 begins at 46 s.
  for (int i = 0; i < 3; ++i) QTest::keyClick(window_, Qt::Key_Right);
  for (int i = 0; i < 2; ++i) QTest::keyClick(window_, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(window_->CursorColumn(), 23);
  EXPECT_EQ(trace->text(QAccessible::Value), "Cursor at 46.00 s after the reference time");
  EXPECT_DOUBLE_EQ(trace->valueInterface()->currentValue().toDouble(), 46.0);
  test::TwoTrials();
  QTest::keyClick(window_, Qt::Key_Return);
  EXPECT_EQ(record->GetPick(0), 46.0f);
  EXPECT_TRUE(trialList.empty());
  EXPECT_EQ(view_.repaintsAsked, 1);
  test::PaintNow(*window_);
  const QString description = trace->text(QAccessible::Description);
  EXPECT_TRUE(description.contains("P pick")) << description.toStdString();

  // + stretches the time axis three times; the cursor keeps its time.
  QTest::keyClick(window_, Qt::Key_Plus);
  QTest::keyClick(window_, Qt::Key_Plus);
  EXPECT_EQ(window_->Zoom(), 3);
  EXPECT_EQ(trace->text(QAccessible::Value), "Cursor at 46.00 s after the reference time");
  // End: the last column of the record, scrolled into view; Enter picks
  // there what a click there picks, and Delete takes it back.
  QTest::keyClick(window_, Qt::Key_End);
  ASSERT_NE(ScrollBar(), nullptr);
  EXPECT_EQ(ScrollBar()->value(), ScrollBar()->maximum());
  EXPECT_EQ(window_->CursorColumn(), TraceWidth() - 1);
  QTest::keyClick(window_, Qt::Key_Return);
  const float byKeys = record->GetPick(0);
  EXPECT_GT(byKeys, 4.0f * TraceWidth() * 0.5f - 2.0f);
  EXPECT_DOUBLE_EQ(trace->valueInterface()->currentValue().toDouble(), byKeys);
  QTest::keyClick(window_, Qt::Key_Delete);
  EXPECT_EQ(record->GetPick(0), 0.0f);
  ClickTrace(window_->CursorColumn());
  EXPECT_EQ(record->GetPick(0), byKeys);

  // Page Up and Down: the gain; Home: back to the start, scrolled back.
  QTest::keyClick(window_, Qt::Key_PageUp);
  QTest::keyClick(window_, Qt::Key_PageUp);
  QTest::keyClick(window_, Qt::Key_PageDown);
  EXPECT_EQ(window_->Gain(), 2.0f);
  QTest::keyClick(window_, Qt::Key_Home);
  EXPECT_EQ(ScrollBar()->value(), 0);
  EXPECT_EQ(trace->text(QAccessible::Value), "Cursor at 0.00 s after the reference time");
}

}  // namespace
}  // namespace orvane
