#include "profile/diagnostics/OmegaProfile.h"

#include "compute/Narrow.h"
#include "compute/ParcelState.h"
#include "compute/ProfileInterp.h"
#include "compute/WholeRun.h"
#include "files/Session.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"

#include <cmath>
#include <string>

namespace tarvex {

namespace {

constexpr float kZoomFactor = 0.7f;

} // namespace

float ZoomOmegaScale(float OmegaScale, int Button) {
    float zoomed = OmegaScale;
    if (Button == 1) {
        zoomed = OmegaScale * kZoomFactor;
    } else if (Button == 2) {
        zoomed = OmegaScale / kZoomFactor;
    }
    return zoomed >= kOmegaScaleMin && zoomed <= kOmegaScaleMax ? zoomed : OmegaScale;
}

int OmegaLabelStep(float R) {
    if (R < 10.0f) return 2;
    if (R < 30.0f) return 5;
    return 10;
}

void PlotOmegaProfile(PictureSurface& pic, Session& session, const SoundingView& view) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const double R = view.extras.OmegaScale;
    const double lnTop = std::log(static_cast<double>(s.DiagramTopPressure));
    const double lnBottom = std::log(static_cast<double>(s.DiagramBottomPressure));
    pic.Scale(-R, lnTop, R, lnBottom);
    pic.SetDrawStyle(DrawStyle::Dot);
    pic.Line(0.0, lnTop, 0.0, lnBottom, RGB(255, 255, 255));

    WholeRunResults& run = *session.wholeRun;
    if (view.extras.OmegaFiltered && run.SmoothedOmegaDone(m) == kFlagFalse) SmoothOmega(s, run);
    const LevelField& field = view.extras.OmegaFiltered ? run.SmoothedOmega : s.Omega;
    pic.SetDrawStyle(DrawStyle::Solid);
    const int n = DrawnLevelCount(s);
    if (n < 1) return;
    pic.SetCurrentX(field(m, t, 1));
    pic.SetCurrentY(std::log(static_cast<double>(s.Pressure(m, t, 1))));
    for (int k = 2; k <= n; ++k)
        pic.LineTo(field(m, t, k), std::log(static_cast<double>(s.Pressure(m, t, k))),
                   RGB(255, 255, 255));
}

void PrintOmega(PictureSurface& pic, float R) {
    pic.Scale(-R, 0.0, R, 100.0);
    pic.Clear();
    const int step = OmegaLabelStep(R);
    // The labels of the scale's values, at most 1000 each side however large
    // the scale; one at the strip's end is moved in to show whole.
    const int N = std::min(ClampToInt<int>(std::floor(R / step)), 1000) * step;
    for (int v = -N; v <= N; v += step) {
        const std::string text = (v > 0 ? "+" : "") + std::to_string(v);
        pic.SetForeColor(v > 0 ? RGB(0, 0, 255) : (v < 0 ? RGB(255, 0, 0) : RGB(0, 0, 0)));
        const TextAsLabel column(pic, v, 0.0, LabelSlide::AlongColumn);
        pic.SetCurrentX(v - pic.TextWidth(text) / 2.0);
        pic.SetCurrentY(0.0);
        pic.PrintNoNewline(text);
    }
}

} // namespace tarvex
