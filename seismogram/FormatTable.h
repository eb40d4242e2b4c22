#pragma once
// The seismogram formats, in one table: each format's name, the file names
// it stands for, the open dialog's filter text, its reader and writer and its
// MIME type. Event reading, the open dialog, exercise and recent-event files,
// orvane-tool and the desktop registration all take the formats from here, so
// that a new format is one entry (and its constant below) and one reader.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class KSAC;
struct SeismogramReadResult;
struct EventFiles;

/// The formats, in the order of the table (the open dialog's filters).
enum class SeismogramFormat { kSAC, kPEPP, kPSN, kMiniSEED };

/// Reads the files of one event together (see SeismogramFormatEntry::readTogether).
using ReadTogetherFunction = void (*)(std::span<const std::string> paths, EventFiles& event);

/// One format of the table.
struct SeismogramFormatEntry {
  SeismogramFormat format;
  /// "sac": the word of orvane-tool --format and of exercise and recent-event
  /// files (stored there, so never changed once given).
  std::string name;
  /// "SAC": in messages ("not a SAC file: ...") and the desktop's type name.
  std::string title;
  /// "*.sac": names of files of the format, in any letter case. The first
  /// entry also takes every name that matches no entry.
  std::vector<std::string> patterns;
  /// "SAC files (*.sac)": the open dialog's filter.
  std::string filter;
  /// "application/x-orvane-sac": the desktop's type of these files.
  std::string mimeType;
  /// Reads the file at @p path into result.record (fileName = @p path), or
  /// leaves it null and says why in result.reason.
  void (*read)(const std::string& path, SeismogramReadResult& result) = nullptr;
  /// The same from the bytes of a whole file (a pipe, read once for two
  /// readers); reads at most decodeBytes of it. None: such a file is read by
  /// read alone.
  void (*decode)(std::span<const unsigned char> bytes, const std::string& path,
                 SeismogramReadResult& result) = nullptr;
  std::size_t decodeBytes = 0;
  /// Writes @p record to @p path (@p source: what it was read from, when
  /// known, for what the format carries over). Nothing on success, otherwise
  /// why nothing was written. None: records are not written in this format.
  std::optional<std::string> (*write)(const std::string& path, const KSAC& record,
                                      const SeismogramReadResult* source) = nullptr;
  /// A file taken for this format by its name or the dialog's choice that
  /// read refuses is tried by this format's reader (not when the format was
  /// given explicitly).
  std::optional<SeismogramFormat> fallback;
  /// For a format whose files make sense only together (a data centre's
  /// miniSEED with the StationXML of its stations), instead of read: reads
  /// every chosen file of the format at once, each giving any number of
  /// records or none, and adds them to the event. Its reader lives in a
  /// library above this one and is set there (SetReadTogether); until then
  /// such files are refused with the reason.
  ReadTogetherFunction readTogether = nullptr;
  /// The patterns the desktop registers as this format's type, when not all
  /// of patterns are its own ("*.xml" is every XML file).
  std::optional<std::vector<std::string>> desktopPatterns;
};

/// @brief Sets the reader of the files of @p format read together (once, at
/// start, before any file is read).
void SetReadTogether(SeismogramFormat format, ReadTogetherFunction reader);

/// @brief Every format, in the order of the enumeration.
const std::vector<SeismogramFormatEntry>& SeismogramFormats();

/// @brief The table's entry of @p format.
const SeismogramFormatEntry& FormatEntry(SeismogramFormat format);

/// "sac", "pepp", "psn" or "miniseed".
const char* SeismogramFormatName(SeismogramFormat format);

/// @brief The format of that name ("sac", "pepp", "psn" or "miniseed");
/// nothing for any other text.
std::optional<SeismogramFormat> ParseSeismogramFormat(const std::string& name);

/// @brief Every format's name, each between @p quote, joined by
/// @p separator and, before the last, @p last: ("", "|", "|") gives
/// "sac|pepp|psn|miniseed", ("", ", ", " or ") "sac, pepp, psn or miniseed".
std::string SeismogramFormatNames(std::string_view quote, std::string_view separator, std::string_view last);

/// @brief true when the file name @p path matches @p pattern ("*.set"), in
/// any letter case.
bool MatchesFormatPattern(std::string_view path, std::string_view pattern);

/// @brief The format the file name stands for: "a/b.SET" is PEPP, "b.psn" PSN,
/// "b.sac" and "b" SAC.
SeismogramFormat SeismogramFormatForPath(const std::string& path);

}  // namespace orvane
