// The small pixel rules every part of the raster surface shares: colours as
// the toolkit's colours and as image pixels, texts as the toolkit's strings,
// and user points rounded to whole pixels held within reach of the image, so
// that integer arithmetic on them never overflows. Kept in one place so that
// lines, fills, circles and text round a point to the same pixel.
#pragma once

#include "platform/PictureSurface.h"

#include "compute/Narrow.h"

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tarvex::raster {

// Circles wider than this many pixels, and text this far off the image, are not
// drawn: the painter's fixed-point coordinates do not reach so far.
inline constexpr double kLargestRadius = 1.0e6;

inline QColor ToQColor(Rgb color) {
    return QColor(color.r, color.g, color.b);
}

// The colour as an image pixel's red, green and blue bits, without alpha.
inline std::uint32_t PixelBits(Rgb color) {
    return (static_cast<std::uint32_t>(color.r) << 16) |
           (static_cast<std::uint32_t>(color.g) << 8) | color.b;
}

inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The rectangle whose corners are the two pixels, both included, whichever
// way round they are given (QRect::normalized() loses an edge of a rectangle
// given bottom-up).
inline QRect Spanning(const QPoint& a, const QPoint& b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

// The pixels two rectangles share; a null rectangle when they share none.
// QRect's own intersection is a call into the toolkit, and every shape takes
// one or more.
inline QRect Overlap(const QRect& a, const QRect& b) {
    const int left = std::max(a.left(), b.left());
    const int top = std::max(a.top(), b.top());
    const int right = std::min(a.right(), b.right());
    const int bottom = std::min(a.bottom(), b.bottom());
    if (left > right || top > bottom) return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// The smallest rectangle holding both, where either may be null (none).
inline QRect Joined(const QRect& a, const QRect& b) {
    if (a.isNull()) return b;
    if (b.isNull()) return a;
    return QRect(QPoint(std::min(a.left(), b.left()), std::min(a.top(), b.top())),
                 QPoint(std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom())));
}

// Whether the area holds the whole box.
inline bool Holds(const QRect& area, const QRect& box) {
    return box.left() >= area.left() && box.right() <= area.right() && box.top() >= area.top() &&
           box.bottom() <= area.bottom();
}

// Whether the rectangle holds the pixel, without a call into the toolkit.
inline bool Holds(const QRect& area, const QPoint& p) {
    return p.x() >= area.left() && p.x() <= area.right() && p.y() >= area.top() &&
           p.y() <= area.bottom();
}

// Pixel coordinates are held within this distance of the image before any
// integer arithmetic, so that sums and differences of them never overflow.
inline constexpr double kSafePixel = 1 << 24;

inline int SafePixel(double v) {
    return ClampToInt<int>(std::floor(std::clamp(v, -kSafePixel, kSafePixel) + 0.5));
}

inline QPoint Rounded(const QPointF& point) {
    return QPoint(SafePixel(point.x()), SafePixel(point.y()));
}

// A draw mode's rule for combining a pen pixel with the pixel under it
// (0xRRGGBB each): mode n is the function of two bits whose truth table is
// n - 1, bit 2 * pen + destination of the table being the result for that
// pair. Worked out once for a shape, so that combining a pixel is a few bit
// operations without branches, which a loop over a row does several pixels
// a step.
class ModeRule {
  public:
    explicit ModeRule(DrawMode mode) {
        const auto table = (static_cast<std::uint32_t>(mode) - 1u) & 0xFu;
        const auto all = [table](std::uint32_t bit) { return (table & bit) != 0 ? ~0u : 0u; };
        both_ = all(8u);
        penOnly_ = all(4u);
        underOnly_ = all(2u);
        neither_ = all(1u);
    }
    std::uint32_t operator()(std::uint32_t pen, std::uint32_t under) const {
        return ((pen & under & both_) | (pen & ~under & penOnly_) | (~pen & under & underOnly_) |
                (~pen & ~under & neither_)) &
               0xFFFFFFu;
    }
    // The rule for one pen, as the result's bits where the pixel under it
    // has a bit set and where it has it clear.
    struct ForPen {
        std::uint32_t whereSet = 0;   // result bits where the pixel's bit is set
        std::uint32_t whereClear = 0; // result bits where it is clear
        // An opaque image pixel.
        std::uint32_t operator()(std::uint32_t under) const {
            return 0xFF000000u | (((under & whereSet) | (~under & whereClear)) & 0xFFFFFFu);
        }
    };
    ForPen WithPen(std::uint32_t pen) const {
        return ForPen{(pen & both_) | (~pen & underOnly_), (pen & penOnly_) | (~pen & neither_)};
    }

  private:
    std::uint32_t both_ = 0;
    std::uint32_t penOnly_ = 0;
    std::uint32_t underOnly_ = 0;
    std::uint32_t neither_ = 0;
};

// Sets count pixels of a row from row on to the pixel. Sixteen pixels are
// stored a step: a plain loop stores four, and takes twice as long over a
// picture's width; then four a step, for the narrow cells the overview
// shades by the thousand. A row of four or more ends with the four pixels
// up to its end, over some already set, rather than one pixel a step.
inline void FillRow(std::uint32_t* row, int count, std::uint32_t pixel) {
    int k = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (; k + 16 <= count; k += 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k), four);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k + 4), four);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k + 8), four);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k + 12), four);
    }
    for (; k + 4 <= count; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + k), four);
    if (k < count && count >= 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + count - 4), four);
        return;
    }
#endif
    for (; k < count; ++k) row[k] = pixel;
}

} // namespace tarvex::raster
