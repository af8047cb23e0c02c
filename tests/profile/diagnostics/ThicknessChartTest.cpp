#include "profile/diagnostics/ThicknessChart.h"
#include "compute/ComputeState.h"
#include "compute/MandatoryHeights.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"
#include "profile/diagnostics/PrecipTypePanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

class ThicknessChartTest : public ::testing::Test {
  protected:
    void SetUp() override { test::WriteProfile(s, test::EvenLevels({-2, -4, -6})); }
    // Heights of column t with the two thicknesses given (m).
    void SetThickness(int t, float lower, float upper) {
        ThicknessResults& h = *session.thickness;
        h.ThicknessReady(1) = kFlagTrue;
        h.ThicknessHeights(1, t, kSurface1000) = 100.0f;
        h.ThicknessHeights(1, t, kSurface850) = 100.0f + lower;
        h.ThicknessHeights(1, t, kSurface700) = 100.0f + lower + upper;
    }
    // The boundary's end for temperatures at the given pressures.
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
    // Never within 1.5 C of 0 C: up past 700 mb.
    EXPECT_EQ(EndFor({{1000, 5}, {900, -2}, {800, -4}, {690, -8}}), up);
    // 900 and 790 mb within 1.5 C of 0 C: a layer 110 mb deep.
    EXPECT_EQ(EndFor({{1000, 5}, {900, 1}, {790, -1}, {690, -8}}), bend);
    // 900 and 800 mb only, 100 mb: no bend.
    EXPECT_EQ(EndFor({{1000, 5}, {900, 1}, {800, -1}, {750, -3}, {600, -12}}), up);
    EXPECT_TRUE(EndFor({{1000, 5}, {900, 3}}).empty()); // ends at (1548, 1295)
}

TEST_F(ThicknessChartTest, HoursSitOnEitherSideOfTheBoundaries) {
    struct Case {
        float lower, upper; // 1000-850 and 850-700 mb thickness
        ThicknessPoint at;
    };
    // Either side of the snow boundary at 850-700 = 1532.5 (drawn from
    // 1000-850 = 1295 to 1302) and of the rain boundary at 1000-850 = 1312.5;
    // outside the chart on its edges.
    for (const Case& k : {Case{1298, 1532, {1532, 1298}}, Case{1298, 1533, {1533, 1298}},
                          Case{1312, 1530, {1530, 1312}}, Case{1313, 1530, {1530, 1313}},
                          Case{1250, 1500, {1510, 1260}}, Case{1400, 1600, {1580, 1350}}}) {
        SetThickness(0, k.lower, k.upper);
        const auto circles = Plot(0, 6);
        ASSERT_EQ(circles.size(), 1u);
        EXPECT_EQ((ThicknessPoint{circles[0].x1, circles[0].y1}), k.at)
            << k.lower << " " << k.upper;
    }
    // The hour's values beside the chart: the lowest level, then the last
    // case's heights (100, 1500, 3100 m) and thicknesses.
    s.Pressure(1, 0, 1) = 1002.46f;
    s.Height(1, 0, 1) = 123.4f;
    const auto has = [&](const std::string& text) {
        const auto texts = pic.OperationsOf(Kind::Text);
        return std::any_of(texts.begin(), texts.end(),
                           [&](const DrawOperation& op) { return op.text == text; });
    };
    Plot(0, 6);
    for (const char* value : {"1: 1002.5mb 123m", "H1000:   100m", "H 850:  1500m", "H 700:  3100m",
                              "1000-850: 1400m", "850-700: 1600m"})
        EXPECT_TRUE(has(value)) << value;
    // A sounding too shallow for 700 mb: no point, never a negative
    // thickness on the chart's edge.
    session.thickness->ThicknessHeights(1, 0, kSurface700) = std::nanf("");
    EXPECT_TRUE(Plot(0, 6).empty());
    EXPECT_TRUE(has("H 700:  missing"));
}

TEST_F(ThicknessChartTest, TrailCountsForecastHours) {
    for (int t = 0; t <= 10; ++t) SetThickness(t, 1290.0f + static_cast<float>(t), 1540.0f);
    EXPECT_EQ(TrailColumns(48, 3), 16);
    EXPECT_EQ(TrailColumns(6, 0), 6);
    // Three hours a column: 6 hours are two columns back, 12 hours four; the
    // oldest circle 0.7 wide, the hour's 1.8.
    session.HoursPerColumn = 3;
    auto trail = Plot(10, 6);
    ASSERT_EQ(trail.size(), 3u);
    const double six[] = {0.7, 1.25, 1.8};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(trail[k].y1, 1298.0 + static_cast<double>(k));
        EXPECT_NEAR(trail[k].radius, six[k], 1e-12);
    }
    trail = Plot(10, 12);
    ASSERT_EQ(trail.size(), 5u);
    const double twelve[] = {0.7, 0.975, 1.25, 1.525, 1.8};
    for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(trail[k].radius, twelve[k], 1e-12);
    EXPECT_EQ(trail[0].y1, 1296.0);
    // Near the start of the run only the hours there are.
    trail = Plot(1, 12);
    ASSERT_EQ(trail.size(), 2u);
    EXPECT_NEAR(trail[0].radius, 1.525, 1e-12);

    // An hour without a point is left out; its neighbours are joined.
    session.thickness->ThicknessHeights(1, 9, kSurface700) = std::nanf("");
    EXPECT_EQ(Plot(10, 6).size(), 2u);
    const auto lines = pic.OperationsOf(Kind::Line);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const DrawOperation& op) {
        return op.y1 == 1298 && op.y2 == 1300 && op.x1 == 1540;
    }));
}

} // namespace
} // namespace tarvex
