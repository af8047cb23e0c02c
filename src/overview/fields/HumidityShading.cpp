#include "overview/fields/HumidityShading.h"

#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"

#include <algorithm>
#include <cmath>

namespace tarvex {

std::optional<Rgb> HumidityShade(float rh, int RHLegendIndex) {
    if (rh >= 95.0f) return RGB(0, 255, 0);
    if (rh >= 90.0f) return RHLegendIndex < 5 ? std::optional(RGB(0, 191, 0)) : std::nullopt;
    if (rh >= 80.0f) return RHLegendIndex < 4 ? std::optional(RGB(255, 0, 0)) : std::nullopt;
    if (rh >= 70.0f) return RHLegendIndex < 3 ? std::optional(RGB(191, 0, 0)) : std::nullopt;
    if (rh >= 30.0f) return std::nullopt;
    return RHLegendIndex == 0 ? std::optional(RGB(0, 0, 255)) : std::nullopt;
}

void PlotRH(OverviewContext& ctx) {
    const ProfileArrays& s = *ctx.session.profile;
    const int m = s.CurrentModel;
    const LevelField& field = ctx.options.chkRH[0] ? s.RelativeHumidity : s.RelativeHumidityIce;
    ScaleProfileFrame(ctx.picRH, ctx.axes);
    const int levels = std::min<int>(s.LevelCount(m), kMaxProfileLevels);
    // Cell edges between levels k and k + 1, from the pressures of column 0.
    std::array<float, kLevelSlots> edge{};
    for (int k = 1; k + 1 <= levels; ++k) {
        const float p = (s.Pressure(m, 0, k) + s.Pressure(m, 0, k + 1)) / 2.0f;
        edge[k] = p > 0.0f ? std::log(p) : 0.0f;
    }
    for (int t = 0; t <= s.LastTime(m); ++t)
        for (int k = 2; k <= levels - 1; ++k) {
            const std::optional<Rgb> shade =
                HumidityShade(field(m, t, k), ctx.options.RHLegendIndex);
            if (shade) ctx.picRH.FilledBox(t - 0.5, edge[k - 1], t + 0.5, edge[k], *shade);
        }
}

} // namespace tarvex
