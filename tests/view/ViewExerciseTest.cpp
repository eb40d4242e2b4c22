// Saving and opening exercises through the main view on the example event:
// everything the student sees comes back exactly; a moved folder still
// opens; a changed seismogram is named and left out; a damaged or foreign
// exercise changes nothing.
#include "view/View.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cstring>
#include <limits>
#include <optional>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialogs/DepthCB.h"
#include "display/Event.h"
#include "display/SeismogramWindow.h"
#include "location/EarthModel.h"
#include "location/PhaseTables.h"
#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "platform/ErrorReport.h"
#include "seismogram/MiniSEED.h"
#include "seismogram/RecordReadouts.h"
#include "support/ExampleEvent.h"
#include "support/TempDir.h"
#include "support/TrialStateGuard.h"

namespace orvane {
namespace {

namespace fs = std::filesystem;

using test::kExamples;
using test::kOnsets;

std::uint32_t Bits(float f) {
  std::uint32_t b = 0;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

// Everything of the work that the student sees, floats as their bits.
struct Snapshot {
  std::vector<std::string> files;
  std::vector<std::uint32_t> picks;
  std::vector<std::uint32_t> marks;  // t1, t2, gcarc, user5 of each record
  std::vector<std::uint32_t> trials; // lat, lon, rms of each dot
  std::uint32_t depth = 0;
  float spin = 0, tilt = 0, radius = 0;
  bool oneWindow = true;
  int maximumRms = 0;
  bool hasTrial = false;
  std::vector<std::uint32_t> label;  // the last trial: position, RMS, origin time
  std::size_t windows = 0;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const View& view) {
  Snapshot s;
  for (const auto& r : view.Records()) {
    s.files.push_back(QFileInfo(QString::fromStdString(r->fileName)).fileName().toStdString());
    s.picks.push_back(Bits(r->GetPick(0)));
    for (float v : {r->GetPick(1), r->GetPick(2), r->GetFloatHeader(KSAC::GCARC), r->GetFloatHeader(KSAC::USER5)})
      s.marks.push_back(Bits(v));
  }
  for (const RMS& t : trialList)
    for (float v : {t.lat, t.lon, t.rms}) s.trials.push_back(Bits(v));
  s.depth = Bits(view.Depth());
  s.spin = view.Globe().spin;
  s.tilt = view.Globe().tilt;
  s.radius = view.Globe().radius;
  s.oneWindow = view.OneWindow();
  s.maximumRms = maximumRms;
  s.hasTrial = view.HasTrial();
  const TrialState& t = view.Trial();
  s.label = {Bits(t.epicentreLat), Bits(t.epicentreLon), Bits(t.rms), t.originTime.wYear, t.originTime.wMonth,
             t.originTime.wDay, t.originTime.wHour, t.originTime.wMinute, t.originTime.wSecond,
             t.originTime.wMilliseconds};
  s.windows = view.SeismogramWindows().size();
  return s;
}

class ViewExercise : public testing::Test {
 protected:
  void SetUp() override {
    view.SetShowSplash(false);
    view.resize(900, 700);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    fs::create_directories(dir / "quake");
    for (const auto& [name, onset] : kOnsets) fs::copy_file(kExamples + name, dir / "quake" / name);
  }
  QString Path(const std::string& relative) const { return QString::fromStdString((dir / relative).string()); }
  QStringList Files(const std::string& folder) const {
    QStringList paths;
    for (const auto& [name, onset] : kOnsets) paths << Path(folder + "/" + name);
    return paths;
  }

  // The student's work: the event, every P pick, a depth, three trials.
  void Work(bool oneWindow = true) {
    if (oneWindow) view.SeismogramsInOneWindow(); else view.MultipleWindowSeismograms();
    view.OpenEventFiles(Files("quake"));
    ASSERT_EQ(view.Records().size(), kOnsets.size());
    for (std::size_t i = 0; i < kOnsets.size(); ++i) view.Records()[i]->SetPick(0, kOnsets[i].second);
    view.PicksChanged();
    view.SetDepth(33.0f);
    maximumRms = 6;
    view.SetGlobe(GlobeView{142.8f, -41.3f, 400.0f});
    QCoreApplication::processEvents();
    const QPoint centre(view.viewport()->width() / 3, view.viewport()->height() / 2);
    for (const QPoint offset : {QPoint(0, 0), QPoint(37, -21), QPoint(-3, 11)}) {
      const std::optional<TrialResult> made = view.TryEpicentre(centre + offset);
      ASSERT_TRUE(made && made->ok()) << view.MessageText().toStdString();
    }
    ASSERT_EQ(trialList.size(), 3u);
  }

  // Something else on screen, so that opening has to bring it all back.
  void Disturb() {
    view.CloseEvent();
    view.SetDepth(0.0f);
    view.SetGlobe(GlobeView{0.0f, 0.0f, 200.0f});
    view.SeismogramsInOneWindow();
    maximumRms = 10;
  }

  test::TrialStateGuard trialGuard;
  ScopedErrorReportCapture reports;
  test::ScopedTempDir dir;
  View view;
};

TEST_F(ViewExercise, SavedWorkComesBackExactly) {
  Work(false);
  const Snapshot before = Take(view);
  EXPECT_TRUE(view.IsModified());
  QString error;
  ASSERT_TRUE(view.SaveExercise(Path("quake/work.orvex"), &error)) << error.toStdString();
  EXPECT_FALSE(view.IsModified());
  // The seismograms lie beside the exercise: stored by their names alone.
  const auto stored = ReadExerciseFile(Path("quake/work.orvex"));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->seismograms[0].path, "TAIG.sac");
  EXPECT_EQ(stored->trials.size(), 3u);

  Disturb();
  ASSERT_TRUE(view.OpenExercise(Path("quake/work.orvex"), &error)) << error.toStdString();
  EXPECT_EQ(Take(view), before);
  EXPECT_FALSE(view.IsModified());
  EXPECT_FALSE(view.OneWindow());
  EXPECT_EQ(view.SeismogramWindows().size(), kOnsets.size());
  EXPECT_EQ(view.MessageText(), "Opened the exercise work.orvex: 8 seismograms, 3 trials");
  EXPECT_FALSE(view.MessageText().contains("now has RMS"));
  // Delta T and Dist read off the records as before.
  for (const auto& r : view.Records()) {
    EXPECT_TRUE(DeltaT(*r).has_value()) << r->fileName;
    EXPECT_TRUE(TrialDistance(*r).has_value()) << r->fileName;
  }
}

// A new pick or depth discards the dots, but the last trial stays on show
// (label, star, marks on the other seismograms) until the next trial.
TEST_F(ViewExercise, TheLastTrialShownAfterItsDotsWentComesBack) {
  Work();
  view.Records()[3]->SetPick(0, kOnsets[3].second + 0.5f);  // a pick corrected
  view.PicksChanged();
  trialList.clear();  // as the click on the trace does
  ASSERT_TRUE(view.HasTrial());
  const Snapshot picked = Take(view);
  ASSERT_TRUE(view.SaveExercise(Path("quake/picked.orvex")));
  view.SetDepth(100.0f);  // and a new depth keeps the last trial too
  const Snapshot deeper = Take(view);
  ASSERT_TRUE(view.SaveExercise(Path("quake/deeper.orvex")));

  Disturb();
  ASSERT_TRUE(view.OpenExercise(Path("quake/picked.orvex")));
  EXPECT_EQ(Take(view), picked);
  EXPECT_FALSE(DeltaT(*view.Records()[3]).has_value());  // cleared by the new pick
  EXPECT_TRUE(DeltaT(*view.Records()[2]).has_value());
  Disturb();
  ASSERT_TRUE(view.OpenExercise(Path("quake/deeper.orvex")));
  EXPECT_EQ(Take(view), deeper);
  EXPECT_TRUE(view.HasTrial());
}

// The keys of a station's window: L leaves the station out of the location,
// Delete clears its pick. Each discards the trials; the next trial is the
// trial of the event without that pick or station, to the bit; and both come
// back from the saved exercise, a pick cleared even where the file itself
// came with one.
TEST_F(ViewExercise, AStationLeftOutAndAPickClearedStayOutOfTheTrialsAndComeBack) {
  constexpr std::size_t kLeft = 2, kCleared = 5;
  {
    // This file comes with a P pick of its own.
    const std::string name = (dir / "quake" / kOnsets[kCleared].first).string();
    KSAC record(name);
    record.SetPick(0, kOnsets[kCleared].second);
    ASSERT_EQ(record.WriteSAC(name.c_str()), 0);
  }
  Work(false);
  const auto windowOf = [this](std::size_t i) -> QWidget* {
    for (QMdiSubWindow* frame : view.SeismogramWindows())
      if (auto* w = qobject_cast<Event*>(frame->widget()); w && &w->Record() == view.Records()[i].get()) return w;
    return nullptr;
  };
  ASSERT_NE(windowOf(kLeft), nullptr);
  QTest::keyClick(windowOf(kLeft), Qt::Key_L);
  EXPECT_TRUE(view.Records()[kLeft]->leftOut);
  EXPECT_TRUE(trialList.empty());
  QTest::keyClick(windowOf(kCleared), Qt::Key_Delete);
  EXPECT_FALSE(HasPick(*view.Records()[kCleared]));
  const QPoint centre(view.viewport()->width() / 3, view.viewport()->height() / 2);
  const std::optional<TrialResult> made = view.TryEpicentre(centre);
  ASSERT_TRUE(made && made->ok()) << view.MessageText().toStdString();
  EXPECT_EQ(made->picked, 6);
  EXPECT_EQ(view.Trial().stations, 6);
  EXPECT_EQ(view.Records()[kLeft]->GetPick(0), kOnsets[kLeft].second);  // kept, not used

  // The same trial on the event without the station left out, and with the
  // other record unpicked.
  std::vector<std::string> others;
  for (std::size_t i = 0; i < kOnsets.size(); ++i)
    if (i != kLeft) others.push_back(Path("quake/" + kOnsets[i].first).toStdString());
  EventFiles without = ReadEventFiles(others, std::nullopt);
  ASSERT_EQ(without.records.size(), kOnsets.size() - 1);
  for (std::size_t i = 0, k = 0; i < kOnsets.size(); ++i) {
    if (i == kLeft) continue;
    if (i == kCleared) without.records[k]->SetPick(0, 0.0f); else without.records[k]->SetPick(0, kOnsets[i].second);
    ++k;
  }
  const PhaseTables tables = LoadPhaseTables(33.0f);
  const TrialResult absent = LocateTrial(RecordPointers(without.records), view.Trial().epicentreLat,
                                         view.Trial().epicentreLon, *tables.p, *tables.s);
  ASSERT_TRUE(absent.ok()) << absent.reason;
  EXPECT_EQ(made->originTicks, absent.originTicks);
  EXPECT_EQ(Bits(made->rms), Bits(absent.rms));

  const Snapshot before = Take(view);
  ASSERT_TRUE(view.SaveExercise(Path("quake/left.orvex")));
  Disturb();
  ASSERT_TRUE(view.OpenExercise(Path("quake/left.orvex")));
  EXPECT_EQ(Take(view), before);  // the trial made again: the same RMS
  EXPECT_TRUE(view.Records()[kLeft]->leftOut);
  EXPECT_FALSE(view.Records()[kLeft + 1]->leftOut);
  EXPECT_FALSE(HasPick(*view.Records()[kCleared]));
  // Taken back in, the station counts again.
  QTest::keyClick(windowOf(kLeft), Qt::Key_L);
  EXPECT_FALSE(view.Records()[kLeft]->leftOut);
  EXPECT_EQ(view.TryEpicentre(centre)->picked, 7);
}

// The band-pass a station's window draws through is part of the work: it
// makes the work unsaved, is stored with the seismogram and comes back in the
// window and its caption; the samples are never filtered. A stored band that
// the seismogram's sampling cannot carry is not put back, and the message
// says so.
TEST_F(ViewExercise, AFilterChosenForAStationComesBackWithTheExercise) {
  constexpr std::size_t kFiltered = 1;
  Work(false);
  ASSERT_TRUE(view.SaveExercise(Path("quake/plain.orvex")));
  const auto windowOf = [this](std::size_t i) -> Event* {
    for (QMdiSubWindow* frame : view.SeismogramWindows())
      if (auto* w = qobject_cast<Event*>(frame->widget()); w && &w->Record() == view.Records()[i].get()) return w;
    return nullptr;
  };
  KSAC& record = *view.Records()[kFiltered];
  const std::vector<float> read(record.samples.get(), record.samples.get() + record.GetIntHeader(KSAC::NPTS));
  const BandPass band = SeismogramWindow::FilterPresets()[1];
  ASSERT_NE(windowOf(kFiltered), nullptr);
  ASSERT_TRUE(windowOf(kFiltered)->SetFilter(record, band)) << view.MessageText().toStdString();
  EXPECT_TRUE(view.IsModified());
  const QString caption = windowOf(kFiltered)->parentWidget()->windowTitle();
  EXPECT_TRUE(caption.endsWith(" [1-5 Hz]")) << caption.toStdString();
  const Snapshot before = Take(view);
  ASSERT_TRUE(view.SaveExercise(Path("quake/filtered.orvex")));
  const auto stored = ReadExerciseFile(Path("quake/filtered.orvex"));
  ASSERT_TRUE(stored);
  for (std::size_t i = 0; i < stored->seismograms.size(); ++i)
    EXPECT_EQ(stored->seismograms[i].filter, i == kFiltered ? std::optional<BandPass>(band) : std::nullopt) << i;

  Disturb();
  ASSERT_TRUE(view.OpenExercise(Path("quake/filtered.orvex")));
  EXPECT_EQ(Take(view), before);
  EXPECT_FALSE(view.IsModified());
  EXPECT_EQ(view.Records()[kFiltered]->filter, band);
  EXPECT_FALSE(view.Records()[kFiltered + 1]->filter);
  EXPECT_EQ(windowOf(kFiltered)->parentWidget()->windowTitle(), caption);
  const KSAC& back = *view.Records()[kFiltered];
  EXPECT_TRUE(std::equal(read.begin(), read.end(), back.samples.get()));
  ASSERT_TRUE(view.OpenExercise(Path("quake/plain.orvex")));
  EXPECT_FALSE(view.Records()[kFiltered]->filter);

  // A band above the seismogram's Nyquist frequency, written by hand.
  QFile file(Path("quake/filtered.orvex"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray text = file.readAll();
  file.close();
  EXPECT_TRUE(text.contains("\"orvex\": 1"));  // no newer version for a filter
  ASSERT_TRUE(text.contains("\"high\": 5"));
  text.replace("\"high\": 5", "\"high\": 5000");
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(text), text.size());
  file.close();
  ASSERT_TRUE(view.OpenExercise(Path("quake/filtered.orvex")));
  EXPECT_FALSE(view.Records()[kFiltered]->filter);
  EXPECT_TRUE(view.MessageText().contains("its filter was not kept")) << view.MessageText().toStdString();
  EXPECT_TRUE(view.MessageText().contains("Nyquist")) << view.MessageText().toStdString();
}

// A data centre's event: one miniSEED file of many channels with the
// StationXML of their stations. Each pick comes back on its own channel, at
// its own station.
TEST_F(ViewExercise, ADataCentreEventComesBackWithEachPickOnItsChannel) {
  const fs::path event = fs::path(kExamples) / "miniseed-tohoku-synthetic";
  fs::create_directories(dir / "tohoku");
  for (const char* name : {"event.mseed", "stations.xml"}) fs::copy_file(event / name, dir / "tohoku" / name);
  // A horizontal component beside them is not opened, and the status bar says so.
  {
    std::vector<unsigned char> bytes;
    std::string reason;
    ASSERT_TRUE(EncodeMiniSEED("XX", "EXTRA", "", "BHN", 1'299'822'324'100'000LL, 20.0, std::vector<float>(100, 1.0f),
                               {}, bytes, reason));
    std::ofstream(dir / "tohoku" / "extra.mseed", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  view.MultipleWindowSeismograms();
  view.OpenEventFiles({Path("tohoku/event.mseed"), Path("tohoku/stations.xml"), Path("tohoku/extra.mseed")},
                      SeismogramFormat::kMiniSEED);
  ASSERT_EQ(view.Records().size(), 12u);
  EXPECT_EQ(view.MessageText(), "Opened 12 seismogram(s). 1 other component(s) not opened (only vertical ones are).");
  EXPECT_TRUE(view.SeismogramWindows().front()->windowTitle().startsWith("IC.BJT.00.BHZ (event.mseed)"))
      << view.SeismogramWindows().front()->windowTitle().toStdString();
  for (std::size_t i = 0; i < view.Records().size(); ++i) view.Records()[i]->SetPick(0, 300.0f + 10.0f * i);
  view.PicksChanged();
  const Snapshot before = Take(view);
  const float yssLatitude = view.Records().back()->GetFloatHeader(KSAC::STLA);  // IU.YSS, last by channel
  ASSERT_EQ(yssLatitude, 46.9587f);
  ASSERT_TRUE(view.SaveExercise(Path("tohoku/work.orvex")));
  const auto stored = ReadExerciseFile(Path("tohoku/work.orvex"));
  ASSERT_TRUE(stored);
  EXPECT_EQ(ExerciseVersionOf(*stored), 2);
  EXPECT_EQ(stored->seismograms[0].path, "event.mseed");
  EXPECT_EQ(stored->seismograms[0].channel, "IC.BJT.00.BHZ");
  ASSERT_EQ(stored->with.size(), 1u);
  EXPECT_EQ(stored->with[0].path, "stations.xml");

  Disturb();
  QString error;
  ASSERT_TRUE(view.OpenExercise(Path("tohoku/work.orvex"), &error)) << error.toStdString();
  EXPECT_EQ(Take(view), before);
  EXPECT_EQ(view.Records().back()->GetFloatHeader(KSAC::STLA), yssLatitude);
  EXPECT_EQ(view.Records().back()->GetCharHeaderText(KSAC::KSTNM), "YSS");
}

TEST_F(ViewExercise, AMovedFolderOpensThroughItsRelativePaths) {
  Work();
  const Snapshot before = Take(view);
  ASSERT_TRUE(view.SaveExercise(Path("quake/work.orvex")));
  Disturb();
  fs::rename(dir / "quake", dir / "moved");
  QString error;
  ASSERT_TRUE(view.OpenExercise(Path("moved/work.orvex"), &error)) << error.toStdString();
  EXPECT_EQ(Take(view), before);
  EXPECT_EQ(view.EventPaths().front(), Path("moved/TAIG.sac"));
}

TEST_F(ViewExercise, AChangedSeismogramIsNamedAndTheRestOpens) {
  Work();
  ASSERT_TRUE(view.SaveExercise(Path("quake/work.orvex")));
  Disturb();
  {
    std::fstream f(dir / "quake" / "KODK.sac", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(700);
    f.put('\x42');
  }
  fs::remove(dir / "quake" / "ORPL.sac");
  std::ofstream(dir / "quake" / "HVLO.sac", std::ios::binary | std::ios::app) << "more";
  ASSERT_TRUE(view.OpenExercise(Path("quake/work.orvex")));
  EXPECT_EQ(view.Records().size(), kOnsets.size() - 3);
  const std::string message = view.MessageText().toStdString();
  EXPECT_NE(message.find("KODK.sac (changed since the exercise was saved)"), std::string::npos) << message;
  EXPECT_NE(message.find("ORPL.sac (missing)"), std::string::npos) << message;
  EXPECT_NE(message.find("HVLO.sac (changed since the exercise was saved)"), std::string::npos) << message;
  // The others carry their picks, and the trials were made again on them.
  for (const auto& r : view.Records()) EXPECT_TRUE(HasPick(*r)) << r->fileName;
  EXPECT_EQ(trialList.size(), 3u);
  EXPECT_NE(message.find("now has RMS"), std::string::npos) << message;
  EXPECT_GE(reports.reports().size(), 3u);
}

// A seismogram that cannot be opened now is still the student's: a save
// writes it back as it was stored, and the trials keep their stored RMS
// (made again without that station they come out otherwise).
TEST_F(ViewExercise, ASeismogramLeftOutAtOpeningIsSavedBackUnchanged) {
  Work();
  const Snapshot before = Take(view);
  ASSERT_TRUE(view.SaveExercise(Path("quake/work.orvex")));
  const auto stored = ReadExerciseFile(Path("quake/work.orvex"));
  ASSERT_TRUE(stored);
  Disturb();
  fs::rename(dir / "quake" / "KODK.sac", dir / "KODK.sac");
  ASSERT_TRUE(view.OpenExercise(Path("quake/work.orvex")));
  ASSERT_EQ(view.Records().size(), kOnsets.size() - 1);
  ASSERT_TRUE(view.MessageText().contains("now has RMS")) << view.MessageText().toStdString();

  // Saved into another folder: the relative path still names the same file.
  fs::create_directories(dir / "elsewhere");
  ASSERT_TRUE(view.SaveExercise(Path("elsewhere/again.orvex")));
  EXPECT_EQ(view.KeptSeismogramsNote(), "; 1 seismogram kept without being opened: KODK.sac");
  const auto again = ReadExerciseFile(Path("elsewhere/again.orvex"));
  ASSERT_TRUE(again);
  ASSERT_EQ(again->seismograms.size(), stored->seismograms.size());
  for (std::size_t i = 0; i < stored->seismograms.size(); ++i) {
    const ExerciseSeismogram& was = stored->seismograms[i];
    ExerciseSeismogram entry = again->seismograms[i];
    SCOPED_TRACE(was.path);
    EXPECT_EQ(ResolvedSeismogramPath(entry.path, Path("elsewhere/again.orvex")),
              ResolvedSeismogramPath(was.path, Path("quake/work.orvex")));
    EXPECT_EQ(entry.size, was.size);
    EXPECT_EQ(entry.sha256, was.sha256);
    EXPECT_EQ(entry.pick, was.pick);
    // The one left out keeps even the marks of the last trial stored.
    entry.path = was.path;
    if (was.path == "KODK.sac") {
      EXPECT_EQ(entry, was);
    }
  }
  EXPECT_EQ(again->trials, stored->trials);
  EXPECT_EQ(again->lastTrial, stored->lastTrial);

  // With the file back, the work is whole again, to the last bit.
  fs::rename(dir / "KODK.sac", dir / "quake" / "KODK.sac");
  Disturb();
  ASSERT_TRUE(view.OpenExercise(Path("elsewhere/again.orvex")));
  EXPECT_EQ(Take(view), before);
  EXPECT_FALSE(view.MessageText().contains("now has RMS")) << view.MessageText().toStdString();
  EXPECT_TRUE(view.KeptSeismogramsNote().isEmpty());
}

// What the depth panel, the maximum-RMS dialog and stored settings can give
// is saved and opened again (a depth of -50 km from an earlier version's
// panel, a maximum RMS of -10 from -15, the largest radius a setting holds).
TEST_F(ViewExercise, EveryDepthAndMaximumRmsTheProgramHoldsOpensAgain) {
  Work();
  const struct {
    float depth;
    int maximumRms;
    float radius;
  } rows[] = {{-50.0f, -10, 400.0f},
              {-FLT_MAX, INT_MIN, 1.0f},
              {FLT_MAX, INT_MAX, 2147483647.0f},
              {1e11f, 0, std::numeric_limits<float>::infinity()}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.depth);
    view.SetDepth(row.depth);
    maximumRms = row.maximumRms;
    view.SetGlobe(GlobeView{142.8f, -41.3f, row.radius});
    QString error;
    ASSERT_TRUE(view.SaveExercise(Path("quake/extreme.orvex"), &error)) << error.toStdString();
    Disturb();
    ASSERT_TRUE(view.OpenExercise(Path("quake/extreme.orvex"), &error)) << error.toStdString();
    EXPECT_EQ(view.Depth(), row.depth);
    EXPECT_EQ(maximumRms, row.maximumRms);
    EXPECT_EQ(view.Globe().radius, std::min(row.radius, FLT_MAX));
  }
}

// A new depth panel shows the depth in use truncated towards zero, held at
// the limits of int for a depth beyond them.
TEST_F(ViewExercise, TheDepthPanelHoldsAHugeDepthAtTheLimit) {
  for (const auto& [depth, shown] : {std::pair{1e11f, INT_MAX}, std::pair{-1e11f, INT_MIN}, std::pair{-25.7f, -25}}) {
    view.SetDepth(depth);
    DepthCB* panel = view.SetDepthCommand();
    EXPECT_EQ(panel->depthKm(), shown) << depth;
  }
}

TEST_F(ViewExercise, DamagedOrForeignExercisesChangeNothing) {
  Work();
  ASSERT_TRUE(view.SaveExercise(Path("quake/work.orvex")));
  view.TryEpicentre(QPoint(view.viewport()->width() / 3 + 5, view.viewport()->height() / 2 + 5));
  const Snapshot before = Take(view);
  ASSERT_TRUE(view.IsModified());

  std::string text;
  {
    std::ifstream in(dir / "quake" / "work.orvex", std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::ofstream(dir / "truncated.orvex", std::ios::binary) << text.substr(0, text.size() / 2);
  std::ofstream(dir / "foreign.orvex", std::ios::binary) << R"({"type": "FeatureCollection", "features": []})";
  fs::copy_file(dir / "quake" / "TAIG.sac", dir / "seismogram.orvex");
  // A good file whose seismograms are all gone.
  fs::create_directories(dir / "empty");
  fs::copy_file(dir / "quake" / "work.orvex", dir / "empty" / "work.orvex");
  for (const char* name : {"truncated.orvex", "foreign.orvex", "seismogram.orvex", "empty/work.orvex", "none.orvex"}) {
    SCOPED_TRACE(name);
    QString error;
    EXPECT_FALSE(view.OpenExercise(Path(name), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(view.MessageText().contains("was not opened")) << view.MessageText().toStdString();
    EXPECT_EQ(Take(view), before);
    EXPECT_TRUE(view.IsModified());
  }
}

// Another Earth model empties the trial list, as a new depth does, and the
// next trial is made with that model's tables.
TEST_F(ViewExercise, AnEarthModelChangeEmptiesTheTrialsAndTheNextTrialUsesItsTables) {
  Work();
  const RMS first = trialList.front();
  view.SetModel(EarthModel::kAk135);
  EXPECT_EQ(view.Model(), EarthModel::kAk135);
  EXPECT_TRUE(trialList.empty());
  const std::optional<TrialResult> made =
      view.TryEpicentre(QPoint(view.viewport()->width() / 3, view.viewport()->height() / 2));
  ASSERT_TRUE(made && made->ok());
  ASSERT_EQ(trialList.size(), 1u);
  ASSERT_EQ(Bits(trialList[0].lat), Bits(first.lat));
  ASSERT_EQ(Bits(trialList[0].lon), Bits(first.lon));

  std::vector<TrialStation> stations(view.Records().size());
  for (std::size_t i = 0; i < stations.size(); ++i) StationOf(*view.Records()[i], stations[i]);
  const auto rmsWith = [&](EarthModel model) {
    const PhaseTables tables = LoadPhaseTables(33.0f, model);
    return EvaluateTrial(stations, first.lat, first.lon, *tables.p, *tables.s, {}).rms;
  };
  EXPECT_EQ(Bits(made->rms), Bits(rmsWith(EarthModel::kAk135)));
  EXPECT_EQ(Bits(first.rms), Bits(rmsWith(EarthModel::kIasp91)));
  EXPECT_NE(made->rms, first.rms);
  EXPECT_TRUE(view.MessageText().contains("AK135")) << view.MessageText().toStdString();
  EXPECT_TRUE(view.accessibleDescription().contains("Earth model AK135"));
}

// The model is part of the work: saved with it, and the trials of an
// exercise opened again are made with its tables, to the stored RMS.
TEST_F(ViewExercise, AnExerciseOnAnotherModelOpensWithItsModel) {
  view.SetModel(EarthModel::kAk135);
  Work();
  const Snapshot before = Take(view);
  ASSERT_TRUE(view.SaveExercise(Path("quake/ak135.orvex")));
  const auto stored = ReadExerciseFile(Path("quake/ak135.orvex"));
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->model, EarthModel::kAk135);
  Disturb();
  view.SetModel(EarthModel::kIasp91);
  ASSERT_TRUE(view.OpenExercise(Path("quake/ak135.orvex")));
  EXPECT_EQ(view.Model(), EarthModel::kAk135);
  EXPECT_EQ(Take(view), before);
  EXPECT_FALSE(view.MessageText().contains("now has RMS")) << view.MessageText().toStdString();
  EXPECT_EQ(view.CurrentSettings().model, EarthModel::kAk135);
}

TEST_F(ViewExercise, SavingNeedsAnOpenEvent) {
  QString error;
  EXPECT_FALSE(view.SaveExercise(Path("nothing.orvex"), &error));
  EXPECT_EQ(error, "no event is open");
  EXPECT_FALSE(fs::exists(dir / "nothing.orvex"));
}

TEST_F(ViewExercise, WhatMakesTheWorkUnsaved) {
  QSignalSpy spy(&view, &View::workChanged);
  EXPECT_FALSE(view.IsModified());
  view.SetDepth(10.0f);  // nothing open: nothing to save
  EXPECT_FALSE(view.IsModified());
  view.OpenEventFiles(Files("quake"));
  EXPECT_TRUE(view.IsModified());
  ASSERT_TRUE(view.SaveExercise(Path("quake/a.orvex")));
  EXPECT_FALSE(view.IsModified());
  view.PicksChanged();
  EXPECT_TRUE(view.IsModified());
  ASSERT_TRUE(view.SaveExercise(Path("quake/a.orvex")));
  view.SetDepth(33.0f);
  EXPECT_TRUE(view.IsModified());
  ASSERT_TRUE(view.OpenExercise(Path("quake/a.orvex")));
  EXPECT_FALSE(view.IsModified());
  view.CloseEvent();
  EXPECT_FALSE(view.IsModified());
  EXPECT_GE(spy.count(), 6);
}

}  // namespace
}  // namespace orvane
