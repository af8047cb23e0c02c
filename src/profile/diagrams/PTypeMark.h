#pragma once

#include "platform/PictureSurface.h"

#include <optional>

namespace tarvex {

class PictureSurface;
struct ProfileArrays;
struct Session;

// Colour of a level's box in the humidity strip by its relative humidity
// (%); none in the middle range (30 to 70 %).
std::optional<Rgb> HumidityColour(float r);

// The relative-humidity strip along the left edge of the sounding picture:
// a box per drawn level of time column t, reaching halfway to its
// neighbours, green when moist (95 % and 90 %), red when nearly saturated
// (80 % and 70 %), blue when dry (below 30 %) and left out between. The
// lowest box reaches down to the surface, through a pseudo-level as far below
// the surface as level 1 lies above it; the highest closes at its own level
// when no level lies above it. Percent frame; the store is only read.
void DrawHumidityStrip(PictureSurface& pic, const ProfileArrays& s, int t);

// The precipitation mark in the lower left of the sounding picture when time
// column t has precipitation: one to four dots for the hourly rate and the
// type's code ("R", "ZR", "S", "IP"), in the colour of the type. With the
// energy method chosen, an hour whose energies are not yet known is worked
// out first. Leaves the picture in a 0-100 scale on both axes.
void PrintPrecipType(PictureSurface& pic, Session& session, int t);

} // namespace tarvex
