#include "compute/TimeHeightFields.h"

#include "compute/ComputeState.h"
#include "compute/Hodograph.h"
#include "compute/Levels.h"
#include "compute/ProfileInterp.h"

#include <cmath>

namespace tarvex {

namespace {

constexpr float kKnotsPerMs = 1.94254f;
constexpr double kRadiansPerDegree = 0.017453236666666667;

// Calls fill(t, L) for every hour of the current model and level 1..count.
template <typename Fill> void ForEachLevel(const ProfileArrays& store, Fill fill) {
    const int n = StoredLevelCount(store);
    for (int t = 0; t <= store.LastTime(store.CurrentModel); ++t)
        for (int L = 1; L <= n; ++L) fill(t, L);
}

template <typename Fill> void ForEachHour(const ProfileArrays& store, Fill fill) {
    for (int t = 0; t <= store.LastTime(store.CurrentModel); ++t) fill(t);
}

std::int16_t& Done(ModelArray<std::int16_t>& flags, const ProfileArrays& store) {
    return flags(store.CurrentModel);
}

} // namespace

void MakeLayerShear(const ProfileArrays& store, bool PerKm, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    ForEachHour(store, [&](int t) {
        double uP = store.SurfaceU(m, t);
        double vP = store.SurfaceV(m, t);
        const float surfaceFeet = StdHeightFeet(store.SurfacePressure(m, t));
        double length = 0.0;
        for (int L = 1; L <= n; ++L) {
            const double s = store.WindSpeed(m, t, L) / kKnotsPerMs;
            const double angle = (270.0 - store.WindDirection(m, t, L)) * kRadiansPerDegree;
            const double u = s * std::cos(angle);
            const double v = s * std::sin(angle);
            length += std::hypot(u - uP, v - vP);
            float value = static_cast<float>(length);
            if (PerKm) {
                const float depth =
                    (StdHeightFeet(store.Pressure(m, t, L)) - surfaceFeet) / 3281.0f;
                value = depth <= 0.5f ? 0.0f : value / depth;
            }
            fields.LayerShearField(m, t, L) = value;
            uP = u;
            vP = v;
        }
    });
    Done(fields.LayerShearDone, store) = kFlagTrue;
}

void MakeShearContour(const ProfileArrays& store, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    ForEachHour(store, [&](int t) {
        // Mean wind of the levels within 500 m of the lowest one, and each
        // level's difference from it.
        double sumU = 0.0;
        double sumV = 0.0;
        int count = 0;
        for (int L = 1; L <= n && store.HeightAGL(m, t, L) <= 500.0f; ++L) {
            sumU += store.WindU.Level(m, t, L);
            sumV += store.WindV.Level(m, t, L);
            ++count;
        }
        for (int L = 1; L <= n; ++L) {
            if (count == 0) {
                fields.ShearContourField(m, t, L) = 0.0f;
                continue;
            }
            const double du = sumU / count - store.WindU.Level(m, t, L);
            const double dv = sumV / count - store.WindV.Level(m, t, L);
            fields.ShearContourField(m, t, L) = static_cast<float>(std::hypot(du, dv));
        }
    });
    Done(fields.ShearContourDone, store) = kFlagTrue;
}

void MakeDeltaThetaE(const ProfileArrays& store, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    ForEachLevel(store, [&](int t, int L) {
        fields.DeltaThetaEField(m, t, L) = store.ThetaE(m, t, L) - store.ThetaE(m, t, 1);
    });
    Done(fields.DeltaThetaEDone, store) = kFlagTrue;
}

void MakeIcing(const ProfileArrays& store, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    ForEachLevel(store, [&](int t, int L) {
        const float T = store.Temperature(m, t, L);
        float value = -8.0f * (T - store.DewPoint(m, t, L)) - T;
        if (value > 0.0f && T > 0.0f) value = 0.0f;
        fields.IcingField(m, t, L) = value;
    });
    Done(fields.IcingDone, store) = kFlagTrue;
}

void MakeMeanMixingRatio(const ProfileArrays& store, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    ForEachHour(store, [&](int t) {
        double sum = 0.0;
        for (int L = 1; L <= n; ++L) {
            sum += store.MixingRatio(m, t, L);
            fields.MeanMixingRatioField(m, t, L) = static_cast<float>(sum / L);
        }
    });
    Done(fields.MeanMixingRatioDone, store) = kFlagTrue;
}

std::int16_t HainesTerm(float difference, float limit1, float limit2) {
    if (difference < limit1) return 1;
    if (difference < limit2) return 2;
    return 3;
}

void MakeHainesIndex(const ProfileArrays& store, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    ForEachHour(store, [&](int t) {
        const auto c = static_cast<std::int16_t>(t);
        const float t950 = InterpTempAtPressure(store, c, 950.0f);
        const float t850 = InterpTempAtPressure(store, c, 850.0f);
        const float t700 = InterpTempAtPressure(store, c, 700.0f);
        const float t500 = InterpTempAtPressure(store, c, 500.0f);
        const float td850 = InterpFieldAtPressure(store, c, 850.0f);
        const float td700 = InterpFieldAtPressure(store, c, 700.0f);
        fields.HainesIndexField(m, t, 1) = static_cast<std::int16_t>(
            HainesTerm(t950 - t850, 3.5f, 7.5f) + HainesTerm(t850 - td850, 5.5f, 9.5f));
        fields.HainesIndexField(m, t, 2) = static_cast<std::int16_t>(
            HainesTerm(t850 - t700, 5.5f, 10.5f) + HainesTerm(t850 - td850, 5.5f, 12.5f));
        fields.HainesIndexField(m, t, 3) = static_cast<std::int16_t>(
            HainesTerm(t700 - t500, 17.5f, 21.5f) + HainesTerm(t700 - td700, 14.5f, 20.5f));
    });
    Done(fields.HainesIndexDone, store) = kFlagTrue;
}

void MakeTotalTotals(const ProfileArrays& store, std::int16_t TotalTotalsLevel,
                     TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const auto level = static_cast<float>(TotalTotalsLevel);
    ForEachHour(store, [&](int t) {
        const auto c = static_cast<std::int16_t>(t);
        const float t500 = InterpTempAtPressure(store, c, 500.0f);
        fields.TotalTotalsField(m, t) = (InterpTempAtPressure(store, c, level) - t500) +
                                        (InterpFieldAtPressure(store, c, level) - t500);
    });
    Done(fields.TotalTotalsDone, store) = kFlagTrue;
}

void MakeLevelTemperature(const ProfileArrays& store, std::int16_t LakeIndexLevel,
                          TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    const int n = StoredLevelCount(store);
    const auto p = static_cast<double>(LakeIndexLevel);
    ForEachHour(store, [&](int t) {
        float value = kMissingField;
        for (int L = 1; L <= n; ++L) {
            const float pL = store.Pressure(m, t, L);
            if (!(pL < p)) continue;
            if (L == 1) {
                // The surface lies above the lake-index pressure: no level
                // below to interpolate from.
                value = store.Temperature(m, t, 1);
            } else {
                const double lnBelow = std::log(store.Pressure(m, t, L - 1));
                const double lnAbove = std::log(pL);
                const double tBelow = store.Temperature(m, t, L - 1);
                const double tAbove = store.Temperature(m, t, L);
                value = lnBelow == lnAbove ? static_cast<float>(tAbove)
                                           : static_cast<float>(tAbove + (std::log(p) - lnAbove) /
                                                                             (lnBelow - lnAbove) *
                                                                             (tBelow - tAbove));
            }
            break;
        }
        fields.LevelTemperatureField(m, t) = value;
    });
    Done(fields.LevelTemperatureDone, store) = kFlagTrue;
}

void MakeHodoParamsAllHours(const ProfileArrays& store, float HodoTopKm, HodographResults& hodo,
                            TimeHeightFields& fields) {
    ForEachHour(store, [&](int t) {
        MakeHodoParams(store, static_cast<std::int16_t>(t), HodoTopKm, hodo);
    });
    Done(fields.HodoParamsAllHoursDone, store) = kFlagTrue;
}

void MakePTypeSummary(const ProfileArrays& store, const PTypeResults& ptype,
                      TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    auto& seen = fields.PTypeSeen;
    seen.fill(false);
    ForEachHour(store, [&](int t) {
        const float precip = store.Precip(m, t);
        if (!(precip > 0.0f)) return;
        const float convective = store.ConvPrecip(m, t);
        switch (ptype.PTypeCode(m, t)) {
        case kPTypeRain:
            if (convective > 0.0f) seen[0] = true;
            if (convective < precip) seen[1] = true;
            break;
        case kPTypeSnow:
            seen[2] = true;
            break;
        case kPTypeFreezingRain:
            seen[3] = true;
            break;
        case kPTypeIcePellets:
            seen[4] = true;
            break;
        default:
            break;
        }
    });
}

} // namespace tarvex
