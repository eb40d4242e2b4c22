#include "dialogs/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace orvane {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  baseX_ = std::max(1, BaseXFromLetters(metrics.horizontalAdvance(
                           QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"))));
  baseY_ = std::max(1, metrics.height());
}

QFont DialogUnits::DialogFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPointSize(8);
  return font;
}

int DialogUnits::ToPixels(int units, int base, int divisor) {
  return static_cast<int>(std::lround(static_cast<double>(units) * base / divisor));
}

}  // namespace orvane
