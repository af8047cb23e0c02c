#include "BenchRuns.h"
#include "compute/ElevatedParcel.h"
#include "compute/ParcelState.h"
#include "compute/Parcels.h"
#include "files/ReadCompletion.h"
#include "files/Session.h"
#include "files/SoundingReader.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

// A full warm-season eta run (85 hours, 67 levels) read and completed as a
// forecaster's click on a site does.
std::unique_ptr<tarvex::Session> LoadFullRun(benchmark::State& state) {
    auto session = std::make_unique<tarvex::Session>();
    const std::string text = tarvex::bench::FullEtaRunText();
    const tarvex::SoundingReadResult result =
        tarvex::ParseSounding(text, tarvex::SoundingLayout::EtaRuc, *session->profile);
    if (!result.ok) state.SkipWithError(result.reason.c_str());
    tarvex::CompleteSoundingRead(*session, tarvex::SoundingLayout::EtaRuc);
    return session;
}

// One moist adiabat from the ground to the top of the diagram.
void BM_WetLift(benchmark::State& state) {
    float start = 24.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(start);
        benchmark::DoNotOptimize(tarvex::WetLift(start, 1000.0f, 100.0f));
    }
}
BENCHMARK(BM_WetLift);

// Layer CAPE of every hour of the run.
void BM_LayerCAPE(benchmark::State& state) {
    const auto session = LoadFullRun(state);
    tarvex::LayerCapeResults layer;
    for (auto _ : state) {
        for (std::int16_t t = 0; t < tarvex::kTimeColumns; ++t)
            tarvex::LiftParcelProfile(*session->profile, t, layer);
        benchmark::DoNotOptimize(layer.LayerCAPE(1, 0, 6));
    }
    int buoyant = 0;
    for (int t = 0; t < tarvex::kTimeColumns; ++t) buoyant += layer.LayerCAPE(1, t, 6) > 0.0f;
    state.counters["hours_with_cape"] = buoyant;
}
BENCHMARK(BM_LayerCAPE)->Unit(benchmark::kMillisecond);

// The elevated parcel of every start level of one afternoon hour, as the
// time-height CAPE overlay computes a column.
void BM_ElevatedCAPE(benchmark::State& state) {
    const auto session = LoadFullRun(state);
    const auto elevated = std::make_unique<tarvex::ElevatedParcelResults>();
    const int n = session->profile->LevelCount(1);
    for (auto _ : state) {
        for (int k = 1; k <= n; ++k)
            tarvex::MakeECAPE(*session->profile, 20, static_cast<std::int16_t>(k), *elevated);
        benchmark::DoNotOptimize(elevated->ElevCAPE(1, 20, 1));
    }
    int buoyant = 0;
    for (int k = 1; k <= n; ++k) buoyant += elevated->ElevCAPE(1, 20, k) > 0.0f;
    state.counters["levels_with_cape"] = buoyant;
}
BENCHMARK(BM_ElevatedCAPE)->Unit(benchmark::kMicrosecond);

// The elevated parcel of every start level of every hour of the run, as the
// overview's elevated-CAPE and EL/CIN overlays lift them after a file is read.
void BM_ElevatedCAPERun(benchmark::State& state) {
    const auto session = LoadFullRun(state);
    const auto elevated = std::make_unique<tarvex::ElevatedParcelResults>();
    const auto n = static_cast<std::int16_t>(session->profile->LevelCount(1));
    for (auto _ : state) {
        state.PauseTiming();
        elevated->ClearAfterRead();
        state.ResumeTiming();
        tarvex::MakeMissingECAPERun(*session->profile, 1, n, *elevated);
        benchmark::DoNotOptimize(elevated->ElevCAPE(1, 20, 1));
    }
}
BENCHMARK(BM_ElevatedCAPERun)->Unit(benchmark::kMillisecond);

} // namespace
