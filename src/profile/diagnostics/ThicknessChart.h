#pragma once

#include <cstdint>
#include <vector>

namespace tarvex {

class PictureSurface;
struct PrecipTypeBackgrounds;
struct ProfileArrays;
struct Session;

// A point of the thickness nomogram: the 850-700 mb thickness across and the
// 1000-850 mb thickness upward (m).
struct ThicknessPoint {
    double x = 0.0;
    double y = 0.0;

    bool operator==(const ThicknessPoint&) const = default;
};

// Time columns that a trail of tailHours hours reaches back at hoursPerColumn
// forecast hours per column; at least one.
int TrailColumns(int tailHours, int hoursPerColumn);

// The end of the boundary that runs from (1548, 1295) between snow and ice
// pellets, by the sounding of time column t: a deep layer within 1.5 C of
// 0 C (more than 100 mb) bends it through (1556, 1300) to (1550, 1307); a
// level 1.5 C or more from 0 C above 700 mb, reached first, takes it to
// (1548, 1308); otherwise it ends where it starts.
std::vector<ThicknessPoint> NearZeroBoundaryEnd(const ProfileArrays& s, int t);

// The hour's place on the nomogram, limited to the chart's edges; none when
// a height of the hour is missing (a sounding too shallow for 700 mb).
bool ThicknessPointOf(const Session& session, int t, ThicknessPoint& point);

// The precipitation type by thickness for time column c of the current model:
// the nomogram with its boundaries and regions, the heights and thicknesses
// of the hour below it, and the trail of the last tailHours hours (works out
// the model's heights first when they are not ready). The nomogram's fixed
// parts come from backgrounds.
void PlotPTypeThickness(PictureSurface& pic, Session& session, std::int16_t c, int tailHours,
                        PrecipTypeBackgrounds& backgrounds);

} // namespace tarvex
