#pragma once

#include "compute/WorkAhead.h"
#include "overview/fields/OverviewState.h"

#include <atomic>

namespace tarvex {

// Lifts the parcel of every grid point the elevated-CAPE contours need
// (levels 1 .. the top level inside the picture) that has none yet.
void MakeElevatedCAPE(OverviewContext& ctx);
// Contours of the elevated CAPE at the contour interval times 1, 20, 40,
// 100, 200 and 400, the first ECAPELegendStart of them hidden (never the
// last).
void PlotECAPE(OverviewContext& ctx);

// Lifts the parcel of every grid point of levels 2 .. the level count less
// one that has none yet.
void MakeELCINParcels(OverviewContext& ctx);
// MakeELCINParcels when elcin, and MakeElevatedCAPE when ecape, in one pass
// over the hours; and whether they have a parcel to lift.
void MakeElevatedParcels(OverviewContext& ctx, bool elcin, bool ecape);
bool ElevatedParcelsMissing(const OverviewContext& ctx, bool elcin, bool ecape);

// While options show the ELCIN boxes, their parcels (and level 1's, the
// elevated-CAPE contours' lowest, when those are shown too) lifted for the
// file just read on a thread of its own from the making of this object,
// while the window is set up for the file. Its end stops the lifting: the
// columns begun are lifted whole, waited for, and the rest left to the
// redraw, which lifts what is missing. The thread is not waited for when no
// core has started it by then; once started it finds the lifting stopped and
// ends without touching the results. Nothing else may read or write the
// elevated results, or change the sounding store, in the meantime.
class ParcelsAhead {
  public:
    ParcelsAhead(Session& session, const OverviewOptions& options);
    ~ParcelsAhead();
    ParcelsAhead(const ParcelsAhead&) = delete;
    ParcelsAhead& operator=(const ParcelsAhead&) = delete;

    // Waits until the thread has lifted them all; at once when it has none
    // to lift or none could be had.
    void Wait() { lifting_.Wait(); }

  private:
    std::atomic<bool> stop_{false};
    // Reads stop_ to its end, so it goes first.
    WorkAhead lifting_;
};
// A box around each grid point whose parcel reaches an equilibrium level,
// coloured by its inhibition: below 20 dark red, below 50 dark green, else
// dark blue.
void PlotELCIN(OverviewContext& ctx);

// Cross-hatches every layer in which the equivalent potential temperature
// falls with height.
void PlotInstability(OverviewContext& ctx);

// The layer CAPE of every hour lacking it, while a depth trace is on.
void MakeLayerCAPE(OverviewContext& ctx);
// The CAPE of every hour on the CAPE scale, coloured by its inhibition, and
// the CAPE below 3, 4, 5 and 6 km, each while its btnCAPEkm toggle is on.
void PlotCAPE(OverviewContext& ctx);

// The lake-modified parcel of every hour lacking it.
void MakeLakeParcels(OverviewContext& ctx);
// Its CAPE on the CAPE scale.
void PlotLIC(OverviewContext& ctx);
// Its equilibrium level on the log-pressure frame.
void PlotLIE(OverviewContext& ctx);

} // namespace tarvex
