#include "compute/ProfileInterp.h"
#include "compute/ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvex {
namespace {

// Three levels over a 1013 mb surface (90 % there); the level above the top
// is poisoned, so a reading of it would show as not a number.
class Interp : public ::testing::Test {
  protected:
    void SetUp() override {
        test::OneTimeProfile p;
        p.SurfacePressure = 1013.0f;
        p.Levels = {{1000, 100, 20, 15}, {850, 1500, -10, -12}, {700, 3000, -15, -30}};
        test::WriteProfile(s, p);
        test::PoisonLevel(s, 0, 4);
        const float rh[] = {90, 80, 60, 40, std::nanf("")}; // levels 0..4
        for (int L = 0; L <= 4; ++L) s.RelativeHumidity(1, 0, L) = rh[L];
    }
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    ProfileArrays& s = *store;
};

TEST_F(Interp, PressureOfAnIsotherm) {
    // -12 C lies 2/5 of the way from -10 C (850 mb) to -15 C (700 mb).
    EXPECT_NEAR(InterpolateP(s, 0, 3, -12.0f), 850.0 * std::pow(700.0 / 850.0, 0.4), 0.01);
    EXPECT_NEAR(InterpolateP(s, 0, 3, -10.0f), 850.0f, 1e-3f);
    EXPECT_NEAR(InterpolateP(s, 0, 3, -15.0f), 700.0f, 1e-3f);
    s.Temperature(1, 0, 3) = -10.0f; // isothermal: the lower level, not 0/0
    EXPECT_FLOAT_EQ(InterpolateP(s, 0, 3, -10.0f), 850.0f);
}

TEST_F(Interp, HumidityAtAPressure) {
    EXPECT_NEAR(InterpRHAtPressure(s, 0, 850.0f), 60.0f, 1e-4f); // a level's own value
    EXPECT_NEAR(InterpRHAtPressure(s, 0, 925.0f),
                60.0 + 20.0 * std::log(925.0 / 850.0) / std::log(1000.0 / 850.0), 1e-3);
    // Below level 1 from the surface; above the top the top layer carried on.
    EXPECT_NEAR(InterpRHAtPressure(s, 0, 1010.0f),
                80.0 + 10.0 * std::log(1010.0 / 1000.0) / std::log(1013.0 / 1000.0), 1e-3);
    EXPECT_NEAR(InterpRHAtPressure(s, 0, 600.0f),
                40.0 - 20.0 * std::log(700.0 / 600.0) / std::log(850.0 / 700.0), 1e-3);
    s.Pressure(1, 0, 3) = 850.0f; // two levels at one pressure
    EXPECT_FLOAT_EQ(InterpRHAtPressure(s, 0, 600.0f), 40.0f);
    s.DrawLevelCount(1) = 9; // never more than the profile has
    EXPECT_EQ(DrawnLevelCount(s), 3);
}

} // namespace
} // namespace tarvex
