#pragma once

#include <atomic>
#include <cstdint>
#include <span>

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

// MakeECAPE of every start level first..last of time column t whose
// ElevCAPEDone is not set, with the same results; the levels' pressure
// factors are worked out once for them all.
void MakeMissingECAPE(const ProfileArrays& store, std::int16_t t, std::int16_t first,
                      std::int16_t last, ElevatedParcelResults& elevated);

// Start levels first..last of the parcels to lift.
struct StartLevels {
    std::int16_t first = 0;
    std::int16_t last = -1;
};

// MakeMissingECAPE of every time column of the current model. The columns
// are shared out among a few threads started for the call (the calling one
// among them) when there are enough of them to pay for the threads; each
// column is lifted whole by one thread, so the results are those of lifting
// the columns in turn. Every thread has ended when it returns, and an error
// of any of them is thrown again here.
void MakeMissingECAPERun(const ProfileArrays& store, std::int16_t first, std::int16_t last,
                         ElevatedParcelResults& elevated);
// The same for several ranges of start levels in one pass over the columns:
// a column is lifted whole, every range of it, by one thread, so that the
// threads are started and the columns shared out once for all the ranges.
void MakeMissingECAPERun(const ProfileArrays& store, std::span<const StartLevels> ranges,
                         ElevatedParcelResults& elevated);
// The same, stopped early: once stop is set no column is begun, the columns
// begun are lifted whole and the rest are left to be lifted.
void MakeMissingECAPERun(const ProfileArrays& store, std::span<const StartLevels> ranges,
                         ElevatedParcelResults& elevated, const std::atomic<bool>& stop);

// Whether MakeMissingECAPERun has a parcel to lift: a start level
// first..last of a time column of the current model without its results.
bool ECAPEMissing(const ProfileArrays& store, std::int16_t first, std::int16_t last,
                  const ElevatedParcelResults& elevated);
bool ECAPEMissing(const ProfileArrays& store, std::span<const StartLevels> ranges,
                  const ElevatedParcelResults& elevated);

} // namespace tarvex
