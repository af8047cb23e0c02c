#include "BenchRuns.h"

#include <benchmark/benchmark.h>

namespace {

// An hour step in the main window with a text panel shown below the sounding;
// compare with BM_ShowHour, the sounding alone.
void BM_ShowHour_Data(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("data", state);
    tarvex::bench::StepThroughHours(loaded, 0, state);
}
void BM_ShowHour_Indices(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("indices", state);
    tarvex::bench::StepThroughHours(loaded, 3, state);
}
void BM_ShowHour_LapseRates(benchmark::State& state) {
    tarvex::bench::LoadedWindow loaded("lapse", state);
    loaded.session.config.LapseTopPressure = "300";
    tarvex::bench::StepThroughHours(loaded, 7, state);
}
BENCHMARK(BM_ShowHour_Data)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowHour_Indices)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ShowHour_LapseRates)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
