#include "overview/fields/SurfaceTraces.h"

#include "compute/PrecipType.h"
#include "compute/SnowRatio.h"
#include "compute/TimeHeightFields.h"
#include "compute/TraceValues.h"
#include "files/Session.h"
#include "overview/fields/Traces.h"

namespace tarvex {

namespace {

constexpr double kKelvinOffset = 273.15;
// Hours whose visibility is above this (miles) draw no tooth.
constexpr double kVisibilityShownMiles = 10.0;
// Visibilities are stored in km as floats: 10 miles reads back a hair off.
constexpr double kMilesTolerance = 1e-4;

// A trace on the temperature and speed scale.
template <typename Value> void TemperatureTrace(OverviewContext& c, Rgb colour, Value&& value) {
    DrawValueTrace(c, colour, 3, c.axes.TraceBase, c.axes.TraceBase + c.axes.TraceSpan, value);
}

void Bar(PictureSurface& pic, double x1, double value, double x2) {
    pic.Box(x1, value, x2, 0.0);
}

} // namespace

Rgb PrecipTypeColour(int code) {
    switch (code) {
    case kPTypeRain:
        return RGB(0, 255, 0);
    case kPTypeFreezingRain:
        return RGB(255, 0, 0);
    case kPTypeSnow:
        return RGB(0, 0, 255);
    case kPTypeIcePellets:
        return RGB(255, 128, 0);
    default:
        return RGB(255, 255, 255);
    }
}

void PlotWindChill(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    // The first three model options carry a 2 m temperature and a 10 m wind.
    const bool profileLevel = s.ModelChoice > 2;
    auto temperature = [&](int t) {
        return profileLevel ? s.Temperature(m, t, 1) : s.SurfaceTemp(m, t);
    };
    auto speed = [&](int t) {
        return profileLevel ? s.WindSpeed(m, t, 1) : s.SurfaceWindSpeed(m, t);
    };
    PictureSurface& pic = c.picRH;
    ScaleTraceFrame(c);
    pic.SetDrawMode(DrawMode::XorPen);
    pic.SetForeColor(RGB(128, 128, 128));
    pic.SetDrawWidth(2);
    DrawColumnTrace(pic, LastTime(c), [&](int t) -> std::optional<double> {
        return OldWindChill(temperature(t), speed(t));
    });
    pic.SetForeColor(RGB(128, 128, 255));
    pic.SetFillColor(RGB(128, 128, 255));
    pic.SetDrawWidth(3);
    DrawColumnTrace(pic, LastTime(c), [&](int t) -> std::optional<double> {
        return NewWindChill(temperature(t), speed(t));
    });
    pic.SetDrawWidth(1);
    pic.SetDrawMode(DrawMode::CopyPen);
}

void PlotVisibility(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const double top = c.session.history.OverviewThresholds[1];
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(63, 127, 255));
    pic.SetFillColor(RGB(63, 127, 255));
    pic.SetDrawWidth(4);
    pic.SetDrawMode(DrawMode::CopyPen);
    ScaleValueFrame(c.picRH, c.axes, top * top, 0.0);
    auto miles = [&](int t) { return s.Visibility(m, t) * kMilesPerKm; };
    // An hour without a visibility (its file has none) draws no tooth.
    auto known = [&](int t) { return s.Visibility(m, t) >= 0.0f; };
    pic.SetCurrentX(0.0);
    pic.SetCurrentY(known(0) ? VisibilityDepth(miles(0), top) : 0.0);
    for (int t = 1; t <= LastTime(c); ++t) {
        if (!known(t) || miles(t) > kVisibilityShownMiles + kMilesTolerance) continue;
        pic.LineTo(t, VisibilityDepth(miles(t), top));
        pic.LineTo(t, 0.0);
    }
    pic.SetDrawWidth(1);
}

void PlotSfcTemp(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    TemperatureTrace(c, RGB(255, 0, 0), [&](int t) -> std::optional<double> {
        return CelsiusToFahrenheit(s.SurfaceTemp(m, t));
    });
}

void PlotSfcDewPoint(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    TemperatureTrace(c, RGB(0, 255, 0), [&](int t) -> std::optional<double> {
        return CelsiusToFahrenheit(s.SurfaceDewPoint(m, t));
    });
}

void PlotSkinTemp(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    // The files give the skin temperature in kelvin; models without one
    // store 0, and the line breaks there.
    TemperatureTrace(c, RGB(0, 255, 255), [&](int t) -> std::optional<double> {
        const float kelvin = s.SkinTemperature(m, t);
        if (!(kelvin > 0.0f)) return std::nullopt;
        return CelsiusToFahrenheit(kelvin - kKelvinOffset);
    });
}

void PlotSfcPres(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    DrawValueTrace(c, RGB(255, 255, 255), 3, c.axes.PressureTraceBase,
                   c.axes.PressureTraceBase + c.axes.PressureTraceSpan,
                   [&](int t) -> std::optional<double> { return s.SurfacePressure(m, t); });
}

void PlotPrecipWater(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    c.picRH.SetFillStyle(FillStyle::Solid);
    DrawValueTrace(c, RGB(63, 255, 63), 2, 0.0, c.session.history.OverviewThresholds[0],
                   [&](int t) -> std::optional<double> { return s.PrecipWater(m, t) * 1000.0; });
}

void PlotRunOff(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(255, 0, 255));
    pic.SetFillColor(RGB(255, 0, 255));
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawMode(DrawMode::CopyPen);
    ScaleValueFrame(c.picRH, c.axes, c.axes.PrecipBase, c.axes.PrecipBase + c.axes.PrecipSpan);
    for (int t = 0; t <= LastTime(c); ++t) Bar(pic, t - 1.0, s.RunOff(m, t), t - 0.5);
}

void MakeSnowAmount(Session& session, const OverviewOptions& options) {
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    TimeHeightFields& fields = *session.timeHeight;
    if (!fields.SnowRatioDone)
        MakeSnowRatio(s, options.SnowRatioTechnique, options.FixedSnowRatio, fields);
    for (int t = 0; t <= std::min<int>(s.LastTime(m), kLastTimeColumn); ++t) {
        const float precip = s.Precip(m, t);
        fields.SnowAmount(m, t) = precip > 0.0f ? fields.SnowRatio(m, t) * precip : 0.0f;
    }
}

void PlotSnow(OverviewContext& c) {
    Session& session = c.session;
    const ProfileArrays& s = *session.profile;
    const int m = s.CurrentModel;
    TimeHeightFields& fields = *session.timeHeight;
    PictureSurface& pic = c.picRH;
    auto start = [&] {
        pic.SetForeColor(RGB(255, 255, 255));
        pic.SetFillStyle(FillStyle::Solid);
        pic.SetDrawMode(DrawMode::CopyPen);
        pic.SetDrawWidth(2);
        ScaleValueFrame(c.picRH, c.axes, c.axes.PrecipBase, c.axes.PrecipBase + c.axes.PrecipSpan);
    };
    if (c.options.chkSnow) {
        start();
        pic.SetFillColor(RGB(127, 127, 127));
        MakeSnowAmount(session, c.options);
        for (int t = 0; t <= LastTime(c); ++t)
            if (s.Precip(m, t) > 0.0f) Bar(pic, t - 1.0, fields.SnowAmount(m, t), t);
        pic.SetDrawWidth(1);
    }
    if (c.options.chkPrecip) {
        start();
        PTypeResults& ptype = *session.ptype;
        for (int t = 0; t <= LastTime(c); ++t) {
            const float precip = s.Precip(m, t);
            if (!(precip > 0.0f)) continue;
            if (ptype.PTypeAreasDone(m, t) == kFlagFalse && c.options.PTypeOnDemand)
                MakePType(s, static_cast<std::int16_t>(t), ptype, session.options);
            const int code = ptype.PTypeCode(m, t);
            pic.SetFillColor(PrecipTypeColour(code));
            Bar(pic, t - 1.0, precip, t);
            if (code == kPTypeRain) {
                pic.SetFillColor(RGB(0, 191, 0));
                Bar(pic, t - 1.0, s.ConvPrecip(m, t), t);
            }
        }
        pic.SetDrawWidth(1);
    }
}

void MakeSnowGrowthField(OverviewContext& c) {
    TimeHeightFields& fields = *c.session.timeHeight;
    if (fields.SnowGrowthDone(Store(c).CurrentModel) == kFlagFalse)
        MakeSnowGrowth(*c.session.profile, fields);
}

} // namespace tarvex
