#include "BenchRuns.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "platform/RasterSurface.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

// One hour of the sounding picture with every option of the diagram's
// background and every overlay on, on a 1000 x 800 raster.
void BM_DrawSounding(benchmark::State& state) {
    tarvex::Session session;
    session.models.ModelCodes = {"eta"};
    const std::string path = tarvex::bench::WriteFullEtaRun("sounding").string();
    if (!tarvex::ReadSounding(session, path).ok) state.SkipWithError("read failed");
    tarvex::RasterSurface pic(1000, 800);
    tarvex::SoundingView view;
    view.CurrentColumn = 40;
    view.options.Lines = view.options.DryAdiabats = view.options.WetBulb = true;
    view.options.Icing = view.options.Clouds = view.options.Inversions = true;
    view.options.LakeIndex = view.options.MoistLakeIndex = view.options.LIC = true;
    view.options.LCL = view.options.LFC = view.options.EQL = true;
    view.options.WBZ = view.options.CCL = true;
    view.options.ConvectiveTemp = view.options.Parcel = view.options.CINS = true;
    session.config.LakeIndexLevel = 850;
    session.config.LakeIndexOffset = 13.0f;
    session.config.CI850Value = 850;
    session.config.HighlightIsotherms = {-12.0f, -18.0f};
    session.options.ElevatedPTLevel = 3;
    for (auto _ : state) tarvex::DrawSounding(pic, session, view);
    std::filesystem::remove(path);
}
BENCHMARK(BM_DrawSounding)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// An hour step in the main window: labels, panels and the sounding.
void BM_ShowHour(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("sounding", state);
    tarvex::bench::StepThroughHours(loaded, 9, state); // the sounding alone
}
BENCHMARK(BM_ShowHour)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
