#include "SampleSounding.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace tarvex {
namespace {

using samples::Atmosphere;
using samples::SampleLevel;
using samples::SampleSounding;
using samples::SampleSpec;

constexpr Atmosphere kAtmospheres[] = {Atmosphere::WarmSeasonConvective, Atmosphere::WinterWarmNose,
                                       Atmosphere::LakeEffectCold, Atmosphere::HumidNight};

SampleSounding Make(Atmosphere atmosphere, int times = 85, int levels = 67) {
    SampleSpec spec;
    spec.atmosphere = atmosphere;
    spec.times = times;
    spec.levels = levels;
    return samples::MakeSampleSounding(spec);
}

TEST(SampleSounding, MoistureFieldsAreOrderedEverywhere) {
    for (Atmosphere atmosphere : kAtmospheres) {
        SCOPED_TRACE(static_cast<int>(atmosphere));
        const SampleSounding s = Make(atmosphere);
        for (const samples::SampleTime& st : s.times) {
            for (const SampleLevel& lv : st.levels) {
                ASSERT_LE(lv.dwpc, lv.tmwc) << st.forecastHour << " h, " << lv.pres << " mb";
                ASSERT_LE(lv.tmwc, lv.tmpc) << st.forecastHour << " h, " << lv.pres << " mb";
                ASSERT_GE(lv.cfrl, 0.0f);
                ASSERT_LE(lv.cfrl, 100.0f);
            }
            EXPECT_LE(st.surface.td2m, st.surface.t2m);
        }
    }
}

TEST(SampleSounding, LevelsClimbFromTheStationToTheStratosphere) {
    for (Atmosphere atmosphere : kAtmospheres) {
        SCOPED_TRACE(static_cast<int>(atmosphere));
        const SampleSounding s = Make(atmosphere, 24);
        for (const samples::SampleTime& st : s.times) {
            ASSERT_EQ(st.levels.size(), 67u);
            EXPECT_LT(st.levels.front().pres, st.surface.pres);
            EXPECT_GT(st.levels.front().hght, s.spec.elevation);
            for (std::size_t L = 1; L < st.levels.size(); ++L) {
                ASSERT_LT(st.levels[L].pres, st.levels[L - 1].pres) << L;
                ASSERT_GT(st.levels[L].hght, st.levels[L - 1].hght) << L;
            }
            EXPECT_LE(st.levels.back().pres, 100.0f);
            // 500 mb lies near 5.5 km in any of these air masses.
            const SampleLevel& at500 = *std::min_element(
                st.levels.begin(), st.levels.end(), [](const auto& a, const auto& b) {
                    return std::fabs(a.pres - 500.0f) < std::fabs(b.pres - 500.0f);
                });
            EXPECT_LT(std::fabs(at500.pres - 500.0f), 10.0f);
            EXPECT_GT(at500.hght, 5000.0f);
            EXPECT_LT(at500.hght, 6000.0f);
        }
    }
    // Fewer levels are the lowest of the full column.
    const SampleSounding full = Make(Atmosphere::WarmSeasonConvective, 3);
    const SampleSounding few = Make(Atmosphere::WarmSeasonConvective, 3, 10);
    ASSERT_EQ(few.times[1].levels.size(), 10u);
    EXPECT_EQ(few.times[1].levels[9].pres, full.times[1].levels[9].pres);
    EXPECT_EQ(few.times[1].levels[9].hght, full.times[1].levels[9].hght);
}

// Thickness of a layer from the hypsometric equation, worked with a
// different saturation formula (Tetens) and Tv = T (1 + 0.608 q).
double HandThickness(const SampleLevel& lower, const SampleLevel& upper) {
    auto virtualK = [](const SampleLevel& lv) {
        const double e = 6.1078 * std::pow(10.0, 7.5 * lv.dwpc / (237.3 + lv.dwpc));
        const double q = 0.622 * e / (lv.pres - 0.378 * e);
        return (lv.tmpc + 273.15) * (1.0 + 0.608 * q);
    };
    const double meanTv = 0.5 * (virtualK(lower) + virtualK(upper));
    return 287.05 / 9.80665 * meanTv * std::log(lower.pres / upper.pres);
}

TEST(SampleSounding, LayerThicknessFollowsTheHypsometricEquation) {
    // A warm, moist boundary layer and a cold, dry upper layer: the virtual
    // temperature correction matters in the first and not in the second.
    const SampleSounding s = Make(Atmosphere::WarmSeasonConvective, 3);
    for (std::size_t L : {5u, 15u, 40u, 60u}) {
        const SampleLevel& lower = s.times[0].levels[L - 1];
        const SampleLevel& upper = s.times[0].levels[L];
        EXPECT_NEAR(upper.hght - lower.hght, HandThickness(lower, upper), 0.05) << L;
    }
}

TEST(SampleSounding, WinterProfileHasAWarmNoseOverFreezingGround) {
    const SampleSounding s = Make(Atmosphere::WinterWarmNose);
    const samples::SampleTime& first = s.times[0];
    EXPECT_LT(first.surface.t2m, 0.0f);
    EXPECT_LT(first.levels.front().tmpc, 0.0f);
    float warmest = -100.0f;
    float warmestAt = 0.0f;
    for (const SampleLevel& lv : first.levels) {
        if (lv.pres < 600.0f) break;
        if (lv.tmpc > warmest) {
            warmest = lv.tmpc;
            warmestAt = lv.pres;
        }
    }
    EXPECT_GT(warmest, 0.0f);
    EXPECT_GT(warmestAt, 800.0f);
    EXPECT_LT(warmestAt, 900.0f);

    // Freezing rain or ice pellets while the nose lasts, snow once the front
    // has cooled it away.
    bool iceOrFreezingRain = false;
    for (const samples::SampleTime& st : s.times)
        iceOrFreezingRain |= st.surface.ptypeCode == 66 || st.surface.ptypeCode == 79;
    EXPECT_TRUE(iceOrFreezingRain);
    EXPECT_EQ(s.times.back().surface.ptypeCode, 70);
}

TEST(SampleSounding, FrontTurnsTheWindAndCoolsTheGround) {
    // 85 hourly times: the front passes at hour 42. Hours 12 and 60 are the
    // same time of day on either side of it.
    const SampleSounding s = Make(Atmosphere::WarmSeasonConvective);
    const samples::SampleTime& ahead = s.times[12];
    const samples::SampleTime& behind = s.times[60];
    EXPECT_LT(behind.surface.t2m, ahead.surface.t2m - 3.0f);
    EXPECT_NEAR(ahead.surface.windDir, 200.0f, 30.0f);
    EXPECT_NEAR(behind.surface.windDir, 310.0f, 30.0f);
    // Veering and strengthening with height in the warm sector.
    const SampleLevel& low = ahead.levels[2];
    const SampleLevel* mid = nullptr;
    for (const SampleLevel& lv : ahead.levels)
        if (!mid && lv.pres < 500.0f) mid = &lv;
    ASSERT_NE(mid, nullptr);
    EXPECT_GT(mid->drct, low.drct + 20.0f);
    EXPECT_GT(mid->sknt, low.sknt + 10.0f);
    // The rain falls with the front.
    float wettest = 0.0f;
    int wettestHour = -1;
    for (const samples::SampleTime& st : s.times) {
        if (st.surface.precip > wettest) {
            wettest = st.surface.precip;
            wettestHour = st.forecastHour;
        }
    }
    EXPECT_NEAR(wettestHour, 42, 2);
    EXPECT_EQ(s.times[0].surface.precip, 0.0f);
}

TEST(SampleSounding, EveryLayoutReadsBack) {
    for (const char* layout : {"eta", "ruc", "ngm", "gfs3"}) {
        for (bool legacy : {false, true}) {
            SCOPED_TRACE(std::string(layout) + (legacy ? " legacy" : ""));
            SampleSpec spec;
            spec.layout = layout;
            spec.legacy = legacy;
            spec.times = 7;
            spec.levels = 40;
            spec.atmosphere = Atmosphere::LakeEffectCold;
            auto store = std::make_unique<ProfileArrays>();
            const SoundingReadResult r =
                ParseSounding(samples::MakeSoundingText(spec), *LayoutFromKeyword(layout), *store);
            ASSERT_TRUE(r.ok) << r.reason << " at line " << r.line;
            EXPECT_EQ(r.LegacyMode, legacy && std::string(layout) != "gfs3");
            EXPECT_EQ(store->LastTime(1), 6);
            EXPECT_EQ(store->LevelCount(1), 40);
        }
    }
    auto store = std::make_unique<ProfileArrays>();
    const SoundingReadResult full =
        ParseSounding(samples::MakeSoundingText(SampleSpec{}), SoundingLayout::EtaRuc, *store);
    ASSERT_TRUE(full.ok) << full.reason << " at line " << full.line;
    EXPECT_EQ(store->LastTime(1), 84);
    EXPECT_EQ(store->LevelCount(1), 67);
}

TEST(SampleSounding, OutOfRangeSpecsAreRefused) {
    SampleSpec spec;
    spec.layout = "nam";
    EXPECT_THROW(samples::MakeSampleSounding(spec), std::invalid_argument);
    spec = SampleSpec{};
    spec.times = 86;
    EXPECT_THROW(samples::MakeSampleSounding(spec), std::invalid_argument);
    spec = SampleSpec{};
    spec.levels = 0;
    EXPECT_THROW(samples::MakeSampleSounding(spec), std::invalid_argument);
    spec = SampleSpec{};
    spec.year = 2050; // the file's two-digit year would read as 1950
    EXPECT_THROW(samples::MakeSampleSounding(spec), std::invalid_argument);
}

} // namespace
} // namespace tarvex
