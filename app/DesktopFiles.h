#pragma once
// The texts of the desktop entry and of the file types that Orvane gives the
// desktop: one type per seismogram format of the format table, and the
// exercise file. The installation writes them at build time
// (orvane-desktop-files), a program run from a build tree at its start
// (DesktopRegistration.h): both from here, so a new format is registered
// with the desktop as soon as it is in the table.

#include <string>
#include <string_view>

namespace orvane {

/// @brief The desktop entry (applications/orvane.desktop) with @p exec as the
/// program to run, written as it stands: "orvane" or "\"/opt/x/orvane\"".
/// The chosen files follow it ("%F"); MimeType names every type of
/// OrvaneMimeTypes.
std::string OrvaneDesktopEntry(std::string_view exec);

/// @brief The shared-mime-info package (mime/packages/orvane.xml): one type
/// per format of the table with its patterns, and the exercise file (.orvex).
std::string OrvaneMimeTypes();

}  // namespace orvane
