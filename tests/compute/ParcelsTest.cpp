#include "compute/Parcels.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"

#include "ProfileBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace tarvex {
namespace {

using test::PoisonLevel;

// Energy (J/kg) of one metre where the parcel is one degree warmer.
constexpr double kPerMeterDegree = 9.80616 / 273.16;

// Reference thermodynamics, independent of the code under test: Bolton's
// saturation vapour pressure (mb) and the pseudo-adiabatic lapse rate dT/dp.
double Es(double celsius) {
    return 6.112 * std::exp(17.67 * celsius / (celsius + 243.5));
}
double PseudoSlope(double p, double K) {
    const double L = 2.501e6 - 2370.0 * (K - 273.15),
                 rs = 0.622 * Es(K - 273.15) / (p - Es(K - 273.15));
    return (287.04 * K + L * rs) / (p * (1005.7 + L * L * rs * 0.622 / (287.04 * K * K)));
}
// Saturated air from (celsius, p1) to p2 by fourth-order Runge-Kutta.
double PseudoAdiabatRK4(double celsius, double p1, double p2) {
    const double h = (p2 - p1) / 2000;
    double T = celsius + 273.15;
    for (double p = p1; std::fabs(p - p2) > std::fabs(h) / 2; p += h) {
        const double k1 = PseudoSlope(p, T), k2 = PseudoSlope(p + h / 2, T + h / 2 * k1);
        const double k3 = PseudoSlope(p + h / 2, T + h / 2 * k2),
                     k4 = PseudoSlope(p + h, T + h * k3);
        T += h / 6 * (k1 + 2 * k2 + 2 * k3 + k4);
    }
    return T - 273.15;
}
// Condensation level by bisection: where the dry adiabat (exponent 2/7) meets
// saturation at the air's own mixing ratio. Returns {K, mb}.
std::pair<double, double> ExactLCL(double T, double Td, double p) {
    const double mixing = 0.622 * Es(Td) / (p - Es(Td)), K = T + 273.16;
    double lo = 100.0, hi = p;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2, es = Es(K * std::pow(mid / p, 2.0 / 7.0) - 273.16);
        (0.622 * es / (mid - es) > mixing ? hi : lo) = mid;
    }
    return {K * std::pow(lo / p, 2.0 / 7.0), lo};
}
double Dry(double K, double p0, double p) {
    return K * std::pow(p / p0, 2.0 / 7.0) - 273.16;
}

// Writes levels every 50 mb from 1000 mb (standard heights) with the given
// temperatures, dew points 5 C lower.
void WriteLevels(ProfileArrays& store, const std::vector<float>& temps, float surfaceP = 1000.0f) {
    test::OneTimeProfile p;
    p.SurfacePressure = surfaceP;
    for (std::size_t i = 0; i < temps.size(); ++i) {
        const float pressure = 1000.0f - 50.0f * static_cast<float>(i);
        p.Levels.push_back({pressure, StdHeightMeters(pressure), temps[i], temps[i] - 5.0f});
    }
    test::WriteProfile(store, p);
}

TEST(Theta, WorkedByHand) {
    EXPECT_FLOAT_EQ(Theta(0.0f, 1000.0f), 0.0f);
    EXPECT_NEAR(Theta(-20.0f, 500.0f), 35.4455, 2e-3); // 253.16 * 2^(2/7) = 308.6055 K
    EXPECT_NEAR(Theta(20.0f, 850.0f), 33.9336, 2e-3);  // 293.16 * 1.047529 = 307.0938 K
    EXPECT_FLOAT_EQ(Wobus(20.0f), 15.13f);
}

TEST(SatLift, AlwaysEndsWithAFiniteTemperature) {
    EXPECT_FLOAT_EQ(SatLift(12.5f, 1000.0005f), 12.5f);
    // At and above the top of the atmosphere every adiabat ends at 0 K.
    EXPECT_FLOAT_EQ(SatLift(20.0f, 0.0f), -273.16f);
    EXPECT_FLOAT_EQ(SatLift(20.0f, -50.0f), -273.16f);
    for (float thw : {-150.0f, -60.0f, 0.0f, 30.0f, 150.0f})
        for (float p : {1e-6f, 0.01f, 10.0f, 500.0f, 5000.0f})
            EXPECT_TRUE(std::isfinite(SatLift(thw, p))) << thw << " " << p;
    // Input without a value still returns instead of iterating on.
    EXPECT_TRUE(std::isnan(SatLift(std::numeric_limits<float>::quiet_NaN(), 500.0f)));
}

TEST(WetLift, FollowsThePseudoAdiabat) {
    // The Wobus fit and the extra 0.3 C per 500 mb stay within 1 C of the
    // integrated pseudo-adiabat between 1000 and 200 mb, up and down.
    const std::pair<float, float> starts[] = {{-30, 1000}, {0, 1000}, {15, 1000}, {25, 1000},
                                              {-20, 850},  {12, 850}, {-25, 700}, {5, 700}};
    for (auto [T, p1] : starts) {
        EXPECT_NEAR(WetLift(T, p1, p1), T, 0.1);
        for (float p2 : {1000.0f, 925.0f, 850.0f, 700.0f, 500.0f, 300.0f, 200.0f})
            EXPECT_NEAR(WetLift(T, p1, p2), PseudoAdiabatRK4(T, p1, p2), 1.0)
                << T << " " << p1 << " " << p2;
    }
    EXPECT_NEAR(WetLift(20, 1000, 500) - SatLift(20, 500), -0.3, 1e-3); // 0.3 C per 500 mb risen
}

TEST(BoltonLCL, MatchesTheIterativeCondensationLevel) {
    for (double T : {0.0, 15.0, 30.0}) {
        for (double spread : {0.0, 3.0, 10.0, 25.0}) {
            const auto [K, p] = ExactLCL(T, T - spread, 1000.0);
            const CondensationLevel lcl = BoltonLCL(float(T), float(T - spread), 1000.0f);
            EXPECT_NEAR(lcl.TempK, K, 0.1) << T << " " << spread;
            EXPECT_NEAR(lcl.Pressure, p, 0.5) << T << " " << spread;
        }
    }
}

// The environment above the LFC level is the parcel's own moist adiabat less
// a fixed excess, so every layer's buoyancy is known.
class LayerCapeTest : public ::testing::Test {
  protected:
    void Build(int lfcLevel, float excess, int levels = 17, float eql = 100.0f) {
        lfc = 1050.0f - 50.0f * static_cast<float>(lfcLevel);
        std::vector<float> temps;
        for (int L = 1; L <= levels; ++L) {
            const float p = 1050.0f - 50.0f * static_cast<float>(L);
            temps.push_back(L <= lfcLevel ? kLfcTemp : WetLift(kLfcTemp, lfc, p) - excess);
        }
        WriteLevels(*store, temps);
        store->LFCPressure(1, 0) = lfc;
        store->EQLPressure(1, 0) = eql;
    }
    // Area up to height top: the LFC level adds its own small difference up
    // to the mid-height above it, each layer higher the excess.
    double Expected(double excess, double top) const {
        const double zMid = (StdHeightMeters(lfc) + StdHeightMeters(lfc - 50.0f)) / 2.0;
        const double own = WetLift(kLfcTemp, lfc, lfc) - kLfcTemp;
        return kPerMeterDegree * (own * (zMid - StdHeightMeters(lfc)) + excess * (top - zMid));
    }
    float Cape(int k) { return layer.LayerCAPE(1, 0, k); }
    void Run() { LiftParcelProfile(*store, 0, layer); }

    static constexpr float kLfcTemp = 18.0f;
    std::unique_ptr<ProfileArrays> store = test::NewStore();
    LayerCapeResults layer;
    float lfc = 0.0f;
};

TEST_F(LayerCapeTest, SumsTheBuoyancyUpToEachHeightAboveTheStation) {
    Build(2, 2.0f);
    Run();
    EXPECT_EQ(layer.CapeShearDone(1, 0), kFlagTrue);
    for (int k = 3; k <= 6; ++k) EXPECT_NEAR(Cape(k), Expected(2, k * 1000.0), 0.05) << k;
    store->StationElevation(1) = 0.2f;
    Run();
    EXPECT_NEAR(Cape(3), Expected(2, 3200.0), 0.05);
}

TEST_F(LayerCapeTest, StopsAtTheEquilibriumLevelAndStartsAtTheLfc) {
    Build(2, 2.0f, 17, 520.0f); // equilibrium level near 5.4 km
    Run();
    EXPECT_NEAR(Cape(5), Expected(2, 5000.0), 0.05);
    EXPECT_NEAR(Cape(6), Expected(2, StdHeightMeters(520.0f)), 0.05);
    Build(7, 2.0f); // LFC at 700 mb, 3012 m: nothing below 3 km
    Run();
    EXPECT_FLOAT_EQ(Cape(3), 0.0f);
    EXPECT_NEAR(Cape(4), Expected(2, 4000.0), 0.05);
}

TEST_F(LayerCapeTest, NoPositiveAreaGivesZero) {
    Build(2, -2.0f); // colder than the environment
    Run();
    EXPECT_FLOAT_EQ(Cape(6), 0.0f);
    Build(2, 2.0f);
    for (float at : {1000.0f, 1013.0f}) { // LFC at level 1 or at the surface
        store->LFCPressure(1, 0) = at;
        Run();
        EXPECT_FLOAT_EQ(Cape(6), 0.0f) << at;
    }
}

TEST_F(LayerCapeTest, ABuoyantParcelEndsAtTheTopLevel) {
    Build(2, 2.0f, 9); // top level 600 mb, 4206 m
    PoisonLevel(*store, 0, 10);
    Run();
    EXPECT_NEAR(Cape(4), Expected(2, 4000.0), 0.05);
    EXPECT_NEAR(Cape(6), Expected(2, StdHeightMeters(600.0f)), 0.05);
    store->LFCPressure(1, 0) = 580.0f; // above the top level: no level to start from
    Run();
    EXPECT_FLOAT_EQ(Cape(6), 0.0f);
}

// Surface air at 1 C over a 16 C lake makes a 10 C parcel (7 C with the
// weights the other way round), so dry that it keeps to its dry adiabat up to
// about 590 mb; the environment is that adiabat less the given differences.
class LakeParcelTest : public ::testing::Test {
  protected:
    void Build(const std::vector<float>& differences, float surfaceP = 1000.0f) {
        std::vector<float> temps;
        for (std::size_t i = 0; i < differences.size(); ++i)
            temps.push_back(float(Dry(283.16, surfaceP, 1000.0 - 50.0 * double(i))) -
                            differences[i]);
        WriteLevels(*store, temps, surfaceP);
        store->SurfaceTemp(1, 0) = 1.0f;
        store->SurfaceDewPoint(1, 0) = -40.0f;
        options.LakeTempC = 16.0f;
    }
    void Run() { MakeCAPE(*store, 0, lake, options); }
    void ExpectNotBuoyant(float surfaceP) {
        EXPECT_EQ(lake.LakeParcelLevelCount(1, 0), 0);
        EXPECT_FLOAT_EQ(lake.LakeCAPE(1, 0), 0.0f);
        EXPECT_FLOAT_EQ(lake.LakeELDepthFt(1, 0), 0.0f);
        EXPECT_FLOAT_EQ(lake.LakeNCAPE(1, 0), 0.0f);
        EXPECT_FLOAT_EQ(lake.LakeELPressure(1, 0), surfaceP);
    }

    std::unique_ptr<ProfileArrays> store = test::NewStore();
    LakeParcelResults lake;
    ParcelOptions options;
};

TEST_F(LakeParcelTest, CapeAndEquilibriumLevelOfADryParcel) {
    Build({2, 2, 2, 2, 2, -3, -3}); // 2 C warmer up to 800 mb, 3 C colder at 750 mb
    Run();
    EXPECT_EQ(lake.LakeCAPEDone(1, 0), kFlagTrue);
    EXPECT_FLOAT_EQ(lake.LakeSurfaceTemp(1, 0), 10.0f);
    EXPECT_NEAR(lake.LakeSurfaceDewPoint(1, 0), -28 - 1.31 + 5.6, 1e-5);
    // Bolton's condensation level of 10 C over -23.71 C, by hand: 243.697 K.
    EXPECT_NEAR(lake.LakeLCLTemp(1, 0), 243.697 - 273.16, 1e-3);
    EXPECT_NEAR(lake.LakeLCLPressure(1, 0), 591.376, 0.01);
    EXPECT_EQ(lake.LakeParcelLevelCount(1, 0), 6);
    EXPECT_NEAR(lake.LakeParcelTemp(1, 0, 4), Dry(283.16, 1000, 850), 2e-3);
    // +2 at 800 mb, -3 at 750 mb: the sign changes 2/5 of the way up.
    EXPECT_NEAR(lake.LakeELPressure(1, 0), 780.0, 2e-3);
    EXPECT_NEAR(lake.LakeELTemp(1, 0), Dry(283.16, 1000, 780), 2e-3);
    // Levels 1..5 span the surface to the mid-height between 800 and 750 mb.
    const double top = (StdHeightMeters(800.0f) + StdHeightMeters(750.0f)) / 2.0;
    const double cape = kPerMeterDegree * 2.0 * (top - StdHeightMeters(1000.0f));
    const double depthFt = StdHeightFeet(780.0f) - StdHeightFeet(1000.0f);
    EXPECT_NEAR(lake.LakeCAPE(1, 0), cape, 0.01);
    EXPECT_NEAR(lake.LakeELDepthFt(1, 0), depthFt, 0.01);
    EXPECT_NEAR(lake.LakeNCAPE(1, 0), cape / (depthFt * 0.3038), 1e-4);

    store->SurfaceDewPoint(1, 0) = 30.0f; // moister than saturated: cut back
    Run();
    EXPECT_FLOAT_EQ(lake.LakeSurfaceDewPoint(1, 0), 10.0f);
}

TEST_F(LakeParcelTest, AParcelNoWarmerAtLevelOneIsNotBuoyant) {
    Build({0, 2, 2, -3});
    Run();
    ExpectNotBuoyant(1000.0f);
    // From a 1010 mb surface the parcel cools 0.8 C on its way to level 1 and
    // arrives 0.3 C colder than the air there.
    Build({-0.3f, 2, 2, -3}, 1010.0f);
    PoisonLevel(*store, 0, 0);
    Run();
    ExpectNotBuoyant(1010.0f);
    // Arriving at just the temperature of level 1: no depth, no normalized CAPE.
    Build({0, -3, -3}, 1010.0f);
    Run();
    store->Temperature(1, 0, 1) = lake.LakeParcelTemp(1, 0, 1);
    Run();
    EXPECT_FLOAT_EQ(lake.LakeELPressure(1, 0), 1000.0f);
    EXPECT_FLOAT_EQ(lake.LakeELDepthFt(1, 0), 0.0f);
    EXPECT_FLOAT_EQ(lake.LakeNCAPE(1, 0), 0.0f);
}

TEST_F(LakeParcelTest, ABuoyantParcelTakesTheTopLevelAsEquilibriumLevel) {
    Build({2, 2, 2, 2, 2}); // top level 800 mb
    PoisonLevel(*store, 0, 6);
    Run();
    EXPECT_EQ(lake.LakeParcelLevelCount(1, 0), 5);
    EXPECT_FLOAT_EQ(lake.LakeELPressure(1, 0), 800.0f);
    const double cape = kPerMeterDegree * 2.0 * (StdHeightMeters(800) - StdHeightMeters(1000));
    EXPECT_NEAR(lake.LakeCAPE(1, 0), cape, 0.01);
}

} // namespace
} // namespace tarvex
