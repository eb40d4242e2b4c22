#pragma once
// Command-line pieces shared by the commands that take options and seismogram
// files (traveltime, locate, best, render): the option loop, locale-independent
// numbers, the event options --depth, --epicentre and --pick, and reading the
// files with their picks. Every refusal goes to standard error as
// "orvane-tool COMMAND: reason".

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "location/EarthModel.h"
#include "seismogram/KSAC.h"
#include "seismogram/StationInventory.h"

namespace orvane::tool {

/// @brief Prints "orvane-tool @p command: @p message" on standard error.
/// @return false, so that a parser can `return Fail(...)`.
bool Fail(const char* command, const std::string& message);

/// @brief A finite decimal number, the whole text, read the same in any locale.
/// @return "+2.5" -> 2.5f, "1e3" -> 1000.0f; nullopt for "", "2,5", "nan",
///         "1e99" (out of float range) or "3 " (trailing text).
std::optional<float> ParseNumber(const std::string& text);

/// @brief A whole number, the whole text, with an optional leading '+'.
/// @return "+12" -> 12; nullopt for "12.0", "" or a number beyond int.
std::optional<int> ParseInt(const std::string& text);

/// @brief "LAT,LON" in degrees, |LAT| <= 90 and |LON| <= 360.
/// @return "48.25,-11.5" -> (48.25, -11.5); nullopt for "91,0", "48.25" or "a,b".
std::optional<std::pair<float, float>> ParseLatLon(const std::string& text);

/// Called with each option's name (without "--") and value; false to stop
/// parsing after printing the reason.
using OptionHandler = std::function<bool(const std::string& name, const std::string& value)>;

/// @brief Reads the options before the first non-option argument (or "--"):
/// "--name value" and "--name=value", in any order; a word like "-x" before
/// them is refused as an unknown option ("-5" and "-" are arguments). @p allowed lists the
/// option names separated by spaces (e.g. "phase depth inverse"); those also in
/// @p flags take no value and reach @p handle with an empty one. The arguments
/// after the options are appended to @p rest.
/// @return false after printing the reason ("unknown option '--x'", "--depth
///         needs a value", or what @p handle printed).
bool ParseOptions(const char* command, const char* allowed, const char* flags, int argc, char** argv,
                  const OptionHandler& handle, std::vector<std::string>& rest);

/// The options that describe an event's trial: its depth, the trial epicentre,
/// the P picks to set on the files and the Earth model whose tables are used.
struct EventOptions {
  float depth = 0.0f;
  EarthModel model = kDefaultEarthModel;
  bool modelGiven = false;  ///< --model was on the command line
  std::optional<std::pair<float, float>> epicentre;
  std::vector<std::pair<std::string, float>> picks;  ///< FILE, seconds; in command-line order
};

/// @brief Takes --depth KM, --epicentre LAT,LON, --pick FILE=SECONDS (the
/// last '=' splits, so a file name may hold one) or --model NAME into @p event.
/// @return false after printing the reason, e.g. "--pick needs FILE=SECONDS,
///         not 'a.sac'", "--model is one of iasp91, ak135, jb, not 'prem'".
bool ParseEventOption(const char* command, const std::string& name, const std::string& value, EventOptions& event);

/// The records of an event as the tool reads them.
struct EventRecords {
  std::vector<std::unique_ptr<KSAC>> records;
  std::vector<std::string> files;     ///< the file each record was read from
  std::vector<std::string> channels;  ///< "NET.STA.LOC.CHA" of a miniSEED record; empty for the others
  std::optional<EventOrigin> origin;  ///< from a QuakeML file among the files
};

/// @brief true when @p path is read as a data-centre file (miniSEED,
/// StationXML, QuakeML): a name the open dialog's "Data centre files" filter
/// shows (*.mseed, *.miniseed, *.ms, *.xml), or a file of another name that
/// begins with a miniSEED data record. Always false in a build without them.
bool IsDataCentreInput(const std::string& path);

/// @brief Reads @p files as the program opens an event: each SAC, PEPP or PSN
/// file into a record (its format by its name), in order; then the
/// data-centre files together, one record per vertical component ordered by
/// channel (what merging their records did, and how many other components
/// were not opened, go to standard error). Sets each pick of @p picks as the
/// P pick of every record read from the file of that name, or of the miniSEED
/// channel of that name ("XX.STA.00.BHZ=12.5").
/// @return false after naming every file (or channel) that cannot be read,
///         with its reason, or when a pick names none of them.
bool ReadEvent(const char* command, const std::vector<std::string>& files,
               const std::vector<std::pair<std::string, float>>& picks, EventRecords& event);

/// @brief ReadEvent keeping only the records.
bool ReadEvent(const char* command, const std::vector<std::string>& files,
               const std::vector<std::pair<std::string, float>>& picks, std::vector<std::unique_ptr<KSAC>>& records);

}  // namespace orvane::tool
