#pragma once

#include "overview/fields/OverviewState.h"

#include <optional>

namespace tarvex {

// The cloud base of every hour, yellow, broken over the cloudless hours.
void PlotCloudBase(OverviewContext& ctx);
// The condensation level, the level of free convection and the equilibrium
// level of every hour, each while its btnHeights toggle is on; the last two
// only where they lie more than 40 mb above the lowest level.
void PlotHeights(OverviewContext& ctx);
// The cloud cover of every layer of every hour: classed hatching, or a grey
// scale with CloudsToggle.
void PlotClouds(OverviewContext& ctx);

// The 0 C and -20 C heights of every hour of the current model, found when
// the model lacks them.
void MakeIsothermLevels(OverviewContext& ctx);
// The strip of hail boxes along the top edge (red where the freezing level
// is above 13000 ft under a 500 mb wind below 30 knots) and the -20 C and
// 0 C lines with a marker and height label where they change.
void PlotIsothermLevels(OverviewContext& ctx);

// The 500 mb wind speed (knots) of time column t, linear in pressure between
// the first level above 500 mb and the one below it; none when no level lies
// on each side or the two share a pressure.
std::optional<float> WindSpeedAt500(const ProfileArrays& store, int t);

} // namespace tarvex
