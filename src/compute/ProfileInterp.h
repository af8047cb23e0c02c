#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;

// Profile levels of the current model, never more than the store can hold.
int StoredLevelCount(const ProfileArrays& store);

// Levels the sounding diagrams draw for the current model: DrawLevelCount,
// never beyond the profile's own levels.
int DrawnLevelCount(const ProfileArrays& store);

// Pressure (mb) at which the temperature of time column t takes value
// (deg C) between levels k - 1 and k, linear in ln p. With equal
// temperatures at both levels the layer has no single crossing and the
// pressure of level k - 1 is returned.
float InterpolateP(const ProfileArrays& store, std::int16_t t, std::int16_t k, float value);

// Relative humidity (percent) of time column t at pressure p (mb), linear in
// ln p between the first level below p and the level beneath it; a pressure
// greater than that of level 1 extrapolates from levels 0 and 1, and one
// above the top level from the top layer.
float InterpRHAtPressure(const ProfileArrays& store, std::int16_t t, float p);

} // namespace tarvex
