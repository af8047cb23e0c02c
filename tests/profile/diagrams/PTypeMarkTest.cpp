#include "profile/diagrams/PTypeMark.h"
#include "compute/ComputeState.h"
#include "compute/ProfileBuilder.h"
#include "files/Session.h"
#include "platform/RecordingSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;

// Five levels over a 1010 mb surface with the humidity of each level.
class Mark : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1010.0f;
        p.Levels = {
            {1000, 100, 2}, {900, 900, -2}, {800, 1900, -5}, {700, 3000, -9}, {600, 4200, -15}};
        test::WriteProfile(s, p);
        const float rh[] = {96, 75, 50, 29.9f, 90};
        for (int L = 1; L <= 5; ++L) s.RelativeHumidity(1, 0, L) = rh[L - 1];
        s.DrawLevelCount(1) = 5;
        session.HoursPerColumn = 3;
    }
    // The mark of an hour: its text (empty for none) and dot positions.
    std::pair<std::string, std::vector<std::pair<double, double>>> MarkOf(float inches,
                                                                          std::int32_t code) {
        s.Precip(1, 0) = inches;
        session.ptype->PTypeCode(1, 0) = code;
        pic.Clear(); // the sounding is drawn afresh for each hour
        pic.ForgetOperations();
        PrintPrecipType(pic, session, 0);
        std::string text;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) text += op.text;
        std::vector<std::pair<double, double>> dots;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Circle))
            dots.emplace_back(op.x1, op.y1);
        return {text, dots};
    }
    using Dots = std::vector<std::pair<double, double>>;

    Session session;
    ProfileArrays& s = *session.profile;
    RecordingSurface pic{1000, 800};
};

TEST_F(Mark, HumidityBoxesReachHalfwayToTheirNeighbours) {
    DrawHumidityStrip(pic, s, 0);
    const auto boxes = pic.OperationsOf(Kind::FilledBox);
    ASSERT_EQ(boxes.size(), 4u); // none for 50 %
    // Level 1 from the surface (a pseudo-level as far below it as level 1
    // lies above) to 950 mb; 75 % dark red; 29.9 % blue; the top level closes
    // at its own pressure, with no level above it to read.
    const double edges[4][2] = {{1010, 950}, {950, 850}, {750, 650}, {650, 600}};
    const Rgb colours[4] = {RGB(0, 255, 0), RGB(191, 0, 0), RGB(0, 0, 255), RGB(0, 191, 0)};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(boxes[k].y1, std::log(edges[k][0]), 1e-9) << k;
        EXPECT_NEAR(boxes[k].y2, std::log(edges[k][1]), 1e-9) << k;
        EXPECT_EQ(boxes[k].color, colours[k]) << k;
        EXPECT_DOUBLE_EQ(boxes[k].x2, 5.0);
    }
    // The shared store keeps the surface pressure at level 0.
    EXPECT_FLOAT_EQ(s.Pressure(1, 0, 0), 1010.0f);
}

TEST_F(Mark, TypeTextAndRateDotsForConstructedHours) {
    // Three-hourly: 0.06 in is 0.02 in/h, two dots; 0.027 in one dot; 1.2 in
    // the diamond; 0.6 in the triangle.
    EXPECT_EQ(MarkOf(0.06f, kPTypeSnow),
              std::make_pair(std::string("S"), Dots{{13, 80}, {17, 80}}));
    EXPECT_EQ(MarkOf(0.027f, kPTypeFreezingRain).second, (Dots{{15, 80}}));
    EXPECT_EQ(MarkOf(1.2f, kPTypeIcePellets),
              std::make_pair(std::string("IP"), Dots{{15, 82}, {13, 80}, {17, 80}, {15, 78}}));
    EXPECT_EQ(MarkOf(0.6f, kPTypeRain),
              std::make_pair(std::string("R"), Dots{{15, 78}, {13, 82}, {17, 82}}));
    const auto texts = pic.OperationsOf(Kind::Text);
    EXPECT_DOUBLE_EQ(texts[0].x1, 20.0);
    EXPECT_DOUBLE_EQ(texts[0].y1, 78.5);
    EXPECT_EQ(texts[0].state.foreColor, RGB(0, 255, 0));
    EXPECT_EQ(pic.OperationsOf(Kind::Circle)[0].state.fillColor, RGB(0, 255, 0));
    // No precipitation, no mark; no type: white dots alone; an unknown code
    // says so; no hours per column: no rate.
    EXPECT_EQ(MarkOf(0.0f, kPTypeRain), std::make_pair(std::string(), Dots{}));
    EXPECT_EQ(MarkOf(0.05f, 999).first, "");
    EXPECT_EQ(pic.OperationsOf(Kind::Circle)[0].color, RGB(255, 255, 255));
    EXPECT_EQ(MarkOf(0.05f, 61).first, "Error Wx =  61");
    session.HoursPerColumn = 0;
    EXPECT_EQ(MarkOf(0.05f, kPTypeSnow), std::make_pair(std::string("S"), Dots{}));
}

TEST_F(Mark, EnergyMethodWorksOutAnHourOnce) {
    session.options.UseBourgouinPType = true;
    session.ptype->PTypeAreasDone(1, 0) = kFlagFalse;
    s.Temperature(1, 0, 1) = -2.0f; // below freezing throughout: snow
    s.Precip(1, 0) = 0.05f;
    PrintPrecipType(pic, session, 0);
    EXPECT_EQ(session.ptype->PTypeAreasDone(1, 0), kFlagTrue);
    EXPECT_EQ(session.ptype->PTypeCode(1, 0), kPTypeSnow);
    EXPECT_EQ(MarkOf(0.05f, kPTypeRain).first, "R"); // later redraws keep the code
}

} // namespace
} // namespace tarvex
