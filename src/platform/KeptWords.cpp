#include "platform/KeptWords.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvex::raster {

bool AllPixelsAre(const QImage& image, const QRect& area, std::uint32_t color) {
    const uchar* const bits = image.constBits();
    const qsizetype stride = image.bytesPerLine();
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(color));
#endif
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(bits + row * stride);
        int column = area.left();
#if defined(__SSE2__)
        for (; column + 4 <= area.right() + 1; column += 4) {
            const __m128i got = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + column));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(got, four)) != 0xFFFF) return false;
        }
#endif
        for (; column <= area.right(); ++column)
            if (pixels[column] != color) return false;
    }
    return true;
}

// The pixels of an area inside the image, row by row.
WordPixels TakePixels(const QImage& image, const QRect& area) {
    WordPixels taken;
    taken.area = area;
    taken.pixels.resize(static_cast<std::size_t>(area.width() * area.height()));
    for (int row = 0; row < area.height(); ++row)
        std::memcpy(taken.pixels.data() + static_cast<std::size_t>(row * area.width()),
                    reinterpret_cast<const std::uint32_t*>(image.constScanLine(area.top() + row)) +
                        area.left(),
                    static_cast<std::size_t>(area.width()) * sizeof(std::uint32_t));
    return taken;
}

void CopyPixels(QImage& image, const WordPixels& kept, const QPoint& at) {
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int width = kept.area.width();
    for (int row = 0; row < kept.area.height(); ++row)
        std::memcpy(reinterpret_cast<std::uint32_t*>(bits + (at.y() + row) * stride) + at.x(),
                    kept.pixels.data() + static_cast<std::size_t>(row * width),
                    static_cast<std::size_t>(width) * sizeof(std::uint32_t));
}

} // namespace tarvex::raster
