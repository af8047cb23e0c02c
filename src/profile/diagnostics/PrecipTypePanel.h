#pragma once

#include <utility>

#include "platform/PictureSurface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace tarvex {

struct Session;

// How the precipitation-type panel is drawn: by thickness (the nomogram of
// the 850-700 and 1000-850 mb thicknesses, with a trail of TailHours hours)
// or by energy (the melting and refreezing energies of the layer analysis).
struct PrecipTypeChoice {
    bool UseThicknessMethod = false;
    int TailHours = 6;
};

// Pictures of the fixed lines of the panel's charts (areas, grids,
// boundaries) at the size of the picture they were drawn on: each is drawn
// once per size, and a redraw puts the charts' texts and the hour's parts
// over it, so that the surface knows every text it shows.
struct PrecipTypeBackgrounds {
    // The refreezing and elevated charts share their lines.
    enum Chart { Surface, Refreezing, Thickness, ChartCount };
    int width = 0;
    int height = 0;
    std::array<Picture, ChartCount> pictures;

    // Clears pic to the chart's fixed parts, drawing them with drawFixed
    // (on a cleared picture, in the back colour) when there are none yet for
    // its size.
    void Show(PictureSurface& pic, Chart chart, const std::function<void()>& drawFixed);
};

// The energy charts: the surface chart of the patterns "AB" and "BB", the
// refreezing chart of "BA", the elevated chart of "ABAB", or none.
enum class EnergyChart { Surface, Refreezing, Elevated, None };
EnergyChart EnergyChartOf(const std::string& pattern);

// Fill colours of a trail point on the surface chart (blue snow below
// 5.6 J/kg of melting, cyan to 13.2, green rain from there) and on the
// refreezing and elevated charts (below the lowest line green for an "ABAB"
// hour and red for freezing rain, at least 20 J/kg above it yellow pellets,
// orange between).
Rgb SurfaceChartColor(float warmEnergy);
Rgb RefreezingChartColor(float warmEnergy, float coldEnergy, bool elevated);

// Draws the precipitation-type panel of time column c of the current model on
// pic. The energy method works out the layer analysis of every hour it plots
// that is not worked out yet (the current hour's type as well), draws the
// SNRA bar, the start level, the chart of the hour's pattern with the trail of
// the hours before it of the same kind, and the cloud-top lines with the
// drizzle warning. True when the sleet panel was drawn on sleet and should be
// shown; the caller hides it otherwise. The charts' fixed parts come from
// backgrounds.
bool PlotPrecipType(PictureSurface& pic, PictureSurface& sleet, Session& session, std::int16_t c,
                    const PrecipTypeChoice& choice, PrecipTypeBackgrounds& backgrounds);

// The sleet panel of time column t: the positive energy of the surface warm
// layer on a 0-40 J/kg scale divided at 20 J/kg into "Sleet" and
// "Rain/Sleet".
void PlotSleet(PictureSurface& sleet, const Session& session, std::int16_t t);

// The panel's type: a bold serif, or the sans face of the same weight where
// the picture's scale brings it so small that the serif's digits no longer
// read as themselves (its 8 and 3 read as 2).
void UsePrecipTypeFont(PictureSurface& pic);

// The size in pixels of the sleet panel that holds its text whole at the
// panel's font: the energy line, the widest, from its place at the left to
// the right edge, and a line of text between the headings and the scale.
// (The window layout's 189 x 45 cuts the energy's unit and leaves out the
// scale's labels.)
std::pair<int, int> SleetPanelSize(PictureSurface& sleet);

// Size of the precipitation-type picture in the window layout, in pixels.
inline constexpr int kPrecipTypeWidth = 437;
inline constexpr int kPrecipTypeHeight = 461;

} // namespace tarvex
