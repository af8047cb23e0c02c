#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvex {

class PictureSurface;
struct Session;

// The configured top pressure (mb) of the lapse-rate table when it can be
// used over a surface pressure: a number above 0 and below the surface.
std::optional<float> LapseTablePressure(std::string_view configured, float surfacePressure);

// Lapse rate (deg C/km) of the layer from pressure x up to pressure y of time
// column t of the current model, over standard-atmosphere heights.
float LayerLapseRate(const Session& session, std::int16_t t, int x, int y);

// The lapse-rate table of time column t of the current model: every layer
// between two pressures of a 50 mb grid from the surface up to the configured
// top, as a triangle of coloured numbers. Without a usable top pressure or a
// sounding only the title is drawn.
void PrintLapseRates(PictureSurface& pic, const Session& session, std::int16_t t);

} // namespace tarvex
