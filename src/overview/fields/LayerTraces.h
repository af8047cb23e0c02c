#pragma once

#include "overview/fields/OverviewState.h"

#include <string>

namespace tarvex {

// Storm-relative inflow at the surface (knots), yellow, exclusive-or, on the
// temperature and speed scale; the hodograph of every hour is made first.
void MakeStormRelInflow(OverviewContext& ctx);
void PlotStormRelInflow(OverviewContext& ctx);
// Top of the warm cloud (blue) at its standard-atmosphere pressure; hours
// whose top lies beyond the standard atmosphere break the line.
void PlotWarmCloud(OverviewContext& ctx);
// Omega of the sigma level (white) on the index scale.
void PlotVVTrend(OverviewContext& ctx);
// MBE speed (knots) on the temperature and speed scale, each segment dim
// where its earlier hour's strongest low wind lies at the top of the
// searched layer.
void PlotMBESpeed(OverviewContext& ctx);
// Cross-hatched white boxes over the layers, up to 400 mb, that warm with
// height or stay nearly isothermal in dry air.
void PlotInversions(OverviewContext& ctx);
// Top of the mixing layer (thick yellow), with the day markers of the
// maximum-temperature method.
void PlotMixingLayer(OverviewContext& ctx);
// Moist lake index on the index scale: green above 3, olive above 0, red
// otherwise (by both ends of each segment).
void PlotMoistLakeIndex(OverviewContext& ctx);

// Computes the mixing layer of the current model by the options' mode and
// returns the readout of the maximum-temperature method: each day's maximum
// in whole deg F, joined by "  |  " (empty in the other mode).
std::string FormatMixingLayerReadout(Session& session, const OverviewOptions& options);
// Computes the mixing layer of the current model unless it is up to date.
void EnsureMixingLayer(OverviewContext& ctx);
// The maximum-temperature readout of the values already computed.
std::string MixingLayerReadoutText(const Session& session);
// Depth (mb) mixed through by a momentum-transfer button (0 "30", 1 "1",
// 2 "10", 3 "20").
float TransferDepthOf(int MomentumTransferIndex);

} // namespace tarvex
