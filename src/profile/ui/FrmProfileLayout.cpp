// The shapes of the main window's lower pictures and their redraw when the
// window changes their size.
#include "platform/PictureBox.h"
#include "profile/ui/FrmProfile.h"

#include <array>

namespace tarvex {

void FrmProfile::ShapeLowerPanels() {
    // The designed sizes, in twips; the hodograph's scale runs -R..R on both
    // axes and must stay square.
    picMap->SetShape(6555, 6375);
    frameHodograph->SetShape(1, 1);
    picCape->SetShape(6495, 6375);
    picMBE->SetShape(6615, 6495);
    picPrecipType->SetShape(6555, 6915);

    // The sizes in pixels at which each picture's text fits as designed
    // (twips at 15 a pixel, or for a picture without designed twips the
    // size its text needs); the text follows the picture's scale from them.
    auto design = [](PictureBox* box, double width, double height) {
        box->Surface().SetDesignSize(width, height);
    };
    design(picMap, 6555 / 15.0, 6375 / 15.0);
    design(picCape, 6495 / 15.0, 6375 / 15.0);
    design(picMBE, 6615 / 15.0, 6495 / 15.0);
    design(picPrecipType, 6555 / 15.0, 6915 / 15.0);
    // Rows of one 32nd of the height at the 9-point type's line.
    design(picIndices, 450, 32 * 14);
    design(picLapse, 420, 300);
    design(picFog, 600, 420);
    design(frameHodograph, 400, 400);
    // The sounding: its size on a 1280 x 800 screen, where its labels fit.
    design(picData, kSoundingDesignWidth, kSoundingDesignHeight);
    // The omega strip's labels follow the sounding's text: its design is the
    // strip on that sounding.
    design(picOmega, kSoundingDesignWidth - kOmegaStripIndent, kOmegaStripDesignHeight);

    // The picture of the mode in force is drawn again at its new size. The
    // others are drawn, at the size they already have, when their mode is
    // chosen. The map and the hodograph put their own handlers in place.
    const std::array<PictureBox*, kDisplayButtons> surfaces = {
        picProfile, picMap,        frameHodograph, picIndices, picCape,
        picMBE,     picPrecipType, picLapse,       picFog,     picDont};
    for (std::size_t k = 0; k < surfaces.size(); ++k) {
        surfaces[k]->SetResizeHandler([this, k] {
            if (!view_.SuspendRedraw && displayMode_ == static_cast<int>(k)) ShowHour();
        });
    }
    picOmega->SetResizeHandler([this] {
        if (!view_.SuspendRedraw) PrintOmega();
    });
}

} // namespace tarvex
