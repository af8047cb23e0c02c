#pragma once

#include <cstdint>

namespace tarvex {

// One tick of the hour animation: the hour to show next and the time (ms)
// until the following tick.
struct AnimationStep {
    std::int16_t hour = 0;
    int interval = 0;
};

// From hour v of a run whose last time column is last: the next hour, and
// the rate (ms between frames) as the wait, except that the step onto the
// last column waits rate + delay; the step after the last column goes back
// to column 0.
AnimationStep NextAnimationStep(int v, int last, int rate, int delay);

} // namespace tarvex
