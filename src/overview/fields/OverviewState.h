#pragma once

#include "platform/PictureSurface.h"
#include "store/DateTime.h"
#include "store/ProfileArrays.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarvex {

class ContourTraces;
struct ContourSlices;
struct Session;

// What the overview's controls say, as the redraw hub and its plotters read
// them: one flag per overlay check box (true when its value is not 0) and the
// option values that change the drawing. The window writes it; nothing that
// draws reads a control.
struct OverviewOptions {
    // Contour panel.
    bool ChkOmega = false;
    bool chkRHIcontour = false;
    bool chkMeanMixingRatio = false;
    bool chkECAPE = false;
    bool chkSnowGrowth = false;
    bool chkIcing = false;
    bool chkDeltaThetaE = false;
    bool chkMixingRatio = false;
    bool chkLayerShear = false;
    bool chkThetaE = false;
    bool chkTheta = false;
    bool chkShearContour = false;
    bool chkTemperature = false;
    bool chkVelocity = false;
    bool chkRHContour = false;
    bool chkDPD = false;
    bool chkWetBulb = false;
    // Temperature panel.
    bool chkSkinTemp = false;
    bool chkMoistLakeIndex = false;
    bool chkLIE = false;
    bool chkLIC = false;
    bool chkSfcDewPoint = false;
    bool chkInversions = false;
    bool chkLakeIndex = false;
    bool chkApparentTemp = false;
    bool chkSfcTemp = false;
    bool chkWindChill = false;
    // Wind panel.
    bool chkVWP = false;
    bool chkVWPColor = false;
    bool chkMeanWind = false;
    bool chkWinds = false;
    bool chkVVTrend = false;
    // Convection panel.
    bool chkELCIN = false;
    bool chkHeights = false;
    bool chkFreezingLevel = false;
    bool chkTQ = false;
    bool chkMBEspeed = false;
    bool chkPrecipWater = false;
    bool chkWarmCloud = false;
    bool chkCAPE = false;
    bool chkTotalTotals = false;
    bool chkHelicity = false;
    bool chkStormRelInflow = false;
    bool chkInstability = false;
    // Aviation panel.
    bool chkCloudBase = false;
    bool chkVisibility = false;
    bool chk3HPresChange = false;
    bool chkSfcPres = false;
    bool chkEvaporation = false;
    bool chkRunOff = false;
    bool chkClouds = false;
    // Fire weather panel.
    bool chkMixingLayer = false;
    bool chkVentilation = false;
    bool chkTransportSpeed = false;
    bool chkTransportWinds = false;
    bool chkDavisIndex = false;
    bool chkHainesIndex = false;
    // Precipitation panel.
    bool chkPrecip = false;
    bool chkSnowRatio = false;
    bool chkSnow = false;
    bool chksWSYMb = false;
    // Controls panel.
    bool chkNow = true;
    bool chkGridTime = false;
    bool chkSynch = true;
    // "Relative Humidity" (0) and "Relative Humidity (Ice)" (1).
    std::array<bool, 2> chkRH{true, false};

    // Grid selectors under the side scales: at most one is on.
    bool chkGridHeight = true;
    bool chkGridWind = false;
    bool chkGridPrecip = false;
    bool chkGridLakeIndex = false;
    bool chkGridTemp = false;
    bool chkGridLeft = false;

    // Wind panel bars: the chosen sigma level (the caption of lblSigmaLevel)
    // and the bottom and top levels of the mean-wind layer.
    std::int16_t SigmaLevel = 24;
    std::array<std::int16_t, 2> MeanWindLevels{1, 10};

    // Spacing of the contour values (the caption of the chosen chkCI); never 0.
    std::int16_t ContourInterval = 5;
    // Humidity legend label last double-clicked: classes from it upward are
    // shaded (0 the dry class .. 5 the 95 % class).
    std::int16_t RHLegendIndex = 0;
    // Omega is contoured smoothed.
    bool OmegaFiltered = false;
    // Height labels: 0 pressure, 1 thousands of feet, 2 kilometres.
    std::int16_t VerticalUnits = 1;
    // The profile scale reaches 15 % of its span below the ground.
    bool PressureBaseExtended = false;
    // Layer shear per km of depth ("(m/s) / km") instead of m/s.
    bool LayerShearPerKm = false;
    // The precipitation bars work out the type of an hour not yet typed.
    bool PTypeOnDemand = true;
    // The main window's momentum-transfer button (0 "30", 1 "1", 2 "10",
    // 3 "20"): its caption is the depth (mb) the mixing layer mixes through.
    std::int16_t MomentumTransferIndex = 1;
    // The snow-ratio technique (optSnowTechnique) and the fixed ratio of
    // "10:1" (hsbRatio).
    std::int16_t SnowRatioTechnique = 0;
    std::int16_t FixedSnowRatio = 10;

    // What the window's buttons and bars hold for the plotters.
    // Haines variant: 1 "Low", 2 "Mid", 3 "High".
    std::int16_t HainesLevel = 1;
    // Mixing-layer technique: 0 momentum transfer, 1 maximum temperature.
    std::int16_t MixingLayerMode = 0;
    // Levels between wind profile barbs, plain and "A", and which is used.
    std::int16_t VWPInterval = 3;
    std::int16_t VWPIntervalA = 3;
    bool VWPUseA = false;
    // Wind-profile colour step: OptWindColor 0..3 ("2", "5", "10", "20" kt).
    std::int16_t WindColorIndex = 2;
    bool CloudsToggle = false;
    // Entraining-CAPE legend labels from this index up are shown.
    std::int16_t ECAPELegendStart = 0;
    // Background colours of the colour toggles btnHeights (1 "LCL", 2 "LFC",
    // 3 "Eql") and btnCAPEkm (0 "Eql", 3..6 km), as 0x00BBGGRR patterns: a
    // toggle is on while its colour is its tag colour, off while it is the
    // button face (0x8000000F).
    std::array<std::int32_t, 4> HeightsColours{0, 0x0000FF, 0x00FFFF, 0x00C000};
    std::array<std::int32_t, 7> CAPEkmColours{0x00C000,
                                              0,
                                              0,
                                              static_cast<std::int32_t>(0x8000000F),
                                              static_cast<std::int32_t>(0x8000000F),
                                              static_cast<std::int32_t>(0x8000000F),
                                              static_cast<std::int32_t>(0x8000000F)};

    // The colour toggles that are on: a toggle is off while it shows the
    // button face. Unused entries (btnHeights 0, btnCAPEkm 1 and 2) are off.
    static constexpr std::int32_t kButtonFaceColour = static_cast<std::int32_t>(0x8000000F);
    template <std::size_t N>
    static std::array<bool, N> TogglesOn(const std::array<std::int32_t, N>& colours) {
        std::array<bool, N> on{};
        for (std::size_t k = 0; k < N; ++k)
            on[k] = colours[k] != 0 && colours[k] != kButtonFaceColour;
        return on;
    }
    std::array<bool, 4> HeightsOn() const { return TogglesOn(HeightsColours); }
    std::array<bool, 7> CAPEkmOn() const { return TogglesOn(CAPEkmColours); }
};

// The coordinate system of the time-height picture and the value ranges of
// the side scales. x is the time column (the latest at the left), y the
// natural log of pressure growing downward.
struct OverviewAxes {
    float ScaleLeftColumn = 0.0f;
    float ScaleRightColumn = -1.0f;
    float LnPBase = 0.0f; // y of the bottom edge
    float LnPSpan = 1.0f; // bottom minus top
    // Log of each model's base pressure, and of each level's pressure in time
    // column 0 [model][level].
    std::array<float, kModelColumns> BaseLnP{};
    std::array<std::array<float, kLevelSlots>, kModelColumns> LevelLnP{};
    // Highest level inside the picture, per model (written by the hub).
    std::array<std::int16_t, kModelColumns> TopLevel{};

    // Value pairs of the overlay groups.
    float DirectionSpan = 360.0f, DirectionTop = 360.0f;
    float PrecipSpan = 0.1f, PrecipBase = 0.0f;
    float IndexSpan = 40.0f, IndexBase = -20.0f;
    std::int16_t IndexLabelFactor = 1;
    float TraceSpan = 70.0f, TraceBase = 30.0f;
    float PressureTraceSpan = 50.0f, PressureTraceBase = 975.0f;

    float TopLnP() const { return LnPBase - LnPSpan; }
};

// The scales the left side picture shows, in the order the frame draws them.
enum class LeftScale { Wind, Index, Cape, Pressure, Ventilation, Visibility };
inline constexpr std::size_t kLeftScales = 6;

// The part of the left side picture (x of its 0..100) where the frame wrote
// one scale's labels; empty for a scale not shown.
struct SideBand {
    double from = 0.0;
    double to = 0.0;
    bool Holds(double x) const { return from <= x && x < to; }
    bool operator==(const SideBand&) const = default;
};

// Which grid selectors the frame leaves enabled: those of the scales shown;
// and where it wrote each left scale's labels, which a click there zooms.
struct GridAvailability {
    bool Height = false;
    bool Wind = false;
    bool Precip = false;
    bool LakeIndex = false;
    bool Temp = false;
    bool Left = false;
    std::array<SideBand, kLeftScales> LeftBands{};
    bool operator==(const GridAvailability&) const = default;
};

// Everything one redraw works with: the program's data, the window's options
// and axes, the three pictures, and the computer clock's reading.
struct OverviewContext {
    Session& session;
    const OverviewOptions& options;
    OverviewAxes& axes;
    PictureSurface& picRH;
    PictureSurface& picLeft;
    PictureSurface& picRight;
    // The computer clock now (local or UTC as the configuration says).
    DateTime clock;
    // Written by the frame.
    GridAvailability grids;
    // The contours of the fields drawn, kept by the window from one redraw
    // to the next (none: each redraw traces them).
    ContourTraces* contours = nullptr;
    // The contour fields of the overlays shown, sliced once by the hub so
    // that it can trace them side by side first (none: each overlay slices
    // its own).
    ContourSlices* contourSlices = nullptr;
};

} // namespace tarvex
