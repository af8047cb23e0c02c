#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/PictureSurface.h"

namespace tarvex {

struct HodographResults;
struct ProfileArrays;
struct SoundingView;
struct TemperatureAxisEnds;

// The level under the cursor at pressure p (mb) in time column t: the lowest
// level from 1 up whose pressure is at or below p; 0 when none is (the cursor
// lies above the top level).
std::int16_t CursorLevel(const ProfileArrays& s, int t, double p);

// Texts of the read-out labels for level L of time column t: "< 12.3" beside
// the temperature, "8.1 >" beside the dew point, the wind's direction and
// speed in knots, and the level's pressure ("850mb"), or its height above
// the ground in the standard atmosphere to the nearest 100 ft ("1200'") or in
// km (".5km"), by ReadoutUnit 0, 1 or 2; no height text for another unit.
struct ReadoutCaptions {
    std::string Temp;
    std::string DP;
    std::string Dir;
    std::string Kts;
    std::optional<std::string> Axis;
};
ReadoutCaptions MakeReadoutCaptions(const ProfileArrays& s, int t, int L, std::int16_t ReadoutUnit);

// Sizes of the read-out labels in pixels.
struct LabelSize {
    double width = 0.0;
    double height = 0.0;
};
struct ReadoutLabelSizes {
    LabelSize Temp;
    LabelSize DP;
    LabelSize Dir;
    LabelSize Kts;
    LabelSize Axis;
};

// Pixel positions of the labels: all share one top, centred on the level
// (moved in at the top and bottom edges); the temperature label just right of
// the temperature trace, the dew-point label just left of the dew-point
// trace, direction and speed either side of the wind column, the height
// label at the left edge. The labels are opaque
// and never cover one another or run off the picture: a temperature label
// that would reach the wind's labels or the right edge stands left of its
// trace (TempBeforeTrace), the dew-point label then left of it; a dew-point
// label that would reach the height label stands right of its trace
// (DPAfterTrace). With digital winds on, the direction and speed labels are
// widened (DirWidth, KtsWidth) to hide the column's values of the level,
// which they show, so that no digit of the column peeks out beside them.
// Sets the temperature frame of the redraw in view on pic, then leaves it in
// the percent frame.
struct ReadoutPlacement {
    double Top = 0.0;
    double TempLeft = 0.0;
    double DPLeft = 0.0;
    double DirLeft = 0.0;
    double KtsLeft = 0.0;
    double AxisLeft = 0.0;
    double DirWidth = 0.0;
    double KtsWidth = 0.0;
    bool TempBeforeTrace = false;
    bool DPAfterTrace = false;
};
ReadoutPlacement PlaceReadoutLabels(PictureSurface& pic, const ProfileArrays& s,
                                    const TemperatureAxisEnds& axis, const SoundingView& view,
                                    int L, const ReadoutLabelSizes& sizes);

// A read-out label's box (pixels) grown to hide whole every text of texts it
// covers part of (more than a pixel's strip on both axes), again and again
// until it covers none in part: an opaque label hides a text whole or leaves
// it whole, never half a number.
TextRect CoverWhole(TextRect box, const std::vector<DrawnText>& texts);

// The top (pixels) of a label labelHeight high centred on the pixel row, moved
// in just enough to lie whole inside a picture height high.
double LabelTopInside(double row, double labelHeight, double height);

// Narrows (left button, 1) or widens (any other button) the diagram's
// pressure range about the run's largest surface pressure by the factor 0.85
// in ln p, and finds the top drawn level again. Widening stops once the top
// lies at 30 mb or above it, and narrowing once the range would close up.
// False, with nothing changed, when no sounding is loaded; true when the
// diagram is to be redrawn.
bool ZoomPressureAxis(ProfileArrays& s, int Button);

// The hodograph following the cursor level L of time column t: the segment of
// the level highlighted before is painted back in the trace's yellow, and the
// segment from level L - 1 to L, when L lies in the hodograph's layer, in
// magenta two pixels wide; HodoMarkLevel becomes L. Level 0 is no level and
// leaves the highlight as it is. Draws in the hodograph's own scale.
void FollowHodographLevel(PictureSurface& pic, const ProfileArrays& s, const HodographResults& hodo,
                          int t, std::int16_t L, std::int16_t& HodoMarkLevel);

} // namespace tarvex
