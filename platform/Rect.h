#pragma once
// A rectangle in the drawing surface's sense: left and top are inside, right
// and bottom lie just outside, so (0, 0, 4, 3) covers 4 × 3 pixels.

#include <algorithm>

namespace orvane {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  /// @brief right − left; (2, 0, 10, 5) has width 8.
  constexpr int Width() const { return right - left; }
  /// @brief bottom − top.
  constexpr int Height() const { return bottom - top; }
  /// @brief True when the rectangle covers no pixel (zero or negative width or height).
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  /// @brief The rectangle moved by (dx, dy).
  constexpr Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  /// @brief The smallest rectangle holding both; an empty rectangle adds nothing.
  /// @return (0, 0, 2, 2) united with (5, 5, 6, 6) is (0, 0, 6, 6).
  constexpr Rect United(const Rect& other) const {
    if (other.IsEmpty()) return *this;
    if (IsEmpty()) return other;
    return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
            std::max(bottom, other.bottom)};
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace orvane
