#include "files/DesktopService.h"
#include "files/Session.h"
#include "profile/ui/FrmProfile.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

// From an empty session to the first drawn sounding: the main window is
// built and started on the files shipped beside the program (configuration,
// data and training files, the first model's first site).
void BM_StartUp(benchmark::State& state) {
    const std::string folder = QCoreApplication::applicationDirPath().toStdString();
    for (auto _ : state) {
        tarvex::Session session;
        tarvex::RecordingDesktopService desktop;
        tarvex::FrmProfile window(session, desktop);
        window.SetProgramFolder(folder);
        window.SetMessageHandler(
            [&](const std::string& text) { state.SkipWithError(text.c_str()); });
        if (!window.Form_Load({})) state.SkipWithError("start-up failed");
        benchmark::DoNotOptimize(session.profile.get());
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace
