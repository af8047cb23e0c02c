#pragma once

// Reading the recorded traces of the overview's plotters: the lines of one
// colour and their end points in pixels of the picture they were drawn on.

#include "platform/RecordingSurface.h"

#include <vector>

namespace tarvex::test {

struct Pixel {
    double x, y;
};

// (x, y) in user units of op's scale, in pixels of a picture of the size.
inline Pixel ToPixels(const DrawOperation& op, double x, double y, int width, int height) {
    return {(x - op.scale.left) / op.scale.width * width,
            (y - op.scale.top) / op.scale.height * height};
}

inline std::vector<DrawOperation> LinesIn(const RecordingSurface& pic, Rgb color) {
    std::vector<DrawOperation> lines;
    for (const DrawOperation& op : pic.OperationsOf(DrawOperation::Kind::Line))
        if (op.color == color) lines.push_back(op);
    return lines;
}

// Colours of the recorded lines, in drawing order.
inline std::vector<Rgb> LineColors(const RecordingSurface& pic) {
    std::vector<Rgb> colors;
    for (const DrawOperation& op : pic.OperationsOf(DrawOperation::Kind::Line))
        colors.push_back(op.color);
    return colors;
}

} // namespace tarvex::test
