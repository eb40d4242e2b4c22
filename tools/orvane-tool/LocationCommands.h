#pragma once
// orvane-tool commands of the location engine: travel times, a trial
// location, and the best epicentre.

namespace orvane::tool {

/// @brief orvane-tool traveltime --phase P|S [--depth KM] [--model NAME] DISTANCE...
///        orvane-tool traveltime --phase P|S [--depth KM] [--model NAME] --inverse TIME...
/// One line per value on standard output: "DISTANCE TIME" through the table's
/// forward lookup, or with --inverse "TIME DISTANCE" through the inverse one
/// (0 when the time lies outside the table). The tables are the model's P.JB
/// or S.JB as FindPhaseTable finds them (location/EarthModel.h); the model
/// defaults to iasp91 and the depth to 0 km. Every command that makes trials
/// takes --model NAME (iasp91, ak135, jb) in the same way.
/// Exit status 0; 1 with a reason when the table is missing or empty; 2 for
/// bad arguments.
int TravelTimeCommand(int argc, char** argv);

/// @brief orvane-tool locate [--depth KM] [--model NAME] --epicentre LAT,LON
///        [--pick FILE=SECONDS]... FILE...
/// Reads the files as the header command does, sets each given pick as the
/// file's P pick (otherwise the file's own t0 stands), makes the trial a click
/// on the globe makes, and prints one JSON object:
///   {"epicentre": [lat, lon], "depth": km, "model": "iasp91",
///    "originTime": "YYYY-MM-DDTHH:MM:SS.mmm",
///    "rms": s, "stations": [{"file", "kstnm", "gcarc", "t0", "t1", "t2",
///    "user5", "deltaT"}, ...]}
/// with deltaT = t1 - t0, stations in file order; t0 and deltaT are null for a
/// record without a pick. Exit status 0; 1 with a reason on standard error
/// when a file is unreadable, a table is missing or no record is picked; 2 for
/// bad arguments.
int LocateCommand(int argc, char** argv);

/// @brief orvane-tool best [--depth KM] [--model NAME] [--precise [--depth-search]]
///        [--pick FILE=SECONDS]... FILE...
/// The epicentre with the smallest RMS at that depth (a global search over
/// the same trial arithmetic, the tables read once), printed as locate prints
/// its trial. With --precise the object also holds the precise answer key
/// (location/PreciseKey.h) at that depth, or with --depth-search (which
/// implies --precise) at the depth of smallest RMS:
///   "precise": {"epicentre": [lat, lon], "depth": km, "depthSearched": bool,
///               "originTime": "...", "rms": s, "distanceFromClassicKeyKm": km}
/// or {"epicentre": null, "reason": "..."} when it is refused.
/// Exit status as for locate.
int BestCommand(int argc, char** argv);

}  // namespace orvane::tool
