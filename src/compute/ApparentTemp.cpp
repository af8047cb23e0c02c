#include "compute/ApparentTemp.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

// Heat balance of a person after R. G. Steadman, "The assessment of
// sultriness. Part I", J. Appl. Meteor. 18 (1979), 861-873.

namespace {

constexpr double kCoreTemp = 37.0;        // C
constexpr double kCoreVapour = 5.65;      // kPa
constexpr double kSkinHeatRes = 0.0387;   // m2 K / W
constexpr double kSkinVapourRes = 0.0521; // m2 kPa / W
constexpr double kCovered = 0.84;         // fraction of the body clothed
constexpr double kLewis = 0.060606;       // 1 / 16.5 K/kPa: vapour per heat film
// Metabolic heat less the breath's losses, at the reference vapour pressure
// of 1.6 kPa (so 4.05 kPa below the core's): 159.0984 + 0.2016 T.
constexpr double kRefHeat = 159.0984;
constexpr double kRefHeatPerDegree = 0.2016;
constexpr double kRefVapourDrop = 4.05;

// The air temperature (C) that balances the heat Q = 159.0984 + 0.2016 AT
// with the conductances to heat K and to vapour L of the same person.
double ReferenceTemp(double K, double L) {
    return (kCoreTemp * K + kRefVapourDrop * L - kRefHeat) / (kRefHeatPerDegree + K);
}

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// The national weather service's heat index: L. P. Rothfusz (1990), a fit to
// the same heat balance's published table, with its corrections for very dry
// and for humid mild air. F in deg F, H in %. The service adds both
// corrections from 80 F on, where each would start with a step of up to 2 F:
// the dry-air one follows its own formula from 78 F, where it is nothing, and
// the humid-air one is brought in evenly from 78 F to 80 F. Far off the
// table, in saturated air above about 111 F, the fit rises faster than
// 9 F per F; there the reading goes on along the fit's tangent, so that it
// never leaps between neighbouring temperatures.
double HeatIndexOfTheTable(double F, double H) {
    const auto fit = [H](double f) {
        return -42.379 + 2.04901523 * f + 10.14333127 * H - 0.22475541 * f * H -
               0.00683783 * f * f - 0.05481717 * H * H + 0.00122874 * f * f * H +
               0.00085282 * f * H * H - 0.00000199 * f * f * H * H;
    };
    // The fit is a parabola in f: slope + 2 curve f.
    constexpr double kSteepest = 9.0;
    const double slope = 2.04901523 - 0.22475541 * H + 0.00085282 * H * H;
    const double curve = -0.00683783 + 0.00122874 * H - 0.00000199 * H * H;
    double hi = fit(F);
    if (curve > 0.0) {
        const double steep = (kSteepest - slope) / (2.0 * curve);
        if (F > steep) hi = fit(steep) + kSteepest * (F - steep);
    }
    if (H < 13.0 && F >= 78.0 && F <= 112.0)
        hi -= (13.0 - H) / 4.0 * std::sqrt((17.0 - std::fabs(F - 95.0)) / 17.0);
    if (H > 85.0 && F >= 78.0 && F <= 87.0)
        hi += (H - 85.0) / 10.0 * ((87.0 - F) / 5.0) * Clamp01((F - 78.0) / 2.0);
    return hi;
}

// The service takes the heat index only where its simple first estimate,
// averaged with the air temperature, comes to 80 F or more. Share of the
// heat index in the reading: none below that, all of it 2 F further on.
double HeatIndexShare(double F, double H) {
    const double simple = 0.5 * (F + 61.0 + (F - 68.0) * 1.2 + H * 0.094);
    return Clamp01(((simple + F) / 2.0 - 80.0) / 2.0);
}

} // namespace

float MakeApparentTemp(float T, float H) {
    const double t = T;
    const double es = 6.11 * std::pow(10.0, 7.567 * t / (239.7 + t));
    const double ek = es * H * 0.01 * 0.1;
    // Metabolic heat less the breath's losses (W/m2).
    const double Q = 180.0 - 180.0 * (0.143 - 0.00112 * t - 0.0168 * ek);
    const double dT = kCoreTemp - t;
    const double dE = kCoreVapour - ek;

    // First stage: the bare parts (air film R1, Z1) and the clothed parts
    // (air film R2, Z2 outside the clothing of heat resistance x and vapour
    // resistance x / 16.5).
    const double R1 = 1.0 / (17.4 + 0.036 * t + 4.18);
    const double Z1 = kLewis / 17.4;
    const double R2 = 1.0 / (11.6 + 0.049 * t + 3.35);
    const double Z2 = kLewis / 11.6;
    const double Rb = kSkinHeatRes + R1;
    const double Zb = kSkinVapourRes + Z1;
    const double Qc = (Q - (1.0 - kCovered) * (dT / Rb + dE / Zb)) / kCovered;
    // Qc = dT / (a + x) + dE / (b + c x): a quadratic in x.
    const double a = kSkinHeatRes + R2;
    const double b = kSkinVapourRes + Z2;
    const double c = kLewis;
    const double qa = Qc * c;
    const double qb = Qc * (a * c + b) - dT * c - dE;
    const double qc = Qc * a * b - dT * b - dE * a;
    const double disc = qb * qb - 4.0 * qa * qc;
    const auto reading = [&](double K, double L) {
        return static_cast<float>(ReferenceTemp(K, L) * 1.8 + 32.0);
    };
    const double F = t * 1.8 + 32.0;
    // So cold that even the warmest clothing leaves the body short of heat:
    // the clothed parts lose nothing, and the reading is the one the stage
    // tends to as its clothing grows without end, never above the air's.
    if (qa <= 0.0)
        return std::min(reading((1.0 - kCovered) / Rb, (1.0 - kCovered) / Zb),
                        static_cast<float>(F));
    // The larger root; none, or a negative one: even bare, the person keeps
    // too much heat.
    const double x = disc >= 0.0 ? (-qb + std::sqrt(disc)) / (2.0 * qa) : -1.0;
    const auto clothed = [&](double cloth) {
        return reading((1.0 - kCovered) / Rb + kCovered / (a + cloth),
                       (1.0 - kCovered) / Zb + kCovered / (b + c * cloth));
    };
    if (x >= 0.0) return clothed(x);
    // Too warm for clothing: the stage's own limit, the bare person, until the
    // heat index takes over. Its share grows with the heat the bare skin
    // cannot shed (W/m2, nothing where the clothing runs out), so the reading
    // runs on from the clothed one without a step.
    const double bare = clothed(0.0);
    const double surplus = qc / (a * b);
    constexpr double kSurplusForTheIndex = 5.0;
    const double share = std::min(Clamp01(surplus / kSurplusForTheIndex), HeatIndexShare(F, H));
    return static_cast<float>(bare + share * (HeatIndexOfTheTable(F, H) - bare));
}

int HeatCategory(float A) {
    if (A >= 130.0f) return 1;
    if (A >= 105.0f) return 2;
    if (A >= 90.0f) return 3;
    if (A >= 80.0f) return 4;
    return 5;
}

} // namespace tarvex
