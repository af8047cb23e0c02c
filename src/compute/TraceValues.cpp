#include "compute/TraceValues.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ProfileInterp.h"
#include "compute/TimeHeightFields.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

double CelsiusToFahrenheit(double celsius) {
    return celsius * 9.0 / 5.0 + 32.0;
}

float OldWindChill(float temperature, float knots) {
    const double F = CelsiusToFahrenheit(temperature);
    const double V = std::max(knots * kMphPerKnot, 4.08);
    return static_cast<float>(91.4 + (F - 91.4) * (3.71 * std::sqrt(V) + 5.81 - 0.25 * V) * 0.0817);
}

float NewWindChill(float temperature, float knots) {
    const double F = CelsiusToFahrenheit(temperature);
    const double W = std::pow(knots * kMphPerKnot, 0.16);
    const double chill = 35.74 + 0.6215 * F - 35.75 * W + 0.4274 * F * W;
    return static_cast<float>(std::min(chill, F));
}

double VisibilityDepth(double miles, double VisibilityScaleMax) {
    const double top = std::max(VisibilityScaleMax, 0.0);
    const double kept = std::clamp(miles, 0.0, top);
    return (top - kept) * (top - kept);
}

void MakeSnowGrowth(const ProfileArrays& store, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    for (int t = 0; t <= store.LastTime(m); ++t) {
        for (int k = 1; k <= n; ++k) {
            const float T = store.Temperature(m, t, k);
            float mark = 0.0f;
            if (T >= -18.0f && T <= -12.0f)
                mark = store.RelativeHumidity(m, t, k) > 75.0f ? 21 : 10;
            fields.SnowGrowthField(m, t, k) = mark;
        }
    }
    fields.SnowGrowthDone(m) = kFlagTrue;
}

float MoistLakeIndexOf(const ProfileArrays& store, std::int16_t t, float LakeTemperature) {
    const int m = store.CurrentModel;
    const double lake = std::nearbyint(LakeTemperature);
    const double aloft = InterpTempAtPressure(store, t, store.SurfacePressure(m, t) - 150.0f);
    const double low = (store.Temperature(m, t, 1) + store.Temperature(m, t, 2)) / 2.0;
    return static_cast<float>(aloft - ((lake + low) / 2.0 - 9.0));
}

std::int16_t InversionTopLevel(const ProfileArrays& store) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    for (int k = n; k >= 1; --k)
        if (store.Pressure(m, 0, k) > 400.0f) return static_cast<std::int16_t>(std::min(k, n - 1));
    return 0;
}

bool InversionLayer(const ProfileArrays& store, int t, int l, const InversionThresholds& limits) {
    const int m = store.CurrentModel;
    const float upper = store.Temperature(m, t, l + 1);
    const float rise = upper - store.Temperature(m, t, l);
    if (rise >= limits.InversionMinRise) return true;
    const float depression = upper - store.DewPoint(m, t, l + 1);
    return rise >= limits.StableMinRise && depression >= limits.StableMinDepression;
}

} // namespace tarvex
