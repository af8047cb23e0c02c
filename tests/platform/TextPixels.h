#pragma once

// Checks that a picture's texts cost none of its other pixels: drawn on
// raster surfaces with its texts, with texts switched off and with its values
// painted after everything else, every pixel outside the boxes of the texts
// drawn is the same with and without texts, and every value's pixels are the
// same as when it is painted last.
#include "platform/RasterSurface.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tarvex::test {

// A picture's pixel size and the design size its text follows (none: 0).
struct PictureSize {
    int width = 0;
    int height = 0;
    double designWidth = 0.0;
    double designHeight = 0.0;
};

// The pixels a drawn text may paint: its box with the blanks about its ink
// (at most a mono blank, 0.65 of the font's pixel size, each) and a pixel
// round it for glyphs that reach past their advance.
inline QRect PaintedBox(const DrawnText& t) {
    const std::size_t first = t.text.find_first_not_of(' ');
    const std::size_t last = t.text.find_last_not_of(' ');
    const double blank = 0.65 * t.fontPixels;
    const double leading = first == std::string::npos ? 0.0 : static_cast<double>(first) * blank;
    const double trailing =
        last == std::string::npos ? 0.0 : static_cast<double>(t.text.size() - 1 - last) * blank;
    const int left = static_cast<int>(std::floor(t.rect.left - leading)) - 1;
    const int top = static_cast<int>(std::floor(t.rect.top)) - 1;
    const int right = static_cast<int>(std::ceil(t.rect.Right() + trailing)) + 1;
    const int bottom = static_cast<int>(std::ceil(t.rect.Bottom())) + 1;
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Counts of what the checks compared, for a test to show they ran.
struct TextPixelCounts {
    long pictures = 0;
    long texts = 0;
    long values = 0;
    long textPixels = 0; // pixels the texts changed
};

// The raster surfaces a check draws on, kept from one check to the next
// while the sizes stay the same (a window's pictures are drawn again and
// again on the same surfaces, and a surface makes its fonts once).
struct TextPixelSurfaces {
    std::vector<PictureSize> sizes;
    std::vector<std::unique_ptr<RasterSurface>> usual;
    std::vector<std::unique_ptr<RasterSurface>> none;
    std::vector<std::unique_ptr<RasterSurface>> valuesLast;
};

// A background picture (a kept picture that another is drawn over) drawn
// once for each way the check paints texts, so that a picture drawn over it
// shows the background's texts as it shows its own: none with texts switched
// off.
struct TextPixelBackgrounds {
    Picture usual;
    Picture none;
    const Picture& For(const RasterSurface& surface) const {
        return surface.GetTextPainting() == RasterSurface::TextPainting::None ? none : usual;
    }
};

// The background draw(surface) draws as its surface's persistent picture, on
// a surface of the size.
template <typename Draw>
TextPixelBackgrounds DrawTextPixelBackgrounds(const PictureSize& size, Draw draw) {
    TextPixelBackgrounds made;
    for (const auto painting :
         {RasterSurface::TextPainting::Usual, RasterSurface::TextPainting::None}) {
        RasterSurface surface(size.width, size.height);
        surface.SetDesignSize(size.designWidth, size.designHeight);
        surface.SetTextPainting(painting);
        draw(surface);
        (painting == RasterSurface::TextPainting::None ? made.none : made.usual) =
            surface.PersistentPicture();
    }
    return made;
}

// Draws the pictures (draw(surfaces) draws each on its surface, in order)
// three times and compares them as above; the first faults are named.
template <typename Draw>
::testing::AssertionResult TextsCostNoPixels(const std::vector<PictureSize>& sizes, Draw draw,
                                             TextPixelCounts* counts = nullptr,
                                             TextPixelSurfaces* kept = nullptr) {
    using Painting = RasterSurface::TextPainting;
    TextPixelSurfaces own;
    TextPixelSurfaces& surfaces = kept ? *kept : own;
    const bool sameSizes = surfaces.sizes.size() == sizes.size() &&
                           std::equal(sizes.begin(), sizes.end(), surfaces.sizes.begin(),
                                      [](const PictureSize& a, const PictureSize& b) {
                                          return a.width == b.width && a.height == b.height &&
                                                 a.designWidth == b.designWidth &&
                                                 a.designHeight == b.designHeight;
                                      });
    const auto drawn = [&](std::vector<std::unique_ptr<RasterSurface>>& list, Painting painting) {
        if (!sameSizes) {
            list.clear();
            for (const PictureSize& size : sizes) {
                auto& s =
                    list.emplace_back(std::make_unique<RasterSurface>(size.width, size.height));
                s->SetDesignSize(size.designWidth, size.designHeight);
                s->SetTextPainting(painting);
            }
        }
        std::vector<RasterSurface*> pointers;
        for (auto& s : list) pointers.push_back(s.get());
        draw(pointers);
        return pointers;
    };
    const auto usual = drawn(surfaces.usual, Painting::Usual);
    const auto none = drawn(surfaces.none, Painting::None);
    const auto valuesLast = drawn(surfaces.valuesLast, Painting::ValuesLast);
    surfaces.sizes = sizes;
    std::ostringstream faults;
    int found = 0;
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        const QImage& with = usual[k]->Image();
        const QImage& without = none[k]->Image();
        const QImage& last = valuesLast[k]->Image();
        const std::vector<DrawnText>& texts = usual[k]->DrawnTexts();
        QImage inBoxes(with.size(), QImage::Format_Grayscale8);
        inBoxes.fill(0);
        for (const DrawnText& t : texts) {
            const QRect box = PaintedBox(t) & inBoxes.rect();
            for (int y = box.top(); y <= box.bottom(); ++y)
                std::fill_n(inBoxes.scanLine(y) + box.left(), box.width(), uchar{1});
        }
        for (int y = 0; y < with.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(with.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(without.constScanLine(y));
            const uchar* boxed = inBoxes.constScanLine(y);
            for (int x = 0; x < with.width(); ++x) {
                if (a[x] == b[x]) continue;
                if (counts) ++counts->textPixels;
                if (boxed[x] || ++found > 5) continue;
                faults << "picture " << k << ": pixel " << x << ", " << y
                       << " outside every drawn text differs with texts on\n";
            }
        }
        for (const DrawnText& t : texts) {
            if (counts) ++counts->texts;
            if (t.kind != TextKind::Value) continue;
            if (counts) ++counts->values;
            const QRect box = QRect(QPoint(static_cast<int>(std::floor(t.rect.left)),
                                           static_cast<int>(std::floor(t.rect.top))),
                                    QPoint(static_cast<int>(std::ceil(t.rect.Right())) - 1,
                                           static_cast<int>(std::ceil(t.rect.Bottom())) - 1)) &
                              with.rect();
            bool same = true;
            for (int y = box.top(); y <= box.bottom() && same; ++y)
                for (int x = box.left(); x <= box.right() && same; ++x)
                    same = with.pixel(x, y) == last.pixel(x, y);
            if (!same && ++found <= 5)
                faults << "picture " << k << ": value \"" << t.text << "\" at " << t.rect.left
                       << ", " << t.rect.top << " is covered\n";
        }
        if (counts) ++counts->pictures;
    }
    if (found == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << found << " faults:\n" << faults.str();
}

} // namespace tarvex::test
