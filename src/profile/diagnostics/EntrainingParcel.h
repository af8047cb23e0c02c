#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

class PictureSurface;
struct Session;
struct SoundingView;

// Whether the entraining-parcel frame shows for time column t of the current
// model: some start level from 1 to the level count minus 3 lifts a parcel
// with more than 0.5 J/kg of CAPE. Decided once per hour and file (lifting the
// start levels not lifted yet) and kept in the session.
bool DisplayECAPEFrame(Session& session, std::int16_t t);

// What the frame's labels read for one start level; all empty when its
// parcel has no trace.
struct ECAPELabels {
    std::string lblEParcelp, lblEParcelt, lblEParceldp;
    std::string lblECAPE, lblECIN, lblEEQL, lblNECAPE;
};

// A value rounded half to even to the decimals and written in its shortest
// form: 12 as "12", 2.5 with no decimals as "2".
std::string ShortestRounded(double value, int decimals);

// The parcel lifted from level L of time column t of the current model
// (lifted first when it is not yet): its trace over the sounding, drawn in
// yellow on the overlay of the sounding picture in the diagram's own frame
// after the overlay is cleared of the trace shown before, and its labels.
// Sets view.ECAPEPlotted while a trace is shown; a parcel without a trace
// leaves the overlay empty.
ECAPELabels PlotECAPE(PictureSurface& overlay, Session& session, SoundingView& view, std::int16_t t,
                      std::int16_t L);

} // namespace tarvex
