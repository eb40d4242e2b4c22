#pragma once
// orvane-tool class: the saved exercises of a class on one event, side by side.

namespace orvane::tool {

/// @brief orvane-tool class [--csv] [--map OUT.png] [--model NAME] EXERCISE.orvex...
/// Reads every exercise (view/ClassReport.h: they must be of one event, told
/// by their seismograms' checksums, and of one Earth model unless --model
/// names the one to use) and prints one JSON object:
///   {"model": "iasp91",
///    "exercises": [{"exercise": FILE, "stationsPicked": n, "trials": n,
///                   "lastTrial": TRIAL | null, "bestTrial": TRIAL | null}],
///    "answerKeys": [as orvane-tool exercise prints them],
///    "seismograms": [{"file", "sha256", "picks": n, "pick": s | null, "opened": bool}],
///    "notes": ["...", ...]}
/// with TRIAL = {"epicentre": [lat, lon], "depth", "rms",
/// "distanceFromAnswerKeyKm", "distanceFromPreciseKeyKm"} (null distances
/// without a key). With --csv it prints the exercises as CSV instead
/// (ClassCsv). With --map it also draws the globe around the answer key of
/// the depth most last trials use, with the key marked, the stations, and
/// every student's last trial as a dot labelled with the exercise's name, as
/// an 800 x 600 PNG written whole or not at all.
/// Exit status 0; 1 with a reason when an exercise cannot be read, the
/// exercises are of different events or models, or the map cannot be made;
/// 2 for bad arguments.
int ClassCommand(int argc, char** argv);

}  // namespace orvane::tool
