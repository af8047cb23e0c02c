// The buttons and labels beside the sounding: axis ends, vertical unit,
// wind column, momentum transfer, omega and the cursor read-out.
#include "profile/ui/FrmProfile.h"

#include <QWidget>

namespace tarvex {

QWidget* FrmProfile::BuildSoundingButtons(QWidget* parent) {
    return new QWidget(parent);
}

} // namespace tarvex
