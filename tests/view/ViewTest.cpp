// The main view through its handlers and the mouse: opening events, trials,
// the read-outs, pan and zoom.
#include "view/View.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "location/RMS.h"
#include "platform/ErrorReport.h"
#include "seismogram/RecordReadouts.h"
#include "dialogs/DepthCB.h"
#include "display/Event.h"
#include "display/WindowHarness.h"
#include "support/ExampleEvent.h"
#include "support/TrialStateGuard.h"
#include "view/Hints.h"

namespace orvane {
namespace {

using test::kExamples;
using test::kOnsets;

class ViewTest : public testing::Test {
 protected:
  void SetUp() override {
    view.SetShowSplash(false);  // the title card would take the clicks
    view.resize(800, 600);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  }
  QStringList Example(std::initializer_list<const char*> names) {
    QStringList paths;
    for (const char* n : names) paths << QString::fromStdString(kExamples + n);
    return paths;
  }
  QStringList AllExamples() {
    QStringList paths;
    for (const auto& [name, onset] : kOnsets) paths << QString::fromStdString(kExamples + name);
    return paths;
  }
  void PickAll() {
    for (std::size_t i = 0; i < view.Records().size(); ++i) view.Records()[i]->SetPick(0, kOnsets[i].second);
  }
  QPoint Centre() const { return QPoint(view.viewport()->width() / 2, view.viewport()->height() / 2); }

  test::TrialStateGuard trials;
  ScopedErrorReportCapture reports;
  View view;
};

TEST_F(ViewTest, OpensOneOrThreeFilesInOrder) {
  view.OpenEventFiles(Example({"KODK.sac"}));
  ASSERT_EQ(view.Records().size(), 1u);
  view.OpenEventFiles(Example({"TAIG.sac", "MNGL.sac", "KODK.sac"}));
  ASSERT_EQ(view.Records().size(), 3u);
  EXPECT_EQ(TrimmedHeaderText(*view.Records()[0], KSAC::KSTNM), "TAIG");
  EXPECT_EQ(TrimmedHeaderText(*view.Records()[2], KSAC::KSTNM), "KODK");
  EXPECT_TRUE(reports.reports().empty());
}

TEST_F(ViewTest, AnUnreadableFileIsNamedAndTheOthersOpen) {
  std::ofstream("broken.sac") << "not a seismogram";
  QStringList paths = Example({"TAIG.sac"});
  paths << "broken.sac";
  paths << Example({"KODK.sac"});
  const std::vector<RefusedFile> refused = view.OpenEventFiles(paths);
  ASSERT_EQ(view.Records().size(), 2u);
  EXPECT_EQ(TrimmedHeaderText(*view.Records()[1], KSAC::KSTNM), "KODK");
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_TRUE(view.MessageText().contains("broken.sac")) << view.MessageText().toStdString();
  ASSERT_EQ(reports.reports().size(), 1u);
  EXPECT_EQ(reports.reports()[0].code, 3005);
  EXPECT_NE(reports.reports()[0].module.find("broken.sac"), std::string::npos);
}

TEST_F(ViewTest, NothingReadableKeepsTheOpenEventAndItsWork) {
  view.OpenEventFiles(AllExamples());
  PickAll();
  ASSERT_TRUE(view.TryEpicentre(Centre())->ok());
  std::ofstream("broken.sac") << "x";
  view.OpenEventFiles({"broken.sac", "missing.sac"});
  EXPECT_EQ(view.Records().size(), 8u);
  EXPECT_EQ(trialList.size(), 1u);
  EXPECT_TRUE(view.HasTrial());
  EXPECT_TRUE(view.MessageText().contains("missing.sac"));
}

TEST_F(ViewTest, ClicksBesideTheGlobeDoNothingClicksOnItMakeTrials) {
  view.OpenEventFiles(AllExamples());
  // Beside the disc (radius 200 in an 800 × 600 view): nothing at all.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(view.MessageText().startsWith("Opened"));
  // On the disc without picks: refused, and the student is told why.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, Centre());
  EXPECT_FALSE(view.HasTrial());
  EXPECT_TRUE(trialList.empty());
  EXPECT_TRUE(view.MessageText().startsWith("No trial")) << view.MessageText().toStdString();
  ASSERT_EQ(reports.reports().size(), 1u);
  EXPECT_EQ(reports.reports()[0].code, 3002);
  // With picks: a trial at the centre of the view (0 N, 0 E).
  PickAll();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, Centre());
  ASSERT_TRUE(view.HasTrial());
  ASSERT_EQ(trialList.size(), 1u);
  EXPECT_NEAR(trialList[0].lat, 0.0f, 0.5f);
  EXPECT_NEAR(trialList[0].lon, 0.0f, 0.5f);
  EXPECT_GT(view.Trial().rms, 10.0f);  // far from the true epicentre
  EXPECT_TRUE(DeltaT(*view.Records()[0]).has_value());
}

// After a trial the view tells its seismogram windows, and each repaints, so
// that the new marks, Delta T and Dist (and the new order of the rows) appear
// at once, not only where the globe's repaint happens to reach them.
TEST_F(ViewTest, AfterATrialEverySeismogramWindowRepaints) {
  QSignalSpy told(&view, &View::trialLocated);
  for (const bool oneWindow : {false, true}) {
    SCOPED_TRACE(oneWindow);
    if (oneWindow) view.SeismogramsInOneWindow(); else view.MultipleWindowSeismograms();
    view.OpenEventFiles(AllExamples());
    PickAll();
    told.clear();
    ASSERT_TRUE(view.TryEpicentre(Centre())->ok());
    EXPECT_EQ(told.count(), 1);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();  // the repaints of the trial done
    std::vector<std::unique_ptr<test::PaintCounter>> paints;
    for (QMdiSubWindow* frame : view.SeismogramWindows())  // a window hidden by others paints nothing
      if (!frame->widget()->visibleRegion().isEmpty())
        paints.push_back(std::make_unique<test::PaintCounter>(*frame->widget()));
    ASSERT_FALSE(paints.empty());
    emit view.trialLocated();  // without the globe's repaint
    QCoreApplication::processEvents();
    for (const auto& counter : paints) EXPECT_GE(counter->paints, 1);
  }
}

TEST_F(ViewTest, ATrialNearTheTrueEpicentreHasASmallRms) {
  view.OpenEventFiles(AllExamples());
  PickAll();
  view.SetDepth(33.0f);
  view.SetGlobe(GlobeView{142.8f, -41.3f, 200.0f});  // the true epicentre at the centre
  QCoreApplication::processEvents();  // a click means the globe as painted
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, Centre());
  ASSERT_TRUE(view.HasTrial());
  EXPECT_NEAR(view.Trial().epicentreLat, 41.3f, 0.4f);
  EXPECT_NEAR(view.Trial().epicentreLon, 142.8f, 0.4f);
  EXPECT_LT(view.Trial().rms, 1.5f);
  // A new depth discards the trials; the last one stays shown until the next.
  view.SetDepth(100.0f);
  EXPECT_TRUE(trialList.empty());
  EXPECT_TRUE(view.HasTrial());
  view.CloseEvent();
  EXPECT_FALSE(view.HasTrial());
  EXPECT_TRUE(view.Records().empty());
}

// Whether every station of the open event is in view: on the near side of
// the globe, with its marker clear of the edges and of the window of all
// seismograms.
::testing::AssertionResult EveryStationInView(const View& view) {
  Earth earth;
  const int w = view.viewport()->width();
  const int h = view.viewport()->height();
  earth.SetView(view.Globe().spin, view.Globe().tilt, view.Globe().radius, w, h);
  int right = w;
  for (QMdiSubWindow* frame : view.SeismogramWindows())
    if (frame->windowTitle() == "Seismograms") right = std::min(right, frame->x());
  for (const auto& r : view.Records()) {
    const Vector3 v = earth.Rotate(earth.ModelPoint(r->GetFloatHeader(KSAC::STLA), r->GetFloatHeader(KSAC::STLO)));
    const ScreenPoint p = earth.ToScreen(v);
    if (!Earth::IsNearSide(v) || p.x < 8 || p.y < 8 || p.x > right - 8 || p.y > h - 8)
      return ::testing::AssertionFailure() << r->fileName << " at (" << p.x << ", " << p.y << ")"
                                           << (Earth::IsNearSide(v) ? "" : " on the far side");
  }
  return ::testing::AssertionSuccess();
}

// An event opens with all its stations in view: the globe turns to them and
// zooms when any is hidden, keeps a view that already shows them all, and
// never undoes the student's own pan and zoom.
TEST_F(ViewTest, AnEventOpensWithEveryStationInView) {
  const std::string events[] = {"", "deep-okhotsk-synthetic/", "pepp-chile-synthetic/", "psn-haiti-synthetic/",
                                "shallow-nepal-synthetic/"};
  for (const bool oneWindow : {true, false}) {
    if (oneWindow) view.SeismogramsInOneWindow(); else view.MultipleWindowSeismograms();
    for (const std::string& event : events) {
      SCOPED_TRACE(kExamples + event);
      QStringList paths;
      for (const auto& entry : std::filesystem::directory_iterator(kExamples + event))
        if (entry.is_regular_file() && entry.path().extension() != ".md") paths << QString::fromStdString(entry.path());
      // From a view that faces away from the event.
      view.SetGlobe(GlobeView{-60.0f, 20.0f, 200.0f});
      ASSERT_FALSE(view.OpenEventFiles(paths).size());
      EXPECT_TRUE(EveryStationInView(view));
    }
  }
  // A view that shows every station already is kept.
  view.SeismogramsInOneWindow();
  view.OpenEventFiles(AllExamples());
  const GlobeView shown = view.Globe();
  view.ZoomOut();
  const GlobeView chosen = view.Globe();
  ASSERT_TRUE(EveryStationInView(view));
  view.OpenEventFiles(AllExamples());
  EXPECT_EQ(view.Globe().spin, chosen.spin);
  EXPECT_EQ(view.Globe().radius, chosen.radius);
  EXPECT_NE(chosen.radius, shown.radius);
  // The student's pan stays when the view changes size.
  view.North();
  const GlobeView panned = view.Globe();
  view.resize(900, 700);
  QCoreApplication::processEvents();
  EXPECT_EQ(view.Globe().tilt, panned.tilt);
  EXPECT_EQ(view.Globe().radius, panned.radius);
}

TEST_F(ViewTest, ReadOutsOfCentrePointerAndScale) {
  QSignalSpy pointer(&view, &View::pointerReadoutChanged);
  view.SetGlobe(GlobeView{30.0f, -45.0f, 200.0f});
  EXPECT_EQ(view.CentreLatText(), " 45.00N");
  EXPECT_EQ(view.CentreLonText(), " 30.00E");
  EXPECT_EQ(view.ScaleFieldText(), "Scale: 18,900,000 : 1");  // 600 pixels high, radius 200
  view.SetGlobe(GlobeView{0.0f, 0.0f, 200.0f});
  QCoreApplication::processEvents();
  QTest::mouseMove(view.viewport(), Centre());
  QTest::mouseMove(view.viewport(), Centre() + QPoint(0, -100));  // 30 degrees north
  ASSERT_GE(pointer.count(), 1);
  EXPECT_EQ(view.PointerLatText(), " 30.00N");
  EXPECT_EQ(view.PointerLonText(), "  0.00E");
  QTest::mouseMove(view.viewport(), QPoint(2, 2));  // beside the globe: unchanged
  EXPECT_EQ(view.PointerLatText(), " 30.00N");
}

TEST_F(ViewTest, PanAndZoomCommands) {
  for (int i = 0; i < 10; ++i) view.North();
  EXPECT_EQ(view.Globe().tilt, -90.0f);
  EXPECT_EQ(view.CentreLatText(), " 90.00N");
  view.SetGlobe(GlobeView{170.0f, 0.0f, 200.0f});
  view.East();
  EXPECT_FLOAT_EQ(view.Globe().spin, -165.0f);
  view.ZoomIn();
  EXPECT_EQ(view.Globe().radius, 250.0f);
  view.ZoomOut();
  EXPECT_NEAR(view.Globe().radius, 200.0f, 1e-4);
}

TEST_F(ViewTest, OptionCommandsSignalTheirCheckMarks) {
  QSignalSpy options(&view, &View::optionsChanged);
  EXPECT_TRUE(view.OneWindow());
  view.MultipleWindowSeismograms();
  EXPECT_FALSE(view.OneWindow());
  view.SeismogramsInOneWindow();
  EXPECT_TRUE(view.OneWindow());
  const bool hints = view.WantHints();
  view.ToggleWantHints();
  view.ToggleWantHints();
  EXPECT_EQ(view.WantHints(), hints);
  EXPECT_EQ(options.count(), 4);
}

TEST_F(ViewTest, TheMisfitMapFollowsTheViewInTheBackground) {
  view.OpenEventFiles(AllExamples());
  PickAll();
  view.SetDepth(33.0f);
  view.SetGlobe(GlobeView{142.8f, -41.3f, 400.0f});
  EXPECT_FALSE(view.ShowMisfit());
  EXPECT_EQ(view.Misfit(), nullptr);
  view.SetShowMisfit(true);
  ASSERT_TRUE(view.WaitForMisfit(60000));
  ASSERT_NE(view.Misfit(), nullptr);
  EXPECT_EQ(view.Misfit()->cell, 2);
  const MapPicture picture = view.Picture();
  ASSERT_TRUE(picture.hasAnswerKey);
  EXPECT_NEAR(picture.answerLat, 41.3f, 0.3f);
  EXPECT_NEAR(picture.answerLon, 142.8f, 0.3f);
  // At the centre of the view, near the answer, the misfit is small.
  EXPECT_LT(view.Misfit()->At(Centre().x(), Centre().y()), 3.0f);
  // A step east: the old map goes at once, a new one follows.
  view.East();
  EXPECT_EQ(view.Misfit(), nullptr);
  EXPECT_FALSE(view.Picture().hasAnswerKey);
  ASSERT_TRUE(view.WaitForMisfit(60000));
  EXPECT_NE(view.Misfit(), nullptr);
  view.SetShowMisfit(false);
  EXPECT_EQ(view.Misfit(), nullptr);
}

TEST(ViewSettingsRoundTrip, ReadAtTheStartWrittenAtTheEnd) {
  {
    QSettings ini("view.ini", QSettings::IniFormat);
    ini.setValue("Longitude", 200);
    ini.setValue("Latitude", 100);
    ini.setValue("Radius", 312);
    ini.setValue("Depth", 33);
    ini.sync();
  }
  {
    View view(nullptr, std::make_unique<QSettings>("view.ini", QSettings::IniFormat));
    EXPECT_EQ(view.Globe().spin, 160.0f);
    EXPECT_EQ(view.Globe().tilt, 80.0f);
    EXPECT_EQ(view.Globe().radius, 312.0f);
    EXPECT_EQ(view.Depth(), 33.0f);
    view.ZoomIn();  // 390 pixels
    view.SetDepth(33.9f);
  }
  QSettings ini("view.ini", QSettings::IniFormat);
  EXPECT_EQ(ini.value("Radius").toInt(), 390);
  EXPECT_EQ(ini.value("Depth").toInt(), 33);
  EXPECT_EQ(ini.value("Longitude").toInt(), -160);
  {
    View view(nullptr, std::make_unique<QSettings>("view.ini", QSettings::IniFormat));
    view.SetKeepSettings(false);  // a screenshot leaves the settings alone
    view.ZoomIn();
  }
  EXPECT_EQ(QSettings("view.ini", QSettings::IniFormat).value("Radius").toInt(), 390);
}

TEST_F(ViewTest, HintsAtTheStartAndExactlyOneAfterEveryOpening) {
  ASSERT_NE(view.HintsWindow(), nullptr);  // init.txt, shown with the view
  EXPECT_FALSE(view.HintsWindow()->textArea()->toPlainText().isEmpty());
  view.OpenEventFiles(Example({"TAIG.sac"}));
  view.OpenEventFiles(Example({"KODK.sac"}));
  EXPECT_EQ(view.findChildren<Hints*>().size(), 1);
  const QString picking = view.HintsWindow()->textArea()->toPlainText();
  EXPECT_FALSE(picking.isEmpty());
  // Hints off: the window goes at once; on again: nothing until the next opening.
  view.ToggleWantHints();
  EXPECT_EQ(view.HintsWindow(), nullptr);
  EXPECT_TRUE(view.findChildren<Hints*>().isEmpty());
  view.ToggleWantHints();
  EXPECT_EQ(view.HintsWindow(), nullptr);
  view.OpenEventFiles(Example({"TAIG.sac"}));
  EXPECT_NE(view.HintsWindow(), nullptr);
  // The student closes it: the view forgets it and never touches it again.
  delete view.HintsWindow()->parentWidget();
  EXPECT_EQ(view.HintsWindow(), nullptr);
  view.ToggleWantHints();
  view.ToggleWantHints();
}

TEST_F(ViewTest, DepthPanelsSetTheDepthAndDiscardTheTrials) {
  view.OpenEventFiles(AllExamples());
  PickAll();
  ASSERT_TRUE(view.TryEpicentre(Centre())->ok());
  DepthCB* panel = view.SetDepthCommand();
  ASSERT_NE(panel, nullptr);
  auto* hundred = panel->findChild<QRadioButton*>("id106");
  ASSERT_NE(hundred, nullptr);
  QTest::mouseClick(hundred, Qt::LeftButton);
  EXPECT_EQ(view.Depth(), 100.0f);
  EXPECT_TRUE(trialList.empty());
  EXPECT_TRUE(view.HasTrial());  // the last trial's star stays until the next trial
  DepthCB* second = view.SetDepthCommand();
  EXPECT_NE(second, panel);  // each command opens another panel
  // The student closes a panel; the view carries on.
  delete second->parentWidget();
  view.SetDepth(10.0f);
  EXPECT_EQ(view.Depth(), 10.0f);
}

// The keys come back where they were when the depth panel closes: a
// keyboard student choosing a depth between trials is on the globe again,
// not on whichever seismogram window the workspace activates next.
TEST_F(ViewTest, ClosingTheDepthPanelGivesTheKeysBackToTheGlobe) {
  view.OpenEventFiles(AllExamples());
  view.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
  view.setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(view.hasFocus());
  view.SetDepthCommand();
  ASSERT_FALSE(view.hasFocus());  // the panel has the keys while it is open
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
  EXPECT_TRUE(view.findChildren<DepthCB*>().isEmpty());
  EXPECT_EQ(view.Depth(), 10.0f);  // Down chose the next depth
  EXPECT_TRUE(view.hasFocus());
}

}  // namespace
}  // namespace orvane

namespace orvane {
namespace {

// The whole exercise by mouse, as a student does it: open the example event
// with one window per station, click every trace at its P onset, choose a
// depth in the depth panel, click the globe near the true epicentre.
TEST(Exercise, AStudentLocatesTheExampleEventWithTheMouse) {
  test::TrialStateGuard trials;
  View view;
  view.SetShowSplash(false);
  view.MultipleWindowSeismograms();
  view.resize(1600, 1200);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QStringList paths;
  for (const auto& [name, onset] : kOnsets) paths << QString::fromStdString(kExamples + name);
  view.OpenEventFiles(paths);
  const std::vector<QMdiSubWindow*> windows = view.SeismogramWindows();
  ASSERT_EQ(windows.size(), 8u);
  QCoreApplication::processEvents();

  for (std::size_t i = 0; i < windows.size(); ++i) {
    auto* trace = qobject_cast<Event*>(windows[i]->widget());
    ASSERT_NE(trace, nullptr);
    view.setActiveSubWindow(windows[i]);  // brought to the front, as a student's click does
    trace->repaint();                     // lays out the trace area
    const KSAC& r = trace->Record();
    const Rect area = trace->Layout().traceArea;
    const int npts = r.GetIntHeader(KSAC::NPTS);
    const double seconds = kOnsets[i].second - FirstSampleSeconds(r);
    const double x = area.left + seconds / r.GetFloatHeader(KSAC::DELTA) * area.Width() / npts;
    QTest::mouseClick(trace, Qt::LeftButton, {}, QPoint(static_cast<int>(std::ceil(x)), area.top + 20));
    EXPECT_NEAR(r.GetPick(0), kOnsets[i].second, 3.0) << r.fileName;
  }

  DepthCB* panel = view.SetDepthCommand();
  QTest::mouseClick(panel->findChild<QRadioButton*>("id104"), Qt::LeftButton);  // "33 km"
  EXPECT_EQ(view.Depth(), 33.0f);

  view.SetGlobe(GlobeView{142.8f, -41.3f, 400.0f});
  QCoreApplication::processEvents();
  const QPoint centre(view.viewport()->width() / 2, view.viewport()->height() / 2);
  // The depth panel sits at the top left; the globe's centre is free.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre);
  ASSERT_TRUE(view.HasTrial()) << view.MessageText().toStdString();
  ASSERT_EQ(trialList.size(), 1u);
  EXPECT_LT(trialList[0].rms, 3.0f);
  EXPECT_NEAR(view.Trial().epicentreLat, 41.3f, 0.5f);
  // Every trace now has its predicted arrivals, Delta T and distance.
  for (const auto& r : view.Records()) {
    EXPECT_TRUE(DeltaT(*r).has_value()) << r->fileName;
    EXPECT_TRUE(TrialDistance(*r).has_value()) << r->fileName;
    EXPECT_GT(r->GetPick(2), r->GetPick(1));  // S after P
  }
  // A click far away gives a worse RMS, and both dots stay.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centre + QPoint(150, 150));
  ASSERT_EQ(trialList.size(), 2u);
  EXPECT_GT(trialList[1].rms, trialList[0].rms);
  // A new pick discards the trials.
  auto* first = qobject_cast<Event*>(windows[0]->widget());
  QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(first->Layout().traceArea.left + 40, 30));
  EXPECT_TRUE(trialList.empty());
  view.CloseEvent();
  EXPECT_TRUE(view.SeismogramWindows().empty());
}

// One window per station while they fit beside the globe; more stations open
// in the window of all seismograms, the status bar says why, and the option
// stays as the student chose it.
TEST_F(ViewTest, MoreStationsThanFitBesideTheGlobeOpenInOneWindow) {
  view.MultipleWindowSeismograms();
  QStringList twelve;
  for (const char* name : {"IU.ADK", "IU.ANMO", "IU.CHTO", "IU.COLA", "IU.CTAO", "IU.GUMO", "IU.KEV", "IU.KIP",
                           "IU.MAJO", "IU.ULN", "IU.YAK", "IU.YSS"})
    twelve << QString::fromStdString(kExamples + "deep-okhotsk-synthetic/" + name + ".BHZ.sac");
  view.OpenEventFiles(twelve);
  EXPECT_EQ(view.SeismogramWindows().size(), 12u);
  EXPECT_NE(qobject_cast<Event*>(view.SeismogramWindows().at(0)->widget()), nullptr);

  view.OpenEventFiles(twelve + AllExamples());
  const int count = static_cast<int>(view.Records().size());
  ASSERT_GT(count, 12);
  const std::vector<QMdiSubWindow*> windows = view.SeismogramWindows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->windowTitle(), "Seismograms");
  EXPECT_EQ(view.MessageText(),
            QString("%1 seismograms opened in one window: too many for a window beside each station.").arg(count));
  EXPECT_FALSE(view.OneWindow());
}

TEST(Exercise, OneWindowModePlacesTheSeismogramsOnTheRight) {
  test::TrialStateGuard trials;
  View view;
  view.SetShowSplash(false);
  view.resize(800, 600);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.OpenEventFiles({QString::fromStdString(kExamples + "TAIG.sac"), QString::fromStdString(kExamples + "KODK.sac")});
  const std::vector<QMdiSubWindow*> windows = view.SeismogramWindows();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0]->windowTitle(), "Seismograms");
  const QRect g = windows[0]->geometry();
  EXPECT_EQ(g, QRect(view.viewport()->width() * 3 / 4, 0, view.viewport()->width() / 4, view.viewport()->height()));
}

// The seismogram windows follow the view's size (the frame is often sized or
// maximized after the event opened) until the student moves one.
TEST(Exercise, SeismogramWindowsFollowTheViewUntilMoved) {
  test::TrialStateGuard trials;
  View view;
  view.SetShowSplash(false);
  view.resize(800, 600);
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  view.OpenEventFiles({QString::fromStdString(kExamples + "TAIG.sac"), QString::fromStdString(kExamples + "KODK.sac")});
  QMdiSubWindow* all = view.SeismogramWindows().at(0);
  const auto rightQuarter = [&view] {
    const int w = view.viewport()->width();
    return QRect(w * 3 / 4, 0, w / 4, view.viewport()->height());
  };
  view.resize(1200, 900);
  QCoreApplication::processEvents();
  EXPECT_EQ(all->geometry(), rightQuarter());
  all->move(10, 10);  // the student's choice
  const QRect moved = all->geometry();
  view.resize(1000, 700);
  QCoreApplication::processEvents();
  EXPECT_EQ(all->geometry(), moved);

  view.MultipleWindowSeismograms();
  view.OpenEventFiles({QString::fromStdString(kExamples + "TAIG.sac"), QString::fromStdString(kExamples + "KODK.sac")});
  const std::vector<QMdiSubWindow*> stations = view.SeismogramWindows();
  ASSERT_EQ(stations.size(), 2u);
  view.resize(1400, 1000);
  QCoreApplication::processEvents();
  for (QMdiSubWindow* frame : stations) {
    // A quarter of the larger view, and still beside its station.
    EXPECT_EQ(frame->width(), view.viewport()->width() / 4) << frame->windowTitle().toStdString();
    EXPECT_EQ(frame->height(), view.viewport()->height() / 4);
  }
  stations[0]->move(5, 5);
  const QRect kept = stations[0]->geometry();
  const QRect other = stations[1]->geometry();
  view.resize(900, 700);
  QCoreApplication::processEvents();
  EXPECT_EQ(stations[0]->geometry(), kept);
  EXPECT_NE(stations[1]->geometry(), other);
}

}  // namespace
}  // namespace orvane
