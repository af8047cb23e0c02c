#pragma once

#include "platform/PictureSurface.h"

#include <vector>

namespace tarvex {

struct ProfileArrays;
struct SoundingView;

// Centre of the wind vectors and start of the digital direction and speed
// columns, in the percent frame.
inline constexpr double kWindColumnCentre = 93.0;
inline constexpr double kDigitalDirectionX = 86.0;
inline constexpr double kDigitalSpeedX = 94.0;

// Colour of a wind vector by its speed (knots), in steps of step kt: white,
// red, orange, yellow, green, blue, magenta from six steps.
Rgb WindSpeedColour(double knots, double step = 10.0);

// One wind vector: a circle of radius (x units) at (x, y) and a line from
// it pointing into the wind (direction in degrees it blows from), length x
// units long, as long on the screen whatever the picture's scale.
void DrawWindVector(PictureSurface& pic, double x, double y, double direction, double length,
                    double radius);

// Levels of time column t that the wind column shows, bottom up. Level 0
// (the surface wind, drawn below the lowest level) always comes first. With
// the spaced interval in force a level is shown when it lies at least
// 1.5 % of the picture's height times VWPIntervalA above the last level
// shown (level 1 therefore always); otherwise every VWPInterval-th level is
// shown, an interval below 1 counting as 1.
std::vector<int> WindColumnLevels(const ProfileArrays& s, int t, const SoundingView& view);

// A line of the wind column: the level it shows (0 the surface wind) and the
// top of its texts in the scale in force.
struct WindColumnRow {
    int level = 0;
    double top = 0.0;
};

// The lines of the digital winds (and the surface wind beside the bottom
// vector), bottom up, in the percent frame on pic: one per level of
// WindColumnLevels whose place lies on the picture (below the omega strip
// when it shows), centred on the level and moved in just enough to lie whole
// inside; where levels crowd closer than a line, the higher gives way, so
// that every line shows its direction and speed whole.
std::vector<WindColumnRow> WindColumnRows(const PictureSurface& pic, const ProfileArrays& s,
                                          const SoundingView& view);

// Keeps the wind column's room free of the picture's other texts, before they
// are printed: with digital winds the whole column from the direction's start
// to the right edge; with the vectors alone the surface wind's place beside
// the bottom vector. Percent frame.
void KeepWindColumnRoom(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view);

// Where the digital wind column starts, in the x units of the scale in force
// on pic: the right edge when digital winds are off.
double WindColumnLeft(const PictureSurface& pic, const SoundingView& view);

// The wind column near the right edge of the sounding picture: a vector per
// shown level (a circle with a line pointing into the wind, 0.45 % of the
// width per knot, coloured by speed on request) and the digital speeds (with
// the directions on request), each behind its option; beside the bottom
// vector the surface wind when the 2 m / 10 m option is on, each line as
// WindColumnRows lays it out. Percent frame.
void DrawWindColumn(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view);

} // namespace tarvex
