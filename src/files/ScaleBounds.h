#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tarvex {

// Bounds of the overview's side scales, wherever a scale comes from: the
// history file, a display slot or the zoom clicks on a side picture. Wider
// or narrower scales mean nothing to a forecaster, and the bounds keep every
// number the scales feed (grid steps, pixel positions, the 16-bit values of
// the history file) well inside what holds it.

// Largest magnitude of a scale's base, span or top (J/kg, miles, deg F, mb,
// inches, index units).
inline constexpr float kMostScaleValue = 100000.0f;
// Smallest magnitude of a zoomed span.
inline constexpr float kLeastScaleSpan = 0.0001f;
// The temperature and speed scale, kept as whole numbers in the history file.
inline constexpr std::int16_t kMostTraceWhole = 1000;
inline constexpr float kMostTraceValue = kMostTraceWhole;

// The ends of the sounding diagram's temperature axis (deg C) as settings
// files give them: within the temperatures a sounding can hold, so that a
// damaged file cannot make the diagram draw tens of thousands of isotherms.
inline constexpr std::int16_t kLowestAxisTemperature = -150;
inline constexpr std::int16_t kHighestAxisTemperature = 80;

inline std::int16_t BoundedAxisTemperature(std::int16_t end) {
    return std::clamp(end, kLowestAxisTemperature, kHighestAxisTemperature);
}

// A zoomed span held within [least, most] in magnitude, its sign kept; a
// value that is not a number becomes most.
inline float BoundedSpan(float span, float most = kMostScaleValue, float least = kLeastScaleSpan) {
    if (std::isnan(span)) return most;
    const float held = std::clamp(std::fabs(span), least, most);
    return span < 0.0f ? -held : held;
}

// A base or top held within +-most; a value that is not a number becomes 0.
inline float BoundedScaleValue(float value, float most = kMostScaleValue) {
    if (std::isnan(value)) return 0.0f;
    return std::clamp(value, -most, most);
}

} // namespace tarvex
