#pragma once

#include <cstdint>

namespace tarvex {

class PictureSurface;
struct ProfileArrays;

// At most this many of the lowest levels are listed.
inline constexpr int kListedLevels = 29;

// The level listing of time column t of the current model: a heading, one
// line per level (pressure, temperature, dew point, humidity, wind direction
// and speed) from the highest listed level down to the lowest, and the
// precipitation of the hour and of the run.
void PrintSoundingData(PictureSurface& pic, const ProfileArrays& s, std::int16_t t);

} // namespace tarvex
