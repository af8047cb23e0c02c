#include "overview/panels/SelectedHour.h"

#include "overview/panels/HourPanels.h"

#include <algorithm>
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

ColumnPixels HourColumnPixels(const OverviewAxes& axes, int pixelWidth, int hour) {
    const double span = axes.ScaleLeftColumn - axes.ScaleRightColumn;
    if (span == 0.0) return {};
    const double centre = pixelWidth - HourDistance(axes, pixelWidth, hour);
    const double half = std::abs(pixelWidth / span) / 2.0;
    return {centre - half, centre + half};
}

namespace {

// Pixels of [from, to) that a panel at x, width wide, covers.
double Covered(int x, int width, double from, double to) {
    return std::max(0.0, std::min<double>(x + width, to) - std::max<double>(x, from));
}

} // namespace

int MostPanelWidth(const PanelRow& row, double columnWidth) {
    return static_cast<int>(std::floor((row.innerWidth - std::ceil(columnWidth)) / 2.0));
}

int PanelLeft(int currentLeft, int panelWidth, const PanelRow& row, ColumnPixels column) {
    const int atRight = std::max(row.innerWidth - panelWidth, 0);
    const int here = currentLeft == 0 ? 0 : atRight;
    const int there = here == 0 ? atRight : 0;
    const auto hides = [&](int x) { return Covered(x, panelWidth, column.left, column.right) > 0; };
    if (!hides(here)) return here;
    if (!hides(there)) return there;
    const auto picture = [&](int x) {
        return Covered(x, panelWidth, row.pictureLeft, row.pictureRight);
    };
    return picture(there) < picture(here) ? there : here;
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
