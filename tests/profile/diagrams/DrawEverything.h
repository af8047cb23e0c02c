#pragma once

// Every drawing of the loaded sounding with every option on: the sounding
// picture with all its overlays, the hodograph and the map panel, for the
// first and the last hour. Shared by the drawing tests and the drawing fuzz
// target, which must finish and stay within the pictures whatever the store
// holds.
#include "files/Session.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/HodographDiagram.h"
#include "profile/diagrams/MapDiagram.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "store/ProfileArrays.h"

#include <algorithm>

namespace tarvex::test {

inline SoundingOptions EveryOptionOn() {
    SoundingOptions o;
    for (bool* option : {&o.SkewT,
                         &o.Lines,
                         &o.DryAdiabats,
                         &o.WetBulb,
                         &o.Icing,
                         &o.Clouds,
                         &o.Inversions,
                         &o.TenMWind,
                         &o.SnowGrowth,
                         &o.LCL,
                         &o.LFC,
                         &o.EQL,
                         &o.WBZ,
                         &o.CCL,
                         &o.ConvectiveTemp,
                         &o.Parcel,
                         &o.CINS,
                         &o.LakeIndex,
                         &o.MoistLakeIndex,
                         &o.LIC,
                         &o.RH,
                         &o.WindVector,
                         &o.WindDigital,
                         &o.Momentum,
                         &o.Omega,
                         &o.BrightBand,
                         &o.MeanFlow,
                         &o.SigmaLevel})
        *option = true;
    o.Angle.fill(true);
    return o;
}

inline void DrawEverything(Session& session, PictureSurface& sounding, PictureSurface& hodograph,
                           PictureSurface& map) {
    SoundingView view;
    view.options = EveryOptionOn();
    view.extras.ColorWinds = true;
    HodographView hodo;
    MapWindState wind;
    const ProfileArrays& s = *session.profile;
    const int last = std::clamp<int>(s.LastTime(s.CurrentModel), 0, kTimeColumns - 1);
    for (int t : {0, last}) {
        view.CurrentColumn = static_cast<std::int16_t>(t);
        DrawSounding(sounding, session, view);
        PlotHodograph(hodograph, session, hodo, view.CurrentColumn);
        RedrawMap(map, Picture(), session, view, wind);
        // The unfiltered omega field and the other wind style as well.
        view.extras.OmegaFiltered = !view.extras.OmegaFiltered;
        view.extras.DigitalWindStyle = !view.extras.DigitalWindStyle;
        view.options.SkewT = !view.options.SkewT;
    }
}

} // namespace tarvex::test
