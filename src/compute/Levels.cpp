#include "compute/Levels.h"

#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

float PressureFromAltitude(float feet) {
    return static_cast<float>(1013.2 * std::pow(1.0 - feet / 145373.5637, 5.265));
}

float StdHeightMeters(float pressure) {
    return static_cast<float>((1.0 - std::pow(pressure / 1013.2, 1.0 / 5.265)) * 44307.7);
}

float StdHeightFeet(float pressure) {
    return static_cast<float>((1.0 - std::pow(pressure / 1013.2, 1.0 / 5.265)) * 44307.7 * 3.281);
}

namespace {

// Profile levels of the current model, never more than the store can hold.
int ProfileLevels(const ProfileArrays& store) {
    return std::min<int>(store.LevelCount(store.CurrentModel), kMaxProfileLevels);
}

// Least depth (mb) of the layer a value above the top level is extended from.
constexpr float kExtrapolationDepth = 50.0f;

float InterpAtPressure(const ProfileArrays& store, const LevelField& field, int t, float p) {
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    if (n < 1) return 0.0f;
    if (n < 2) return field(m, t, 1);
    // First level above p, scanning from level 2 so that the lowest layer is
    // levels 1-2; with none, the top layer is extended.
    int level = n;
    for (int L = 2; L <= n; ++L) {
        if (store.Pressure(m, t, L) < p) {
            level = L;
            break;
        }
    }
    // Above the top level the trend comes from a layer at least
    // kExtrapolationDepth deep (or the whole profile when it is shallower),
    // so that a thin top layer cannot throw the value far off.
    int below = level - 1;
    if (p <= store.Pressure(m, t, n)) {
        while (below > 1 &&
               store.Pressure(m, t, below) - store.Pressure(m, t, n) < kExtrapolationDepth)
            --below;
    }
    const double lnUpper = std::log(store.Pressure(m, t, level));
    const double lnLower = std::log(store.Pressure(m, t, below));
    const double upper = field(m, t, level);
    const double lower = field(m, t, below);
    if (lnLower == lnUpper) return static_cast<float>(upper);
    return static_cast<float>(upper +
                              (std::log(p) - lnUpper) / (lnLower - lnUpper) * (lower - upper));
}

} // namespace

std::int16_t FindPressureLevel(const ProfileArrays& store, std::int16_t pressure) {
    if (pressure < 100) return pressure;
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    if (n < 1) return 0;
    for (int L = 1; L <= n; ++L) {
        const float level = store.Pressure(m, 0, L);
        if (level < pressure) {
            const float d1 = std::fabs(level - pressure);
            const float d0 = std::fabs(store.Pressure(m, 0, L - 1) - pressure);
            if (d0 > d1 || L == 1) return static_cast<std::int16_t>(L);
            return static_cast<std::int16_t>(L - 1);
        }
    }
    return 0;
}

std::int16_t FindHeightLevel(const ProfileArrays& store, std::int16_t t, float km) {
    const float target = km * 1000.0f;
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    if (n < 1) return 0;
    for (int L = 1; L <= n; ++L) {
        const float h = store.HeightAGL(m, t, L);
        if (h > target) {
            const float d1 = std::fabs(h - target);
            const float d0 = std::fabs(store.HeightAGL(m, t, L - 1) - target);
            return static_cast<std::int16_t>(d0 > d1 ? L : L - 1);
        }
    }
    return 0;
}

float InterpTempAtPressure(const ProfileArrays& store, std::int16_t t, float pressure) {
    return InterpAtPressure(store, store.Temperature, t, pressure);
}

float InterpFieldAtPressure(const ProfileArrays& store, std::int16_t t, float pressure) {
    return InterpAtPressure(store, store.DewPoint, t, pressure);
}

} // namespace tarvex
