// Recalls fuzzed settings slots into both windows, offscreen, and clicks the
// overview's side scales. The input up to its first NUL byte is the
// overview's slot file (".SO"), up to the next one the main window's
// (".SP"), and the rest the clicks: a byte of choices (bit 0: every overlay
// box on after the recall, as when no clicks are given), then three bytes a
// click, at most kMostClicks: side and button, where across the scale it is
// pressed, and where along it it is released (a little beyond either end
// too). Whatever a slot holds, the recall and the redraws must finish
// (scales and zooms that a slot stores included) and never leave their
// pictures, and so must every zoom of a side scale.
//
// The windows are made once and brought back to the state saved in slot 0
// before each input, with their redraws held, so that every input starts
// alike and pays only for the redraws of what it recalled: the main window
// once as recalled, the overview once with the recalled settings and, when
// the input clicks, once more over the zoomed scales.
#include "FontCacheLeaks.h"
#include "SampleSounding.h"
#include "files/DesktopService.h"
#include "files/DisplaySettingsFile.h"
#include "files/OverviewSettingsFile.h"
#include "files/Session.h"
#include "overview/ui/FrmOverView.h"
#include "platform/PictureBox.h"
#include "profile/diagrams/SoundingDiagram.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace tarvex;

constexpr int kBaseSlot = 0;
constexpr int kFuzzedSlot = 1;
constexpr std::size_t kMostClicks = 8;

struct Windows {
    Session session;
    RecordingDesktopService desktop;
    std::unique_ptr<FrmProfile> main;
    FrmOverView* overview = nullptr;
    fs::path folder;
    // The user values as they stood at start: the zooms of some side scales
    // write there, and slot 0 does not hold them.
    HistorySettings history;
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
        w->history = w->session.history;
        return w;
    }();
    return *windows;
}

void WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace

// The windows, the fonts and the toolkit's caches are made once, before the
// fuzzer counts allocations per input.
//
// The fuzzer's leak check after each input is off unless the command line
// asks for it: the toolkit keeps work for its event loop (areas to repaint,
// parsed style sheets, accessibility entries) past every input, so that
// nearly every input would be run twice and followed by a search of the
// whole heap of two windows, which took two thirds of the time. A block our
// code loses is still reported when the fuzzer ends.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> arguments(*argv, *argv + *argc);
    static char noLeakCheck[] = "-detect_leaks=0";
    const bool asked = std::any_of(arguments.begin(), arguments.end(), [](const char* a) {
        return std::string_view(a).starts_with("-detect_leaks=");
    });
    if (!asked) {
        arguments.insert(arguments.begin() + 1, noLeakCheck);
        arguments.push_back(nullptr);
        *argc = static_cast<int>(arguments.size()) - 1;
        *argv = arguments.data();
    }
    Setup();
    return 0;
}

// Freed blocks stay poisoned through the next 32 MB freed, some ten inputs'
// worth, rather than the default 256 MB: with the larger quarantine the heap
// only grew, and every block was handed out from memory never touched before,
// whose page faults and cache misses took about a third of each input's time.
// A setting given in ASAN_OPTIONS still wins.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

// One press and release on a side scale: the press picks the scale of the
// band it falls in and sets the picture's scale to it, the release zooms it
// about the point released.
void ClickSideScale(FrmOverView& overview, std::uint8_t button, std::uint8_t across,
                    std::uint8_t along) {
    const bool left = (button & 1u) != 0;
    const int mouseButton = (button >> 1 & 1u) != 0 ? 2 : 1;
    // The scale's three bands take x 0 to 100; a tenth of the presses fall
    // beyond them.
    const double x = across * 110.0 / 255.0;
    overview.picSide_MouseDown(left, mouseButton, x);
    const RasterSurface& pic = (left ? overview.picLeft : overview.picRight)->Surface();
    const double y = pic.ScaleTop() + pic.ScaleHeight() * (along * 1.4 / 255.0 - 0.2);
    overview.picSide_MouseUp(left, mouseButton, y);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Windows& w = Setup();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    auto part = [input](std::size_t& from) {
        const std::size_t end = std::min(input.find('\0', from), input.size());
        const std::string_view text = from <= input.size() ? input.substr(from, end - from) : "";
        from = end + 1;
        return text;
    };
    std::size_t from = 0;
    const std::string_view overviewSlot = part(from);
    const std::string_view mainSlot = part(from);
    const std::string_view clicks = from <= input.size() ? input.substr(from) : "";

    // The overview may have been closed by the input before: open it again.
    if (!w.main->Overview()) w.main->btnOverView->click();
    w.overview = w.main->Overview();
    if (!w.overview) std::abort();
    {
        const SuspendRedrawScope holdMain(w.main->soundingView());
        w.overview->RedrawSuspended = true;
        w.main->btnRecall_Click(kBaseSlot);
        w.overview->btnRecall_Click(kBaseSlot);
    }
    w.session.history = w.history;
    w.overview->MouseAction = 0;

    const std::string folder = w.main->SettingsFolder();
    WriteFile(OverviewSettingsPath(folder, w.session.UserName, kFuzzedSlot), overviewSlot);
    WriteFile(DisplaySettingsPath(folder, w.session.UserName, kFuzzedSlot), mainSlot);
    w.main->btnRecall_Click(kFuzzedSlot);
    w.overview = w.main->Overview();
    if (!w.overview) return 0; // the recall closed the overview
    w.overview->RedrawSuspended = true;
    w.overview->btnRecall_Click(kFuzzedSlot);

    // Every overlay at once over the recalled scales, unless the clicks'
    // choices keep the recalled boxes.
    const bool everyOverlay = clicks.empty() || (clicks[0] & 1) != 0;
    if (everyOverlay) {
        for (const OverlayBoxSpec& spec : FrmOverView::OverlayBoxes())
            if (QCheckBox* box = w.overview->Box(spec.name)) box->setChecked(true);
    }
    w.overview->RedrawSuspended = false;
    w.overview->RedrawOverview();

    // The zooms of the side scales, drawn once after the last.
    const std::size_t count = clicks.empty() ? 0 : std::min((clicks.size() - 1) / 3, kMostClicks);
    if (count == 0) return 0;
    w.overview->RedrawSuspended = true;
    for (std::size_t k = 0; k < count; ++k) {
        const auto* click = reinterpret_cast<const std::uint8_t*>(clicks.data()) + 1 + 3 * k;
        ClickSideScale(*w.overview, click[0], click[1], click[2]);
    }
    w.overview->RedrawSuspended = false;
    w.overview->RedrawOverview();
    return 0;
}
