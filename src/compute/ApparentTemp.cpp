#include "compute/ApparentTemp.h"

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

// Too warm for any clothing, the heat balance leaves only the sweating skin
// to carry the heat, and its resistance to vapour falls towards nothing in
// humid heat, where the balance then answers some 200 F whatever the air.
// The apparent temperature there is the national weather service's heat
// index: L. P. Rothfusz (1990), a fit to the same heat balance's published
// table, with its two corrections for very dry and for humid mild air. F in
// deg F, H in %.
double HeatIndexOfTheTable(double F, double H) {
    double hi = -42.379 + 2.04901523 * F + 10.14333127 * H - 0.22475541 * F * H -
                0.00683783 * F * F - 0.05481717 * H * H + 0.00122874 * F * F * H +
                0.00085282 * F * H * H - 0.00000199 * F * F * H * H;
    if (H < 13.0 && F >= 80.0 && F <= 112.0)
        hi -= (13.0 - H) / 4.0 * std::sqrt((17.0 - std::fabs(F - 95.0)) / 17.0);
    if (H > 85.0 && F >= 80.0 && F <= 87.0) hi += (H - 85.0) / 10.0 * ((87.0 - F) / 5.0);
    return hi;
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
    // Negative: even bare, the person keeps too much heat.
    double x = -1.0;
    if (qa > 0.0 && disc >= 0.0) x = (-qb + std::sqrt(disc)) / (2.0 * qa);

    if (x < 0.0) return static_cast<float>(HeatIndexOfTheTable(t * 1.8 + 32.0, H));
    const double K = (1.0 - kCovered) / Rb + kCovered / (a + x);
    const double L = (1.0 - kCovered) / Zb + kCovered / (b + c * x);
    return static_cast<float>(ReferenceTemp(K, L) * 1.8 + 32.0);
}

int HeatCategory(float A) {
    if (A >= 130.0f) return 1;
    if (A >= 105.0f) return 2;
    if (A >= 90.0f) return 3;
    if (A >= 80.0f) return 4;
    return 5;
}

} // namespace tarvex
