#pragma once

#include "overview/fields/OverviewState.h"
#include "store/DateTime.h"

namespace tarvex {

struct ProfileArrays;

// What the time axis and the "Now" marker read besides the axes.
struct TimeAxisSettings {
    int HoursPerColumn = 1;
    int ColumnsPerMark = 6;
    int UtcOffsetHours = 0; // hours added to the local clock to get UTC
    bool ClockIsLocal = false;
};

TimeAxisSettings TimeAxisSettingsOf(const Session& session);

// The present time in UTC from the computer clock's reading.
DateTime CurrentUtcTime(const DateTime& clock, const TimeAxisSettings& settings);

// The strip under picRH: at every ColumnsPerMark-th column the valid time in
// UTC ("06z") and under it the local weekday and hour ("Tu 6p"). Nothing is
// drawn when HoursPerColumn or ColumnsPerMark is below 1.
void DrawTimeAxis(PictureSurface& picTime, const ProfileArrays& store, const OverviewAxes& axes,
                  const TimeAxisSettings& settings);

// A white vertical line over picRH in the middle of the column that holds
// the present time.
void PlotNow(OverviewContext& ctx);

} // namespace tarvex
