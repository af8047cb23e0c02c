#include "profile/diagrams/WindColumn.h"

#include "compute/ProfileInterp.h"
#include "compute/Winds.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

// Length of a vector per knot, in percent of the picture's width.
constexpr double kLengthPerKnot = 0.45;
constexpr double kCircleRadius = 0.6;
// Smallest spacing of the spaced interval, as a fraction of the picture's
// height, per step of VWPIntervalA.
constexpr double kSpacingStep = 0.015;

// y of a shown level: ln p, and for the surface wind halfway between the
// hour's surface and the bottom edge.
double LevelY(const ProfileArrays& s, int t, const SoundingView& view, int L) {
    if (L == 0) {
        return (view.SkewBaseLogP + std::log(static_cast<double>(s.DiagramBottomPressure))) / 2.0;
    }
    return std::log(static_cast<double>(s.Pressure(s.CurrentModel, t, L)));
}

// Whole number rounded half up, as the surface-wind texts show it.
double HalfUp(double value) {
    return std::floor(value + 0.5);
}

void DrawVectors(PictureSurface& pic, const ProfileArrays& s, int t, const SoundingView& view,
                 const std::vector<int>& levels) {
    const int m = s.CurrentModel;
    // The surface's circles are filled with the fill colour.
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetForeColor(kYellow);
    pic.SetFillColor(kYellow);
    for (int L : levels) {
        const double speed = s.WindSpeed(m, t, L);
        if (view.extras.ColorWinds) {
            pic.SetForeColor(WindSpeedColour(speed));
            pic.SetFillColor(WindSpeedColour(speed));
        }
        const double y = LevelY(s, t, view, L);
        DrawWindVector(pic, kWindColumnCentre, y, s.WindDirection(m, t, L), speed * kLengthPerKnot,
                       kCircleRadius);
        if (L == 0 && view.options.TenMWind) {
            pic.SetFontTransparent(false);
            pic.SetCurrentX(kDigitalDirectionX);
            pic.SetCurrentY(y - view.HalfTextHeight);
            pic.PrintNoNewline(PrintForm(HalfUp(s.SurfaceWindDirection(m, t))));
            pic.SetCurrentX(kDigitalSpeedX);
            pic.PrintNoNewline(PrintForm(HalfUp(s.SurfaceWindSpeed(m, t))));
            pic.SetFontTransparent(true);
        }
    }
}

void DrawDigitalWinds(PictureSurface& pic, const ProfileArrays& s, int t, const SoundingView& view,
                      const std::vector<int>& levels) {
    const int m = s.CurrentModel;
    pic.SetForeColor(kYellow);
    // Levels lie closer than a line of text in the lower half of a short
    // picture: the values of a level that would cover those of the level
    // below are left out (both texts, as they stand level with each other)
    // rather than printed into a solid column.
    // A level at the picture's top edge has its values moved down just
    // enough to show whole.
    auto print = [&](double x, double y, const std::string& text) {
        const TextAsLabel level(pic, x, y, LabelSlide::AlongLevel);
        pic.SetCurrentX(x);
        pic.SetCurrentY(y - view.HalfTextHeight);
        pic.PrintNoNewline(text);
    };
    for (int L : levels) {
        const double y = LevelY(s, t, view, L);
        if (view.extras.DigitalWindStyle)
            print(kDigitalDirectionX, y, PrintForm(RoundHalfEven(s.WindDirection(m, t, L))));
        print(kDigitalSpeedX, y, PrintForm(RoundHalfEven(s.WindSpeed(m, t, L))));
    }
}

} // namespace

Rgb WindSpeedColour(double knots, double step) {
    static constexpr Rgb kClasses[] = {RGB(255, 255, 255), RGB(255, 0, 0), RGB(255, 127, 0),
                                       RGB(255, 255, 0),   RGB(0, 128, 0), RGB(0, 0, 255),
                                       RGB(255, 0, 255)};
    const double steps = step > 0.0 ? knots / step : 0.0;
    const int k = steps >= 6.0 ? 6 : steps > 0.0 ? static_cast<int>(steps) : 0;
    return kClasses[k];
}

void DrawWindVector(PictureSurface& pic, double x, double y, double direction, double length,
                    double radius) {
    // A length in x units times this is the same length on the screen in y
    // units.
    const double aspect = (pic.ScaleHeight() / pic.ScaleWidth()) /
                          (static_cast<double>(pic.PixelHeight()) / pic.PixelWidth());
    const double theta = (450.0 - direction) * kDegreeFactor;
    pic.Circle(x, y, radius);
    pic.LineRel(std::cos(theta) * length, -std::sin(theta) * length * aspect);
}

std::vector<int> WindColumnLevels(const ProfileArrays& s, int t, const SoundingView& view) {
    const int m = s.CurrentModel;
    const int n = DrawnLevelCount(s);
    const SoundingExtras& e = view.extras;
    const bool spaced = e.UseVWPIntervalA;
    const int step = spaced ? 1 : std::max<int>(1, e.VWPInterval);
    const double span = std::log(static_cast<double>(s.DiagramBottomPressure)) -
                        std::log(static_cast<double>(s.DiagramTopPressure));
    double last = 9999.0;
    std::vector<int> levels;
    for (int L = 0; L <= n; L += step) {
        if (L == 0) {
            levels.push_back(0);
            continue;
        }
        const double p = s.Pressure(m, t, L);
        if (!(p > 0.0)) continue; // no level there to place
        if (spaced) {
            const double d = (std::log(last) - std::log(p)) / span;
            if (d < kSpacingStep * e.VWPIntervalA) continue;
            last = p;
        }
        levels.push_back(L);
    }
    return levels;
}

void DrawWindColumn(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view) {
    if (!view.options.WindVector && !view.options.WindDigital) return;
    const int t = view.CurrentColumn;
    const std::vector<int> levels = WindColumnLevels(s, t, view);
    if (view.options.WindVector) DrawVectors(pic, s, t, view, levels);
    if (view.options.WindDigital) DrawDigitalWinds(pic, s, t, view, levels);
}

} // namespace tarvex
