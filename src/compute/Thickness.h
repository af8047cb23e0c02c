#pragma once

#include "store/ProfileArrays.h"

#include <cstdint>

namespace tarvex {

// Heights (m above sea level) of the 1000, 850, 700 and 500 mb surfaces per
// [model, time], surfaces 1 to 4 (index 0 unused), and a ready flag per model.
// A height of 0 means the surface lies above the top of the sounding.
struct ThicknessResults {
    static constexpr int kSurfaces = 5;
    static constexpr float kSurfacePressures[kSurfaces] = {0.0f, 1000.0f, 850.0f, 700.0f, 500.0f};
    LevelGrid<float, kSurfaces> ThicknessHeights{"ThicknessHeights"};
    ModelArray<std::int16_t> ThicknessReady{"ThicknessReady"};

    void ClearAfterRead();
};

// Height (m) at pressure p (mb) in time column t of the current model, linear
// in pressure between the first level above p and the level beneath it; 0
// when no level lies above p.
float InterpH(const ProfileArrays& store, std::int16_t t, float p);

// Fills the four heights of every time column of the current model. Below
// the ground 1000 mb is reached by the hydrostatic extrapolation with the
// surface temperature. Sets ThicknessReady.
void MakeThickness(const ProfileArrays& store, ThicknessResults& thickness);

} // namespace tarvex
