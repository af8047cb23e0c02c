#include "platform/GlyphMasks.h"

#include <QGlyphRun>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvex::raster {

std::optional<GlyphLine> LayOutGlyphs(const QRawFont& raw, const QString& text) {
    if (!raw.isValid()) return std::nullopt;
    GlyphLine line;
    line.glyphs = raw.glyphIndexesForString(text);
    if (line.glyphs.size() != text.size() || line.glyphs.contains(0u)) return std::nullopt;
    const QList<QPointF> advances =
        raw.advancesForGlyphIndexes(line.glyphs, QRawFont::KernedAdvances);
    line.positions.reserve(advances.size());
    for (const QPointF& advance : advances) {
        line.positions.push_back(QPointF(line.width, 0.0));
        line.width += advance.x();
    }
    return line;
}

GlyphMask MakeGlyphMask(const QRawFont& raw, quint32 glyph, int rendering, double shift) {
    // Room about the glyph's outline for the rasteriser's hinting.
    const QRectF outline = raw.boundingRect(glyph);
    const int pad = 2 + static_cast<int>(raw.pixelSize()) / 4;
    const int originX = pad - static_cast<int>(std::floor(outline.left()));
    const int originY = pad - static_cast<int>(std::floor(outline.top()));
    const int width = originX + static_cast<int>(std::ceil(outline.right())) + pad + 1;
    const int height = originY + static_cast<int>(std::ceil(outline.bottom())) + pad + 1;
    GlyphMask mask;
    if (width <= 0 || height <= 0 || width > 4 * kLargestMaskedPixels ||
        height > 4 * kLargestMaskedPixels)
        return mask;
    QImage scratch(width, height, QImage::Format_ARGB32_Premultiplied);
    scratch.fill(Qt::transparent);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(Qt::white);
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes({glyph});
        run.setPositions({QPointF(0.0, 0.0)});
        painter.drawGlyphRun(
            QPointF(originX + kSubpixelFirst[static_cast<std::size_t>(rendering)] / 64.0 + shift,
                    originY),
            run);
    }
    // White over nothing leaves the coverage in every channel.
    int x1 = width;
    int y1 = height;
    int x2 = -1;
    int y2 = -1;
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(row[x]) == 0) continue;
            x1 = std::min(x1, x);
            x2 = std::max(x2, x);
            y1 = std::min(y1, y);
            y2 = std::max(y2, y);
        }
    }
    if (x2 < x1) return mask;
    mask.left = x1 - originX;
    mask.top = y1 - originY;
    mask.width = x2 - x1 + 1;
    mask.height = y2 - y1 + 1;
    mask.coverage.reserve(static_cast<std::size_t>(mask.width * mask.height));
    for (int y = y1; y <= y2; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        int first = mask.width;
        int end = 0;
        for (int x = x1; x <= x2; ++x) {
            const int alpha = qAlpha(row[x]);
            mask.coverage.push_back(static_cast<std::uint8_t>(alpha));
            if (alpha == 0) continue;
            first = std::min(first, x - x1);
            end = x - x1 + 1;
        }
        mask.rowSpans.emplace_back(static_cast<std::uint16_t>(std::min(first, end)),
                                   static_cast<std::uint16_t>(end));
    }
    return mask;
}

namespace {

// Each of the pixel's four bytes times alpha / 255, rounded as the toolkit
// rounds it.
std::uint32_t ByteTimes(std::uint32_t pixel, std::uint32_t alpha) {
    std::uint32_t t = (pixel & 0xFF00FFu) * alpha;
    t = ((t + ((t >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
    std::uint32_t u = ((pixel >> 8) & 0xFF00FFu) * alpha;
    u = (u + ((u >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
    return t | u;
}

// One pixel of smoothed text: the colour where the glyph covers the pixel
// whole, blended with what is there where it covers a part.
std::uint32_t BlendGlyphPixel(std::uint32_t color, std::uint32_t alpha, std::uint32_t pixel) {
    if (alpha == 255) return color;
    return ByteTimes(color, alpha) + ByteTimes(pixel, 255 - alpha);
}

#if defined(__SSE2__)
// x * alpha / 255 in each 16-bit lane, rounded as ByteTimes rounds it.
__m128i LaneTimes(__m128i x, __m128i alpha) {
    const __m128i t = _mm_mullo_epi16(x, alpha);
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), _mm_set1_epi16(0x80)), 8);
}

// Four pixels of smoothed text at once, each exactly as BlendGlyphPixel.
void BlendFourGlyphPixels(std::uint32_t* pixels, std::uint32_t coverage, __m128i color) {
    const __m128i zero = _mm_setzero_si128();
    // Each coverage byte for the four bytes of its pixel.
    __m128i alpha = _mm_cvtsi32_si128(static_cast<int>(coverage));
    alpha = _mm_unpacklo_epi8(alpha, alpha);
    alpha = _mm_unpacklo_epi16(alpha, alpha);
    const __m128i alphaLow = _mm_unpacklo_epi8(alpha, zero);
    const __m128i alphaHigh = _mm_unpackhi_epi8(alpha, zero);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i low =
        _mm_add_epi16(LaneTimes(color, alphaLow),
                      LaneTimes(_mm_unpacklo_epi8(under, zero), _mm_sub_epi16(full, alphaLow)));
    const __m128i high =
        _mm_add_epi16(LaneTimes(color, alphaHigh),
                      LaneTimes(_mm_unpackhi_epi8(under, zero), _mm_sub_epi16(full, alphaHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_packus_epi16(low, high));
}
#endif

} // namespace

void SetGlyph(QImage& image, const GlyphMask& mask, int x, int y, std::uint32_t color) {
    const int left = x + mask.left;
    const int top = y + mask.top;
    const int fromColumn = std::max(0, -left);
    const int toColumn = std::min(mask.width, image.width() - left);
    const int fromRow = std::max(0, -top);
    const int toRow = std::min(mask.height, image.height() - top);
    if (fromColumn >= toColumn || fromRow >= toRow) return;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
#if defined(__SSE2__)
    const __m128i lanes =
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(color)), _mm_setzero_si128());
    const __m128i colorLanes = _mm_unpacklo_epi64(lanes, lanes);
    const __m128i fourColors = _mm_set1_epi32(static_cast<int>(color));
#endif
    for (int row = fromRow; row < toRow; ++row) {
        const std::uint8_t* coverage =
            mask.coverage.data() + static_cast<std::size_t>(row * mask.width);
        // The image's row, indexed from its first pixel: a glyph hanging off
        // the left edge starts inside the row (column >= -left), and no
        // pointer is formed before the row's start.
        auto* const line = reinterpret_cast<std::uint32_t*>(bits + (top + row) * stride);
        const auto [first, end] = mask.rowSpans[static_cast<std::size_t>(row)];
        const int stop = std::min<int>(toColumn, end);
        int column = std::max<int>(fromColumn, first);
#if defined(__SSE2__)
        for (; column + 4 <= stop; column += 4) {
            std::uint32_t four = 0;
            std::memcpy(&four, coverage + column, sizeof four);
            if (four == 0) continue;
            if (four == 0xFFFFFFFFu) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(line + (left + column)), fourColors);
                continue;
            }
            BlendFourGlyphPixels(line + (left + column), four, colorLanes);
        }
#endif
        for (; column < stop; ++column) {
            const std::uint32_t a = coverage[column];
            if (a != 0) line[left + column] = BlendGlyphPixel(color, a, line[left + column]);
        }
    }
}

} // namespace tarvex::raster
