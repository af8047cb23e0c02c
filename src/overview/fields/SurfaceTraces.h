#pragma once

#include "overview/fields/OverviewState.h"

namespace tarvex {

// Plotters of the surface weather of every hour on picRH, each on the value
// scale of its side-scale group.

// Wind chill by the old (grey) and the new formula (blue), drawn in
// exclusive-or mode on the temperature scale (deg F). The first three model
// options take the 2 m temperature and the 10 m wind, later ones level 1.
void PlotWindChill(OverviewContext& ctx);
// Visibility as a comb hanging from the top edge, deeper for poorer
// visibility, on the visibility scale; hours above 10 miles draw nothing.
void PlotVisibility(OverviewContext& ctx);
// 2 m temperature, 2 m dew point and skin temperature (deg F) on the
// temperature scale; surface pressure (mb) on the pressure scale;
// precipitable water (x 1000) on the CAPE scale.
void PlotSfcTemp(OverviewContext& ctx);
void PlotSfcDewPoint(OverviewContext& ctx);
void PlotSkinTemp(OverviewContext& ctx);
void PlotSfcPres(OverviewContext& ctx);
void PlotPrecipWater(OverviewContext& ctx);
// Run-off as magenta half-column bars on the precipitation scale.
void PlotRunOff(OverviewContext& ctx);
// Snow bars (grey, snow ratio times precipitation) and precipitation bars
// coloured by precipitation type, each behind its own box.
void PlotSnow(OverviewContext& ctx);
// Snow of every hour of the current model (snow ratio times precipitation,
// inches), made with the ratio first when that is not yet made.
void MakeSnowAmount(Session& session, const OverviewOptions& options);
// The snow-growth field of the current model, made on first use.
void MakeSnowGrowthField(OverviewContext& ctx);

// Bar fill of a precipitation-type code.
Rgb PrecipTypeColour(int code);

} // namespace tarvex
