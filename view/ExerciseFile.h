#pragma once
// The exercise file (.orvex): a student's work on one event, kept so that it
// can be opened again exactly as it was left. It is JSON with a format
// version:
//
//   {"orvex": 1,
//    "format": "sac" | "pepp" | "psn" | "miniseed" | null,  (null: each file by its name)
//    "seismograms": [{"path": "TAIG.sac", "size": 29432, "sha256": "9f…",
//                     "channel": "IU.TAIG.00.BHZ",   (only for a channel of a miniSEED file)
//                     "pick": 55.37 | null, "marks": [t1, t2, gcarc, user5] | null,
//                     "leftOut": true,            (absent: false)
//                     "filter": {"low": 1, "high": 5, "order": 4}}, …],  (absent: none)
//    "with": [{"path": "stations.xml", "size": 6113, "sha256": "…"}, …],
//                                                   (only when files were read with them)
//    "depth": 33, "maximumRms": 10, "oneWindow": true,
//    "model": "ak135",                              (absent: iasp91)
//    "view": {"centre": [41.3, 142.8], "radius": 400},
//    "trials": [{"epicentre": [41.2, 142.9], "depth": 33, "rms": 0.81}, …],
//    "lastTrial": {"epicentre": [41.2, 142.9], "rms": 0.81,
//                  "originTime": [2026, 3, 0, 1, 10, 0, 7, 300],
//                  "stations": 11} | null}      (stations that took part; absent: not known)
//
// A new pick or depth discards the trials but leaves the last one on show
// (its label, and its marks on the seismograms that were not picked again).
// So while a trial is shown, "lastTrial" and each seismogram's
// "marks" ([t1, t2, gcarc, user5]) keep what is on screen; they are put back
// when no trial is left to make again.
//
// A seismogram the student left out of the location carries "leftOut": true;
// the field is written only then, so that older files read as before and
// older programs still read the file (they ignore the field). So does the
// band-pass the student chose to draw a seismogram through: "filter", only
// while there is one; it changes no version.
//
// Paths are relative to the exercise file where the seismogram lies in its
// folder or below it, so that a folder moved or copied as a whole opens
// anywhere; other paths are absolute. Every float is written as the double
// it converts to, which reads back to the same float bits (a negative zero
// reads back as zero).
//
// A data centre's miniSEED file holds many channels, each a seismogram of its
// own: such a seismogram names its channel, and the StationXML (and QuakeML)
// files read with them are listed in "with", checked as the seismograms are.
// An exercise with them is version 2 (a program that knows only version 1
// would open the wrong channels); any other is written as version 1, as it
// always was.
//
// Reading refuses, with a reason, anything that is not such a file: not JSON,
// another JSON document, a newer version, a field of the wrong type or out of
// range. A refused file gives no Exercise at all, so nothing is changed.
//
// The Earth model whose tables the trials used is written only when it is not
// the default (iasp91), so an exercise on the default tables is the same file
// it always was; a file without it, or with null, is read as iasp91. A model
// this program does not ship is refused, as a newer version is.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "location/EarthModel.h"
#include "seismogram/BandPass.h"
#include "seismogram/SeismogramFile.h"

namespace orvane {

/// The newest version this program writes (for an exercise with miniSEED
/// channels; others are version 1); it reads this one and older.
constexpr int kExerciseVersion = 2;
/// Larger files are refused unread: an exercise of a few hundred trials is a
/// few tens of kilobytes.
constexpr qint64 kMaxExerciseBytes = 16 * 1024 * 1024;
/// The file name extension of an exercise, without the dot.
inline constexpr const char* kExerciseSuffix = "orvex";

/// One seismogram file of the exercise.
struct ExerciseSeismogram {
  std::string path;          ///< as stored: relative to the exercise file, or absolute
  std::int64_t size = 0;     ///< bytes when saved
  std::string sha256;        ///< lower-case hex of the file's bytes when saved
  std::optional<float> pick; ///< the P pick t0 in seconds after the reference time
  /// t1, t2, gcarc and user5 while a trial is shown
  std::optional<std::array<float, 4>> marks;
  bool leftOut = false;      ///< left out of the location by the student
  /// the band-pass the seismogram is drawn through; none: as it is
  std::optional<BandPass> filter = {};
  /// NET.STA.LOC.CHA of a miniSEED file's channel; empty: the file is the seismogram
  std::string channel = {};
  bool operator==(const ExerciseSeismogram&) const = default;
};

/// One trial epicentre, in the order made.
struct ExerciseTrial {
  float lat = 0.0f;    ///< degrees, north positive
  float lon = 0.0f;    ///< degrees, east positive
  float depth = 0.0f;  ///< km
  float rms = 0.0f;    ///< seconds, as the trial gave it
  bool operator==(const ExerciseTrial&) const = default;
};

/// The trial shown in the label (the last one made), as TrialState holds it.
struct ExerciseShownTrial {
  float lat = 0.0f;
  float lon = 0.0f;
  float rms = 0.0f;
  std::array<std::uint16_t, 8> originTime{};  ///< the SYSTEMTIME fields in their order
  int stations = 0;  ///< stations that took part (0: not known)
  bool operator==(const ExerciseShownTrial&) const = default;
};

/// A student's work on one event.
struct Exercise {
  std::optional<SeismogramFormat> format;  ///< the open dialog's choice; none: by file name
  std::vector<ExerciseSeismogram> seismograms;
  /// Files read with the seismograms (StationXML, QuakeML): path, size and
  /// checksum only.
  std::vector<ExerciseSeismogram> with;
  float depth = 0.0f;       ///< km
  int maximumRms = 10;      ///< whole seconds at the top of the colour scale
  bool oneWindow = true;    ///< all seismograms in one window, or one per station
  EarthModel model = kDefaultEarthModel;  ///< whose travel-time tables the trials use
  float centreLat = 0.0f;   ///< the view's centre, degrees
  float centreLon = 0.0f;
  float radius = 0.0f;      ///< the globe's radius, pixels
  std::vector<ExerciseTrial> trials;
  std::optional<ExerciseShownTrial> lastTrial;  ///< none while no trial is shown
  bool operator==(const Exercise&) const = default;
};

/// @brief The version @p exercise is written as: 2 with miniSEED channels
/// or files read with them, otherwise 1.
int ExerciseVersionOf(const Exercise& exercise);

/// @brief The JSON text of @p exercise (indented, UTF-8).
QByteArray ExerciseJson(const Exercise& exercise);

/// @brief The exercise held by @p bytes, or nothing with the reason in
/// @p error (e.g. "not JSON: unterminated string at byte 120",
/// "not an exercise file (no \"orvex\" version)").
std::optional<Exercise> ParseExercise(const QByteArray& bytes, QString* error = nullptr);

/// @brief Reads the exercise file at @p path (at most kMaxExerciseBytes).
std::optional<Exercise> ReadExerciseFile(const QString& path, QString* error = nullptr);

/// @brief Writes @p exercise to @p path through the checked writer
/// (WriteFile): whole or not at all, an existing file staying as it was when
/// the writing fails. @return false with the reason in @p error (e.g. "the
/// file could not be written: No space left on device").
bool WriteExerciseFile(const QString& path, const Exercise& exercise, QString* error = nullptr);

/// @brief The SHA-256 of the file at @p path as lower-case hex, and its size;
/// nothing when it cannot be read.
struct FileFingerprint {
  std::int64_t size = 0;
  std::string sha256;
};
std::optional<FileFingerprint> FingerprintOf(const QString& path);

/// @brief How @p absolutePath is stored in an exercise file at
/// @p exercisePath: relative to its folder when the seismogram lies in that
/// folder or below, otherwise absolute. An empty @p exercisePath keeps every
/// path absolute (the recovery file).
std::string StoredSeismogramPath(const QString& absolutePath, const QString& exercisePath);

/// @brief The file a stored path names: a relative one is taken from the
/// folder of @p exercisePath.
QString ResolvedSeismogramPath(const std::string& stored, const QString& exercisePath);

}  // namespace orvane
