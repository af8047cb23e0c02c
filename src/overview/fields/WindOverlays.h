#pragma once

#include "overview/fields/OverviewState.h"

namespace tarvex {

// The wind overlays of picRH. Wind vectors are drawn as the main window's
// wind column draws them (a small circle and a line pointing into the wind,
// its length by the speed), coloured by speed in steps of 10 kt; they stand
// at every column, or every second or third where the columns are narrow.

// The sigma level's wind at each column, placed at its direction on the
// wind-direction scale.
void PlotWinds(OverviewContext& ctx);
// Wind profile: vectors at the levels of the chosen interval inside the
// picture (at least 8 pixels apart), yellow or (with chkVWPColor) coloured
// by speed in the legend's steps (OptWindColor); the 10 m wind
// below the ground when the profile scale reaches below it.
void PlotVWP(OverviewContext& ctx);
// Direction of the transport wind (mean wind of the mixing layer) on the
// wind-direction scale: dots joined by lines, coloured by its speed.
void PlotTransportWinds(OverviewContext& ctx);
// Speed of the transport wind (knots) in orange on the temperature and
// speed scale.
void PlotTransportSpeed(OverviewContext& ctx);
// Ventilation (mixing height times transport speed, thousands of m2/s) on
// the ventilation scale: red below 4, yellow below 8, green from 8.
void PlotVentilation(OverviewContext& ctx);

// Class colour of a ventilation value.
Rgb VentilationColour(double ventilation);

} // namespace tarvex
