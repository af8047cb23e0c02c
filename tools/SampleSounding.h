#pragma once

// Synthetic forecast soundings for the shipped samples, the tests' fixtures and
// the benchmarks. The profiles come from analytic atmospheres (no random
// numbers), evolve hour by hour with a diurnal cycle and a front passing in the
// middle of the run, and are written in the sounding file format the reader
// takes, in every layout it knows.

#include "store/DateTime.h"

#include <string>
#include <vector>

namespace tarvex::samples {

enum class Atmosphere {
    WarmSeasonConvective, // moist boundary layer under a capping inversion near 800 mb
    WinterWarmNose,       // warm layer near 850 mb over a sub-freezing surface layer
    LakeEffectCold,       // 850 mb near -18 C, moist below 700 mb, dry above
    HumidNight,           // humid warm-season air, light winds: clear nights cool it to saturation
};

// Clean writes a file the reader takes; the others damage or vary the text in
// one way each, for the reader's error paths (the struct still holds the
// values, including the extra level or time of TooManyLevels/TooManyTimes).
enum class Variant {
    Clean,
    MisspeltKeys,         // keys of the key = value triples misspelt, values the same
    NoBlankBetweenBlocks, // a block's level list runs straight into the next STID line
    Truncated,            // text cut inside the level list of a middle block
    TruncatedSurface,     // text cut inside the surface rows
    TooManyLevels,        // 68 levels at one time
    TooManyTimes,         // 86 time blocks
    BadDate,              // one block's TIME has month 13
    NoTimeBlocks,         // header lines, then straight to the surface section
    CrLf,                 // every line ends in "\r\n"
    LineDeleted,          // the middle block's STIM line is missing
    NulByte,              // a NUL byte inside the middle block's TIME line
    NumberTooLarge,       // the middle block's first temperature is 1e40
    HugeSurfacePressure,  // the middle surface row's pressure is 1e20
};

struct SampleSpec {
    std::string layout = "eta"; // "eta", "ruc", "ngm", "gfs3"
    bool legacy = false;
    std::string site = "KBUF";
    int stationNumber = 725280;
    float lat = 42.94f, lon = -78.72f, elevation = 218.0f; // lon as in the file (west negative), m
    int year = 2026, month = 12, day = 9, hour = 12;       // run time (UTC)
    int times = 85;       // 1..85 (Variant::TooManyTimes writes 86)
    int levels = 67;      // 1..67 (Variant::TooManyLevels writes 68 at one time)
    int hoursPerTime = 1; // forecast hours between blocks
    Atmosphere atmosphere = Atmosphere::WarmSeasonConvective;
    Variant variant = Variant::Clean;
};

// One level as written: mb, deg C, deg C, deg C, K, degrees, knots, the file's
// omega unit, percent, m above sea level.
struct SampleLevel {
    float pres, tmpc, tmwc, dwpc, thte, drct, sknt, omeg, cfrl, hght;
};

// The station parameters as written: PWAT mm, LCLT K, LCLP/EQLV/LFCT mb
// (-9999 when there is none), CAPE and CINS J/kg (CINS negative).
struct SampleStation {
    float show, lift, swet, kinx, lclp, pwat, totl, cape, lclt, cins, eqlv, lfct, brch;
};

struct SampleSurface { // values as written
    float pres, skinTemp, soil1, soil2, precip, convPrecip, snowRatio, u, v, runoff, t2m, q2m,
        stormU, stormV, helicity, evaporation, cloudBase, visibility, td2m, windSpeed, windDir;
    int ptypeCode;                                           // eta/ruc code: 0, 60, 66, 70 or 79
    int snowFlag, icePelletFlag, freezingRainFlag, rainFlag; // gfs3 categorical types
};

struct SampleTime {
    DateTime valid;
    int forecastHour;
    SampleStation station;
    std::vector<SampleLevel> levels;
    SampleSurface surface;
};

struct SampleSounding {
    SampleSpec spec; // station position rounded as written
    std::vector<SampleTime> times;
};

// Builds the sounding; every value is already rounded as the text holds it.
// Throws std::invalid_argument for a layout, time count or level count out of
// range.
SampleSounding MakeSampleSounding(const SampleSpec& spec);

// The file text, in spec.layout (legacy columns when spec.legacy) with
// spec.variant applied.
std::string WriteSoundingText(const SampleSounding& sounding);

std::string MakeSoundingText(const SampleSpec& spec);

} // namespace tarvex::samples
