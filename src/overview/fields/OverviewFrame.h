#pragma once

#include "overview/fields/OverviewState.h"

#include <cstdint>

namespace tarvex {

struct ProfileArrays;

// Columns spanned by an hours button: hours / HoursPerColumn + 1, rounded
// half to even. A HoursPerColumn below 1 counts as 1.
std::int16_t ColumnSpanOf(int hours, int HoursPerColumn);

// The time window: the left edge at span + scroll, the right edge one column
// right of the earliest column shown (scroll - 1).
void SetTimeWindow(OverviewAxes& axes, int ColumnSpan, int scroll);

// Log pressures of the current model's levels in time column 0 and of its
// base (surface) pressure in time column 0. Pressures that are not positive
// give 0.
void SetLevelLogPressures(const ProfileArrays& store, OverviewAxes& axes);

// The profile scale from the model's base up to TopPressure (mb).
void StartProfileScale(OverviewAxes& axes, int model, int TopPressure);

// The "10 meter" switch: on moves the bottom 15 % of the span below the base,
// keeping the top; off returns to the base.
void SetPressureBaseExtended(OverviewAxes& axes, int model, bool extended);

// The first level of the model whose log pressure lies above the picture's
// top edge; the level count when every level lies inside.
std::int16_t FindTopLevelOf(const ProfileArrays& store, const OverviewAxes& axes, int model);

// A clicked column kept inside the current model's columns.
std::int16_t ClampToModelRange(int n, int LastTime);

// picRH (or a strip of the same width) scaled to the time-height frame.
void ScaleProfileFrame(PictureSurface& pic, const OverviewAxes& axes);

// Widths (pixels) of the side scales as designed: the right one holds three
// bands of labels, each wide enough for a four-figure value; the left one
// also the six scales' labels side by side at the least text size, a
// blank apart.
inline constexpr int kRightScaleWidth = 96;
inline constexpr int kLeftScaleWidth = 120;

// Gives picRH and its side scales the sizes at which their text fits as
// designed (picRH as it stands on a 1280 x 800 screen, the side scales at
// their width and least height), so that their text follows the pictures.
void SetOverviewDesignSizes(OverviewContext& ctx);

// Axes, side-scale labels and grid lines over the plots, for the overlay
// groups whose boxes are on; records in ctx.grids which grid selectors the
// window should enable. Drawn last by the hub.
void DrawOverviewFrame(OverviewContext& ctx);

} // namespace tarvex
