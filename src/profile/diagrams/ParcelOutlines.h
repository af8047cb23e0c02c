#pragma once

#include "compute/ParcelState.h"

#include <cstdint>

namespace tarvex {

class PictureSurface;
struct Session;
struct SoundingView;

// The "v" mark of the convective temperature on the surface line with its
// value above it, in the fore colour in force; nothing when the option is off
// or the hour has no convective temperature (99 or more).
void DrawConvectiveTemp(PictureSurface& pic, const Session& session, const SoundingView& view);

// Keeps the places of the convective temperature's mark and value (as
// DrawConvectiveTemp prints them) for them, so that the level labels drawn
// before slide away from them.
void ReserveConvectiveTemp(PictureSurface& pic, const Session& session, const SoundingView& view);

// The positive-area outline: the saturated adiabat from the equilibrium level
// down to the level of free convection (yellow, two pixels wide).
void DrawCapeParcel(PictureSurface& pic, const Session& session, const SoundingView& view,
                    ParcelOutlineCache& cache);

// The negative-area outline: the saturated adiabat from the level of free
// convection down to the condensation level, then the dry adiabat to the
// ground (blue, two pixels wide).
void DrawCinParcel(PictureSurface& pic, const Session& session, const SoundingView& view,
                   ParcelOutlineCache& cache);

// The three overlays in their order, each behind its option: convective
// temperature, positive area, negative area. Draws in the temperature frame
// of the redraw in view.
void DrawParcelOutlines(PictureSurface& pic, const Session& session, const SoundingView& view,
                        ParcelOutlineCache& cache);

} // namespace tarvex
