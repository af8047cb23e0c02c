#pragma once

#include <array>
#include <cstdint>

namespace tarvex {

struct ProfileArrays;

// Moisture, cloud, wind-component, omega, potential-temperature and
// height-above-ground fields of one level, from the values read. A value whose
// computation fails (a zero or negative pressure, a temperature at the pole of
// the saturation formula) is not stored; the level keeps what it held.
void DeriveLevelFields(ProfileArrays& s, int m, int t, int level, float elevationMeters);

// Wet-bulb zero height (standard-atmosphere ft) of every time of the current model.
void MakeWetBulbZero(ProfileArrays& s);

// Convective condensation level and convective temperature of every time.
void MakeCCL(ProfileArrays& s);

// Highest level the sounding diagram draws, from DiagramTopPressure.
void FindTopLevel(ProfileArrays& s);

// The bottom edge of the sounding diagram: 4 % of the log-pressure span
// between the top and MaxSurfacePressure below the latter. Nothing changes
// while either pressure is not positive.
void PlaceDiagramBottom(ProfileArrays& s);

// Pressures (mb) of the standard atmosphere at fixed heights above the
// ground of the current site: every thousand feet (k = 0..20 and 25..70 in
// steps of 5) and every kilometre (k = 0..20).
struct HeightGridTables {
    std::array<std::int16_t, 71> HeightGridPressureFt{};
    std::array<std::int16_t, 21> HeightGridPressureKm{};
};
void MakeHeightGridPressures(const ProfileArrays& s, HeightGridTables& tables);

} // namespace tarvex
