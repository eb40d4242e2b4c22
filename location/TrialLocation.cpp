#include "location/TrialLocation.h"

#include <cmath>

#include "platform/ErrorReport.h"
#include "location/GreatCircle.h"
#include "location/PhaseTables.h"
#include "location/RMS.h"
#include "seismogram/KSAC.h"

namespace orvane {

namespace {

// Message catalogue codes of the refusals (data/kerror.doc).
constexpr std::int16_t kMissingTableCode = 3001;
constexpr std::int16_t kNoPickCode = 3002;
// A record left out of a trial (it cannot take part), named by its file.
constexpr std::int16_t kLeftOutCode = 3003;
constexpr std::int16_t kEarlyOriginCode = 3004;

// A pick further than this from its reference time cannot be a P arrival of
// the record and could not be placed in time safely.
constexpr float kLargestPick = 1.0e9f;

TrialResult Refusal(TrialStatus status, std::string reason, std::string file = {}) {
  TrialResult result;
  result.status = status;
  result.reason = std::move(reason);
  result.file = std::move(file);
  return result;
}

TrialResult CheckTable(const JB& table) {
  if (table.IsUsable()) return {};
  return Refusal(TrialStatus::kMissingTable,
                 table.fileFound ? table.fileName + " holds no travel times: no trial without it"
                                 : table.fileName + " is missing: no trial without it",
                 table.fileName);
}

// What GetPick returns after SetPick stored @p value: UNDEFINED reads as 0.0.
float AsStoredPick(float value) { return value == -12345.0f ? 0.0f : value; }

// Whole tenths of a second between two instants, as seconds in a float.
float TenthsApart(FileTime later, FileTime earlier) {
  const std::int64_t k = (later - earlier) / kTicksPerTenth;
  return static_cast<float>(static_cast<long double>(k) * 0.1);
}

}  // namespace

namespace {

// The inputs of @p record into @p s; why the record cannot take part in a
// trial ("no valid reference time"), or null when it can.
const char* ReadStation(const KSAC& record, TrialStation& s) {
  s = TrialStation{};
  s.stla = record.GetFloatHeader(KSAC::STLA);
  s.stlo = record.GetFloatHeader(KSAC::STLO);
  s.pick = record.GetPick(0);
  const char* why = nullptr;
  if (!record.GetReferenceFileTime(s.referenceTicks)) {
    why = "no valid reference time";
  } else if (s.stla == KSAC::UNDEFINED_FLOAT || s.stlo == KSAC::UNDEFINED_FLOAT) {
    why = "no station position (stla, stlo undefined)";
  } else if (!std::isfinite(s.stla) || !std::isfinite(s.stlo)) {
    why = "a station position that is not a number";
  } else if (std::fabs(s.stla) > 90.0f) {
    why = "a station latitude beyond 90 degrees";
  } else if (s.pick != 0.0f) {
    if (!(std::fabs(s.pick) < kLargestPick)) {
      why = "a P pick that is not a usable time";
    } else {
      s.pickTicks = record.GetPickFileTime(0);
      if (s.pickTicks <= 0) why = "a P pick before the year 1601";
    }
  }
  if (why != nullptr) {
    s.takesPart = false;
    s.pickTicks = 0;
  } else if (record.leftOut) {
    s.takesPart = false;
    s.leftOut = true;
  }
  return why;
}

// Why no trial can be made with these tables at this epicentre, or ok.
TrialResult CheckTrialInputs(std::size_t stationCount, float lat, float lon, const JB& p, const JB& s,
                             std::span<const StationPrediction> predictions) {
  if (TrialResult r = CheckTable(p); !r.ok()) return r;
  if (TrialResult r = CheckTable(s); !r.ok()) return r;
  // A NaN position would make every distance and travel time NaN, whose cut
  // to whole seconds has no value: refuse rather than report a NaN trial.
  if (!std::isfinite(lat) || !std::isfinite(lon))
    return Refusal(TrialStatus::kBadEpicentre, "The trial epicentre is not a position on the globe");
  const bool full = !predictions.empty();
  if (full && predictions.size() != stationCount)
    return Refusal(TrialStatus::kBadRecord, "internal: one prediction per station is needed");
  return {};
}

// The picked stations that take part, into @p picked; when there is none, a
// refusal that tells the student what to do.
TrialResult CountPicked(std::span<const TrialStation> stations, int& picked) {
  picked = 0;
  int pickedLeftOut = 0;
  int pickedSetAside = 0;  // left out by the student
  for (const TrialStation& st : stations) {
    if (st.pick == 0.0f) continue;
    if (st.takesPart) {
      ++picked;
    } else if (st.leftOut) {
      ++pickedSetAside;
    } else {
      ++pickedLeftOut;
    }
  }
  if (picked == 0) {
    return Refusal(TrialStatus::kNoPick,
                   pickedSetAside > 0
                       ? "Every seismogram with a P pick is left out of the location: take one back in"
                   : pickedLeftOut == 0
                       ? "No seismogram has a P pick: pick the P arrivals first"
                       : "No seismogram with a P pick can take part in a trial: pick the P arrivals of the others");
  }
  return {};
}

// First pass: distances, travel times (into @p predictions, or the P times
// into @p travelP when there are none) and the origin-time sum. The sum is
// held in 128 bits: present-day tick counts are about 1.3e17, so a signed
// 64-bit sum would overflow beyond some 68 picked records.
__int128 OriginTicksSum(std::span<const TrialStation> stations, float lat, float lon, const JB& p, const JB& s,
                        std::span<StationPrediction> predictions, std::vector<float>& travelP) {
  const bool full = !predictions.empty();
  __int128 sum = 0;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const TrialStation& st = stations[i];
    if (!st.takesPart && !st.leftOut) {
      if (full) predictions[i] = StationPrediction{};
      continue;
    }
    const float d = GreatCircle(st.stla, st.stlo, lat, lon);
    const float tp = p.TravelTime(d);
    if (st.takesPart && st.pick != 0.0f) {
      const auto wholeSeconds = static_cast<std::int64_t>(tp);  // truncated towards zero
      sum += st.pickTicks - wholeSeconds * kTicksPerSecond;
    }
    if (full) {
      predictions[i].gcarc = d;
      predictions[i].t1 = AsStoredPick(tp);
      predictions[i].t2 = AsStoredPick(s.TravelTime(d));
    } else {
      travelP[i] = AsStoredPick(tp);
    }
  }
  return sum;
}

// Second pass: move the travel times from @p origin to each record's
// reference time (by whole tenths), observed travel time, misfit.
// @return the sum of the squared residuals of the picked stations.
float SumOfSquares(std::span<const TrialStation> stations, FileTime origin, const JB& p,
                   std::span<StationPrediction> predictions, const std::vector<float>& travelP) {
  const bool full = !predictions.empty();
  float sumOfSquares = 0.0f;
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const TrialStation& st = stations[i];
    if (!st.takesPart && !st.leftOut) continue;
    float pv = full ? predictions[i].t1 : travelP[i];
    float sv = full ? predictions[i].t2 : 0.0f;
    float obs;
    if (origin < st.referenceTicks) {
      const float dt = TenthsApart(st.referenceTicks, origin);
      pv = pv - dt;
      sv = sv - dt;
      obs = st.pick + dt;
    } else {
      const float dt = TenthsApart(origin, st.referenceTicks);
      pv = pv + dt;
      sv = sv + dt;
      obs = st.pick - dt;
    }
    const bool isPicked = st.pick != 0.0f;
    if (full) {
      predictions[i].t1 = AsStoredPick(pv);
      predictions[i].t2 = AsStoredPick(sv);
      predictions[i].user5 = isPicked ? p.DistanceAt(obs) : 0.0f;
    }
    if (isPicked && st.takesPart) {
      const double residual = static_cast<double>(pv) - static_cast<double>(st.pick);
      sumOfSquares = static_cast<float>(sumOfSquares + residual * residual);
    }
  }
  return sumOfSquares;
}

}  // namespace

TrialResult StationOf(const KSAC& record, TrialStation& station) {
  if (const char* why = ReadStation(record, station))
    return Refusal(TrialStatus::kBadRecord, record.fileName + " has " + why, record.fileName);
  return {};
}

TrialResult EvaluateTrial(std::span<const TrialStation> stations, float lat, float lon,
                          const JB& p, const JB& s, std::span<StationPrediction> predictions) {
  if (TrialResult r = CheckTrialInputs(stations.size(), lat, lon, p, s, predictions); !r.ok()) return r;
  int picked = 0;
  if (TrialResult r = CountPicked(stations, picked); !r.ok()) return r;

  std::vector<float> travelP;
  if (predictions.empty()) travelP.resize(stations.size());
  const __int128 sum = OriginTicksSum(stations, lat, lon, p, s, predictions, travelP);
  const auto origin = static_cast<FileTime>(sum / picked);  // truncates towards zero

  TrialResult result;
  result.originTicks = origin;
  result.picked = picked;
  if (origin < 0 || !FileTimeToSystemTime(origin, result.originTime))
    return Refusal(TrialStatus::kBadRecord, "The origin time of this trial would lie before 1601");
  result.originTime.wDayOfWeek = 0;

  const float sumOfSquares = SumOfSquares(stations, origin, p, predictions, travelP);
  result.rms = static_cast<float>(std::sqrt(static_cast<long double>(sumOfSquares) / picked));
  return result;
}

TrialResult LocateTrial(std::span<KSAC* const> records, float lat, float lon, const JB& p,
                        const JB& s) {
  std::vector<TrialStation> stations(records.size());
  std::vector<LeftOutRecord> leftOut;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (const char* why = ReadStation(*records[i], stations[i])) leftOut.push_back({i, records[i]->fileName, why});
  }
  std::vector<StationPrediction> predictions(records.size());
  TrialResult result = EvaluateTrial(stations, lat, lon, p, s, predictions);
  result.leftOut = std::move(leftOut);
  if (!result.ok()) return result;
  for (std::size_t i = 0; i < records.size(); ++i) {
    KSAC& r = *records[i];
    r.SetFloatHeader(KSAC::GCARC, predictions[i].gcarc);
    r.SetPick(1, predictions[i].t1);  // wipes t2..t9
    r.SetPick(2, predictions[i].t2);  // wipes t3..t9
    r.SetFloatHeader(KSAC::USER5, predictions[i].user5);
  }
  return result;
}

TrialResult TrialLocation(std::span<KSAC* const> records, float lat, float lon, float depth,
                          TrialState& state, EarthModel model) {
  if (records.empty()) return Refusal(TrialStatus::kNoRecords, "No event is open");
  const PhaseTables tables = LoadPhaseTables(depth, model);
  TrialResult result = LocateTrial(records, lat, lon, *tables.p, *tables.s);
  if (result.status != TrialStatus::kBadEpicentre) {
    for (const LeftOutRecord& left : result.leftOut) ErrorReport(kLeftOutCode, left.file);
  }
  if (!result.ok()) {
    switch (result.status) {
      case TrialStatus::kMissingTable: ErrorReport(kMissingTableCode, result.file); break;
      case TrialStatus::kNoPick: ErrorReport(kNoPickCode, "#"); break;
      case TrialStatus::kBadRecord: ErrorReport(kEarlyOriginCode, "#"); break;
      default: break;
    }
    return result;
  }
  state.epicentreLat = lat;
  state.epicentreLon = lon;
  state.originTime = result.originTime;
  state.rms = result.rms;
  state.stations = result.picked;
  trialList.push_back(RMS{lat, lon, result.rms});
  return result;
}

std::vector<KSAC*> RecordPointers(std::span<const std::unique_ptr<KSAC>> records) {
  std::vector<KSAC*> pointers;
  pointers.reserve(records.size());
  for (const auto& r : records) pointers.push_back(r.get());
  return pointers;
}

}  // namespace orvane
