#include "view/ClassReport.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <map>

#include "location/JB.h"
#include "location/TrialLocation.h"
#include "view/ExerciseReplay.h"

namespace orvane {
namespace {

// The exercises that share a seismogram, directly or through others, with
// the first one; the index of the first that does not, or nothing.
std::optional<std::size_t> OtherEvent(std::span<const ClassExercise> exercises) {
  std::vector<bool> linked(exercises.size(), false);
  std::vector<std::string> files;  // the checksums of the linked exercises
  const auto add = [&](std::size_t i) {
    linked[i] = true;
    for (const ExerciseSeismogram& s : exercises[i].exercise.seismograms) files.push_back(s.sha256);
  };
  const auto shares = [&](std::size_t i) {
    for (const ExerciseSeismogram& s : exercises[i].exercise.seismograms)
      if (std::find(files.begin(), files.end(), s.sha256) != files.end()) return true;
    return false;
  };
  add(0);
  for (bool grew = true; grew;) {
    grew = false;
    for (std::size_t i = 1; i < exercises.size(); ++i) {
      if (!linked[i] && shares(i)) {
        add(i);
        grew = true;
      }
    }
  }
  for (std::size_t i = 1; i < exercises.size(); ++i)
    if (!linked[i]) return i;
  return std::nullopt;
}

float Median(std::vector<float> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2]
                    : static_cast<float>((static_cast<double>(values[n / 2 - 1]) + values[n / 2]) / 2.0);
}

// A CSV field: quoted when it holds a comma, a quote or a line end.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Km(std::optional<double> km) {
  if (!km) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", *km);
  return text;
}

std::string TrialFields(const std::optional<ClassTrial>& t) {
  if (!t) return ",,,,,";
  return ShortestFloatText(t->trial.lat) + "," + ShortestFloatText(t->trial.lon) + "," +
         ShortestFloatText(t->trial.depth) + "," + ShortestFloatText(t->trial.rms) + "," + Km(t->answerDistanceKm) +
         "," + Km(t->preciseDistanceKm);
}

// Why @p exercises cannot be reported together (none, another event, or
// different Earth models when no model is named), or empty.
std::string WhyNotOneReport(std::span<const ClassExercise> exercises, const std::optional<EarthModel>& model) {
  if (exercises.empty()) return "no exercise to report";
  if (const auto other = OtherEvent(exercises))
    return exercises[*other].file + " shares no seismogram with " + exercises[0].file +
           " (by their SHA-256 checksums): it is an exercise on another event";
  if (!model) {
    for (const ClassExercise& e : exercises) {
      if (e.exercise.model != exercises[0].exercise.model)
        return exercises[0].file + " uses the Earth model " + EarthModelName(exercises[0].exercise.model) + " and " +
               e.file + " " + EarthModelName(e.exercise.model) + ": name one with --model";
    }
  }
  return {};
}

// The event's seismograms by checksum, with the median of every student's
// pick on each.
void GatherSeismograms(std::span<const ClassExercise> exercises, ClassReport& report) {
  std::map<std::string, std::vector<float>> picks;
  for (const ClassExercise& e : exercises) {
    for (const ExerciseSeismogram& s : e.exercise.seismograms) {
      const auto known = std::find_if(report.seismograms.begin(), report.seismograms.end(),
                                      [&](const ClassSeismogram& c) { return c.sha256 == s.sha256; });
      if (known == report.seismograms.end()) {
        ClassSeismogram seismogram;
        seismogram.sha256 = s.sha256;
        seismogram.file = s.path;
        report.seismograms.push_back(std::move(seismogram));
      }
      if (s.pick && *s.pick != 0.0f) picks[s.sha256].push_back(*s.pick);
    }
  }
  for (ClassSeismogram& s : report.seismograms) {
    const auto found = picks.find(s.sha256);
    if (found == picks.end()) continue;
    s.picks = static_cast<int>(found->second.size());
    s.pick = Median(found->second);
  }
}

// Each seismogram opened once, from the first exercise that finds it, with
// the class's pick in place of that exercise's; a note for each that none
// can open, with the reason.
void OpenSeismograms(std::span<const ClassExercise> exercises, ClassReport& report) {
  std::vector<RefusedFile> unopened;
  const auto allOpened = [&report] {
    return std::all_of(report.seismograms.begin(), report.seismograms.end(),
                       [](const ClassSeismogram& s) { return s.opened; });
  };
  for (const ClassExercise& e : exercises) {
    // Opening reads and checksums every file of an exercise: once each
    // seismogram is open, the other exercises of the class need not be.
    if (allOpened()) break;
    ExerciseRecords opened = OpenExerciseRecords(e.exercise, e.path);
    for (std::size_t k = 0; k < opened.records.size(); ++k) {
      const ExerciseSeismogram& entry = e.exercise.seismograms[opened.entries[k]];
      for (ClassSeismogram& s : report.seismograms) {
        if (s.sha256 != entry.sha256 || s.opened) continue;
        s.opened = true;
        s.file = opened.paths[static_cast<qsizetype>(k)].toStdString();
        if (s.pick) opened.records[k]->SetPick(0, *s.pick);
        report.records.push_back(std::move(opened.records[k]));
      }
    }
    unopened.insert(unopened.end(), opened.leftOut.begin(), opened.leftOut.end());
  }
  for (const ClassSeismogram& s : report.seismograms) {
    if (s.opened) continue;
    std::string why = "cannot be opened from any exercise";
    const QString name = QFileInfo(QString::fromStdString(s.file)).fileName();
    for (const RefusedFile& f : unopened) {
      if (QFileInfo(QString::fromStdString(f.path)).fileName() == name) {
        why = f.reason;
        break;
      }
    }
    report.notes.push_back(s.file + ": " + why + "; the answer keys are searched without it");
  }
}

// The rows, one per exercise.
// @return the trials whose distances from the keys they show: the last and
// the best of each row that has trials.
std::vector<ExerciseTrial> AddRows(std::span<const ClassExercise> exercises, ClassReport& report) {
  std::vector<ExerciseTrial> shown;
  for (const ClassExercise& e : exercises) {
    ClassRow row;
    row.file = e.file;
    row.name = QFileInfo(e.path).completeBaseName().toStdString();
    for (const ExerciseSeismogram& s : e.exercise.seismograms)
      if (s.pick && *s.pick != 0.0f) ++row.stationsPicked;
    const std::vector<ExerciseTrial>& trials = e.exercise.trials;
    row.trials = static_cast<int>(trials.size());
    if (!trials.empty()) {
      row.last.emplace().trial = trials.back();
      const auto best = std::min_element(trials.begin(), trials.end(),
                                         [](const ExerciseTrial& a, const ExerciseTrial& b) { return a.rms < b.rms; });
      row.best.emplace().trial = *best;
      shown.push_back(trials.back());
      shown.push_back(*best);
    }
    report.rows.push_back(std::move(row));
  }
  return shown;
}

// The answer keys at the depths of the @p shown trials, and each row's
// distances from them. Without any trial, the key at @p depth (where the
// first exercise was left).
void AddKeys(std::vector<ExerciseTrial> shown, float depth, ClassReport& report) {
  const bool anyTrial = !shown.empty();
  if (!anyTrial) shown.push_back(ExerciseTrial{0.0f, 0.0f, depth, 0.0f});
  TrialReport keys = MakeTrialReport(RecordPointers(report.records), shown, report.model);
  report.keys = std::move(keys.keys);
  if (anyTrial) {
    std::size_t next = 0;
    for (ClassRow& row : report.rows) {
      for (std::optional<ClassTrial>* t : {&row.last, &row.best}) {
        if (!*t) continue;
        (*t)->answerDistanceKm = keys.rows[next].AnswerDistanceKm();
        (*t)->preciseDistanceKm = keys.rows[next].PreciseDistanceKm();
        ++next;
      }
    }
  }
}

}  // namespace

const AnswerKey* ClassReport::MapKey() const {
  if (keys.empty()) return nullptr;
  std::map<int, int> lastTrials;  // by depth column
  for (const ClassRow& row : rows)
    if (row.last) ++lastTrials[JB::DepthColumn(row.last->trial.depth)];
  const AnswerKey* chosen = &keys.front();
  int most = 0;
  for (const AnswerKey& key : keys) {
    const auto found = lastTrials.find(key.column);
    if (found != lastTrials.end() && found->second > most) {
      most = found->second;
      chosen = &key;
    }
  }
  return chosen;
}

std::optional<ClassReport> MakeClassReport(std::span<const ClassExercise> exercises,
                                           std::optional<EarthModel> model, std::string* error) {
  if (const std::string why = WhyNotOneReport(exercises, model); !why.empty()) {
    if (error) *error = why;
    return std::nullopt;
  }
  ClassReport report;
  report.model = model ? *model : exercises[0].exercise.model;
  GatherSeismograms(exercises, report);
  OpenSeismograms(exercises, report);
  AddKeys(AddRows(exercises, report), exercises[0].exercise.depth, report);
  return report;
}

std::string ClassCsv(const ClassReport& report) {
  std::string csv =
      "exercise,stations_picked,trials,"
      "last_latitude,last_longitude,last_depth_km,last_rms_s,last_distance_from_answer_key_km,"
      "last_distance_from_precise_key_km,"
      "best_latitude,best_longitude,best_depth_km,best_rms_s,best_distance_from_answer_key_km,"
      "best_distance_from_precise_key_km\n";
  for (const ClassRow& row : report.rows) {
    csv += CsvField(row.file) + "," + std::to_string(row.stationsPicked) + "," + std::to_string(row.trials) + "," +
           TrialFields(row.last) + "," + TrialFields(row.best) + "\n";
  }
  return csv;
}

}  // namespace orvane
