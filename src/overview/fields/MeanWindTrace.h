#pragma once

#include "overview/fields/OverviewState.h"

#include <array>

namespace tarvex {

struct TimeHeightFields;

// Colours of the three sigma-level winds, the level below, at and above the
// chosen one.
inline constexpr std::array<Rgb, 3> kWindLevelColours{RGB(255, 0, 255), RGB(255, 255, 0),
                                                      RGB(0, 255, 255)};

// Traffic-light colour of a mean-wind spread (knots): green up to 2, yellow
// up to 4, red above; both bounds belong to the lower class.
Rgb MeanWindColor(float value);

// The legend of the sigma-level winds on picWindScale (its own units, 0..100
// across): one bar per level, step levels apart around level, the lowest at
// the bottom, each with the pressure of its level in time column 0. Levels
// outside the store's levels are left out.
void DrawWindScale(PictureSurface& picWindScale, const ProfileArrays& store, int level, int step);

// The vector-mean wind of levels bottom..top of every time column of the
// current model. Computed again only when the layer's bottom, top or the
// model differ from the last computation (or after a read).
void MakeMeanWind(const ProfileArrays& store, int bottom, int top, TimeHeightFields& fields);

// The mean-wind direction against time on the direction scale: a line with a
// dot at each column, coloured by the spread; a turn through north runs off
// one edge and comes back from the other.
void PlotMeanWind(OverviewContext& ctx);

} // namespace tarvex
