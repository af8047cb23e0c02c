#include "BenchRuns.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "overview/fields/Contouring.h"
#include "overview/fields/OverviewFrame.h"
#include "overview/fields/RedrawHub.h"
#include "platform/RasterSurface.h"
#include "platform/RecordingSurface.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// A full eta run (85 columns, 67 levels) with the overview's pictures at the
// size the window opens with, the whole run in the time window.
struct OverviewBench {
    tarvex::Session session;
    tarvex::OverviewOptions options;
    tarvex::OverviewAxes axes;
    tarvex::RasterSurface picRH{740, 670};
    tarvex::RasterSurface picLeft{48, 670};
    tarvex::RasterSurface picRight{48, 670};
    tarvex::ContourTraces contours;
    tarvex::OverviewContext ctx{session,  options, axes, picRH,    picLeft,
                                picRight, {},      {},   &contours};

    explicit OverviewBench(benchmark::State& state) {
        session.models.ModelCodes = {"eta"};
        const std::filesystem::path path = tarvex::bench::WriteFullEtaRun("overview");
        if (!tarvex::ReadSounding(session, path.string()).ok) state.SkipWithError("read failed");
        std::filesystem::remove(path);
        const tarvex::ProfileArrays& s = *session.profile;
        tarvex::SetLevelLogPressures(s, axes);
        tarvex::StartProfileScale(axes, s.CurrentModel, s.DiagramTopPressure);
        tarvex::SetTimeWindow(axes, tarvex::ColumnSpanOf(84, session.HoursPerColumn), 0);
        ctx.clock = s.ValidTime(s.CurrentModel, 40);
    }

    // Draws the pictures and reads their pixels, as the window shows them.
    void Redraw() {
        tarvex::RedrawOverview(ctx, false);
        for (const tarvex::RasterSurface* pic : {&picRH, &picLeft, &picRight})
            benchmark::DoNotOptimize(pic->Image().constBits());
    }
};

// The overlays the window opens with: humidity shading, "Now", height grid.
void BM_OverviewRedraw(benchmark::State& state) {
    OverviewBench b(state);
    for (auto _ : state) b.Redraw();
}
BENCHMARK(BM_OverviewRedraw)->Unit(benchmark::kMillisecond);

// Every overlay that draws, the same picture drawn again each time: compare
// with the redraws a user brings (bench_user_actions.cpp).
void BM_OverviewRedraw_AllOverlays(benchmark::State& state) {
    OverviewBench b(state);
    tarvex::bench::TurnOnEveryOverviewOverlay(b.options);
    // The derived fields and parcels are made once, by the first redraw.
    tarvex::RedrawOverview(b.ctx, false);
    for (auto _ : state) b.Redraw();
}
BENCHMARK(BM_OverviewRedraw_AllOverlays)->Unit(benchmark::kMillisecond);

// The same, each field's contours traced afresh at every redraw: what the
// window's kept traces save.
void BM_OverviewRedraw_AllOverlays_TracedAfresh(benchmark::State& state) {
    OverviewBench b(state);
    tarvex::bench::TurnOnEveryOverviewOverlay(b.options);
    b.ctx.contours = nullptr;
    tarvex::RedrawOverview(b.ctx, false);
    for (auto _ : state) tarvex::RedrawOverview(b.ctx, false);
}
BENCHMARK(BM_OverviewRedraw_AllOverlays_TracedAfresh)->Unit(benchmark::kMillisecond);

// One field, 85 columns by 67 levels, contoured every 5 degrees with its
// extremum marks.
void BM_ContourField(benchmark::State& state) {
    OverviewBench b(state);
    const tarvex::ProfileArrays& s = *b.session.profile;
    const int m = s.CurrentModel;
    tarvex::ScaleProfileFrame(b.picRH, b.axes);
    for (auto _ : state) {
        const tarvex::TimeHeightGrid grid = tarvex::SliceField(
            s.Temperature, m, s.LastTime(m), s.LevelCount(m), b.axes.LevelLnP[m], false);
        tarvex::ContourField(b.picRH, grid, 5, tarvex::kYellow, tarvex::RGB(127, 127, 0), 10);
    }
    // What one pass draws.
    tarvex::RecordingSurface record(740, 670);
    tarvex::ScaleProfileFrame(record, b.axes);
    tarvex::ContourField(record,
                         tarvex::SliceField(s.Temperature, m, s.LastTime(m), s.LevelCount(m),
                                            b.axes.LevelLnP[m], false),
                         5, tarvex::kYellow, tarvex::RGB(127, 127, 0), 10);
    state.counters["segments"] =
        static_cast<double>(record.OperationsOf(tarvex::DrawOperation::Kind::Line).size());
    state.counters["texts"] =
        static_cast<double>(record.OperationsOf(tarvex::DrawOperation::Kind::Text).size());
}
BENCHMARK(BM_ContourField)->Unit(benchmark::kMillisecond);

} // namespace
