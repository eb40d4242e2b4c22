// The window for the keyboard and for screen readers, read through
// QAccessible as a screen reader reads it: every control has a name a person
// would say, the globe takes the keys, the commands that open a dialog
// return before it comes up, and the whole exercise is done by keys.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/MenuTable.h"
#include "app/TSDIDecFrame.h"
#include "display/Seismograms.h"
#include "location/RMS.h"
#include "support/ExampleEvent.h"
#include "support/TempDir.h"
#include "support/TrialStateGuard.h"
#include "view/ExerciseFile.h"
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

// The RMS of the last trial as a screen reader hears it in the globe's
// description ("... RMS 0.87 s."); none before the first trial.
std::optional<double> SpokenRms(QAccessibleInterface* globe) {
  const QString text = globe->text(QAccessible::Description);
  const qsizetype at = text.lastIndexOf(" RMS ");
  if (at < 0) return std::nullopt;
  const qsizetype end = text.indexOf(" s", at + 5);
  bool ok = false;
  const double rms = text.mid(at + 5, end - at - 5).toDouble(&ok);
  return ok ? std::optional<double>(rms) : std::nullopt;
}

// A key pressed where the focus is, as the keyboard presses it.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr) {
    ADD_FAILURE() << "no focus for key " << key;
    return;
  }
  QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
}

// The whole exercise on the example event with the keys alone, read as a
// screen reader reads it: the event opened as from the command line under
// the title card, the card closed, every P onset picked by the cursor, the
// depth chosen in the depth panel, trials walked towards smaller RMS with
// the cross-hair until the RMS is below a second, and the work saved.
TEST_F(Accessibility, TheWholeExerciseByKeys) {
  QElapsedTimer clock;
  clock.start();
  test::ScopedTempDir dir;
  const QString saved = QString::fromStdString((dir / "keys.orvex").string());
  frame.SetChooseFile([&](TSDIDecFrame::FileChoice choice) {
    EXPECT_EQ(choice, TSDIDecFrame::FileChoice::kSaveExercise);
    return saved;
  });
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->SplashWindow() != nullptr && view->SplashWindow()->IsUp(); }));
  QStringList paths;
  for (const auto& [name, onset] : kOnsets) paths << QString::fromStdString(kExamples + name);
  ASSERT_TRUE(frame.OpenEventFiles(paths));

  // The title card keeps the keys over the new windows; Enter closes it.
  ASSERT_TRUE(view->SplashWindow()->isAncestorOf(QApplication::focusWidget()));
  Press(Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->SplashWindow() == nullptr || !view->SplashWindow()->IsUp(); }));

  // Tab reaches the window of all seismograms (the frame has no room for a
  // window per station); + stretches its time axis ten times, to a fraction
  // of a second a pixel.
  auto* seismograms = view->findChild<Seismograms*>();
  ASSERT_NE(seismograms, nullptr);
  for (int tab = 0; tab < 20 && QApplication::focusWidget() != seismograms; ++tab) Press(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), seismograms);
  for (int i = 0; i < 9; ++i) Press(Qt::Key_Plus);
  // Row by row (Down), the cursor goes from the start of the trace (Home) to
  // the pixel nearest the onset, ten pixels and then one at a time, and
  // Enter picks there.
  QAccessibleInterface* all = QAccessible::queryAccessibleInterface(seismograms);
  std::map<QString, double> picks;
  for (int row = 0; row < 20 && picks.size() < kOnsets.size(); ++row, Press(Qt::Key_Down)) {
    QAccessibleInterface* trace = all->focusChild();
    ASSERT_NE(trace, nullptr);
    const QString name = trace->text(QAccessible::Name);
    if (picks.count(name) != 0) continue;
    float onset = -1.0f;
    for (const auto& [file, time] : kOnsets)
      if (name.startsWith(QString::fromStdString(file.substr(0, file.find('.'))) + ' ')) onset = time;
    ASSERT_GE(onset, 0.0f) << name.toStdString();
    const auto at = [trace] { return trace->valueInterface()->currentValue().toDouble(); };
    Press(Qt::Key_Home);
    ASSERT_TRUE(trace->text(QAccessible::Value).startsWith("Cursor at ")) << name.toStdString();
    for (const Qt::KeyboardModifier step : {Qt::ShiftModifier, Qt::NoModifier}) {
      for (double before = at();;) {
        Press(Qt::Key_Right, step);
        const double now = at();
        if (now >= onset || now == before) {
          // Past the onset: back, unless that pixel is the nearer one.
          if (step == Qt::ShiftModifier || onset - before < now - onset) Press(Qt::Key_Left, step);
          break;
        }
        before = now;
      }
    }
    picks[name] = at();
    Press(Qt::Key_Return);
    EXPECT_NEAR(picks[name], onset, 0.25) << name.toStdString();
    EXPECT_TRUE(trace->text(QAccessible::Description).contains(" P pick ")) << name.toStdString();
  }
  ASSERT_EQ(picks.size(), kOnsets.size());

  // Alt+C, D: Controls > Set Depth. The panel has the keys on its checked
  // depth (0 km); Down three times: 33 km, taken at once.
  Press(Qt::Key_C, Qt::AltModifier);
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_D);
  QCoreApplication::processEvents();
  // A desktop gives the frame back its activation when the menu closes; the
  // offscreen platform of the tests leaves it with the closed menu.
  QApplication::setActiveWindow(&frame);
  for (int i = 0; i < 3; ++i) Press(Qt::Key_Down);
  QAccessibleInterface* depth = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
  EXPECT_EQ(depth->text(QAccessible::Name), "33 km");
  EXPECT_TRUE(depth->state().checked);

  // Tab reaches the globe, with its cross-hair in the middle of the view.
  // Enter makes a trial there, and the globe's description tells its RMS.
  // The cross-hair walks to whichever neighbour gives a smaller RMS, ten
  // pixels at a step and then one.
  QAccessibleInterface* globe = QAccessible::queryAccessibleInterface(view);
  for (int tab = 0; tab < 20 && !globe->state().focused; ++tab) Press(Qt::Key_Tab);
  ASSERT_TRUE(globe->state().focused);
  const auto trial = [&]() -> std::optional<double> {
    const std::size_t before = trialList.size();
    Press(Qt::Key_Return);
    return trialList.size() > before ? SpokenRms(globe) : std::nullopt;
  };
  std::optional<double> best = trial();
  ASSERT_TRUE(best.has_value()) << globe->text(QAccessible::Description).toStdString();
  const std::pair<Qt::Key, Qt::Key> moves[] = {{Qt::Key_Left, Qt::Key_Right},
                                               {Qt::Key_Right, Qt::Key_Left},
                                               {Qt::Key_Up, Qt::Key_Down},
                                               {Qt::Key_Down, Qt::Key_Up}};
  for (const Qt::KeyboardModifier step : {Qt::ShiftModifier, Qt::NoModifier}) {
    for (bool better = true; better && *best >= 1.0;) {
      better = false;
      for (const auto& [go, back] : moves) {
        Press(go, step);
        const std::optional<double> rms = trial();
        if (rms && *rms < *best) {
          best = rms;
          better = true;
          break;
        }
        Press(back, step);
      }
    }
  }
  EXPECT_LT(*best, 1.0);
  const QString last = globe->text(QAccessible::Description);
  EXPECT_TRUE(last.contains(", depth 33 km, RMS ")) << last.toStdString();

  // Ctrl+S saves, the first time into the file the student chooses.
  Press(Qt::Key_S, Qt::ControlModifier);
  QCoreApplication::processEvents();
  const QString told = QAccessible::queryAccessibleInterface(frame.statusBar())->text(QAccessible::Name);
  EXPECT_TRUE(told.contains("keys.orvex")) << told.toStdString();
  const std::optional<Exercise> exercise = ReadExerciseFile(saved);
  ASSERT_TRUE(exercise.has_value());
  EXPECT_EQ(exercise->depth, 33.0f);
  ASSERT_EQ(exercise->seismograms.size(), kOnsets.size());
  for (std::size_t i = 0; i < kOnsets.size(); ++i) {
    const ExerciseSeismogram& seismogram = exercise->seismograms[i];
    ASSERT_TRUE(seismogram.path.ends_with(kOnsets[i].first)) << seismogram.path;
    ASSERT_TRUE(seismogram.pick.has_value()) << seismogram.path;
    EXPECT_NEAR(*seismogram.pick, kOnsets[i].second, 0.25) << seismogram.path;
  }
  ASSERT_FALSE(exercise->trials.empty());
  EXPECT_NEAR(exercise->trials.back().rms, *best, 0.005);
  EXPECT_LT(clock.elapsed(), 10000) << "ms for the whole exercise";
}

}  // namespace
}  // namespace orvane
