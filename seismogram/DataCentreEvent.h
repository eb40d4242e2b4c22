#pragma once
// An event from a data centre: miniSEED files with the StationXML (and
// QuakeML) files that came with them, chosen together.
//
// Each file is told by its content (XML, or miniSEED data records). The
// miniSEED channels become records (MiniSEED.h); each is given the position
// of the channel operating at its first sample (stla, stlo, stel, stdp), or
// of its station when the channel's entry has none. A record without a
// position is kept and named: the trial leaves it out, as it leaves out any
// record without stla and stlo. When a QuakeML file gives the event's origin,
// every record gets it as a SAC file would hold it: o (seconds after the
// record's reference time), evla, evlo, evdp (metres).
//
// By default only vertical components (channel code ending in Z) are opened;
// the others are counted.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "seismogram/EventReader.h"
#include "seismogram/KSAC.h"
#include "seismogram/MiniSEED.h"
#include "seismogram/StationInventory.h"

namespace orvane {

struct DataCentreOptions {
  bool verticalOnly = true;  ///< open only channels whose code ends in Z
};

/// What reading an event's data-centre files gave.
struct DataCentreEvent {
  std::vector<std::unique_ptr<KSAC>> records;  ///< one per channel opened, ordered by id
  std::vector<std::string> ids;                ///< "NET.STA.LOC.CHA" of each record
  std::vector<std::string> notes;              ///< "ID: what the merging did", e.g. a gap
  std::vector<RefusedFile> refused;            ///< files, then channels (path = the id), with the reason
  std::vector<std::string> withoutPosition;    ///< ids of the records with no station position
  int skippedComponents = 0;                   ///< channels not opened (not vertical)
  std::optional<EventOrigin> origin;           ///< from a QuakeML file
  std::vector<std::string> xmlFiles;           ///< the StationXML and QuakeML files read
};

/// @brief Makes the format table's miniSEED entry read its files (with the
/// StationXML and QuakeML chosen with them) through ReadDataCentreFiles, as
/// the program opens them: vertical components only. Called once at start
/// by every program that opens events.
void RegisterDataCentreFormat();

/// @brief The station epoch that gives the position of @p trace: the
/// channel's entry operating at its first sample that has a latitude and a
/// longitude (the latest begun of several), otherwise its station's.
/// Null when there is none.
const StationEpoch* FindPosition(const StationInventory& inventory, const MiniSEEDTrace& trace);

/// @brief Sets the position (FindPosition) and the origin of @p inventory on
/// the trace's record. @return false when there is no position.
bool ApplyInventory(const StationInventory& inventory, MiniSEEDTrace& trace);

/// @brief Reads @p paths (miniSEED, StationXML and QuakeML files in any
/// order) as one event. A path that is not a regular file, or a file that is
/// neither, is refused with the reason; the others are read.
DataCentreEvent ReadDataCentreFiles(std::span<const std::string> paths, const DataCentreOptions& options = {});

}  // namespace orvane
