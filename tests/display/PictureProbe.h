#pragma once
// Pixel probes for the pictures of the seismogram windows.

#include <QImage>

#include <optional>

#include "map/DrawingPrimitives.h"
#include "platform/Rect.h"
#include "platform/Surface.h"

namespace orvane::test {

inline QRgb Colour(int index) { return standardColours[index]; }

/// @brief The metrics of the stock font every picture starts with.
inline TextMetrics StockMetrics() {
  QImage probe(1, 1, QImage::Format_RGB32);
  return Surface(probe).GetTextMetrics();
}

/// @brief How many pixels of @p colour lie in @p area.
inline int CountIn(const QImage& image, const Rect& area, QRgb colour) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) n += image.pixel(x, y) == colour;
  return n;
}

/// @brief The leftmost column of @p area holding a pixel of @p colour.
inline std::optional<int> FirstColumn(const QImage& image, const Rect& area, QRgb colour) {
  for (int x = area.left; x < area.right; ++x)
    for (int y = area.top; y < area.bottom; ++y)
      if (image.pixel(x, y) == colour) return x;
  return std::nullopt;
}

/// @brief The top and bottom rows (bottom just outside) of @p colour in @p area.
inline std::optional<std::pair<int, int>> RowsOf(const QImage& image, const Rect& area, QRgb colour) {
  int top = area.bottom, bottom = area.top;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (image.pixel(x, y) == colour) {
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
  if (top >= bottom) return std::nullopt;
  return std::make_pair(top, bottom);
}

/// @brief True when the two images agree on every pixel of @p area.
inline bool SameIn(const QImage& a, const QImage& b, const Rect& area) {
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
  return true;
}

}  // namespace orvane::test
