#include "compute/TraceValues.h"
#include "compute/MixingLayer.h"
#include "compute/TimeHeightFields.h"

#include "compute/ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

float Celsius(double fahrenheit) {
    return static_cast<float>((fahrenheit - 32.0) * 5.0 / 9.0);
}
float Knots(double mph) {
    return static_cast<float>(mph / 1.1508);
}

// Published wind-chill tables: the one in use since 2001 and the older one,
// whose formula takes miles per hour.
TEST(WindChill, MatchesThePublishedTables) {
    EXPECT_EQ(std::lround(NewWindChill(Celsius(0), Knots(15))), -19);
    EXPECT_EQ(std::lround(NewWindChill(Celsius(20), Knots(10))), 9);
    EXPECT_EQ(std::lround(NewWindChill(Celsius(-10), Knots(30))), -39);
    EXPECT_NEAR(NewWindChill(0.0f, 10.0f), 23.0f, 0.05f);
    // Never warmer than the air: 50 F in a light wind stays 50 F.
    EXPECT_FLOAT_EQ(NewWindChill(10.0f, 1.0f), 50.0f);

    // The table in use before 2001 (deg F by air deg F and wind mph).
    struct Cell {
        double air, mph, table;
    };
    for (const Cell& e : {Cell{10, 15, -18}, Cell{10, 10, -9}, Cell{10, 20, -24}, Cell{10, 30, -33},
                          Cell{10, 40, -37}, Cell{0, 20, -39}, Cell{30, 10, 16}, Cell{20, 20, -10},
                          Cell{35, 15, 16}, Cell{-10, 10, -34}})
        EXPECT_NEAR(OldWindChill(Celsius(e.air), Knots(e.mph)), e.table, 1.0)
            << e.air << " F " << e.mph;
    // Below 4.08 mph the wind counts as 4.08, where the factor is 1.0036.
    EXPECT_NEAR(OldWindChill(0.0f, 2.0f), 91.4f - 59.4f * 1.00359f, 0.01f);
    EXPECT_FLOAT_EQ(OldWindChill(0.0f, 0.0f), OldWindChill(0.0f, Knots(4.08)));
}

TEST(VisibilityDepth, StretchesThePoorRangeAndNeverTurnsBack) {
    EXPECT_DOUBLE_EQ(VisibilityDepth(0.0, 10.0), 100.0);
    EXPECT_DOUBLE_EQ(VisibilityDepth(5.0, 10.0), 25.0);
    EXPECT_DOUBLE_EQ(VisibilityDepth(10.0, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(VisibilityDepth(15.0, 10.0), 0.0);
    EXPECT_DOUBLE_EQ(VisibilityDepth(-1.0, 10.0), 100.0);
    double before = VisibilityDepth(0.0, 10.0);
    for (double miles = 0.25; miles <= 20.0; miles += 0.25) {
        const double depth = VisibilityDepth(miles, 10.0);
        EXPECT_LE(depth, before) << miles;
        before = depth;
    }
}

// The store's current model.
constexpr int kM = 1;

// Columns 0..lastTime, four levels at 1000, 900, 800 and 700 mb.
struct TestRun {
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    TimeHeightFields fields;
    explicit TestRun(std::vector<test::SoundingLevel> levels, int lastTime = 0) {
        for (int t = 0; t <= lastTime; ++t) {
            test::OneTimeProfile p;
            p.Levels = levels;
            test::WriteProfile(*store, p, t);
        }
    }
    ProfileArrays& s() { return *store; }
};

TEST(SnowGrowthField, MarksTheBandAndItsMoistPart) {
    TestRun run({{1000, 0, -12}, {900, 900, -18}, {800, 1900, -11.9f}, {700, 3000, -15}});
    run.s().RelativeHumidity(kM, 0, 1) = 75.0f;
    run.s().RelativeHumidity(kM, 0, 2) = 76.0f;
    run.s().RelativeHumidity(kM, 0, 3) = 90.0f;
    run.s().RelativeHumidity(kM, 0, 4) = 20.0f;
    MakeSnowGrowth(run.s(), run.fields);
    EXPECT_EQ(run.fields.SnowGrowthField(kM, 0, 1), 10.0f);
    EXPECT_EQ(run.fields.SnowGrowthField(kM, 0, 2), 21.0f);
    EXPECT_EQ(run.fields.SnowGrowthField(kM, 0, 3), 0.0f);
    EXPECT_EQ(run.fields.SnowGrowthField(kM, 0, 4), 10.0f);
    EXPECT_EQ(run.fields.SnowGrowthDone(kM), kFlagTrue);
}

TEST(InversionLayers, MarkWarmingAndDryStableLayersBelow400mb) {
    // Level 2 warms by exactly the least rise; level 3 cools by 1 in air
    // 5 dry; level 4 cools by 1 in air 4.9 dry.
    TestRun run({{1000, 0, 10, 5},
                 {900, 900, 10.5f, 0},
                 {800, 1900, 9.5f, 4.5f},
                 {700, 3000, 8.5f, 3.6f},
                 {400, 7000, -20, -30},
                 {300, 9000, -30, -40}});
    const InversionThresholds limits;
    EXPECT_EQ(InversionTopLevel(run.s()), 4); // 700 mb; 400 mb itself is not above 400
    EXPECT_TRUE(InversionLayer(run.s(), 0, 1, limits));
    EXPECT_TRUE(InversionLayer(run.s(), 0, 2, limits));
    EXPECT_FALSE(InversionLayer(run.s(), 0, 3, limits));

    // A profile wholly below 400 mb scans up to the level under its top,
    // never reading above the top level.
    TestRun low({{1000, 0, 10}, {900, 900, 5}, {800, 1900, 0}});
    test::PoisonLevel(low.s(), 0, 4);
    EXPECT_EQ(InversionTopLevel(low.s()), 2);
}

TEST(MoistLakeIndex, TakesTheLakeAsAWholeNumber) {
    TestRun run({{1000, 0, 0}, {900, 900, -4}, {850, 1400, -8}, {700, 3000, -16}});
    // 850 mb: -8; lowest two levels -2; lake 2.5 -> 2: -8 - ((2 - 2) / 2 - 9).
    EXPECT_NEAR(MoistLakeIndexOf(run.s(), 0, 2.5f), 1.0f, 1e-5f);
    // 3.5 -> 4: -8 - ((4 - 2) / 2 - 9).
    EXPECT_NEAR(MoistLakeIndexOf(run.s(), 0, 3.5f), 0.0f, 1e-5f);
}

TEST(MixingLayer, TopTransportWindAndDays) {
    EXPECT_FLOAT_EQ(DryAdiabatTemperature(20.0f, 1000.0f, 1000.0f), 20.0f);
    EXPECT_NEAR(DryAdiabatTemperature(20.0f, 1000.0f, 900.0f), 11.307f, 0.005f);

    // From 20 C the dry adiabat is 11.3 C at 900 mb and 1.9 C at 800 mb:
    // 10 C at 900 is mixed, 5 C at 800 is not.
    TestRun run({{1000, 0, 19, 0, 10, 0},
                 {900, 1000, 10, 0, 20, 0},
                 {800, 2000, 5, 0, 40, 0},
                 {700, 3000, -2, 0, 40, 0}},
                30);
    ProfileArrays& s = run.s();
    for (int t = 0; t <= 30; ++t) s.SurfaceTemp(kM, t) = t == 12 ? 24.0f : 20.0f;
    s.SurfaceTemp(kM, 27) = 21.0f;
    EXPECT_EQ(MixingLayerTop(s, 0, 20.0f, 0.0f), 2);
    // Mixing through the lowest 250 mb reaches 700 mb, where the layer stops.
    EXPECT_EQ(MixingLayerTop(s, 0, 20.0f, 250.0f), 3);

    MixingLayerResults r;
    MakeMixingLayer(s, kMixingByMomentumTransfer, 30.0f, 1, r);
    EXPECT_EQ(r.MixingLayerTopLevel(kM, 0), 2.0f);
    // Mean of 10 and 20 m/s from the west, 1000 m deep.
    EXPECT_NEAR(r.TransportDir(kM, 0), 270.0f, 0.01f);
    EXPECT_NEAR(r.TransportSpeed(kM, 0), 15.0f * 1.94254f, 1e-3f);
    EXPECT_NEAR(r.Ventilation(kM, 0), 15.0f, 1e-3f);
    EXPECT_EQ(r.MixingLayerReady(kM), kFlagTrue);

    // Two days of hourly columns, split at column 24, with maxima 24 and 21.
    EXPECT_EQ(r.DayCount(kM), 2);
    EXPECT_EQ(r.MarkerCount(kM), 2);
    EXPECT_EQ(r.MixingLayerMarkers[kM][1], 24);
    EXPECT_FLOAT_EQ(r.MaxTemperature[kM][0], 24.0f);
    EXPECT_FLOAT_EQ(r.MaxTemperature[kM][1], 21.0f);
    // A nudged maximum stands when the layer is made again.
    r.MaxTemperature[kM][1] = 30.0f;
    MakeMixingLayer(s, kMixingByMaximumTemperature, 30.0f, 1, r);
    EXPECT_FLOAT_EQ(r.MaxTemperature[kM][1], 30.0f);
    EXPECT_EQ(r.MixingLayerTopLevel(kM, 30), 4.0f);
}

TEST(MixingLayer, EveryDayOfALongRunKeepsItsOwnMaximum) {
    // 85 hourly columns span four days; the fourth (72..84) is the warmest.
    TestRun run({{1000, 0, 19}, {900, 1000, 10}, {800, 2000, 5}, {700, 3000, -2}}, 84);
    ProfileArrays& s = run.s();
    for (int t = 0; t <= 84; ++t) s.SurfaceTemp(kM, t) = 10.0f + static_cast<float>(t / 24);
    MixingLayerResults r;
    MakeMixingLayer(s, kMixingByMaximumTemperature, 30.0f, 1, r);
    ASSERT_EQ(r.DayCount(kM), 4);
    EXPECT_EQ(r.MarkerCount(kM), 4);
    EXPECT_EQ(r.MixingLayerMarkers[kM][3], 72);
    EXPECT_FLOAT_EQ(r.MaxTemperature[kM][2], 12.0f);
    EXPECT_FLOAT_EQ(r.MaxTemperature[kM][3], 13.0f);
    // Three-hourly columns: 85 columns are eleven days.
    r.MaxTemperatureSet(kM) = kFlagFalse;
    MakeMixingLayer(s, kMixingByMaximumTemperature, 30.0f, 3, r);
    EXPECT_EQ(r.DayCount(kM), 11);
    EXPECT_EQ(r.MixingLayerMarkers[kM][10], 80);
}

} // namespace
} // namespace tarvex
