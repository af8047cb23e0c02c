#include "profile/diagnostics/ThicknessChart.h"
#include "compute/ComputeState.h"
#include "compute/MandatoryHeights.h"
#include "compute/ProfileBuilder.h"
#include "platform/RecordingSurface.h"
#include "profile/data/Session.h"
#include "profile/diagnostics/PrecipTypePanel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

class ThicknessChartTest : public ::testing::Test {
  protected:
    // Heights of column t with the two thicknesses given (m): 1000 mb at
    // 100 m.
    void SetThickness(int t, float lower, float upper) {
        ThicknessResults& h = *session.thickness;
        h.ThicknessReady(1) = kFlagTrue;
        h.ThicknessHeights(1, t, kSurface1000) = 100.0f;
        h.ThicknessHeights(1, t, kSurface850) = 100.0f + lower;
        h.ThicknessHeights(1, t, kSurface700) = 100.0f + lower + upper;
    }
    // Temperatures at the given pressures, bottom up.
    std::vector<ThicknessPoint> EndFor(const std::vector<std::pair<float, float>>& levels) {
        test::OneTimeProfile p;
        for (const auto& [pressure, temperature] : levels)
            p.Levels.push_back({pressure, 0.0f, temperature});
        test::WriteProfile(s, p);
        return NearZeroBoundaryEnd(s, 0);
    }
    std::vector<DrawOperation> Plot(int c, int hours) {
        pic.ForgetOperations();
        PlotPTypeThickness(pic, session, static_cast<std::int16_t>(c), hours, backgrounds);
        return pic.OperationsOf(Kind::Circle);
    }

    Session session;
    ProfileArrays& s = *session.profile;
    RecordingSurface pic{437, 461};
    PrecipTypeBackgrounds backgrounds;
};

TEST_F(ThicknessChartTest, DeepNearFreezingLayerBendsTheSnowPelletBoundary) {
    const std::vector<ThicknessPoint> bend = {{1556, 1300}, {1550, 1307}};
    const std::vector<ThicknessPoint> up = {{1548, 1308}};
    // Never within 1.5 C of 0 C: up to 700 mb and beyond.
    EXPECT_EQ(EndFor({{1000, 5}, {900, -2}, {800, -4}, {690, -8}}), up);
    // 900 and 790 mb within 1.5 C of 0 C: a layer 110 mb deep.
    EXPECT_EQ(EndFor({{1000, 5}, {900, 1}, {790, -1}, {690, -8}}), bend);
    // 900 and 800 mb only, 100 mb: no bend; the first level above 700 mb
    // 1.5 C or more from 0 C ends it upward.
    EXPECT_EQ(EndFor({{1000, 5}, {900, 1}, {800, -1}, {750, -3}, {600, -12}}), up);
    EXPECT_TRUE(EndFor({{1000, 5}, {900, 3}}).empty()); // ends at (1548, 1295)

    // The chart draws it from (1548, 1295), two pixels wide.
    EndFor({{1000, 5}, {900, 1}, {790, -1}, {690, -8}});
    SetThickness(0, 1300, 1540);
    Plot(0, 6);
    int found = 0;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Line))
        if (op.x1 == 1548 && op.y1 == 1295 && op.x2 == 1556 && op.y2 == 1300) {
            ++found;
            EXPECT_EQ(op.state.drawWidth, 2);
        }
    EXPECT_EQ(found, 1);
}

TEST_F(ThicknessChartTest, HoursSitOnEitherSideOfTheBoundaries) {
    test::WriteProfile(s, test::EvenLevels({-2, -4, -6}));
    struct Case {
        float lower, upper; // 1000-850 and 850-700 mb thickness
        ThicknessPoint at;
    };
    // Either side of the snow boundary at 850-700 = 1532.5 and of the rain
    // boundary at 1000-850 = 1312.5; outside the chart on its edges.
    const Case cases[] = {
        {1298, 1532, {1532, 1298}}, {1298, 1533, {1533, 1298}}, {1312, 1530, {1530, 1312}},
        {1313, 1530, {1530, 1313}}, {1250, 1500, {1510, 1260}}, {1400, 1600, {1580, 1350}},
    };
    for (const Case& k : cases) {
        SetThickness(0, k.lower, k.upper);
        ThicknessPoint p;
        ASSERT_TRUE(ThicknessPointOf(session, 0, p));
        EXPECT_EQ(p, k.at) << k.lower << " " << k.upper;
        const auto circles = Plot(0, 6);
        ASSERT_EQ(circles.size(), 1u);
        EXPECT_EQ(circles[0].x1, k.at.x);
        EXPECT_EQ(circles[0].y1, k.at.y);
    }
    // The two boundaries are drawn where the cases put them.
    int drawn = 0;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Line)) {
        if (op.x1 == 1532.5 && op.y1 == 1295 && op.x2 == 1532.5 && op.y2 == 1302) ++drawn;
        if (op.x1 == 1510 && op.y1 == 1312.5 && op.x2 == 1544 && op.y2 == 1312.5) ++drawn;
    }
    EXPECT_EQ(drawn, 2);

    // A sounding too shallow for 700 mb: no point, never a negative
    // thickness on the chart's edge.
    session.thickness->ThicknessHeights(1, 0, kSurface700) = std::nanf("");
    ThicknessPoint p;
    EXPECT_FALSE(ThicknessPointOf(session, 0, p));
    EXPECT_TRUE(Plot(0, 6).empty());
    bool missing = false;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
        missing = missing || op.text == "H 700:  missing";
    EXPECT_TRUE(missing);
}

TEST_F(ThicknessChartTest, TrailCountsForecastHours) {
    test::WriteProfile(s, test::EvenLevels({-2, -4, -6}));
    for (int t = 0; t <= 10; ++t) SetThickness(t, 1290.0f + t, 1540.0f);
    EXPECT_EQ(TrailColumns(6, 1), 6);
    EXPECT_EQ(TrailColumns(48, 3), 16);
    EXPECT_EQ(TrailColumns(6, 0), 6);

    // Three hours a column: 6 hours are two columns back, 12 hours four; the
    // oldest circle 0.7 wide, the hour's 1.8.
    session.HoursPerColumn = 3;
    auto trail = Plot(10, 6);
    ASSERT_EQ(trail.size(), 3u);
    const double six[] = {0.7, 1.25, 1.8};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(trail[k].y1, 1298.0 + k);
        EXPECT_NEAR(trail[k].radius, six[k], 1e-12);
        EXPECT_EQ(trail[k].state.fillColor, kRed);
        EXPECT_EQ(trail[k].color, kBlue);
    }
    trail = Plot(10, 12);
    ASSERT_EQ(trail.size(), 5u);
    const double twelve[] = {0.7, 0.975, 1.25, 1.525, 1.8};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(trail[k].y1, 1296.0 + k);
        EXPECT_NEAR(trail[k].radius, twelve[k], 1e-12);
    }
    // Near the start of the run only the hours there are.
    trail = Plot(1, 12);
    ASSERT_EQ(trail.size(), 2u);
    EXPECT_EQ(trail[0].y1, 1290.0);
    EXPECT_NEAR(trail[0].radius, 1.525, 1e-12);

    // An hour without a point is left out; its neighbours are joined.
    session.thickness->ThicknessHeights(1, 9, kSurface700) = std::nanf("");
    trail = Plot(10, 6);
    ASSERT_EQ(trail.size(), 2u);
    int joined = 0;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Line))
        joined += op.x1 == 1540 && op.y1 == 1298 && op.x2 == 1540 && op.y2 == 1300;
    EXPECT_EQ(joined, 1);
}

} // namespace
} // namespace tarvex
