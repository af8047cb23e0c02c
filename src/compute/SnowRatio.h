#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct TimeHeightFields;

// The snow-ratio techniques, by the index of their option button.
enum SnowRatioTechniques : std::int16_t {
    kSnowRatioZoneOmega = 0,   // "Zone Omega"
    kSnowRatioMaxTemp = 1,     // "Max Temp In Profile"
    kSnowRatioSurfaceTemp = 2, // "Sfc Temp"
    kSnowRatioFixed = 3,       // "10:1"
};

// Fills SnowRatio for every hour of the current model by the technique
// (FixedRatio is the ratio bar's value for "10:1") and sets SnowRatioDone.
// A technique outside 0..3 computes nothing.
void MakeSnowRatio(const ProfileArrays& store, std::int16_t SnowRatioTechnique, int FixedRatio,
                   TimeHeightFields& fields);
// "Zone Omega": the table ratio of each level saturated over ice (at least
// 90 %), weighted by its omega relative to the strongest ascent (squared),
// the omega's magnitude and the layer depth. 0 without saturated ascent.
void MakeSnowRatio_DGZxOmega(const ProfileArrays& store, TimeHeightFields& fields);

// The table behind "Zone Omega": ratio at a temperature (deg C), linear
// between its points, its first and last ratio beyond them.
float ZoneOmegaTableRatio(float temperature);
// "Max Temp In Profile" on the warmest temperature, "Sfc Temp" on level 1's.
float MaxTempSnowRatio(float Tmax);
float SurfaceTempSnowRatio(float Ts);

} // namespace tarvex
