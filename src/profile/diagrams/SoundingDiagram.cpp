#include "profile/diagrams/SoundingDiagram.h"

#include "compute/Levels.h"
#include "compute/Narrow.h"
#include "compute/PrecipType.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/ClosingOverlays.h"
#include "profile/diagrams/ParcelOutlines.h"
#include "profile/diagrams/SoundingOverlays.h"
#include "profile/diagrams/WindColumn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace tarvex {

namespace {

// Bounds of the background's loops: more lines than any axis shows, and 10 mb
// segments of a dry adiabat from 2700 mb up to 700 mb.
constexpr int kMostLines = 1000;
constexpr int kMostSegments = 200;

constexpr double kKelvin = 273.16;
constexpr Rgb kGrey = RGB(127, 127, 127);
constexpr Rgb kLightGrey = RGB(191, 191, 191);

// The diagram's coordinates for one redraw: y is ln p, x the skewed
// temperature.
struct Frame {
    double skewFactor;
    double baseLogP;
    double X(double t, double p) const { return XAtLog(t, std::log(p)); }
    // The same at a pressure given by its logarithm, for callers that have it.
    double XAtLog(double t, double logP) const { return t + skewFactor * (baseLogP - logP); }
};

// A horizontal line across the percent frame (or a tick at its left), with
// its label centred on it. The ground band is filled over the lines after
// them, so a label that would reach below the ground line is left out
// rather than shown cut or hidden under the band.
void LevelLine(PictureSurface& pic, const SoundingView& view, double labelX, double y,
               double groundY, const std::string& label) {
    if (view.options.Lines) {
        pic.Line(0.0, y, 100.0, y);
    } else {
        pic.Line(5.0, y, 7.0, y);
    }
    if (y + view.HalfTextHeight > groundY) return;
    // A line at the picture's edge has its label moved in to show whole.
    const TextAsLabel level(pic, labelX, y, LabelSlide::AlongLevel);
    pic.SetCurrentX(labelX);
    pic.SetCurrentY(y - view.HalfTextHeight);
    pic.Print(label);
}

void PressureLines(PictureSurface& pic, const SoundingView& view, double labelX, double groundY,
                   int top) {
    const int start = top >= 200 ? 950 : 150;
    pic.SetForeColor(kGrey);
    for (int p = start; p >= top; p -= 100)
        LevelLine(pic, view, labelX, std::log(static_cast<double>(p)), groundY, PrintForm(p));
    pic.SetForeColor(kLightGrey);
    for (int p = 1000; p >= top; p -= 100)
        LevelLine(pic, view, labelX, std::log(static_cast<double>(p)), groundY, PrintForm(p));
}

// A height line from a table of pressures; heights beyond the table or with
// no pressure in it are left out.
template <std::size_t N>
void HeightLine(PictureSurface& pic, const SoundingView& view, double labelX, double groundY,
                const std::array<std::int16_t, N>& table, int k, const std::string& label) {
    if (k < 0 || k >= static_cast<int>(N) || table[static_cast<std::size_t>(k)] <= 0) return;
    LevelLine(pic, view, labelX, std::log(static_cast<double>(table[static_cast<std::size_t>(k)])),
              groundY, label);
}

void HeightLines(PictureSurface& pic, const Session& session, const SoundingView& view,
                 double labelX, double groundY, int top) {
    const double topFeet = RoundHalfEven(StdHeightFeet(static_cast<float>(top)));
    const auto& grid = session.heightGrid;
    if (view.VerticalUnit == 1) {
        const int n = ClampToInt<int>(topFeet) / 1000;
        if (n <= 20) {
            pic.SetForeColor(kGrey);
            for (int k = 1; k <= n; ++k)
                if (k % 5 != 0)
                    HeightLine(pic, view, labelX, groundY, grid.HeightGridPressureFt, k,
                               PrintForm(k));
        }
        pic.SetForeColor(kLightGrey);
        for (int k = 5; k <= n; k += 5)
            HeightLine(pic, view, labelX, groundY, grid.HeightGridPressureFt, k, PrintForm(k));
    } else {
        const int n = ClampToInt<int>(topFeet) / 3281;
        pic.SetForeColor(kLightGrey);
        for (int k = 1; k <= n; ++k)
            HeightLine(pic, view, labelX, groundY, grid.HeightGridPressureKm, k, Format(k, "##Km"));
    }
}

// How the isotherms run: from first to the axis's right end every step,
// each label shifted left of its tick by labelShift and ending before right
// (the wind column's room).
struct IsothermSpacing {
    double first;
    int step;
    double labelShift;
    double right;
};

// Isotherms start at the surface pressure of the hour and lean with the skew.
void Isotherms(PictureSurface& pic, const SoundingView& view, const TemperatureAxisEnds& axis,
               const std::vector<float>& highlights, const Frame& f, int top,
               const IsothermSpacing& spacing) {
    const double lnTop = std::log(static_cast<double>(top));
    pic.SetForeColor(RGB(255, 255, 255));
    const int step = spacing.step;
    const double first = spacing.first;
    const double tick = 1.1 * view.HalfTextHeight;
    const int count = StepCount(first, axis.RightTemp, step, kMostLines);
    // A label stays inside the picture and out of the wind column: pushed up
    // off its bottom edge and in off its sides, a blank clear of the left
    // edge, where a minus against the picture's border would not read; an
    // isotherm whose foot lies outside, or in the column, gets none.
    const UserScale& scale = pic.CurrentScale();
    const double lowest = scale.top + scale.height - pic.TextHeight("0");
    const double leftmost = scale.left + pic.TextWidth(" ");
    for (int k = 0; k < count; ++k) {
        const double t = first + k * step;
        pic.Line(t, f.baseLogP, t, f.baseLogP + tick);
        if (t < axis.LeftTemp || t > axis.RightTemp || t > spacing.right) continue;
        const std::string label = PrintForm(t);
        const double rightmost = spacing.right - pic.TextWidth(label);
        pic.SetCurrentX(std::max<double>(std::min(t - spacing.labelShift, rightmost), leftmost));
        pic.SetCurrentY(std::min(f.baseLogP + tick, lowest));
        pic.Print(label);
    }
    pic.SetDrawStyle(DrawStyle::Dot);
    std::vector<PictureSurface::Segment> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k)
        lines.push_back({first + k * step, f.baseLogP, f.X(first + k * step, top), lnTop});
    pic.Lines(lines, RGB(0, 0, 255));
    for (float t : highlights) pic.Line(t, f.baseLogP, f.X(t, top), lnTop, RGB(0, 255, 255));
}

// Dry adiabats from the surface of the hour up to 700 mb, each known by its
// temperature at the surface.
void DryAdiabats(PictureSurface& pic, const TemperatureAxisEnds& axis, const Frame& f,
                 double surfacePressure, int top, int step) {
    pic.SetDrawStyle(DrawStyle::Dot);
    const double pStar = top >= 700 ? top : 700.0;
    const double first = std::floor(static_cast<double>(axis.LeftTemp) / step) * step - step;
    const double last =
        RoundHalfEven(axis.RightTemp + f.skewFactor * (f.baseLogP - std::log(pStar)) + step);
    const double startLevel = std::floor(surfacePressure / 10.0) * 10.0;
    const int adiabats = StepCount(first, last, step, kMostLines);
    const int segments = StepCount(startLevel, 700.0, -10.0, kMostSegments);
    // Every adiabat runs through the same levels: the logarithm of each and
    // the Poisson factor of each segment are worked out once for them all.
    std::array<double, kMostSegments + 1> logP{};
    std::array<double, kMostSegments> poisson{};
    logP[0] = std::log(surfacePressure);
    double p = surfacePressure;
    for (int j = 0; j < segments; ++j) {
        const double p2 = startLevel - 10.0 * j;
        const auto k = static_cast<std::size_t>(j);
        poisson[k] = std::pow(p / p2, 2.0 / 7.0);
        logP[k + 1] = std::log(p2);
        p = p2;
    }
    // Each segment is a line of its own, its dots counted from its start.
    std::vector<PictureSurface::Segment> lines;
    lines.reserve(static_cast<std::size_t>(adiabats) * static_cast<std::size_t>(segments));
    for (int k = 0; k < adiabats; ++k) {
        double t = first + k * step;
        for (std::size_t j = 0; j < static_cast<std::size_t>(segments); ++j) {
            const double t2 = (t + kKelvin) / poisson[j] - kKelvin;
            lines.push_back(
                {f.XAtLog(t, logP[j]), logP[j], f.XAtLog(t2, logP[j + 1]), logP[j + 1]});
            t = t2;
        }
    }
    pic.Lines(lines, RGB(64, 128, 128));
}

// The logarithm of each drawn level's pressure at the hour (not a number
// where there is no pressure), worked out once for every trace through them.
struct LevelLogs {
    int count = 0;
    std::array<double, kMaxProfileLevels + 1> logP{};
    LevelLogs(const ProfileArrays& s, int t)
        : count(std::min<int>(s.DrawLevelCount(s.CurrentModel), kMaxProfileLevels)) {
        for (int L = 1; L <= count; ++L) {
            const double p = s.Pressure(s.CurrentModel, t, L);
            logP[static_cast<std::size_t>(L)] =
                p > 0.0 ? std::log(p) : std::numeric_limits<double>::quiet_NaN();
        }
    }
};

// One profile trace: a point at level 1, then a line on to each level drawn.
template <typename Value>
void Trace(PictureSurface& pic, const LevelLogs& levels, const Frame& f, Rgb color, Value value) {
    if (levels.count < 1) return;
    pic.SetForeColor(color);
    bool started = false;
    for (int L = 1; L <= levels.count; ++L) {
        const double y = levels.logP[static_cast<std::size_t>(L)];
        if (std::isnan(y)) continue;
        const double x = f.XAtLog(value(L), y);
        if (!started) {
            pic.PSet(x, y);
            started = true;
        } else {
            pic.LineTo(x, y);
        }
    }
}

} // namespace

float SkewTFactor() {
    return static_cast<float>(150.0 / std::log(100.0));
}

void DrawSoundingTraces(PictureSurface& pic, Session& session, SoundingView& view,
                        SoundingPicture kind) {
    const bool underlays = kind == SoundingPicture::Main;
    const ProfileArrays& s = *session.profile;
    const TemperatureAxisEnds& axis = session.temperatureAxis;
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const int top = std::max<int>(1, s.DiagramTopPressure);
    const int bottom = std::max<int>(top + 1, s.DiagramBottomPressure);
    const double lnTop = std::log(static_cast<double>(top));
    const double lnBottom = std::log(static_cast<double>(bottom));
    const double surfacePressure = s.SurfacePressure(m, t);

    pic.Clear();
    // The omega strip lies over the top edge: a text there would be hidden.
    if (underlays && view.options.Omega)
        pic.ReserveTextArea(TextRect{0.0, 0.0, static_cast<double>(pic.PixelWidth()),
                                     std::ceil(kOmegaStripDesignHeight * pic.TextScale())});
    view.ECAPEPlotted = 0;
    view.SkewFactor = view.options.SkewT ? SkewTFactor() : 0.0f;
    view.SkewBaseLogP = surfacePressure > 0.0 ? static_cast<float>(std::log(surfacePressure))
                                              : static_cast<float>(lnBottom);
    const Frame f{view.SkewFactor, view.SkewBaseLogP};

    pic.Scale(0.0, lnTop, 100.0, lnBottom);
    view.HalfTextHeight = static_cast<float>(pic.TextHeight("9") / 2.0);
    // The wind column's numbers have their room before any text is printed.
    if (underlays) KeepWindColumnRoom(pic, s, view);

    const int raised = underlays ? PTypeStartLevel(s, session.options) : 0;
    if (raised > 1 && s.Pressure(m, t, raised) > 0.0f)
        pic.FilledBox(0.0, std::log(s.Pressure(m, t, raised)), 100.0, f.baseLogP, RGB(97, 54, 0));

    SoundingOverlayState* state = session.soundingOverlays.get();
    // The inversions' labels are printed after the level lines' and the
    // isotherms' labels, so that they move aside from them.
    std::vector<std::pair<double, std::string>> inversionLabels;
    if (underlays) {
        if (view.options.Clouds) ShadeCloudLayers(pic, s, t);
        DrawInversions(pic, session, view, state->LowestInversionBase, &inversionLabels);
    }

    pic.SetDrawMode(DrawMode::XorPen);
    pic.SetDrawStyle(DrawStyle::Dot);
    pic.SetFontTransparent(false);
    // The overview's panel writes the level labels nearer the lines.
    const double labelX = underlays ? 8.5 : 7.0;
    if (view.VerticalUnit == 0) {
        PressureLines(pic, view, labelX, f.baseLogP, top);
    } else {
        HeightLines(pic, session, view, labelX, f.baseLogP, top);
    }
    pic.SetDrawMode(DrawMode::CopyPen);
    pic.SetDrawStyle(DrawStyle::Solid);
    pic.SetFontTransparent(true);

    pic.FilledBox(0.0, lnBottom, 100.0, f.baseLogP, RGB(124, 54, 0));

    pic.Scale(axis.LeftTemp, lnTop, axis.RightTemp, lnBottom);
    const int step = axis.RightTemp - axis.LeftTemp >= 45 ? 10 : 5;
    if (underlays) {
        // The first isotherm that reaches the picture's left edge at the top.
        const double first =
            std::floor((axis.LeftTemp - f.skewFactor * (f.baseLogP - lnTop)) / step) * step - step;
        Isotherms(pic, view, axis, session.config.HighlightIsotherms, f, top,
                  {first, step, pic.TextWidth("0"), WindColumnLeft(pic, view)});
    } else {
        // The overview's panel: every 10 deg C from -60, none highlighted.
        Isotherms(pic, view, axis, {}, f, top,
                  {-60.0, 10, 2.0, pic.ScaleLeft() + pic.ScaleWidth()});
    }
    // 10 % across, in the temperature frame.
    PrintInversionLabels(pic, inversionLabels,
                         axis.LeftTemp + 0.1 * (axis.RightTemp - axis.LeftTemp));
    if (view.options.DryAdiabats && surfacePressure > 0.0)
        DryAdiabats(pic, axis, f, surfacePressure, top, step);

    pic.SetDrawStyle(DrawStyle::Solid);
    pic.SetDrawWidth(2);
    const LevelLogs levels(s, t);
    if (view.options.WetBulb)
        Trace(pic, levels, f, RGB(0, 255, 255), [&](int L) { return s.WetBulb(m, t, L); });
    if (view.options.Icing) {
        Trace(pic, levels, f, RGB(0, 0, 255),
              [&](int L) { return -8.0f * (s.Temperature(m, t, L) - s.DewPoint(m, t, L)); });
    }
    Trace(pic, levels, f, RGB(0, 255, 0), [&](int L) { return s.DewPoint(m, t, L); });
    Trace(pic, levels, f, RGB(255, 0, 0), [&](int L) { return s.Temperature(m, t, L); });
    pic.SetDrawWidth(1);
}

void DrawSounding(PictureSurface& pic, Session& session, SoundingView& view) {
    if (view.SuspendRedraw) return;
    DrawSoundingTraces(pic, session, view, SoundingPicture::Main);
    SoundingOverlayState* state = session.soundingOverlays.get();
    DrawLakeAndLevelOverlays(pic, session, view);

    // Second half: the parcel outlines first, in the temperature frame.
    DrawParcelOutlines(pic, session, view, state->parcels);
    DrawSoundingSecondHalf(pic, session, view);
    // The momentum-transfer layer, snow-growth zone, wind column,
    // precipitation type and closing marks follow here.
}

} // namespace tarvex
