#include "compute/ProfileInterp.h"

#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

int StoredLevelCount(const ProfileArrays& store) {
    return std::clamp<int>(store.LevelCount(store.CurrentModel), 0, kMaxProfileLevels);
}

int DrawnLevelCount(const ProfileArrays& store) {
    return std::min<int>(store.DrawLevelCount(store.CurrentModel), StoredLevelCount(store));
}

float InterpolateP(const ProfileArrays& store, std::int16_t t, std::int16_t k, float value) {
    const int m = store.CurrentModel;
    const double a = std::log(store.Pressure(m, t, k - 1));
    const double b = std::log(store.Pressure(m, t, k));
    const double ta = store.Temperature(m, t, k - 1);
    const double tb = store.Temperature(m, t, k);
    if (ta == tb) return store.Pressure(m, t, k - 1);
    return static_cast<float>(std::exp(a + (b - a) / (tb - ta) * (value - ta)));
}

float InterpRHAtPressure(const ProfileArrays& store, std::int16_t t, float p) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    // The first level strictly above p; with none the top layer is extended
    // (the level beyond the top holds no value).
    int k = 1;
    if (n >= 1) {
        k = n;
        for (int L = 1; L <= n; ++L) {
            if (store.Pressure(m, t, L) < p) {
                k = L;
                break;
            }
        }
    }
    const double lnUpper = std::log(store.Pressure(m, t, k));
    const double lnLower = std::log(store.Pressure(m, t, k - 1));
    const double upper = store.RelativeHumidity(m, t, k);
    const double lower = store.RelativeHumidity(m, t, k - 1);
    if (lnLower == lnUpper) return static_cast<float>(upper);
    return static_cast<float>(upper +
                              (std::log(p) - lnUpper) / (lnLower - lnUpper) * (lower - upper));
}

} // namespace tarvex
