#include "overview/fields/TraceDrawing.h"

#include "profile/data/Session.h"

namespace tarvex {

void DrawTrace(PictureSurface& pic, int last, const TraceValue& value) {
    bool started = false;
    for (int t = 0; t <= last; ++t) {
        const std::optional<double> v = value(t);
        if (!v) continue;
        if (started) {
            pic.LineTo(t, *v);
        } else {
            pic.SetCurrentX(t);
            pic.SetCurrentY(*v);
            started = true;
        }
    }
}

void ScaleTimeWindow(OverviewContext& ctx, double top, double bottom) {
    ctx.picRH.Scale(ctx.axes.ScaleLeftColumn, top, ctx.axes.ScaleRightColumn, bottom);
}

int CurrentModel(const OverviewContext& ctx) {
    return ctx.session.profile->CurrentModel;
}

int LastColumn(const OverviewContext& ctx) {
    return ctx.session.profile->LastTime(CurrentModel(ctx));
}

double Fahrenheit(double celsius) {
    return celsius * 9.0 / 5.0 + 32.0;
}

} // namespace tarvex
