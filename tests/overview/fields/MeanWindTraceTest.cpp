#include "overview/fields/MeanWindTrace.h"

#include "OverviewTestSession.h"
#include "compute/TimeHeightFields.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;
constexpr int M = test::OverviewTestSession::kModel;

TEST(MeanWindColor, BoundsBelongToTheLowerClass) {
    EXPECT_EQ(MeanWindColor(-3.0f), RGB(0, 232, 0));
    EXPECT_EQ(MeanWindColor(2.0f), RGB(0, 232, 0));
    EXPECT_EQ(MeanWindColor(2.01f), RGB(232, 232, 0));
    EXPECT_EQ(MeanWindColor(4.0f), RGB(232, 232, 0));
    EXPECT_EQ(MeanWindColor(4.01f), RGB(232, 0, 0));
}

TEST(DrawWindScale, ThreeLevelsAroundTheChosenOneLowestAtTheBottom) {
    test::OverviewTestSession t;
    RecordingSurface pic(120, 70);
    // Levels 1 .. 4 of the test run lie at 1000, 900, 800, 700 mb.
    DrawWindScale(pic, *t.session.profile, 3, 2);
    const auto bars = pic.OperationsOf(Kind::Line);
    const auto labels = pic.OperationsOf(Kind::Text);
    ASSERT_EQ(bars.size(), 3u);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(bars[0].y1, 500.0);
    EXPECT_EQ(bars[0].color, RGB(255, 0, 255));
    EXPECT_EQ(bars[2].y1, 100.0);
    EXPECT_EQ(labels[0].text, "1000 mb");
    EXPECT_EQ(labels[1].text, "800 mb");
    EXPECT_EQ(labels[2].text, "600 mb");
    EXPECT_EQ(labels[0].y1, 420.0);
}

class MeanWindTrace : public ::testing::Test {
  protected:
    // Every level blows from the column's direction at 10 kt.
    void Directions(std::initializer_list<float> byColumn) {
        int c = 0;
        for (float d : byColumn) {
            for (int k = 0; k <= test::OverviewTestSession::kLevels; ++k) {
                s().WindDirection(M, c, k) = d;
                s().WindSpeed(M, c, k) = 10.0f;
            }
            ++c;
        }
    }
    ProfileArrays& s() { return *t.session.profile; }
    test::OverviewTestSession t{2};
};

TEST_F(MeanWindTrace, TurnThroughNorthLeavesAtTheTopAndComesBackFromTheBottom) {
    // The layer's means as made, so that the turn is exactly 180 degrees.
    TimeHeightFields& f = *t.session.timeHeight;
    const float directions[] = {350.0f, 10.0f, 190.0f};
    for (int c = 0; c < 3; ++c) f.MeanWindDirection(M, c) = directions[c];
    f.MeanWindLayer = {2, 4, M};
    t.options.MeanWindLevels = {2, 4};
    PlotMeanWind(t.ctx);
    const auto lines = t.picRH.OperationsOf(Kind::Line);
    const auto dots = t.picRH.OperationsOf(Kind::Circle);
    // 350 -> 10 wraps (two segments); 10 -> 190 is exactly 180: one segment.
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NEAR(lines[0].x2, 1.0, 1e-9);
    EXPECT_NEAR(lines[0].y2, 370.0, 0.01);
    EXPECT_NEAR(lines[1].x1, 0.0, 1e-9);
    EXPECT_NEAR(lines[1].y1, -10.0, 0.01);
    EXPECT_NEAR(lines[1].x2, 1.5, 1e-9);
    EXPECT_NEAR(lines[1].y2, 10.0, 0.01);
    EXPECT_NEAR(lines[2].y2, 190.0, 0.01);
    ASSERT_EQ(dots.size(), 4u);
    EXPECT_DOUBLE_EQ(dots[0].radius, 0.3);
    // Equal level winds: no spread, green dots.
    EXPECT_EQ(dots[0].state.fillColor, RGB(0, 232, 0));
    EXPECT_EQ(t.picRH.DrawWidth(), 1);
}

TEST_F(MeanWindTrace, RecomputedForANewLayerOrModelOrReadNotForTheSameOne) {
    Directions({90.0f, 90.0f, 90.0f});
    TimeHeightFields& f = *t.session.timeHeight;
    MakeMeanWind(s(), 1, 3, f);
    EXPECT_NEAR(f.MeanWindDirection(M, 0), 90.0, 0.01);
    s().WindDirection(M, 0, 2) = 180.0f; // changed behind the cache
    MakeMeanWind(s(), 1, 3, f);
    EXPECT_NEAR(f.MeanWindDirection(M, 0), 90.0, 0.01);
    // The same depth one level higher is another layer: levels 2..4 now
    // hold two easterlies and a southerly.
    MakeMeanWind(s(), 2, 4, f);
    EXPECT_GT(f.MeanWindDirection(M, 0), 100.0f);
    s().WindDirection(M, 0, 2) = 90.0f;
    t.session.ClearCachesAfterRead();
    MakeMeanWind(s(), 2, 4, f);
    EXPECT_NEAR(f.MeanWindDirection(M, 0), 90.0, 0.01);
}

} // namespace
} // namespace tarvex
