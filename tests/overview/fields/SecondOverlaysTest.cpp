#include "compute/Hodograph.h"
#include "compute/ParcelState.h"
#include "compute/TimeHeightFields.h"
#include "compute/TraceValues.h"
#include "overview/fields/LayerTraces.h"
#include "overview/fields/MeanWindTrace.h"
#include "overview/fields/RedrawHub.h"
#include "overview/fields/SurfaceTraces.h"
#include "overview/fields/WindOverlays.h"
#include "platform/Format.h"
#include "platform/RasterSurface.h"

#include "OverviewTestSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using test::OverviewTestSession;
using Kind = DrawOperation::Kind;
constexpr int M = OverviewTestSession::kModel;

std::vector<DrawOperation> Lines(const RecordingSurface& pic) {
    return pic.OperationsOf(Kind::Line);
}

void ExpectLine(const DrawOperation& op, double x1, double y1, double x2, double y2) {
    EXPECT_NEAR(op.x1, x1, 1e-4);
    EXPECT_NEAR(op.y1, y1, 1e-4);
    EXPECT_NEAR(op.x2, x2, 1e-4);
    EXPECT_NEAR(op.y2, y2, 1e-4);
}

TEST(SurfaceTraces, DrawEachHourOnTheirScales) {
    OverviewTestSession o(3);
    ProfileArrays& s = *o.session.profile;
    for (int t = 0; t <= 3; ++t) {
        s.SurfaceTemp(M, t) = 10.0f * t;                              // 32, 50, 68, 86 F
        s.SurfaceDewPoint(M, t) = 0.0f;                               // 32 F
        s.SkinTemperature(M, t) = t == 2 ? 0.0f : 273.15f + 5.0f * t; // kelvin; none at 2
        s.SurfacePressure(M, t) = 990.0f + t;
        s.PrecipWater(M, t) = 0.5f + 0.25f * t;
    }
    PlotSfcTemp(o.ctx);
    auto lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 3u);
    ExpectLine(lines[0], 0, 32, 1, 50);
    ExpectLine(lines[2], 2, 68, 3, 86);
    EXPECT_EQ(lines[0].color, RGB(255, 0, 0));
    EXPECT_EQ(lines[0].state.drawWidth, 3);
    EXPECT_EQ(lines[0].scale.top, o.axes.TraceBase + o.axes.TraceSpan);
    EXPECT_EQ(o.picRH.DrawWidth(), 1);

    o.picRH.ForgetOperations();
    PlotSfcDewPoint(o.ctx);
    EXPECT_NEAR(Lines(o.picRH)[1].y2, 32.0, 1e-5);

    // The hour without a skin temperature breaks the line: 32 F to 41 F only.
    o.picRH.ForgetOperations();
    PlotSkinTemp(o.ctx);
    lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 1u);
    ExpectLine(lines[0], 0, 32, 1, 41);

    o.picRH.ForgetOperations();
    PlotSfcPres(o.ctx);
    ExpectLine(Lines(o.picRH)[0], 0, 990, 1, 991);
    EXPECT_EQ(Lines(o.picRH)[0].scale.top, o.axes.PressureTraceBase + o.axes.PressureTraceSpan);

    o.picRH.ForgetOperations();
    PlotPrecipWater(o.ctx);
    ExpectLine(Lines(o.picRH)[0], 0, 500, 1, 750);
    EXPECT_EQ(Lines(o.picRH)[0].scale.top, o.session.history.OverviewThresholds[0]);
}

TEST(SurfaceTraces, WindChillByBothFormulasAndTheirInputs) {
    OverviewTestSession o(1);
    ProfileArrays& s = *o.session.profile;
    for (int t = 0; t <= 1; ++t) {
        s.SurfaceTemp(M, t) = 0.0f;
        s.SurfaceWindSpeed(M, t) = 10.0f;
        s.Temperature(M, t, 1) = 10.0f;
        s.WindSpeed(M, t, 1) = 1.0f;
    }
    PlotWindChill(o.ctx);
    auto lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].color, RGB(128, 128, 128));
    EXPECT_EQ(lines[0].state.drawMode, DrawMode::XorPen);
    EXPECT_EQ(lines[1].color, RGB(128, 128, 255));
    EXPECT_NEAR(lines[1].y2, 23.0, 0.05); // 0 C in 10 kt
    EXPECT_EQ(o.picRH.GetDrawMode(), DrawMode::CopyPen);

    // A later model option reads level 1: 10 C in 1 kt is 50 F.
    s.ModelChoice = 3;
    o.picRH.ForgetOperations();
    PlotWindChill(o.ctx);
    EXPECT_NEAR(Lines(o.picRH)[1].y2, 50.0, 1e-4);
}

TEST(SurfaceTraces, ExclusiveOrTracesShowNoGapAtTheJointsAndASecondDrawingTakesThemAway) {
    OverviewTestSession o(2);
    ProfileArrays& s = *o.session.profile;
    // 0, 10 and 0 C in 10 kt: a peak at column 1.
    for (int t = 0; t <= 2; ++t) {
        s.SurfaceTemp(M, t) = t == 1 ? 10.0f : 0.0f;
        s.SurfaceWindSpeed(M, t) = 10.0f;
    }
    o.axes.TraceBase = -20.0f;
    o.axes.TraceSpan = 80.0f;
    RasterSurface picRH(300, 200);
    picRH.SetBackColor(kBlack);
    picRH.Clear();
    const QImage blank = picRH.Image().copy();
    OverviewContext ctx{o.session, o.options, o.axes, picRH, o.picLeft, o.picRight, {}, {}};
    PlotWindChill(ctx);
    // The new formula's trace (128, 128, 255 on black) is lit at its joint.
    const double joint = NewWindChill(10.0f, 10.0f);
    const QPoint p(static_cast<int>(std::lround(picRH.ToPixelX(1.0))),
                   static_cast<int>(std::lround(picRH.ToPixelY(joint))));
    EXPECT_EQ(picRH.Image().pixel(p), qRgb(128, 128, 255));
    PlotWindChill(ctx);
    EXPECT_EQ(picRH.Image(), blank);
}

TEST(SurfaceTraces, VisibilityCombSkipsGoodHours) {
    OverviewTestSession o(3);
    ProfileArrays& s = *o.session.profile;
    const double kmPerMile = 1.0 / 0.621371;
    const double miles[] = {1.0, 10.0, 10.1, 0.0};
    for (int t = 0; t <= 3; ++t) s.Visibility(M, t) = static_cast<float>(miles[t] * kmPerMile);
    o.session.history.OverviewThresholds[1] = 10.0f;
    PlotVisibility(o.ctx);
    const auto lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 4u);
    ExpectLine(lines[0], 0, 81, 1, 0); // 10 miles hangs at the top edge
    ExpectLine(lines[1], 1, 0, 1, 0);
    ExpectLine(lines[2], 1, 0, 3, 100); // 10.1 miles draws nothing
    ExpectLine(lines[3], 3, 100, 3, 0);
    EXPECT_EQ(lines[0].scale.height, 100.0);

    // A layout without visibility (gfs3) draws no tooth at any hour.
    for (int t = 0; t <= 3; ++t) s.Visibility(M, t) = kNoVisibility;
    o.picRH.ForgetOperations();
    PlotVisibility(o.ctx);
    EXPECT_TRUE(Lines(o.picRH).empty());
}

TEST(SurfaceTraces, RunOffAndPrecipitationBars) {
    OverviewTestSession o(5);
    ProfileArrays& s = *o.session.profile;
    PTypeResults& ptype = *o.session.ptype;
    const int codes[] = {60, 66, 70, 79, 61, 60};
    for (int t = 0; t <= 5; ++t) {
        s.RunOff(M, t) = 0.01f * t;
        s.Precip(M, t) = t == 5 ? 0.0f : 0.05f;
        s.ConvPrecip(M, t) = 0.02f;
        ptype.PTypeCode(M, t) = codes[t];
        ptype.PTypeAreasDone(M, t) = kFlagTrue;
        o.session.timeHeight->SnowRatio(M, t) = 10.0f;
    }
    o.session.timeHeight->SnowRatioDone = true;

    PlotRunOff(o.ctx);
    auto boxes = o.picRH.OperationsOf(Kind::Box);
    ASSERT_EQ(boxes.size(), 6u);
    ExpectLine(boxes[3], 2, 0.03, 2.5, 0); // half a column, left of its column
    EXPECT_EQ(boxes[3].state.fillColor, RGB(255, 0, 255));

    o.picRH.ForgetOperations();
    o.options.chkSnow = true;
    o.options.chkPrecip = true;
    PlotSnow(o.ctx);
    boxes = o.picRH.OperationsOf(Kind::Box);
    // Five grey snow bars, then the precipitation bars (rain twice).
    ASSERT_EQ(boxes.size(), 5u + 6u);
    ExpectLine(boxes[0], -1, 0.5, 0, 0);
    EXPECT_EQ(boxes[0].state.fillColor, RGB(127, 127, 127));
    EXPECT_FLOAT_EQ(o.session.timeHeight->SnowAmount(M, 5), 0.0f);
    const Rgb fills[] = {RGB(0, 255, 0), RGB(0, 191, 0),   RGB(255, 0, 0),
                         RGB(0, 0, 255), RGB(255, 128, 0), RGB(255, 255, 255)};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(boxes[5 + k].state.fillColor, fills[k]) << k;
    ExpectLine(boxes[6], -1, 0.02, 0, 0); // the convective part inside the rain bar
}

TEST(LayerTraces, InflowMbeWarmCloudAndOmega) {
    OverviewTestSession o(2);
    Session& session = o.session;
    ProfileArrays& s = *session.profile;
    session.timeHeight->HodoParamsAllHoursDone(M) = kFlagTrue;
    session.wholeRun->WarmCloudDone(M) = kFlagTrue;
    for (int t = 0; t <= 2; ++t) {
        session.hodograph->SRSpeedBase(M, t) = 10.0f;
        session.winds->MBEDone(M, t) = kFlagTrue;
        session.winds->MBESpeed(M, t) = 20.0f + 5.0f * t;
        session.winds->LLJAtTop(M, t) = t == 0 ? kFlagTrue : kFlagFalse;
        s.Omega(M, t, 3) = -2.0f * t;
    }
    session.wholeRun->WarmCloudTop(M, 0) = 0.0f;
    session.wholeRun->WarmCloudTop(M, 1) = 10000.0f;
    session.wholeRun->WarmCloudTop(M, 2) = 150000.0f; // beyond the standard atmosphere

    PlotStormRelInflow(o.ctx);
    EXPECT_NEAR(Lines(o.picRH)[0].y2, 19.4254, 1e-4);

    o.picRH.ForgetOperations();
    PlotMBESpeed(o.ctx);
    auto lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 2u);
    ExpectLine(lines[0], 0, 20, 1, 25);
    EXPECT_EQ(lines[0].color, RGB(127, 127, 0)); // decided by its earlier hour
    EXPECT_EQ(lines[1].color, RGB(255, 255, 0));

    o.picRH.ForgetOperations();
    PlotWarmCloud(o.ctx);
    lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 1u);
    ExpectLine(lines[0], 0, std::log(1013.2), 1,
               std::log(1013.2 * std::pow(1 - 10000 / 145373.5637, 5.265)));

    o.options.SigmaLevel = 3;
    o.picRH.ForgetOperations();
    PlotVVTrend(o.ctx);
    ExpectLine(Lines(o.picRH)[1], 1, -2, 2, -4);
}

TEST(LayerTraces, InversionBoxesAndMixingLayer) {
    OverviewTestSession o(1);
    ProfileArrays& s = *o.session.profile;
    // Column 1 warms from level 2 to 3 (900 to 800 mb); nothing else does.
    o.Fill(s.Temperature, [](int t, int k) { return t == 1 && k == 3 ? 20.0f : 20.0f - 5.0f * k; });
    o.Fill(s.DewPoint, [](int, int) { return -60.0f; });
    o.session.parameters.InversionCoolThreshold = -10.0f;
    o.session.parameters.InversionDryThreshold = 99.0f;
    PlotInversions(o.ctx);
    const auto boxes = o.picRH.OperationsOf(Kind::Box);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectLine(boxes[0], 0.5, std::log(900.0), 1.5, std::log(800.0));
    EXPECT_EQ(boxes[0].state.fillStyle, FillStyle::DiagonalCross);
    EXPECT_EQ(o.picRH.GetFillStyle(), FillStyle::Solid);

    MixingLayerResults& r = o.session.timeHeight->mixingLayer;
    r.MixingLayerReady(M) = kFlagTrue;
    r.MixingLayerTopLevel(M, 0) = 2.4f; // 900 mb
    r.MixingLayerTopLevel(M, 1) = 3.0f; // 800 mb
    r.MarkerCount(M) = 2;
    r.MixingLayerMarkers[M][1] = 1;
    o.options.MixingLayerMode = 1;
    o.picRH.ForgetOperations();
    PlotMixingLayer(o.ctx);
    const auto lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 2u);
    ExpectLine(lines[0], 1, o.axes.LnPBase, 1, o.axes.TopLnP()); // the day marker
    ExpectLine(lines[1], 0, std::log(900.0), 1, std::log(800.0));
    EXPECT_EQ(lines[1].state.drawWidth, 4);
}

// The sigma-wind picture draws the levels its legend names, each in the
// colour of its legend bar: a vector at the height of the level's direction.
TEST(WindOverlays, SigmaWindsDrawTheLegendsLevelsInItsColours) {
    OverviewTestSession o(3);
    ProfileArrays& s = *o.session.profile;
    o.Fill(s.WindDirection, [](int t, int k) { return 40.0f * k + t; });
    o.Fill(s.WindSpeed, [](int, int k) { return 10.0f * k; });
    for (const int step : {1, 2}) {
        o.session.parameters.ModelLevelStep = static_cast<std::int16_t>(step);
        o.options.SigmaLevel = 4;
        RecordingSurface legend(120, 70);
        DrawWindScale(legend, s, o.options.SigmaLevel, step);
        o.picRH.ForgetOperations();
        PlotWinds(o.ctx);
        const auto bars = legend.OperationsOf(Kind::Line);
        const auto names = legend.OperationsOf(Kind::Text);
        ASSERT_EQ(bars.size(), 3u);
        ASSERT_EQ(names.size(), 3u);
        const auto circles = o.picRH.OperationsOf(Kind::Circle);
        ASSERT_EQ(circles.size(), 3u * 4u) << "three levels at every column";
        for (std::size_t i = 0; i < bars.size(); ++i) {
            // The level whose pressure the bar's name gives.
            int level = 0;
            for (int k = 1; k <= OverviewTestSession::kLevels; ++k)
                if (names[i].text == Format(s.Pressure(M, 0, k), "0 mb")) level = k;
            ASSERT_EQ(level, 4 - step + step * static_cast<int>(i)) << names[i].text;
            for (int t = 0; t <= 3; ++t) {
                const auto at = std::ranges::find_if(circles, [&](const DrawOperation& c) {
                    return c.x1 == t && c.y1 == s.WindDirection(M, t, level);
                });
                ASSERT_NE(at, circles.end()) << "level " << level << " hour " << t;
                EXPECT_EQ(at->color, bars[i].color) << "level " << level;
                EXPECT_EQ(at->state.fillColor, bars[i].color);
            }
        }
    }
}

TEST(WindOverlays, VectorsTransportAndVentilation) {
    OverviewTestSession o(3);
    ProfileArrays& s = *o.session.profile;
    o.Fill(s.WindDirection, [](int, int k) { return 90.0f * (k % 4); });
    o.Fill(s.WindSpeed, [](int, int k) { return 10.0f * k; });
    o.axes.TopLevel[M] = 4;
    o.options.VWPInterval = 2;
    PlotVWP(o.ctx);
    const auto circles = o.picRH.OperationsOf(Kind::Circle);
    ASSERT_EQ(circles.size(), 4u * 2u); // levels 1 and 3 of every column
    EXPECT_NEAR(circles[1].y1, std::log(800.0), 1e-6);
    EXPECT_EQ(circles[1].color, kYellow);

    MixingLayerResults& r = o.session.timeHeight->mixingLayer;
    r.MixingLayerReady(M) = kFlagTrue;
    const float ventilation[] = {2, 6, 10, 12};
    for (int t = 0; t <= 3; ++t) {
        r.TransportSpeed(M, t) = 12.0f;
        r.Ventilation(M, t) = ventilation[t];
    }
    o.picRH.ForgetOperations();
    PlotTransportSpeed(o.ctx);
    ExpectLine(Lines(o.picRH)[0], 0, 12, 1, 12);

    o.picRH.ForgetOperations();
    PlotVentilation(o.ctx);
    const auto lines = Lines(o.picRH);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].color, RGB(223, 0, 0));
    EXPECT_EQ(lines[1].color, RGB(192, 192, 0));
    EXPECT_EQ(lines[2].color, RGB(0, 192, 0));
    EXPECT_EQ(lines[0].scale.top, o.session.history.OverviewThresholds[2]);
}

} // namespace
} // namespace tarvex
