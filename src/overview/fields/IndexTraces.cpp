#include "overview/fields/IndexTraces.h"

#include "compute/ApparentTemp.h"
#include "compute/ComputeState.h"
#include "compute/ParcelState.h"
#include "compute/TimeHeightFields.h"
#include "compute/WholeRun.h"
#include "files/Session.h"
#include "overview/fields/Traces.h"
#include "platform/Format.h"

#include <algorithm>
#include <array>

namespace tarvex {

namespace {

TimeHeightFields& Fields(OverviewContext& c) {
    return *c.session.timeHeight;
}
bool Lacks(const OverviewContext& c, const ModelArray<std::int16_t>& done) {
    return done(Store(c).CurrentModel) == kFlagFalse;
}

// A derived value of an hour, none where it could not be had.
std::optional<double> Present(float value) {
    if (value == kMissingField) return std::nullopt;
    return value;
}

// The pen of a trace: fore and fill colour and width.
void Pen(PictureSurface& pic, Rgb color, int width) {
    pic.SetForeColor(color);
    pic.SetFillColor(color);
    pic.SetDrawWidth(width);
}

// A trace of a field of the model drawn by exclusive or, so that a second
// drawing takes it away again.
void DrawXorTrace(OverviewContext& c, const TimeField& field, Rgb color) {
    const int m = Store(c).CurrentModel;
    PictureSurface& pic = c.picRH;
    Pen(pic, color, 3);
    pic.SetDrawMode(DrawMode::XorPen);
    DrawColumnTrace(pic, Store(c).LastTime(m), [&](int t) { return Present(field(m, t)); });
    pic.SetDrawWidth(1);
    pic.SetDrawMode(DrawMode::CopyPen);
}

} // namespace

void Plot3HPresChange(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    Pen(pic, RGB(255, 0, 255), 3);
    ScaleIndexFrame(c);
    // Columns in three hours; no trace without a column length.
    if (c.session.HoursPerColumn > 0) {
        const int n = 3 / c.session.HoursPerColumn;
        DrawColumnTrace(pic, s.LastTime(m), [&](int t) -> std::optional<double> {
            if (t < n) return std::nullopt;
            return s.SurfacePressure(m, t) - s.SurfacePressure(m, t - n);
        });
    }
    pic.SetDrawWidth(1);
}

void PlotEvaporation(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    PictureSurface& pic = c.picRH;
    Pen(pic, RGB(255, 255, 0), 1);
    pic.SetFillStyle(FillStyle::Solid);
    pic.SetDrawMode(DrawMode::CopyPen);
    ScaleValueFrame(pic, c.axes, c.axes.PrecipBase, c.axes.PrecipBase + c.axes.PrecipSpan);
    for (int t = 0; t <= s.LastTime(m); ++t) pic.Box(t - 0.5, s.Evaporation(m, t), t, 0);
}

void MakeHainesIndexField(OverviewContext& c) {
    if (Lacks(c, Fields(c).HainesIndexDone)) MakeHainesIndex(Store(c), Fields(c));
}

void PlotHainesIndex(OverviewContext& c) {
    const int m = Store(c).CurrentModel;
    const int variant = std::clamp<int>(c.options.HainesLevel, 1, 3);
    const auto& H = Fields(c).HainesIndexField;
    PictureSurface& pic = c.picRH;
    pic.SetDrawWidth(3);
    ScaleIndexFrame(c);
    const auto colorOf = [&](int t) {
        const int high = std::max(H(m, t - 1, variant), H(m, t, variant));
        if (high >= 6) return RGB(0, 0, 255);
        if (high == 5) return RGB(255, 0, 0);
        if (high == 4) return RGB(255, 255, 0);
        return RGB(0, 255, 0);
    };
    DrawColumnTrace(
        pic, Store(c).LastTime(m), [&](int t) { return std::optional<double>(H(m, t, variant)); },
        colorOf);
    pic.SetDrawWidth(1);
}

void MakeHelicityField(OverviewContext& c) {
    if (Lacks(c, Fields(c).HodoParamsAllHoursDone))
        MakeHodoParamsAllHours(Store(c), c.session.history.HodoTopKm, *c.session.hodograph,
                               Fields(c));
}

void PlotHelicity(OverviewContext& c) {
    const int m = Store(c).CurrentModel;
    const TimeField& S = c.session.hodograph->Helicity;
    PictureSurface& pic = c.picRH;
    Pen(pic, RGB(0, 0, 255), 2);
    pic.SetFillStyle(FillStyle::Solid);
    ScaleIndexFrame(c);
    const auto y = [&](int t) { return std::optional<double>(S(m, t) / 10.0); };
    DrawColumnTrace(pic, Store(c).LastTime(m), y);
    for (int t = 0; t <= Store(c).LastTime(m); ++t) pic.Circle(t, *y(t), 0.3);
    pic.SetDrawWidth(1);
    pic.SetDrawMode(DrawMode::CopyPen);
}

void MakeLevelTemperatureField(OverviewContext& c) {
    if (Lacks(c, Fields(c).LevelTemperatureDone))
        MakeLevelTemperature(Store(c), c.session.config.LakeIndexLevel, Fields(c));
}

void PlotDavisIndex(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const TimeField& level = Fields(c).LevelTemperatureField;
    PictureSurface& pic = c.picRH;
    Pen(pic, kWhite, 3);
    ScaleIndexFrame(c);
    const auto D = [&](int t) -> std::optional<double> {
        if (level(m, t) == kMissingField) return std::nullopt;
        return s.SurfaceTemp(m, t) - level(m, t);
    };
    const auto colorOf = [&](int t) {
        const double high = std::max(*D(t - 1), *D(t));
        if (high > 17.0) return RGB(0, 0, 255);
        if (high >= 15.0) return RGB(255, 0, 0);
        if (high >= 10.0) return RGB(255, 255, 0);
        return RGB(0, 255, 0);
    };
    DrawColumnTrace(pic, s.LastTime(m), D, colorOf);
    pic.SetDrawWidth(1);
}

void MakeTotalTotalsField(OverviewContext& c) {
    if (Lacks(c, Fields(c).TotalTotalsDone))
        MakeTotalTotals(Store(c), c.session.config.TotalTotalsLevel, Fields(c));
}

void PlotTotalTotals(OverviewContext& c) {
    ScaleTraceFrame(c);
    DrawXorTrace(c, Fields(c).TotalTotalsField, RGB(0, 0, 255));
}

void MakeTQField(OverviewContext& c) {
    if (Lacks(c, c.session.wholeRun->TQDone)) MakeTQ(Store(c), *c.session.wholeRun);
}

void PlotTQ(OverviewContext& c) {
    ScaleIndexFrame(c);
    DrawXorTrace(c, c.session.wholeRun->TQ, RGB(0, 128, 255));
}

void PlotLakeIndex(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const TimeField& level = Fields(c).LevelTemperatureField;
    const double lake = RoundHalfEven(c.session.parcelOptions.LakeTempC);
    const double offset = c.session.config.LakeIndexOffset;
    PictureSurface& pic = c.picRH;
    Pen(pic, RGB(0, 192, 0), 3);
    ScaleIndexFrame(c);
    const auto L = [&](int t) -> std::optional<double> {
        if (level(m, t) == kMissingField) return std::nullopt;
        return level(m, t) - (lake - offset);
    };
    const auto colorOf = [&](int t) {
        const double low = std::min(*L(t - 1), *L(t));
        if (low > 3.0) return RGB(0, 192, 0);
        if (low > 0.0) return RGB(192, 192, 0);
        return RGB(223, 0, 0);
    };
    DrawColumnTrace(pic, s.LastTime(m), L, colorOf);
    pic.SetDrawWidth(1);
}

void PlotApparentTemp(OverviewContext& c) {
    const ProfileArrays& s = Store(c);
    const int m = s.CurrentModel;
    const int last = s.LastTime(m);
    // Later model options carry no 2 m temperature of their own.
    const bool fromLevel1 = s.ModelChoice > 2;
    std::array<float, kTimeColumns> A{};
    for (int t = 0; t <= last; ++t)
        A[static_cast<std::size_t>(t)] = MakeApparentTemp(
            fromLevel1 ? s.Temperature(m, t, 1) : s.SurfaceTemp(m, t), s.RelativeHumidity(m, t, 1));
    PictureSurface& pic = c.picRH;
    Pen(pic, kWhite, 3);
    ScaleTraceFrame(c);
    const auto at = [&](int t) { return A[static_cast<std::size_t>(t)]; };
    DrawColumnTrace(
        pic, last, [&](int t) { return std::optional<double>(at(t)); },
        [&](int t) {
            const int hotter = std::min(HeatCategory(at(t - 1)), HeatCategory(at(t)));
            return HeatClassColour(hotter);
        });
    pic.SetDrawWidth(1);
}

Rgb HeatClassColour(int category) {
    static constexpr std::array<Rgb, 6> kClassColors{kBlack,           RGB(255, 255, 255),
                                                     RGB(0, 0, 255),   RGB(255, 0, 0),
                                                     RGB(255, 255, 0), RGB(0, 255, 0)};
    if (category < 1 || category > 5) return kBlack;
    return kClassColors[static_cast<std::size_t>(category)];
}

} // namespace tarvex
