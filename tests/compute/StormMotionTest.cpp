#include "compute/StormMotion.h"
#include "compute/ComputeState.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

using test::OneTimeProfile;
using test::PoisonLevel;
using test::SoundingLevel;
using test::WriteProfile;

// Level at a height above a station at 500 m, with its wind (m/s).
SoundingLevel At(float metersAboveStation, float u, float v) {
    SoundingLevel level;
    level.Height = 500.0f + metersAboveStation;
    level.Pressure = 1000.0f - metersAboveStation / 10.0f;
    level.WindU = u;
    level.WindV = v;
    return level;
}

class StormMotionTest : public ::testing::Test {
  protected:
    StormMotionTest() {
        profile.StationElevation = 500.0f;
        // A strong 10 m wind and a stale storm motion, both outside every mean.
        profile.SurfaceU = 25.0f;
        profile.SurfaceV = -25.0f;
        profile.StormU = 99.0f;
        profile.StormV = 99.0f;
    }
    void Run() {
        WriteProfile(*store, profile);
        MakeStormMotion(*store, 0, storm);
    }
    OneTimeProfile profile;
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    StormMotionResults storm;
};

TEST_F(StormMotionTest, VeeringHodograph) {
    // 0-6 km: levels at 100 .. 6000 m, u sum 70, v sum 42 over 7 levels ->
    // (10, 6). 0-0.5 km (500 m is inside): (2, 1). 5.5-6 km (both ends
    // inside): (18, 11). Shear (16, 10), |S| = sqrt(356) = 18.86796.
    profile.Levels = {At(100, 0, 0),    At(500, 4, 2),    At(1500, 6, 4),
                      At(3000, 10, 6),  At(4500, 14, 8),  At(5500, 18, 10),
                      At(6000, 18, 12), At(6500, 30, 30), At(8000, 40, 40)};
    Run();
    // Right mover: (10 + 7.5 * 10 / |S|, 6 - 7.5 * 16 / |S|).
    EXPECT_NEAR(storm.RightMoverU(1, 0), 13.97499, 1e-4);
    EXPECT_NEAR(storm.RightMoverV(1, 0), -0.35999, 1e-4);
    EXPECT_NEAR(storm.LeftMoverU(1, 0), 6.02501, 1e-4);
    EXPECT_NEAR(storm.LeftMoverV(1, 0), 12.35999, 1e-4);
    EXPECT_NEAR(storm.MeanWind06Speed(1, 0), std::sqrt(136.0), 1e-4);
    EXPECT_NEAR(storm.MeanWind06Dir(1, 0), 239.0362, 0.01);
    // The right mover is the storm motion in use, everywhere it is kept.
    EXPECT_NEAR(store->StormU(1, 0), 13.97499, 1e-4);
    EXPECT_NEAR(store->StormV(1, 0), -0.35999, 1e-4);
    EXPECT_FLOAT_EQ(store->WindU.Storm(1, 0), store->StormU(1, 0));
    EXPECT_FLOAT_EQ(store->WindV.Storm(1, 0), store->StormV(1, 0));
    EXPECT_NEAR(storm.StormSpeed(1, 0), 13.97963, 1e-4);
    EXPECT_NEAR(storm.StormDir(1, 0), 271.4756, 0.01);
}

TEST_F(StormMotionTest, RecomputingReplacesAHandPlacedMotion) {
    profile.Levels = {At(100, 0, 0), At(500, 4, 2), At(3000, 10, 6), At(5800, 18, 10),
                      At(7000, 30, 30)};
    Run();
    const float u = store->StormU(1, 0);
    const float v = store->StormV(1, 0);
    store->StormU(1, 0) = store->WindU.Storm(1, 0) = -5.0f;
    store->StormV(1, 0) = store->WindV.Storm(1, 0) = -5.0f;
    MakeStormMotion(*store, 0, storm);
    EXPECT_FLOAT_EQ(store->StormU(1, 0), u);
    EXPECT_FLOAT_EQ(store->StormV(1, 0), v);
    EXPECT_FLOAT_EQ(store->WindU.Storm(1, 0), u);
}

TEST_F(StormMotionTest, NoLevelBetween55And6kmTakesTheNextLevelUp) {
    // 0-6 km (4 levels): (4, 2); 0-0.5 km: (1, 1); upper wind: the 7 km level
    // (20, 10). Shear (19, 9), |S| = sqrt(442) = 21.02380.
    profile.Levels = {At(100, 0, 0),  At(500, 2, 2),    At(3000, 6, 2),
                      At(5000, 8, 4), At(7000, 20, 10), At(9000, 50, 0)};
    Run();
    EXPECT_NEAR(storm.RightMoverU(1, 0), 7.21065, 1e-4);
    EXPECT_NEAR(storm.RightMoverV(1, 0), -4.77803, 1e-4);
}

TEST_F(StormMotionTest, ProfileThatNeverReaches6kmUsesItsTopLevel) {
    // 0-6 km: all four levels, (4, 0). 0-0.5 km: level 1, (0, 0). Upper wind:
    // the top level (10, 0). Shear (10, 0): the right mover lies 7.5 m/s
    // south of the mean.
    profile.Levels = {At(100, 0, 0), At(1000, 2, 0), At(3000, 4, 0), At(5000, 10, 0)};
    WriteProfile(*store, profile);
    PoisonLevel(*store, 0, 5);
    MakeStormMotion(*store, 0, storm);
    EXPECT_NEAR(storm.RightMoverU(1, 0), 4.0, 1e-5);
    EXPECT_NEAR(storm.RightMoverV(1, 0), -7.5, 1e-5);
    EXPECT_NEAR(storm.LeftMoverV(1, 0), 7.5, 1e-5);
}

TEST_F(StormMotionTest, UnshearedProfileMovesWithTheMeanWind) {
    profile.Levels = {At(100, 10, 5), At(500, 10, 5), At(3000, 10, 5), At(5800, 10, 5),
                      At(7000, 10, 5)};
    Run();
    EXPECT_FLOAT_EQ(storm.RightMoverU(1, 0), 10.0f);
    EXPECT_FLOAT_EQ(storm.RightMoverV(1, 0), 5.0f);
    EXPECT_FLOAT_EQ(storm.LeftMoverU(1, 0), 10.0f);
    EXPECT_FLOAT_EQ(storm.LeftMoverV(1, 0), 5.0f);
    EXPECT_NEAR(storm.StormSpeed(1, 0), std::sqrt(125.0), 1e-5);
}

TEST_F(StormMotionTest, LowestLevelAboveEveryLayerGivesItsWind) {
    // Every layer is empty: each mean falls back to the lowest level's wind,
    // which leaves no shear.
    profile.Levels = {At(6500, 12, -3), At(8000, 30, 30)};
    Run();
    EXPECT_FLOAT_EQ(store->StormU(1, 0), 12.0f);
    EXPECT_FLOAT_EQ(store->StormV(1, 0), -3.0f);
    EXPECT_FALSE(std::isnan(storm.StormDir(1, 0)));
}

} // namespace
} // namespace tarvex
