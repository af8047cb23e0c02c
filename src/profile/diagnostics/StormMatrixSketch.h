#pragma once

#include "platform/PictureSurface.h"

#include <cstdint>

namespace tarvex {

struct Session;

// Colour of the storm-matrix label of an hour: green without CAPE, else the
// colour of its convective inhibition (as the storm-type diagram colours it).
Rgb MatrixLabelColour(const Session& session, std::int16_t column);

// The sketch of why the hour falls in its matrix cell: for each height layer
// that decides the cell, a dot (no shear), a straight piece or an arc, the
// layer's name above it and its hodograph length (S) and helicity (H) below
// it; "Low CAPE" alone below 300 J/kg, and the mean dew-point depression at
// high CAPE. Cells of one branch of the decision share one sketch. Reads the
// hour's matrix entry for the depression.
void ShowTrainingMatrix(PictureSurface& pic, const Session& session, std::int16_t column);

} // namespace tarvex
