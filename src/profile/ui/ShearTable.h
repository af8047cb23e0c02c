#pragma once

#include <cstdint>
#include <string>

namespace tarvex {

struct ProfileArrays;

// The name of the shear table's file, written to the current folder.
inline constexpr const char* kShearFileName = "Shear.out";

// The shear table of the current model at time column t: three blocks that
// take every level, every second and every third level from level 1 up. A
// row holds the level ("00") and its height above ground ("  #0.0" km, from
// the pressures of column 0 and the standard atmosphere), the wind direction
// and speed, u and v (m/s), the shear from the row before in the block, the
// block's running total and the shear from the block's first row. Lines end
// in CR LF; items stand in print zones.
std::string FormatShearTable(const ProfileArrays& s, std::int16_t t);

} // namespace tarvex
