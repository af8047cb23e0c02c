#include "SampleSounding.h"
#include "profile/data/Session.h"
#include "profile/data/SoundingReader.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

// A full eta run (85 times, 67 levels) read from disk into a fresh store that
// replaces the session's, as a forecaster's click on a site does.
void BM_ReadSounding(benchmark::State& state) {
    tarvex::samples::SampleSpec spec;
    spec.layout = "eta";
    spec.times = 85;
    spec.levels = 67;
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "tarvex-bench-eta_KBUF.buf";
    std::ofstream(path, std::ios::binary) << tarvex::samples::MakeSoundingText(spec);

    tarvex::Session session;
    session.models.ModelCodes = {"eta"};
    for (auto _ : state) {
        const tarvex::SoundingReadResult result = tarvex::ReadSounding(session, path.string());
        if (!result.ok) state.SkipWithError(result.reason.c_str());
        benchmark::DoNotOptimize(session.profile.get());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ReadSounding)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
