#pragma once
// orvane-tool exercise: a student's saved exercise for the teacher.

namespace orvane {
struct AnswerKey;
}

namespace orvane::tool {

class JsonWriter;

/// @brief One answer key as an entry of "answerKeys" (exercise and class).
void WriteAnswerKey(JsonWriter& w, const AnswerKey& key);

/// @brief orvane-tool exercise [--csv] [--model NAME] FILE.orvex
/// Opens the exercise as the program does (its seismograms checked against
/// their saved size and checksum, the picks restored, the trials made again
/// in order) and prints one JSON object:
///   {"exercise": FILE, "version": 1, "format": "sac"|"pepp"|"psn"|null,
///    "depth": km, "maximumRms": s, "oneWindow": bool, "model": "iasp91",
///    "view": {"centre": [lat, lon], "radius": px},
///    "answerKeys": [{"depth", "epicentre": [lat, lon] | null, "rms" | null, "reason"?,
///                    "precise": {"epicentre": [lat, lon] | null, "depth", "rms" | null,
///                                "distanceFromClassicKeyKm"?, "reason"?}}],
///    "stations": [{"file", "status": "opened" | why it was left out, "kstnm",
///                  "t0", "t1", "residual", "gcarc", "user5"}],
///    "trials": [{"number", "epicentre": [lat, lon], "depth", "rms", "rmsNow",
///                "distanceFromAnswerKeyDeg", "distanceFromAnswerKeyKm",
///                "distanceFromPreciseKeyKm"}],
///    "notes": ["trial 2 now has RMS ... (saved: ...)", ...]}
/// where residual = t1 - t0 of the last trial (null without a pick or a
/// trial), rms is the saved RMS and rmsNow the RMS the trial gives again
/// (null when it is refused now). The trials are made again, and the keys
/// searched, with the tables of the exercise's Earth model, or of --model
/// NAME when given. With --csv it prints the trials as the program's
/// "Export Trials..." writes them instead.
/// Exit status 0; 1 with a reason when the file is not an exercise or
/// cannot be read; 2 for bad arguments.
int ExerciseCommand(int argc, char** argv);

}  // namespace orvane::tool
