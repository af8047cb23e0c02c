#include "compute/WholeRun.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cstdint>

namespace tarvex {

namespace {

int ProfileLevels(const ProfileArrays& store) {
    return std::clamp<int>(store.LevelCount(store.CurrentModel), 0, kMaxProfileLevels);
}

// Time columns of the current model's run (none when LastTime is negative).
int LastColumn(const ProfileArrays& store) {
    return std::min<int>(store.LastTime(store.CurrentModel), kLastTimeColumn);
}

// Standard-atmosphere height (ft) of the highest crossing of the isotherm c
// in time column t.
float IsothermHeightFt(const ProfileArrays& store, int t, int n, float c) {
    const int m = store.CurrentModel;
    const auto& P = store.Pressure;
    const auto& T = store.Temperature;
    for (int L = n; L >= 1; --L) {
        if (T(m, t, L) <= c) continue;
        if (L == n) return StdHeightFeet(P(m, t, n));
        const float p = P(m, t, L) - (P(m, t, L) - P(m, t, L + 1)) * (T(m, t, L) - c) /
                                         (T(m, t, L) - T(m, t, L + 1));
        return StdHeightFeet(p);
    }
    return StdHeightFeet(store.SurfacePressure(m, t));
}

} // namespace

void FindTempLevel(const ProfileArrays& store, WholeRunResults& run) {
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    for (int t = 0; t <= LastColumn(store); ++t) {
        run.Minus20LevelFt(m, t) = IsothermHeightFt(store, t, n, -20.0f);
        run.FreezingLevelFt(m, t) = IsothermHeightFt(store, t, n, 0.0f);
    }
    run.IsothermsDone(m) = kFlagTrue;
}

void MakeWarmCloudDepth(const ProfileArrays& store, WholeRunResults& run) {
    const int m = store.CurrentModel;
    if (run.IsothermsDone(m) != kFlagTrue) FindTempLevel(store, run);
    const int last = LastColumn(store);
    if (last >= 0) {
        const float groundFt = StdHeightFeet(store.SurfacePressure(m, 0));
        for (int t = 0; t <= last; ++t) {
            const float depth =
                std::max(0.0f, run.FreezingLevelFt(m, t) - StdHeightFeet(store.LCLPressure(m, t)));
            run.WarmCloudDepth(m, t) = depth;
            run.WarmCloudTop(m, t) = groundFt + depth;
        }
    }
    run.WarmCloudDone(m) = kFlagTrue;
}

void MakeTQ(const ProfileArrays& store, WholeRunResults& run) {
    const int m = store.CurrentModel;
    for (int t = 0; t <= LastColumn(store); ++t) {
        const auto time = static_cast<std::int16_t>(t);
        run.TQ(m, t) = InterpTempAtPressure(store, time, 850.0f) +
                       InterpFieldAtPressure(store, time, 850.0f) -
                       1.7f * InterpTempAtPressure(store, time, 700.0f);
    }
    run.TQDone(m) = kFlagTrue;
}

void SmoothOmega(const ProfileArrays& store, WholeRunResults& run) {
    const int m = store.CurrentModel;
    const int n = ProfileLevels(store);
    const int last = LastColumn(store);
    const auto& F = store.Omega;
    for (int t = 0; t <= last; ++t) {
        for (int L = 1; L <= n; ++L) {
            // The centre twice, then each neighbour the run has.
            float sum = 2.0f * F(m, t, L);
            int terms = 2;
            const auto add = [&](bool exists, int time, int level) {
                if (!exists) return;
                sum += F(m, time, level);
                ++terms;
            };
            add(t > 0, t - 1, L);
            add(t < last, t + 1, L);
            add(L > 1, t, L - 1);
            add(L < n, t, L + 1);
            run.SmoothedOmega(m, t, L) = sum / static_cast<float>(terms);
        }
    }
    run.SmoothedOmegaDone(m) = kFlagTrue;
}

} // namespace tarvex
