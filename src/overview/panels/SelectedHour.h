#pragma once

#include "overview/fields/OverviewState.h"
#include "profile/diagrams/MapDiagram.h"

#include <cstdint>
#include <optional>

namespace tarvex {

struct HodographView;
struct SoundingView;

// The floating panels of the overview, as optOverlay numbers them.
enum class HourPanel : std::int16_t {
    Map = 0,
    Hodograph = 1,
    Profile = 2,
    StormType = 3,
    None = 4
};

// The hour a press of the left button at X (time columns of picRH) shows: the
// nearest column, none when X lies outside -0.5 .. 84.5 or the column lies
// beyond the current model's last one.
std::optional<std::int16_t> HourAtX(double X, int LastTime);

// Distance (pixels) from the right edge of picRH, pixelWidth wide, to the
// centre of the hour's column in the time window of axes.
double HourDistance(const OverviewAxes& axes, int pixelWidth, int hour);

// Pixels of the hour's column inside picRH, pixelWidth wide, from its left
// edge: where the column begins and where it ends.
struct ColumnPixels {
    double left = 0.0;
    double right = 0.0;
};
ColumnPixels HourColumnPixels(const OverviewAxes& axes, int pixelWidth, int hour);

// The room a floating panel moves in (pixels from the room's left edge):
// where picRH begins and ends, and the room's width.
struct PanelRow {
    int pictureLeft = 0;
    int pictureRight = 0;
    int innerWidth = 0;
};

// The widest a panel may be so that one side of the row always leaves a
// column columnWidth wide in sight: half the room less a whole column.
int MostPanelWidth(const PanelRow& row, double columnWidth);

// Where a panel panelWidth wide goes so that it leaves the hour's column
// (pixels from the room's left edge) in sight: it stays on its side (left
// edge 0, or flush with the right edge) while that side clears the column,
// and moves to the other side when only that one does. When neither side
// clears it the panel takes the side that covers less of picRH, and keeps its
// side on a tie, so it never flips while the pointer stays on one hour.
int PanelLeft(int currentLeft, int panelWidth, const PanelRow& row, ColumnPixels column);

// What the panels draw with besides the session: the overview's options, the
// main window's sounding and hodograph settings, the map background and the
// wind the map panes hand to the storm-motion text.
struct HourPanelContext {
    Session& session;
    const OverviewOptions& options;
    const SoundingView& mainView;
    const HodographView& hodoView;
    const Picture& mapBackground;
    MapWindState& mapWind;
};

// Draws the chosen panel for the hour of the current model on pic; None
// draws nothing.
void DrawHourPanel(HourPanel panel, PictureSurface& pic, HourPanelContext& ctx, std::int16_t hour);

} // namespace tarvex
