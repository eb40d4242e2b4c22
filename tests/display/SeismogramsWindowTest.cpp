// The window of all seismograms, worked by mouse: picking on the row under
// the mouse at the time under the mouse, clicks outside the rows that pick
// nothing, the trials a pick discards, the zoom up-down and its scroll bar,
// the gain of each row through a resize, the order of the rows after a trial,
// records that begin minutes after their reference time, and the band-pass
// filters a record's sampling cannot carry.
#include "display/Seismograms.h"

#include <gtest/gtest.h>

#include <QDoubleSpinBox>
#include <QLabel>
#include <QAccessible>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>
#include <string>
#include <vector>

#include "display/FilterDialog.h"
#include "display/PictureProbe.h"
#include "display/TraceLayout.h"
#include "display/TraceRecords.h"
#include "display/UpDown.h"
#include "display/WindowHarness.h"
#include "location/RMS.h"
#include "seismogram/KSAC.h"
#include "support/TrialStateGuard.h"

namespace orvane {
namespace {

using test::TraceRecord;

constexpr int kWidth = 400, kHeight = 600;
const SYSTEMTIME kStart{2025, 10, 0, 19, 7, 50, 0, 0};

class SeismogramsWindow : public testing::Test {
 protected:
  test::TrialStateGuard trials_;

  // Three stations 100 s long at 1 sample per second, at 10, 20 and 30 degrees.
  void ThreeStations() {
    owned_.push_back(TraceRecord(test::Sine(100)).Station("NEAR").Distance(10.0f).Start(kStart).Build());
    owned_.push_back(TraceRecord(test::Sine(100)).Station("MID").Distance(20.0f).Start(kStart).Build());
    owned_.push_back(TraceRecord(test::Sine(100)).Station("FAR").Distance(30.0f).Start(kStart).Build());
  }

  Seismograms& Open(int width = kWidth, int height = kHeight) {
    std::vector<KSAC*> records;
    for (const auto& r : owned_) records.push_back(r.get());
    window_ = new Seismograms(records, &view_);
    QObject::connect(window_, &Seismograms::trialsDiscarded, &view_, [this] { view_.AskRepaint(); });
    window_->setGeometry(1200, 0, width, height);
    window_->show();
    EXPECT_TRUE(test::ShowExposed(view_));
    test::PaintNow(*window_);
    return *window_;
  }

  KSAC& Record(const char* station) {
    for (const auto& r : owned_)
      if (r->GetCharHeaderText(KSAC::KSTNM) == station) return *r;
    throw std::runtime_error(station);
  }

  // A click at @p seconds on the common clock, in the middle of row @p row.
  void ClickRow(int row, float seconds) {
    const SeismogramsLayout& l = window_->Layout();
    const float pps = static_cast<float>(l.tracesArea.Width()) / 100.0f;  // a 100 s clock at zoom 1
    const int x = l.tracesArea.left + TruncToInt(seconds * pps);
    const int y = l.tracesArea.top + RowBandAt(row, l.rows.rowHeight).centre;
    test::Click(*window_, QPoint(x, y));
  }

  QLineEdit* ZoomBox() { return window_->findChild<QLineEdit*>(QStringLiteral("id25011")); }
  UpDown* ZoomSpin() { return window_->findChild<UpDown*>(QStringLiteral("id11902")); }
  QList<QLineEdit*> GainBoxes() { return window_->findChildren<QLineEdit*>(QStringLiteral("id11904")); }
  QList<UpDown*> GainSpins() { return window_->findChildren<UpDown*>(QStringLiteral("id11904")); }
  QScrollBar* ScrollBar() { return window_->findChild<QScrollBar*>(QStringLiteral("id25010")); }

  std::vector<std::unique_ptr<KSAC>> owned_;
  test::MainViewStandIn view_;
  Seismograms* window_ = nullptr;
};

TEST_F(SeismogramsWindow, OneZoomControlAndAGainControlPerRow) {
  ThreeStations();
  Seismograms& window = Open();
  EXPECT_EQ(window.windowTitle(), "Seismograms");
  ASSERT_NE(ZoomBox(), nullptr);
  EXPECT_EQ(ZoomBox()->text(), "1");
  EXPECT_TRUE(ZoomBox()->isReadOnly());
  ASSERT_NE(ZoomSpin(), nullptr);
  EXPECT_EQ(ZoomSpin()->Maximum(), 10);
  EXPECT_EQ(ZoomSpin()->Position(), 1);
  ASSERT_EQ(GainBoxes().size(), 3);
  ASSERT_EQ(GainSpins().size(), 3);
  for (QLineEdit* box : GainBoxes()) EXPECT_EQ(box->text(), "1");
  for (UpDown* spin : GainSpins()) {
    EXPECT_EQ(spin->Maximum(), 32);
    EXPECT_EQ(spin->Position(), 1);
  }
  EXPECT_EQ(ScrollBar(), nullptr);
  EXPECT_TRUE(Seismograms::SubWindowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(SeismogramsWindow, AClickPicksTheRowUnderTheMouseAtTheTimeUnderTheMouse) {
  ThreeStations();
  Open();
  test::TwoTrials();
  ClickRow(1, 37.3f);
  const float pps = static_cast<float>(window_->Layout().tracesArea.Width()) / 100.0f;
  const float expected = static_cast<float>(TruncToInt(37.3f * pps)) / pps;
  EXPECT_FLOAT_EQ(Record("MID").GetPick(0), expected);
  EXPECT_NE(expected, std::trunc(expected)) << "not snapped to a sample";
  EXPECT_EQ(Record("NEAR").GetPick(0), 0.0f);
  EXPECT_EQ(Record("FAR").GetPick(0), 0.0f);
  EXPECT_TRUE(trialList.empty());
  EXPECT_EQ(view_.repaintsAsked, 1);
  ClickRow(2, 50.0f);
  EXPECT_GT(Record("FAR").GetPick(0), 49.0f);
  EXPECT_EQ(view_.repaintsAsked, 1) << "no trials left to discard";
}

TEST_F(SeismogramsWindow, APickClearsThePredictionsOfItsRecordOnly) {
  ThreeStations();
  for (const auto& r : owned_) {
    r->SetPick(0, 20.0f);
    r->SetPick(1, 21.0f);
    r->SetPick(2, 40.0f);
  }
  Open();
  ClickRow(0, 30.0f);
  EXPECT_EQ(Record("NEAR").GetPick(1), 0.0f);
  EXPECT_EQ(Record("NEAR").GetPick(2), 0.0f);
  EXPECT_EQ(Record("MID").GetPick(1), 21.0f);
  EXPECT_EQ(Record("FAR").GetPick(2), 40.0f);
}

TEST_F(SeismogramsWindow, AClickAboveOrBelowTheRowsPicksNothing) {
  ThreeStations();
  Open();
  test::TwoTrials();
  const SeismogramsLayout& l = window_->Layout();
  const int x = l.tracesArea.left + l.tracesArea.Width() / 2;
  const struct {
    const char* name;
    int y;
  } places[] = {{"topMargin", l.tracesArea.top - 2},
                {"justAboveTheFirstRow", l.tracesArea.top - 1},
                {"justBelowTheLastRow", l.tracesArea.bottom},
                {"axisStrip", l.axisStrip.top + l.textHeight / 2},
                {"bottomEdge", kHeight - 2}};
  for (const auto& place : places) {
    test::Click(*window_, QPoint(x, place.y));
    for (const auto& r : owned_) EXPECT_EQ(r->GetPick(0), 0.0f) << place.name;
  }
  EXPECT_EQ(trialList.size(), 2u);
  EXPECT_EQ(view_.repaintsAsked, 0);
}

// Rows share the traces area, but are never shorter than what they show:
// when they do not all fit, the wheel scrolls them. A click anywhere in a row
// shown, from its top line to its bottom, picks that row's record and no
// other, before and after scrolling; a click in the strip left under the last
// row shown picks nothing.
TEST_F(SeismogramsWindow, EveryClickInARowShownPicksThatRowsRecordBeforeAndAfterScrolling) {
  const struct {
    int rows;
    int tracesHeight;
  } cases[] = {{12, 587}, {50, 587}, {163, 910}};
  const TextMetrics metrics = test::StockMetrics();
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " rows in " + std::to_string(c.tracesHeight) + " pixels");
    owned_.clear();
    for (int i = 0; i < c.rows; ++i)
      owned_.push_back(TraceRecord(test::Sine(100)).Station("S" + std::to_string(i)).Distance(1.0f + i).Build());
    const int height = c.tracesHeight + 2 * metrics.height + metrics.averageCharWidth;
    Open(kWidth, height);
    ASSERT_EQ(window_->Layout().tracesArea.Height(), c.tracesHeight);
    const bool scrolls = c.rows > 12;

    const auto pickedRows = [this] {
      std::vector<int> picked;
      for (std::size_t i = 0; i < window_->Records().size(); ++i)
        if (window_->Records()[i]->GetPick(0) != 0.0f) picked.push_back(static_cast<int>(i));
      return picked;
    };
    for (const bool scrolled : {false, true}) {
      SCOPED_TRACE(scrolled ? "scrolled to the end" : "from the first row");
      if (scrolled) {
        const QPoint middle(kWidth / 2, height / 2);
        for (int notch = 0; notch < 60; ++notch) {
          QWheelEvent wheel(middle, window_->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
          QCoreApplication::sendEvent(window_, &wheel);
        }
        test::PaintNow(*window_);
      }
      const SeismogramsLayout& l = window_->Layout();
      const RowGeometry& rows = l.rows;
      EXPECT_EQ(rows.Scrolls(), scrolls);
      EXPECT_EQ(rows.firstRow, scrolled ? rows.LastFirstRow() : 0);
      if (scrolls) {
        EXPECT_GE(rows.rowHeight, 2 * metrics.height) << "rows as tall as their texts";
      }
      const int x = l.tracesArea.left + l.tracesArea.Width() / 2;
      for (int row = rows.firstRow; row < rows.firstRow + rows.visibleRows; ++row) {
        const RowBand band = rows.Band(row);
        for (int y : {band.top + 1, band.centre, band.bottom - 1}) {
          for (const auto& r : owned_) r->SetPick(0, 0.0f);
          test::Click(*window_, QPoint(x, l.tracesArea.top + y));
          ASSERT_EQ(pickedRows(), std::vector<int>{row}) << "click at y " << y << " of row " << row;
        }
      }
      for (const auto& r : owned_) r->SetPick(0, 0.0f);
      for (int y = rows.visibleRows * rows.rowHeight + 1; y < l.tracesArea.Height(); ++y)
        test::Click(*window_, QPoint(x, l.tracesArea.top + y));
      EXPECT_EQ(pickedRows(), std::vector<int>{}) << "clicks in the strip under the last row";
    }
    delete window_;
    window_ = nullptr;
  }
}

TEST_F(SeismogramsWindow, AWindowTooSmallForItsRowsPicksNothing) {
  ThreeStations();
  Open(200, 20);
  EXPECT_LE(window_->Layout().tracesArea.Height(), 0);
  for (int y = 0; y < 20; y += 3) test::Click(*window_, QPoint(100, y));
  for (const auto& r : owned_) EXPECT_EQ(r->GetPick(0), 0.0f);
}

TEST_F(SeismogramsWindow, APickOnALaterRecordIsSecondsAfterItsOwnReferenceTime) {
  owned_.push_back(TraceRecord(test::Sine(70)).Station("EARLY").Distance(10.0f).Start(kStart).Build());
  // Starts 30 s later; a 100 s clock in all.
  owned_.push_back(
      TraceRecord(test::Sine(70)).Station("LATE").Distance(20.0f).Start({2025, 10, 0, 19, 7, 50, 30, 0}).Build());
  // Its reference time is ten minutes before its first sample, which is 20 s after EARLY's.
  owned_.push_back(TraceRecord(test::Sine(70))
                       .Station("B600")
                       .Distance(30.0f)
                       .Start({2025, 10, 0, 19, 7, 40, 20, 0})
                       .FirstSample(600.0f)
                       .Build());
  Open();
  ClickRow(1, 40.0f);
  ClickRow(2, 40.0f);
  const float pps = static_cast<float>(window_->Layout().tracesArea.Width()) / 100.0f;
  const float clock = static_cast<float>(TruncToInt(40.0f * pps)) / pps;
  EXPECT_NEAR(Record("LATE").GetPick(0), clock - 30.0f, 1e-4);
  EXPECT_NEAR(Record("B600").GetPick(0), clock - 20.0f + 600.0f, 1e-3);
}

TEST_F(SeismogramsWindow, ZoomUpDownMakesAndRemovesTheScrollBar) {
  ThreeStations();
  Open();
  test::ClickArrow(*ZoomSpin(), true);
  EXPECT_EQ(window_->Zoom(), 2.0f);
  EXPECT_EQ(ZoomBox()->text(), "2");
  test::PaintNow(*window_);
  ASSERT_NE(ScrollBar(), nullptr);
  EXPECT_EQ(ScrollBar()->maximum(), 100);
  ScrollBar()->setValue(100);
  EXPECT_FLOAT_EQ(window_->ScrollFraction(), 0.5f);
  test::PaintNow(*window_);
  // The thumb at 100 shows the second half of the clock: the left edge is 50 s.
  ClickRow(0, 0.0f);
  EXPECT_NEAR(Record("NEAR").GetPick(0), 50.0f, 1e-4);

  for (int i = 0; i < 12; ++i) test::ClickArrow(*ZoomSpin(), true);
  EXPECT_EQ(window_->Zoom(), 10.0f) << "the zoom stops at 10";
  for (int i = 0; i < 12; ++i) test::ClickArrow(*ZoomSpin(), false);
  EXPECT_EQ(window_->Zoom(), 1.0f);
  test::PaintNow(*window_);
  EXPECT_EQ(ScrollBar(), nullptr);

  // Ctrl and the wheel stretch the time axis a step a notch.
  const QPoint middle(kWidth / 2, kHeight / 2);
  QWheelEvent wheel(middle, window_->mapToGlobal(middle), QPoint(), QPoint(0, 2 * 120), Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(window_, &wheel);
  EXPECT_EQ(window_->Zoom(), 3.0f);
  EXPECT_EQ(ZoomBox()->text(), "3");
}

TEST_F(SeismogramsWindow, EachRowKeepsItsGainThroughAResize) {
  ThreeStations();
  Open();
  test::ClickArrow(*GainSpins()[1], true);
  test::ClickArrow(*GainSpins()[1], true);
  EXPECT_EQ(window_->GainOfRow(1), 3);
  EXPECT_EQ(window_->GainOfRow(0), 1);
  EXPECT_EQ(GainBoxes()[1]->text(), "3");
  test::ClickArrow(*ZoomSpin(), true);

  window_->resize(kWidth + 60, kHeight - 90);
  test::PaintNow(*window_);
  ASSERT_EQ(GainBoxes().size(), 3);
  EXPECT_EQ(GainBoxes()[0]->text(), "1");
  EXPECT_EQ(GainBoxes()[1]->text(), "3");
  EXPECT_EQ(GainSpins()[1]->Position(), 3);
  EXPECT_EQ(ZoomBox()->text(), "2") << "the zoom box shows the current zoom again";
  EXPECT_EQ(ZoomSpin()->Position(), 2);
  ASSERT_NE(ScrollBar(), nullptr);
  EXPECT_EQ(ScrollBar()->width(), kWidth + 60 - window_->Layout().leftMargin - 1);
  // The gain moves on from where it was.
  test::ClickArrow(*GainSpins()[1], true);
  EXPECT_EQ(window_->GainOfRow(1), 4);
}

TEST_F(SeismogramsWindow, RowsFollowTheDistancesOfTheLastTrial) {
  ThreeStations();
  Open();
  auto names = [this] {
    std::vector<std::string> n;
    for (const KSAC* r : window_->Records()) n.push_back(r->GetCharHeaderText(KSAC::KSTNM));
    return n;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"NEAR", "MID", "FAR"}));
  test::ClickArrow(*GainSpins()[0], true);
  Record("FAR").SetFloatHeader(KSAC::GCARC, 5.0f);
  window_->TrialLocated();
  test::PaintNow(*window_);
  EXPECT_EQ(names(), (std::vector<std::string>{"FAR", "NEAR", "MID"}));
  EXPECT_EQ(window_->GainOfRow(0), 2) << "the gain belongs to the row, not the record";
  // A click on the first row now picks FAR.
  ClickRow(0, 10.0f);
  EXPECT_GT(Record("FAR").GetPick(0), 9.0f);
}

TEST_F(SeismogramsWindow, TheMarkOfAPickAppearsUnderTheClick) {
  ThreeStations();
  Open();
  ClickRow(1, 60.0f);
  const QImage image = window_->grab().toImage();
  const SeismogramsLayout& l = window_->Layout();
  const int y = l.tracesArea.top + RowBandAt(1, l.rows.rowHeight).centre + 4;
  const auto mark =
      test::FirstColumn(image, Rect{l.tracesArea.left, y, l.tracesArea.right, y + 1}, test::Colour(palette::kDarkRed));
  ASSERT_TRUE(mark);
  EXPECT_NEAR(*mark, l.tracesArea.left + TruncToInt(60.0f * l.tracesArea.Width() / 100.0f), 1);
}

// A band reaching a record's Nyquist frequency is refused with the reason and
// the record keeps its filter; "Apply to all rows" gives the band to the rows
// that can carry it and names the others; the custom dialog stays open and
// says why until its band can be drawn.
TEST_F(SeismogramsWindow, ABandAtTheNyquistFrequencyIsRefusedWithTheReason) {
  ThreeStations();  // one sample per second: Nyquist 0.5 Hz
  owned_.push_back(TraceRecord(test::Sine(2000)).Delta(0.05f).Station("FAST").Distance(40.0f).Start(kStart).Build());
  Seismograms& window = Open();
  QSignalSpy said(&window, &SeismogramWindow::message);
  QSignalSpy changed(&window, &SeismogramWindow::filterChanged);
  KSAC& fast = Record("FAST");
  const BandPass band{1.0, 5.0, 4};
  ASSERT_TRUE(window.SetFilter(fast, band));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_FALSE(window.SetFilter(fast, BandPass{1.0, 10.0, 4}));  // at its Nyquist frequency, 10 Hz
  EXPECT_EQ(fast.filter, band);
  EXPECT_EQ(changed.count(), 1);
  ASSERT_EQ(said.count(), 1);
  EXPECT_TRUE(said[0][0].toString().contains("Nyquist")) << said[0][0].toString().toStdString();

  EXPECT_EQ(window.SetFilterOfAll(band), 1);
  for (const char* slow : {"NEAR", "MID", "FAR"}) {
    EXPECT_FALSE(Record(slow).filter) << slow;
    EXPECT_TRUE(said.last()[0].toString().contains(slow)) << said.last()[0].toString().toStdString();
  }
  EXPECT_TRUE(window.SetFilterOfAll(std::nullopt) == 4 && !fast.filter);

  FilterDialog dialog(&window, QStringLiteral("FAST BHZ"), band, 0.05);
  dialog.show();
  auto* high = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("filterHigh"));
  ASSERT_NE(high, nullptr);
  high->setValue(10.0);
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("filterReason"))->text().contains("Nyquist"));
  high->setValue(9.0);
  QTest::keyClick(&dialog, Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Band(), (BandPass{1.0, 9.0, 4}));
}

// Picking by keys in the rows: the cursor starts in the top row, Up and Down
// move it between rows (scrolling them into view), Enter picks on the
// cursor's row where a click would, and a screen reader meets the rows as the
// window's children, the cursor's row focused with the cursor's time.
TEST_F(SeismogramsWindow, KeysMoveACursorBetweenRowsAndEnterPicksWhereAClickWould) {
  for (int i = 0; i < 20; ++i)
    owned_.push_back(TraceRecord(test::Sine(100)).Station("S" + std::to_string(i)).Distance(1.0f + i).Build());
  Open();
  ASSERT_TRUE(window_->Layout().rows.Scrolls());
  view_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  window_->clearFocus();
  window_->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(window_->CursorShown());
  QAccessibleInterface* all = QAccessible::queryAccessibleInterface(window_);
  const auto focusedRow = [all] { return all->focusChild(); };
  ASSERT_NE(focusedRow(), nullptr);
  EXPECT_EQ(focusedRow()->role(), QAccessible::Slider);
  EXPECT_EQ(focusedRow()->text(QAccessible::Name), "S0 BHZ");
  EXPECT_TRUE(focusedRow()->state().focused);
  EXPECT_EQ(focusedRow()->text(QAccessible::Value), "Cursor at 0.00 s after the reference time");
  EXPECT_GE(all->indexOfChild(focusedRow()), 0);
  EXPECT_EQ(all->child(all->indexOfChild(focusedRow())), focusedRow());

  // Down to the last row: the rows scroll to show it.
  for (int i = 0; i < 25; ++i) QTest::keyClick(window_, Qt::Key_Down);
  test::PaintNow(*window_);
  EXPECT_EQ(window_->KeyRow(), 19);
  EXPECT_GT(window_->FirstVisibleRow(), 0);
  EXPECT_FALSE(window_->RowRect(19).isEmpty());
  EXPECT_EQ(focusedRow()->text(QAccessible::Name), "S19 BHZ");
  QTest::keyClick(window_, Qt::Key_Up);
  EXPECT_EQ(window_->KeyRow(), 18);
  KSAC& s18 = *window_->Records()[18];

  for (int i = 0; i < 4; ++i) QTest::keyClick(window_, Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(window_, Qt::Key_Left);
  EXPECT_EQ(window_->CursorColumn(), 39);
  const float pps = static_cast<float>(window_->Layout().tracesArea.Width()) / 100.0f;  // a 100 s clock
  EXPECT_EQ(focusedRow()->text(QAccessible::Value),
            QString("Cursor at %1 s after the reference time").arg(39.0 / pps, 0, 'f', 2));
  QTest::keyClick(window_, Qt::Key_Enter);
  const float byKeys = s18.GetPick(0);
  EXPECT_NEAR(byKeys, 39.0f / pps, 1e-4f);
  for (const auto& r : owned_)
    if (r.get() != &s18) EXPECT_EQ(r->GetPick(0), 0.0f);
  QTest::keyClick(window_, Qt::Key_Delete);
  EXPECT_EQ(s18.GetPick(0), 0.0f);
  const QRect band = window_->RowRect(18);
  test::Click(*window_, QPoint(band.left() + 39, band.center().y()));
  EXPECT_EQ(s18.GetPick(0), byKeys);

  // Page Up and Down: the gain of the cursor's row alone.
  QTest::keyClick(window_, Qt::Key_PageUp);
  QTest::keyClick(window_, Qt::Key_PageUp);
  EXPECT_EQ(window_->GainOfRow(18), 3);
  EXPECT_EQ(window_->GainOfRow(19), 1);
  QTest::keyClick(window_, Qt::Key_Minus);
  EXPECT_EQ(window_->Zoom(), 1.0f);
  QTest::keyClick(window_, Qt::Key_Plus);
  EXPECT_EQ(window_->Zoom(), 2.0f);
}

}  // namespace
}  // namespace orvane
