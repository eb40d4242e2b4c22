// The sample-event generator's pieces: the event description files, the wave
// shapes of one record and the plan of an event's records.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "location/GreatCircle.h"
#include "location/JB.h"
#include "seismogram/PSN.h"
#include "tools/synth-event/EventDescription.h"
#include "tools/synth-event/SampleEvent.h"
#include "tools/synth-event/SyntheticTrace.h"

namespace orvane::synth {
namespace {

const char* const kGoodEvent = R"(# an event
title     Somewhere, a test event
format    sac
origin    2020-06-01T12:34:56.780
epicentre 10.5 -20.25   # degrees
depth     33
reference 2020-06-01T12:30:00
window    P -60 1200
rate      40
seed      77
station   AAA  XX  20.0  -10.0  100
station   BBB  XX  -5.0   30.0   0
)";

std::optional<EventDescription> Parse(const std::string& text, std::string& error) {
  return ParseEventDescription(text, error);
}

double PeakIn(const std::vector<float>& x, const TraceSetting& st, double from, double to) {
  double peak = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double t = st.firstSample + static_cast<double>(i) * st.delta;
    if (t >= from && t < to) peak = std::max(peak, std::fabs(static_cast<double>(x[i])));
  }
  return peak;
}

TEST(EventDescription, ReadsEverySetting) {
  std::string error;
  const auto e = Parse(kGoodEvent, error);
  ASSERT_TRUE(e) << error;
  EXPECT_EQ(e->title, "Somewhere, a test event");
  EXPECT_EQ(e->format, SeismogramFormat::kSAC);
  EXPECT_EQ(FormatUtcTime(e->origin), "2020-06-01T12:34:56.780");
  ASSERT_TRUE(e->reference);
  EXPECT_EQ(FormatUtcTime(*e->reference), "2020-06-01T12:30:00.000");
  EXPECT_EQ(e->lat, 10.5);
  EXPECT_EQ(e->lon, -20.25);
  EXPECT_EQ(e->depth, 33.0);
  EXPECT_EQ(e->anchor, WindowAnchor::kP);
  EXPECT_EQ(e->windowOffset, -60.0);
  EXPECT_EQ(e->windowLength, 1200.0);
  EXPECT_EQ(e->rate, 40.0);
  EXPECT_EQ(e->seed, 77u);
  EXPECT_EQ(e->component, "BHZ");
  ASSERT_EQ(e->stations.size(), 2u);
  EXPECT_EQ(e->stations[1].code, "BBB");
  EXPECT_EQ(e->stations[1].network, "XX");
  EXPECT_EQ(e->stations[1].lat, -5.0);
  EXPECT_EQ(e->stations[1].lon, 30.0);
  EXPECT_EQ(e->stations[0].elevation, 100.0);
}

TEST(EventDescription, SaysWhatIsWrong) {
  const std::pair<std::string, std::string> cases[] = {
      {"depth     33\n", "line 13: depth: given twice"},
      {"depth2 3\n", "line 13: depth2: unknown keyword"},
      {"rate x\n", "rate: given twice"},
  };
  for (const auto& [extra, expected] : cases) {
    std::string error;
    EXPECT_FALSE(Parse(std::string(kGoodEvent) + extra, error)) << extra;
    EXPECT_NE(error.find(expected), std::string::npos) << error;
  }
  std::string text = kGoodEvent, error;
  text.replace(text.find("depth     33"), 12, "depth deep");
  EXPECT_FALSE(Parse(text, error));
  EXPECT_EQ(error, "line 6: depth: not a number: 'deep'");

  text = kGoodEvent;
  text.replace(text.find("window    P"), 11, "window    S");
  EXPECT_FALSE(Parse(text, error));
  EXPECT_NE(error.find("expected P or origin"), std::string::npos) << error;

  text = kGoodEvent;
  text.erase(text.find("reference"), text.find('\n', text.find("reference")) - text.find("reference"));
  EXPECT_FALSE(Parse(text, error));
  EXPECT_EQ(error, "missing: reference");

  text = kGoodEvent;  // a PSN file has no reference time of its own
  text.replace(text.find("format    sac"), 13, "format    psn");
  EXPECT_FALSE(Parse(text, error));
  EXPECT_NE(error.find("PSN"), std::string::npos) << error;

  text = kGoodEvent;
  text.replace(text.find("2020-06-01T12:34:56.780"), 23, "2020-02-30T12:34:56.780");
  EXPECT_FALSE(Parse(text, error));
  EXPECT_NE(error.find("origin"), std::string::npos) << error;

  EXPECT_FALSE(Parse("title x\n", error));
  EXPECT_NE(error.find("missing"), std::string::npos);
}

TEST(EventDescription, TimesRoundTrip) {
  const auto t = ParseUtcTime("2015-04-25T06:11:25.95");
  ASSERT_TRUE(t);
  EXPECT_EQ(FormatUtcTime(*t), "2015-04-25T06:11:25.950");
  EXPECT_FALSE(ParseUtcTime("2015-04-25 06:11:25"));
  EXPECT_FALSE(ParseUtcTime("2015-04-25T06:11:25.9500"));
  EXPECT_FALSE(ParseUtcTime("2015-04-25T24:00:00"));
}

TEST(SyntheticTrace, SameSeedSameSamples) {
  TraceSetting st;
  st.distance = 40.0;
  st.depth = 10.0;
  st.firstSample = 300.0;
  st.delta = 0.05;
  st.npts = 12000;
  st.p = 450.0;
  st.s = 800.0;
  st.pPDelay = 3.0;
  st.seed = 5;
  const WaveSizes sizes;
  EXPECT_EQ(SynthesizeTrace(sizes, st), SynthesizeTrace(sizes, st));
  st.seed = 6;
  const std::vector<float> other = SynthesizeTrace(sizes, st);
  st.seed = 5;
  EXPECT_NE(SynthesizeTrace(sizes, st), other);
}

// Without noise the record is silent until P and moves at once after it.
TEST(SyntheticTrace, NothingBeforePSharpOnsetAfter) {
  TraceSetting st;
  st.distance = 40.0;
  st.depth = 10.0;
  st.firstSample = 400.0;
  st.delta = 0.02;
  st.npts = 50 * 600;
  st.p = 455.37;
  st.s = 820.0;
  st.pPDelay = 3.0;
  WaveSizes quiet;
  quiet.microseism = 0.0;
  quiet.whiteNoise = 0.0;
  const std::vector<float> x = SynthesizeTrace(quiet, st);
  const auto firstAfterP = static_cast<std::size_t>(std::ceil((st.p - st.firstSample) / st.delta));
  for (std::size_t i = 0; i < firstAfterP; ++i) ASSERT_EQ(x[i], 0.0f) << i;
  // Within a tenth of a second the motion reaches a tenth of the P peak.
  const double peak = PeakIn(x, st, st.p, st.p + 3.0);
  EXPECT_GT(peak, 300.0);
  EXPECT_GT(PeakIn(x, st, st.p, st.p + 0.1), 0.1 * peak);
  // S is there, and stronger than the P coda just before it.
  EXPECT_GT(PeakIn(x, st, st.s, st.s + 20.0), 3.0 * PeakIn(x, st, st.s - 20.0, st.s));
}

TEST(SyntheticTrace, SurfaceWavesOnlyFromShallowFoci) {
  TraceSetting st;
  st.distance = 40.0;  // Rayleigh waves between 1098 s (4.05 km/s) and 1508 s (2.95 km/s)
  st.firstSample = 300.0;
  st.delta = 0.05;
  st.npts = 20 * 1500;
  st.p = 450.0;
  st.s = 800.0;
  WaveSizes quiet;
  quiet.microseism = 0.0;
  quiet.whiteNoise = 0.0;
  st.depth = 10.0;
  const std::vector<float> shallow = SynthesizeTrace(quiet, st);
  st.depth = 600.0;
  const std::vector<float> deep = SynthesizeTrace(quiet, st);
  const double shallowR = PeakIn(shallow, st, 1170.0, 1390.0);  // 3.8 to 3.2 km/s
  const double deepR = PeakIn(deep, st, 1170.0, 1390.0);
  EXPECT_GT(shallowR, 3.0 * PeakIn(shallow, st, st.p, st.p + 20.0));
  EXPECT_LT(deepR, 0.01 * shallowR);
  // Nothing of them before the fastest group arrives.
  EXPECT_LT(PeakIn(shallow, st, 1050.0, 1090.0), 0.05 * shallowR);
}

TEST(SyntheticTrace, AmplitudesFallWithDistance) {
  TraceSetting st;
  st.depth = 10.0;
  st.delta = 0.05;
  st.npts = 20 * 600;
  st.seed = 9;  // the same site factor for both
  WaveSizes quiet;
  quiet.microseism = 0.0;
  quiet.whiteNoise = 0.0;
  double previous = 1e30;
  for (double distance : {20.0, 40.0, 60.0, 85.0, 105.0}) {
    st.distance = distance;
    st.firstSample = 100.0;
    st.p = 200.0;
    st.s = 500.0;
    const double peak = PeakIn(SynthesizeTrace(quiet, st), st, st.p, st.p + 10.0);
    EXPECT_LT(peak, previous) << distance;
    previous = peak;
  }
}

TEST(SyntheticTrace, DepthPhaseDelay) {
  EXPECT_EQ(DepthPhaseDelay(0.0, 6.0), 0.0);
  // Straight down and up through the crust: 20 km at 5.8 and 15 km at 6.5 km/s.
  EXPECT_NEAR(DepthPhaseDelay(35.0, 0.0), 2.0 * (20.0 / 5.8 + 15.0 / 6.5), 1e-9);
  // Grows with depth, shrinks with a flatter ray.
  EXPECT_LT(DepthPhaseDelay(100.0, 6.0), DepthPhaseDelay(300.0, 6.0));
  EXPECT_LT(DepthPhaseDelay(300.0, 8.0), DepthPhaseDelay(300.0, 5.0));
  // A focus at 600 km, P at 60° (about 6.3 s/degree at that depth): two minutes.
  EXPECT_GT(DepthPhaseDelay(600.0, 6.3), 100.0);
  EXPECT_LT(DepthPhaseDelay(600.0, 6.3), 150.0);
}

// The plan takes arrivals from the program's tables and lays out the window
// as a data centre does.
TEST(SampleEventPlan, ArrivalsFromTheProgramsTables) {
  std::string error;
  auto e = Parse(kGoodEvent, error);
  ASSERT_TRUE(e) << error;
  std::vector<StationPlan> plans;
  ASSERT_TRUE(PlanSampleEvent(*e, plans, error)) << error;
  ASSERT_EQ(plans.size(), 2u);
  const JB p("P", 33.0f), s("S", 33.0f);
  const double originAfterReference = 4 * 60 + 56.78;
  for (const StationPlan& plan : plans) {
    EXPECT_EQ(plan.distance, GreatCircle(plan.lat, plan.lon, 10.5f, -20.25f));
    EXPECT_DOUBLE_EQ(plan.onsetP, originAfterReference + p.TravelTime(plan.distance));
    EXPECT_DOUBLE_EQ(plan.onsetS, originAfterReference + s.TravelTime(plan.distance));
    EXPECT_EQ(plan.reference, *e->reference);
    EXPECT_EQ(plan.delta, 0.025f);
    EXPECT_EQ(plan.npts, 48000);
    // The first sample lies on the sampling grid about 60 s before P.
    EXPECT_NEAR(plan.b, plan.onsetP - 60.0, 0.0125 + 1e-3);
    EXPECT_NEAR(plan.b / 0.025, std::round(plan.b / 0.025), 1e-3);
    EXPECT_GT(plan.b, 0.0f);
    EXPECT_GT(plan.onsetPP, plan.onsetP);
  }
  EXPECT_EQ(plans[0].fileName, "XX.AAA.BHZ.sac");

  // A window that starts before the reference time, or misses P, is refused.
  e->windowOffset = -2000.0;
  EXPECT_FALSE(PlanSampleEvent(*e, plans, error));
  EXPECT_NE(error.find("before the reference time"), std::string::npos) << error;
  e->windowOffset = 100.0;
  EXPECT_FALSE(PlanSampleEvent(*e, plans, error));
  EXPECT_NE(error.find("P arrival"), std::string::npos) << error;
}

// PSN records start on a whole second and hold positions to 0.001 degree; the
// arrivals are those of the stored positions.
TEST(SampleEventPlan, PsnRecordsStartOnWholeSeconds) {
  std::string text = kGoodEvent, error;
  text.replace(text.find("format    sac"), 13, "format    psn");
  text.erase(text.find("reference"), text.find('\n', text.find("reference")) - text.find("reference"));
  text.replace(text.find("station   AAA  XX  20.0  -10.0"), 30, "station   AAA  XX  20.0004  -0.2504");
  auto e = Parse(text, error);
  ASSERT_TRUE(e) << error;
  std::vector<StationPlan> plans;
  ASSERT_TRUE(PlanSampleEvent(*e, plans, error)) << error;
  EXPECT_EQ(plans[0].lat, PSN::DegreesFromParts(20, 0));
  EXPECT_EQ(plans[0].lon, PSN::DegreesFromParts(0, -250));
  EXPECT_EQ(plans[0].fileName, "AAA.psn");
  const JB p("P", 33.0f);
  for (const StationPlan& plan : plans) {
    EXPECT_EQ(plan.reference % kTicksPerSecond, 0);
    EXPECT_EQ(plan.b, 0.0f);
    const double originAfterReference = static_cast<double>(e->origin - plan.reference) / kTicksPerSecond;
    EXPECT_DOUBLE_EQ(plan.onsetP, originAfterReference + p.TravelTime(GreatCircle(plan.lat, plan.lon, 10.5f, -20.25f)));
    EXPECT_GT(plan.onsetP, 60.0);
    EXPECT_LE(plan.onsetP, 61.0);
  }
}

}  // namespace
}  // namespace orvane::synth
