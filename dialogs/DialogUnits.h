#pragma once
// Dialog units: the dialogs are laid out in units of the dialog font, a
// quarter of its average character width across and an eighth of its height
// down, so that their proportions follow the font wherever they run.

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace orvane {

class DialogUnits {
 public:
  /// @brief The units of @p font.
  explicit DialogUnits(const QFont& font);

  /// @brief The font every dialog of the program uses: 8-point "MS Sans Serif",
  /// or the first of Liberation Sans and DejaVu Sans where that is missing.
  static QFont DialogFont();

  /// @brief @p units of a dialog unit with base @p base (pixels per 4 units
  /// across or per 8 units down), rounded half away from zero.
  /// Example: ToPixels(129, 6, 4) is 194 (193.5 rounded up).
  static int ToPixels(int units, int base, int divisor);

  /// @brief The base unit across: half the average width of the 52 letters
  /// A-Z a-z, from their total width @p letterWidth in pixels, rounded.
  static int BaseXFromLetters(int letterWidth) { return (letterWidth / 26 + 1) / 2; }

  int baseX() const { return baseX_; }  ///< pixels per 4 units across
  int baseY() const { return baseY_; }  ///< pixels per 8 units down

  int X(int units) const { return ToPixels(units, baseX_, 4); }
  int Y(int units) const { return ToPixels(units, baseY_, 8); }
  QPoint Point(int x, int y) const { return {X(x), Y(y)}; }
  QSize Size(int w, int h) const { return {X(w), Y(h)}; }
  QRect Rect(int x, int y, int w, int h) const { return {Point(x, y), Size(w, h)}; }

 private:
  int baseX_ = 0;
  int baseY_ = 0;
};

/// @brief The object name under which a dialog control with id @p id is
/// found, e.g. "id113": the dialogs keep the control ids of their layout.
inline QString ControlName(int id) { return QStringLiteral("id%1").arg(id); }

}  // namespace orvane
