#pragma once

#include "compute/ComputeState.h"
#include "store/ProfileArrays.h"

#include <cstddef>
#include <cstdint>

namespace tarvex {

// Sets a per-model flag to False for every model.
inline void ClearModelFlags(ModelArray<std::int16_t>& flags) {
    for (int m = 0; m < kModelColumns; ++m) flags(m) = kFlagFalse;
}

// What the parcel computations read from the main window's controls.
struct ParcelOptions {
    // Water temperature of the lake (deg C) that modifies the surface parcel:
    // (vsbLakeF - 32) * 5 / 9, unrounded. The bar starts at 34 F.
    float LakeTempC = (34.0f - 32.0f) * 5.0f / 9.0f;
};

// Buoyant energy of the parcel that rises from the level of free convection,
// counted up to 3, 4, 5 and 6 km above ground, per [model, time].
struct LayerCapeResults {
    // [model, time, k] J/kg, k km above ground; only k = 3..6 are written.
    LevelGrid<float, 7> LayerCAPE{"LayerCAPE"};
    // LayerCAPE of the column is computed.
    TimeGrid<std::int16_t> CapeShearDone{"CapeShearDone"};

    void ClearAfterRead() { ClearTimeFlags(CapeShearDone); }
};

// The surface parcel modified by a lake, per [model, time].
struct LakeParcelResults {
    TimeGrid<std::int16_t> LakeCAPEDone{"LakeCAPEDone"};
    TimeField LakeSurfaceTemp{"LakeSurfaceTemp"};         // deg C
    TimeField LakeSurfaceDewPoint{"LakeSurfaceDewPoint"}; // deg C
    TimeField LakeLCLTemp{"LakeLCLTemp"};                 // deg C
    TimeField LakeLCLPressure{"LakeLCLPressure"};         // mb
    // [model, time, level] deg C, levels 1 .. LakeParcelLevelCount.
    LevelField LakeParcelTemp{"LakeParcelTemp"};
    // First level where the parcel is colder than its surroundings; the top
    // level when it stays buoyant to the top; 0 when it is not buoyant at
    // level 1.
    TimeGrid<std::int16_t> LakeParcelLevelCount{"LakeParcelLevelCount"};
    TimeField LakeELPressure{"LakeELPressure"}; // mb
    TimeField LakeELTemp{"LakeELTemp"};         // deg C
    TimeField LakeELDepthFt{"LakeELDepthFt"};   // ft above level 1
    TimeField LakeCAPE{"LakeCAPE"};             // J/kg
    TimeField LakeNCAPE{"LakeNCAPE"};           // J/kg per m of depth

    void ClearAfterRead() { ClearTimeFlags(LakeCAPEDone); }
};

// Parcel temperature (deg C) per [model, time, start level, level], bounds-
// checked like the store.
class ParcelProfileGrid {
  public:
    ParcelProfileGrid()
        : data_(static_cast<std::size_t>(kModelColumns) * kTimeColumns * kLevelSlots *
                kLevelSlots) {}

    float& operator()(int m, int t, int k, int level) { return data_[Index(m, t, k, level)]; }
    const float& operator()(int m, int t, int k, int level) const {
        return data_[Index(m, t, k, level)];
    }

  private:
    static std::size_t Index(int m, int t, int k, int level) {
        if (k < 0 || k >= kLevelSlots) ThrowIndexError("ElevParcelProfile", m, t, k);
        if (m < 0 || m >= kModelColumns || t < 0 || t >= kTimeColumns || level < 0 ||
            level >= kLevelSlots)
            ThrowIndexError("ElevParcelProfile", m, t, level);
        return ((static_cast<std::size_t>(m) * kTimeColumns + static_cast<std::size_t>(t)) *
                    kLevelSlots +
                static_cast<std::size_t>(k)) *
                   kLevelSlots +
               static_cast<std::size_t>(level);
    }

    ZeroedArray<float> data_;
};

// The parcel temperature of a level the lifted parcel never reached: below
// its start level, above the level where its ascent ended, or above the top.
inline constexpr float kNoParcelTemp = -9999.0f;

// Parcels lifted from a level of the profile, per [model, time, start level].
// About 10 MB: keep it on the heap.
struct ElevatedParcelResults {
    LevelField ElevCAPE{"ElevCAPE"};             // J/kg
    LevelField ElevCIN{"ElevCIN"};               // J/kg, as a positive number
    LevelField ElevELPressure{"ElevELPressure"}; // mb; the start pressure when none
    LevelField ElevELTemp{"ElevELTemp"};         // deg C
    LevelField ElevELDepthFt{"ElevELDepthFt"};   // ft above level 1
    LevelField ElevNCAPE{"ElevNCAPE"};           // J/kg per m above the start level
    // Last level where the parcel was warmer than its surroundings; 0 when the
    // parcel has no equilibrium level.
    LevelGrid<std::int16_t, kLevelSlots> ElevELLevel{"ElevELLevel"};
    LevelGrid<std::int16_t, kLevelSlots> ElevCAPEDone{"ElevCAPEDone"};
    ParcelProfileGrid ElevParcelProfile;

    void ClearAfterRead() {
        for (int m = 0; m < kModelColumns; ++m)
            for (int t = 0; t < kTimeColumns; ++t)
                for (int k = 0; k < kLevelSlots; ++k) ElevCAPEDone(m, t, k) = kFlagFalse;
    }
};

// Fields of the whole run, one value per [model, time] and a done flag per
// model.
struct WholeRunResults {
    // Standard-atmosphere heights (ft above sea level) of the 0 C and -20 C
    // levels.
    TimeField FreezingLevelFt{"FreezingLevelFt"};
    TimeField Minus20LevelFt{"Minus20LevelFt"};
    ModelArray<std::int16_t> IsothermsDone{"IsothermsDone"};

    // Depth (ft) of the cloud between the condensation level and 0 C, and its
    // top above sea level.
    TimeField WarmCloudDepth{"WarmCloudDepth"};
    TimeField WarmCloudTop{"WarmCloudTop"};
    ModelArray<std::int16_t> WarmCloudDone{"WarmCloudDone"};

    TimeField TQ{"TQ"}; // deg C
    ModelArray<std::int16_t> TQDone{"TQDone"};

    // Omega smoothed over time and level [model, time, level].
    LevelField SmoothedOmega{"SmoothedOmega"};
    ModelArray<std::int16_t> SmoothedOmegaDone{"SmoothedOmegaDone"};

    void ClearAfterRead() {
        ClearModelFlags(IsothermsDone);
        ClearModelFlags(WarmCloudDone);
        ClearModelFlags(TQDone);
        ClearModelFlags(SmoothedOmegaDone);
    }
};

// Saturated parcel temperatures (deg C) of the two parcel outlines per
// [model, time, level], shared by the sounding diagrams of both windows so
// that an hour already drawn needs no lifting. A flag of -1 says the hour's
// outline is complete; the reader clears every flag after a read.
struct ParcelOutlineCache {
    // Positive area: the level's parcel temperature between the level of free
    // convection and the equilibrium level; the first level below the level
    // of free convection holds the temperature at that level.
    LevelField CapeParcelTemp{"CapeParcelTemp"};
    TimeGrid<std::int16_t> CapeParcelDone{"CapeParcelDone"};
    // Negative area: the same between the condensation level and the level
    // of free convection; the first level below the condensation level holds
    // the temperature at that level (level 1 when no higher level lies below
    // it).
    LevelField CinParcelTemp{"CinParcelTemp"};
    TimeGrid<std::int16_t> CinParcelDone{"CinParcelDone"};

    void ClearAfterRead() {
        ClearTimeFlags(CapeParcelDone);
        ClearTimeFlags(CinParcelDone);
    }
};

// What the sounding overlays keep between redraws: the parcel outlines of the
// hours already drawn (shared with the overview's sounding panel) and the
// lowest inversion base of the last redraw with inversions shown.
struct SoundingOverlayState {
    ParcelOutlineCache parcels;
    // Largest base pressure (mb) below 950 mb among the inversion bands of the
    // last redraw with inversions on; 0 when there was none. Kept while
    // inversions are off.
    float LowestInversionBase = 0.0f;

    void ClearAfterRead() { parcels.ClearAfterRead(); }
};

} // namespace tarvex
