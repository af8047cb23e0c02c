#pragma once

// What the overview's drawn-text tests check on a recording surface: every
// text box (from the surface's own text measures) inside the picture, no two
// boxes overlapping by more than a pixel on both axes, and no font under
// 8 pixels (at 96 dots an inch).

#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace tarvex::test {

inline ::testing::AssertionResult TextBoxesReadable(const RecordingSurface& pic) {
    struct Box {
        std::string text;
        double left, top, right, bottom;
    };
    std::vector<Box> boxes;
    for (const DrawOperation& op : pic.Operations()) {
        if (op.kind == DrawOperation::Kind::Clear) boxes.clear();
        if (op.kind != DrawOperation::Kind::Text ||
            op.text.find_first_not_of(' ') == std::string::npos)
            continue;
        const UserScale& s = op.scale;
        const double left = (op.x1 - s.left) / s.width * pic.PixelWidth();
        const double top = (op.y1 - s.top) / s.height * pic.PixelHeight();
        if (op.state.fontSize * 96.0 / 72.0 < 8.0)
            return ::testing::AssertionFailure() << '"' << op.text << "\" is under 8 px";
        boxes.push_back({op.text, left, top,
                         left + RecordingSurface::kCharWidth * static_cast<double>(op.text.size()),
                         top + RecordingSurface::kLineHeight});
    }
    constexpr double kSlack = 1.0;
    std::ostringstream faults;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& a = boxes[i];
        if (a.left < -kSlack || a.top < -kSlack || a.right > pic.PixelWidth() + kSlack ||
            a.bottom > pic.PixelHeight() + kSlack)
            faults << '"' << a.text << "\" at (" << a.left << ", " << a.top << ") runs off\n";
        for (std::size_t j = 0; j < i; ++j) {
            const Box& b = boxes[j];
            if (a.text == b.text && std::abs(a.left - b.left) < 0.5 &&
                std::abs(a.top - b.top) < 0.5)
                continue; // the same text again in place
            if (std::min(a.right, b.right) - std::max(a.left, b.left) > kSlack &&
                std::min(a.bottom, b.bottom) - std::max(a.top, b.top) > kSlack)
                faults << '"' << a.text << "\" at (" << a.left << ", " << a.top << ") overlaps \""
                       << b.text << "\" at (" << b.left << ", " << b.top << ")\n";
        }
    }
    if (faults.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults.str();
}

} // namespace tarvex::test
