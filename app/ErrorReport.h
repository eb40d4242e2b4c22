#pragma once
// The error-message service of the seismogram record classes.
//
// A report looks its text up in the message catalogue "kerror.doc" and writes
// a framed report to standard output; nothing is shown in a window.
//
// Catalogue format: one entry per line, a decimal code (read as a signed 16-bit
// number, leading white space allowed) followed by its text (the rest of the
// line, at most 255 characters, leading white space kept). The entry with code
// -1 is the catch-all and ends the search. Lines without a leading number are
// skipped.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace orvane {

/// One entry of the message catalogue.
struct CatalogueEntry {
  std::int16_t code = -1;
  std::string text;
};

/// @brief Reads one catalogue line.
/// @return The entry, or nothing when the line does not begin with a number.
/// Example: "  2001 Cannot write" gives code 2001 and text " Cannot write".
std::optional<CatalogueEntry> ParseCatalogueLine(const std::string& line);

/// @brief The entry for @p code in the catalogue text read from @p in: the
/// first entry with that code or with -1, whichever comes first.
/// @return Nothing when the catalogue ends without either.
std::optional<CatalogueEntry> FindCatalogueEntry(std::istream& in, std::int16_t code);

/// @brief Writes the framed report for @p code and @p module to @p out, with the
/// catalogue read from @p cataloguePath (an empty path means "not found").
/// A module text that begins with '#' leaves out the "In module" line.
void WriteErrorReport(std::ostream& out, std::int16_t code, const std::string& module,
                      const std::string& cataloguePath);

/// @brief The report as the record classes make it: catalogue "kerror.doc"
/// found through the data-file lookup, report to standard output.
void ErrorReport(std::int16_t code, const std::string& module);

}  // namespace orvane
