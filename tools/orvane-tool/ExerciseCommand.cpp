#include "tools/orvane-tool/ExerciseCommand.h"

#include <QString>

#include <cstdio>
#include <string>
#include <vector>

#include "location/GreatCircle.h"
#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "platform/ErrorReport.h"
#include "seismogram/KSAC.h"
#include "seismogram/RecordReadouts.h"
#include "tools/orvane-tool/Arguments.h"
#include "tools/orvane-tool/Json.h"
#include "view/ExerciseFile.h"
#include "view/ExerciseReplay.h"
#include "view/TrialReport.h"

namespace orvane::tool {
namespace {

bool IsLeftOut(const TrialResult& trial, std::size_t index) {
  for (const LeftOutRecord& left : trial.leftOut)
    if (left.index == index) return true;
  return false;
}

void OptionalFloat(JsonWriter& w, const char* key, std::optional<float> value) {
  if (value) w.Key(key).Float(*value); else w.Key(key).Null();
}

}  // namespace

void WriteAnswerKey(JsonWriter& w, const AnswerKey& key) {
  w.BeginObject().Key("depth").Float(key.depth);
  if (key.best.ok()) {
    w.Key("epicentre").BeginArray().Float(key.best.lat).Float(key.best.lon).EndArray();
    w.Key("rms").Float(key.best.trial.rms);
  } else {
    w.Key("epicentre").Null().Key("rms").Null().Key("reason").String(key.best.trial.reason);
  }
  w.Key("precise").BeginObject();
  if (key.precise.ok()) {
    w.Key("epicentre").BeginArray().Double(key.precise.lat).Double(key.precise.lon).EndArray();
    w.Key("depth").Double(key.precise.depth).Key("rms").Double(key.precise.trial.rms);
    if (key.best.ok())
      w.Key("distanceFromClassicKeyKm")
          .Double(HaversineDegrees(key.precise.lat, key.precise.lon, key.best.lat, key.best.lon) * kKmPerDegree);
  } else {
    w.Key("epicentre").Null().Key("rms").Null().Key("reason").String(key.precise.trial.reason);
  }
  w.EndObject().EndObject();
}

int ExerciseCommand(int argc, char** argv) {
  bool csv = false;
  EventOptions event;
  std::vector<std::string> files;
  const auto handle = [&csv, &event](const std::string& name, const std::string& value) {
    if (name == "csv") {
      csv = true;
      return true;
    }
    return ParseEventOption("exercise", name, value, event);
  };
  if (!ParseOptions("exercise", "csv model", "csv", argc, argv, handle, files)) return 2;
  if (files.size() != 1) {
    std::fprintf(stderr, "usage: orvane-tool exercise [--csv] [--model NAME] FILE.orvex\n");
    return 2;
  }
  const QString path = QString::fromLocal8Bit(files[0].c_str());
  QString why;
  const std::optional<Exercise> exercise = ReadExerciseFile(path, &why);
  if (!exercise) {
    Fail("exercise", files[0] + ": " + why.toStdString());
    return 1;
  }

  // The exercise's own model unless --model names another.
  const EarthModel model = event.modelGiven ? event.model : exercise->model;
  ScopedErrorReportCapture quiet;  // records left out of a trial are listed below
  ExerciseRecords opened = OpenExerciseRecords(*exercise, path);
  std::vector<KSAC*> pointers = RecordPointers(opened.records);
  trialList.clear();
  TrialState state;
  const RedoneTrials redone = RedoTrials(pointers, exercise->trials, state, model);
  const TrialReport report = MakeTrialReport(pointers, exercise->trials, model);
  if (csv) {
    std::fputs(TrialsCsv(report).c_str(), stdout);
    return 0;
  }

  // The last trial made sets the marks of every record.
  const TrialResult* last = nullptr;
  for (const TrialResult& result : redone.results)
    if (result.ok()) last = &result;

  JsonWriter w;
  w.BeginObject();
  w.Key("exercise").String(files[0]);
  w.Key("version").Int(ExerciseVersionOf(*exercise));
  if (exercise->format) w.Key("format").String(SeismogramFormatName(*exercise->format)); else w.Key("format").Null();
  w.Key("depth").Float(exercise->depth);
  w.Key("maximumRms").Int(exercise->maximumRms);
  w.Key("oneWindow").Bool(exercise->oneWindow);
  w.Key("model").String(EarthModelName(model));
  w.Key("view").BeginObject();
  w.Key("centre").BeginArray().Float(exercise->centreLat).Float(exercise->centreLon).EndArray();
  w.Key("radius").Float(exercise->radius).EndObject();

  w.Key("answerKeys").BeginArray();
  for (const AnswerKey& key : report.keys) {
    WriteAnswerKey(w.NewLine(), key);
  }
  w.NewLine().EndArray();

  w.Key("stations").BeginArray();
  std::size_t next = 0;  // the next opened record
  for (std::size_t i = 0; i < exercise->seismograms.size(); ++i) {
    w.NewLine().BeginObject();
    w.Key("file").String(exercise->seismograms[i].path);
    const bool isOpen = next < opened.entries.size() && opened.entries[next] == i;
    if (!isOpen) {
      std::string status = "left out";
      for (const RefusedFile& f : opened.leftOut)
        if (f.path == ResolvedSeismogramPath(exercise->seismograms[i].path, path).toStdString()) status = f.reason;
      w.Key("status").String(status);
      w.Key("leftOut").Bool(exercise->seismograms[i].leftOut);
      w.Key("kstnm").Null().Key("t0").Null().Key("t1").Null().Key("residual").Null().Key("gcarc").Null().Key("user5").Null();
      w.EndObject();
      continue;
    }
    const KSAC& r = *opened.records[next];
    const bool part = last != nullptr && !IsLeftOut(*last, next);
    ++next;
    w.Key("status").String("opened");
    w.Key("leftOut").Bool(r.leftOut);
    w.Key("kstnm").String(TrimmedHeaderText(r, KSAC::KSTNM));
    OptionalFloat(w, "t0", HasPick(r) ? std::optional<float>(r.GetPick(0)) : std::nullopt);
    OptionalFloat(w, "t1", part ? std::optional<float>(r.GetPick(1)) : std::nullopt);
    OptionalFloat(w, "residual", part ? DeltaT(r) : std::nullopt);
    OptionalFloat(w, "gcarc", part ? std::optional<float>(r.GetFloatHeader(KSAC::GCARC)) : std::nullopt);
    OptionalFloat(w, "user5", part ? std::optional<float>(r.GetFloatHeader(KSAC::USER5)) : std::nullopt);
    w.EndObject();
  }
  w.NewLine().EndArray();

  w.Key("trials").BeginArray();
  for (std::size_t i = 0; i < report.rows.size(); ++i) {
    const TrialReportRow& row = report.rows[i];
    w.NewLine().BeginObject();
    w.Key("number").Int(row.number);
    w.Key("epicentre").BeginArray().Float(row.trial.lat).Float(row.trial.lon).EndArray();
    w.Key("depth").Float(row.trial.depth);
    w.Key("rms").Float(row.trial.rms);
    const TrialResult& again = redone.results[i];
    if (again.ok()) w.Key("rmsNow").Float(again.rms); else w.Key("rmsNow").Null();
    if (row.answerDistanceDeg) w.Key("distanceFromAnswerKeyDeg").Double(*row.answerDistanceDeg);
    else w.Key("distanceFromAnswerKeyDeg").Null();
    if (const auto km = row.AnswerDistanceKm()) w.Key("distanceFromAnswerKeyKm").Double(*km);
    else w.Key("distanceFromAnswerKeyKm").Null();
    if (const auto km = row.PreciseDistanceKm()) w.Key("distanceFromPreciseKeyKm").Double(*km);
    else w.Key("distanceFromPreciseKeyKm").Null();
    w.EndObject();
  }
  w.NewLine().EndArray();

  w.Key("notes").BeginArray();
  for (const RefusedFile& f : opened.leftOut) w.NewLine().String(f.path + ": " + f.reason);
  for (const std::string& note : redone.notes) w.NewLine().String(note);
  w.NewLine().EndArray();
  w.EndObject();
  std::fputs(w.str().c_str(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace orvane::tool
