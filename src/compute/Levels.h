#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;

// Standard atmosphere of the program (pressure mb, heights ft or m).
float PressureFromAltitude(float feet);
float StdHeightMeters(float pressure);
float StdHeightFeet(float pressure);

// Level of the current model nearest a pressure, searched in time column 0.
// An argument below 100 is already a level index and is returned as it is.
// 0 means no level.
std::int16_t FindPressureLevel(const ProfileArrays& store, std::int16_t pressure);

// Level of time column t nearest a height above ground (km). 0 means no level
// above the target, or level 0 when it is the nearest.
std::int16_t FindHeightLevel(const ProfileArrays& store, std::int16_t t, float km);

// Temperature and dew point of time column t at a pressure, linear in ln p
// between the two levels around it. Below the first level the first layer is
// extended; above the top level the layer from the top level down to the
// first level at least 50 mb below it (or level 1).
float InterpTempAtPressure(const ProfileArrays& store, std::int16_t t, float pressure);
float InterpFieldAtPressure(const ProfileArrays& store, std::int16_t t, float pressure);

} // namespace tarvex
