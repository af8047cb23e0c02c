#include "BenchRuns.h"
#include "overview/ui/FrmOverView.h"

#include <QPushButton>

namespace {

// One mouse move over picRH that changes the selected hour, with the button
// held: the chosen panel (argument: 0 map, 1 hodograph, 2 profile, 3 storm
// type) is drawn for the new hour and the main window moves to it. The
// pointer sweeps back and forth over a full eta run.
void BM_OverviewHourMove(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("overview-hour", state);
    loaded.window.btnOverView->click();
    tarvex::FrmOverView* overview = loaded.window.Overview();
    if (!overview) {
        state.SkipWithError("no overview");
        return;
    }
    loaded.session.history.SelectedPanel = static_cast<std::int16_t>(state.range(0));
    overview->picRH_MouseDown(1, 0, 0.0, 6.5);
    int hour = 0;
    int step = 1;
    for (auto _ : state) {
        if (hour + step < 0 || hour + step > 84) step = -step;
        hour += step;
        overview->picRH_MouseMove(1, 0, hour, 6.5);
        tarvex::bench::ReadShownPictures({overview->picRH, overview->picLeft, overview->picRight,
                                          overview->picTime, overview->HourPanelBox(0),
                                          overview->HourPanelBox(1), overview->HourPanelBox(2),
                                          overview->HourPanelBox(3)});
        tarvex::bench::ReadShownPictures(loaded.window);
    }
    overview->picRH_MouseUp(1, 0, hour, 6.5);
}
BENCHMARK(BM_OverviewHourMove)
    ->DenseRange(0, 3)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace
