#include "BenchRuns.h"
#include "profile/ui/PrecipTypeControls.h"

#include <QPushButton>
#include <QScrollBar>
#include <benchmark/benchmark.h>

namespace {

// An hour step in the main window with the "Precip Type" display below the
// sounding: argument 0 the energy method, 1 the thickness method (12-hour
// trail). Compare with BM_ShowHour, the sounding alone, in the same run.
void BM_ShowHour_PrecipType(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("precip-type", state);
    tarvex::FrmProfile& window = loaded.window;
    tarvex::bench::TurnOnEveryOverlay(window);
    window.btnDisplay_Click(6);
    if (state.range(0) == 1) {
        window.precipTypeControls()->btnPrecipType->click();
        window.precipTypeControls()->btnTails->click();
    }
    int hour = 0;
    for (auto _ : state) {
        window.vsbHour->setValue(hour);
        tarvex::bench::ReadShownPictures(window);
        hour = (hour + 1) % 85;
    }
}
BENCHMARK(BM_ShowHour_PrecipType)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
