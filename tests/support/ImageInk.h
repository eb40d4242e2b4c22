#pragma once
// Measures of what a painter left on a QImage, for tests that paint on a
// white image:
//
//   EXPECT_EQ(InkBox(image), (Rect{20, 10, 60, 30}));   // every non-white pixel
//   EXPECT_EQ(CountColour(image, qRgb(0, 255, 255)), 600);

#include <QImage>

#include <algorithm>
#include <optional>

#include "platform/Rect.h"

namespace orvane::test {

/// @brief The bounding rectangle (right and bottom just outside) of the pixels
/// of @p colour, or of every pixel that is not white when no colour is given.
/// @return {width, height, 0, 0}, an empty rectangle, when there is none.
inline Rect InkBox(const QImage& image, std::optional<QRgb> colour = std::nullopt) {
  constexpr QRgb kWhite = 0xffffffff;
  Rect box{image.width(), image.height(), 0, 0};
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (colour ? p == *colour : p != kWhite) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    }
  return box;
}

/// @brief How many pixels of @p image are exactly @p colour.
inline int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

}  // namespace orvane::test
