#pragma once

#include "overview/fields/OverviewState.h"

namespace tarvex {

// One value per hour of the current model drawn against a value scale. Each
// Make step fills the values the current model lacks; each Plot step draws.

// Surface-pressure change over three hours (mb), on the index scale.
void Plot3HPresChange(OverviewContext& ctx);
// Evaporation of each hour as a bar half a column wide, on the precipitation
// scale.
void PlotEvaporation(OverviewContext& ctx);
// Haines index of the chosen variant, coloured by the higher end.
void MakeHainesIndexField(OverviewContext& ctx);
void PlotHainesIndex(OverviewContext& ctx);
// Storm-relative helicity / 10 with a dot at each hour.
void MakeHelicityField(OverviewContext& ctx);
void PlotHelicity(OverviewContext& ctx);
// Surface temperature less that at the lake-index pressure, coloured by the
// stability classes 10, 15 and 17.
void MakeLevelTemperatureField(OverviewContext& ctx);
void PlotDavisIndex(OverviewContext& ctx);
// Total Totals on the temperature scale, drawn by exclusive or.
void MakeTotalTotalsField(OverviewContext& ctx);
void PlotTotalTotals(OverviewContext& ctx);
// TQ index on the index scale, drawn by exclusive or.
void MakeTQField(OverviewContext& ctx);
void PlotTQ(OverviewContext& ctx);
// Temperature at the lake-index pressure less the lake's (rounded) less the
// offset, coloured by the classes 0 and 3; on the index scale.
void PlotLakeIndex(OverviewContext& ctx);
// Apparent temperature (deg F) on the temperature scale, each segment in the
// colour of the hotter heat class of its two ends.
void PlotApparentTemp(OverviewContext& ctx);
// Colour of heat class 1 (hottest) .. 5 (below 80 F); black for any other.
Rgb HeatClassColour(int category);

} // namespace tarvex
