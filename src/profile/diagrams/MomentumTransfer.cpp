#include "profile/diagrams/MomentumTransfer.h"

#include "compute/ProfileInterp.h"
#include "compute/Winds.h"
#include "platform/Format.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/diagrams/SoundingOverlays.h"
#include "store/ProfileArrays.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace tarvex {

namespace {

constexpr double kKelvin = 273.16;
// A layer whose lapse rate in ln p stays below this share of the dry
// adiabatic rate is stable.
constexpr double kStableShare = 0.7;
constexpr Rgb kGrey = RGB(192, 192, 192);

// " ---> 270 deg 25 kts" with the numbers in print form, rounded half up.
std::string WindText(double direction, double knots) {
    return " ---> " + PrintForm(std::floor(direction + 0.5)) + "\xC2\xB0" +
           PrintForm(std::floor(knots + 0.5)) + "kts";
}

void PrintBeside(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view, int L,
                 const std::string& text) {
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const double p = s.Pressure(m, t, L);
    // The arrow starts on the temperature trace at its level, where the
    // marks about the trace near the ground (the convective temperature,
    // the condensation level) may stand: the wind a gust may bring down
    // must show, so it slides along its level to a free place.
    PrintAtLevel(pic, SkewX(view, s.Temperature(m, t, L), p),
                 std::log(p) - 0.66 * pic.TextHeight("H"), std::log(p), text, pic.TextWidth("0"));
}

} // namespace

int XferDepth(std::int16_t index) {
    const std::size_t k = index >= 0 && index < 4 ? static_cast<std::size_t>(index) : 1;
    return std::atoi(kXferCaptions[k]);
}

std::optional<int> MixedLayerTop(const ProfileArrays& s, int t, int depth) {
    const int m = s.CurrentModel;
    const int n = StoredLevelCount(s);
    std::optional<int> top;
    double d = 0.0;
    for (int k = 2; k <= n; ++k) {
        const double p0 = s.Pressure(m, t, k - 1);
        const double p1 = s.Pressure(m, t, k);
        const double a = std::log(p1) - std::log(p0);
        if (!(a < 0.0)) continue; // no depth: the layer says nothing
        const double T0 = s.Temperature(m, t, k - 1) + kKelvin;
        const double dry = (T0 / std::pow(p0 / p1, 2.0 / 7.0) - T0) / a;
        const double env = (s.Temperature(m, t, k) - s.Temperature(m, t, k - 1)) / a;
        if (static_cast<float>(kStableShare * dry) > static_cast<float>(env)) {
            if (d == 0.0) top = k - 1;
            d += p0 - p1;
            if (d >= depth) break;
        } else {
            d = 0.0;
        }
    }
    return top;
}

void DrawMomentumTransfer(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view) {
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const std::optional<int> found = MixedLayerTop(s, t, XferDepth(view.extras.MomentumXferIndex));
    if (!found) return;
    const int top = *found;

    auto x = [&](int L) { return SkewX(view, s.Temperature(m, t, L), s.Pressure(m, t, L)); };
    auto y = [&](int L) { return std::log(static_cast<double>(s.Pressure(m, t, L))); };
    pic.SetForeColor(kGrey);
    pic.SetDrawWidth(3);
    pic.PSet(x(1), y(1));
    double su = s.WindU.Level(m, t, 1);
    double sv = s.WindV.Level(m, t, 1);
    for (int k = 2; k <= top; ++k) {
        pic.LineTo(x(k), y(k));
        su += s.WindU.Level(m, t, k);
        sv += s.WindV.Level(m, t, k);
    }
    PrintBeside(pic, s, view, top, WindText(s.WindDirection(m, t, top), s.WindSpeed(m, t, top)));
    if (top > 1) {
        const double u = su / top;
        const double v = sv / top;
        const double direction = DirectionFromUV(static_cast<float>(u), static_cast<float>(v));
        const double speed = std::sqrt(u * u + v * v);
        PrintBeside(pic, s, view, top / 2, WindText(direction, speed * kKnotsPerMs));
    }
    pic.SetDrawWidth(1);
}

} // namespace tarvex
