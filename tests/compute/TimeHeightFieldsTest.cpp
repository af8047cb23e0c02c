#include "compute/TimeHeightFields.h"
#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ProfileBuilder.h"
#include "compute/SnowRatio.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

using test::OneTimeProfile;
using test::SoundingLevel;

// Four levels: 1000 mb at the ground, 900, 850, 500 mb.
OneTimeProfile FourLevels() {
    OneTimeProfile p;
    p.SurfacePressure = 1000.0f;
    p.Levels = {{1000.0f, 0.0f, 20.0f, 15.0f, 10.0f, 0.0f},
                {900.0f, 1000.0f, 14.0f, 8.0f, 10.0f, 10.0f},
                {850.0f, 1500.0f, 10.0f, 5.0f, 10.0f, 10.0f},
                {500.0f, 5500.0f, -20.0f, -30.0f, 20.0f, 10.0f}};
    return p;
}

TEST(TimeHeightFieldsTest, LevelFieldsOfAKnownProfile) {
    auto store = test::NewStore();
    test::WriteProfile(*store, FourLevels());
    const int m = store->CurrentModel;
    for (int L = 1; L <= 4; ++L) {
        store->ThetaE(m, 0, L) = 300.0f + 2.0f * static_cast<float>(L);
        store->MixingRatio(m, 0, L) = 10.0f - 2.0f * static_cast<float>(L);
    }
    TimeHeightFields f;

    // Hodograph length from a calm surface: 10, then +10, then 0, then +10.
    MakeLayerShear(*store, false, f);
    EXPECT_NEAR(f.LayerShearField(m, 0, 1), 10.0f, 1e-3);
    EXPECT_NEAR(f.LayerShearField(m, 0, 2), 20.0f, 1e-3);
    EXPECT_NEAR(f.LayerShearField(m, 0, 3), 20.0f, 1e-3);
    EXPECT_NEAR(f.LayerShearField(m, 0, 4), 30.0f, 1e-3);
    // Per km: within 0.5 km of the ground 0; at 850 mb the standard depth
    // from 1000 mb is 1.343 km.
    MakeLayerShear(*store, true, f);
    EXPECT_EQ(f.LayerShearField(m, 0, 1), 0.0f);
    EXPECT_NEAR(f.LayerShearField(m, 0, 3), 20.0f / 1.3434f, 0.01);
    EXPECT_EQ(f.LayerShearDone(m), kFlagTrue);

    MakeDeltaThetaE(*store, f);
    EXPECT_EQ(f.DeltaThetaEField(m, 0, 1), 0.0f);
    EXPECT_EQ(f.DeltaThetaEField(m, 0, 4), 6.0f);
    MakeMeanMixingRatio(*store, f);
    EXPECT_EQ(f.MeanMixingRatioField(m, 0, 1), 8.0f);
    EXPECT_EQ(f.MeanMixingRatioField(m, 0, 4), 5.0f);

    // Each level's wind against the mean of the levels within 500 m (only
    // level 1's: 10, 0): level 1 itself 0, levels 2 and 3 10 m/s, level 4
    // (20, 10) 14.1 m/s.
    MakeShearContour(*store, f);
    EXPECT_NEAR(f.ShearContourField(m, 0, 1), 0.0f, 1e-4);
    EXPECT_NEAR(f.ShearContourField(m, 0, 2), 10.0f, 1e-4);
    EXPECT_NEAR(f.ShearContourField(m, 0, 4), std::hypot(10.0f, 10.0f), 1e-4);

    // Icing: dry levels stay negative; a supersaturated level above
    // freezing gives 0, below freezing keeps its positive value.
    store->Temperature(m, 0, 1) = 1.0f;
    store->DewPoint(m, 0, 1) = 1.5f;
    store->Temperature(m, 0, 4) = -5.0f;
    store->DewPoint(m, 0, 4) = -5.0f;
    MakeIcing(*store, f);
    EXPECT_EQ(f.IcingField(m, 0, 1), 0.0f);
    EXPECT_EQ(f.IcingField(m, 0, 2), -8.0f * 6.0f - 14.0f);
    EXPECT_EQ(f.IcingField(m, 0, 4), 5.0f);
}

TEST(TimeHeightFieldsTest, IndicesAtPressures) {
    auto store = test::NewStore();
    test::WriteProfile(*store, FourLevels());
    const int m = store->CurrentModel;
    TimeHeightFields f;

    // (10 - -20) + (5 - -20) at 850 and 500 mb.
    MakeTotalTotals(*store, 850, f);
    EXPECT_NEAR(f.TotalTotalsField(m, 0), 55.0f, 1e-3);

    // 875 mb lies between 900 (14) and 850 mb (10), linear in ln p.
    MakeLevelTemperature(*store, 875, f);
    const double expected =
        10.0 + (std::log(875.0) - std::log(850.0)) / (std::log(900.0) - std::log(850.0)) * 4.0;
    EXPECT_NEAR(f.LevelTemperatureField(m, 0), expected, 1e-4);
    // A ground above the pressure takes level 1; a top below it is missing.
    MakeLevelTemperature(*store, 1010, f);
    EXPECT_EQ(f.LevelTemperatureField(m, 0), 20.0f);
    MakeLevelTemperature(*store, 400, f);
    EXPECT_EQ(f.LevelTemperatureField(m, 0), kMissingField);

    // Haines limits: each term is 2 at its first limit and 3 at its second.
    EXPECT_EQ(HainesTerm(3.4f, 3.5f, 7.5f), 1);
    EXPECT_EQ(HainesTerm(3.5f, 3.5f, 7.5f), 2);
    EXPECT_EQ(HainesTerm(20.4f, 14.5f, 20.5f), 2);
    EXPECT_EQ(HainesTerm(20.5f, 14.5f, 20.5f), 3);
    // Low: 950-850 mb lapse 7.1, 850 mb depression 5: 2 + 1. Mid: lapse to
    // 700 mb (-1.0 C, linear in ln p) 11.0: 3 + 1. High: 700-500 mb lapse 19.0,
    // 700 mb depression 6.8: 2 + 1.
    MakeHainesIndex(*store, f);
    EXPECT_EQ((std::array<int, 3>{f.HainesIndexField(m, 0, 1), f.HainesIndexField(m, 0, 2),
                                  f.HainesIndexField(m, 0, 3)}),
              (std::array<int, 3>{3, 4, 3}));
}

TEST(TimeHeightFieldsTest, PrecipitationTypesSeenInTheRun) {
    auto store = test::NewStore();
    PTypeResults ptype;
    const int m = store->CurrentModel;
    store->LastTime(m) = 3;
    const int codes[] = {kPTypeRain, kPTypeSnow, kPTypeFreezingRain, kPTypeIcePellets};
    for (int t = 0; t <= 3; ++t) ptype.PTypeCode(m, t) = codes[t];
    TimeHeightFields f;
    MakePTypeSummary(*store, ptype, f);
    for (bool seen : f.PTypeSeen) EXPECT_FALSE(seen); // a dry run shows none

    store->Precip(m, 0) = 1.0f; // all of it convective: "C" only
    store->ConvPrecip(m, 0) = 1.0f;
    store->Precip(m, 2) = 0.5f;
    MakePTypeSummary(*store, ptype, f);
    EXPECT_EQ(f.PTypeSeen, (std::array<bool, 5>{true, false, false, true, false}));
}

TEST(SnowRatioTest, TablesAtAndBetweenTheirPoints) {
    EXPECT_EQ(SurfaceTempSnowRatio(2.0f), 10.0f);
    EXPECT_EQ(SurfaceTempSnowRatio(2.1f), 0.0f);
    EXPECT_EQ(SurfaceTempSnowRatio(-2.2f), 15.0f);
    EXPECT_EQ(SurfaceTempSnowRatio(-6.6f), 15.0f);
    EXPECT_EQ(SurfaceTempSnowRatio(-9.4f), 30.0f);
    EXPECT_EQ(SurfaceTempSnowRatio(-30.0f), 100.0f);

    EXPECT_EQ(MaxTempSnowRatio(0.0f), 10.0f);
    EXPECT_EQ(MaxTempSnowRatio(-10.0f), 25.0f);
    EXPECT_EQ(MaxTempSnowRatio(-18.0f), 25.0f);
    EXPECT_EQ(MaxTempSnowRatio(-22.0f), 15.0f);
    EXPECT_EQ(MaxTempSnowRatio(-5.0f), 17.5f);
    EXPECT_EQ(MaxTempSnowRatio(2.5f), 0.0f);

    EXPECT_EQ(ZoneOmegaTableRatio(-16.0f), 50.0f);
    EXPECT_EQ(ZoneOmegaTableRatio(-16.5f), 47.5f);
    EXPECT_EQ(ZoneOmegaTableRatio(0.5f), 1.5f);
    EXPECT_EQ(ZoneOmegaTableRatio(-150.0f), 10.0f);
    EXPECT_EQ(ZoneOmegaTableRatio(100.0f), 0.0f);
}

TEST(SnowRatioTest, TechniquesOverAProfile) {
    auto store = test::NewStore();
    OneTimeProfile p;
    p.Levels = {{1000.0f, 0.0f, -3.0f, -4.0f},
                {900.0f, 900.0f, -8.0f, -9.0f},
                {800.0f, 1900.0f, -16.0f, -17.0f},
                {700.0f, 3000.0f, -10.0f, -30.0f}};
    test::WriteProfile(*store, p);
    const int m = store->CurrentModel;
    TimeHeightFields f;

    MakeSnowRatio(*store, kSnowRatioMaxTemp, 10, f);
    EXPECT_EQ(f.SnowRatio(m, 0), 14.5f); // 10 - 1.5 x -3
    MakeSnowRatio(*store, kSnowRatioSurfaceTemp, 10, f);
    EXPECT_EQ(f.SnowRatio(m, 0), 15.0f);
    MakeSnowRatio(*store, kSnowRatioFixed, 12, f);
    EXPECT_EQ(f.SnowRatio(m, 0), 12.0f);
    EXPECT_TRUE(f.SnowRatioDone);

    // No saturated level: 0. One saturated, ascending level at -16 C: 50.
    MakeSnowRatio(*store, kSnowRatioZoneOmega, 10, f);
    EXPECT_EQ(f.SnowRatio(m, 0), 0.0f);
    store->RelativeHumidityIce(m, 0, 3) = 95.0f;
    store->Omega(m, 0, 3) = -4.0f;
    MakeSnowRatio(*store, kSnowRatioZoneOmega, 10, f);
    EXPECT_FLOAT_EQ(f.SnowRatio(m, 0), 50.0f);
    // The top level is never weighed; descent alone gives 0.
    store->RelativeHumidityIce(m, 0, 4) = 95.0f;
    store->Omega(m, 0, 4) = -40.0f;
    store->Omega(m, 0, 3) = 2.0f;
    MakeSnowRatio(*store, kSnowRatioZoneOmega, 10, f);
    EXPECT_EQ(f.SnowRatio(m, 0), 0.0f);
    // A technique outside the four leaves the ratio as it was.
    f.SnowRatio(m, 0) = 7.0f;
    MakeSnowRatio(*store, 5, 10, f);
    EXPECT_EQ(f.SnowRatio(m, 0), 7.0f);
}

} // namespace
} // namespace tarvex
