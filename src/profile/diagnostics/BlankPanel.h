#pragma once

#include "platform/PictureSurface.h"
#include "store/ProfileArrays.h"

namespace tarvex {

// Whether the store holds a sounding of the current model. Without one (an
// empty data folder) there is no hour to show, and a panel drawn from the
// store's placeholders would show made-up values ("-999", a date).
inline bool SoundingLoaded(const ProfileArrays& s) {
    return s.LevelCount(s.CurrentModel) != 0 || s.DrawLevelCount(s.CurrentModel) != 0;
}

// Leaves a panel blank in its back colour: no background picture, no text.
inline void BlankPanel(PictureSurface& pic, Rgb back) {
    pic.SetPicture(Picture());
    pic.SetBackColor(back);
    pic.Clear();
}

} // namespace tarvex
