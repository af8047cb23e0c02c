#include "profile/diagrams/SnowGrowth.h"

#include "compute/ProfileInterp.h"
#include "platform/PictureSurface.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/diagrams/SoundingOverlays.h"
#include "store/ProfileArrays.h"

#include <cmath>

namespace tarvex {

namespace {

// Snow crystals grow best between these temperatures (deg C).
constexpr float kWarmEdge = -12.0f;
constexpr float kColdEdge = -18.0f;
// Both ends of a piece above this relative humidity (percent): moist.
constexpr float kMoistRH = 75.0f;

bool InZone(float T) {
    return T >= kColdEdge && T <= kWarmEdge;
}

// A point of the trace: temperature and pressure.
struct TracePoint {
    double T;
    double p;
};

void Piece(PictureSurface& pic, const SoundingView& view, TracePoint from, TracePoint to, float rh1,
           float rh2) {
    const bool moist = rh1 > kMoistRH && rh2 > kMoistRH;
    pic.SetForeColor(moist ? RGB(255, 255, 0) : RGB(255, 127, 255));
    pic.Line(SkewX(view, from.T, from.p), std::log(from.p), SkewX(view, to.T, to.p),
             std::log(to.p));
}

} // namespace

void DrawSnowGrowth(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view) {
    const int m = s.CurrentModel;
    const int t = view.CurrentColumn;
    const int n = DrawnLevelCount(s);
    if (n < 1) return;
    auto level = [&](int k) { return TracePoint{s.Temperature(m, t, k), s.Pressure(m, t, k)}; };
    auto rh = [&](int k) { return s.RelativeHumidity(m, t, k); };
    // The crossing of the zone's edge between levels k - 1 and k, on the side
    // of the level at `outside`, with the humidity there.
    auto crossing = [&](int k, float outside, float& r) {
        const float edge = outside > kWarmEdge ? kWarmEdge : kColdEdge;
        const float p =
            InterpolateP(s, static_cast<std::int16_t>(t), static_cast<std::int16_t>(k), edge);
        r = InterpRHAtPressure(s, static_cast<std::int16_t>(t), p);
        return TracePoint{edge, p};
    };

    pic.SetDrawWidth(3);
    bool inZone = InZone(s.Temperature(m, t, 1));
    if (inZone) {
        const TracePoint first = level(1);
        pic.SetCurrentX(SkewX(view, first.T, first.p));
        pic.SetCurrentY(std::log(first.p));
    }
    for (int k = 2; k <= n; ++k) {
        const bool inside = InZone(s.Temperature(m, t, k));
        float r = 0.0f;
        if (inZone && inside) {
            Piece(pic, view, level(k - 1), level(k), rh(k - 1), rh(k));
        } else if (inZone) {
            inZone = false;
            const TracePoint cut = crossing(k, s.Temperature(m, t, k), r);
            Piece(pic, view, level(k - 1), cut, r, rh(k));
        } else if (inside) {
            inZone = true;
            const TracePoint cut = crossing(k, s.Temperature(m, t, k - 1), r);
            Piece(pic, view, cut, level(k), r, rh(k));
        }
    }
    pic.SetDrawWidth(1);
}

} // namespace tarvex
