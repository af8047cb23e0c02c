#include "compute/ElevatedParcel.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"
#include "compute/Parcels.h"
#include "files/SoundingReader.h"

#include "ProfileBuilder.h"
#include "SampleSounding.h"

#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tarvex {
namespace {

constexpr double kPerMeterDegree = 9.80616 / 273.16;

// Levels every 50 mb from 1000 mb, 400 m apart in the file's heights (not the
// standard atmosphere's). The parcel starts at level 3 (900 mb, 15 C) so dry
// that it keeps to its dry adiabat; the environment above is that adiabat
// less the given difference per level.
class ElevatedParcelTest : public ::testing::Test {
  protected:
    static constexpr int k = 3;

    void Build(const std::vector<float>& differences) {
        test::OneTimeProfile p;
        for (int L = 1; L <= k + static_cast<int>(differences.size()); ++L) {
            const float t = L < k    ? 20.0f
                            : L == k ? 15.0f
                                     : float(Dry(P(L))) - differences[L - k - 1];
            p.Levels.push_back({P(L), 400.0f * float(L - 1), t, L == k ? -30.0f : t - 10.0f});
        }
        test::WriteProfile(*store, p);
    }
    static float P(int L) { return 1050.0f - 50.0f * static_cast<float>(L); }
    static double Dry(double p) { return 288.16 * std::pow(p / 900.0, 2.0 / 7.0) - 273.16; }
    void Run(int start = k) { MakeECAPE(*store, 0, static_cast<std::int16_t>(start), *elevated); }
    float Cape() const { return elevated->ElevCAPE(1, 0, k); }
    float EL() const { return elevated->ElevELPressure(1, 0, k); }
    int ELLevel() const { return elevated->ElevELLevel(1, 0, k); }

    std::unique_ptr<ProfileArrays> store = test::NewStore();
    std::unique_ptr<ElevatedParcelResults> elevated = std::make_unique<ElevatedParcelResults>();
};

TEST_F(ElevatedParcelTest, CapeCinAndEquilibriumLevelOverTheFileHeights) {
    // Colder by 1 C, warmer by 2, colder by 9.9 (a gap), warmer by 2 twice, then
    // colder to the end of the ascent. Each level counts for the 400 m up to
    // the next one.
    Build({-1, 2, -9.9f, 2, 2, -3, -4, -20});
    Run();
    EXPECT_EQ(elevated->ElevCAPEDone(1, 0, k), kFlagTrue);
    EXPECT_NEAR(elevated->ElevParcelProfile(1, 0, k, 7), Dry(700.0), 2e-3);
    EXPECT_NEAR(Cape(), kPerMeterDegree * 2.0 * 3 * 400, 0.01);
    // Only the cold layers below the last buoyant level inhibit.
    EXPECT_NEAR(elevated->ElevCIN(1, 0, k), kPerMeterDegree * (1.0 + 9.9) * 400, 0.01);
    EXPECT_EQ(ELLevel(), 8);
    // +2 at 650 mb, -3 at 600 mb: the sign changes 2/5 of the way up.
    EXPECT_NEAR(EL(), 630.0, 2e-3);
    EXPECT_NEAR(elevated->ElevELTemp(1, 0, k), Dry(630.0), 2e-3);
    EXPECT_NEAR(elevated->ElevELDepthFt(1, 0, k), StdHeightFeet(630.0f) - StdHeightFeet(1000.0f),
                0.01);
    // The start level lies 800 m up.
    EXPECT_NEAR(elevated->ElevNCAPE(1, 0, k), Cape() / (StdHeightMeters(630.0f) - 800.0), 1e-5);
}

TEST_F(ElevatedParcelTest, TenDegreesColderEndsTheAscent) {
    for (const auto& differences :
         {std::vector<float>{-1, -10.1f, 5, 5, -20}, std::vector<float>{-1, 0.004f, -2, -20}}) {
        Build(differences); // the second is never more than 0.005 C warmer
        Run();
        EXPECT_FLOAT_EQ(Cape(), 0.0f);
        EXPECT_FLOAT_EQ(elevated->ElevCIN(1, 0, k), 0.0f);
        EXPECT_FLOAT_EQ(EL(), 900.0f);
        EXPECT_EQ(ELLevel(), 0);
        EXPECT_EQ(elevated->ElevCAPEDone(1, 0, k), kFlagTrue);
    }
    // 0.008 C warmer is past the margin by more than the parcel's own error.
    Build({-1, 0.008f, -2, -20});
    Run();
    EXPECT_EQ(ELLevel(), 5);
    // The parcel profile holds the levels of the ascent, 3 to 5, and nothing
    // of an earlier parcel above or below them.
    Build({-1, -10.1f, 5, 5, -20});
    for (int L = 0; L < kLevelSlots; ++L) elevated->ElevParcelProfile(1, 0, k, L) = 99.0f;
    Run();
    for (int L = k; L <= 5; ++L)
        EXPECT_NEAR(elevated->ElevParcelProfile(1, 0, k, L), Dry(P(L)), 2e-3);
    for (int L : {0, 2, 6, 8, kLevelSlots - 1})
        EXPECT_EQ(elevated->ElevParcelProfile(1, 0, k, L), kNoParcelTemp) << L;
}

TEST_F(ElevatedParcelTest, ABuoyantParcelTakesTheTopLevel) {
    Build({2, 2, 2}); // top level 6 at 750 mb, which has no layer above it
    test::PoisonLevel(*store, 0, 7);
    Run();
    EXPECT_NEAR(Cape(), kPerMeterDegree * 2.0 * 2 * 400, 0.01);
    EXPECT_EQ(ELLevel(), 6);
    EXPECT_FLOAT_EQ(EL(), 750.0f);
    EXPECT_TRUE(std::isfinite(elevated->ElevNCAPE(1, 0, k)));
}

TEST_F(ElevatedParcelTest, NoDepthOrNoStartLevelGivesZero) {
    Build({2, 2, -3, -20});
    // File heights far above the standard atmosphere's: the equilibrium
    // level's standard height lies below the start.
    for (int L = 1; L <= 7; ++L) store->Height(1, 0, L) += 20000.0f;
    Run();
    EXPECT_GT(Cape(), 0.0f);
    EXPECT_FLOAT_EQ(elevated->ElevNCAPE(1, 0, k), 0.0f);
    // Start levels below level 1 or above the top lift nothing.
    test::PoisonLevel(*store, 0, 0);
    for (int start : {0, 8}) {
        Run(start);
        EXPECT_EQ(elevated->ElevCAPEDone(1, 0, start), kFlagTrue) << start;
        EXPECT_FLOAT_EQ(elevated->ElevCAPE(1, 0, start), 0.0f) << start;
    }
}

// Every result of the parcel of (t, k), bit for bit.
std::vector<std::uint32_t> Results(const ElevatedParcelResults& e, int t, int k) {
    std::vector<std::uint32_t> bits;
    for (const LevelField* f : {&e.ElevCAPE, &e.ElevCIN, &e.ElevELPressure, &e.ElevELTemp,
                                &e.ElevELDepthFt, &e.ElevNCAPE})
        bits.push_back(std::bit_cast<std::uint32_t>((*f)(1, t, k)));
    bits.push_back(static_cast<std::uint32_t>(e.ElevELLevel(1, t, k)));
    for (int L = 0; L < kLevelSlots; ++L)
        bits.push_back(std::bit_cast<std::uint32_t>(e.ElevParcelProfile(1, t, k, L)));
    return bits;
}

// A whole warm-season run (85 hours, 67 levels) lifted by columns in
// threads, as the overview lifts it: each parcel as it is lifted alone, every
// level of its trace on its own dry or moist adiabat, the parcels already
// lifted kept, and only the start levels asked for lifted.
TEST(ElevatedParcelRun, LiftsEachMissingParcelAsAlone) {
    auto store = std::make_unique<ProfileArrays>();
    ASSERT_TRUE(ParseSounding(samples::MakeSoundingText(samples::SampleSpec{}),
                              SoundingLayout::EtaRuc, *store)
                    .ok);
    const int n = store->LevelCount(1);
    const auto run = std::make_unique<ElevatedParcelResults>();
    const auto alone = std::make_unique<ElevatedParcelResults>();
    const auto kept = [](int t, int k) { return k == 5 && (t == 0 || t == 84); };
    for (int t : {0, 84}) {
        run->ElevCAPEDone(1, t, 5) = kFlagTrue;
        run->ElevCAPE(1, t, 5) = -1.0f;
    }
    const auto top = static_cast<std::int16_t>(n - 1);
    EXPECT_TRUE(ECAPEMissing(*store, 2, top, *run));
    MakeMissingECAPERun(*store, 2, top, *run);
    // Nothing left to lift in the levels asked for; the levels below and
    // above them still wait.
    EXPECT_FALSE(ECAPEMissing(*store, 2, top, *run));
    EXPECT_TRUE(ECAPEMissing(*store, 1, top, *run));
    EXPECT_TRUE(ECAPEMissing(*store, 2, static_cast<std::int16_t>(n), *run));
    int moistLevels = 0;
    for (int t = 0; t <= 84; ++t) {
        for (int k = 1; k <= n; ++k) {
            const bool asked = k >= 2 && k <= n - 1;
            ASSERT_EQ(run->ElevCAPEDone(1, t, k), asked || kept(t, k) ? kFlagTrue : kFlagFalse)
                << t << " " << k;
            if (kept(t, k)) {
                ASSERT_EQ(run->ElevCAPE(1, t, k), -1.0f);
                continue;
            }
            if (!asked) continue;
            MakeECAPE(*store, static_cast<std::int16_t>(t), static_cast<std::int16_t>(k), *alone);
            ASSERT_EQ(Results(*run, t, k), Results(*alone, t, k)) << t << " " << k;
            const CondensationLevel lcl = BoltonLCL(
                store->Temperature(1, t, k), store->DewPoint(1, t, k), store->Pressure(1, t, k));
            const LiftedParcel parcel(lcl);
            for (int L = k; L <= n && run->ElevParcelProfile(1, t, k, L) != kNoParcelTemp; ++L) {
                const float p = store->Pressure(1, t, L);
                ASSERT_EQ(run->ElevParcelProfile(1, t, k, L), parcel.TempAt(p)) << t << " " << k;
                moistLevels += p < lcl.Pressure;
            }
        }
    }
    EXPECT_GT(moistLevels, 10000); // the moist adiabat is what the run mostly tries

    // Several ranges in one pass, apart and overlapping, the last one empty:
    // the levels of each and none between them, each as lifted alone.
    const auto ranged = std::make_unique<ElevatedParcelResults>();
    const StartLevels ranges[] = {
        {static_cast<std::int16_t>(n), static_cast<std::int16_t>(n)}, {1, 3}, {2, 4}, {7, 6}};
    EXPECT_TRUE(ECAPEMissing(*store, ranges, *ranged));
    EXPECT_FALSE(ECAPEMissing(*store, std::span(ranges).last(1), *ranged));
    MakeMissingECAPERun(*store, ranges, *ranged);
    EXPECT_FALSE(ECAPEMissing(*store, ranges, *ranged));
    for (int t = 0; t <= 84; ++t) {
        for (int k = 1; k <= n; ++k) {
            const bool asked = k <= 4 || k == n;
            ASSERT_EQ(ranged->ElevCAPEDone(1, t, k), asked ? kFlagTrue : kFlagFalse)
                << t << " " << k;
            if (asked && k > 1 && k < n) {
                ASSERT_EQ(Results(*ranged, t, k), Results(*alone, t, k)) << t << " " << k;
            }
        }
    }
    // A run stopped before it begins lifts nothing.
    const std::atomic<bool> stop{true};
    const auto stopped = std::make_unique<ElevatedParcelResults>();
    MakeMissingECAPERun(*store, ranges, *stopped, stop);
    for (int t = 0; t <= 84; ++t)
        for (const int k : {1, 2, n}) ASSERT_EQ(stopped->ElevCAPEDone(1, t, k), kFlagFalse);
    for (const int t : {0, 40, 84}) {
        for (const int k : {1, n}) {
            MakeECAPE(*store, static_cast<std::int16_t>(t), static_cast<std::int16_t>(k), *alone);
            ASSERT_EQ(Results(*ranged, t, k), Results(*alone, t, k)) << t << " " << k;
        }
    }
}

} // namespace
} // namespace tarvex
