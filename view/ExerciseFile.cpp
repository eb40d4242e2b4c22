#include "view/ExerciseFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#include "platform/FileWriter.h"
#include "seismogram/FormatTable.h"

namespace orvane {
namespace {

// Limits that no real exercise comes near; beyond them a file is refused
// rather than read into memory.
constexpr qsizetype kMaxSeismograms = 10000;
constexpr qsizetype kMaxTrials = 100000;
constexpr double kMaxFileSize = 9007199254740992.0;  // 2^53: every size below is exact in JSON

// Reading goes through one small reader that remembers the first reason of
// refusal, so that each field is one line.
class Reader {
 public:
  QString error;

  bool Fail(const QString& why) {
    if (error.isEmpty()) error = why;
    return false;
  }

  // A number that a float holds (the value as written for a float field).
  bool Float(const QJsonValue& v, const QString& name, float& out, double low, double high) {
    if (!v.isDouble()) return Fail(QStringLiteral("%1 is not a number").arg(name));
    const double d = v.toDouble();
    if (!std::isfinite(d) || d < low || d > high)
      return Fail(QStringLiteral("%1 is out of range (%2 to %3)").arg(name).arg(low).arg(high));
    out = static_cast<float>(d);
    return true;
  }

  bool Integer(const QJsonValue& v, const QString& name, double& out, double low, double high) {
    if (!v.isDouble()) return Fail(QStringLiteral("%1 is not a number").arg(name));
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < low || d > high)
      return Fail(QStringLiteral("%1 is not a whole number from %2 to %3").arg(name).arg(low).arg(high, 0, 'f', 0));
    out = d;
    return true;
  }

  // [lat, lon] in degrees.
  bool Position(const QJsonValue& v, const QString& name, float& lat, float& lon) {
    const QJsonArray a = v.toArray();
    if (!v.isArray() || a.size() != 2) return Fail(QStringLiteral("%1 is not a [latitude, longitude] pair").arg(name));
    return Float(a[0], name + QStringLiteral(" latitude"), lat, -90.0, 90.0) &&
           Float(a[1], name + QStringLiteral(" longitude"), lon, -360.0, 360.0);
  }
};

bool IsHex64(const QString& text) {
  if (text.size() != 64) return false;
  for (QChar c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

// A float as the double it converts to: its shortest text reads back to the
// same float bits. A negative zero is written as zero (JSON readers take
// "-0" for the integer 0); both mean the same point, depth or time.
QJsonValue Number(float value) { return QJsonValue(value == 0.0f ? 0.0 : static_cast<double>(value)); }

QJsonArray Pair(float a, float b) { return QJsonArray{Number(a), Number(b)}; }


// The document's top level, when the bytes are an exercise file at all.
bool ReadExerciseRoot(const QByteArray& bytes, Reader& r, QJsonObject& root) {
  if (bytes.size() > kMaxExerciseBytes) return r.Fail(QStringLiteral("the file is too large for an exercise"));
  QJsonParseError parse{};
  const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
  if (parse.error != QJsonParseError::NoError)
    return r.Fail(
        QStringLiteral("not an exercise file (not JSON: %1 at byte %2)").arg(parse.errorString()).arg(parse.offset));
  if (!document.isObject()) return r.Fail(QStringLiteral("not an exercise file (no \"orvex\" version)"));
  root = document.object();
  if (!root.contains("orvex")) return r.Fail(QStringLiteral("not an exercise file (no \"orvex\" version)"));
  return true;
}

// The version this program must be able to read, and the open dialog's format.
bool ReadVersionAndFormat(const QJsonObject& root, Reader& r, Exercise& e) {
  double version = 0;
  if (!r.Integer(root["orvex"], "the version", version, 1, 1e9)) return false;
  if (version > kExerciseVersion)
    return r.Fail(QStringLiteral("made by a newer Orvane (exercise version %1; this one reads up to %2)")
                      .arg(version, 0, 'f', 0)
                      .arg(kExerciseVersion));
  const QJsonValue format = root["format"];
  if (!format.isNull()) {
    const auto parsed = format.isString() ? ParseSeismogramFormat(format.toString().toStdString()) : std::nullopt;
    if (!parsed)
      return r.Fail(QStringLiteral("the format is not %1 or null")
                        .arg(QString::fromStdString(SeismogramFormatNames("\"", ", ", ", "))));
    e.format = parsed;
  }
  return true;
}

// Which file it is: its name, size and checksum.
bool ReadFileIdentity(const QJsonObject& o, const QString& name, Reader& r, ExerciseSeismogram& s) {
  const QJsonValue path = o["path"];
  if (!path.isString() || path.toString().isEmpty() || path.toString().contains(QChar(0)))
    return r.Fail(QStringLiteral("%1 has no file name").arg(name));
  s.path = path.toString().toStdString();
  double size = 0;
  if (!r.Integer(o["size"], name + " size", size, 0, kMaxFileSize)) return false;
  s.size = static_cast<std::int64_t>(size);
  const QJsonValue sha = o["sha256"];
  if (!sha.isString() || !IsHex64(sha.toString()))
    return r.Fail(QStringLiteral("%1 has no SHA-256 checksum").arg(name));
  s.sha256 = sha.toString().toStdString();
  return true;
}

// Which file a seismogram is: its name, size, checksum and miniSEED channel.
bool ReadSeismogramFile(const QJsonObject& o, const QString& name, Reader& r, ExerciseSeismogram& s) {
  if (!ReadFileIdentity(o, name, r, s)) return false;
  const QJsonValue channel = o["channel"];
  if (!channel.isUndefined()) {
    if (!channel.isString() || channel.toString().isEmpty() || channel.toString().size() > 64 ||
        channel.toString().contains(QChar(0)))
      return r.Fail(QStringLiteral("%1 has a channel that is no channel name").arg(name));
    s.channel = channel.toString().toStdString();
  }
  return true;
}

// What the student did with a seismogram: the pick, the marks of the trial
// shown, whether it is left out and the band it is drawn through.
bool ReadSeismogramWork(const QJsonObject& o, const QString& name, Reader& r, ExerciseSeismogram& s) {
  if (!o["pick"].isNull()) {
    float pick = 0.0f;
    if (!r.Float(o["pick"], name + " pick", pick, -FLT_MAX, FLT_MAX)) return false;
    s.pick = pick;
  }
  const QJsonValue marks = o["marks"];
  if (!marks.isUndefined() && !marks.isNull()) {
    const QJsonArray values = marks.toArray();
    if (!marks.isArray() || values.size() != 4)
      return r.Fail(QStringLiteral("%1 marks are not four numbers").arg(name));
    std::array<float, 4> read{};
    for (int k = 0; k < 4; ++k)
      if (!r.Float(values[k], name + " marks", read[k], -FLT_MAX, FLT_MAX)) return false;
    s.marks = read;
  }
  const QJsonValue leftOut = o["leftOut"];
  if (!leftOut.isUndefined()) {
    if (!leftOut.isBool()) return r.Fail(QStringLiteral("%1 leftOut is not true or false").arg(name));
    s.leftOut = leftOut.toBool();
  }
  const QJsonValue filter = o["filter"];
  if (!filter.isUndefined() && !filter.isNull()) {
    // A band at all; whether a seismogram's sampling can carry it is told
    // when the seismogram is opened.
    const QJsonObject band = filter.toObject();
    const QJsonValue low = band["low"], high = band["high"], order = band["order"];
    if (!filter.isObject() || !low.isDouble() || !high.isDouble() || !order.isDouble() ||
        !(low.toDouble() > 0.0) || !(high.toDouble() > low.toDouble()) || !std::isfinite(high.toDouble()) ||
        (order.toDouble() != 2.0 && order.toDouble() != 4.0))
      return r.Fail(QStringLiteral("%1 filter is not a band (low and high corners in Hz, order 2 or 4)").arg(name));
    s.filter = BandPass{low.toDouble(), high.toDouble(), static_cast<int>(order.toDouble())};
  }
  return true;
}

bool ReadSeismograms(const QJsonObject& root, Reader& r, Exercise& e) {
  const QJsonValue seismograms = root["seismograms"];
  if (!seismograms.isArray()) return r.Fail(QStringLiteral("it names no seismogram files"));
  const QJsonArray list = seismograms.toArray();
  if (list.isEmpty()) return r.Fail(QStringLiteral("it names no seismogram files"));
  if (list.size() > kMaxSeismograms) return r.Fail(QStringLiteral("it names too many seismogram files"));
  for (qsizetype i = 0; i < list.size(); ++i) {
    const QString name = QStringLiteral("seismogram %1").arg(i + 1);
    if (!list[i].isObject()) return r.Fail(QStringLiteral("%1 is not described").arg(name));
    const QJsonObject o = list[i].toObject();
    ExerciseSeismogram s;
    if (!ReadSeismogramFile(o, name, r, s) || !ReadSeismogramWork(o, name, r, s)) return false;
    e.seismograms.push_back(std::move(s));
  }
  return true;
}

// The StationXML and QuakeML files opened with the seismograms.
bool ReadFilesReadWith(const QJsonObject& root, Reader& r, Exercise& e) {
  const QJsonValue with = root["with"];
  if (with.isUndefined()) return true;
  const QJsonArray files = with.toArray();
  if (!with.isArray() || files.size() > kMaxSeismograms)
    return r.Fail(QStringLiteral("the files read with the seismograms are not a list"));
  for (qsizetype i = 0; i < files.size(); ++i) {
    const QString name = QStringLiteral("file %1 read with them").arg(i + 1);
    // Anything but an object has no "path": refused as having no file name.
    ExerciseSeismogram s;
    if (!ReadFileIdentity(files[i].toObject(), name, r, s)) return false;
    e.with.push_back(std::move(s));
  }
  return true;
}

// The depth, colour scale, window mode, Earth model and view of the globe.
bool ReadSettingsAndView(const QJsonObject& root, Reader& r, Exercise& e) {
  // Whatever depth and maximum RMS the program can hold is read back: the
  // depth panel, stored settings and earlier exercises may have given any.
  double maximumRms = 0;
  if (!r.Float(root["depth"], "the depth", e.depth, -FLT_MAX, FLT_MAX)) return false;
  if (!r.Integer(root["maximumRms"], "the maximum RMS", maximumRms, INT_MIN, INT_MAX)) return false;
  e.maximumRms = static_cast<int>(maximumRms);
  if (!root["oneWindow"].isBool()) return r.Fail(QStringLiteral("the window mode is not true or false"));
  e.oneWindow = root["oneWindow"].toBool();
  const QJsonValue model = root["model"];
  if (!model.isUndefined() && !model.isNull()) {
    const auto parsed = model.isString() ? ParseEarthModel(model.toString().toStdString()) : std::nullopt;
    if (!parsed)
      return r.Fail(QStringLiteral("the Earth model is not one of %1").arg(QString::fromStdString(EarthModelNames())));
    e.model = *parsed;
  }
  const QJsonObject view = root["view"].toObject();
  if (!root["view"].isObject()) return r.Fail(QStringLiteral("the view is not described"));
  return r.Position(view["centre"], "the view's centre", e.centreLat, e.centreLon) &&
         r.Float(view["radius"], "the view's radius", e.radius, FLT_TRUE_MIN, FLT_MAX);
}

bool ReadTrials(const QJsonObject& root, Reader& r, Exercise& e) {
  const QJsonValue trials = root["trials"];
  if (!trials.isArray()) return r.Fail(QStringLiteral("the trials are not a list"));
  const QJsonArray trialArray = trials.toArray();
  if (trialArray.size() > kMaxTrials) return r.Fail(QStringLiteral("it holds too many trials"));
  for (qsizetype i = 0; i < trialArray.size(); ++i) {
    const QString name = QStringLiteral("trial %1").arg(i + 1);
    if (!trialArray[i].isObject()) return r.Fail(QStringLiteral("%1 is not described").arg(name));
    const QJsonObject o = trialArray[i].toObject();
    ExerciseTrial t;
    if (!r.Position(o["epicentre"], name + " epicentre", t.lat, t.lon) ||
        !r.Float(o["depth"], name + " depth", t.depth, -FLT_MAX, FLT_MAX) ||
        !r.Float(o["rms"], name + " RMS", t.rms, 0.0, FLT_MAX))
      return false;
    e.trials.push_back(t);
  }
  return true;
}

// The trial shown in the label when the exercise was saved, if any.
bool ReadLastTrial(const QJsonObject& root, Reader& r, Exercise& e) {
  const QJsonValue last = root["lastTrial"];
  if (last.isUndefined() || last.isNull()) return true;
  if (!last.isObject()) return r.Fail(QStringLiteral("the last trial is not described"));
  const QJsonObject o = last.toObject();
  ExerciseShownTrial t;
  if (!r.Position(o["epicentre"], "the last trial's epicentre", t.lat, t.lon) ||
      !r.Float(o["rms"], "the last trial's RMS", t.rms, 0.0, FLT_MAX))
    return false;
  const QJsonArray time = o["originTime"].toArray();
  if (!o["originTime"].isArray() || time.size() != 8)
    return r.Fail(QStringLiteral("the last trial's origin time is not eight numbers"));
  for (int k = 0; k < 8; ++k) {
    double field = 0;
    if (!r.Integer(time[k], "the last trial's origin time", field, 0, 65535)) return false;
    t.originTime[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(field);
  }
  if (!o["stations"].isUndefined()) {
    double stations = 0;
    if (!r.Integer(o["stations"], "the last trial's stations", stations, 0, kMaxSeismograms)) return false;
    t.stations = static_cast<int>(stations);
  }
  e.lastTrial = t;
  return true;
}
}  // namespace

int ExerciseVersionOf(const Exercise& exercise) {
  const bool channels = std::any_of(exercise.seismograms.begin(), exercise.seismograms.end(),
                                    [](const ExerciseSeismogram& s) { return !s.channel.empty(); });
  return channels || !exercise.with.empty() ? 2 : 1;
}

QByteArray ExerciseJson(const Exercise& exercise) {
  QJsonObject root;
  root["orvex"] = ExerciseVersionOf(exercise);
  root["format"] = exercise.format ? QJsonValue(QString::fromUtf8(SeismogramFormatName(*exercise.format)))
                                   : QJsonValue(QJsonValue::Null);
  QJsonArray seismograms;
  for (const ExerciseSeismogram& s : exercise.seismograms) {
    QJsonObject o;
    o["path"] = QString::fromStdString(s.path);
    o["size"] = static_cast<double>(s.size);
    o["sha256"] = QString::fromStdString(s.sha256);
    if (!s.channel.empty()) o["channel"] = QString::fromStdString(s.channel);
    o["pick"] = s.pick ? Number(*s.pick) : QJsonValue(QJsonValue::Null);
    if (s.marks) {
      QJsonArray marks;
      for (float m : *s.marks) marks.append(Number(m));
      o["marks"] = marks;
    } else {
      o["marks"] = QJsonValue(QJsonValue::Null);
    }
    if (s.leftOut) o["leftOut"] = true;
    if (s.filter)
      o["filter"] = QJsonObject{{"low", s.filter->low}, {"high", s.filter->high}, {"order", s.filter->order}};
    seismograms.append(o);
  }
  root["seismograms"] = seismograms;
  if (!exercise.with.empty()) {
    QJsonArray with;
    for (const ExerciseSeismogram& s : exercise.with)
      with.append(QJsonObject{{"path", QString::fromStdString(s.path)},
                              {"size", static_cast<double>(s.size)},
                              {"sha256", QString::fromStdString(s.sha256)}});
    root["with"] = with;
  }
  root["depth"] = Number(exercise.depth);
  root["maximumRms"] = exercise.maximumRms;
  root["oneWindow"] = exercise.oneWindow;
  if (exercise.model != kDefaultEarthModel) root["model"] = QString::fromUtf8(EarthModelName(exercise.model));
  QJsonObject view;
  view["centre"] = Pair(exercise.centreLat, exercise.centreLon);
  view["radius"] = Number(exercise.radius);
  root["view"] = view;
  QJsonArray trials;
  for (const ExerciseTrial& t : exercise.trials) {
    QJsonObject o;
    o["epicentre"] = Pair(t.lat, t.lon);
    o["depth"] = Number(t.depth);
    o["rms"] = Number(t.rms);
    trials.append(o);
  }
  root["trials"] = trials;
  if (exercise.lastTrial) {
    const ExerciseShownTrial& t = *exercise.lastTrial;
    QJsonArray time;
    for (std::uint16_t field : t.originTime) time.append(field);
    QJsonObject last{{"epicentre", Pair(t.lat, t.lon)}, {"rms", Number(t.rms)}, {"originTime", time}};
    if (t.stations > 0) last["stations"] = t.stations;
    root["lastTrial"] = last;
  } else {
    root["lastTrial"] = QJsonValue(QJsonValue::Null);
  }
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Exercise> ParseExercise(const QByteArray& bytes, QString* error) {
  Reader r;
  QJsonObject root;
  Exercise e;
  if (ReadExerciseRoot(bytes, r, root) && ReadVersionAndFormat(root, r, e) && ReadSeismograms(root, r, e) &&
      ReadFilesReadWith(root, r, e) && ReadSettingsAndView(root, r, e) && ReadTrials(root, r, e) &&
      ReadLastTrial(root, r, e))
    return e;
  if (error) *error = r.error;
  return std::nullopt;
}

std::optional<Exercise> ReadExerciseFile(const QString& path, QString* error) {
  // A folder, a pipe or a device is no exercise (and a pipe could keep the
  // reader waiting for ever).
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) {
    if (error) *error = QStringLiteral("not an exercise file (not a regular file)");
    return std::nullopt;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("cannot be read (%1)").arg(file.errorString());
    return std::nullopt;
  }
  // One byte more than allowed tells a file that is too large without reading it all.
  const QByteArray bytes = file.read(kMaxExerciseBytes + 1);
  if (bytes.size() > kMaxExerciseBytes) {
    if (error) *error = QStringLiteral("the file is too large for an exercise");
    return std::nullopt;
  }
  return ParseExercise(bytes, error);
}

bool WriteExerciseFile(const QString& path, const Exercise& exercise, QString* error) {
  const QByteArray bytes = ExerciseJson(exercise);
  std::string why;
  if (!WriteFileAtomically(QFile::encodeName(path).toStdString(),
                           std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why)) {
    if (error) *error = QString::fromStdString(why);
    return false;
  }
  return true;
}

std::optional<FileFingerprint> FingerprintOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QCryptographicHash hash(QCryptographicHash::Sha256);
  FileFingerprint print;
  while (!file.atEnd()) {
    const QByteArray chunk = file.read(1 << 16);
    if (chunk.isEmpty() && file.error() != QFileDevice::NoError) return std::nullopt;
    if (chunk.isEmpty()) break;
    hash.addData(chunk);
    print.size += chunk.size();
  }
  print.sha256 = hash.result().toHex().toStdString();
  return print;
}

std::string StoredSeismogramPath(const QString& absolutePath, const QString& exercisePath) {
  const QString absolute = QDir::cleanPath(QFileInfo(absolutePath).absoluteFilePath());
  if (exercisePath.isEmpty()) return absolute.toStdString();
  const QDir folder = QFileInfo(exercisePath).absoluteDir();
  const QString relative = QDir::cleanPath(folder.relativeFilePath(absolute));
  if (QDir::isAbsolutePath(relative) || relative == ".." || relative.startsWith("../")) return absolute.toStdString();
  return relative.toStdString();
}

QString ResolvedSeismogramPath(const std::string& stored, const QString& exercisePath) {
  const QString path = QString::fromStdString(stored);
  if (QDir::isAbsolutePath(path) || exercisePath.isEmpty()) return QDir::cleanPath(path);
  return QDir::cleanPath(QFileInfo(exercisePath).absoluteDir().filePath(path));
}

}  // namespace orvane
