#pragma once
// What render and render-traces share: the trial of --epicentre, the
// offscreen Qt application they draw in, and the PNG written whole or not
// at all.

#include <QGuiApplication>
#include <QImage>

#include <memory>
#include <span>
#include <string>


namespace orvane {
class KSAC;
struct TrialState;
}  // namespace orvane

namespace orvane::tool {

struct EventOptions;

/// @brief With --epicentre, makes the trial as locate makes it (into @p state
/// and trialList, which it empties first); a refusal is named on standard
/// error for @p command. True when there is nothing to refuse.
bool MakeRequestedTrial(const char* command, std::span<KSAC* const> records, const EventOptions& event,
                        TrialState& state);

/// @brief A Qt application on the offscreen platform, whatever display the
/// environment names, so that a QT_QPA_PLATFORM of xcb or wayland left in the
/// environment cannot make the tool abort without a display.
std::unique_ptr<QGuiApplication> MakeOffscreenApplication();

/// @brief Reads the value of --size, WxH with each side 1 to 16384 pixels,
/// into @p width and @p height; a value that is not one is named on standard
/// error for @p command and leaves them as they were.
bool ParsePictureSize(const char* command, const std::string& value, int& width, int& height);

/// @brief A blank picture of @p width × @p height; a null image, named on
/// standard error, when there is no memory for it.
QImage NewPicture(const char* command, int width, int height);

/// @brief Writes @p image as a PNG to @p out through the checked writer
/// (WriteFile); a failure is named on standard error with its reason and
/// leaves an existing file as it was.
bool SavePicture(const char* command, const QImage& image, const std::string& out);

}  // namespace orvane::tool
