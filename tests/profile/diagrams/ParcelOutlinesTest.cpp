#include "profile/diagrams/ParcelOutlines.h"
#include "compute/Parcels.h"
#include "compute/ProfileBuilder.h"
#include "files/DerivedFields.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/ReadableText.h"
#include "platform/RecordingSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

const double kSkew = 150.0 / std::log(100.0);
const double kBase = std::log(1000.0);
constexpr Rgb kCinBlue = RGB(0, 127, 255);

double Skewed(double T, double p) {
    return T + kSkew * (kBase - std::log(p));
}

// Nine levels over a 1000 mb surface; the parcel rises freely from 850 mb to
// 300 mb and condenses at 920 mb. Each test draws the frame once, then the
// outlines on their own with a cache of its own.
class Outlines : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1000.0f;
        p.Levels = {{1000, 100, 20, 15},   {950, 550, 16, 12},    {900, 1000, 17, 5},
                    {850, 1500, 18, 2},    {800, 2000, 14, 0},    {700, 3000, 6, -20},
                    {500, 5600, -15, -30}, {300, 9200, -40, -55}, {200, 11800, -50, -70}};
        test::WriteProfile(s(), p);
        s().DiagramTopPressure = 150;
        FindTopLevel(s());
        s().LFCPressure(1, 0) = 850.0f;
        s().EQLPressure(1, 0) = 300.0f;
        s().LCLPressure(1, 0) = 920.0f;
        s().ConvectiveTemperature(1, 0) = 99.0f;
    }

    ProfileArrays& s() { return *session.profile; }

    // The frame of a redraw, then only the outlines.
    void Draw() {
        DrawSounding(pic, session, view);
        pic.ForgetOperations();
        DrawParcelOutlines(pic, session, view, cache);
    }

    std::vector<DrawOperation> Lines(Rgb color) const {
        std::vector<DrawOperation> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Line))
            if (op.color == color) out.push_back(op);
        return out;
    }
    std::vector<DrawOperation> Texts() const { return pic.OperationsOf(Kind::Text); }

    Session session;
    SoundingView view;
    ParcelOutlineCache cache;
    RecordingSurface pic{1000, 800};
};

TEST_F(Outlines, PositiveAreaRunsDownTheMoistAdiabatFromTheEquilibriumLevel) {
    view.options.Parcel = true;
    Draw();
    // Starts at the air temperature of the equilibrium level (-40 C, 300 mb).
    const auto points = pic.OperationsOf(Kind::Point);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NEAR(points[0].x1, Skewed(-40, 300), 1e-4);
    EXPECT_NEAR(points[0].y1, std::log(300.0), 1e-6);
    EXPECT_EQ(points[0].color, kYellow);
    // The 300 mb level itself is skipped; 500, 700, 800 and 850 mb follow,
    // then the closing piece at the level of free convection.
    const auto yellow = Lines(kYellow);
    const double pressures[] = {500, 700, 800, 850, 850};
    ASSERT_EQ(yellow.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const double p = pressures[i];
        EXPECT_NEAR(yellow[i].y2, std::log(p), 1e-6) << p;
        EXPECT_NEAR(yellow[i].x2, Skewed(WetLift(-40.0f, 300.0f, static_cast<float>(p)), p), 1e-3)
            << p;
        EXPECT_EQ(yellow[i].state.drawWidth, 2);
    }
    EXPECT_EQ(pic.DrawWidth(), 1);
    EXPECT_TRUE(Lines(kCinBlue).empty());
}

TEST_F(Outlines, NegativeAreaEndsWithTheDryAdiabatToTheGround) {
    view.options.CINS = true;
    Draw();
    const auto points = pic.OperationsOf(Kind::Point);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NEAR(points[0].x1, Skewed(18, 850), 1e-4); // the air at the LFC
    const auto blue = Lines(kCinBlue);
    ASSERT_EQ(blue.size(), 3u); // 900 mb, the LCL at 920 mb, the ground
    EXPECT_NEAR(blue[0].y2, std::log(900.0), 1e-6);
    EXPECT_NEAR(blue[0].x2, Skewed(WetLift(18.0f, 850.0f, 900.0f), 900), 1e-3);
    EXPECT_NEAR(blue[1].y2, std::log(920.0), 1e-6);
    const double atLcl = blue[1].x2 - kSkew * (kBase - std::log(920.0));
    EXPECT_NEAR(atLcl, WetLift(18.0f, 850.0f, 920.0f), 1e-3);
    // Dry adiabat from the LCL to 1000 mb: T (K) grows as p^(2/7).
    const double ground = (atLcl + 273.16) * std::pow(1000.0 / 920.0, 2.0 / 7.0) - 273.16;
    EXPECT_NEAR(blue[2].x2, ground, 1e-3);
    EXPECT_NEAR(blue[2].y2, kBase, 1e-6);
    EXPECT_EQ(pic.DrawWidth(), 1);
}

TEST_F(Outlines, OutlinesNeedAConvectiveLayerAndAStartTemperature) {
    view.options.Parcel = view.options.CINS = true;
    s().LFCPressure(1, 0) = 950.0f; // level 2 itself: no layer
    Draw();
    EXPECT_TRUE(pic.Operations().empty());
    // No equilibrium level in the file: the positive area has no start.
    s().LFCPressure(1, 0) = 850.0f;
    s().EQLPressure(1, 0) = 0.0f;
    Draw();
    EXPECT_TRUE(Lines(kYellow).empty());
    EXPECT_FALSE(Lines(kCinBlue).empty());
    // The air at the level of free convection unknown: no negative area.
    s().EQLPressure(1, 0) = 300.0f;
    s().Temperature(1, 0, 4) = std::nanf("");
    Draw();
    EXPECT_TRUE(Lines(kCinBlue).empty());
    EXPECT_FALSE(Lines(kYellow).empty());
    for (const DrawOperation& op : pic.Operations())
        EXPECT_TRUE(std::isfinite(op.x1 + op.y1 + op.x2 + op.y2));
}

TEST_F(Outlines, CompleteOutlinesAreDrawnFromTheCacheUntilARead) {
    view.options.Parcel = view.options.CINS = true;
    Draw();
    EXPECT_EQ(cache.CapeParcelDone(1, 0), kFlagTrue);
    EXPECT_EQ(cache.CinParcelDone(1, 0), kFlagTrue);
    // The level below the LFC holds the parcel at the LFC.
    EXPECT_NEAR(cache.CapeParcelTemp(1, 0, 3), WetLift(-40.0f, 300.0f, 850.0f), 1e-3);
    EXPECT_NEAR(cache.CinParcelTemp(1, 0, 2), WetLift(18.0f, 850.0f, 920.0f), 1e-3);

    // A complete hour is drawn from what was kept.
    cache.CapeParcelTemp(1, 0, 7) = 50.0f;
    cache.CinParcelTemp(1, 0, 3) = 30.0f;
    Draw();
    EXPECT_NEAR(Lines(kYellow)[0].x2, Skewed(50, 500), 1e-4);
    EXPECT_NEAR(Lines(kCinBlue)[0].x2, Skewed(30, 900), 1e-4);
    // After a read the parcel is lifted again.
    cache.ClearAfterRead();
    Draw();
    EXPECT_NEAR(Lines(kYellow)[0].x2, Skewed(WetLift(-40.0f, 300.0f, 500.0f), 500), 1e-3);
    EXPECT_NEAR(Lines(kCinBlue)[0].x2, Skewed(WetLift(18.0f, 850.0f, 900.0f), 900), 1e-3);

    // A walk that starts at the equilibrium level (the diagram's top) or at
    // the level of free convection keeps nothing.
    cache.ClearAfterRead();
    s().DrawLevelCount(1) = 8;
    Draw();
    EXPECT_EQ(cache.CapeParcelDone(1, 0), kFlagFalse);
    EXPECT_EQ(cache.CinParcelDone(1, 0), kFlagTrue);
    cache.ClearAfterRead();
    s().DrawLevelCount(1) = 4;
    Draw();
    EXPECT_EQ(cache.CinParcelDone(1, 0), kFlagFalse);
    EXPECT_EQ(Lines(kCinBlue).size(), 3u); // still whole on the picture
}

TEST_F(Outlines, NegativeAreaClosesAtACondensationLevelBelowLevelTwo) {
    // Condensation at 960 mb, between level 1 and level 2 (950 mb): no level
    // above the ground lies below it, yet the dry leg starts there.
    view.options.CINS = true;
    s().LCLPressure(1, 0) = 960.0f;
    Draw();
    const auto blue = Lines(kCinBlue);
    ASSERT_EQ(blue.size(), 4u); // 900, 950, the LCL, the ground
    EXPECT_NEAR(blue[1].y2, std::log(950.0), 1e-6);
    EXPECT_NEAR(blue[2].y2, std::log(960.0), 1e-6);
    const double atLcl = WetLift(18.0f, 850.0f, 960.0f);
    EXPECT_NEAR(blue[2].x2, Skewed(atLcl, 960), 1e-3);
    const double ground = (atLcl + 273.16) * std::pow(1000.0 / 960.0, 2.0 / 7.0) - 273.16;
    EXPECT_NEAR(blue[3].x2, ground, 1e-3);
    EXPECT_NEAR(cache.CinParcelTemp(1, 0, 1), atLcl, 1e-3);
    // Upright, the same temperatures stand at their plain values.
    view.options.SkewT = false;
    Draw();
    EXPECT_NEAR(Lines(kCinBlue)[2].x2, atLcl, 1e-3);
}

TEST_F(Outlines, ConvectiveTemperatureMarksTheGroundBelow99) {
    view.options.ConvectiveTemp = true;
    Draw(); // 99: none
    EXPECT_TRUE(Texts().empty());
    // The mark on the ground line centred on the temperature, the value
    // centred on the mark, its box clear of the mark's.
    const double h = pic.TextHeight("v");
    s().ConvectiveTemperature(1, 0) = 24.6f;
    Draw();
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "v");
    EXPECT_NEAR(texts[0].x1, 24.6 - pic.TextWidth("v") / 2.0, 1e-4);
    EXPECT_NEAR(texts[0].y1, kBase - h, 1e-6);
    EXPECT_EQ(texts[1].text, "24.6");
    EXPECT_NEAR(texts[1].x1, 24.6 - pic.TextWidth("24.6") / 2.0, 1e-4);
    EXPECT_NEAR(texts[1].y1, kBase - 2.0 * h, 1e-6);
    EXPECT_TRUE(TextIsReadable(pic));
    EXPECT_TRUE(LabelsAtTheirAnchors(pic));

    // On the diagram from -40 to 40 C: beyond an edge there is no mark; the
    // value with a double arrow over that edge stands on the ground line
    // against it, whole. (The full redraw ends in the frame 0 to 100 across.)
    session.temperatureAxis.LeftTemp = -40;
    session.temperatureAxis.RightTemp = 40;
    auto drawnAt = [&](float ct, const std::string& text) -> std::optional<double> {
        s().ConvectiveTemperature(1, 0) = ct;
        pic.ForgetOperations();
        DrawSounding(pic, session, view);
        const std::vector<std::string> drawn = TextsOf(pic.DrawnTexts());
        EXPECT_EQ(std::ranges::find(drawn, "v"), drawn.end()) << text;
        EXPECT_TRUE(TextIsReadable(pic)) << text;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text))
            if (op.text == text) {
                EXPECT_NEAR(op.y1, kBase - h, 1e-6) << text;
                return op.x1;
            }
        return std::nullopt;
    };
    const double across = 80.0 / 100.0; // temperature units per unit of the last frame
    EXPECT_NEAR(drawnAt(40.1f, "40.1 >>").value_or(0.0), 40.0 - pic.TextWidth("40.1 >>") * across,
                1e-4);
    EXPECT_NEAR(drawnAt(-40.2f, "<< -40.2").value_or(0.0), -40.0, 1e-4);

    // The condensation level low at the right edge: its label slides along
    // its level away from the value, inside the picture or beyond it, so
    // that the value never reads as the level's.
    view.options.LCL = true;
    s().LCLPressure(1, 0) = 965.0f;
    s().LCLTemperature(1, 0) = 37.0f;
    const double digit = pic.ToPixelX(pic.TextWidth("0")) - pic.ToPixelX(0.0);
    const double line = pic.ToPixelY(h) - pic.ToPixelY(0.0);
    for (const float ct : {38.0f, 45.0f}) {
        s().ConvectiveTemperature(1, 0) = ct;
        DrawSounding(pic, session, view);
        const std::string value = Format(ct, "0.0") + (ct > 40.0f ? " >>" : "");
        EXPECT_TRUE(StandsApartFromLabels(pic, value, "v", 3.0 * digit - 1.0, line / 2.0 - 1.0))
            << value;
        EXPECT_TRUE(TextIsReadable(pic));
        EXPECT_TRUE(LabelsAtTheirAnchors(pic));
        const std::vector<std::string> drawn = TextsOf(pic.DrawnTexts());
        // (slid left of its point, it points back at it)
        EXPECT_NE(std::ranges::find(drawn, "LCL>"), drawn.end());
    }
    view.options.ConvectiveTemp = false;
    Draw();
    EXPECT_TRUE(Texts().empty());
}

} // namespace
} // namespace tarvex
