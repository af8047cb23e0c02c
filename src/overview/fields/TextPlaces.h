#pragma once

#include "platform/PictureSurface.h"

#include <string_view>
#include <vector>

namespace tarvex {

// The boxes (pixels) of the texts one overview picture has printed in one
// drawing, so that a text that would land on one of them, or on any text the
// picture holds already, is left out rather than printed over it: contour
// labels that crowd on steep contours, the labels of two contoured fields,
// the labels of two value scales that share a side picture.
class TextPlaces {
  public:
    // Prints text with its top-left corner at (x, y) of pic's user scale and
    // keeps its place, unless its box would cover a text placed before (by
    // more than half a pixel on both axes) or, when it must stay inside, run
    // off the picture; the current position moves past the text either way.
    // True when it printed.
    bool Print(PictureSurface& pic, double x, double y, std::string_view text, bool inside = true);
    // Keeps the place of a text printed later (a mark that must show, even
    // at the edge), so that no text printed before it covers it; the same
    // text printed there later is printed. False, keeping nothing, when
    // another kept text lies there.
    bool Reserve(const PictureSurface& pic, double x, double y, std::string_view text);

  private:
    struct Box {
        double left, top, right, bottom;
    };
    static Box BoxOf(const PictureSurface& pic, double x, double y, std::string_view text);
    // Over no kept box but one in the very same place, over no text the
    // picture holds but the same one there (and, when inside is asked,
    // inside the picture).
    bool Free(const PictureSurface& pic, const Box& box, std::string_view text, bool inside) const;
    std::vector<Box> boxes_;
};

} // namespace tarvex
