#include "profile/diagrams/PTypeMark.h"

#include "compute/ComputeState.h"
#include "compute/PrecipType.h"
#include "compute/ProfileInterp.h"
#include "files/Session.h"
#include "platform/PictureSurface.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace tarvex {

namespace {

constexpr std::int32_t kNoPType = 999;

struct PTypeLook {
    Rgb colour;
    std::string text; // empty: no text
};

PTypeLook LookOf(std::int32_t code) {
    switch (code) {
    case kPTypeRain:
        return {RGB(0, 255, 0), "R"};
    case kPTypeFreezingRain:
        return {RGB(255, 0, 0), "ZR"};
    case kPTypeSnow:
        return {RGB(0, 0, 255), "S"};
    case kPTypeIcePellets:
        return {RGB(255, 0, 0), "IP"};
    case kNoPType:
        return {kWhite, ""};
    default:
        // The code as text carries a blank in place of a plus sign.
        return {kWhite, "Error Wx = " + std::string(code >= 0 ? " " : "") + std::to_string(code)};
    }
}

struct Dot {
    double x;
    double y;
};

// One dot below 0.01 in/h, a pair below 0.1, a triangle below 0.3, else a
// diamond.
std::vector<Dot> RateDots(float rate) {
    if (rate < 0.01f) return {{15, 80}};
    if (rate < 0.1f) return {{13, 80}, {17, 80}};
    if (rate < 0.3f) return {{15, 78}, {13, 82}, {17, 82}};
    return {{15, 82}, {13, 80}, {17, 80}, {15, 78}};
}

} // namespace

std::optional<Rgb> HumidityColour(float r) {
    if (r >= 95.0f) return RGB(0, 255, 0);
    if (r >= 90.0f) return RGB(0, 191, 0);
    if (r >= 80.0f) return RGB(255, 0, 0);
    if (r >= 70.0f) return RGB(191, 0, 0);
    if (r < 30.0f) return RGB(0, 0, 255);
    return std::nullopt;
}

void DrawHumidityStrip(PictureSurface& pic, const ProfileArrays& s, int t) {
    const int m = s.CurrentModel;
    const int n = DrawnLevelCount(s);
    const int top = StoredLevelCount(s);
    // The pseudo-level below level 1 is the strip's own; the store keeps the
    // surface pressure at level 0.
    const double p0 = 2.0 * s.SurfacePressure(m, t) - s.Pressure(m, t, 1);
    // A level's upper edge, halfway to the next, is the next one's lower
    // edge: its logarithm is taken once.
    int lastUpper = 0;
    double lastUpperLog = 0.0;
    for (int L = 1; L <= n; ++L) {
        const double p = s.Pressure(m, t, L);
        const std::optional<Rgb> colour = HumidityColour(s.RelativeHumidity(m, t, L));
        if (!colour || !(p > 0.0)) continue;
        const double below = L == 1 ? p0 : s.Pressure(m, t, L - 1);
        const double above = L < top ? s.Pressure(m, t, L + 1) : p;
        const double lower = lastUpper == L ? lastUpperLog : std::log((below + p) / 2.0);
        lastUpper = L < top ? L + 1 : 0;
        lastUpperLog = std::log((above + p) / 2.0);
        pic.FilledBox(0.0, lower, 5.0, lastUpperLog, *colour);
    }
}

void PrintPrecipType(PictureSurface& pic, Session& session, int t) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    PTypeResults& ptype = *session.ptype;
    const auto column = static_cast<std::int16_t>(t);
    if (session.options.UseBourgouinPType && ptype.PTypeAreasDone(m, t) == kFlagFalse)
        MakePType(s, column, ptype, session.options);
    pic.Scale(0.0, 0.0, 100.0, 100.0);
    const float precip = s.Precip(m, t);
    if (!(precip > 0.0f)) return;

    const PTypeLook look = LookOf(ptype.PTypeCode(m, t));
    pic.SetForeColor(look.colour);
    pic.SetFillColor(look.colour);
    if (!look.text.empty()) {
        pic.SetCurrentX(20.0);
        pic.SetCurrentY(78.5);
        pic.Print(look.text);
    }
    pic.Scale(0.0, 0.0, 100.0, 100.0);
    // Without hours per column there is no rate to show.
    if (session.HoursPerColumn <= 0) return;
    const float rate = precip / static_cast<float>(session.HoursPerColumn);
    pic.SetFillStyle(FillStyle::Solid);
    for (const Dot& dot : RateDots(rate)) pic.Circle(dot.x, dot.y, 1.0);
}

} // namespace tarvex
