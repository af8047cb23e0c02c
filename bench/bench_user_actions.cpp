// The redraws a forecaster brings about, each a new picture: the overview
// scrolled, its span changed, a side scale zoomed, the window resized, an
// overlay ticked, the next file opened; the main window's first step to an
// hour, a display switch and a resize. The overview ones take an argument:
// 0 the overlays the window opens with, 1 every overlay. BM_OverviewSamePicture
// redraws the same picture again, for comparison.
#include "BenchRuns.h"
#include "overview/ui/FrmOverView.h"
#include "profile/ui/FrmProfile.h"

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using tarvex::FrmOverView;
using tarvex::FrmProfile;

// The main window with a full run loaded and its overview open, with the
// opening overlays or every overlay ticked; each redraw of the overview is
// counted, so that a benchmark whose action draws nothing says so.
struct OpenOverview {
    tarvex::bench::LoadedWindow loaded;
    FrmOverView* overview = nullptr;
    int redraws = 0;
    fs::path slotFolder;

    OpenOverview(const std::string& name, benchmark::State& state)
        : loaded(name, state),
          slotFolder(fs::temp_directory_path() /
                     ("tarvex-bench-slotFolder-" + name + "-" + std::to_string(::getpid()))) {
        loaded.window.SetSettingsBase(slotFolder.string());
        loaded.window.btnOverView_Click();
        Attach(state);
        if (overview && state.range(0) == 1) TickEveryOverlay();
        Settle();
    }
    ~OpenOverview() { fs::remove_all(slotFolder); }

    // Finds the overview (again, after the main window has rebuilt it).
    void Attach(benchmark::State& state) {
        overview = loaded.window.Overview();
        if (!overview) {
            state.SkipWithError("no overview");
            return;
        }
        overview->afterRedraw = [this] { ++redraws; };
    }

    void TickEveryOverlay() {
        tarvex::OverviewOptions every = overview->options;
        tarvex::bench::TurnOnEveryOverviewOverlay(every);
        overview->RedrawSuspended = true;
        for (const tarvex::OverlayBoxSpec& spec : FrmOverView::OverlayBoxes()) {
            QCheckBox* box = overview->Box(spec.name);
            if (every.*spec.value && box && !box->isChecked()) box->click();
        }
        overview->options.HeightsColours = every.HeightsColours;
        overview->options.CAPEkmColours = every.CAPEkmColours;
        overview->RedrawSuspended = false;
        overview->RedrawOverview(); // the derived fields and parcels are made once
    }

    // Delivers what the toolkit has pending (sizes, paints).
    static void Settle() { QApplication::processEvents(); }

    // Ends the benchmark with an error when an iteration drew nothing;
    // counts the redraws an action brings.
    void CheckEachDrew(benchmark::State& state, int before) const {
        const auto iterations = static_cast<double>(state.iterations());
        if (redraws - before < iterations)
            state.SkipWithError("an action did not redraw the overview");
        state.counters["redraws"] = (redraws - before) / std::max(iterations, 1.0);
    }

    // Times action(k) for k = 0, 1, 2, ..., each followed by what the
    // toolkit has pending, and checks that each drew.
    template <typename Action> void TimeEach(benchmark::State& state, Action action) {
        int k = 0;
        const int before = redraws;
        for (auto _ : state) {
            action(k++);
            Settle();
        }
        CheckEachDrew(state, before);
    }
};

void OverviewArgs(benchmark::internal::Benchmark* b) {
    b->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
}

// The same picture drawn again, through the window.
void BM_OverviewSamePicture(benchmark::State& state) {
    OpenOverview o("same", state);
    const int before = o.redraws;
    for (auto _ : state) o.overview->RedrawOverview();
    o.CheckEachDrew(state, before);
}
BENCHMARK(BM_OverviewSamePicture)->Apply(OverviewArgs);

// The scroll bar under a 48-hour window moved a step, back and forth.
void BM_OverviewScroll(benchmark::State& state) {
    OpenOverview o("scroll", state);
    o.overview->btnHours_Click(1);
    QScrollBar& bar = *o.overview->hsbHours;
    int position = 0;
    int step = 1;
    o.TimeEach(state, [&](int) {
        if (position + step < bar.minimum() || position + step > bar.maximum()) step = -step;
        position += step;
        bar.setValue(position);
    });
}
BENCHMARK(BM_OverviewScroll)->Apply(OverviewArgs);

// The four hours-span buttons in turn.
void BM_OverviewHoursSpan(benchmark::State& state) {
    OpenOverview o("span", state);
    FrmOverView& w = *o.overview;
    o.TimeEach(state, [&w](int k) { w.btnHours_Click((k + 1) % 4); });
}
BENCHMARK(BM_OverviewHoursSpan)->Apply(OverviewArgs);

// A click on the right scale's pressure band: zoomed in until the scale
// stops growing, then out, and again.
void BM_OverviewSideZoom(benchmark::State& state) {
    OpenOverview o("zoom", state);
    FrmOverView& w = *o.overview;
    o.TimeEach(state, [&w](int zooms) {
        // Six clicks in, six out: no picture recurs within six redraws.
        const int button = (zooms / 6) % 2 == 0 ? 1 : 2;
        w.picSide_MouseDown(false, button, 10.0);
        w.picSide_MouseUp(false, button, 0.0);
    });
}
BENCHMARK(BM_OverviewSideZoom)->Apply(OverviewArgs);

// The window made a little wider and taller, then narrower and shorter.
void BM_OverviewResize(benchmark::State& state) {
    OpenOverview o("resize", state);
    FrmOverView& w = *o.overview;
    const QSize start = w.size();
    o.TimeEach(state, [&w, start](int k) {
        const int grow = 8 * (k % 8);
        w.resize(start.width() - 64 + grow, start.height() - 32 + grow / 2);
    });
}
BENCHMARK(BM_OverviewResize)->Apply(OverviewArgs);

// The window made wider and taller than it opened, then back, as a corner
// dragged: the one above changes the height alone, since the window opens at
// its least width.
void BM_OverviewResizeWide(benchmark::State& state) {
    OpenOverview o("resize-wide", state);
    FrmOverView& w = *o.overview;
    const QSize start = w.size();
    o.TimeEach(state, [&w, start](int k) {
        const int grow = 8 * (k % 8);
        w.resize(start.width() + grow, start.height() - 32 + grow / 2);
    });
}
BENCHMARK(BM_OverviewResizeWide)->Apply(OverviewArgs);

// The temperature contours ticked, then unticked.
void BM_OverviewOverlayToggle(benchmark::State& state) {
    OpenOverview o("toggle", state);
    QCheckBox& box = *o.overview->Box("chkTemperature");
    o.TimeEach(state, [&box](int) { box.click(); });
}
BENCHMARK(BM_OverviewOverlayToggle)->Apply(OverviewArgs);

// Two runs of the same site, a warm-season and a winter one, read in turn
// as a site button reads them.
class NextFiles {
  public:
    explicit NextFiles(const std::string& name)
        : files_{tarvex::bench::WriteFullEtaRun(name + "-warm"),
                 tarvex::bench::WriteFullEtaRun(name + "-winter",
                                                tarvex::samples::Atmosphere::WinterWarmNose)} {}
    ~NextFiles() {
        for (const fs::path& file : files_) fs::remove(file);
    }
    NextFiles(const NextFiles&) = delete;
    NextFiles& operator=(const NextFiles&) = delete;

    void ReadNext(FrmProfile& window, benchmark::State& state) {
        k_ = 1 - k_;
        if (!window.LoadSoundingFile(files_[k_].string())) state.SkipWithError("read failed");
    }

  private:
    std::array<fs::path, 2> files_;
    std::size_t k_ = 0;
};

// The next file read and drawn with the overview open. The overview is made
// anew for the file, so its redraws are not counted.
void BM_OverviewNextFile(benchmark::State& state) {
    OpenOverview o("next", state);
    NextFiles files("next");
    for (auto _ : state) {
        files.ReadNext(o.loaded.window, state);
        o.loaded.window.UpdateOverview();
        o.Attach(state);
        OpenOverview::Settle();
    }
}
BENCHMARK(BM_OverviewNextFile)->Apply(OverviewArgs);

// The main window with the sounding's opening overlays (0) or every
// overlay (1).
struct MainWindow {
    tarvex::bench::LoadedWindow loaded;
    MainWindow(const std::string& name, benchmark::State& state) : loaded(name, state) {
        if (state.range(0) == 1) tarvex::bench::TurnOnEveryOverlay(loaded.window);
        QApplication::processEvents();
    }
};

void MainArgs(benchmark::internal::Benchmark* b) {
    b->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
}

// The next file read and drawn with the overview closed: the main window's
// share of BM_OverviewNextFile (with 0), the read's own share being
// BM_ReadAndProcess.
void BM_MainNextFile(benchmark::State& state) {
    MainWindow m("main-next", state);
    NextFiles files("main-next");
    for (auto _ : state) {
        files.ReadNext(m.loaded.window, state);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MainNextFile)->Apply(MainArgs);

// A step to an hour not shown since the file was read: the file is read
// again (untimed) once every hour has been shown.
void BM_ShowHourFirstTime(benchmark::State& state) {
    MainWindow m("first-hour", state);
    FrmProfile& window = m.loaded.window;
    const fs::path path = tarvex::bench::WriteFullEtaRun("first-hour-again");
    int hour = 0;
    for (auto _ : state) {
        if (++hour > 84) {
            state.PauseTiming();
            window.LoadSoundingFile(path.string());
            window.vsbHour->setValue(0);
            hour = 1;
            state.ResumeTiming();
        }
        window.vsbHour->setValue(hour);
        QApplication::processEvents();
    }
    fs::remove(path);
}
BENCHMARK(BM_ShowHourFirstTime)->Apply(MainArgs);

// The display buttons in turn (the lower panel of each mode, 0 to 9).
void BM_DisplaySwitch(benchmark::State& state) {
    MainWindow m("display", state);
    int mode = 0;
    for (auto _ : state) {
        mode = (mode + 1) % FrmProfile::kDisplayButtons;
        m.loaded.window.btnDisplay_Click(mode);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DisplaySwitch)->Apply(MainArgs);

// The main window made a little wider and taller, then narrower and shorter.
void BM_MainResize(benchmark::State& state) {
    MainWindow m("main-resize", state);
    FrmProfile& window = m.loaded.window;
    const QSize start = window.size();
    int k = 0;
    for (auto _ : state) {
        const int grow = 8 * (k++ % 8);
        window.resize(start.width() - 64 + grow, start.height() - 32 + grow / 2);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MainResize)->Apply(MainArgs);

} // namespace
