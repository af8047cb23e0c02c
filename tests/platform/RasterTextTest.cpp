#include "platform/GlyphMasks.h"
#include "platform/RasterSurface.h"
#include "platform/RasterTextFont.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

// Text is laid out glyph by glyph; it must measure and draw as the toolkit's
// own text layout does, follow font changes, and fall back for a character
// the font lacks.
TEST(RasterText, MeasuresAsTheToolkitAndFollowsTheFont) {
    RasterSurface surface(200, 40);
    for (const char* name : {"Arial", "Fixedsys", "Times New Roman"}) {
        surface.SetFontName(name);
        surface.SetFontSize(9);
        QFont font(name[0] == 'F' ? "DejaVu Sans Mono"
                                  : (name[0] == 'T' ? "DejaVu Serif" : "DejaVu Sans"));
        font.setPixelSize(12);
        const QFontMetrics metrics(font);
        for (const char* text : {"Lapse Rate \u00B0C/km", "AVWAY Total", " -12.3 "})
            EXPECT_NEAR(surface.TextWidth(text), metrics.horizontalAdvance(QString::fromUtf8(text)),
                        1.0)
                << name << " " << text;
        EXPECT_EQ(surface.TextHeight("0"), metrics.height());
    }
    const double small = surface.TextHeight("0");
    surface.SetFontSize(18);
    EXPECT_GT(surface.TextHeight("0"), 1.5 * small);

    // A character outside the font still draws and measures.
    surface.Clear();
    surface.SetForeColor(RGB(255, 0, 0));
    surface.Print("\u6C14 1");
    EXPECT_GT(surface.TextWidth("\u6C14 1"), surface.TextWidth(" 1"));
    int red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) red += surface.Image().pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 5);
}

// A text is measured in the font of the drawing state as it is now: a
// surface measuring text after text must follow each change of what the
// font is worked out from (face, weight, points, and the pixel and design
// sizes the text scale comes from) as a new surface of the same settings
// measures it.
TEST(RasterText, MeasuresInTheFontOfEachChange) {
    struct Settings {
        std::string name = "Arial";
        bool bold = false;
        double points = 9.0;
        int width = 300;
        int height = 300;
        double designWidth = 100.0;
        double designHeight = 100.0;
    };
    const auto apply = [](RasterSurface& s, const Settings& set) {
        s.SetFontName(set.name);
        s.SetFontBold(set.bold);
        s.SetFontSize(set.points);
        s.SetDesignSize(set.designWidth, set.designHeight);
    };
    // In pixels, whatever the scale.
    const auto height = [](const RasterSurface& s) {
        return s.TextHeight("0") * s.PixelHeight() / s.ScaleHeight();
    };
    const auto width = [](const RasterSurface& s) {
        return s.TextWidth("Lapse 12") * s.PixelWidth() / s.ScaleWidth();
    };
    const std::vector<std::pair<const char*, void (*)(Settings&)>> changes = {
        {"name", [](Settings& s) { s.name = "Times New Roman"; }},
        {"bold", [](Settings& s) { s.bold = true; }},
        {"points", [](Settings& s) { s.points = 11.0; }},
        {"pixel width", [](Settings& s) { s.width = 200; }},
        {"pixel height", [](Settings& s) { s.height = 200; }},
        {"design width", [](Settings& s) { s.designWidth = 150.0; }},
        {"design height", [](Settings& s) { s.designHeight = 150.0; }},
    };
    for (const auto& [field, change] : changes) {
        Settings set;
        RasterSurface surface(set.width, set.height);
        apply(surface, set);
        const double widthBefore = width(surface);
        const double heightBefore = height(surface);
        change(set);
        surface.Resize(set.width, set.height);
        apply(surface, set);
        RasterSurface fresh(set.width, set.height);
        apply(fresh, set);
        EXPECT_EQ(width(surface), width(fresh)) << field;
        EXPECT_EQ(height(surface), height(fresh)) << field;
        // The change reaches the font at all.
        EXPECT_TRUE(width(fresh) != widthBefore || height(fresh) != heightBefore) << field;
    }
}

// Widths are rounded as the maths library rounds them, halves away from
// zero, next to halves and whole numbers too.
TEST(RasterText, WidthsRoundAsTheLibraryRounds) {
    for (const double width : {0.0, 0.49999999999999994, 0.5, 1.5, 2.4999999999999996, 2.5, 3.0,
                               7.999999999999999, -0.5, -1.4999999999999998, -2.5, 1e9 + 0.5})
        EXPECT_EQ(raster::NearestWhole(width), static_cast<int>(std::lround(width))) << width;
}

// Smoothed text is set from kept glyph masks: every pixel must come out as
// the toolkit's own drawing of the same glyphs at the same places leaves it,
// over a background of many colours (each blend shows), in every face, in
// bold, at the default and a large size, and in an image that lets the
// picture below show through; words set again over one colour as well.
TEST(RasterText, KeptGlyphsDrawAsTheToolkitDraws) {
    struct Case {
        const char* name;
        bool bold;
        double size;
        RasterSurface::Background background;
    };
    const char* texts[] = {"Precipitation:  0.123 Hr     1.234 Total", "Lapse Rate \u00B0C/km",
                           "<LCL 944 mb -23.0 WBZero 17,833 ft", "Wwjfi.,;:!|/@&%$#"};
    for (const auto& [name, bold, size, background] :
         {Case{"Arial", false, 9, RasterSurface::Background::Opaque},
          Case{"Fixedsys", false, 9, RasterSurface::Background::Opaque},
          Case{"Times New Roman", true, 11, RasterSurface::Background::Opaque},
          Case{"Arial", true, 24, RasterSurface::Background::Opaque},
          Case{"MS Sans Serif", false, 9, RasterSurface::Background::Transparent}}) {
        RasterSurface surface(420, 400, background);
        surface.SetFontName(name);
        surface.SetFontBold(bold);
        surface.SetFontSize(size);
        surface.SetFontTransparent(true);
        const int rowHeight = static_cast<int>(surface.TextHeight("0")) + 2;
        // Stripes under the first four rows, one colour under the next
        // seven and another under the last.
        for (int k = 0; k < 14; ++k) {
            surface.FilledBox(30 * k, 0, 30 * k + 29, 4 * rowHeight - 9 * k,
                              RGB(40 + 15 * k, 250 - 17 * k, (97 * k) % 256));
        }
        surface.FilledBox(0, 4 * rowHeight + 1, 419, 11 * rowHeight, RGB(70, 20, 90));
        surface.FilledBox(0, 11 * rowHeight + 1, 419, 399, RGB(10, 110, 60));
        QImage reference = surface.Image().copy();
        QFont font(name[0] == 'F'   ? "DejaVu Sans Mono"
                   : name[0] == 'T' ? "DejaVu Serif"
                                    : "DejaVu Sans");
        font.setPixelSize(surface.TextPixelSize());
        font.setBold(bold);
        font.setStyleStrategy(QFont::PreferAntialias);
        const QRawFont raw = QRawFont::fromFont(font);
        const int ascent = QFontMetrics(font).ascent();
        QPainter painter(&reference);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        // Each text over the stripes, then twice over one colour at the same
        // place between pixels: the second time its words recur, in the
        // same colour, in the other colour (row 10) and over the other
        // colour (row 11).
        for (int row = 0; row < 12; ++row) {
            const char* text = texts[row % 4];
            const QString line = QString::fromUtf8(text);
            const QList<quint32> glyphs = raw.glyphIndexesForString(line);
            QList<QPointF> positions;
            double x = 0.0;
            for (const QPointF& advance :
                 raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances)) {
                positions.push_back(QPointF(x, 0.0));
                x += advance.x();
            }
            const Rgb color = (row % 2 == 1) != (row == 10) ? kYellow : RGB(20, 60, 255);
            const int left = 3 + row % 4;
            const int top = 1 + row * rowHeight;
            surface.SetForeColor(color);
            surface.SetCurrentX(left);
            surface.SetCurrentY(top);
            surface.PrintNoNewline(text);
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            painter.setPen(QColor(color.r, color.g, color.b));
            painter.drawGlyphRun(QPointF(left, top + ascent), run);
        }
        painter.end();
        const QImage& drawn = surface.Image();
        int differ = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                differ += drawn.pixel(x, y) != reference.pixel(x, y);
        EXPECT_EQ(differ, 0) << name << " " << size;
    }
}

// Every face and weight the pictures use shows the ten digits as ten shapes
// at the least size text is drawn at: no two digit images lie closer than a
// clear share of their ink (snapped to whole pixels, 6 and 8 of the bold sans
// and 0 and 6 of the bold serif stand under a tenth apart; smoothed, each

// A glyph set partly or wholly off the image, past each edge, sets exactly
// the pixels of the same glyph set whole on a larger image that fall inside,
// and nothing else; its rows are reached from their first pixel on.
TEST(RasterText, AGlyphOffAnEdgeSetsItsPixelsInsideAlone) {
    raster::GlyphMask mask;
    mask.left = -1;
    mask.top = -3;
    mask.width = 6;
    mask.height = 3;
    mask.coverage = {255, 255, 255, 255, 255, 255, 0, 40, 128, 200, 0, 0, 0, 0, 0, 0, 90, 255};
    mask.rowSpans = {{0, 6}, {1, 4}, {4, 6}};
    const std::uint32_t color = 0xFF0000FFu;
    QImage whole(40, 30, QImage::Format_RGB32);
    whole.fill(Qt::white);
    raster::SetGlyph(whole, mask, 20, 15, color); // the mask from (19, 12) on
    int checked = 0;
    for (int x = -8; x <= 12; ++x)
        for (int y = -2; y <= 9; ++y) {
            QImage small(8, 5, QImage::Format_RGB32);
            small.fill(Qt::white);
            raster::SetGlyph(small, mask, x, y, color);
            for (int column = 0; column < 8; ++column)
                for (int row = 0; row < 5; ++row) {
                    const QPoint there(column - x + 20, row - y + 15);
                    ASSERT_EQ(small.pixel(column, row), whole.pixel(there))
                        << "glyph at " << x << ", " << y << ": pixel " << column << ", " << row;
                    checked += small.pixel(column, row) != qRgb(255, 255, 255);
                }
        }
    EXPECT_GT(checked, 200);
}

// face stands above 0.15, the bold serif drawn in the bold sans).
TEST(RasterText, DigitsStayDistinctAtTheLeastSize) {
    const int cell = 2 * kLeastTextPixels;
    struct Face {
        const char* name;
        bool bold;
    };
    for (const auto [face, bold] : {Face{"MS Sans Serif", false}, Face{"Arial", true},
                                    Face{"Fixedsys", false}, Face{"Times New Roman", true}}) {
        {
            RasterSurface surface(10 * cell, cell);
            surface.SetDesignSize(10 * cell * 4, cell * 4); // text at the floor
            surface.SetFontName(face);
            surface.SetFontBold(bold);
            ASSERT_EQ(surface.TextPixelSize(), kLeastTextPixels);
            surface.SetBackColor(kBlack);
            surface.SetForeColor(kWhite);
            surface.Clear();
            for (int d = 0; d < 10; ++d) {
                surface.SetCurrentX(d * cell + 2);
                surface.SetCurrentY(1);
                surface.PrintNoNewline(std::to_string(d));
            }
            const QImage& image = surface.Image();
            auto ink = [&](int d, int x, int y) { return qGray(image.pixel(d * cell + x, y)); };
            double least = 1e9;
            std::string closest;
            for (int a = 0; a < 10; ++a)
                for (int b = 0; b < a; ++b) {
                    // Grey levels apart, over the ink of the two digits.
                    double apart = 0.0;
                    double total = 0.0;
                    for (int y = 0; y < cell; ++y)
                        for (int x = 0; x < cell; ++x) {
                            apart += std::abs(ink(a, x, y) - ink(b, x, y));
                            total += ink(a, x, y) + ink(b, x, y);
                        }
                    const double share = apart / total;
                    if (share < least) {
                        least = share;
                        closest = std::to_string(b) + " and " + std::to_string(a);
                    }
                }
            EXPECT_GT(least, 0.14) << face << (bold ? " bold" : "") << ": " << closest;
        }
    }
}

// The listings' mono face draws its zero plain up to 11 pixels, where its
// own dot fills the counter: in both weights, at each size and after no to
// three blanks (other places between pixels), the zero's centre is paper
// where the eight's is ink, its ink as heavy and standing where the eight's
// does, and the digits keep the mono face's advance (the columns align).
TEST(RasterText, MonoZeroIsToldFromEightAndKeepsItsCell) {
    constexpr int cell = 32;
    for (const bool bold : {false, true})
        for (int pixels = kLeastTextPixels; pixels <= 11; ++pixels) {
            RasterSurface surface(2 * cell, cell);
            surface.SetFontName("Fixedsys");
            surface.SetFontBold(bold);
            surface.SetFontSize(pixels * 0.75);
            ASSERT_EQ(surface.TextPixelSize(), pixels);
            QFont mono("DejaVu Sans Mono");
            mono.setPixelSize(pixels);
            mono.setBold(bold);
            const char* line = "  900   200  904";
            EXPECT_EQ(surface.TextWidth(line), QFontMetrics(mono).horizontalAdvance(line));
            surface.SetBackColor(kBlack);
            surface.SetForeColor(kWhite);
            for (const std::string blanks : {"", " ", "  ", "   "}) {
                surface.Clear();
                double ink[2] = {};
                double centre[2] = {};
                int top = cell;
                int bottom = 0;
                for (int d = 0; d < 2; ++d) {
                    surface.SetCurrentX(d * cell + 2);
                    surface.SetCurrentY(2);
                    surface.PrintNoNewline(blanks + (d == 0 ? "0" : "8"));
                    for (int y = 0; y < cell; ++y)
                        for (int x = 0; x < cell; ++x) {
                            const int grey = qGray(surface.Image().pixel(d * cell + x, y));
                            ink[d] += grey;
                            centre[d] += grey * x;
                            top = grey > 0 ? std::min(top, y) : top;
                            bottom = grey > 0 ? std::max(bottom, y) : bottom;
                        }
                    centre[d] /= ink[d];
                }
                const auto centreGrey = [&](int d) {
                    return qGray(surface.Image().pixel(d * cell + std::lround(centre[1]),
                                                       (top + bottom) / 2));
                };
                const std::string where = std::to_string(pixels) + (bold ? " bold" : "") +
                                          " after " + std::to_string(blanks.size());
                EXPECT_LT(centreGrey(0), 64) << where;
                EXPECT_GT(centreGrey(1), 128) << where;
                EXPECT_NEAR(centre[0], centre[1], 0.2) << where;
                EXPECT_GT(ink[0], 0.8 * ink[1]) << where;
            }
        }
}

} // namespace
} // namespace tarvex
