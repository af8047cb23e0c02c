#include "profile/diagrams/WindColumn.h"

#include "compute/ProfileInterp.h"
#include "compute/Winds.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "store/ProfileArrays.h"

#include <algorithm>
#include <cmath>
#include <optional>

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

// A level's direction (when given) and speed on one line from top: one value
// to the reader, so both print as values where the column's layout put them.
void PrintPair(PictureSurface& pic, double top, const std::string& direction,
               const std::string& speed) {
    const TextKindScope values(pic, TextKind::Value);
    if (!direction.empty()) {
        pic.SetCurrentX(kDigitalDirectionX);
        pic.SetCurrentY(top);
        pic.PrintNoNewline(direction);
    }
    pic.SetCurrentX(kDigitalSpeedX);
    pic.SetCurrentY(top);
    pic.PrintNoNewline(speed);
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
    }
}

// The surface wind beside the bottom vector, on an opaque box, where the
// column's layout put the lowest pair.
void PrintSurfaceWind(PictureSurface& pic, const ProfileArrays& s, int t, double top) {
    const int m = s.CurrentModel;
    pic.SetFontTransparent(false);
    PrintPair(pic, top, PrintForm(HalfUp(s.SurfaceWindDirection(m, t))),
              PrintForm(HalfUp(s.SurfaceWindSpeed(m, t))));
    pic.SetFontTransparent(true);
}

void DrawDigitalWinds(PictureSurface& pic, const ProfileArrays& s, int t, const SoundingView& view,
                      const std::vector<WindColumnRow>& rows, bool surfaceWindShown) {
    const int m = s.CurrentModel;
    pic.SetForeColor(kYellow);
    for (const WindColumnRow& row : rows) {
        // The surface wind beside the bottom vector is the lowest pair then.
        if (row.level == 0 && surfaceWindShown) continue;
        const int L = row.level;
        PrintPair(pic, row.top,
                  view.extras.DigitalWindStyle ? PrintForm(RoundHalfEven(s.WindDirection(m, t, L)))
                                               : std::string(),
                  PrintForm(RoundHalfEven(s.WindSpeed(m, t, L))));
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

namespace {

// Where the wind column's lines may stand on pic, in pixels: the height of a
// line, and the highest top a line may have (below the omega strip, which
// lies over the top edge and hides what stands under it).
struct RowRoom {
    double height;
    double line;
    double highest;
    RowRoom(const PictureSurface& pic, const SoundingView& view)
        : height(pic.PixelHeight()),
          line(std::abs(pic.ToPixelY(pic.TextHeight("0")) - pic.ToPixelY(0.0))),
          highest(view.options.Omega ? std::ceil(kOmegaStripDesignHeight * pic.TextScale()) : 0.0) {
    }
    // The top of a line centred on the pixel row level, moved in just enough
    // to lie whole inside; none when the level is not on the picture.
    std::optional<double> Top(double level) const {
        if (!(level >= highest && level <= height)) return std::nullopt;
        return std::clamp(level - line / 2.0, highest, height - line);
    }
};

// WindColumnRows over the levels WindColumnLevels gave.
std::vector<WindColumnRow> RowsOf(const PictureSurface& pic, const ProfileArrays& s,
                                  const SoundingView& view, const std::vector<int>& levels) {
    const int t = view.CurrentColumn;
    const RowRoom room(pic, view);
    std::vector<WindColumnRow> rows;
    double above = room.height + room.line; // the top of the row last kept, in pixels
    for (int L : levels) {
        const std::optional<double> top = room.Top(pic.ToPixelY(LevelY(s, t, view, L)));
        if (!top) continue;
        // Rows that would share more than a pixel: the higher level gives way.
        if (*top + room.line > above + 1.0) continue;
        rows.push_back({L, pic.FromPixelY(*top)});
        above = *top;
    }
    return rows;
}

// The surface wind's line, the first of WindColumnRows when it is there: the
// lowest line never gives way, so it needs none of the levels above it.
std::optional<WindColumnRow> SurfaceWindRow(const PictureSurface& pic, const ProfileArrays& s,
                                            const SoundingView& view) {
    const std::optional<double> top =
        RowRoom(pic, view).Top(pic.ToPixelY(LevelY(s, view.CurrentColumn, view, 0)));
    if (!top) return std::nullopt;
    return WindColumnRow{0, pic.FromPixelY(*top)};
}

} // namespace

std::vector<WindColumnRow> WindColumnRows(const PictureSurface& pic, const ProfileArrays& s,
                                          const SoundingView& view) {
    return RowsOf(pic, s, view, WindColumnLevels(s, view.CurrentColumn, view));
}

void KeepWindColumnRoom(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view) {
    if (view.options.WindDigital) {
        const double left = std::floor(pic.ToPixelX(kDigitalDirectionX));
        pic.ReserveTextArea(
            TextRect{left, 0.0, pic.PixelWidth() - left, static_cast<double>(pic.PixelHeight())});
    } else if (view.options.WindVector && view.options.TenMWind) {
        const std::optional<WindColumnRow> row = SurfaceWindRow(pic, s, view);
        if (!row) return;
        const int m = s.CurrentModel;
        const int t = view.CurrentColumn;
        pic.ReserveTextPlace(kDigitalDirectionX, row->top,
                             PrintForm(HalfUp(s.SurfaceWindDirection(m, t))));
        pic.ReserveTextPlace(kDigitalSpeedX, row->top, PrintForm(HalfUp(s.SurfaceWindSpeed(m, t))));
    }
}

double WindColumnLeft(const PictureSurface& pic, const SoundingView& view) {
    const double share = view.options.WindDigital ? kDigitalDirectionX / 100.0 : 1.0;
    return pic.ScaleLeft() + share * pic.ScaleWidth();
}

void DrawWindColumn(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view) {
    if (!view.options.WindVector && !view.options.WindDigital) return;
    const int t = view.CurrentColumn;
    const std::vector<int> levels = WindColumnLevels(s, t, view);
    bool surfaceWindShown = false;
    if (view.options.WindVector) {
        DrawVectors(pic, s, t, view, levels);
        if (view.options.TenMWind) {
            if (const std::optional<WindColumnRow> row = SurfaceWindRow(pic, s, view)) {
                PrintSurfaceWind(pic, s, t, row->top);
                surfaceWindShown = true;
            }
        }
    }
    if (view.options.WindDigital)
        DrawDigitalWinds(pic, s, t, view, RowsOf(pic, s, view, levels), surfaceWindShown);
}

} // namespace tarvex
