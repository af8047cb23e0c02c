#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct PTypeResults;
struct ComputeOptions;

// Melting energy (J/kg) of a surface warm layer from which snow reaches the
// ground as rain.
inline constexpr float kRainEnergy = 13.2f;

// Refreezing energy (J/kg) that the cold layer beneath a warm layer aloft of
// this melting energy needs for the drops to refreeze into ice pellets:
// 70 plus 2/3 of the melting energy.
float PelletRefreezingEnergy(float warmEnergy);

// The level the precipitation-type scans start from: the options'
// ElevatedPTLevel kept within the current model's levels (the top level when
// it points above them, 1 when the model has none).
int PTypeStartLevel(const ProfileArrays& store, const ComputeOptions& options);

// Layer pattern, melting and refreezing energies and moist-layer top of time
// column t of the current model, scanned from the options' ElevatedPTLevel
// up (the energy technique after Bourgouin). Does nothing when the column's
// PTypeAreasDone is already set.
void MakePTypeAreas(const ProfileArrays& store, std::int16_t t, PTypeResults& ptype,
                    const ComputeOptions& options);

// Precipitation type of time column t from its energies (PTypeEnergyCode:
// rain, freezing rain, snow or ice pellets), computing the areas first when
// needed; PTypeCode becomes that code when UseBourgouinPType is set, else the
// model's own code.
void MakePType(const ProfileArrays& store, std::int16_t t, PTypeResults& ptype,
               const ComputeOptions& options);

} // namespace tarvex
