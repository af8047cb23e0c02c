// The overview's derived fields on first use after a read, and the recall of
// a user slot of the overview's settings.
#include "BenchRuns.h"
#include "compute/SnowRatio.h"
#include "compute/TimeHeightFields.h"
#include "files/SoundingReader.h"
#include "overview/ui/FrmOverView.h"

#include <QCheckBox>
#include <benchmark/benchmark.h>

namespace {

// Every derived field of the overview and the snow ratio for a full eta run
// (85 columns, 67 levels), each made afresh as after a read.
void BM_OverviewDerivedFieldsFirstUse(benchmark::State& state) {
    tarvex::Session session;
    session.models.ModelCodes = {"eta"};
    const std::filesystem::path path = tarvex::bench::WriteFullEtaRun("derived");
    if (!tarvex::ReadSounding(session, path.string()).ok) state.SkipWithError("read failed");
    std::filesystem::remove(path);
    const tarvex::ProfileArrays& s = *session.profile;
    tarvex::TimeHeightFields& f = *session.timeHeight;
    for (auto _ : state) {
        f.ClearAfterRead();
        tarvex::MakeLayerShear(s, false, f);
        tarvex::MakeShearContour(s, f);
        tarvex::MakeDeltaThetaE(s, f);
        tarvex::MakeIcing(s, f);
        tarvex::MakeMeanMixingRatio(s, f);
        tarvex::MakeHainesIndex(s, f);
        tarvex::MakeTotalTotals(s, 850, f);
        tarvex::MakeLevelTemperature(s, 850, f);
        tarvex::MakeHodoParamsAllHours(s, session.history.HodoTopKm, *session.hodograph, f);
        tarvex::MakePTypeSummary(s, *session.ptype, f);
        tarvex::MakeSnowRatio(s, tarvex::kSnowRatioZoneOmega, 10, f);
        benchmark::DoNotOptimize(f.SnowRatio(s.CurrentModel, 0));
    }
}
BENCHMARK(BM_OverviewDerivedFieldsFirstUse)->Unit(benchmark::kMillisecond);

// The overview at its opening size over a full run, with humidity shading,
// a contoured field, a derived field, the sigma winds and the snow ratio
// saved in slot "A": the recall sets every control and redraws once.
void BM_OverviewRecallUserSlot(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("recall", state);
    loaded.window.SetSettingsBase(
        (std::filesystem::temp_directory_path() / "tarvex-bench-overview-slots").string());
    loaded.window.btnOverView_Click();
    tarvex::FrmOverView& w = *loaded.window.Overview();
    w.btnSave_Click(1); // the opening state
    for (const char* name : {"chkTemperature", "chkIcing", "chkSnowRatio", "chkWinds"})
        w.Box(name)->click();
    w.btnSave_Click(0);
    // Each recall of "A" comes from the opening state, so that it changes
    // the controls.
    for (auto _ : state) {
        state.PauseTiming();
        w.btnRecall_Click(1);
        state.ResumeTiming();
        w.btnRecall_Click(0);
    }
    w.close();
}
BENCHMARK(BM_OverviewRecallUserSlot)->Unit(benchmark::kMillisecond);

} // namespace
