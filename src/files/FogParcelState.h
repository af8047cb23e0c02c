#pragma once

#include "store/ProfileArrays.h"

#include <array>
#include <cstdint>

namespace tarvex {

// What the fog panel and the entraining-parcel frame keep between draws.
struct FogParcelState {
    // A crossover temperature of XoverManual that means "none entered".
    static constexpr float kNoManualCrossover = 999.0f;
    // The entraining-parcel frame of an hour is not decided yet.
    static constexpr std::int16_t kFrameUndecided = -1;

    FogParcelState() { ClearAfterRead(); }

    // Crossover temperature (deg C) the user entered for each hour, or
    // kNoManualCrossover.
    TimeGrid<float> XoverManual{"XoverManual"};
    // The crossover temperature (deg C) each model's fog panel used last.
    std::array<float, kModelColumns> XoverTemp{};
    // Whether some start level of the hour lifts a parcel with CAPE: -1 not
    // decided, 0 none, 1 some.
    TimeGrid<std::int16_t> ECAPEFrameState{"ECAPEFrameState"};

    // A new file: no hour has a manual crossover or a decided frame.
    void ClearAfterRead() {
        for (int m = 0; m < kModelColumns; ++m) {
            for (int t = 0; t < kTimeColumns; ++t) {
                XoverManual(m, t) = kNoManualCrossover;
                ECAPEFrameState(m, t) = kFrameUndecided;
            }
        }
    }
};

} // namespace tarvex
