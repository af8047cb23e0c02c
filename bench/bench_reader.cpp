#include "BenchRuns.h"
#include "files/Session.h"
#include "files/SoundingReader.h"
#include "store/ProfileArrays.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// The floor any reader of the text stands on: the same text split on blanks
// and line ends, and every field converted with std::from_chars, nothing else.
void BM_NumberScanFloor(benchmark::State& state) {
    const std::string text = tarvex::bench::FullEtaRunText();
    for (auto _ : state) {
        float sum = 0.0f;
        const char* p = text.data();
        const char* const end = p + text.size();
        while (p < end) {
            while (p < end && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t')) ++p;
            const char* start = p;
            while (p < end && *p != ' ' && *p != '\n' && *p != '\r' && *p != '\t') ++p;
            float value = 0.0f;
            if (std::from_chars(start, p, value).ec == std::errc()) sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_NumberScanFloor)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The reader alone: a full eta run (85 times, 67 levels) from memory into a
// store, with the per-level derived fields.
void BM_ReadSounding(benchmark::State& state) {
    const std::string text = tarvex::bench::FullEtaRunText();
    auto store = std::make_unique<tarvex::ProfileArrays>();
    for (auto _ : state) {
        const tarvex::SoundingReadResult result =
            tarvex::ParseSounding(text, tarvex::SoundingLayout::EtaRuc, *store);
        if (!result.ok) state.SkipWithError(result.reason.c_str());
        benchmark::DoNotOptimize(store.get());
    }
}
BENCHMARK(BM_ReadSounding)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// What a forecaster's click on a site costs before anything is drawn: the
// file from disk into a fresh store, and every derived field and post-read
// step.
void BM_ReadAndProcess(benchmark::State& state) {
    const std::filesystem::path path = tarvex::bench::WriteFullEtaRun("read");
    tarvex::Session session;
    session.models.ModelCodes = {"eta"};
    for (auto _ : state) {
        const tarvex::SoundingReadResult result = tarvex::ReadSounding(session, path.string());
        if (!result.ok) state.SkipWithError(result.reason.c_str());
        benchmark::DoNotOptimize(session.profile.get());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadAndProcess)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
