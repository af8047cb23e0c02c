#pragma once

#include "files/HistoryFile.h"
#include "platform/PictureSurface.h"

#include <cstdint>

namespace tarvex {

struct Session;

// CAPE (J/kg) at the top of the storm-type diagram when the program starts.
inline constexpr std::int16_t kCapeAxisTopStart = 4300;
// Bounds of the top of the CAPE axis: a zoom step that would leave them is
// refused, so the axis always keeps some height and never overflows.
inline constexpr std::int16_t kCapeAxisTopMin = 500;
inline constexpr std::int16_t kCapeAxisTopMax = 25000;

// The axis top after a click on the diagram: lower by the factor 1.2 for the
// left button (1), higher for any other, to the nearest whole J/kg (halves to
// even); a step beyond the bounds keeps the old value.
std::int16_t ZoomCapeAxisTop(std::int16_t CapeAxisTop, int Button);

// Colour of an hour by its convective inhibition against the CINS row of the
// thresholds: red below its strong threshold (column 2), yellow below its
// caution threshold (column 1), else green. The storm-type diagram and the
// storm-matrix label both colour by it.
Rgb CinsColour(float cins, const IndexThresholdTable& thresholds);

// The boundaries of ordinary cells, multicells and supercells, in the
// diagram's units (0-4 km shear m/s across, CAPE J/kg up).
void DrawCapeShearBoundaries(PictureSurface& pic);

// The part of the storm-type diagram that is the same for every hour (frame,
// grid, labels, captions and boundaries), kept as a picture for one surface
// size and axis top so that an hour step draws only the track.
struct CapeShearBackground {
    Picture picture;
    int width = 0;
    int height = 0;
    std::int16_t top = 0;
};

// The storm-type diagram of the current model: CAPE against 0-4 km shear
// over the boundaries of ordinary cells, multicells and supercells, with the
// track of the hour shown (column) and the six hours before it, each point
// coloured by its inhibition (green when it has no CAPE to speak of). The
// shear of every plotted hour is measured afresh, as the shear option says.
// With a background store, the fixed part is taken from it when it was made
// for the same size and axis top, and kept in it otherwise.
void PlotCapeShear(PictureSurface& pic, Session& session, std::int16_t column,
                   std::int16_t CapeAxisTop, CapeShearBackground* background = nullptr);

} // namespace tarvex
