#include "overview/panels/SelectedHour.h"

#include "overview/panels/HourPanels.h"

#include <cmath>

namespace tarvex {

std::optional<std::int16_t> HourAtX(double X, int LastTime) {
    if (!(X > -0.5 && X < 84.5)) return std::nullopt;
    const int hour = static_cast<int>(std::floor(X + 0.5));
    if (hour > LastTime) return std::nullopt;
    return static_cast<std::int16_t>(hour);
}

double HourDistance(const OverviewAxes& axes, int pixelWidth, int hour) {
    const double span = axes.ScaleRightColumn - axes.ScaleLeftColumn;
    if (span == 0.0) return 0.0;
    return pixelWidth * (axes.ScaleRightColumn - hour) / span;
}

int PanelLeft(int currentLeft, int panelWidth, const PanelRow& row, double distance) {
    if (currentLeft == 0) {
        if (row.leftWidth + row.rhWidth - panelWidth < distance) return row.innerWidth - panelWidth;
    } else if (panelWidth - row.rightWidth > distance) {
        return 0;
    }
    return currentLeft;
}

void DrawHourPanel(HourPanel panel, PictureSurface& pic, HourPanelContext& ctx, std::int16_t hour) {
    switch (panel) {
    case HourPanel::Map:
        if (ctx.options.chkMeanWind) {
            DrawMapPane(pic, ctx, hour);
        } else {
            DrawMapSigmaPane(pic, ctx, hour);
        }
        PlotStormMotionMap(pic, ctx);
        break;
    case HourPanel::Hodograph:
        PlotOverviewHodograph(pic, ctx, hour);
        break;
    case HourPanel::Profile:
        DrawProfile(pic, ctx, hour);
        break;
    case HourPanel::StormType:
        PlotCapeShearDiagram(pic, ctx, hour);
        break;
    case HourPanel::None:
        break;
    }
}

} // namespace tarvex
