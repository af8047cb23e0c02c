#include "profile/diagrams/CursorReadout.h"

#include "compute/Hodograph.h"
#include "compute/Levels.h"
#include "compute/Narrow.h"
#include "compute/ProfileInterp.h"
#include "files/DerivedFields.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/diagrams/SoundingOverlays.h"
#include "profile/diagrams/WindColumn.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvex {

namespace {

// The diagram narrows or widens by this factor in ln p per click.
constexpr double kZoomFactor = 0.85;
// Widening stops with the top at or above this pressure (mb).
constexpr int kHighestTop = 30;

// Nearest whole number (halves to even) as a 16-bit pressure.
std::int16_t RoundPressure(double p) {
    return ClampToInt<std::int16_t>(RoundHalfEven(p));
}

// The segment of the hodograph from level L - 1 to level L, ground-relative:
// storm motion plus storm-relative wind.
void Segment(PictureSurface& pic, const ProfileArrays& s, const HodographResults& hodo, int t,
             int L, Rgb colour) {
    const int m = s.CurrentModel;
    const double su = s.StormU(m, t);
    const double sv = s.StormV(m, t);
    pic.Line(su + hodo.SRWindU(m, t, L - 1), sv + hodo.SRWindV(m, t, L - 1),
             su + hodo.SRWindU(m, t, L), sv + hodo.SRWindV(m, t, L), colour);
}

} // namespace

std::int16_t CursorLevel(const ProfileArrays& s, int t, double p) {
    const int m = s.CurrentModel;
    const int n = StoredLevelCount(s);
    for (int L = 1; L <= n; ++L)
        if (s.Pressure(m, t, L) <= p) return static_cast<std::int16_t>(L);
    return 0;
}

ReadoutCaptions MakeReadoutCaptions(const ProfileArrays& s, int t, int L,
                                    std::int16_t ReadoutUnit) {
    const int m = s.CurrentModel;
    const float p = s.Pressure(m, t, L);
    const float surface = s.SurfacePressure(m, t);
    ReadoutCaptions c;
    c.Temp = "< " + Format(s.Temperature(m, t, L), "0.0");
    c.DP = Format(s.DewPoint(m, t, L), "0.0 >");
    c.Dir = Format(s.WindDirection(m, t, L), "0");
    c.Kts = Format(s.WindSpeed(m, t, L), "0");
    switch (ReadoutUnit) {
    case 0:
        c.Axis = Format(p, "###mb");
        break;
    case 1: {
        const double hundreds = (StdHeightFeet(p) - StdHeightFeet(surface)) / 100.0;
        c.Axis = Format(std::floor(hundreds + 0.5) * 100.0, "###'");
        break;
    }
    case 2:
        c.Axis = Format((StdHeightMeters(p) - StdHeightMeters(surface)) / 1000.0, "#.0km");
        break;
    default:
        break;
    }
    return c;
}

ReadoutPlacement PlaceReadoutLabels(PictureSurface& pic, const ProfileArrays& s,
                                    const TemperatureAxisEnds& axis, const SoundingView& view,
                                    int L, const ReadoutLabelSizes& sizes) {
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const double lnTop = std::log(static_cast<double>(s.DiagramTopPressure));
    const double lnBottom = std::log(static_cast<double>(s.DiagramBottomPressure));
    // Label sizes in the user units of the scale in force.
    auto wide = [&](const LabelSize& size) {
        return size.width * pic.ScaleWidth() / pic.PixelWidth();
    };

    pic.Scale(axis.LeftTemp, lnTop, axis.RightTemp, lnBottom);
    const double p = s.Pressure(m, t, L);
    const double y = std::log(p);
    ReadoutPlacement at;
    // Centred on the level, but whole inside the picture at its top and
    // bottom.
    at.Top = LabelTopInside(pic.ToPixelY(y), sizes.Temp.height, pic.PixelHeight());
    const double tempX = SkewX(view, s.Temperature(m, t, L), p);
    const double dpX = SkewX(view, s.DewPoint(m, t, L), p);
    at.TempLeft = pic.ToPixelX(tempX + 0.035 * wide(sizes.Temp));
    at.DPLeft = pic.ToPixelX(dpX - 1.015 * wide(sizes.DP));
    const double tempBefore = pic.ToPixelX(tempX) - 1.035 * sizes.Temp.width;
    const double dpAfter = pic.ToPixelX(dpX) + 0.015 * sizes.DP.width;

    pic.Scale(0.0, lnTop, 100.0, lnBottom);
    at.DirLeft = pic.ToPixelX(kWindColumnCentre - 1.35 * wide(sizes.Dir));
    at.KtsLeft = pic.ToPixelX(kWindColumnCentre + 0.25 * wide(sizes.Kts));
    at.AxisLeft = pic.ToPixelX(0.0);
    at.DirWidth = sizes.Dir.width;
    at.KtsWidth = sizes.Kts.width;
    const double right = pic.PixelWidth();
    const double groundTop =
        pic.ToPixelY(std::log(static_cast<double>(s.Pressure(m, t, 0)))) - 0.5 * sizes.Kts.height;
    const bool besideTenMetreWind =
        view.options.TenMWind && std::abs(at.Top - groundTop) < sizes.Kts.height;
    if (view.options.WindDigital || besideTenMetreWind) {
        // The column's values on the level's line (the level's own, or the
        // 10 m wind's beside the ground): the direction label spans from the
        // direction's start to the speed's, the speed label to the edge.
        at.DirLeft = std::min(at.DirLeft, pic.ToPixelX(kDigitalDirectionX));
        at.KtsLeft = std::min(at.KtsLeft, pic.ToPixelX(kDigitalSpeedX));
        at.KtsWidth = std::max(at.KtsWidth, right - at.KtsLeft);
        at.DirWidth = std::max(at.DirWidth, at.KtsLeft - at.DirLeft);
    }
    // The speed label ends at the picture's right edge at the furthest.
    at.KtsLeft = std::min(at.KtsLeft, right - at.KtsWidth);
    at.DirLeft = std::min(at.DirLeft, at.KtsLeft - at.DirWidth);

    // The temperature label yields to the wind's labels and the edge, the
    // dew-point label to the height label and the temperature label.
    constexpr double kGap = 2.0;
    if (at.TempLeft + sizes.Temp.width > at.DirLeft - kGap) {
        // (left of the wind's labels too when the trace lies beyond them)
        at.TempLeft = std::min(tempBefore, at.DirLeft - kGap - sizes.Temp.width);
        at.TempBeforeTrace = true;
        at.DPLeft = std::min(at.DPLeft, at.TempLeft - kGap - sizes.DP.width);
    }
    if (at.DPLeft < at.AxisLeft + sizes.Axis.width + kGap) {
        at.DPLeft = dpAfter;
        at.DPAfterTrace = true;
        if (!at.TempBeforeTrace)
            at.TempLeft = std::max(at.TempLeft, at.DPLeft + sizes.DP.width + kGap);
    }
    return at;
}

TextRect CoverWhole(TextRect box, const std::vector<DrawnText>& texts) {
    // Each pass either covers one more text whole or ends: the passes are as
    // many as the texts at most.
    for (std::size_t pass = 0; pass <= texts.size(); ++pass) {
        bool grown = false;
        for (const DrawnText& t : texts) {
            const TextRect& r = t.rect;
            const bool inside = r.left >= box.left - 0.5 && r.Right() <= box.Right() + 0.5 &&
                                r.top >= box.top - 0.5 && r.Bottom() <= box.Bottom() + 0.5;
            if (inside || !TextRectsOverlap(box, r)) continue;
            const double left = std::min(box.left, r.left);
            const double top = std::min(box.top, r.top);
            box = TextRect{left, top, std::max(box.Right(), r.Right()) - left,
                           std::max(box.Bottom(), r.Bottom()) - top};
            grown = true;
        }
        if (!grown) break;
    }
    return box;
}

double LabelTopInside(double row, double labelHeight, double height) {
    return std::clamp(row - labelHeight / 2.0, 0.0, std::max(0.0, height - labelHeight));
}

bool ZoomPressureAxis(ProfileArrays& s, int Button) {
    if (!(s.MaxSurfacePressure > 0.0f) || s.DiagramTopPressure <= 0 || s.DiagramBottomPressure <= 0)
        return false;
    const double c = std::log(static_cast<double>(s.MaxSurfacePressure));
    const double lnTop = std::log(static_cast<double>(s.DiagramTopPressure));
    const double lnBottom = std::log(static_cast<double>(s.DiagramBottomPressure));
    if (Button == 1) {
        const std::int16_t top = RoundPressure(std::exp(c - kZoomFactor * (c - lnTop)));
        const std::int16_t bottom = RoundPressure(std::exp(c - kZoomFactor * (c - lnBottom)));
        // A range that would close up stays as it is.
        if (top < bottom) {
            s.DiagramTopPressure = top;
            s.DiagramBottomPressure = bottom;
        }
    } else if (s.DiagramTopPressure > kHighestTop) {
        s.DiagramTopPressure = RoundPressure(std::exp(c - (c - lnTop) / kZoomFactor));
        s.DiagramBottomPressure = RoundPressure(std::exp(c - (c - lnBottom) / kZoomFactor));
    }
    FindTopLevel(s);
    return true;
}

void FollowHodographLevel(PictureSurface& pic, const ProfileArrays& s, const HodographResults& hodo,
                          int t, std::int16_t L, std::int16_t& HodoMarkLevel) {
    if (L < 1 || L >= kLevelSlots) return; // no level under the cursor
    if (HodoMarkLevel > 0 && HodoMarkLevel < kLevelSlots)
        Segment(pic, s, hodo, t, HodoMarkLevel, RGB(255, 255, 0));
    if (L <= hodo.HodoTopLevel(s.CurrentModel, t)) {
        pic.SetDrawWidth(2);
        Segment(pic, s, hodo, t, L, RGB(255, 0, 255));
        HodoMarkLevel = L;
    }
}

} // namespace tarvex
