#pragma once

#include <cmath>
#include <limits>

namespace tarvex {

// The one checked narrowing of a computed number into a whole-number type:
// the caller rounds as its rule says, this keeps the result inside the type
// (a value beyond either end gives that end, a value that is not a number
// gives ifNotANumber). A plain cast of an out-of-range value is undefined.
template <typename Int> Int ClampToInt(double value, Int ifNotANumber = 0) {
    if (std::isnan(value)) return ifNotANumber;
    constexpr double kLowest = static_cast<double>(std::numeric_limits<Int>::lowest());
    constexpr double kHighest = static_cast<double>(std::numeric_limits<Int>::max());
    if (value <= kLowest) return std::numeric_limits<Int>::lowest();
    if (value >= kHighest) return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

// How many values first, first + step, first + 2 step, ... lie at or before
// last (at or after it for a negative step), at most limit; 0 when any of
// them is not a finite number or step is 0. Loops over pressures, heights or
// temperatures run this many times, so that a step too small to change a
// huge value can never keep a loop going.
inline int StepCount(double first, double last, double step, int limit) {
    if (!std::isfinite(first) || !std::isfinite(last) || !std::isfinite(step) || step == 0.0)
        return 0;
    const double steps = std::floor((last - first) / step + 1e-9);
    if (!(steps >= 0.0)) return 0;
    return steps >= limit ? limit : static_cast<int>(steps) + 1;
}

} // namespace tarvex
