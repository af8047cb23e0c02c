// Text set glyph by glyph without the toolkit's text path: a one-line text
// laid out with the font's kerned advances, and each glyph's smoothed
// coverage kept as a mask made once by the toolkit's own rasteriser, blended
// into the image exactly as the toolkit blends smoothed text. A picture of
// numbers then costs its pixels, not a shaping pass per text.
#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tarvex::raster {

// A one-line text laid out glyph by glyph with the font's kerned advances:
// the same places as the toolkit's shaping gives Latin text, at a fraction of
// its cost. Empty when the font lacks a glyph of the text, which then goes
// through the toolkit's shaping and its font fallback.
struct GlyphLine {
    QList<quint32> glyphs;
    QList<QPointF> positions;
    double width = 0.0;
};

std::optional<GlyphLine> LayOutGlyphs(const QRawFont& raw, const QString& text);

// A glyph's smoothed coverage as the toolkit rasterises it at one of the
// places between whole pixels that it tells apart: its masks are made once
// and set straight into the image, so that a text costs its pixels and not a
// pass through the toolkit's text path for every glyph.
struct GlyphMask {
    // From the glyph's whole-pixel place on the baseline to the mask's
    // first column and row.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage; // row by row, 0 (none) to 255 (full)
    // Each row's first covered column and the column after its last.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> rowSpans;
};

// The toolkit places a glyph at its position in 64ths of a pixel, and draws
// it from the whole pixel below with one of four renderings, chosen by the
// quarter that holds the 64ths after it (so the last 64th takes the next
// pixel's). Each rendering is made from the first 64th that selects it.
inline constexpr std::array<int, 5> kSubpixelFirst = {0, 15, 31, 47, 63};

inline int SubpixelRendering(int sixtyFourths) {
    return (sixtyFourths + 1) / 16;
}

// Text this large the toolkit draws as outlines rather than glyph images.
inline constexpr int kLargestMaskedPixels = 64;

// The mask of a glyph in one of the renderings, its outline drawn shift
// pixels to the right of its place; empty when the glyph leaves no mark or is
// too large to keep.
GlyphMask MakeGlyphMask(const QRawFont& raw, quint32 glyph, int rendering, double shift = 0.0);

// Sets the mask in the opaque colour over the image's pixels with the glyph
// at whole pixel (x, y) of the baseline, as the toolkit blends smoothed text.
void SetGlyph(QImage& image, const GlyphMask& mask, int x, int y, std::uint32_t color);

} // namespace tarvex::raster
