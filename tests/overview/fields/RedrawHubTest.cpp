#include "overview/fields/RedrawHub.h"
#include "compute/ComputeState.h"
#include "compute/ParcelState.h"
#include "compute/SnowRatio.h"
#include "compute/TimeHeightFields.h"
#include "files/SoundingReader.h"
#include "overview/fields/Contouring.h"
#include "overview/fields/HumidityShading.h"
#include "overview/fields/ParcelOverlays.h"

#include "OverviewTestSession.h"
#include "SampleSounding.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tarvex {
namespace {

using test::OverviewTestSession;

struct CountingPointer : BusyPointer {
    int shown = 0;
    int restored = 0;
    void Show() override { ++shown; }
    void Restore() override { ++restored; }
};

TEST(RedrawHub, DrawsOverlaysInOrderUnderTheFrame) {
    OverviewTestSession o;
    ProfileArrays& s = *o.session.profile;
    o.Fill(s.RelativeHumidity, [](int, int) { return 96.0f; });
    o.Fill(s.Temperature, [](int t, int) { return 2.0f * t - 7.0f; });
    o.Fill(s.WindSpeed, [](int, int k) { return 2.5f * k; }); // under the yellow band
    o.options.chkTemperature = true;
    o.options.chkVelocity = true;
    o.ctx.clock = DateTime::FromParts(2026, 12, 10, 1);
    CountingPointer busy;
    RedrawOverview(o.ctx, false, &busy);
    EXPECT_EQ(busy.shown, 1);
    EXPECT_EQ(busy.restored, 1);
    EXPECT_EQ(o.axes.TopLevel[1], 10);

    // Clear, humidity boxes, temperature lines, wind-speed lines, the "Now"
    // line, then the frame's grid lines.
    const auto& ops = o.picRH.Operations();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front().kind, DrawOperation::Kind::Clear);
    int stage = 0;
    auto stageOf = [&o](const DrawOperation& op) {
        if (op.kind == DrawOperation::Kind::FilledBox) return 1;
        if (op.kind != DrawOperation::Kind::Line) return -1;
        if (op.color == RGB(255, 255, 0) || op.color == RGB(127, 127, 0)) return 2;
        if (op.state.drawWidth == 3) return 4;
        if (op.color == RGB(127, 127, 127) && op.y1 == op.y2 && op.state.drawWidth == 1 &&
            op.x1 == o.axes.ScaleRightColumn)
            return 5;
        return 3;
    };
    bool seen[6] = {};
    for (const DrawOperation& op : ops) {
        const int next = stageOf(op);
        if (next < 0) continue;
        EXPECT_GE(next, stage);
        stage = next;
        seen[next] = true;
    }
    for (int k = 1; k <= 5; ++k) EXPECT_TRUE(seen[k]) << "stage " << k;
    EXPECT_TRUE(o.ctx.grids.Height);
    EXPECT_FALSE(o.ctx.grids.Wind);
}

TEST(RedrawHub, HoldsBackWhileSuspendedAndRestoresThePointerOnFailure) {
    OverviewTestSession o;
    CountingPointer busy;
    RedrawOverview(o.ctx, true, &busy);
    EXPECT_TRUE(o.picRH.Operations().empty());
    EXPECT_TRUE(o.picLeft.Operations().empty());
    EXPECT_TRUE(o.picRight.Operations().empty());
    EXPECT_EQ(busy.shown, 0);

    const OverlayRow failing[] = {{"chkNow", [](const OverviewOptions&) { return true; }, nullptr,
                                   [](OverviewContext&) { throw std::runtime_error("plot"); }}};
    EXPECT_THROW(RedrawOverview(o.ctx, false, &busy, failing), std::runtime_error);
    EXPECT_EQ(busy.shown, 1);
    EXPECT_EQ(busy.restored, 1);
}

// With parcels to lift, the fields are made on a thread of their own while
// the rows ahead of the first with a make step are drawn: that row and every
// later one find the fields made, and an error of the making is thrown by the
// redraw. The row ahead holds the drawing until the making has begun, which
// here takes a while, so that a row drawn without waiting finds nothing
// made; the make step does its work only at its first call, the making's.
TEST(RedrawHub, RowsWithAMakeStepWaitForTheFieldsAndTheirErrors) {
    static std::atomic<int> calls;
    static std::atomic<int> made;
    static std::vector<int> seen;
    calls = made = 0;
    seen.clear();
    const auto on = [](const OverviewOptions&) { return true; };
    const auto ahead = [](OverviewContext&) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (calls == 0 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
    };
    const auto slowMake = [](OverviewContext&) {
        if (calls++ > 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        made = 1;
    };
    const auto record = [](OverviewContext&) { seen.push_back(made); };
    const OverlayRow rows[] = {{"chkNow", on, nullptr, ahead},
                               {"chkELCIN", on, MakeELCINParcels, record},
                               {"chkIcing", on, slowMake, record},
                               {"chkNow", on, nullptr, record}};
    OverviewTestSession o;
    RedrawOverview(o.ctx, false, nullptr, rows);
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(o.session.elevated->ElevCAPEDone(1, 0, 2), kFlagTrue);

    const OverlayRow failing[] = {
        {"chkNow", on, nullptr, [](OverviewContext&) {}},
        {"chkELCIN", on, MakeELCINParcels, nullptr},
        {"chkIcing", on, [](OverviewContext&) { throw std::runtime_error("make"); }, nullptr}};
    CountingPointer busy;
    OverviewTestSession lifting;
    EXPECT_THROW(RedrawOverview(lifting.ctx, false, &busy, failing), std::runtime_error);
    EXPECT_EQ(busy.restored, 1);
}

TEST(RedrawHub, SmoothedOmegaIsMadeOncePerModel) {
    OverviewTestSession o;
    ProfileArrays& s = *o.session.profile;
    o.Fill(s.Omega, [](int t, int k) { return static_cast<float>(t - k); });
    o.options.ChkOmega = true;
    o.options.OmegaFiltered = true;
    RedrawOverview(o.ctx, false);
    EXPECT_NE(o.session.wholeRun->SmoothedOmegaDone(1), 0);
    const float smoothed = o.session.wholeRun->SmoothedOmega(1, 5, 5);
    o.Fill(s.Omega, [](int, int) { return 50.0f; });
    RedrawOverview(o.ctx, false);
    EXPECT_EQ(o.session.wholeRun->SmoothedOmega(1, 5, 5), smoothed);
    o.session.ClearCachesAfterRead();
    EXPECT_EQ(o.session.wholeRun->SmoothedOmegaDone(1), 0);
}

TEST(HumidityShading, ClassesAreShadedFromTheLegendClassUpward) {
    EXPECT_EQ(HumidityShade(95, 5), RGB(0, 255, 0));
    EXPECT_EQ(HumidityShade(94.9f, 5), std::nullopt);
    EXPECT_EQ(HumidityShade(90, 0), RGB(0, 191, 0));
    EXPECT_EQ(HumidityShade(80, 3), RGB(255, 0, 0));
    EXPECT_EQ(HumidityShade(80, 4), std::nullopt);
    EXPECT_EQ(HumidityShade(70, 2), RGB(191, 0, 0));
    EXPECT_EQ(HumidityShade(70, 3), std::nullopt);
    EXPECT_EQ(HumidityShade(30, 0), std::nullopt);
    EXPECT_EQ(HumidityShade(29.9f, 0), RGB(0, 0, 255));
    EXPECT_EQ(HumidityShade(29.9f, 1), std::nullopt);

    // Water humidity wins when both boxes are on; a cell reaches half-way to
    // its neighbours' pressures; the lowest and the top level get none.
    OverviewTestSession o(0);
    ProfileArrays& s = *o.session.profile;
    o.Fill(s.RelativeHumidity, [](int, int) { return 96.0f; });
    o.Fill(s.RelativeHumidityIce, [](int, int) { return 50.0f; });
    o.options.chkRH = {true, true};
    PlotRH(o.ctx);
    const auto boxes = o.picRH.OperationsOf(DrawOperation::Kind::FilledBox);
    ASSERT_EQ(boxes.size(), 8u);
    EXPECT_DOUBLE_EQ(boxes[0].x1, -0.5);
    EXPECT_NEAR(boxes[0].y1, std::log(950.0), 1e-5); // levels 1 and 2
    EXPECT_NEAR(boxes[0].y2, std::log(850.0), 1e-5); // levels 2 and 3
    o.options.chkRH = {false, true};
    o.picRH.ForgetOperations();
    PlotRH(o.ctx);
    EXPECT_TRUE(o.picRH.OperationsOf(DrawOperation::Kind::FilledBox).empty());
}

} // namespace
} // namespace tarvex

namespace tarvex {
namespace {

TEST(RedrawHub, DerivedFieldsAreMadeOnceAndTheSnowRatioTraced) {
    test::OverviewTestSession o(4);
    ProfileArrays& s = *o.session.profile;
    o.Fill(s.Temperature, [](int, int k) { return 5.0f - 3.0f * k; });
    o.options.chkIcing = true;
    o.options.chkSnowRatio = true;
    o.options.SnowRatioTechnique = kSnowRatioFixed;
    o.options.FixedSnowRatio = 12;
    RedrawOverview(o.ctx, false);
    TimeHeightFields& f = *o.session.timeHeight;
    EXPECT_EQ(f.IcingDone(1), kFlagTrue);
    EXPECT_TRUE(f.SnowRatioDone);
    // A field made once is not made again on the next redraw.
    f.IcingField(1, 0, 1) = 123.0f;
    o.picRH.ForgetOperations();
    RedrawOverview(o.ctx, false);
    EXPECT_EQ(f.IcingField(1, 0, 1), 123.0f);

    // Four cyan segments, three pixels wide, at ratio 12 on the index scale
    // (-20 at the bottom, 20 at the top), not on the temperature trace scale.
    int segments = 0;
    for (const DrawOperation& op : o.picRH.OperationsOf(DrawOperation::Kind::Line)) {
        if (op.color != RGB(0, 255, 255)) continue;
        ++segments;
        EXPECT_EQ(op.state.drawWidth, 3);
        EXPECT_EQ(op.y2, 12.0);
        EXPECT_EQ(op.scale.top, 20.0);
        EXPECT_EQ(op.scale.top + op.scale.height, -20.0);
    }
    EXPECT_EQ(segments, 4);
}

// The bits of every value of model 1 in a field of levels or of hours.
template <typename T> void AddBits(std::vector<unsigned char>& bits, const T& v) {
    const auto* b = reinterpret_cast<const unsigned char*>(&v);
    bits.insert(bits.end(), b, b + sizeof v);
}
template <typename T, int Levels> std::vector<unsigned char> Bits(const LevelGrid<T, Levels>& g) {
    std::vector<unsigned char> bits;
    for (int t = 0; t < kTimeColumns; ++t)
        for (int k = 0; k < Levels; ++k) AddBits(bits, g(1, t, k));
    return bits;
}
template <typename T> std::vector<unsigned char> Bits(const TimeGrid<T>& g) {
    std::vector<unsigned char> bits;
    for (int t = 0; t < kTimeColumns; ++t) AddBits(bits, g(1, t));
    return bits;
}

// Where an operation stands, as bits.
std::vector<unsigned char> AsBytes(const DrawOperation& op) {
    std::vector<unsigned char> bits;
    for (const double v : {op.x1, op.y1, op.x2, op.y2, op.radius}) AddBits(bits, v);
    return bits;
}

// A full run with every overlay that makes a field of its own and every
// contour: the fields the first picture makes side by side hold the values
// each has when made alone, one after another, and the pictures drawn from
// them, with the contours traced side by side ahead or each as it is drawn,
// are the same.
TEST(RedrawHub, FieldsMadeSideBySideAreThoseMadeAlone) {
    OverviewTestSession threaded;
    OverviewTestSession alone;
    ContourTraces kept;
    threaded.ctx.contours = &kept;
    for (OverviewTestSession* o : {&threaded, &alone}) {
        ProfileArrays& s = *o->session.profile;
        ASSERT_TRUE(ParseSounding(samples::MakeSoundingText(samples::SampleSpec{}),
                                  SoundingLayout::EtaRuc, s)
                        .ok);
        SetLevelLogPressures(s, o->axes);
        StartProfileScale(o->axes, 1, 100);
        SetTimeWindow(o->axes, s.LastTime(1) + 1, 0);
        OverviewOptions& p = o->options;
        p.chkELCIN = p.chkECAPE = p.chkLakeIndex = p.chkIcing = p.chkDeltaThetaE = true;
        p.ChkOmega = p.OmegaFiltered = p.chkShearContour = p.chkTotalTotals = true;
        p.chkHelicity = p.chkStormRelInflow = p.chkCAPE = p.chkFreezingLevel = true;
        p.chkLayerShear = p.chkMeanMixingRatio = p.chkTQ = p.chkHainesIndex = true;
        p.chkLIC = p.chkSnowGrowth = p.chkSnowRatio = true;
        p.CAPEkmColours.fill(0x00C000);
        p.chkTemperature = p.chkVelocity = p.chkRHContour = p.chkRHIcontour = true;
        p.chkDPD = p.chkTheta = p.chkThetaE = p.chkWetBulb = p.chkMixingRatio = true;
    }
    RedrawOverview(threaded.ctx, false);
    alone.axes.TopLevel[1] = FindTopLevelOf(*alone.session.profile, alone.axes, 1);
    for (const OverlayRow& row : OverlayRows())
        if (row.make && row.on(alone.options)) row.make(alone.ctx);
    RedrawOverview(alone.ctx, false);

    const auto same = [&](const auto& field) {
        const auto of = [&](OverviewTestSession& o) { return Bits(field(o.session)); };
        EXPECT_EQ(of(threaded), of(alone)) << field(threaded.session).Name();
    };
    same([](Session & s) -> auto& { return s.timeHeight->IcingField; });
    same([](Session & s) -> auto& { return s.timeHeight->DeltaThetaEField; });
    same([](Session & s) -> auto& { return s.timeHeight->ShearContourField; });
    same([](Session & s) -> auto& { return s.timeHeight->LayerShearField; });
    same([](Session & s) -> auto& { return s.timeHeight->MeanMixingRatioField; });
    same([](Session & s) -> auto& { return s.timeHeight->SnowGrowthField; });
    same([](Session & s) -> auto& { return s.timeHeight->HainesIndexField; });
    same([](Session & s) -> auto& { return s.timeHeight->TotalTotalsField; });
    same([](Session & s) -> auto& { return s.timeHeight->LevelTemperatureField; });
    same([](Session & s) -> auto& { return s.timeHeight->SnowRatio; });
    same([](Session & s) -> auto& { return s.wholeRun->TQ; });
    same([](Session & s) -> auto& { return s.wholeRun->FreezingLevelFt; });
    same([](Session & s) -> auto& { return s.wholeRun->SmoothedOmega; });
    same([](Session & s) -> auto& { return s.hodograph->Helicity; });
    same([](Session & s) -> auto& { return s.hodograph->SRSpeedTop; });
    same([](Session & s) -> auto& { return s.lake->LakeCAPE; });
    same([](Session & s) -> auto& { return s.layerCape->LayerCAPE; });
    same([](Session & s) -> auto& { return s.elevated->ElevCAPE; });
    same([](Session & s) -> auto& { return s.elevated->ElevCIN; });

    const auto& drawn = threaded.picRH.Operations();
    const auto& made = alone.picRH.Operations();
    ASSERT_EQ(drawn.size(), made.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        ASSERT_EQ(drawn[i].kind, made[i].kind) << i;
        ASSERT_EQ(drawn[i].text, made[i].text) << i;
        ASSERT_EQ(AsBytes(drawn[i]), AsBytes(made[i])) << i;
    }
}

} // namespace
} // namespace tarvex
