#include "overview/fields/TimeAxis.h"

#include "compute/ProfileInterp.h"
#include "files/Session.h"
#include "overview/fields/OverviewFrame.h"
#include "platform/Format.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tarvex {

TimeAxisSettings TimeAxisSettingsOf(const Session& session) {
    return {session.HoursPerColumn, session.TimeLabelEvery, session.config.TimeZoneOffset,
            session.config.ClockIsLocal};
}

DateTime CurrentUtcTime(const DateTime& clock, const TimeAxisSettings& settings) {
    return settings.ClockIsLocal ? clock.AddHours(settings.UtcOffsetHours) : clock;
}

void DrawTimeAxis(PictureSurface& picTime, const ProfileArrays& store, const OverviewAxes& axes,
                  const TimeAxisSettings& settings) {
    picTime.Scale(axes.ScaleLeftColumn, 0, axes.ScaleRightColumn, 100);
    // Two rows of labels fit a strip this size; a wider strip has room for
    // larger ones.
    picTime.SetDesignSize(600, 36);
    picTime.Clear();
    // With no sounding the strip stays blank.
    if (settings.HoursPerColumn < 1 || settings.ColumnsPerMark < 1 || StoredLevelCount(store) < 1)
        return;
    const DateTime first = store.ValidTime(store.CurrentModel, 0);
    // A label centred on its column, moved in just enough to stay whole in
    // the strip at the first and last columns shown; a column outside the
    // time window has none.
    const auto label = [&picTime](double c, double y, const std::string& text) {
        const TextAsLabel column(picTime, c, y, LabelSlide::AlongColumn);
        picTime.SetCurrentX(c - picTime.TextWidth(text) / 2.0);
        picTime.SetCurrentY(y);
        picTime.PrintNoNewline(text);
    };
    const int last = static_cast<int>(RoundHalfEven(axes.ScaleLeftColumn));
    for (int c = 0; c <= last; c += settings.ColumnsPerMark) {
        const int hours = c * settings.HoursPerColumn;
        label(c, 10, Format(first.AddHours(hours), "hhz"));
        label(c, 50,
              Format(first.AddHours(hours - settings.UtcOffsetHours), "ddd ha/p").erase(2, 1));
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
