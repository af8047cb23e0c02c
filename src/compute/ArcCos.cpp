#include "compute/ArcCos.h"

#include <cmath>

namespace tarvex {

float ArcCos(float x) {
    constexpr double kHalfPi = 1.570796327;
    if (!(x > -1.0f)) return static_cast<float>(2.0 * kHalfPi); // also NaN: the far end
    if (x >= 1.0f) return 0.0f;
    const double v = x;
    return static_cast<float>(std::atan(-v / std::sqrt(1.0 - v * v)) + kHalfPi);
}

} // namespace tarvex
