#pragma once
// orvane-tool commands of the location engine: travel times, a trial
// location, and the best epicentre.

namespace orvane::tool {

/// @brief orvane-tool traveltime --phase P|S [--depth KM] DISTANCE...
///        orvane-tool traveltime --phase P|S [--depth KM] --inverse TIME...
/// One line per value on standard output: "DISTANCE TIME" through the table's
/// forward lookup, or with --inverse "TIME DISTANCE" through the inverse one
/// (0 when the time lies outside the table). The tables are read from P.JB or
/// S.JB through the data-file lookup; depth defaults to 0 km.
/// Exit status 0; 1 with a reason when the table is missing or empty; 2 for
/// bad arguments.
int TravelTimeCommand(int argc, char** argv);

/// @brief orvane-tool locate [--depth KM] --epicentre LAT,LON
///        [--pick FILE=SECONDS]... FILE...
/// Reads the files as the header command does, sets each given pick as the
/// file's P pick (otherwise the file's own t0 stands), makes the trial a click
/// on the globe makes, and prints one JSON object:
///   {"epicentre": [lat, lon], "depth": km, "originTime": "YYYY-MM-DDTHH:MM:SS.mmm",
///    "rms": s, "stations": [{"file", "kstnm", "gcarc", "t0", "t1", "t2",
///    "user5", "deltaT"}, ...]}
/// with deltaT = t1 - t0, stations in file order; t0 and deltaT are null for a
/// record without a pick. Exit status 0; 1 with a reason on standard error
/// when a file is unreadable, a table is missing or no record is picked; 2 for
/// bad arguments.
int LocateCommand(int argc, char** argv);

/// @brief orvane-tool best [--depth KM] [--pick FILE=SECONDS]... FILE...
/// The epicentre with the smallest RMS at that depth (a global search over
/// the same trial arithmetic, the tables read once), printed as locate prints
/// its trial. Exit status as for locate.
int BestCommand(int argc, char** argv);

}  // namespace orvane::tool
