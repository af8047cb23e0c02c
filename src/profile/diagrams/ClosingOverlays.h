#pragma once

#include <vector>

namespace tarvex {

class PictureSurface;
struct Session;
struct SoundingView;

// Display modes whose lower panel the sounding's closing marks refer to.
inline constexpr int kMapMode = 1;
inline constexpr int kHodographMode = 2;
inline constexpr int kHeavyPrecipMode = 5;

// What the closing marks of a display mode draw on the sounding of an hour:
// the pressures of its level marks in the order drawn, and the low-level
// jet's label (its pressure, and whether the maximum lies at the top of the
// searched layer) where one is printed. Two displays with equal marks show
// the same sounding picture.
struct DisplayModeMarks {
    std::vector<float> levels;
    bool jet = false;
    float jetPressure = 0.0f;
    bool jetAtTop = false;

    bool operator==(const DisplayModeMarks&) const = default;
};

// The marks of display mode `mode` for view.CurrentColumn: the sigma level
// and the mean-flow layer (map), the hodograph layer's base and top, or the
// low-level jet's label (heavy precipitation, working out the hour's vectors
// when they are missing); none for the other modes, a level the hour does
// not have, or no jet.
DisplayModeMarks MarksOfDisplayMode(Session& session, const SoundingView& view, int mode);

// The marks on the right edge for the lower panel shown
// (view.extras.DisplayMode), as MarksOfDisplayMode gives them: a white tick
// 6 % of the width long inward from the right edge at each level mark's
// pressure, and the low-level jet's label. Percent frame.
void DrawDisplayModeMarks(PictureSurface& pic, Session& session, const SoundingView& view);

// Everything the sounding redraw draws after the parcel outlines, in this
// order, each behind its option: the momentum-transfer layer and the
// snow-growth zone (temperature frame), then in the percent frame the
// humidity strip, the wind column, the precipitation mark, the 2 m
// temperature and dew point, the display-mode marks, and last the omega
// profile in a scale of its own.
void DrawSoundingSecondHalf(PictureSurface& pic, Session& session, SoundingView& view);

} // namespace tarvex
