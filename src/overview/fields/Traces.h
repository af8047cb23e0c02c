#pragma once

#include "overview/fields/OverviewState.h"
#include "platform/PictureSurface.h"

#include <cmath>
#include <optional>

namespace tarvex {

// picRH scaled to the time window across and a value range from bottom (the
// lower edge) to top.
inline void ScaleValueFrame(PictureSurface& pic, const OverviewAxes& axes, double bottom,
                            double top) {
    pic.Scale(axes.ScaleLeftColumn, top, axes.ScaleRightColumn, bottom);
}

// y of a pressure (mb) on the log-pressure frame; none for a pressure that
// is not positive.
inline std::optional<double> LnP(float pressure) {
    if (!(pressure > 0.0f)) return std::nullopt;
    return std::log(static_cast<double>(pressure));
}

// One value per time column 0..last drawn as a line from column to column:
// value(c) gives the column's y or none, colorOf(c) the colour of the segment
// that ends at column c. A column without a value breaks the line; the next
// column with one starts it again.
template <typename Value, typename ColorOf>
void DrawColumnTrace(PictureSurface& pic, int last, Value&& value, ColorOf&& colorOf) {
    bool drawing = false;
    for (int c = 0; c <= last; ++c) {
        const std::optional<double> y = value(c);
        if (!y) {
            drawing = false;
            continue;
        }
        if (drawing) {
            pic.LineTo(c, *y, colorOf(c));
        } else {
            pic.SetCurrentX(c);
            pic.SetCurrentY(*y);
        }
        drawing = true;
    }
}

// The same in the fore colour.
template <typename Value> void DrawColumnTrace(PictureSurface& pic, int last, Value&& value) {
    DrawColumnTrace(pic, last, value, [&pic](int) { return pic.ForeColor(); });
}

} // namespace tarvex
