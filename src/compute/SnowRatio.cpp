#include "compute/SnowRatio.h"

#include "compute/Levels.h"
#include "compute/ProfileInterp.h"
#include "compute/TimeHeightFields.h"

#include <array>
#include <cmath>
#include <utility>

namespace tarvex {

namespace {

// (temperature deg C, ratio) points of the omega-weighted technique.
constexpr std::array<std::pair<float, float>, 13> kZoneOmegaTable = {{
    {-100.0f, 10.0f},
    {-22.0f, 10.0f},
    {-20.0f, 15.0f},
    {-17.0f, 45.0f},
    {-16.0f, 50.0f},
    {-15.0f, 45.0f},
    {-11.0f, 10.0f},
    {-10.0f, 7.0f},
    {-9.0f, 6.5f},
    {-5.0f, 7.5f},
    {0.0f, 3.0f},
    {1.0f, 0.0f},
    {100.0f, 0.0f},
}};

} // namespace

float ZoneOmegaTableRatio(float temperature) {
    if (temperature < kZoneOmegaTable.front().first) return kZoneOmegaTable.front().second;
    for (std::size_t k = 1; k < kZoneOmegaTable.size(); ++k) {
        const auto [t1, r1] = kZoneOmegaTable[k];
        if (t1 > temperature) {
            const auto [t0, r0] = kZoneOmegaTable[k - 1];
            return r0 + (r1 - r0) / (t1 - t0) * (temperature - t0);
        }
    }
    return kZoneOmegaTable.back().second;
}

float MaxTempSnowRatio(float Tmax) {
    if (Tmax > 2.0f) return 0.0f;
    if (Tmax > 0.0f) return 10.0f;
    if (Tmax > -10.0f) return 10.0f - 1.5f * Tmax;
    if (Tmax > -18.0f) return 25.0f;
    if (Tmax > -22.0f) return 25.0f + 2.5f * (Tmax + 18.0f);
    return 15.0f;
}

float SurfaceTempSnowRatio(float Ts) {
    if (Ts > 2.0f) return 0.0f;
    if (Ts > -2.2f) return 10.0f;
    if (Ts >= -6.6f) return 15.0f;
    if (Ts > -9.4f) return 20.0f;
    if (Ts > -12.2f) return 30.0f;
    if (Ts > -17.7f) return 40.0f;
    if (Ts > -28.8f) return 50.0f;
    return 100.0f;
}

void MakeSnowRatio_DGZxOmega(const ProfileArrays& store, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    for (int t = 0; t <= store.LastTime(m); ++t) {
        fields.SnowRatio(m, t) = 0.0f;
        auto saturated = [&](int L) { return store.RelativeHumidityIce(m, t, L) >= 90.0f; };
        float omegaMin = 1000.0f;
        for (int L = 1; L <= n - 1; ++L)
            if (saturated(L) && store.Omega(m, t, L) < omegaMin) omegaMin = store.Omega(m, t, L);
        if (!(omegaMin < 0.0f)) continue;
        double sum = 0.0;
        double weighted = 0.0;
        for (int L = 1; L <= n - 1; ++L) {
            if (!saturated(L)) continue;
            const double omega = store.Omega(m, t, L);
            const double depth = StdHeightMeters(store.Pressure(m, t, L + 1)) -
                                 StdHeightMeters(store.Pressure(m, t, L));
            const double w = (omega / omegaMin) * (omega / omegaMin) * std::fabs(omega) * depth;
            sum += w;
            weighted += w * ZoneOmegaTableRatio(store.Temperature(m, t, L));
        }
        // Saturated levels of no depth weigh nothing: no ratio.
        if (sum != 0.0) fields.SnowRatio(m, t) = static_cast<float>(weighted / sum);
    }
}

void MakeSnowRatio(const ProfileArrays& store, std::int16_t SnowRatioTechnique, int FixedRatio,
                   TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    const int last = store.LastTime(m);
    switch (SnowRatioTechnique) {
    case kSnowRatioZoneOmega:
        MakeSnowRatio_DGZxOmega(store, fields);
        break;
    case kSnowRatioMaxTemp:
        for (int t = 0; t <= last; ++t) {
            float Tmax = -999.0f;
            for (int L = 1; L <= n; ++L) Tmax = std::max(Tmax, store.Temperature(m, t, L));
            fields.SnowRatio(m, t) = MaxTempSnowRatio(Tmax);
        }
        break;
    case kSnowRatioSurfaceTemp:
        for (int t = 0; t <= last; ++t)
            fields.SnowRatio(m, t) = SurfaceTempSnowRatio(store.Temperature(m, t, 1));
        break;
    case kSnowRatioFixed:
        for (int t = 0; t <= last; ++t) fields.SnowRatio(m, t) = static_cast<float>(FixedRatio);
        break;
    default:
        break;
    }
    fields.SnowRatioDone = true;
}

} // namespace tarvex
