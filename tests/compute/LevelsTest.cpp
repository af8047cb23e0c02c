#include "compute/Levels.h"
#include "compute/ArcCos.h"
#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace tarvex {
namespace {

// A one-time profile in model column 1, written straight into the store.
struct Profile {
    std::unique_ptr<ProfileArrays> store = std::make_unique<ProfileArrays>();

    Profile(std::vector<float> pressures, std::vector<float> temps, std::vector<float> dews = {},
            std::vector<float> heightsAgl = {}) {
        ProfileArrays& s = *store;
        const int m = s.CurrentModel;
        s.LevelCount(m) = static_cast<std::uint16_t>(pressures.size());
        for (std::size_t i = 0; i < pressures.size(); ++i) {
            const int L = static_cast<int>(i) + 1;
            s.Pressure(m, 0, L) = pressures[i];
            s.Temperature(m, 0, L) = temps[i];
            if (!dews.empty()) s.DewPoint(m, 0, L) = dews[i];
            if (!heightsAgl.empty()) s.HeightAGL(m, 0, L) = heightsAgl[i];
        }
    }
};

TEST(StandardAtmosphere, MatchesPublishedHeights) {
    // Heights of the standard atmosphere (ICAO): 850 mb 1457 m, 700 mb 3012 m,
    // 500 mb 5574 m, 300 mb 9164 m. The program's formula uses 1013.2 mb at
    // sea level and a single lapse rate, so it holds to about 0.5 % below the
    // tropopause.
    const std::pair<float, float> published[] = {
        {850.0f, 1457.0f}, {700.0f, 3012.0f}, {500.0f, 5574.0f}, {300.0f, 9164.0f}};
    for (const auto& [p, h] : published) EXPECT_NEAR(StdHeightMeters(p), h, 0.005f * h) << p;
    // The formula itself, worked by hand: (1 - (p / 1013.2) ^ (1 / 5.265)) * 44307.7 m.
    EXPECT_NEAR(StdHeightMeters(1013.2f), 0.0f, 1e-3f);
    EXPECT_NEAR(StdHeightMeters(850.0f), 1453.658f, 0.01f);
    EXPECT_NEAR(StdHeightFeet(500.0f), 18249.419f, 0.02f); // 5562.1515 m * 3.281
    EXPECT_NEAR(PressureFromAltitude(0.0f), 1013.2f, 1e-3f);
    EXPECT_NEAR(PressureFromAltitude(10000.0f), 696.2018f, 1e-3f);
}

TEST(StandardAtmosphere, PressureAndHeightAreInverse) {
    for (float p = 1050.0f; p >= 100.0f; p -= 50.0f)
        EXPECT_NEAR(PressureFromAltitude(StdHeightFeet(p)), p, 0.05f) << p;
    for (float ft = 0.0f; ft <= 50000.0f; ft += 5000.0f)
        EXPECT_NEAR(StdHeightFeet(PressureFromAltitude(ft)), ft, 2.0f) << ft;
}

TEST(FindPressureLevel, NearestLevelInTimeColumnZero) {
    Profile p({1000, 925, 850, 700, 500, 400}, {20, 15, 10, 0, -20, -30});
    const ProfileArrays& s = *p.store;
    EXPECT_EQ(FindPressureLevel(s, 85), 85); // a level index already
    EXPECT_EQ(FindPressureLevel(s, 500), 5);
    EXPECT_EQ(FindPressureLevel(s, 860), 3);
    EXPECT_EQ(FindPressureLevel(s, 600), 4); // exactly halfway: the lower level
    EXPECT_EQ(FindPressureLevel(s, 1010), 1);
    EXPECT_EQ(FindPressureLevel(s, 300), 0); // nothing above 400 mb
}

TEST(FindPressureLevel, EmptyProfileFindsNothing) {
    Profile p({}, {});
    EXPECT_EQ(FindPressureLevel(*p.store, 500), 0);
    EXPECT_EQ(FindHeightLevel(*p.store, 0, 1.0f), 0);
    EXPECT_EQ(InterpTempAtPressure(*p.store, 0, 500.0f), 0.0f);
}

TEST(FindHeightLevel, NearestLevelAboveGround) {
    Profile p({1000, 925, 850, 700}, {0, 0, 0, 0}, {}, {100, 700, 1400, 3000});
    const ProfileArrays& s = *p.store;
    EXPECT_EQ(FindHeightLevel(s, 0, 1.0f), 2); // 700 m is nearer 1000 m than 1400 m is
    EXPECT_EQ(FindHeightLevel(s, 0, 1.2f), 3);
    EXPECT_EQ(FindHeightLevel(s, 0, 0.6f), 2);
    EXPECT_EQ(FindHeightLevel(s, 0, 0.04f), 0); // level 0 (the ground) is nearest
    EXPECT_EQ(FindHeightLevel(s, 0, 0.07f), 1);
    EXPECT_EQ(FindHeightLevel(s, 0, 4.0f), 0); // no level above 4 km
}

TEST(Interpolation, LinearInLogPressure) {
    Profile p({1000, 850, 700, 500}, {20, 10, 0, -20}, {10, 5, -10, -40});
    const ProfileArrays& s = *p.store;
    EXPECT_FLOAT_EQ(InterpTempAtPressure(s, 0, 850.0f), 10.0f);
    EXPECT_FLOAT_EQ(InterpFieldAtPressure(s, 0, 700.0f), -10.0f);
    // Halfway in ln p between 850 and 700 mb.
    const float mid = std::exp((std::log(850.0f) + std::log(700.0f)) / 2.0f);
    EXPECT_NEAR(InterpTempAtPressure(s, 0, mid), 5.0f, 1e-4f);
    EXPECT_NEAR(InterpFieldAtPressure(s, 0, mid), -2.5f, 1e-4f);
}

TEST(Interpolation, EndsExtendTheOuterLayers) {
    Profile p({1000, 850, 700}, {20, 10, 0}, {10, 4, -2});
    ProfileArrays& s = *p.store;
    // Level 0 holds a stale dew point that must never be read.
    s.DewPoint(1, 0, 0) = -999.0f;
    s.Pressure(1, 0, 0) = 1010.0f;
    const double slope1 = 10.0 / (std::log(1000.0) - std::log(850.0));
    EXPECT_NEAR(InterpTempAtPressure(s, 0, 1050.0f), 20.0 + slope1 * std::log(1050.0 / 1000.0),
                1e-3);
    const double dewSlope1 = 6.0 / (std::log(1000.0) - std::log(850.0));
    EXPECT_NEAR(InterpFieldAtPressure(s, 0, 1050.0f), 10.0 + dewSlope1 * std::log(1050.0 / 1000.0),
                1e-3);
    // Above the top level the top layer goes on; level 4 (pressure 0) is not read.
    const double slopeTop = 10.0 / (std::log(850.0) - std::log(700.0));
    EXPECT_NEAR(InterpTempAtPressure(s, 0, 600.0f), 0.0 - slopeTop * std::log(700.0 / 600.0), 1e-3);
    EXPECT_TRUE(std::isfinite(InterpFieldAtPressure(s, 0, 50.0f)));
}

TEST(Interpolation, AThinTopLayerDoesNotSetTheTrendAboveTheTop) {
    // The top layer is 0.4 mb deep and 2 C colder; above the top the trend
    // comes from 500 mb (the first level 50 mb or more below the top):
    // -42 - 22 * ln(299.6 / 200) / ln(500 / 299.6) = -42 - 22 * 0.789070.
    Profile p({1000, 500, 300, 299.6f}, {20, -20, -40, -42}, {10, -30, -50, -52});
    const ProfileArrays& s = *p.store;
    EXPECT_NEAR(InterpTempAtPressure(s, 0, 200.0f), -59.36, 0.01);
    EXPECT_NEAR(InterpFieldAtPressure(s, 0, 200.0f), -69.36, 0.01);
    // Between the levels nothing changes: halfway in ln p of the thin layer.
    EXPECT_NEAR(InterpTempAtPressure(s, 0, std::sqrt(300.0f * 299.6f)), -41.0, 1e-3);
}

// The layer the trend above the top comes from is at least 50 mb deep: a
// level exactly 50 mb below the top is deep enough, one 49.9 mb below is not.
TEST(Interpolation, TheTrendAboveTheTopComesFromFiftyMillibarsAtLeast) {
    auto above = [](float top, float below, float p, float tTop, float tBelow) {
        return tTop + (tBelow - tTop) * std::log(p / top) / std::log(below / top);
    };
    Profile edge({1000, 400, 350, 300}, {20, -25, -35, -45});
    EXPECT_NEAR(InterpTempAtPressure(*edge.store, 0, 250.0f), above(300, 350, 250, -45, -35), 1e-3);
    Profile beyond({1000, 400, 350, 300.1f}, {20, -25, -35, -45});
    EXPECT_NEAR(InterpTempAtPressure(*beyond.store, 0, 250.0f), above(300.1f, 400, 250, -45, -25),
                1e-3);
}

TEST(Store, IndexOutsideTheBoundsThrowsAndAFreshStoreIsZero) {
    auto s = std::make_unique<ProfileArrays>();
    EXPECT_THROW(s->Pressure(6, 0, 0), std::out_of_range);
    EXPECT_THROW(s->Pressure(1, 85, 0), std::out_of_range);
    EXPECT_THROW(s->Pressure(1, 0, 68), std::out_of_range);
    EXPECT_THROW(s->Pressure(1, -1, 0), std::out_of_range);
    EXPECT_THROW(s->CAPE(1, 85), std::out_of_range);
    EXPECT_THROW(s->LevelCount(6), std::out_of_range);
    EXPECT_THROW(s->WindU.Level(1, 0, 68), std::out_of_range); // slot 69 does not exist
    EXPECT_NO_THROW(s->WindU.Slot(1, 0, 68));                  // level 67
    // Zero up to the last element; a copied grid keeps values of its own.
    EXPECT_EQ(s->Pressure(5, 84, 67), 0.0f);
    EXPECT_EQ(s->WindV.Slot(5, 84, 68), 0.0f);
    s->Pressure(5, 84, 67) = 3.0f;
    const LevelField copy = s->Pressure;
    s->Pressure(5, 84, 67) = 4.0f;
    EXPECT_EQ(copy(5, 84, 67), 3.0f);
    LevelField assigned = s->Temperature; // same size: assignment keeps its own block
    assigned = s->Pressure;
    s->Pressure(5, 84, 67) = 5.0f;
    EXPECT_EQ(assigned(5, 84, 67), 4.0f);
}

TEST(Store, WindComponentsUseTheShiftedSlot) {
    auto s = std::make_unique<ProfileArrays>();
    s->WindU.Level(1, 3, 1) = 7.0f;
    s->WindU.Storm(1, 3) = 2.0f;
    s->WindU.Level(1, 3, 0) = 4.0f;
    EXPECT_EQ(s->WindU.Slot(1, 3, 2), 7.0f);
    EXPECT_EQ(s->WindU.Slot(1, 3, 0), 2.0f);
    EXPECT_EQ(s->WindU.Slot(1, 3, 1), 4.0f);
}

TEST(ArcCos, KnownAnglesAndClampedEnds) {
    EXPECT_NEAR(ArcCos(0.0f), 1.570796327f, 1e-6f);
    EXPECT_NEAR(ArcCos(0.5f), 1.0472f, 1e-4f);
    EXPECT_NEAR(ArcCos(-0.5f), 2.0944f, 1e-4f);
    EXPECT_GT(ArcCos(0.9999f), 0.0f);
    EXPECT_LT(ArcCos(0.9999f), 0.02f);
    EXPECT_NEAR(ArcCos(1.0f), 0.0f, 1e-7f);
    EXPECT_NEAR(ArcCos(-1.0f), 3.14159265f, 1e-6f);
    EXPECT_NEAR(ArcCos(1.5f), 0.0f, 1e-7f);
    EXPECT_NEAR(ArcCos(-2.0f), 3.14159265f, 1e-6f);
}

} // namespace
} // namespace tarvex
