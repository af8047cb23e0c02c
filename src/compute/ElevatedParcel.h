#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct ElevatedParcelResults;

// Lifts the parcel of level k of time column t of the current model (dry to
// its condensation level, moist above) and keeps, for that start level, its
// CAPE and CIN over the file's level heights, its equilibrium level and the
// parcel temperature at each level it passed. The scan ends where the parcel
// is more than 10 C colder than its surroundings, or at the top level, which
// a parcel still buoyant there takes as its equilibrium level. A start level
// outside 1 .. LevelCount lifts nothing and keeps the zero results. Sets
// ElevCAPEDone of (t, k).
void MakeECAPE(const ProfileArrays& store, std::int16_t t, std::int16_t k,
               ElevatedParcelResults& elevated);

} // namespace tarvex
