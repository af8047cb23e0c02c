#include "overview/fields/TextPlaces.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

TextPlaces::Box TextPlaces::BoxOf(const PictureSurface& pic, double x, double y,
                                  std::string_view text) {
    const double px = pic.ToPixelX(x);
    const double py = pic.ToPixelY(y);
    const double width = std::abs(pic.TextWidth(text) * pic.PixelWidth() / pic.ScaleWidth());
    const double height = std::abs(pic.TextHeight(text) * pic.PixelHeight() / pic.ScaleHeight());
    return {px, py, px + width, py + height};
}

bool TextPlaces::Free(const PictureSurface& pic, const Box& box, std::string_view text,
                      bool inside) const {
    // Half a pixel, so that what is kept never covers by a whole one.
    constexpr double kSlack = 0.5;
    const bool off = box.left < -kSlack || box.top < -kSlack ||
                     box.right > pic.PixelWidth() + kSlack ||
                     box.bottom > pic.PixelHeight() + kSlack;
    if (inside && off) return false;
    // Texts the picture holds already (another field's labels among them),
    // but the same text drawn again in its place.
    const TextRect rect{box.left, box.top, box.right - box.left, box.bottom - box.top};
    const bool onDrawn =
        std::any_of(pic.DrawnTexts().begin(), pic.DrawnTexts().end(), [&](const DrawnText& t) {
            const bool again = t.text == text && std::abs(t.rect.top - box.top) < 0.5 &&
                               t.rect.left >= box.left - 0.5 && t.rect.Right() <= box.right + 0.5;
            return !again && TextRectsOverlap(t.rect, rect);
        });
    if (onDrawn) return false;
    return std::none_of(boxes_.begin(), boxes_.end(), [&box](const Box& other) {
        const bool same = std::abs(box.left - other.left) < 1e-6 &&
                          std::abs(box.top - other.top) < 1e-6 &&
                          std::abs(box.right - other.right) < 1e-6;
        return !same &&
               std::min(box.right, other.right) - std::max(box.left, other.left) > kSlack &&
               std::min(box.bottom, other.bottom) - std::max(box.top, other.top) > kSlack;
    });
}

bool TextPlaces::Reserve(const PictureSurface& pic, double x, double y, std::string_view text) {
    const Box box = BoxOf(pic, x, y, text);
    if (!Free(pic, box, text, false)) return false;
    boxes_.push_back(box);
    return true;
}

bool TextPlaces::Print(PictureSurface& pic, double x, double y, std::string_view text,
                       bool inside) {
    const Box box = BoxOf(pic, x, y, text);
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    if (!Free(pic, box, text, inside)) {
        pic.SetCurrentX(x + pic.TextWidth(text));
        return false;
    }
    boxes_.push_back(box);
    pic.PrintNoNewline(text);
    return true;
}

} // namespace tarvex
