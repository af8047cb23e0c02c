#pragma once

#include "compute/ComputeState.h"
#include "compute/Hodograph.h"
#include "compute/MandatoryHeights.h"
#include "compute/ParcelState.h"
#include "compute/StormMatrix.h"
#include "compute/TimeHeightFields.h"
#include "files/ConfigFile.h"
#include "files/DataFile.h"
#include "files/DerivedFields.h"
#include "files/FogParcelState.h"
#include "files/HistoryFile.h"
#include "files/ModelTable.h"
#include "files/SoundingFiles.h"
#include "files/TrainingHook.h"
#include "store/ProfileArrays.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvex {

// Temperature-axis ends of the sounding diagrams (deg C): the pair in force
// and the stored pairs of the skewed and the upright diagram.
struct TemperatureAxisEnds {
    std::int16_t LeftTemp = -60;
    std::int16_t RightTemp = 10;
    std::int16_t SkewTLeftTemp = -60;
    std::int16_t SkewTRightTemp = 10;
    std::int16_t ProfileLeftTemp = -60;
    std::int16_t ProfileRightTemp = 10;
};

// Everything the program keeps while it runs. main creates one; windows and
// computations are handed it, or the parts of it they need.
struct Session {
    Session()
        : profile(std::make_unique<ProfileArrays>()), winds(std::make_unique<WindResults>()),
          stormMotion(std::make_unique<StormMotionResults>()),
          ptype(std::make_unique<PTypeResults>()), layerCape(std::make_unique<LayerCapeResults>()),
          lake(std::make_unique<LakeParcelResults>()),
          elevated(std::make_unique<ElevatedParcelResults>()),
          wholeRun(std::make_unique<WholeRunResults>()),
          hodograph(std::make_unique<HodographResults>()),
          soundingOverlays(std::make_unique<SoundingOverlayState>()),
          timeHeight(std::make_unique<TimeHeightFields>()),
          thickness(std::make_unique<ThicknessResults>()),
          matrix(std::make_unique<StormMatrixResults>()) {}

    // Resets every per-time and per-model cache after a sounding file was
    // read, so that every panel computes afresh on its next draw. Each cache
    // of the program is listed here, and only here.
    void ClearCachesAfterRead() {
        winds->ClearAfterRead();
        ptype->ClearAfterRead();
        layerCape->ClearAfterRead();
        lake->ClearAfterRead();
        elevated->ClearAfterRead();
        wholeRun->ClearAfterRead();
        hodograph->ClearAfterRead();
        soundingOverlays->ClearAfterRead();
        timeHeight->ClearAfterRead();
        thickness->ClearAfterRead();
        matrix->ClearAfterRead();
        fogParcel.ClearAfterRead();
        options.ElevatedPTLevel = 1;
    }

    // The sounding store is large; it lives on the heap so that a Session can
    // sit on any stack, and a read can build a fresh store and swap it in.
    std::unique_ptr<ProfileArrays> profile;
    ModelTable models;
    ComputeOptions options;
    std::unique_ptr<WindResults> winds;
    std::unique_ptr<StormMotionResults> stormMotion;
    std::unique_ptr<PTypeResults> ptype;
    std::unique_ptr<LayerCapeResults> layerCape;
    std::unique_ptr<LakeParcelResults> lake;
    std::unique_ptr<ElevatedParcelResults> elevated;
    std::unique_ptr<WholeRunResults> wholeRun;
    std::unique_ptr<HodographResults> hodograph;
    std::unique_ptr<SoundingOverlayState> soundingOverlays;
    // The overview's derived time-height fields.
    std::unique_ptr<TimeHeightFields> timeHeight;
    // Heights of the mandatory pressure surfaces for the thickness methods.
    std::unique_ptr<ThicknessResults> thickness;
    // The storm matrix's entry of each hour.
    std::unique_ptr<StormMatrixResults> matrix;
    ParcelOptions parcelOptions;
    // Manual crossover temperatures and the entraining-parcel frame per hour.
    FogParcelState fogParcel;
    HeightGridTables heightGrid;
    // Temperature-axis ends of the sounding diagrams, shared by both windows.
    TemperatureAxisEnds temperatureAxis;
    // Forecast hours per time column of the loaded file, and time columns
    // between emphasised time marks of the overview (FollowTimeStep).
    int HoursPerColumn = 1;
    std::int16_t TimeLabelEvery = 6;
    // Values that depend on the kind of the chosen model.
    ModelParameters parameters;
    // What the file choice remembers between clicks.
    SoundingSelection selection;
    // Help mode and the training table.
    TrainingHelp help;
    // Folder of the settings files; "?" until it is first needed.
    std::string TempFolder = "?";
    // The user, the configuration, the user's saved settings and the data
    // file's tables.
    std::string UserName;
    Configuration config;
    HistorySettings history;
    DataTables dataTables;
};

} // namespace tarvex
