#include "map/DrawingPrimitives.h"

#include <QFont>
#include <QPoint>
#include <QStringList>

#include "platform/Surface.h"

namespace orvane {
namespace {

// Indices outside the palette are a caller's slip; black is drawn rather than
// whatever lies beyond the table.
QColor Palette(int index) {
  if (index < 0 || index >= kStandardColourCount) return QColor(standardColours[1]);
  return QColor(standardColours[index]);
}

}  // namespace

Rect DrawLabel(Surface& surface, int x, int y, const QFont* font, const QString& text, int colour,
               int background, int horizontalMode, int verticalMode, int shadow, int shadowColour) {
  const QColor savedText = surface.TextColour();
  const QColor savedBackground = surface.BackgroundColour();

  // The shadow offset is meant in device pixels; a surface that maps several
  // logical units onto one pixel (a printer page) gets a longer offset.
  const int viewportWidth = surface.ViewportExtent().width();
  const int scale = viewportWidth != 0 ? surface.WindowExtent().width() / viewportWidth : 1;
  shadow *= scale;

  const QFont previousFont = surface.SelectFont(font != nullptr ? *font : Surface::StockFont());
  const TextMetrics metrics = surface.GetTextMetrics();
  const int half = metrics.averageCharWidth / 2;

  if (colour >= 0) {
    if (background >= 0) {
      surface.SetBackgroundMode(BackgroundMode::Opaque);
      surface.SetBackgroundColour(Palette(background));
    } else {
      surface.SetBackgroundMode(BackgroundMode::Transparent);
    }
  }

  switch (horizontalMode) {
    case 0:
      x += half;
      surface.SetTextAlign(TextAlign::Left);
      break;
    case 1:
      surface.SetTextAlign(TextAlign::Centre);
      break;
    case 2:
      x -= half;
      surface.SetTextAlign(TextAlign::Right);
      break;
    default:
      surface.SetTextAlign(TextAlign::Left);
      break;
  }

  int baseline = y;
  switch (verticalMode) {
    case 0: baseline = y - metrics.descent; break;
    case 1: baseline = y + metrics.ascent / 3; break;
    case 2: baseline = y + metrics.ascent; break;
    default: break;
  }

  Rect result;
  bool first = true;
  const QStringList lines = text.split(QStringLiteral("\\n"));
  for (const QString& line : lines) {
    if (colour >= 0) {
      if (shadow != 0) {
        surface.SetTextColour(Palette(shadowColour));
        surface.TextOut(x + shadow, baseline + shadow, line);
      }
      surface.SetTextColour(Palette(colour));
      surface.TextOut(x, baseline, line);
    }
    const QSize extent = surface.GetTextExtent(line);
    const int w = extent.width() + shadow;
    const int h = extent.height() + shadow;
    int left = x;
    if (horizontalMode == 1) left = x - w / 2;
    if (horizontalMode == 2) left = x - w;
    const int top = baseline - metrics.ascent;
    const Rect lineRect{left - 1, top - 1, left + w + 1, top + h + 1};
    if (first || result.Width() == 0)
      result = lineRect;
    else
      result = result.United(lineRect);
    first = false;
    baseline += metrics.height + metrics.externalLeading;
  }

  if (font != nullptr) surface.SelectFont(previousFont);
  surface.SetTextColour(savedText);
  surface.SetBackgroundColour(savedBackground);
  return result;
}

void PenTo(Surface& surface, int x, int y, int colour, int width, int style) {
  if (colour == 0) {
    surface.MoveTo(x, y);
    return;
  }
  PenStyle penStyle = PenStyle::Solid;
  if (style == 1) penStyle = PenStyle::Dash;
  if (style == 2) penStyle = PenStyle::Dot;
  const Pen previous = surface.SelectPen(Pen{penStyle, width, Palette(colour)});
  surface.LineTo(x, y);
  surface.SelectPen(previous);
}

void SetDrawingArea(Surface& surface, int left, int top, int right, int bottom, bool clip) {
  if (clip) {
    surface.SetWindowOrigin(0, 0);
    surface.SetClipRect(Rect{left, top, right, bottom});
  }
  surface.SetWindowOrigin(left, top);
}

void SetDrawingOrigin(Surface& surface, const Rect& rect, bool clip) {
  if (clip) {
    surface.SetWindowOrigin(0, 0);
    surface.SetClipRect(rect);
  }
  surface.SetWindowOrigin(-rect.left, -rect.top);
}

void DrawBevel(Surface& surface, const Rect& rect, std::optional<QColor> fill, bool sunken,
               int bevelWidth, int borderWidth) {
  if (fill && borderWidth == 0) surface.FillSolidRect(rect, *fill);
  if (bevelWidth == 0) return;

  const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
  const int iL = L + bevelWidth, iT = T + bevelWidth, iR = R - bevelWidth, iB = B - bevelWidth;
  const QColor dark(standardColours[1]);
  const QColor light(standardColours[8]);

  const Pen previousPen = surface.SelectPen(Pen::Null());

  const QPoint upperLeft[] = {{L, T}, {L, B}, {iL, iB}, {iL, iT}, {iR, iT}, {R, T}, {L, T}};
  Brush previousBrush = surface.SelectBrush(Brush::Solid(sunken ? dark : light));
  surface.Polygon(upperLeft);
  surface.SelectBrush(previousBrush);

  const QPoint lowerRight[] = {{R, B}, {R, T}, {iR, iT}, {iR, iB}, {iL, iB}, {L, B}, {R, B}};
  previousBrush = surface.SelectBrush(Brush::Solid(sunken ? light : dark));
  surface.Polygon(lowerRight);
  surface.SelectBrush(previousBrush);

  if (borderWidth != 0 && fill) {
    previousBrush = surface.SelectBrush(Brush::Solid(*fill));
    surface.PatBlt(iL, iT, iR - iL, borderWidth);
    surface.PatBlt(iL, iT, borderWidth, iB - iT);
    surface.PatBlt(iL, iB, iR - iL, -borderWidth);
    surface.PatBlt(iR, iT, -borderWidth, iB - iT);
    surface.SelectBrush(previousBrush);
  }

  surface.SelectPen(previousPen);
}

}  // namespace orvane
