#pragma once
// The recent events: the files and format of the last four successful
// openings, kept in "Orvane.ini" in the directory the program started in, and
// shown in the File menu so that one choice reopens an event.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "seismogram/SeismogramFile.h"

namespace orvane {

struct RecentEvent {
  QStringList files;                        ///< in the order they were opened
  std::optional<SeismogramFormat> format;   ///< the open dialog's choice; none: by file name
  friend bool operator==(const RecentEvent&, const RecentEvent&) = default;

  /// @brief The menu text: "TAIG.sac, MNGL.sac, KODK.sac" or, for more than
  /// three files, "TAIG.sac, MNGL.sac, KODK.sac and 5 more".
  QString Label() const;
};

inline constexpr int kMaxRecentEvents = 4;

/// @brief The recent events stored in @p iniPath, newest first. A missing,
/// unreadable or damaged file gives what can be read of it, or none; a path
/// that is not a regular file (a FIFO, a device) is not opened and gives none.
std::vector<RecentEvent> ReadRecentEvents(const QString& iniPath);

/// @brief Stores @p events (at most the first four) in @p iniPath.
/// @return false when the file could not be written (or is not a regular file).
bool WriteRecentEvents(const QString& iniPath, const std::vector<RecentEvent>& events);

/// @brief @p events with @p opened in front, an earlier entry of the same
/// files removed, cut to four.
std::vector<RecentEvent> WithRecentEvent(std::vector<RecentEvent> events, const RecentEvent& opened);

}  // namespace orvane
