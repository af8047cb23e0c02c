#pragma once

namespace tarvex {

class PictureSurface;
struct Session;
struct SoundingView;

// Display modes whose lower panel the sounding's closing marks refer to.
inline constexpr int kMapMode = 1;
inline constexpr int kHodographMode = 2;
inline constexpr int kHeavyPrecipMode = 5;

// True for the display modes whose panels mark their levels on the sounding.
constexpr bool DisplayMarksSounding(int mode) {
    return mode == kMapMode || mode == kHodographMode || mode == kHeavyPrecipMode;
}

// A level mark: a white tick 6 % of the width long inward from the right
// edge at the pressure of level L of time column t; nothing for a level the
// hour does not have. Percent frame.
void LevelMark(PictureSurface& pic, const Session& session, int t, int L);

// The marks on the right edge for the lower panel shown: the sigma level and
// the mean-flow layer (map), the hodograph layer's base and top, or the
// low-level jet's label (heavy precipitation, working out the hour's vectors
// when they are missing). Percent frame.
void DrawDisplayModeMarks(PictureSurface& pic, Session& session, const SoundingView& view);

// Everything the sounding redraw draws after the parcel outlines, in this
// order, each behind its option: the momentum-transfer layer and the
// snow-growth zone (temperature frame), then in the percent frame the
// humidity strip, the wind column, the precipitation mark, the 2 m
// temperature and dew point, the display-mode marks, and last the omega
// profile in a scale of its own.
void DrawSoundingSecondHalf(PictureSurface& pic, Session& session, SoundingView& view);

} // namespace tarvex
