#pragma once
// The one picture call of the globe, and the map painter's tables and rules,
// shared by the painter (GlobePainter, GlobeBackground) and by whatever shows
// the same things elsewhere (legends, status texts, the command line): pen
// colours of the map layers, RMS colours and classes, the level of detail,
// the scale bar, the texts of the legend and the trial.

#include <QRgb>

#include <cstddef>
#include <string>
#include <vector>

#include "map/MapPicture.h"
#include "seismogram/Calendar.h"

namespace orvane {

class Earth;
class GlobePainter;
class Surface;

/// @brief Paints the main view's picture on screen with the view's own globe
/// and painter: sets the globe's view from @p picture, and @p painter keeps
/// the background, so that a repaint of an unchanged view opens no map file.
void PaintMapPicture(Surface& surface, const MapPicture& picture, Earth& globe, GlobePainter& painter);

/// @brief Paints @p picture on any other surface (a printer, a print preview,
/// an image) with a globe of its own and no cache: the view's globe, its
/// cache and its view stay untouched, and the background is drawn at the
/// device's own resolution. Same pixels as the screen picture on a 1:1 image.
void PaintMapPicture(Surface& surface, const MapPicture& picture);

/// Pen colour of a map line by its feature class (FeatureClass of MapFile.h).
inline constexpr QRgb mapPenColours[8] = {
    qRgb(0, 0, 0),   qRgb(0, 127, 0),   qRgb(127, 0, 0), qRgb(0, 0, 127),
    qRgb(127, 127, 0), qRgb(0, 127, 0), qRgb(0, 0, 127), qRgb(0, 0, 127)};

/// Colours of the RMS classes; the first rmsColourCount are used.
inline constexpr QRgb rmsColours[12] = {
    qRgb(255, 255, 0), qRgb(0, 255, 255), qRgb(255, 0, 255), qRgb(255, 0, 0),
    qRgb(0, 255, 0),   qRgb(0, 0, 255),   qRgb(127, 127, 0), qRgb(0, 127, 127),
    qRgb(127, 0, 127), qRgb(127, 127, 127), qRgb(192, 192, 192), qRgb(255, 255, 255)};
inline constexpr int rmsColourCount = 11;

/// The map layers in drawing order, and the file extensions of the four levels
/// of detail (level 0 = ".S1", the finest, ... level 3 = ".S4", the coarsest).
inline constexpr const char* kMapFeatureNames[6] = {"COAST", "ISLAND", "STATE", "COUNTRY", "LAKE", "RIVER"};
inline constexpr const char* kMapLevelExtensions[4] = {".S1", ".S2", ".S3", ".S4"};

/// @brief Seconds per RMS class: maximumRms / 10 by integer division, 0.5 when that is 0.
/// @return RmsStep(10) = 1, RmsStep(25) = 2, RmsStep(5) = 0.5.
float RmsStep(int maximumRms);

/// @brief RMS class of @p rms: trunc(rms / step). A negative or undefined RMS, and one far
/// beyond the scale, give a class of rmsColourCount or more (no dot).
int RmsClass(float rms, float step);

/// @brief Level of detail for a client area @p clientHeight pixels high and a globe of
/// @p radius pixels: trunc(4·height / radius), 3 when that is 4 or more.
/// @return 3 for height 400 and radius 200 (".S4"); 1 for radius 900; 0 for radius 1700;
///         0 for a height of 0. A radius of 0 or less (no globe) gives 3.
int MapLevel(int clientHeight, float radius);

/// The distance scale bar for a client area and globe radius.
struct ScaleBar {
  bool shown = false;  // false when the client area gives no scale (zero width)
  int barKm = 0;       // a round distance: 1, 2 or 5 times a power of ten, about a tenth of the width
  int barPixels = 0;   // its length on the screen
};
/// @brief The bar for a client whose right edge is @p clientRight.
/// @return With a tenth of the width worth 150 km the bar is 200 km; 300 km gives 500 km,
///         700 km gives 1000 km.
ScaleBar ComputeScaleBar(int clientRight, float radius);

/// @brief Text of the legend entry for class @p k: " %g" of k × step (" 0", " 0.5", " 20").
std::string RmsLegendText(int k, float step);

/// @brief "%6.2f" of |value| followed by N or S (latitude) or E or W (longitude).
/// @return LatitudeText(45.2f) = " 45.20N", LongitudeText(-122.456f) = "122.46W".
std::string LatitudeText(float lat);
std::string LongitudeText(float lon);

/// @brief The one-line description of the trial, blank at both ends:
/// " 2024/03/01 12:34:56  45.20N  122.46W  Depth: 33 km  RMS: 0.57 s ".
std::string TrialDescription(const SYSTEMTIME& originTime, float lat, float lon, float depth, float rms);

/// @brief Map data files opened by the painter since the last ClearMapFileLog, by the name
/// asked for (e.g. "COAST.S4"), in order; the latest 60 at most, so that a long session
/// does not grow it without end. Lets tests see the level rule and the cache at work.
const std::vector<std::string>& MapFilesOpened();
void ClearMapFileLog();

}  // namespace orvane
