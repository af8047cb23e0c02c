#include "compute/TimeHeightFields.h"
#include "files/Session.h"
#include "overview/fields/MeanWindTrace.h"
#include "overview/panels/HourPanels.h"
#include "platform/Format.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarvex {

namespace {

constexpr const char* kDegree = "\u00B0";

// The map background under the main window's map view; text starts at the
// view's top-left corner.
MapExtent PrepareMap(PictureSurface& picMap, const HourPanelContext& ctx) {
    const MapExtent view = UsableMapView(ctx.session.history.MapView);
    picMap.Scale(view[0], view[1], view[2], view[3]);
    picMap.SetDrawMode(DrawMode::CopyPen);
    picMap.SetDrawStyle(DrawStyle::Solid);
    picMap.SetFillStyle(FillStyle::Transparent);
    picMap.SetDrawWidth(1);
    picMap.SetPicture(ctx.mapBackground);
    return view;
}

std::string HalfUp(double value) {
    return PrintForm(std::floor(value + 0.5));
}

} // namespace

void DrawMapPaneBackground(PictureSurface& buffer, const MapGeography& geography,
                           const ProfileArrays& store, const MapExtent& view, double designWidth,
                           double designHeight) {
    buffer.SetDesignSize(designWidth, designHeight);
    DrawMapBackground(buffer, geography, store, view);
}

void DrawMapPane(PictureSurface& picMap, HourPanelContext& ctx, std::int16_t hour) {
    const MapExtent view = PrepareMap(picMap, ctx);
    const ProfileArrays& s = *ctx.session.profile;
    TimeHeightFields& f = *ctx.session.timeHeight;
    const int m = s.CurrentModel;
    const int bottom = std::clamp<int>(ctx.options.MeanWindLevels[0], 0, kMaxProfileLevels);
    const int top = std::clamp<int>(ctx.options.MeanWindLevels[1], 0, kMaxProfileLevels);
    MakeMeanWind(s, bottom, top, f);
    const float D = f.MeanWindDirection(m, hour);
    const float S = f.MeanWindSpeed(m, hour);
    const float Q = f.MeanWindSpread(m, hour);

    DrawWindLines(picMap, ctx.session.dataTables, D, MeanWindColor(Q));
    const MapValuesOnGround ground(picMap);
    picMap.SetForeColor(kBlack);
    picMap.SetCurrentX(view[0]);
    picMap.SetCurrentY(view[1]);
    picMap.Print(PrintForm(s.Pressure(m, hour, bottom)) + "->" +
                 PrintForm(s.Pressure(m, hour, top)) + "mb Wind= " + HalfUp(D) + kDegree + " at" +
                 HalfUp(S) + "Kts");
    ctx.mapWind.MapWindDir[static_cast<std::size_t>(m)] = D;
    ctx.mapWind.MapWindSpeed[static_cast<std::size_t>(m)] = S;
    picMap.SetCurrentX(view[0]);
    picMap.Print(" RMS = " + Format(Q, "0.0") + "kts");
}

void DrawMapSigmaPane(PictureSurface& picMap, HourPanelContext& ctx, std::int16_t hour) {
    PrepareMap(picMap, ctx);
    SoundingView view = ctx.mainView;
    view.CurrentColumn = hour;
    view.SigmaLevel = ctx.options.SigmaLevel;
    PlotSigmaLevelLines(picMap, ctx.session, view, ctx.mapWind, true);
}

FetchTimes PlotStormMotionMap(PictureSurface& picMap, HourPanelContext& ctx) {
    return PrintFetchTimes(picMap, ctx.session, ctx.mapWind);
}

} // namespace tarvex
