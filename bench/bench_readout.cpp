#include "BenchRuns.h"
#include "files/DesktopService.h"
#include "files/Session.h"
#include "profile/ui/FrmProfile.h"

#include <QCheckBox>
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// One update of the cursor read-out in the main window: the mouse moves from
// one level to another, so the level search runs and the five labels get new
// captions and places. The mouse alternates between 850 and 500 mb.
void BM_CursorReadout(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("readout", state);
    tarvex::FrmProfile& window = loaded.window;
    window.chkActiveReadout->setChecked(true);
    window.ShowSoundingCompanions();
    const double y[2] = {std::log(850.0), std::log(500.0)};
    int k = 0;
    for (auto _ : state) {
        window.ShowCursorReadout(0, 0, 50.0, y[k]);
        k = 1 - k;
    }
}
BENCHMARK(BM_CursorReadout)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
