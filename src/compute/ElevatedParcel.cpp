#include "compute/ElevatedParcel.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"
#include "compute/Parcels.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <array>

namespace tarvex {

namespace {

// A parcel counts as buoyant only when it is this much warmer (C).
constexpr float kBuoyantMargin = 0.005f;
// A parcel this much colder (C) than its surroundings has stopped rising.
constexpr float kStopDeficit = 10.0f;

} // namespace

void MakeECAPE(const ProfileArrays& store, std::int16_t t, std::int16_t k,
               ElevatedParcelResults& elevated) {
    const int m = store.CurrentModel;
    const int n = std::clamp<int>(store.LevelCount(m), 0, kMaxProfileLevels);
    const auto& P = store.Pressure;
    const auto& Te = store.Temperature;
    const auto& Z = store.Height;

    elevated.ElevCAPE(m, t, k) = 0.0f;
    elevated.ElevCIN(m, t, k) = 0.0f;
    elevated.ElevELDepthFt(m, t, k) = 0.0f;
    elevated.ElevELPressure(m, t, k) = P(m, t, k);
    elevated.ElevELTemp(m, t, k) = Te(m, t, k);
    elevated.ElevNCAPE(m, t, k) = 0.0f;
    elevated.ElevELLevel(m, t, k) = 0;
    // Every level the ascent below does not reach reads as absent.
    if (k >= 0 && k < kLevelSlots) {
        for (int L = 0; L < kLevelSlots; ++L)
            elevated.ElevParcelProfile(m, t, k, L) = kNoParcelTemp;
    }
    if (k < 1 || k > n) {
        elevated.ElevCAPEDone(m, t, k) = kFlagTrue;
        return;
    }

    const LiftedParcel parcel(BoltonLCL(Te(m, t, k), store.DewPoint(m, t, k), P(m, t, k)));
    // Each level stands for the layer up to the next level's height; the top
    // level has no layer above it.
    const auto thickness = [&](int L) { return L < n ? Z(m, t, L + 1) - Z(m, t, L) : 0.0f; };

    std::array<float, kLevelSlots> tp{};
    double area = 0.0;
    int last = 0;
    for (int L = k; L <= n; ++L) {
        tp[L] = parcel.TempAt(P(m, t, L));
        elevated.ElevParcelProfile(m, t, k, L) = tp[L];
        const float te = Te(m, t, L);
        if (tp[L] > te + kBuoyantMargin) {
            area += (tp[L] - te) / kKelvinOffset * thickness(L);
            last = L;
        } else if (tp[L] < te - kStopDeficit) {
            break;
        }
    }
    // Inhibition: the layers below the last buoyant level where the parcel is
    // colder than its surroundings.
    double inhibition = 0.0;
    for (int L = k; L <= last; ++L) {
        const float te = Te(m, t, L);
        if (tp[L] < te) inhibition -= (tp[L] - te) / kKelvinOffset * thickness(L);
    }
    const auto cape = static_cast<float>(area * kGravityAccel);
    elevated.ElevCAPE(m, t, k) = cape;
    elevated.ElevCIN(m, t, k) = static_cast<float>(inhibition * kGravityAccel);

    if (last > 1) {
        elevated.ElevELLevel(m, t, k) = static_cast<std::int16_t>(last);
        // Equilibrium level where the temperature difference, linear in
        // pressure, changes sign above the last buoyant level; the top level
        // when the parcel is still buoyant there.
        float el = P(m, t, last);
        if (last < n) {
            const float a = tp[last] - Te(m, t, last);
            const float b = Te(m, t, last + 1) - tp[last + 1];
            const float f = a + b > 0.0f ? a / (a + b) : 0.0f;
            el = P(m, t, last) - (P(m, t, last) - P(m, t, last + 1)) * f;
        }
        elevated.ElevELPressure(m, t, k) = el;
        elevated.ElevELTemp(m, t, k) = parcel.TempAt(el);
        elevated.ElevELDepthFt(m, t, k) = StdHeightFeet(el) - StdHeightFeet(P(m, t, 1));
        // CAPE per metre of the layer from the start level to the
        // equilibrium level; none when that layer has no depth.
        const float depth = StdHeightMeters(el) - Z(m, t, k);
        elevated.ElevNCAPE(m, t, k) = depth > 0.0f ? cape / depth : 0.0f;
    }
    elevated.ElevCAPEDone(m, t, k) = kFlagTrue;
}

} // namespace tarvex
