#include "overview/fields/MeanWindTrace.h"

#include "compute/TimeHeightFields.h"
#include "compute/Winds.h"
#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"
#include "platform/Format.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

Rgb MeanWindColor(float value) {
    if (value <= 2.0f) return RGB(0, 232, 0);
    if (value <= 4.0f) return RGB(232, 232, 0);
    return RGB(232, 0, 0);
}

void DrawWindScale(PictureSurface& picWindScale, const ProfileArrays& store, int level, int step) {
    const int m = store.CurrentModel;
    picWindScale.SetDesignSize(120, 70);
    picWindScale.Clear();
    picWindScale.Scale(0, 0, 600, 700);
    picWindScale.SetDrawWidth(3);
    for (int i = 0; i < 3; ++i) {
        const int n = level - step + step * i;
        if (n < 0 || n > kMaxProfileLevels) continue;
        const double y = 500.0 - 200.0 * i;
        picWindScale.Line(20, y, 220, y, kWindLevelColours[static_cast<std::size_t>(i)]);
        picWindScale.SetCurrentX(220 + 45);
        picWindScale.SetCurrentY(y - 80);
        picWindScale.Print(Format(store.Pressure(m, 0, n), "0 mb"));
    }
    picWindScale.SetDrawWidth(1);
}

void MakeMeanWind(const ProfileArrays& store, int bottom, int top, TimeHeightFields& fields) {
    const int m = store.CurrentModel;
    bottom = std::clamp(bottom, 0, kMaxProfileLevels);
    top = std::clamp(top, 0, kMaxProfileLevels);
    const TimeHeightFields::MeanWindKey key{bottom, top, m};
    if (fields.MeanWindLayer == key) return;
    const int last = std::clamp<int>(store.LastTime(m), -1, kLastTimeColumn);
    for (int t = 0; t <= last; ++t) {
        const LayerWind mean = LayerMeanWind(store, m, t, bottom, top);
        fields.MeanWindDirection(m, t) = mean.Direction;
        fields.MeanWindSpeed(m, t) = mean.Speed;
        fields.MeanWindSpread(m, t) = mean.Spread;
    }
    fields.MeanWindLayer = key;
}

void PlotMeanWind(OverviewContext& c) {
    const ProfileArrays& s = *c.session.profile;
    TimeHeightFields& f = *c.session.timeHeight;
    MakeMeanWind(s, c.options.MeanWindLevels[0], c.options.MeanWindLevels[1], f);
    const int m = s.CurrentModel;
    const int last = std::min<int>(s.LastTime(m), kLastTimeColumn);
    if (last < 0) return;
    PictureSurface& pic = c.picRH;
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawWidth(2);
    pic.Scale(c.axes.ScaleLeftColumn, c.axes.DirectionTop, c.axes.ScaleRightColumn,
              c.axes.DirectionTop - c.axes.DirectionSpan);
    constexpr double kDot = 0.3;
    auto dot = [&](double x, double y) { pic.Circle(x, y, kDot); };
    auto colour = [&](int t) {
        const Rgb rgb = MeanWindColor(f.MeanWindSpread(m, t));
        pic.SetForeColor(rgb);
        pic.SetFillColor(rgb);
    };
    colour(0);
    dot(0, f.MeanWindDirection(m, 0));
    for (int t = 1; t <= last; ++t) {
        colour(t);
        const double now = f.MeanWindDirection(m, t);
        const double before = f.MeanWindDirection(m, t - 1);
        const float d = static_cast<float>(now - before);
        if (std::abs(d) <= 180.0f) {
            pic.LineTo(t, now);
            dot(t, now);
        } else {
            // Through north: off one edge, then in again from the other,
            // ending half a column beyond the column.
            const double wrap = d < 0.0f ? 360.0 : -360.0;
            pic.LineTo(t, now + wrap);
            dot(t, now + wrap);
            pic.Line(t - 1, before - wrap, t + 0.5, now);
            dot(t + 0.5, now);
        }
    }
    pic.SetDrawWidth(1);
}

} // namespace tarvex
