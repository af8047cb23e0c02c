#pragma once

#include "compute/ParcelState.h"
#include "store/ProfileArrays.h"

#include <cstdint>

namespace tarvex {

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

    ModelArray<std::int16_t> IcingDone{"IcingDone"};
    ModelArray<std::int16_t> DeltaThetaEDone{"DeltaThetaEDone"};
    ModelArray<std::int16_t> ShearContourDone{"ShearContourDone"};
    ModelArray<std::int16_t> LayerShearDone{"LayerShearDone"};
    ModelArray<std::int16_t> MeanMixingRatioDone{"MeanMixingRatioDone"};
    ModelArray<std::int16_t> SnowGrowthDone{"SnowGrowthDone"};

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
    }
    // The overview's start-up makes every field of the model afresh.
    void ClearModel(int m) {
        for (ModelArray<std::int16_t>* flags :
             {&IcingDone, &DeltaThetaEDone, &ShearContourDone, &LayerShearDone,
              &MeanMixingRatioDone, &SnowGrowthDone})
            (*flags)(m) = kFlagFalse;
        if (MeanWindLayer.model == m) MeanWindLayer = {};
    }
};

} // namespace tarvex
