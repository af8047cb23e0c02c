#include "overview/fields/ParcelOverlays.h"

#include "compute/ComputeState.h"
#include "compute/ElevatedParcel.h"
#include "compute/ParcelState.h"
#include "compute/Parcels.h"
#include "files/Session.h"
#include "overview/fields/Contouring.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/Traces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tarvex {

namespace {

int Levels(const ProfileArrays& s) {
    return std::min<int>(s.LevelCount(s.CurrentModel), kMaxProfileLevels);
}

// The start levels whose parcels the ELCIN boxes (elcin) and the elevated
// CAPE contours (ecape) draw from.
struct ParcelLevels {
    std::array<StartLevels, 2> ranges{};
    std::size_t count = 0;
    std::span<const StartLevels> Ranges() const { return {ranges.data(), count}; }
};

ParcelLevels ParcelLevelsOf(const OverviewContext& c, bool elcin, bool ecape) {
    ParcelLevels levels;
    if (elcin) levels.ranges[levels.count++] = {2, static_cast<std::int16_t>(Levels(Store(c)) - 1)};
    if (ecape) levels.ranges[levels.count++] = {1, c.axes.TopLevel[Store(c).CurrentModel]};
    return levels;
}

// The start levels whose parcels are lifted ahead: the ELCIN boxes' while
// they are shown, with level 1 when the elevated-CAPE contours are too.
ParcelLevels LevelsLiftedAhead(const Session& session, const OverviewOptions& options) {
    ParcelLevels levels;
    if (!options.chkELCIN) return levels;
    levels.ranges[levels.count++] = {2, static_cast<std::int16_t>(Levels(*session.profile) - 1)};
    if (options.chkECAPE) levels.ranges[levels.count++] = {1, 1};
    return levels;
}

// Multiples of the contour interval drawn by the elevated-CAPE contours.
constexpr std::array<int, 6> kECAPEFactors{1, 20, 40, 100, 200, 400};

double CAPEScaleMax(const OverviewContext& c) {
    return c.session.history.OverviewThresholds[0];
}

} // namespace

void MakeElevatedParcels(OverviewContext& c, bool elcin, bool ecape) {
    MakeMissingECAPERun(Store(c), ParcelLevelsOf(c, elcin, ecape).Ranges(), *c.session.elevated);
}

bool ElevatedParcelsMissing(const OverviewContext& c, bool elcin, bool ecape) {
    return ECAPEMissing(Store(c), ParcelLevelsOf(c, elcin, ecape).Ranges(), *c.session.elevated);
}

ParcelsAhead::ParcelsAhead(Session& session, const OverviewOptions& options)
    : lifting_([this, &session, levels = LevelsLiftedAhead(session, options)] {
          try {
              MakeMissingECAPERun(*session.profile, levels.Ranges(), *session.elevated, stop_);
          } catch (...) {
              // What is not lifted is lifted by the redraw, which meets the
              // error itself.
          }
      }) {
    // No thread to be had: the redraw lifts them all.
    if (options.chkELCIN) lifting_.Start();
}

ParcelsAhead::~ParcelsAhead() {
    stop_ = true;
}

void MakeElevatedCAPE(OverviewContext& c) {
    MakeElevatedParcels(c, false, true);
}

void PlotECAPE(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    ScaleProfileFrame(pic, c.axes);
    pic.SetDrawWidth(1);
    pic.SetForeColor(RGB(255, 255, 0));
    const TimeHeightGrid grid = SliceField(c.session.elevated->ElevCAPE, m, s.LastTime(m),
                                           c.axes.TopLevel[m], c.axes.LevelLnP[m], false);
    const int hidden = std::clamp<int>(c.options.ECAPELegendStart, 0, 5);
    std::vector<float> values;
    for (std::size_t i = static_cast<std::size_t>(hidden); i < kECAPEFactors.size(); ++i)
        values.push_back(static_cast<float>(c.options.ContourInterval * kECAPEFactors[i]));
    DrawContourLevels(pic, grid, values);
    pic.SetDrawWidth(1);
}

void MakeELCINParcels(OverviewContext& c) {
    MakeElevatedParcels(c, true, false);
}

void PlotELCIN(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const ElevatedParcelResults& e = *c.session.elevated;
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    ScaleProfileFrame(pic, c.axes);
    const auto midLnP = [&](int a, int b) {
        return LnP((s.Pressure(m, 0, a) + s.Pressure(m, 0, b)) / 2.0f);
    };
    for (int k = 2; k < Levels(s); ++k) {
        const std::optional<double> top = midLnP(k, k + 1);
        const std::optional<double> bottom = midLnP(k - 1, k);
        if (!top || !bottom) continue;
        for (int t = 0; t <= s.LastTime(m); ++t) {
            if (e.ElevELLevel(m, t, k) < 1) continue;
            const float cin = e.ElevCIN(m, t, k);
            const Rgb color =
                cin >= 50.0f ? RGB(0, 0, 127) : (cin >= 20.0f ? RGB(0, 127, 0) : RGB(127, 0, 0));
            pic.FilledBox(t - 0.5, *top, t + 0.5, *bottom, color);
        }
    }
}

void PlotInstability(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const int levels = Levels(s);
    PictureSurface& pic = c.picRH;
    ScaleProfileFrame(pic, c.axes);
    pic.SetForeColor(kGreen);
    pic.SetFillColor(kGreen);
    pic.SetFillStyle(FillStyle::DiagonalCross);
    pic.SetDrawMode(DrawMode::CopyPen);
    const int top = c.axes.TopLevel[m] != levels ? c.axes.TopLevel[m] : levels - 1;
    const auto& y = c.axes.LevelLnP[m];
    for (int t = 0; t <= s.LastTime(m); ++t)
        for (int k = 1; k <= top; ++k)
            if (s.ThetaE(m, t, k + 1) < s.ThetaE(m, t, k))
                pic.Box(t - 0.5, y[k], t + 0.5, y[k + 1]);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawMode(DrawMode::CopyPen);
}

void MakeLayerCAPE(OverviewContext& c) {
    const auto on = c.options.CAPEkmOn();
    if (!(on[3] || on[4] || on[5] || on[6])) return;
    const ProfileArrays& s = Store(c);
    LayerCapeResults& layer = *c.session.layerCape;
    const int m = s.CurrentModel;
    for (int t = 0; t <= s.LastTime(m); ++t)
        if (layer.CapeShearDone(m, t) == kFlagFalse)
            LiftParcelProfile(s, static_cast<std::int16_t>(t), layer);
}

void PlotCAPE(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const int last = s.LastTime(m);
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(kWhite);
    pic.SetFillColor(kWhite);
    pic.SetDrawWidth(3);
    ScaleValueFrame(pic, c.axes, 0, CAPEScaleMax(c));
    const auto on = c.options.CAPEkmOn();
    const auto& limits = c.session.history.IndexThresholds[1]; // the CINS row
    if (on[0]) {
        // Each segment takes the colour of its later hour.
        const auto colorOf = [&](int t) {
            if (s.CAPE(m, t) < 1.0f) return kGreen;
            if (s.CINS(m, t) < limits[2]) return kRed;
            if (s.CINS(m, t) < limits[1]) return kYellow;
            return kGreen;
        };
        DrawColumnTrace(
            pic, last, [&](int t) { return std::optional<double>(s.CAPE(m, t)); }, colorOf);
    }
    static constexpr std::array<Rgb, 7> kDepthColors{
        kBlack, kBlack, kBlack, kWhite, RGB(0, 255, 255), RGB(255, 0, 255), RGB(255, 128, 0)};
    const LevelGrid<float, 7>& layer = c.session.layerCape->LayerCAPE;
    for (int km = 3; km <= 6; ++km) {
        if (!on[static_cast<std::size_t>(km)]) continue;
        pic.SetForeColor(kDepthColors[static_cast<std::size_t>(km)]);
        DrawColumnTrace(pic, last, [&](int t) { return std::optional<double>(layer(m, t, km)); });
    }
    pic.SetDrawWidth(1);
}

void MakeLakeParcels(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    LakeParcelResults& lake = *c.session.lake;
    const int m = s.CurrentModel;
    for (int t = 0; t <= s.LastTime(m); ++t)
        if (lake.LakeCAPEDone(m, t) == kFlagFalse)
            MakeCAPE(s, static_cast<std::int16_t>(t), lake, c.session.parcelOptions);
}

void PlotLIC(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const TimeField& cape = c.session.lake->LakeCAPE;
    DrawValueTrace(c, kWhite, 3, 0, CAPEScaleMax(c),
                   [&](int t) { return std::optional<double>(cape(m, t)); });
}

void PlotLIE(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(255, 255, 63));
    pic.SetFillColor(RGB(255, 255, 63));
    pic.SetDrawWidth(4);
    pic.SetDrawStyle(DrawStyle::Solid);
    ScaleProfileFrame(pic, c.axes);
    const TimeField& el = c.session.lake->LakeELPressure;
    DrawColumnTrace(pic, s.LastTime(m), [&](int t) { return LnP(el(m, t)); });
    pic.SetDrawWidth(1);
}

} // namespace tarvex
