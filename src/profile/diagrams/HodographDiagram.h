#pragma once

#include "compute/ComputeState.h"
#include "store/ProfileArrays.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

class PictureSurface;
struct Session;

// What the main window keeps for its hodograph picture: the range shown, the
// boundaries the forecaster placed and the point under the mouse.
struct HodographView {
    // Starting, and the bounds of, the half-width of the picture (m/s). The
    // zoom buttons change it by a factor of 1.2 within the bounds.
    static constexpr float kStartRange = 26.0f;
    static constexpr float kZoomFactor = 1.2f;
    static constexpr float kMinRange = 5.0f;
    static constexpr float kMaxRange = 150.0f;
    // HodoPick values: nothing under the mouse, the storm motion; 0 and up
    // are wind levels.
    static constexpr std::int16_t kNoPick = -9999;
    static constexpr std::int16_t kStormPick = -1;

    // Half-width of the picture in m/s: x runs from -HodoRange to HodoRange,
    // y from HodoRange at the top to -HodoRange at the bottom.
    float HodoRange = kStartRange;
    // Boundary motion (m/s) per [model, time], and whether it is drawn.
    TimeField BoundaryU{"BoundaryU"};
    TimeField BoundaryV{"BoundaryV"};
    TimeGrid<std::int16_t> BoundaryShown{"BoundaryShown"};
    // The hodograph point the mouse hovered over last.
    std::int16_t HodoPick = 0;
    // Winds of the dragged level and its neighbours when the button went
    // down, for every level a sounding can have.
    std::array<float, kLevelSlots> DragBaseU{};
    std::array<float, kLevelSlots> DragBaseV{};

    // Boundaries belong to the sounding they were placed on.
    void ClearAfterRead() { ClearTimeFlags(BoundaryShown); }
};

// The texts of the labels beside the hodograph, and whether the reset button
// is enabled (the winds or the boundary of the hour were edited).
struct HodographCaptions {
    std::string lblInflow;
    std::string lblSRInflowHigh;
    std::string lblSRInflowLow;
    std::string lblStormMotion;
    std::string lblMean;
    bool ResetEnabled = false;
};

// Redraws the hodograph of time column t of the current model: range rings,
// layer CAPE, the mean wind and the two movers, the wind trace of the layer,
// the CAPE, CINS, helicity and shear lines, and the storm motion with either
// the storm-relative winds at the layer base and top or, with a boundary
// shown, the boundary and the motion of the storm and the mean wind against
// it. Computes the hodograph quantities and layer CAPE when they are missing.
// The picture's scale (view.HodoRange about the origin) is set by whoever
// changes the range.
HodographCaptions PlotHodograph(PictureSurface& pic, Session& session, const HodographView& view,
                                std::int16_t t);

// The overview's hodograph panel of time column t at half-width R (m/s):
// speed rings at 10 to 50 m/s, layer CAPE, mean wind and storm motion, the
// storm-relative inflow texts, the movers, the layer's wind trace with a dot
// at every level, the inflow lines and the storm motion, then CAPE, CINS,
// helicity and shear. Boundaries placed in the main window play no part.
// Computes the hodograph quantities and layer CAPE when they are missing.
void PlotHodographPanel(PictureSurface& pic, Session& session, double R, std::int16_t t);

// Prints a line that ends at the right edge of a hodograph of half-width
// HodoRange, and moves to the next line.
void RightPrint(PictureSurface& pic, double HodoRange, std::string_view text);

// The readout of a hodograph point in the top right corner: two lines that
// name the point, then its direction and speed in m/s and in knots.
void PrintPointReadout(PictureSurface& pic, double HodoRange, std::string_view first,
                       std::string_view second, double x, double y);

// The readout of wind level L of time column t: its height above ground and
// pressure, then the wind (x, y).
void PrintLevelReadout(PictureSurface& pic, const ProfileArrays& store, double HodoRange,
                       std::int16_t t, int L, double x, double y);

} // namespace tarvex
