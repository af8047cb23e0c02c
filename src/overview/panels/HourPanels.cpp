#include "overview/panels/HourPanels.h"

#include "compute/ComputeState.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "profile/diagrams/HodographDiagram.h"
#include "profile/diagrams/ParcelOutlines.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/diagrams/SoundingOverlays.h"

#include <string>

namespace tarvex {

namespace {

// The sounding choices of the main window that the overview's profile
// follows; every other overlay of the main window's sounding stays off.
SoundingOptions ProfileOptions(const SoundingOptions& main) {
    SoundingOptions o;
    o.SkewT = main.SkewT;
    o.Lines = main.Lines;
    o.WetBulb = main.WetBulb;
    o.LCL = main.LCL;
    o.LFC = main.LFC;
    o.EQL = main.EQL;
    o.WBZ = main.WBZ;
    o.CCL = main.CCL;
    o.ConvectiveTemp = main.ConvectiveTemp;
    o.Parcel = main.Parcel;
    o.CINS = main.CINS;
    o.SigmaLevel = false;
    return o;
}

} // namespace

void PlotOverviewHodograph(PictureSurface& picHodograph, HourPanelContext& ctx, std::int16_t hour) {
    const double R = ctx.hodoView.HodoRange;
    picHodograph.Scale(-R, R, R, -R);
    PlotHodographPanel(picHodograph, ctx.session, R, hour);
}

void DrawProfile(PictureSurface& picProfile, HourPanelContext& ctx, std::int16_t hour) {
    SoundingView view = ctx.mainView;
    view.CurrentColumn = hour;
    view.SuspendRedraw = false;
    view.VerticalUnit = ctx.options.VerticalUnits;
    view.options = ProfileOptions(ctx.mainView.options);
    DrawSoundingTraces(picProfile, ctx.session, view, SoundingPicture::HourPanel);
    DrawLevelMarkers(picProfile, ctx.session, view);
    DrawParcelOutlines(picProfile, ctx.session, view, ctx.session.soundingOverlays->parcels);
}

} // namespace tarvex
