#include "profile/diagrams/SoundingDiagram.h"
#include "compute/ProfileBuilder.h"
#include "files/DerivedFields.h"
#include "files/Session.h"
#include "platform/RasterSurface.h"
#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

// A five-level sounding over a 1000 mb surface, drawn on a recording surface.
class Diagram : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1000.0f;
        p.Levels = {{1000, 100, 20, 15, 0, 0, 17},
                    {850, 1500, 10, 5, 0, 0, 7},
                    {700, 3000, 0, -10, 0, 0, -3},
                    {500, 5600, -20, -35, 0, 0, -22},
                    {300, 9200, -45, -60, 0, 0, -46}};
        test::WriteProfile(*session.profile, p);
        ProfileArrays& s = *session.profile;
        s.DiagramTopPressure = 250;
        s.DiagramBottomPressure = 1096;
        FindTopLevel(s);
        MakeHeightGridPressures(s, session.heightGrid);
    }

    std::vector<DrawOperation> Lines(Rgb color) const {
        std::vector<DrawOperation> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Line))
            if (op.color == color) out.push_back(op);
        return out;
    }

    Session session;
    SoundingView view;
    RecordingSurface pic{1000, 800};
};

TEST_F(Diagram, TraceVerticesFollowTheSkewFormula) {
    DrawSounding(pic, session, view);
    const double k = 150.0 / std::log(100.0); // 32.572
    const double base = std::log(1000.0);
    // The temperature trace: a point at level 1, then a line to each level.
    const auto red = Lines(RGB(255, 0, 0));
    ASSERT_EQ(red.size(), 4u);
    const float temps[] = {10, 0, -20, -45};
    const float pressures[] = {850, 700, 500, 300};
    for (std::size_t i = 0; i < red.size(); ++i) {
        EXPECT_NEAR(red[i].x2, temps[i] + k * (base - std::log(pressures[i])), 1e-4) << i;
        EXPECT_NEAR(red[i].y2, std::log(pressures[i]), 1e-6) << i;
        EXPECT_EQ(red[i].state.drawWidth, 2);
    }
    EXPECT_NEAR(red[0].x1, 20.0, 1e-4); // at the surface x is the temperature itself
    const auto green = Lines(RGB(0, 255, 0));
    ASSERT_EQ(green.size(), 4u);
    EXPECT_NEAR(green[2].x2, -35 + k * (base - std::log(500.0)), 1e-4);
    // Without skew the traces are plotted at their plain temperatures.
    view.options.SkewT = false;
    pic.ForgetOperations();
    DrawSounding(pic, session, view);
    EXPECT_NEAR(Lines(RGB(255, 0, 0))[2].x2, -20.0, 1e-6);
}

TEST_F(Diagram, PressureLinesSitAtLnPInTheirTwoGreys) {
    DrawSounding(pic, session, view);
    std::vector<int> grey, light;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Line)) {
        if (op.state.drawMode != DrawMode::XorPen) continue;
        const int p = static_cast<int>(std::lround(std::exp(op.y1)));
        EXPECT_NEAR(op.y1, std::log(static_cast<double>(p)), 1e-9);
        EXPECT_EQ(op.state.drawStyle, DrawStyle::Dot);
        // Ticks at the left edge unless full lines are asked for.
        EXPECT_EQ(op.x1, 5.0);
        EXPECT_EQ(op.x2, 7.0);
        if (op.color == RGB(127, 127, 127)) grey.push_back(p);
        if (op.color == RGB(191, 191, 191)) light.push_back(p);
    }
    EXPECT_EQ(grey, (std::vector<int>{950, 850, 750, 650, 550, 450, 350, 250}));
    EXPECT_EQ(light, (std::vector<int>{1000, 900, 800, 700, 600, 500, 400, 300}));
    // Labels are printed as numbers are, a blank where a plus sign would be.
    bool labelled = false;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
        labelled = labelled || (op.text == " 950 " && op.x1 == 8.5);
    EXPECT_TRUE(labelled);
    // The ground band covers what lies below the ground line, so the label of
    // a line within half a text height above it is left out: 1000 mb on the
    // ground is unlabelled, 950 mb (a fifth of an inch of picture up) keeps
    // its label, and over a 1030 mb surface 1000 mb keeps its own.
    const auto labels = [&](float surface) {
        session.profile->SurfacePressure(session.profile->CurrentModel, 0) = surface;
        pic.ForgetOperations();
        DrawSounding(pic, session, view);
        std::string texts;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) texts += op.text + "|";
        return texts;
    };
    EXPECT_EQ(labels(1000.0f).find(" 1000 "), std::string::npos);
    EXPECT_NE(labels(1000.0f).find(" 950 "), std::string::npos);
    EXPECT_NE(labels(1030.0f).find(" 1000 "), std::string::npos);
}

TEST_F(Diagram, HeightLinesInThousandsOfFeet) {
    view.VerticalUnit = 1;
    const auto count = [&](int top) {
        session.profile->DiagramTopPressure = static_cast<std::int16_t>(top);
        pic.ForgetOperations();
        DrawSounding(pic, session, view);
        std::pair<int, int> lines{0, 0}; // grey, light grey
        for (const DrawOperation& op : pic.OperationsOf(Kind::Line)) {
            if (op.state.drawMode != DrawMode::XorPen) continue;
            lines.first += op.color == RGB(127, 127, 127);
            lines.second += op.color == RGB(191, 191, 191);
        }
        return lines;
    };
    // 450 mb is 20,768 ft: 1,000-ft lines in grey 1..20 without 5, 10, 15,
    // 20. At 445 mb (21,032 ft) only every fifth thousand feet is drawn.
    EXPECT_EQ(count(450), std::pair(16, 4));
    EXPECT_EQ(count(445), std::pair(0, 4));
    EXPECT_EQ(count(250), std::pair(0, 6)); // 33,931 ft
}

// The isotherm labels: one digit left of their ticks, but the one at the left
// edge (-60 on the default axis), which stands a blank clear of it, minus and
// all; with digital winds on, none stands in the wind column.
TEST_F(Diagram, IsothermLabelsClearOfTheLeftEdgeAndTheWindColumn) {
    auto label = [&](const std::string& text) {
        for (const DrawnText& t : pic.DrawnTexts())
            if (t.text == text) return std::optional<TextRect>(t.rect);
        return std::optional<TextRect>();
    };
    session.temperatureAxis.RightTemp = 40;
    DrawSounding(pic, session, view);
    const double blank = pic.TextWidth(" ") * 10.0; // 10 px per degree
    ASSERT_TRUE(label("-60 ") && label("-50 ") && label(" 40 "));
    EXPECT_NEAR(label("-60 ")->left, blank, 1e-9);
    EXPECT_NEAR(label("-50 ")->left, 100.0 - pic.TextWidth("0") * 10.0, 1e-9);
    view.options.WindDigital = true;
    DrawSounding(pic, session, view);
    EXPECT_TRUE(label(" 20 "));
    EXPECT_FALSE(label(" 30 ")); // at 90 % of the width: in the column
    for (const DrawnText& t : pic.DrawnTexts())
        EXPECT_TRUE(t.rect.left >= 860.0 || t.rect.Right() <= 860.0) << t.text;
}

TEST_F(Diagram, IsothermStepAndDryAdiabats) {
    TemperatureAxisEnds& axis = session.temperatureAxis;
    axis.LeftTemp = -34;
    axis.RightTemp = 10; // 44 degrees wide: 5-degree isotherms
    view.options.DryAdiabats = true;
    DrawSounding(pic, session, view);
    std::vector<double> isotherms;
    for (const DrawOperation& op : Lines(RGB(0, 0, 255))) isotherms.push_back(op.x1);
    ASSERT_GE(isotherms.size(), 2u);
    EXPECT_DOUBLE_EQ(isotherms[1] - isotherms[0], 5.0);
    // Each adiabat climbs from 1000 mb to 700 mb in 10 mb steps.
    const auto adiabats = Lines(RGB(64, 128, 128));
    // One adiabat every 5 degrees from a step left of the axis (-40 C) to a
    // step right of its skewed 700 mb end: 10 + 11.6 + 5 rounds to 27, so 25 C
    // is the last of 14.
    ASSERT_EQ(adiabats.size(), 14u * 31);
    EXPECT_NEAR(adiabats[30].y2, std::log(700.0), 1e-9);
    for (std::size_t k = 0; k < 14; ++k)
        EXPECT_NEAR(adiabats[k * 31].x1, -40.0 + 5.0 * static_cast<double>(k), 1e-4);
    // theta conserved: the line that starts at 20 C reaches 700 mb at
    // 293.16 * 0.7^(2/7) - 273.16 = 293.16 * 0.90311 - 273.16 = -8.40 C.
    const double k = 150.0 / std::log(100.0);
    EXPECT_NEAR(adiabats[12 * 31 + 30].x2 - k * std::log(1000.0 / 700.0), -8.40, 0.01);
    axis.RightTemp = 11; // 45 wide: 10-degree steps
    pic.ForgetOperations();
    DrawSounding(pic, session, view);
    const auto wide = Lines(RGB(0, 0, 255));
    EXPECT_DOUBLE_EQ(wide[1].x1 - wide[0].x1, 10.0);
}

TEST_F(Diagram, NoAdiabatsAboveHighGroundAndNothingWhileSuspended) {
    session.profile->SurfacePressure(1, 0) = 650.0f;
    view.options.DryAdiabats = true;
    DrawSounding(pic, session, view);
    EXPECT_TRUE(Lines(RGB(64, 128, 128)).empty());
    pic.ForgetOperations();
    view.SuspendRedraw = true;
    DrawSounding(pic, session, view);
    EXPECT_TRUE(pic.Operations().empty());
}

TEST_F(Diagram, DrawsInItsFixedOrder) {
    session.options.ElevatedPTLevel = 2;
    view.options.WetBulb = true;
    view.options.Icing = true;
    session.config.HighlightIsotherms = {-12.0f};
    DrawSounding(pic, session, view);
    // First occurrence of each element in the sequence of operations.
    auto first = [&](auto match) {
        const auto& ops = pic.Operations();
        return std::find_if(ops.begin(), ops.end(), match) - ops.begin();
    };
    auto lineOf = [](Rgb c) {
        return [c](const DrawOperation& op) { return op.kind == Kind::Line && op.color == c; };
    };
    const auto clear = first([](const DrawOperation& op) { return op.kind == Kind::Clear; });
    const auto raised = first([](const DrawOperation& op) {
        return op.kind == Kind::FilledBox && op.color == RGB(97, 54, 0);
    });
    const auto lines =
        first([](const DrawOperation& op) { return op.state.drawMode == DrawMode::XorPen; });
    const auto ground = first([](const DrawOperation& op) {
        return op.kind == Kind::FilledBox && op.color == RGB(124, 54, 0);
    });
    const auto isotherm = first(lineOf(RGB(0, 0, 255)));
    const auto highlight = first(lineOf(RGB(0, 255, 255)));
    const auto wetBulb = first([](const DrawOperation& op) {
        return op.kind == Kind::Point && op.color == RGB(0, 255, 255);
    });
    const auto icing = first([](const DrawOperation& op) {
        return op.kind == Kind::Point && op.color == RGB(0, 0, 255);
    });
    const auto dew = first(lineOf(RGB(0, 255, 0)));
    const auto temp = first(lineOf(RGB(255, 0, 0)));
    const std::vector<long> order = {clear,     raised,  lines, ground, isotherm,
                                     highlight, wetBulb, icing, dew,    temp};
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_LT(temp, static_cast<long>(pic.Operations().size()));
}

TEST_F(Diagram, IcingTraceLiesOnZeroWhereSaturated) {
    ProfileArrays& s = *session.profile;
    s.DewPoint(1, 0, 3) = s.Temperature(1, 0, 3);
    view.options.Icing = true;
    DrawSounding(pic, session, view);
    const auto icing = Lines(RGB(0, 0, 255));
    // The icing trace's second line ends at level 3 (700 mb): saturated, so
    // on the 0 C isotherm of the skewed frame.
    const double k = 150.0 / std::log(100.0);
    bool found = false;
    for (const DrawOperation& op : icing)
        if (std::fabs(op.y2 - std::log(700.0)) < 1e-9 && op.state.drawWidth == 2) {
            EXPECT_NEAR(op.x2, k * std::log(1000.0 / 700.0), 1e-4);
            found = true;
        }
    EXPECT_TRUE(found);
}

TEST(DiagramRaster, ExclusiveOrLinesLeaveNoTraceWhenDrawnTwice) {
    RasterSurface pic(200, 200);
    pic.SetBackColor(RGB(0, 0, 0));
    pic.Clear();
    pic.Scale(0, std::log(100.0), 100, std::log(1096.0));
    pic.FilledBox(0, std::log(900.0), 100, std::log(1000.0), RGB(124, 54, 0));
    const QImage before = pic.Image().copy();
    pic.SetDrawMode(DrawMode::XorPen);
    pic.SetDrawStyle(DrawStyle::Dot);
    for (int pass = 0; pass < 2; ++pass)
        for (int p = 1000; p >= 100; p -= 100)
            pic.Line(0, std::log(p), 100, std::log(p), RGB(127, 127, 127));
    EXPECT_EQ(pic.Image(), before);
}

} // namespace
} // namespace tarvex
