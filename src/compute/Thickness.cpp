#include "compute/Thickness.h"

#include "compute/ComputeState.h"
#include "compute/ProfileInterp.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

void ThicknessResults::ClearAfterRead() {
    for (int m = 0; m < kModelColumns; ++m) ThicknessReady(m) = kFlagFalse;
}

float InterpH(const ProfileArrays& store, std::int16_t t, float p) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    const auto& P = store.Pressure;
    const auto& H = store.Height;
    for (int k = 1; k <= n; ++k) {
        if (P(m, t, k) < p) {
            return H(m, t, k - 1) + (H(m, t, k) - H(m, t, k - 1)) / (P(m, t, k) - P(m, t, k - 1)) *
                                        (p - P(m, t, k - 1));
        }
    }
    return 0.0f;
}

void MakeThickness(const ProfileArrays& store, ThicknessResults& thickness) {
    const int m = store.CurrentModel;
    const int last = std::min<int>(store.LastTime(m), kLastTimeColumn);
    for (int t = 0; t <= last; ++t) {
        const auto column = static_cast<std::int16_t>(t);
        const float ps = store.SurfacePressure(m, t);
        float h1000 = 0.0f;
        if (ps > 0.0f && ps < 1000.0f) {
            const double ts = store.SurfaceTemp(m, t) + 273.16;
            h1000 = static_cast<float>(store.Height(m, t, 0) -
                                       287.04 * ts / 9.80616 * std::log(1000.0 / ps));
        } else {
            h1000 = InterpH(store, column, 1000.0f);
        }
        thickness.ThicknessHeights(m, t, 1) = h1000;
        for (int k = 2; k < ThicknessResults::kSurfaces; ++k)
            thickness.ThicknessHeights(m, t, k) =
                InterpH(store, column, ThicknessResults::kSurfacePressures[k]);
    }
    thickness.ThicknessReady(m) = kFlagTrue;
}

} // namespace tarvex
