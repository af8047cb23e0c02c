#include "platform/RasterSurface.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;

int CountPixels(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == color ? 1 : 0;
    }
    return count;
}

// A background of coloured bands, so that a combining mode meets many
// different destination pixels.
void PaintBands(RasterSurface& surface) {
    surface.Scale(0, 0, 100, 100);
    surface.SetBackColor(RGB(20, 40, 60));
    surface.Clear();
    surface.FilledBox(0, 0, 30, 100, RGB(255, 255, 255));
    surface.FilledBox(30, 0, 60, 100, RGB(200, 17, 90));
    surface.FilledBox(0, 40, 100, 70, RGB(0, 160, 255));
}

// Lines of every kind the drawing code uses, outlines and filled shapes.
void DrawEveryShape(RasterSurface& surface) {
    surface.Line(3, 5, 97, 91);
    surface.LineTo(10, 80);
    surface.LineRel(40, -60);
    surface.SetDrawStyle(DrawStyle::Dot);
    surface.Line(0, 50, 100, 52);
    surface.SetDrawStyle(DrawStyle::Solid);
    surface.SetDrawWidth(3);
    surface.Line(90, 10, 12, 60);
    surface.SetDrawWidth(1);
    surface.SetFillStyle(FillStyle::Solid);
    surface.Circle(50, 50, 20);
    surface.SetFillStyle(FillStyle::DiagonalCross);
    surface.Box(60, 60, 95, 95);
    surface.FilledBox(5, 5, 25, 15);
    surface.Arc(70, 30, 15, 0.0, 3.1);
    surface.PSet(99, 1);
}

TEST(RasterSurface, CombiningModesDrawnTwiceRestoreEveryPixel) {
    for (DrawMode mode : {DrawMode::XorPen, DrawMode::NotXorPen}) {
        RasterSurface surface(120, 90);
        PaintBands(surface);
        const QImage before = surface.Image().copy();
        surface.SetForeColor(RGB(255, 128, 7));
        surface.SetFillColor(RGB(9, 200, 77));
        surface.SetDrawMode(mode);

        DrawEveryShape(surface);
        EXPECT_NE(surface.Image(), before) << "mode " << static_cast<int>(mode);
        surface.SetFillStyle(FillStyle::Transparent);
        DrawEveryShape(surface);
        EXPECT_EQ(surface.Image(), before) << "mode " << static_cast<int>(mode);
    }
}

TEST(RasterSurface, DrawModesCombinePenAndDestinationBitByBit) {
    // With pen 0xCC and destination 0xAA in every channel, mode n leaves
    // (n - 1) * 0x11 in every channel: the sixteen modes run through all the
    // functions of two bits in order.
    for (int n = 1; n <= 16; ++n) {
        const auto mode = static_cast<DrawMode>(n);
        const std::uint32_t expected = 0x111111u * static_cast<std::uint32_t>(n - 1);
        EXPECT_EQ(ApplyDrawMode(mode, 0xCCCCCCu, 0xAAAAAAu), expected) << "mode " << n;
    }
    EXPECT_EQ(ApplyDrawMode(DrawMode::XorPen, 0xFF0000u, 0x00FF00u), 0xFFFF00u);
    EXPECT_EQ(ApplyDrawMode(DrawMode::NotXorPen, 0xFF0000u, 0xFFFFFFu), 0xFF0000u);
    EXPECT_EQ(ApplyDrawMode(DrawMode::NotXorPen, 0x123456u, 0x000000u), 0xEDCBA9u);
    EXPECT_EQ(ApplyDrawMode(DrawMode::MergePenNot, 0x00000Fu, 0xF0F0F0u), 0x0F0F0Fu);
    EXPECT_EQ(ApplyDrawMode(DrawMode::NotCopyPen, 0x0000FFu, 0x123456u), 0xFFFF00u);

    // And on the raster, where a box in pen AND NOT destination turns white
    // pixels black and leaves the pen colour on black ones.
    RasterSurface surface(20, 10);
    surface.SetBackColor(RGB(0, 0, 0));
    surface.Clear();
    surface.FilledBox(0, 0, 9, 9, RGB(255, 255, 255));
    surface.SetDrawMode(DrawMode::MaskPenNot);
    surface.FilledBox(0, 2, 19, 4, RGB(255, 0, 0));
    EXPECT_EQ(surface.Image().pixel(5, 3), kBlack); // 0xFF0000 & ~0xFFFFFF
    EXPECT_EQ(surface.Image().pixel(15, 3), kRed);  // 0xFF0000 & ~0x000000
    EXPECT_EQ(surface.Image().pixel(5, 6), kWhite); // untouched
}

TEST(RasterSurface, NotXorRingsLeaveOnlyTheBandBetweenTwoDiscs) {
    // Two concentric filled discs on white: the inner disc is drawn twice and
    // comes back white; the band between shows the pen colour.
    RasterSurface surface(100, 100);
    surface.Clear();
    surface.SetDrawMode(DrawMode::NotXorPen);
    surface.SetFillStyle(FillStyle::Solid);
    surface.SetForeColor(RGB(255, 0, 0));
    surface.SetFillColor(RGB(255, 0, 0));
    surface.Circle(50, 50, 40);
    surface.Circle(50, 50, 20);
    EXPECT_EQ(surface.Image().pixel(50, 50), kWhite);
    EXPECT_EQ(surface.Image().pixel(50 + 30, 50), kRed);
    EXPECT_EQ(surface.Image().pixel(50, 50 - 30), kRed);
    EXPECT_EQ(surface.Image().pixel(2, 2), kWhite);
}

TEST(RasterSurface, ReversedScaleMapsTheCornersOntoThePixels) {
    // x runs from 20 at the left to 0 at the right, y from 10 at the top to 0
    // at the bottom: 10 pixels per unit both ways.
    RasterSurface surface(200, 100);
    surface.Scale(20, 10, 0, 0);
    EXPECT_DOUBLE_EQ(surface.ScaleWidth(), -20.0);
    EXPECT_DOUBLE_EQ(surface.ScaleHeight(), -10.0);
    EXPECT_DOUBLE_EQ(surface.ToPixelX(20), 0.0);
    EXPECT_DOUBLE_EQ(surface.ToPixelY(10), 0.0);
    EXPECT_DOUBLE_EQ(surface.ToPixelX(0), 200.0);
    EXPECT_DOUBLE_EQ(surface.ToPixelY(0), 100.0);
    EXPECT_DOUBLE_EQ(surface.FromPixelX(50), 15.0);
    EXPECT_DOUBLE_EQ(surface.FromPixelY(25), 7.5);

    // x 19.5 is half a unit in from the left edge (5 pixels), y 0.5 half a
    // unit above the bottom edge (row 95).
    surface.PSet(19.5, 0.5, RGB(0, 0, 255));
    EXPECT_EQ(surface.Image().pixel(5, 95), kBlue);
    EXPECT_EQ(CountPixels(surface.Image(), kBlue), 1);
}

TEST(RasterSurface, CircleRadiusInXUnitsIsRoundOnANonSquareScale) {
    // 20 pixels per x unit, 1 pixel per y unit: a radius of 2 x units is 40
    // pixels across and down alike.
    RasterSurface surface(200, 100);
    surface.Scale(0, 0, 10, 100);
    surface.SetFillStyle(FillStyle::Solid);
    surface.SetFillColor(RGB(0, 0, 0));
    surface.Circle(5, 50, 2);
    const QImage& image = surface.Image();
    int across = 0;
    int down = 0;
    for (int x = 0; x < 200; ++x) across += image.pixel(x, 50) == kBlack ? 1 : 0;
    for (int y = 0; y < 100; ++y) down += image.pixel(100, y) == kBlack ? 1 : 0;
    EXPECT_NEAR(across, 81, 1);
    EXPECT_EQ(across, down);
    EXPECT_EQ(image.pixel(100 + 43, 50), kWhite);
    EXPECT_EQ(image.pixel(100, 50 + 43), kWhite);
}

TEST(RasterSurface, FillStylesAndLineStylesDecideWhichPixelsAreDrawn) {
    RasterSurface surface(40, 40);
    surface.SetFillColor(RGB(0, 0, 255));
    surface.SetForeColor(RGB(0, 0, 0));

    // Transparent: only the outline, 4 sides of 21 pixels sharing 4 corners.
    surface.Box(0, 0, 20, 20);
    EXPECT_EQ(CountPixels(surface.Image(), kBlack), 80);
    EXPECT_EQ(CountPixels(surface.Image(), kBlue), 0);

    // Upward diagonal hatching: lines rising to the right, gaps untouched.
    surface.Clear();
    surface.SetDrawStyle(DrawStyle::Invisible);
    surface.SetFillStyle(FillStyle::UpwardDiagonal);
    surface.Box(0, 0, 39, 39);
    const QImage& hatched = surface.Image();
    const int blue = CountPixels(hatched, kBlue);
    EXPECT_GT(blue, 0);
    EXPECT_LT(blue, 40 * 40 / 2);
    for (int y = 1; y < 40; ++y) {
        for (int x = 0; x + 1 < 40; ++x) {
            if (hatched.pixel(x, y) == kBlue) {
                EXPECT_EQ(hatched.pixel(x + 1, y - 1), kBlue);
            }
        }
    }

    // A dotted line one pixel wide has gaps; three pixels wide it is solid.
    surface.Clear();
    surface.SetDrawStyle(DrawStyle::Dot);
    surface.Line(0, 10, 39, 10);
    const int dotted = CountPixels(surface.Image(), kBlack);
    EXPECT_GT(dotted, 10);
    EXPECT_LT(dotted, 30);
    surface.SetDrawWidth(3);
    surface.Line(0, 30, 39, 30);
    for (int x = 2; x < 38; ++x) EXPECT_EQ(surface.Image().pixel(x, 30), kBlack);
}

TEST(RasterSurface, TextIsWrittenAsItStandsWhateverTheDrawMode) {
    RasterSurface surface(80, 30);
    surface.Clear();
    surface.SetDrawMode(DrawMode::XorPen);
    surface.Print("MW");
    // Black text xor white would vanish; text is not combined.
    EXPECT_GT(CountPixels(surface.Image(), kBlack), 10);
    EXPECT_EQ(CountPixels(surface.Image(), kBlue), 0);

    // Without font transparency the text sits on a box of the back colour.
    surface.SetBackColor(RGB(0, 0, 255));
    surface.SetFontTransparent(false);
    surface.SetCurrentX(40);
    surface.SetCurrentY(0);
    surface.PrintNoNewline("MW");
    const int box = static_cast<int>(surface.TextWidth("MW") * surface.TextHeight("MW"));
    const int blue = CountPixels(surface.Image(), kBlue);
    EXPECT_GT(blue, box / 3);
    EXPECT_LT(blue, box);

    // Text in a combining mode keeps exact pixels: only the ink and the
    // paper, where the same text in copy mode is smoothed.
    for (const DrawMode mode : {DrawMode::XorPen, DrawMode::CopyPen}) {
        RasterSurface page(120, 30);
        page.Clear();
        page.SetDrawMode(mode);
        page.Print("MW 25 sw");
        const int inkAndPaper =
            CountPixels(page.Image(), kBlack) + CountPixels(page.Image(), 0xFFFFFFFFu);
        if (mode == DrawMode::CopyPen) {
            EXPECT_LT(inkAndPaper, 120 * 30);
        } else {
            EXPECT_EQ(inkAndPaper, 120 * 30);
        }
    }
}

TEST(RasterSurface, PicturePersistsUnderClearAndPassesToAnotherSurface) {
    RasterSurface buffer(50, 40);
    buffer.FilledBox(10, 10, 19, 19, RGB(255, 0, 0));
    const Picture picture = buffer.TakePicture();
    buffer.FilledBox(30, 10, 39, 19, RGB(0, 0, 255)); // after the snapshot
    ASSERT_FALSE(picture.IsEmpty());
    EXPECT_EQ(picture.Image()->pixel(35, 15), kWhite);

    RasterSurface shown(60, 50);
    shown.SetBackColor(RGB(0, 0, 0));
    shown.SetPicture(picture);
    EXPECT_EQ(shown.Image().pixel(15, 15), kRed);
    EXPECT_EQ(shown.Image().pixel(55, 45), kBlack); // beyond the picture
    shown.FilledBox(0, 0, 59, 49, RGB(0, 0, 255));
    shown.Clear();
    EXPECT_EQ(shown.Image().pixel(15, 15), kRed);
    EXPECT_EQ(shown.Image().pixel(1, 1), kWhite);
    EXPECT_EQ(shown.Image().pixel(55, 45), kBlack);
}

TEST(RasterSurface, ResizeKeepsTheDrawingAndAPixelScaleFollows) {
    RasterSurface surface(20, 20);
    surface.FilledBox(0, 0, 4, 4, RGB(255, 0, 0));
    surface.SetBackColor(RGB(0, 0, 255));
    surface.Resize(40, 30);
    EXPECT_EQ(surface.PixelWidth(), 40);
    EXPECT_DOUBLE_EQ(surface.ScaleWidth(), 40.0);
    EXPECT_DOUBLE_EQ(surface.ScaleHeight(), 30.0);
    EXPECT_EQ(surface.Image().pixel(2, 2), kRed);
    EXPECT_EQ(surface.Image().pixel(10, 10), kWhite);
    EXPECT_EQ(surface.Image().pixel(30, 25), kBlue);
}

// Every pixel after resizes in a row: the kept corner as drawn, the rest what
// Clear left at each resize, also where a shrink took off pixels that a later
// growth shows again; whether a read, a shape or a text comes first; none
// left after a Clear.
TEST(RasterSurface, ResizeSetsEveryPixelOfTheNewArea) {
    enum class First { Read, Shape, Text };
    for (const auto background :
         {RasterSurface::Background::Opaque, RasterSurface::Background::Transparent}) {
        const bool opaque = background == RasterSurface::Background::Opaque;
        for (const First first : {First::Read, First::Shape, First::Text}) {
            RasterSurface surface(30, 20, background);
            for (int k = 0; k < 30; ++k)
                surface.FilledBox(k, 0, k, 19, RGB(8 * k, 255 - 8 * k, 100));
            const QImage before = surface.Image().copy();
            surface.SetBackColor(RGB(0, 0, 255));
            surface.Resize(12, 26); // narrower and taller
            surface.Resize(40, 33); // wider and taller again
            surface.SetBackColor(RGB(0, 0, 0));
            surface.Resize(45, 33); // a new back colour for the new columns
            if (first == First::Shape) surface.FilledBox(44, 32, 44, 32, RGB(255, 0, 0));
            surface.SetCurrentX(14);
            surface.SetCurrentY(21);
            // A text printed after a resize is painted before the next.
            if (first == First::Text) surface.Print("88");
            const int height = first == First::Text ? 34 : 33;
            if (first == First::Text) surface.Resize(45, height);
            const QImage after =
                first == First::Read ? *surface.TakePicture().Image() : surface.Image();
            ASSERT_EQ(after.size(), QSize(45, height));
            int wrong = 0;
            int inked = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < 45; ++x) {
                    QRgb expected =
                        x >= 40 || y >= 33 ? (opaque ? kBlack : 0u) : (opaque ? kBlue : 0u);
                    if (x < 12 && y < 20) expected = before.pixel(x, y);
                    if (first == First::Shape && x == 44 && y == 32) expected = kRed;
                    if (first == First::Text && x >= 14 && y >= 21 && y < 33) {
                        inked += after.pixel(x, y) != expected;
                        continue;
                    }
                    wrong += after.pixel(x, y) != expected;
                }
            EXPECT_EQ(wrong, 0) << opaque << static_cast<int>(first);
            EXPECT_EQ(inked > 0, first == First::Text);
            surface.Resize(20, 40);
            surface.Clear();
            const QImage& cleared = surface.Image();
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 20; ++x) wrong += cleared.pixel(x, y) != (opaque ? kBlack : 0u);
            EXPECT_EQ(wrong, 0) << opaque << static_cast<int>(first);
        }
    }
}

TEST(RasterSurface, ShapesFarOutsideTheSurfaceDrawOnlyWhatIsInside) {
    RasterSurface surface(50, 50);
    surface.SetForeColor(RGB(255, 0, 0));
    surface.Line(-1e12, 25, 1e12, 25);
    for (int x = 0; x < 50; ++x) EXPECT_EQ(surface.Image().pixel(x, 25), kRed);
    surface.FilledBox(-1e9, -1e9, 1e9, 10, RGB(0, 0, 255));
    EXPECT_EQ(surface.Image().pixel(0, 0), kBlue);
    EXPECT_EQ(surface.Image().pixel(49, 10), kBlue);
    EXPECT_EQ(surface.Image().pixel(49, 11), kWhite);
    surface.Circle(25, 25, 1e300);
    surface.Print("far");
    surface.SetCurrentX(1e200);
    surface.Print("away");
    EXPECT_EQ(surface.Image().pixel(49, 40), kWhite);
}

TEST(RasterSurface, SampleDrawingForReview) {
    RasterSurface surface(300, 200);
    surface.SetBackColor(RGB(0, 0, 0));
    surface.Clear();
    surface.Scale(-40, std::log(100.0), 40, std::log(1050.0));
    surface.SetForeColor(RGB(191, 191, 191));
    surface.SetDrawMode(DrawMode::XorPen);
    surface.SetDrawStyle(DrawStyle::Dot);
    for (int p = 1000; p >= 100; p -= 100) {
        surface.Line(-40, std::log(p), 40, std::log(p));
        surface.SetCurrentX(-38);
        surface.SetCurrentY(std::log(p) - surface.TextHeight("9") / 2);
        surface.PrintNoNewline(std::to_string(p));
    }
    surface.SetDrawMode(DrawMode::CopyPen);
    surface.SetDrawStyle(DrawStyle::Solid);
    surface.SetDrawWidth(2);
    surface.Line(20, std::log(1000.0), -35, std::log(200.0), RGB(255, 0, 0));
    surface.SetFillStyle(FillStyle::Solid);
    surface.SetFillColor(RGB(255, 255, 0));
    surface.Circle(0, std::log(500.0), 3, RGB(0, 0, 255));
    std::filesystem::create_directories(TARVEX_TEST_OUTPUT);
    EXPECT_TRUE(surface.Image().save(QString(TARVEX_TEST_OUTPUT) + "/raster_surface_sample.png"));
}

} // namespace
} // namespace tarvex

namespace tarvex {
namespace {

// A box covers both corner pixels whichever corner comes first, so bands
// drawn bottom-up meet without a gap.
TEST(RasterSurfaceBoxes, CornersAreIncludedInEitherOrder) {
    RasterSurface pic(20, 20);
    pic.SetBackColor(RGB(0, 0, 0));
    pic.Clear();
    pic.ScalePixels();
    pic.FilledBox(2, 12, 8, 5, RGB(255, 255, 255)); // given bottom-up
    pic.FilledBox(2, 12, 8, 17, RGB(255, 255, 255));
    for (int y = 5; y <= 17; ++y) EXPECT_EQ(pic.Image().pixel(5, y), qRgb(255, 255, 255)) << y;
    EXPECT_EQ(pic.Image().pixel(5, 4), qRgb(0, 0, 0));
    EXPECT_EQ(pic.Image().pixel(9, 10), qRgb(0, 0, 0));
}

// Solid fills set a row's pixels many at a time: every width from 1 to 40
// (each side of 16 and 32), from columns that vary, sets its pixels alone.
TEST(RasterSurfaceBoxes, SolidFillsOfEveryWidthSetTheirPixelsAlone) {
    RasterSurface pic(64, 44);
    pic.SetBackColor(RGB(0, 0, 0));
    pic.Clear();
    pic.ScalePixels();
    QImage expected(64, 44, QImage::Format_RGB32);
    expected.fill(Qt::black);
    for (int width = 1; width <= 40; ++width) {
        const int left = 1 + width % 7;
        pic.FilledBox(left, width, left + width - 1, width, RGB(255, 255, 255));
        for (int x = left; x < left + width; ++x) expected.setPixel(x, width, qRgb(255, 255, 255));
    }
    EXPECT_TRUE(pic.Image() == expected);
}

} // namespace
} // namespace tarvex

namespace tarvex {
namespace {

// A black surface, and a black image with a painter holding the one-pixel
// square-capped yellow pen that draws the pixels the surface must match.
struct ThinYellowOnBlack {
    RasterSurface surface;
    QImage expected;
    QPainter painter;
    ThinYellowOnBlack(int width, int height)
        : surface(width, height), expected(width, height, QImage::Format_RGB32) {
        surface.SetBackColor(RGB(0, 0, 0));
        surface.Clear();
        expected.fill(Qt::black);
        painter.begin(&expected);
        QPen pen(QColor(255, 255, 0), 1);
        pen.setCapStyle(Qt::SquareCap);
        painter.setPen(pen);
    }
};

// What a one-pixel square-capped pen stroking the box's corners leaves: the
// outline every box of a thin solid pen must match pixel for pixel, over each
// fill pattern, whole, cut by the edges (where the stroke leaves out the far
// corner), bottom-up or one pixel thin.
TEST(RasterSurfaceBoxes, ThinOutlineIsTheStrokeOfItsCorners) {
    const QRect boxes[] = {
        QRect(QPoint(3, 4), QPoint(30, 20)),   QRect(QPoint(-3, 10), QPoint(12, 44)),
        QRect(QPoint(50, 40), QPoint(61, 52)), QRect(QPoint(20, 30), QPoint(20, 41)),
        QRect(QPoint(5, 47), QPoint(40, 47)),  QRect(QPoint(33, 2), QPoint(58, 35))};
    // The toolkit's brush of each fill style, by its number.
    const Qt::BrushStyle brushes[] = {Qt::SolidPattern, Qt::NoBrush,         Qt::HorPattern,
                                      Qt::VerPattern,   Qt::BDiagPattern,    Qt::FDiagPattern,
                                      Qt::CrossPattern, Qt::DiagCrossPattern};
    for (const FillStyle style :
         {FillStyle::Transparent, FillStyle::Solid, FillStyle::HorizontalLine,
          FillStyle::VerticalLine, FillStyle::UpwardDiagonal, FillStyle::DownwardDiagonal,
          FillStyle::Cross, FillStyle::DiagonalCross}) {
        ThinYellowOnBlack pair(60, 50);
        RasterSurface& surface = pair.surface;
        QImage& expected = pair.expected;
        QPainter& painter = pair.painter;
        const QBrush fill(QColor(0, 200, 90), brushes[static_cast<int>(style)]);
        surface.SetFillStyle(style);
        surface.SetFillColor(RGB(0, 200, 90));
        bool bottomUp = false;
        for (const QRect& box : boxes) {
            if (bottomUp)
                surface.Box(box.left(), box.bottom(), box.right(), box.top(), RGB(255, 255, 0));
            else
                surface.Box(box.left(), box.top(), box.right(), box.bottom(), RGB(255, 255, 0));
            bottomUp = !bottomUp;
            if (style != FillStyle::Transparent) painter.fillRect(box, fill);
            const QPoint corners[5] = {box.topLeft(), box.topRight(), box.bottomRight(),
                                       box.bottomLeft(), box.topLeft()};
            painter.drawPolyline(corners, 5);
        }
        painter.end();
        const QImage& drawn = surface.Image();
        int differing = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 60; ++x)
                if (drawn.pixel(x, y) != expected.pixel(x, y) && differing++ < 5)
                    ADD_FAILURE() << "fill style " << static_cast<int>(style) << " at " << x << ","
                                  << y << ": " << std::hex << drawn.pixel(x, y) << " not "
                                  << expected.pixel(x, y);
        EXPECT_EQ(differing, 0);
    }
}

// A fill in the outline's own colour, solid or hatched, whole, cut by each
// edge or one pixel thin, is the fill and the stroke of its corners together.
TEST(RasterSurfaceBoxes, FillInTheOutlinesColourIsFillAndStroke) {
    const QRect boxes[] = {
        QRect(QPoint(3, 4), QPoint(30, 20)),   QRect(QPoint(-3, 10), QPoint(12, 44)),
        QRect(QPoint(50, 40), QPoint(61, 52)), QRect(QPoint(20, 30), QPoint(20, 41)),
        QRect(QPoint(5, 47), QPoint(40, 47)),  QRect(QPoint(33, -2), QPoint(58, 35))};
    for (const auto& [style, brush] : {std::pair{FillStyle::Solid, Qt::SolidPattern},
                                       std::pair{FillStyle::DiagonalCross, Qt::DiagCrossPattern}}) {
        ThinYellowOnBlack pair(60, 50);
        pair.surface.SetFillStyle(style);
        pair.surface.SetFillColor(RGB(255, 255, 0));
        for (const QRect& box : boxes) {
            pair.surface.Box(box.left(), box.top(), box.right(), box.bottom(), RGB(255, 255, 0));
            pair.painter.fillRect(box, QBrush(QColor(255, 255, 0), brush));
            const QPoint corners[5] = {box.topLeft(), box.topRight(), box.bottomRight(),
                                       box.bottomLeft(), box.topLeft()};
            pair.painter.drawPolyline(corners, 5);
        }
        pair.painter.end();
        EXPECT_TRUE(pair.surface.Image().convertToFormat(QImage::Format_RGB32) ==
                    pair.expected.convertToFormat(QImage::Format_RGB32))
            << static_cast<int>(style);
    }
}

// Lines drawn together leave the pixels the same lines leave one by one, for
// every pen and mode: thin and wide, dotted and dash-dotted, copied and
// combined, cut by the picture's edge; they tell the same changed area, and
// the pen ends at the last line's end.
TEST(RasterSurface, LinesTogetherMatchLinesOneByOne) {
    const std::vector<PictureSurface::Segment> segments = {
        {3, 5, 97, 91},   {97, 91, 10, 80}, {10, 80, 50, 20}, {-20, 40, 130, 45},
        {50, 50, 50, 50}, {60, 10, 60, 99}, {2, 98, 98, 2},   {40, 60, 41, 61}};
    struct Pen {
        int width;
        DrawStyle style;
        DrawMode mode;
    };
    for (const Pen pen :
         {Pen{1, DrawStyle::Solid, DrawMode::CopyPen}, Pen{3, DrawStyle::Solid, DrawMode::CopyPen},
          Pen{1, DrawStyle::Dot, DrawMode::CopyPen}, Pen{1, DrawStyle::Dot, DrawMode::XorPen},
          Pen{1, DrawStyle::DashDot, DrawMode::CopyPen},
          Pen{1, DrawStyle::Solid, DrawMode::XorPen}}) {
        RasterSurface together(120, 90);
        RasterSurface alone(120, 90);
        QRect changedTogether;
        QRect changedAlone;
        for (RasterSurface* s : {&together, &alone}) {
            PaintBands(*s);
            s->SetDrawWidth(pen.width);
            s->SetDrawStyle(pen.style);
            s->SetDrawMode(pen.mode);
        }
        together.SetChangedHandler([&](const QRect& area) { changedTogether |= area; });
        alone.SetChangedHandler([&](const QRect& area) { changedAlone |= area; });
        together.Lines(segments, RGB(255, 255, 0));
        for (const auto& g : segments) alone.Line(g.x1, g.y1, g.x2, g.y2, RGB(255, 255, 0));
        const int style = static_cast<int>(pen.style);
        EXPECT_EQ(together.Image(), alone.Image()) << "width " << pen.width << " style " << style;
        EXPECT_EQ(changedTogether, changedAlone) << "width " << pen.width << " style " << style;
        EXPECT_EQ(together.CurrentX(), 41);
        EXPECT_EQ(together.CurrentY(), 61);
    }
}

// Thin solid lines in copy mode have the toolkit's pixels: fans of lines in
// every direction and length from whole-pixel centres (steep, flat,
// diagonal, level, upright, exact half steps, a point), each end on the
// image or just off it, drawn one at a time and together.
TEST(RasterSurface, ThinLinesHaveTheToolkitsPixels) {
    std::vector<QLine> lines;
    for (const QPoint centre : {QPoint(20, 15), QPoint(0, 0), QPoint(59, 44), QPoint(33, 27)})
        for (int dx = -13; dx <= 13; dx += 2)
            for (int dy = -11; dy <= 11; dy += 3)
                lines.emplace_back(centre, centre + QPoint(dx, dy));
    lines.emplace_back(QPoint(4, 40), QPoint(4, 40));
    lines.emplace_back(QPoint(2, 2), QPoint(57, 42));
    for (const bool together : {false, true}) {
        ThinYellowOnBlack pair(60, 45);
        RasterSurface& surface = pair.surface;
        QImage& expected = pair.expected;
        QPainter& painter = pair.painter;
        std::vector<PictureSurface::Segment> segments;
        for (const QLine& l : lines) {
            painter.drawLine(l);
            segments.push_back({double(l.x1()), double(l.y1()), double(l.x2()), double(l.y2())});
            if (!together) surface.Line(l.x1(), l.y1(), l.x2(), l.y2(), RGB(255, 255, 0));
        }
        if (together) surface.Lines(segments, RGB(255, 255, 0));
        painter.end();
        EXPECT_EQ(surface.Image(), expected) << (together ? "together" : "one by one");
    }
}

// Patterned one-pixel lines plot their pattern's dashes along each line from
// its start, each pixel once, one pixel a step along the longer axis: every
// pattern, in every direction, copied and combined by exclusive-or over
// bands, partly off the image (within the margin that keeps a line uncut).
TEST(RasterSurface, PatternedThinLinesPlotTheirDashesFromEachStart) {
    const std::pair<DrawStyle, std::vector<int>> patterns[] = {
        {DrawStyle::Dot, {3, 3}},
        {DrawStyle::Dash, {18, 6}},
        {DrawStyle::DashDot, {9, 6, 3, 6}},
        {DrawStyle::DashDotDot, {9, 3, 3, 3, 3, 3}}};
    std::vector<QLine> lines;
    for (const QPoint start : {QPoint(30, 22), QPoint(-2, -2), QPoint(61, 46), QPoint(0, 40)})
        for (const QPoint step :
             {QPoint(29, 0), QPoint(-31, 3), QPoint(7, 23), QPoint(-20, -20), QPoint(0, -25),
              QPoint(40, 9), QPoint(0, 0), QPoint(-5, 17), QPoint(-30, 0)}) {
            const QPoint end = start + step;
            if (end.x() >= -2 && end.x() <= 61 && end.y() >= -2 && end.y() <= 46)
                lines.emplace_back(start, end);
        }
    for (const auto& [style, runs] : patterns)
        for (const DrawMode mode : {DrawMode::CopyPen, DrawMode::XorPen}) {
            RasterSurface surface(60, 45);
            PaintBands(surface);
            surface.ScalePixels();
            QImage expected = surface.Image().copy();
            surface.SetDrawStyle(style);
            surface.SetDrawMode(mode);
            int period = 0;
            for (const int run : runs) period += run;
            for (const QLine& l : lines) {
                surface.Line(l.x1(), l.y1(), l.x2(), l.y2(), RGB(255, 255, 0));
                // Bresenham's pixels, the k-th drawn where the pattern's
                // place k (counted round its period) falls in a dash.
                const int dx = std::abs(l.dx());
                const int dy = -std::abs(l.dy());
                int error = dx + dy;
                QPoint p = l.p1();
                for (int k = 0;; ++k) {
                    int at = k % period;
                    std::size_t run = 0;
                    while (at >= runs[run]) at -= runs[run++];
                    if (run % 2 == 0 && expected.rect().contains(p))
                        expected.setPixel(p, mode == DrawMode::CopyPen
                                                 ? 0xFFFFFF00u
                                                 : expected.pixel(p) ^ 0xFFFF00u);
                    if (p == l.p2()) break;
                    const int twice = 2 * error;
                    if (twice >= dy) {
                        error += dy;
                        p.rx() += l.dx() > 0 ? 1 : -1;
                    }
                    if (twice <= dx) {
                        error += dx;
                        p.ry() += l.dy() > 0 ? 1 : -1;
                    }
                }
            }
            EXPECT_EQ(surface.Image(), expected)
                << "style " << static_cast<int>(style) << " mode " << static_cast<int>(mode);
        }
}

// Circles are kept once drawn and set again wherever the same circle goes:
// every copy has the pixels the toolkit draws for a circle at that place,
// at whole and half pixels, across the edges and off the image, for thin
// and wide outlines, empty and solid fills and discs of the pen's colour.
TEST(RasterSurface, EqualCirclesAnywhereHaveTheToolkitsPixels) {
    struct Kind {
        int width;
        FillStyle fill;
        Rgb fillColor;
    };
    const Rgb pen = RGB(200, 30, 60);
    const Kind kinds[] = {{1, FillStyle::Transparent, pen},
                          {1, FillStyle::Solid, RGB(0, 90, 0)},
                          {3, FillStyle::Transparent, pen},
                          {3, FillStyle::Solid, pen},
                          {2, FillStyle::Solid, RGB(0, 0, 250)}};
    const double radii[] = {0.4, 1.0, 2.5, 4.7, 9.0};
    const QPointF centres[] = {{0, 0},     {59, 49}, {30.4, 20.6}, {-3, 25},
                               {62.5, 10}, {17, -6}, {17, 17},     {44.5, 33.5}};
    for (const Kind& kind : kinds)
        for (const double radius : radii) {
            RasterSurface surface(120, 100);
            surface.Clear();
            surface.SetDrawWidth(kind.width);
            surface.SetFillStyle(kind.fill);
            surface.SetFillColor(kind.fillColor);
            QImage expected(120, 100, QImage::Format_RGB32);
            expected.fill(Qt::white);
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::Antialiasing, false);
            for (const QPointF& at : centres) {
                surface.Circle(at.x(), at.y(), radius, pen);
                const QPointF centre(std::floor(at.x() + 0.5), std::floor(at.y() + 0.5));
                if (kind.width > 1 && kind.fill == FillStyle::Solid && kind.fillColor == pen) {
                    painter.setPen(Qt::NoPen);
                    painter.setBrush(QColor(pen.r, pen.g, pen.b));
                    const double r = radius + kind.width / 2.0;
                    painter.drawEllipse(centre, r, r);
                    continue;
                }
                QPen outline(QColor(pen.r, pen.g, pen.b), kind.width);
                outline.setCapStyle(kind.width > 1 ? Qt::RoundCap : Qt::SquareCap);
                if (kind.width > 1) outline.setJoinStyle(Qt::RoundJoin);
                painter.setPen(outline);
                painter.setBrush(
                    kind.fill == FillStyle::Solid
                        ? QBrush(QColor(kind.fillColor.r, kind.fillColor.g, kind.fillColor.b))
                        : QBrush(Qt::NoBrush));
                painter.drawEllipse(centre, radius, radius);
            }
            painter.end();
            EXPECT_EQ(surface.Image(), expected) << "width " << kind.width << " radius " << radius;
        }
}

// Wide strokes are kept once drawn and set again when drawn again: lines,
// polylines over the edge and box outlines, 2 to 4 pixels wide, have the
// toolkit's pixels the first time and every time after, in copy mode and
// combined in exclusive-or mode (each pixel of the polylines once); so do
// those of 5 pixels, the widest set by their segments, and of 6 and 10,
// whose segments are not their pixels and which are stroked whole.
TEST(RasterSurface, WideStrokesDrawnAgainHaveTheToolkitsPixels) {
    const std::vector<std::pair<double, double>> trace = {{-2, 30}, {7, 12}, {19, 13}, {31, 40},
                                                          {44, 22}, {62, 9}, {52, 47}};
    for (const int width : {2, 3, 4, 5, 6, 10})
        for (const DrawMode mode : {DrawMode::CopyPen, DrawMode::XorPen}) {
            RasterSurface surface(60, 50);
            QPen pen(QColor(255, 255, 0), width);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            QImage expected(60, 50, QImage::Format_RGB32);
            expected.fill(QColor(20, 40, 60));
            QImage layer(60, 50, QImage::Format_ARGB32);
            layer.fill(Qt::transparent);
            {
                QPainter painter(mode == DrawMode::CopyPen ? &expected : &layer);
                painter.setPen(pen);
                QPolygon points;
                for (const auto& [x, y] : trace) points << QPoint(int(x), int(y));
                painter.drawPolyline(points);
                if (mode == DrawMode::CopyPen) {
                    painter.drawLine(QPoint(3, 44), QPoint(57, 36));
                    const QPoint corners[5] = {{10, 20}, {40, 20}, {40, 33}, {10, 33}, {10, 20}};
                    painter.drawPolyline(corners, 5);
                }
            }
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 60; ++x)
                    if (qAlpha(layer.pixel(x, y)) != 0)
                        expected.setPixel(
                            x, y, 0xFF000000u | ((expected.pixel(x, y) ^ 0xFFFF00u) & 0xFFFFFFu));
            for (int pass = 0; pass < 3; ++pass) {
                surface.SetBackColor(RGB(20, 40, 60));
                surface.Clear();
                surface.SetDrawWidth(width);
                surface.SetDrawMode(mode);
                surface.Polyline(trace, RGB(255, 255, 0));
                if (mode == DrawMode::CopyPen) {
                    surface.Line(3, 44, 57, 36, RGB(255, 255, 0));
                    surface.Box(10, 20, 40, 33, RGB(255, 255, 0));
                }
                EXPECT_EQ(surface.Image(), expected)
                    << "width " << width << " mode " << static_cast<int>(mode) << " pass " << pass;
            }
        }
}

// Upright and level wide lines, which are set from a short one's pixels
// stretched, have the toolkit's pixels at every length around the shortest
// stretched (ends and straight part meeting) and far beyond it, in each of
// the four directions, 2 to 5 pixels wide, drawn once and again from what
// was kept.
TEST(RasterSurface, UprightAndLevelWideLinesOfAnyLengthHaveTheToolkitsPixels) {
    std::vector<int> lengths;
    for (int length = 1; length <= 40; ++length) lengths.push_back(length);
    for (int length = 41; length <= 1300; length += 37) lengths.push_back(length);
    constexpr int kApart = 10;
    constexpr int kEdge = 6;
    const int across = static_cast<int>(lengths.size()) * kApart + 2 * kEdge;
    const int along = lengths.back() + 2 * kEdge;
    for (const int width : {2, 3, 4, 5})
        for (const bool upright : {true, false})
            for (const int sign : {1, -1}) {
                const int w = upright ? across : along;
                const int h = upright ? along : across;
                // The k-th line starts kApart further across, at the edge it
                // leaves from.
                const auto line = [&](std::size_t k) {
                    const int at = kEdge + static_cast<int>(k) * kApart;
                    const int from = sign > 0 ? kEdge : along - kEdge - 1;
                    const int to = from + sign * lengths[k];
                    return upright ? QLine(at, from, at, to) : QLine(from, at, to, at);
                };
                QImage expected(w, h, QImage::Format_RGB32);
                expected.fill(QColor(20, 40, 60));
                {
                    QPainter painter(&expected);
                    QPen pen(QColor(255, 255, 0), width);
                    pen.setCapStyle(Qt::RoundCap);
                    pen.setJoinStyle(Qt::RoundJoin);
                    painter.setPen(pen);
                    for (std::size_t k = 0; k < lengths.size(); ++k) painter.drawLine(line(k));
                }
                RasterSurface surface(w, h);
                for (int pass = 0; pass < 2; ++pass) {
                    surface.SetBackColor(RGB(20, 40, 60));
                    surface.Clear();
                    surface.SetDrawWidth(width);
                    for (std::size_t k = 0; k < lengths.size(); ++k) {
                        const QLine l = line(k);
                        surface.Line(l.x1(), l.y1(), l.x2(), l.y2(), RGB(255, 255, 0));
                    }
                    EXPECT_EQ(surface.Image(), expected)
                        << "width " << width << " upright " << upright << " sign " << sign
                        << " pass " << pass;
                }
            }
}

// Kept circle stamps: each circle of a sequence differs from the one before
// in one thing the stamp depends on (radius, pen colour, width and style,
// fill style and colour); drawn after it, it has the pixels a surface that
// never drew a circle gives it.
TEST(RasterSurface, CircleStampsAreKeptApartByEverythingTheyDependOn) {
    struct Circle {
        double radius;
        Rgb pen;
        int width;
        DrawStyle style;
        FillStyle fill;
        Rgb fillColor;
    };
    const Rgb red = RGB(200, 30, 60);
    const Rgb green = RGB(0, 90, 0);
    const Rgb blue = RGB(0, 0, 250);
    const Rgb gold = RGB(250, 200, 0);
    // Each circle has the bounds of the one before (but for the width).
    const Circle sequence[] = {
        {4.2, red, 1, DrawStyle::Solid, FillStyle::Solid, green},
        {4.6, red, 1, DrawStyle::Solid, FillStyle::Solid, green},       // radius
        {4.6, blue, 1, DrawStyle::Solid, FillStyle::Solid, green},      // pen colour
        {4.6, blue, 1, DrawStyle::Solid, FillStyle::Solid, gold},       // fill colour
        {4.6, blue, 1, DrawStyle::Solid, FillStyle::Transparent, gold}, // fill style
        {4.6, blue, 1, DrawStyle::Dot, FillStyle::Transparent, gold},   // pen style
        {4.6, blue, 3, DrawStyle::Solid, FillStyle::Transparent, gold}, // width
        {4.6, blue, 3, DrawStyle::Solid, FillStyle::Solid, blue},       // one disc
    };
    RasterSurface kept(40, 40);
    for (const Circle& c : sequence) {
        RasterSurface fresh(40, 40);
        for (RasterSurface* surface : {&kept, &fresh}) {
            surface->Clear();
            surface->SetDrawWidth(c.width);
            surface->SetDrawStyle(c.style);
            surface->SetFillStyle(c.fill);
            surface->SetFillColor(c.fillColor);
            surface->Circle(20, 20, c.radius, c.pen);
        }
        EXPECT_EQ(kept.Image(), fresh.Image())
            << "radius " << c.radius << " width " << c.width << " style "
            << static_cast<int>(c.style) << " fill " << static_cast<int>(c.fill);
    }
}

// Kept stroke pixels: each wide stroke of a sequence differs from the one
// before in one thing its pixels depend on (the width, a point down or
// across, where a trace breaks) or stands elsewhere; drawn after it, it has
// the pixels a surface that never drew a stroke gives it, in copy and
// exclusive-or mode.
TEST(RasterSurface, KeptStrokesAreToldApartByWidthPointsAndBreaks) {
    using Trace = std::vector<std::pair<double, double>>;
    struct Stroke {
        int width;
        Trace points; // two points are a line
    };
    // 85 lies past the picture's margin: the trace breaks there, into
    // pieces ending at (27, 55) and starting at (43, 55).
    const Stroke sequence[] = {
        {3, {{10, 10}, {30, 20}}},
        {2, {{10, 10}, {30, 20}}},                   // width
        {2, {{10, 10}, {30, 21}}},                   // a point down
        {2, {{10, 10}, {31, 21}}},                   // a point across
        {2, {{22, 12}, {42, 23}}},                   // the same shape elsewhere
        {3, {{5, 5}, {20, 30}, {35, 8}, {50, 30}}},  // a trace
        {3, {{5, 5}, {20, 30}, {35, 85}, {50, 30}}}, // broken below
        // The same points as the broken trace's pieces, 5 pixels up, joined:
        // the join shows on the bottom row.
        {3, {{5, 0}, {20, 25}, {27, 50}, {43, 50}, {50, 25}}},
    };
    for (const DrawMode mode : {DrawMode::CopyPen, DrawMode::XorPen}) {
        RasterSurface kept(60, 50);
        for (const Stroke& s : sequence) {
            RasterSurface fresh(60, 50);
            for (RasterSurface* surface : {&kept, &fresh}) {
                surface->SetBackColor(RGB(20, 40, 60));
                surface->Clear();
                surface->SetDrawWidth(s.width);
                surface->SetDrawMode(mode);
                if (s.points.size() == 2) {
                    surface->Line(s.points[0].first, s.points[0].second, s.points[1].first,
                                  s.points[1].second, RGB(255, 255, 0));
                } else {
                    surface->Polyline(s.points, RGB(255, 255, 0));
                }
            }
            EXPECT_EQ(kept.Image(), fresh.Image())
                << "mode " << static_cast<int>(mode) << " width " << s.width << " from "
                << s.points[0].first << " " << s.points[0].second;
        }
    }
}

// A surface cleared and drawn again shows what the same drawing shows on a
// new surface, and the areas it reports changed hold every pixel that
// changed: whatever was drawn before, over a picture or the back colour
// alone or a back colour changed between the clears, with texts alone,
// boxes across the whole width (whose rows the clear leaves to them), a box
// part of the way across, and lines after the boxes.
TEST(RasterSurface, ADrawingAfterAClearShowsAsOnANewSurfaceAndReportsWhatChanged) {
    RasterSurface bands(120, 90);
    PaintBands(bands);
    const Picture picture = bands.TakePicture();
    using Drawing = std::function<void(RasterSurface&)>;
    const std::vector<Drawing> drawings = {
        [](RasterSurface& s) {
            s.SetForeColor(RGB(255, 255, 0));
            for (const char* row : {"  850  -12.3", " 1000   25.0   19.5"}) s.Print(row);
        },
        [](RasterSurface& s) {
            s.FilledBox(0, 10, 100, 30, RGB(90, 90, 90));
            s.FilledBox(0, 30, 100, 35, RGB(0, 0, 0));
            s.Line(5, 5, 95, 95, RGB(255, 0, 0));
        },
        [](RasterSurface& s) { s.FilledBox(10, 50, 90, 80, RGB(0, 255, 0)); },
        [](RasterSurface& s) {
            s.FilledBox(0, 0, 100, 100, RGB(7, 7, 7));
            s.SetCurrentX(60);
            s.Print("LCL>");
        },
        DrawEveryShape,
    };
    for (const bool withPicture : {false, true}) {
        for (const Rgb secondBack : {RGB(20, 40, 60), RGB(0, 0, 90)}) {
            for (std::size_t first = 0; first < drawings.size(); ++first) {
                for (std::size_t second = 0; second < drawings.size(); ++second) {
                    SCOPED_TRACE(std::to_string(withPicture) + " " + std::to_string(secondBack.b) +
                                 " " + std::to_string(first) + " then " + std::to_string(second));
                    // Cleared with the drawing state back at its start.
                    const auto clear = [&](RasterSurface& s, Rgb back) {
                        s.SetBackColor(back);
                        s.Clear();
                        s.SetCurrentX(0);
                        s.SetCurrentY(0);
                        s.SetFillStyle(FillStyle::Solid);
                        s.SetForeColor(RGB(0, 0, 0));
                    };
                    const auto start = [&](RasterSurface& s) {
                        s.Scale(0, 0, 100, 100);
                        if (withPicture) s.SetPicture(picture);
                    };
                    RasterSurface surface(120, 90);
                    QRect changed;
                    surface.SetChangedHandler([&](const QRect& area) { changed |= area; });
                    start(surface);
                    clear(surface, RGB(20, 40, 60));
                    drawings[first](surface);
                    const QImage before = surface.Image().copy();
                    changed = QRect();
                    clear(surface, secondBack);
                    drawings[second](surface);
                    const QImage& after = surface.Image();
                    RasterSurface fresh(120, 90);
                    start(fresh);
                    clear(fresh, secondBack);
                    drawings[second](fresh);
                    ASSERT_EQ(after, fresh.Image());
                    int outside = 0;
                    for (int y = 0; y < after.height(); ++y)
                        for (int x = 0; x < after.width(); ++x)
                            if (after.pixel(x, y) != before.pixel(x, y) && !changed.contains(x, y))
                                ++outside;
                    EXPECT_EQ(outside, 0);
                }
            }
        }
    }
}

} // namespace
} // namespace tarvex
