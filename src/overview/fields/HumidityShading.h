#pragma once

#include "overview/fields/OverviewState.h"

#include <optional>

namespace tarvex {

// The shading colour of a relative humidity (%), or none when its class is
// not shaded with the given legend index: 95 % and up always, 90, 80 and 70 %
// while the index is below 5, 4 and 3, under 30 % only at index 0, and 30 to
// 70 % never.
std::optional<Rgb> HumidityShade(float rh, int RHLegendIndex);

// Shades every column's levels 2 to count - 1 by humidity class, over water
// when the first RH box is on, otherwise over ice. Each level's cell reaches
// half-way (in pressure) to its neighbours in time column 0.
void PlotRH(OverviewContext& ctx);

} // namespace tarvex
