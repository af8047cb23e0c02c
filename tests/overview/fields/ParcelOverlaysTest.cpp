#include "overview/fields/ParcelOverlays.h"

#include "compute/ComputeState.h"
#include "compute/ElevatedParcel.h"
#include "compute/ParcelState.h"

#include "OverviewTestSession.h"
#include "TraceTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

using test::LineColors;
using test::LinesIn;
using test::OverviewTestSession;
using test::ToPixels;
constexpr int m = OverviewTestSession::kModel;

// Every start point of the run already lifted, so that only what a test sets
// is drawn.
void MarkLifted(ElevatedParcelResults& e) {
    for (int t = 0; t < kTimeColumns; ++t)
        for (int k = 0; k < kLevelSlots; ++k) e.ElevCAPEDone(m, t, k) = kFlagTrue;
}

TEST(ParcelOverlays, ELCINBoxesByInhibitionAndInstabilityHatching) {
    OverviewTestSession o(3);
    ElevatedParcelResults& e = *o.session.elevated;
    MarkLifted(e);
    const auto reach = [&](int t, int k, float cin) {
        e.ElevELLevel(m, t, k) = 7;
        e.ElevCIN(m, t, k) = cin;
    };
    reach(0, 2, 20);         // dark green
    reach(1, 3, 50);         // dark blue
    reach(2, 4, 19.9f);      // dark red
    reach(3, 1, 0);          // the lowest level: never
    reach(3, 10, 0);         // the top level: never
    e.ElevCIN(m, 3, 5) = 80; // no equilibrium level
    MakeELCINParcels(o.ctx);
    PlotELCIN(o.ctx);
    const auto boxes = o.picRH.OperationsOf(DrawOperation::Kind::FilledBox);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].color, RGB(0, 127, 0));
    EXPECT_EQ(boxes[1].color, RGB(0, 0, 127));
    EXPECT_EQ(boxes[2].color, RGB(127, 0, 0));
    // Level 2 (900 mb) spans halfway to its neighbours: 850 to 950 mb.
    EXPECT_NEAR(boxes[0].y1, std::log(850.0), 1e-6);
    EXPECT_NEAR(boxes[0].y2, std::log(950.0), 1e-6);
    EXPECT_NEAR(boxes[0].x1, -0.5, 1e-9);

    // theta-e of hour 1 falls by 0.01 K from level 3 to 4 and stays equal
    // from 5 to 6; it rises everywhere else.
    o.picRH.ForgetOperations();
    o.axes.TopLevel[m] = 10;
    o.Fill(o.session.profile->ThetaE, [](int, int k) { return 300.0f + k; });
    o.session.profile->ThetaE(m, 1, 4) = 302.99f;
    o.session.profile->ThetaE(m, 1, 6) = 305.0f;
    PlotInstability(o.ctx);
    const auto hatched = o.picRH.OperationsOf(DrawOperation::Kind::Box);
    ASSERT_EQ(hatched.size(), 1u);
    EXPECT_EQ(hatched[0].state.fillStyle, FillStyle::DiagonalCross);
    EXPECT_NEAR(hatched[0].y1, std::log(800.0), 1e-6);
    EXPECT_EQ(o.picRH.GetFillStyle(), FillStyle::Solid);
}

TEST(ParcelOverlays, ElevatedCAPEContoursHideFromTheLowest) {
    OverviewTestSession o(3);
    MarkLifted(*o.session.elevated);
    o.axes.TopLevel[m] = 10;
    // 510, 1010, 1510, 2010, ... J/kg from level 1 up: with the interval 5
    // the 1000 contour runs between levels 1 and 2, the 2000 one between 3
    // and 4.
    o.Fill(o.session.elevated->ElevCAPE, [](int, int k) { return 500.0f * k + 10.0f; });
    const auto contourLines = [&](int hidden) {
        o.picRH.ForgetOperations();
        o.options.ECAPELegendStart = static_cast<std::int16_t>(hidden);
        PlotECAPE(o.ctx);
        return LinesIn(o.picRH, kYellow);
    };
    const auto only2000 = contourLines(7); // above 5: the last is still drawn
    ASSERT_FALSE(only2000.empty());
    for (const auto& line : only2000) {
        EXPECT_GT(line.y1, o.axes.LevelLnP[m][4] - 1e-6);
        EXPECT_LT(line.y1, o.axes.LevelLnP[m][3]);
    }
    EXPECT_EQ(contourLines(4).size(), 2 * only2000.size());
}

// The parcels lifted ahead for a file just read: those of the ELCIN levels,
// with level 1 when the elevated-CAPE contours are shown too, each as lifted
// alone; none while the ELCIN boxes are off, and none begun once the lifting
// is stopped.
TEST(ParcelOverlays, ParcelsLiftedAheadAreTheELCINLevelsAsLiftedAlone) {
    OverviewTestSession o;
    OverviewTestSession alone;
    const int n = OverviewTestSession::kLevels;
    const auto done = [&](int t, int k) { return o.session.elevated->ElevCAPEDone(m, t, k); };
    o.options.chkECAPE = true;
    { const ParcelsAhead ahead(o.session, o.options); }
    for (int t = 0; t <= 12; ++t)
        for (int k = 1; k <= n; ++k) ASSERT_EQ(done(t, k), kFlagFalse) << t << " " << k;

    o.options.chkELCIN = true;
    {
        ParcelsAhead ahead(o.session, o.options);
        ahead.Wait();
    }
    for (int t = 0; t <= 12; ++t) {
        for (int k = 1; k <= n; ++k) {
            ASSERT_EQ(done(t, k), k < n ? kFlagTrue : kFlagFalse) << t << " " << k;
            if (k == n) continue;
            MakeECAPE(*alone.session.profile, static_cast<std::int16_t>(t),
                      static_cast<std::int16_t>(k), *alone.session.elevated);
            const ElevatedParcelResults& a = *alone.session.elevated;
            const ElevatedParcelResults& e = *o.session.elevated;
            ASSERT_EQ(e.ElevCAPE(m, t, k), a.ElevCAPE(m, t, k)) << t << " " << k;
            ASSERT_EQ(e.ElevCIN(m, t, k), a.ElevCIN(m, t, k)) << t << " " << k;
            ASSERT_EQ(e.ElevELLevel(m, t, k), a.ElevELLevel(m, t, k)) << t << " " << k;
        }
    }
}

TEST(ParcelOverlays, CAPETraceColoursByInhibitionAndDepthTraces) {
    OverviewTestSession o(4);
    ProfileArrays& s = *o.session.profile;
    // Caution 40 and warning 20 J/kg of inhibition (the CINS row).
    const float cape[] = {0, 0.5f, 500, 500, 500};
    const float cins[] = {0, 100, 10, 30, 40};
    for (int t = 0; t <= 4; ++t) {
        s.CAPE(m, t) = cape[t];
        s.CINS(m, t) = cins[t];
    }
    PlotCAPE(o.ctx);
    EXPECT_EQ(LineColors(o.picRH), (std::vector<Rgb>{kGreen, kRed, kYellow, kGreen}));
    // Five columns over 500 px (x = (5 - c) * 500 / 6), 0..2000 J/kg over 300.
    const auto lines = o.picRH.OperationsOf(DrawOperation::Kind::Line);
    const auto end = ToPixels(lines[1], lines[1].x2, lines[1].y2, 500, 300);
    EXPECT_NEAR(end.x, 250, 1e-6);
    EXPECT_NEAR(end.y, 225, 1e-6);
    EXPECT_EQ(o.picRH.DrawWidth(), 1);

    // The 4 km trace: every hour's layer CAPE is made once, also for an hour
    // whose shear was computed first.
    o.session.winds->ShearDone(m, 0) = kFlagTrue;
    o.options.CAPEkmColours = {
        OverviewOptions::kButtonFaceColour, 0,        0,
        OverviewOptions::kButtonFaceColour, 0x00C000, OverviewOptions::kButtonFaceColour,
        OverviewOptions::kButtonFaceColour};
    MakeLayerCAPE(o.ctx);
    for (int t = 0; t <= 4; ++t) EXPECT_NE(o.session.layerCape->CapeShearDone(m, t), kFlagFalse);
    o.session.layerCape->LayerCAPE(m, 2, 4) = 1000;
    MakeLayerCAPE(o.ctx);
    EXPECT_EQ(o.session.layerCape->LayerCAPE(m, 2, 4), 1000);
    o.picRH.ForgetOperations();
    PlotCAPE(o.ctx);
    EXPECT_EQ(LinesIn(o.picRH, RGB(0, 255, 255)).size(), 4u);
    EXPECT_EQ(LineColors(o.picRH).size(), 4u);

    o.picRH.ForgetOperations();
    o.options.CAPEkmColours.fill(OverviewOptions::kButtonFaceColour);
    PlotCAPE(o.ctx);
    EXPECT_TRUE(o.picRH.OperationsOf(DrawOperation::Kind::Line).empty());
    EXPECT_EQ(o.picRH.ForeColor(), kWhite);
}

TEST(ParcelOverlays, LakeParcelTracesAreMadeOnceAndBreakWithoutALevel) {
    OverviewTestSession o(3);
    LakeParcelResults& lake = *o.session.lake;
    for (int t = 0; t <= 3; ++t) lake.LakeCAPEDone(m, t) = kFlagTrue;
    lake.LakeCAPEDone(m, 1) = kFlagFalse; // the only hour made
    const float el[] = {500, 0, 400, 300};
    const float cape[] = {100, 0, 400, 800};
    for (int t = 0; t <= 3; ++t) {
        lake.LakeELPressure(m, t) = el[t];
        lake.LakeCAPE(m, t) = cape[t];
    }
    MakeLakeParcels(o.ctx);
    EXPECT_EQ(lake.LakeCAPEDone(m, 1), kFlagTrue);
    EXPECT_EQ(lake.LakeCAPE(m, 2), 400);
    lake.LakeELPressure(m, 1) = 0;
    PlotLIE(o.ctx);
    EXPECT_EQ(LinesIn(o.picRH, RGB(255, 255, 63)).size(), 1u);
    PlotLIC(o.ctx);
    EXPECT_EQ(LinesIn(o.picRH, kWhite).size(), 3u);
}

} // namespace
} // namespace tarvex
