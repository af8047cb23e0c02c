#include "overview/fields/WindOverlays.h"

#include "compute/MixingLayer.h"
#include "compute/ProfileInterp.h"
#include "compute/TimeHeightFields.h"
#include "files/Session.h"
#include "overview/fields/LayerTraces.h"
#include "overview/fields/MeanWindTrace.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/Traces.h"
#include "profile/diagrams/WindColumn.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

// Least room (pixels) a vector gets across; narrower columns are thinned.
constexpr double kVectorRoomPixels = 14.0;
// Vector length per knot in units of that room (70 kt reach the next
// vector), and the circle's radius in pixels.
constexpr double kRoomPerKnot = 1.0 / 70.0;
constexpr double kCirclePixels = 1.5;
// Least spacing of the spaced wind-profile interval, per step, as a part of
// the picture's height; and the least spacing of any two levels shown
// (pixels), so that the crowded levels near the ground stay readable.
constexpr double kSpacingStep = 0.015;
constexpr double kLeastLevelPixels = 8.0;

// How the vectors of the picture are laid out across it.
struct VectorLayout {
    int stride = 1;           // columns between two vectors
    double lengthPerKnot = 0; // x units
    double radius = 0;        // x units
};

VectorLayout LayoutOf(const PictureSurface& pic) {
    const double columnPixels = pic.PixelWidth() / std::max(std::fabs(pic.ScaleWidth()), 1e-9);
    VectorLayout v;
    v.stride = std::max(1, static_cast<int>(std::ceil(kVectorRoomPixels / columnPixels)));
    v.lengthPerKnot = v.stride * kRoomPerKnot;
    v.radius = kCirclePixels / columnPixels;
    return v;
}

// Knots per colour class of the wind-profile legend (OptWindColor).
double ColourStep(const OverviewOptions& o) {
    static constexpr double kSteps[] = {2.0, 5.0, 10.0, 20.0};
    return kSteps[std::clamp<int>(o.WindColorIndex, 0, 3)];
}

void Vector(PictureSurface& pic, const VectorLayout& v, double x, double y, double direction,
            double knots, bool coloured, double step = 10.0) {
    const Rgb colour = coloured ? WindSpeedColour(knots, step) : kYellow;
    pic.SetForeColor(colour);
    pic.SetFillColor(colour);
    DrawWindVector(pic, x, y, direction, knots * v.lengthPerKnot, v.radius);
}

void DirectionScale(OverviewContext& c) {
    ScaleValueFrame(c.picRH, c.axes, c.axes.DirectionTop - c.axes.DirectionSpan,
                    c.axes.DirectionTop);
}

// Levels 1..TopLevel shown by the wind profile's interval, never closer
// together than kLeastLevelPixels.
std::vector<int> ProfileLevels(const OverviewContext& c) {
    const int m = Store(c).CurrentModel;
    const auto& lnP = c.axes.LevelLnP[static_cast<std::size_t>(m)];
    const int top =
        std::min<int>(c.axes.TopLevel[static_cast<std::size_t>(m)], StoredLevelCount(Store(c)));
    const int step = c.options.VWPUseA ? 1 : std::max<int>(c.options.VWPInterval, 1);
    const double least = kLeastLevelPixels / std::max(c.picRH.PixelHeight(), 1) * c.axes.LnPSpan;
    const double spacing = std::max(
        c.options.VWPUseA ? kSpacingStep * c.options.VWPIntervalA * c.axes.LnPSpan : 0.0, least);
    std::vector<int> levels;
    double last = 1e9;
    for (int L = 1; L <= top; L += step) {
        const double y = lnP[static_cast<std::size_t>(L)];
        if (last - y < spacing) continue;
        last = y;
        levels.push_back(L);
    }
    return levels;
}

} // namespace

Rgb VentilationColour(double ventilation) {
    if (ventilation < 4.0) return RGB(223, 0, 0);
    if (ventilation < 8.0) return RGB(192, 192, 0);
    return RGB(0, 192, 0);
}

void PlotWinds(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const int step = c.session.parameters.ModelLevelStep;
    PictureSurface& pic = c.picRH;
    DirectionScale(c);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawWidth(2);
    const VectorLayout v = LayoutOf(pic);
    // The legend's three levels (below, at and above the chosen one), each
    // in its legend colour: a vector at the height of its direction, as long
    // as its speed.
    for (std::size_t i = 0; i < kWindLevelColours.size(); ++i) {
        const int level = c.options.SigmaLevel - step + step * static_cast<int>(i);
        if (level < 0 || level > std::min(StoredLevelCount(s), kMaxProfileLevels)) continue;
        const Rgb colour = kWindLevelColours[i];
        pic.SetForeColor(colour);
        pic.SetFillColor(colour);
        for (int t = 0; t <= LastTime(c); t += v.stride)
            DrawWindVector(pic, t, s.WindDirection(m, t, level), s.WindDirection(m, t, level),
                           s.WindSpeed(m, t, level) * v.lengthPerKnot, v.radius);
    }
    pic.SetDrawWidth(1);
}

void PlotVWP(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    ScaleProfileFrame(pic, c.axes);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawWidth(1);
    const VectorLayout v = LayoutOf(pic);
    const bool coloured = c.options.chkVWPColor;
    const double step = ColourStep(c.options);
    const auto& lnP = c.axes.LevelLnP[static_cast<std::size_t>(m)];
    const std::vector<int> levels = ProfileLevels(c);
    const double tenMetreY = (c.axes.BaseLnP[static_cast<std::size_t>(m)] + c.axes.LnPBase) / 2.0;
    for (int t = 0; t <= LastTime(c); t += v.stride) {
        if (c.options.PressureBaseExtended)
            Vector(pic, v, t, tenMetreY, s.WindDirection(m, t, 0), s.WindSpeed(m, t, 0), coloured,
                   step);
        for (int L : levels)
            Vector(pic, v, t, lnP[static_cast<std::size_t>(L)], s.WindDirection(m, t, L),
                   s.WindSpeed(m, t, L), coloured, step);
    }
}

void PlotTransportWinds(OverviewContext& c) {
    EnsureMixingLayer(c);
    const int m = Store(c).CurrentModel;
    const MixingLayerResults& r = c.session.timeHeight->mixingLayer;
    PictureSurface& pic = c.picRH;
    DirectionScale(c);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawWidth(2);
    const double radius = LayoutOf(pic).radius * 1.5;
    for (int t = 0; t <= LastTime(c); ++t) {
        const double dir = r.TransportDir(m, t);
        const Rgb colour = WindSpeedColour(r.TransportSpeed(m, t));
        pic.SetForeColor(colour);
        pic.SetFillColor(colour);
        // A turn through north is not joined across the picture.
        if (t > 0 && std::fabs(dir - r.TransportDir(m, t - 1)) <= 180.0)
            pic.Line(t - 1, r.TransportDir(m, t - 1), t, dir);
        pic.Circle(t, dir, radius);
    }
    pic.SetDrawWidth(1);
}

void PlotTransportSpeed(OverviewContext& c) {
    EnsureMixingLayer(c);
    const int m = Store(c).CurrentModel;
    const MixingLayerResults& r = c.session.timeHeight->mixingLayer;
    DrawValueTrace(c, RGB(255, 160, 0), 3, c.axes.TraceBase, c.axes.TraceBase + c.axes.TraceSpan,
                   [&](int t) -> std::optional<double> { return r.TransportSpeed(m, t); });
}

void PlotVentilation(OverviewContext& c) {
    EnsureMixingLayer(c);
    const int m = Store(c).CurrentModel;
    const MixingLayerResults& r = c.session.timeHeight->mixingLayer;
    PictureSurface& pic = c.picRH;
    pic.SetDrawWidth(3);
    pic.SetDrawMode(DrawMode::CopyPen);
    ScaleValueFrame(c.picRH, c.axes, 0.0, c.session.history.OverviewThresholds[2]);
    pic.SetCurrentX(0.0);
    pic.SetCurrentY(r.Ventilation(m, 0));
    for (int t = 1; t <= LastTime(c); ++t) {
        const double before = r.Ventilation(m, t - 1);
        const double now = r.Ventilation(m, t);
        pic.LineTo(t, now, VentilationColour(std::min(before, now)));
    }
    pic.SetDrawWidth(1);
}

} // namespace tarvex
