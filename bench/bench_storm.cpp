#include "BenchRuns.h"
#include "compute/StormMatrix.h"
#include "files/Session.h"
#include "files/SoundingReader.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// An hour step with the storm-type diagram or the heavy-precipitation panel
// shown below the sounding, every overlay of the sounding on as in
// BM_ShowHour.
void ShowHourInMode(benchmark::State& state, int mode) {
    tarvex::bench::LoadedWindow loaded("storm", state);
    tarvex::bench::StepThroughHours(loaded, mode, state);
}

void BM_ShowHour_StormType(benchmark::State& state) {
    ShowHourInMode(state, 4);
}
BENCHMARK(BM_ShowHour_StormType)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ShowHour_HeavyPcp(benchmark::State& state) {
    ShowHourInMode(state, 5);
}
BENCHMARK(BM_ShowHour_HeavyPcp)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The storm-matrix cell of every hour of a full run.
void BM_MatrixCellAllHours(benchmark::State& state) {
    tarvex::Session session;
    session.models.ModelCodes = {"eta"};
    const std::string path = tarvex::bench::WriteFullEtaRun("matrix").string();
    if (!tarvex::ReadSounding(session, path).ok) state.SkipWithError("read failed");
    std::filesystem::remove(path);
    for (auto _ : state) {
        for (std::int16_t t = 0; t < 85; ++t)
            benchmark::DoNotOptimize(tarvex::SelectMatrixCell(*session.profile, t));
    }
}
BENCHMARK(BM_MatrixCellAllHours)->Unit(benchmark::kMicrosecond);

} // namespace
