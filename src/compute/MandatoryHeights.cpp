#include "compute/MandatoryHeights.h"

#include <limits>

namespace tarvex {

namespace {

constexpr double kGasConstantDryAir = 287.04; // J/(kg K)
constexpr double kGravity = 9.80616;          // m/s2
constexpr double kKelvin = 273.16;

} // namespace

float InterpH(const ProfileArrays& store, std::int16_t t, float pressure) {
    const int m = store.CurrentModel;
    const int n = store.LevelCount(m);
    const float notAvailable = std::numeric_limits<float>::quiet_NaN();
    if (n < 1) return notAvailable;

    const float p1 = store.Pressure(m, t, 1);
    if (pressure > p1) {
        // Below the lowest level (below the ground at a high site): the layer
        // down to the pressure takes the lowest level's temperature.
        const double scaleHeight =
            kGasConstantDryAir * (store.Temperature(m, t, 1) + kKelvin) / kGravity;
        return static_cast<float>(store.Height(m, t, 1) -
                                  scaleHeight * std::log(static_cast<double>(pressure) / p1));
    }
    for (int k = 2; k <= n; ++k) {
        const float pk = store.Pressure(m, t, k);
        if (pk < pressure) {
            const float pBelow = store.Pressure(m, t, k - 1);
            const float hBelow = store.Height(m, t, k - 1);
            return hBelow + (store.Height(m, t, k) - hBelow) / (pk - pBelow) * (pressure - pBelow);
        }
    }
    // At the top level exactly the height is that level's; above it there is
    // no sounding.
    if (store.Pressure(m, t, n) == pressure) return store.Height(m, t, n);
    return notAvailable;
}

void MakeThickness(const ProfileArrays& store, ThicknessResults& results) {
    const int m = store.CurrentModel;
    const int last = store.LastTime(m);
    for (int t = 0; t <= last && t < kTimeColumns; ++t)
        for (int s = kSurface1000; s <= kSurface500; ++s)
            results.ThicknessHeights(m, t, s) =
                InterpH(store, static_cast<std::int16_t>(t), kMandatoryPressures[s - 1]);
    results.ThicknessReady(m) = kFlagTrue;
}

} // namespace tarvex
