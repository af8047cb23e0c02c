#include "overview/fields/TimeAxis.h"

#include "compute/ProfileInterp.h"
#include "overview/fields/OverviewFrame.h"
#include "platform/Format.h"
#include "profile/data/Session.h"

#include <cmath>
#include <string>

namespace tarvex {

TimeAxisSettings TimeAxisSettingsOf(const Session& session) {
    return {session.HoursPerColumn, session.parameters.TimeLabelEvery,
            session.config.TimeZoneOffset, session.config.ClockIsLocal};
}

DateTime CurrentUtcTime(const DateTime& clock, const TimeAxisSettings& settings) {
    return settings.ClockIsLocal ? clock.AddHours(settings.UtcOffsetHours) : clock;
}

void DrawTimeAxis(PictureSurface& picTime, const ProfileArrays& store, const OverviewAxes& axes,
                  const TimeAxisSettings& settings) {
    picTime.Scale(axes.ScaleLeftColumn, 0, axes.ScaleRightColumn, 100);
    picTime.Clear();
    // With no sounding the strip stays blank.
    if (settings.HoursPerColumn < 1 || settings.ColumnsPerMark < 1 || StoredLevelCount(store) < 1)
        return;
    const DateTime first = store.ValidTime(store.CurrentModel, 0);
    const double w = picTime.TextWidth("00z");
    const int last = static_cast<int>(RoundHalfEven(axes.ScaleLeftColumn));
    for (int c = 0; c <= last; c += settings.ColumnsPerMark) {
        const int hours = c * settings.HoursPerColumn;
        picTime.SetCurrentX(c - w / 2.0);
        picTime.SetCurrentY(10);
        picTime.PrintNoNewline(Format(first.AddHours(hours), "hhz"));
        std::string local =
            Format(first.AddHours(hours - settings.UtcOffsetHours), "ddd ha/p").erase(2, 1);
        picTime.SetCurrentX(c - picTime.TextWidth(local) / 2.0);
        picTime.SetCurrentY(50);
        picTime.PrintNoNewline(local);
    }
}

void PlotNow(OverviewContext& ctx) {
    const TimeAxisSettings settings = TimeAxisSettingsOf(ctx.session);
    if (settings.HoursPerColumn < 1) return;
    const ProfileArrays& store = *ctx.session.profile;
    // Hour boundaries between the first column and now, as whole columns;
    // a present time before the first column counts back (floor division).
    const double hoursNow = CurrentUtcTime(ctx.clock, settings).serial * 24.0;
    const double hoursFirst = store.ValidTime(store.CurrentModel, 0).serial * 24.0;
    const double boundaries = std::floor(hoursNow + 1e-7) - std::floor(hoursFirst + 1e-7);
    const double n = std::floor(boundaries / settings.HoursPerColumn);
    PictureSurface& pic = ctx.picRH;
    ScaleProfileFrame(pic, ctx.axes);
    pic.SetDrawWidth(3);
    pic.Line(n + 0.5, pic.ScaleTop(), n + 0.5, pic.ScaleTop() + pic.ScaleHeight(), kWhite);
    pic.SetDrawWidth(1);
}

} // namespace tarvex
