#pragma once

#include "store/ProfileArrays.h"

#include <cstdint>
#include <string>

namespace tarvex {

// Values of the 16-bit flags of the result arrays.
inline constexpr std::int16_t kFlagFalse = 0;
inline constexpr std::int16_t kFlagTrue = -1;

// Sets a per-time flag to False for every model and time column.
inline void ClearTimeFlags(TimeGrid<std::int16_t>& flags) {
    for (int m = 0; m < kModelColumns; ++m)
        for (int t = 0; t < kTimeColumns; ++t) flags(m, t) = kFlagFalse;
}

// The two ways of measuring the 0-4 km shear for the storm-type diagrams, in
// the order of the "Compute Shear Using:" option buttons.
enum class ShearMethod : std::int16_t {
    HodographLength = 0, // "4KM Hodograph Length"
    WindDifference = 1,  // "Sfc-4KM Wind Difference", the start-up choice
};

// What the computations read from the windows' controls. The windows set
// these; the computations only read them.
struct ComputeOptions {
    // Level from which the precipitation-type scans start (the
    // vbsElevatedPT bars of both windows); 1 means no raised level. The
    // sounding reader sets it back to 1 after every read.
    std::int16_t ElevatedPTLevel = 1;
    // chksWSYMb checked: the sounding shows the energy-method precipitation
    // type instead of the model's own.
    bool UseBourgouinPType = false;
    // The selected optCAPEShear element.
    ShearMethod CAPEShearMethod = ShearMethod::WindDifference;
    // chkMBE2 ("Frwd Prop") checked: the MBE vector is the forward-propagating
    // one and the upwind vector is kept beside it.
    bool MBEForwardPropagation = false;
};

// Shear, mean wind, low-level jet and MBE vectors per [model, time]. Speeds
// and components of the mean wind, jet and MBE vectors are in knots,
// directions in degrees the wind blows from.
struct WindResults {
    TimeGrid<float> Shear4km{"Shear4km"}; // m/s
    // Shear4km of the column is computed.
    TimeGrid<std::int16_t> ShearDone{"ShearDone"};

    // 850-300 mb mean wind and the number of levels averaged into it (0 when
    // no level lies in the layer; the mean wind is then calm).
    TimeGrid<float> MeanWindU{"MeanWindU"};
    TimeGrid<float> MeanWindV{"MeanWindV"};
    TimeGrid<float> MeanWindDir{"MeanWindDir"};
    TimeGrid<float> MeanWindSpeed{"MeanWindSpeed"};
    TimeGrid<std::int16_t> MeanWindLevels{"MeanWindLevels"};

    TimeGrid<float> LLJDir{"LLJDir"};
    TimeGrid<float> LLJSpeed{"LLJSpeed"};
    TimeGrid<float> LLJPressure{"LLJPressure"}; // mb
    // The strongest low-level wind lies at the top of the searched layer, so
    // the real jet may be higher.
    TimeGrid<std::int16_t> LLJAtTop{"LLJAtTop"};
    TimeGrid<float> LLJU{"LLJU"};
    TimeGrid<float> LLJV{"LLJV"};

    TimeGrid<float> MBEU{"MBEU"};
    TimeGrid<float> MBEV{"MBEV"};
    TimeGrid<float> MBEDir{"MBEDir"};
    TimeGrid<float> MBESpeed{"MBESpeed"};
    // Upwind-propagation vector, written only with forward propagation on.
    TimeGrid<float> UpwindU{"UpwindU"};
    TimeGrid<float> UpwindV{"UpwindV"};
    TimeGrid<float> UpwindDir{"UpwindDir"};
    TimeGrid<std::int16_t> MBEDone{"MBEDone"};

    void ClearAfterRead() {
        ClearTimeFlags(ShearDone);
        ClearTimeFlags(MBEDone);
    }
};

// Supercell motion per [model, time], m/s and degrees. The storm motion in
// use (StormU, StormV) lives in the store, beside the wind profile. There is
// no done flag: the reader computes every column after a read.
struct StormMotionResults {
    TimeGrid<float> MeanWind06Dir{"MeanWind06Dir"};
    TimeGrid<float> MeanWind06Speed{"MeanWind06Speed"};
    TimeGrid<float> RightMoverU{"RightMoverU"};
    TimeGrid<float> RightMoverV{"RightMoverV"};
    TimeGrid<float> LeftMoverU{"LeftMoverU"};
    TimeGrid<float> LeftMoverV{"LeftMoverV"};
    TimeGrid<float> StormDir{"StormDir"};
    TimeGrid<float> StormSpeed{"StormSpeed"};
};

// Precipitation-type codes (WMO present weather).
inline constexpr std::int32_t kPTypeRain = 60;
inline constexpr std::int32_t kPTypeFreezingRain = 66;
inline constexpr std::int32_t kPTypeSnow = 70;
inline constexpr std::int32_t kPTypeIcePellets = 79;

// Energy-method precipitation type per [model, time]; energies in J/kg.
struct PTypeResults {
    // Layers above (A) and below (B) 0 C from the start level up: "BB",
    // "BA", "AB" or "ABAB".
    TimeGrid<std::string> PTypePattern{"PTypePattern"};
    TimeGrid<float> WarmEnergy{"WarmEnergy"};
    TimeGrid<float> ColdEnergy{"ColdEnergy"};
    TimeGrid<float> LowerWarmEnergy{"LowerWarmEnergy"};
    TimeGrid<float> FreezingHeightAGLFt{"FreezingHeightAGLFt"};
    TimeGrid<std::int16_t> MoistTopLevel{"MoistTopLevel"};
    TimeGrid<std::int16_t> IceAloft{"IceAloft"};
    TimeGrid<std::int16_t> PTypeAreasDone{"PTypeAreasDone"};
    TimeGrid<std::int32_t> PTypeEnergyCode{"PTypeEnergyCode"};
    TimeGrid<std::int32_t> PTypeCode{"PTypeCode"};

    void ClearAfterRead() { ClearTimeFlags(PTypeAreasDone); }
};

} // namespace tarvex
