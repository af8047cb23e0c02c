#include "BenchRuns.h"
#include "compute/Hodograph.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/RasterSurface.h"
#include "profile/diagrams/HodographDiagram.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

// One hour's hodograph of a full eta run on a 500 x 500 raster, with a
// boundary shown so that every part of the picture is drawn. The quantities
// are computed on the first drawing; the loop measures the drawing.
void BM_PlotHodograph(benchmark::State& state) {
    tarvex::Session session;
    session.models.ModelCodes = {"eta"};
    const std::filesystem::path path = tarvex::bench::WriteFullEtaRun("hodograph");
    if (!tarvex::ReadSounding(session, path.string()).ok) state.SkipWithError("read failed");
    std::filesystem::remove(path);

    tarvex::RasterSurface pic(500, 500);
    tarvex::HodographView view;
    const float R = view.HodoRange;
    pic.Scale(-R, R, R, -R);
    const std::int16_t t = 40;
    const int m = session.profile->CurrentModel;
    view.BoundaryU(m, t) = -6.0f;
    view.BoundaryV(m, t) = 9.0f;
    view.BoundaryShown(m, t) = tarvex::kFlagTrue;
    session.history.HodoTopKm = 6.0f;
    for (auto _ : state) benchmark::DoNotOptimize(tarvex::PlotHodograph(pic, session, view, t));
}
BENCHMARK(BM_PlotHodograph)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
