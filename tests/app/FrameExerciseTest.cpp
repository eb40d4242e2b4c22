// The frame's exercise commands: the question before unsaved work is put
// away, its three answers, the recovery file and the trials for the teacher.
#include "app/TSDIDecFrame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/MenuTable.h"
#include "app/RecoveryFile.h"
#include "location/EarthModel.h"
#include "location/RMS.h"
#include "platform/ErrorReport.h"
#include "support/ExampleEvent.h"
#include "support/TempDir.h"
#include "support/TrialStateGuard.h"
#include "view/ExerciseFile.h"
#include "view/TrialReport.h"
#include "view/View.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

using test::kExamples;
using test::kOnsets;

// Runs a menu command as the menu does: its dialogs come once the action has
// returned.
void Command(TSDIDecFrame& frame, int id) {
  frame.Action(id)->trigger();
  QCoreApplication::processEvents();
}

// The window has written its work to its own recovery file.
bool KeptForRecovery(const TSDIDecFrame& frame) {
  return !frame.RecoveryFilePath().isEmpty() && QFile::exists(frame.RecoveryFilePath());
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class FrameExercise : public testing::Test {
 protected:
  FrameExercise() {
    view->SetShowSplash(false);
    view->SetKeepSettings(false);
    frame.SetAsk([this](const QString& question, QMessageBox::StandardButtons buttons) {
      questions << question;
      EXPECT_TRUE(buttons & answer) << question.toStdString();
      return answer;
    });
    frame.SetChooseFile([this](TSDIDecFrame::FileChoice choice) {
      choices.push_back(choice);
      return chosen;
    });
    for (const auto& [name, onset] : kOnsets) fs::copy_file(kExamples + name, dir / name);
  }
  void SetUp() override {
    frame.resize(1000, 750);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  }
  QString Path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }
  QStringList Files() const {
    QStringList paths;
    for (const auto& [name, onset] : kOnsets) paths << Path(name);
    return paths;
  }
  // The event opened, every pick made, @p trials trials.
  void Work(int trials = 2) {
    ASSERT_TRUE(frame.OpenEventFiles(Files()));
    for (std::size_t i = 0; i < kOnsets.size(); ++i) view->Records()[i]->SetPick(0, kOnsets[i].second);
    view->PicksChanged();
    view->SetDepth(33.0f);
    view->SetGlobe(GlobeView{142.8f, -41.3f, 400.0f});
    QCoreApplication::processEvents();
    const QPoint centre(view->viewport()->width() / 2, view->viewport()->height() / 2);
    for (int i = 0; i < trials; ++i) ASSERT_TRUE(view->TryEpicentre(centre + QPoint(9 * i, -5 * i)));
    ASSERT_EQ(trialList.size(), static_cast<std::size_t>(trials));
  }

  test::TrialStateGuard trialGuard;
  ScopedErrorReportCapture reports;
  test::ScopedTempDir dir;
  View* view = new View;
  TSDIDecFrame frame{view};
  QStringList questions;
  QMessageBox::StandardButton answer = QMessageBox::Cancel;
  std::vector<TSDIDecFrame::FileChoice> choices;
  QString chosen;
};

TEST_F(FrameExercise, TheExerciseCommandsAreInTheFileMenu) {
  const struct {
    int id;
    const char* text;
  } items[] = {{kCmOpenExercise, "Open &Exercise..."},
               {kCmSaveExercise, "&Save Exercise"},
               {kCmSaveExerciseAs, "Save Exercise &As..."},
               {kCmExportTrials, "Export &Trials..."}};
  for (const auto& item : items) {
    QAction* action = frame.Action(item.id);
    ASSERT_NE(action, nullptr) << item.text;
    EXPECT_EQ(action->text(), item.text);
    EXPECT_TRUE(action->isEnabled());
    EXPECT_FALSE(action->statusTip().isEmpty());
  }
  // Save Exercise from the menu asks for a file the first time, then saves there.
  Work();
  chosen = Path("menu");
  Command(frame, kCmSaveExercise);
  ASSERT_EQ(choices.size(), 1u);
  EXPECT_EQ(choices[0], TSDIDecFrame::FileChoice::kSaveExercise);
  EXPECT_TRUE(fs::exists(dir / "menu.orvex"));  // the suffix is added
  EXPECT_EQ(frame.ExercisePath(), Path("menu.orvex"));
  view->PicksChanged();
  Command(frame, kCmSaveExercise);
  EXPECT_EQ(choices.size(), 1u);
  EXPECT_FALSE(view->IsModified());
  // Open Exercise from the menu.
  view->CloseEvent();
  chosen = Path("menu.orvex");
  Command(frame, kCmOpenExercise);
  EXPECT_EQ(view->Records().size(), kOnsets.size());
  EXPECT_EQ(trialList.size(), 2u);
  EXPECT_TRUE(questions.isEmpty());
}

TEST_F(FrameExercise, SaveWritesTheExerciseAndGoesOn) {
  Work();
  answer = QMessageBox::Save;
  chosen = Path("kept.orvex");
  Command(frame, kCmCloseEvent);
  EXPECT_EQ(questions, QStringList{"Save the exercise?"});
  EXPECT_TRUE(view->Records().empty());
  const auto saved = ReadExerciseFile(Path("kept.orvex"));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->trials.size(), 2u);
  EXPECT_EQ(*saved->seismograms[0].pick, kOnsets[0].second);
}

// A disk that fills up half-way through a save: the old exercise stays as
// it was, the student is told, and the work still counts as unsaved. (A
// limit on the size of the files this process writes makes the disk "full".)
TEST_F(FrameExercise, ASaveThatFailsKeepsTheOldFileAndTheWorkUnsaved) {
  Work(1);
  ASSERT_TRUE(frame.SaveExerciseTo(Path("work.orvex")));
  const std::string saved = ReadAll(dir / "work.orvex");
  ASSERT_GT(saved.size(), 2048u);
  const QPoint centre(view->viewport()->width() / 2, view->viewport()->height() / 2);
  ASSERT_TRUE(view->TryEpicentre(centre + QPoint(20, 20)));
  ASSERT_TRUE(view->IsModified());

  const auto previousSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit previousLimit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
  rlimit limit = previousLimit;
  limit.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  const bool savedAgain = frame.SaveExercise();
  ::setrlimit(RLIMIT_FSIZE, &previousLimit);
  std::signal(SIGXFSZ, previousSignal);

  EXPECT_FALSE(savedAgain);
  EXPECT_EQ(ReadAll(dir / "work.orvex"), saved);
  EXPECT_TRUE(view->IsModified());
  const QString message = frame.statusBar()->currentMessage();
  EXPECT_TRUE(message.startsWith("The exercise was not saved: the file could not be written")) << message.toStdString();
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
            static_cast<std::ptrdiff_t>(kOnsets.size() + 1));  // nothing half-written left beside it
}

TEST_F(FrameExercise, SaveThatIsCancelledInTheFileChoiceKeepsEverything) {
  Work();
  answer = QMessageBox::Save;
  chosen.clear();
  Command(frame, kCmCloseEvent);
  EXPECT_EQ(view->Records().size(), kOnsets.size());
  EXPECT_EQ(trialList.size(), 2u);
}

TEST_F(FrameExercise, DiscardGoesOnWithoutSaving) {
  Work();
  answer = QMessageBox::Discard;
  ASSERT_TRUE(frame.OpenEventFiles({Path("TAIG.sac")}));
  EXPECT_EQ(questions.size(), 1);
  EXPECT_EQ(view->Records().size(), 1u);
  EXPECT_TRUE(trialList.empty());
  EXPECT_TRUE(choices.empty());
  EXPECT_FALSE(fs::exists(dir / "kept.orvex"));
}

TEST_F(FrameExercise, OpenExerciseAsksOnce) {
  Work(2);
  // An exercise of this work, written without making the work saved.
  ASSERT_TRUE(WriteExerciseFile(Path("other.orvex"), view->CurrentExercise(Path("other.orvex"))));
  view->SetDepth(0.0f);
  ASSERT_TRUE(view->IsModified());
  answer = QMessageBox::Discard;
  chosen = Path("other.orvex");
  Command(frame, kCmOpenExercise);
  EXPECT_EQ(questions.size(), 1);
  EXPECT_EQ(view->Depth(), 33.0f);
  EXPECT_EQ(trialList.size(), 2u);
  EXPECT_EQ(frame.ExercisePath(), Path("other.orvex"));
}

TEST_F(FrameExercise, CancelKeepsEverything) {
  Work();
  answer = QMessageBox::Cancel;
  const std::vector<RMS> trials = trialList;
  Command(frame, kCmCloseEvent);
  EXPECT_FALSE(frame.OpenEventFiles({Path("TAIG.sac")}));
  EXPECT_FALSE(frame.OpenExerciseFile(Path("whatever.orvex")));
  EXPECT_FALSE(frame.close());  // Exit and the window's close box
  EXPECT_EQ(questions.size(), 4);
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(view->Records().size(), kOnsets.size());
  ASSERT_EQ(trialList.size(), trials.size());
  for (std::size_t i = 0; i < trials.size(); ++i) EXPECT_EQ(trialList[i].rms, trials[i].rms);
  EXPECT_EQ(view->Records()[0]->GetPick(0), kOnsets[0].second);
  EXPECT_TRUE(view->IsModified());
}

TEST_F(FrameExercise, SavedWorkIsPutAwayWithoutAQuestion) {
  Work();
  ASSERT_TRUE(frame.SaveExerciseTo(Path("done.orvex")));
  Command(frame, kCmCloseEvent);
  EXPECT_TRUE(questions.isEmpty());
  EXPECT_TRUE(view->Records().empty());
  EXPECT_TRUE(frame.close());
}

// A student's file lists the trials without their distances from the answer
// keys (which would give the answer away); the teacher's program fills them
// in, with the exercise's Earth model, for the very trials the saved exercise
// holds, also when a seismogram of it cannot be opened any more.
TEST_F(FrameExercise, ExportTrialsWritesTheSharedCsv) {
  view->SetModel(EarthModel::kAk135);
  Work(3);
  chosen = Path("trials.csv");
  Command(frame, kCmExportTrials);
  const std::string csv = ReadAll(dir / "trials.csv");
  const std::string header =
      "trial,latitude,longitude,depth_km,rms_s,distance_from_answer_key_km,distance_from_precise_key_km\n";
  ASSERT_EQ(csv.substr(0, header.size()), header);
  ASSERT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
  for (std::size_t end = csv.find('\n', header.size()); end != std::string::npos; end = csv.find('\n', end + 1))
    EXPECT_EQ(csv.substr(end - 2, 2), ",,") << csv;
  ASSERT_TRUE(frame.SaveExerciseTo(Path("work.orvex")));
  const std::optional<Exercise> saved = ReadExerciseFile(Path("work.orvex"));
  ASSERT_TRUE(saved);

  // The teacher opens it with a seismogram gone: its trials are made again
  // without that station, with other RMS, but the exercise holds them as
  // they were, and so does the teacher's CSV.
  fs::rename(dir / "KODK.sac", dir / "KODK.away");
  auto* teacherView = new View;
  teacherView->SetShowSplash(false);
  teacherView->SetKeepSettings(false);
  TSDIDecFrame teacher(teacherView, QString(), TSDIDecFrame::Audience::kTeacher);
  ASSERT_TRUE(teacher.OpenExerciseFile(Path("work.orvex")));
  ASSERT_TRUE(teacherView->MessageText().contains("now has RMS")) << teacherView->MessageText().toStdString();
  EXPECT_EQ(teacherView->Model(), EarthModel::kAk135);
  ASSERT_TRUE(teacher.ExportTrialsTo(Path("teacher.csv")));
  const std::vector<KSAC*> records = RecordPointers(teacherView->Records());
  const TrialReport expected = MakeTrialReport(records, saved->trials, EarthModel::kAk135);
  EXPECT_EQ(ReadAll(dir / "teacher.csv"), TrialsCsv(expected));
  ASSERT_EQ(expected.rows.size(), 3u);
  // The first click lies near the true epicentre, well within 1000 km of the key.
  ASSERT_TRUE(expected.rows[0].AnswerDistanceKm());
  EXPECT_LT(*expected.rows[0].AnswerDistanceKm(), 1000.0);
  // Nothing to export: said, nothing written.
  teacherView->CloseEvent();
  EXPECT_FALSE(teacher.ExportTrialsTo(Path("none.csv")));
  EXPECT_FALSE(fs::exists(dir / "none.csv"));
}

// --- Recovery ---------------------------------------------------------------

TEST_F(FrameExercise, WorkIsKeptForRecoveryWithinASecond) {
  frame.SetRecoveryEnabled(true);
  EXPECT_TRUE(frame.RecoveryFilePath().isEmpty());
  ASSERT_TRUE(frame.OpenEventFiles(Files()));
  // Written within a second (the write waits half a second for more changes).
  EXPECT_TRUE(QTest::qWaitFor([&] { return KeptForRecovery(frame); }, 1000));
  const QString recovery = frame.RecoveryFilePath();
  EXPECT_EQ(QFileInfo(recovery).absolutePath(), RecoveryFile::Folder());
  view->Records()[2]->SetPick(0, kOnsets[2].second);
  view->PicksChanged();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        const auto kept = ReadExerciseFile(recovery);
        return kept && kept->seismograms[2].pick == kOnsets[2].second;
      },
      1000));
  const auto kept = ReadExerciseFile(recovery);
  ASSERT_TRUE(kept);
  // Absolute paths: the recovery file lies far from the seismograms.
  EXPECT_EQ(kept->seismograms[0].path, Path("TAIG.sac").toStdString());
  // A clean close removes it.
  answer = QMessageBox::Discard;
  EXPECT_TRUE(frame.close());
  EXPECT_FALSE(QFile::exists(recovery));
}

TEST_F(FrameExercise, ClosingTheEventRemovesTheRecoveryFile) {
  frame.SetRecoveryEnabled(true);
  Work(1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return KeptForRecovery(frame); }, 1000));
  const QString recovery = frame.RecoveryFilePath();
  answer = QMessageBox::Discard;
  Command(frame, kCmCloseEvent);
  EXPECT_FALSE(QFile::exists(recovery));
  QTest::qWait(700);
  EXPECT_FALSE(QFile::exists(recovery));
}

TEST_F(FrameExercise, WorkLeftByACrashIsOfferedAtTheStart) {
  // A run that ended without closing left its recovery file behind.
  Work(2);
  const std::vector<RMS> trials = trialList;
  const Exercise left = view->CurrentExercise();
  view->CloseEvent();
  // The one recovery file of earlier versions is offered as well.
  const QString recovery = RecoveryFile::EarlierFilePath();
  QDir().mkpath(QFileInfo(recovery).absolutePath());
  ASSERT_TRUE(WriteExerciseFile(recovery, left));

  // Not offered where recovery is off (screenshots and printouts).
  EXPECT_FALSE(frame.OfferRecovery());
  EXPECT_TRUE(questions.isEmpty());

  frame.SetRecoveryEnabled(true);
  answer = QMessageBox::Yes;
  EXPECT_TRUE(frame.OfferRecovery());
  ASSERT_EQ(questions.size(), 1);
  EXPECT_TRUE(questions[0].contains("Restore")) << questions[0].toStdString();
  EXPECT_EQ(view->Records().size(), kOnsets.size());
  ASSERT_EQ(trialList.size(), trials.size());
  for (std::size_t i = 0; i < trials.size(); ++i) EXPECT_EQ(trialList[i].rms, trials[i].rms);
  // Restored work is still unsaved: it is kept again, and asked about.
  EXPECT_TRUE(view->IsModified());
  EXPECT_TRUE(frame.ExercisePath().isEmpty());
  // The recovery file stayed while it was read back, and is kept up to date
  // as the window's own.
  EXPECT_TRUE(QFile::exists(recovery));
  EXPECT_EQ(frame.RecoveryFilePath(), recovery);
  view->SetDepth(10.0f);
  EXPECT_TRUE(QTest::qWaitFor([&] {
    const auto kept = ReadExerciseFile(recovery);
    return kept && kept->depth == 10.0f && kept->trials.empty();
  }, 1000));
}

TEST_F(FrameExercise, RecoveryThatIsDeclinedIsRemoved) {
  frame.SetRecoveryEnabled(true);
  const QString recovery = RecoveryFile::Folder() + "/crashed.orvex";
  QDir().mkpath(RecoveryFile::Folder());
  std::ofstream(recovery.toStdString()) << "{\"orvex\": 1";  // damaged as well
  answer = QMessageBox::No;
  EXPECT_FALSE(frame.OfferRecovery());
  EXPECT_EQ(questions.size(), 1);
  EXPECT_FALSE(QFile::exists(recovery));
  EXPECT_TRUE(view->Records().empty());
  // No file, no question.
  EXPECT_FALSE(frame.OfferRecovery());
  EXPECT_EQ(questions.size(), 1);
}

// Escape, or closing the question, is no answer: the work stays for later.
TEST_F(FrameExercise, RecoveryThatIsPutOffIsKept) {
  frame.SetRecoveryEnabled(true);
  const QString recovery = RecoveryFile::Folder() + "/crashed.orvex";
  QDir().mkpath(RecoveryFile::Folder());
  std::ofstream(recovery.toStdString()) << "{\"orvex\": 1";
  answer = QMessageBox::Cancel;
  EXPECT_FALSE(frame.OfferRecovery());
  EXPECT_TRUE(QFile::exists(recovery));
  EXPECT_TRUE(frame.statusBar()->currentMessage().contains(QDir::toNativeSeparators(recovery)));
  EXPECT_FALSE(frame.OfferRecovery());
  EXPECT_EQ(questions.size(), 2);
}

TEST_F(FrameExercise, WithoutRecoveryNothingIsWritten) {
  Work(1);
  QTest::qWait(800);
  EXPECT_TRUE(frame.RecoveryFilePath().isEmpty());
  EXPECT_FALSE(QFileInfo::exists(RecoveryFile::Folder()));
}

// The seismograms of the work left behind are on a disk that is not there
// now: the student said Yes, and the file stays for the next start.
TEST_F(FrameExercise, ARestoreThatFailsKeepsTheRecoveryFile) {
  Work(2);
  const Exercise left = view->CurrentExercise();
  view->CloseEvent();
  const QString recovery = RecoveryFile::Folder() + "/crashed.orvex";
  QDir().mkpath(RecoveryFile::Folder());
  ASSERT_TRUE(WriteExerciseFile(recovery, left));
  fs::create_directories(dir / "unplugged");
  for (const auto& [name, onset] : kOnsets) fs::rename(dir / name, dir / "unplugged" / name);

  frame.SetRecoveryEnabled(true);
  answer = QMessageBox::Yes;
  EXPECT_FALSE(frame.OfferRecovery());
  EXPECT_EQ(questions.size(), 1);
  EXPECT_TRUE(QFile::exists(recovery));
  const QString said = frame.statusBar()->currentMessage();
  EXPECT_TRUE(said.contains(QDir::toNativeSeparators(recovery))) << said.toStdString();
  EXPECT_TRUE(view->Records().empty());

  // With the disk back, the next start restores it.
  for (const auto& [name, onset] : kOnsets) fs::rename(dir / "unplugged" / name, dir / name);
  EXPECT_TRUE(frame.OfferRecovery());
  EXPECT_EQ(view->Records().size(), kOnsets.size());
  EXPECT_EQ(trialList.size(), 2u);
}

// Each window keeps its own work: another window neither offers it nor
// removes it while it runs, and a save or a close removes only its own.
TEST_F(FrameExercise, TwoWindowsKeepTheirOwnRecoveryFiles) {
  frame.SetRecoveryEnabled(true);
  Work(1);
  auto* otherView = new View;
  otherView->SetShowSplash(false);
  otherView->SetKeepSettings(false);
  auto other = std::make_unique<TSDIDecFrame>(otherView);
  other->SetAsk([this](const QString& question, QMessageBox::StandardButtons) {
    questions << question;
    return answer;
  });
  other->SetRecoveryEnabled(true);
  ASSERT_TRUE(other->OpenEventFiles({Path("TAIG.sac")}));
  ASSERT_TRUE(QTest::qWaitFor([&] { return KeptForRecovery(frame) && KeptForRecovery(*other); }, 1000));
  const QString mine = frame.RecoveryFilePath();
  const QString theirs = other->RecoveryFilePath();
  EXPECT_NE(mine, theirs);

  // A window that starts now is not offered a running window's work.
  const auto starting = [this] {
    auto* startingView = new View;
    startingView->SetShowSplash(false);
    startingView->SetKeepSettings(false);
    TSDIDecFrame third(startingView);
    third.SetAsk([this](const QString& question, QMessageBox::StandardButtons) {
      questions << question;
      return answer;
    });
    third.SetRecoveryEnabled(true);
    return third.OfferRecovery();
  };
  answer = QMessageBox::No;
  EXPECT_FALSE(starting());
  EXPECT_TRUE(questions.isEmpty());
  EXPECT_TRUE(QFile::exists(mine));
  EXPECT_TRUE(QFile::exists(theirs));

  // A save in the other window removes its file only.
  ASSERT_TRUE(other->SaveExerciseTo(Path("other.orvex")));
  EXPECT_FALSE(QFile::exists(theirs));
  EXPECT_TRUE(QFile::exists(mine));
  // New work there, then the window goes without closing, as in a crash.
  otherView->PicksChanged();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(theirs); }, 1000));
  other.reset();
  EXPECT_FALSE(starting());
  ASSERT_EQ(questions.size(), 1);  // only the window that is gone
  EXPECT_FALSE(QFile::exists(theirs));  // declined
  EXPECT_TRUE(QFile::exists(mine));
}

}  // namespace
}  // namespace orvane
