#include "compute/Winds.h"
#include "compute/ComputeState.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tarvex {
namespace {

using test::OneTimeProfile;
using test::PoisonLevel;
using test::WriteProfile;

// Angular distance between two directions, so that 0 and 360 agree.
double AngleGap(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

TEST(DirectionFromUV, RoundTripsThroughEveryQuadrant) {
    // A wind from direction d at speed s has u = -s sin d, v = -s cos d.
    for (double from : {30.0, 120.0, 210.0, 300.0, 45.0, 135.0, 225.0, 315.0}) {
        const double rad = from * std::numbers::pi / 180.0;
        const auto u = static_cast<float>(-12.0 * std::sin(rad));
        const auto v = static_cast<float>(-12.0 * std::cos(rad));
        EXPECT_LT(AngleGap(DirectionFromUV(u, v), from), 0.01) << "from " << from;
    }
}

TEST(DirectionFromUV, CardinalCalmAndNearlyZeroU) {
    EXPECT_NEAR(DirectionFromUV(10.0f, 0.0f), 270.0, 0.01);  // westerly
    EXPECT_NEAR(DirectionFromUV(-10.0f, 0.0f), 90.0, 0.01);  // easterly
    EXPECT_NEAR(DirectionFromUV(0.0f, 10.0f), 180.0, 0.01);  // southerly
    EXPECT_NEAR(DirectionFromUV(0.0f, -10.0f), 360.0, 0.01); // northerly
    EXPECT_FLOAT_EQ(DirectionFromUV(0.0f, 0.0f), 270.0f);    // calm
    // u inside the guard's reach: still a southerly, and never NaN.
    EXPECT_NEAR(DirectionFromUV(-0.00005f, 10.0f), 180.0, 0.01);
    EXPECT_NEAR(DirectionFromUV(-0.00005f, -10.0f), 360.0, 0.01);
    EXPECT_FALSE(std::isnan(DirectionFromUV(-0.0001f, 0.0f)));
}

class ShearTest : public ::testing::Test {
  protected:
    // Station at 200 m; levels 0, 1, 2, 3, 4 and 5 km above it. The level
    // nearest 4 km is level 5. Winds (m/s) change by 10 m/s a level, (10, -10)
    // to (0, 20), then jump at 5 km, which lies outside the layer.
    ShearTest() {
        OneTimeProfile p;
        p.StationElevation = 200.0f;
        p.SurfaceU = 30.0f; // the 10 m wind is not part of the layer
        p.SurfaceV = 30.0f;
        p.Levels = {{1000, 200, 0, 0, 10, -10}, {900, 1200, 0, 0, 10, 0},
                    {800, 2200, 0, 0, 10, 10},  {700, 3200, 0, 0, 0, 10},
                    {600, 4200, 0, 0, 0, 20},   {500, 5200, 0, 0, 50, 50}};
        WriteProfile(*store, p);
    }
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    WindResults winds;
    ComputeOptions options;
};

TEST_F(ShearTest, SurfaceTo4kmWindDifference) {
    MakeShear(*store, 0, winds, options);
    // Level 5 (0, 20) minus level 1 (10, -10): sqrt(10^2 + 30^2).
    EXPECT_NEAR(winds.Shear4km(1, 0), 31.62278, 1e-4);
}

TEST_F(ShearTest, HodographLengthAddsEverySegment) {
    options.CAPEShearMethod = ShearMethod::HodographLength;
    MakeShear(*store, 0, winds, options);
    // Four segments of 10 m/s each.
    EXPECT_NEAR(winds.Shear4km(1, 0), 40.0, 1e-4);
}

TEST_F(ShearTest, SetsItsOwnFlagWhichTheReadClears) {
    MakeShear(*store, 0, winds, options);
    EXPECT_EQ(winds.ShearDone(1, 0), kFlagTrue);
    winds.ClearAfterRead();
    EXPECT_EQ(winds.ShearDone(1, 0), kFlagFalse);
}

TEST_F(ShearTest, ProfileBelow4kmHasNoShear) {
    store->LevelCount(1) = 3; // top at 2 km
    PoisonLevel(*store, 0, 4);
    MakeShear(*store, 0, winds, options);
    EXPECT_FLOAT_EQ(winds.Shear4km(1, 0), 0.0f);
    EXPECT_EQ(winds.ShearDone(1, 0), kFlagTrue);
}

class MBETest : public ::testing::Test {
  protected:
    // Cloud layer 850-300 mb: u 10..18, v 0..8 m/s, mean (14, 4) m/s. The
    // strongest wind at or below 800 mb is the 925 mb westerly of 15 m/s; the
    // 850 mb wind is as strong but comes later, so it does not replace it.
    MBETest() {
        profile.Levels = {{1000, 100, 20, 15, 5, 0},    {925, 800, 18, 14, 15, 0},
                          {850, 1500, 15, 12, 0, -15},  {700, 3000, 5, 0, 12, 2},
                          {500, 5600, -10, -20, 14, 4}, {400, 7200, -20, -30, 16, 6},
                          {300, 9200, -35, -45, 18, 8}, {250, 10400, -45, -55, 40, 40}};
        WriteProfile(*store, profile);
    }
    OneTimeProfile profile;
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    WindResults winds;
    ComputeOptions options;
};

// The 850 mb wind here is (0, -15): 15 m/s like the jet but northerly, so
// the cloud-layer mean is taken from u 0, 12, 14, 16, 18 and v -15, 2, 4, 6,
// 8: (12, 1) m/s.
TEST_F(MBETest, CloudLayerMeanWindInKnots) {
    MakeMBEVectors(*store, 0, 0, winds, options);
    EXPECT_EQ(winds.MeanWindLevels(1, 0), 5);
    EXPECT_NEAR(winds.MeanWindU(1, 0), 12 * 1.94254, 1e-3);
    EXPECT_NEAR(winds.MeanWindV(1, 0), 1 * 1.94254, 1e-3);
    // (12, 1) blows from a little south of west: 270 - atan(1/12).
    EXPECT_NEAR(winds.MeanWindDir(1, 0), 265.2364, 0.01);
    EXPECT_NEAR(winds.MeanWindSpeed(1, 0), 1.94254 * std::sqrt(145.0), 1e-3);
}

TEST_F(MBETest, JetSearchKeepsTheFirstStrongestLevel) {
    MakeMBEVectors(*store, 0, 0, winds, options);
    EXPECT_NEAR(winds.LLJPressure(1, 0), 925.0, 1e-3);
    EXPECT_NEAR(winds.LLJSpeed(1, 0), 15 * 1.94254, 1e-3);
    EXPECT_NEAR(winds.LLJDir(1, 0), 270.0, 0.01);
    EXPECT_EQ(winds.LLJAtTop(1, 0), kFlagFalse); // 850 mb above it is still in the layer
    EXPECT_NEAR(winds.LLJU(1, 0), 15 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.LLJV(1, 0), 0.0, 1e-2);
}

TEST_F(MBETest, UpwindAndForwardPropagation) {
    // MBE = mean - jet = (12 - 15, 1 - 0) m/s = (-3, 1) m/s.
    MakeMBEVectors(*store, 0, 0, winds, options);
    EXPECT_NEAR(winds.MBEU(1, 0), -3 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.MBEV(1, 0), 1 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.MBESpeed(1, 0), 1.94254 * std::sqrt(10.0), 1e-2);
    // (-3, 1) blows towards the west-northwest, from the east-southeast.
    EXPECT_NEAR(winds.MBEDir(1, 0), 108.4349, 0.05);
    EXPECT_EQ(winds.MBEDone(1, 0), kFlagTrue);

    // Forward: upwind vector kept, MBE = (-3, 1) + (12, 1) = (9, 2) m/s.
    options.MBEForwardPropagation = true;
    MakeMBEVectors(*store, 0, 0, winds, options);
    EXPECT_NEAR(winds.UpwindU(1, 0), -3 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.UpwindDir(1, 0), 108.4349, 0.05);
    EXPECT_NEAR(winds.MBEU(1, 0), 9 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.MBEV(1, 0), 2 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.MBEDir(1, 0), 257.4712, 0.05);
}

TEST_F(MBETest, ChosenJetLevel) {
    MakeMBEVectors(*store, 0, 4, winds, options); // 700 mb: (12, 2) m/s
    EXPECT_NEAR(winds.LLJPressure(1, 0), 700.0, 1e-3);
    EXPECT_NEAR(winds.LLJU(1, 0), 12 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.LLJV(1, 0), 2 * 1.94254, 1e-2);
    EXPECT_EQ(winds.LLJAtTop(1, 0), kFlagFalse);
}

TEST_F(MBETest, JetAtTheTopOfTheLayer) {
    profile.Levels[2].WindV = -20.0f; // 850 mb strongest; 700 mb above it is outside
    WriteProfile(*store, profile);
    MakeMBEVectors(*store, 0, 0, winds, options);
    EXPECT_NEAR(winds.LLJPressure(1, 0), 850.0, 1e-3);
    EXPECT_EQ(winds.LLJAtTop(1, 0), kFlagTrue);

    // A later search that keeps level 1 does not inherit the flag.
    profile.Levels[0].WindU = 40.0f;
    WriteProfile(*store, profile);
    MakeMBEVectors(*store, 0, 0, winds, options);
    EXPECT_NEAR(winds.LLJPressure(1, 0), 1000.0, 1e-3);
    EXPECT_EQ(winds.LLJAtTop(1, 0), kFlagFalse);
}

// A profile that ends below 850 mb: the jet search runs to the top level,
// which ends the layer, and the cloud layer is empty.
TEST_F(MBETest, ShallowProfile) {
    profile.Levels = {
        {1000, 100, 20, 15, 5, 0}, {950, 500, 18, 14, 8, 0}, {900, 900, 16, 12, 10, 0}};
    WriteProfile(*store, profile);
    PoisonLevel(*store, 0, 4);
    MakeMBEVectors(*store, 0, 0, winds, options);
    EXPECT_NEAR(winds.LLJPressure(1, 0), 900.0, 1e-3);
    EXPECT_EQ(winds.LLJAtTop(1, 0), kFlagTrue);

    EXPECT_EQ(winds.MeanWindLevels(1, 0), 0);
    EXPECT_FLOAT_EQ(winds.MeanWindSpeed(1, 0), 0.0f);
    for (float value :
         {winds.MeanWindDir(1, 0), winds.MBEU(1, 0), winds.MBEDir(1, 0), winds.MBESpeed(1, 0)})
        EXPECT_FALSE(std::isnan(value));
    // With a calm mean the MBE vector is the jet reversed: (-10, 0) m/s.
    EXPECT_NEAR(winds.MBEU(1, 0), -10 * 1.94254, 1e-2);
    EXPECT_NEAR(winds.MBEDir(1, 0), 90.0, 0.05);
}

TEST_F(MBETest, SoutherlyMeanWindWithZeroU) {
    for (auto& level : profile.Levels) level.WindU = 0.0f;
    WriteProfile(*store, profile);
    MakeMBEVectors(*store, 0, 0, winds, options);
    ASSERT_FLOAT_EQ(winds.MeanWindU(1, 0), 0.0f);
    EXPECT_NEAR(winds.MeanWindDir(1, 0), 180.0, 1e-3); // mean v is 1 m/s northward
}

} // namespace
} // namespace tarvex
