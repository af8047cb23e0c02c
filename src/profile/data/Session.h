#pragma once

#include "compute/ComputeState.h"
#include "profile/data/DerivedFields.h"
#include "profile/data/ProfileArrays.h"

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

// The model table of the configuration: what each entry of the model list is
// called and the layout keyword of its sounding files.
struct ModelTable {
    std::vector<std::string> ModelCaptions;
    std::vector<std::string> ModelCodes;
};

// Everything the program keeps while it runs. main creates one; windows and
// computations are handed it, or the parts of it they need.
struct Session {
    Session()
        : profile(std::make_unique<ProfileArrays>()), winds(std::make_unique<WindResults>()),
          stormMotion(std::make_unique<StormMotionResults>()),
          ptype(std::make_unique<PTypeResults>()) {}

    // Resets every per-time and per-model cache after a sounding file was
    // read, so that every panel computes afresh on its next draw. Each cache
    // of the program is listed here, and only here.
    void ClearCachesAfterRead() {
        winds->ClearAfterRead();
        ptype->ClearAfterRead();
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
    HeightGridTables heightGrid;
    // Temperature-axis ends of the sounding diagrams, shared by both windows.
    TemperatureAxisEnds temperatureAxis;
    // Forecast hours per time column of the loaded model's files.
    std::int16_t HoursPerColumn = 1;
    // Hours added to the local clock to give UTC (local = UTC - offset).
    std::int16_t TimeZoneOffset = 0;
    // Levels between the displayed sigma-level winds of the loaded model.
    std::int16_t ModelLevelStep = 1;
    // Where the sigma-level bar goes after each read: a pressure (mb), or a
    // level index when below 100.
    std::int16_t SigmaLevelStart = 0;
};

} // namespace tarvex
