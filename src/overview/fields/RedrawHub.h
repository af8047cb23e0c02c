#pragma once

#include "overview/fields/OverviewState.h"

#include <span>

namespace tarvex {

// One overlay of the overview: the switch that turns it on, the routine that
// computes its field when the current model lacks it (from the sounding store
// and the options alone, into arrays of its own, so that the fields of
// different rows can be made at once), and its plotter. A row without a make
// step draws from the sounding store and the fields of the rows before it.
// A row whose plotter is not there yet draws nothing.
struct OverlayRow {
    using Switch = bool (*)(const OverviewOptions&);
    using Step = void (*)(OverviewContext&);
    const char* box; // the check box that drives it
    Switch on;
    Step make;
    Step plot;
};

// The overlays in drawing order: later rows paint over earlier ones.
std::span<const OverlayRow> OverlayRows();

// Shows the busy mouse pointer for the hub while it draws.
class BusyPointer {
  public:
    virtual ~BusyPointer() = default;
    virtual void Show() = 0;
    virtual void Restore() = 0;
};

// Repaints picRH, picLeft and picRight: works out the top level inside the
// picture, clears the three pictures, makes the missing fields of every
// overlay whose switch is on (side by side where they share nothing; when
// elevated parcels are to be lifted, on threads of their own while the rows
// ahead of the first with a make step are drawn), draws those overlays in row
// order, and the frame last. Does nothing while redrawSuspended.
// The busy pointer is restored however the drawing ends.
void RedrawOverview(OverviewContext& ctx, bool redrawSuspended, BusyPointer* busy = nullptr,
                    std::span<const OverlayRow> rows = OverlayRows());

} // namespace tarvex
