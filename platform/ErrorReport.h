#pragma once
// The error-message service: the record classes, the trial location and the
// windows report a code and a module text through it.
//
// A report looks its text up in the message catalogue "kerror.doc" and goes
// to the installed sink; without one it is written, framed, to standard
// output. Nothing is shown in a window by this service: the program installs
// a sink that also shows the latest report in its status bar, and tests
// capture reports with ScopedErrorReportCapture.
//
// Catalogue format: one entry per line, a decimal code (read as a signed 16-bit
// number, leading white space allowed) followed by its text (the rest of the
// line, at most 255 characters, leading white space kept). The entry with code
// -1 is the catch-all and ends the search. Lines without a leading number are
// skipped.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

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

/// One report as it reaches a sink.
struct ErrorReportEntry {
  std::int16_t code = 0;    ///< the code reported (not the catalogue's -1 catch-all)
  std::string module;       ///< the module text, e.g. "KSAC::WriteSAC" or "#"
  std::string framed;       ///< the whole framed report, as standard output shows it
  /// The catalogue text with its leading blanks, e.g. " Nothing written".
  std::string text;
};

using ErrorReportSink = std::function<void(const ErrorReportEntry&)>;

/// @brief Makes a report: catalogue "kerror.doc" found through the data-file
/// lookup, the entry handed to the installed sink (standard output when none).
void ErrorReport(std::int16_t code, const std::string& module);

/// @brief Installs @p sink for every later report; an empty sink restores
/// the default (framed text on standard output).
/// @return The sink installed before, so that a caller can put it back.
ErrorReportSink SetErrorReportSink(ErrorReportSink sink);

/// @brief @p text with what a terminal would act on instead of showing
/// escaped: control characters (C0, DEL and C1) and bytes that are not UTF-8
/// become "\n", "\t", "\r" or "\xNN" for each byte. A file name goes
/// through this wherever it is written to a terminal (the framed reports'
/// module line, the program's messages on standard error).
/// Example: "a\x1b[2Jb.sac" (with an escape character) gives the text
/// a\x1b[2Jb.sac.
std::string EscapeControlCharacters(const std::string& text);

/// @brief What the default sink does: writes entry.framed to standard output.
void WriteErrorReportToStandardOutput(const ErrorReportEntry& entry);

/// Collects every report made while it lives instead of passing it on, and
/// puts the previous sink back when it leaves scope. For tests, and for
/// callers (such as the command-line tool) that say why in their own words.
class ScopedErrorReportCapture {
 public:
  ScopedErrorReportCapture();
  ~ScopedErrorReportCapture();
  ScopedErrorReportCapture(const ScopedErrorReportCapture&) = delete;
  ScopedErrorReportCapture& operator=(const ScopedErrorReportCapture&) = delete;

  const std::vector<ErrorReportEntry>& reports() const { return reports_; }
  /// Every framed report, one after the other.
  std::string text() const;

 private:
  std::vector<ErrorReportEntry> reports_;
  ErrorReportSink previous_;
};

}  // namespace orvane
