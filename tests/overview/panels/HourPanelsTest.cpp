#include "overview/panels/HourPanels.h"

#include "../fields/OverviewTestSession.h"
#include "compute/ComputeState.h"
#include "platform/ReadableText.h"
#include "profile/diagrams/HodographDiagram.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tarvex {
namespace {

using Kind = DrawOperation::Kind;
constexpr int M = test::OverviewTestSession::kModel;

TEST(SelectedHour, PressPicksTheNearestColumnOfTheModel) {
    EXPECT_EQ(HourAtX(3.4, 12), 3);
    EXPECT_EQ(HourAtX(3.6, 12), 4);
    EXPECT_EQ(HourAtX(-0.4, 12), 0);
    EXPECT_EQ(HourAtX(-0.6, 12), std::nullopt);
    EXPECT_EQ(HourAtX(84.5, 84), std::nullopt);
    EXPECT_EQ(HourAtX(84.4, 84), 84);
    // Beyond the model's last column: nothing.
    EXPECT_EQ(HourAtX(12.4, 12), 12);
    EXPECT_EQ(HourAtX(12.6, 12), std::nullopt);
}

TEST(SelectedHour, DistanceRunsRightToLeftAsTimeRuns) {
    OverviewAxes axes;
    // 48 columns (47 .. -1 across) on 480 pixels: 10 pixels a column.
    axes.ScaleLeftColumn = 47.0f;
    axes.ScaleRightColumn = -1.0f;
    EXPECT_DOUBLE_EQ(HourDistance(axes, 480, 0), 10.0);
    EXPECT_DOUBLE_EQ(HourDistance(axes, 480, 47), 480.0);
    // Scrolled by 6 columns: hour 6 stands where hour 0 stood.
    axes.ScaleLeftColumn = 53.0f;
    axes.ScaleRightColumn = 5.0f;
    EXPECT_DOUBLE_EQ(HourDistance(axes, 480, 6), 10.0);
}

TEST(SelectedHour, PanelNeverHidesTheHourAndNeverFlipsOnOneHour) {
    // 48 columns on 480 pixels, hour 0 one column in from the right edge:
    // its column is the picture's pixels 465 .. 475.
    OverviewAxes axes;
    axes.ScaleLeftColumn = 47.0f;
    axes.ScaleRightColumn = -1.0f;
    const ColumnPixels hour0 = HourColumnPixels(axes, 480, 0);
    EXPECT_DOUBLE_EQ(hour0.left, 465.0);
    EXPECT_DOUBLE_EQ(hour0.right, 475.0);

    // Picture at 50 .. 550 of a 600-pixel room; a panel 200 wide covers
    // 0 .. 200 at the left, 400 .. 600 at the right.
    const PanelRow row{50, 550, 600};
    const auto at = [](double left, double right) { return ColumnPixels{left, right}; };
    // A column whose edge touches the panel's edge is in sight.
    EXPECT_EQ(PanelLeft(0, 200, row, at(200, 210)), 0);
    EXPECT_EQ(PanelLeft(0, 200, row, at(195, 205)), 400);
    EXPECT_EQ(PanelLeft(400, 200, row, at(390, 400)), 400);
    EXPECT_EQ(PanelLeft(400, 200, row, at(395, 405)), 0);
    // A panel whose place went stale with a narrower room goes flush right.
    EXPECT_EQ(PanelLeft(450, 200, row, at(100, 110)), 400);

    // The widest panel the room allows, half of it less a whole column,
    // leaves every column in sight from either side it stands on.
    EXPECT_EQ(MostPanelWidth(row, 10), 295);
    EXPECT_EQ(MostPanelWidth(row, 10.5), 294);
    for (int from : {0, 305})
        for (double left = 0; left + 10 <= 600; left += 0.5) {
            const int x = PanelLeft(from, 295, row, at(left, left + 10));
            EXPECT_TRUE(x + 295 <= left || x >= left + 10) << left << " from " << from;
        }
}

// A run of three levels (1000, 900, 800 mb) and thirteen hourly columns
// with the panels' surroundings.
class HourPanels : public ::testing::Test {
  protected:
    HourPanels() {
        s().DrawLevelCount(M) = 10;
        for (int c = 0; c <= 12; ++c)
            for (int k = 0; k <= 10; ++k) {
                s().Temperature(M, c, k) = 20.0f - 6.0f * k;
                s().DewPoint(M, c, k) = 10.0f - 6.0f * k;
                s().WindDirection(M, c, k) = 270.0f;
                s().WindSpeed(M, c, k) = 18.0f;
            }
        t.session.config.ShoreDirection = {180.0f, 270.0f};
        t.session.config.ShoreDistance = {45.0f, 30.0f};
        t.session.config.MaxFetch = {200.0f, 120.0f};
    }
    ProfileArrays& s() { return *t.session.profile; }
    std::vector<std::string> Texts(const RecordingSurface& pic) const {
        std::vector<std::string> out;
        for (const DrawOperation& op : pic.OperationsOf(Kind::Text)) out.push_back(op.text);
        return out;
    }

    test::OverviewTestSession t;
    SoundingView mainView;
    HodographView hodoView;
    Picture background;
    MapWindState wind;
    HourPanelContext ctx{t.session, t.options, mainView, hodoView, background, wind};
};

TEST_F(HourPanels, MeanWindPaneWritesTheLayerWindAndTheShoreTimes) {
    t.options.MeanWindLevels = {1, 2};
    RecordingSurface picMap(420, 300);
    DrawMapPane(picMap, ctx, 5);
    const FetchTimes fetch = PlotStormMotionMap(picMap, ctx);
    const auto texts = Texts(picMap);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], " 1000 -> 900 mb Wind=  270 \u00B0 at 18 Kts");
    EXPECT_EQ(texts[1], " RMS = 0.0kts");
    // A wind across the first shore reaches it after its distance, 45 nm
    // in 2.5 hours at 18 kt; the second shore runs along the wind, so the
    // air never reaches it and the cap of 120 nm is shown.
    EXPECT_EQ(texts[2], "45 nm  @ 2.5 hours");
    EXPECT_EQ(texts[3], "120 nm  @ 6.7 hours");
    EXPECT_FLOAT_EQ(fetch.FetchDistance[1], 120.0f);
    EXPECT_FLOAT_EQ(wind.MapWindSpeed[M], 18.0f);
    // Each value on the map's white, and the surface as it was after them.
    for (const DrawOperation& op : picMap.OperationsOf(Kind::Text)) {
        EXPECT_FALSE(op.state.fontTransparent) << op.text;
        EXPECT_EQ(op.state.backColor, kWhite) << op.text;
    }
    EXPECT_TRUE(picMap.FontTransparent());
}

// The map pane's background leaves out a city name that would cover another
// or run off the picture, and those in the lines where the pane writes the hour's values, so that
// names and values never print over one another.
TEST_F(HourPanels, MapPaneCityNamesNeverCoverNamesOrValues) {
    const MapExtent view = UsableMapView(t.session.history.MapView);
    auto at = [&view](double fx, double fy, const char* name) {
        return MapCity{static_cast<float>(view[1] + fy * (view[3] - view[1])),
                       static_cast<float>(view[0] + fx * (view[2] - view[0])), name};
    };
    MapGeography geography;
    geography.OutlinesFound = true;
    geography.Cities = {at(0.5, 0.5, "Toronto"), at(0.52, 0.51, "Buffalo"), at(0.3, 0.7, "Albany"),
                        at(0.1, 0.02, "Moosonee"), at(0.6, 0.98, "Norfolk")};
    RecordingSurface buffer(420, 300);
    DrawMapPaneBackground(buffer, geography, s(), view, 420, 300);
    EXPECT_EQ(Texts(buffer), (std::vector<std::string>{"Toronto", "Albany"}));

    // The names and the pane's texts, replayed on one picture, lie apart.
    background = buffer.PersistentPicture();
    t.options.MeanWindLevels = {1, 2};
    RecordingSurface picMap(420, 300);
    picMap.SetDesignSize(420, 300);
    DrawMapPane(picMap, ctx, 5);
    PlotStormMotionMap(picMap, ctx);
    RecordingSurface both(420, 300);
    both.SetDesignSize(420, 300);
    both.SetLeaveOutCoveredText(false);
    auto replay = [&both](double left, double top, const std::string& text) {
        both.SetCurrentX(left);
        both.SetCurrentY(top);
        both.PrintNoNewline(text);
    };
    for (const DrawOperation& op : buffer.OperationsOf(Kind::Text))
        replay(buffer.ToPixelX(op.x1), buffer.ToPixelY(op.y1), op.text);
    for (const DrawOperation& op : picMap.OperationsOf(Kind::Text))
        replay(picMap.ToPixelX(op.x1), picMap.ToPixelY(op.y1), op.text);
    EXPECT_EQ(both.DrawnTexts().size(), 6u);
    EXPECT_TRUE(TextIsReadable(both));
}

TEST_F(HourPanels, CalmWindShowsNoTravelTime) {
    for (int k = 0; k <= 10; ++k) s().WindSpeed(M, 4, k) = 0.0f;
    t.options.SigmaLevel = 5;
    RecordingSurface picMap(420, 300);
    DrawMapSigmaPane(picMap, ctx, 4);
    PlotStormMotionMap(picMap, ctx);
    const auto texts = Texts(picMap);
    EXPECT_EQ(texts.back(), "120 nm  @ -- hours");
    EXPECT_FLOAT_EQ(wind.MapWindDir[M], 270.0f);

    // The pane rounds the level's speed half up: 21.86 kt prints 22.
    s().WindSpeed(M, 4, 5) = 21.86f;
    RecordingSurface again(420, 300);
    DrawMapSigmaPane(again, ctx, 4);
    EXPECT_EQ(Texts(again).front(), "  600 mb Wind =  270 \u00B0 at 22  kts");
}

TEST_F(HourPanels, StormTypeTrailOfTheHourAndTheSixBefore) {
    for (int c = 0; c <= 12; ++c) {
        t.session.winds->Shear4km(M, c) = 2.0f * c;
        t.session.winds->ShearDone(M, c) = kFlagTrue;
        s().CAPE(M, c) = 300.0f * c;
        s().CINS(M, c) = 10.0f; // below the strong CINS level 20: red
    }
    s().CAPE(M, 6) = 0.5f;  // no CAPE to speak of: green
    s().CINS(M, 7) = 30.0f; // between 20 and 40: yellow
    s().CINS(M, 8) = 40.0f; // equal to the caution level: green
    RecordingSurface picCape(420, 330);
    PlotCapeShearDiagram(picCape, ctx, 8);
    const auto circles = picCape.OperationsOf(Kind::Circle);
    ASSERT_EQ(circles.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_NEAR(circles[i].radius, 0.4 + 0.1 * i, 1e-6);
        EXPECT_DOUBLE_EQ(circles[i].x1, 2.0 * (i + 2));
        EXPECT_EQ(circles[i].color, kBlue);
    }
    EXPECT_DOUBLE_EQ(circles[6].y1, 2400.0);
    EXPECT_EQ(circles[3].state.fillColor, kRed);
    EXPECT_EQ(circles[4].state.fillColor, kGreen);
    EXPECT_EQ(circles[5].state.fillColor, kYellow);
    EXPECT_EQ(circles[6].state.fillColor, kGreen);
    int trail = 0;
    for (const DrawOperation& op : picCape.OperationsOf(Kind::Line))
        trail += op.color == RGB(255, 255, 127);
    EXPECT_EQ(trail, 6);

    picCape.ForgetOperations();
    PlotCapeShearDiagram(picCape, ctx, 0);
    ASSERT_EQ(picCape.OperationsOf(Kind::Circle).size(), 1u);
    EXPECT_DOUBLE_EQ(picCape.OperationsOf(Kind::Circle)[0].radius, 1.0);
}

TEST_F(HourPanels, ProfileMarksTheHoursLevelsAndSkipsAbsentLevels) {
    mainView.options.LCL = true;
    mainView.options.LFC = true;
    mainView.options.EQL = true;
    mainView.CurrentColumn = 0; // the main window shows another hour
    s().LCLPressure(M, 3) = 850.0f;
    s().LCLTemperature(M, 3) = 5.0f;
    s().LFCPressure(M, 3) = 845.0f; // one text height apart: side by side
    s().EQLPressure(M, 3) = 960.0f; // 40 mb above the ground: no mark
    s().Pressure(M, 3, 6) = 0.0f;   // absent level
    RecordingSurface picProfile(300, 400);
    DrawProfile(picProfile, ctx, 3);
    for (const DrawOperation& op : picProfile.OperationsOf(Kind::Text)) EXPECT_NE(op.text, " <EQL");
    // Each label on its level, whatever the axis ends: the text's top 0.66
    // of a line above the level, moved only along it, the two apart.
    const double h = picProfile.TextHeight("H");
    // (either pointing back at its point)
    std::vector<const DrawnText*> marks;
    for (const DrawnText& drawn : picProfile.DrawnTexts())
        if (drawn.text.find("LCL") != std::string::npos ||
            drawn.text.find("LFC") != std::string::npos)
            marks.push_back(&drawn);
    ASSERT_EQ(marks.size(), 2u);
    for (const DrawnText* mark : marks) {
        const double level = std::log(mark->text.find("LCL") != std::string::npos ? 850.0 : 845.0);
        EXPECT_NEAR(picProfile.FromPixelY(mark->rect.top), level - 0.66 * h, 1e-6) << mark->text;
    }
    EXPECT_FALSE(TextRectsOverlap(marks[0]->rect, marks[1]->rect));
    EXPECT_TRUE(LabelsAtTheirAnchors(picProfile));
    EXPECT_TRUE(NoValueLeftOut(picProfile));
    for (const DrawOperation& op : picProfile.OperationsOf(Kind::Line)) {
        EXPECT_TRUE(std::isfinite(op.y1) && std::isfinite(op.y2));
        EXPECT_NE(op.y2, std::log(0.0f));
    }
    // The temperature trace runs through the nine present levels.
    int red = 0;
    for (const DrawOperation& op : picProfile.OperationsOf(Kind::Line))
        red += op.color == kRed && op.state.drawWidth == 2;
    EXPECT_EQ(red, 8);
}

TEST_F(HourPanels, HodographWritesItsCaptionsOnThePicture) {
    hodoView.HodoRange = 30.0f;
    // A 0-6 km mean wind from the west at 10 m/s stands 10 m/s east of the
    // centre.
    t.session.stormMotion->MeanWind06Dir(M, 2) = 270.0f;
    t.session.stormMotion->MeanWind06Speed(M, 2) = 10.0f;
    RecordingSurface picHodograph(330, 330);
    PlotOverviewHodograph(picHodograph, ctx, 2);
    int marks = 0;
    for (const DrawOperation& op : picHodograph.OperationsOf(Kind::Text)) {
        if (op.text != "M") continue;
        ++marks;
        EXPECT_NEAR(op.x1 + picHodograph.TextWidth("M") / 2.0, 10.0, 1e-6);
        EXPECT_NEAR(op.y1 + picHodograph.TextHeight("M") / 2.0, 0.0, 1e-6);
    }
    EXPECT_EQ(marks, 1);
    EXPECT_DOUBLE_EQ(picHodograph.ScaleLeft(), -30.0);
    EXPECT_DOUBLE_EQ(picHodograph.ScaleTop(), 30.0);
    bool mean = false;
    for (const DrawOperation& op : picHodograph.OperationsOf(Kind::Text)) {
        if (op.text.find("Mean Wind = ") == std::string::npos) continue;
        mean = true;
        EXPECT_EQ(op.color, kMagenta);
        EXPECT_DOUBLE_EQ(op.y1, 30.0);
        EXPECT_NEAR(op.x1 + picHodograph.TextWidth(op.text), 30.0, 1e-9);
    }
    EXPECT_TRUE(mean);
}

TEST_F(HourPanels, HodographPanelDrawsItsOwnTextsRingsAndTrace) {
    hodoView.HodoRange = 30.0f;
    // A boundary placed in the main window plays no part here.
    hodoView.BoundaryShown(M, 2) = kFlagTrue;
    HodographResults& hodo = *t.session.hodograph;
    hodo.HodoDone(M, 2) = kFlagTrue;
    hodo.HodoBaseLevel(M, 2) = 0;
    hodo.HodoTopLevel(M, 2) = 4;
    for (int L = 0; L <= 4; ++L) {
        hodo.SRWindU(M, 2, L) = 2.0f * L;
        hodo.SRWindV(M, 2, L) = 1.0f * L;
    }
    hodo.HodoLength(M, 2) = 12.4f;
    hodo.MeanShear(M, 2) = 3.7f;
    t.session.layerCape->CapeShearDone(M, 2) = kFlagTrue;
    s().CAPE(M, 2) = 0.0f;
    s().CINS(M, 2) = 12.5f;
    RecordingSurface pic(330, 330);
    PlotOverviewHodograph(pic, ctx, 2);
    const auto texts = Texts(pic);
    auto has = [&](const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    EXPECT_TRUE(has("SR Inflow"));
    EXPECT_FALSE(has("Storm Rel Inflow"));
    EXPECT_FALSE(has("Boundary Relative Inflow"));
    EXPECT_TRUE(has("\\CINS =  13 ")); // with no CAPE too
    EXPECT_TRUE(has("  Shear =  12 m/s (4 m/s/km)"));
    // Rings at 10 to 50 m/s whatever the range, and a dot at each of the
    // trace's five levels.
    std::vector<double> rings;
    int dots = 0;
    for (const DrawOperation& op : pic.OperationsOf(Kind::Circle)) {
        if (op.radius >= 10.0) rings.push_back(op.radius);
        if (std::fabs(op.radius - 30.0 / 140.0) < 1e-9) {
            ++dots;
            EXPECT_EQ(op.color, kYellow);
        }
    }
    EXPECT_EQ(rings, (std::vector<double>{10, 20, 30, 40, 50}));
    EXPECT_EQ(dots, 5);
}

TEST_F(HourPanels, ProfileBackgroundIsothermsEveryTenFromMinusSixtyLabelsAtSeven) {
    t.session.temperatureAxis.LeftTemp = -10; // narrow: the main window steps by 5
    t.session.temperatureAxis.RightTemp = 30;
    t.session.config.HighlightIsotherms = {0.0f, -20.0f};
    mainView.options.WetBulb = false;
    t.options.VerticalUnits = 0; // pressure lines
    RecordingSurface picProfile(300, 400);
    DrawProfile(picProfile, ctx, 3);
    std::vector<double> isotherms;
    for (const DrawOperation& op : picProfile.OperationsOf(Kind::Line)) {
        EXPECT_NE(op.color, RGB(0, 255, 255)); // no highlighted isotherm
        if (op.color == RGB(0, 0, 255) && op.state.drawStyle == DrawStyle::Dot)
            isotherms.push_back(op.x1);
    }
    EXPECT_EQ(isotherms, (std::vector<double>{-60, -50, -40, -30, -20, -10, 0, 10, 20, 30}));
    // The level labels (drawn in the 0..100 frame, before the temperature
    // scale) stand at x = 7.
    int labels = 0;
    for (const DrawOperation& op : picProfile.OperationsOf(Kind::Text))
        if (op.text.find("500") != std::string::npos) {
            ++labels;
            EXPECT_DOUBLE_EQ(op.x1, 7.0);
        }
    EXPECT_GT(labels, 0);
}

} // namespace
} // namespace tarvex
