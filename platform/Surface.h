#pragma once
// Surface: the drawing surface every painter of the program draws on.
//
// The painters were laid out for a classic device context: a current position
// that MoveTo and LineTo carry along, a selected pen and brush, a text colour,
// a background colour and mode for text and opaque fills, a selected font with
// its text metrics, a window origin with window and viewport extents that map
// logical to device units, and a clip rectangle in device units. Surface keeps
// exactly that state and draws through a QPainter it holds, so that a painter
// runs unchanged on a widget (inside its paint event), on a QImage (tests,
// pictures from the command line) and on a QPrinter.
//
// Pixel rules the painters depend on, kept here once:
//  - no antialiasing, for lines, fills and text alike;
//  - LineTo and Polyline do not paint the end point of the last segment
//    (a line from (2, 2) to (8, 2) covers x = 2..7);
//  - Rectangle and Ellipse with bounding box (l, t, r, b) stay inside the box:
//    the outline covers columns l..r−1 and rows t..b−1;
//  - with the null pen a Rectangle fills (l..r−2, t..b−2), one pixel less each way.

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>

#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/Rect.h"

class QImage;
class QPainter;
class QPaintDevice;
class QPixmap;
class QString;

namespace orvane {

/// Pen styles, numbered as the painters give them (0 solid, 1 dashed, 2 dotted, 5 none).
enum class PenStyle { Solid = 0, Dash = 1, Dot = 2, Null = 5 };

/// A pen to select: style, width in logical units and colour.
struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;
  QColor colour = QColor(0, 0, 0);

  /// @brief A solid pen; Pen::Solid(Qt::red, 2) draws red lines two units wide.
  static Pen Solid(const QColor& colour, int width = 1) { return {PenStyle::Solid, width, colour}; }
  /// @brief The null pen: outlines and lines are left out.
  static Pen Null() { return {PenStyle::Null, 0, QColor(0, 0, 0)}; }
  friend bool operator==(const Pen&, const Pen&) = default;
};

/// A brush to select: a solid colour, or the null brush that fills nothing.
struct Brush {
  bool null = false;
  QColor colour = QColor(255, 255, 255);

  static Brush Solid(const QColor& colour) { return {false, colour}; }
  static Brush Null() { return {true, QColor(0, 0, 0)}; }
  friend bool operator==(const Brush&, const Brush&) = default;
};

/// What the surface does behind text: fill the text's cell with the background colour or not.
enum class BackgroundMode { Transparent = 1, Opaque = 2 };

/// Where TextOut's x lies on the text; y is always the baseline.
enum class TextAlign { Left, Centre, Right };

/// Logical-to-device mapping: Text is one logical unit per pixel; Anisotropic
/// scales by viewport extent / window extent on each axis.
enum class MapMode { Text, Anisotropic };

/// Metrics of the selected font in logical units. height = ascent + descent;
/// the next line of text starts height + externalLeading lower.
struct TextMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;
  int externalLeading = 0;
  int averageCharWidth = 0;
};

class Surface {
 public:
  /// @brief Starts painting on @p device (a widget inside its paint event, a QImage, a QPrinter).
  /// The device must outlive the surface; painting ends when the surface is destroyed.
  explicit Surface(QPaintDevice& device);
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  /// @brief False when painting could not start (a null image, a printer without output).
  bool IsActive() const;
  /// @brief Size of the device in pixels.
  QSize DeviceSize() const;
  /// @brief Device pixels per unit of the device: 2 on a doubled high-density screen or
  /// image, 1 on an ordinary screen, an image and a printer (which maps by its resolution).
  qreal DevicePixelRatio() const;

  /// @brief The program's stock system font: Liberation Sans (DejaVu Sans where missing),
  /// bold, 13 pixels, not antialiased, so that every picture looks the same everywhere.
  static QFont StockFont();
  /// @brief A font by face name, height and weight as the painters give them: a positive
  /// height is the cell height (ascent + descent) in logical units, a negative one the
  /// character height; weight 400 is normal, 700 bold. "Arial" resolves to its metric twin.
  /// @return CreateFont("Arial", 20, 700) has a TextMetrics height of at most 20.
  static QFont CreateFont(const QString& face, int height, int weight);

  // Current position, in logical units.
  /// @brief Moves the current position; @return the previous one.
  QPoint MoveTo(int x, int y);
  /// @brief Draws from the current position to (x, y) with the selected pen, without the
  /// end point, and makes (x, y) the current position.
  void LineTo(int x, int y);
  QPoint CurrentPosition() const { return position_; }

  // Selected objects. Each Select returns what was selected before.
  Pen SelectPen(const Pen& pen);
  Pen CurrentPen() const { return pen_; }
  Brush SelectBrush(const Brush& brush);
  Brush CurrentBrush() const { return brush_; }
  QFont SelectFont(const QFont& font);
  QFont CurrentFont() const { return font_; }

  // Text colour, background colour and mode, text alignment.
  QColor SetTextColour(const QColor& colour);
  QColor TextColour() const { return textColour_; }
  QColor SetBackgroundColour(const QColor& colour);
  QColor BackgroundColour() const { return backgroundColour_; }
  BackgroundMode SetBackgroundMode(BackgroundMode mode);
  BackgroundMode GetBackgroundMode() const { return backgroundMode_; }
  TextAlign SetTextAlign(TextAlign align);
  TextAlign GetTextAlign() const { return textAlign_; }

  /// @brief Metrics of the selected font.
  TextMetrics GetTextMetrics() const;
  /// @brief Width of @p text in the selected font and the font's height, logical units.
  QSize GetTextExtent(const QString& text) const;
  /// @brief Draws @p text in the text colour with its baseline at @p y and x placed by the
  /// text alignment; in opaque mode the text's cell (ascent above, descent below the
  /// baseline) is first filled with the background colour.
  void TextOut(int x, int y, const QString& text);

  // Mapping: device = (logical − window origin) × viewport extent / window extent + viewport origin.
  MapMode SetMapMode(MapMode mode);
  MapMode GetMapMode() const { return mapMode_; }
  QPoint SetWindowOrigin(int x, int y);
  QPoint WindowOrigin() const { return windowOrigin_; }
  QPoint SetViewportOrigin(int x, int y);
  QPoint ViewportOrigin() const { return viewportOrigin_; }
  /// Extents take effect in MapMode::Anisotropic only; in MapMode::Text both read (1, 1).
  /// A zero extent is refused (the previous one stays) and the previous extent is returned.
  QSize SetWindowExtent(int width, int height);
  QSize WindowExtent() const;
  QSize SetViewportExtent(int width, int height);
  QSize ViewportExtent() const;
  QPoint LogicalToDevice(QPoint logical) const;

  // Clipping, in device units whatever the mapping.
  /// @brief Confines all further drawing to @p device (right and bottom outside).
  void SetClipRect(const Rect& device);
  void ClearClip();
  /// @brief The clip rectangle in device units, none when drawing is not clipped.
  std::optional<Rect> ClipRect() const { return clip_; }

  // Drawing, in logical units, with the selected pen and brush.
  void Polyline(std::span<const QPoint> points);
  void Polygon(std::span<const QPoint> points);
  void Ellipse(int left, int top, int right, int bottom);
  void Rectangle(int left, int top, int right, int bottom);
  /// @brief Fills @p rect with @p colour, leaving pen, brush and background colour alone.
  void FillRect(const Rect& rect, const QColor& colour);
  /// @brief An opaque fill: sets the background colour to @p colour and fills @p rect with it.
  void FillSolidRect(const Rect& rect, const QColor& colour);
  /// @brief Fills width × height from (x, y) with the selected brush; a negative width or
  /// height extends leftwards or upwards from x or y (x itself excluded).
  void PatBlt(int x, int y, int width, int height);

  // Bitmap copies.
  /// @brief Copies @p image unchanged onto the surface with its top-left at (x, y).
  void BitBlt(int x, int y, const QImage& image);
  void BitBlt(int x, int y, const QPixmap& pixmap);
  /// @brief Copies the device pixels under @p device (device units) out of the surface.
  /// @return A null image when the device cannot be read back (a widget, a printer).
  QImage CopyOut(const Rect& device) const;

  /// @brief The painter underneath, for what the surface does not cover.
  QPainter& Painter();

 private:
  void ApplyTransform();
  void ApplyPen();
  void ApplyBrush();
  // Thin solid or styled pens under a whole-pixel mapping are rasterised here,
  // so that every line leaves out its own end point whatever its direction.
  bool ThinLines() const;
  Rect LogicalBounds() const;
  void AppendLine(QPoint from, QPoint to, const Rect& bounds);
  void FlushPixels();

  QPaintDevice* device_;
  std::unique_ptr<QPainter> painter_;
  Pen pen_;
  Brush brush_;
  QFont font_;
  QColor textColour_{0, 0, 0};
  QColor backgroundColour_{255, 255, 255};
  BackgroundMode backgroundMode_ = BackgroundMode::Opaque;
  TextAlign textAlign_ = TextAlign::Left;
  QPoint position_{0, 0};
  MapMode mapMode_ = MapMode::Text;
  QPoint windowOrigin_{0, 0};
  QPoint viewportOrigin_{0, 0};
  QSize windowExtent_{1, 1};
  QSize viewportExtent_{1, 1};
  std::optional<Rect> clip_;
  long long styleStep_ = 0;       // position in the dash pattern along connected lines
  std::vector<QPoint> pixels_;    // scratch for the thin-line rasteriser
};

/// Keeps what a painter selects on a surface (pen, brush, font, text colour,
/// background colour and mode, text alignment) and puts it all back when it
/// leaves scope, so that a painter returns the surface as it found it:
///
///   SurfaceStateGuard keep(surface);
///   surface.SelectPen(Pen::Solid(Qt::red, 2));  // undone at the end of the scope
class SurfaceStateGuard {
 public:
  explicit SurfaceStateGuard(Surface& surface)
      : surface_(surface),
        pen_(surface.CurrentPen()),
        brush_(surface.CurrentBrush()),
        font_(surface.CurrentFont()),
        textColour_(surface.TextColour()),
        backgroundColour_(surface.BackgroundColour()),
        backgroundMode_(surface.GetBackgroundMode()),
        textAlign_(surface.GetTextAlign()) {}
  ~SurfaceStateGuard() {
    surface_.SelectPen(pen_);
    surface_.SelectBrush(brush_);
    surface_.SelectFont(font_);
    surface_.SetTextColour(textColour_);
    surface_.SetBackgroundColour(backgroundColour_);
    surface_.SetBackgroundMode(backgroundMode_);
    surface_.SetTextAlign(textAlign_);
  }
  SurfaceStateGuard(const SurfaceStateGuard&) = delete;
  SurfaceStateGuard& operator=(const SurfaceStateGuard&) = delete;

 private:
  Surface& surface_;
  Pen pen_;
  Brush brush_;
  QFont font_;
  QColor textColour_;
  QColor backgroundColour_;
  BackgroundMode backgroundMode_;
  TextAlign textAlign_;
};

}  // namespace orvane
