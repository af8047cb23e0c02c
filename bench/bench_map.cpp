#include "files/DesktopService.h"
#include "files/Session.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/MapDiagram.h"
#include "profile/ui/FrmProfile.h"
#include "profile/ui/MapPanel.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

// The map panel at its designed size (6555 x 6375 twips) over the default
// view, for the main window started on the files shipped beside the program
// (configuration, data file, the first model's first site, the map files).
struct StartedMap {
    tarvex::Session session;
    tarvex::RecordingDesktopService desktop;
    tarvex::FrmProfile window{session, desktop};
    tarvex::PictureBox picMap;
    std::unique_ptr<tarvex::MapPanel> panel;

    explicit StartedMap(benchmark::State& state) {
        const std::string folder = QCoreApplication::applicationDirPath().toStdString();
        window.SetProgramFolder(folder);
        window.SetMessageHandler(
            [&](const std::string& text) { state.SkipWithError(text.c_str()); });
        if (!window.Form_Load({})) state.SkipWithError("start-up failed");
        session.history.MapView = tarvex::kDefaultMapView;
        picMap.resize(6555 / 15, 6375 / 15);
        picMap.FollowSize();
        panel = std::make_unique<tarvex::MapPanel>(session, window.soundingView(), &picMap, nullptr,
                                                   folder);
        panel->LoadMapFiles();
        if (panel->Geography().Outline.empty()) state.SkipWithError("no map files");
    }
};

// One map redraw for the hour shown: the background picture, the site and
// the sigma-level wind lines with their fetch times (on by default).
void BM_RedrawMap(benchmark::State& state) {
    StartedMap map(state);
    tarvex::SoundingView& view = map.window.soundingView();
    view.options.SigmaLevel = true;
    view.options.MeanFlow = false;
    for (auto _ : state) map.panel->RedrawMap();
}
BENCHMARK(BM_RedrawMap)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Reading the map and city files and drawing the map's background, as after
// every sounding read.
void BM_LoadMapFiles(benchmark::State& state) {
    StartedMap map(state);
    for (auto _ : state) map.panel->LoadMapFiles();
}
BENCHMARK(BM_LoadMapFiles)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace
