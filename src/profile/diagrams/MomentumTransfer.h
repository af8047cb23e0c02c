#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tarvex {

class PictureSurface;
struct ProfileArrays;
struct SoundingView;

// Captions of the btnXfer elements 0..3: the stable depth (mb) that ends the
// mixed layer. Left to right the buttons read "1", "10", "20", "30".
inline constexpr std::array<const char*, 4> kXferCaptions = {"30", "1", "10", "20"};

// Stable depth (mb) of btnXfer element index; an index outside 0..3 takes
// element 1.
int XferDepth(std::int16_t index);

// Top level of the well-mixed layer of time column t above the ground: the
// base of the first run of stable layers (lapse rate below 70 % of the dry
// adiabatic rate, inversions always) at least depth mb deep, or of the last
// stable run met when none is that deep. None when no layer is stable.
std::optional<int> MixedLayerTop(const ProfileArrays& s, int t, int depth);

// The momentum-transfer layer: the temperature trace from the ground to the
// top of the mixed layer in grey, three pixels wide, with the wind at the top
// ("---> dir deg speed kts") beside the top and, when the layer spans more
// than one level, its mean wind beside its middle level. Draws nothing
// without a stable layer. Temperature frame of the redraw in view.
void DrawMomentumTransfer(PictureSurface& pic, const ProfileArrays& s, const SoundingView& view);

} // namespace tarvex
