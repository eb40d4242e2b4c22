#include "view/TrialReport.h"

#include <cstdio>

#include "location/GreatCircle.h"
#include "location/JB.h"
#include "location/PhaseTables.h"
#include "location/TravelTimeGrid.h"
#include "location/TrialLocation.h"
#include "seismogram/KSAC.h"
#include "view/ExerciseReplay.h"

namespace orvane {

TrialReport MakeTrialReport(std::span<KSAC* const> records, std::span<const ExerciseTrial> trials,
                            EarthModel model) {
  TrialReport report;
  std::vector<TrialStation> stations;
  for (KSAC* record : records) {
    TrialStation station;
    StationOf(*record, station);  // takesPart false leaves the record out of the search
    stations.push_back(station);
  }
  const std::vector<PreciseStation> precise = PreciseStations(records);
  const TravelTimeGrid grid = TravelTimeGrid::Load("P", model);
  const auto keyAt = [&](float depth) -> const AnswerKey& {
    const int column = JB::DepthColumn(depth);
    for (const AnswerKey& key : report.keys)
      if (key.column == column) return key;
    const PhaseTables tables = LoadPhaseTables(depth, model);
    report.keys.push_back(AnswerKey{depth, column, FindBestEpicentre(stations, *tables.p, *tables.s),
                                    FindPreciseKey(precise, grid, depth)});
    return report.keys.back();
  };
  int number = 0;
  for (const ExerciseTrial& trial : trials) {
    TrialReportRow row;
    row.number = ++number;
    row.trial = trial;
    const AnswerKey& key = keyAt(trial.depth);
    if (key.best.ok()) row.answerDistanceDeg = HaversineDegrees(trial.lat, trial.lon, key.best.lat, key.best.lon);
    if (key.precise.ok())
      row.preciseDistanceDeg = HaversineDegrees(trial.lat, trial.lon, key.precise.lat, key.precise.lon);
    report.rows.push_back(row);
  }
  return report;
}

std::string TrialsCsv(const TrialReport& report) {
  std::string csv =
      "trial,latitude,longitude,depth_km,rms_s,distance_from_answer_key_km,distance_from_precise_key_km\n";
  const auto km = [&csv](std::optional<double> value) {
    if (!value) return;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", *value);
    csv += text;
  };
  for (const TrialReportRow& row : report.rows) {
    csv += std::to_string(row.number) + "," + ShortestFloatText(row.trial.lat) + "," +
           ShortestFloatText(row.trial.lon) + "," + ShortestFloatText(row.trial.depth) + "," +
           ShortestFloatText(row.trial.rms) + ",";
    km(row.AnswerDistanceKm());
    csv += ",";
    km(row.PreciseDistanceKm());
    csv += "\n";
  }
  return csv;
}

}  // namespace orvane
