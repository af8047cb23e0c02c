#include "profile/diagrams/ParcelOutlines.h"

#include "compute/Levels.h"
#include "compute/Parcels.h"
#include "files/Session.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/diagrams/SoundingOverlays.h"
#include "profile/diagrams/WindColumn.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <tuple>

namespace tarvex {

namespace {

bool IsLevel(float p) {
    return p > 0.0f && std::isfinite(p);
}

// Highest level the outlines start from: the diagram's top level, never above
// the profile.
int TopDrawnLevel(const ProfileArrays& s) {
    const int m = s.CurrentModel;
    return std::clamp<int>(std::min<int>(s.DrawLevelCount(m), s.LevelCount(m)), 0,
                           kMaxProfileLevels);
}

// Both outlines need a level of free convection above level 2: below it there
// is no convective layer to show.
bool HasConvectiveLayer(const ProfileArrays& s, int t) {
    const int m = s.CurrentModel;
    const float lfc = s.LFCPressure(m, t);
    return std::min<int>(s.LevelCount(m), kMaxProfileLevels) >= 2 && IsLevel(lfc) &&
           lfc < s.Pressure(m, t, 2);
}

// The air temperature where an outline starts, or none when the hour has no
// convective layer or the level or its temperature is unknown.
std::optional<float> StartTemperature(const ProfileArrays& s, std::int16_t t, float p) {
    if (!HasConvectiveLayer(s, t) || !IsLevel(p)) return std::nullopt;
    const float T = InterpTempAtPressure(s, t, p);
    if (!std::isfinite(T)) return std::nullopt;
    return T;
}

// One outline drawn down the moist adiabat through its start point, two
// pixels wide. Each level's parcel temperature is lifted and kept the first
// time, and read back once the hour's outline is complete.
class Outline {
  public:
    Outline(PictureSurface& pic, const SoundingView& view, LevelField& kept, std::int16_t& doneFlag,
            int m, Rgb color, float T, float p)
        : pic_(pic), view_(view), kept_(kept), doneFlag_(doneFlag), done_(doneFlag != kFlagFalse),
          m_(m), adiabat_(T, p) {
        pic.SetForeColor(color);
        pic.SetDrawWidth(2);
        pic.PSet(SkewX(view, T, p), std::log(static_cast<double>(p)));
    }

    // The parcel at pressure p, kept with the level.
    float At(int level, float p) {
        float& T = kept_(m_, view_.CurrentColumn, level);
        if (!done_) T = adiabat_.At(p);
        return T;
    }
    void LineTo(double T, double p) { pic_.LineTo(SkewX(view_, T, p), std::log(p)); }
    // A line on to the parcel at pressure p, kept with the level.
    void LineToLevel(int level, float p) { LineTo(At(level, p), p); }
    // Marks the hour complete when the walk covered the whole outline, and
    // returns to thin lines.
    void End(bool complete) {
        if (!done_ && complete) doneFlag_ = kFlagTrue;
        pic_.SetDrawWidth(1);
    }

  private:
    PictureSurface& pic_;
    const SoundingView& view_;
    LevelField& kept_;
    std::int16_t& doneFlag_;
    bool done_;
    int m_;
    MoistAdiabat adiabat_;
};

} // namespace

namespace {

// Where the convective temperature's mark and value stand: the mark "v"
// centred on the temperature with its foot on the ground line, the value
// centred on the mark's top (a line above the ground rather than 0.7 of one,
// so that the two texts' boxes stay apart). A temperature beyond the
// diagram's left or right edge (or in the digital wind column) has no mark:
// its value, with a double arrow that points over that edge (unlike the
// readout's single ones), stands on the ground line at the edge.
struct ConvectiveTempTexts {
    double temperature = 0.0;
    bool beyondEdge = false;
    std::string value;
    double markX = 0.0;
    double markTop = 0.0;
    double valueX = 0.0;
    double valueTop = 0.0;
};

std::optional<ConvectiveTempTexts>
ConvectiveTempPlaces(const PictureSurface& pic, const Session& session, const SoundingView& view) {
    if (!view.options.ConvectiveTemp) return std::nullopt;
    const ProfileArrays& s = *session.profile;
    const float ct = s.ConvectiveTemperature(s.CurrentModel, view.CurrentColumn);
    if (!(ct < 99.0f)) return std::nullopt; // 99 or more: the hour has none
    ConvectiveTempTexts at;
    at.temperature = ct;
    at.value = Format(ct, "0.0");
    const double h = pic.TextHeight("v");
    at.markX = ct - pic.TextWidth("v") / 2.0;
    at.markTop = view.SkewBaseLogP - h;
    const double left = std::min(pic.ScaleLeft(), pic.ScaleLeft() + pic.ScaleWidth());
    // The digital wind column is the diagram's right edge for these texts:
    // its room is its own.
    const double right = std::min(std::max(pic.ScaleLeft(), pic.ScaleLeft() + pic.ScaleWidth()),
                                  WindColumnLeft(pic, view));
    double x = std::min(ct - pic.TextWidth(at.value) / 2.0, right - pic.TextWidth(at.value));
    double top = view.SkewBaseLogP - 2.0 * h;
    if (ct > right || ct < left) {
        at.beyondEdge = true;
        at.value = ct > right ? at.value + " >>" : "<< " + at.value;
        x = ct > right ? right - pic.TextWidth(at.value) : left;
        top = at.markTop;
    }
    std::tie(at.valueX, at.valueTop) = pic.PlaceValueInside(x, top, at.value);
    return at;
}

} // namespace

void ReserveConvectiveTemp(PictureSurface& pic, const Session& session, const SoundingView& view) {
    const auto at = ConvectiveTempPlaces(pic, session, view);
    if (!at) return;
    if (!at->beyondEdge) pic.ReserveTextPlace(at->markX, at->markTop, "v");
    // The value keeps three digits' room free on either side and half a line
    // above and below, so that no level label stands against it, where it
    // would read as that level's value.
    const double across = std::abs(pic.PixelWidth() / pic.ScaleWidth());
    const double down = std::abs(pic.PixelHeight() / pic.ScaleHeight());
    const double room = 3.0 * std::abs(pic.TextWidth("0")) * across;
    const double line = std::abs(pic.TextHeight(at->value)) * down;
    const double width = std::abs(pic.TextWidth(at->value)) * across;
    pic.ReserveTextArea(TextRect{pic.ToPixelX(at->valueX) - room,
                                 pic.ToPixelY(at->valueTop) - line / 2.0, width + 2.0 * room,
                                 2.0 * line});
}

void DrawConvectiveTemp(PictureSurface& pic, const Session& session, const SoundingView& view) {
    const auto at = ConvectiveTempPlaces(pic, session, view);
    if (!at) return;
    // The mark names the temperature on the ground line, and stays there;
    // the value stands on it, where the level labels left it room.
    if (!at->beyondEdge) {
        const TextAsLabel mark(pic, at->temperature, at->markTop + pic.TextHeight("v") / 2.0,
                               LabelSlide::Fixed);
        pic.SetCurrentX(at->markX);
        pic.SetCurrentY(at->markTop);
        pic.Print("v");
    }
    pic.SetCurrentX(at->valueX);
    pic.SetCurrentY(at->valueTop);
    pic.Print(at->value);
}

void DrawCapeParcel(PictureSurface& pic, const Session& session, const SoundingView& view,
                    ParcelOutlineCache& cache) {
    if (!view.options.Parcel) return;
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const float lfc = s.LFCPressure(m, t);
    const float eql = s.EQLPressure(m, t);
    // The parcel leaves the equilibrium level at the temperature there.
    const std::optional<float> start = StartTemperature(s, view.CurrentColumn, eql);
    if (!start) return;

    Outline outline(pic, view, cache.CapeParcelTemp, cache.CapeParcelDone(m, t), m,
                    RGB(255, 255, 0), *start, eql);
    const int top = TopDrawnLevel(s);
    for (int k = top; k >= 2; --k) {
        const float p = s.Pressure(m, t, k);
        if (p > lfc) {
            outline.LineTo(outline.At(k, lfc), lfc);
            break;
        }
        if (p > eql) outline.LineToLevel(k, p);
    }
    // Complete only when the walk began above the equilibrium level.
    outline.End(top >= 2 && s.Pressure(m, t, top) < eql);
}

void DrawCinParcel(PictureSurface& pic, const Session& session, const SoundingView& view,
                   ParcelOutlineCache& cache) {
    if (!view.options.CINS) return;
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const float lfc = s.LFCPressure(m, t);
    const float lcl = s.LCLPressure(m, t);
    const float surface = s.SurfacePressure(m, t);
    if (!IsLevel(lcl) || !IsLevel(surface)) return;
    // The parcel leaves the level of free convection at the temperature there.
    const std::optional<float> start = StartTemperature(s, view.CurrentColumn, lfc);
    if (!start) return;

    Outline outline(pic, view, cache.CinParcelTemp, cache.CinParcelDone(m, t), m, RGB(0, 127, 255),
                    *start, lfc);
    const int top = TopDrawnLevel(s);
    std::optional<float> atLcl;
    for (int k = top; k >= 2 && !atLcl; --k) {
        const float p = s.Pressure(m, t, k);
        if (p > lcl) {
            atLcl = outline.At(k, lcl);
        } else if (p > lfc) {
            outline.LineToLevel(k, p);
        }
    }
    // With no level above the ground below the condensation level, level 1
    // holds the parcel there, so the dry leg always starts at the
    // condensation level.
    if (!atLcl) atLcl = outline.At(1, lcl);
    outline.LineTo(*atLcl, lcl);

    // Dry adiabat from the condensation level down to the ground.
    const double ground =
        (*atLcl + kKelvinOffset) * std::pow(surface / lcl, 2.0 / 7.0) - kKelvinOffset;
    pic.LineTo(ground, view.SkewBaseLogP);
    outline.End(top >= 2 && s.Pressure(m, t, top) < lfc);
}

void DrawParcelOutlines(PictureSurface& pic, const Session& session, const SoundingView& view,
                        ParcelOutlineCache& cache) {
    DrawConvectiveTemp(pic, session, view);
    DrawCapeParcel(pic, session, view, cache);
    DrawCinParcel(pic, session, view, cache);
}

} // namespace tarvex
