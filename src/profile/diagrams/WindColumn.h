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

// The wind column near the right edge of the sounding picture: a vector per
// shown level (a circle with a line pointing into the wind, 0.45 % of the
// width per knot, coloured by speed on request) and the digital speeds (with
// the directions on request), each behind its option; beside the bottom
// vector the surface wind when the 2 m / 10 m option is on. Percent frame.
void DrawWindColumn(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view);

} // namespace tarvex
