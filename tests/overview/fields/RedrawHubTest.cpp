#include "overview/fields/RedrawHub.h"
#include "compute/SnowRatio.h"
#include "compute/TimeHeightFields.h"
#include "overview/fields/HumidityShading.h"

#include "OverviewTestSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

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

} // namespace
} // namespace tarvex
