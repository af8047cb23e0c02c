#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct PTypeResults;
struct ComputeOptions;

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
