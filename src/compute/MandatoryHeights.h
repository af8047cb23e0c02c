#pragma once

#include "compute/ComputeState.h"
#include "store/ProfileArrays.h"

#include <cmath>
#include <cstdint>

namespace tarvex {

// The mandatory pressure surfaces whose heights the thickness methods read,
// numbered as the surfaces of ThicknessHeights.
inline constexpr int kSurface1000 = 1;
inline constexpr int kSurface850 = 2;
inline constexpr int kSurface700 = 3;
inline constexpr int kSurface500 = 4;
inline constexpr float kMandatoryPressures[] = {1000.0f, 850.0f, 700.0f, 500.0f};

// A height that the sounding cannot give (the surface lies above its top, or
// the time has no levels). Every reader skips it.
inline bool HeightAvailable(float height) {
    return !std::isnan(height);
}

// Heights (m above sea level) of the 1000, 850, 700 and 500 mb surfaces per
// [model, time, surface 1..4], built once per file and model.
struct ThicknessResults {
    LevelGrid<float, 5> ThicknessHeights{"ThicknessHeights"};
    // The model's table is built; the sounding reader clears it.
    ModelArray<std::int16_t> ThicknessReady{"ThicknessReady"};

    // Thickness (m) between two surfaces of one time; NaN when either height
    // is not available.
    float Thickness(int m, int t, int lowerSurface, int upperSurface) const {
        return ThicknessHeights(m, t, upperSurface) - ThicknessHeights(m, t, lowerSurface);
    }

    void ClearAfterRead() {
        for (int m = 0; m < kModelColumns; ++m) ThicknessReady(m) = kFlagFalse;
    }
};

// Height (m above sea level) of a pressure in time column t of the current
// model: linear in pressure between the two levels around it. A pressure
// below the lowest level is extrapolated from that level hypsometrically with
// its temperature. NaN (not available) above the top level or without levels.
float InterpH(const ProfileArrays& store, std::int16_t t, float pressure);

// Fills the current model's heights for every time column and marks them
// ready.
void MakeThickness(const ProfileArrays& store, ThicknessResults& results);

} // namespace tarvex
