// Recalls fuzzed settings slots into both windows, offscreen: the input up to
// its first NUL byte is the overview's slot file (".SO"), the rest the main
// window's (".SP"). Both windows redraw as recalled, then the overview once
// more with every overlay box on. Whatever a slot holds, the recall and the
// redraws must finish (scales and zooms that a slot stores included) and
// never leave their pictures. Before each input both windows go back to the
// state saved in slot 0 at start, so every input starts alike.
#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/DisplaySettingsFile.h"
#include "files/OverviewSettingsFile.h"
#include "files/Session.h"
#include "overview/ui/FrmOverView.h"
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace tarvex;

constexpr int kBaseSlot = 0;
constexpr int kFuzzedSlot = 1;

struct Windows {
    Session session;
    RecordingDesktopService desktop;
    std::unique_ptr<FrmProfile> main;
    FrmOverView* overview = nullptr;
    fs::path folder;
};

Windows& Setup() {
    static Windows* windows = [] {
        static int argc = 1;
        static char name[] = "fuzz_slotwindows";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The offscreen platform's notes on every window would drown the
        // fuzzer's own output.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        // The windows live to the end of the process, so the application
        // does too: it is never destroyed under them.
        new QApplication(argc, argv);

        auto* w = new Windows;
        w->folder = fs::temp_directory_path() / ("tarvex-fuzz-slots-" + std::to_string(::getpid()));
        fs::create_directories(w->folder);
        static const fs::path folder = w->folder;
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(folder, ignored);
        });
        w->session.models.ModelCodes = {"eta"};
        w->session.UserName = "fuzz";
        w->main = std::make_unique<FrmProfile>(w->session, w->desktop);
        w->main->SetMessageHandler([](const std::string&) {});
        w->main->SetSettingsBase(w->folder.string());
        w->main->show();
        // A short run keeps each redraw quick; its levels and hours still
        // reach every scale.
        samples::SampleSpec spec;
        spec.times = 13;
        spec.levels = 30;
        spec.atmosphere = samples::Atmosphere::WinterWarmNose;
        const fs::path sounding = w->folder / "eta_KBUF.buf";
        std::ofstream(sounding, std::ios::binary) << samples::MakeSoundingText(spec);
        if (!w->main->LoadSoundingFile(sounding.string())) std::abort();
        w->main->btnOverView->click();
        w->overview = w->main->Overview();
        if (!w->overview) std::abort();
        w->overview->SetMessageHandler([](const std::string&) {});
        // Small pictures: the drawings do the same work per line and label
        // with far fewer pixels to fill.
        for (QWidget* window :
             {static_cast<QWidget*>(w->main.get()), static_cast<QWidget*>(w->overview)})
            for (PictureBox* box : window->findChildren<PictureBox*>())
                box->setMaximumSize(320, 240);
        QApplication::processEvents();
        w->main->btnSave_Click(kBaseSlot);
        w->overview->btnSave_Click(kBaseSlot);
        return w;
    }();
    return *windows;
}

void WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace

// The font library keeps a few blocks of each new font match it makes in
// caches it no longer points to; they are the system's, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// The windows, the fonts and the toolkit's caches are made once, before the
// fuzzer counts allocations per input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Windows& w = Setup();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string_view overviewSlot = input.substr(0, split);
    const std::string_view mainSlot =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    // The overview may have been closed by the input before: open it again.
    if (!w.main->Overview()) w.main->btnOverView->click();
    w.overview = w.main->Overview();
    if (!w.overview) std::abort();
    w.main->btnRecall_Click(kBaseSlot);
    w.overview->btnRecall_Click(kBaseSlot);

    const std::string folder = w.main->SettingsFolder();
    WriteFile(OverviewSettingsPath(folder, w.session.UserName, kFuzzedSlot), overviewSlot);
    WriteFile(DisplaySettingsPath(folder, w.session.UserName, kFuzzedSlot), mainSlot);
    w.main->btnRecall_Click(kFuzzedSlot);
    w.overview->btnRecall_Click(kFuzzedSlot);

    // Every overlay at once over the recalled scales.
    w.overview->RedrawSuspended = true;
    for (const OverlayBoxSpec& spec : FrmOverView::OverlayBoxes())
        if (QCheckBox* box = w.overview->Box(spec.name)) box->setChecked(true);
    w.overview->RedrawSuspended = false;
    w.overview->RedrawOverview();
    return 0;
}
