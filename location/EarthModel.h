#pragma once
// The Earth models whose travel-time tables the program ships. Each model's
// tables P.JB and S.JB lie in a data folder named after it (iasp91/, ak135/,
// jb/), made by tools/ttgen from the model files in tools/ttgen/models/.
//
// iasp91 is the default and keeps the lookup the program has always had: a
// P.JB or S.JB of its own name in the current directory comes first (then in
// $ORVANE_DATA and at the top of the data folder), and only when there is
// none the table in iasp91/. A teacher's own table beside the event thus
// still replaces the default one. The other models are looked up in their
// folder only ("ak135/P.JB": the current directory, $ORVANE_DATA, the data).

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

enum class EarthModel { kIasp91, kAk135, kJB };

inline constexpr EarthModel kDefaultEarthModel = EarthModel::kIasp91;
inline constexpr EarthModel kEarthModels[] = {EarthModel::kIasp91, EarthModel::kAk135, EarthModel::kJB};

/// @brief The model's name on the command line, in exercise files and
/// settings, and its data folder: "iasp91", "ak135", "jb".
const char* EarthModelName(EarthModel model);

/// @brief The model as a person names it: "IASP91", "AK135", "Jeffreys-Bullen".
const char* EarthModelTitle(EarthModel model);

/// @brief The model of a name, upper or lower case ("AK135" -> kAk135).
/// @return nothing for names of no shipped model ("prem", "", "../x").
std::optional<EarthModel> ParseEarthModel(std::string_view name);

/// @brief "iasp91, ak135, jb": the names, for a refusal that lists them.
std::string EarthModelNames();

/// @brief The P (@p phase "P") or S velocity at the model's surface in km/s,
/// as the model files give it: iasp91 5.8 and 3.36, ak135 5.8 and 3.46,
/// Jeffreys-Bullen 5.57 and 3.363.
double SurfaceVelocity(EarthModel model, const std::string& phase);

/// @brief The name a table is reported by: "P.JB" for the default model (as
/// the program has always named it), "ak135/P.JB" for the others.
std::string PhaseTableName(const std::string& phase, EarthModel model);

/// @brief The path of the table of @p phase ("P", "S") for @p model, found
/// through the data-file lookup as described above; empty when there is none.
std::string FindPhaseTable(const std::string& phase, EarthModel model);

}  // namespace orvane
