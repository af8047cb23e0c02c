#include "overview/fields/RedrawHub.h"

#include "compute/SideBySide.h"
#include "compute/SnowRatio.h"
#include "compute/TimeHeightFields.h"
#include "compute/VectorRegisters.h"
#include "compute/WholeRun.h"
#include "compute/WorkAhead.h"
#include "files/Session.h"
#include "overview/fields/Contouring.h"
#include "overview/fields/HumidityShading.h"
#include "overview/fields/IndexTraces.h"
#include "overview/fields/LayerTraces.h"
#include "overview/fields/LevelTraces.h"
#include "overview/fields/MeanWindTrace.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/ParcelOverlays.h"
#include "overview/fields/SurfaceTraces.h"
#include "overview/fields/TimeAxis.h"
#include "overview/fields/Traces.h"
#include "overview/fields/WindOverlays.h"

#include <algorithm>
#include <vector>

namespace tarvex {

namespace {

template <bool OverviewOptions::*Box> bool On(const OverviewOptions& o) {
    return o.*Box;
}

// Band tables of the coloured contours, from the lowest bound.
constexpr ContourBand kSpeedBands[] = {
    {0, RGB(127, 127, 127)}, {10, RGB(255, 0, 0)}, {20, RGB(255, 127, 0)}, {30, RGB(255, 255, 0)},
    {40, RGB(0, 128, 0)},    {50, RGB(0, 0, 255)}, {60, RGB(255, 0, 255)}};
constexpr ContourBand kHumidityBands[] = {{0, RGB(0, 0, 255)},  {31, RGB(127, 127, 127)},
                                          {70, RGB(192, 0, 0)}, {80, RGB(255, 0, 0)},
                                          {90, RGB(0, 192, 0)}, {95, RGB(0, 255, 0)}};
constexpr ContourBand kIcingBands[] = {{-1, RGB(0, 0, 0)}, {0, RGB(255, 0, 255)}};
constexpr ContourBand kThetaEBands[] = {{0, RGB(127, 255, 127)},
                                        {300, RGB(127, 127, 127)},
                                        {310, RGB(192, 0, 0)},
                                        {320, RGB(255, 0, 0)},
                                        {330, RGB(0, 255, 0)}};
constexpr ContourBand kDeltaThetaEBands[] = {
    {-999, RGB(255, 0, 0)}, {-19, RGB(255, 255, 0)}, {0, RGB(127, 127, 127)}};
constexpr ContourBand kMixingRatioBands[] = {{0, RGB(0, 0, 255)},   {4, RGB(127, 127, 127)},
                                             {8, RGB(0, 192, 192)}, {12, RGB(255, 0, 0)},
                                             {16, RGB(0, 255, 0)},  {20, RGB(192, 192, 0)}};

int Model(const OverviewContext& c) {
    return Store(c).CurrentModel;
}

// The grid of the field for this redraw: the one the hub sliced for the
// overlay ahead when it has it, else sliced now.
TimeHeightGrid Slice(OverviewContext& c, const LevelField& field, bool levelZero = false) {
    const int m = Model(c);
    ScaleProfileFrame(c.picRH, c.axes);
    if (ContourSlices* s = c.contourSlices; s && !s->collecting && s->next < s->fields.size()) {
        ContourRequest& ahead = s->fields[s->next];
        if (ahead.field == &field && ahead.grid.HasLevelZero == levelZero) {
            ++s->next;
            return std::move(ahead.grid);
        }
    }
    return SliceField(field, m, Store(c).LastTime(m), c.axes.TopLevel[m], c.axes.LevelLnP[m],
                      levelZero);
}

// Adds the field to those the hub collects to trace ahead, when it collects.
bool Wanted(OverviewContext& c, const LevelField& field, const float* floor,
            bool levelZero = false) {
    ContourSlices* s = c.contourSlices;
    if (!s || !s->collecting) return false;
    const int m = Model(c);
    s->fields.push_back({SliceField(field, m, Store(c).LastTime(m), c.axes.TopLevel[m],
                                    c.axes.LevelLnP[m], levelZero),
                         c.options.ContourInterval, floor, &field});
    return true;
}

void Contour(OverviewContext& c, const LevelField& field, Rgb primary, Rgb secondary,
             int emphasis) {
    if (Wanted(c, field, nullptr)) return;
    ContourField(c.picRH, Slice(c, field), c.options.ContourInterval, primary, secondary, emphasis,
                 c.contours);
}

void ContourBands(OverviewContext& c, const LevelField& field, std::span<const ContourBand> bands,
                  bool levelZero = false) {
    if (Wanted(c, field, &bands.front().lower, levelZero)) return;
    ContourFieldLevels(c.picRH, Slice(c, field, levelZero), c.options.ContourInterval, bands,
                       c.contours);
}

// A derived field is contoured once its Make routine has filled the model.
bool Made(const OverviewContext& c, const ModelArray<std::int16_t>& done) {
    return done(Model(c)) != kFlagFalse;
}

TimeHeightFields& Fields(OverviewContext& c) {
    return *c.session.timeHeight;
}

void PlotTemperature(OverviewContext& c) {
    Contour(c, Store(c).Temperature, RGB(255, 255, 0), RGB(127, 127, 0), 10);
}
void PlotVelocity(OverviewContext& c) {
    ContourBands(c, Store(c).WindSpeed, kSpeedBands, true);
}
void PlotRHContour(OverviewContext& c) {
    ContourBands(c, Store(c).RelativeHumidity, kHumidityBands);
}
void PlotRHIContour(OverviewContext& c) {
    ContourBands(c, Store(c).RelativeHumidityIce, kHumidityBands);
}
void PlotIcing(OverviewContext& c) {
    if (Made(c, Fields(c).IcingDone)) ContourBands(c, Fields(c).IcingField, kIcingBands);
}
void PlotDewPoint(OverviewContext& c) {
    Contour(c, Store(c).DewPoint, RGB(127, 127, 255), RGB(63, 63, 127), 10);
}
void PlotTheta(OverviewContext& c) {
    Contour(c, Store(c).PotentialTemperature, RGB(255, 255, 127), RGB(127, 127, 63), 10);
}
void PlotThetaE(OverviewContext& c) {
    ContourBands(c, Store(c).ThetaE, kThetaEBands);
}
void PlotDeltaThetaE(OverviewContext& c) {
    if (Made(c, Fields(c).DeltaThetaEDone))
        ContourBands(c, Fields(c).DeltaThetaEField, kDeltaThetaEBands);
}
void PlotWetBulb(OverviewContext& c) {
    Contour(c, Store(c).WetBulb, RGB(0, 255, 255), RGB(0, 127, 127), 10);
}
bool SmoothedOmegaOn(const OverviewOptions& o) {
    return o.ChkOmega && o.OmegaFiltered;
}
bool RawOmegaOn(const OverviewOptions& o) {
    return o.ChkOmega && !o.OmegaFiltered;
}
void MakeSmoothedOmega(OverviewContext& c) {
    if (c.session.wholeRun->SmoothedOmegaDone(Model(c)) == kFlagFalse)
        SmoothOmega(Store(c), *c.session.wholeRun);
}
void PlotSmoothedOmega(OverviewContext& c) {
    Contour(c, c.session.wholeRun->SmoothedOmega, RGB(0, 0, 255), RGB(255, 0, 0), 0);
}
void PlotRawOmega(OverviewContext& c) {
    Contour(c, Store(c).Omega, RGB(0, 0, 255), RGB(255, 0, 0), -1);
}
void PlotShearContour(OverviewContext& c) {
    if (Made(c, Fields(c).ShearContourDone))
        Contour(c, Fields(c).ShearContourField, RGB(255, 0, 0), RGB(127, 127, 127), -15);
}
void PlotLayerShear(OverviewContext& c) {
    if (Made(c, Fields(c).LayerShearDone))
        Contour(c, Fields(c).LayerShearField, RGB(255, 0, 0), RGB(191, 191, 191), -20);
}
void PlotMeanMixingRatio(OverviewContext& c) {
    if (Made(c, Fields(c).MeanMixingRatioDone))
        ContourBands(c, Fields(c).MeanMixingRatioField, kMixingRatioBands);
}
void PlotMixingRatio(OverviewContext& c) {
    ContourBands(c, Store(c).MixingRatio, kMixingRatioBands);
}
void PlotSnowGrowth(OverviewContext& c) {
    if (Made(c, Fields(c).SnowGrowthDone))
        Contour(c, Fields(c).SnowGrowthField, RGB(255, 255, 0), RGB(255, 127, 255), -15);
}
// Derived fields made for the current model on first use.
void MakeIcingField(OverviewContext& c) {
    if (!Made(c, Fields(c).IcingDone)) MakeIcing(Store(c), Fields(c));
}
void MakeDeltaThetaEField(OverviewContext& c) {
    if (!Made(c, Fields(c).DeltaThetaEDone)) MakeDeltaThetaE(Store(c), Fields(c));
}
void MakeShearContourField(OverviewContext& c) {
    if (!Made(c, Fields(c).ShearContourDone)) MakeShearContour(Store(c), Fields(c));
}
void MakeLayerShearField(OverviewContext& c) {
    if (!Made(c, Fields(c).LayerShearDone))
        MakeLayerShear(Store(c), c.options.LayerShearPerKm, Fields(c));
}
void MakeMeanMixingRatioField(OverviewContext& c) {
    if (!Made(c, Fields(c).MeanMixingRatioDone)) MakeMeanMixingRatio(Store(c), Fields(c));
}
void MakeSnowRatioField(OverviewContext& c) {
    if (!Fields(c).SnowRatioDone)
        MakeSnowRatio(Store(c), c.options.SnowRatioTechnique, c.options.FixedSnowRatio, Fields(c));
}

// The snow ratio of every hour as one cyan polyline on the index scale, the
// scale its box presets (0 to 30) and the frame labels for it.
void PlotSnowRatio(OverviewContext& c) {
    const int m = Model(c);
    const OverviewAxes& a = c.axes;
    PictureSurface& pic = c.picRH;
    pic.SetForeColor(RGB(0, 255, 255));
    pic.SetDrawWidth(3);
    pic.Scale(a.ScaleLeftColumn, a.IndexBase + a.IndexSpan, a.ScaleRightColumn, a.IndexBase);
    const TimeField& ratio = Fields(c).SnowRatio;
    pic.SetCurrentX(0.0);
    pic.SetCurrentY(ratio(m, 0));
    for (int t = 1; t <= Store(c).LastTime(m); ++t) pic.LineTo(t, ratio(m, t));
    pic.SetDrawWidth(1);
}

bool AnyRH(const OverviewOptions& o) {
    return o.chkRH[0] || o.chkRH[1];
}
bool PrecipOrSnow(const OverviewOptions& o) {
    return o.chkPrecip || o.chkSnow;
}

using O = OverviewOptions;

// Rows without a plotter (nullptr) are the overlays still to come.
constexpr OverlayRow kRows[] = {
    {"chkClouds", On<&O::chkClouds>, nullptr, PlotClouds},
    {"chkRH", AnyRH, nullptr, PlotRH},
    {"chkELCIN", On<&O::chkELCIN>, MakeELCINParcels, PlotELCIN},
    {"chkInversions", On<&O::chkInversions>, nullptr, PlotInversions},
    {"chkInstability", On<&O::chkInstability>, nullptr, PlotInstability},
    {"chkWinds", On<&O::chkWinds>, nullptr, PlotWinds},
    {"chkMeanWind", On<&O::chkMeanWind>, nullptr, PlotMeanWind},
    {"chkPrecip", PrecipOrSnow, nullptr, PlotSnow},
    {"chkEvaporation", On<&O::chkEvaporation>, nullptr, PlotEvaporation},
    {"chkRunOff", On<&O::chkRunOff>, nullptr, PlotRunOff},
    {"chkLakeIndex", On<&O::chkLakeIndex>, MakeLevelTemperatureField, PlotLakeIndex},
    {"chkMoistLakeIndex", On<&O::chkMoistLakeIndex>, nullptr, PlotMoistLakeIndex},
    {"chkVWP", On<&O::chkVWP>, nullptr, PlotVWP},
    {"chkTemperature", On<&O::chkTemperature>, nullptr, PlotTemperature},
    {"chkVelocity", On<&O::chkVelocity>, nullptr, PlotVelocity},
    {"chkRHContour", On<&O::chkRHContour>, nullptr, PlotRHContour},
    {"chkRHIcontour", On<&O::chkRHIcontour>, nullptr, PlotRHIContour},
    {"chkIcing", On<&O::chkIcing>, MakeIcingField, PlotIcing},
    {"chkDPD", On<&O::chkDPD>, nullptr, PlotDewPoint},
    {"chkTheta", On<&O::chkTheta>, nullptr, PlotTheta},
    {"chkThetaE", On<&O::chkThetaE>, nullptr, PlotThetaE},
    {"chkDeltaThetaE", On<&O::chkDeltaThetaE>, MakeDeltaThetaEField, PlotDeltaThetaE},
    {"chkWetBulb", On<&O::chkWetBulb>, nullptr, PlotWetBulb},
    {"ChkOmega", SmoothedOmegaOn, MakeSmoothedOmega, PlotSmoothedOmega},
    {"ChkOmega", RawOmegaOn, nullptr, PlotRawOmega},
    {"chkShearContour", On<&O::chkShearContour>, MakeShearContourField, PlotShearContour},
    {"chkVVTrend", On<&O::chkVVTrend>, nullptr, PlotVVTrend},
    {"chkNow", On<&O::chkNow>, nullptr, PlotNow},
    {"chkApparentTemp", On<&O::chkApparentTemp>, nullptr, PlotApparentTemp},
    {"chkSkinTemp", On<&O::chkSkinTemp>, nullptr, PlotSkinTemp},
    {"chkSfcTemp", On<&O::chkSfcTemp>, nullptr, PlotSfcTemp},
    {"chkSfcDewPoint", On<&O::chkSfcDewPoint>, nullptr, PlotSfcDewPoint},
    {"chkWindChill", On<&O::chkWindChill>, nullptr, PlotWindChill},
    {"chkTotalTotals", On<&O::chkTotalTotals>, MakeTotalTotalsField, PlotTotalTotals},
    {"chkHelicity", On<&O::chkHelicity>, MakeHelicityField, PlotHelicity},
    {"chkStormRelInflow", On<&O::chkStormRelInflow>, MakeStormRelInflow, PlotStormRelInflow},
    {"chkMBEspeed", On<&O::chkMBEspeed>, nullptr, PlotMBESpeed},
    {"chk3HPresChange", On<&O::chk3HPresChange>, nullptr, Plot3HPresChange},
    {"chkSfcPres", On<&O::chkSfcPres>, nullptr, PlotSfcPres},
    {"chkCAPE", On<&O::chkCAPE>, MakeLayerCAPE, PlotCAPE},
    {"chkPrecipWater", On<&O::chkPrecipWater>, nullptr, PlotPrecipWater},
    {"chkFreezingLevel", On<&O::chkFreezingLevel>, MakeIsothermLevels, PlotIsothermLevels},
    {"chkLayerShear", On<&O::chkLayerShear>, MakeLayerShearField, PlotLayerShear},
    {"chkMeanMixingRatio", On<&O::chkMeanMixingRatio>, MakeMeanMixingRatioField,
     PlotMeanMixingRatio},
    {"chkMixingRatio", On<&O::chkMixingRatio>, nullptr, PlotMixingRatio},
    {"chkDavisIndex", On<&O::chkDavisIndex>, MakeLevelTemperatureField, PlotDavisIndex},
    {"chkTQ", On<&O::chkTQ>, MakeTQField, PlotTQ},
    {"chkHainesIndex", On<&O::chkHainesIndex>, MakeHainesIndexField, PlotHainesIndex},
    {"chkMixingLayer", On<&O::chkMixingLayer>, nullptr, PlotMixingLayer},
    {"chkTransportWinds", On<&O::chkTransportWinds>, nullptr, PlotTransportWinds},
    {"chkTransportSpeed", On<&O::chkTransportSpeed>, nullptr, PlotTransportSpeed},
    {"chkWarmCloud", On<&O::chkWarmCloud>, nullptr, PlotWarmCloud},
    {"chkVentilation", On<&O::chkVentilation>, nullptr, PlotVentilation},
    {"chkLIC", On<&O::chkLIC>, MakeLakeParcels, PlotLIC},
    {"chkLIE", On<&O::chkLIE>, MakeLakeParcels, PlotLIE},
    {"chkVisibility", On<&O::chkVisibility>, nullptr, PlotVisibility},
    {"chkCloudBase", On<&O::chkCloudBase>, nullptr, PlotCloudBase},
    {"chkSnowGrowth", On<&O::chkSnowGrowth>, MakeSnowGrowthField, PlotSnowGrowth},
    {"chkECAPE", On<&O::chkECAPE>, MakeElevatedCAPE, PlotECAPE},
    {"chkHeights", On<&O::chkHeights>, nullptr, PlotHeights},
    {"chkSnowRatio", On<&O::chkSnowRatio>, MakeSnowRatioField, PlotSnowRatio},
};

// The plotters that only contour a field, through Contour or ContourBands.
constexpr OverlayRow::Step kContourPlots[] = {
    PlotTemperature,   PlotVelocity,  PlotRHContour,    PlotRHIContour,  PlotIcing,
    PlotDewPoint,      PlotTheta,     PlotThetaE,       PlotDeltaThetaE, PlotWetBulb,
    PlotSmoothedOmega, PlotRawOmega,  PlotShearContour, PlotLayerShear,  PlotMeanMixingRatio,
    PlotMixingRatio,   PlotSnowGrowth};

bool IsContourPlot(OverlayRow::Step plot) {
    return std::find(std::begin(kContourPlots), std::end(kContourPlots), plot) !=
           std::end(kContourPlots);
}

// The contours of the overlays shown that the window does not keep yet
// (the first picture of a file, or of a new scale or interval), traced side
// by side before any is drawn: the contour overlays are asked for their
// fields with nothing drawn, the kept traces trace the missing ones, and the
// grids sliced for them are left in slices for the overlays to draw from.
void TraceContoursAhead(OverviewContext& ctx, std::span<const OverlayRow> rows,
                        ContourSlices& slices) {
    if (!ctx.contours) return;
    ctx.contourSlices = &slices;
    for (const OverlayRow& row : rows)
        if (row.on(ctx.options) && IsContourPlot(row.plot)) row.plot(ctx);
    slices.collecting = false;
    ctx.contours->TraceAhead(slices.fields);
}

// The derived fields of the overlays shown: the elevated parcels, those of
// the ELCIN boxes and of the elevated-CAPE contours lifted in one pass over
// the hours, and the other fields' make steps, each once, in the rows' order.
struct DerivedFields {
    bool elcin = false;
    bool ecape = false;
    bool lifting = false; // a parcel to lift
    std::vector<OverlayRow::Step> others;
};

DerivedFields DerivedFieldsOf(const OverviewContext& ctx, std::span<const OverlayRow> rows) {
    DerivedFields d;
    for (const OverlayRow& row : rows) {
        if (!row.make || !row.on(ctx.options)) continue;
        if (row.make == MakeELCINParcels) {
            d.elcin = true;
        } else if (row.make == MakeElevatedCAPE) {
            d.ecape = true;
        } else if (std::find(d.others.begin(), d.others.end(), row.make) == d.others.end()) {
            d.others.push_back(row.make);
        }
    }
    d.lifting = (d.elcin || d.ecape) && ElevatedParcelsMissing(ctx, d.elcin, d.ecape);
    return d;
}

// Makes the derived fields, then traces the contours ahead. The parcels
// are lifted with helpers of their own; the other fields and the contours
// share nothing with them (each field fills its own arrays from the sounding
// store and the options, no contoured field is a parcel's, and the traces
// are kept apart from the parcels' results), so while parcels are being
// lifted (the first picture of a file) a second thread makes those fields in
// the meantime, one after another, and then traces the contours, which need
// the fields made. Each field is made and traced whole by one thread, so
// every value and line is the one it has when made alone. made() is called
// once the parcels are lifted and once the other fields are made, before the
// contours are traced.
template <typename Made>
void MakeDerivedFieldsAndTrace(OverviewContext& ctx, std::span<const OverlayRow> rows,
                               const DerivedFields& d, ContourSlices& slices, Made made) {
    const auto lift = [&] {
        ClearUpperVectorHalves();
        if (d.lifting) MakeElevatedParcels(ctx, d.elcin, d.ecape);
        made();
    };
    const auto makeOthersAndTrace = [&] {
        ClearUpperVectorHalves();
        for (const OverlayRow::Step make : d.others) make(ctx);
        made();
        TraceContoursAhead(ctx, rows, slices);
    };
    if (!d.lifting || (d.others.empty() && !ctx.contours)) {
        lift();
        makeOthersAndTrace();
        return;
    }
    DoSideBySide(2, 2, 1, [&](std::size_t i) {
        if (i == 0)
            lift();
        else
            makeOthersAndTrace();
    });
}

// The derived fields and contour traces of a redraw, made before any row is
// drawn, but for a picture with elevated parcels to lift (the first of a
// file): then they are made on a thread of their own while the rows that
// need none of them are drawn. A row with a make step waits until every
// field is made and every parcel lifted, a contour row until the contours
// are traced too. The rows ahead of the first that waits (the clouds and the
// humidity) draw from the sounding store alone, and those drawn while the
// contours are traced write nothing the tracing reads: their fields are
// made, the contoured fields with them, and only the contour rows take the
// slices and the kept traces. The thread is not waited for when no core has
// started it by the first wait: the drawing thread then does the work
// itself, and the thread, once started, finds the work taken and ends
// without touching it. An error of the work is thrown again at the wait that
// meets it, once the work has ended; the work has ended however the redraw
// ends.
class FieldsAhead {
  public:
    FieldsAhead(OverviewContext& ctx, std::span<const OverlayRow> rows, ContourSlices& slices)
        : ctx_(ctx), rows_(rows), slices_(slices), fields_(DerivedFieldsOf(ctx, rows)) {
        if (fields_.lifting && work_.Start()) return;
        // Nothing to lift, or no thread to be had.
        work_.DoHereUnlessTaken();
        if (!fields_.lifting) work_.Wait();
    }
    FieldsAhead(const FieldsAhead&) = delete;
    FieldsAhead& operator=(const FieldsAhead&) = delete;

    // Every field made and every parcel lifted.
    void WaitMade() {
        work_.DoHereUnlessTaken();
        work_.WaitUntil([this] { return toMake_ == 0; });
    }
    // And every contour traced.
    void WaitTraced() {
        work_.DoHereUnlessTaken();
        work_.Wait();
    }

  private:
    OverviewContext& ctx_;
    std::span<const OverlayRow> rows_;
    ContourSlices& slices_;
    const DerivedFields fields_;
    int toMake_ = 2; // the parcels, the other fields; under the work's lock
    // Reads the context to its end, so it goes first: left, it is taken from
    // the thread, else waited for.
    WorkAhead work_{[this] {
        MakeDerivedFieldsAndTrace(ctx_, rows_, fields_, slices_,
                                  [this] { work_.Report([this] { --toMake_; }); });
    }};
};

// Takes the hub's slices away from the context however the redraw ends.
class SlicesGuard {
  public:
    explicit SlicesGuard(OverviewContext& ctx) : ctx_(ctx) {}
    ~SlicesGuard() { ctx_.contourSlices = nullptr; }
    SlicesGuard(const SlicesGuard&) = delete;
    SlicesGuard& operator=(const SlicesGuard&) = delete;

  private:
    OverviewContext& ctx_;
};

// Shows the busy pointer for its lifetime.
class BusyGuard {
  public:
    explicit BusyGuard(BusyPointer* busy) : busy_(busy) {
        if (busy_) busy_->Show();
    }
    ~BusyGuard() {
        if (busy_) busy_->Restore();
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    BusyPointer* busy_;
};

} // namespace

std::span<const OverlayRow> OverlayRows() {
    return kRows;
}

void RedrawOverview(OverviewContext& ctx, bool redrawSuspended, BusyPointer* busy,
                    std::span<const OverlayRow> rows) {
    if (redrawSuspended) return;
    const BusyGuard guard(busy);
    const int m = Model(ctx);
    ctx.axes.TopLevel[m] = FindTopLevelOf(Store(ctx), ctx.axes, m);
    SetOverviewDesignSizes(ctx);
    ctx.picRH.Clear();
    ctx.picLeft.Clear();
    ctx.picRight.Clear();
    ContourSlices slices;
    const SlicesGuard sliced(ctx);
    FieldsAhead ahead(ctx, rows, slices);
    for (const OverlayRow& row : rows) {
        if (!row.on(ctx.options)) continue;
        if (row.make) ahead.WaitMade();
        if (IsContourPlot(row.plot)) ahead.WaitTraced();
        // The toolkit's drawing of the row before can leave the vector
        // registers' upper halves in use, which would slow this row's own
        // computations.
        ClearUpperVectorHalves();
        if (row.make) row.make(ctx);
        if (row.plot) row.plot(ctx);
    }
    ahead.WaitTraced();
    DrawOverviewFrame(ctx);
}

} // namespace tarvex
