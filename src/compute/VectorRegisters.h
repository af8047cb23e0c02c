#pragma once

namespace tarvex {

// Marks the upper halves of the vector registers unused. The toolkit's own
// drawing and start-up code can leave them in use; until they are cleared,
// every single-precision step of our computations (compiled for the plain
// vector instructions, which never hold a value in those halves) waits on
// them and takes up to twice as long. Clearing them changes no value a
// computation works out. A thread calls it before a run of computations: each
// thread that lifts a run's parcels, the read of a sounding file, and the
// overview's redraw before each overlay, after the toolkit drew the one
// before.
inline void ClearUpperVectorHalves() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) asm volatile("vzeroupper");
#endif
}

} // namespace tarvex
