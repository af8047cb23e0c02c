#include "compute/WholeRun.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

class WholeRunTest : public ::testing::Test {
  protected:
    // Time column t at the given pressures and temperatures (dew point 2 C
    // lower), surface at 1005 mb unless said.
    void Column(int t, const std::vector<float>& temps,
                const std::vector<float>& pressures = {1000, 900, 800, 700, 600, 500},
                float surfaceP = 1005.0f) {
        test::OneTimeProfile p;
        p.SurfacePressure = surfaceP;
        for (std::size_t i = 0; i < temps.size(); ++i)
            p.Levels.push_back(
                {pressures[i], StdHeightMeters(pressures[i]), temps[i], temps[i] - 2});
        test::WriteProfile(*store, p, t);
    }

    std::unique_ptr<ProfileArrays> store = test::NewStore();
    WholeRunResults run;
};

TEST_F(WholeRunTest, IsothermsAtTheHighestCrossing) {
    Column(0, {10, 4, -2, -8, -14, -22});
    Column(1, {2, -3, 1, -4, -10, -25});       // a warm nose aloft
    Column(2, {-21, -24, -28, -32, -38, -45}); // below -20 C throughout
    Column(3, {30, 26, 20, 14, 7, 1});         // above 0 C up to the top level
    test::PoisonLevel(*store, 3, 7);
    FindTempLevel(*store, run);
    EXPECT_EQ(run.IsothermsDone(1), kFlagTrue);
    // 4 C at 900 mb, -2 C at 800 mb: 0 C two thirds of the way up; -14 C at
    // 600 mb, -22 C at 500 mb: -20 C three quarters of the way.
    EXPECT_NEAR(run.FreezingLevelFt(1, 0), StdHeightFeet(900.0f - 400.0f / 6.0f), 0.01);
    EXPECT_NEAR(run.Minus20LevelFt(1, 0), StdHeightFeet(525.0f), 0.01);
    EXPECT_NEAR(run.FreezingLevelFt(1, 1), StdHeightFeet(780.0f), 0.01);
    EXPECT_FLOAT_EQ(run.FreezingLevelFt(1, 2), StdHeightFeet(1005.0f));
    EXPECT_FLOAT_EQ(run.Minus20LevelFt(1, 2), StdHeightFeet(1005.0f));
    EXPECT_FLOAT_EQ(run.FreezingLevelFt(1, 3), StdHeightFeet(500.0f));
}

TEST_F(WholeRunTest, WarmCloudFromTheCondensationLevelToZero) {
    Column(0, {10, 4, -2, -8, -14, -22}, {1000, 900, 800, 700, 600, 500}, 1010.0f);
    Column(1, {10, 4, -2, -8, -14, -22});
    Column(2, {-1, -4, -8, -12, -18, -25});
    store->LCLPressure(1, 0) = 950.0f;
    store->LCLPressure(1, 1) = 700.0f; // above the 0 C level
    store->LCLPressure(1, 2) = 950.0f; // above the surface of a frozen column
    MakeWarmCloudDepth(*store, run);
    EXPECT_EQ(run.WarmCloudDone(1), kFlagTrue);
    const double depth = StdHeightFeet(900.0f - 400.0f / 6.0f) - StdHeightFeet(950.0f);
    EXPECT_NEAR(run.WarmCloudDepth(1, 0), depth, 0.01);
    // The top counts from the ground of the first hour.
    EXPECT_NEAR(run.WarmCloudTop(1, 0), StdHeightFeet(1010.0f) + depth, 0.01);
    EXPECT_FLOAT_EQ(run.WarmCloudDepth(1, 1), 0.0f);
    EXPECT_FLOAT_EQ(run.WarmCloudDepth(1, 2), 0.0f);
    // Isotherms already found are not searched again.
    run.FreezingLevelFt(1, 0) = 5000.0f;
    MakeWarmCloudDepth(*store, run);
    EXPECT_NEAR(run.WarmCloudDepth(1, 0), 5000.0 - StdHeightFeet(950.0f), 0.01);
}

TEST_F(WholeRunTest, TQFromTheMandatoryLevels) {
    Column(0, {20, 10, 0, -20}, {1000, 850, 700, 500});
    Column(1, {24, 14, -6, -20}, {1000, 850, 700, 500});
    store->DewPoint(1, 0, 2) = 8.0f;
    store->DewPoint(1, 1, 2) = 11.0f;
    MakeTQ(*store, run);
    EXPECT_EQ(run.TQDone(1), kFlagTrue);
    EXPECT_NEAR(run.TQ(1, 0), 18.0, 1e-4);           // 10 + 8 - 1.7 * 0
    EXPECT_NEAR(run.TQ(1, 1), 14 + 11 + 10.2, 1e-4); // 14 + 11 - 1.7 * -6
}

TEST_F(WholeRunTest, AnEmptyRunOnlyGetsItsFlags) {
    store->LastTime(1) = -1;
    run.TQ(1, 0) = 45.0f;
    MakeWarmCloudDepth(*store, run);
    MakeTQ(*store, run);
    SmoothOmega(*store, run);
    EXPECT_EQ(run.IsothermsDone(1) & run.WarmCloudDone(1) & run.TQDone(1) &
                  run.SmoothedOmegaDone(1),
              kFlagTrue);
    EXPECT_FLOAT_EQ(run.TQ(1, 0), 45.0f);
}

class SmoothOmegaTest : public ::testing::Test {
  protected:
    // Times 0..last and levels 1..n of omega f(t, L); the cells just outside
    // hold NaN, so reading them shows in the results.
    template <typename F> void Smooth(int last, int n, F f) {
        store->LastTime(1) = static_cast<std::int16_t>(last);
        store->LevelCount(1) = static_cast<std::uint16_t>(n);
        for (int t = 0; t <= last + 1; ++t)
            for (int L = 0; L <= n + 1; ++L)
                store->Omega(1, t, L) = t > last || L < 1 || L > n ? NAN : float(f(t, L));
        SmoothOmega(*store, run);
    }
    float S(int t, int L) const { return run.SmoothedOmega(1, t, L); }

    std::unique_ptr<ProfileArrays> store = test::NewStore();
    WholeRunResults run;
};

TEST_F(SmoothOmegaTest, ALinearFieldKeepsItsInteriorAndShiftsAtTheEdges) {
    // F = 1 + 2t + 3L over times 0..4, levels 1..5. Inside, neighbours cancel
    // in pairs (a constant field therefore stays constant); at an edge the
    // missing neighbour leaves the other's slope over the count of terms.
    const auto F = [](int t, int L) { return 1.0 + 2.0 * t + 3.0 * L; };
    run.SmoothedOmega(1, 5, 1) = 9.0f;
    Smooth(4, 5, F);
    EXPECT_EQ(run.SmoothedOmegaDone(1), kFlagTrue);
    for (int i = 1; i <= 3; ++i) {
        for (int L = 2; L <= 4; ++L) EXPECT_NEAR(S(i, L), F(i, L), 1e-5) << i << " " << L;
        EXPECT_NEAR(S(i, 1), F(i, 1) + 3.0 / 5, 1e-5);         // bottom: (4F + F + 3) / 5
        EXPECT_NEAR(S(i, 5), F(i, 5) - 3.0 / 5, 1e-5);         // top
        EXPECT_NEAR(S(0, i + 1), F(0, i + 1) + 2.0 / 5, 1e-5); // first hour
        EXPECT_NEAR(S(4, i + 1), F(4, i + 1) - 2.0 / 5, 1e-5); // last hour
    }
    EXPECT_NEAR(S(0, 1), F(0, 1) + (2.0 + 3.0) / 4, 1e-5);
    EXPECT_NEAR(S(0, 5), F(0, 5) + (2.0 - 3.0) / 4, 1e-5);
    EXPECT_NEAR(S(4, 5), F(4, 5) + (-2.0 - 3.0) / 4, 1e-5);
    EXPECT_NEAR(S(4, 1), F(4, 1) + (-2.0 + 3.0) / 4, 1e-5);
    EXPECT_FLOAT_EQ(S(5, 1), 9.0f); // nothing outside the run is written
}

TEST_F(SmoothOmegaTest, AnImpulseSpreadsToItsNeighbours) {
    Smooth(4, 5, [](int t, int L) { return t == 2 && L == 3 ? 6.0 : 0.0; });
    EXPECT_FLOAT_EQ(S(2, 3), 2.0f); // 2/6 stays, 1/6 to each neighbour
    for (auto [t, L] : {std::pair{1, 3}, std::pair{3, 3}, std::pair{2, 2}, std::pair{2, 4}})
        EXPECT_FLOAT_EQ(S(t, L), 1.0f) << t << " " << L;
    EXPECT_FLOAT_EQ(S(1, 2), 0.0f);
    Smooth(4, 5, [](int t, int L) { return t == 0 && L == 1 ? 4.0 : 0.0; });
    EXPECT_FLOAT_EQ(S(0, 1), 2.0f); // a corner counts over four terms
    EXPECT_FLOAT_EQ(S(1, 1), 0.8f); // its neighbours on the edges over five
    EXPECT_FLOAT_EQ(S(0, 2), 0.8f);
}

TEST_F(SmoothOmegaTest, ARunWithoutNeighboursInOneDirectionSmoothsInTheOther) {
    Smooth(0, 5, [](int, int L) { return 3.0 * L; }); // one hour
    EXPECT_FLOAT_EQ(S(0, 1), (2 * 3 + 6) / 3.0f);
    EXPECT_FLOAT_EQ(S(0, 3), 9.0f);
    EXPECT_FLOAT_EQ(S(0, 5), (2 * 15 + 12) / 3.0f);
    Smooth(4, 1, [](int t, int) { return double(t); }); // one level
    EXPECT_FLOAT_EQ(S(0, 1), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(S(2, 1), 2.0f);
    EXPECT_FLOAT_EQ(S(4, 1), 11.0f / 3.0f);
}

} // namespace
} // namespace tarvex
