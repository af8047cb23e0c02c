#pragma once

#include "overview/panels/SelectedHour.h"

#include <cstdint>

namespace tarvex {

// The selected-hour panels of the overview. Each draws one hour of the
// current model through the same computations and drawing routines as the
// main window's pictures.

// The map pane's background on buffer (the pane's size): the main map's
// outlines, cities and site, its text sized for the pane's design size. A
// city name that would cover another or run off the picture is left out,
// and so is one in the lines where the pane writes the hour's wind (the top
// two) and the shore times (the bottom one).
void DrawMapPaneBackground(PictureSurface& buffer, const MapGeography& geography,
                           const ProfileArrays& store, const MapExtent& view, double designWidth,
                           double designHeight);

// Map pane of the overview's layer-mean wind: the map background, the wind
// lines of the data file for the hour's mean direction coloured by the
// spread, and the layer, mean wind and spread at the top-left corner. Stores
// the mean wind for the storm-motion text.
void DrawMapPane(PictureSurface& picMap, HourPanelContext& ctx, std::int16_t hour);

// Map pane of the wind at the chosen sigma level, coloured by the turning of
// the wind across it, with that wind and the turning written at the top-left
// corner. Stores the wind for the storm-motion text.
void DrawMapSigmaPane(PictureSurface& picMap, HourPanelContext& ctx, std::int16_t hour);

// Distance (nautical miles) and travel time to the two shore lines of the
// configuration for the wind the pane stored, along the bottom of the map;
// the distance is the capped one, and a calm wind shows "--" hours.
FetchTimes PlotStormMotionMap(PictureSurface& picMap, HourPanelContext& ctx);

// The hour's hodograph at the main window's range: rings, layer CAPE, the
// mean-wind, storm-motion and storm-relative inflow texts, the trace with a
// dot at every level, the inflow lines, and CAPE, CINS, helicity and shear.
void PlotOverviewHodograph(PictureSurface& picHodograph, HourPanelContext& ctx, std::int16_t hour);

// The hour's sounding with the main window's choices of skew, lines,
// wet-bulb trace, level markers, convective temperature and parcel paths,
// and the overview's vertical unit. Parcel paths share the main window's
// caches.
void DrawProfile(PictureSurface& picProfile, HourPanelContext& ctx, std::int16_t hour);

// CAPE against 0-4 km shear with the storm regimes, and the trail of the hour
// and the six before it: circles shrinking with age, filled by inhibition.
void PlotCapeShearDiagram(PictureSurface& picCape, HourPanelContext& ctx, std::int16_t hour);

} // namespace tarvex
