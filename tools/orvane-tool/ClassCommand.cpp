#include "tools/orvane-tool/ClassCommand.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include "location/GreatCircle.h"
#include "location/TrialLocation.h"
#include "platform/ErrorReport.h"
#include "tools/orvane-tool/Arguments.h"
#include "tools/orvane-tool/ExerciseCommand.h"
#include "tools/orvane-tool/Json.h"
#include "view/ClassReport.h"
#include "view/ExerciseFile.h"

#ifdef ORVANE_TOOL_RENDER
#include <QImage>
#include <QPainter>

#include "map/MapPainter.h"
#include "map/MapPicture.h"
#include "platform/Rect.h"
#include "platform/Surface.h"
#include "tools/orvane-tool/PictureOutput.h"
#endif

namespace orvane::tool {
namespace {

constexpr char kName[] = "class";

void OptionalDouble(JsonWriter& w, const char* key, std::optional<double> value) {
  if (value) w.Key(key).Double(*value); else w.Key(key).Null();
}

void WriteTrial(JsonWriter& w, const char* key, const std::optional<ClassTrial>& t) {
  w.Key(key);
  if (!t) {
    w.Null();
    return;
  }
  w.BeginObject();
  w.Key("epicentre").BeginArray().Float(t->trial.lat).Float(t->trial.lon).EndArray();
  w.Key("depth").Float(t->trial.depth).Key("rms").Float(t->trial.rms);
  OptionalDouble(w, "distanceFromAnswerKeyKm", t->answerDistanceKm);
  OptionalDouble(w, "distanceFromPreciseKeyKm", t->preciseDistanceKm);
  w.EndObject();
}

std::string Json(const ClassReport& report) {
  JsonWriter w;
  w.BeginObject();
  w.Key("model").String(EarthModelName(report.model));
  w.Key("exercises").BeginArray();
  for (const ClassRow& row : report.rows) {
    w.NewLine().BeginObject();
    w.Key("exercise").String(row.file);
    w.Key("stationsPicked").Int(row.stationsPicked).Key("trials").Int(row.trials);
    WriteTrial(w, "lastTrial", row.last);
    WriteTrial(w, "bestTrial", row.best);
    w.EndObject();
  }
  w.NewLine().EndArray();
  w.Key("answerKeys").BeginArray();
  for (const AnswerKey& key : report.keys) WriteAnswerKey(w.NewLine(), key);
  w.NewLine().EndArray();
  w.Key("seismograms").BeginArray();
  for (const ClassSeismogram& s : report.seismograms) {
    w.NewLine().BeginObject().Key("file").String(s.file).Key("sha256").String(s.sha256);
    w.Key("picks").Int(s.picks);
    if (s.pick) w.Key("pick").Float(*s.pick); else w.Key("pick").Null();
    w.Key("opened").Bool(s.opened).EndObject();
  }
  w.NewLine().EndArray();
  w.Key("notes").BeginArray();
  for (const std::string& note : report.notes) w.NewLine().String(note);
  w.NewLine().EndArray().EndObject();
  return w.str() + "\n";
}

#ifdef ORVANE_TOOL_RENDER

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Where the picture puts a position, in the globe's orthographic view
// centred on (lat0, lon0) with @p radius pixels; nothing on the far side.
std::optional<QPoint> OnPicture(double lat, double lon, double lat0, double lon0, double radius) {
  constexpr double r = std::numbers::pi / 180.0;
  const double dl = (lon - lon0) * r;
  const double cosC = std::sin(lat0 * r) * std::sin(lat * r) + std::cos(lat0 * r) * std::cos(lat * r) * std::cos(dl);
  if (cosC < 0.0) return std::nullopt;
  const double x = radius * std::cos(lat * r) * std::sin(dl);
  const double y = radius * (std::cos(lat0 * r) * std::sin(lat * r) - std::sin(lat0 * r) * std::cos(lat * r) * std::cos(dl));
  return QPoint(kWidth / 2 + static_cast<int>(x), kHeight / 2 - static_cast<int>(y));
}

bool WriteMap(const ClassReport& report, int maximumRms, const std::string& out) {
  const AnswerKey* key = report.MapKey();
  std::optional<std::pair<double, double>> centre;
  if (key != nullptr && key->best.ok()) centre.emplace(key->best.lat, key->best.lon);
  else if (key != nullptr && key->precise.ok()) centre.emplace(key->precise.lat, key->precise.lon);
  if (!centre) {
    const std::string why = key == nullptr ? std::string("there are no trials") : key->best.trial.reason;
    return Fail(kName, out + ": no answer key to centre the map on (" + why + ")");
  }
  const auto [lat0, lon0] = *centre;
  // Every last trial on the near side in view, but never closer than 5
  // degrees around the key.
  double reach = 5.0;
  for (const ClassRow& row : report.rows) {
    if (!row.last) continue;
    const double d = HaversineDegrees(lat0, lon0, row.last->trial.lat, row.last->trial.lon);
    if (d <= 90.0) reach = std::max(reach, d);
  }
  const double radius = 0.42 * std::min(kWidth, kHeight) / std::sin(reach * std::numbers::pi / 180.0);

  const auto app = MakeOffscreenApplication();
  QImage image = NewPicture(kName, kWidth, kHeight);
  if (image.isNull()) return false;
  std::vector<KSAC*> records;
  for (const auto& r : report.records) records.push_back(r.get());
  {
    Surface surface(image);
    MapPicture picture;
    picture.CentreOn(static_cast<float>(lat0), static_cast<float>(lon0));
    picture.radius = static_cast<float>(radius);
    picture.client = Rect{0, 0, kWidth, kHeight};
    picture.records = records;
    picture.maximumRms = maximumRms;
    picture.hasAnswerKey = true;
    picture.answerLat = static_cast<float>(lat0);
    picture.answerLon = static_cast<float>(lon0);
    PaintMapPicture(surface, picture);
  }
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(Surface::StockFont());
  const QFontMetrics metrics(painter.font());
  for (const ClassRow& row : report.rows) {
    if (!row.last) continue;
    const auto at = OnPicture(row.last->trial.lat, row.last->trial.lon, lat0, lon0, radius);
    if (!at) {
      Fail(kName, row.file + ": the last trial lies on the far side of the globe, off the map");
      continue;
    }
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(QColor(255, 140, 0));
    painter.drawEllipse(*at, 5, 5);
    const QString label = QString::fromStdString(row.name);
    QRect box = metrics.boundingRect(label).adjusted(-2, -1, 2, 1);
    box.moveTopLeft(*at + QPoint(8, -box.height() - 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, label);
  }
  painter.end();
  return SavePicture(kName, image, out);
}

#endif

}  // namespace

int ClassCommand(int argc, char** argv) {
  bool csv = false;
  std::string map;
  EventOptions event;
  std::vector<std::string> files;
  const auto handle = [&](const std::string& name, const std::string& value) {
    if (name == "csv") {
      csv = true;
    } else if (name == "map") {
      if (value.empty()) return Fail(kName, "--map needs a file name");
      map = value;
    } else {
      return ParseEventOption(kName, name, value, event);
    }
    return true;
  };
  if (!ParseOptions(kName, "csv map model", "csv", argc, argv, handle, files) || files.empty()) {
    std::fprintf(stderr, "usage: orvane-tool class [--csv] [--map OUT.png] [--model NAME] EXERCISE.orvex...\n");
    return 2;
  }
#ifndef ORVANE_TOOL_RENDER
  if (!map.empty()) {
    Fail(kName, "this orvane-tool was built without pictures: no --map");
    return 2;
  }
#endif

  std::vector<ClassExercise> exercises;
  for (const std::string& file : files) {
    const QString path = QString::fromLocal8Bit(file.c_str());
    QString why;
    std::optional<Exercise> exercise = ReadExerciseFile(path, &why);
    if (!exercise) {
      Fail(kName, file + ": " + why.toStdString());
      return 1;
    }
    exercises.push_back({file, QFileInfo(path).absoluteFilePath(), std::move(*exercise)});
  }
  std::string why;
  ScopedErrorReportCapture quiet;  // the files left out are named in the notes
  const std::optional<ClassReport> report =
      MakeClassReport(exercises, event.modelGiven ? std::optional<EarthModel>(event.model) : std::nullopt, &why);
  if (!report) {
    Fail(kName, why);
    return 1;
  }
#ifdef ORVANE_TOOL_RENDER
  if (!map.empty() && !WriteMap(*report, exercises[0].exercise.maximumRms, map)) return 1;
#endif
  std::fputs(csv ? ClassCsv(*report).c_str() : Json(*report).c_str(), stdout);
  return 0;
}

}  // namespace orvane::tool
