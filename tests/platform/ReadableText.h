#pragma once

#include "platform/PictureSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace tarvex {

// Two texts a picture prints over one another on purpose, and why: each is
// named by a part of its text.
struct AllowedOverlap {
    std::string first;
    std::string second;
    std::string reason;
};

// Whether the texts a surface (recording or raster) drew since its last Clear
// can be read: every text's box, from the font's metrics, lies inside the
// picture; no two boxes overlap (but the pairs allowed and texts printed with
// overlap allowed); no text is smaller than kLeastTextPixels. The failure
// names each faulty text.
inline ::testing::AssertionResult TextIsReadable(const PictureSurface& surface,
                                                 const std::vector<AllowedOverlap>& allowed = {}) {
    constexpr double kSlack = 1.0;
    const double width = surface.PixelWidth();
    const double height = surface.PixelHeight();
    std::ostringstream faults;
    auto describe = [](const DrawnText& t) {
        std::ostringstream s;
        s << '"' << t.text << "\" at (" << t.rect.left << ", " << t.rect.top << ") " << t.rect.width
          << " x " << t.rect.height << " px";
        return s.str();
    };
    auto isAllowed = [&allowed](const DrawnText& a, const DrawnText& b) {
        for (const AllowedOverlap& pair : allowed) {
            auto has = [](const DrawnText& t, const std::string& part) {
                return t.text.find(part) != std::string::npos;
            };
            if ((has(a, pair.first) && has(b, pair.second)) ||
                (has(a, pair.second) && has(b, pair.first)))
                return true;
        }
        return false;
    };
    const std::vector<DrawnText>& texts = surface.DrawnTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const DrawnText& a = texts[i];
        const TextRect& r = a.rect;
        if (r.left < -kSlack || r.top < -kSlack || r.Right() > width + kSlack ||
            r.Bottom() > height + kSlack)
            faults << describe(a) << " runs off the " << width << " x " << height << " picture\n";
        if (a.fontPixels < kLeastTextPixels)
            faults << describe(a) << " is " << a.fontPixels << " px high\n";
        for (std::size_t j = 0; j < i; ++j) {
            const DrawnText& b = texts[j];
            if (a.mayOverlap || b.mayOverlap) continue;
            if (TextRectsOverlap(a.rect, b.rect) && !isAllowed(a, b))
                faults << describe(a) << " overlaps " << describe(b) << '\n';
        }
    }
    const std::string found = faults.str();
    if (found.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << found;
}

// Whether the collision rule left out no text since the last Clear: for
// pictures whose every text carries a value the forecaster needs.
inline ::testing::AssertionResult NothingLeftOut(const PictureSurface& surface) {
    if (surface.LeftOutTexts().empty()) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure() << "left out as covering another text:";
    for (const DrawnText& t : surface.LeftOutTexts()) failure << " \"" << t.text << '"';
    return failure;
}

// Whether every value, verdict, caption and unit printed since the last
// Clear stands drawn (labels and repeats may be left out).
inline ::testing::AssertionResult NoValueLeftOut(const PictureSurface& surface) {
    auto failure = ::testing::AssertionFailure() << "values left out:";
    bool found = false;
    for (const DrawnText& t : surface.LeftOutTexts())
        if (t.kind == TextKind::Value) {
            failure << " \"" << t.text << '"';
            found = true;
        }
    return found ? failure : ::testing::AssertionSuccess();
}

// Whether every value, verdict, caption and unit drawn since the last Clear
// lies whole inside the picture.
inline ::testing::AssertionResult NoValueCut(const PictureSurface& surface) {
    constexpr double kSlack = 1.0;
    auto failure = ::testing::AssertionFailure() << "values cut by the picture's edge:";
    bool found = false;
    for (const DrawnText& t : surface.DrawnTexts()) {
        const TextRect& r = t.rect;
        if (t.kind == TextKind::Value &&
            (r.left < -kSlack || r.top < -kSlack || r.Right() > surface.PixelWidth() + kSlack ||
             r.Bottom() > surface.PixelHeight() + kSlack)) {
            failure << " \"" << t.text << "\" at (" << r.left << ", " << r.top << ")";
            found = true;
        }
    }
    return found ? failure : ::testing::AssertionSuccess();
}

// Whether every label drawn since the last Clear stands at its anchor: none
// drawn for an anchor outside the picture, and the middle of each within a
// quarter of its height of its anchor across the way it may slide (a level
// label's middle on its level, an hour's label's middle on its column), but
// where an edge it touches has moved it in.
inline ::testing::AssertionResult LabelsAtTheirAnchors(const PictureSurface& surface) {
    constexpr double kEdge = 1.0;
    const double width = surface.PixelWidth();
    const double height = surface.PixelHeight();
    std::ostringstream faults;
    for (const DrawnText& t : surface.DrawnTexts()) {
        if (t.kind != TextKind::Label) continue;
        const TextRect& r = t.rect;
        std::ostringstream where;
        where << '"' << t.text << "\" at (" << r.left << ", " << r.top << ") for its anchor ("
              << t.anchor.x << ", " << t.anchor.y << ")";
        if (!t.AnchorInside(width, height)) {
            faults << where.str() << " outside the " << width << " x " << height << " picture\n";
            continue;
        }
        const double most = r.height / 4.0;
        const bool atEdgeX = r.left <= kEdge || r.Right() >= width - kEdge;
        const bool atEdgeY = r.top <= kEdge || r.Bottom() >= height - kEdge;
        const double offX = std::abs(r.left + r.width / 2.0 - t.anchor.x);
        const double offY = std::abs(r.top + r.height / 2.0 - t.anchor.y);
        const bool checkX = t.anchor.slide != LabelSlide::AlongLevel;
        const bool checkY = t.anchor.slide != LabelSlide::AlongColumn;
        if (checkX && !atEdgeX && offX > most)
            faults << where.str() << " stands " << offX << " px beside it\n";
        if (checkY && !atEdgeY && offY > most)
            faults << where.str() << " stands " << offY << " px above or below it\n";
    }
    const std::string found = faults.str();
    if (found.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << found;
}

// Whether the value drawn as text stands apart from every label drawn but
// its own mark, at least across pixels beside it or down pixels above or
// below it, where it cannot be read as that label's value. Fails when the
// value is not drawn.
inline ::testing::AssertionResult StandsApartFromLabels(const PictureSurface& surface,
                                                        const std::string& text,
                                                        const std::string& ownMark, double across,
                                                        double down) {
    const auto& texts = surface.DrawnTexts();
    const auto value = std::ranges::find_if(
        texts, [&](const DrawnText& t) { return t.kind == TextKind::Value && t.text == text; });
    if (value == texts.end()) return ::testing::AssertionFailure() << '"' << text << "\" not drawn";
    const TextRect& v = value->rect;
    std::ostringstream faults;
    for (const DrawnText& t : texts) {
        const TextRect& r = t.rect;
        const double beside = std::max(r.left - v.Right(), v.left - r.Right());
        const double apart = std::max(r.top - v.Bottom(), v.top - r.Bottom());
        if (t.kind == TextKind::Label && t.text != ownMark && beside < across && apart < down)
            faults << '"' << t.text << "\" stands " << beside << " px beside and " << apart
                   << " px above or below \"" << text << "\"\n";
    }
    const std::string found = faults.str();
    if (found.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << found;
}

} // namespace tarvex
