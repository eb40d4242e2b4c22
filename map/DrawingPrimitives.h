#pragma once
// The drawing primitives every painter shares: the standard palette, labels,
// pen steps, drawing areas and origins, bevelled frames. Colours are given as
// indices into `standardColours` unless said otherwise; coordinates are the
// surface's logical units.

#include <QColor>
#include <QRgb>
#include <QString>

#include <optional>

#include "platform/Rect.h"

class QFont;

namespace orvane {

class Surface;

/// The standard palette, addressed by index. 1 is the black callers use; 0 is
/// black too but means "no line, only move" to PenTo.
inline constexpr QRgb standardColours[17] = {
    qRgb(0, 0, 0),       qRgb(0, 0, 0),     qRgb(0, 0, 192),     qRgb(0, 192, 0),
    qRgb(0, 128, 128),   qRgb(128, 0, 0),   qRgb(128, 0, 128),   qRgb(128, 128, 0),
    qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),
    qRgb(0, 255, 255),   qRgb(255, 0, 0),   qRgb(255, 0, 255),   qRgb(255, 255, 0),
    qRgb(255, 255, 255)};
inline constexpr int kStandardColourCount = 17;

/// Names of the palette indices of `standardColours`: palette::kDarkRed is 5.
namespace palette {
enum Index : int {
  kMoveOnly = 0,  ///< black, but to PenTo "move without drawing"
  kBlack = 1,
  kDarkBlue = 2,
  kDarkGreen = 3,
  kDarkCyan = 4,
  kDarkRed = 5,
  kDarkMagenta = 6,
  kDarkYellow = 7,
  kLightGrey = 8,
  kDarkGrey = 9,
  kBlue = 10,
  kGreen = 11,
  kCyan = 12,
  kRed = 13,
  kMagenta = 14,
  kYellow = 15,
  kWhite = 16,
  kNone = -1,  ///< as a text colour: measure only; as a background: transparent
};
}  // namespace palette

namespace label {
/// Where DrawLabel puts the text across x.
enum Horizontal : int {
  kLeft = 0,    ///< the text starts half an average character width right of x
  kCentre = 1,  ///< centred on x
  kRight = 2,   ///< the text ends half an average character width left of x
  kAtX = 3,     ///< the text starts at x
};
/// Where DrawLabel puts the text along y.
enum Vertical : int {
  kStandsOn = 0,  ///< the text stands on y (its descent ends at y)
  kMiddle = 1,    ///< baseline a third of the ascent below y
  kHangs = 2,     ///< the text hangs from y (its top at y)
  kBaseline = 3,  ///< baseline at y
};
}  // namespace label

/// @brief Draws @p text at (x, y) and returns the rectangle it covers.
///
/// The text is split into lines at each backslash-n pair of characters (not at a
/// newline); each further line lies lower by the font's height plus external leading.
/// @param font the font to use, or null for the stock system font (which then stays
///        selected; a given font is replaced by the previous one afterwards).
/// @param colour palette index of the text; below 0 nothing is drawn and only the
///        rectangle is computed.
/// @param background palette index of an opaque background, or below 0 for none.
/// @param horizontalMode 0 left end at x + half an average character width, 1 centred
///        on x, 2 right end at x − half, anything else left end at x.
/// @param verticalMode 0 text stands on y (baseline at y − descent), 1 baseline at
///        y + ascent / 3, 2 text hangs from y (baseline at y + ascent), else baseline at y.
/// @param shadow offset of a drop shadow in device pixels (0 for none), drawn first in
///        palette colour @p shadowColour.
/// @return Per line (left − 1, top − 1, left + W + 1, top + H + 1) with W and H the
///         text's width and height plus the shadow offset, united over the lines.
///         The text colour and background colour are put back; background mode stays.
Rect DrawLabel(Surface& surface, int x, int y, const QFont* font, const QString& text, int colour,
               int background, int horizontalMode, int verticalMode, int shadow = 0,
               int shadowColour = 1);

/// @brief Colour 0 moves the current position to (x, y); any other colour draws a line
/// from the current position to (x, y) with a pen of that palette colour, @p width and
/// @p style (0 solid, 1 dashed, 2 dotted). The previous pen is put back.
void PenTo(Surface& surface, int x, int y, int colour, int width = 1, int style = 0);

/// @brief With @p clip, clips to (left, top)–(right, bottom) in device units; then sets
/// the window origin to (left, top), so that logical (left, top) lands on device (0, 0).
void SetDrawingArea(Surface& surface, int left, int top, int right, int bottom, bool clip);

/// @brief With @p clip, clips to @p rect in device units; then sets the window origin to
/// (−left, −top), so that logical (0, 0) lands on the rectangle's top-left corner.
void SetDrawingOrigin(Surface& surface, const Rect& rect, bool clip);

/// @brief A bevelled frame around @p rect: the upper-left band of width @p bevelWidth in
/// black when @p sunken (light grey otherwise), the lower-right band the other way round.
/// With a @p fill colour and no @p borderWidth the rectangle is first filled opaquely
/// (the background colour stays @p fill); with a border width, four strips of that width
/// inside the bevel are painted in @p fill. A border without a fill colour is left out.
void DrawBevel(Surface& surface, const Rect& rect, std::optional<QColor> fill, bool sunken,
               int bevelWidth, int borderWidth);

}  // namespace orvane
