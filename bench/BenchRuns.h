#pragma once

// What the benchmarks share: a full eta run (85 times, 67 levels) from the
// sample generator, as text or written to a file of the temporary folder.
#include "SampleSounding.h"
#include "overview/fields/OverviewState.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tarvex::bench {

inline std::string
FullEtaRunText(samples::Atmosphere atmosphere = samples::Atmosphere::WarmSeasonConvective) {
    samples::SampleSpec spec;
    spec.atmosphere = atmosphere;
    spec.layout = "eta";
    spec.times = 85;
    spec.levels = 67;
    return samples::MakeSoundingText(spec);
}

// Writes the run to a file named after the benchmark and the process (runs
// side by side never share it); the caller removes it.
inline std::filesystem::path
WriteFullEtaRun(const std::string& name,
                samples::Atmosphere atmosphere = samples::Atmosphere::WarmSeasonConvective) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tarvex-bench-" + name + "-" + std::to_string(::getpid()) + "-eta_KBUF.buf");
    std::ofstream(path, std::ios::binary) << FullEtaRunText(atmosphere);
    return path;
}

// Every overlay of the overview that draws: shading, the ten contoured
// fields of the store, "Now", the time grid, the surface, aviation,
// convection, precipitation, fire-weather and wind overlays, the level
// traces, cloud cover, parcel displays and index traces, with every parcel
// level and CAPE depth toggle on.
inline void TurnOnEveryOverviewOverlay(OverviewOptions& o) {
    o.chkTemperature = o.chkVelocity = o.chkRHContour = o.chkRHIcontour = o.chkDPD = true;
    o.chkTheta = o.chkThetaE = o.chkWetBulb = o.ChkOmega = o.chkMixingRatio = true;
    o.chkSfcTemp = o.chkSfcDewPoint = o.chkSkinTemp = o.chkWindChill = o.chkSfcPres = true;
    o.chkPrecipWater = o.chkVisibility = o.chkWarmCloud = o.chkStormRelInflow = true;
    o.chkMBEspeed = o.chkInversions = o.chkPrecip = o.chkSnow = o.chkRunOff = true;
    o.chkSnowGrowth = o.chkMixingLayer = o.chkTransportWinds = o.chkTransportSpeed = true;
    o.chkVentilation = o.chkWinds = o.chkVWP = o.chkVWPColor = o.chkVVTrend = true;
    o.chkMoistLakeIndex = o.chkMeanWind = true;
    o.chkGridTime = true;
    o.chkClouds = o.chkELCIN = o.chkInstability = o.chkEvaporation = o.chkLakeIndex = true;
    o.chkApparentTemp = o.chkTotalTotals = o.chkHelicity = o.chk3HPresChange = true;
    o.chkCAPE = o.chkFreezingLevel = o.chkDavisIndex = o.chkTQ = o.chkHainesIndex = true;
    o.chkLIC = o.chkLIE = o.chkCloudBase = o.chkECAPE = o.chkHeights = true;
    o.HeightsColours.fill(0x0000FF);
    o.CAPEkmColours.fill(0x00C000);
}

} // namespace tarvex::bench

#include "files/DesktopService.h"
#include "files/Session.h"
#include "profile/ui/FrmProfile.h"

#include "platform/PictureBox.h"

#include <QCheckBox>
#include <QScrollBar>
#include <benchmark/benchmark.h>

namespace tarvex::bench {

// The main window at its default size, shown offscreen, with a full eta run
// loaded as a forecaster's click on a site loads it.
struct LoadedWindow {
    Session session;
    RecordingDesktopService desktop;
    FrmProfile window{session, desktop};

    LoadedWindow(const std::string& name, benchmark::State& state) {
        session.models.ModelCodes = {"eta"};
        // A failure ends the benchmark instead of waiting on a message box.
        window.SetMessageHandler(
            [&state](const std::string& text) { state.SkipWithError(text.c_str()); });
        window.resize(1280, 960);
        window.show();
        const std::filesystem::path path = WriteFullEtaRun(name);
        if (!window.LoadSoundingFile(path.string())) state.SkipWithError("read failed");
        std::filesystem::remove(path);
    }
};

// Reads the pixels of the pictures shown, as painting the window on the
// screen does: a redraw is timed with what it shows painted.
inline void ReadShownPictures(std::initializer_list<const PictureBox*> boxes) {
    for (const PictureBox* box : boxes)
        if (box && box->isVisible()) benchmark::DoNotOptimize(box->Surface().Image().constBits());
}

inline void ReadShownPictures(const FrmProfile& w) {
    ReadShownPictures({w.picData, w.picProfile, w.picMap, w.frameHodograph, w.picIndices, w.picCape,
                       w.picMBE, w.picPrecipType, w.picLapse, w.picFog});
}

// Every overlay of the sounding on, as a forecaster stepping through a busy
// convective day might have it.
inline void TurnOnEveryOverlay(FrmProfile& window) {
    for (QCheckBox* box :
         {window.chkDryAdiabats, window.chkWetBulb, window.chkLines, window.chkClouds,
          window.chkInversions, window.chkLCL, window.chkLFC, window.chkEQL, window.chkWBZ,
          window.chkCCL, window.chkConvectiveTemp, window.chkParcel, window.chkCINS,
          window.chk10MWind, window.chkSnowGrowth, window.chkRH, window.chkWindVector,
          window.chkMomentum, window.ChkOmega}) {
        if (!box->isChecked()) box->click();
    }
}

// Steps the loaded window through the hours with every overlay of the
// sounding on and the lower panel of a display mode shown (9 shows none).
inline void StepThroughHours(LoadedWindow& loaded, int displayMode, benchmark::State& state) {
    FrmProfile& window = loaded.window;
    TurnOnEveryOverlay(window);
    window.btnDisplay_Click(displayMode);
    int hour = 0;
    for (auto _ : state) {
        window.vsbHour->setValue(hour);
        ReadShownPictures(window);
        hour = (hour + 1) % 85;
    }
}

} // namespace tarvex::bench
