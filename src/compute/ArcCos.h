#pragma once

namespace tarvex {

// Arc cosine in radians from the arc tangent. The argument is clamped to
// [-1, 1], so 1 gives 0 and -1 gives pi; no division by zero at the ends.
float ArcCos(float x);

} // namespace tarvex
