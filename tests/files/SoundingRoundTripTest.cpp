#include "SampleSounding.h"
#include "compute/Levels.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tarvex {
namespace {

using samples::SampleSounding;
using samples::SampleSpec;
using samples::Variant;

struct Case {
    std::string layout;
    bool legacy;
    int times;
    int levels;
};

std::string Describe(const Case& c) {
    return c.layout + (c.legacy ? " legacy " : " ") + std::to_string(c.times) + "x" +
           std::to_string(c.levels);
}

// Checks that every value the generator wrote sits in the store where the
// reader's layout puts it.
void ExpectStoreHolds(const ProfileArrays& s, const SampleSounding& sample, const Case& c) {
    const int m = 1;
    const bool legacyLevels = c.legacy && c.layout != "gfs3";
    ASSERT_EQ(s.LastTime(m), c.times - 1);
    ASSERT_EQ(s.LevelCount(m), sample.times.back().levels.size());
    EXPECT_FLOAT_EQ(s.StationLat(m), sample.spec.lat);
    EXPECT_FLOAT_EQ(s.StationLon(m), -sample.spec.lon);
    EXPECT_FLOAT_EQ(s.StationElevation(m), sample.spec.elevation / 1000.0f);
    for (int t = 0; t < c.times; ++t) {
        const samples::SampleTime& st = sample.times[static_cast<std::size_t>(t)];
        EXPECT_EQ(s.ValidTime(m, t), st.valid) << t;
        EXPECT_FLOAT_EQ(s.Showalter(m, t), st.station.show);
        EXPECT_FLOAT_EQ(s.BulkRichardson(m, t), st.station.brch);
        EXPECT_NEAR(s.PrecipWater(m, t), st.station.pwat / 25.4f, 1e-5f);
        const int n = static_cast<int>(st.levels.size());
        for (int L = 1; L <= n; ++L) {
            const samples::SampleLevel& lv = st.levels[static_cast<std::size_t>(L - 1)];
            ASSERT_FLOAT_EQ(s.Pressure(m, t, L), lv.pres) << t << "/" << L;
            ASSERT_FLOAT_EQ(s.Temperature(m, t, L), lv.tmpc);
            ASSERT_FLOAT_EQ(s.WetBulb(m, t, L), lv.tmwc);
            ASSERT_FLOAT_EQ(s.DewPoint(m, t, L), lv.dwpc);
            ASSERT_FLOAT_EQ(s.ThetaE(m, t, L), lv.thte);
            ASSERT_FLOAT_EQ(s.WindDirection(m, t, L), lv.drct);
            ASSERT_FLOAT_EQ(s.WindSpeed(m, t, L), lv.sknt);
            ASSERT_FLOAT_EQ(s.Omega(m, t, L), lv.omeg * 10.0f); // stored times 10
            if (legacyLevels) {
                ASSERT_FLOAT_EQ(s.Height(m, t, L), StdHeightMeters(lv.pres));
            } else {
                ASSERT_FLOAT_EQ(s.Height(m, t, L), lv.hght);
            }
            if ((c.layout == "eta" || c.layout == "ruc") && !legacyLevels) {
                ASSERT_FLOAT_EQ(s.CloudFraction(m, t, L), lv.cfrl);
            } else { // no cloud column: derived from the humidity
                ASSERT_GE(s.CloudFraction(m, t, L), 0.0f);
                ASSERT_LE(s.CloudFraction(m, t, L), 100.0f);
            }
        }
        if (n < kMaxProfileLevels) {
            EXPECT_FLOAT_EQ(s.Pressure(m, t, n + 1), 0.0f);
        }

        const samples::SampleSurface& sf = st.surface;
        EXPECT_FLOAT_EQ(s.SurfacePressure(m, t), sf.pres);
        EXPECT_FLOAT_EQ(s.SurfaceTemp(m, t), sf.t2m);
        EXPECT_FLOAT_EQ(s.SurfaceDewPoint(m, t), sf.td2m);
        EXPECT_FLOAT_EQ(s.Precip(m, t), sf.precip);
        EXPECT_FLOAT_EQ(s.ConvPrecip(m, t), sf.convPrecip);
        if (c.layout == "ngm") {
            EXPECT_FLOAT_EQ(s.SurfaceWindSpeed(m, t), sf.windSpeed);
            EXPECT_FLOAT_EQ(s.SurfaceWindDirection(m, t), sf.windDir);
        } else {
            EXPECT_FLOAT_EQ(s.SurfaceU(m, t), sf.u);
            EXPECT_FLOAT_EQ(s.SurfaceV(m, t), sf.v);
            EXPECT_FLOAT_EQ(s.SkinTemperature(m, t), sf.skinTemp);
            EXPECT_FLOAT_EQ(s.Evaporation(m, t), sf.evaporation);
            EXPECT_FLOAT_EQ(s.SpecificHumidity(m, t, 0), sf.q2m);
            // The generator's type, as a code (eta, ruc) or as its one flag (gfs3).
            EXPECT_EQ(s.PTypeModelCode(m, t), sf.ptypeCode);
        }
        if (c.layout == "eta" || c.layout == "ruc") {
            EXPECT_FLOAT_EQ(s.StormU(m, t), sf.stormU);
            EXPECT_FLOAT_EQ(s.ModelHelicity(m, t), sf.helicity);
            EXPECT_FLOAT_EQ(s.ModelSnowRatio(m, t), sf.snowRatio);
            EXPECT_FLOAT_EQ(s.RunOff(m, t), sf.runoff);
            EXPECT_FLOAT_EQ(s.CloudBase(m, t), sf.cloudBase);
            EXPECT_FLOAT_EQ(s.Visibility(m, t), sf.visibility);
            EXPECT_FLOAT_EQ(s.GroundTemperature(m, t), (3.0f * sf.soil1 + sf.soil2) / 4.0f);
        }
    }
}

TEST(SoundingRoundTrip, EveryLayoutLandsInTheRightArrays) {
    const Case cases[] = {
        {"eta", false, 85, 67}, {"ruc", false, 4, 30}, {"ngm", false, 5, 20},
        {"gfs3", false, 3, 40}, {"eta", true, 3, 25},  {"ngm", true, 2, 15},
        {"gfs3", true, 2, 12},  {"eta", false, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Describe(c));
        SampleSpec spec;
        spec.layout = c.layout;
        spec.legacy = c.legacy;
        spec.times = c.times;
        spec.levels = c.levels;
        const SampleSounding sample = samples::MakeSampleSounding(spec);
        auto store = std::make_unique<ProfileArrays>();
        const SoundingReadResult r =
            ParseSounding(samples::WriteSoundingText(sample), *LayoutFromKeyword(c.layout), *store);
        ASSERT_TRUE(r.ok) << r.reason << " at line " << r.line;
        EXPECT_EQ(r.LegacyMode, c.legacy && c.layout != "gfs3"); // gfs3 reads one way only
        ExpectStoreHolds(*store, sample, c);
    }
}

TEST(SoundingRoundTrip, HarmlessVariationsReadTheSame) {
    for (Variant v : {Variant::MisspeltKeys, Variant::NoBlankBetweenBlocks, Variant::CrLf}) {
        SCOPED_TRACE(static_cast<int>(v));
        SampleSpec spec;
        spec.times = 6;
        spec.levels = 30;
        spec.variant = v;
        const SampleSounding sample = samples::MakeSampleSounding(spec);
        auto store = std::make_unique<ProfileArrays>();
        const SoundingReadResult r =
            ParseSounding(samples::WriteSoundingText(sample), SoundingLayout::EtaRuc, *store);
        ASSERT_TRUE(r.ok) << r.reason << " at line " << r.line;
        ExpectStoreHolds(*store, sample, {"eta", false, 6, 30});
    }
}

TEST(SoundingRoundTrip, AFileReadWithAnotherModelsLayoutIsRefused) {
    // An ruc file picked while ngm is chosen once read as 4.7 mb at the
    // ground; every pairing of different layouts must now be refused.
    for (const char* written : {"eta", "ngm", "gfs3"}) {
        SampleSpec spec;
        spec.layout = written;
        spec.times = 4;
        spec.levels = 20;
        const std::string text = samples::MakeSoundingText(spec);
        for (const char* read : {"eta", "ngm", "gfs3"}) {
            auto store = std::make_unique<ProfileArrays>();
            const SoundingReadResult r = ParseSounding(text, *LayoutFromKeyword(read), *store);
            EXPECT_EQ(r.ok, std::string(written) == read) << written << " read as " << read;
            EXPECT_EQ(r.line > 0, !r.ok) << r.reason; // a refusal names its line
        }
    }
}

TEST(SoundingRoundTrip, DamagedFilesAreRefusedWithTheirReason) {
    const std::pair<Variant, std::string> cases[] = {
        {Variant::Truncated, "the file ends early"},
        {Variant::TruncatedSurface, "the file ends early"},
        {Variant::TooManyLevels, "more than 67 levels in one forecast time"},
        {Variant::TooManyTimes,
         "the run has more than 85 forecast times, more than a sounding file may hold"},
        {Variant::NoTimeBlocks, "no forecast time (no TIME line) was found"},
        {Variant::LineDeleted,
         "the Showalter index 943.85 of forecast time 5 is outside -100 to 100"},
        {Variant::NulByte, "the file holds a NUL byte, so it is not a sounding text file"},
        {Variant::NumberTooLarge, "the number \"1e40\" is too large"},
        {Variant::HugeSurfacePressure,
         "the surface pressure 1e+20 mb of forecast time 5 is outside 100 to 1100 mb"},
    };
    for (const auto& [variant, reason] : cases) {
        SampleSpec spec;
        spec.times = variant == Variant::TooManyTimes ? 85 : 8;
        spec.levels = variant == Variant::TooManyLevels ? 67 : 20;
        spec.variant = variant;
        auto store = std::make_unique<ProfileArrays>();
        const SoundingReadResult r =
            ParseSounding(samples::MakeSoundingText(spec), SoundingLayout::EtaRuc, *store);
        EXPECT_FALSE(r.ok) << reason;
        EXPECT_EQ(r.reason, reason);
        EXPECT_GT(r.line, 0) << reason;
    }
    SampleSpec bad;
    bad.times = 5;
    bad.levels = 10;
    bad.variant = Variant::BadDate;
    auto store = std::make_unique<ProfileArrays>();
    const SoundingReadResult r =
        ParseSounding(samples::MakeSoundingText(bad), SoundingLayout::EtaRuc, *store);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason.rfind("the TIME line has no valid date", 0), 0u) << r.reason;
}

} // namespace
} // namespace tarvex
