#pragma once

#include "compute/ComputeState.h"
#include "store/ProfileArrays.h"

#include <cstdint>

namespace tarvex {

// Hodograph quantities per [model, time]: the layer, the storm-relative
// winds over it and what follows from them. Speeds and components in m/s,
// directions in degrees the wind blows from.
struct HodographResults {
    // Top level of the hodograph layer; 0 means not yet chosen.
    TimeGrid<std::int16_t> HodoTopLevel{"HodoTopLevel"};
    // Base level of the helicity layer (0 = surface).
    TimeGrid<std::int16_t> HodoBaseLevel{"HodoBaseLevel"};
    // The quantities below are up to date for the column.
    TimeGrid<std::int16_t> HodoDone{"HodoDone"};

    // Storm-relative wind at the surface (hodograph level 0) and at the top.
    TimeField SRSpeedBase{"SRSpeedBase"};
    TimeField SRDirBase{"SRDirBase"};
    TimeField SRSpeedTop{"SRSpeedTop"};
    TimeField SRDirTop{"SRDirTop"};
    // Storm-relative helicity of the base-to-top layer (m2/s2), positive
    // for a storm-relative wind that veers with height.
    TimeField Helicity{"Helicity"};
    // Length of the hodograph from the base level to the top (m/s).
    TimeField HodoLength{"HodoLength"};
    // HodoLength per km of the top level's height above ground.
    TimeField MeanShear{"MeanShear"};
    // [model, time, level] storm-relative wind of hodograph levels
    // 0 .. HodoTopLevel; level 0 is the 10 m wind.
    LevelField SRWindU{"SRWindU"};
    LevelField SRWindV{"SRWindV"};

    // A new sounding has other levels: the layer is chosen again and every
    // column recomputed.
    void ClearAfterRead() {
        ClearTimeFlags(HodoDone);
        ClearTimeFlags(HodoTopLevel);
        ClearTimeFlags(HodoBaseLevel);
    }
};

// Storm-relative winds, helicity, hodograph length and mean shear of time
// column t of the current model, against the storm motion in the store.
// When the column has no layer yet, the top is the level nearest HodoTopKm
// above ground (the top profile level when the profile ends below that
// height, and at least level 1) and the base the surface; choosing a layer
// marks every column of the model for recomputing. Sets HodoDone.
void MakeHodoParams(const ProfileArrays& store, std::int16_t t, float HodoTopKm,
                    HodographResults& hodo);

} // namespace tarvex
