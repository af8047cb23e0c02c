#include "platform/RasterSurface.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

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

} // namespace
} // namespace tarvex
