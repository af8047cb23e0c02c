#pragma once

#include <cstdint>

namespace tarvex {

struct ProfileArrays;
struct StormMotionResults;

// Right- and left-moving supercell motion of time column t of the current
// model: the 0-6 km mean wind plus or minus 7.5 m/s perpendicular to the
// shear between the 0-0.5 km and 5.5-6 km mean winds (heights above the
// station). The right mover becomes the storm motion in use: the store's
// StormU, StormV and the storm slot of WindU, WindV. A storm motion placed by
// hand is replaced.
void MakeStormMotion(ProfileArrays& store, std::int16_t t, StormMotionResults& storm);

} // namespace tarvex
