#include "compute/Hodograph.h"

#include "compute/Levels.h"
#include "compute/Winds.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

// Top level of a new hodograph layer: the level nearest `km` above ground.
// A profile that ends below that height gives its top level, and a height
// nearest the ground gives level 1, so the layer always has a depth and is
// not chosen again on the next call.
std::int16_t ChooseTopLevel(const ProfileArrays& store, std::int16_t t, float km) {
    const int m = store.CurrentModel;
    const int n = std::clamp<int>(store.LevelCount(m), 0, kMaxProfileLevels);
    if (n < 1) return 0;
    const std::int16_t L = FindHeightLevel(store, t, km);
    if (L > 0) return L;
    if (km * 1000.0f >= store.HeightAGL(m, t, n)) return static_cast<std::int16_t>(n);
    return 1;
}

} // namespace

void MakeHodoParams(const ProfileArrays& store, std::int16_t t, float HodoTopKm,
                    HodographResults& hodo) {
    const int m = store.CurrentModel;
    if (hodo.HodoTopLevel(m, t) == 0) {
        const std::int16_t top = ChooseTopLevel(store, t, HodoTopKm);
        hodo.HodoBaseLevel(m, t) = 0;
        hodo.HodoTopLevel(m, t) = top;
        // A profile without levels has no layer to choose: nothing else needs
        // recomputing then.
        if (top > 0)
            for (int k = 0; k <= std::clamp<int>(store.LastTime(m), 0, kLastTimeColumn); ++k)
                hodo.HodoDone(m, k) = kFlagFalse;
    }
    const int top = hodo.HodoTopLevel(m, t);
    const int base = hodo.HodoBaseLevel(m, t);
    const float stormU = store.StormU(m, t);
    const float stormV = store.StormV(m, t);

    for (int L = 0; L <= top; ++L) {
        hodo.SRWindU(m, t, L) = store.WindU.Level(m, t, L) - stormU;
        hodo.SRWindV(m, t, L) = store.WindV.Level(m, t, L) - stormV;
    }
    const auto speed = [](float u, float v) { return std::sqrt(u * u + v * v); };
    float u = hodo.SRWindU(m, t, 0);
    float v = hodo.SRWindV(m, t, 0);
    hodo.SRSpeedBase(m, t) = speed(u, v);
    hodo.SRDirBase(m, t) = DirectionFromUV(u, v);
    u = hodo.SRWindU(m, t, top);
    v = hodo.SRWindV(m, t, top);
    hodo.SRSpeedTop(m, t) = speed(u, v);
    hodo.SRDirTop(m, t) = DirectionFromUV(u, v);

    // Helicity: the cross product of successive storm-relative winds, twice
    // the area the storm-relative wind sweeps as it turns clockwise with
    // height. Length: the sum of the wind differences between levels.
    float helicity = 0.0f;
    float length = 0.0f;
    for (int L = base + 1; L <= top; ++L) {
        helicity += hodo.SRWindU(m, t, L) * hodo.SRWindV(m, t, L - 1) -
                    hodo.SRWindU(m, t, L - 1) * hodo.SRWindV(m, t, L);
        length += speed(store.WindU.Level(m, t, L) - store.WindU.Level(m, t, L - 1),
                        store.WindV.Level(m, t, L) - store.WindV.Level(m, t, L - 1));
    }
    hodo.Helicity(m, t) = helicity;
    hodo.HodoLength(m, t) = length;
    // A top at the ground has no depth to spread the shear over.
    const float depthKm = store.HeightAGL(m, t, top) / 1000.0f;
    hodo.MeanShear(m, t) = depthKm != 0.0f ? length / depthKm : 0.0f;
    hodo.HodoDone(m, t) = kFlagTrue;
}

} // namespace tarvex
