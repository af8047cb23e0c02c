#include "compute/StormMotion.h"

#include "compute/ComputeState.h"
#include "compute/Winds.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvex {

namespace {

// Deviation of a supercell from the 0-6 km mean wind (m/s).
constexpr float kDeviation = 7.5f;

struct Wind {
    float u = 0.0f;
    float v = 0.0f;
};

// Wind of profile level L; calm when the profile has no such level.
Wind LevelWind(const ProfileArrays& store, int m, int t, int L) {
    if (L < 1) return {};
    return {store.WindU.Level(m, t, L), store.WindV.Level(m, t, L)};
}

// One walk up the profile from level 1: the winds of the levels at least
// `base` m above the station are summed until the first level more than `top`
// m above it, where the walk stops.
struct LayerWalk {
    float sumU = 0.0f;
    float sumV = 0.0f;
    int count = 0;
    int stop = 0; // the level that ended the walk; 0 when the profile ended first

    Wind MeanOr(Wind empty) const {
        if (count == 0) return empty;
        return {sumU / static_cast<float>(count), sumV / static_cast<float>(count)};
    }
};

LayerWalk WalkLayer(const ProfileArrays& store, int m, int t, int n, float base, float top) {
    const float elevation = store.StationElevation(m) * 1000.0f;
    LayerWalk walk;
    for (int L = 1; L <= n; ++L) {
        const float h = store.Height(m, t, L) - elevation;
        if (h > top) {
            walk.stop = L;
            break;
        }
        if (h >= base) {
            walk.sumU += store.WindU.Level(m, t, L);
            walk.sumV += store.WindV.Level(m, t, L);
            ++walk.count;
        }
    }
    return walk;
}

} // namespace

void MakeStormMotion(ProfileArrays& store, std::int16_t t, StormMotionResults& storm) {
    const int m = store.CurrentModel;
    const int n = std::clamp<int>(store.LevelCount(m), 0, kMaxProfileLevels);
    constexpr float kNoBase = std::numeric_limits<float>::lowest();

    // An empty layer (the lowest level already above it) takes the lowest
    // level's wind.
    const Wind lowest = LevelWind(store, m, t, n >= 1 ? 1 : 0);
    const Wind mean06 = WalkLayer(store, m, t, n, kNoBase, 6000.0f).MeanOr(lowest);
    const Wind mean05 = WalkLayer(store, m, t, n, kNoBase, 500.0f).MeanOr(lowest);
    // With no level between 5.5 and 6 km the upper wind is that of the first
    // level above 6 km, or of the top level when the profile never gets there.
    const LayerWalk upperWalk = WalkLayer(store, m, t, n, 5500.0f, 6000.0f);
    const Wind upper =
        upperWalk.MeanOr(LevelWind(store, m, t, upperWalk.stop > 0 ? upperWalk.stop : n));

    storm.MeanWind06Dir(m, t) = DirectionFromUV(mean06.u, mean06.v);
    storm.MeanWind06Speed(m, t) = std::sqrt(mean06.u * mean06.u + mean06.v * mean06.v);

    // The deviation is perpendicular to the shear vector, to its right for the
    // right mover. Without shear there is no direction to deviate in, and
    // both movers travel with the mean wind.
    const float du = upper.u - mean05.u;
    const float dv = upper.v - mean05.v;
    const float shear = std::sqrt(du * du + dv * dv);
    const float devU = shear > 0.0f ? kDeviation * dv / shear : 0.0f;
    const float devV = shear > 0.0f ? -kDeviation * du / shear : 0.0f;
    storm.RightMoverU(m, t) = mean06.u + devU;
    storm.RightMoverV(m, t) = mean06.v + devV;
    storm.LeftMoverU(m, t) = mean06.u - devU;
    storm.LeftMoverV(m, t) = mean06.v - devV;

    const float stormU = storm.RightMoverU(m, t);
    const float stormV = storm.RightMoverV(m, t);
    store.StormU(m, t) = stormU;
    store.StormV(m, t) = stormV;
    store.WindU.Storm(m, t) = stormU;
    store.WindV.Storm(m, t) = stormV;
    storm.StormDir(m, t) = DirectionFromUV(stormU, stormV);
    storm.StormSpeed(m, t) = std::sqrt(stormU * stormU + stormV * stormV);
}

} // namespace tarvex
