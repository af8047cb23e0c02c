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

// Widths (pixels) of what lies under a floating panel: the left scale, the
// time-height picture and the right scale side by side, and the room they
// share.
struct PanelRow {
    int leftWidth = 0;
    int rhWidth = 0;
    int rightWidth = 0;
    int innerWidth = 0;
};

// Where a panel panelWidth wide goes for an hour distance from the right edge
// of picRH: a panel at the left edge (left 0) moves to the right edge when
// the hour's column lies under it; a panel at the right moves to the left
// edge when the column lies under it. Otherwise it stays at currentLeft.
int PanelLeft(int currentLeft, int panelWidth, const PanelRow& row, double distance);

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
