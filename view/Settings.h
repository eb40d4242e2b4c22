#pragma once
// The view settings kept from one run to the next: the maximum RMS, the part
// of the globe that faces the viewer, the zoom, the trial depth, the two
// display options and the Earth model, as named values of the per-user settings store
// QSettings("Halvergate", "Orvane"). The view reads them when it is built and
// writes them when it goes:
//
//   const std::unique_ptr<QSettings> store = OpenViewSettings();
//   const ViewSettings stored = store ? ReadViewSettings(*store) : ViewSettings{};
//   ...
//   WriteViewSettings(*store, current);
//
// Value names and content (integers are stored as integers, the two flags as
// one-byte values):
//   "Maximum RMS"  maximumRms, whole seconds                     default 10
//   "Longitude"    the centre's longitude, whole degrees, east   default 0
//                  NEGATIVE: the negated spin
//   "Latitude"     the centre's latitude, whole degrees, north   default 0
//                  positive: the negated tilt
//   "Radius"       radius of the globe's disc, whole pixels      default 200
//   "Depth"        trial focal depth, whole km                   default 0
//   "seismograms"  1 byte: 1 all seismograms in one window,      default 1
//                  0 one window per station
//   "want hints"   1 byte: 1 show the hints window, 0 do not     default 1
//   "Earth model"  text: whose travel-time tables the trials use  default iasp91
//                  ("iasp91", "ak135" or "jb"; EarthModelName)
//
// A value that is missing, or that cannot be read as its kind (an integer that
// is not a whole 32-bit number, a flag that is not one byte 0 or 1), keeps
// its default; so does a "Radius" of 0 or less, a "Depth" outside 0-800 and
// an "Earth model" that names no model this program ships.
// Nothing is reported. Floats are written truncated towards zero.

#include <QSettings>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

#include "location/EarthModel.h"

namespace orvane {

/// The stored values as the view holds them.
struct ViewSettings {
  int maximumRms = 10;        ///< seconds at the top of the RMS colour scale
  float spin = 0.0f;          ///< longitude facing the viewer, degrees, -180..180
  float tilt = 0.0f;          ///< negated latitude facing the viewer, degrees, -90..90
  float radius = 200.0f;      ///< radius of the globe's disc, pixels
  float depth = 0.0f;         ///< trial focal depth, km
  std::uint8_t oneWindow = 1;  ///< 1: all seismograms in one window
  std::uint8_t wantHints = 1;  ///< 1: show the hints window
  EarthModel model = kDefaultEarthModel;  ///< whose travel-time tables the trials use
};

/// Names of the stored values.
namespace settings_names {
inline const QString kMaximumRms = QStringLiteral("Maximum RMS");
inline const QString kLongitude = QStringLiteral("Longitude");
inline const QString kLatitude = QStringLiteral("Latitude");
inline const QString kRadius = QStringLiteral("Radius");
inline const QString kDepth = QStringLiteral("Depth");
inline const QString kSeismograms = QStringLiteral("seismograms");
inline const QString kWantHints = QStringLiteral("want hints");
inline const QString kEarthModel = QStringLiteral("Earth model");
}  // namespace settings_names

/// Deepest stored depth that is taken, km.
inline constexpr std::int32_t kMaxStoredDepthKm = 800;

/// @brief The view's settings store: QSettings("Halvergate", "Orvane").
/// Null, with the reason in @p refusal, when one of the files it would read
/// (the user's or the system's, for the program or for "Halvergate") is
/// there but is not a regular file: a FIFO would keep the program waiting
/// for ever, so the view then starts with the defaults and keeps nothing.
std::unique_ptr<QSettings> OpenViewSettings(QString* refusal = nullptr);

/// @brief The values read from @p settings, each with its default
/// when it cannot be used.
ViewSettings ReadViewSettings(QSettings& settings);

/// @brief Writes the values into @p settings (floats truncated towards
/// zero, "Longitude" and "Latitude" negated, the model by its name) and
/// syncs it. Failures are ignored.
void WriteViewSettings(QSettings& settings, const ViewSettings& values);

/// @brief The stored integer @p name, when it exists and is a whole number
/// that fits into 32 bits (as an integer value or as the text of one).
std::optional<std::int32_t> ReadStoredInteger(QSettings& settings, const QString& name);

/// @brief The stored one-byte flag @p name, when it exists as exactly one
/// byte holding 0 or 1.
std::optional<std::uint8_t> ReadStoredFlag(QSettings& settings, const QString& name);

/// @brief The spin for a stored "Longitude": negated, then brought into
/// -180..180 by whole turns. Examples: 200 gives 160, -190 gives -170, 30 gives -30.
float SpinFromStoredLongitude(std::int32_t longitude);

/// @brief The tilt for a stored "Latitude": negated, then brought into -90..90
/// by steps of 180. Example: 100 gives 80.
float TiltFromStoredLatitude(std::int32_t latitude);

/// @brief A float member as it is stored: truncated towards zero; a value
/// beyond the 32-bit range is held at its limit, and NaN is stored as 0.
/// Examples: 312.5 gives 312, -25.7 gives -25, 33.9 gives 33.
std::int32_t StoredInteger(float value);

}  // namespace orvane
