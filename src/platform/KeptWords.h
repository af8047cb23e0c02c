// Words kept as pixels: a word set in one colour at one place between pixels
// over pixels of one colour always sets the same pixels, so a table of
// numbers that recur hour after hour copies the kept pixels instead of
// blending every glyph again. Here are the word's key and its kept pixels;
// the font that sets text keeps them (RasterTextFont.h).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarvex::raster {

// A word of a text as set over pixels of one colour: its glyphs, the 64ths
// of a pixel its first glyph starts after a whole pixel, its colour and the
// colour under it.
struct WordKey {
    std::array<quint32, 12> glyphs{};
    std::uint8_t length = 0;
    std::uint8_t phase = 0;
    std::uint32_t color = 0;
    bool operator==(const WordKey& other) const {
        return length == other.length && phase == other.phase && color == other.color &&
               std::equal(glyphs.begin(), glyphs.begin() + length, other.glyphs.begin());
    }
};

struct WordKeyHash {
    std::size_t operator()(const WordKey& key) const {
        std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (std::uint64_t{key.length} << 8 | key.phase);
        const auto mix = [&h](std::uint64_t v) {
            h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
        };
        mix(key.color);
        for (std::size_t k = 0; k < key.length; ++k) mix(key.glyphs[k]);
        return static_cast<std::size_t>(h);
    }
};

// A word's pixels as set over one colour, and their area from the word's
// first whole pixel on the baseline.
struct WordPixels {
    QRect area;
    std::uint32_t under = 0;
    std::vector<std::uint32_t> pixels;
};

// Whether every pixel of the area, inside the image, is the colour.
bool AllPixelsAre(const QImage& image, const QRect& area, std::uint32_t color);
// The pixels of an area inside the image, row by row.
WordPixels TakePixels(const QImage& image, const QRect& area);
// Sets kept pixels into the image with their area's corner at a point.
void CopyPixels(QImage& image, const WordPixels& kept, const QPoint& at);

} // namespace tarvex::raster
