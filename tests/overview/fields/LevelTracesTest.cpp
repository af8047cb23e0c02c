#include "overview/fields/LevelTraces.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"
#include "platform/Format.h"

#include "OverviewTestSession.h"
#include "TraceTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

using test::LinesIn;
using test::OverviewTestSession;
using test::ToPixels;
constexpr int m = OverviewTestSession::kModel;

// Four hours: column c at x = (4 - c) * 100 px of 500; pressure p at
// y = 300 log10(p / 100) px of 300 (1000 mb at the bottom, 100 mb at the top).
struct FourHours : OverviewTestSession {
    FourHours() : OverviewTestSession(3) {}
    ProfileArrays& s = *session.profile;
};

TEST(LevelTraces, CloudBaseAndParcelLevelsBreakWhereALevelIsMissing) {
    FourHours o;
    // Hour 2 has no cloud base; hour 3 alone draws nothing.
    const float base[] = {1000, 316.2278f, 0, 500};
    const float lcl[] = {900, 800, 0, 700}; // no LCL at hour 2
    // The LFC must lie more than 40 mb above the 1000 mb entry of level 0.
    const float lfc[] = {960, 959.9f, 700, 650};
    for (int t = 0; t <= 3; ++t) {
        o.s.CloudBase(m, t) = base[t];
        o.s.LCLPressure(m, t) = lcl[t];
        o.s.LFCPressure(m, t) = lfc[t];
        o.s.EQLPressure(m, t) = 500;
    }
    PlotCloudBase(o.ctx);
    auto lines = LinesIn(o.picRH, RGB(255, 255, 0));
    ASSERT_EQ(lines.size(), 1u);
    const auto from = ToPixels(lines[0], lines[0].x1, lines[0].y1, 500, 300);
    const auto to = ToPixels(lines[0], lines[0].x2, lines[0].y2, 500, 300);
    EXPECT_NEAR(from.x, 400, 1e-6);
    EXPECT_NEAR(from.y, 300, 1e-3);
    EXPECT_NEAR(to.x, 300, 1e-6);
    EXPECT_NEAR(to.y, 150, 1e-3);
    EXPECT_EQ(lines[0].state.drawWidth, 4);
    EXPECT_EQ(o.picRH.DrawWidth(), 1);

    o.picRH.ForgetOperations();
    o.options.HeightsColours = {0, 0x0000FF, 0x00FFFF, OverviewOptions::kButtonFaceColour};
    PlotHeights(o.ctx);
    lines = LinesIn(o.picRH, RGB(255, 0, 0));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(ToPixels(lines[0], lines[0].x1, lines[0].y1, 500, 300).y, 286.27, 0.01);
    lines = LinesIn(o.picRH, RGB(255, 255, 0));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(ToPixels(lines[0], lines[0].x1, lines[0].y1, 500, 300).x, 300, 1e-6);
    EXPECT_TRUE(LinesIn(o.picRH, RGB(0, 192, 0)).empty());

    // Every toggle off: nothing drawn, the width back at 1.
    o.picRH.ForgetOperations();
    o.options.HeightsColours.fill(OverviewOptions::kButtonFaceColour);
    o.picRH.SetDrawWidth(2);
    PlotHeights(o.ctx);
    EXPECT_TRUE(o.picRH.Operations().empty());
    EXPECT_EQ(o.picRH.DrawWidth(), 1);
}

TEST(LevelTraces, CloudCoverClassesAndGreyScale) {
    FourHours o;
    const float cover[] = {0, 0, 5.9f, 6, 25, 49.9f, 50, 89.9f, 90, 100, 100};
    for (int t = 0; t <= 3; ++t)
        for (int k = 1; k <= 10; ++k) o.s.CloudFraction(m, t, k) = cover[k];
    PlotClouds(o.ctx);
    const auto boxes = o.picRH.OperationsOf(DrawOperation::Kind::Box);
    // Per hour: levels 1-2 black, 3 lines, 4 and 5 cross-hatched, 6-7 grey,
    // 8-9 white (solid layers of one colour as one box); the top level is
    // never a box's lower edge.
    ASSERT_EQ(boxes.size(), 4u * 6u);
    const Rgb grey = RGB(127, 127, 127);
    const struct {
        FillStyle style;
        Rgb color;
        double lower, upper; // mb
    } expected[] = {
        {FillStyle::Solid, kBlack, 1000, 800},      {FillStyle::DownwardDiagonal, grey, 800, 700},
        {FillStyle::DiagonalCross, grey, 700, 600}, {FillStyle::DiagonalCross, grey, 600, 500},
        {FillStyle::Solid, grey, 500, 300},         {FillStyle::Solid, kWhite, 300, 100}};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(boxes[i].state.fillStyle, expected[i].style) << i;
        EXPECT_EQ(boxes[i].color, expected[i].color) << i;
        EXPECT_EQ(boxes[i].state.fillColor, expected[i].color) << i;
        EXPECT_NEAR(boxes[i].y1, std::log(expected[i].lower), 1e-6) << i;
        EXPECT_NEAR(boxes[i].y2, std::log(expected[i].upper), 1e-6) << i;
    }
    EXPECT_EQ(o.picRH.GetFillStyle(), FillStyle::Solid);

    o.picRH.ForgetOperations();
    o.options.CloudsToggle = true;
    PlotClouds(o.ctx);
    const auto grey2 = o.picRH.OperationsOf(DrawOperation::Kind::Box);
    // Greys 0; 15, 15; 64; 127, 127; 229, 229; 255 (50 x 2.55 and 90 x 2.55
    // are 127.4999... and 229.4999... in double precision).
    ASSERT_EQ(grey2.size(), 4u * 6u);
    EXPECT_EQ(grey2[0].state.fillColor, RGB(0, 0, 0));
    EXPECT_EQ(grey2[3].state.fillColor, RGB(127, 127, 127));
    EXPECT_NEAR(grey2[3].y1, std::log(600.0), 1e-6);
    EXPECT_EQ(grey2[5].state.fillColor, RGB(255, 255, 255));
}

TEST(LevelTraces, HailStripAndIsothermMarkers) {
    FourHours o;
    o.session.config.IsothermLabelStep = 500;
    WholeRunResults& run = *o.session.wholeRun;
    run.IsothermsDone(m) = kFlagTrue;
    const float zero[] = {8000, 8300, 8600, 9100};
    for (int t = 0; t <= 3; ++t) {
        run.FreezingLevelFt(m, t) = zero[t];
        run.Minus20LevelFt(m, t) = 20000;
        for (int k = 1; k <= 10; ++k) o.s.WindSpeed(m, t, k) = k <= 6 ? 40.0f : 10.0f;
    }
    // Hour 0: 13000 ft exactly, 500 mb wind 20 kt: green. Hour 1: 500 mb a
    // third of the way from 550 mb (40 kt) to 400 mb (10 kt), 30 kt exactly:
    // green. Hour 2: 13001 ft under 29.9 kt: red. Hour 3: no level above
    // 500 mb: no box.
    run.FreezingLevelFt(m, 0) = 13000;
    o.s.WindSpeed(m, 0, 6) = 20;
    run.FreezingLevelFt(m, 1) = 13001;
    o.s.Pressure(m, 1, 6) = 550;
    run.FreezingLevelFt(m, 2) = 13001;
    o.s.WindSpeed(m, 2, 6) = 29.9f;
    for (int k = 7; k <= 10; ++k) o.s.Pressure(m, 3, k) = 500;
    EXPECT_NEAR(*WindSpeedAt500(o.s, 1), 30.0f, 1e-4f);
    EXPECT_FALSE(WindSpeedAt500(o.s, 3));

    PlotIsothermLevels(o.ctx);
    const auto boxes = o.picRH.OperationsOf(DrawOperation::Kind::FilledBox);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].color, kGreen);
    EXPECT_EQ(boxes[1].color, kGreen);
    EXPECT_EQ(boxes[2].color, kRed);
    // One column wide over the top 15 % of the picture.
    const auto corner = ToPixels(boxes[2], boxes[2].x2, boxes[2].y2, 500, 300);
    EXPECT_NEAR(corner.x, 150, 1e-6);
    EXPECT_NEAR(corner.y, 45, 1e-6);

    // With the hail heights out of the way: 8000, 8300, 8600, 9100 ft mark
    // hours 0 and 2 (each change compared with the last marked hour must
    // exceed 500 ft); the -20 C level, flat, only hour 0.
    o.picRH.ForgetOperations();
    for (int t = 0; t <= 3; ++t) run.FreezingLevelFt(m, t) = zero[t];
    PlotIsothermLevels(o.ctx);
    EXPECT_EQ(o.picRH.OperationsOf(DrawOperation::Kind::Circle).size(), 3u);
    std::vector<std::string> texts;
    for (const auto& op : o.picRH.OperationsOf(DrawOperation::Kind::Text)) texts.push_back(op.text);
    // Fewer than five hours: no series names.
    EXPECT_EQ(texts, (std::vector<std::string>{"20.0", "8.0", "8.6"}));
    EXPECT_EQ(LinesIn(o.picRH, RGB(255, 127, 63)).size(), 6u);
    EXPECT_EQ(o.picRH.DrawWidth(), 1);

    // Scrolled past hour 0: its heights are not drawn (pulled in, they would
    // stand at hour 1 with hour 0's values); hour 2's stands by its marker.
    o.picRH.Clear();
    o.picRH.ForgetOperations();
    SetTimeWindow(o.axes, 2, 2);
    PlotIsothermLevels(o.ctx);
    const auto shown = o.picRH.OperationsOf(DrawOperation::Kind::Text);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "8.6");
    EXPECT_NEAR(shown[0].x1, 2 + 1.15 * o.picRH.TextWidth("H"), 1e-9);
}

// A marker centred 1.2 px below the ground line shows inside the picture, so
// it shows its height; a marker wholly below the picture shows neither.
TEST(LevelTraces, AnIsothermMarkerAtTheGroundLineShowsItsHeight) {
    FourHours o;
    o.session.config.IsothermLabelStep = 500;
    WholeRunResults& run = *o.session.wholeRun;
    run.IsothermsDone(m) = kFlagTrue;
    ScaleProfileFrame(o.picRH, o.axes);
    // The height (ft) whose level stands at pixel row py.
    const auto heightAt = [&](double py) {
        const auto p = static_cast<float>(std::exp(o.picRH.FromPixelY(py)));
        float lo = -9000.0f, hi = 9000.0f;
        for (int k = 0; k < 60; ++k) {
            const float mid = (lo + hi) / 2.0f;
            (PressureFromAltitude(mid) > p ? lo : hi) = mid;
        }
        return (lo + hi) / 2.0f;
    };
    // Markers 40 px across their radius (0.4 of a 100 px column).
    const float ground = heightAt(301.2);
    for (int t = 0; t <= 3; ++t) {
        run.Minus20LevelFt(m, t) = 20000;
        run.FreezingLevelFt(m, t) = t == 2 ? heightAt(341) : ground;
    }
    PlotIsothermLevels(o.ctx);
    std::vector<std::string> texts;
    for (const auto& op : o.picRH.OperationsOf(DrawOperation::Kind::Text)) {
        texts.push_back(op.text);
        EXPECT_LE(op.textRect.top + op.textRect.height, 300.0) << op.text;
    }
    const std::string height = Format(ground / 1000.0, "#0.0");
    EXPECT_EQ(texts, (std::vector<std::string>{"20.0", height, height}));
}

} // namespace
} // namespace tarvex
