#include "overview/fields/LevelTraces.h"

#include "compute/ComputeState.h"
#include "compute/Levels.h"
#include "compute/ParcelState.h"
#include "compute/WholeRun.h"
#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/Traces.h"
#include "platform/Format.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tarvex {

namespace {

// Colours of the btnHeights toggles 1 "LCL", 2 "LFC", 3 "Eql".
constexpr Rgb kHeightColors[] = {kBlack, RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 192, 0)};

// A level pressure that lies more than 40 mb above the column's lowest entry.
std::optional<double> RaisedLevel(const ProfileArrays& s, int m, int t, const TimeField& level) {
    const float p = level(m, t);
    if (!(s.Pressure(m, t, 0) - 40.0f > p)) return std::nullopt;
    return LnP(p);
}

// Classed cloud cover: fill style and colour of a layer.
struct CloudClass {
    FillStyle style;
    Rgb color;
};
CloudClass CloudClassOf(float cover) {
    if (cover < 6.0f) return {FillStyle::Solid, kBlack};
    if (cover < 25.0f) return {FillStyle::DownwardDiagonal, RGB(127, 127, 127)};
    if (cover < 50.0f) return {FillStyle::DiagonalCross, RGB(127, 127, 127)};
    if (cover < 90.0f) return {FillStyle::Solid, RGB(127, 127, 127)};
    return {FillStyle::Solid, kWhite};
}

constexpr Rgb kIsothermColor = RGB(255, 127, 63);
constexpr Rgb kMarkerColor = RGB(255, 255, 127);

// Prints text at (x, y), beside the point (t, level) it names, moved in just
// enough to lie whole in the picture; not for a point outside the picture.
void PrintInside(PictureSurface& pic, int t, double level, double x, double y,
                 const std::string& text) {
    const auto placed = pic.PlaceLabel(x, y, text, LabelAnchor{double(t), level});
    if (!placed) return;
    std::tie(x, y) = *placed;
    // Standing beside its point, the label is anchored at its own middle.
    const TextAsLabel point(pic, x + pic.TextWidth(text) / 2.0, y + pic.TextHeight(text) / 2.0,
                            LabelSlide::Fixed);
    pic.SetCurrentX(x);
    pic.SetCurrentY(y);
    pic.Print(text);
}

// The radius of an isotherm marker, in columns.
constexpr double kMarkerRadius = 0.4;

// The radius of an isotherm marker in pixels.
double MarkerRadiusPixels(const PictureSurface& pic) {
    return std::fabs(kMarkerRadius * pic.PixelWidth() /
                     std::max(std::fabs(pic.ScaleWidth()), 1e-9));
}

// The level a marker's label names: the marker's centre, or, for a marker
// centred just beyond the top or bottom edge that still shows inside the
// picture (a level at the ground line), its edge inside, so that a marker
// that shows always shows its height.
double MarkerLevel(const PictureSurface& pic, double level) {
    const double radius = MarkerRadiusPixels(pic);
    const double py = pic.ToPixelY(level);
    const double inside = std::clamp(py, 0.0, std::max(pic.PixelHeight() - 1.0, 0.0));
    if (inside == py || std::fabs(inside - py) >= radius) return level;
    return pic.FromPixelY(inside);
}

// A marked hour of an isotherm series and the level of its marker.
struct IsothermMarker {
    int t = 0;
    double level = 0.0;
};

// The hours of a series that get a marker and a height: the first hour with
// a level, and each whose level changed by more than the label step since
// the last marked hour.
std::vector<IsothermMarker> IsothermMarkers(const OverviewContext& c, const TimeField& H) {
    const int m = Store(c).CurrentModel;
    const float step = c.session.config.IsothermLabelStep;
    std::vector<IsothermMarker> markers;
    float marked = -9999.0f;
    for (int t = 0; t <= Store(c).LastTime(m); ++t) {
        const std::optional<double> level = LnP(PressureFromAltitude(H(m, t)));
        if (!level || !(std::fabs(marked - H(m, t)) > step)) continue;
        marked = H(m, t);
        markers.push_back({t, *level});
    }
    return markers;
}

// Whether text at (x, y) keeps off every marker but its own: a height is
// printed in the line's colour, which a marker's fill shares, so on another
// marker its digits would read as part of the dot.
bool ClearOfMarkers(const PictureSurface& pic, double x, double y, const std::string& text,
                    const IsothermMarker& own, const std::vector<IsothermMarker>& markers) {
    const double x1 = pic.ToPixelX(x);
    const double x2 = pic.ToPixelX(x + pic.TextWidth(text));
    const double y1 = pic.ToPixelY(y);
    const double y2 = pic.ToPixelY(y + pic.TextHeight(text));
    // The radius to the outside of the outline.
    const double radius = MarkerRadiusPixels(pic) + pic.DrawWidth() / 2.0;
    return std::ranges::none_of(markers, [&](const IsothermMarker& marker) {
        const double cx = pic.ToPixelX(marker.t);
        const double cy = pic.ToPixelY(marker.level);
        const double dx = cx - std::clamp(cx, std::min(x1, x2), std::max(x1, x2));
        const double dy = cy - std::clamp(cy, std::min(y1, y2), std::max(y1, y2));
        const bool itsOwn = marker.t == own.t && marker.level == own.level;
        return !itsOwn && std::hypot(dx, dy) < radius;
    });
}

// One isotherm series: its line with a marker at each marked hour, its name
// every 21 hours from hour 4, and the height (thousands of ft) beside and
// above each marker, each kept whole inside the picture. A height that
// would stand on another marker of either series (markers crowd where the
// hours are narrow) stands on its marker's left instead, or a line higher.
void DrawIsotherm(OverviewContext& c, const TimeField& H, const char* name,
                  const std::vector<IsothermMarker>& markers,
                  const std::vector<IsothermMarker>& everyMarker) {
    PictureSurface& pic = c.picRH;
    const int m = Store(c).CurrentModel;
    const int last = Store(c).LastTime(m);
    const auto y = [&](int t) { return LnP(PressureFromAltitude(H(m, t))); };
    DrawColumnTrace(pic, last, y);
    for (const IsothermMarker& marker : markers)
        pic.Circle(marker.t, marker.level, kMarkerRadius, kMarkerColor);
    for (int t = 4; t <= last; t += 21) {
        const std::optional<double> yt = y(t);
        if (!yt) continue;
        PrintInside(pic, t, *yt, t, *yt + 0.5 * pic.TextHeight("H"), name);
    }
    const double w = pic.TextWidth("H");
    const double h = pic.TextHeight("H");
    for (const IsothermMarker& marker : markers) {
        const std::string text = Format(H(m, marker.t) / 1000.0, "#0.0");
        const double level = MarkerLevel(pic, marker.level);
        const double right = marker.t + 1.15 * w;
        const double left = marker.t - 1.15 * w - pic.TextWidth(text);
        const double above = marker.level - 1.5 * h;
        const std::pair<double, double> places[] = {
            {right, above}, {left, above}, {right, above - h}, {left, above - h}};
        const auto clear = std::ranges::find_if(places, [&](const auto& place) {
            const auto at = pic.PlaceLabel(place.first, place.second, text,
                                           LabelAnchor{double(marker.t), level});
            return at && ClearOfMarkers(pic, at->first, at->second, text, marker, everyMarker);
        });
        const auto& [x, top] = clear != std::end(places) ? *clear : places[0];
        PrintInside(pic, marker.t, level, x, top, text);
    }
}

} // namespace

void PlotCloudBase(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    ScaleProfileFrame(pic, c.axes);
    pic.SetForeColor(RGB(255, 255, 0));
    pic.SetDrawWidth(4);
    pic.SetDrawStyle(DrawStyle::Solid);
    DrawColumnTrace(pic, s.LastTime(m), [&](int t) { return LnP(s.CloudBase(m, t)); });
    pic.SetDrawWidth(1);
}

void PlotHeights(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const int last = s.LastTime(m);
    PictureSurface& pic = c.picRH;
    ScaleProfileFrame(pic, c.axes);
    pic.SetDrawWidth(3);
    pic.SetDrawStyle(DrawStyle::Solid);
    pic.SetDrawMode(DrawMode::CopyPen);
    const auto on = c.options.HeightsOn();
    if (on[1]) {
        pic.SetForeColor(kHeightColors[1]);
        DrawColumnTrace(pic, last, [&](int t) { return LnP(s.LCLPressure(m, t)); });
    }
    if (on[2]) {
        pic.SetForeColor(kHeightColors[2]);
        DrawColumnTrace(pic, last, [&](int t) { return RaisedLevel(s, m, t, s.LFCPressure); });
    }
    if (on[3]) {
        pic.SetForeColor(kHeightColors[3]);
        DrawColumnTrace(pic, last, [&](int t) { return RaisedLevel(s, m, t, s.EQLPressure); });
    }
    pic.SetDrawWidth(1);
    pic.SetDrawMode(DrawMode::CopyPen);
}

void PlotClouds(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const int levels = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    PictureSurface& pic = c.picRH;
    ScaleProfileFrame(pic, c.axes);
    const bool grey = c.options.CloudsToggle;
    const auto classOf = [&](int t, int k) {
        const float cover = s.CloudFraction(m, t, k);
        if (!grey) return CloudClassOf(cover);
        // A damaged cover outside 0..100 takes the nearest end of the scale.
        const double g = RoundHalfEven(cover * 2.55);
        const int level = g >= 255.0 ? 255 : (g > 0.0 ? static_cast<int>(g) : 0);
        return CloudClass{FillStyle::Solid, RGB(level, level, level)};
    };
    const auto layerOf = [&](int t, int k) {
        return LnP(s.Pressure(m, t, k)) && LnP(s.Pressure(m, t, k + 1));
    };
    for (int t = 0; t <= s.LastTime(m); ++t) {
        for (int k = 1; k < levels; ++k) {
            if (!layerOf(t, k)) continue;
            const CloudClass cls = classOf(t, k);
            // Solid layers of one colour above each other look the same as
            // one box over all of them.
            int top = k;
            while (cls.style == FillStyle::Solid && top + 1 < levels && layerOf(t, top + 1) &&
                   classOf(t, top + 1).color == cls.color &&
                   classOf(t, top + 1).style == FillStyle::Solid)
                ++top;
            pic.SetFillStyle(cls.style);
            pic.SetFillColor(cls.color);
            pic.Box(t - 0.5, std::log(s.Pressure(m, t, k)), t + 0.5,
                    std::log(s.Pressure(m, t, top + 1)), cls.color);
            k = top;
        }
    }
    pic.SetFillStyle(FillStyle::Solid);
}

std::optional<float> WindSpeedAt500(const ProfileArrays& s, int t) {
    const int m = s.CurrentModel;
    const int levels = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    for (int k = 1; k <= levels; ++k) {
        const float pk = s.Pressure(m, t, k);
        if (!(pk < 500.0f)) continue;
        if (k == 1) return std::nullopt;
        const float pb = s.Pressure(m, t, k - 1);
        if (pb == pk) return std::nullopt;
        const float sb = s.WindSpeed(m, t, k - 1);
        return sb - (sb - s.WindSpeed(m, t, k)) / (pb - pk) * (pb - 500.0f);
    }
    return std::nullopt;
}

void MakeIsothermLevels(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    if (c.session.wholeRun->IsothermsDone(s.CurrentModel) == kFlagFalse)
        FindTempLevel(s, *c.session.wholeRun);
}

void PlotIsothermLevels(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const WholeRunResults& run = *c.session.wholeRun;
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    pic.SetDrawMode(DrawMode::CopyPen);
    pic.SetFillStyle(FillStyle::Solid);
    ScaleValueFrame(pic, c.axes, 100, 0);
    for (int t = 0; t <= s.LastTime(m); ++t) {
        const std::optional<float> wind = WindSpeedAt500(s, t);
        if (!wind) continue;
        const bool hail = run.FreezingLevelFt(m, t) > 13000.0f && *wind < 30.0f;
        pic.FilledBox(t - 0.5, 0, t + 0.5, 15, hail ? RGB(255, 0, 0) : RGB(0, 255, 0));
    }
    pic.SetForeColor(kIsothermColor);
    pic.SetFillColor(kIsothermColor);
    pic.SetDrawWidth(3);
    ScaleProfileFrame(pic, c.axes);
    const std::vector<IsothermMarker> minus20 = IsothermMarkers(c, run.Minus20LevelFt);
    const std::vector<IsothermMarker> zero = IsothermMarkers(c, run.FreezingLevelFt);
    std::vector<IsothermMarker> every = minus20;
    every.insert(every.end(), zero.begin(), zero.end());
    DrawIsotherm(c, run.Minus20LevelFt, "-20\u00B0C", minus20, every);
    DrawIsotherm(c, run.FreezingLevelFt, "0\u00B0C", zero, every);
    pic.SetDrawWidth(1);
    pic.SetDrawMode(DrawMode::CopyPen);
}

} // namespace tarvex
