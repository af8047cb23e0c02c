#include "overview/fields/OverviewFrame.h"

#include "compute/Levels.h"
#include "compute/Narrow.h"
#include "compute/TraceValues.h"
#include "files/Session.h"
#include "platform/Format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <exception>
#include <initializer_list>
#include <string>

namespace tarvex {

namespace {

constexpr Rgb kGrey = RGB(127, 127, 127);
// The height tables' last entries (thousands of feet, kilometres).
constexpr int kLastKft = 70;
constexpr int kLastKm = 20;

// The most grid lines and labels one group draws: however wide its range
// (a zoomed or stored scale), the step widens by a whole factor beyond it.
constexpr int kMostScaleSteps = 40;

double ScaleStep(double span, double step) {
    const double steps = std::fabs(span) / step;
    if (!std::isfinite(steps) || steps <= kMostScaleSteps) return step;
    return step * std::ceil(steps / kMostScaleSteps);
}

// Drawing errors of one group leave the other groups drawn.
template <typename Group> void IgnoringErrors(Group&& group) {
    try {
        group();
    } catch (const std::exception&) {
    }
}

float LogOf(float pressure) {
    return pressure > 0.0f ? std::log(pressure) : 0.0f;
}

// The top of a label whose middle sits on the line y, moved in just enough
// to stay whole at the picture's top and bottom edges; none for a line
// outside the picture.
std::optional<double> SideLabelTop(const PictureSurface& side, double y) {
    const auto at = side.PlaceLabel(0, y - side.TextHeight("9") / 2.0, "9",
                                    LabelAnchor{0, y, LabelSlide::AlongLevel});
    if (!at) return std::nullopt;
    return at->second;
}

void SideLabel(PictureSurface& side, double x, double y, const std::string& text) {
    const TextAsLabel level(side, x, y, LabelSlide::AlongLevel);
    side.SetCurrentX(x);
    side.SetCurrentY(y - side.TextHeight("9") / 2.0);
    side.PrintNoNewline(text);
}

// A grid line across the whole width of picRH.
void GridLine(OverviewContext& c, double y, Rgb color = kGrey) {
    c.picRH.Line(c.axes.ScaleRightColumn, y, c.axes.ScaleLeftColumn, y, color);
}

Rgb LabelColor(bool gridOn) {
    return gridOn ? kWhite : kGrey;
}

// Starts a value group: its grid selector becomes available, picRH and the
// side picture are scaled to the group's range (the top value first) and the
// labels coloured by the selector. True when the group's grid is on.
bool StartValueGroup(OverviewContext& c, PictureSurface& side, bool& available, bool gridOn,
                     double top, double bottom) {
    available = true;
    c.picRH.Scale(c.axes.ScaleLeftColumn, top, c.axes.ScaleRightColumn, bottom);
    side.Scale(0, top, 100, bottom);
    side.SetForeColor(LabelColor(gridOn));
    return gridOn;
}

bool HeightGroupOn(const OverviewOptions& o) {
    return o.chkRH[0] || o.chkRH[1] || o.chkInversions || o.chkLIE || o.chkTemperature ||
           o.chkVWP || o.chkVelocity || o.chkRHContour || o.chkRHIcontour || o.chkSnowGrowth ||
           o.chkShearContour || o.chkIcing || o.chkDPD || o.chkWetBulb || o.ChkOmega ||
           o.chkClouds || o.chkFreezingLevel || o.chkTheta || o.chkThetaE || o.chkDeltaThetaE ||
           o.chkInstability || o.chkLayerShear || o.chkMixingRatio || o.chkMeanMixingRatio ||
           o.chkMixingLayer || o.chkWarmCloud || o.chkCloudBase || o.chkHeights || o.chkECAPE ||
           o.chkELCIN;
}

void DrawHeightGroup(OverviewContext& c) {
    const OverviewOptions& o = c.options;
    const OverviewAxes& a = c.axes;
    const Session& session = c.session;
    const ProfileArrays& store = *session.profile;
    const double top = a.TopLnP();
    const double bottom = a.LnPBase;
    c.grids.Height = true;
    c.picRight.Scale(0, top, 100, bottom);
    ScaleProfileFrame(c.picRH, a);
    c.picRight.SetForeColor(LabelColor(o.chkGridHeight));
    auto level = [&](double y, const std::string& label) {
        if (o.chkGridHeight) GridLine(c, y);
        SideLabel(c.picRight, 0, y, label);
    };
    const float topFeet = StdHeightFeet(static_cast<float>(std::exp(top)));
    if (o.VerticalUnits == 1) {
        const auto& kft = session.heightGrid.HeightGridPressureFt;
        // A top above the table's highest entry is labelled up to that entry.
        const int H = std::min(ClampToInt<int>(topFeet) / 1000, kLastKft);
        // The five-thousands' labels keep their places: a thousand between
        // them is left out where it would cover one.
        for (int k = 5; k <= H; k += 5)
            if (const auto at = SideLabelTop(c.picRight, std::log(kft[k])); kft[k] > 0 && at)
                c.picRight.ReserveTextPlace(0, *at, Format(k, "##K"));
        if (H <= 20) {
            c.picRH.SetDrawStyle(DrawStyle::Dot);
            for (int k = 1; k <= H; ++k)
                if (k % 5 != 0 && kft[k] > 0) level(std::log(kft[k]), Format(k, "##K"));
            c.picRH.SetDrawStyle(DrawStyle::Solid);
        }
        for (int k = 5; k <= H; k += 5)
            if (kft[k] > 0) level(std::log(kft[k]), Format(k, "##K"));
    } else if (o.VerticalUnits == 0) {
        const int step = a.LnPSpan < 0.6f ? 50 : 100;
        for (int p = 1000 - step; p >= 0; p -= step) {
            const int L = p == 0 ? 50 : p;
            level(std::log(L), Format(L, "##0"));
        }
    } else if (o.VerticalUnits == 2) {
        const auto& km = session.heightGrid.HeightGridPressureKm;
        const int K = std::min(ClampToInt<int>(topFeet) / 3281, kLastKm);
        for (int k = 1; k <= K; ++k)
            if (km[k] > 0) level(std::log(km[k]), Format(k, "##Km"));
    }
    if (o.PressureBaseExtended) {
        const float base = a.BaseLnP[store.CurrentModel];
        GridLine(c, base);
        if (o.chkVWP) SideLabel(c.picRight, 0, (base + a.LnPBase) / 2.0, "10 meter");
    }
}

void DrawWindGroup(OverviewContext& c, double labelX) {
    const OverviewAxes& a = c.axes;
    const bool gridOn = StartValueGroup(c, c.picLeft, c.grids.Wind, c.options.chkGridWind,
                                        a.DirectionTop, a.DirectionTop - a.DirectionSpan);
    const int step = a.DirectionSpan > 180.0f ? 45 : 10;
    c.picRH.SetDrawStyle(DrawStyle::Dot);
    for (int d = 0; d <= 360; d += step) {
        if (gridOn) {
            c.picRH.SetDrawWidth(d % 90 == 0 ? 2 : 1);
            GridLine(c, d);
        }
        SideLabel(c.picLeft, labelX, d, std::to_string(d));
    }
    c.picRH.SetDrawWidth(1);
    c.picRH.SetDrawStyle(DrawStyle::Solid);
}

void DrawPrecipGroup(OverviewContext& c) {
    const OverviewAxes& a = c.axes;
    const double top = a.PrecipBase + a.PrecipSpan;
    const bool gridOn =
        StartValueGroup(c, c.picRight, c.grids.Precip, c.options.chkGridPrecip, top, a.PrecipBase);
    const double fine = a.PrecipSpan < 0.25f ? 0.01 : (a.PrecipSpan <= 2.0f ? 0.1 : 0.5);
    const double step = ScaleStep(top, fine);
    const int count = StepCount(0.0, top + 1e-6 * step, step, kMostScaleSteps + 1);
    for (int i = 0; i < count; ++i) {
        const double v = i * step;
        if (gridOn) GridLine(c, v);
        SideLabel(c.picRight, 33, v, Format(v, fine == 0.01 ? ".00" : ".0"));
    }
}

// Lines and labels of a value scale from lo to hi: a grid line (when the
// group's selector is on) and a label at every step.
struct ValueScale {
    double lo, hi, step;
    double labelX;
    const char* pattern;
};

void DrawValueScale(OverviewContext& c, PictureSurface& side, bool gridOn, const ValueScale& s,
                    auto&& styleOf) {
    const double step = ScaleStep(s.hi - s.lo, s.step);
    const int count = StepCount(s.lo, s.hi + 1e-6 * step, step, kMostScaleSteps + 1);
    for (int i = 0; i < count; ++i) {
        const double v = s.lo + i * step;
        if (gridOn) {
            c.picRH.SetDrawStyle(styleOf(v));
            GridLine(c, v);
        }
        SideLabel(side, s.labelX, v, Format(v, s.pattern));
    }
    c.picRH.SetDrawStyle(DrawStyle::Solid);
}

bool IsMultiple(double v, double of) {
    return std::fabs(std::remainder(v, of)) < 1e-6;
}

// An index label: sign and value as one text, so the value never counts as
// covering its own sign.
std::string IndexLabel(const OverviewAxes& a, double v) {
    const double shown = v * a.IndexLabelFactor;
    return (shown < 0.0 ? "-" : "+") + Format(std::fabs(shown), "0");
}

void DrawIndexGroup(OverviewContext& c, double labelX) {
    const OverviewAxes& a = c.axes;
    const bool gridOn = StartValueGroup(c, c.picLeft, c.grids.LakeIndex, c.options.chkGridLakeIndex,
                                        a.IndexBase + a.IndexSpan, a.IndexBase);
    const double lo = a.IndexBase;
    const double hi = a.IndexBase + a.IndexSpan;
    const bool fine = a.IndexSpan < 20.0f;
    // Dotted lines at every whole value of a narrow range, solid ones at
    // every multiple of 5 (of a wider step on a very wide range).
    const double lineStep = ScaleStep(a.IndexSpan, fine ? 1 : 5);
    auto multiples = [&](double step, auto&& draw) {
        const double first = std::ceil(lo / step) * step;
        const int count = StepCount(first, hi, step, kMostScaleSteps + 1);
        for (int i = 0; i < count; ++i) draw(first + i * step);
    };
    if (gridOn) {
        multiples(lineStep, [&](double v) {
            c.picRH.SetDrawStyle(IsMultiple(v, 5) ? DrawStyle::Solid : DrawStyle::Dot);
            GridLine(c, v, v == 0.0 ? kWhite : kGrey);
        });
    }
    const double labelStep = ScaleStep(a.IndexSpan, fine ? 1 : (a.IndexSpan < 100.0f ? 5 : 25));
    multiples(labelStep, [&](double v) { SideLabel(c.picLeft, labelX, v, IndexLabel(a, v)); });
    c.picRH.SetDrawStyle(DrawStyle::Solid);
}

void DrawTempGroup(OverviewContext& c) {
    const OverviewAxes& a = c.axes;
    const bool gridOn = StartValueGroup(c, c.picRight, c.grids.Temp, c.options.chkGridTemp,
                                        a.TraceBase + a.TraceSpan, a.TraceBase);
    const int step = a.TraceSpan > 50.0f ? 10 : 5;
    const int lo = ClampToInt<int>(RoundHalfEven(a.TraceBase)) / step * step;
    const int hi = ClampToInt<int>(RoundHalfEven(a.TraceBase + a.TraceSpan)) / step * step;
    DrawValueScale(c, c.picRight, gridOn, {double(lo), double(hi), double(step), 66, "00"},
                   [](double v) { return IsMultiple(v, 10) ? DrawStyle::Solid : DrawStyle::Dot; });
}

void DrawLeftGroup(OverviewContext& c, double top, double bottom, const ValueScale& scale,
                   auto&& styleOf) {
    const bool gridOn =
        StartValueGroup(c, c.picLeft, c.grids.Left, c.options.chkGridLeft, top, bottom);
    DrawValueScale(c, c.picLeft, gridOn, scale, styleOf);
}

void DrawCapeGroup(OverviewContext& c, double labelX) {
    const double M = c.session.history.OverviewThresholds[0];
    const double step = M > 5000 ? 1000 : M > 2000 ? 500 : M > 1000 ? 250 : M > 350 ? 100 : 25;
    DrawLeftGroup(c, M, 0, {0, RoundHalfEven(M), step, labelX, "00"},
                  [](double v) { return IsMultiple(v, 500) ? DrawStyle::Solid : DrawStyle::Dot; });
}

void DrawSurfacePressureGroup(OverviewContext& c, double labelX) {
    const OverviewAxes& a = c.axes;
    const double step = a.PressureTraceSpan > 70.0f ? 10 : 5;
    const double lo = std::ceil(a.PressureTraceBase / step) * step;
    DrawLeftGroup(c, a.PressureTraceBase + a.PressureTraceSpan, a.PressureTraceBase,
                  {lo, a.PressureTraceBase + a.PressureTraceSpan, step, labelX, "0"},
                  [](double) { return DrawStyle::Dot; });
}

double VentilationStep(double M) {
    return M > 50 ? 10 : M > 20 ? 5 : M > 10 ? 2 : M > 3.5 ? 1 : 0.25;
}
const char* VentilationPattern(double M) {
    return VentilationStep(M) < 1 ? "0.00" : "0";
}

void DrawVentilationGroup(OverviewContext& c, double labelX) {
    const double M = c.session.history.OverviewThresholds[2];
    DrawLeftGroup(c, M, 0, {0, M, VentilationStep(M), labelX, VentilationPattern(M)},
                  [](double) { return DrawStyle::Dot; });
}

void DrawVisibilityGroup(OverviewContext& c, double labelX) {
    // The visibility trace hangs (M - miles)^2 below the top edge, so the
    // labels stand where it draws each visibility.
    const double M = c.session.history.OverviewThresholds[1];
    const bool gridOn =
        StartValueGroup(c, c.picLeft, c.grids.Left, c.options.chkGridLeft, 0, M * M);
    struct Mark {
        double miles;
        const char* label;
    };
    static constexpr Mark kMarks[] = {{0.25, "1/4"}, {0.5, "1/2"}, {1, "1"},  {1.5, "1.5"},
                                      {2, "2"},      {3, "3"},     {5, "5"},  {7, "7"},
                                      {10, "10"},    {15, "15"},   {20, "20"}};
    c.picRH.SetDrawStyle(DrawStyle::Dot);
    for (const Mark& mark : kMarks) {
        if (mark.miles > M) break;
        const double depth = VisibilityDepth(mark.miles, M);
        if (gridOn) GridLine(c, depth);
        SideLabel(c.picLeft, labelX, depth, mark.label);
    }
    c.picRH.SetDrawStyle(DrawStyle::Solid);
}

constexpr auto kWindScale = static_cast<std::size_t>(LeftScale::Wind);
constexpr auto kIndexScale = static_cast<std::size_t>(LeftScale::Index);
constexpr auto kCapeScale = static_cast<std::size_t>(LeftScale::Cape);
constexpr auto kPressureScale = static_cast<std::size_t>(LeftScale::Pressure);
constexpr auto kVentScale = static_cast<std::size_t>(LeftScale::Ventilation);
constexpr auto kVisScale = static_cast<std::size_t>(LeftScale::Visibility);

// The widest label a left scale writes (pixels, in the picture's font): the
// labels at the ends of its range, which hold the most figures.
double WidestLeftLabel(const OverviewContext& c, std::size_t scale) {
    const PictureSurface& left = c.picLeft;
    const OverviewAxes& a = c.axes;
    const auto& tops = c.session.history.OverviewThresholds;
    auto widest = [&left](std::initializer_list<std::string> texts) {
        double w = 0.0;
        for (const std::string& text : texts) w = std::max(w, left.TextWidth(text));
        return w;
    };
    switch (scale) {
    case kWindScale:
        return widest({"360"});
    case kIndexScale:
        return widest({IndexLabel(a, a.IndexBase), IndexLabel(a, a.IndexBase + a.IndexSpan)});
    case kCapeScale:
        return widest({Format(RoundHalfEven(tops[0]), "00")});
    case kPressureScale:
        return widest({Format(a.PressureTraceBase, "0"),
                       Format(a.PressureTraceBase + a.PressureTraceSpan, "0")});
    case kVentScale:
        return widest({Format(tops[2], VentilationPattern(tops[2]))});
    default:
        return widest({"1/4", "1.5", tops[1] >= 10.0f ? "10" : "7"});
    }
}

// Where each scale shown on picLeft writes its labels (x of 0..100): each
// keeps a band of its own, so no scale's labels are lost under another's.
// Up to three scales take the thirds, each its usual one (wind 33, index 66,
// the others 0) while no other scale holds it; more scales share the width
// in proportion to their widest labels, their text made smaller to fit
// (never below the least size), so that every value has room.
std::array<SideBand, kLeftScales> LeftBands(OverviewContext& c, const std::array<bool, 6>& shown) {
    PictureSurface& left = c.picLeft;
    constexpr double kUsual[] = {33, 66, 0, 0, 0, 0};
    std::array<SideBand, kLeftScales> bands{};
    const int n = static_cast<int>(std::count(shown.begin(), shown.end(), true));
    if (n > 3) {
        left.SetFontSize(left.FontSize() * 3.0 / n);
        // Each band: its widest label and a blank's gap; what is left over is
        // shared equally, and a picture too narrow for all shrinks each band
        // in proportion.
        const double pixels = std::max(left.PixelWidth(), 1);
        const double gap = left.TextWidth(" ");
        std::array<double, kLeftScales> need{};
        double total = 0.0;
        for (std::size_t g = 0; g < shown.size(); ++g)
            if (shown[g]) total += need[g] = WidestLeftLabel(c, g) + gap;
        const double spare = std::max(pixels - total, 0.0) / n;
        const double shrink = std::min(pixels / total, 1.0);
        double x = 0.0;
        for (std::size_t g = 0; g < shown.size(); ++g) {
            if (!shown[g]) continue;
            const double width = (need[g] * shrink + spare) / pixels * 100.0;
            bands[g] = {x, x + width};
            x += width;
        }
        return bands;
    }
    std::array<bool, 3> taken{};
    auto take = [&](std::size_t g, std::size_t third) {
        taken[third] = true;
        bands[g] = {33.0 * static_cast<double>(third), third == 2 ? 100.0 : 33.0 * (third + 1.0)};
    };
    for (std::size_t g = 0; g < shown.size(); ++g) {
        const auto third = static_cast<std::size_t>(kUsual[g] / 33);
        if (shown[g] && !taken[third]) take(g, third);
    }
    for (std::size_t g = 0; g < shown.size(); ++g) {
        if (!shown[g] || bands[g].to > bands[g].from) continue;
        take(g, static_cast<std::size_t>(std::find(taken.begin(), taken.end(), false) -
                                         taken.begin()));
    }
    return bands;
}

void DrawTimeGrid(OverviewContext& c) {
    const OverviewAxes& a = c.axes;
    const int perMark = c.session.TimeLabelEvery;
    c.picRH.Scale(a.ScaleLeftColumn, 1, a.ScaleRightColumn, 0);
    c.picRH.SetDrawStyle(DrawStyle::Dot);
    const int last =
        std::min(ClampToInt<int>(RoundHalfEven(a.ScaleLeftColumn - 1.0f)), 4 * kTimeColumns);
    for (int col = 0; col <= last; ++col) {
        c.picRH.SetDrawWidth(perMark > 0 && col % perMark == 0 ? 2 : 1);
        c.picRH.Line(col, 0, col, 1, kGrey);
    }
    c.picRH.SetDrawWidth(1);
    c.picRH.SetDrawStyle(DrawStyle::Solid);
}

} // namespace

std::int16_t ColumnSpanOf(int hours, int HoursPerColumn) {
    const int perColumn = std::max(HoursPerColumn, 1);
    return static_cast<std::int16_t>(RoundHalfEven(static_cast<double>(hours) / perColumn + 1.0));
}

void SetTimeWindow(OverviewAxes& axes, int ColumnSpan, int scroll) {
    axes.ScaleLeftColumn = static_cast<float>(ColumnSpan + scroll);
    axes.ScaleRightColumn = static_cast<float>(scroll - 1);
}

void SetLevelLogPressures(const ProfileArrays& store, OverviewAxes& axes) {
    const int m = store.CurrentModel;
    const int levels = std::min<int>(store.LevelCount(m), kMaxProfileLevels);
    for (int k = 1; k <= levels; ++k) axes.LevelLnP[m][k] = LogOf(store.Pressure(m, 0, k));
    axes.BaseLnP[m] = LogOf(store.SurfacePressure(m, 0));
}

void StartProfileScale(OverviewAxes& axes, int model, int TopPressure) {
    axes.LnPBase = axes.BaseLnP[model];
    axes.LnPSpan = axes.BaseLnP[model] - LogOf(static_cast<float>(TopPressure));
}

void SetPressureBaseExtended(OverviewAxes& axes, int model, bool extended) {
    if (extended) {
        axes.LnPBase = axes.BaseLnP[model] + 0.15f * axes.LnPSpan;
        axes.LnPSpan = 1.15f * axes.LnPSpan;
    } else {
        axes.LnPSpan = axes.LnPSpan / 1.15f;
        axes.LnPBase = axes.BaseLnP[model];
    }
}

std::int16_t FindTopLevelOf(const ProfileArrays& store, const OverviewAxes& axes, int model) {
    const int levels = std::min<int>(store.LevelCount(model), kMaxProfileLevels);
    for (int k = 1; k <= levels; ++k)
        if (axes.TopLnP() > axes.LevelLnP[model][k]) return static_cast<std::int16_t>(k);
    return static_cast<std::int16_t>(levels);
}

std::int16_t ClampToModelRange(int n, int LastTime) {
    if (n < 1) return 0;
    return static_cast<std::int16_t>(n < LastTime ? n : LastTime);
}

void ScaleProfileFrame(PictureSurface& pic, const OverviewAxes& axes) {
    pic.Scale(axes.ScaleLeftColumn, axes.TopLnP(), axes.ScaleRightColumn, axes.LnPBase);
}

void SetOverviewDesignSizes(OverviewContext& ctx) {
    ctx.picRH.SetDesignSize(660, 630);
    ctx.picLeft.SetDesignSize(kLeftScaleWidth, 300);
    ctx.picRight.SetDesignSize(kRightScaleWidth, 300);
}

void DrawOverviewFrame(OverviewContext& c) {
    const OverviewOptions& o = c.options;
    c.grids = {};
    c.picRH.SetForeColor(kWhite);
    const std::array<bool, 6> left = {o.chkWinds || o.chkMeanWind || o.chkTransportWinds,
                                      o.chkLakeIndex || o.chkMoistLakeIndex || o.chkVVTrend ||
                                          o.chk3HPresChange || o.chkHelicity || o.chkDavisIndex ||
                                          o.chkHainesIndex || o.chkTQ || o.chkSnowRatio,
                                      o.chkCAPE || o.chkLIC || o.chkPrecipWater,
                                      o.chkSfcPres,
                                      o.chkVentilation,
                                      o.chkVisibility};
    const double leftFont = c.picLeft.FontSize();
    c.grids.LeftBands = LeftBands(c, left);
    std::array<double, kLeftScales> band{};
    for (std::size_t g = 0; g < band.size(); ++g) band[g] = c.grids.LeftBands[g].from;
    if (HeightGroupOn(o)) IgnoringErrors([&] { DrawHeightGroup(c); });
    if (left[kWindScale]) IgnoringErrors([&] { DrawWindGroup(c, band[kWindScale]); });
    if (o.chkPrecip || o.chkEvaporation || o.chkRunOff || o.chkSnow)
        IgnoringErrors([&] { DrawPrecipGroup(c); });
    if (left[kIndexScale]) IgnoringErrors([&] { DrawIndexGroup(c, band[kIndexScale]); });
    if (o.chkSfcTemp || o.chkSfcDewPoint || o.chkApparentTemp || o.chkWindChill || o.chkSkinTemp ||
        o.chkTotalTotals || o.chkStormRelInflow || o.chkMBEspeed || o.chkTransportSpeed)
        IgnoringErrors([&] { DrawTempGroup(c); });
    if (left[kCapeScale]) IgnoringErrors([&] { DrawCapeGroup(c, band[kCapeScale]); });
    if (left[kPressureScale])
        IgnoringErrors([&] { DrawSurfacePressureGroup(c, band[kPressureScale]); });
    if (left[kVentScale]) IgnoringErrors([&] { DrawVentilationGroup(c, band[kVentScale]); });
    if (left[kVisScale]) IgnoringErrors([&] { DrawVisibilityGroup(c, band[kVisScale]); });
    c.picLeft.SetFontSize(leftFont);
    if (o.chkGridTime) IgnoringErrors([&] { DrawTimeGrid(c); });
}

} // namespace tarvex
