#pragma once

#include "compute/MixingLayer.h"
#include "compute/ParcelState.h"
#include "store/ProfileArrays.h"

#include <array>
#include <cstdint>

namespace tarvex {

struct HodographResults;
struct PTypeResults;

// A derived value that could not be had for an hour (no level to
// interpolate from); traces break there.
inline constexpr float kMissingField = -9999.0f;

// The overview's derived time-height fields [model, time, level], each made
// for a model on first use and kept until the next read. A field's done flag
// of a model is kFlagTrue once its Make routine has filled that model.
struct TimeHeightFields {
    LevelField IcingField{"IcingField"};
    LevelField DeltaThetaEField{"DeltaThetaEField"};
    LevelField ShearContourField{"ShearContourField"};
    LevelField LayerShearField{"LayerShearField"};
    LevelField MeanMixingRatioField{"MeanMixingRatioField"};
    LevelField SnowGrowthField{"SnowGrowthField"};
    // Haines index 2..6 by variant 1 ("Low"), 2 ("Mid"), 3 ("High").
    LevelGrid<std::int16_t, 4> HainesIndexField{"HainesIndexField"};
    TimeField TotalTotalsField{"TotalTotalsField"};
    // Temperature at the lake-index pressure (kMissingField: none).
    TimeField LevelTemperatureField{"LevelTemperatureField"};
    // Snow-to-liquid ratio per hour (0: too warm, or no saturated ascent).
    TimeField SnowRatio{"SnowRatio"};

    ModelArray<std::int16_t> IcingDone{"IcingDone"};
    ModelArray<std::int16_t> DeltaThetaEDone{"DeltaThetaEDone"};
    ModelArray<std::int16_t> ShearContourDone{"ShearContourDone"};
    ModelArray<std::int16_t> LayerShearDone{"LayerShearDone"};
    ModelArray<std::int16_t> MeanMixingRatioDone{"MeanMixingRatioDone"};
    ModelArray<std::int16_t> SnowGrowthDone{"SnowGrowthDone"};
    ModelArray<std::int16_t> HainesIndexDone{"HainesIndexDone"};
    ModelArray<std::int16_t> TotalTotalsDone{"TotalTotalsDone"};
    ModelArray<std::int16_t> LevelTemperatureDone{"LevelTemperatureDone"};
    ModelArray<std::int16_t> HodoParamsAllHoursDone{"HodoParamsAllHoursDone"};
    // MakeSnowRatio has run (one flag for every model).
    bool SnowRatioDone = false;
    // Precipitation types seen in the run: 0 "C", 1 "N", 2 "S", 3 "ZR", 4 "IP".
    std::array<bool, 5> PTypeSeen{};
    // Snow of each hour (snow ratio times precipitation), as the snow bars
    // last drew it, and the moist lake index as its trace last drew it.
    TimeField SnowAmount{"SnowAmount"};
    TimeField MoistLakeIndex{"MoistLakeIndex"};
    // The mixing layer and its transport winds.
    MixingLayerResults mixingLayer;

    // Vector-mean wind of the overview's layer per [model, time]: direction
    // (degrees), speed and spread of the level winds about it (knots), made
    // for the layer and model in MeanWindLayer.
    TimeField MeanWindDirection{"MeanWindDirection"};
    TimeField MeanWindSpeed{"MeanWindSpeed"};
    TimeField MeanWindSpread{"MeanWindSpread"};
    struct MeanWindKey {
        int bottom = 0;
        int top = 0;
        int model = -1; // -1: nothing made yet
        bool operator==(const MeanWindKey&) const = default;
    };
    MeanWindKey MeanWindLayer;

    void ClearAfterRead() {
        for (int m = 0; m < kModelColumns; ++m) ClearModel(m);
        SnowRatioDone = false;
        PTypeSeen.fill(false);
        mixingLayer.ClearAfterRead();
    }
    // The overview's start-up makes every field of the model afresh.
    void ClearModel(int m) {
        mixingLayer.MixingLayerReady(m) = kFlagFalse;
        for (ModelArray<std::int16_t>* flags :
             {&IcingDone, &DeltaThetaEDone, &ShearContourDone, &LayerShearDone,
              &MeanMixingRatioDone, &SnowGrowthDone, &HainesIndexDone, &TotalTotalsDone,
              &LevelTemperatureDone, &HodoParamsAllHoursDone})
            (*flags)(m) = kFlagFalse;
        if (MeanWindLayer.model == m) MeanWindLayer = {};
    }
};

// Each Make routine fills its field for every hour of the current model and
// sets the model's done flag.

// Length of the hodograph from the surface wind up to each level (m/s), or
// per km of depth (0 within 0.5 km of the surface).
void MakeLayerShear(const ProfileArrays& store, bool PerKm, TimeHeightFields& fields);
// Difference between each level's wind and the mean wind of the lowest 500 m.
void MakeShearContour(const ProfileArrays& store, TimeHeightFields& fields);
// Equivalent potential temperature of each level less that of level 1.
void MakeDeltaThetaE(const ProfileArrays& store, TimeHeightFields& fields);
// Icing index -8 (T - Td) - T; positive values above freezing become 0.
void MakeIcing(const ProfileArrays& store, TimeHeightFields& fields);
// Mean mixing ratio of levels 1..L.
void MakeMeanMixingRatio(const ProfileArrays& store, TimeHeightFields& fields);
// Haines index of the three variants (stability term plus moisture term).
void MakeHainesIndex(const ProfileArrays& store, TimeHeightFields& fields);
// Total Totals between TotalTotalsLevel (mb) and 500 mb.
void MakeTotalTotals(const ProfileArrays& store, std::int16_t TotalTotalsLevel,
                     TimeHeightFields& fields);
// Temperature at LakeIndexLevel (mb), linear in ln p. A ground already above
// that pressure gives level 1's temperature; a profile whose top is below it
// gives kMissingField.
void MakeLevelTemperature(const ProfileArrays& store, std::int16_t LakeIndexLevel,
                          TimeHeightFields& fields);
// The hodograph quantities of every hour.
void MakeHodoParamsAllHours(const ProfileArrays& store, float HodoTopKm, HodographResults& hodo,
                            TimeHeightFields& fields);
// Which precipitation types fall during the run (PTypeSeen), by each wet
// hour's precipitation-type code.
void MakePTypeSummary(const ProfileArrays& store, const PTypeResults& ptype,
                      TimeHeightFields& fields);

// Haines terms: 1, 2 or 3 by the first limit the difference stays below.
std::int16_t HainesTerm(float difference, float limit1, float limit2);

} // namespace tarvex
