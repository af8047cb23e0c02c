#include "compute/PrecipType.h"
#include "compute/ComputeState.h"
#include "compute/Levels.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using test::OneTimeProfile;
using test::PoisonLevel;
using test::WriteProfile;

// Energy (J/kg) of a layer of depth dz (m) at temperature T (deg C):
// g dz T / 273.16, so one metre-degree is worth this much.
constexpr double kPerMeterDegree = 9.80616 / 273.16;

class PTypeTest : public ::testing::Test {
  protected:
    // Each level stands for the layer between the mid-heights around it:
    // 250 m for level 1 (from the ground), 500 m above.
    void Build(const std::vector<float>& temps, const std::vector<float>& depressions = {}) {
        WriteProfile(*store, test::EvenLevels(temps, depressions));
    }
    std::int32_t Classify() {
        MakePType(*store, 0, ptype, options);
        return ptype.PTypeEnergyCode(1, 0);
    }
    const std::string& Pattern() const { return ptype.PTypePattern(1, 0); }
    float Warm() const { return ptype.WarmEnergy(1, 0); }
    float Cold() const { return ptype.ColdEnergy(1, 0); }

    std::unique_ptr<ProfileArrays> store = test::NewStore();
    PTypeResults ptype;
    ComputeOptions options;
};

TEST_F(PTypeTest, SnowWhereNothingMelts) {
    Build({-2, -4, -6, -8, -12, -16, -20});
    EXPECT_EQ(Classify(), kPTypeSnow);
    EXPECT_EQ(Pattern(), "BB");
    EXPECT_FLOAT_EQ(Warm(), 0.0f);
    EXPECT_FLOAT_EQ(ptype.FreezingHeightAGLFt(1, 0), 0.0f);
    // A warm layer aloft of 500 m at 0.1 C: 1.80 J/kg, under the 2 J/kg that
    // melt; at 0.12 C 2.15 J/kg.
    ptype.ClearAfterRead();
    Build({-3, -2, 0.1f, -1, -5, -10});
    EXPECT_EQ(Classify(), kPTypeSnow);
    EXPECT_EQ(Pattern(), "BB");
    ptype.ClearAfterRead();
    Build({-3, -2, 0.12f, -1, -5, -10});
    EXPECT_EQ(Classify(), kPTypeFreezingRain);
    EXPECT_EQ(Pattern(), "BA");
    // Warmth above 200 mb is ignored, at 200 mb it is not.
    std::vector<float> temps(19, -10.0f); // 1000 .. 100 mb
    temps[17] = 5.0f;                     // 150 mb
    ptype.ClearAfterRead();
    Build(temps);
    EXPECT_EQ(Classify(), kPTypeSnow);
    temps[16] = 5.0f;
    ptype.ClearAfterRead();
    Build(temps);
    EXPECT_EQ(Classify(), kPTypeIcePellets);
}

TEST_F(PTypeTest, WarmLayerAloftOverDeepColdLayerIsIcePellets) {
    // Cold: 250 m at -8, 500 m at -6 and -4 -> 7000 m deg; warm: 500 m at 2
    // and 3 -> 2500 m deg. Pellets need 70 + 2/3 of the warm energy.
    Build({-8, -6, -4, 2, 3, -2, -5, -10, -15, -20});
    EXPECT_EQ(Classify(), kPTypeIcePellets);
    EXPECT_EQ(Pattern(), "BA");
    EXPECT_NEAR(Cold(), 7000 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(Warm(), 2500 * kPerMeterDegree, 1e-3);
}

TEST_F(PTypeTest, WarmLayerAloftOverShallowColdLayerIsFreezingRain) {
    // Cold: 250 m at -1; warm: 500 m at 3, 4 and 2 -> 4500 m deg.
    Build({-1, 3, 4, 2, -2, -5, -10, -15});
    EXPECT_EQ(Classify(), kPTypeFreezingRain);
    EXPECT_EQ(Pattern(), "BA");
    EXPECT_NEAR(Cold(), 250 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(Warm(), 4500 * kPerMeterDegree, 1e-3);
}

TEST_F(PTypeTest, WarmToTheGroundIsRain) {
    // Warm: 250 m at 8, 500 m at 6, 3 and 3 -> 8000 m deg. 0 C crossing
    // 3/4 of the way from 850 mb (+3) to 800 mb (-1), linear in pressure:
    // 812.5 mb (log-pressure would put it at 812.2 mb), above the 1013 mb ground.
    Build({8, 6, 3, 3, -1, -5, -10, -15});
    store->SurfacePressure(1, 0) = 1013.0f;
    EXPECT_EQ(Classify(), kPTypeRain);
    EXPECT_EQ(Pattern(), "AB");
    EXPECT_NEAR(Warm(), 8000 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(ptype.FreezingHeightAGLFt(1, 0), StdHeightFeet(812.5f) - StdHeightFeet(1013), 0.5);
    EXPECT_FLOAT_EQ(Cold(), 0.0f);
}

TEST_F(PTypeTest, TwoWarmLayers) {
    // Surface warm 250 m at 2 (500 m deg), cold 500 m at -3 and -5 (4000),
    // warm aloft 500 m at 3 and 2 (2500): pellets form and survive the thin
    // surface layer.
    Build({2, -3, -5, 3, 2, -4, -8, -12});
    EXPECT_EQ(Classify(), kPTypeIcePellets);
    EXPECT_EQ(Pattern(), "ABAB");
    EXPECT_NEAR(ptype.LowerWarmEnergy(1, 0), 500 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(Cold(), 4000 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(Warm(), 2500 * kPerMeterDegree, 1e-3);

    // A surface layer at 3 C (750 m deg, over 20 J/kg) melts them: rain.
    ptype.ClearAfterRead();
    Build({3, -3, -5, 3, 2, -4, -8, -12});
    EXPECT_EQ(Classify(), kPTypeRain);
}

TEST_F(PTypeTest, WeakUpperWarmLayerLeavesTheSurfaceLayer) {
    // Upper warm layer under 2 J/kg: the sounding counts as "AB" with the
    // surface layer's energy (1250 m deg) and its 0 C crossing at
    // 1000 - 50 * 5 / 8 = 968.75 mb.
    Build({5, -3, -5, 0.1f, -4, -8});
    EXPECT_EQ(Classify(), kPTypeRain);
    EXPECT_EQ(Pattern(), "AB");
    EXPECT_NEAR(Warm(), 1250 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(ptype.FreezingHeightAGLFt(1, 0), StdHeightFeet(968.75f) - StdHeightFeet(1000), 0.5);
}

TEST_F(PTypeTest, WarmLayerReachingTheTopEndsThere) {
    // Levels at 0, 500, 1000 m: the top level stands for 250 m only, up to
    // its own height: 250 * 10 + 500 * 8 + 250 * 6 = 8000 m deg. The 0 C
    // level is at least as high as the top, 900 mb.
    Build({10, 8, 6});
    PoisonLevel(*store, 0, 4);
    EXPECT_EQ(Classify(), kPTypeRain);
    EXPECT_NEAR(Warm(), 8000 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(ptype.FreezingHeightAGLFt(1, 0), StdHeightFeet(900) - StdHeightFeet(1000), 0.5);
}

TEST_F(PTypeTest, RaisedStartLevelAndTheLayerBeneathIt) {
    // From the ground: a surface warm layer (250 m at 5, 500 m at 3) -> rain.
    Build({5, 3, -2, -4, -6, -8});
    EXPECT_EQ(Classify(), kPTypeRain);
    EXPECT_NEAR(Warm(), 2750 * kPerMeterDegree, 1e-3);

    // From level 3 the warm air lies below the scan: snow.
    options.ElevatedPTLevel = 3;
    ptype.ClearAfterRead();
    EXPECT_EQ(Classify(), kPTypeSnow);
    EXPECT_EQ(ptype.MoistTopLevel(1, 0), 6);
    // Start at level 2: its layer reaches down to level 1's own height (0 m),
    // so level 2 counts 750 m at -2, level 3 500 m at -3: 3000 m deg of
    // refreezing under 1000 m deg of melting (500 m at 2).
    ptype.ClearAfterRead();
    Build({5, -2, -3, 2, -5, -8});
    options.ElevatedPTLevel = 2;
    EXPECT_EQ(Classify(), kPTypeIcePellets);
    EXPECT_EQ(Pattern(), "BA");
    EXPECT_NEAR(Cold(), 3000 * kPerMeterDegree, 1e-3);
    EXPECT_NEAR(Warm(), 1000 * kPerMeterDegree, 1e-3);
}

TEST_F(PTypeTest, MoistLayerAndIceAloft) {
    // Moist below a depression of 2 C (-2 and -5 C: the least), 2.71 C at
    // -10 C, 4.14 C at -20 C. Moist at the ground, dry above, moist again at
    // -10 C, then dry for more than 1519 m (1520 m up to level 6): the moist
    // levels beyond are never reached.
    const std::vector<float> temps = {-2, -5, -10, -20, -25, -30, -35, -40};
    Build(temps, {1.9f, 2.1f, 2.6f, 4.2f, 20, 20, 1, 1});
    store->Height(1, 0, 6) = 2520.0f;
    MakePTypeAreas(*store, 0, ptype, options);
    EXPECT_EQ(ptype.MoistTopLevel(1, 0), 3);
    EXPECT_EQ(ptype.IceAloft(1, 0), kFlagTrue);
    ptype.ClearAfterRead();
    store->Height(1, 0, 6) = 2518.0f; // 1518 m: the scan goes on
    MakePTypeAreas(*store, 0, ptype, options);
    EXPECT_EQ(ptype.MoistTopLevel(1, 0), 8);

    // Saturated all the way up to -10 C: no dry gap to seed across.
    ptype.ClearAfterRead();
    Build(temps, {1.9f, 1.9f, 2.6f, 20, 20, 20, 20, 20});
    MakePTypeAreas(*store, 0, ptype, options);
    EXPECT_EQ(ptype.MoistTopLevel(1, 0), 3);
    EXPECT_EQ(ptype.IceAloft(1, 0), kFlagFalse);
}

TEST_F(PTypeTest, AreasAreComputedOncePerRead) {
    Build({-2, -4, -6, -8});
    EXPECT_EQ(Classify(), kPTypeSnow);
    Build({8, 6, 3, 1, -1});
    EXPECT_EQ(Classify(), kPTypeSnow); // still the first column's areas
    ptype.ClearAfterRead();
    EXPECT_EQ(Classify(), kPTypeRain);
}

TEST_F(PTypeTest, ShownCodeFollowsTheSwitch) {
    Build({-2, -4, -6, -8});
    store->PTypeModelCode(1, 0) = kPTypeFreezingRain;
    MakePType(*store, 0, ptype, options);
    EXPECT_EQ(ptype.PTypeCode(1, 0), kPTypeFreezingRain);
    options.UseBourgouinPType = true;
    MakePType(*store, 0, ptype, options);
    EXPECT_EQ(ptype.PTypeCode(1, 0), kPTypeSnow);
}

TEST_F(PTypeTest, EnergyThresholds) {
    struct Case {
        const char* pattern;
        float warm, cold, lowerWarm;
        std::int32_t code;
    };
    // A 45 J/kg melting layer needs 70 + 45 * 300 / 450 = 100 J/kg to refreeze.
    const Case cases[] = {
        {"AB", 13.2f, 0, 0, kPTypeRain},
        {"AB", 13.1f, 0, 0, kPTypeSnow},
        {"BA", 45, 100, 0, kPTypeIcePellets},
        {"BA", 45, 99.9f, 0, kPTypeFreezingRain},
        {"ABAB", 45, 100, 19.9f, kPTypeIcePellets},
        {"ABAB", 45, 100, 20, kPTypeRain},
        {"ABAB", 45, 99.9f, 0, kPTypeRain},
    };
    for (const Case& c : cases) {
        ptype.PTypeAreasDone(1, 0) = kFlagTrue;
        ptype.PTypePattern(1, 0) = c.pattern;
        ptype.WarmEnergy(1, 0) = c.warm;
        ptype.ColdEnergy(1, 0) = c.cold;
        ptype.LowerWarmEnergy(1, 0) = c.lowerWarm;
        EXPECT_EQ(Classify(), c.code) << c.pattern << " " << c.warm << " " << c.cold;
    }
}

TEST_F(PTypeTest, EmptyColumnHasNoType) {
    Build({});
    ptype.PTypeEnergyCode(1, 0) = 999;
    EXPECT_EQ(Classify(), 999);
    EXPECT_EQ(Pattern(), "");
    EXPECT_EQ(ptype.PTypeAreasDone(1, 0), kFlagTrue);
}

} // namespace
} // namespace tarvex
