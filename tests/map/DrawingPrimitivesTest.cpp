// Labels, pen steps, drawing areas and bevels on a QImage.
#include "map/DrawingPrimitives.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>

#include <functional>

#include "platform/Surface.h"
#include "support/ImageInk.h"

namespace orvane {
namespace {

using test::CountColour;
using test::InkBox;

constexpr QRgb kWhite = 0xffffffff;

QImage Paint(const std::function<void(Surface&)>& draw, int w = 200, int h = 100) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kWhite);
  {
    Surface s(image);
    draw(s);
  }
  return image;
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TextMetrics Stock() {
  QImage probe(1, 1, QImage::Format_RGB32);
  return Surface(probe).GetTextMetrics();
}

int TextWidth(const QString& text) {
  QImage probe(1, 1, QImage::Format_RGB32);
  return Surface(probe).GetTextExtent(text).width();
}

TEST(StandardColours, BlackTwiceThenTheColoursCallersName) {
  EXPECT_EQ(standardColours[0], qRgb(0, 0, 0));
  EXPECT_EQ(standardColours[1], qRgb(0, 0, 0));
  EXPECT_EQ(standardColours[5], qRgb(128, 0, 0));     // station names, pick texts
  EXPECT_EQ(standardColours[8], qRgb(192, 192, 192)); // light bevel
  EXPECT_EQ(standardColours[15], qRgb(255, 255, 0));  // trial description background
  EXPECT_EQ(standardColours[16], qRgb(255, 255, 255));
}

TEST(DrawLabel, RectangleIsTheMeasuredTextGrownByOnePixel) {
  const TextMetrics m = Stock();
  const int w = TextWidth("Label");
  struct Case {
    const char* name;
    int horizontal, vertical;
    Rect expected;  // at (100, 50)
  } cases[] = {
      {"left/bottom", 0, 0, {100 + m.averageCharWidth / 2 - 1, 50 - m.descent - m.ascent - 1, 100 + m.averageCharWidth / 2 + w + 1, 50 - m.descent - m.ascent + m.height + 1}},
      {"centred/top", 1, 2, {100 - w / 2 - 1, 49, 100 - w / 2 + w + 1, 50 + m.height + 1}},
      {"right/middle", 2, 1, {100 - m.averageCharWidth / 2 - w - 1, 50 + m.ascent / 3 - m.ascent - 1, 100 - m.averageCharWidth / 2 + 1, 50 + m.ascent / 3 - m.ascent + m.height + 1}},
      {"other/baseline", 7, 9, {99, 50 - m.ascent - 1, 100 + w + 1, 50 - m.ascent + m.height + 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rect returned;
    QImage image = Paint([&](Surface& s) { returned = DrawLabel(s, 100, 50, nullptr, "Label", 1, -1, c.horizontal, c.vertical); });
    EXPECT_EQ(returned, c.expected);
    // The ink lies strictly inside the returned rectangle.
    EXPECT_TRUE(Inside(InkBox(image), returned));
    EXPECT_GT(InkBox(image).left, returned.left);
    EXPECT_GT(CountColour(image, qRgb(0, 0, 0)), 20);
  }
}

TEST(DrawLabel, CentredHangingTextIsCentredOnXWithItsTopAtY) {
  const TextMetrics m = Stock();
  QImage image = Paint([&](Surface& s) { DrawLabel(s, 100, 30, nullptr, "HHHH", 1, 16, 1, 2); });
  // Background 16 is white: only the black ink shows.
  const Rect ink = InkBox(image, qRgb(0, 0, 0));
  const int w = TextWidth("HHHH");
  EXPECT_GE(ink.left, 100 - w / 2);
  EXPECT_LE(ink.right, 100 - w / 2 + w);
  EXPECT_NEAR((ink.left + ink.right) / 2.0, 100.0, 2.0);
  EXPECT_GE(ink.top, 30);
  EXPECT_LE(ink.bottom, 30 + m.ascent + 1);
}

TEST(DrawLabel, NegativeColourDrawsNothingButMeasures) {
  Rect drawn, measured;
  Paint([&](Surface& s) { drawn = DrawLabel(s, 40, 40, nullptr, "Twice", 1, 15, 0, 2); });
  QImage image = Paint([&](Surface& s) { measured = DrawLabel(s, 40, 40, nullptr, "Twice", -1, 15, 0, 2); });
  EXPECT_EQ(drawn, measured);
  EXPECT_EQ(CountColour(image, kWhite), 200 * 100);
}

TEST(DrawLabel, BackslashNSplitsLinesOneLineHeightApart) {
  const TextMetrics m = Stock();
  Rect one, two;
  Paint([&](Surface& s) { one = DrawLabel(s, 10, 10, nullptr, "Upper", 1, -1, 3, 2); });
  QImage image = Paint([&](Surface& s) { two = DrawLabel(s, 10, 10, nullptr, "Upper\\nLower line", 1, -1, 3, 2); });
  EXPECT_EQ(two.top, one.top);
  EXPECT_EQ(two.bottom, one.bottom + m.height + m.externalLeading);
  EXPECT_EQ(two.right, 10 + TextWidth("Lower line") + 1);
  // Ink in both line bands.
  const int split = 10 + m.height + m.externalLeading;
  int upper = 0, lower = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x)
      if (image.pixel(x, y) != kWhite) (y < split ? upper : lower)++;
  EXPECT_GT(upper, 10);
  EXPECT_GT(lower, 10);
  // A real newline character does not split.
  Rect newline;
  Paint([&](Surface& s) { newline = DrawLabel(s, 10, 10, nullptr, "Upper\nLower", 1, -1, 3, 2); });
  EXPECT_EQ(newline.Height(), one.Height());
}

TEST(DrawLabel, ShadowIsDrawnFirstAndWidensTheRectangle) {
  Rect plain, shadowed;
  Paint([&](Surface& s) { plain = DrawLabel(s, 20, 20, nullptr, "Title", 5, -1, 3, 2); });
  QImage image = Paint([&](Surface& s) { shadowed = DrawLabel(s, 20, 20, nullptr, "Title", 5, -1, 3, 2, 2, 13); });
  EXPECT_EQ(shadowed.left, plain.left);
  EXPECT_EQ(shadowed.top, plain.top);
  EXPECT_EQ(shadowed.right, plain.right + 2);
  EXPECT_EQ(shadowed.bottom, plain.bottom + 2);
  const Rect text = InkBox(image, standardColours[5]);
  const Rect shadow = InkBox(image, standardColours[13]);
  EXPECT_GT(CountColour(image, standardColours[13]), 5);
  EXPECT_EQ(shadow.right, text.right + 2);
  EXPECT_EQ(shadow.bottom, text.bottom + 2);
  EXPECT_TRUE(Inside(shadow, shadowed));
}

TEST(DrawLabel, ShadowIsGivenInDevicePixels) {
  // Two logical units per device pixel: a shadow of 1 becomes 2 logical units.
  Rect plain, shadowed;
  Paint([&](Surface& s) {
    s.SetMapMode(MapMode::Anisotropic);
    s.SetWindowExtent(2, 2);
    s.SetViewportExtent(1, 1);
    plain = DrawLabel(s, 20, 20, nullptr, "Title", 1, -1, 3, 2);
    shadowed = DrawLabel(s, 20, 20, nullptr, "Title", 1, -1, 3, 2, 1, 13);
  });
  EXPECT_EQ(shadowed.Width() - plain.Width(), 2);
  EXPECT_EQ(shadowed.Height() - plain.Height(), 2);
}

TEST(DrawLabel, OpaqueBackgroundAndRestoredColours) {
  QColor text, background;
  BackgroundMode mode{};
  QImage image = Paint([&](Surface& s) {
    s.SetTextColour(QColor(1, 2, 3));
    s.SetBackgroundColour(QColor(4, 5, 6));
    DrawLabel(s, 10, 10, nullptr, "Yellow", 2, 15, 0, 2);
    text = s.TextColour();
    background = s.BackgroundColour();
    mode = s.GetBackgroundMode();
  });
  EXPECT_GT(CountColour(image, standardColours[15]), 50);
  EXPECT_GT(CountColour(image, standardColours[2]), 10);
  EXPECT_EQ(text, QColor(1, 2, 3));
  EXPECT_EQ(background, QColor(4, 5, 6));
  EXPECT_EQ(mode, BackgroundMode::Opaque);  // the mode stays as set
  QImage transparent = Paint([&](Surface& s) {
    DrawLabel(s, 10, 10, nullptr, "Clear", 2, -1, 0, 2);
    mode = s.GetBackgroundMode();
  });
  EXPECT_EQ(mode, BackgroundMode::Transparent);
  EXPECT_EQ(CountColour(transparent, kWhite) + CountColour(transparent, standardColours[2]), 200 * 100);
}

TEST(DrawLabel, GivenFontIsPutBackStockFontStays) {
  const QFont big = Surface::CreateFont("Arial", 30, 700);
  const QFont previous = Surface::CreateFont("DejaVu Sans", 10, 400);
  QFont afterGiven, afterStock;
  Rect bigRect, stockRect;
  Paint([&](Surface& s) {
    s.SelectFont(previous);
    bigRect = DrawLabel(s, 10, 10, &big, "Big", 1, -1, 3, 2);
    afterGiven = s.CurrentFont();
    stockRect = DrawLabel(s, 10, 10, nullptr, "Big", 1, -1, 3, 2);
    afterStock = s.CurrentFont();
  });
  EXPECT_EQ(afterGiven, previous);
  EXPECT_EQ(afterStock, Surface::StockFont());
  EXPECT_GT(bigRect.Height(), stockRect.Height() + 8);
}

TEST(PenTo, ColourZeroOnlyMoves) {
  QImage image = Paint([](Surface& s) {
    s.MoveTo(5, 5);
    PenTo(s, 50, 50, 0, 3, 0);
    PenTo(s, 90, 50, 13, 1, 0);
  });
  EXPECT_EQ(image.pixel(20, 20), kWhite);
  EXPECT_EQ(InkBox(image), (Rect{50, 50, 90, 51}));
  EXPECT_EQ(CountColour(image, standardColours[13]), 40);
}

// Style 0, 1 and 2 are the solid, dashed and dotted pens of the surface: the
// same line drawn with that pen directly leaves the same pixels, and the three
// patterns differ from one another.
TEST(PenTo, StylesAreSolidDashedAndDotted) {
  const struct {
    int style;
    PenStyle pen;
  } rows[] = {{0, PenStyle::Solid}, {1, PenStyle::Dash}, {2, PenStyle::Dot}};
  QImage drawn[3];
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(rows[i].style);
    drawn[i] = Paint([&](Surface& s) {
      s.MoveTo(10, 50);
      PenTo(s, 190, 50, 13, 1, rows[i].style);
    });
    const QImage direct = Paint([&](Surface& s) {
      s.SelectPen(Pen{rows[i].pen, 1, QColor(standardColours[13])});
      s.MoveTo(10, 50);
      s.LineTo(190, 50);
    });
    EXPECT_EQ(drawn[i], direct);
  }
  const int solid = CountColour(drawn[0], standardColours[13]);
  const int dashed = CountColour(drawn[1], standardColours[13]);
  const int dotted = CountColour(drawn[2], standardColours[13]);
  EXPECT_EQ(solid, 180);
  EXPECT_LT(dashed, solid);
  EXPECT_LT(dotted, dashed);
  EXPECT_GT(dotted, 0);
}

TEST(PenTo, WidthAndPreviousPenPutBack) {
  Pen after;
  QImage image = Paint([&](Surface& s) {
    s.SelectPen(Pen::Solid(QColor(0, 255, 0)));
    s.MoveTo(10, 50);
    PenTo(s, 150, 50, 2, 3, 0);
    after = s.CurrentPen();
  });
  EXPECT_EQ(after, Pen::Solid(QColor(0, 255, 0)));
  int thickness = 0;
  for (int y = 40; y < 60; ++y) thickness += image.pixel(80, y) == standardColours[2];
  EXPECT_EQ(thickness, 3);
}

TEST(DrawingArea, AreaAndOriginSetOppositeOrigins) {
  QImage image(50, 50, QImage::Format_RGB32);
  Surface s(image);
  SetDrawingArea(s, 10, 20, 30, 40, false);
  EXPECT_EQ(s.WindowOrigin(), QPoint(10, 20));
  EXPECT_FALSE(s.ClipRect());
  SetDrawingOrigin(s, Rect{10, 20, 30, 40}, false);
  EXPECT_EQ(s.WindowOrigin(), QPoint(-10, -20));
}

TEST(DrawingArea, ClipIsInDeviceUnitsEvenWithAnOriginSet) {
  QImage image = Paint([](Surface& s) {
    s.SetWindowOrigin(-77, -77);
    SetDrawingOrigin(s, Rect{20, 10, 60, 30}, true);
    // Logical (0, 0) is the rectangle's corner; a fill over everything stays inside it.
    s.FillRect(Rect{-500, -500, 500, 500}, Qt::black);
    s.FillRect(Rect{0, 0, 1, 1}, Qt::red);
  });
  EXPECT_EQ(InkBox(image), (Rect{20, 10, 60, 30}));
  EXPECT_EQ(image.pixel(20, 10), qRgb(255, 0, 0));
  QImage area = Paint([](Surface& s) {
    SetDrawingArea(s, 20, 10, 60, 30, true);
    s.FillRect(Rect{20, 10, 21, 11}, Qt::red);  // logical (20, 10) is device (0, 0): clipped away
    s.FillRect(Rect{40, 20, 41, 21}, Qt::red);  // device (20, 10): inside
  });
  EXPECT_EQ(InkBox(area), (Rect{20, 10, 21, 11}));
}

TEST(DrawBevel, WidthZeroOnlyFills) {
  QColor background;
  QImage image = Paint([&](Surface& s) {
    DrawBevel(s, Rect{10, 10, 40, 30}, QColor(0, 255, 255), false, 0, 0);
    background = s.BackgroundColour();
  });
  EXPECT_EQ(InkBox(image), (Rect{10, 10, 40, 30}));
  EXPECT_EQ(CountColour(image, qRgb(0, 255, 255)), 30 * 20);
  EXPECT_EQ(background, QColor(0, 255, 255));
}

TEST(DrawBevel, SunkenIsDarkUpperLeftRaisedIsLight) {
  const QRgb dark = standardColours[1], light = standardColours[8];
  struct Case {
    bool sunken;
    QRgb upperLeft, lowerRight;
  } cases[] = {{true, dark, light}, {false, light, dark}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sunken);
    QImage image = Paint([&](Surface& s) { DrawBevel(s, Rect{20, 20, 80, 70}, QColor(0, 255, 255), c.sunken, 6, 0); });
    EXPECT_EQ(image.pixel(22, 45), c.upperLeft);   // left band
    EXPECT_EQ(image.pixel(50, 22), c.upperLeft);   // top band
    EXPECT_EQ(image.pixel(77, 45), c.lowerRight);  // right band
    EXPECT_EQ(image.pixel(50, 67), c.lowerRight);  // bottom band
    EXPECT_EQ(image.pixel(50, 45), qRgb(0, 255, 255));
  }
}

TEST(DrawBevel, BorderStripsInTheFillColourInsideTheBevel) {
  Pen penAfter;
  Brush brushAfter;
  QImage image = Paint([&](Surface& s) {
    DrawBevel(s, Rect{20, 20, 80, 70}, QColor(255, 0, 0), true, 4, 3);
    penAfter = s.CurrentPen();
    brushAfter = s.CurrentBrush();
  });
  const QRgb red = qRgb(255, 0, 0);
  // Inner rectangle (24, 24)–(76, 66); strips 3 wide along each inner edge.
  EXPECT_EQ(image.pixel(24, 45), red);
  EXPECT_EQ(image.pixel(26, 45), red);
  EXPECT_EQ(image.pixel(27, 45), kWhite);
  EXPECT_EQ(image.pixel(75, 45), red);
  EXPECT_EQ(image.pixel(73, 45), red);
  EXPECT_EQ(image.pixel(72, 45), kWhite);
  EXPECT_EQ(image.pixel(50, 24), red);
  EXPECT_EQ(image.pixel(50, 65), red);
  EXPECT_EQ(image.pixel(50, 63), red);
  EXPECT_EQ(image.pixel(50, 62), kWhite);
  EXPECT_EQ(image.pixel(50, 45), kWhite);  // no fill with a border
  EXPECT_EQ(penAfter, Pen::Solid(Qt::black));
  EXPECT_EQ(brushAfter, Brush::Solid(Qt::white));
  // A border without a fill colour is left out.
  QImage noFill = Paint([](Surface& s) { DrawBevel(s, Rect{20, 20, 80, 70}, std::nullopt, true, 4, 3); });
  EXPECT_EQ(noFill.pixel(25, 45), kWhite);
  EXPECT_EQ(noFill.pixel(21, 45), standardColours[1]);
}

}  // namespace
}  // namespace orvane
