#pragma once
// Reading a seismogram file of any format of the format table into a KSAC,
// and writing a KSAC back out, the way the program opens events and
// orvane-tool inspects and converts files.
//
// The format follows the file name as the open dialog's filters do: ".set" is
// PEPP, ".psn" is PSN (either in any letter case) and anything else is SAC. A
// file taken for SAC that the SAC reader refuses is tried as PEPP, as event
// opening does. A format given explicitly is read by its reader alone. Which
// names stand for which format, and which reader falls back on which, is the
// format table's (FormatTable.h).

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "seismogram/FormatTable.h"
#include "seismogram/KSAC.h"
#include "seismogram/PEPP.h"

namespace orvane {

/// The outcome of reading one file: a record, or the reason why there is none.
struct SeismogramReadResult {
  std::unique_ptr<KSAC> record;  ///< null when the file was refused
  SeismogramFormat format = SeismogramFormat::kSAC;  ///< the reader that produced the record
  std::string reason;  ///< e.g. "not a SAC file: the file has 12 bytes, fewer than ..."
  /// The header of the PEPP file the record was read from (none for the
  /// other formats): what a PEPP file written from the record carries over.
  std::optional<std::array<unsigned char, PEPP::kHeaderBytes>> peppHeader;
};

/// @brief Reads @p path into a record, with ComputeReferenceSeconds called as
/// event opening does. With @p forced, only that format's reader is tried;
/// otherwise the format follows the file name, SAC falling back to PEPP.
/// A pipe or a device (/dev/stdin, a process substitution) reads like a file
/// with the same content; a directory is refused as "the path is a
/// directory, not a file".
SeismogramReadResult ReadSeismogramFile(const std::string& path,
                                        std::optional<SeismogramFormat> forced = std::nullopt);

/// @brief Reads @p path as the open dialog's format choice says: PEPP or PSN
/// by that reader alone; SAC by the SAC reader and, when it refuses the file,
/// by the PEPP reader. The file name plays no part.
SeismogramReadResult ReadSeismogramFileChosen(const std::string& path, SeismogramFormat chosen);

/// @brief Writes @p record to @p path in the format its name stands for: as
/// PEPP when the name ends in ".set", otherwise as big-endian SAC. A name
/// ending in ".psn" is refused (there is no writer of PSN files from a
/// record), nothing written. Nothing partial is
/// left behind on failure.
/// @return Nothing on success, otherwise why nothing was written.
std::optional<std::string> WriteSeismogramFile(const std::string& path, const KSAC& record);

/// @brief Writes what was read from one file to @p path, as convert does:
/// as WriteSeismogramFile, except that a PEPP file written from a PEPP file
/// carries over the fields the record has no place for (see
/// PEPP(const KSAC&, carried)).
std::optional<std::string> WriteSeismogramFile(const std::string& path, const SeismogramReadResult& source);

}  // namespace orvane
