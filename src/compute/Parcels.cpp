#include "compute/Parcels.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvex {

namespace {

// Rd / cp, held in single precision as the whole program uses it.
constexpr float kKappa = 2.0f / 7.0f;
// The secant iteration of SatLift converges in a handful of steps over the
// whole range of the atmosphere; this bound only guards against input that
// makes it wander.
constexpr int kMaxSatLiftSteps = 50;
// Cooling (C) of a rising parcel per 500 mb of ascent on top of its
// saturated adiabat (warming when it sinks); part of every moist-adiabatic
// temperature the program draws or integrates.
constexpr float kMoistCorrection = 0.3f;

// Wet-bulb potential temperature (deg C) of saturated air at T (deg C) and
// p (mb).
float WetBulbPotential(float T, float p) {
    const float th = Theta(T, p);
    return th - Wobus(th) + Wobus(T);
}

int ProfileLevels(const ProfileArrays& store) {
    return std::clamp<int>(store.LevelCount(store.CurrentModel), 0, kMaxProfileLevels);
}

// Standard-atmosphere heights and parcel temperatures of the levels of one
// column, worked out once as the layer integrations climb.
class ParcelColumn {
  public:
    ParcelColumn(const ProfileArrays& store, int t, const MoistAdiabat& parcel)
        : store_(store), m_(store.CurrentModel), t_(t), parcel_(parcel) {}

    float P(int L) const { return store_.Pressure(m_, t_, L); }
    float Te(int L) const { return store_.Temperature(m_, t_, L); }
    float Z(int L) {
        if (!hasZ_[L]) {
            z_[L] = StdHeightMeters(P(L));
            hasZ_[L] = true;
        }
        return z_[L];
    }
    float Tp(int L) {
        if (!hasTp_[L]) {
            tp_[L] = parcel_.At(P(L));
            hasTp_[L] = true;
        }
        return tp_[L];
    }

  private:
    const ProfileArrays& store_;
    int m_;
    int t_;
    const MoistAdiabat& parcel_;
    std::array<float, kLevelSlots> z_{};
    std::array<float, kLevelSlots> tp_{};
    std::array<bool, kLevelSlots> hasZ_{};
    std::array<bool, kLevelSlots> hasTp_{};
};

// Buoyant area (K m) from the LFC (height zLfc) up to the height top, the
// equilibrium level or the top level n, whichever comes first. Each level L
// stands for the layer up to the mid-height between L and L + 1; the top
// level's layer ends at its own height.
double LayerArea(ParcelColumn& c, int start, int n, float zLfc, float top, float eql) {
    const float zEql = StdHeightMeters(eql);
    double area = 0.0;
    float z0 = zLfc;
    for (int L = start; L <= n; ++L) {
        const double buoyancy = (c.Tp(L) - c.Te(L)) / static_cast<double>(kKelvinOffset);
        const int next = L < n ? L + 1 : n;
        const float zNext = c.Z(next);
        if (zNext > top) return area + buoyancy * (top - z0);
        if (c.P(next) < eql) return area + buoyancy * (zEql - z0);
        if (L == n) return area + buoyancy * (zNext - z0);
        const float zMid = (c.Z(L) + zNext) / 2.0f;
        area += buoyancy * (zMid - z0);
        z0 = zMid;
    }
    return area;
}

} // namespace

float Theta(float T, float p) {
    return (T + kKelvinOffset) * std::pow(1000.0f / p, kKappa) - kKelvinOffset;
}

float Wobus(float T) {
    const float x = T - 20.0f;
    if (x <= 0.0f) {
        const float pol =
            1.0f + x * (-0.0088416605f +
                        x * (0.00014714143f +
                             x * (-9.671989e-7f + x * (-3.2607217e-8f + x * (-3.8598073e-10f)))));
        const float pol2 = pol * pol;
        return 15.13f / (pol2 * pol2);
    }
    const float pol =
        1.0f +
        x * (0.0036182989f +
             x * (-1.3603273e-5f +
                  x * (4.9618922e-7f +
                       x * (-6.1059365e-9f +
                            x * (3.9401551e-11f + x * (-1.2588129e-13f + x * 1.668828e-16f))))));
    const float pol2 = pol * pol;
    return 29.93f / (pol2 * pol2) + 0.96f * x - 14.8f;
}

namespace {

// SatLift of the adiabat thw whose Wobus term wThw = Wobus(thw) is known, at
// p with its factor pw = PressureFactor(p). Start from the dry adiabat; the
// residual is the error in wet-bulb potential temperature of the guessed
// temperature.
float SatLiftWith(float thw, float wThw, float p, float pw) {
    if (std::fabs(p - 1000.0f) - 0.001f <= 0.0f) return thw;
    // No air above the top of the atmosphere: every adiabat ends at 0 K.
    if (!(p > 0.0f)) return -kKelvinOffset;
    float t1 = (thw + kKelvinOffset) * pw - kKelvinOffset;
    float e1 = Wobus(t1) - wThw;
    float rate = 1.0f;
    float t2 = t1;
    float correction = 0.0f;
    for (int step = 0; step < kMaxSatLiftSteps; ++step) {
        t2 = t1 - e1 * rate;
        float e2 = (t2 + kKelvinOffset) / pw - kKelvinOffset;
        e2 = e2 + Wobus(t2) - Wobus(e2) - thw;
        if (!std::isfinite(e2)) return t1; // the step left the range of the formula
        correction = e2 * rate;
        if (std::fabs(correction) - 0.1f <= 0.0f) break;
        // Equal residuals give no slope: the secant step cannot move.
        if (e2 == e1) break;
        rate = (t2 - t1) / (e2 - e1);
        t1 = t2;
        e1 = e2;
    }
    return t2 - correction;
}

} // namespace

float PressureFactor(float p) {
    return std::pow(p / 1000.0f, kKappa);
}

float SatLift(float thw, float p) {
    return SatLiftWith(thw, Wobus(thw), p, PressureFactor(p));
}

float WetLift(float T, float p1, float p2) {
    return MoistAdiabat(T, p1).At(p2);
}

CondensationLevel BoltonLCL(float T, float Td, float p) {
    const double tk = T + static_cast<double>(kKelvinOffset);
    const double dk = Td + static_cast<double>(kKelvinOffset);
    const double tl = 1.0 / (1.0 / (dk - 56.0) + std::log(tk / dk) / 800.0) + 56.0;
    CondensationLevel lcl;
    lcl.TempK = static_cast<float>(tl);
    lcl.Pressure = static_cast<float>(p * std::pow(tl / tk, 1.0 / kKappa));
    return lcl;
}

MoistAdiabat::MoistAdiabat(float T, float p)
    : p1_(p), thw_(WetBulbPotential(T, p)), wobusThw_(Wobus(thw_)) {}

float MoistAdiabat::At(float p2) const {
    return At(p2, PressureFactor(p2));
}

float MoistAdiabat::At(float p2, float pw) const {
    return SatLiftWith(thw_, wobusThw_, p2, pw) + kMoistCorrection * (p2 - p1_) / 500.0f;
}

LiftedParcel::LiftedParcel(const CondensationLevel& lcl)
    : lcl_(lcl), moist_(lcl.TempK - kKelvinOffset, lcl.Pressure) {}

float LiftedParcel::TempAt(float p) const {
    return p < lcl_.Pressure ? moist_.At(p) : DryAt(p);
}

float LiftedParcel::DryAt(float p) const {
    return lcl_.TempK / std::pow(lcl_.Pressure / p, kKappa) - kKelvinOffset;
}

void LiftParcelProfile(const ProfileArrays& store, std::int16_t t, LayerCapeResults& layer) {
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    layer.CapeShearDone(m, t) = kFlagTrue;
    for (int k = 3; k <= 6; ++k) layer.LayerCAPE(m, t, k) = 0.0f;

    const float lfc = store.LFCPressure(m, t);
    const float eql = store.EQLPressure(m, t);
    // First level at or above the LFC. An LFC at or below level 1 (where the
    // reader puts it when the file has none) or above the top level gives no
    // layer CAPE.
    int start = 0;
    for (int L = 1; L <= n; ++L) {
        if (store.Pressure(m, t, L) <= lfc) {
            start = L;
            break;
        }
    }
    if (start <= 1) return;

    // The parcel leaves the LFC at the temperature of its surroundings.
    const MoistAdiabat parcel(InterpTempAtPressure(store, t, lfc), lfc);
    ParcelColumn column(store, t, parcel);
    const float zLfc = StdHeightMeters(lfc);
    for (int k = 3; k <= 6; ++k) {
        // Top of the layer: k km above the station, as a whole number of
        // metres in the standard atmosphere.
        const float top =
            std::nearbyint((static_cast<float>(k) + store.StationElevation(m)) * 1000.0f);
        if (zLfc >= top) continue;
        const double area = LayerArea(column, start, n, zLfc, top, eql);
        layer.LayerCAPE(m, t, k) = static_cast<float>(std::max(0.0, area * kGravityAccel));
    }
}

void MakeCAPE(const ProfileArrays& store, std::int16_t t, LakeParcelResults& lake,
              const ParcelOptions& options) {
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    const auto& P = store.Pressure;
    const auto& Te = store.Temperature;
    lake.LakeCAPEDone(m, t) = kFlagTrue;

    // Air crossing the lake takes on much of the water's warmth and moisture.
    const float lakeT = options.LakeTempC;
    const float surfaceP = store.SurfacePressure(m, t);
    const float tp0 = 0.4f * store.SurfaceTemp(m, t) + 0.6f * lakeT;
    const float td0 = std::min(0.7f * store.SurfaceDewPoint(m, t) - 1.31f + 0.35f * lakeT, tp0);
    lake.LakeSurfaceTemp(m, t) = tp0;
    lake.LakeSurfaceDewPoint(m, t) = td0;
    const CondensationLevel lcl = BoltonLCL(tp0, td0, surfaceP);
    lake.LakeLCLPressure(m, t) = lcl.Pressure;
    lake.LakeLCLTemp(m, t) = lcl.TempK - kKelvinOffset;

    const auto notBuoyant = [&] {
        lake.LakeCAPE(m, t) = 0.0f;
        lake.LakeELDepthFt(m, t) = 0.0f;
        lake.LakeELPressure(m, t) = surfaceP;
        lake.LakeELTemp(m, t) = tp0;
        lake.LakeParcelLevelCount(m, t) = 0;
        lake.LakeNCAPE(m, t) = 0.0f;
    };
    if (n < 1 || !(tp0 > Te(m, t, 1))) {
        notBuoyant();
        return;
    }

    // Lift the parcel to the first level where it is colder than its
    // surroundings.
    const LiftedParcel parcel(lcl);
    int colder = 0;
    for (int L = 1; L <= n; ++L) {
        const float tp = parcel.TempAt(P(m, t, L));
        lake.LakeParcelTemp(m, t, L) = tp;
        if (tp < Te(m, t, L)) {
            colder = L;
            break;
        }
    }
    // Cooled below its surroundings on the way to level 1: no buoyancy.
    if (colder == 1) {
        notBuoyant();
        return;
    }
    const auto& Tp = lake.LakeParcelTemp;

    float el = P(m, t, n);
    int lastBuoyant = n;
    if (colder > 0) {
        // Equilibrium level where the temperature difference, linear in
        // pressure, changes sign between the last buoyant level and the next.
        const int below = colder - 1;
        const float a = Tp(m, t, below) - Te(m, t, below);
        const float b = Te(m, t, colder) - Tp(m, t, colder);
        el = P(m, t, below) - (P(m, t, below) - P(m, t, colder)) * (a / (a + b));
        lastBuoyant = below;
    }
    // A parcel buoyant up to the top level takes it as its equilibrium level.
    lake.LakeParcelLevelCount(m, t) = static_cast<std::int16_t>(colder > 0 ? colder : n);
    lake.LakeELPressure(m, t) = el;
    lake.LakeELTemp(m, t) = parcel.TempAt(el);
    const float depthFt = StdHeightFeet(el) - StdHeightFeet(P(m, t, 1));
    lake.LakeELDepthFt(m, t) = depthFt;

    // Positive area from the surface: level L stands for the layer up to the
    // mid-height between L and L + 1 (the top level up to its own height).
    double area = 0.0;
    float z0 = StdHeightMeters(surfaceP);
    for (int L = 1; L <= lastBuoyant; ++L) {
        const float zL = StdHeightMeters(P(m, t, L));
        const float z1 = L < n ? (StdHeightMeters(P(m, t, L + 1)) + zL) / 2.0f : zL;
        area += (Tp(m, t, L) - Te(m, t, L)) / static_cast<double>(kKelvinOffset) * (z1 - z0);
        z0 = z1;
    }
    const auto cape = static_cast<float>(area * kGravityAccel);
    lake.LakeCAPE(m, t) = cape;
    // CAPE per metre of depth (the program's foot is 0.3038 m here).
    lake.LakeNCAPE(m, t) = depthFt > 0.0f ? cape / (depthFt * 0.3038f) : 0.0f;
}

} // namespace tarvex
