#include "tools/synth-event/SampleEvent.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <system_error>

#include "location/GreatCircle.h"
#include "location/JB.h"
#include "location/PhaseTables.h"
#include "location/PreciseKey.h"
#include "location/TravelTimeGrid.h"
#include "seismogram/KSAC.h"
#include "seismogram/PEPP.h"
#include "seismogram/PSN.h"
#include "seismogram/RecordReadouts.h"
#include "seismogram/SeismogramFile.h"
#include "tools/synth-event/DataCentreFiles.h"
#include "tools/synth-event/SyntheticTrace.h"

namespace orvane::synth {
namespace {

constexpr double kQuietBeforeP = 20.0;  // seconds of noise at least before P
constexpr double kAfterP = 60.0;        // seconds at least after P

SYSTEMTIME ToSystemTime(FileTime ticks) {
  SYSTEMTIME t;
  FileTimeToSystemTime(ticks, t);
  t.wDayOfWeek = 0;
  return t;
}

// A position in whole degrees and thousandths, as a PSN header holds it.
void ToParts(double degrees, std::int16_t& whole, std::int16_t& thousandths) {
  const long long parts = std::llround(degrees * 1000.0);
  whole = static_cast<std::int16_t>(parts / 1000);
  thousandths = static_cast<std::int16_t>(parts % 1000);
}

float StoredDegrees(SeismogramFormat format, double degrees) {
  if (format != SeismogramFormat::kPSN) return static_cast<float>(degrees);
  std::int16_t whole = 0, thousandths = 0;
  ToParts(degrees, whole, thousandths);
  return PSN::DegreesFromParts(whole, thousandths);
}

std::string FileNameFor(const EventDescription& event, const StationEntry& st) {
  switch (event.format) {
    case SeismogramFormat::kMiniSEED:
      return kMiniSEEDFile;
    case SeismogramFormat::kPEPP:
      return st.code + ".set";
    case SeismogramFormat::kPSN:
      return st.code + ".psn";
    case SeismogramFormat::kSAC:
      break;
  }
  return st.network + "." + st.code + "." + event.component + ".sac";
}

std::unique_ptr<KSAC> MakeRecord(const EventDescription& event, const StationPlan& plan,
                                 const std::vector<float>& samples) {
  auto copy = std::make_unique<float[]>(samples.size());
  std::copy(samples.begin(), samples.end(), copy.get());
  auto record =
      std::make_unique<KSAC>(plan.npts, std::move(copy), plan.lat, plan.lon, static_cast<float>(plan.station.elevation),
                             plan.delta, plan.station.code, event.component, ToSystemTime(plan.reference));
  record->SetFloatHeader(KSAC::B, plan.b);
  record->SetFloatHeader(KSAC::E, static_cast<float>(plan.End()));
  record->SetFloatHeader(KSAC::O, KSAC::UNDEFINED_FLOAT);
  record->SetCharHeader(KSAC::KNETWK, plan.station.network.c_str());
  record->SetCharHeader(KSAC::KEVNM, "SYNTHETIC");
  return record;
}

bool WritePEPPFile(const std::string& path, const KSAC& record, const StationPlan& plan, std::string& error) {
  PEPP pepp(record);
  pepp.SetFloat(PEPP::BEGIN, plan.b);
  pepp.SetFloat(PEPP::END, static_cast<float>(plan.End()));
  pepp.SetText(PEPP::SENSOR, 5, "SYNTH");
  const char* comments[] = {"SYNTHETIC SEISMOGRAM", "made by Orvane synth-event", "not a recording"};
  for (int i = 0; i < 3; ++i) pepp.SetText(PEPP::COMMENTS + 30 * i, 30, comments[i]);
  if (pepp.WritePEPP(path.c_str()) != 0) {
    error = path + ": the PEPP file could not be written";
    return false;
  }
  return true;
}

bool WritePSNFile(const std::string& path, const EventDescription& event, const StationPlan& plan,
                  const std::vector<float>& samples, std::string& error) {
  PSN psn;
  psn.SetShort(PSN::VERSION, 2);  // no event fields: the file does not give the answer away
  const SYSTEMTIME start = ToSystemTime(plan.reference);
  const auto seconds = static_cast<FileTime>(std::llround(plan.npts * static_cast<double>(plan.delta)));
  const SYSTEMTIME end = ToSystemTime(plan.reference + seconds * kTicksPerSecond);
  psn.SetShort(PSN::YEAR, static_cast<std::int16_t>(start.wYear));
  psn.SetShort(PSN::MONTH, static_cast<std::int16_t>(start.wMonth));
  psn.SetShort(PSN::DAY, static_cast<std::int16_t>(start.wDay));
  psn.SetShort(PSN::START_HOUR, static_cast<std::int16_t>(start.wHour));
  psn.SetShort(PSN::START_MINUTE, static_cast<std::int16_t>(start.wMinute));
  psn.SetShort(PSN::START_SECOND, static_cast<std::int16_t>(start.wSecond));
  psn.SetShort(PSN::START_FRACTION, 0);
  psn.SetShort(PSN::END_HOUR, static_cast<std::int16_t>(end.wHour));
  psn.SetShort(PSN::END_MINUTE, static_cast<std::int16_t>(end.wMinute));
  psn.SetShort(PSN::END_SECOND, static_cast<std::int16_t>(end.wSecond));
  psn.SetShort(PSN::END_TENTHS, 0);
  psn.header[PSN::COMPONENT] = static_cast<unsigned char>(event.component.empty() ? 'Z' : event.component[0]);
  std::int16_t whole = 0, thousandths = 0;
  ToParts(plan.station.lat, whole, thousandths);
  psn.SetShort(PSN::STLA_DEGREES, whole);
  psn.SetShort(PSN::STLA_THOUSANDTHS, thousandths);
  ToParts(plan.station.lon, whole, thousandths);
  psn.SetShort(PSN::STLO_DEGREES, whole);
  psn.SetShort(PSN::STLO_THOUSANDTHS, thousandths);

  psn.SetData(samples.data(), static_cast<std::int32_t>(samples.size()));  // 12 bits, as a PSN digitiser
  psn.npts = static_cast<std::int32_t>(psn.samples.size());
  psn.SetPrefixCount(psn.npts);
  const auto [low, high] = std::minmax_element(psn.samples.begin(), psn.samples.end());
  psn.SetShort(PSN::DEPMIN, *low);
  psn.SetShort(PSN::DEPMAX, *high);
  if (*low <= -2048 || *high >= 2047) {
    error = path + ": the samples reach the PSN range of -2048 ... 2047; give smaller amplitudes";
    return false;
  }
  if (psn.WritePSN(path.c_str()) != 0) {
    error = path + ": the PSN file could not be written";
    return false;
  }
  return true;
}

// Reads @p path back with the program's reader and compares what the
// location and the windows use with the plan.
bool CheckReadBack(const std::string& path, const StationPlan& plan, std::string& error) {
  const SeismogramReadResult read = ReadSeismogramFile(path);
  if (!read.record) {
    error = path + ": our own reader refuses the file: " + read.reason;
    return false;
  }
  const KSAC& r = *read.record;
  FileTime reference = 0;
  const bool same = r.GetIntHeader(KSAC::NPTS) == plan.npts && r.GetFloatHeader(KSAC::DELTA) == plan.delta &&
                    r.GetFloatHeader(KSAC::STLA) == plan.lat && r.GetFloatHeader(KSAC::STLO) == plan.lon &&
                    FirstSampleSeconds(r) == plan.b && r.GetReferenceFileTime(reference) && reference == plan.reference;
  if (!same) {
    error = path + ": the file reads back with other times, positions or sample counts than were meant";
    return false;
  }
  return true;
}

}  // namespace

bool PlanSampleEvent(const EventDescription& event, std::vector<StationPlan>& plans, std::string& error) {
  const auto depth = static_cast<float>(event.depth);
  const PhaseTables tables = LoadPhaseTables(depth, event.model);
  const JB& p = *tables.p;
  const JB& s = *tables.s;
  if (p.count != JB::kMaxRows || s.count != JB::kMaxRows) {
    error = p.fileName + " and " + s.fileName + " must be complete tables (found " + std::to_string(p.count) +
            " and " + std::to_string(s.count) + " rows)";
    return false;
  }
  const bool precise = event.arithmetic == Arithmetic::kPrecise;
  const TravelTimeGrid gridP = precise ? TravelTimeGrid::Load("P", event.model) : TravelTimeGrid();
  const TravelTimeGrid gridS = precise ? TravelTimeGrid::Load("S", event.model) : TravelTimeGrid();
  if (precise && (!gridP.IsUsable() || !gridS.IsUsable())) {
    error = p.fileName + " and " + s.fileName + " must hold every depth column";
    return false;
  }
  const auto delta = static_cast<float>(1.0 / event.rate);
  const auto npts = static_cast<std::int32_t>(std::llround(event.windowLength * event.rate));
  const double seconds = npts / event.rate;
  if (event.format == SeismogramFormat::kPSN && std::fabs(seconds - std::round(seconds)) > 1e-9) {
    error = "window: a PSN record must last whole seconds (npts / rate)";
    return false;
  }
  const auto lat = static_cast<float>(event.lat), lon = static_cast<float>(event.lon);
  plans.clear();
  for (const StationEntry& st : event.stations) {
    StationPlan plan;
    plan.station = st;
    plan.fileName = FileNameFor(event, st);
    plan.lat = StoredDegrees(event.format, st.lat);
    plan.lon = StoredDegrees(event.format, st.lon);
    if (precise) {
      const double distance = GeocentricDistance(plan.lat, plan.lon, event.lat, event.lon);
      plan.distance = static_cast<float>(distance);
      double slowness = 0.0;
      plan.travelP = gridP.Time(distance, event.depth, &slowness);
      plan.travelP += ElevationDelay(gridP, slowness, st.elevation);
      plan.travelS = gridS.Time(distance, event.depth, &slowness);
      plan.travelS += ElevationDelay(gridS, slowness, st.elevation);
    } else {
      plan.distance = GreatCircle(plan.lat, plan.lon, lat, lon);
      plan.travelP = p.TravelTime(plan.distance);
      plan.travelS = s.TravelTime(plan.distance);
    }
    plan.delta = delta;
    plan.npts = npts;

    // Seconds after the origin time of the window's wished-for start.
    const double anchor = event.anchor == WindowAnchor::kP ? plan.travelP : 0.0;
    const double start = anchor + event.windowOffset;
    if (event.reference) {
      plan.reference = *event.reference;
      const double originAfterReference = static_cast<double>(event.origin - plan.reference) / kTicksPerSecond;
      const long long k = std::llround((start + originAfterReference) / delta);
      plan.b = static_cast<float>(static_cast<double>(k) * delta);
      if (k < 0) {
        error = st.code + ": the window would begin before the reference time; give an earlier reference";
        return false;
      }
    } else {
      // On the whole second at or before the wished-for start.
      const FileTime wished = event.origin + static_cast<FileTime>(std::llround(start * kTicksPerSecond));
      plan.reference = wished - ((wished % kTicksPerSecond) + kTicksPerSecond) % kTicksPerSecond;
      plan.b = 0.0f;
    }
    const double originAfterReference = static_cast<double>(event.origin - plan.reference) / kTicksPerSecond;
    plan.onsetP = originAfterReference + plan.travelP;
    plan.onsetS = originAfterReference + plan.travelS;
    const float before = p.TravelTime(std::max(plan.distance - 0.5f, 0.0f));
    const float after = p.TravelTime(std::min(plan.distance + 0.5f, 180.0f));
    plan.onsetPP = plan.onsetP + DepthPhaseDelay(event.depth, after - before);
    if (plan.onsetP < plan.b + kQuietBeforeP || plan.onsetP > plan.End() - kAfterP) {
      error = st.code + ": the P arrival does not lie on the record with " + std::to_string(int(kQuietBeforeP)) +
              " s before and " + std::to_string(int(kAfterP)) + " s after it; change the window";
      return false;
    }
    plans.push_back(plan);
  }
  return true;
}

bool WriteSampleEvent(const EventDescription& event, const std::filesystem::path& out, std::vector<StationPlan>& plans,
                      std::string& error) {
  if (!PlanSampleEvent(event, plans, error)) return false;
#ifndef ORVANE_SYNTH_MINISEED
  if (event.format == SeismogramFormat::kMiniSEED) {
    error = "this build writes no miniSEED files";
    return false;
  }
#endif
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  std::vector<unsigned char> mseed;
  const WaveSizes sizes{event.pAmplitude, event.sAmplitude, event.surfaceAmplitude, event.microseism, event.whiteNoise};
  for (std::size_t i = 0; i < plans.size(); ++i) {
    const StationPlan& plan = plans[i];
    TraceSetting setting;
    setting.distance = plan.distance;
    setting.depth = event.depth;
    const double referenceAfterOrigin = static_cast<double>(plan.reference - event.origin) / kTicksPerSecond;
    setting.firstSample = referenceAfterOrigin + plan.b;
    setting.delta = plan.delta;
    setting.npts = plan.npts;
    setting.p = plan.travelP;
    setting.s = plan.travelS;
    setting.pPDelay = plan.onsetPP - plan.onsetP;
    setting.seed = event.seed + 7919u * static_cast<std::uint32_t>(i + 1);
    const std::vector<float> samples = SynthesizeTrace(sizes, setting);

    const std::string path = (out / plan.fileName).string();
    bool written = false;
#ifdef ORVANE_SYNTH_MINISEED
    if (event.format == SeismogramFormat::kMiniSEED) {
      // Every station's records go into one file, written at the end.
      if (!AppendMiniSEED(event, plan, samples, mseed, error)) return false;
      continue;
    }
#endif
    if (event.format == SeismogramFormat::kPSN) {
      written = WritePSNFile(path, event, plan, samples, error);
    } else {
      const std::unique_ptr<KSAC> record = MakeRecord(event, plan, samples);
      if (event.format == SeismogramFormat::kPEPP) {
        written = WritePEPPFile(path, *record, plan, error);
      } else if (auto reason = WriteSeismogramFile(path, *record)) {
        error = path + ": " + *reason;
      } else {
        written = true;
      }
    }
    if (!written || !CheckReadBack(path, plan, error)) return false;
  }
#ifdef ORVANE_SYNTH_MINISEED
  if (event.format == SeismogramFormat::kMiniSEED) return WriteDataCentreFiles(event, plans, mseed, out, error);
#endif
  return true;
}

}  // namespace orvane::synth
