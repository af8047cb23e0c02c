#include "profile/diagrams/SnowGrowth.h"
#include "compute/ProfileBuilder.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace tarvex {
namespace {

constexpr Rgb kMoist = RGB(255, 255, 0);
constexpr Rgb kDry = RGB(255, 127, 255);

// The pieces drawn for a profile of (pressure, temperature, humidity) levels,
// upright (no skew), so that x is the temperature.
std::vector<DrawOperation> Pieces(const std::vector<std::array<float, 3>>& levels) {
    auto store = test::NewStore();
    test::OneTimeProfile p;
    p.SurfacePressure = levels.front()[0];
    for (const auto& level : levels) p.Levels.push_back({level[0], 0, level[1]});
    test::WriteProfile(*store, p);
    for (std::size_t i = 0; i < levels.size(); ++i)
        store->RelativeHumidity(1, 0, static_cast<int>(i) + 1) = levels[i][2];
    store->DrawLevelCount(1) = static_cast<std::uint16_t>(levels.size());
    SoundingView view;
    view.SkewFactor = 0.0f;
    view.SkewBaseLogP = static_cast<float>(std::log(p.SurfacePressure));
    RecordingSurface pic(1000, 800);
    DrawSnowGrowth(pic, *store, view);
    EXPECT_EQ(pic.DrawWidth(), 1);
    return pic.OperationsOf(DrawOperation::Kind::Line);
}

TEST(SnowGrowth, PiecesAreCutExactlyAtMinus12AndMinus18) {
    const auto pieces =
        Pieces({{1000, 5, 80}, {850, -10, 90}, {700, -15, 80}, {600, -20, 70}, {500, -30, 90}});
    ASSERT_EQ(pieces.size(), 2u);
    // In at -12 C, 2/5 of the way from 850 to 700 mb, where the humidity is
    // 3/5 of the way from 80 % to 90 %: 86 %, and 80 % at 700 mb: moist.
    EXPECT_NEAR(pieces[0].x1, -12.0, 1e-5);
    EXPECT_NEAR(pieces[0].y1, std::log(850.0 * std::pow(700.0 / 850.0, 0.4)), 1e-5);
    EXPECT_NEAR(pieces[0].x2, -15.0, 1e-5);
    EXPECT_EQ(pieces[0].color, kMoist);
    EXPECT_EQ(pieces[0].state.drawWidth, 3);
    // Out at -18 C, 3/5 of the way from 700 to 600 mb; 74 % there and 70 %
    // beyond the crossing: not moist.
    EXPECT_NEAR(pieces[1].x2, -18.0, 1e-5);
    EXPECT_NEAR(pieces[1].y2, std::log(700.0 * std::pow(600.0 / 700.0, 0.6)), 1e-5);
    EXPECT_EQ(pieces[1].color, kDry);
}

TEST(SnowGrowth, EdgesBelongToTheZoneAndSeventyFivePercentIsDry) {
    // Level 1 at -12 C starts inside: no crossing piece before it.
    const auto pieces = Pieces({{900, -12, 75}, {800, -18, 90}, {700, -25, 90}});
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_NEAR(pieces[0].y1, std::log(900.0), 1e-6);
    EXPECT_EQ(pieces[0].color, kDry);
    EXPECT_NEAR(pieces[1].y2, std::log(800.0), 1e-5); // leaves where level 2 is
    // A zone wholly between two levels is not drawn.
    EXPECT_TRUE(Pieces({{900, -10, 90}, {800, -20, 90}, {700, -25, 90}}).empty());
}

} // namespace
} // namespace tarvex
