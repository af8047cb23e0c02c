#include "files/DerivedFields.h"
#include "compute/Levels.h"
#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace tarvex {
namespace {

constexpr int m = 1;

// Dew point (C) at which air of temperature t has relative humidity rh (%),
// from the inverse of the Magnus formula.
float DewPointFor(float t, float rh) {
    const double e = rh / 100.0 * 6.112 * std::exp(17.67 * t / (t + 243.5));
    const double x = std::log(e / 6.112);
    return static_cast<float>(243.5 * x / (17.67 - x));
}

class OneLevel : public ::testing::Test {
  protected:
    // Derives level 1 of time 0 from a temperature, dew point and pressure.
    ProfileArrays& Derive(float t, float td, float p = 1000.0f, float cloud = -1.0f) {
        s->Pressure(m, 0, 1) = p;
        s->Temperature(m, 0, 1) = t;
        s->DewPoint(m, 0, 1) = td;
        s->CloudFraction(m, 0, 1) = cloud;
        DeriveLevelFields(*s, m, 0, 1, 0.0f);
        return *s;
    }
    std::unique_ptr<ProfileArrays> s = std::make_unique<ProfileArrays>();
};

TEST_F(OneLevel, HumidityOverWaterAndTheIceBlend) {
    // Magnus: e(10 C) = 12.27 mb, e(20 C) = 23.37 mb.
    EXPECT_NEAR(Derive(20, 10).RelativeHumidity(m, 0, 1), 52.5f, 0.1f);
    // Saturated at -10 C: 100 % over water, and over ice 2.868 / 2.599
    // (the published saturation pressure over ice) = 110.3 %. Halfway to
    // -20 C the blend is the mean of the two.
    EXPECT_NEAR(Derive(-10, -10).RelativeHumidity(m, 0, 1), 100.0f, 1e-3f);
    EXPECT_NEAR(s->RelativeHumidityIce(m, 0, 1), (100.0f + 110.33f) / 2.0f, 0.15f);
    // At -20 C the value is the ice value itself: 1.2575 / 1.0324 mb.
    EXPECT_NEAR(Derive(-20, -20).RelativeHumidityIce(m, 0, 1), 121.8f, 0.3f);
    Derive(5, 0);
    EXPECT_FLOAT_EQ(s->RelativeHumidityIce(m, 0, 1), s->RelativeHumidity(m, 0, 1));
}

TEST_F(OneLevel, MixingRatioAndPotentialTemperature) {
    // Saturated at 20 C and 1000 mb: about 14.95 g/kg with the enhancement
    // factor of moist air.
    Derive(20, 20, 1000);
    EXPECT_NEAR(s->SatMixingRatio(m, 0, 1), 14.95f, 0.05f);
    EXPECT_NEAR(s->MixingRatio(m, 0, 1), 14.95f, 0.05f);
    EXPECT_NEAR(s->SpecificHumidity(m, 0, 1), 14.73f, 0.05f); // w / (1 + w)
    EXPECT_NEAR(Derive(20, 10, 850).PotentialTemperature(m, 0, 1), 307.09f, 0.01f);
    // Below 0 C the saturation mixing ratio is over ice: smaller than over water.
    Derive(-15, -15, 700);
    EXPECT_LT(s->SatMixingRatio(m, 0, 1), s->MixingRatio(m, 0, 1));
}

TEST_F(OneLevel, CloudFractionFromHumidityOverIce) {
    EXPECT_NEAR(Derive(20, DewPointFor(20, 75)).CloudFraction(m, 0, 1), 0.0f, 0.5f);
    EXPECT_NEAR(Derive(20, DewPointFor(20, 91)).CloudFraction(m, 0, 1), 40.0f, 0.5f);
    EXPECT_FLOAT_EQ(Derive(20, 20).CloudFraction(m, 0, 1), 100.0f);
    EXPECT_FLOAT_EQ(Derive(20, DewPointFor(20, 40)).CloudFraction(m, 0, 1), 0.0f);
    // Supersaturated over ice (saturated over water at -15 C): overcast.
    EXPECT_FLOAT_EQ(Derive(-15, -15).CloudFraction(m, 0, 1), 100.0f);
    // A value from the file is kept.
    EXPECT_FLOAT_EQ(Derive(20, 20, 1000, 35.0f).CloudFraction(m, 0, 1), 35.0f);
}

TEST_F(OneLevel, MissingDewPointBecomesFortyBelowTheTemperature) {
    Derive(10, -9999);
    EXPECT_FLOAT_EQ(s->DewPoint(m, 0, 1), -30.0f);
    EXPECT_LT(s->RelativeHumidity(m, 0, 1), 5.0f);
}

TEST_F(OneLevel, WindComponentsOfTheFourQuadrants) {
    struct Wind {
        float direction, u, v;
    };
    // 1.94254 kt is 1 m/s; the wind blows from the direction given.
    const Wind winds[] = {{270, 1, 0},  {180, 0, 1}, {90, -1, 0},
                          {360, 0, -1}, {0, 0, -1},  {225, 0.70711f, 0.70711f}};
    for (const Wind& w : winds) {
        s->WindDirection(m, 0, 1) = w.direction;
        s->WindSpeed(m, 0, 1) = 1.94254f;
        s->WindEdited(m, 0) = -1;
        Derive(10, 0);
        EXPECT_NEAR(s->WindU.Level(m, 0, 1), w.u, 1e-4f) << w.direction;
        EXPECT_NEAR(s->WindV.Level(m, 0, 1), w.v, 1e-4f) << w.direction;
        EXPECT_EQ(s->WindUOriginal.Slot(m, 0, 2), s->WindU.Level(m, 0, 1));
        EXPECT_EQ(s->WindVOriginal.Slot(m, 0, 2), s->WindV.Level(m, 0, 1));
        EXPECT_EQ(s->WindEdited(m, 0), 0);
    }
}

TEST_F(OneLevel, OmegaAndHeightAboveGround) {
    s->Omega(m, 0, 1) = -0.25f;
    s->Height(m, 0, 1) = 1500.0f;
    s->Pressure(m, 0, 1) = 850.0f;
    DeriveLevelFields(*s, m, 0, 1, 218.0f);
    EXPECT_FLOAT_EQ(s->Omega(m, 0, 1), -2.5f);
    EXPECT_FLOAT_EQ(s->HeightAGL(m, 0, 1), 1282.0f);
}

TEST_F(OneLevel, ZeroPressureStoresNoBrokenValues) {
    s->SatMixingRatio(m, 0, 1) = 5.0f;
    s->PotentialTemperature(m, 0, 1) = 300.0f;
    Derive(10, 5, 0.0f);
    EXPECT_FLOAT_EQ(s->SatMixingRatio(m, 0, 1), 5.0f);
    EXPECT_FLOAT_EQ(s->PotentialTemperature(m, 0, 1), 300.0f);
    EXPECT_TRUE(std::isfinite(s->RelativeHumidity(m, 0, 1)));
}

// A five-level profile of two times for the per-time quantities.
class Column : public ::testing::Test {
  protected:
    void SetUp() override {
        const float p[] = {1000, 950, 900, 850, 800};
        const float t[] = {25, 20, 15, 12, 8};
        s->LevelCount(m) = 5;
        s->LastTime(m) = 1;
        for (int time = 0; time <= 1; ++time) {
            s->SurfacePressure(m, time) = 1000.0f;
            for (int L = 1; L <= 5; ++L) {
                s->Pressure(m, time, L) = p[L - 1];
                s->Temperature(m, time, L) = t[L - 1];
            }
        }
    }
    std::unique_ptr<ProfileArrays> s = std::make_unique<ProfileArrays>();
};

TEST_F(Column, WetBulbZeroBetweenTwoLevels) {
    const float tw[] = {6, 4, 2, -1, -2};
    for (int L = 1; L <= 5; ++L) {
        s->WetBulb(m, 0, L) = tw[L - 1];
        s->WetBulb(m, 1, L) = -1.0f - L; // below freezing everywhere
    }
    MakeWetBulbZero(*s);
    // Linear in pressure: 0 C 2/3 of the way from 900 to 850 mb (log-pressure
    // would put it 0.3 mb higher, 8 ft).
    EXPECT_NEAR(s->WetBulbZeroHeight(m, 0), StdHeightFeet(900.0f - 100.0f / 3.0f), 0.5f);
    EXPECT_NEAR(s->WetBulbZeroHeight(m, 1), StdHeightFeet(1000.0f), 0.01f);
}

TEST_F(Column, WetBulbAboveFreezingToTheTopReadsNothingAbove) {
    for (int L = 1; L <= 5; ++L) s->WetBulb(m, 0, L) = 5.0f;
    s->Pressure(m, 0, 6) = 0.0f;
    MakeWetBulbZero(*s);
    EXPECT_NEAR(s->WetBulbZeroHeight(m, 0), StdHeightFeet(800.0f), 0.01f);
}

TEST_F(Column, ConvectiveCondensationLevelAndTemperature) {
    // Mean mixing ratio of the lowest 100 mb (1000 and 950 mb):
    // (0.8 * 15 + 0.8 * 13) / 2 = 11.2 g/kg; it meets the saturation mixing
    // ratio between 900 (12) and 850 mb (10) at 880 mb, where the profile is
    // 13.82 C; brought dry-adiabatically to 1000 mb that is 24.50 C.
    const float ws[] = {15, 13, 12, 10, 8};
    for (int L = 1; L <= 5; ++L) {
        s->SatMixingRatio(m, 0, L) = ws[L - 1];
        s->RelativeHumidity(m, 0, L) = 80.0f;
    }
    MakeCCL(*s);
    EXPECT_NEAR(s->CCLPressure(m, 0), 880.0f, 1e-3f);
    EXPECT_NEAR(s->ConvectiveTemperature(m, 0), 24.50f, 0.01f);
}

TEST_F(Column, NoConvectiveCondensationLevel) {
    // Time 0: already saturated at the first level. Time 1: no level within
    // 100 mb of the ground.
    for (int L = 1; L <= 5; ++L) {
        s->SatMixingRatio(m, 0, L) = 5.0f;
        s->RelativeHumidity(m, 0, L) = 100.0f;
    }
    s->SatMixingRatio(m, 0, 1) = 4.0f;
    s->SurfacePressure(m, 1) = 1200.0f;
    MakeCCL(*s);
    for (int t = 0; t <= 1; ++t) {
        EXPECT_EQ(s->ConvectiveTemperature(m, t), 99.0f) << t;
        EXPECT_EQ(s->CCLPressure(m, t), s->SurfacePressure(m, t)) << t;
    }
}

TEST_F(Column, TopLevelOfTheDiagram) {
    s->DiagramTopPressure = 880;
    FindTopLevel(*s);
    EXPECT_EQ(s->DrawLevelCount(m), 4); // one level past the last below 880 mb
    s->DiagramTopPressure = 700;
    FindTopLevel(*s);
    EXPECT_EQ(s->DrawLevelCount(m), 5); // never more than the profile has
    s->DiagramTopPressure = 1100;
    FindTopLevel(*s);
    EXPECT_EQ(s->DrawLevelCount(m), 5); // no level qualifies: kept
}

TEST(HeightGrid, StandardAtmosphereAboveTheGround) {
    auto s = std::make_unique<ProfileArrays>();
    s->SurfacePressure(m, 0) = 1013.2f;
    HeightGridTables tables;
    tables.HeightGridPressureFt[22] = 77;
    MakeHeightGridPressures(*s, tables);
    EXPECT_EQ(tables.HeightGridPressureFt[0], 1013);
    EXPECT_EQ(tables.HeightGridPressureKm[0], 1013);
    // Standard atmosphere: 843.1 mb at 5000 ft, 701.1 mb at 3 km.
    EXPECT_NEAR(tables.HeightGridPressureFt[5], 843, 1);
    EXPECT_NEAR(tables.HeightGridPressureKm[3], 701, 1);
    EXPECT_EQ(tables.HeightGridPressureFt[22], 77); // not a grid height
    EXPECT_GT(tables.HeightGridPressureFt[70], 0);
}

} // namespace
} // namespace tarvex
