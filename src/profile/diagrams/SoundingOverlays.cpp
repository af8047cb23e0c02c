#include "profile/diagrams/SoundingOverlays.h"

#include "compute/Levels.h"
#include "compute/Parcels.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagnostics/LakeEffect.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/diagrams/WindColumn.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <tuple>

namespace tarvex {

namespace {

// Inversions are only looked for below this pressure (mb, time column 0).
constexpr float kInversionSearchTop = 400.0f;
// Inversion bases at or above this pressure (mb) are surface based.
constexpr float kSurfaceInversionBase = 950.0f;

// A pressure that has a place on the diagram.
bool OnDiagram(double p) {
    return p > 0.0 && std::isfinite(p);
}

int ProfileLevels(const ProfileArrays& s) {
    return std::clamp<int>(s.LevelCount(s.CurrentModel), 0, kMaxProfileLevels);
}

// Where an inversion's label starts, right of the level lines' labels.
constexpr double kInversionLabelX = 10.0;

// The most steps a text moves to find a free place, each way.
constexpr int kMostNearbySteps = 16;

// The mark of a lake index: the slanted line from the ground, the 2 C tick at
// its top and the value centred above the tick, in white.
void IndexMark(PictureSurface& pic, const SoundingView& view, double groundT, double topT,
               double topP, double value, Rgb color) {
    if (!std::isfinite(value) || !std::isfinite(groundT)) return; // the air there is unknown
    const double x = SkewX(view, topT, topP);
    const double y = std::log(topP);
    pic.Line(groundT, view.SkewBaseLogP, x, y, color);
    pic.Line(x - 1.0, y, x + 1.0, y, color);
    const std::string text = PrintForm(value);
    pic.SetForeColor(kWhite);
    // A tick in the digital wind column has its value just left of the
    // column, whose room is its own.
    const double start =
        std::min(x - pic.TextWidth(text) / 2.0, WindColumnLeft(pic, view) - pic.TextWidth(text));
    PrintNearby(pic, start, y - pic.TextHeight("3"), text, 0.0, -pic.TextHeight(text) / 2.0);
}

} // namespace

std::optional<std::pair<double, double>> PrintAtLevel(PictureSurface& pic, double x, double top,
                                                      double y, std::string_view text, double dx,
                                                      std::string_view pointingRight) {
    const TextAsLabel level(pic, x, y, LabelSlide::AlongLevel);
    const LabelAnchor anchor{x, y, LabelSlide::AlongLevel};
    // The form that shows which way the level's point lies from a place.
    auto form = [&](double at) {
        const bool pointRight =
            !pointingRight.empty() &&
            pic.ToPixelX(x) > (pic.ToPixelX(at) + pic.ToPixelX(at + pic.TextWidth(text))) / 2.0;
        return pointRight ? pointingRight : text;
    };
    const auto first = pic.PlaceLabel(x, top, text, anchor);
    if (!first) return std::nullopt; // a level off the picture
    // Steps 0, 1, -1, 2, -2, ... enough to cross the picture both ways.
    const int most =
        dx != 0.0 ? 2 * static_cast<int>(std::ceil(std::abs(pic.ScaleWidth() / dx))) : 0;
    // The place last tried on each side of x, and how far the place asked
    // for lay from it. A step that lands where the one before it on its side
    // did was moved inside by the picture's edge, onto a place already found
    // taken: it is passed over. Moving away from the picture (the place asked
    // for farther out) every further step that way lands there too, so that
    // side is done; once both are, no free place is left.
    std::pair<double, double> lastOn[2] = {*first, *first};
    double lastOut[2] = {std::abs(x - first->first), std::abs(x - first->first)};
    bool done[2] = {false, false};
    for (int k = 0; k <= most && !(done[0] && done[1]); ++k) {
        const int along = k % 2 == 1 ? (k + 1) / 2 : -k / 2;
        const std::size_t side = along < 0 ? 1 : 0;
        if (done[side]) continue;
        // The level's anchor is on the picture: each step is placed inside.
        const double asked = x + along * dx;
        const std::optional<std::pair<double, double>> at = pic.PlaceValueInside(asked, top, text);
        const double out = std::abs(asked - at->first);
        if (k > 0 && *at == lastOn[side]) {
            done[side] = out > lastOut[side];
            lastOut[side] = out;
            continue;
        }
        lastOn[side] = *at;
        lastOut[side] = out;
        const std::string_view shown = form(at->first);
        if (pic.DrawnAt(at->first, at->second, shown) ||
            pic.ReserveTextPlace(at->first, at->second, shown, true)) {
            pic.SetCurrentX(at->first);
            pic.SetCurrentY(at->second);
            pic.Print(shown);
            return at;
        }
    }
    // No free place on the level: the collision rule decides.
    const std::string_view shown = form(first->first);
    pic.SetCurrentX(first->first);
    pic.SetCurrentY(first->second);
    pic.Print(shown);
    return pic.DrawnAt(first->first, first->second, shown) ? first : std::nullopt;
}

std::optional<std::pair<double, double>> PrintNearby(PictureSurface& pic, double x, double y,
                                                     std::string_view text, double dx, double dy) {
    // Steps are taken from the place moved inside the picture, so that none
    // is spent outside it.
    std::tie(x, y) = pic.PlaceValueInside(x, y, text);
    // Steps 0, 1, -1, 2, -2, ... along one axis; none along an axis with no
    // step.
    auto along = [](int k) { return k % 2 == 1 ? (k + 1) / 2 : -k / 2; };
    const int acrossMost = dx != 0.0 ? 2 * kMostNearbySteps : 0;
    const int downMost = dy != 0.0 ? 2 * kMostNearbySteps : 0;
    // Nearer places first: by the number of steps taken, those along dy
    // before those along dx.
    for (int ring = 0; ring <= acrossMost + downMost; ++ring) {
        for (int j = 0; j <= std::min(ring, acrossMost); ++j) {
            const int k = ring - j;
            if (k > downMost) continue;
            const auto [px, py] = pic.PlaceValueInside(x + along(j) * dx, y + along(k) * dy, text);
            if (pic.DrawnAt(px, py, text) || pic.ReserveTextPlace(px, py, text)) {
                pic.SetCurrentX(px);
                pic.SetCurrentY(py);
                pic.Print(text);
                return std::pair{px, py};
            }
        }
    }
    const auto [px, py] = pic.PlaceValueInside(x, y, text);
    pic.SetCurrentX(px);
    pic.SetCurrentY(py);
    pic.Print(text);
    return std::nullopt;
}

double SkewX(const SoundingView& view, double T, double p) {
    return T + static_cast<double>(view.SkewFactor) * (view.SkewBaseLogP - std::log(p));
}

void ShadeCloudLayers(PictureSurface& pic, const ProfileArrays& s, int t) {
    const int m = s.CurrentModel;
    const int n = ProfileLevels(s);
    // A layer's top is the next one's base: its logarithm is taken once.
    int lastTop = 0;
    double lastTopLog = 0.0;
    // Layers of one grey, each on top of the one below and all rising, fill
    // one box: the rows they share are set once, and the box's rows are
    // those of its layers' boxes together. Clear air is most of a sounding.
    struct Run {
        double base = 0.0;
        double top = 0.0;
        int grey = -1;
        bool rising = false;
    } run;
    const auto fill = [&] {
        if (run.grey >= 0)
            pic.FilledBox(0.0, run.base, 100.0, run.top, RGB(run.grey, run.grey, run.grey));
        run.grey = -1;
    };
    for (int i = 1; i < n; ++i) {
        const double lower = s.Pressure(m, t, i);
        const double upper = s.Pressure(m, t, i + 1);
        const double shade = RoundHalfEven(s.CloudFraction(m, t, i) * 2.55);
        if (!OnDiagram(lower) || !OnDiagram(upper) || !std::isfinite(shade)) continue;
        const int g = static_cast<int>(std::clamp(shade, 0.0, 255.0));
        const bool onBelow = lastTop == i;
        const double base = onBelow ? lastTopLog : std::log(lower);
        lastTop = i + 1;
        lastTopLog = std::log(upper);
        const bool rising = upper < lower;
        if (run.grey == g && run.rising && rising && onBelow) {
            run.top = lastTopLog;
            continue;
        }
        fill();
        run = Run{base, lastTopLog, g, rising};
    }
    fill();
}

void TrackInversionBase(float p, float& LowestInversionBase) {
    if (p > LowestInversionBase && p < kSurfaceInversionBase) LowestInversionBase = p;
}

void DrawInversions(PictureSurface& pic, const Session& session, const SoundingView& view,
                    float& LowestInversionBase,
                    std::vector<std::pair<double, std::string>>* labelsLater) {
    if (!view.options.Inversions) return;
    const ProfileArrays& s = *session.profile;
    const ModelParameters& limits = session.parameters;
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const int n = ProfileLevels(s);
    pic.SetForeColor(RGB(255, 255, 0));
    LowestInversionBase = 0.0f;
    bool labelled = false;

    // The highest level below the search top in the first hour; every layer
    // has a level above it, so the top level starts none.
    int top = 0;
    for (int k = n; k >= 1; --k) {
        if (s.Pressure(m, 0, k) > kInversionSearchTop) {
            top = k;
            break;
        }
    }
    top = std::min(top, n - 1);

    for (int i = 1; i <= top; ++i) {
        const double base = s.Pressure(m, t, i);
        const double above = s.Pressure(m, t, i + 1);
        const float warming = s.Temperature(m, t, i + 1) - s.Temperature(m, t, i);
        const float depression = s.Temperature(m, t, i + 1) - s.DewPoint(m, t, i + 1);
        // Warming with height, or nearly isothermal and dry above.
        const bool stable = warming >= limits.InversionWarmThreshold ||
                            (warming >= limits.InversionCoolThreshold &&
                             depression >= limits.InversionDryThreshold);
        if (!stable || !OnDiagram(base) || !OnDiagram(above)) {
            labelled = false;
            continue;
        }
        pic.FilledBox(0.0, std::log(base), 100.0, std::log(above), RGB(127, 127, 127));
        if (!labelled) {
            const double y = std::log(base) - view.HalfTextHeight;
            const std::string label = PrintForm(std::floor(base + 0.5)) + "mb";
            if (labelsLater) {
                labelsLater->emplace_back(y, label);
            } else {
                pic.SetCurrentX(kInversionLabelX);
                pic.SetCurrentY(y);
                pic.Print(label);
            }
            labelled = true;
        }
        TrackInversionBase(s.Pressure(m, t, i), LowestInversionBase);
    }
}

void PrintInversionLabels(PictureSurface& pic,
                          const std::vector<std::pair<double, std::string>>& labels, double x) {
    pic.SetForeColor(RGB(255, 255, 0));
    for (const auto& [top, label] : labels)
        PrintAtLevel(pic, x, top, top + pic.TextHeight(label) / 2.0, label, pic.TextWidth("0"));
}

void DrawLakeIndex(PictureSurface& pic, const Session& session, const SoundingView& view,
                   const LakeEffectReadings& readings) {
    const double level = session.config.LakeIndexLevel;
    if (!OnDiagram(level) || !std::isfinite(readings.LakeC) || !std::isfinite(readings.T850))
        return;
    const double top = readings.LakeC - session.config.LakeIndexOffset;
    IndexMark(pic, view, readings.LakeC, top, level, RoundHalfEven(readings.T850 - top),
              RGB(0, 0, 255));
}

void DrawLakeParcel(PictureSurface& pic, Session& session, const SoundingView& view) {
    const ProfileArrays& s = *session.profile;
    LakeParcelResults& lake = *session.lake;
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    if (!lake.LakeCAPEDone(m, t)) MakeCAPE(s, view.CurrentColumn, lake, session.parcelOptions);

    const int count = std::min<int>(lake.LakeParcelLevelCount(m, t), ProfileLevels(s));
    if (count > 0) {
        pic.SetForeColor(kWhite);
        bool started = false;
        for (int i = 1; i < std::max(count, 2); ++i) {
            const double p = s.Pressure(m, t, i);
            if (!OnDiagram(p)) continue;
            const double x = SkewX(view, lake.LakeParcelTemp(m, t, i), p);
            if (started) {
                pic.LineTo(x, std::log(p));
            } else {
                pic.PSet(x, std::log(p));
                started = true;
            }
        }
        const double el = lake.LakeELPressure(m, t);
        if (started && OnDiagram(el))
            pic.LineTo(SkewX(view, lake.LakeELTemp(m, t), el), std::log(el));
    }

    // The modified surface air: its temperature and dew point meet at the
    // condensation level.
    const double lcl = lake.LakeLCLPressure(m, t);
    if (!OnDiagram(lcl)) return;
    const double lclX = SkewX(view, lake.LakeLCLTemp(m, t), lcl);
    pic.SetForeColor(RGB(255, 64, 64));
    pic.PSet(lake.LakeSurfaceTemp(m, t), view.SkewBaseLogP);
    pic.LineTo(lclX, std::log(lcl));
    pic.SetForeColor(RGB(65, 255, 64));
    pic.PSet(lake.LakeSurfaceDewPoint(m, t), view.SkewBaseLogP);
    pic.LineTo(lclX, std::log(lcl));
}

void DrawMoistLakeIndex(PictureSurface& pic, const Session& session, const SoundingView& view,
                        const LakeEffectReadings& readings) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const double top = s.SurfacePressure(m, t) - 150.0;
    if (ProfileLevels(s) < 2 || !OnDiagram(top) || !std::isfinite(readings.LakeC)) return;
    const double lowest = (s.Temperature(m, t, 1) + s.Temperature(m, t, 2)) / 2.0f;
    const double ground = (readings.LakeC + lowest) / 2.0;
    const double topT = ground - 9.0;
    const double environment = InterpTempAtPressure(s, view.CurrentColumn, static_cast<float>(top));
    IndexMark(pic, view, ground, topT, top, std::floor(environment - topT + 0.5), RGB(0, 255, 0));
}

void DrawLevelMarkers(PictureSurface& pic, const Session& session, const SoundingView& view) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const std::int16_t t = view.CurrentColumn;
    const float surface = s.SurfacePressure(m, t);
    // The text starts at the level's point on the profile, its "<" pointing
    // at it; a level within the threshold of the ground gets none.
    // The convective temperature's mark and value keep their places on the
    // ground line.
    ReserveConvectiveTemp(pic, session, view);
    // A label that meets another, an edge or the wind column slides along
    // its level to a free place; standing left of its point it ends in ">"
    // instead, pointing back at it.
    auto mark = [&](bool on, float p, float threshold, std::string_view text,
                    std::string_view pointingRight, auto temperatureAt) {
        if (!on || !OnDiagram(p) || !(surface - p > threshold)) return;
        pic.SetForeColor(RGB(255, 0, 0));
        const double y = std::log(static_cast<double>(p));
        PrintAtLevel(pic, SkewX(view, temperatureAt(p), p), y - 0.66 * pic.TextHeight("H"), y, text,
                     pic.TextWidth("0"), pointingRight);
    };
    auto environment = [&](float p) { return InterpTempAtPressure(s, t, p); };
    const SoundingOptions& o = view.options;
    mark(o.LCL, s.LCLPressure(m, t), 20.0f, "<LCL", "LCL>",
         [&](float) { return s.LCLTemperature(m, t); });
    mark(o.LFC, s.LFCPressure(m, t), 20.0f, " <LFC", "LFC> ", environment);
    mark(o.EQL, s.EQLPressure(m, t), 60.0f, " <EQL", "EQL> ", environment);
    mark(o.WBZ, PressureFromAltitude(s.WetBulbZeroHeight(m, t)), 10.0f, " <WBZ", "WBZ> ",
         environment);
    mark(o.CCL, s.CCLPressure(m, t), 10.0f, " <CCL", "CCL> ", environment);
}

void DrawLakeAndLevelOverlays(PictureSurface& pic, Session& session, const SoundingView& view) {
    const SoundingOptions& o = view.options;
    const LakeEffectReadings readings = LakeEffectReadingsFor(session, view.CurrentColumn);
    if (o.LakeIndex) DrawLakeIndex(pic, session, view, readings);
    if (o.LIC) DrawLakeParcel(pic, session, view);
    if (o.MoistLakeIndex) DrawMoistLakeIndex(pic, session, view, readings);
    DrawLevelMarkers(pic, session, view);
}

} // namespace tarvex
