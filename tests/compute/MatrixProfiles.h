#pragma once

// Soundings whose hodographs take the shapes the storm matrix sorts: loops,
// straight pieces and calm layers at chosen heights.

#include "compute/ProfileBuilder.h"

#include <memory>
#include <utility>
#include <vector>

namespace tarvex::test {

inline constexpr int kMatrixModel = 1;
using Wind = std::pair<float, float>; // u, v m/s

// A loop of side a through levels 1 to 6 (0 to 2.5 km), clockwise (veering)
// or anticlockwise, back to the start: length 4 a, helicity +-2 a^2.
inline std::vector<Wind> Loop(float a, bool clockwise) {
    if (clockwise) return {{0, 0}, {0, a}, {a, a}, {a, 0}, {0, 0}, {0, 0}};
    return {{0, 0}, {a, 0}, {a, a}, {0, a}, {0, 0}, {0, 0}};
}

// Writes time column t of model 1: 17 levels 500 m apart from the ground
// (level 6 at 2.5 km, 11 at 5 km, 16 at 7.5 km), 1000 mb falling 45 mb a
// level, 20 C over a dew point of 10 C; levels 1..6 blow the low winds,
// 7..11 the winds aloft (whose first wind is level 6's), the rest keep the
// last wind.
inline void WriteMatrixSounding(ProfileArrays& store, const std::vector<Wind>& low,
                                const std::vector<Wind>& aloft = {}, int t = 0) {
    store.CurrentModel = kMatrixModel;
    OneTimeProfile p;
    std::vector<Wind> winds = low;
    for (std::size_t k = 1; k < aloft.size(); ++k) winds.push_back(aloft[k]);
    while (winds.size() < 17) winds.push_back(winds.back());
    for (int L = 1; L <= 17; ++L) {
        const Wind w = winds[static_cast<std::size_t>(L - 1)];
        p.Levels.push_back(SoundingLevel{1000.0f - 45.0f * (L - 1), 500.0f * (L - 1), 20.0f, 10.0f,
                                         w.first, w.second});
    }
    WriteProfile(store, p, t);
}

inline std::unique_ptr<ProfileArrays> MatrixSounding(const std::vector<Wind>& low,
                                                     const std::vector<Wind>& aloft = {}) {
    auto store = NewStore();
    WriteMatrixSounding(*store, low, aloft);
    return store;
}

} // namespace tarvex::test
