#pragma once
// Finding the program's data files (travel-time tables, map files, hint
// texts, the message catalogue, the splash picture).
//
// The program opens its data files by bare name. So that the installed program
// works from any directory, a name is looked up in this order:
//   1. the current directory (the name as given);
//   2. the directory named by the environment variable ORVANE_DATA;
//   3. the data directory beside the executable: <exe>/../data (build tree),
//      then <exe>/../share/orvane (installation).
// A name may lie in a folder of the data ("help/index.html"); an absolute
// path or one that climbs out with ".." is only tried as it stands.
// With ORVANE_DEBUG_DATA set in the environment every attempt is written to
// standard error, which helps when a table or map layer seems to be missing.

#include <string>
#include <vector>

namespace orvane {

/// @brief The path under which the data file @p name can be opened.
/// @return The first existing candidate, or the empty string when none exists.
std::string FindDataFile(const std::string& name);

/// @brief The directories searched after the current directory, in order.
std::vector<std::string> DataDirectories();

}  // namespace orvane
