#include "files/SoundingReader.h"
#include "files/FieldReader.h"
#include "files/Session.h"
#include "store/ProfileArrays.h"

#include "SampleSounding.h"
#include "files/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using fixtures::kTwoHourEta;

TEST(ParseSounding, HandWrittenFileLandsAtTheRightIndicesAndNowhereElse) {
    auto store = std::make_unique<ProfileArrays>();
    store->Temperature(1, 5, 40) = 123.0f;
    store->CAPE(1, 2) = 77.0f;
    const SoundingReadResult r = ParseSounding(kTwoHourEta, SoundingLayout::EtaRuc, *store);
    ASSERT_TRUE(r.ok) << r.reason << " line " << r.line;
    EXPECT_FALSE(r.LegacyMode);
    const ProfileArrays& s = *store;
    const int m = 1;
    EXPECT_EQ(s.ReadModel, 1);
    EXPECT_EQ(s.LastTime(m), 1);
    EXPECT_EQ(s.LevelCount(m), 3);
    EXPECT_FLOAT_EQ(s.StationLat(m), 42.94f);
    EXPECT_FLOAT_EQ(s.StationLon(m), 78.72f); // west positive
    EXPECT_FLOAT_EQ(s.StationElevation(m), 0.218f);

    // The century rule: 49 is 2049.
    EXPECT_EQ(s.ValidTime(m, 0), DateTime::FromParts(2049, 2, 28, 18));
    EXPECT_EQ(s.ValidTime(m, 1), DateTime::FromParts(2049, 2, 28, 19));

    // Station parameters, with their conversions; misspelt keys change nothing.
    EXPECT_FLOAT_EQ(s.Showalter(m, 0), 1.5f);
    EXPECT_FLOAT_EQ(s.Showalter(m, 1), 2.5f);
    EXPECT_FLOAT_EQ(s.LiftedIndex(m, 1), -1.0f);
    EXPECT_FLOAT_EQ(s.PrecipWater(m, 0), 1.0f); // 25.4 mm is one inch
    EXPECT_FLOAT_EQ(s.PrecipWater(m, 1), 2.0f);
    EXPECT_FLOAT_EQ(s.CAPE(m, 0), 0.0f); // negative CAPE is 0
    EXPECT_FLOAT_EQ(s.CAPE(m, 1), 100.0f);
    EXPECT_NEAR(s.LCLTemperature(m, 0), 10.0f, 1e-4f);
    EXPECT_FLOAT_EQ(s.CINS(m, 0), 40.0f); // magnitude
    EXPECT_FLOAT_EQ(s.CINS(m, 1), 10.0f);
    EXPECT_FLOAT_EQ(s.EQLPressure(m, 0), 250.0f);
    EXPECT_FLOAT_EQ(s.LFCPressure(m, 0), 850.0f);
    EXPECT_FLOAT_EQ(s.BulkRichardson(m, 1), 11.0f);

    // Levels, split over two lines each.
    EXPECT_FLOAT_EQ(s.Pressure(m, 0, 1), 990.0f);
    EXPECT_FLOAT_EQ(s.Pressure(m, 0, 3), 800.0f);
    EXPECT_FLOAT_EQ(s.Pressure(m, 0, 4), 0.0f); // the zero that ended the list is kept
    EXPECT_FLOAT_EQ(s.Pressure(m, 1, 4), 0.0f);
    EXPECT_FLOAT_EQ(s.Temperature(m, 0, 2), 14.0f);
    EXPECT_FLOAT_EQ(s.WetBulb(m, 0, 2), 10.0f);
    EXPECT_FLOAT_EQ(s.DewPoint(m, 0, 2), 6.0f);
    EXPECT_FLOAT_EQ(s.ThetaE(m, 0, 2), 318.0f);
    EXPECT_FLOAT_EQ(s.WindDirection(m, 0, 3), 230.0f);
    EXPECT_FLOAT_EQ(s.WindSpeed(m, 0, 3), 30.0f);
    EXPECT_FLOAT_EQ(s.Omega(m, 0, 3), -3.0f); // the file's unit times 10
    EXPECT_FLOAT_EQ(s.CloudFraction(m, 0, 3), 15.0f);
    EXPECT_FLOAT_EQ(s.Height(m, 0, 3), 2000.0f);
    EXPECT_FLOAT_EQ(s.Height(m, 1, 2), 1250.0f);

    // Surface rows by position.
    EXPECT_FLOAT_EQ(s.SurfacePressure(m, 0), 991.0f);
    EXPECT_FLOAT_EQ(s.SkinTemperature(m, 1), 291.0f);
    EXPECT_FLOAT_EQ(s.Precip(m, 1), 2.5f);
    EXPECT_FLOAT_EQ(s.ConvPrecip(m, 1), 1.0f);
    EXPECT_FLOAT_EQ(s.GroundTemperature(m, 0), (3 * 288.0f + 284.0f) / 4);
    EXPECT_FLOAT_EQ(s.SurfaceU(m, 0), 3.0f);
    EXPECT_FLOAT_EQ(s.SurfaceV(m, 0), -4.0f);
    EXPECT_FLOAT_EQ(s.RunOff(m, 1), 0.3f);
    EXPECT_FLOAT_EQ(s.SurfaceTemp(m, 1), 22.0f);
    EXPECT_FLOAT_EQ(s.SpecificHumidity(m, 1, 0), 9.8f);
    EXPECT_FLOAT_EQ(s.StormU(m, 0), 5.0f);
    EXPECT_FLOAT_EQ(s.StormV(m, 1), -6.0f);
    EXPECT_FLOAT_EQ(s.ModelHelicity(m, 1), 160.0f);
    EXPECT_FLOAT_EQ(s.Evaporation(m, 0), 0.1f);
    EXPECT_EQ(s.PTypeModelCode(m, 0), 60);
    EXPECT_EQ(s.PTypeModelCode(m, 1), 70);
    EXPECT_FLOAT_EQ(s.CloudBase(m, 1), 800.0f);
    EXPECT_FLOAT_EQ(s.Visibility(m, 0), 10.0f);
    EXPECT_FLOAT_EQ(s.SurfaceDewPoint(m, 1), 12.0f);

    // A shorter file leaves the rest of the store alone.
    EXPECT_EQ(s.Temperature(m, 5, 40), 123.0f);
    EXPECT_EQ(s.CAPE(m, 2), 77.0f);
    EXPECT_EQ(s.Temperature(0, 0, 1), 0.0f); // other model columns untouched
}

TEST(ParseSounding, LegacySwitchAndTheLegacyLevelLayout) {
    const std::string text = R"(STNPRM = SHOW;LIFT
SNPARM = PRES;TMPC;RELH;TMWC;DWPC;THTE;MIXR;DRCT;SKNT;OMEG


STID = KALB   TIME = 500101/0000
SLAT = 42.75 SLON = -73.80 SELV = 85.0
STIM = 0

SHOW = 1 LIFT = 2 SWET = 3 KINX = 4 LCLP = 5 PWAT = 6 TOTL = 7
CAPE = 8 LCLT = 270 CINS = 10 EQLV = 11 LFCT = 12 BRCH = 13

PRES TMPC RELH TMWC DWPC THTE
MIXR DRCT SKNT OMEG
1000.0 5.0 80.0 3.0 2.0 290.0 4.5 270.0 15.0 -0.5
500.0 -20.0 50.0 -22.0 -30.0 300.0 0.5 280.0 40.0 0.1


STN YYMMDD/HHMM PMSL PRES SKTC STC1 SNFL WTNS
P01M C01M STC2 LCLD MCLD HCLD SNRA UWND
VWND R01M BFGR T2MS Q2MS WXTS WXTP WXTZ
x
x
725280 500101/0000 1016 1001 270 271 0 0 1.0 0.5 272 0 0 0 50 2 3 0 0 4 3.1 0 0 0 0 7 8 99 0.1 70 900 5 1.5
)";
    auto store = std::make_unique<ProfileArrays>();
    const SoundingReadResult r = ParseSounding(text, SoundingLayout::EtaRuc, *store);
    ASSERT_TRUE(r.ok) << r.reason << " line " << r.line;
    EXPECT_TRUE(r.LegacyMode);
    const ProfileArrays& s = *store;
    EXPECT_EQ(s.ValidTime(1, 0).Year(), 1950);
    EXPECT_FLOAT_EQ(s.WetBulb(1, 0, 1), 3.0f);
    EXPECT_FLOAT_EQ(s.DewPoint(1, 0, 1), 2.0f);
    EXPECT_FLOAT_EQ(s.WindDirection(1, 0, 2), 280.0f);
    EXPECT_FLOAT_EQ(s.Omega(1, 0, 2), 1.0f);
    // No cloud column in the legacy layout: cloud comes from the humidity.
    EXPECT_GE(s.CloudFraction(1, 0, 1), 0.0f);
    EXPECT_LE(s.CloudFraction(1, 0, 1), 100.0f);
    // Heights come from the standard atmosphere, whatever the file holds.
    EXPECT_NEAR(s.Height(1, 0, 1), 110.0f, 1.0f);
    EXPECT_NEAR(s.Height(1, 0, 2), 5562.0f, 5.0f);
    EXPECT_FLOAT_EQ(s.SurfacePressure(1, 0), 1001.0f);
    EXPECT_FLOAT_EQ(s.SurfaceDewPoint(1, 0), 1.5f);
}

struct Damage {
    const char* what;
    std::string text;
    int line;
    std::string reason;
};

// Each text is refused, naming its line and what is wrong.
void ExpectRefused(std::span<const Damage> cases) {
    for (const Damage& d : cases) {
        auto store = std::make_unique<ProfileArrays>();
        const SoundingReadResult r = ParseSounding(d.text, SoundingLayout::EtaRuc, *store);
        EXPECT_FALSE(r.ok) << d.what;
        EXPECT_EQ(r.line, d.line) << d.what;
        EXPECT_EQ(r.reason, d.reason) << d.what;
    }
}

std::string Cut(const std::string& text, const char* marker) {
    return text.substr(0, text.find(marker));
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::string CrLineEnds(std::string text) {
    std::replace(text.begin(), text.end(), '\n', '\r');
    return text;
}

TEST(ParseSounding, DamagedFilesNameTheLineAndTheFault) {
    const std::string base = kTwoHourEta;
    const Damage cases[] = {
        {"cut inside a level list", Cut(base, "10.0 1100.0"), 18, "the file ends early"},
        {"cut inside the surface rows", Cut(base, "725280 490228/1900"), 51, "the file ends early"},
        {"month 13", Replace(base, "490228/1900", "491328/1900"), 23,
         "the TIME line has no valid date (no such date or hour: 491328/19)"},
        {"letters for a day", Replace(base, "490228/1800", "4902xx/1800"), 5,
         "the TIME line has no valid date (expected yymmdd/hhmm after \"TIME = \")"},
        {"no time block", Cut(base, "STID"), 4, "the file ends early"},
        {"empty file", "", 1, "the file ends early"},
        {"no time block at all", "SNPARM\nSTNPRM\n\n\nSTN YYMMDD/HHMM PMSL\n", 5,
         "no forecast time (no TIME line) was found"},
        {"a line deleted", Replace(base, "STIM = 1\n", ""), 27,
         "the Showalter index 890 of forecast time 2 is outside -100 to 100"},
        {"letters in a pressure", Replace(base, "900.0 14.0", "9x0.0 14.0"), 18,
         "the pressure \"9x0.0\" of level 2 of forecast time 1 is not a number"},
        {"letters in a temperature", Replace(base, "900.0 14.0", "900.0 1x.0"), 18,
         "the temperature \"1x.0\" is not a number"},
        {"letters in a station value", Replace(base, "SWET = 110.0", "SWET = high"), 27,
         "the SWEAT index \"high\" of forecast time 2 is not a number"},
        {"letters in a surface row", Replace(base, "1016.0 991.0", "1016.0 n/a"), 47,
         "the surface pressure \"n/a\" of forecast time 1 is not a number"},
        {"lines ended by CR alone", CrLineEnds(base), 1,
         "its lines end in a carriage return alone, not in a line feed"},
        {"NaN as first pressure", Replace(base, "990.0 20.0", "NaN 20.0"), 16,
         "the number \"NaN\" is not a finite number"},
        {"NaN as a later pressure", Replace(base, "900.0 14.0", "nan 14.0"), 18,
         "the number \"nan\" is not a finite number"},
        {"negative pressure", Replace(base, "900.0 14.0", "-0.5 14.0"), 18,
         "the level pressure -0.5 is not a positive number"},
        {"pressure repeated", Replace(base, "800.0 6.0", "900.0 6.0"), 20,
         "the pressure 900 mb does not fall from the level below (900 mb)"},
        {"height repeated", Replace(base, "15.0 2000.0", "15.0 1100.0"), 20,
         "the height 1100 m does not rise from the level below (1100 m)"},
        {"number too large", Replace(base, "320.0 180.0", "1e40 180.0"), 16,
         "the number \"1e40\" is too large"},
        {"NUL byte", Replace(base, "SELV", std::string("SE\0V", 4)), 6,
         "the file holds a NUL byte, so it is not a sounding text file"},
        {"surface pressure 100", Replace(base, "1016.0 991.0", "1016.0 100"), 16,
         "the lowest level (990 mb) of forecast time 1 lies below the ground: the surface "
         "pressure is 100 mb"},
        {"another station's row", Replace(base, "725280 490228/1900", "725281 490228/1900"), 52,
         "the surface row of forecast time 2 is for station \"725281\", not for station 725280"},
        {"another hour's row", Replace(base, "725280 490228/1900", "725280 490228/2000"), 52,
         "the surface row of forecast time 2 has the date \"490228/2000\", not the date of its "
         "time block"},
        {"text after the rows", base + "725280 490228/2000 1.0\n", 57,
         "text follows the last surface row"},
        // The eta columns read in the legacy order put the theta-e where the
        // dew point belongs: refused, not drawn with shifted columns.
        {"RELH inside another word", Replace(base, "STNPRM", "xRELHx"), 16,
         "the dew point 320 C is outside -150 to 80 C (the second line names RELH, so the levels "
         "were read in the legacy column order)"},
    };
    ExpectRefused(cases);
}

// A value whose field is a blank line is missing, named with its forecast
// time where its line does not name it.
TEST(ParseSounding, AValueOnABlankLineIsMissing) {
    const std::string base = kTwoHourEta;
    const Damage cases[] = {
        {"a blank line for a temperature", Replace(base, "900.0 14.0", "900.0\n\n14.0"), 19,
         "the temperature is missing: its line is blank"},
        {"a blank line for a station value", Replace(base, "SWET = 110.0", "SWET =\n\n110.0"), 28,
         "the SWEAT index of forecast time 2 is missing: its line is blank"},
    };
    ExpectRefused(cases);
}

std::string Insert(std::string text, const std::string& before, const std::string& what) {
    text.insert(text.find(before), what);
    return text;
}

// Files whose every field reads, but whose run cannot be drawn as data:
// hours with other levels, hours out of order, values no atmosphere holds.
TEST(ParseSounding, ImpossibleRunsAreRefusedAtTheirLine) {
    const std::string base = kTwoHourEta;
    const std::string hour2Level3 = "780.0 5.0 1.0 -3.0 315.0 235.0 31.0 -0.3\n16.0 2150.0\n";
    const std::string hour1Level3 = "800.0 6.0 2.0 -2.0 316.0 230.0 30.0 -0.3\n15.0 2000.0\n";
    const std::string levels = " levels, forecast time 1 has ";
    const std::string same = " (every forecast time must have the same levels)";
    const Damage cases[] = {
        {"last hour short", Replace(base, hour2Level3, ""), 38,
         "forecast time 2 has 2" + levels + "3" + same},
        {"last hour long",
         Insert(base, "\n\nSTN YYMMDD",
                "700.0 1.0 -2.0 -6.0 314.0 240.0 33.0 0\n"
                "17.0 3000.0\n"),
         40, "forecast time 2 has more than 3" + levels + "3" + same},
        {"first hour short", Replace(base, hour1Level3, ""), 36,
         "forecast time 2 has more than 2" + levels + "2" + same},
        {"hour repeated", Replace(base, "TIME = 490228/1900", "TIME = 490228/1800"), 23,
         "the time 490228/1800 of forecast time 2 does not come after the time 490228/1800 of "
         "the time before"},
        {"hour backwards", Replace(base, "TIME = 490228/1900", "TIME = 490201/1900"), 23,
         "the time 490201/1900 of forecast time 2 does not come after the time 490228/1800 of "
         "the time before"},
    };
    ExpectRefused(cases);
    // A dew point marked missing loads as 40 degrees below its temperature.
    auto store = std::make_unique<ProfileArrays>();
    EXPECT_TRUE(ParseSounding(Replace(base, "6.0 2.0 -2.0", "6.0 2.0 -9999"),
                              SoundingLayout::EtaRuc, *store)
                    .ok);
    EXPECT_FLOAT_EQ(store->DewPoint(1, 0, 3), 6.0f - 40.0f);
}

// text with the field-th (0-based) blank-separated field from anchor on
// replaced by value, and the line that field stands on.
struct Edited {
    std::string text;
    int line;
};
Edited WithField(std::string text, const std::string& anchor, int field, const std::string& value) {
    std::size_t at = text.find(anchor);
    for (int i = 0;; ++i) {
        at = text.find_first_not_of(" \n", at);
        const std::size_t end = text.find_first_of(" \n", at);
        if (i == field) {
            text.replace(at, end - at, value);
            break;
        }
        at = end;
    }
    return {text, 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'))};
}

std::string Gfs3Text() {
    samples::SampleSpec spec;
    spec.layout = "gfs3";
    spec.times = 1;
    spec.levels = 5;
    return samples::MakeSoundingText(spec);
}

// The text the reader's messages give for a number: its shortest form.
std::string Text(float value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Every value the reader stores is held to what a model can give: each bound
// with the value at its edge (loads) and one half a unit beyond it (refused at
// the value's line, naming it).
TEST(ParseSounding, EachValueBoundHasItsEdge) {
    const std::string eta = kTwoHourEta, ngm = fixtures::kOneHourNgm, gfs3 = Gfs3Text();
    // The second level's wet bulb at its temperature (14), so that its dew
    // point may rise above both.
    const std::string etaWet14 = WithField(eta, "900.0 14.0", 2, "14").text;
    const std::string level1 = "990.0 20.0", level3 = "800.0 6.0", row1 = "725280 490228/1800";
    struct Edge {
        const std::string& text;
        std::string anchor;
        int field;
        std::string inside; // empty: no value on this side loads
        std::string outside;
        std::string refusal; // how the reason starts
        int line = 0;        // of the refusal, when not the value's own line
    };
    // Both edges of each range.
    struct Range {
        const std::string& text;
        std::string anchor;
        int field;
        float lowest, highest;
        std::string what;
    };
    const Range ranges[] = {
        {eta, level1, 4, 150, 2000, "the equivalent potential temperature"},
        {eta, level1, 5, 0, 360, "the wind direction"},
        {eta, level1, 6, 0, 500, "the wind speed"},
        {eta, level1, 7, -100, 100, "the omega"},
        {eta, level1, 8, 0, 100, "the cloud fraction"},
        {eta, "SLAT =", 2, -90, 90, "the station latitude"},
        {eta, "SLON =", 2, -180, 180, "the station longitude"},
        {eta, "SHOW =", 2, -100, 100, "the Showalter index"},
        {eta, "LIFT =", 2, -100, 100, "the lifted index"},
        {eta, "SWET =", 2, -10000, 10000, "the SWEAT index"},
        {eta, "KINX =", 2, -200, 200, "the K index"},
        {eta, "LCLP =", 2, 0, 1100, "the LCL pressure"},
        {eta, "PWAT =", 2, 0, 254, "the precipitable water"},
        {eta, "TOTL =", 2, -200, 200, "the total totals index"},
        {eta, "CAPE =", 2, -20000, 20000, "the CAPE"},
        {eta, "LCLT =", 2, 150, 350, "the LCL temperature"},
        {eta, "CINS =", 2, -20000, 20000, "the CIN"},
        {eta, "EQLV =", 2, -9999, 1100, "the equilibrium level pressure"},
        {eta, "LFCT =", 2, -9999, 1100, "the LFC pressure"},
        {eta, "BRCH =", 2, -100000, 100000, "the bulk Richardson number"},
        {eta, row1, 2, 850, 1100, "the sea-level pressure"},
        {eta, row1, 4, 150, 400, "the skin temperature"},
        {eta, row1, 5, 150, 400, "the soil temperature"},
        {eta, row1, 6, 0, 1000, "the snowfall"},
        {eta, row1, 8, -1000, 1000, "the precipitation"},
        {eta, row1, 9, -1000, 1000, "the convective precipitation"},
        {eta, row1, 10, 150, 400, "the soil temperature"},
        {eta, row1, 14, 0, 100, "the snow ratio"},
        {eta, row1, 15, -300, 300, "the 10 m wind component u"},
        {eta, row1, 16, -300, 300, "the 10 m wind component v"},
        {eta, row1, 17, -1000, 1000, "the run-off"},
        {eta, row1, 20, 0, 100, "the 2 m specific humidity"},
        {eta, row1, 25, -300, 300, "the storm motion u"},
        {eta, row1, 26, -300, 300, "the storm motion v"},
        {eta, row1, 27, -10000, 10000, "the helicity"},
        {eta, row1, 28, -1000, 1000, "the evaporation"},
        {eta, row1, 29, 0, 999, "the precipitation type code"},
        {eta, row1, 30, 0, 1100, "the cloud base"},
        {eta, row1, 31, 0, 1000, "the visibility"},
        {ngm, "725180 261209/0000", 22, 0, 500, "the 10 m wind speed"},
        {ngm, "725180 261209/0000", 23, 0, 360, "the 10 m wind direction"},
        {gfs3, "725280 261209/1200", 17, 0, 1, "the precipitation type flag"},
    };
    // Edges the rest of the file decides, and the markers of a missing value.
    std::vector<Edge> edges = {
        {eta, level1, 2, "-9999", "-9998", "the wet-bulb temperature -9998 C"},
        // The wet bulb lies between the dew point (12) and the temperature
        // (20), half a degree of rounding aside.
        {eta, level1, 2, "11.5", "11.4", "the wet-bulb temperature 11.4 C is not between"},
        {eta, level1, 2, "20.5", "20.6", "the wet-bulb temperature 20.6 C is not between"},
        {gfs3, "725280 261209/1200", 17, "", "0.5",
         "the precipitation type flag 0.5 of forecast time 1 is neither 0 nor 1"},
        {eta, level1, 6, "", "-9999", "the wind speed -9999 kt"},
        {eta, level1, 8, "-1", "-1.5", "the cloud fraction -1.5 %"},
        {eta, level1, 1, "80", "80.5", "the temperature 80.5 C"},
        {eta, level1, 3, "-150", "-150.5", "the dew point -150.5 C"},
        {etaWet14, "900.0 14.0", 3, "16", "16.1",
         "the dew point 16.1 C is more than 2 degrees above the temperature 14 C"},
        {eta, level3, 3, "-270.5", "-270", "the dew point -270 C"},
        // The lowest level at most 100 m below the station (218 m).
        {eta, level1, 9, "118", "117.5",
         "the height 117.5 m of the lowest level is more than 100 m below the station"},
        {eta, "SELV =", 2, "400", "400.5",
         "the height 300 m of the lowest level is more than 100 m below the station elevation "
         "400.5 m",
         17},
        {eta, "SELV =", 2, "-500", "-500.5", "the station elevation -500.5 m"},
        {eta, "SELV =", 2, "", "9000.5", "the station elevation 9000.5 m"},
        {eta, level3, 9, "100000", "100000.5", "the height 100000.5 m"},
        {eta, level1, 0, "992", "992.5", "the lowest level (992.5 mb) of forecast time 1 lies"},
        {eta, row1, 3, "1100", "1100.5", "the surface pressure 1100.5 mb of forecast time 1"},
        {eta, row1, 3, "", "99.5", "the surface pressure 99.5 mb of forecast time 1"},
        {eta, row1, 19, "80", "80.5", "the 2 m temperature 80.5 C of forecast time 1", 49},
        {eta, row1, 32, "-150", "-150.5", "the 2 m dew point -150.5 C of forecast time 1", 51},
        {eta, row1, 32, "23", "23.1", "the 2 m dew point 23.1 C of forecast time 1 is more", 51},
    };
    for (const Range& r : ranges) {
        for (float edge : {r.lowest, r.highest}) {
            const float beyond = edge == r.lowest ? edge - 0.5f : edge + 0.5f;
            edges.push_back(
                {r.text, r.anchor, r.field, Text(edge), Text(beyond), r.what + " " + Text(beyond)});
        }
    }
    int loaded = 0;
    for (const Edge& e : edges) {
        const SoundingLayout layout = &e.text == &ngm    ? SoundingLayout::Ngm
                                      : &e.text == &gfs3 ? SoundingLayout::Gfs3
                                                         : SoundingLayout::EtaRuc;
        SCOPED_TRACE(e.refusal);
        if (!e.inside.empty()) {
            auto store = std::make_unique<ProfileArrays>();
            const SoundingReadResult r =
                ParseSounding(WithField(e.text, e.anchor, e.field, e.inside).text, layout, *store);
            EXPECT_TRUE(r.ok) << e.inside << ": " << r.reason;
            loaded += r.ok;
        }
        const Edited damaged = WithField(e.text, e.anchor, e.field, e.outside);
        auto store = std::make_unique<ProfileArrays>();
        const SoundingReadResult r = ParseSounding(damaged.text, layout, *store);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.line, e.line ? e.line : damaged.line);
        EXPECT_EQ(r.reason.rfind(e.refusal, 0), 0u) << r.reason;
    }
    EXPECT_EQ(loaded, 17 + 2 * std::ssize(ranges));
}

// The gfs3 row gives the model's precipitation type as four flags (snow, ice
// pellets, freezing rain, rain); each flag alone gives its code, and a flag
// marked missing gives none.
TEST(ParseSounding, EachGfs3TypeFlagGivesItsCode) {
    const std::int32_t codes[] = {70, 79, 66, 60};
    for (int flag = 0; flag < 4; ++flag) {
        std::string text = Gfs3Text();
        for (int f = 0; f < 4; ++f)
            text = WithField(text, "725280 261209/1200", 17 + f, f == flag ? "1" : "-9999").text;
        auto store = std::make_unique<ProfileArrays>();
        ASSERT_TRUE(ParseSounding(text, SoundingLayout::Gfs3, *store).ok);
        EXPECT_EQ(store->PTypeModelCode(1, 0), codes[flag]) << flag;
    }
}

// A refusal names the line where the fault stands, and says what it is.
TEST(ParseSounding, ExtraLinesAndTooManyTimesAreNamedAsSuch) {
    const std::string base = kTwoHourEta;
    samples::SampleSpec spec;
    spec.levels = 3;
    spec.variant = samples::Variant::TooManyTimes;
    const std::string tooMany = samples::MakeSoundingText(spec);
    const std::size_t last = tooMany.rfind("TIME =");
    const Damage cases[] = {
        {"a junk first line", std::string(1 << 20, 'x') + "\n" + base, 1,
         "1 line too many stands before the first time block (its TIME line is line 6, not line "
         "5)"},
        {"blank lines first", std::string(2'000'000, '\n') + base, 1,
         "2000000 lines too many stand before the first time block (its TIME line is line "
         "2000005, not line 5)"},
        {"86 valid times", tooMany,
         1 + static_cast<int>(std::count(tooMany.begin(), tooMany.begin() + last, '\n')),
         "the run has more than 85 forecast times, more than a sounding file may hold"},
    };
    ExpectRefused(cases);
}

// The value bounds refuse nothing a model gives: every shipped sample and
// archived run, and every atmosphere of the generator in every layout over a
// whole run.
TEST(ParseSounding, ShippedSamplesArchivedRunsAndEveryAtmosphereLoad) {
    auto store = std::make_unique<ProfileArrays>();
    int files = 0;
    for (const char* folder : {"samples", "archive"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(TARVEX_RUNTIME) / folder)) {
            // The model word stands after an archive's date stamp and before "_".
            std::string name = entry.path().filename().string();
            name = name.substr(0, name.find('_'));
            name = name.substr(name.find('.') + 1);
            SCOPED_TRACE(entry.path().string());
            const SoundingReadResult r =
                ParseSounding(ReadTextFile(entry.path()).value(), *LayoutFromKeyword(name), *store);
            EXPECT_TRUE(r.ok) << r.reason << " at line " << r.line;
            ++files;
        }
    }
    EXPECT_GE(files, 15);
    using samples::Atmosphere;
    for (Atmosphere atmosphere : {Atmosphere::WarmSeasonConvective, Atmosphere::WinterWarmNose,
                                  Atmosphere::LakeEffectCold, Atmosphere::HumidNight}) {
        samples::SampleSpec spec;
        spec.atmosphere = atmosphere;
        samples::SampleSounding sounding = samples::MakeSampleSounding(spec);
        for (const char* layout : {"eta", "ngm", "gfs3"}) {
            for (bool legacy : {false, true}) {
                if (legacy && layout == std::string("gfs3")) continue; // one gfs3 layout only
                sounding.spec.layout = layout;
                sounding.spec.legacy = legacy;
                const SoundingReadResult r = ParseSounding(samples::WriteSoundingText(sounding),
                                                           *LayoutFromKeyword(layout), *store);
                EXPECT_TRUE(r.ok) << layout << (legacy ? " legacy " : " ") << r.reason
                                  << " at line " << r.line;
            }
        }
    }
}

class ReadSoundingFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-reader-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        session_.models.ModelCodes = {"eta", "ngm", "gfs3", "avn"};
        session_.profile->ModelChoice = 0;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::filesystem::path folder_;
    Session session_;
};

TEST_F(ReadSoundingFile, SuccessReplacesTheStoreAndKeepsTheTail) {
    const std::string path = Write("eta_KBUF.buf", kTwoHourEta);
    const SoundingReadResult r = ReadSounding(session_, path);
    ASSERT_TRUE(r.ok) << r.reason;
    EXPECT_EQ(session_.profile->FileTail, "buf");
    EXPECT_EQ(session_.profile->LastTime(1), 1);
    EXPECT_EQ(session_.profile->ModelChoice, 0); // the selection is kept
}

// Nothing of a longer run read before shows through a shorter one.
TEST_F(ReadSoundingFile, EachReadStartsFromAnEmptyStore) {
    samples::SampleSpec spec;
    spec.times = 6;
    spec.levels = 40;
    ASSERT_TRUE(ReadSounding(session_, Write("eta_KALB.buf", samples::MakeSoundingText(spec))).ok);
    session_.profile->DiagramTopPressure = 200;
    ASSERT_TRUE(ReadSounding(session_, Write("eta_KBUF.buf", kTwoHourEta)).ok);
    const ProfileArrays& s = *session_.profile;
    EXPECT_EQ(s.LastTime(1), 1);
    EXPECT_EQ(s.LevelCount(1), 3);
    for (int t : {0, 1, 4})
        for (int L : {5, 20, 39}) {
            EXPECT_EQ(s.Pressure(1, t, L), 0.0f) << t << " " << L;
            EXPECT_EQ(s.WindSpeed(1, t, L), 0.0f) << t << " " << L;
        }
    EXPECT_EQ(s.SurfacePressure(1, 4), 0.0f);
    EXPECT_EQ(s.DiagramTopPressure, 200); // a setting, not part of the run
    EXPECT_EQ(s.ModelChoice, 0);
}

// A parse made ahead is taken only for the file it read, with the layout the
// read uses, while the file is as it was; else the file is read again.
TEST_F(ReadSoundingFile, AParseMadeAheadIsTakenOnlyForTheSameUnchangedFile) {
    samples::SampleSpec spec;
    spec.times = 6;
    spec.levels = 40;
    const std::string six = Write("eta_KALB.buf", samples::MakeSoundingText(spec));
    const std::string two = Write("eta_KBUF.buf", kTwoHourEta);
    session_.profile->DiagramTopPressure = 200;
    auto read = [&](const std::string& path, const std::string& ahead, SoundingLayout layout) {
        ParsedSounding early = ParseSoundingFile(ahead, layout);
        const ProfileArrays* made = early.store.get();
        EXPECT_TRUE(ReadSounding(session_, path, std::move(early)).ok);
        EXPECT_EQ(session_.profile->DiagramTopPressure, 200);
        EXPECT_EQ(session_.profile->ModelChoice, 0);
        return session_.profile.get() == made;
    };
    EXPECT_TRUE(read(six, six, SoundingLayout::EtaRuc));
    EXPECT_EQ(session_.profile->LastTime(1), 5);
    EXPECT_FALSE(read(two, six, SoundingLayout::EtaRuc));
    EXPECT_EQ(session_.profile->LastTime(1), 1);
    EXPECT_FALSE(read(six, six, SoundingLayout::Ngm)); // model 0 is eta
    EXPECT_EQ(session_.profile->LastTime(1), 5);
    // Written again between the parse and the read: the same size, a new
    // time, and the new text.
    ParsedSounding early = ParseSoundingFile(six, SoundingLayout::EtaRuc);
    const ProfileArrays* made = early.store.get();
    std::filesystem::last_write_time(six, early.modified + std::chrono::seconds(1));
    EXPECT_TRUE(ReadSounding(session_, six, std::move(early)).ok);
    EXPECT_NE(session_.profile.get(), made);
    early = ParseSoundingFile(six, SoundingLayout::EtaRuc);
    Write("eta_KALB.buf", kTwoHourEta);
    EXPECT_TRUE(ReadSounding(session_, six, std::move(early)).ok);
    EXPECT_EQ(session_.profile->LastTime(1), 1);
}

TEST_F(ReadSoundingFile, EveryFailureKeepsThePreviousSounding) {
    ASSERT_TRUE(ReadSounding(session_, Write("eta_KBUF.buf", kTwoHourEta)).ok);
    const ProfileArrays* before = session_.profile.get();
    const std::string base = kTwoHourEta;

    const std::string truncated = Write("eta_KALB.buf", Cut(base, "10.0 1100.0"));
    SoundingReadResult r = ReadSounding(session_, truncated);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(DescribeReadFailure(truncated, r),
              "The sounding file \"" + truncated +
                  "\" could not be read (line 18): the file ends early. The sounding shown "
                  "before is kept.");

    r = ReadSounding(session_, (folder_ / "missing.buf").string());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 0);
    EXPECT_EQ(r.reason, "there is no such file");

    session_.profile->ModelChoice = 3; // a model whose layout is unknown
    r = ReadSounding(session_, Write("avn_KBUF.buf", kTwoHourEta));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.reason.find("\"avn\" is not one of eta, ruc, ngm and gfs3"), std::string::npos);
    session_.profile->ModelChoice = 0;

    // A folder, a file far larger than any sounding, and the hostile texts
    // of the table above are refused the same way.
    r = ReadSounding(session_, folder_.string());
    EXPECT_EQ(r.reason, "it is a folder, not a file");
    const std::string huge = Write("eta_KHUG.buf", kTwoHourEta);
    std::filesystem::resize_file(huge, 65u * 1024u * 1024u);
    r = ReadSounding(session_, huge);
    EXPECT_EQ(r.reason, "the file is 65 MB, larger than the 64 MB a file of this kind can be");
    r = ReadSounding(session_, Write("eta_KNAN.buf", Replace(base, "990.0 20.0", "NaN 20.0")));
    EXPECT_FALSE(r.ok);
    const std::string windy = Write("eta_KWND.buf", Replace(base, "180.0 10.0", "180.0 1e30"));
    EXPECT_EQ(DescribeReadFailure(windy, ReadSounding(session_, windy)),
              "The sounding file \"" + windy +
                  "\" could not be read (line 16): the wind speed 1e+30 kt is outside 0 to 500 "
                  "kt. The sounding shown before is kept.");

    EXPECT_EQ(session_.profile.get(), before);
    EXPECT_EQ(session_.profile->LastTime(1), 1);
    EXPECT_FLOAT_EQ(session_.profile->Pressure(1, 0, 3), 800.0f);
    EXPECT_FLOAT_EQ(session_.profile->SurfacePressure(1, 1), 986.0f);
}

} // namespace
} // namespace tarvex
