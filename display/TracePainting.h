#pragma once
// Small pieces that both seismogram pictures paint with.

#include <QFont>
#include <QString>

#include <optional>
#include <string>

#include "map/DrawingPrimitives.h"
#include "platform/Rect.h"
#include "platform/Surface.h"

namespace orvane::trace_painting {

/// The label font of both windows: "Arial", bold, @p labelHeight pixels of cell height.
inline QFont LabelFont(int labelHeight) {
  return Surface::CreateFont(QStringLiteral("Arial"), labelHeight, 700);
}

/// Header texts are single bytes of any code page; Latin-1 shows each as one character.
inline QString HeaderText(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

/// A line from (x0, y0) to (x1, y1) in palette colour @p colour, @p width wide.
inline void Line(Surface& surface, int x0, int y0, int x1, int y1, int colour, int width = 1) {
  PenTo(surface, x0, y0, palette::kMoveOnly);
  PenTo(surface, x1, y1, colour, width);
}

/// The frame of a seismogram window: dark grey over all of @p client around
/// the white @p area, sunk by a bevel half of @p charWidth wide.
inline void PaintFrame(Surface& surface, const Rect& client, const Rect& area, int charWidth) {
  SetDrawingOrigin(surface, client, true);
  surface.FillRect(client, QColor(standardColours[palette::kDarkGrey]));
  surface.FillRect(area, QColor(standardColours[palette::kWhite]));
  const int half = charWidth / 2;
  DrawBevel(surface, Rect{area.left - half, area.top - half, area.right + half, area.bottom + half}, std::nullopt,
            true, half, 0);
}

/// Puts back the window origin and the clip a painter found.
class OriginAndClipGuard {
 public:
  explicit OriginAndClipGuard(Surface& surface)
      : surface_(surface), origin_(surface.WindowOrigin()), clip_(surface.ClipRect()) {}
  ~OriginAndClipGuard() {
    surface_.SetWindowOrigin(0, 0);
    if (clip_)
      surface_.SetClipRect(*clip_);
    else
      surface_.ClearClip();
    surface_.SetWindowOrigin(origin_.x(), origin_.y());
  }
  OriginAndClipGuard(const OriginAndClipGuard&) = delete;
  OriginAndClipGuard& operator=(const OriginAndClipGuard&) = delete;

 private:
  Surface& surface_;
  QPoint origin_;
  std::optional<Rect> clip_;
};

}  // namespace orvane::trace_painting
