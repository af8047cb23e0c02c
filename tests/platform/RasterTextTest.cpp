#include "platform/RasterSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <string>

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

// Every face and weight the pictures use shows the ten digits as ten shapes
// at the least size text is drawn at: no two digit images lie closer than a
// clear share of their ink (snapped to whole pixels, 6 and 8 of the bold sans
// and 0 and 6 of the bold serif stand under a tenth apart; smoothed, each
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

} // namespace
} // namespace tarvex
