#include "overview/fields/IndexTraces.h"
#include "overview/fields/LayerTraces.h"

#include "compute/ApparentTemp.h"
#include "compute/ComputeState.h"
#include "compute/ParcelState.h"
#include "compute/TimeHeightFields.h"

#include "OverviewTestSession.h"
#include "TraceTestHelpers.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

using test::LineColors;
using test::OverviewTestSession;
using test::ToPixels;
constexpr int m = OverviewTestSession::kModel;

// Six hours: column c at x = (6 - c) * 500 / 7 px; the index scale -20..20
// over 300 px (v at y = (20 - v) * 7.5).
struct SixHours : OverviewTestSession {
    SixHours() : OverviewTestSession(5) {}
    ProfileArrays& s = *session.profile;
    TimeHeightFields& f = *session.timeHeight;
    std::vector<DrawOperation> Lines() const {
        return picRH.OperationsOf(DrawOperation::Kind::Line);
    }
};

TEST(IndexTraces, PressureChangeOverThreeHoursAndEvaporationBars) {
    SixHours o;
    for (int t = 0; t <= 5; ++t) o.s.SurfacePressure(m, t) = 1000.0f + static_cast<float>(t * t);
    o.session.HoursPerColumn = 1; // columns 3 apart: 9 - 0, 16 - 1, 25 - 4
    Plot3HPresChange(o.ctx);
    auto lines = o.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].x1, 3);
    EXPECT_EQ(lines[0].y1, 9);
    EXPECT_EQ(lines[1].y2, 21);
    EXPECT_NEAR(ToPixels(lines[1], lines[1].x2, lines[1].y2, 500, 300).y, -7.5, 1e-6);
    o.picRH.ForgetOperations();
    o.session.HoursPerColumn = 3; // neighbouring columns
    Plot3HPresChange(o.ctx);
    lines = o.Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].y1, 1);
    EXPECT_EQ(lines[3].y2, 9);
    o.picRH.ForgetOperations();
    o.session.HoursPerColumn = 6; // no column in three hours: 0 throughout
    Plot3HPresChange(o.ctx);
    for (const auto& line : o.Lines()) EXPECT_EQ(line.y2, 0);

    o.picRH.ForgetOperations();
    o.s.Evaporation(m, 2) = 0.05f;
    PlotEvaporation(o.ctx);
    const auto bars = o.picRH.OperationsOf(DrawOperation::Kind::Box);
    ASSERT_EQ(bars.size(), 6u);
    // Half a column wide, before the column; 0.05 of 0.1 in is mid-height.
    const auto top = ToPixels(bars[2], bars[2].x1, bars[2].y1, 500, 300);
    EXPECT_NEAR(top.x, 4.5 * 500 / 7, 1e-6);
    EXPECT_NEAR(top.y, 150, 1e-4);
    EXPECT_EQ(bars[0].y1, bars[0].y2); // no evaporation: a box of no height
}

TEST(IndexTraces, HainesDavisAndLakeIndexSegmentColours) {
    SixHours o;
    o.f.HainesIndexDone(m) = kFlagTrue;
    o.options.HainesLevel = 2;
    const std::int16_t haines[] = {3, 6, 4, 5, 2, 3};
    for (int t = 0; t <= 5; ++t) o.f.HainesIndexField(m, t, 2) = haines[t];
    PlotHainesIndex(o.ctx);
    EXPECT_EQ(LineColors(o.picRH), (std::vector<Rgb>{kBlue, kBlue, kRed, kRed, kGreen}));

    // Surface temperature less the lake-level temperature (0 C); hour 4 has
    // no level temperature and breaks the trace.
    o.picRH.ForgetOperations();
    o.f.LevelTemperatureDone(m) = kFlagTrue;
    const float davis[] = {16, 17, 17.5f, 9, 0, 12};
    for (int t = 0; t <= 5; ++t) {
        o.s.SurfaceTemp(m, t) = davis[t];
        o.f.LevelTemperatureField(m, t) = t == 4 ? kMissingField : 0.0f;
    }
    MakeLevelTemperatureField(o.ctx);
    PlotDavisIndex(o.ctx);
    EXPECT_EQ(LineColors(o.picRH), (std::vector<Rgb>{kRed, kBlue, kBlue}));

    // Lake 2.5 C rounds to 2 (half to even); offset 5: index = level + 3.
    o.picRH.ForgetOperations();
    o.session.parcelOptions.LakeTempC = 2.5f;
    o.session.config.LakeIndexOffset = 5.0f;
    const float level[] = {0, 0.1f, -3, 1, 2, 2};
    for (int t = 0; t <= 5; ++t) o.f.LevelTemperatureField(m, t) = level[t];
    PlotLakeIndex(o.ctx);
    EXPECT_EQ(LineColors(o.picRH),
              (std::vector<Rgb>{RGB(192, 192, 0), RGB(223, 0, 0), RGB(223, 0, 0), RGB(0, 192, 0),
                                RGB(0, 192, 0)}));
    EXPECT_EQ(o.Lines()[0].y1, 3);

    // Moist lake index over a lake of 0 C: with one temperature T through
    // the column the index is T / 2 + 9. Green needs both ends above 3,
    // olive both above 0.
    o.picRH.ForgetOperations();
    o.session.parcelOptions.LakeTempC = 0.0f;
    const float moist[] = {5.0f, 3.0f, 5.0f, 3.1f, 0.1f, 0.0f};
    for (int t = 0; t <= 5; ++t)
        for (int k = 0; k <= OverviewTestSession::kLevels; ++k)
            o.s.Temperature(m, t, k) = 2.0f * (moist[t] - 9.0f);
    PlotMoistLakeIndex(o.ctx);
    EXPECT_EQ(LineColors(o.picRH),
              (std::vector<Rgb>{RGB(192, 192, 0), RGB(192, 192, 0), RGB(0, 192, 0),
                                RGB(192, 192, 0), RGB(223, 0, 0)}));
    EXPECT_NEAR(o.Lines()[2].y2, 3.1, 1e-5);
}

TEST(IndexTraces, HelicityTotalTotalsAndTQ) {
    SixHours o;
    o.f.HodoParamsAllHoursDone(m) = kFlagTrue;
    o.session.hodograph->Helicity(m, 1) = 250;
    PlotHelicity(o.ctx);
    const auto dots = o.picRH.OperationsOf(DrawOperation::Kind::Circle);
    ASSERT_EQ(dots.size(), 6u);
    EXPECT_EQ(dots[1].y1, 25);
    EXPECT_EQ(dots[1].radius, 0.3);

    // Total Totals on the temperature scale (30..100), TQ on the index scale,
    // both by exclusive or; a missing Total Totals breaks the line.
    o.picRH.ForgetOperations();
    o.f.TotalTotalsDone(m) = kFlagTrue;
    o.session.wholeRun->TQDone(m) = kFlagTrue;
    for (int t = 0; t <= 5; ++t) {
        o.f.TotalTotalsField(m, t) = t == 3 ? kMissingField : 50.0f;
        o.session.wholeRun->TQ(m, t) = 10.0f;
    }
    MakeTotalTotalsField(o.ctx);
    MakeTQField(o.ctx);
    PlotTotalTotals(o.ctx);
    PlotTQ(o.ctx);
    const auto lines = o.Lines();
    ASSERT_EQ(lines.size(), 3u + 5u);
    EXPECT_EQ(lines[0].color, RGB(0, 0, 255));
    EXPECT_EQ(lines[0].state.drawMode, DrawMode::XorPen);
    EXPECT_NEAR(ToPixels(lines[0], 0, lines[0].y1, 500, 300).y, 300 - 20 * 300 / 70.0, 1e-4);
    EXPECT_EQ(lines[3].color, RGB(0, 128, 255));
    EXPECT_NEAR(ToPixels(lines[3], 0, lines[3].y1, 500, 300).y, 75, 1e-4);
    EXPECT_EQ(o.picRH.GetDrawMode(), DrawMode::CopyPen);
    EXPECT_EQ(o.picRH.DrawWidth(), 1);
}

TEST(IndexTraces, ApparentTemperatureFromTheModelsTemperatureAndLevelOneHumidity) {
    SixHours o;
    for (int t = 0; t <= 5; ++t) {
        o.s.SurfaceTemp(m, t) = t < 3 ? 10.0f : 40.0f;
        o.s.Temperature(m, t, 1) = 10.0f;
        o.s.RelativeHumidity(m, t, 1) = 50.0f;
    }
    // The first model options use the 2 m temperature: the segment from a
    // cool hour to a hot one takes the hotter class.
    PlotApparentTemp(o.ctx);
    const float hot = MakeApparentTemp(40.0f, 50.0f);
    ASSERT_GE(hot, 130.0f);
    EXPECT_EQ(LineColors(o.picRH), (std::vector<Rgb>{kGreen, kGreen, kWhite, kWhite, kWhite}));
    EXPECT_NEAR(o.Lines()[4].y2, hot, 1e-4);
    // Later options take level 1's temperature.
    o.picRH.ForgetOperations();
    o.s.ModelChoice = 3;
    PlotApparentTemp(o.ctx);
    EXPECT_EQ(LineColors(o.picRH), std::vector<Rgb>(5, kGreen));
}

} // namespace
} // namespace tarvex
