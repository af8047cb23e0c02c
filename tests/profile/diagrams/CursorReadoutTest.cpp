#include "profile/diagrams/CursorReadout.h"
#include "compute/Hodograph.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

// Pressure (mb) h feet above sea level in the program's standard atmosphere.
float PressureAtFeet(double h) {
    return static_cast<float>(1013.2 * std::pow(1.0 - h / (44307.7 * 3.281), 5.265));
}

// Four levels over a sea-level surface of 1013.2 mb.
class Readout : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1013.2f;
        p.Levels = {
            {1000, 0, 12.34f, 8.06f}, {850, 0, 5, -2}, {700, 0, -4, -15}, {500, 0, -20, -35}};
        test::WriteProfile(s, p);
        s.WindDirection(1, 0, 2) = 246.5f;
        s.WindSpeed(1, 0, 2) = 17.5f;
    }
    std::string Height(double feet, std::int16_t unit) {
        s.Pressure(1, 0, 3) = PressureAtFeet(feet);
        return MakeReadoutCaptions(s, 0, 3, unit).Axis.value_or("none");
    }
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    ProfileArrays& s = *store;
};

TEST_F(Readout, LevelAndCaptions) {
    EXPECT_EQ(CursorLevel(s, 0, 1010.0), 1);
    EXPECT_EQ(CursorLevel(s, 0, 850.0), 2); // exactly at a level: that level
    EXPECT_EQ(CursorLevel(s, 0, 849.9), 3);
    EXPECT_EQ(CursorLevel(s, 0, 499.0), 0); // above the top level: none
    const ReadoutCaptions c = MakeReadoutCaptions(s, 0, 2, 0);
    EXPECT_EQ(MakeReadoutCaptions(s, 0, 1, 0).Temp, "< 12.3");
    EXPECT_EQ(MakeReadoutCaptions(s, 0, 1, 0).DP, "8.1 >");
    EXPECT_EQ(c.Dir, "247");
    EXPECT_EQ(c.Kts, "18");
    EXPECT_EQ(c.Axis, "850mb");
    // Heights above ground: to the nearest 100 ft, or km without a leading
    // zero; no text for an unknown unit.
    EXPECT_EQ(Height(1249.0, 1), "1200'");
    EXPECT_EQ(Height(1251.0, 1), "1300'");
    EXPECT_EQ(Height(500.0 * 3.281, 2), ".5km");
    EXPECT_EQ(Height(2340.0 * 3.281, 2), "2.3km");
    EXPECT_EQ(Height(500.0, 3), "none");
}

TEST_F(Readout, ZoomAboutTheLargestSurfacePressure) {
    auto zoom = [&](int top, int bottom, int button) {
        s.DiagramTopPressure = static_cast<std::int16_t>(top);
        s.DiagramBottomPressure = static_cast<std::int16_t>(bottom);
        const bool redraw = ZoomPressureAxis(s, button);
        return std::make_tuple(redraw, s.DiagramTopPressure, s.DiagramBottomPressure);
    };
    using R = std::tuple<bool, std::int16_t, std::int16_t>;
    EXPECT_EQ(zoom(100, 1000, 1), (R{false, 100, 1000})); // nothing loaded
    s.MaxSurfacePressure = 1000.0f;
    EXPECT_EQ(zoom(100, 1050, 1), (R{true, 141, 1042}));
    EXPECT_EQ(s.DrawLevelCount(1), 4); // the top drawn level follows
    EXPECT_EQ(zoom(100, 1050, 2), (R{true, 67, 1059}));
    EXPECT_EQ(zoom(30, 1070, 4), (R{true, 30, 1070})); // wide enough
    // A range that would round shut stays as it was.
    s.MaxSurfacePressure = 998.7f;
    EXPECT_EQ(zoom(995, 996, 1), (R{true, 995, 996}));
}

TEST_F(Readout, TheHodographFollowsTheCursorLevel) {
    HodographResults hodo;
    hodo.HodoTopLevel(1, 0) = 3;
    s.StormU(1, 0) = 1.0f;
    for (int L = 0; L <= 4; ++L) hodo.SRWindV(1, 0, L) = static_cast<float>(10 * L);
    RecordingSurface pic(400, 400);
    std::int16_t mark = 0;
    auto follow = [&](std::int16_t L) {
        pic.ForgetOperations();
        FollowHodographLevel(pic, s, hodo, 0, L, mark);
        std::vector<std::pair<Rgb, double>> out; // colour and end y of each segment
        for (const DrawOperation& op : pic.OperationsOf(Kind::Line)) {
            EXPECT_DOUBLE_EQ(op.y2 - op.y1, 10.0);
            out.emplace_back(op.color, op.y2);
        }
        return out;
    };
    using S = std::vector<std::pair<Rgb, double>>;
    const Rgb yellow = RGB(255, 255, 0);
    const Rgb magenta = RGB(255, 0, 255);
    EXPECT_EQ(follow(0), S{}); // no level: nothing drawn or remembered
    EXPECT_EQ(mark, 0);
    EXPECT_EQ(follow(2), (S{{magenta, 20.0}}));
    EXPECT_EQ(pic.DrawWidth(), 2);
    EXPECT_EQ(follow(3), (S{{yellow, 20.0}, {magenta, 30.0}}));
    EXPECT_EQ(follow(4), (S{{yellow, 30.0}})); // above the layer: repaint only
    EXPECT_EQ(mark, 3);
}

} // namespace
} // namespace tarvex
