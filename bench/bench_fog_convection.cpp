#include "BenchRuns.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int kFogDisplay = 8;
constexpr int kConvectionPanel = 3;

// An hour step with the "Fog" display shown, beside BM_ShowHour (the same
// window and overlays, no lower panel drawn).
void BM_ShowHour_Fog(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("fog", state);
    tarvex::bench::StepThroughHours(loaded, kFogDisplay, state);
}
BENCHMARK(BM_ShowHour_Fog)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One mouse move over the sounding with the entraining parcel following it:
// the pointer alternates between two levels, so every move lifts (once) and
// draws a new trace on the overlay and fills the frame's labels.
void BM_ECAPEMouseMove(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("ecape", state);
    tarvex::FrmProfile& window = loaded.window;
    window.btnControl_Click(kConvectionPanel);
    window.chkECAPE->click();
    window.vsbHour->setValue(40);
    const tarvex::ProfileArrays& s = *loaded.session.profile;
    const double low = std::log(s.Pressure(s.CurrentModel, 40, 2) - 0.5);
    const double high = std::log(s.Pressure(s.CurrentModel, 40, 12) - 0.5);
    bool up = false;
    for (auto _ : state) {
        window.ShowCursorReadout(0, 0, 0.0, up ? high : low);
        up = !up;
    }
}
BENCHMARK(BM_ECAPEMouseMove)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
