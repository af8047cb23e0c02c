#pragma once

namespace tarvex {

class PictureSurface;
struct Session;
struct SoundingView;

// Bounds of the omega axis's half-width: a zoom step that would leave them is
// refused, so that the scale's labels stay countable.
inline constexpr float kOmegaScaleMin = 0.5f;
inline constexpr float kOmegaScaleMax = 1000.0f;

// The omega axis's half-width after a click on the scale strip: narrower by
// the factor 0.7 for the left button (1), wider for the right button (2),
// the same for any other; a step beyond the bounds keeps the old value.
float ZoomOmegaScale(float OmegaScale, int Button);

// Spacing of the labels of an omega axis of half-width R: 2 below 10, 5 below
// 30, else 10.
int OmegaLabelStep(float R);

// The hour's omega profile over the finished sounding picture, in a scale of
// its own (x from -OmegaScale to OmegaScale, y ln p between the diagram's top
// and bottom pressures): a dotted white zero line, then the profile in white
// from level 1 to the top drawn level, the smoothed field (worked out on
// first use for the model) when the filtered view is chosen. Leaves the
// picture in that scale.
void PlotOmegaProfile(PictureSurface& pic, Session& session, const SoundingView& view);

// The scale strip over the sounding, cleared and labelled in the same
// x range as the profile: every step from -N to N, N lying one step beyond
// the half-width R; positive values blue with a plus sign ("+5"), negative
// red, zero black, each centred on its value.
void PrintOmega(PictureSurface& pic, float R);

} // namespace tarvex
