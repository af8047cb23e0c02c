#include "platform/TextGrid.h"
#include "platform/PictureSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace tarvex {
namespace {

DrawnText At(double left, double top, double width, double height) {
    return DrawnText{"t", TextRect{left, top, width, height}, 12, false, TextKind::Value, {}};
}

// Whether the boxes share a point, edges included (wider than the overlap
// rule, which needs more than a pixel's strip).
bool Meet(const TextRect& a, const TextRect& b) {
    const auto lo = [](double p, double extent) { return std::min(p, p + extent); };
    const auto hi = [](double p, double extent) { return std::max(p, p + extent); };
    return lo(a.left, a.width) <= hi(b.left, b.width) &&
           lo(b.left, b.width) <= hi(a.left, a.width) &&
           lo(a.top, a.height) <= hi(b.top, b.height) && lo(b.top, b.height) <= hi(a.top, a.height);
}

// Every kept text that meets a box is among those the grid hands over, in
// ascending order and once each: boxes on cell borders, on and beyond every
// edge of the picture, far beyond it, drawn backwards, and after texts were
// taken out and the picture was resized.
TEST(TextGrid, HandsOverEveryTextThatMeetsTheBox) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<DrawnText> texts = {
        At(10, 10, 20, 12),    At(31, 10, 2, 12),     At(32, 33, 40, 12), At(-30, 50, 25, 12),
        At(195, 90, 30, 12),   At(60, -20, 30, 12),   At(60, 95, 30, 12), At(-1e9, -1e9, 5, 5),
        At(1e9, 1e9, 5, 5),    At(120, 60, -30, -12), At(0, 0, 200, 100), At(-inf, 40, 10, 10),
        At(150, 40, 0.5, 0.5), At(63.5, 63.5, 1, 1),
    };
    const std::vector<TextRect> probes = {
        {30, 12, 3, 3},
        {64, 64, 0, 0},
        {-40, 52, 5, 5},
        {210, 95, 5, 5},
        {70, -25, 5, 5},
        {70, 105, 5, 5},
        {-2e9, -2e9, 1e9 + 1, 1e9 + 1},
        {1e9, 1e9, 1, 1},
        {95, 50, 2, 2},
        {151, 41, 1, 1},
        {100, 50, 0, 0},
        {0, 0, 0, 0},
        {200, 100, 1, 1},
        {-1, -1, 1, 1},
        {155, 72, 10, 2},
    };
    TextGrid grid;
    const auto check = [&](int width, int height) {
        grid.Sync(texts, width, height);
        for (const TextRect& probe : probes) {
            const std::vector<std::size_t>& near = grid.Near(probe);
            EXPECT_TRUE(std::is_sorted(near.begin(), near.end()));
            EXPECT_EQ(std::adjacent_find(near.begin(), near.end()), near.end());
            for (std::size_t k = 0; k < texts.size(); ++k)
                if (Meet(texts[k].rect, probe)) {
                    EXPECT_TRUE(std::binary_search(near.begin(), near.end(), k))
                        << "text " << k << " at probe " << probe.left << "," << probe.top;
                }
            for (const std::size_t k : near) EXPECT_LT(k, texts.size());
            // The least index of a small text that meets the probe, whichever
            // cell it was noted in first.
            const auto small = [&](std::size_t k) {
                return Meet(texts[k].rect, probe) && std::abs(texts[k].rect.width) < 100;
            };
            std::optional<std::size_t> least;
            for (std::size_t k = texts.size(); k-- > 0;)
                if (small(k)) least = k;
            EXPECT_EQ(grid.FirstNear(probe, small), least)
                << "probe " << probe.left << "," << probe.top;
        }
    };
    check(200, 100);
    // Texts added later are noted by the next sync; the last stands in an
    // earlier cell of the probe at (155, 72) than the one before it.
    texts.push_back(At(96, 51, 10, 10));
    texts.push_back(At(162, 70, 10, 8));
    texts.push_back(At(130, 68, 30, 10));
    check(200, 100);
    // Texts taken out, then others added: the grid notes the list again.
    texts.erase(texts.begin(), texts.begin() + 3);
    texts.push_back(At(5, 5, 10, 10));
    grid.Invalidate();
    check(200, 100);
    check(64, 640);
}

} // namespace
} // namespace tarvex
