// The trial location: the worked examples of the arithmetic, the records
// without a pick, the refusals, and the list of trials.

#include "location/TrialLocation.h"
#include "platform/ErrorReport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "location/GreatCircle.h"
#include "location/RMS.h"
#include "location/TableText.h"
#include "support/TrialStateGuard.h"
#include "seismogram/KSAC.h"

namespace orvane {
namespace {

using test::ScratchDirectory;
using test::TableText;

constexpr float kPole = 90.0f;  // station and epicentre on the pole: distance exactly 0

// P: 5.7 s up to 9 degrees, 14.2 s from 10 degrees on; S: 9.0 s and 25.0 s.
// The flat parts make the travel time exact whatever the rounding of the
// distance.
std::string StepTable(double nearTime, double farTime) {
  return TableText(181, [=](int i) { return i < 10 ? nearTime : farTime; });
}

SYSTEMTIME At(int hour, int minute, int second, int ms) {
  SYSTEMTIME t;
  t.wYear = 2026;
  t.wMonth = 3;
  t.wDay = 1;
  t.wHour = static_cast<std::uint16_t>(hour);
  t.wMinute = static_cast<std::uint16_t>(minute);
  t.wSecond = static_cast<std::uint16_t>(second);
  t.wMilliseconds = static_cast<std::uint16_t>(ms);
  return t;
}

std::unique_ptr<KSAC> Record(const char* name, float stla, float stlo, float pick,
                             SYSTEMTIME start = At(10, 0, 0, 0)) {
  auto samples = std::make_unique<float[]>(10);
  auto r = std::make_unique<KSAC>(10, std::move(samples), stla, stlo, 0.0f, 0.05f, name, "BHZ", start);
  r->fileName = std::string(name) + ".sac";
  if (pick != 0.0f) r->SetPick(0, pick);
  return r;
}

FileTime Ticks(const SYSTEMTIME& t) {
  FileTime ticks = 0;
  EXPECT_TRUE(SystemTimeToFileTime(t, ticks));
  return ticks;
}

class TrialTest : public testing::Test {
 protected:
  void SetUp() override {
    test::WriteFile(dir_.path() / "P.JB", StepTable(5.7, 14.2));
    test::WriteFile(dir_.path() / "S.JB", StepTable(9.0, 25.0));
  }

  TrialResult Try(float lat, float lon, float depth = 0.0f) {
    std::vector<KSAC*> pointers = RecordPointers(records_);
    ScopedErrorReportCapture quiet;
    return TrialLocation(pointers, lat, lon, depth, state_);
  }

  ScratchDirectory dir_;
  test::TrialStateGuard trials_;
  std::vector<std::unique_ptr<KSAC>> records_;
  TrialState state_;
};

TEST_F(TrialTest, OneStationPickedAfterTheOrigin) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.originTicks, Ticks(At(10, 0, 0, 0)) + 73'000'000);  // 12.3 - 5 whole seconds
  EXPECT_EQ(r.originTime.wSecond, 7);
  EXPECT_EQ(r.originTime.wMilliseconds, 300);
  const KSAC& a = *records_[0];
  EXPECT_EQ(a.GetFloatHeader(KSAC::GCARC), 0.0f);
  EXPECT_FLOAT_EQ(a.GetPick(1), 13.0f);            // 5.7 + 7.3
  EXPECT_FLOAT_EQ(a.GetPick(2), 16.3f);            // 9.0 + 7.3
  EXPECT_EQ(a.GetFloatHeader(KSAC::USER5), 0.0f);  // obs 5.0 s lies below the table
  EXPECT_NEAR(r.rms, 0.7f, 1e-5);
  EXPECT_EQ(r.picked, 1);
}

TEST_F(TrialTest, OneStationPickedBeforeTheOrigin) {
  records_.push_back(Record("A", kPole, 0.0f, 2.0f));
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.originTicks, Ticks(At(10, 0, 0, 0)) - 30'000'000);
  EXPECT_EQ(r.originTime.wHour, 9);
  EXPECT_EQ(r.originTime.wMinute, 59);
  EXPECT_EQ(r.originTime.wSecond, 57);
  EXPECT_FLOAT_EQ(records_[0]->GetPick(1), 2.7f);  // 5.7 - 3.0
  EXPECT_FLOAT_EQ(records_[0]->GetPick(2), 6.0f);
  EXPECT_NEAR(r.rms, 0.7f, 1e-5);
}

TEST_F(TrialTest, TwoStationsAndTheOriginCutToTenths) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  records_.push_back(Record("B", 60.0f, 0.0f, 20.0f));  // 30 degrees away: 14.2 s
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.originTicks, Ticks(At(10, 0, 0, 0)) + 66'500'000);  // 6.65 s
  EXPECT_EQ(r.originTime.wSecond, 6);
  EXPECT_EQ(r.originTime.wMilliseconds, 650);
  EXPECT_FLOAT_EQ(records_[0]->GetPick(1), 12.3f);  // dt cut to 6.6: residual 0.0
  EXPECT_FLOAT_EQ(records_[1]->GetPick(1), 20.8f);  // residual 0.8
  EXPECT_NEAR(records_[1]->GetFloatHeader(KSAC::GCARC), 30.0f, 1e-3);
  EXPECT_NEAR(r.rms, std::sqrt(0.64f / 2), 1e-5);
}

// Origin 6.65 s before the reference time: the gap is cut to whole tenths
// towards zero (6.6 s, not 6.7 s), and the predicted arrivals move back by it.
TEST_F(TrialTest, OriginBeforeTheReferenceIsCutTowardsZero) {
  records_.push_back(Record("A", kPole, 0.0f, 1.0f));  // 5.7 s away: 1.0 - 5 s
  records_.push_back(Record("B", 60.0f, 0.0f, 4.7f));  // 14.2 s away: 4.7 - 14 s
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.originTicks, Ticks(At(10, 0, 0, 0)) - 66'500'000);
  EXPECT_EQ(r.originTime.wSecond, 53);
  EXPECT_EQ(r.originTime.wMilliseconds, 350);
  EXPECT_FLOAT_EQ(records_[0]->GetPick(1), 5.7f - 6.6f);
  EXPECT_FLOAT_EQ(records_[1]->GetPick(1), 14.2f - 6.6f);
  EXPECT_FLOAT_EQ(records_[1]->GetPick(2), 25.0f - 6.6f);
  // Residuals -1.9 s and 2.9 s.
  EXPECT_NEAR(r.rms, std::sqrt((1.9 * 1.9 + 2.9 * 2.9) / 2), 1e-5);
}

TEST_F(TrialTest, OriginIsTruncatedByTheIntegerDivision) {
  records_.push_back(Record("A", kPole, 0.0f, 10.0f));
  records_.push_back(Record("B", kPole, 0.0f, 10.0f));
  records_.push_back(Record("C", kPole, 0.0f, 10.1f));
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  // (50 + 50 + 51) * 1e6 ticks over 3 records.
  EXPECT_EQ(r.originTicks, Ticks(At(10, 0, 0, 0)) + 50'333'333);
  EXPECT_EQ(r.originTime.wMilliseconds, 33);
  EXPECT_FLOAT_EQ(records_[2]->GetPick(1), 10.7f);  // dt = 5.0
}

TEST_F(TrialTest, ReferenceTimesWithMillisecondsAndDifferentRecords) {
  // B starts 1.25 s later than A; its predicted arrival is counted from its
  // own reference time.
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  records_.push_back(Record("B", kPole, 0.0f, 11.1f, At(10, 0, 1, 250)));
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  // Pick ticks: A ref + 123e6, B ref + 1.25 s + 111e6; minus 5 s each.
  const FileTime ref = Ticks(At(10, 0, 0, 0));
  EXPECT_EQ(r.originTicks, (2 * ref + 12'500'000 + 123'000'000 + 111'000'000 - 100'000'000) / 2);
  // origin = ref + 7.325 s: A is 73 tenths after its reference, B 60 tenths.
  EXPECT_FLOAT_EQ(records_[0]->GetPick(1), 5.7f + 7.3f);
  EXPECT_FLOAT_EQ(records_[1]->GetPick(1), 5.7f + 6.0f);
}

TEST_F(TrialTest, WritesEveryFieldAndClearsTheLaterSlots) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  records_[0]->SetFloatHeader(15, 4.0f);  // t5
  records_[0]->SetFloatHeader(19, 9.0f);  // t9
  ASSERT_TRUE(Try(kPole, 0.0f).ok());
  for (int slot = 3; slot <= 9; ++slot) EXPECT_EQ(records_[0]->GetPick(slot), 0.0f) << slot;
  EXPECT_EQ(records_[0]->GetPick(0), 12.3f);
}

TEST_F(TrialTest, ImpliedDistanceOfTheObservedTime) {
  // A table 10 s per degree: a station 40 degrees away picked at the exact
  // travel time implies 40 degrees up to the whole-second and tenth cuts.
  test::WriteFile(dir_.path() / "P.JB", TableText(181, [](int i) { return 10.0 * i; }));
  records_.push_back(Record("A", 50.0f, 0.0f, 401.0f));
  records_.push_back(Record("B", 10.0f, 0.0f, 801.0f));
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  for (const auto& rec : records_) {
    SCOPED_TRACE(rec->fileName);
    const float gcarc = rec->GetFloatHeader(KSAC::GCARC);
    EXPECT_NEAR(rec->GetFloatHeader(KSAC::USER5), gcarc, 0.15f);
    EXPECT_NEAR(rec->GetPick(1), rec->GetPick(0), 1.0f);
  }
}

TEST_F(TrialTest, UnpickedRecordsTakeNoPartButGetPredictions) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  records_.push_back(Record("C", 60.0f, 0.0f, 0.0f));  // not picked
  records_.push_back(Record("B", 60.0f, 0.0f, 20.0f));
  records_[1]->SetFloatHeader(KSAC::USER5, 77.0f);
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  // Exactly the two-station example.
  EXPECT_EQ(r.originTicks, Ticks(At(10, 0, 0, 0)) + 66'500'000);
  EXPECT_NEAR(r.rms, std::sqrt(0.64f / 2), 1e-5);
  EXPECT_EQ(r.picked, 2);
  const KSAC& c = *records_[1];
  EXPECT_NEAR(c.GetFloatHeader(KSAC::GCARC), 30.0f, 1e-3);
  EXPECT_FLOAT_EQ(c.GetPick(1), 20.8f);  // 14.2 + 6.6
  EXPECT_FLOAT_EQ(c.GetPick(2), 31.6f);  // 25.0 + 6.6
  EXPECT_EQ(c.GetFloatHeader(KSAC::USER5), 0.0f);
  EXPECT_EQ(c.GetPick(0), 0.0f);
}

// An unpicked record that starts after the origin: its observed time would be
// dt itself (12.7 s, inside the P table), but without a pick it implies no
// distance.
TEST_F(TrialTest, UnpickedRecordStartingAfterTheOriginImpliesNoDistance) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));                    // origin 10:00:07.3
  records_.push_back(Record("C", 60.0f, 0.0f, 0.0f, At(10, 0, 20, 0)));  // 12.7 s later
  records_[1]->SetFloatHeader(KSAC::USER5, 77.0f);
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  const JB p("P", 0.0f);
  ASSERT_NE(p.DistanceAt(12.7f), 0.0f);
  const KSAC& c = *records_[1];
  EXPECT_FLOAT_EQ(c.GetPick(1), 14.2f - 12.7f);
  EXPECT_EQ(c.GetFloatHeader(KSAC::USER5), 0.0f);
}

TEST_F(TrialTest, ManyRecordsDoNotOverflowTheTickSum) {
  // 200 present-day tick counts sum beyond 2^63.
  for (int i = 0; i < 200; ++i) records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  const TrialResult r = Try(kPole, 0.0f);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.originTicks, Ticks(At(10, 0, 0, 0)) + 73'000'000);
  EXPECT_NEAR(r.rms, 0.7f, 1e-5);
}

TEST_F(TrialTest, SuccessSetsTheStateAndAppendsToTheList) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  ASSERT_TRUE(Try(kPole, 0.0f).ok());
  ASSERT_EQ(trialList.size(), 1u);
  EXPECT_EQ(trialList[0].lat, kPole);
  EXPECT_NEAR(trialList[0].rms, 0.7f, 1e-5);
  EXPECT_EQ(state_.epicentreLat, kPole);
  EXPECT_EQ(state_.originTime.wSecond, 7);
  EXPECT_EQ(state_.rms, trialList[0].rms);
  // A trial on the equator is appended too (the map shows no epicentre for it).
  ASSERT_TRUE(Try(0.0f, 15.0f).ok());
  ASSERT_EQ(trialList.size(), 2u);
  EXPECT_EQ(trialList[1].lon, 15.0f);
  EXPECT_EQ(state_.epicentreLat, 0.0f);
}

// Everything a refusal must leave alone.
struct Snapshot {
  std::vector<std::vector<unsigned char>> headers;
  std::size_t listSize;
  std::vector<RMS> list;
  TrialState state;
};

Snapshot Take(const std::vector<std::unique_ptr<KSAC>>& records, const TrialState& state) {
  Snapshot s;
  for (const auto& r : records) s.headers.emplace_back(r->header.get(), r->header.get() + KSAC::kHeaderBytes);
  s.listSize = trialList.size();
  s.list = trialList;
  s.state = state;
  return s;
}

void ExpectUnchanged(const Snapshot& before, const std::vector<std::unique_ptr<KSAC>>& records,
                     const TrialState& state) {
  const Snapshot after = Take(records, state);
  EXPECT_EQ(after.headers, before.headers);
  ASSERT_EQ(after.listSize, before.listSize);
  for (std::size_t i = 0; i < after.listSize; ++i) EXPECT_EQ(after.list[i].rms, before.list[i].rms);
  EXPECT_EQ(std::memcmp(&after.state, &before.state, sizeof(TrialState)), 0);
}

TEST_F(TrialTest, EmptyTablesRefuseAndChangeNothing) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  ASSERT_TRUE(Try(kPole, 0.0f).ok());  // a first trial that the refusals must keep
  for (const char* name : {"P.JB", "S.JB"}) {
    SCOPED_TRACE(name);
    test::WriteFile(dir_.path() / name, "");
    const Snapshot before = Take(records_, state_);
    std::vector<KSAC*> pointers = RecordPointers(records_);
    ScopedErrorReportCapture capture;
    const TrialResult r = TrialLocation(pointers, 10.0f, 20.0f, 0.0f, state_);
    const std::string report = capture.text();
    ASSERT_EQ(capture.reports().size(), 1u);
    EXPECT_EQ(capture.reports()[0].code, 3001);
    EXPECT_EQ(capture.reports()[0].module, name);
    EXPECT_EQ(r.status, TrialStatus::kMissingTable);
    EXPECT_EQ(r.file, name);
    EXPECT_NE(r.reason.find(name), std::string::npos) << r.reason;
    EXPECT_NE(report.find(name), std::string::npos) << report;
    EXPECT_NE(report.find("3001"), std::string::npos) << report;
    ExpectUnchanged(before, records_, state_);
    test::WriteFile(dir_.path() / name, StepTable(5.7, 14.2));
  }
}

TEST_F(TrialTest, MissingTableFileRefuses) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  const JB p("NoSuchPhase", 0.0f);
  const JB s("S", 0.0f);
  const Snapshot before = Take(records_, state_);
  std::vector<KSAC*> pointers = RecordPointers(records_);
  const TrialResult r = LocateTrial(pointers, 10.0f, 20.0f, p, s);
  EXPECT_EQ(r.status, TrialStatus::kMissingTable);
  EXPECT_EQ(r.file, "NoSuchPhase.JB");
  EXPECT_NE(r.reason.find("missing"), std::string::npos);
  ExpectUnchanged(before, records_, state_);
}

TEST_F(TrialTest, NoPickRefusesAndChangesNothing) {
  records_.push_back(Record("A", kPole, 0.0f, 0.0f));
  records_.push_back(Record("B", 60.0f, 0.0f, 0.0f));
  const Snapshot before = Take(records_, state_);
  std::vector<KSAC*> pointers = RecordPointers(records_);
  ScopedErrorReportCapture capture;
  const TrialResult r = TrialLocation(pointers, 10.0f, 20.0f, 0.0f, state_);
  const std::string report = capture.text();
  EXPECT_EQ(r.status, TrialStatus::kNoPick);
  EXPECT_NE(report.find("3002"), std::string::npos) << report;
  ExpectUnchanged(before, records_, state_);
}

// Ways a record can be unable to take part in a trial; "picked" rows spoil
// a record with a pick, the others an unpicked one.
struct Spoil {
  const char* what;
  const char* reason;
  void (*spoil)(KSAC&);
};
const Spoil kSpoils[] = {
    {"no reference year", "no valid reference time", [](KSAC& r) { r.SetIntHeader(KSAC::NZYEAR, -12345); }},
    {"hour 25", "no valid reference time", [](KSAC& r) { r.SetIntHeader(KSAC::NZHOUR, 25); }},
    {"undefined position", "no station position (stla, stlo undefined)",
     [](KSAC& r) {
       r.SetFloatHeader(KSAC::STLA, -12345.0f);
       r.SetFloatHeader(KSAC::STLO, -12345.0f);
     }},
    {"undefined longitude", "no station position (stla, stlo undefined)",
     [](KSAC& r) { r.SetFloatHeader(KSAC::STLO, -12345.0f); }},
    {"NaN latitude", "a station position that is not a number",
     [](KSAC& r) { r.SetFloatHeader(KSAC::STLA, std::nanf("")); }},
    {"infinite longitude", "a station position that is not a number",
     [](KSAC& r) { r.SetFloatHeader(KSAC::STLO, INFINITY); }},
    {"latitude 90.5", "a station latitude beyond 90 degrees", [](KSAC& r) { r.SetFloatHeader(KSAC::STLA, 90.5f); }},
    {"latitude -91", "a station latitude beyond 90 degrees", [](KSAC& r) { r.SetFloatHeader(KSAC::STLA, -91.0f); }},
    {"NaN pick", "a P pick that is not a usable time", [](KSAC& r) { r.SetFloatHeader(KSAC::T0, std::nanf("")); }},
    {"absurd pick", "a P pick that is not a usable time", [](KSAC& r) { r.SetFloatHeader(KSAC::T0, 3e30f); }},
    {"pick before 1601", "a P pick before the year 1601",
     [](KSAC& r) {
       r.SetReferenceTime(SYSTEMTIME{1601, 1, 0, 1, 0, 0, 10, 0});
       r.SetPick(0, -20.0f);
     }},
};

// A record that cannot take part is left out like an unpicked one: the trial
// is the trial of the others, bit for bit; the record gets no distance and
// no predicted arrivals, and is named with the reason.
TEST_F(TrialTest, RecordsThatCannotTakePartAreLeftOut) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  records_.push_back(Record("B", 60.0f, 0.0f, 20.0f));
  const TrialResult without = Try(kPole, 0.0f);
  ASSERT_TRUE(without.ok()) << without.reason;
  const std::vector<unsigned char> a(records_[0]->header.get(), records_[0]->header.get() + KSAC::kHeaderBytes);
  for (bool picked : {true, false}) {
    for (const Spoil& c : kSpoils) {
      if (!picked && std::string(c.what).find("pick") != std::string::npos) continue;
      SCOPED_TRACE(std::string(c.what) + (picked ? ", picked" : ", not picked"));
      if (records_.size() == 3) records_.erase(records_.begin() + 1);  // the last row's C
      records_.insert(records_.begin() + 1, Record("C", 30.0f, 10.0f, picked ? 15.0f : 0.0f));
      c.spoil(*records_[1]);
      const std::uint32_t t0 = std::bit_cast<std::uint32_t>(records_[1]->GetFloatHeader(KSAC::T0));
      records_[1]->SetPick(1, 99.0f);  // from some earlier trial
      records_[1]->SetPick(2, 199.0f);
      records_[1]->SetFloatHeader(KSAC::GCARC, 12.0f);
      records_[1]->SetFloatHeader(KSAC::USER5, 13.0f);
      std::vector<KSAC*> pointers = RecordPointers(records_);
      testing::internal::CaptureStdout();
      const TrialResult r = TrialLocation(pointers, kPole, 0.0f, 0.0f, state_);
      const std::string report = testing::internal::GetCapturedStdout();
      ASSERT_TRUE(r.ok()) << r.reason;
      EXPECT_EQ(r.originTicks, without.originTicks);
      EXPECT_EQ(r.rms, without.rms);
      EXPECT_EQ(r.picked, 2);
      ASSERT_EQ(r.leftOut.size(), 1u);
      EXPECT_EQ(r.leftOut[0].index, 1u);
      EXPECT_EQ(r.leftOut[0].file, "C.sac");
      EXPECT_EQ(r.leftOut[0].reason, c.reason);
      EXPECT_NE(report.find("In module C.sac"), std::string::npos) << report;
      EXPECT_NE(report.find("Message 3003 :"), std::string::npos) << report;
      const KSAC& spoiled = *records_[1];
      EXPECT_EQ(spoiled.GetFloatHeader(KSAC::GCARC), 0.0f);
      EXPECT_EQ(spoiled.GetPick(1), 0.0f);
      EXPECT_EQ(spoiled.GetPick(2), 0.0f);
      EXPECT_EQ(spoiled.GetFloatHeader(KSAC::USER5), 0.0f);
      EXPECT_EQ(std::bit_cast<std::uint32_t>(spoiled.GetFloatHeader(KSAC::T0)), t0);  // the pick stays
      EXPECT_EQ(std::vector<unsigned char>(records_[0]->header.get(), records_[0]->header.get() + KSAC::kHeaderBytes), a);
      // The same through the search's path.
      std::vector<TrialStation> stations(records_.size());
      for (std::size_t i = 0; i < records_.size(); ++i) StationOf(*records_[i], stations[i]);
      EXPECT_FALSE(stations[1].takesPart);
      const JB p("P", 0.0f), s("S", 0.0f);
      const TrialResult quick = EvaluateTrial(stations, kPole, 0.0f, p, s, {});
      EXPECT_EQ(quick.originTicks, without.originTicks);
      EXPECT_EQ(quick.rms, without.rms);
    }
  }
}

// Only when no picked record can take part is the trial refused; it then
// changes nothing, and still names the records it left out.
TEST_F(TrialTest, NoPickedRecordThatCanTakePartRefuses) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  records_.push_back(Record("B", 60.0f, 0.0f, 0.0f));  // not picked
  records_[0]->SetFloatHeader(KSAC::STLA, -12345.0f);
  const Snapshot before = Take(records_, state_);
  std::vector<KSAC*> pointers = RecordPointers(records_);
  testing::internal::CaptureStdout();
  const TrialResult r = TrialLocation(pointers, 10.0f, 20.0f, 0.0f, state_);
  const std::string report = testing::internal::GetCapturedStdout();
  EXPECT_EQ(r.status, TrialStatus::kNoPick);
  ASSERT_EQ(r.leftOut.size(), 1u);
  EXPECT_EQ(r.leftOut[0].file, "A.sac");
  EXPECT_NE(r.reason.find("can take part"), std::string::npos) << r.reason;
  EXPECT_NE(report.find("Message 3003 :"), std::string::npos) << report;
  EXPECT_NE(report.find("Message 3002 :"), std::string::npos) << report;
  EXPECT_LT(report.find("3003"), report.find("3002")) << report;
  ExpectUnchanged(before, records_, state_);
}

// A position that is not a number (a globe with no usable radius, a bad
// command line) must not become a trial with NaN distances: before this was
// refused, the cut of a NaN travel time to whole seconds gave a garbage origin
// and a NaN RMS reported as a successful trial.
TEST_F(TrialTest, EpicentreThatIsNotANumberIsIgnored) {
  records_.push_back(Record("A", kPole, 0.0f, 12.3f));
  ASSERT_TRUE(Try(kPole, 0.0f).ok());
  const float bad[][2] = {{std::nanf(""), 0.0f}, {10.0f, std::nanf("")}, {INFINITY, 0.0f}, {0.0f, -INFINITY}};
  for (const auto& position : bad) {
    SCOPED_TRACE(testing::Message() << position[0] << "," << position[1]);
    const Snapshot before = Take(records_, state_);
    std::vector<KSAC*> pointers = RecordPointers(records_);
    testing::internal::CaptureStdout();
    const TrialResult r = TrialLocation(pointers, position[0], position[1], 0.0f, state_);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(r.status, TrialStatus::kBadEpicentre);
    ExpectUnchanged(before, records_, state_);
    const JB p("P", 0.0f), s("S", 0.0f);
    TrialStation station;
    ASSERT_TRUE(StationOf(*records_[0], station).ok());
    EXPECT_EQ(EvaluateTrial(std::span(&station, 1), position[0], position[1], p, s, {}).status,
              TrialStatus::kBadEpicentre);
  }
}

TEST_F(TrialTest, NoRecordsNothingHappens) {
  const TrialResult r = Try(10.0f, 20.0f);
  EXPECT_EQ(r.status, TrialStatus::kNoRecords);
  EXPECT_TRUE(trialList.empty());
}

// The search path (no predictions) gives the same numbers as the click path.
TEST_F(TrialTest, RmsOnlyEvaluationMatchesTheFullTrial) {
  test::WriteFile(dir_.path() / "P.JB", TableText(181, [](int i) { return 8.3 * i + 0.01 * i * i; }));
  test::WriteFile(dir_.path() / "S.JB", TableText(181, [](int i) { return 14.9 * i + 0.02 * i * i; }));
  records_.push_back(Record("A", 35.0f, 139.0f, 611.4f));
  records_.push_back(Record("B", -33.9f, 18.4f, 905.0f, At(10, 1, 0, 500)));
  records_.push_back(Record("C", 64.1f, -21.9f, 0.0f));
  records_.push_back(Record("D", 19.4f, -155.3f, 702.7f, At(9, 59, 59, 990)));
  const JB p("P", 0.0f), s("S", 0.0f);
  std::vector<TrialStation> stations(records_.size());
  for (std::size_t i = 0; i < records_.size(); ++i) ASSERT_TRUE(StationOf(*records_[i], stations[i]).ok());
  for (float lat = -80.0f; lat <= 80.0f; lat += 9.7f) {
    for (float lon = -179.0f; lon <= 180.0f; lon += 23.3f) {
      const TrialResult quick = EvaluateTrial(stations, lat, lon, p, s, {});
      std::vector<KSAC*> pointers = RecordPointers(records_);
      const TrialResult full = LocateTrial(pointers, lat, lon, p, s);
      ASSERT_TRUE(quick.ok() && full.ok());
      ASSERT_EQ(quick.originTicks, full.originTicks);
      ASSERT_EQ(quick.rms, full.rms) << lat << " " << lon;
    }
  }
}

// A station the student leaves out keeps its pick, and the trial is the trial
// of the event without it, to the bit: the same origin time, RMS and marks on
// every other record; it still gets its distance and predicted arrivals. With
// every picked station left out there is nothing to locate.
TEST_F(TrialTest, AStationLeftOutGivesTheTrialOfTheEventWithoutIt) {
  test::WriteFile(dir_.path() / "P.JB", TableText(181, [](int i) { return 8.3 * i + 0.01 * i * i; }));
  test::WriteFile(dir_.path() / "S.JB", TableText(181, [](int i) { return 14.9 * i + 0.02 * i * i; }));
  const auto event = [](bool withNoisy) {
    std::vector<std::unique_ptr<KSAC>> records;
    records.push_back(Record("A", 35.0f, 139.0f, 611.4f));
    records.push_back(Record("B", -33.9f, 18.4f, 905.0f, At(10, 1, 0, 500)));
    if (withNoisy) records.push_back(Record("N", 48.1f, 11.6f, 123.4f, At(9, 58, 3, 70)));  // far off
    records.push_back(Record("C", 64.1f, -21.9f, 0.0f));
    records.push_back(Record("D", 19.4f, -155.3f, 702.7f, At(9, 59, 59, 990)));
    return records;
  };
  auto without = event(false);
  records_ = event(true);
  records_[2]->leftOut = true;
  std::vector<KSAC*> all = RecordPointers(records_);
  std::vector<KSAC*> others = RecordPointers(without);
  const JB p("P", 0.0f), s("S", 0.0f);
  for (const auto& [lat, lon] : {std::pair{36.0f, 140.0f}, std::pair{-20.0f, 60.0f}, std::pair{70.0f, -100.0f}}) {
    SCOPED_TRACE(testing::Message() << lat << "," << lon);
    const TrialResult left = LocateTrial(all, lat, lon, p, s);
    const TrialResult absent = LocateTrial(others, lat, lon, p, s);
    ASSERT_TRUE(left.ok() && absent.ok()) << left.reason << absent.reason;
    EXPECT_EQ(left.originTicks, absent.originTicks);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(left.rms), std::bit_cast<std::uint32_t>(absent.rms));
    EXPECT_EQ(left.picked, 3);
    EXPECT_TRUE(left.leftOut.empty());  // nothing to report: the student chose it
    for (std::size_t i = 0, k = 0; i < records_.size(); ++i) {
      if (i == 2) continue;
      const KSAC& a = *records_[i];
      const KSAC& b = *without[k++];
      for (int field : {int(KSAC::GCARC), int(KSAC::USER5), KSAC::T0 + 1, KSAC::T0 + 2})
        EXPECT_EQ(std::bit_cast<std::uint32_t>(a.GetFloatHeader(field)),
                  std::bit_cast<std::uint32_t>(b.GetFloatHeader(field)))
            << a.fileName << " field " << field;
    }
    const KSAC& noisy = *records_[2];
    EXPECT_EQ(noisy.GetPick(0), 123.4f);
    EXPECT_NEAR(noisy.GetFloatHeader(KSAC::GCARC), GreatCircle(48.1f, 11.6f, lat, lon), 1e-4);
    EXPECT_NE(noisy.GetPick(1), 0.0f);
  }
  for (auto& r : records_) r->leftOut = r->GetPick(0) != 0.0f;
  const TrialResult none = LocateTrial(all, 36.0f, 140.0f, p, s);
  EXPECT_EQ(none.status, TrialStatus::kNoPick);
  EXPECT_NE(none.reason.find("left out"), std::string::npos) << none.reason;
}

}  // namespace
}  // namespace orvane
