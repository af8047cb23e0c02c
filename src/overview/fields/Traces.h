#pragma once

#include "files/Session.h"
#include "overview/fields/OverviewState.h"
#include "platform/PictureSurface.h"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace tarvex {

// The sounding store the overview draws, and the last time column of its
// current model.
inline const ProfileArrays& Store(const OverviewContext& c) {
    return *c.session.profile;
}
inline int LastTime(const OverviewContext& c) {
    return Store(c).LastTime(Store(c).CurrentModel);
}

// picRH scaled to the time window across and a value range from bottom (the
// lower edge) to top.
inline void ScaleValueFrame(PictureSurface& pic, const OverviewAxes& axes, double bottom,
                            double top) {
    pic.Scale(axes.ScaleLeftColumn, top, axes.ScaleRightColumn, bottom);
}

// picRH on the temperature and speed trace pair, and on the index pair.
inline void ScaleTraceFrame(OverviewContext& c) {
    ScaleValueFrame(c.picRH, c.axes, c.axes.TraceBase, c.axes.TraceBase + c.axes.TraceSpan);
}
inline void ScaleIndexFrame(OverviewContext& c) {
    ScaleValueFrame(c.picRH, c.axes, c.axes.IndexBase, c.axes.IndexBase + c.axes.IndexSpan);
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

// The same in the fore colour, each unbroken stretch as one stroke, so that
// an exclusive-or trace shows no gap at its joints and a second drawing
// takes it away whole.
template <typename Value> void DrawColumnTrace(PictureSurface& pic, int last, Value&& value) {
    std::vector<std::pair<double, double>> run;
    auto finish = [&] {
        pic.Polyline(run);
        run.clear();
    };
    for (int c = 0; c <= last; ++c) {
        const std::optional<double> y = value(c);
        if (!y) {
            finish();
            continue;
        }
        run.emplace_back(c, *y);
    }
    finish();
}

// A value of every hour as one line on picRH, in one colour and pen width,
// on the value range bottom..top; the pen goes back to width 1.
template <typename Value>
void DrawValueTrace(OverviewContext& c, Rgb colour, int width, double bottom, double top,
                    Value&& value) {
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(colour);
    pic.SetFillColor(colour);
    pic.SetDrawWidth(width);
    pic.SetDrawMode(DrawMode::CopyPen);
    ScaleValueFrame(pic, c.axes, bottom, top);
    DrawColumnTrace(pic, LastTime(c), value);
    pic.SetDrawWidth(1);
}

} // namespace tarvex
