#pragma once
// Reading the files of one event: every chosen file in order, each by the
// reader that the format choice gives, the readable ones kept in order and
// each refused file returned with its reason. A bad file among good ones
// costs only itself: the student is told which file was skipped and why.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/SeismogramFile.h"

namespace orvane {

/// One file that could not be read, and why.
struct RefusedFile {
  std::string path;
  std::string reason;  ///< e.g. "not a SAC file: ...; not a PEPP file: ..."
};

/// The outcome of reading an event's files.
struct EventFiles {
  std::vector<std::unique_ptr<KSAC>> records;  ///< the readable files, in the order given, then those read together
  std::vector<SeismogramFormat> formats;       ///< the reader that made each record
  /// Of each record: the channel (NET.STA.LOC.CHA) of a record read from
  /// files read together (miniSEED), empty for a record that is a file.
  std::vector<std::string> channels;
  std::vector<RefusedFile> refused;            ///< the others, in the order given
  /// Files read with the records that give none of their own (StationXML,
  /// QuakeML): part of the event as much as the records' files.
  std::vector<std::string> companions;
  /// What reading files together said: gaps and overlaps merged, stations
  /// without a position, components not opened.
  std::vector<std::string> notes;
  int skippedComponents = 0;  ///< channels not opened (only vertical components are)
};

/// @brief Reads every path of @p paths into a record (fileName = the path,
/// reference seconds computed). With a @p chosen format, as the open dialog's
/// filter gives it: PEPP and PSN by their reader alone, SAC by the SAC reader
/// and then the PEPP reader. Without one, each file's format follows its name
/// (".set" PEPP, ".psn" PSN, any other SAC with the PEPP fallback).
/// A path that is not a regular file (a FIFO, a device), or a file of no
/// bytes, is refused before anything is read from it, so that nothing waits
/// on it. The files of a format read together (miniSEED with StationXML:
/// ".mseed", ".miniseed", ".ms", ".xml" by name, or all files with that
/// choice) are read at once after the others.
/// Example: (good.sac, bad.sac, good2.sac) gives two records, good then good2,
/// and one refusal naming bad.sac.
EventFiles ReadEventFiles(std::span<const std::string> paths,
                          std::optional<SeismogramFormat> chosen = std::nullopt);

}  // namespace orvane
