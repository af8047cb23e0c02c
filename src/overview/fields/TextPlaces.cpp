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

void TextPlaces::Reserve(const PictureSurface& pic, double x, double y, std::string_view text) {
    boxes_.push_back(BoxOf(pic, x, y, text));
}

bool TextPlaces::Print(PictureSurface& pic, double x, double y, std::string_view text) {
    const Box box = BoxOf(pic, x, y, text);
    // Half a pixel, so that what is kept never covers by a whole one.
    constexpr double kSlack = 0.5;
    const bool outside = box.left < -kSlack || box.top < -kSlack ||
                         box.right > pic.PixelWidth() + kSlack ||
                         box.bottom > pic.PixelHeight() + kSlack;
    const bool covers =
        outside || std::any_of(boxes_.begin(), boxes_.end(), [&box](const Box& other) {
            return std::min(box.right, other.right) - std::max(box.left, other.left) > kSlack &&
                   std::min(box.bottom, other.bottom) - std::max(box.top, other.top) > kSlack;
        });
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    if (covers) {
        pic.SetCurrentX(x + pic.TextWidth(text));
        return false;
    }
    boxes_.push_back(box);
    pic.PrintNoNewline(text);
    return true;
}

} // namespace tarvex
