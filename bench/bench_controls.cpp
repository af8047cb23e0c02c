#include "BenchRuns.h"
#include "files/DisplaySettingsFile.h"
#include "profile/ui/FrmProfile.h"

#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// One tick of the hour animation with every overlay of the sounding on: the
// step of the hour bar and the redraw it brings. Compare with BM_ShowHour.
void BM_AnimationStep(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("animation", state);
    tarvex::FrmProfile& window = loaded.window;
    tarvex::bench::TurnOnEveryOverlay(window);
    window.btnAutoDisplay_Click(); // running, so that the tick is the real one
    for (auto _ : state) window.timerAutoDisplay_Timer();
    window.StopAnimation();
}
BENCHMARK(BM_AnimationStep)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A recall in which every item of the slot changes: two slots that differ in
// every item are recalled in turn.
void BM_RecallSlot(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("recall", state);
    tarvex::FrmProfile& window = loaded.window;
    const fs::path base = fs::temp_directory_path() / "tarvex-bench-slots";
    window.SetSettingsBase(base.string());
    loaded.session.UserName = "bench";
    window.btnSave_Click(0);
    tarvex::DisplaySettings other = window.CollectDisplaySettings();
    auto flip = [](std::optional<std::int16_t>& check) { check = *check == 0 ? 1 : 0; };
    for (auto* check : {&other.chkWindVector,
                        &other.chkWindDigital,
                        &other.ChkOmega,
                        &other.chk10MWind,
                        &other.chkRH,
                        &other.chkWetBulb,
                        &other.chkInversions,
                        &other.chkSnowGrowth,
                        &other.chksWSYMb,
                        &other.chkSkewT,
                        &other.chkLines,
                        &other.chkDryAdiabats,
                        &other.chkClouds,
                        &other.chkLakeIndex,
                        &other.chkMoistLakeIndex,
                        &other.chkLIC,
                        &other.chkLCL,
                        &other.chkECAPE,
                        &other.chkCCL,
                        &other.chkConvectiveTemp,
                        &other.chkWBZ,
                        &other.chkLFC,
                        &other.chkEQL,
                        &other.chkParcel,
                        &other.chkCINS,
                        &other.chkBrightBand,
                        &other.chkSigmaLevel,
                        &other.chkMeanFlow,
                        &other.chkActiveReadout,
                        &other.chkIcing,
                        &other.chkMomentum})
        flip(*check);
    for (auto& angle : other.chkAngle) flip(angle);
    other.ColorWinds = other.DigitalWindStyle = other.OmegaFiltered = -1;
    other.UseThicknessMethod = -1;
    other.VWPInterval = 3;
    other.VWPIntervalA = 2;
    other.UseVWPIntervalA = true;
    other.VerticalUnit = 2;
    other.MomentumXferIndex = 3;
    other.SkewTLeftTemp = other.ProfileLeftTemp = other.LeftTemp = -45;
    other.SkewTRightTemp = other.ProfileRightTemp = other.RightTemp = 25;
    other.TopPressure = 200;
    other.vsbLakeF = 50;
    other.ActivePanel = 0;
    other.SigmaLevelPressure = 500.0f;
    other.MeanFlowPressure = {850.0f, 700.0f};
    other.DisplayMode = 3;
    other.ReadoutUnit = 2;
    other.HodoTop = 6.0f;
    other.HodoBase = 1.0f;
    if (!tarvex::WriteDisplaySettings(base / "bench.SP1", other).ok)
        state.SkipWithError("slot not written");
    int slot = 0;
    for (auto _ : state) {
        slot = 1 - slot;
        window.btnRecall_Click(slot);
    }
    fs::remove_all(base);
}
BENCHMARK(BM_RecallSlot)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
