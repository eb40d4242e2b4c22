// The exercise file: what is written reads back the same, floats to the last
// bit; foreign, damaged and hostile files are refused with a reason; paths
// are stored relative where the seismograms lie beside the exercise; the
// trials report as CSV.
#include "view/ExerciseFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "location/TrialLocation.h"
#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"
#include "view/ExerciseReplay.h"
#include "view/TrialReport.h"

namespace orvane {
namespace {

std::uint32_t Bits(float f) {
  std::uint32_t b = 0;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

Exercise Sample() {
  Exercise e;
  e.format = SeismogramFormat::kPEPP;
  e.seismograms = {{"TAIG.sac", 29432, std::string(64, 'a'), 55.37f, std::nullopt},
                   {"sub/MNGL.sac", 1, std::string(64, '0'), std::nullopt, std::nullopt},
                   {"/data/KODK.sac", 0, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", 0.1f,
                    std::nullopt}};
  e.depth = 33.0f;
  e.maximumRms = 7;
  e.oneWindow = false;
  e.centreLat = 41.299999f;
  e.centreLon = -142.80002f;
  e.radius = 488.28125f;
  // Floats that a short decimal text would not give back.
  e.trials = {{41.3f, 142.8f, 33.0f, 0.8123457f},
              {std::nextafter(1.0f / 3.0f, 1.0f), -179.99998f, 33.0f, FLT_MIN},
              {-90.0f, 360.0f, 700.0f, FLT_MAX},
              {1e-30f, 0.0f, 0.0f, 0.0f}};
  e.seismograms[0].marks = std::array<float, 4>{49.80832f, 0.0f, 20.688835f, -12345.0f};
  e.lastTrial = ExerciseShownTrial{41.3f, 142.8f, 0.37456626f, {2026, 3, 0, 1, 10, 0, 7, 300}};
  return e;
}

TEST(ExerciseFile, WhatIsWrittenReadsBackBitForBit) {
  const Exercise e = Sample();
  QString error;
  const auto back = ParseExercise(ExerciseJson(e), &error);
  ASSERT_TRUE(back.has_value()) << error.toStdString();
  EXPECT_EQ(*back, e);
  ASSERT_EQ(back->trials.size(), e.trials.size());
  for (std::size_t i = 0; i < e.trials.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Bits(back->trials[i].lat), Bits(e.trials[i].lat));
    EXPECT_EQ(Bits(back->trials[i].lon), Bits(e.trials[i].lon));
    EXPECT_EQ(Bits(back->trials[i].rms), Bits(e.trials[i].rms));
  }
  EXPECT_EQ(Bits(*back->seismograms[0].pick), Bits(55.37f));
  EXPECT_FALSE(back->seismograms[1].pick.has_value());
  EXPECT_EQ(Bits(back->centreLat), Bits(e.centreLat));
  EXPECT_EQ(Bits((*back->seismograms[0].marks)[0]), Bits(49.80832f));
  EXPECT_FALSE(back->seismograms[1].marks.has_value());
  EXPECT_EQ(back->lastTrial->originTime[7], 300);
  // Without a trial on show there is no last trial.
  Exercise none = e;
  none.lastTrial.reset();
  EXPECT_EQ(ParseExercise(ExerciseJson(none)), none);
}

TEST(ExerciseFile, NegativeZeroIsWrittenAsZero) {
  // JSON readers take "-0" for the integer 0; both place a trial at the same point.
  Exercise e = Sample();
  e.trials[0].lon = -0.0f;
  e.centreLon = -0.0f;
  const auto back = ParseExercise(ExerciseJson(e));
  ASSERT_TRUE(back);
  EXPECT_EQ(Bits(back->trials[0].lon), 0u);
  EXPECT_EQ(Bits(back->centreLon), 0u);
  EXPECT_EQ(ExerciseJson(*back), ExerciseJson(e));
}

TEST(ExerciseFile, TheFormatAndVersionAreWrittenAsDocumented) {
  Exercise e = Sample();
  e.format.reset();
  const QJsonObject root = QJsonDocument::fromJson(ExerciseJson(e)).object();
  EXPECT_EQ(root["orvex"].toInt(), 1);  // no miniSEED channels: as before they came
  EXPECT_TRUE(root["format"].isNull());
  EXPECT_EQ(root["seismograms"][0]["path"].toString(), "TAIG.sac");
  EXPECT_EQ(root["view"]["centre"][1].toDouble(), static_cast<double>(-142.80002f));
  EXPECT_EQ(root["trials"][0]["rms"].toDouble(), static_cast<double>(0.8123457f));
  const auto back = ParseExercise(ExerciseJson(e));
  ASSERT_TRUE(back);
  EXPECT_FALSE(back->format.has_value());
  // The default Earth model is not written, so that the file is what it was
  // before there were models; another one is, and reads back.
  EXPECT_FALSE(root.contains("model"));
  EXPECT_EQ(back->model, EarthModel::kIasp91);
  e.model = EarthModel::kAk135;
  EXPECT_EQ(QJsonDocument::fromJson(ExerciseJson(e)).object()["model"].toString(), "ak135");
  EXPECT_EQ(ParseExercise(ExerciseJson(e)), e);
}

// Each row changes one thing of a good file; the file must be refused with
// a reason that contains `why`.
struct Refusal {
  const char* name;
  std::function<void(QJsonObject&)> change;
  const char* why;
};

TEST(ExerciseFile, DamagedOrForeignFilesAreRefusedWithAReason) {
  const auto seismogram = [](QJsonObject& root, const char* key, const QJsonValue& value) {
    QJsonArray list = root["seismograms"].toArray();
    QJsonObject first = list[0].toObject();
    first[key] = value;
    list[0] = first;
    root["seismograms"] = list;
  };
  const auto trial = [](QJsonObject& root, const char* key, const QJsonValue& value) {
    QJsonArray list = root["trials"].toArray();
    QJsonObject first = list[0].toObject();
    first[key] = value;
    list[0] = first;
    root["trials"] = list;
  };
  const Refusal rows[] = {
      {"no version", [](QJsonObject& r) { r.remove("orvex"); }, "not an exercise file"},
      {"newer version", [](QJsonObject& r) { r["orvex"] = kExerciseVersion + 1; }, "newer"},
      {"version text", [](QJsonObject& r) { r["orvex"] = "1"; }, "version"},
      {"version fraction", [](QJsonObject& r) { r["orvex"] = 1.5; }, "version"},
      {"unknown format", [](QJsonObject& r) { r["format"] = "mseed"; }, "format"},
      {"no seismograms", [](QJsonObject& r) { r["seismograms"] = QJsonArray(); }, "no seismogram"},
      {"seismograms object", [](QJsonObject& r) { r["seismograms"] = QJsonObject(); }, "no seismogram"},
      {"seismogram number", [](QJsonObject& r) { r["seismograms"] = QJsonArray{3}; }, "seismogram 1"},
      {"empty path", [&](QJsonObject& r) { seismogram(r, "path", ""); }, "file name"},
      {"negative size", [&](QJsonObject& r) { seismogram(r, "size", -1); }, "size"},
      {"short checksum", [&](QJsonObject& r) { seismogram(r, "sha256", "abc"); }, "SHA-256"},
      {"upper-case checksum", [&](QJsonObject& r) { seismogram(r, "sha256", QString(64, 'A')); }, "SHA-256"},
      {"pick text", [&](QJsonObject& r) { seismogram(r, "pick", "55"); }, "pick"},
      {"pick beyond float", [&](QJsonObject& r) { seismogram(r, "pick", 1e300); }, "pick"},
      {"depth missing", [](QJsonObject& r) { r.remove("depth"); }, "depth"},
      {"depth beyond float", [](QJsonObject& r) { r["depth"] = -1e39; }, "depth"},
      {"maximum RMS beyond int", [](QJsonObject& r) { r["maximumRms"] = 2147483648.0; }, "maximum RMS"},
      {"maximum RMS fraction", [](QJsonObject& r) { r["maximumRms"] = 2.5; }, "maximum RMS"},
      {"window mode number", [](QJsonObject& r) { r["oneWindow"] = 1; }, "window mode"},
      {"unknown Earth model", [](QJsonObject& r) { r["model"] = "prem"; }, "Earth model"},
      {"Earth model number", [](QJsonObject& r) { r["model"] = 1; }, "Earth model"},
      {"no view", [](QJsonObject& r) { r.remove("view"); }, "view"},
      {"centre of one number", [](QJsonObject& r) { r["view"] = QJsonObject{{"centre", QJsonArray{1}}, {"radius", 200}}; }, "centre"},
      {"latitude 91", [](QJsonObject& r) { r["view"] = QJsonObject{{"centre", QJsonArray{91, 0}}, {"radius", 200}}; }, "latitude"},
      {"radius 0", [](QJsonObject& r) { r["view"] = QJsonObject{{"centre", QJsonArray{1, 0}}, {"radius", 0}}; }, "radius"},
      {"trials object", [](QJsonObject& r) { r["trials"] = QJsonObject(); }, "trials"},
      {"trial null", [](QJsonObject& r) { r["trials"] = QJsonArray{QJsonValue()}; }, "trial 1"},
      {"trial rms negative", [&](QJsonObject& r) { trial(r, "rms", -1); }, "trial 1 RMS"},
      {"trial epicentre text", [&](QJsonObject& r) { trial(r, "epicentre", "41,142"); }, "trial 1 epicentre"},
      {"three marks", [&](QJsonObject& r) { seismogram(r, "marks", QJsonArray{1, 2, 3}); }, "marks"},
      {"mark text", [&](QJsonObject& r) { seismogram(r, "marks", QJsonArray{1, 2, 3, "4"}); }, "marks"},
      {"last trial list", [](QJsonObject& r) { r["lastTrial"] = QJsonArray{}; }, "last trial"},
      {"last trial time short",
       [](QJsonObject& r) {
         r["lastTrial"] = QJsonObject{{"epicentre", QJsonArray{1, 2}}, {"rms", 1}, {"originTime", QJsonArray{2026}}};
       },
       "origin time"},
      {"last trial time beyond a word",
       [](QJsonObject& r) {
         r["lastTrial"] = QJsonObject{
             {"epicentre", QJsonArray{1, 2}}, {"rms", 1}, {"originTime", QJsonArray{70000, 1, 0, 1, 0, 0, 0, 0}}};
       },
       "origin time"},
  };
  const QJsonObject good = QJsonDocument::fromJson(ExerciseJson(Sample())).object();
  ASSERT_TRUE(ParseExercise(QJsonDocument(good).toJson()));
  for (const Refusal& row : rows) {
    SCOPED_TRACE(row.name);
    QJsonObject root = good;
    row.change(root);
    QString error;
    EXPECT_FALSE(ParseExercise(QJsonDocument(root).toJson(), &error).has_value());
    EXPECT_TRUE(error.contains(row.why)) << error.toStdString();
  }
}

TEST(ExerciseFile, TruncatedTextOrOtherDocumentsAreRefused) {
  const QByteArray good = ExerciseJson(Sample());
  for (qsizetype n : {qsizetype{0}, qsizetype{1}, good.size() / 2, good.size() - 3}) {
    QString error;
    EXPECT_FALSE(ParseExercise(good.left(n), &error).has_value()) << n;
    EXPECT_TRUE(error.startsWith("not an exercise file")) << error.toStdString();
  }
  for (const char* foreign : {"[1,2,3]", "{\"a\": 1}", "\"orvex\"", "{\"orvex\": null}", "\x89PNG\r\n"}) {
    QString error;
    EXPECT_FALSE(ParseExercise(QByteArray(foreign), &error).has_value()) << foreign;
    EXPECT_FALSE(error.isEmpty());
  }
  // Deep nesting is refused, not followed down the stack.
  const QByteArray deep = QByteArray(100000, '[') + QByteArray(100000, ']');
  EXPECT_FALSE(ParseExercise(deep).has_value());
}

TEST(ExerciseFile, ReadingAndWritingFiles) {
  test::ScopedTempDir dir;
  const QString path = QString::fromStdString((dir / "work.orvex").string());
  QString error;
  ASSERT_TRUE(WriteExerciseFile(path, Sample(), &error)) << error.toStdString();
  const auto back = ReadExerciseFile(path, &error);
  ASSERT_TRUE(back) << error.toStdString();
  EXPECT_EQ(*back, Sample());
  EXPECT_FALSE(ReadExerciseFile(path + ".missing", &error));
  EXPECT_TRUE(error.contains("cannot be read"));
  // A folder or a pipe is refused without waiting for it.
  EXPECT_FALSE(ReadExerciseFile(QString::fromStdString(dir.path().string()), &error));
  EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();
  ASSERT_EQ(::mkfifo((dir / "pipe.orvex").c_str(), 0600), 0);
  EXPECT_FALSE(ReadExerciseFile(QString::fromStdString((dir / "pipe.orvex").string()), &error));
  EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();
  // A folder that is not there: nothing is written, and the reason is given.
  EXPECT_FALSE(WriteExerciseFile(QString::fromStdString((dir / "no/such/folder/x.orvex").string()), Sample(), &error));
  EXPECT_FALSE(error.isEmpty());
  // A device that is full is written in place: the failure is said, and the
  // device stays.
  const std::filesystem::path full = test::FullDevice(dir.path());
  EXPECT_FALSE(WriteExerciseFile(QString::fromStdString(full.string()), Sample(), &error));
  EXPECT_TRUE(error.contains("No space left on device")) << error.toStdString();
  EXPECT_TRUE(std::filesystem::is_character_file(full));
  // Too large to be an exercise: refused unread.
  {
    std::ofstream big(dir / "big.orvex", std::ios::binary);
    big << "{\"orvex\":1,\"pad\":\"" << std::string(kMaxExerciseBytes, 'x') << "\"}";
  }
  EXPECT_FALSE(ReadExerciseFile(QString::fromStdString((dir / "big.orvex").string()), &error));
  EXPECT_TRUE(error.contains("too large"));
}

TEST(ExerciseFile, FingerprintIsSizeAndSha256) {
  test::ScopedTempDir dir;
  std::ofstream(dir / "abc.bin", std::ios::binary) << "abc";
  const auto print = FingerprintOf(QString::fromStdString((dir / "abc.bin").string()));
  ASSERT_TRUE(print);
  EXPECT_EQ(print->size, 3);
  EXPECT_EQ(print->sha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_FALSE(FingerprintOf(QString::fromStdString((dir / "none").string())));
}

TEST(ExerciseFile, PathsBesideTheExerciseAreRelativeOthersAbsolute) {
  const QString exercise = "/home/student/quake/work.orvex";
  EXPECT_EQ(StoredSeismogramPath("/home/student/quake/TAIG.sac", exercise), "TAIG.sac");
  EXPECT_EQ(StoredSeismogramPath("/home/student/quake/data/../data/KODK.sac", exercise), "data/KODK.sac");
  EXPECT_EQ(StoredSeismogramPath("/home/student/other/MNGL.sac", exercise), "/home/student/other/MNGL.sac");
  EXPECT_EQ(StoredSeismogramPath("/home/student/quake/TAIG.sac", QString()), "/home/student/quake/TAIG.sac");
  EXPECT_EQ(ResolvedSeismogramPath("data/KODK.sac", "/mnt/copy/work.orvex"), "/mnt/copy/data/KODK.sac");
  EXPECT_EQ(ResolvedSeismogramPath("/home/student/other/MNGL.sac", "/mnt/copy/work.orvex"),
            "/home/student/other/MNGL.sac");
}

TEST(TrialReport, CsvHasAHeaderAndOneLinePerTrialWithKilometres) {
  TrialReport report;
  report.rows.push_back({1, {41.3f, 142.8f, 33.0f, 0.8123457f}, 1.0f, 0.5});
  report.rows.push_back({2, {-12.5f, -0.25f, 33.0f, 12.0f}, std::nullopt, std::nullopt});
  EXPECT_EQ(TrialsCsv(report),
            "trial,latitude,longitude,depth_km,rms_s,distance_from_answer_key_km,distance_from_precise_key_km\n"
            "1,41.3,142.8,33,0.8123457,111.2,55.6\n"
            "2,-12.5,-0.25,33,12,,\n");
  EXPECT_EQ(TrialsCsv(TrialReport{}),
            "trial,latitude,longitude,depth_km,rms_s,distance_from_answer_key_km,distance_from_precise_key_km\n");
}

// The Nepal sample event with every P onset picked to the hundredth of a
// second, as examples/ANSWERS.md gives them.
std::vector<std::unique_ptr<KSAC>> NepalRecords() {
  const std::pair<const char*, float> onsets[] = {
      {"II.NIL.BHZ.sac", 847.50f},   {"IU.CHTO.BHZ.sac", 913.05f},  {"II.AAK.BHZ.sac", 920.19f},
      {"II.PALK.BHZ.sac", 974.11f},  {"IC.BJT.BHZ.sac", 1041.77f},  {"II.RAYN.BHZ.sac", 1103.87f},
      {"II.DGAR.BHZ.sac", 1121.84f}, {"II.COCO.BHZ.sac", 1159.44f}, {"IU.MAJO.BHZ.sac", 1185.59f},
      {"II.KAPI.BHZ.sac", 1201.44f}, {"IU.KEV.BHZ.sac", 1241.78f},  {"II.MBAR.BHZ.sac", 1288.31f}};
  std::vector<std::unique_ptr<KSAC>> records;
  for (const auto& [name, onset] : onsets) {
    SeismogramReadResult read =
        ReadSeismogramFile(std::string(ORVANE_SOURCE_DIR "/examples/shallow-nepal-synthetic/") + name);
    EXPECT_TRUE(read.record) << name << ": " << read.reason;
    if (!read.record) continue;
    read.record->SetPick(0, onset);
    records.push_back(std::move(read.record));
  }
  return records;
}

TEST(TrialReport, DistanceFromTheAnswerKeyResolvesMetres) {
  const auto records = NepalRecords();
  ASSERT_EQ(records.size(), 12u);
  // A trial at the catalogue epicentre; the answer key lies some 0.015 degrees away.
  const ExerciseTrial trial{28.231f, 84.731f, 8.2f, 0.45f};
  const TrialReport report = MakeTrialReport(RecordPointers(records), std::vector<ExerciseTrial>{trial});
  ASSERT_EQ(report.keys.size(), 1u);
  const BestEpicentreResult& key = report.keys[0].best;
  ASSERT_TRUE(key.ok()) << key.trial.reason;
  ASSERT_EQ(report.rows.size(), 1u);
  const std::optional<double> km = report.rows[0].AnswerDistanceKm();
  ASSERT_TRUE(km);
  EXPECT_NEAR(*km, 1.59, 0.01);
  // At this scale the Earth is flat: kilometres north and east.
  const double north = (static_cast<double>(key.lat) - trial.lat) * kKmPerDegree;
  const double meanLat = (static_cast<double>(key.lat) + trial.lat) / 2.0;
  const double east = (static_cast<double>(key.lon) - trial.lon) * kKmPerDegree * std::cos(meanLat * std::numbers::pi / 180.0);
  EXPECT_NEAR(*km, std::hypot(north, east), 0.001);
}

TEST(TrialReport, TheAnswerKeyIsSearchedOncePerDepthColumn) {
  const auto records = NepalRecords();
  ASSERT_EQ(records.size(), 12u);
  // 0 to 16.4 km share the first column of the tables, 33 and 50 km the second.
  const std::vector<ExerciseTrial> trials = {{28.0f, 85.0f, 0.0f, 1.0f},  {28.0f, 85.0f, 8.2f, 1.0f},
                                             {28.0f, 85.0f, 33.0f, 1.0f}, {28.0f, 85.0f, 10.0f, 1.0f},
                                             {28.0f, 85.0f, 16.4f, 1.0f}, {28.0f, 85.0f, 50.0f, 1.0f}};
  const TrialReport report = MakeTrialReport(RecordPointers(records), trials);
  ASSERT_EQ(report.keys.size(), 2u);
  EXPECT_EQ(report.keys[0].depth, 0.0f);
  EXPECT_EQ(report.keys[1].depth, 33.0f);
  ASSERT_TRUE(report.keys[0].best.ok() && report.keys[1].best.ok());
  ASSERT_EQ(report.rows.size(), trials.size());
  for (std::size_t i : {1u, 3u, 4u}) EXPECT_EQ(report.rows[i].answerDistanceDeg, report.rows[0].answerDistanceDeg) << i;
  EXPECT_EQ(report.rows[5].answerDistanceDeg, report.rows[2].answerDistanceDeg);
}

TEST(TrialReport, ShortestFloatTextReadsBackTheSameFloat) {
  for (float f : {0.1f, 1.0f / 3.0f, 55.37f, -142.80002f, FLT_MAX, FLT_MIN, 1e-30f}) {
    const std::string text = ShortestFloatText(f);
    EXPECT_EQ(Bits(std::strtof(text.c_str(), nullptr)), Bits(f)) << text;
  }
  EXPECT_EQ(ShortestFloatText(0.1f), "0.1");
  EXPECT_EQ(ShortestFloatText(33.0f), "33");
}

}  // namespace
}  // namespace orvane
