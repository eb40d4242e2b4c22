// The drawing surface on a QImage: the pixel rules the painters rely on.
#include "platform/Surface.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>

#include "support/ImageInk.h"

namespace orvane {
namespace {

using test::CountColour;
using test::InkBox;

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;

QImage Blank(int w = 40, int h = 30) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kWhite);
  return image;
}

// Paints on a fresh white image and returns it.
QImage Paint(const std::function<void(Surface&)>& draw, int w = 40, int h = 30) {
  QImage image = Blank(w, h);
  {
    Surface s(image);
    draw(s);
  }
  return image;
}

TEST(SurfaceLines, LineToLeavesOutTheEndPointAndMovesThePosition) {
  struct Case {
    const char* name;
    QPoint from, to;
  } cases[] = {{"horizontal", {2, 2}, {8, 2}},  {"vertical", {3, 4}, {3, 12}},
               {"diagonal", {10, 10}, {16, 16}}, {"leftwards", {30, 5}, {22, 5}},
               {"upwards", {35, 20}, {35, 14}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QPoint after;
    QImage image = Paint([&](Surface& s) {
      s.MoveTo(c.from.x(), c.from.y());
      s.LineTo(c.to.x(), c.to.y());
      after = s.CurrentPosition();
    });
    EXPECT_EQ(after, c.to);
    EXPECT_EQ(image.pixel(c.from), kBlack);
    EXPECT_EQ(image.pixel(c.to), kWhite);
    // The pixel just before the end, one step back towards the start, is drawn.
    const QPoint step((c.to.x() > c.from.x()) - (c.to.x() < c.from.x()),
                      (c.to.y() > c.from.y()) - (c.to.y() < c.from.y()));
    EXPECT_EQ(image.pixel(c.to - step), kBlack);
  }
}

TEST(SurfaceLines, PolylineDrawsEveryCornerButNotTheLastPoint) {
  const QPoint points[] = {{2, 2}, {10, 2}, {10, 10}, {4, 10}};
  QImage image = Paint([&](Surface& s) { s.Polyline(points); });
  EXPECT_EQ(image.pixel(2, 2), kBlack);
  EXPECT_EQ(image.pixel(10, 2), kBlack);
  EXPECT_EQ(image.pixel(10, 10), kBlack);
  EXPECT_EQ(image.pixel(5, 10), kBlack);
  EXPECT_EQ(image.pixel(4, 10), kWhite);
}

TEST(SurfaceLines, ALineCoversTheSamePixelsDrawnEitherWay) {
  // Apart from the end point each line leaves out, A→B and B→A agree.
  const QPoint ends[][2] = {{{3, 4}, {30, 17}}, {{5, 25}, {12, 2}}, {{1, 1}, {38, 28}}, {{20, 3}, {26, 27}}};
  for (const auto& e : ends) {
    SCOPED_TRACE(testing::Message() << e[0].x() << "," << e[0].y() << " " << e[1].x() << "," << e[1].y());
    QImage forward = Paint([&](Surface& s) {
      s.MoveTo(e[0].x(), e[0].y());
      s.LineTo(e[1].x(), e[1].y());
      s.FillRect(Rect{e[1].x(), e[1].y(), e[1].x() + 1, e[1].y() + 1}, Qt::black);
    });
    QImage backward = Paint([&](Surface& s) {
      s.MoveTo(e[1].x(), e[1].y());
      s.LineTo(e[0].x(), e[0].y());
      s.FillRect(Rect{e[0].x(), e[0].y(), e[0].x() + 1, e[0].y() + 1}, Qt::black);
    });
    EXPECT_EQ(forward, backward);
  }
}

TEST(SurfaceLines, ConnectedLinesLeaveNoGapAtTurningPoints) {
  // A zigzag drawn with LineTo, as a trace is drawn: every vertex but the last
  // is painted exactly once by the line that starts there.
  const QPoint zigzag[] = {{2, 2}, {6, 20}, {10, 4}, {14, 25}, {18, 1}, {30, 12}};
  QImage image = Paint([&](Surface& s) {
    s.MoveTo(zigzag[0].x(), zigzag[0].y());
    for (const QPoint& p : std::span(zigzag).subspan(1)) s.LineTo(p.x(), p.y());
  });
  for (int i = 0; i < 5; ++i) EXPECT_EQ(image.pixel(zigzag[i]), kBlack) << "vertex " << i;
  EXPECT_EQ(image.pixel(zigzag[5]), kWhite);
}

TEST(SurfaceLines, LinesReachingFarOffTheSurfaceDrawTheirVisiblePart) {
  // A line through (20, 15) whose ends lie a billion pixels away on either side.
  QImage far = Paint([](Surface& s) {
    s.MoveTo(-1'000'000'000, 15);
    s.LineTo(1'000'000'000, 15);
    s.MoveTo(20, -1'000'000'000);
    s.LineTo(20, 1'000'000'000);
  });
  for (int x = 0; x < 40; ++x) EXPECT_EQ(far.pixel(x, 15), kBlack) << x;
  for (int y = 0; y < 30; ++y) EXPECT_EQ(far.pixel(20, y), kBlack) << y;
  EXPECT_EQ(CountColour(far, kBlack), 40 + 30 - 1);
  // A steep line clipped by the surface takes the pixels it has unclipped.
  QImage big(200, 200, QImage::Format_RGB32);
  big.fill(kWhite);
  {
    Surface s(big);
    s.MoveTo(-50, -70);
    s.LineTo(150, 190);
  }
  QImage clipped = Paint([](Surface& s) {
    s.SetWindowOrigin(60, 80);  // device (x, y) shows logical (x + 60, y + 80)
    s.SetClipRect(Rect{5, 5, 35, 25});
    s.MoveTo(-50, -70);
    s.LineTo(150, 190);
  });
  int drawn = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = x >= 5 && x < 35 && y >= 5 && y < 25;
      const QRgb expected = inside ? big.pixel(x + 60, y + 80) : kWhite;
      EXPECT_EQ(clipped.pixel(x, y), expected) << x << "," << y;
      drawn += clipped.pixel(x, y) == kBlack;
    }
  EXPECT_GE(drawn, 15);
}

TEST(SurfaceLines, DashedAndDottedPensLeaveGaps) {
  for (PenStyle style : {PenStyle::Dash, PenStyle::Dot}) {
    SCOPED_TRACE(int(style));
    QImage image = Paint(
        [&](Surface& s) {
          s.SelectPen(Pen{style, 1, Qt::black});
          s.MoveTo(0, 5);
          s.LineTo(100, 5);
        },
        100, 10);
    const int drawn = CountColour(image, kBlack);
    EXPECT_GT(drawn, 30);
    EXPECT_LT(drawn, 90);
  }
}

TEST(SurfaceLines, LinesShowOnADeviceWithTwoPixelsPerUnit) {
  // A high-density screen: every logical unit is 2 × 2 device pixels.
  QImage image(80, 60, QImage::Format_RGB32);
  image.setDevicePixelRatio(2.0);
  image.fill(kWhite);
  {
    Surface s(image);
    s.MoveTo(2, 10);
    s.LineTo(30, 10);
    const QPoint points[] = {{5, 20}, {5, 28}, {20, 28}};
    s.Polyline(points);
  }
  // Each line is two device pixels thick (Qt centres it on the unit's corner).
  auto thickness = [&](int x, int y0, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) n += image.pixel(x, y) == kBlack;
    return n;
  };
  EXPECT_EQ(thickness(30, 14, 26), 2);
  EXPECT_EQ(thickness(20, 50, 62 - 3), 2);
  EXPECT_EQ(thickness(62, 14, 26), 0);  // beyond the end point
}

TEST(SurfaceLines, NullPenDrawsNoLineButStillMoves) {
  QPoint after;
  QImage image = Paint([&](Surface& s) {
    s.SelectPen(Pen::Null());
    s.MoveTo(1, 1);
    s.LineTo(20, 20);
    after = s.CurrentPosition();
  });
  EXPECT_EQ(CountColour(image, kWhite), 40 * 30);
  EXPECT_EQ(after, QPoint(20, 20));
}

TEST(SurfaceLines, PenColourAndWidth) {
  QImage image = Paint([](Surface& s) {
    s.SelectPen(Pen::Solid(QColor(255, 0, 0), 1));
    s.MoveTo(0, 5);
    s.LineTo(39, 5);
    s.SelectPen(Pen::Solid(QColor(0, 0, 255), 4));
    s.MoveTo(10, 20);
    s.LineTo(30, 20);
  });
  EXPECT_EQ(image.pixel(20, 5), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(20, 4), kWhite);
  EXPECT_EQ(image.pixel(20, 6), kWhite);
  int thickness = 0;
  for (int y = 10; y < 30; ++y) thickness += image.pixel(20, y) == qRgb(0, 0, 255);
  EXPECT_EQ(thickness, 4);
}

TEST(SurfaceShapes, RectangleOutlineStaysInsideTheBox) {
  QImage image = Paint([](Surface& s) {
    s.SelectBrush(Brush::Solid(QColor(0, 255, 0)));
    s.Rectangle(5, 4, 15, 12);
  });
  EXPECT_EQ(InkBox(image), (Rect{5, 4, 15, 12}));
  EXPECT_EQ(image.pixel(5, 4), kBlack);
  EXPECT_EQ(image.pixel(14, 11), kBlack);
  EXPECT_EQ(image.pixel(10, 8), qRgb(0, 255, 0));
  EXPECT_EQ(CountColour(image, qRgb(0, 255, 0)), 8 * 6);
}

TEST(SurfaceShapes, RectangleWithoutPenFillsOnePixelLess) {
  QImage image = Paint([](Surface& s) {
    s.SelectPen(Pen::Null());
    s.SelectBrush(Brush::Solid(QColor(0, 255, 0)));
    s.Rectangle(5, 4, 15, 12);
  });
  EXPECT_EQ(InkBox(image), (Rect{5, 4, 14, 11}));
}

TEST(SurfaceShapes, EllipseStaysInsideTheBoxAndFillsItsMiddle) {
  QImage image = Paint([](Surface& s) {
    s.SelectPen(Pen::Solid(QColor(255, 0, 255)));
    s.SelectBrush(Brush::Solid(QColor(255, 0, 255)));
    s.Ellipse(10, 10, 20, 20);
  });
  EXPECT_EQ(InkBox(image), (Rect{10, 10, 20, 20}));
  EXPECT_EQ(image.pixel(15, 15), qRgb(255, 0, 255));
  EXPECT_EQ(image.pixel(10, 10), kWhite);  // the corner of the box is outside the disc
}

TEST(SurfaceShapes, PolygonFillsWithTheBrushAndNullBrushLeavesTheInside) {
  const QPoint triangle[] = {{20, 2}, {30, 20}, {10, 20}};
  QImage filled = Paint([&](Surface& s) {
    s.SelectBrush(Brush::Solid(QColor(255, 0, 0)));
    s.Polygon(triangle);
  });
  EXPECT_EQ(filled.pixel(20, 14), qRgb(255, 0, 0));
  EXPECT_EQ(filled.pixel(20, 2), kBlack);
  QImage hollow = Paint([&](Surface& s) {
    s.SelectBrush(Brush::Null());
    s.Polygon(triangle);
  });
  EXPECT_EQ(hollow.pixel(20, 14), kWhite);
  EXPECT_EQ(hollow.pixel(20, 2), kBlack);
}

TEST(SurfaceFills, FillSolidRectSetsTheBackgroundColourFillRectDoesNot) {
  QColor background;
  QColor after;
  QImage image = Paint([&](Surface& s) {
    s.FillRect(Rect{0, 0, 5, 5}, QColor(0, 0, 255));
    background = s.BackgroundColour();
    s.FillSolidRect(Rect{10, 10, 13, 12}, QColor(255, 255, 0));
    after = s.BackgroundColour();
  });
  EXPECT_EQ(background, QColor(255, 255, 255));
  EXPECT_EQ(after, QColor(255, 255, 0));
  EXPECT_EQ(CountColour(image, qRgb(0, 0, 255)), 25);
  EXPECT_EQ(InkBox(Paint([](Surface& s) { s.FillSolidRect(Rect{10, 10, 13, 12}, Qt::black); })),
            (Rect{10, 10, 13, 12}));
}

TEST(SurfaceFills, PatBltExtendsLeftAndUpForNegativeSizes) {
  struct Case {
    const char* name;
    int x, y, w, h;
    Rect covered;
  } cases[] = {{"right-down", 10, 10, 4, 3, {10, 10, 14, 13}},
               {"left", 10, 10, -4, 3, {6, 10, 10, 13}},
               {"up", 10, 10, 4, -3, {10, 7, 14, 10}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QImage image = Paint([&](Surface& s) {
      s.SelectBrush(Brush::Solid(Qt::black));
      s.PatBlt(c.x, c.y, c.w, c.h);
    });
    EXPECT_EQ(InkBox(image), c.covered);
  }
}

TEST(SurfaceMapping, WindowOriginShiftsLogicalCoordinates) {
  QImage image = Paint([](Surface& s) {
    s.SetWindowOrigin(-10, -5);  // logical (0, 0) on device (10, 5)
    s.FillRect(Rect{0, 0, 2, 2}, Qt::black);
  });
  EXPECT_EQ(InkBox(image), (Rect{10, 5, 12, 7}));
}

TEST(SurfaceMapping, ExtentsScaleOnlyInAnisotropicMode) {
  QSize textModeExtent;
  QImage image = Paint([&](Surface& s) {
    s.SetWindowExtent(2, 2);
    s.SetViewportExtent(1, 1);
    textModeExtent = s.WindowExtent();
    s.FillRect(Rect{0, 0, 4, 4}, QColor(255, 0, 0));
    s.SetMapMode(MapMode::Anisotropic);
    s.FillRect(Rect{20, 20, 24, 24}, Qt::black);  // half size on the device
  });
  EXPECT_EQ(textModeExtent, QSize(1, 1));
  EXPECT_EQ(CountColour(image, qRgb(255, 0, 0)), 16);
  EXPECT_EQ(InkBox(image).right, 12);
  EXPECT_EQ(image.pixel(10, 10), kBlack);
  EXPECT_EQ(image.pixel(11, 11), kBlack);
  EXPECT_EQ(image.pixel(12, 12), kWhite);
}

TEST(SurfaceMapping, ZeroExtentIsRefused) {
  QImage image = Blank();
  Surface s(image);
  s.SetMapMode(MapMode::Anisotropic);
  s.SetWindowExtent(3, 4);
  EXPECT_EQ(s.SetWindowExtent(0, 5), QSize(3, 4));
  EXPECT_EQ(s.WindowExtent(), QSize(3, 4));
}

TEST(SurfaceClip, ClipIsInDeviceUnitsWhateverTheOrigin) {
  QImage image = Paint([](Surface& s) {
    s.SetWindowOrigin(-100, -100);
    s.SetClipRect(Rect{5, 6, 15, 12});
    s.FillRect(Rect{-200, -200, 200, 200}, Qt::black);
  });
  EXPECT_EQ(InkBox(image), (Rect{5, 6, 15, 12}));
  QImage cleared = Paint([](Surface& s) {
    s.SetClipRect(Rect{5, 6, 15, 12});
    s.ClearClip();
    s.FillRect(Rect{0, 0, 40, 30}, Qt::black);
  });
  EXPECT_EQ(CountColour(cleared, kBlack), 40 * 30);
}

TEST(SurfaceText, StockFontIsBoldSansOfFixedPixelSize) {
  const QFont font = Surface::StockFont();
  EXPECT_EQ(font.pixelSize(), 13);
  EXPECT_EQ(font.weight(), QFont::Bold);
  const QFontInfo info(font);
  EXPECT_TRUE(info.family() == "Liberation Sans" || info.family() == "DejaVu Sans") << info.family().toStdString();
  QImage image = Blank();
  Surface s(image);
  const TextMetrics m = s.GetTextMetrics();
  EXPECT_EQ(m.height, m.ascent + m.descent);
  EXPECT_GT(m.ascent, 8);
  EXPECT_GT(m.averageCharWidth, 4);
  EXPECT_GE(m.externalLeading, 0);
}

TEST(SurfaceText, CreateFontTakesACellHeight) {
  for (int height : {8, 11, 16, 20, 33}) {
    SCOPED_TRACE(height);
    QFont font = Surface::CreateFont("Arial", height, 700);
    const int cell = QFontMetrics(font).height();
    EXPECT_LE(cell, height);
    EXPECT_GE(cell, height - 2);
    EXPECT_EQ(font.weight(), QFont::Bold);
  }
  EXPECT_EQ(Surface::CreateFont("Arial", -12, 400).pixelSize(), 12);
  EXPECT_EQ(Surface::CreateFont("Arial", 10, 400).weight(), QFont::Normal);
}

TEST(SurfaceText, OpaqueTextFillsItsCellTransparentTextDoesNot) {
  for (BackgroundMode mode : {BackgroundMode::Opaque, BackgroundMode::Transparent}) {
    SCOPED_TRACE(int(mode));
    TextMetrics m;
    int width = 0;
    QImage image = Paint(
        [&](Surface& s) {
          s.SetBackgroundMode(mode);
          s.SetBackgroundColour(QColor(255, 255, 0));
          s.SetTextColour(QColor(0, 0, 255));
          m = s.GetTextMetrics();
          width = s.GetTextExtent("Wide text").width();
          s.TextOut(4, 20, "Wide text");
        },
        120, 40);
    EXPECT_GT(CountColour(image, qRgb(0, 0, 255)), 20);
    if (mode == BackgroundMode::Opaque) {
      EXPECT_EQ(InkBox(image), (Rect{4, 20 - m.ascent, 4 + width, 20 + m.descent}));
      EXPECT_EQ(image.pixel(4, 20 - m.ascent), qRgb(255, 255, 0));
    } else {
      EXPECT_EQ(CountColour(image, qRgb(255, 255, 0)), 0);
      const Rect ink = InkBox(image);
      EXPECT_GE(ink.left, 4);
      EXPECT_LE(ink.right, 4 + width);
      EXPECT_LE(ink.bottom, 20 + m.descent);
    }
  }
}

TEST(SurfaceText, AlignmentPlacesXAtLeftCentreOrRight) {
  struct Case {
    TextAlign align;
    int expectedLeft;  // with text width w, at x = 60
  };
  QImage probe = Blank();
  const int w = Surface(probe).GetTextExtent("MMMM").width();
  const Case cases[] = {{TextAlign::Left, 60}, {TextAlign::Centre, 60 - w / 2}, {TextAlign::Right, 60 - w}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.align));
    QImage image = Paint(
        [&](Surface& s) {
          s.SetTextAlign(c.align);
          s.SetBackgroundColour(QColor(0, 255, 0));
          s.TextOut(60, 20, "MMMM");
        },
        120, 40);
    EXPECT_EQ(InkBox(image).left, c.expectedLeft);
    EXPECT_EQ(InkBox(image).right, c.expectedLeft + w);
  }
}

TEST(SurfaceBitmaps, BitBltCopiesAndCopyOutReadsBack) {
  QImage tile(3, 2, QImage::Format_RGB32);
  tile.fill(qRgb(1, 2, 3));
  tile.setPixel(2, 1, qRgb(200, 100, 50));
  QImage copied;
  QImage image = Paint([&](Surface& s) {
    s.SetWindowOrigin(-1, -1);
    s.BitBlt(4, 5, tile);  // lands on device (5, 6)
    s.BitBlt(20, 20, QPixmap::fromImage(tile));
    copied = s.CopyOut(Rect{5, 6, 8, 8});
  });
  EXPECT_EQ(image.pixel(5, 6), qRgb(1, 2, 3));
  EXPECT_EQ(image.pixel(7, 7), qRgb(200, 100, 50));
  EXPECT_EQ(image.pixel(23, 22), qRgb(200, 100, 50));
  EXPECT_EQ(InkBox(image), (Rect{5, 6, 24, 23}));
  ASSERT_EQ(copied.size(), QSize(3, 2));
  EXPECT_EQ(copied.pixel(2, 1), qRgb(200, 100, 50));
}

TEST(SurfaceState, SelectReturnsThePreviousObject) {
  QImage image = Blank();
  Surface s(image);
  EXPECT_EQ(s.CurrentPen(), Pen::Solid(Qt::black, 1));
  EXPECT_EQ(s.CurrentBrush(), Brush::Solid(Qt::white));
  EXPECT_EQ(s.GetBackgroundMode(), BackgroundMode::Opaque);
  EXPECT_EQ(s.SelectPen(Pen::Null()), Pen::Solid(Qt::black, 1));
  EXPECT_EQ(s.SelectPen(Pen::Solid(Qt::red)), Pen::Null());
  EXPECT_EQ(s.SelectBrush(Brush::Null()), Brush::Solid(Qt::white));
  EXPECT_EQ(s.SetTextColour(Qt::red), QColor(Qt::black));
  EXPECT_EQ(s.SetBackgroundMode(BackgroundMode::Transparent), BackgroundMode::Opaque);
  EXPECT_EQ(s.MoveTo(3, 4), QPoint(0, 0));
  EXPECT_EQ(s.MoveTo(5, 6), QPoint(3, 4));
  EXPECT_TRUE(s.IsActive());
  EXPECT_EQ(s.DeviceSize(), QSize(40, 30));
}

TEST(SurfaceState, GuardPutsBackWhatAPainterSelected) {
  QImage image = Blank();
  Surface s(image);
  s.SelectPen(Pen::Solid(Qt::blue, 3));
  const QFont font = Surface::CreateFont("Arial", 20, 400);
  s.SelectFont(font);
  s.SetTextColour(Qt::green);
  {
    SurfaceStateGuard keep(s);
    s.SelectPen(Pen::Null());
    s.SelectBrush(Brush::Null());
    s.SelectFont(Surface::StockFont());
    s.SetTextColour(Qt::red);
    s.SetBackgroundColour(Qt::yellow);
    s.SetBackgroundMode(BackgroundMode::Transparent);
    s.SetTextAlign(TextAlign::Right);
  }
  EXPECT_EQ(s.CurrentPen(), Pen::Solid(Qt::blue, 3));
  EXPECT_EQ(s.CurrentBrush(), Brush::Solid(Qt::white));
  EXPECT_EQ(s.CurrentFont(), font);
  EXPECT_EQ(s.TextColour(), QColor(Qt::green));
  EXPECT_EQ(s.BackgroundColour(), QColor(Qt::white));
  EXPECT_EQ(s.GetBackgroundMode(), BackgroundMode::Opaque);
  EXPECT_EQ(s.GetTextAlign(), TextAlign::Left);
}

// A widget that paints through a Surface in its paint event, as the windows do.
class SurfaceWidget : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    Surface s(*this);
    s.FillSolidRect(Rect{0, 0, width(), height()}, QColor(0, 0, 255));
    s.SelectBrush(Brush::Solid(QColor(255, 0, 0)));
    s.Rectangle(10, 10, 30, 20);
  }
};

TEST(SurfaceDevices, PaintsOnAWidgetInItsPaintEvent) {
  SurfaceWidget widget;
  widget.resize(60, 40);
  const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(image.isNull());
  const double ratio = image.devicePixelRatio();
  auto at = [&](int x, int y) { return image.pixel(static_cast<int>(x * ratio), static_cast<int>(y * ratio)); };
  EXPECT_EQ(at(50, 35), qRgb(0, 0, 255));
  EXPECT_EQ(at(20, 15), qRgb(255, 0, 0));
  EXPECT_EQ(at(10, 10), kBlack);
}

TEST(SurfaceDevices, PaintsOnAPrinter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("page.pdf");
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    Surface s(printer);
    ASSERT_TRUE(s.IsActive());
    EXPECT_GT(s.DeviceSize().width(), 1000);
    s.MoveTo(100, 100);
    s.LineTo(2000, 2000);
    s.TextOut(200, 300, "Printed");
  }
  EXPECT_GT(QFileInfo(path).size(), 500);
}

TEST(SurfaceState, NullImageGivesAnInactiveSurfaceThatDrawsNothing) {
  QImage null;
  Surface s(null);
  EXPECT_FALSE(s.IsActive());
}

}  // namespace
}  // namespace orvane
