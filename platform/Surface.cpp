#include "platform/Surface.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QTransform>

#include <algorithm>
#include <cstdlib>

namespace orvane {
namespace {

constexpr int kStockPixelSize = 13;

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QFont WithoutAntialiasing(QFont font) {
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

}  // namespace

Surface::Surface(QPaintDevice& device)
    : device_(&device), painter_(std::make_unique<QPainter>()), font_(StockFont()) {
  if (!painter_->begin(device_)) return;
  painter_->setRenderHint(QPainter::Antialiasing, false);
  painter_->setRenderHint(QPainter::TextAntialiasing, false);
  painter_->setBackgroundMode(Qt::TransparentMode);
  painter_->setFont(font_);
  ApplyPen();
  ApplyBrush();
  ApplyTransform();
}

Surface::~Surface() {
  if (painter_->isActive()) painter_->end();
}

bool Surface::IsActive() const { return painter_->isActive(); }

QSize Surface::DeviceSize() const { return QSize(device_->width(), device_->height()); }

qreal Surface::DevicePixelRatio() const { return device_->devicePixelRatioF(); }

QPainter& Surface::Painter() { return *painter_; }

QFont Surface::StockFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(kStockPixelSize);
  font.setWeight(QFont::Bold);
  return WithoutAntialiasing(font);
}

QFont Surface::CreateFont(const QString& face, int height, int weight) {
  QFont font(face);
  // Qt takes CSS weights (400 normal, 700 bold), the same numbers the painters use.
  font.setWeight(static_cast<QFont::Weight>(std::clamp(weight <= 0 ? 400 : weight, 1, 1000)));
  font = WithoutAntialiasing(font);
  if (height == 0) {
    font.setPixelSize(kStockPixelSize);
    return font;
  }
  if (height < 0) {
    font.setPixelSize(-height);
    return font;
  }
  // A positive height is the cell height. Guess the em size from the font's
  // proportions, then step until the cell is as tall as allowed but no taller.
  auto cellHeight = [&font](int pixels) {
    font.setPixelSize(pixels);
    return QFontMetrics(font).height();
  };
  int pixels = std::max(1, height * height / std::max(1, cellHeight(height)));
  while (pixels > 1 && cellHeight(pixels) > height) --pixels;
  while (cellHeight(pixels + 1) <= height) ++pixels;
  font.setPixelSize(pixels);
  return font;
}

QPoint Surface::MoveTo(int x, int y) {
  QPoint previous = position_;
  position_ = QPoint(x, y);
  styleStep_ = 0;
  return previous;
}

void Surface::LineTo(int x, int y) {
  const QPoint to(x, y);
  if (ThinLines()) {
    AppendLine(position_, to, LogicalBounds());
    FlushPixels();
  } else if (pen_.style != PenStyle::Null) {
    painter_->drawLine(position_, to);
  }
  position_ = to;
}

Pen Surface::SelectPen(const Pen& pen) {
  Pen previous = pen_;
  pen_ = pen;
  ApplyPen();
  return previous;
}

Brush Surface::SelectBrush(const Brush& brush) {
  Brush previous = brush_;
  brush_ = brush;
  ApplyBrush();
  return previous;
}

QFont Surface::SelectFont(const QFont& font) {
  QFont previous = font_;
  font_ = font;
  painter_->setFont(font_);
  return previous;
}

QColor Surface::SetTextColour(const QColor& colour) {
  QColor previous = textColour_;
  textColour_ = colour;
  return previous;
}

QColor Surface::SetBackgroundColour(const QColor& colour) {
  QColor previous = backgroundColour_;
  backgroundColour_ = colour;
  return previous;
}

BackgroundMode Surface::SetBackgroundMode(BackgroundMode mode) {
  BackgroundMode previous = backgroundMode_;
  backgroundMode_ = mode;
  return previous;
}

TextAlign Surface::SetTextAlign(TextAlign align) {
  TextAlign previous = textAlign_;
  textAlign_ = align;
  return previous;
}

TextMetrics Surface::GetTextMetrics() const {
  QFontMetrics m(font_);
  TextMetrics t;
  t.ascent = m.ascent();
  t.descent = m.descent();
  t.height = t.ascent + t.descent;
  t.externalLeading = std::max(0, m.leading());
  t.averageCharWidth = m.averageCharWidth();
  return t;
}

QSize Surface::GetTextExtent(const QString& text) const {
  QFontMetrics m(font_);
  return QSize(m.horizontalAdvance(text), m.ascent() + m.descent());
}

void Surface::TextOut(int x, int y, const QString& text) {
  QFontMetrics m(font_);
  const int width = m.horizontalAdvance(text);
  int left = x;
  if (textAlign_ == TextAlign::Centre) left = x - width / 2;
  if (textAlign_ == TextAlign::Right) left = x - width;
  if (backgroundMode_ == BackgroundMode::Opaque)
    painter_->fillRect(QRect(left, y - m.ascent(), width, m.ascent() + m.descent()), backgroundColour_);
  painter_->setPen(QPen(textColour_));
  painter_->drawText(QPoint(left, y), text);
  ApplyPen();
}

MapMode Surface::SetMapMode(MapMode mode) {
  MapMode previous = mapMode_;
  mapMode_ = mode;
  ApplyTransform();
  return previous;
}

QPoint Surface::SetWindowOrigin(int x, int y) {
  QPoint previous = windowOrigin_;
  windowOrigin_ = QPoint(x, y);
  ApplyTransform();
  return previous;
}

QPoint Surface::SetViewportOrigin(int x, int y) {
  QPoint previous = viewportOrigin_;
  viewportOrigin_ = QPoint(x, y);
  ApplyTransform();
  return previous;
}

QSize Surface::SetWindowExtent(int width, int height) {
  QSize previous = WindowExtent();
  if (width == 0 || height == 0) return previous;
  windowExtent_ = QSize(width, height);
  ApplyTransform();
  return previous;
}

QSize Surface::WindowExtent() const { return mapMode_ == MapMode::Text ? QSize(1, 1) : windowExtent_; }

QSize Surface::SetViewportExtent(int width, int height) {
  QSize previous = ViewportExtent();
  if (width == 0 || height == 0) return previous;
  viewportExtent_ = QSize(width, height);
  ApplyTransform();
  return previous;
}

QSize Surface::ViewportExtent() const { return mapMode_ == MapMode::Text ? QSize(1, 1) : viewportExtent_; }

QPoint Surface::LogicalToDevice(QPoint logical) const { return painter_->transform().map(logical); }

void Surface::ApplyTransform() {
  const QSize w = WindowExtent();
  const QSize v = ViewportExtent();
  const double sx = double(v.width()) / w.width();
  const double sy = double(v.height()) / w.height();
  painter_->setTransform(QTransform(sx, 0, 0, sy, viewportOrigin_.x() - windowOrigin_.x() * sx,
                                    viewportOrigin_.y() - windowOrigin_.y() * sy));
}

void Surface::ApplyPen() {
  if (pen_.style == PenStyle::Null) {
    painter_->setPen(Qt::NoPen);
    return;
  }
  QPen pen(pen_.colour);
  pen.setWidth(std::max(0, pen_.width));
  if (pen_.width <= 1) {
    // Thin lines end short of their end point, as the painters expect.
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
  } else {
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  if (pen_.style == PenStyle::Dash) pen.setDashPattern({18, 6});
  if (pen_.style == PenStyle::Dot) pen.setDashPattern({3, 3});
  painter_->setPen(pen);
}

void Surface::ApplyBrush() {
  if (brush_.null)
    painter_->setBrush(Qt::NoBrush);
  else
    painter_->setBrush(QBrush(brush_.colour));
}

void Surface::SetClipRect(const Rect& device) {
  // The painter keeps a clip where the transform put it when it was set, so
  // setting it under the identity makes it a device rectangle for good.
  const QTransform saved = painter_->transform();
  painter_->resetTransform();
  painter_->setClipRect(ToQRect(device));
  painter_->setTransform(saved);
  clip_ = device;
}

void Surface::ClearClip() {
  painter_->setClipping(false);
  clip_.reset();
}

void Surface::Polyline(std::span<const QPoint> points) {
  if (points.size() < 2 || pen_.style == PenStyle::Null) return;
  if (ThinLines()) {
    const Rect bounds = LogicalBounds();
    styleStep_ = 0;
    for (std::size_t i = 1; i < points.size(); ++i) AppendLine(points[i - 1], points[i], bounds);
    FlushPixels();
    styleStep_ = 0;
    return;
  }
  painter_->drawPolyline(points.data(), static_cast<int>(points.size()));
}

bool Surface::ThinLines() const {
  return pen_.style != PenStyle::Null && pen_.width <= 1 &&
         (mapMode_ == MapMode::Text || windowExtent_ == viewportExtent_);
}

Rect Surface::LogicalBounds() const {
  Rect bounds{0, 0, device_->width(), device_->height()};
  if (clip_) {
    bounds.left = std::max(bounds.left, clip_->left);
    bounds.top = std::max(bounds.top, clip_->top);
    bounds.right = std::min(bounds.right, clip_->right);
    bounds.bottom = std::min(bounds.bottom, clip_->bottom);
  }
  // Under a whole-pixel mapping, device = logical + (viewport origin − window origin).
  return bounds.Offset(windowOrigin_.x() - viewportOrigin_.x(), windowOrigin_.y() - viewportOrigin_.y());
}

// The pixels of the line from `from` to `to` without `to` itself: one pixel per
// step along the longer axis, the other coordinate rounded half up from the
// exact line, so a line covers the same pixels drawn either way round. Only the
// stretch inside `bounds` is produced, so a line reaching far off the surface
// costs no more than one across it.
void Surface::AppendLine(QPoint from, QPoint to, const Rect& bounds) {
  const long long dx = static_cast<long long>(to.x()) - from.x();
  const long long dy = static_cast<long long>(to.y()) - from.y();
  if (dx == 0 && dy == 0) return;
  // Wholly beyond one edge of the bounds: nothing to draw (most lines of a
  // close view of the map lie off the surface).
  if ((from.x() < bounds.left && to.x() < bounds.left) || (from.x() >= bounds.right && to.x() >= bounds.right) ||
      (from.y() < bounds.top && to.y() < bounds.top) || (from.y() >= bounds.bottom && to.y() >= bounds.bottom)) {
    styleStep_ += std::max(std::llabs(dx), std::llabs(dy));
    return;
  }
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const long long dMajor = xMajor ? dx : dy;
  const long long dMinor = xMajor ? dy : dx;
  const long long n = std::llabs(dMajor);   // pixels 0..n-1
  const int step = dMajor > 0 ? 1 : -1;
  const long long major0 = xMajor ? from.x() : from.y();
  const long long minor0 = xMajor ? from.y() : from.x();
  const long long lo = xMajor ? bounds.left : bounds.top;
  const long long hi = (xMajor ? bounds.right : bounds.bottom) - 1;
  const long long minorLo = xMajor ? bounds.top : bounds.left;
  const long long minorHi = (xMajor ? bounds.bottom : bounds.right) - 1;

  // Steps t with the major coordinate inside the bounds.
  long long first = step > 0 ? lo - major0 : major0 - hi;
  long long last = step > 0 ? hi - major0 : major0 - lo;
  first = std::max(first, 0LL);
  last = std::min(last, n - 1);
  const long long styleAt = styleStep_;
  styleStep_ += n;
  if (first > last) return;

  // Minor offset at step t: floor((2·t·dMinor + n) / 2n), carried forward with a
  // remainder; the start is computed in 128 bits, as t·dMinor may exceed 64.
  const long long twoN = 2 * n;
  long long offset = 0;
  long long remainder = 0;
  if (first < (1LL << 30) && n < (1LL << 30)) {
    const long long numerator = 2 * first * dMinor + n;  // below 2^62
    offset = numerator / twoN;
    remainder = numerator % twoN;
  } else {
    const __int128 numerator = static_cast<__int128>(2) * first * dMinor + n;
    offset = static_cast<long long>(numerator / twoN);
    remainder = static_cast<long long>(numerator % twoN);
  }
  if (remainder < 0) {
    remainder += twoN;
    offset -= 1;
  }

  int period = 0, on = 0;
  if (pen_.style == PenStyle::Dash) period = 24, on = 18;
  if (pen_.style == PenStyle::Dot) period = 6, on = 3;

  for (long long t = first; t <= last; ++t) {
    const long long minor = minor0 + offset;
    if (minor >= minorLo && minor <= minorHi && (period == 0 || (styleAt + t) % period < on)) {
      const long long major = major0 + step * t;
      pixels_.emplace_back(static_cast<int>(xMajor ? major : minor), static_cast<int>(xMajor ? minor : major));
    }
    remainder += 2 * dMinor;
    if (remainder >= twoN) {
      remainder -= twoN;
      ++offset;
    } else if (remainder < 0) {
      remainder += twoN;
      --offset;
    }
  }
}

void Surface::FlushPixels() {
  if (pixels_.empty()) return;
  // Square points one logical unit wide, so that a device that scales (a
  // high-density screen) fills the whole unit whatever the pen's cap.
  painter_->setPen(QPen(QBrush(pen_.colour), 1, Qt::SolidLine, Qt::SquareCap));
  painter_->drawPoints(pixels_.data(), static_cast<int>(pixels_.size()));
  pixels_.clear();
  ApplyPen();
}

void Surface::Polygon(std::span<const QPoint> points) {
  if (points.size() < 2) return;
  painter_->drawPolygon(points.data(), static_cast<int>(points.size()));
}

void Surface::Ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 2 || bottom - top < 2) return;
  painter_->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void Surface::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 2 || bottom - top < 2) return;
  // With a pen the outline runs along the last column and row inside the box;
  // without one the fill is what the outline would have enclosed.
  painter_->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void Surface::FillRect(const Rect& rect, const QColor& colour) {
  if (rect.IsEmpty()) return;
  painter_->fillRect(ToQRect(rect), colour);
}

void Surface::FillSolidRect(const Rect& rect, const QColor& colour) {
  backgroundColour_ = colour;
  FillRect(rect, colour);
}

void Surface::PatBlt(int x, int y, int width, int height) {
  if (brush_.null || width == 0 || height == 0) return;
  const int left = width > 0 ? x : x + width;
  const int top = height > 0 ? y : y + height;
  painter_->fillRect(QRect(left, top, std::abs(width), std::abs(height)), brush_.colour);
}

void Surface::BitBlt(int x, int y, const QImage& image) {
  if (image.isNull()) return;
  const QPainter::CompositionMode mode = painter_->compositionMode();
  painter_->setCompositionMode(QPainter::CompositionMode_Source);
  painter_->drawImage(QPoint(x, y), image);
  painter_->setCompositionMode(mode);
}

void Surface::BitBlt(int x, int y, const QPixmap& pixmap) {
  if (pixmap.isNull()) return;
  const QPainter::CompositionMode mode = painter_->compositionMode();
  painter_->setCompositionMode(QPainter::CompositionMode_Source);
  painter_->drawPixmap(QPoint(x, y), pixmap);
  painter_->setCompositionMode(mode);
}

QImage Surface::CopyOut(const Rect& device) const {
  const auto* image = dynamic_cast<const QImage*>(device_);
  if (image == nullptr || device.IsEmpty()) return QImage();
  return image->copy(ToQRect(device));
}

}  // namespace orvane
