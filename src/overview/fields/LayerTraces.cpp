#include "overview/fields/LayerTraces.h"

#include "compute/Levels.h"
#include "compute/ProfileInterp.h"
#include "compute/TimeHeightFields.h"
#include "compute/TraceValues.h"
#include "compute/WholeRun.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/Traces.h"
#include "platform/Format.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

// Beyond this height (ft) the standard atmosphere has no pressure.
constexpr double kStandardAtmosphereTopFt = 145373.5637;

MixingLayerResults& Mixing(Session& session) {
    return session.timeHeight->mixingLayer;
}

} // namespace

void MakeStormRelInflow(OverviewContext& c) {
    TimeHeightFields& fields = *c.session.timeHeight;
    if (fields.HodoParamsAllHoursDone(Store(c).CurrentModel) == kFlagFalse)
        MakeHodoParamsAllHours(Store(c), c.session.history.HodoTopKm, *c.session.hodograph, fields);
}

void PlotStormRelInflow(OverviewContext& c) {
    const int m = Store(c).CurrentModel;
    const HodographResults& hodo = *c.session.hodograph;
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(255, 255, 0));
    pic.SetFillColor(RGB(255, 255, 0));
    pic.SetDrawWidth(3);
    ScaleTraceFrame(c);
    pic.SetDrawMode(DrawMode::XorPen);
    DrawColumnTrace(pic, LastTime(c), [&](int t) -> std::optional<double> {
        return hodo.SRSpeedBase(m, t) * kKnotsPerMs;
    });
    pic.SetDrawWidth(1);
    pic.SetDrawMode(DrawMode::CopyPen);
}

void PlotWarmCloud(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    WholeRunResults& run = *c.session.wholeRun;
    if (run.WarmCloudDone(m) == kFlagFalse) MakeWarmCloudDepth(s, run);
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(63, 127, 255));
    pic.SetFillColor(RGB(63, 127, 255));
    pic.SetDrawWidth(3);
    pic.SetDrawMode(DrawMode::CopyPen);
    ScaleProfileFrame(pic, c.axes);
    DrawColumnTrace(pic, LastTime(c), [&](int t) -> std::optional<double> {
        const double feet = run.WarmCloudTop(m, t);
        if (!(feet < kStandardAtmosphereTopFt)) return std::nullopt;
        const double p = PressureFromAltitude(static_cast<float>(feet));
        if (!(p > 0.0)) return std::nullopt;
        return std::log(p);
    });
    pic.SetDrawWidth(1);
}

void PlotVVTrend(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const int level = std::clamp<int>(c.options.SigmaLevel, 1, std::max(StoredLevelCount(s), 1));
    DrawValueTrace(c, RGB(255, 255, 255), 3, c.axes.IndexBase, c.axes.IndexBase + c.axes.IndexSpan,
                   [&](int t) -> std::optional<double> { return s.Omega(m, t, level); });
}

void PlotMBESpeed(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    WindResults& winds = *c.session.winds;
    auto made = [&](int t) {
        if (winds.MBEDone(m, t) != kFlagTrue)
            MakeMBEVectors(s, static_cast<std::int16_t>(t), 0, winds, c.session.options);
    };
    PictureSurface& pic = c.picRH;
    pic.SetDrawWidth(2);
    ScaleTraceFrame(c);
    pic.SetDrawMode(DrawMode::CopyPen);
    pic.SetCurrentX(0.0);
    made(0);
    pic.SetCurrentY(winds.MBESpeed(m, 0));
    for (int t = 1; t <= LastTime(c); ++t) {
        made(t);
        const Rgb colour =
            winds.LLJAtTop(m, t - 1) != kFlagFalse ? RGB(127, 127, 0) : RGB(255, 255, 0);
        pic.LineTo(t, winds.MBESpeed(m, t), colour);
    }
    pic.SetDrawWidth(1);
}

void PlotInversions(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const ModelParameters& p = c.session.parameters;
    const InversionThresholds limits{p.InversionWarmThreshold, p.InversionCoolThreshold,
                                     p.InversionDryThreshold};
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(255, 255, 255));
    pic.SetFillColor(RGB(255, 255, 255));
    pic.SetFillStyle(FillStyle::DiagonalCross);
    pic.SetDrawMode(DrawMode::CopyPen);
    ScaleProfileFrame(pic, c.axes);
    const int top = InversionTopLevel(s);
    const auto& lnP = c.axes.LevelLnP[static_cast<std::size_t>(m)];
    for (int t = 0; t <= LastTime(c); ++t)
        for (int l = 1; l <= top; ++l)
            if (InversionLayer(s, t, l, limits))
                pic.Box(t - 0.5, lnP[static_cast<std::size_t>(l)], t + 0.5,
                        lnP[static_cast<std::size_t>(l + 1)]);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawMode(DrawMode::CopyPen);
}

float TransferDepthOf(int MomentumTransferIndex) {
    static constexpr float kDepths[] = {30.0f, 1.0f, 10.0f, 20.0f};
    return kDepths[std::clamp(MomentumTransferIndex, 0, 3)];
}

std::string MixingLayerReadoutText(const Session& session) {
    const int m = session.profile->CurrentModel;
    const MixingLayerResults& r = session.timeHeight->mixingLayer;
    const auto& maxima = r.MaxTemperature[static_cast<std::size_t>(m)];
    std::string text;
    for (int k = 0; k < std::min<int>(r.DayCount(m), kMixingLayerDays); ++k) {
        if (k > 0) text += "  |  ";
        text += Format(CelsiusToFahrenheit(maxima[static_cast<std::size_t>(k)]), "##");
    }
    return text;
}

std::string FormatMixingLayerReadout(Session& session, const OverviewOptions& options) {
    MakeMixingLayer(*session.profile, options.MixingLayerMode,
                    TransferDepthOf(options.MomentumTransferIndex), session.HoursPerColumn,
                    Mixing(session));
    return options.MixingLayerMode == kMixingByMaximumTemperature ? MixingLayerReadoutText(session)
                                                                  : std::string();
}

void EnsureMixingLayer(OverviewContext& c) {
    if (Mixing(c.session).MixingLayerReady(Store(c).CurrentModel) != kFlagTrue)
        FormatMixingLayerReadout(c.session, c.options);
}

void PlotMixingLayer(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    MixingLayerResults& r = Mixing(c.session);
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(255, 255, 63));
    ScaleProfileFrame(pic, c.axes);
    EnsureMixingLayer(c);
    if (c.options.MixingLayerMode == kMixingByMaximumTemperature) {
        pic.SetDrawWidth(1);
        pic.SetDrawStyle(DrawStyle::Dot);
        const auto& markers = r.MixingLayerMarkers[static_cast<std::size_t>(m)];
        const int count = std::min<int>(r.MarkerCount(m) - 1, kMixingLayerDays - 1);
        for (int k = 1; k <= count; ++k) {
            const double x = markers[static_cast<std::size_t>(k)];
            pic.Line(x, c.axes.LnPBase, x, c.axes.TopLnP(), RGB(255, 126, 63));
        }
    }
    pic.SetDrawWidth(4);
    pic.SetDrawStyle(DrawStyle::Solid);
    DrawColumnTrace(pic, LastTime(c), [&](int t) -> std::optional<double> {
        const int level = static_cast<int>(std::nearbyint(r.MixingLayerTopLevel(m, t)));
        const float p = s.Pressure(m, t, std::clamp(level, 0, kMaxProfileLevels));
        if (!(p > 0.0f)) return std::nullopt;
        return std::log(static_cast<double>(p));
    });
    pic.SetDrawWidth(1);
}

void PlotMoistLakeIndex(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    TimeField& index = c.session.timeHeight->MoistLakeIndex;
    const float lake = c.session.parcelOptions.LakeTempC;
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(255, 255, 255));
    pic.SetFillColor(RGB(255, 255, 255));
    pic.SetDrawWidth(3);
    ScaleIndexFrame(c);
    for (int t = 0; t <= LastTime(c); ++t) {
        index(m, t) = MoistLakeIndexOf(s, static_cast<std::int16_t>(t), lake);
        if (t == 0) {
            pic.SetCurrentX(0.0);
            pic.SetCurrentY(index(m, 0));
            continue;
        }
        const float now = index(m, t);
        const float before = index(m, t - 1);
        Rgb colour = RGB(223, 0, 0);
        if (now > 0.0f && before > 0.0f)
            colour = now > 3.0f && before > 3.0f ? RGB(0, 192, 0) : RGB(192, 192, 0);
        pic.LineTo(t, now, colour);
    }
    pic.SetDrawWidth(1);
}

} // namespace tarvex
