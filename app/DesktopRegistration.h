#pragma once
// Registration with the desktop: a menu entry for Orvane and the file types
// it opens (every seismogram format of the format table, such as SAC "*.sac",
// and exercise files), written under the
// user's data directory (~/.local/share) at every normal start and removed by
// the "unregister" switch. Only Orvane's own files are ever written or
// removed: no type that belongs to another program (such as ".txt") is claimed.

#include <QString>
#include <QStringList>

namespace orvane {

/// @brief true for a command-line switch that asks to unregister: "-u",
/// "--unreg", "-UNREGISTER" (any case, a leading part of the word, after one
/// or two dashes). Example: "--unregisterx" and "-" are not.
bool IsUnregisterSwitch(const QString& argument);

/// The files registration writes, under @p dataHome (~/.local/share).
struct DesktopFiles {
  QString entry;     ///< applications/orvane.desktop
  QString mimeTypes; ///< mime/packages/orvane.xml
  QString icon;      ///< icons/hicolor/128x128/apps/orvane.png
};
DesktopFiles DesktopFilesUnder(const QString& dataHome);

/// @brief Writes the desktop entry (running @p program with the chosen files),
/// the MIME types and the icon under @p dataHome; a file already as it should
/// be is left alone; a file that cannot be written is left as it was.
/// @return false when a file could not be written, with the file and the
/// reason in @p error.
bool RegisterWithDesktop(const QString& dataHome, const QString& program, QString* error = nullptr);

/// @brief Removes the files RegisterWithDesktop wrote, and only those (a file
/// of the same name that Orvane did not write stays).
void UnregisterFromDesktop(const QString& dataHome);

}  // namespace orvane
