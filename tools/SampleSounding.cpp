#include "SampleSounding.h"

#include "compute/Levels.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <span>
#include <stdexcept>
#include <string_view>

namespace tarvex::samples {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kKelvin = 273.15;
constexpr double kRd = 287.05;       // gas constant of dry air, J/(kg K)
constexpr double kGravity = 9.80665; // m/s2
constexpr double kEpsilon = 0.622;   // ratio of the gas constants of dry air and vapour
constexpr double kKappa = 0.2857;    // Rd / cp
constexpr double kKnotsPerMs = 1.943844;
constexpr double kDegrees = kPi / 180.0;
constexpr double kMissing = -9999.0;  // the file's marker of a level that does not exist
constexpr double kTopPressure = 50.0; // mb, where the model's level spacing runs out
constexpr int kSpacingLevels = 67;    // the spacing is laid out for a full column

// ---------------------------------------------------------------------------
// Moist thermodynamics (temperatures in deg C unless the name says K).

// Saturation vapour pressure over water, mb (Bolton 1980).
double VapourPressure(double celsius) {
    return 6.112 * std::exp(17.67 * celsius / (celsius + 243.5));
}

// Mixing ratio, g/kg, of vapour pressure e at pressure p.
double MixingRatio(double e, double p) {
    return 1000.0 * kEpsilon * e / (p - e);
}

// Specific humidity, kg/kg, of air with dew point td at pressure p.
double SpecificHumidity(double p, double td) {
    const double e = VapourPressure(td);
    return kEpsilon * e / (p - (1.0 - kEpsilon) * e);
}

// Virtual temperature, K.
double VirtualTemperature(double p, double t, double td) {
    const double r = MixingRatio(VapourPressure(td), p) / 1000.0;
    return (t + kKelvin) * (1.0 + r / kEpsilon) / (1.0 + r);
}

// Temperature of the lifted condensation level, K (Bolton 1980, eq. 15).
double LclTemperatureK(double t, double td) {
    const double tk = t + kKelvin;
    const double dk = td + kKelvin;
    return 1.0 / (1.0 / (dk - 56.0) + std::log(tk / dk) / 800.0) + 56.0;
}

// Equivalent potential temperature, K (Bolton 1980, eq. 43).
double ThetaE(double p, double t, double td) {
    const double r = MixingRatio(VapourPressure(td), p);
    const double tk = t + kKelvin;
    const double tl = LclTemperatureK(t, td);
    return tk * std::pow(1000.0 / p, 0.2854 * (1.0 - 0.00028 * r)) *
           std::exp((3.376 / tl - 0.00254) * r * (1.0 + 0.00081 * r));
}

// Wet-bulb temperature from the psychrometric equation, solved by bisection
// between the dew point and the temperature (where the root always lies).
double WetBulb(double p, double t, double td) {
    const double e = VapourPressure(td);
    double lo = td;
    double hi = t;
    for (int i = 0; i < 40 && hi - lo > 1e-5; ++i) {
        const double mid = 0.5 * (lo + hi);
        const double excess =
            VapourPressure(mid) - 0.00066 * (1.0 + 0.00115 * mid) * p * (t - mid) - e;
        (excess > 0.0 ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

// Temperature (deg C) of saturated air at pressure p with equivalent potential
// temperature thetaE: the moist adiabat, found by bisection (theta-e grows
// with temperature at a fixed pressure).
double MoistAdiabatTemperature(double p, double thetaE) {
    double lo = -160.0;
    double hi = 50.0;
    for (int i = 0; i < 32; ++i) {
        const double mid = 0.5 * (lo + hi);
        (ThetaE(p, mid, mid) > thetaE ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

// A parcel lifted from (p0, t0, td0): dry adiabatic to its condensation
// level, moist adiabatic above.
struct Parcel {
    double lclPressure = 0.0;
    double lclTempK = 0.0;
    double thetaE = 0.0;

    Parcel(double p0, double t0, double td0)
        : lclTempK(LclTemperatureK(t0, td0)), thetaE(ThetaE(p0, t0, td0)) {
        lclPressure = p0 * std::pow(lclTempK / (t0 + kKelvin), 1.0 / kKappa);
    }
    double TemperatureAt(double p) const {
        if (p >= lclPressure) return lclTempK * std::pow(p / lclPressure, kKappa) - kKelvin;
        return MoistAdiabatTemperature(p, thetaE);
    }
};

// ---------------------------------------------------------------------------
// The analytic atmospheres.

struct Anchor {
    double p;     // mb
    double value; // deg C or K
};

// Linear in ln p between anchors given from high to low pressure; the end
// values hold beyond them.
double AlongAnchors(std::span<const Anchor> anchors, double p) {
    if (p >= anchors.front().p) return anchors.front().value;
    for (std::size_t i = 1; i < anchors.size(); ++i) {
        if (p >= anchors[i].p) {
            const Anchor& below = anchors[i - 1];
            const Anchor& above = anchors[i];
            const double w = std::log(below.p / p) / std::log(below.p / above.p);
            return below.value + w * (above.value - below.value);
        }
    }
    return anchors.back().value;
}

// Warm season: a dry-adiabatic, moist boundary layer topped by a capping
// inversion between 810 and 780 mb, a steep lapse rate aloft.
constexpr Anchor kConvectiveTemp[] = {{1050, 33.1}, {1000, 29.0}, {900, 19.9},  {810, 11.1},
                                      {780, 14.0},  {700, 8.0},   {500, -9.0},  {400, -20.0},
                                      {300, -34.0}, {250, -43.0}, {200, -53.0}, {150, -57.0},
                                      {100, -60.0}, {50, -56.0}};
constexpr Anchor kConvectiveDepression[] = {{1050, 12.0}, {1000, 10.0}, {900, 3.5},  {815, 1.5},
                                            {785, 16.0},  {700, 16.0},  {500, 21.0}, {300, 22.0},
                                            {200, 25.0},  {50, 30.0}};
// Humid nights: mild late-summer air, stable near the ground, nearly
// saturated low down and drying aloft.
constexpr Anchor kHumidTemp[] = {{1050, 22.0}, {1000, 21.0}, {950, 19.5},  {900, 17.0},
                                 {850, 13.0},  {700, 4.0},   {500, -10.0}, {400, -20.0},
                                 {300, -35.0}, {250, -44.0}, {200, -53.0}, {150, -57.0},
                                 {100, -60.0}, {50, -56.0}};
constexpr Anchor kHumidDepression[] = {{1050, 3.5}, {950, 4.0},  {850, 6.0},  {700, 12.0},
                                       {500, 18.0}, {300, 22.0}, {200, 25.0}, {50, 30.0}};

// Winter: a shallow sub-freezing layer at the ground, a warm nose above 0 C
// near 850 mb, moist through 500 mb.
constexpr Anchor kWinterTemp[] = {
    {1050, -1.5}, {1000, -2.5}, {950, -3.5},  {920, -2.0},  {880, 1.5},   {850, 3.0},
    {820, 1.5},   {780, -2.0},  {700, -7.0},  {600, -14.0}, {500, -23.0}, {400, -35.0},
    {300, -50.0}, {250, -56.0}, {200, -58.0}, {100, -60.0}, {50, -58.0}};
constexpr Anchor kWinterDepression[] = {{1050, 1.0}, {850, 0.5},  {600, 1.5},  {500, 4.0},
                                        {400, 12.0}, {300, 20.0}, {200, 25.0}, {50, 30.0}};

// Lake effect: cold air (850 mb near -18 C) over open water, moist up to a
// weak inversion near 700 mb, dry above.
constexpr Anchor kLakeTemp[] = {{1050, -4.5}, {1000, -7.5}, {950, -11.0}, {900, -14.5},
                                {850, -18.0}, {800, -21.5}, {750, -25.0}, {700, -28.0},
                                {650, -27.0}, {500, -38.0}, {400, -47.0}, {300, -55.0},
                                {250, -57.0}, {200, -58.0}, {100, -62.0}, {50, -60.0}};
constexpr Anchor kLakeDepression[] = {{1050, 2.0}, {900, 1.0},  {720, 1.0}, {680, 12.0},
                                      {500, 18.0}, {300, 25.0}, {50, 30.0}};

struct Wind {
    double direction; // degrees, where the wind blows from
    double speed;     // knots
};

struct Climate {
    std::span<const Anchor> temperature;
    std::span<const Anchor> depression; // dew-point depression, K
    double diurnalAmplitude;            // K at the ground, mid-afternoon minus daily mean
    double frontCooling;                // K at the ground once the front has passed
    double frontDrying;                 // K added to the low-level depression behind the front
    Wind surfaceAhead, surfaceBehind;   // surface wind on either side of the front
    double veerAhead, veerBehind;       // degrees of veering from the ground to 6 km
    double jetSpeed;                    // knots near 250 mb
    double frontLift;                   // Pa/s of mid-level ascent as the front passes
    double frontPrecip;                 // mm/h as the front passes
    double trailingPrecip;              // mm/h behind the front (lake bands)
    double convectiveShare;             // convective part of the precipitation
    double evaporationRate;             // mm/h at mid-afternoon
    double deepSoilK;                   // K, the slow second soil layer
};

Climate ClimateOf(Atmosphere atmosphere) {
    switch (atmosphere) {
    case Atmosphere::WinterWarmNose:
        return {.temperature = kWinterTemp,
                .depression = kWinterDepression,
                .diurnalAmplitude = 1.5,
                .frontCooling = 6.0,
                .frontDrying = 3.0,
                .surfaceAhead = {60, 12},
                .surfaceBehind = {330, 18},
                .veerAhead = 180,
                .veerBehind = 20,
                .jetSpeed = 110,
                .frontLift = 0.8,
                .frontPrecip = 2.0,
                .trailingPrecip = 0.3, // snow showers in the cold air behind the front
                .convectiveShare = 0.0,
                .evaporationRate = 0.02,
                .deepSoilK = 276.0};
    case Atmosphere::LakeEffectCold:
        return {.temperature = kLakeTemp,
                .depression = kLakeDepression,
                .diurnalAmplitude = 2.0,
                .frontCooling = 4.0,
                .frontDrying = 0.0,
                .surfaceAhead = {250, 18},
                .surfaceBehind = {290, 22},
                .veerAhead = 20,
                .veerBehind = 10,
                .jetSpeed = 90,
                .frontLift = 0.5,
                .frontPrecip = 1.5,
                .trailingPrecip = 1.2,
                .convectiveShare = 0.5,
                .evaporationRate = 0.05,
                .deepSoilK = 277.0};
    case Atmosphere::HumidNight:
        return {.temperature = kHumidTemp,
                .depression = kHumidDepression,
                .diurnalAmplitude = 6.0,
                .frontCooling = 3.0,
                .frontDrying = 2.0,
                .surfaceAhead = {180, 4},
                .surfaceBehind = {320, 8},
                .veerAhead = 40,
                .veerBehind = 10,
                .jetSpeed = 45,
                .frontLift = 0.4,
                .frontPrecip = 1.0,
                .trailingPrecip = 0.0,
                .convectiveShare = 0.3,
                .evaporationRate = 0.2,
                .deepSoilK = 292.0};
    case Atmosphere::WarmSeasonConvective:
        break;
    }
    return {.temperature = kConvectiveTemp,
            .depression = kConvectiveDepression,
            .diurnalAmplitude = 5.0,
            .frontCooling = 7.0,
            .frontDrying = 5.0,
            .surfaceAhead = {200, 15},
            .surfaceBehind = {310, 15},
            .veerAhead = 60,
            .veerBehind = 10,
            .jetSpeed = 70,
            .frontLift = 1.2,
            .frontPrecip = 6.0,
            .trailingPrecip = 0.0,
            .convectiveShare = 0.7,
            .evaporationRate = 0.25,
            .deepSoilK = 291.0};
}

// The state of the run at one forecast hour.
struct Weather {
    double surfacePressure; // mb
    double diurnal;         // +1 at 15 local time, -1 at 03
    double behindFront;     // 0 ahead of the front, 1 once it has passed
    double atFront;         // 1 as the front passes, fading within a few hours
};

// Standard surface pressure of an elevation, mb.
double StationPressure(double elevation) {
    return 1013.25 * std::pow(1.0 - 2.25577e-5 * elevation, 5.25588);
}

Weather WeatherAt(const SampleSpec& spec, int times, int forecastHour) {
    const double frontHour = 0.5 * (times - 1) * spec.hoursPerTime;
    const double sinceFront = forecastHour - frontHour;
    Weather w{};
    w.behindFront = 0.5 * (1.0 + std::tanh(sinceFront / 3.0));
    w.atFront = std::exp(-(sinceFront / 4.0) * (sinceFront / 4.0));
    const double localHour = spec.hour + forecastHour + spec.lon / 15.0;
    w.diurnal = std::cos(2.0 * kPi * (localHour - 15.0) / 24.0);
    // Pressure falls ahead of the front and rises behind it.
    w.surfacePressure =
        StationPressure(spec.elevation) + 2.0 - 7.0 * w.atFront + 3.0 * w.behindFront;
    return w;
}

// Height above the ground (km) of a pressure, from the standard atmosphere:
// the shape of the profiles is laid out along it.
double ShapeHeightKm(const Weather& w, double p) {
    return (StdHeightMeters(static_cast<float>(p)) -
            StdHeightMeters(static_cast<float>(w.surfacePressure))) /
           1000.0;
}

struct Air {
    double t, td; // deg C
    double mean;  // deg C, the temperature without its diurnal swing
};

Air AirAt(const Climate& c, const Weather& w, double p) {
    const double z = std::max(0.0, ShapeHeightKm(w, p));
    const double base =
        AlongAnchors(c.temperature, p) - c.frontCooling * w.behindFront * std::exp(-z / 2.0);
    // The sun warms (and the night cools) the lowest half kilometre; clouds of
    // the front damp the cycle.
    const double diurnal =
        c.diurnalAmplitude * w.diurnal * (1.0 - 0.6 * w.atFront) * std::exp(-z / 0.5);
    double depression =
        AlongAnchors(c.depression, p) + c.frontDrying * w.behindFront * std::exp(-z / 1.5);
    if (p > 400.0) depression *= 1.0 - 0.85 * w.atFront; // the front's deep moist layer
    const double t = base + diurnal;
    return {t, std::min(t, base - depression), base};
}

// Eastward and northward components of a wind blowing from direction.
std::array<double, 2> Components(double direction, double speed) {
    return {-speed * std::sin(direction * kDegrees), -speed * std::cos(direction * kDegrees)};
}

// The direction a wind with components (u, v) blows from, 0..360 degrees.
double DirectionOf(double u, double v) {
    const double direction = std::atan2(-u, -v) / kDegrees;
    return direction < 0.0 ? direction + 360.0 : direction;
}

Wind WindAt(const Climate& c, const Weather& w, double p) {
    const double z = std::max(0.0, ShapeHeightKm(w, p));
    const double jetZ = std::max(1.0, ShapeHeightKm(w, 250.0));
    const double mixing = 1.0 + 0.25 * w.diurnal * std::exp(-z / 0.5);
    auto side = [&](Wind surface, double veer) {
        const double speed = z <= jetZ ? surface.speed + (c.jetSpeed - surface.speed) * z / jetZ
                                       : c.jetSpeed * std::exp(-(z - jetZ) / 6.0);
        const double direction = surface.direction + veer * std::min(1.0, z / 6.0);
        return Components(direction, speed * mixing);
    };
    const auto ahead = side(c.surfaceAhead, c.veerAhead);
    const auto behind = side(c.surfaceBehind, c.veerBehind);
    const double u = (1.0 - w.behindFront) * ahead[0] + w.behindFront * behind[0];
    const double v = (1.0 - w.behindFront) * ahead[1] + w.behindFront * behind[1];
    return {DirectionOf(u, v), std::hypot(u, v)};
}

// Vertical velocity in the file's unit (Pa/s; negative is ascent): the
// front's deep lift, subsidence behind it, daytime thermals in the boundary
// layer and ascent below 700 mb under the precipitation bands behind it.
double OmegaAt(const Climate& c, const Weather& w, double p) {
    const double depth =
        std::clamp((w.surfacePressure - p) / (w.surfacePressure - 150.0), 0.0, 1.0);
    const double deep = std::sin(kPi * depth);
    const double z = std::max(0.0, ShapeHeightKm(w, p));
    const double thermals =
        z < 2.0 ? 0.15 * std::max(0.0, w.diurnal) * std::sin(kPi * z / 2.0) : 0.0;
    const double bands = p > 700.0 ? c.trailingPrecip * 0.25 * w.behindFront : 0.0;
    return -c.frontLift * w.atFront * deep + 0.15 * w.behindFront * (1.0 - w.atFront) * deep -
           thermals - bands;
}

// Pressure of profile level k (1-based): closely spaced near the ground,
// about 20 mb apart aloft, the top of a full column near 60 mb.
double LevelPressure(double surfacePressure, int k) {
    const double x = (k - 0.5) / kSpacingLevels;
    return kTopPressure + (surfacePressure - kTopPressure) * (1.0 - std::pow(x, 1.4));
}

// ---------------------------------------------------------------------------
// Values as written.

constexpr double kScale[] = {1.0, 10.0, 100.0};

// v rounded to the decimals the file gives it; as a float it is the same
// number the reader gets back from the text.
float Rounded(double v, int decimals = 2) {
    const double r = std::nearbyint(v * kScale[decimals]) / kScale[decimals];
    return r == 0.0 ? 0.0f : static_cast<float>(r);
}

// One point of a column: the surface (index 0) or a profile level.
struct Point {
    double p, t, td, z, u, v; // mb, deg C, deg C, m, m/s, m/s
};

// Linear in ln p between the points around p, held constant beyond the ends.
Point AtPressure(const std::vector<Point>& column, double p) {
    if (p >= column.front().p) return column.front();
    for (std::size_t i = 1; i < column.size(); ++i) {
        if (p >= column[i].p) {
            const Point& a = column[i - 1];
            const Point& b = column[i];
            const double w = std::log(a.p / p) / std::log(a.p / b.p);
            auto mix = [w](double x, double y) { return x + w * (y - x); };
            return {p, mix(a.t, b.t), mix(a.td, b.td), mix(a.z, b.z), mix(a.u, b.u), mix(a.v, b.v)};
        }
    }
    return column.back();
}

// Direction and speed (knots) of components in m/s.
Wind WindOf(double u, double v) {
    return {DirectionOf(u, v), std::hypot(u, v) * kKnotsPerMs};
}

// Mean wind of the points between two heights above the ground (m).
std::array<double, 2> MeanWind(const std::vector<Point>& column, double bottom, double top) {
    double u = 0.0, v = 0.0;
    int n = 0;
    for (const Point& q : column) {
        const double agl = q.z - column.front().z;
        if (agl < bottom || agl > top) continue;
        u += q.u;
        v += q.v;
        ++n;
    }
    if (n == 0) return {column.front().u, column.front().v};
    return {u / n, v / n};
}

double SweatIndex(const Point& p850, const Point& p500, double totals) {
    const Wind w850 = WindOf(p850.u, p850.v);
    const Wind w500 = WindOf(p500.u, p500.v);
    double sweat = 12.0 * std::max(0.0, p850.td) + 20.0 * std::max(0.0, totals - 49.0) +
                   2.0 * w850.speed + w500.speed;
    const double veer = w500.direction - w850.direction;
    if (w850.direction >= 130.0 && w850.direction <= 250.0 && w500.direction >= 210.0 &&
        w500.direction <= 310.0 && veer > 0.0 && w850.speed >= 15.0 && w500.speed >= 15.0)
        sweat += 125.0 * (std::sin(veer * kDegrees) + 0.2);
    return sweat;
}

// Station parameters of a surface-based parcel over the column.
SampleStation StationParameters(const std::vector<Point>& column) {
    const Point& sfc = column.front();
    const Point p850 = AtPressure(column, 850.0);
    const Point p700 = AtPressure(column, 700.0);
    const Point p500 = AtPressure(column, 500.0);
    const Parcel parcel(sfc.p, sfc.t, sfc.td);
    const double totals = p850.t + p850.td - 2.0 * p500.t;

    // Buoyancy of the parcel at every point, then its positive area above the
    // level of free convection and the negative area below it.
    std::vector<double> buoyancy(column.size());
    for (std::size_t i = 0; i < column.size(); ++i) {
        const double tp = parcel.TemperatureAt(column[i].p);
        buoyancy[i] = (tp - column[i].t) / (column[i].t + kKelvin);
    }
    std::size_t lfc = 0;
    for (std::size_t i = 1; i < column.size() && lfc == 0; ++i)
        if (column[i].p <= parcel.lclPressure && buoyancy[i] > 0.0) lfc = i;
    double cape = 0.0, cin = 0.0, lfcPressure = kMissing, elPressure = kMissing;
    if (lfc > 0) {
        std::size_t el = lfc;
        for (std::size_t i = lfc; i < column.size(); ++i)
            if (buoyancy[i] > 0.0) el = i;
        auto crossing = [&](std::size_t below, std::size_t above) {
            const double b0 = buoyancy[below], b1 = buoyancy[above];
            if (b0 == b1) return column[above].p;
            const double w = b0 / (b0 - b1);
            return column[below].p + w * (column[above].p - column[below].p);
        };
        lfcPressure = buoyancy[lfc - 1] < 0.0 ? crossing(lfc - 1, lfc) : column[lfc].p;
        elPressure = el + 1 < column.size() ? crossing(el, el + 1) : column[el].p;
        for (std::size_t i = 0; i + 1 < column.size(); ++i) {
            const double area =
                kGravity * 0.5 * (buoyancy[i] + buoyancy[i + 1]) * (column[i + 1].z - column[i].z);
            if (i + 1 <= lfc)
                cin += std::min(0.0, area);
            else if (i < el)
                cape += std::max(0.0, area);
        }
    }

    double pwat = 0.0;
    for (std::size_t i = 0; i + 1 < column.size(); ++i) {
        const double q = 0.5 * (SpecificHumidity(column[i].p, column[i].td) +
                                SpecificHumidity(column[i + 1].p, column[i + 1].td));
        pwat += q * (column[i].p - column[i + 1].p) * 100.0 / kGravity;
    }

    // Bulk Richardson number: CAPE over the kinetic energy of the difference
    // between the 0-6 km and 0-500 m mean winds.
    const auto deep = MeanWind(column, 0.0, 6000.0);
    const auto shallow = MeanWind(column, 0.0, 500.0);
    const double shear2 =
        std::max(1.0, std::pow(deep[0] - shallow[0], 2) + std::pow(deep[1] - shallow[1], 2));

    const Parcel from850(850.0, p850.t, p850.td);
    SampleStation s{};
    s.show = Rounded(p500.t - from850.TemperatureAt(500.0));
    s.lift = Rounded(p500.t - parcel.TemperatureAt(500.0));
    s.swet = Rounded(SweatIndex(p850, p500, totals));
    s.kinx = Rounded(p850.t - p500.t + p850.td - (p700.t - p700.td));
    s.lclp = Rounded(parcel.lclPressure);
    s.pwat = Rounded(pwat);
    s.totl = Rounded(totals);
    s.cape = Rounded(cape);
    s.lclt = Rounded(parcel.lclTempK);
    s.cins = Rounded(cin);
    s.eqlv = Rounded(elPressure);
    s.lfct = Rounded(lfcPressure);
    s.brch = Rounded(cape > 0.0 ? cape / (0.5 * shear2) : 0.0);
    return s;
}

// Cloud fraction (percent) of a relative humidity: none up to 75 %, overcast
// at saturation.
double CloudFraction(double rh) {
    if (rh >= 100.0) return 100.0;
    return std::clamp((1.0 - std::sqrt((100.0 - rh) / 25.0)) * 100.0, 0.0, 100.0);
}

double RelativeHumidity(double t, double td) {
    return 100.0 * VapourPressure(td) / VapourPressure(t);
}

// Precipitation type code of a column with precipitation: 60 rain, 66
// freezing rain, 70 snow, 79 ice pellets.
int PrecipTypeCode(const std::vector<Point>& column) {
    const double surfaceT = column.front().t;
    double warmest = -100.0;
    std::size_t warmestAt = 0;
    for (std::size_t i = 1; i < column.size() && column[i].p >= 500.0; ++i) {
        if (column[i].t > warmest) {
            warmest = column[i].t;
            warmestAt = i;
        }
    }
    if (surfaceT > 1.0) return 60;
    if (warmest <= 0.0) return 70;
    if (surfaceT > 0.0) return 60;
    double coldest = surfaceT;
    for (std::size_t i = 0; i < warmestAt; ++i) coldest = std::min(coldest, column[i].t);
    return coldest < -5.0 ? 79 : 66;
}

void CheckSpec(const SampleSpec& spec) {
    auto fail = [](const std::string& why) { throw std::invalid_argument(why); };
    if (spec.layout != "eta" && spec.layout != "ruc" && spec.layout != "ngm" &&
        spec.layout != "gfs3")
        fail("layout \"" + spec.layout + "\" is not one of eta, ruc, ngm and gfs3");
    if (spec.times < 1 || spec.times > 85) fail("times must be 1 to 85");
    if (spec.levels < 1 || spec.levels > 67) fail("levels must be 1 to 67");
    if (spec.hoursPerTime < 1 || spec.hoursPerTime > 48)
        fail("hours between times must be 1 to 48");
    if (spec.year < 1950 || spec.year > 2049)
        fail("the run's year must be 1950 to 2049 (the file has two-digit years)");
    if (!DateTime::ValidParts(spec.year, spec.month, spec.day, spec.hour))
        fail("the run time is not a valid date and hour");
    if (spec.site.empty() || spec.site.size() > 8 || spec.site.find("TIME") != std::string::npos ||
        !std::all_of(spec.site.begin(), spec.site.end(),
                     [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)); }))
        fail("the site must be 1 to 8 letters or digits");
    if (spec.stationNumber < 0 || spec.stationNumber > 999999)
        fail("the station number must be 0 to 999999");
    if (!(std::fabs(spec.lat) <= 90.0f) || !(std::fabs(spec.lon) <= 180.0f))
        fail("latitude must be -90 to 90 and longitude -180 to 180");
    if (!(spec.elevation >= -400.0f && spec.elevation <= 5000.0f))
        fail("the elevation must be -400 to 5000 m");
}

struct StormInflow {
    double u, v;     // storm motion, m/s
    double helicity; // 0-3 km storm-relative helicity, m2/s2
};

// Storm motion 7.5 m/s to the right of the 0-6 km mean wind, across the
// shear, and the helicity of the lowest 3 km relative to it.
StormInflow StormMotionAndHelicity(const std::vector<Point>& column) {
    const auto mean = MeanWind(column, 0.0, 6000.0);
    const auto low = MeanWind(column, 0.0, 500.0);
    const auto high = MeanWind(column, 5500.0, 6000.0);
    const double shearU = high[0] - low[0], shearV = high[1] - low[1];
    const double shear = std::hypot(shearU, shearV);
    double stormU = mean[0], stormV = mean[1];
    if (shear > 0.5) {
        stormU += 7.5 * shearV / shear;
        stormV -= 7.5 * shearU / shear;
    }
    double helicity = 0.0;
    for (std::size_t i = 0; i + 1 < column.size(); ++i) {
        if (column[i + 1].z - column.front().z > 3000.0) break;
        helicity += (column[i + 1].u - stormU) * (column[i].v - stormV) -
                    (column[i].u - stormU) * (column[i + 1].v - stormV);
    }
    return {stormU, stormV, helicity};
}

SampleTime MakeTime(const SampleSpec& spec, const Climate& climate, int times, int t,
                    int levelCount) {
    SampleTime out{};
    out.forecastHour = t * spec.hoursPerTime;
    out.valid =
        DateTime::FromParts(spec.year, spec.month, spec.day, spec.hour).AddHours(out.forecastHour);
    const Weather w = WeatherAt(spec, times, out.forecastHour);
    const double ps = Rounded(w.surfacePressure);

    const Air surfaceAir = AirAt(climate, w, ps);
    const Wind surfaceWind = WindAt(climate, w, ps);
    std::vector<Point> column;
    // The model's whole column is built, so that the station parameters, the
    // storm motion and the cloud base do not depend on how many levels the
    // file keeps; the levels above levelCount are dropped at the end.
    const int modelLevels = std::max(levelCount, kSpacingLevels);
    column.reserve(static_cast<std::size_t>(modelLevels) + 1);
    const auto [su, sv] = Components(surfaceWind.direction, surfaceWind.speed / kKnotsPerMs);
    column.push_back({ps, surfaceAir.t, surfaceAir.td, spec.elevation, su, sv});

    // Levels, each rounded as written; heights from the hypsometric equation
    // with the mean virtual temperature of each layer, from the station up.
    double height = spec.elevation;
    double tvBelow = VirtualTemperature(ps, surfaceAir.t, surfaceAir.td);
    out.levels.reserve(static_cast<std::size_t>(modelLevels));
    for (int k = 1; k <= modelLevels; ++k) {
        SampleLevel lv{};
        lv.pres = Rounded(LevelPressure(ps, k));
        const Air air = AirAt(climate, w, lv.pres);
        lv.tmpc = Rounded(air.t);
        lv.dwpc = Rounded(air.td);
        lv.tmwc = Rounded(WetBulb(lv.pres, lv.tmpc, lv.dwpc));
        lv.thte = Rounded(ThetaE(lv.pres, lv.tmpc, lv.dwpc));
        const Wind wind = WindAt(climate, w, lv.pres);
        lv.drct = Rounded(wind.direction);
        lv.sknt = Rounded(wind.speed);
        lv.omeg = Rounded(OmegaAt(climate, w, lv.pres));
        lv.cfrl = Rounded(CloudFraction(RelativeHumidity(lv.tmpc, lv.dwpc)), 0);
        const double tv = VirtualTemperature(lv.pres, lv.tmpc, lv.dwpc);
        const double pBelow = column.back().p;
        height += kRd / kGravity * 0.5 * (tvBelow + tv) * std::log(pBelow / lv.pres);
        tvBelow = tv;
        lv.hght = Rounded(height);
        const auto [u, v] = Components(lv.drct, lv.sknt / kKnotsPerMs);
        column.push_back({lv.pres, lv.tmpc, lv.dwpc, lv.hght, u, v});
        out.levels.push_back(lv);
    }
    out.station = StationParameters(column);

    const StormInflow storm = StormMotionAndHelicity(column);

    // The surface row.
    SampleSurface& sf = out.surface;
    const double hours = spec.hoursPerTime;
    const double rate =
        t == 0 ? 0.0 : climate.frontPrecip * w.atFront + climate.trailingPrecip * w.behindFront;
    sf.pres = Rounded(ps);
    sf.t2m = Rounded(surfaceAir.t);
    sf.td2m = Rounded(surfaceAir.td);
    sf.q2m = Rounded(1000.0 * SpecificHumidity(ps, surfaceAir.td));
    sf.u = Rounded(su);
    sf.v = Rounded(sv);
    const Wind tenMetre = WindOf(sf.u, sf.v);
    sf.windSpeed = Rounded(tenMetre.speed);
    sf.windDir = Rounded(tenMetre.direction);
    sf.skinTemp = Rounded(surfaceAir.t + kKelvin + 2.5 * w.diurnal * (1.0 - 0.7 * w.atFront));
    const double localHour = spec.hour + out.forecastHour + spec.lon / 15.0;
    sf.soil1 = Rounded(surfaceAir.mean + kKelvin + 1.0 +
                       0.8 * std::cos(2.0 * kPi * (localHour - 18.0) / 24.0));
    sf.soil2 = Rounded(climate.deepSoilK);
    sf.precip = Rounded(rate * hours);
    sf.convPrecip = Rounded(climate.convectiveShare * sf.precip);
    sf.runoff = Rounded(0.1 * sf.precip);
    sf.evaporation = Rounded(climate.evaporationRate * std::max(0.0, w.diurnal) * hours);
    sf.stormU = Rounded(storm.u);
    sf.stormV = Rounded(storm.v);
    sf.helicity = Rounded(storm.helicity);
    sf.ptypeCode = sf.precip > 0.0f ? PrecipTypeCode(column) : 0;
    sf.snowFlag = sf.ptypeCode == 70;
    sf.icePelletFlag = sf.ptypeCode == 79;
    sf.freezingRainFlag = sf.ptypeCode == 66;
    sf.rainFlag = sf.ptypeCode == 60;
    sf.snowRatio = sf.ptypeCode == 70 ? 100.0f : sf.ptypeCode == 79 ? 50.0f : 0.0f;
    double cloudBase = kMissing;
    for (const SampleLevel& lv : out.levels) {
        if (lv.cfrl >= 50.0f) {
            cloudBase = lv.pres;
            break;
        }
    }
    sf.cloudBase = Rounded(cloudBase);
    const double fog = surfaceAir.t - surfaceAir.td < 0.5 ? 0.8 : 20.0;
    sf.visibility = Rounded(std::min(fog, 20.0 / (1.0 + 2.0 * rate)));
    out.levels.resize(static_cast<std::size_t>(levelCount));
    return out;
}

// ---------------------------------------------------------------------------
// The text.

class Text {
  public:
    explicit Text(std::size_t reserve) { out_.reserve(reserve); }

    void Raw(std::string_view s) { out_.append(s); }
    void Line(std::string_view s = {}) {
        out_.append(s);
        out_.push_back('\n');
    }
    // A number right-aligned in width, after one blank.
    void Number(double v, int decimals, int width = 9) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
        const int len = static_cast<int>(r.ptr - buf);
        out_.append(static_cast<std::size_t>(std::max(1, width - len + 1)), ' ');
        out_.append(buf, r.ptr);
    }
    void KeyValue(std::string_view key, double v, int decimals) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
        out_.append(key);
        out_.append(" = ");
        out_.append(buf, r.ptr);
        out_.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(1, 10 - (r.ptr - buf))), ' ');
    }
    void EndLine() {
        while (!out_.empty() && out_.back() == ' ') out_.pop_back();
        out_.push_back('\n');
    }
    std::size_t Size() const { return out_.size(); }
    std::string Take() { return std::move(out_); }

  private:
    std::string out_;
};

struct Layout {
    bool cloudColumn;   // eta/ruc: CFRL among the level fields
    bool legacyColumns; // RELH and MIXR, no heights
    std::span<const std::string_view> surfaceNames;
    std::span<const int> surfaceSplit; // fields per line of the header and of each row
};

constexpr std::string_view kEtaSurface[] = {
    "STN",  "YYMMDD/HHMM", "PMSL", "PRES", "SKTK", "STK1", "SNFL", "WTNS", "P01M", "C01M", "STK2",
    "LCLD", "MCLD",        "HCLD", "SNRA", "UWND", "VWND", "R01M", "BFGR", "T2MS", "Q2MS", "WXTS",
    "WXTP", "WXTZ",        "WXTR", "USTM", "VSTM", "HLCY", "SLLH", "WSYM", "CDBP", "VSBK", "TD2M"};
constexpr int kEtaSplit[] = {7, 7, 7, 7, 5};
constexpr std::string_view kNgmSurface[] = {"STN",  "YYMMDD/HHMM", "PMSL", "PRES", "SKTK", "P01M",
                                            "C01M", "STK1",        "STK2", "SNFL", "WTNS", "LCLD",
                                            "MCLD", "HCLD",        "SNRA", "UWND", "VWND", "R01M",
                                            "Q2MS", "SLLH",        "T2MS", "TD2M", "SKNT", "DRCT"};
constexpr int kNgmSplit[] = {8, 8, 8};
constexpr std::string_view kGfs3Surface[] = {"STN",  "YYMMDD/HHMM", "PMSL", "PRES", "SKTK", "STK1",
                                             "SLLH", "P01M",        "C01M", "STK2", "LCLD", "MCLD",
                                             "HCLD", "UWND",        "VWND", "T2MS", "Q2MS", "WXTS",
                                             "WXTP", "WXTZ",        "WXTR", "SNFL", "TD2M"};
constexpr int kGfs3Split[] = {8, 8, 7};
static_assert(std::size(kEtaSurface) == 33 && std::size(kNgmSurface) == 24 &&
              std::size(kGfs3Surface) == 23);

constexpr std::string_view kStationKeys[] = {"SHOW", "LIFT", "SWET", "KINX", "LCLP", "PWAT", "TOTL",
                                             "CAPE", "LCLT", "CINS", "EQLV", "LFCT", "BRCH"};
constexpr std::string_view kMisspeltStationKeys[] = {"SHWO", "LFIT", "SWTE", "KNIX", "LCPL",
                                                     "PWTA", "TOLT", "CAEP", "LCTL", "CISN",
                                                     "EQVL", "LFTC", "BRHC"};

constexpr std::string_view kLevelHeader = "PRES TMPC TMWC DWPC THTE DRCT SKNT OMEG";
constexpr std::string_view kLegacyLevelHeader = "PRES TMPC RELH TMWC DWPC THTE MIXR DRCT";
constexpr std::string_view kLevelLine =
    "SNPARM = PRES;TMPC;TMWC;DWPC;THTE;DRCT;SKNT;OMEG;CFRL;HGHT";
constexpr std::string_view kLevelLineNoCloud =
    "SNPARM = PRES;TMPC;TMWC;DWPC;THTE;DRCT;SKNT;OMEG;HGHT";
constexpr std::string_view kLegacyLevelLine =
    "SNPARM = PRES;TMPC;RELH;TMWC;DWPC;THTE;MIXR;DRCT;SKNT;OMEG";
constexpr std::string_view kStationLine =
    "STNPRM = SHOW;LIFT;SWET;KINX;LCLP;PWAT;TOTL;CAPE;LCLT;CINS;EQLV;LFCT;BRCH";

Layout LayoutOf(const SampleSpec& spec) {
    if (spec.layout == "gfs3") return {false, false, kGfs3Surface, kGfs3Split};
    if (spec.layout == "ngm") return {false, spec.legacy, kNgmSurface, kNgmSplit};
    return {!spec.legacy, spec.legacy, kEtaSurface, kEtaSplit};
}

// yymmdd/hhmm of a valid time; month 13 for a damaged TIME line.
std::string FileDate(const DateTime& valid, bool badMonth = false) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d/%02d00", valid.Year() % 100,
                  badMonth ? 13 : valid.Month(), valid.Day(), valid.Hour());
    return buf;
}

void WriteLevel(Text& out, const SampleLevel& lv, const Layout& layout) {
    if (layout.legacyColumns) {
        const double rh = RelativeHumidity(lv.tmpc, lv.dwpc);
        const double mixr = MixingRatio(VapourPressure(lv.dwpc), lv.pres);
        const double first[] = {lv.pres, lv.tmpc, rh, lv.tmwc, lv.dwpc, lv.thte, mixr, lv.drct};
        for (double v : first) out.Number(v, 2);
        out.EndLine();
        out.Number(lv.sknt, 2);
        out.Number(lv.omeg, 2);
        out.EndLine();
        return;
    }
    const double first[] = {lv.pres, lv.tmpc, lv.tmwc, lv.dwpc, lv.thte, lv.drct, lv.sknt, lv.omeg};
    for (double v : first) out.Number(v, 2);
    out.EndLine();
    if (layout.cloudColumn) out.Number(lv.cfrl, 2);
    out.Number(lv.hght, 2);
    out.EndLine();
}

void WriteBlock(Text& out, const SampleSounding& s, std::size_t index, const Layout& layout,
                std::size_t* truncateAt) {
    const SampleSpec& spec = s.spec;
    const SampleTime& st = s.times[index];
    const bool misspelt = spec.variant == Variant::MisspeltKeys;
    const bool middle = index == s.times.size() / 2;
    char buf[96];
    std::snprintf(buf, sizeof buf, "STID = %-8s    STNM = %d   TIME = %s", spec.site.c_str(),
                  spec.stationNumber,
                  FileDate(st.valid, middle && spec.variant == Variant::BadDate).c_str());
    out.Line(buf);
    out.KeyValue(misspelt ? "SLTA" : "SLAT", spec.lat, 2);
    out.KeyValue(misspelt ? "SLNO" : "SLON", spec.lon, 2);
    out.KeyValue(misspelt ? "SLEV" : "SELV", spec.elevation, 1);
    out.EndLine();
    std::snprintf(buf, sizeof buf, "STIM = %d", st.forecastHour);
    out.Line(buf);
    out.Line();

    const SampleStation& p = st.station;
    const float values[] = {p.show, p.lift, p.swet, p.kinx, p.lclp, p.pwat, p.totl,
                            p.cape, p.lclt, p.cins, p.eqlv, p.lfct, p.brch};
    const auto& keys = misspelt ? kMisspeltStationKeys : kStationKeys;
    for (std::size_t i = 0; i < std::size(values); ++i) {
        out.KeyValue(keys[i], values[i], 2);
        if (i % 4 == 3 || i + 1 == std::size(values)) out.EndLine();
    }
    out.Line();

    out.Line(layout.legacyColumns ? kLegacyLevelHeader : kLevelHeader);
    out.Line(layout.legacyColumns ? "SKNT OMEG" : layout.cloudColumn ? "CFRL HGHT" : "HGHT");
    for (std::size_t L = 0; L < st.levels.size(); ++L) {
        // A cut a few characters into the middle level of the middle block.
        if (truncateAt && middle && L == st.levels.size() / 2) *truncateAt = out.Size() + 12;
        WriteLevel(out, st.levels[L], layout);
    }
    const bool last = index + 1 == s.times.size();
    if (spec.variant != Variant::NoBlankBetweenBlocks || last) out.Line();
}

void WriteSurface(Text& out, const SampleSounding& s, const Layout& layout,
                  std::size_t* truncateAt) {
    std::size_t name = 0;
    for (int count : layout.surfaceSplit) {
        for (int i = 0; i < count; ++i, ++name) {
            if (i > 0) out.Raw(" ");
            out.Raw(layout.surfaceNames[name]);
        }
        out.EndLine();
    }
    const bool gfs3 = s.spec.layout == "gfs3";
    const bool ngm = s.spec.layout == "ngm";
    for (std::size_t t = 0; t < s.times.size(); ++t) {
        const SampleTime& st = s.times[t];
        const SampleSurface& f = st.surface;
        if (truncateAt && t == s.times.size() / 2) *truncateAt = out.Size() + 20;

        // Fields the reader passes over, still plausible: sea-level pressure,
        // cloud covers by layer, snowfall, soil moisture.
        const double pmsl =
            f.pres * std::exp(s.spec.elevation * kGravity /
                              (kRd * (f.t2m + kKelvin + 0.00325 * s.spec.elevation)));
        double layer[3] = {0.0, 0.0, 0.0};
        for (const SampleLevel& lv : st.levels) {
            const int k = lv.pres > 680.0f ? 0 : lv.pres > 440.0f ? 1 : 2;
            layer[k] = std::max(layer[k], static_cast<double>(lv.cfrl));
        }
        const double snowfall = f.ptypeCode == 70 ? f.precip : 0.0;
        struct Cell {
            double value;
            int decimals;
        };
        std::vector<Cell> cells;
        cells.reserve(33);
        auto add = [&](std::initializer_list<double> values, int decimals = 2) {
            for (double v : values) cells.push_back({v, decimals});
        };
        if (gfs3) {
            add({f.pres, f.skinTemp, f.soil1, f.evaporation, f.precip, f.convPrecip, f.soil2,
                 layer[0], layer[1], layer[2], f.u, f.v, f.t2m, f.q2m});
            add({static_cast<double>(f.snowFlag), static_cast<double>(f.icePelletFlag),
                 static_cast<double>(f.freezingRainFlag), static_cast<double>(f.rainFlag)},
                0);
            add({snowfall, f.td2m});
        } else if (ngm) {
            add({f.pres,   f.skinTemp,  f.precip, f.convPrecip, f.soil1,       f.soil2,
                 snowfall, 0.3,         layer[0], layer[1],     layer[2],      f.snowRatio,
                 f.u,      f.v,         f.runoff, f.q2m,        f.evaporation, f.t2m,
                 f.td2m,   f.windSpeed, f.windDir});
        } else {
            add({f.pres, f.skinTemp, f.soil1, snowfall, 0.3, f.precip, f.convPrecip, f.soil2,
                 layer[0], layer[1], layer[2], f.snowRatio, f.u, f.v, f.runoff, 0.0, f.t2m, f.q2m});
            add({static_cast<double>(f.snowFlag), static_cast<double>(f.icePelletFlag),
                 static_cast<double>(f.freezingRainFlag), static_cast<double>(f.rainFlag)},
                0);
            add({f.stormU, f.stormV, f.helicity, f.evaporation});
            add({static_cast<double>(f.ptypeCode)}, 0);
            add({f.cloudBase, f.visibility, f.td2m});
        }

        // Station number, date and sea-level pressure lead every row.
        std::size_t cell = 0;
        int field = 0;
        for (int count : layout.surfaceSplit) {
            for (int i = 0; i < count; ++i, ++field) {
                if (field == 0) {
                    out.Number(s.spec.stationNumber, 0, 6);
                } else if (field == 1) {
                    out.Raw(" ");
                    out.Raw(FileDate(st.valid));
                } else if (field == 2) {
                    out.Number(pmsl, 2);
                } else {
                    out.Number(cells[cell].value, cells[cell].decimals);
                    ++cell;
                }
            }
            out.EndLine();
        }
    }
}

} // namespace

SampleSounding MakeSampleSounding(const SampleSpec& spec) {
    CheckSpec(spec);
    SampleSounding out;
    out.spec = spec;
    out.spec.lat = Rounded(spec.lat);
    out.spec.lon = Rounded(spec.lon);
    out.spec.elevation = Rounded(spec.elevation, 1);
    const int times = spec.variant == Variant::TooManyTimes ? 86 : spec.times;
    const Climate climate = ClimateOf(spec.atmosphere);
    out.times.reserve(static_cast<std::size_t>(times));
    for (int t = 0; t < times; ++t) {
        const bool extraLevel = spec.variant == Variant::TooManyLevels && t == times / 2;
        out.times.push_back(MakeTime(out.spec, climate, times, t, extraLevel ? 68 : spec.levels));
    }
    return out;
}

namespace {

// Start of the n-th (0-based) occurrence of what in text, or npos.
std::size_t FindNth(const std::string& text, std::string_view what, std::size_t n) {
    std::size_t at = text.find(what);
    for (std::size_t i = 0; i < n && at != std::string::npos; ++i) at = text.find(what, at + 1);
    return at;
}

// Replaces the field that follows skip fields from position at.
void ReplaceField(std::string& text, std::size_t at, int skip, std::string_view with) {
    auto blanks = [&] {
        while (at < text.size() && text[at] == ' ') ++at;
    };
    auto field = [&] {
        while (at < text.size() && text[at] != ' ' && text[at] != '\n') ++at;
    };
    for (int i = 0; i < skip; ++i) {
        blanks();
        field();
    }
    blanks();
    const std::size_t start = at;
    field();
    text.replace(start, at - start, with);
}

// The damage of the variants that change a few characters of a clean text.
void Damage(std::string& text, const SampleSounding& s) {
    const std::size_t middle = s.times.size() / 2;
    switch (s.spec.variant) {
    case Variant::LineDeleted: {
        const std::size_t at = FindNth(text, "STIM =", middle);
        text.erase(at, text.find('\n', at) + 1 - at);
        break;
    }
    case Variant::NulByte:
        text[FindNth(text, "TIME =", middle) + 2] = '\0';
        break;
    case Variant::NumberTooLarge: {
        // The header's two lines, then the first level: its second field.
        std::size_t at = FindNth(text, "PRES TMPC", middle);
        at = text.find('\n', text.find('\n', at) + 1) + 1;
        ReplaceField(text, at, 1, "1e40");
        break;
    }
    case Variant::HugeSurfacePressure: {
        const std::size_t at = text.rfind(FileDate(s.times[middle].valid));
        ReplaceField(text, at, 2, "1e20");
        break;
    }
    default:
        break;
    }
}

} // namespace

std::string WriteSoundingText(const SampleSounding& s) {
    CheckSpec(s.spec);
    const Layout layout = LayoutOf(s.spec);
    const Variant variant = s.spec.variant;
    std::size_t levelCount = 0;
    for (const SampleTime& st : s.times) levelCount += st.levels.size();
    Text out(levelCount * 180 + s.times.size() * 800 + 1024);

    if (layout.legacyColumns) {
        out.Line(kStationLine);
        out.Line(kLegacyLevelLine);
    } else {
        out.Line(layout.cloudColumn ? kLevelLine : kLevelLineNoCloud);
        out.Line(kStationLine);
    }
    out.Line();
    out.Line();

    std::size_t cut = 0;
    if (variant != Variant::NoTimeBlocks) {
        for (std::size_t t = 0; t < s.times.size(); ++t)
            WriteBlock(out, s, t, layout, variant == Variant::Truncated ? &cut : nullptr);
        out.Line();
    }
    WriteSurface(out, s, layout, variant == Variant::TruncatedSurface ? &cut : nullptr);

    std::string text = out.Take();
    if (cut > 0) text.resize(std::min(cut, text.size()));
    Damage(text, s);
    if (variant == Variant::CrLf) {
        std::string crlf;
        crlf.reserve(text.size() + text.size() / 16);
        for (char c : text) {
            if (c == '\n') crlf.push_back('\r');
            crlf.push_back(c);
        }
        return crlf;
    }
    return text;
}

std::string MakeSoundingText(const SampleSpec& spec) {
    return WriteSoundingText(MakeSampleSounding(spec));
}

} // namespace tarvex::samples
