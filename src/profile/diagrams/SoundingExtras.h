#pragma once

#include <cstdint>

namespace tarvex {

// Window state of the sounding's wind column, read-out, momentum transfer
// and omega display: what the main window's small buttons set and the
// closing overlays of the sounding picture read.
struct SoundingExtras {
    // The lower panel shown (the display button last pressed): the closing
    // marks of the sounding refer to it.
    std::int16_t DisplayMode = 0;

    // Wind column: every VWPInterval-th level, or, with UseVWPIntervalA, the
    // levels spaced at least 1.5 % of the picture's height times VWPIntervalA
    // apart. Both intervals run 1..3.
    std::int16_t VWPInterval = 1;
    std::int16_t VWPIntervalA = 1;
    bool UseVWPIntervalA = false;
    // Vectors coloured by speed; digital winds with their directions.
    bool ColorWinds = false;
    bool DigitalWindStyle = true;

    // Selected btnXfer element 0..3: the stable depth that ends the mixed
    // layer of the momentum transfer.
    std::int16_t MomentumXferIndex = 1;

    // Cursor read-out: what the height label shows (0 pressure, 1 feet, 2 km
    // above ground), the level shown last (0 none; 20 when the window has
    // loaded), and the hodograph level whose segment is highlighted (0 none).
    std::int16_t ReadoutUnit = 0;
    std::int16_t LastReadoutLevel = 20;
    std::int16_t HodoMarkLevel = 0;
    // Level picking with the mouse: the cursor level becomes the low-level
    // jet of the heavy-precipitation panel, and a click ends the mode.
    bool SelectInflowMode = false;

    // Omega display: half-width of the omega axis and whether the smoothed
    // field is shown.
    float OmegaScale = 11.0f;
    bool OmegaFiltered = true;
};

} // namespace tarvex
